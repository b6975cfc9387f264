#pragma once
// A message box's content as a value: what the programs' outcome tables give back.
#include "common/prompt.h"

#include <QList>
#include <QString>

namespace common {

struct PromptMessage {
  QString title;
  QString text;
  PromptIcon icon = PromptIcon::None;
  bool operator==(const PromptMessage&) const = default;
};

// Shown in order, each with its OK button.
inline void Say(Prompt& prompt, const QList<PromptMessage>& messages) {
  for (const PromptMessage& m : messages) prompt.message(m.title, m.text, m.icon);
}

// `text` with the system's own words on a second line, when there are any.
inline QString WithDetail(const QString& text, const QString& detail) {
  return detail.isEmpty() ? text : text + u'\n' + detail;
}

}  // namespace common
