#include "logger/export/range.h"

#include "common/numtext.h"
#include "logger/logdata/samplestore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace logexport {

namespace {

QString Whole(qint32 v) { return QString::number(v); }

}  // namespace

BoxCheck CheckStartText(const QString& text, qint32 limit) {
  if (!common::IsNumericInput(text)) return {Whole(0), true};
  const double v = common::LeadingNumber(text);
  if (v < 0) return {Whole(0), false};
  if (v > limit) return {Whole(limit), false};
  return {text, false};
}

BoxCheck CheckEndText(const QString& text, qint32 limit) {
  if (!common::IsNumericInput(text)) return {Whole(1), true};
  QString shown = text;
  double v = common::LeadingNumber(text);
  if (v > limit) {
    shown = Whole(limit);
    v = limit;
  }
  if (v < 1) shown = Whole(1);
  return {shown, false};
}

qint32 BoxValue(const QString& text) {
  // nearbyint follows the default rounding mode, to nearest with halves to even.
  const double r = std::nearbyint(common::LeadingNumber(text));
  if (!(r >= std::numeric_limits<qint32>::min())) return std::numeric_limits<qint32>::min();
  if (r > std::numeric_limits<qint32>::max()) return std::numeric_limits<qint32>::max();
  return qint32(r);
}

qint32 RangeLimit(const logdata::SampleStore& store) {
  return std::max<qint32>(0, std::min<qint32>(store.LoadedSampleCount, store.columns() - 1));
}

}  // namespace logexport
