#pragma once
// Geometry of the trend picture and the overview strip: where each point, line and
// bar goes, in the pictures' own scale (twips). The widgets only paint what these
// functions return, so every rule here is testable without a window.
#include "logger/logdata/envelope.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace trend {

// The picture's scale: left, top, width and height in twips.
struct PictureScale {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// Whole number nearest to v, a half going to the even neighbour.
qint64 RoundHalfEven(double v);

// 0.8 x samples per pixel for the window start..end drawn into `width` twips.
double SamplesPerBar(double twipsPerPixel, qint32 start, qint32 end, double width);
// n rounded half-to-even, at least 1.
qint32 StepFor(double n);

// The vertical mapping of one channel: a drawn value v lies at y = v * ky + offset.
struct VerticalMap {
  double ky = 0;
  double base = 0;
  double offset = 0;
};
// nullopt-like: `ok` is false for a window height the mapping cannot use (0 or not finite).
struct VerticalResult {
  bool ok = false;
  VerticalMap map;
};
VerticalResult MakeVerticalMap(const PictureScale& scale, double yScale, double winHeight, int zeroDivisor,
                               double rawBias);

// The scope's mapping: no window height and no mid zero; scale value s (1 to 500,
// factor s / 10) stretches the channel's full scale over the height, and raw value
// `bias` lies on the bottom line, 9 units above the bottom edge.
VerticalMap MakeScopeMap(const PictureScale& scale, double yScale, double scaleValue, double bias);

// The printout's block length: n = 0.8 x samples per unit of the page width (not per
// pixel), rounded half-to-even and at least 1, and 20 times that once n exceeds 0.07.
qint32 PrintStepFor(qint32 start, qint32 end, double pageWidth);

struct TraceRequest {
  PictureScale scale;
  double twipsPerPixel = 15;
  qint32 start = 0;
  qint32 end = 0;
  double yScale = 1.0 / 4095;
  double winHeight = 4095;
  int zeroDivisor = 1;
  double rawBias = 0;
  bool inverted = false;  // Min > Max in the channel's configuration
  int fullScale = 4095;
  double drift = 0;
  bool derived = false;   // the series holds derived values: never inverted, no bias, no drift

  // The scope and its printout set their own map (MakeScopeMap): it replaces window
  // height, mid zero and raw bias, and its offset moves raw and derived values alike in
  // both modes (the trend adds the raw bias back to bars and never moves derived ones).
  std::optional<VerticalMap> ownMap;
  // How far each bar reaches beyond the block's extremes: 10 on screen, 0 on paper.
  double barReach = 10;
  // Set (> 0) by the printout: always bars, blocks of this many samples.
  qint32 forcedStep = 0;
  // The block search's start values 4095 / -4095 clip the extremes of a series that
  // leaves that range; a derived series in feet or km/h does, so the scope asks for the
  // true extremes there. Raw series never leave 0..4095 and are unaffected.
  bool trueExtremes = false;
};

struct TraceGeometry {
  bool bars = false;
  // Per-sample mode: the plotted first point followed by the end of each line.
  std::vector<QPointF> polyline;
  // Min/max mode: one vertical line per whole block (p1 = lower end, larger y).
  std::vector<QLineF> barLines;
  bool empty() const { return polyline.empty() && barLines.empty(); }
};

// One channel's trace for the window start..end. The envelope, if given, must be built
// over `series`; it makes long windows cost per bar rather than per sample.
TraceGeometry ComputeTrace(const TraceRequest& request, const SeriesView& series, const Envelope* envelope);

struct OverviewRequest {
  PictureScale scale;
  double twipsPerPixel = 15;
  qint32 sampleCount = 0;
  qint32 windowStart = 0;
  qint32 windowEnd = 0;
  double yScale = 1.0 / 4095;
  bool inverted = false;
  // The scope's strip draws about 500 points whatever its width: it passes its own step.
  qint32 fixedStep = 0;
};

struct OverviewGeometry {
  bool hasBox = false;
  QRectF windowBox;             // red outline
  std::vector<QPointF> trace;   // white: first plotted point, then line ends
};

// The overview strip of one channel over the whole log, columns 0..sampleCount (the
// spare zero column included). An empty series (no overview channel) gives nothing.
OverviewGeometry ComputeOverview(const OverviewRequest& request, const SeriesView& series);

}  // namespace trend
