#pragma once
// How logtool's device commands end: the one table from the link's and the download's
// outcomes to the line a script reads and the exit status.
#include "common/link.h"
#include "logger/link/download.h"

#include <QString>

namespace logtool {

struct DeviceEnd {
  QString text;    // on stdout when the status is 0, else the one line on stderr; may be empty
  int status = 0;  // an Exit value
  bool operator==(const DeviceEnd&) const = default;
};

// The port's or the file system's own words, when there are any, follow in brackets.
DeviceEnd EndOf(const common::LinkResult& result);
DeviceEnd EndOf(const loggerlink::DownloadResult& result);

}  // namespace logtool
