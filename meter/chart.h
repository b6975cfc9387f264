#pragma once
// The live chart as data and geometry: the last 60 seconds of engineering values, the
// time window, one vertical scale per unit and the traces in pixels. The widget paints
// what these return.
#include "common/channelconfig.h"
#include "common/commands.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <deque>
#include <vector>

namespace meter {

inline constexpr double kChartSeconds = 60;

using ChannelTicks = std::array<bool, common::kChannelCount>;

// Channels that carry a name of their own (not "CHn") are on the chart at first.
ChannelTicks DefaultChartChannels(const common::ChannelConfiguration& config);

class ChartModel {
 public:
  struct Sample {
    double t = 0;  // seconds since the read began
    std::array<double, common::kChannelCount> value{};
  };

  // A frame received `seconds` after the read began, scaled by the configuration in use
  // now: a range stored later leaves the points already drawn as they were.
  void append(double seconds, const common::LiveFrame& frame, const common::ChannelConfiguration& config);
  void clear() { samples_.clear(); }
  // Every sample in the window, and the one just before it so that a trace enters at
  // the left edge.
  const std::deque<Sample>& samples() const { return samples_; }
  // [end - 60, end] with end the newest time, but never before [0, 60].
  double windowEnd() const;
  double windowStart() const { return windowEnd() - kChartSeconds; }

 private:
  std::deque<Sample> samples_;
};

struct UnitAxis {
  QString unit;
  std::vector<int> channels;  // 1..12
  double lo = 0, hi = 1;      // the scale's ends
  std::vector<double> ticks;  // labelled values from lo to hi
};

// One scale per unit among the ticked channels, in the order of the units' first
// channels, each spanning the values in the window on round steps.
std::vector<UnitAxis> UnitAxes(const ChartModel& model, const ChannelTicks& ticked,
                               const common::ChannelConfiguration& config);

// Whole multiples of 10 s inside the window.
std::vector<double> TimeTicks(const ChartModel& model);

double XFor(const ChartModel& model, double t, const QRectF& plot);
double YFor(const UnitAxis& axis, double value, const QRectF& plot);
// Channel 1..12 in pixels of `plot`, oldest sample first.
std::vector<QPointF> Trace(const ChartModel& model, int channel, const UnitAxis& axis, const QRectF& plot);

}  // namespace meter
