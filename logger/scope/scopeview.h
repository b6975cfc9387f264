#pragma once
// The scope view's arithmetic: the two traces with their own scale and bias, their
// labels and rulers, the cursor with its two read-outs and level lines, and the print
// marker. Drawing goes through the trend's functions (trenddraw.h) with the scope's
// own vertical map; nothing here knows a widget.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/session/logsession.h"
#include "logger/logdata/samplestore.h"
#include "logger/trend/cursor.h"
#include "logger/logdata/envelope.h"
#include "logger/trend/trenddraw.h"
#include "logger/trend/viewstate.h"

#include <QLineF>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace common {
class Prompt;
}

namespace scope {

// One trace's controls: its channel (1..12, the ScopeCH choice), the scale bar value
// s (1..500, factor s / 10) and the bias bar value b (raw counts, -4095..4095).
struct TraceSetting {
  int channel = 1;
  int scale = 10;
  int bias = 0;
};
using TraceSettings = std::array<TraceSetting, 2>;

// The labels of one trace, as texts and (bottom, top) as numbers for the ruler.
struct TraceLabels {
  QString number;  // Label5
  QString name;    // Label6
  QString unit;    // Label7
  QString bottom;  // Label1: the value on the bottom line
  QString top;     // Label2: the value one picture height above it
  QString scale;   // Label3: the scale factor
  QString bias;    // Label4: the bias in engineering units
  double bottomValue = 0;
  double topValue = 0;
};
TraceLabels LabelsFor(session::LogSession& sources, const TraceSetting& trace);

// The trace is drawn: a log is loaded and its channel is checked (and enabled) in the
// main window.
bool TraceShown(session::LogSession& sources, const TraceSetting& trace);

// The printout draws with its own step rule (from the page width) and bars that end at
// the extremes; the screen passes nothing.
struct PrintRule {
  double pageWidth = 0;
};

// One trace over the shared view window in a picture of `scale` (twips). Empty when
// the channel is not shown in the main window.
trend::TraceGeometry ComputeScopeTrace(session::LogSession& sources, const TraceSetting& trace,
                                       const trend::PictureScale& scale, double twipsPerPixel,
                                       std::optional<PrintRule> print = std::nullopt);

// A ruler's ticks: y in twips on a ruler as tall as the picture (the bottom value on
// the bottom line, 9 units above the lower edge, the top value one height above it),
// and the label text.
struct RulerTick {
  double y = 0;
  QString text;
};
struct Ruler {
  double distance = 0;  // between ticks, in the trace's units
  std::vector<RulerTick> ticks;
};
Ruler ComputeRuler(double bottomValue, double topValue, double height);

struct ScopeReadout {
  QString position;           // chpos1
  bool valuesValid = false;   // a log is loaded: chval 0 and 1 are written
  std::array<QString, 2> values;
  double cursorX = 0;         // twips
  std::vector<QLineF> levelLines;  // trace 1 left of the cursor, trace 2 right of it
};
// The cursor at picture x: position, cursor sample (shared), read-outs, and the level
// lines when `levels` is set. Only traces that are drawn get a level line.
ScopeReadout ScopeCursorMove(session::LogSession& sources, const TraceSettings& traces,
                             const trend::PictureScale& scale, double x, bool levels);

// The print marker, shared by every scope window until a printout uses it.
struct Marker {
  bool set = false;
  qint16 x = 0;          // twips
  double fraction = 0;   // x / picture width
  double position = 0;   // chpos1 at the click
  std::array<double, 2> values{};  // chval 0 and 1 at the click
};
// A press on the scope picture. Without a log: "No data!" and no marker (false).
// Otherwise the marker takes the click and the read-outs as they stand; nothing else.
bool PressMarker(Marker& marker, bool logLoaded, double x, double width, const QString& positionText,
                 const std::array<QString, 2>& valueTexts, common::Prompt& prompt);

}  // namespace scope

namespace scope {

// The scope's overview step: about 500 points over the whole log, whatever the strip's
// width (SampleCount / 500, at least 1, at most a 16-bit integer).
qint32 OverviewStep(qint32 sampleCount);

// "p" in a scope: appends the capture line of the shared cursor sample to `path`. Its
// shown values are those the main window's read-outs give at that very sample (the
// main window's boxes may still show another sample). Nothing without a log.
bool AppendScopeCapture(session::LogSession& sources, const QString& path, QString* error);

}  // namespace scope
