#include "common/savename.h"

#include "common/messages.h"

#include <QFileInfo>

namespace common {

QString AskSaveName(Prompt& prompt, const QString& filter, const QString& folder,
                    const std::function<QString(const QString&)>& refusal) {
  for (;;) {
    const QString name = prompt.saveFile(filter, folder);
    if (name.isEmpty()) return name;
    if (const QString why = refusal ? refusal(name) : QString(); !why.isEmpty()) {
      prompt.message(msg::kTitleError, why, PromptIcon::Exclamation);
      continue;
    }
    if (!QFileInfo::exists(name)) return name;
    if (prompt.message(msg::kTitleConfig, msg::FileExistsQuestion(name), PromptIcon::Exclamation,
                       PromptButtons::YesNo) == PromptAnswer::Yes)
      return name;
  }
}

}  // namespace common
