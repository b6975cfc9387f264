#pragma once
// Navigation that users of today's plotting tools expect beside the buttons: the wheel
// zooms around the sample under the pointer, the middle button drags the window, and
// keys page through the log, jump to its ends and zoom around the cursor. Each gesture
// first records the view it leaves as the previous view, as a zoom on the overview
// strip does, so that "Previous view" takes it back.
#include "logger/trend/navigation.h"

namespace trend {

// One wheel notch (120 units) zooms by this factor: in when turned away from the user.
constexpr double kWheelZoomStep = 1.25;
// The window's length factor for a wheel turn of `angleDelta` units: below 1 zooms in.
double WheelFactor(int angleDelta);

// The previous view becomes the window as it is now.
void RememberView(ViewState& view);

// Length times `factor` (at least one sample, at most the log), the sample at picture
// x (twips, width W) staying at x, the window held within the log.
Redraw ZoomAt(ViewState& view, double x, double width, double factor, qint32 sampleCount);
// The window starting at `start`, its length kept, held within the log. No previous view:
// a drag calls it on every move.
Redraw MoveWindowTo(ViewState& view, qint64 start, qint32 sampleCount);
// A middle-button drag from picture x `fromX` to `toX` that began with the window at
// `startAtPress`: the log moves with the pointer.
Redraw PanTo(ViewState& view, qint32 startAtPress, double fromX, double toX, double width, qint32 sampleCount);

// Keys on a trend picture. Returns nullopt for a key that is not a navigation key.
// PageUp/PageDown: one window length back/ahead; Home/End: the start/end of the log;
// "+"/"-": zoom in/out around the cursor sample.
std::optional<Redraw> NavigationKey(ViewState& view, int key, const QString& text, double width, qint32 sampleCount);

// Picture x (twips) of sample k.
double SampleX(const ViewState& view, double k, double width);

}  // namespace trend
