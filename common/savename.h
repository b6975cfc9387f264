#pragma once
// The save dialog followed by the overwrite question, shared by every command that
// writes a file the user names.
#include "common/prompt.h"

#include <QString>

namespace common {

// Shows the save dialog until the user gives a new name, or an existing one and
// answers Yes to "File name '...' exist. Are you sure, you want to save?" (title
// "Config"); any other answer shows the dialog again. Empty when the dialog was
// cancelled.
QString AskSaveName(Prompt& prompt, const QString& filter, const QString& folder);

}  // namespace common
