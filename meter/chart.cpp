#include "meter/chart.h"

#include <algorithm>
#include <cmath>

namespace meter {

ChannelTicks DefaultChartChannels(const common::ChannelConfiguration& config) {
  ChannelTicks t{};
  for (int c = 1; c <= common::kChannelCount; ++c)
    t[std::size_t(c - 1)] = config.channel[std::size_t(c - 1)].Name != QStringLiteral("CH") + QString::number(c);
  return t;
}

void ChartModel::append(double seconds, const common::LiveFrame& frame, const common::ChannelConfiguration& config) {
  Sample s;
  s.t = seconds;
  for (int c = 1; c <= common::kChannelCount; ++c)
    s.value[std::size_t(c - 1)] = common::ScaleRaw(config, c, frame.raw[std::size_t(c - 1)]);
  samples_.push_back(s);
  const double start = windowStart();
  while (samples_.size() > 1 && samples_[1].t <= start) samples_.pop_front();
}

double ChartModel::windowEnd() const {
  return samples_.empty() ? kChartSeconds : std::max(kChartSeconds, samples_.back().t);
}

namespace {

// About five steps of 1, 2 or 5 times a power of ten over the span. The ticks are
// counted rather than stepped in floating point, so a scale far from zero ends.
void RoundScale(UnitAxis& axis, double lo, double hi) {
  if (!(hi > lo)) {  // a flat trace gets a band around it
    const double pad = lo == 0 ? 1 : std::abs(lo) * 0.1;
    lo -= pad, hi += pad;
  }
  axis.lo = lo, axis.hi = hi;
  const double raw = (hi - lo) / 5;
  if (!std::isfinite(raw) || raw <= 0) return;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power * 10;
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) {
      step = m * power;
      break;
    }
  const double first = std::floor(lo / step), last = std::ceil(hi / step);
  if (!std::isfinite(first) || !std::isfinite(last) || last - first > 20) return;
  axis.lo = first * step, axis.hi = last * step;
  for (double k = first; k <= last; ++k) axis.ticks.push_back(k * step);
}

}  // namespace

std::vector<UnitAxis> UnitAxes(const ChartModel& model, const ChannelTicks& ticked,
                               const common::ChannelConfiguration& config) {
  std::vector<UnitAxis> axes;
  for (int c = 1; c <= common::kChannelCount; ++c) {
    if (!ticked[std::size_t(c - 1)]) continue;
    const QString& unit = config.channel[std::size_t(c - 1)].Unit;
    auto it = std::find_if(axes.begin(), axes.end(), [&](const UnitAxis& a) { return a.unit == unit; });
    if (it == axes.end()) it = axes.insert(axes.end(), UnitAxis{unit, {}, 0, 1, {}});
    it->channels.push_back(c);
  }
  for (UnitAxis& axis : axes) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (const auto& s : model.samples())
      for (int c : axis.channels) {
        lo = std::min(lo, s.value[std::size_t(c - 1)]);
        hi = std::max(hi, s.value[std::size_t(c - 1)]);
      }
    if (lo > hi) lo = 0, hi = 1;  // nothing received yet
    RoundScale(axis, lo, hi);
  }
  return axes;
}

std::vector<double> TimeTicks(const ChartModel& model) {
  std::vector<double> ticks;
  for (double k = std::ceil(model.windowStart() / 10); k * 10 <= model.windowEnd(); ++k) ticks.push_back(k * 10);
  return ticks;
}

double XFor(const ChartModel& model, double t, const QRectF& plot) {
  return plot.left() + (t - model.windowStart()) / kChartSeconds * plot.width();
}

double YFor(const UnitAxis& axis, double value, const QRectF& plot) {
  return plot.bottom() - (value - axis.lo) / (axis.hi - axis.lo) * plot.height();
}

std::vector<QPointF> Trace(const ChartModel& model, int channel, const UnitAxis& axis, const QRectF& plot) {
  std::vector<QPointF> points;
  points.reserve(model.samples().size());
  for (const auto& s : model.samples())
    points.emplace_back(XFor(model, s.t, plot), YFor(axis, s.value[std::size_t(channel - 1)], plot));
  return points;
}

}  // namespace meter
