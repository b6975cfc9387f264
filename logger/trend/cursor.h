#pragma once
// The trend cursor: the position read-out, the cursor sample, the twelve value
// read-outs, the geometry of the overlay line and the bias candidates a press takes.
// Reads the sample store and the configuration; writes only the ViewState.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/logdata/samplestore.h"
#include "logger/trend/navigation.h"
#include "logger/trend/viewstate.h"

#include <QString>
#include <array>

namespace common {
class Prompt;
}

namespace trend {

// The "####" and "####.##" formats of the position box (common/formattext.h).
QString FormatWhole(double value);
QString FormatTwoDecimals(double value);
// Any pattern of '#' and '0' placeholders with an optional point, such as "###0.00##":
// '0' digits always show, '#' digits only where the number has them.
QString FormatPattern(double value, QStringView pattern);

// The position read-out at picture x of a picture `width` twips wide: the sample with
// "####", or in seconds mode the time with "####.##".
QString PositionText(const ViewState& view, quint8 freqCode, double x, double width);

// The channel 5/6 drift correction at sample k for engineering-bias entry `channelIndex`
// (4 or 5); 0 for every other channel and outside s1 < k < s2.
double DriftCorrection(const ViewState& view, int channelIndex, qint32 k);

// Engineering value less zero-lock bias (and drift) of channel 1..12 at sample k.
double ShownValue(const ViewState& view, const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                  int channel, qint32 k);

// Twips, rounded to whole ones. 32 bits: a maximised window on a wide screen is more
// than 32767 twips (2184 px at 96 DPI) across.
struct CursorLine {
  bool erase = false;  // an old line is on the picture and must be removed first
  qint32 eraseX = 0;
  qint32 drawX = 0;
};

struct CursorReadout {
  QString position;  // chpos1
  bool valuesValid = false;  // the chval boxes are written only while a log is loaded
  std::array<QString, common::kChannelCount> values;  // chval 0..11
  CursorLine line;
};

struct CursorInput {
  const logdata::SampleStore& store;
  const common::ChannelConfiguration& config;
  bool logLoaded = false;
  double width = 0;                        // picTrend scale width, twips
  // The derived speed and altitude, shown for channels 6 and 5 while view.SpeedAlt is
  // set, in the unit view.SpeedUnit chooses. Read only: the cursor never builds it.
  const derived::DerivedTable* derived = nullptr;
};

// Mouse move on the trend, and the arrow keys: position read-out, cursor sample,
// value read-outs, cursor line. Updates view.CursorSample and view.CursorX.
CursorReadout CursorMove(ViewState& view, const CursorInput& in, double x);

// Mouse press on the trend. Without a log: "No data!" and nothing else (handled false).
// With one: position read-out, bias candidates for the button, cursor line, and the
// overview is to be redrawn. The value read-outs are left as they are (valuesValid
// false) and a press does not move the cursor sample.
struct PressResult {
  bool handled = false;
  CursorReadout readout;
  Redraw redraw = Redraw::None;  // Overview after a handled press
};
PressResult CursorPress(ViewState& view, const CursorInput& in, MouseButton button, double x, common::Prompt& prompt);

// The candidates a press takes at sample k (left: all twelve channels, right: the
// second references of channels 5 and 6).
void CaptureBiasCandidates(ViewState& view, const logdata::SampleStore& store,
                           const common::ChannelConfiguration& config, MouseButton button, qint32 k);

// The column a cursor position may read: clamped to the store's columns, so a drag
// that leaves the picture never reads outside the log.
qint32 ReadableSample(const logdata::SampleStore& store, qint32 k);

}  // namespace trend
