#pragma once
// Indicated airspeed and pressure altitude from the static pressure of channel 5 and
// the total pressure of channel 6 (both in mbar by their configuration), computed once
// into the derived table when "Speed / Alt" is ticked; the reference pressure the
// compensation dialog chooses; the zero levels and readings the zero locks and the
// clicks on the trend leave in the view state.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/logdata/samplestore.h"
#include "logger/trend/viewstate.h"

#include <cstdint>

namespace derived {

// Where the airspeed's reference pressure comes from.
constexpr std::uint8_t kFromBias = 0;    // the zero level of channel 6
constexpr std::uint8_t kFromSample = 1;  // the static pressure of the same sample
constexpr std::uint8_t kFromUser = 2;    // the user pressure

// The compensation dialog's program-wide settings.
struct Compensation {
  std::uint8_t Mode = kFromSample;
  float UserPressure = 1013.2f;  // mbar; the dialog's text until the user changes it
};

// One pressure channel's zero level and the readings of the last clicks on the trend,
// engineering values (mbar).
struct Readings {
  double zero = 0;    // the zero lock's bias: the channel's zero level
  double first = 0;   // taken by the last left click
  double second = 0;  // taken by the last right click; 0 when there was none
};

struct DerivationInput {
  Readings staticPressure;  // channel 5
  Readings totalPressure;   // channel 6
  std::int32_t firstSample = 0;   // where the first readings were taken
  std::int32_t secondSample = 0;  // where the second readings were taken
  Compensation compensation;
};

// ---- The view state's side

// Both zero levels set: "Speed / Alt" may be ticked.
bool ZeroLevelsSet(const trend::ViewState& view);

// A missing second reading (0) becomes the first one, so that there is no drift. The
// view keeps the new value: the zero locks read the same candidates.
void TakeMissingSecondReadings(trend::ViewState& view);

DerivationInput InputFromView(const trend::ViewState& view, const Compensation& compensation);

// ---- The computation

// The pressure correction of one channel at sample j for its sensor's drift, taken
// from two readings of the same pressure at two samples: 0 up to and including the
// first sample, (first - second) from the second sample on, linear in between. When
// the second sample is not after the first there is no stretch to spread the drift
// over and the correction is 0 everywhere (the trend's read-outs do the same). It
// depends on nothing but its arguments: not on what was drawn or read out before.
double Drift(const Readings& readings, std::int32_t firstSample, std::int32_t secondSample, std::int32_t j);

// Airspeed (m/s) and altitude (m) of one sample, in double precision.
struct SampleValues {
  double speed = 0;
  double altitude = 0;
};
SampleValues DeriveSample(const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                          const DerivationInput& in, std::int32_t j);

// Reallocates `table` for the store (all zero) and fills rows 0 and 1 for samples
// 0 .. SampleCount - 1. A compensation mode other than 0, 1 or 2, or a configuration
// or zero level that is not a number, leaves it all zero. Otherwise each stored value
// is DeriveSample's rounded to a float, held within the float range.
void ComputeDerived(const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                    const DerivationInput& in, DerivedTable& table);

}  // namespace derived
