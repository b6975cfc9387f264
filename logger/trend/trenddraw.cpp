#include "logger/trend/trenddraw.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trend {

qint64 RoundHalfEven(double v) { return qint64(std::nearbyint(v)); }

double SamplesPerBar(double twipsPerPixel, qint32 start, qint32 end, double width) {
  if (width <= 0) return 0;
  return twipsPerPixel * 0.8 * double(end - start) / width;
}

qint32 StepFor(double n) {
  const qint64 s = RoundHalfEven(n);
  return qint32(std::clamp<qint64>(s, 1, std::numeric_limits<qint32>::max()));
}

VerticalResult MakeVerticalMap(const PictureScale& scale, double yScale, double winHeight, int zeroDivisor,
                               double rawBias) {
  // A height of 0 leaves 4095 / WinH without a value; such a channel is skipped
  // silently (the box already shows the user what was typed), rather than drawn with
  // a height the user did not ask for.
  if (winHeight == 0 || !std::isfinite(winHeight)) return {};
  VerticalResult r;
  r.ok = true;
  r.map.ky = -scale.height * yScale * (4095.0 / winHeight);
  r.map.base = scale.top + scale.height / (zeroDivisor == 2 ? 2.0 : 1.0) - 10;
  r.map.offset = r.map.base - r.map.ky * rawBias;
  return r;
}

VerticalMap MakeScopeMap(const PictureScale& scale, double yScale, double scaleValue, double bias) {
  VerticalMap m;
  m.ky = -scale.height * yScale * scaleValue / 10.0;
  m.base = scale.top + scale.height - 9;
  m.offset = m.base - m.ky * bias;
  return m;
}

qint32 PrintStepFor(qint32 start, qint32 end, double pageWidth) {
  const double n = pageWidth > 0 ? 0.8 * double(end - start) / pageWidth : 0;
  const qint32 step = StepFor(n);
  return n > 0.07 ? qint32(std::min<qint64>(qint64(step) * 20, std::numeric_limits<qint32>::max())) : step;
}

namespace {

// Extremes of samples first..last as the block search finds them: the search starts
// from 4095 / -4095 and takes only strictly smaller / larger values, which equals
// clamping the true extremes by those start values.
Extremes BlockExtremes(const SeriesView& series, const Envelope* envelope, qint32 first, qint32 last, bool clip) {
  Extremes e;
  // Short blocks read the samples directly; from a few dozen samples on, the compact
  // envelope tables beat strided reads through the thirteen-row store.
  if (envelope && !envelope->empty() && last - first >= 24) {
    e = envelope->range(first, last);
  } else {
    e.min = std::numeric_limits<double>::infinity();
    e.max = -e.min;
    for (qint32 m = first; m <= last; ++m) {
      const double v = series.at(m);
      e.min = std::min(e.min, v);
      e.max = std::max(e.max, v);
    }
  }
  if (!clip) return e;
  return {std::min(e.min, 4095.0), std::max(e.max, -4095.0)};
}

}  // namespace

