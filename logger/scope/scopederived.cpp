#include "logger/scope/scopederived.h"

namespace scope {

bool ShowsDerived(const trend::ViewState& view, const trend::DerivedColumns* derived, int channel) {
  return view.SpeedAlt && (channel == 5 || channel == 6) && derived && derived->speed && derived->altitude;
}

double DerivedShown(const trend::ViewState& view, const trend::DerivedColumns& derived, int channel, qint32 j) {
  if (j < 0 || j >= derived.count) return 0;
  const std::size_t at = std::size_t(j) * std::size_t(derived.stride);
  if (channel == 5) {
    const double metres = derived.altitude[at];
    return view.SpeedUnit == 2 ? metres / 0.3048 : metres;
  }
  const double metresPerSecond = derived.speed[at];
  if (view.SpeedUnit == 1) return metresPerSecond * 3.6;
  if (view.SpeedUnit == 2) return metresPerSecond * 3.6 / 1.609344;
  return metresPerSecond;
}

}  // namespace scope
