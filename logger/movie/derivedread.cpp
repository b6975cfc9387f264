#include "logger/movie/derivedread.h"

namespace movie {

std::optional<DerivedReading> ReadDerived(const trend::DerivedColumns* d, int unitChoice, qint32 k) {
  if (!d || !d->speed || !d->altitude || k < 0 || k >= d->count) return std::nullopt;
  const std::size_t at = std::size_t(k) * std::size_t(d->stride);
  const double speed = d->speed[at];        // m/s
  const double altitude = d->altitude[at];  // m
  DerivedReading r;
  switch (unitChoice) {
    case 1:
      r = {speed * 3.6, altitude, QStringLiteral("km/h"), QStringLiteral("m")};
      break;
    case 2:
      r = {speed * 3.6 / 1.609344, altitude / 0.3048, QStringLiteral("mph"), QStringLiteral("feet")};
      break;
    default:
      r = {speed, altitude, QStringLiteral("m/s"), QStringLiteral("m")};
      break;
  }
  return r;
}

}  // namespace movie
