#include "common/savename.h"

#include "common/messages.h"

#include <QFileInfo>

namespace common {

QString AskSaveName(Prompt& prompt, const QString& filter, const QString& folder) {
  for (;;) {
    const QString name = prompt.saveFile(filter, folder);
    if (name.isEmpty() || !QFileInfo::exists(name)) return name;
    if (prompt.message(msg::kTitleConfig, msg::FileExistsQuestion(name), PromptIcon::Exclamation,
                       PromptButtons::YesNo) == PromptAnswer::Yes)
      return name;
  }
}

}  // namespace common
