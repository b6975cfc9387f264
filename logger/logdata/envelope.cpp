#include "logger/logdata/envelope.h"

#include <algorithm>
#include <limits>

namespace trend {

void Envelope::build(const SeriesView& series) {
  series_ = series;
  levels_.clear();
  if (!series.valid()) return;
  // Level 0 from the samples themselves.
  Level first{kFanOut, {}};
  const qint64 blocks0 = (qint64(series.count) + kFanOut - 1) / kFanOut;
  first.extremes.resize(2 * std::size_t(blocks0));
  for (qint64 b = 0; b < blocks0; ++b) {
    const qint64 from = b * kFanOut;
    const qint64 to = std::min<qint64>(from + kFanOut, series.count);
    float lo = std::numeric_limits<float>::infinity();
    float hi = -lo;
    if (series.raw) {
      const qint16* p = series.raw + from * series.stride;
      for (qint64 j = from; j < to; ++j, p += series.stride) {
        lo = std::min(lo, float(*p));
        hi = std::max(hi, float(*p));
      }
    } else if (series.derived) {
      const float* p = series.derived + from * series.stride;
      for (qint64 j = from; j < to; ++j, p += series.stride) {
        lo = std::min(lo, *p);
        hi = std::max(hi, *p);
      }
    } else {
      for (qint64 j = from; j < to; ++j) {
        lo = std::min(lo, float(series.at(qint32(j))));
        hi = std::max(hi, float(series.at(qint32(j))));
      }
    }
    first.extremes[2 * std::size_t(b)] = lo;
    first.extremes[2 * std::size_t(b) + 1] = hi;
  }
  levels_.push_back(std::move(first));
  while (levels_.back().blocks() > std::size_t(kFanOut)) {
    const Level& below = levels_.back();
    Level up{below.blockSize * kFanOut, {}};
    const std::size_t n = (below.blocks() + kFanOut - 1) / kFanOut;
    up.extremes.resize(2 * n);
    for (std::size_t b = 0; b < n; ++b) {
      const std::size_t from = b * kFanOut;
      const std::size_t to = std::min(from + kFanOut, below.blocks());
      float lo = std::numeric_limits<float>::infinity();
      float hi = -lo;
      for (std::size_t k = from; k < to; ++k) {
        lo = std::min(lo, below.extremes[2 * k]);
        hi = std::max(hi, below.extremes[2 * k + 1]);
      }
      up.extremes[2 * b] = lo;
      up.extremes[2 * b + 1] = hi;
    }
    levels_.push_back(std::move(up));
  }
}

// Extremes of samples first..last using levels up to `level`: whole blocks of that
// level come from its table, the ragged ends from the level below (or the samples).
// Block sizes are powers of eight, so block indices are shifts, not divisions; the
// running extremes stay in locals, which the compiler keeps in registers (through the
// references it would store them on every step, the tables being floats as well).
void Envelope::rangeAt(int level, qint64 first, qint64 last, float& lo, float& hi) const {
  static_assert(kFanOut == 8, "block indices are taken by shifts of three bits per level");
  if (level < 0) {
    float l = lo, h = hi;
    for (qint64 j = first; j <= last; ++j) {
      const float v = float(series_.at(qint32(j)));
      l = std::min(l, v);
      h = std::max(h, v);
    }
    lo = l;
    hi = h;
    return;
  }
  const Level& L = levels_[std::size_t(level)];
  const int shift = 3 * (level + 1);
  const qint64 firstWhole = (first + L.blockSize - 1) >> shift;
  const qint64 endWhole = (last + 1) >> shift;  // one past the last whole block
  if (firstWhole >= endWhole) {
    rangeAt(level - 1, first, last, lo, hi);
    return;
  }
  if (first < (firstWhole << shift)) rangeAt(level - 1, first, (firstWhole << shift) - 1, lo, hi);
  float l = lo, h = hi;
  const float* e = L.extremes.data();
  for (qint64 b = firstWhole; b < endWhole; ++b) {
    l = std::min(l, e[2 * b]);
    h = std::max(h, e[2 * b + 1]);
  }
  lo = l;
  hi = h;
  if ((endWhole << shift) <= last) rangeAt(level - 1, endWhole << shift, last, lo, hi);
}

Extremes Envelope::range(qint32 first, qint32 last) const {
  float lo = std::numeric_limits<float>::infinity();
  float hi = -lo;
  rangeAt(int(levels_.size()) - 1, first, last, lo, hi);
  return {double(lo), double(hi)};
}

}  // namespace trend
