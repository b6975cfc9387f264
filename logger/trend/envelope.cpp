#include "logger/trend/envelope.h"

#include <algorithm>
#include <limits>

namespace trend {

void Envelope::build(const SeriesView& series) {
  series_ = series;
  levels_.clear();
  if (!series.valid()) return;
  // Level 0 from the samples themselves.
  Level first{kFanOut, {}, {}};
  const qint64 blocks0 = (qint64(series.count) + kFanOut - 1) / kFanOut;
  first.min.resize(std::size_t(blocks0));
  first.max.resize(std::size_t(blocks0));
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
    first.min[std::size_t(b)] = lo;
    first.max[std::size_t(b)] = hi;
  }
  levels_.push_back(std::move(first));
  while (levels_.back().min.size() > std::size_t(kFanOut)) {
    const Level& below = levels_.back();
    Level up{below.blockSize * kFanOut, {}, {}};
    const std::size_t n = (below.min.size() + kFanOut - 1) / kFanOut;
    up.min.resize(n);
    up.max.resize(n);
    for (std::size_t b = 0; b < n; ++b) {
      const std::size_t from = b * kFanOut;
      const std::size_t to = std::min(from + kFanOut, below.min.size());
      up.min[b] = *std::min_element(below.min.begin() + qint64(from), below.min.begin() + qint64(to));
      up.max[b] = *std::max_element(below.max.begin() + qint64(from), below.max.begin() + qint64(to));
    }
    levels_.push_back(std::move(up));
  }
}

// Extremes of samples first..last using levels up to `level`: whole blocks of that
// level come from its table, the ragged ends from the level below (or the samples).
void Envelope::rangeAt(int level, qint64 first, qint64 last, float& lo, float& hi) const {
  if (level < 0) {
    for (qint64 j = first; j <= last; ++j) {
      const float v = float(series_.at(qint32(j)));
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    return;
  }
  const Level& L = levels_[std::size_t(level)];
  const qint64 firstWhole = (first + L.blockSize - 1) / L.blockSize;
  const qint64 endWhole = (last + 1) / L.blockSize;  // one past the last whole block
  if (firstWhole >= endWhole) {
    rangeAt(level - 1, first, last, lo, hi);
    return;
  }
  if (first < firstWhole * L.blockSize) rangeAt(level - 1, first, firstWhole * L.blockSize - 1, lo, hi);
  for (qint64 b = firstWhole; b < endWhole; ++b) {
    lo = std::min(lo, L.min[std::size_t(b)]);
    hi = std::max(hi, L.max[std::size_t(b)]);
  }
  if (endWhole * L.blockSize <= last) rangeAt(level - 1, endWhole * L.blockSize, last, lo, hi);
}

Extremes Envelope::range(qint32 first, qint32 last) const {
  float lo = std::numeric_limits<float>::infinity();
  float hi = -lo;
  rangeAt(int(levels_.size()) - 1, first, last, lo, hi);
  return {double(lo), double(hi)};
}

}  // namespace trend
