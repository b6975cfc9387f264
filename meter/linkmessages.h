#pragma once
// What the meter says when an exchange with the logger ends: its one table of outcomes.
#include "common/link.h"
#include "common/promptmessage.h"

namespace meter {

// Empty where the meter says nothing. The port's own words, when there are any, are
// the text's second line.
QList<common::PromptMessage> MessagesFor(const common::LinkResult& result);

}  // namespace meter
