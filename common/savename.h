#pragma once
// The save dialog followed by the overwrite question, shared by every command that
// writes a file the user names.
#include "common/prompt.h"

#include <QString>
#include <functional>

namespace common {

// Shows the save dialog until the user gives a new name, or an existing one and
// answers Yes to "File name '...' exist. Are you sure, you want to save?" (title
// "Config"); any other answer shows the dialog again. Empty when the dialog was
// cancelled. `refusal`, when given, names what is wrong with a chosen name (empty when
// nothing is): such a name is refused with that text before any overwrite question,
// and the dialog comes again.
QString AskSaveName(Prompt& prompt, const QString& filter, const QString& folder,
                    const std::function<QString(const QString&)>& refusal = {});

}  // namespace common
