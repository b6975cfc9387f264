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

}  // namespace logexport
