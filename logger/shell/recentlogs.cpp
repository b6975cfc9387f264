#include "logger/shell/recentlogs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace shell {

QString RecentLogsPath(const QString& programDir) { return QDir(programDir).filePath(QStringLiteral("cfg/recent.txt")); }

QStringList ReadRecentLogs(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QStringList list;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QString p = QString::fromUtf8(line).trimmed();
    if (!p.isEmpty() && list.size() < kRecentLogs && !list.contains(p)) list << p;
  }
  return list;
}

QStringList RememberLog(QStringList list, const QString& opened) {
  list.removeAll(opened);
  list.prepend(opened);
  while (list.size() > kRecentLogs) list.removeLast();
  return list;
}

bool WriteRecentLogs(const QString& path, const QStringList& list) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  for (const QString& p : list) f.write(p.toUtf8() + '\n');
  return f.commit();
}

}  // namespace shell
