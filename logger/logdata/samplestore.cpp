#include "logger/logdata/samplestore.h"

namespace logdata {

namespace {
std::size_t ElementsFor(qint32 count) { return std::size_t(count + qint64(1)) * kSampleRows; }

// Memory kept from a much longer previous log is given back rather than held.
void ReleaseIfOversized(std::vector<qint16>& data, std::size_t needed) {
  if (data.capacity() > 2 * needed + 4096) std::vector<qint16>().swap(data);
}
}  // namespace

bool SampleStore::reset(qint32 count) {
  if (count < 0) return false;
  const std::size_t n = ElementsFor(count);
  ReleaseIfOversized(data_, n);
  // Every element is cleared: a shorter log leaves no trace of a longer one.
  data_.assign(n, 0);
  SampleCount = count;
  return true;
}

bool SampleStore::resizeForOverwrite(qint32 count) {
  if (count < 0) return false;
  const std::size_t n = ElementsFor(count);
  ReleaseIfOversized(data_, n);
  data_.resize(n);
  SampleCount = count;
  return true;
}

}  // namespace logdata
