#pragma once
// Which stretch of the log the trend shows: the step and length buttons, the previous
// view, the samples/seconds switch, the four overview-strip gestures and the arrow keys.
// Every operation changes only the ViewState and says what has to be redrawn, so a
// main-window slot is one line: `redraw(trend::Ahead(view, store.SampleCount));`.
#include "logger/trend/viewstate.h"

#include <QString>
#include <optional>

namespace trend {

enum class Redraw {
  None,
  Trend,     // Update_Data_Window
  Overview,  // Update_Full_Data
  Both,      // Update_Full_Data, then Update_Data_Window
};

// Sample positions that must be whole samples are rounded half to even.
qint32 RoundSample(double position);

// A picture x (twips) on the trend of scale width W: x / W * length + start.
double TrendPosition(const ViewState& view, double x, double width);
// A picture x on the overview strip: x / W * SampleCount.
double OverviewPosition(double x, double width, qint32 sampleCount);

Redraw Ahead(ViewState& view, qint32 sampleCount);
Redraw Back(ViewState& view);
// "+ +" (delta 5) and "+" (delta 1): longer, never past the end of the log.
Redraw Lengthen(ViewState& view, qint32 sampleCount, qint32 delta);
// "- -" (delta 5) and "-" (delta 1): shorter, never below one sample.
Redraw Shorten(ViewState& view, qint32 delta);
// "Previous view". A previous view taken on a longer log is held inside this one, as
// Ahead holds the window at the end: same length where the log allows, else the whole log.
Redraw ZoomBack(ViewState& view, qint32 sampleCount);
// The step and length buttons and "Previous view" by their objectName, as the main window
// and every scope window name them; nothing for any other name.
std::optional<Redraw> NavigationButton(ViewState& view, QStringView name, qint32 sampleCount);

// Toggles seconds mode; returns the new caption of the SampSec button.
QString ToggleSeconds(ViewState& view);
QString SampSecCaption(bool secondsMode);

enum class MouseButton { Left, Right, Middle };

// Overview strip. x is in twips, width the strip's scale width.
Redraw OverviewPress(ViewState& view, MouseButton button, double x, double width, qint32 sampleCount);
Redraw OverviewRightDrag(ViewState& view, double x, double width, qint32 sampleCount);
Redraw OverviewRelease(ViewState& view, MouseButton button, double x, double width, qint32 sampleCount);
Redraw OverviewLeftDrag(ViewState& view, double x, double width, qint32 sampleCount);

// Arrow keys: the trend's current drawing x one twip to the right (+1) or left (-1),
// kept within 0..width. The caller then runs the cursor update at the result.
double ArrowKeyX(double currentX, double width, int direction);

// The texts of the window boxes Text5 (start), Text6 (end) and window (length) as a
// trend redraw writes them.
struct WindowTexts {
  QString start;
  QString end;
  QString length;
};
WindowTexts WindowBoxTexts(const ViewState& view, quint8 freqCode);

}  // namespace trend
