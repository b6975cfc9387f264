#include "logger/export/capture.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "logger/logdata/samplestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace logexport {
namespace {

const QString kColumnTitles = QStringLiteral("Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11");

// " ," then the twelve fields joined by commas.
template <typename F>
QString channelRow(F field) {
  QString row = QStringLiteral(" ");
  for (int i = 0; i < common::kChannelCount; ++i) row += QLatin1Char(',') + field(std::size_t(i));
  return row;
}

// Numbers are written with NumberToText, so "." is the decimal point in every locale:
// with the locale's decimal comma a value like 0,5 would split into two fields of this
// comma-separated file.
QString number(double v) { return common::NumberToText(v); }

bool ensureFolder(const QString& path, QString* error) {
  const QString dir = QFileInfo(path).absolutePath();
  if (QDir().mkpath(dir)) return true;
  if (error) *error = common::msg::CannotCreateFolder(dir);
  return false;
}

QByteArray encodeLine(const QString& line) { return line.toLatin1() + "\r\n"; }

}  // namespace

QStringList HeaderLines(HeaderKind kind, const QString& logFileName, quint8 freqCode,
                        const common::ChannelConfiguration& config) {
  const auto& ch = config.channel;
  // 50 / FreqCode; the FreqCode 0 of a damaged file has no rate and is written as 0.
  const double rate = freqCode ? 50.0 / freqCode : 0.0;
  QStringList lines;
  lines << (kind == HeaderKind::Csv ? QStringLiteral("Generated from ") : QStringLiteral("Capture file from log file ")) +
               logFileName;
  lines << QStringLiteral("Cycle frequency ") + number(rate);
  lines << QStringLiteral("Config settings");
  lines << QStringLiteral("MIN");
  lines << channelRow([&](std::size_t i) { return number(ch[i].Min); });
  lines << QStringLiteral("MAX");
  lines << channelRow([&](std::size_t i) { return number(ch[i].Max); });
  const QString names = channelRow([&](std::size_t i) { return ch[i].Name; });
  const QString units = channelRow([&](std::size_t i) { return ch[i].Unit; });
  if (kind == HeaderKind::Csv)
    lines << kColumnTitles << names << units;
  else
    lines << names << units << kColumnTitles;
  return lines;
}

QByteArray HeaderBytes(HeaderKind kind, const QString& logFileName, quint8 freqCode,
                       const common::ChannelConfiguration& config) {
  QByteArray bytes;
  for (const QString& line : HeaderLines(kind, logFileName, freqCode, config)) bytes += encodeLine(line);
  return bytes;
}

bool WriteCaptureHeader(const QString& path, const QString& logFileName, quint8 freqCode,
                        const common::ChannelConfiguration& config, QString* error) {
  if (!ensureFolder(path, error)) return false;
  const QByteArray bytes = HeaderBytes(HeaderKind::Capture, logFileName, freqCode, config);
  // A temporary file renamed over the old one: a failed write leaves the old file.
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
    if (error) *error = common::msg::LogCannotWrite(path, f.errorString());
    return false;
  }
  return true;
}

QString CaptureLine(qint32 cursorSample, const std::array<QString, common::kChannelCount>& shown,
                    const std::array<qint16, common::kChannelCount>& raw) {
  // Basic prints a number with a sign position (a blank for non-negative numbers) and
  // a trailing blank; both are part of the format.
  QString line = (cursorSample < 0 ? QString() : QStringLiteral(" ")) + QString::number(cursorSample) +
                 QStringLiteral(" ");
  for (const QString& s : shown) line += QLatin1Char(',') + s;
  line += QStringLiteral(" , Raw values: , ");
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (i) line += QLatin1Char(',');
    line += QString::number(raw[i]);
  }
  return line;
}

bool AppendCapture(const QString& path, qint32 cursorSample, const std::array<QString, common::kChannelCount>& shown,
                   const std::array<qint16, common::kChannelCount>& raw, QString* error) {
  if (!ensureFolder(path, error)) return false;
  const QByteArray bytes = encodeLine(CaptureLine(cursorSample, shown, raw));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(bytes) != bytes.size() || !f.flush()) {
    if (error) *error = common::msg::LogCannotWrite(path, f.errorString());
    return false;
  }
  return true;
}

bool CaptureSampleInLog(const logdata::SampleStore& store, qint32 k) { return k >= 0 && k < store.SampleCount; }

std::array<qint16, common::kChannelCount> RawColumn(const logdata::SampleStore& store, qint32 k) {
  std::array<qint16, common::kChannelCount> raw{};
  if (k < 0 || k >= store.columns()) return raw;
  for (int i = 0; i < common::kChannelCount; ++i) raw[std::size_t(i)] = store.at(i, k);
  return raw;
}

}  // namespace logexport
