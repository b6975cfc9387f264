#include "common/csvfield.h"

#include <algorithm>

namespace common {

QString CsvField(const QString& text) {
  static const QString kSpecial = QStringLiteral(",\"\r\n");
  if (std::none_of(text.begin(), text.end(), [](QChar c) { return kSpecial.contains(c); })) return text;
  QString quoted = text;
  quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvChannelTitle(const ChannelSettings& channel) {
  return CsvField(channel.Name + QStringLiteral(" [") + channel.Unit + QLatin1Char(']'));
}

}  // namespace common
