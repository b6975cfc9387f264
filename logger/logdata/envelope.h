#pragma once
// Min/max envelope of one sample series, built once per log, so that the extremes of
// any sample range cost O(levels * 8) reads instead of one read per sample.
#include <QtGlobal>
#include <cstdint>
#include <vector>

namespace trend {

// One series of samples, either raw 16-bit values (a row of the sample store, whose
// columns lie `stride` values apart), single-precision derived values, or values that
// `read` works out per sample (derived values in a display unit).
struct SeriesView {
  const qint16* raw = nullptr;
  const float* derived = nullptr;
  std::ptrdiff_t stride = 1;
  qint32 count = 0;  // readable samples, indices 0 .. count - 1
  // Used when neither pointer is set; `context` is handed back to it.
  double (*read)(const void* context, qint32 j) = nullptr;
  const void* context = nullptr;

  double at(qint32 j) const {
    if (raw) return double(raw[std::ptrdiff_t(j) * stride]);
    if (derived) return double(derived[std::ptrdiff_t(j) * stride]);
    return read(context, j);
  }
  bool valid() const { return (raw || derived || read) && count > 0; }
};

struct Extremes {
  double min;
  double max;
};

class Envelope {
 public:
  static constexpr int kFanOut = 8;

  Envelope() = default;
  explicit Envelope(const SeriesView& series) { build(series); }
  void build(const SeriesView& series);
  bool empty() const { return levels_.empty(); }
  void clear() {
    levels_.clear();
    series_ = {};
  }
  qint32 count() const { return series_.count; }
  const SeriesView& series() const { return series_; }

  // Smallest and largest value of samples first..last, both included. The caller keeps
  // the range inside the series.
  Extremes range(qint32 first, qint32 last) const;

 private:
  // Level k holds the extremes of blocks of 8^(k+1) samples; a trailing partial block
  // is included so that every sample belongs to one block of each level. A block's
  // minimum and maximum lie side by side: a query reads one cache line, not two.
  struct Level {
    qint64 blockSize;
    std::vector<float> extremes;  // min, max of block b at 2b and 2b + 1
    std::size_t blocks() const { return extremes.size() / 2; }
  };
  void rangeAt(int level, qint64 first, qint64 last, float& lo, float& hi) const;

  SeriesView series_;
  std::vector<Level> levels_;
};

}  // namespace trend
