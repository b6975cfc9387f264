#pragma once
// The flight report: A4 pages composed as data (texts, boxes, traces in twips), from the
// open log over a range of samples. The PDF painter only draws what this returns, so
// every number and every place on the page is testable without a painter.
#include "logger/session/logsession.h"

#include <QDateTime>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace report {

// A4 portrait in twips (1440 per inch).
constexpr double kPageWidth = 210 / 25.4 * 1440;
constexpr double kPageHeight = 297 / 25.4 * 1440;

struct Text {
  QRectF box;  // twips; the text is aligned in it and may run past it
  QString text;
  double size = 0;  // font pixel size in twips
  bool bold = false;
  bool alignRight = false;
  qint32 colour = 0;  // 0x00BBGGRR
};

struct Trace {
  std::vector<QPointF> points;  // one polyline
  qint32 colour = 0;
};

// A framed picture: light grid lines and the traces, clipped to the box.
struct Plot {
  QRectF box;
  std::vector<QLineF> grid;
  std::vector<Trace> traces;
};

struct Page {
  std::vector<Text> texts;
  std::vector<QLineF> rules;  // thin black lines outside the plots
  std::vector<Plot> plots;
};

// What the samples do not tell about the log.
struct Facts {
  QString logName;
  QString configFile;
  QDateTime modified;
};

// Highest speed and altitude and the steepest climb and sink over a range, in the unit
// setting's units; the rates in m/s for the metric settings, ft/min for the feet ones.
struct FlightSummary {
  int unit = 0;
  double minSpeed = 0, maxSpeed = 0;
  qint32 maxSpeedAt = 0;
  double minAltitude = 0, maxAltitude = 0;
  qint32 maxAltitudeAt = 0;
  bool rates = false;  // false when the log has no interval (FreqCode 0) or one sample
  double climb = 0, sink = 0;  // the largest and the smallest vertical speed
  qint32 climbAt = 0, sinkAt = 0;
};

// Samples in one second: 50 / FreqCode whole samples, at least 1.
qint32 SamplesPerSecond(const logdata::SampleStore& store);

// The vertical speed at sample j in metres per second: (ALT[j + n] - ALT[j - n]) over
// the time between them. Near the log's ends the neighbour outside the log is replaced
// by the first or last sample and the time shrinks with it. nullopt when both
// neighbours are the same sample or the interval is 0.
std::optional<double> VerticalSpeed(const derived::DerivedTable& table, qint32 sampleCount, qint32 j, qint32 n,
                                    double intervalSeconds);

// nullopt unless channels 5 and 6 show speed and altitude. from..to lie in the log.
std::optional<FlightSummary> Summarise(const session::LogSession& session, qint32 from, qint32 to);

// A trend colour dark enough to read on white paper, its hue kept.
qint32 PaperColour(qint32 bgr);

// Page 1: header, every recorded channel, the statistics table and, when speed and
// altitude show, the flight summary; then each recorded channel alone, three to a page.
// The statistics are `logtool stats`'s: engineering values without zero locks.
// from..to must lie in the log, from <= to.
std::vector<Page> ComposeReport(session::LogSession& session, const Facts& facts, qint32 from, qint32 to);

}  // namespace report
