#include "logger/session/stats.h"

#include "logger/trend/cursor.h"

#include <algorithm>
#include <cmath>

namespace session {

namespace {

// Values read one by one: the derived table, or a drift that changes along the range.
struct Pass {
  ChannelStats s;
  double sum = 0;
  double squares = 0;
  void add(double v, qint32 j) {
    if (s.samples == 0 || v < s.min) s.min = v, s.minAt = j;
    if (s.samples == 0 || v > s.max) s.max = v, s.maxAt = j;
    sum += v;
    squares += v * v;
    ++s.samples;
  }
  ChannelStats done() {
    s.mean = sum / s.samples;
    s.rms = std::sqrt(squares / s.samples);
    return s;
  }
};

// The drift correction is 0 outside the open interval between the two reference samples.
bool DriftWithin(const trend::ViewState& view, int channel, qint32 from, qint32 to) {
  if (channel != 5 && channel != 6) return false;
  const qint64 first = std::max<qint64>(from, qint64(view.BiasRef[0]) + 1);
  const qint64 last = std::min<qint64>(to, qint64(view.BiasRef[1]) - 1);
  return first <= last;
}

// The engineering value is a straight line in the raw value, so one pass over the raw
// row in integers gives everything: the extremes sit at the extreme raw values, the
// mean is the value of the mean raw value. This is the pass a 1.28 million-sample
// channel takes, as cheap as summing the row.
ChannelStats RawPass(const logdata::SampleStore& store, const common::ChannelConfiguration& config, int channel,
                     qint32 from, qint32 to, double bias) {
  const qint16* p = store.columnData(from) + (channel - 1);
  qint32 lo = *p, hi = *p, loAt = from, hiAt = from;
  // |r| <= 32768, so r * r <= 2^30, and a log has fewer than 2^22 samples: no overflow.
  qint64 sum = 0, squares = 0;
  for (qint32 j = from; j <= to; ++j, p += logdata::kSampleRows) {
    const qint32 r = *p;
    if (r < lo) lo = r, loAt = j;
    if (r > hi) hi = r, hiAt = j;
    sum += r;
    squares += qint64(r) * r;
  }
  const auto value = [&](double raw) { return common::ScaleRaw(config, channel, raw) - bias; };
  const common::ChannelSettings& ch = config.channel[std::size_t(channel - 1)];
  const double slope = (ch.Max - ch.Min) / common::FullScale(channel);
  ChannelStats s;
  s.samples = to - from + 1;
  const double n = s.samples;
  // A falling scale (Max below Min) turns the smallest raw value into the largest value;
  // a flat one shows one value from the first sample on.
  if (slope == 0) loAt = hiAt = from;
  const bool rising = slope >= 0;
  s.min = value(rising ? lo : hi), s.minAt = rising ? loAt : hiAt;
  s.max = value(rising ? hi : lo), s.maxAt = rising ? hiAt : loAt;
  s.mean = value(double(sum) / n);
  // mean of squares = mean^2 + slope^2 * variance of the raw values. The variance comes
  // exact from the integer sums (n * squares - sum^2 needs more than 64 bits), so a
  // large offset does not swallow the spread as a difference of doubles would.
  const double variance = double(__int128(s.samples) * squares - __int128(sum) * sum) / (n * n);
  s.rms = std::sqrt(s.mean * s.mean + slope * slope * variance);
  return s;
}

}  // namespace

std::optional<ChannelStats> ChannelStatistics(const StatsSource& source, int channel, qint32 from, qint32 to) {
  const logdata::SampleStore& store = source.store;
  if (channel < 1 || channel > common::kChannelCount || from < 0 || from > to || to >= store.SampleCount ||
      to >= store.columns())
    return std::nullopt;
  if (derived::ShowsDerived(source.derived, channel)) {
    Pass pass;
    for (qint32 j = from; j <= to; ++j) pass.add(*derived::ShownDerived(source.derived, channel, j), j);
    return pass.done();
  }
  const trend::ViewState* view = source.view;
  if (view && DriftWithin(*view, channel, from, to)) {
    Pass pass;
    for (qint32 j = from; j <= to; ++j) pass.add(trend::ShownValue(*view, store, source.config, channel, j), j);
    return pass.done();
  }
  const double bias = view ? view->EngBias[std::size_t(channel - 1)] : 0.0;
  return RawPass(store, source.config, channel, from, to, bias);
}

}  // namespace session
