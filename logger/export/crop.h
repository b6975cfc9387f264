#pragma once
// Crop: a sample range of the current log saved as a new .dlg. Delete: the current
// log's file removed from the disk.
#include "common/prompt.h"

#include <QString>

namespace logdata {
class SampleStore;
}

namespace logexport {

// Samples start..end inclusive as a .dlg: count end - start + 1, the store's
// ChannelMask, FreqCode and ConfigNumber, then the records. A range that ends past the
// store's spare zero column ends there. Start after End gives no log a loader would
// take (count 0 or below) and is refused, as is a start below 0. Written through a
// temporary file, so a longer old file of the same name leaves no tail behind and a
// failed write leaves it whole; *error says why on failure.
bool WriteCroppedLog(const QString& path, const logdata::SampleStore& store, qint32 start, qint32 end,
                     QString* error);

// Removes the file. Its read-only mark does not stop this: on Linux removing a file is
// a right of its folder, and that is the only thing asked. On failure the file is as
// it was and *error says why.
bool DeleteLogFile(const QString& path, QString* error);

enum class DeleteOutcome { Refused, Failed, Deleted };
// The Delete command after its log test: asks "Do You really want to delete the current
// file?" (title "Delete", OK/Cancel) and removes the file on OK; a failure is shown.
DeleteOutcome ConfirmAndDeleteLog(common::Prompt& prompt, const QString& path);

}  // namespace logexport