TraceGeometry ComputeTrace(const TraceRequest& rq, const SeriesView& series, const Envelope* envelope) {
  TraceGeometry g;
  if (!series.valid()) return g;
  VerticalResult vr;
  if (rq.ownMap) {
    vr.ok = true;
    vr.map = *rq.ownMap;
  } else {
    vr = MakeVerticalMap(rq.scale, rq.yScale, rq.winHeight, rq.zeroDivisor, rq.rawBias);
  }
  if (!vr.ok) return g;
  const VerticalMap& vm = vr.map;
  const bool scopeMap = rq.ownMap.has_value();
  // Reads never go past the series, whatever window the caller hands in.
  const qint32 start = std::clamp<qint32>(rq.start, 0, series.count - 1);
  const qint32 end = std::clamp<qint32>(rq.end, 0, series.count - 1);
  if (end < start) return g;

  const double xstep = end != start ? rq.scale.width / double(end - start) : 0.0;
  const double n = SamplesPerBar(rq.twipsPerPixel, start, end, rq.scale.width);
  const qint32 step = rq.forcedStep > 0 ? rq.forcedStep : StepFor(n);

  auto drawn = [&](double r) { return rq.inverted && !rq.derived ? rq.fullScale - r : r; };
  auto pointY = [&](double r) {
    if (scopeMap) return drawn(r) * vm.ky + vm.offset;
    if (rq.derived) return vm.base + vm.ky * r;
    return drawn(r) * vm.ky + vm.offset + rq.drift;
  };

  double x = rq.scale.left;
  if (n <= 1 && rq.forcedStep <= 0) {
    g.polyline.reserve(std::size_t(end - start) + 1);
    g.polyline.emplace_back(x, pointY(series.at(start)));
    for (qint64 j = qint64(start) + 1; j <= end; j += step) {
      x += step * xstep;
      g.polyline.emplace_back(x, pointY(series.at(qint32(j))));
    }
    return g;
  }

  g.bars = true;
  // The block rule: blocks start at start, start + step, ...; each spans round(s) to
  // round(s + step), sharing its last sample with the next; the samples after the last
  // whole block get no bar.
  const double extra = scopeMap ? 0.0 : rq.derived ? 0.0 : rq.drift;
  // The trend's bars sit on base (its raw bias added back); the scope's keep its bias.
  const double barBase = scopeMap ? vm.offset : vm.base;
  double s = start;
  g.barLines.reserve(std::size_t((end - start) / step) + 1);
  for (qint64 j = qint64(start) + 1; j <= qint64(end) - step; j += step) {
    x += step * xstep;
    const qint32 first = qint32(RoundHalfEven(s));
    const qint32 last = qint32(std::min<qint64>(RoundHalfEven(s + step), series.count - 1));
    const Extremes e = BlockExtremes(series, envelope, first, last, !rq.trueExtremes);
    double vlow = drawn(e.min);
    double vhigh = drawn(e.max);
    if (vlow > vhigh) std::swap(vlow, vhigh);
    // offset + ky * rawBias == base: in this mode the raw bias does not shift a trend bar.
    const double yLow = vlow * vm.ky + barBase + rq.barReach + extra;
    const double yHigh = vhigh * vm.ky + barBase - rq.barReach + extra;
    g.barLines.emplace_back(x, yLow, x, yHigh);
    s += step;
  }
  return g;
}

OverviewGeometry ComputeOverview(const OverviewRequest& rq, const SeriesView& series) {
  OverviewGeometry g;
  // With no samples every x would divide by zero; an empty log shows an empty strip.
  if (!series.valid() || rq.sampleCount <= 0 || rq.scale.width <= 0) return g;
  const double w = rq.scale.width;
  const double count = rq.sampleCount;
  g.hasBox = true;
  g.windowBox = QRectF(QPointF(rq.windowStart / count * w, 0), QPointF(rq.windowEnd / count * w, rq.scale.height));

  const qint64 ostep = std::clamp<qint64>(
      rq.fixedStep > 0 ? rq.fixedStep : RoundHalfEven(rq.twipsPerPixel * 0.2 * count / w), 1, 32767);
  double k, b;
  if (!rq.inverted) {
    k = -rq.scale.height * rq.yScale;
    b = rq.scale.top + rq.scale.height;
  } else {
    k = rq.scale.height * rq.yScale;
    b = rq.scale.top;
  }
  const qint32 last = std::min(rq.sampleCount, series.count - 1);
  double x = rq.scale.left;
  const double dx = double(ostep) * w / count;
  g.trace.reserve(std::size_t(last / ostep) + 2);
  g.trace.emplace_back(x, series.at(0) * k + b);
  for (qint64 j = 1; j <= last; j += ostep) {
    x += dx;
    g.trace.emplace_back(x, series.at(qint32(j)) * k + b);
  }
  return g;
}

}  // namespace trend
