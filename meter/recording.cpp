#include "meter/recording.h"

#include "common/csvfield.h"

namespace meter {

QByteArray RecordingHeader(const common::ChannelConfiguration& config) {
  QString line = QStringLiteral("time_s,serial");
  for (int c = 1; c <= common::kChannelCount; ++c) line += QStringLiteral(",raw_") + QString::number(c);
  for (const auto& ch : config.channel) line += QLatin1Char(',') + common::CsvChannelTitle(ch);
  return line.toUtf8() + '\n';
}

QByteArray RecordingLine(double seconds, const common::LiveFrame& frame, const common::ChannelConfiguration& config) {
  QByteArray line = QByteArray::number(seconds, 'f', 3) + ',' + QByteArray::number(frame.serialNumber);
  for (int r : frame.raw) line += ',' + QByteArray::number(r);
  for (int c = 1; c <= common::kChannelCount; ++c)  // + 0.0: a negative zero is written as 0
    line += ',' + QByteArray::number(common::ScaleRaw(config, c, frame.raw[std::size_t(c - 1)]) + 0.0, 'g', 15);
  return line + '\n';
}

bool Recording::start(const QString& path, const common::ChannelConfiguration& config, QString* error) {
  stop();
  firstNsecs_.reset();
  frames_ = 0;
  file_.setFileName(path);
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    if (error) *error = file_.errorString();
    return false;
  }
  return put(RecordingHeader(config), error);
}

bool Recording::append(const common::LiveFrame& frame, const common::ChannelConfiguration& config, qint64 nsecs,
                       QString* error) {
  if (!active()) return false;
  if (!firstNsecs_) firstNsecs_ = nsecs;
  if (!put(RecordingLine(double(nsecs - *firstNsecs_) / 1e9, frame, config), error)) return false;
  ++frames_;
  return true;
}

bool Recording::put(const QByteArray& bytes, QString* error) {
  if (file_.write(bytes) == bytes.size()) return true;
  if (error) *error = file_.errorString();
  stop();
  return false;
}

void Recording::stop() { file_.close(); }

}  // namespace meter
