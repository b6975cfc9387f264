#include "logger/logdata/samplestore.h"

namespace logdata {

bool SampleStore::reset(qint32 count) {
  if (count < 0) return false;
  // A fresh vector, not an overwrite: a shorter log must leave no trace of a longer one.
  std::vector<qint16> fresh(std::size_t(count + qint64(1)) * kSampleRows, 0);
  data_.swap(fresh);
  SampleCount = count;
  return true;
}

}  // namespace logdata
