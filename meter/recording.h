#pragma once
// A recording of live frames as a CSV file:
//   time_s,serial,raw_1,...,raw_12,<name 1> [<unit 1>],...,<name 12> [<unit 12>]
// then one line per frame: seconds since the recording's first frame (three decimals),
// the serial number, the twelve raw values as decoded and the twelve engineering
// values without bias (up to 15 significant digits). "." in every locale, LF line ends,
// UTF-8.
#include "common/channelconfig.h"
#include "common/commands.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace meter {

QByteArray RecordingHeader(const common::ChannelConfiguration& config);
QByteArray RecordingLine(double seconds, const common::LiveFrame& frame, const common::ChannelConfiguration& config);

class Recording {
 public:
  // Creates or empties `path` and writes the header with the names and units of
  // `config`. False with *error when the file cannot be written.
  bool start(const QString& path, const common::ChannelConfiguration& config, QString* error);
  // One frame that arrived at `nsecs` on a monotonic clock; the engineering values by
  // the configuration in use now. On failure the recording has stopped.
  bool append(const common::LiveFrame& frame, const common::ChannelConfiguration& config, qint64 nsecs,
              QString* error);
  // The file is closed; path() and frames() still tell what it holds.
  void stop();

  bool active() const { return file_.isOpen(); }
  int frames() const { return frames_; }
  QString path() const { return file_.fileName(); }

 private:
  // Written in place and unbuffered, one write per line: a recording that ends in a
  // crash or a pulled cable keeps every line that was written. (A temporary file renamed
  // at the end would keep nothing.)
  bool put(const QByteArray& bytes, QString* error);

  QFile file_;
  std::optional<qint64> firstNsecs_;
  int frames_ = 0;
};

}  // namespace meter
