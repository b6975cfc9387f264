#pragma once
// The one place the scope reads derived speed and altitude: every trace, read-out,
// level line and printout of channels 5 and 6 goes through these two functions, so
// that the derived-quantities library can take their place in one edit.
#include "logger/trend/cursor.h"
#include "logger/trend/viewstate.h"

namespace scope {

// Channel 1..12 shows derived values: "Speed / Alt" is ticked, the channel is 5
// (altitude) or 6 (speed) and a table has been computed.
bool ShowsDerived(const trend::ViewState& view, const trend::DerivedColumns* derived, int channel);

// The value of channel 5 or 6 at sample j as shown: altitude or speed in the display
// unit of the speed unit setting (0: m and m/s, 1: m and km/h, 2: feet and mph).
// Samples outside the table read 0. Call only where ShowsDerived holds.
double DerivedShown(const trend::ViewState& view, const trend::DerivedColumns& derived, int channel, qint32 j);

}  // namespace scope
