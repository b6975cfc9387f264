#include "common/prompt.h"

#include <QStringList>

namespace common {

QString WithFilterExtension(const QString& name, const QString& filter) {
  if (name.isEmpty()) return name;
  const int bar = filter.indexOf(QLatin1Char('|'));
  const QStringList patterns = filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  QString first;
  for (const QString& pattern : patterns) {
    const QString p = pattern.trimmed();
    const QString extension = p.mid(1);  // "*.dlg" -> ".dlg"
    if (!p.startsWith(QLatin1String("*.")) || extension.size() < 2 || extension.contains(QLatin1Char('*')) ||
        extension.contains(QLatin1Char('?')))
      continue;
    if (name.endsWith(extension, Qt::CaseInsensitive)) return name;
    if (first.isEmpty()) first = extension;
  }
  if (first.isEmpty()) return name;  // "*.*", "*": any name will do
  QString base = name;
  while (base.endsWith(QLatin1Char('.'))) base.chop(1);
  return base + first;
}

}  // namespace common
