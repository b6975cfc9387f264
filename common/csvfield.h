#pragma once
// One field of a comma-separated line, quoted the way RFC 4180 has it: a field holding
// a comma, a double quote or a line break goes between double quotes, with each of its
// own double quotes doubled; any other field stays as it is.
#include "common/channelconfig.h"

#include <QString>

namespace common {

QString CsvField(const QString& text);

// The column title analysis tools read for a channel's engineering values,
// "<name> [<unit>]", as one field.
QString CsvChannelTitle(const ChannelSettings& channel);

}  // namespace common
