#pragma once
// The CSV export: header lines 1 to 10 of the CSV column (capture.h holds the layout
// both files share), then one row per sample
//   " " + i + " ," + raw(1, i) + "," + ... + raw(12, i) + CR LF
// with the raw 16-bit values as signed decimals, unscaled.
#include "common/channelconfig.h"

#include <QString>

namespace logdata {
class SampleStore;
}

namespace logexport {

// Writes samples start..end inclusive (none when start > end: the header alone). The
// rows never reach past the store's spare zero column, whatever `end` says.
// `logFileName` follows "Generated from ". The file is replaced through a temporary
// file: on failure the old file is as it was and *error says why.
bool WriteCsv(const QString& path, const QString& logFileName, const logdata::SampleStore& store,
              const common::ChannelConfiguration& config, qint32 start, qint32 end, QString* error);

// The analysis CSV ("Engineering units"), which analysis tools read as it is: the line
//   time_s,<name> [<unit>],...
// for each channel in the log's mask, in channel order, then per sample j one line of
// j * FreqCode / 50 seconds and the engineering values without zero locks; numbers with
// "." as the decimal point in every locale and at most 15 significant digits; LF line
// ends, nothing else. The range, the file replacement and the errors are WriteCsv's.
bool WriteEngineeringCsv(const QString& path, const logdata::SampleStore& store,
                         const common::ChannelConfiguration& config, qint32 start, qint32 end, QString* error);

}  // namespace logexport
