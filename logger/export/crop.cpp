#include "logger/export/crop.h"

#include "common/messages.h"
#include "logger/logdata/logfiles.h"

#include <QFile>
#include <algorithm>

namespace logexport {

bool WriteCroppedLog(const QString& path, const logdata::SampleStore& store, qint32 start, qint32 end,
                     QString* error) {
  const qint32 last = std::min<qint32>(end, store.columns() - 1);
  if (start < 0 || start > last) {
    if (error) *error = common::msg::kCropStartAfterEnd;
    return false;
  }
  return logdata::WriteDecodedLogRange(path, store, start, last - start + 1, error);
}

bool DeleteLogFile(const QString& path, QString* error) {
  QFile file(path);
  if (file.remove()) return true;
  if (error) *error = common::msg::FileNotDeleted(path, file.errorString());
  return false;
}

DeleteOutcome ConfirmAndDeleteLog(common::Prompt& prompt, const QString& path) {
  using common::PromptAnswer;
  if (prompt.message(common::msg::kTitleDelete, common::msg::kDeleteQuestion, common::PromptIcon::Exclamation,
                     common::PromptButtons::OkCancel) != PromptAnswer::Ok)
    return DeleteOutcome::Refused;
  QString error;
  if (!DeleteLogFile(path, &error)) {
    prompt.message(common::msg::kTitleError, error, common::PromptIcon::Exclamation);
    return DeleteOutcome::Failed;
  }
  return DeleteOutcome::Deleted;
}

}  // namespace logexport
