#pragma once
// The channel panel's logic: zero locks, mid zero and committing a window height.
#include "logger/trend/viewstate.h"

#include <QString>
#include <array>

namespace common {
class Prompt;
}

namespace trend {

// A BIAS box was clicked (`clickedIndex` 0..11); `checked` holds every BIAS box after
// the click. Re-takes the last left-press candidates for every checked channel (not
// only the clicked one) and clears the others; channels 5 and 6 also take or drop
// their second reference. Nothing is redrawn.
void ApplyZeroLock(ViewState& view, const std::array<bool, 12>& checked, int clickedIndex);

// MIDZERO clicked. The caller redraws the trend.
void SetMidZero(ViewState& view, bool checked);

// What a WinHight box shows after an event, and whether the trend must be redrawn.
struct WinHeightOutcome {
  QString text;
  bool redraw = false;
};

// Enter in WinHight(index): a numeric text becomes the channel's window height;
// anything else is refused with a message and the stored height is shown again.
// A height of 0 passes here like any number; the drawing has to cope with it.
WinHeightOutcome CommitWinHeight(ViewState& view, int index, const QString& text, common::Prompt& prompt);

// The box lost the focus: text not confirmed with Enter is dropped.
QString WinHeightText(const ViewState& view, int index);

}  // namespace trend
