#include "tools/logtool/linkmessages.h"

#include "common/messages.h"
#include "tools/logtool/commands.h"

namespace logtool {

namespace msg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using loggerlink::DownloadOutcome;

namespace {

QString WithDetail(const QString& text, const QString& detail) {
  return detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + u')';
}

}  // namespace

DeviceEnd EndOf(const common::LinkResult& r) {
  const bool live = r.exchange == Exchange::LiveRead;
  const bool compensation = r.exchange == Exchange::CompensationWrite;
  switch (r.outcome) {
    case LinkOutcome::Ok:
      // The read-back's bytes and the live frames are the command's own output.
      if (r.exchange == Exchange::CompensationRead || live) return {{}, kExitOk};
      if (r.exchange == Exchange::MeterParameters) return {msg::kParametersSent, kExitOk};
      return {compensation ? msg::kCompensationStored : msg::kParametersStored, kExitOk};
    case LinkOutcome::Rejected:
      return {compensation ? msg::kCompensationVerifyFailed : msg::kVerifyFailed, kExitFileError};
    case LinkOutcome::Timeout:
      return {WithDetail(live ? msg::kConnectionTimeout : msg::kTimeout, r.detail), kExitFileError};
    case LinkOutcome::PortError:
      return {WithDetail(msg::kCommError, r.detail), kExitFileError};
    case LinkOutcome::Busy:
      return {msg::kDownloadRunning, kExitFileError};
    case LinkOutcome::Cancelled:
      break;
  }
  return {{}, kExitFileError};
}

DeviceEnd EndOf(const loggerlink::DownloadResult& r) {
  if (!r.rawFile.isEmpty()) return {WithDetail(msg::FileNotWritten(r.rawFile), r.rawDetail), kExitFileError};
  switch (r.outcome) {
    case DownloadOutcome::Saved:
      return {{}, kExitOk};
    case DownloadOutcome::PortError:
      return {WithDetail(msg::kCommError, r.detail), kExitFileError};
    case DownloadOutcome::Busy:
      return {msg::kDownloadRunning, kExitFileError};
    case DownloadOutcome::NoData:
      return {msg::kStatusNoData, kExitFileError};
    case DownloadOutcome::Fault:
      return {msg::kStatusFault, kExitFileError};
    case DownloadOutcome::SaveFailed:
      return {WithDetail(msg::FileNotWritten(r.file), r.detail), kExitFileError};
    case DownloadOutcome::Unsaved:
      break;
  }
  return {{}, kExitFileError};
}

}  // namespace logtool
