#include "logger/derived/speedalt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace derived {
namespace {

constexpr double kExponent = 0.190284;  // standard atmosphere, pressure to height
constexpr double kFeetAtZeroPressure = 145366.45;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kAirDensity = 1.215;  // kg/m^3
constexpr int kRawValues = 4096;       // channels 5 and 6 are 12-bit

// Every stored value is a finite float: anything beyond the float range becomes the
// largest float. The formula never yields not-a-number from finite inputs; a
// configuration or zero level without a number is caught before the loops.
float ToStored(double v) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  const double finite = v == v ? v : 0.0;
  return float(std::min(std::max(finite, -kLargest), kLargest));
}

// Pressures to airspeed and altitude. The table's roads below differ only in how
// often they apply it, so every stored value is DeriveSample's rounded to a float.
struct Formula {
  const common::ChannelConfiguration& config;
  std::uint8_t mode;
  double zero5;
  double zero6;
  double offset;        // mode 1: the sensors' offset, zero level 6 - zero level 5
  double userPressure;  // mode 2

  Formula(const common::ChannelConfiguration& c, const DerivationInput& in)
      : config(c),
        mode(in.compensation.Mode),
        zero5(in.staticPressure.zero),
        zero6(in.totalPressure.zero),
        offset(in.compensation.Mode == kFromSample ? zero6 - zero5 : 0.0),
        userPressure(in.compensation.UserPressure) {}

  // Pressures in mbar without the drift correction.
  double staticPressure(double raw) const { return common::ScaleRaw(config, 5, raw); }
  double totalPressure(double raw) const { return common::ScaleRaw(config, 6, raw); }

  // m/s from the sample's pressures with their drift; a negative dynamic pressure
  // counts as no airspeed. Modes 0 and 2 do not look at the static pressure.
  double speed(double p5, double p6) const {
    double q;  // Pa
    if (mode == kFromBias) q = (p6 - zero6) * 100;
    else if (mode == kFromSample) q = (p6 - p5 - offset) * 100;
    else q = (p6 - userPressure) * 100;
    return q > 0 ? std::sqrt(2 * q / kAirDensity) : 0.0;
  }

  // m. The power is undefined for a pressure ratio at or below 0 (a static pressure
  // of 0 mbar or less, or a zero level below 0). Such a ratio counts as 0: the
  // altitude the formula approaches as the pressure falls to nothing, 44307.69 m
  // (145366.45 feet). It is finite, lies above every real altitude, and keeps the
  // altitude falling as the pressure rises.
  double altitude(double p5) const {
    double ratio = p5 / zero5;
    if (!(ratio > 0)) ratio = 0;
    return (1 - std::pow(ratio, kExponent)) * kFeetAtZeroPressure * kMetresPerFoot;
  }
};

bool InRawRange(std::int32_t raw) { return unsigned(raw) < unsigned(kRawValues); }

// Fills the two rows stretch by stretch. Channels 5 and 6 hold 12-bit values, so
// wherever the drift correction is the same for a long stretch the altitude (and in
// modes 0 and 2 the airspeed) depends on one raw value and is looked up. Between the
// readings each sample has its own correction and gets the formula itself.
class Filler {
 public:
  Filler(const logdata::SampleStore& store, const common::ChannelConfiguration& config, const DerivationInput& in,
         DerivedTable& table)
      : f_(config, in),
        in_(in),
        store_(store),
        speed_(table.row(DerivedTable::kSpeedRow)),
        altitude_(table.row(DerivedTable::kAltitudeRow)) {}

  void perSample(std::int32_t from, std::int32_t to) {
    for (std::int32_t j = from; j < to; ++j) bySample(j);
  }

  // Samples from .. to - 1, all with the corrections drift5 and drift6: the ones
  // Drift() gives each of them.
  void sameDrift(std::int32_t from, std::int32_t to, double drift5, double drift6) {
    // A table costs a power per raw value: a shorter stretch is cheaper sample by sample.
    if (to - from < kRawValues) {
      perSample(from, to);
      return;
    }
    for (int r = 0; r < kRawValues; ++r) {
      const auto i = std::size_t(r);
      p5_[i] = f_.staticPressure(r) + drift5;
      p6_[i] = f_.totalPressure(r) + drift6;
      altitudeOf5_[i] = ToStored(f_.altitude(p5_[i]));
      speedOf6_[i] = ToStored(f_.speed(0.0, p6_[i]));
    }
    const bool bothChannels = f_.mode == kFromSample;
    for (std::int32_t j = from; j < to; ++j) {
      const std::int32_t r5 = store_.at(4, j);
      const std::int32_t r6 = store_.at(5, j);
      if (!InRawRange(r5) || !InRawRange(r6)) {
        bySample(j);  // a value no 12-bit channel holds: a damaged or hand-made log
        continue;
      }
      altitude_[j] = altitudeOf5_[std::size_t(r5)];
      speed_[j] = bothChannels ? ToStored(f_.speed(p5_[std::size_t(r5)], p6_[std::size_t(r6)]))
                               : speedOf6_[std::size_t(r6)];
    }
  }

 private:
  void bySample(std::int32_t j) {
    const SampleValues v = DeriveSample(store_, f_.config, in_, j);
    speed_[j] = ToStored(v.speed);
    altitude_[j] = ToStored(v.altitude);
  }

  Formula f_;
  const DerivationInput& in_;
  const logdata::SampleStore& store_;
  float* speed_;
  float* altitude_;
  // By raw value, for the current stretch (about 100 kB, so on the heap): the
  // pressures with the stretch's correction, the altitude, and in modes 0 and 2 the
  // airspeed.
  std::vector<double> p5_ = std::vector<double>(kRawValues);
  std::vector<double> p6_ = std::vector<double>(kRawValues);
  std::vector<float> altitudeOf5_ = std::vector<float>(kRawValues);
  std::vector<float> speedOf6_ = std::vector<float>(kRawValues);
};

}  // namespace

bool ZeroLevelsSet(const trend::ViewState& view) { return view.EngBias[4] != 0 && view.EngBias[5] != 0; }

void TakeMissingSecondReadings(trend::ViewState& view) {
  if (view.EngCandidate[12] == 0) view.EngCandidate[12] = view.EngCandidate[4];
  if (view.EngCandidate[13] == 0) view.EngCandidate[13] = view.EngCandidate[5];
}

DerivationInput InputFromView(const trend::ViewState& view, const Compensation& compensation) {
  DerivationInput in;
  in.staticPressure = {view.EngBias[4], view.EngCandidate[4], view.EngCandidate[12]};
  in.totalPressure = {view.EngBias[5], view.EngCandidate[5], view.EngCandidate[13]};
  in.firstSample = view.CandidateRef[0];
  in.secondSample = view.CandidateRef[1];
  in.compensation = compensation;
  return in;
}

double Drift(const Readings& readings, std::int32_t firstSample, std::int32_t secondSample, std::int32_t j) {
  if (secondSample <= firstSample || j <= firstSample) return 0;
  const double full = readings.first - readings.second;
  if (j >= secondSample) return full;
  return full * (double(j) - firstSample) / (double(secondSample) - firstSample);
}

SampleValues DeriveSample(const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                          const DerivationInput& in, std::int32_t j) {
  const Formula f(config, in);
  const double p5 = f.staticPressure(store.at(4, j)) + Drift(in.staticPressure, in.firstSample, in.secondSample, j);
  const double p6 = f.totalPressure(store.at(5, j)) + Drift(in.totalPressure, in.firstSample, in.secondSample, j);
  return {f.speed(p5, p6), f.altitude(p5)};
}

void ComputeDerived(const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                    const DerivationInput& in, DerivedTable& table) {
  const std::uint8_t mode = in.compensation.Mode;
  const auto& c5 = config.channel[4];
  const auto& c6 = config.channel[5];
  const bool finite = std::isfinite(c5.Min) && std::isfinite(c5.Max) && std::isfinite(c6.Min) &&
                      std::isfinite(c6.Max) && std::isfinite(in.staticPressure.zero) &&
                      std::isfinite(in.totalPressure.zero) && std::isfinite(in.compensation.UserPressure);
  const std::int32_t n = std::min(store.SampleCount, store.columns() - 1);
  // A configuration or zero level that is not a number leaves the table all zero,
  // like a mode the dialog does not offer.
  if ((mode != kFromBias && mode != kFromSample && mode != kFromUser) || !finite || n <= 0) {
    table.reset(store.SampleCount);
    return;
  }
  table.resizeForOverwrite(store.SampleCount);
  // The spare column, and any column the store does not hold.
  for (std::int32_t j = n; j <= store.SampleCount; ++j) {
    table.row(DerivedTable::kSpeedRow)[j] = 0.0f;
    table.row(DerivedTable::kAltitudeRow)[j] = 0.0f;
  }

  Filler fill(store, config, in, table);
  const std::int32_t c1 = in.firstSample;
  const std::int32_t c2 = in.secondSample;
  const bool drifts = c1 < c2 && (in.staticPressure.first != in.staticPressure.second ||
                                  in.totalPressure.first != in.totalPressure.second);
  if (!drifts) {
    fill.sameDrift(0, n, 0.0, 0.0);
    return;
  }
  // Up to the first reading no correction, between the readings a growing one, from
  // the second reading on the whole of it.
  const std::int32_t inside = std::clamp<std::int64_t>(std::int64_t(c1) + 1, 0, n);
  const std::int32_t after = std::clamp<std::int32_t>(c2, inside, n);
  fill.sameDrift(0, inside, 0.0, 0.0);
  fill.perSample(inside, after);
  fill.sameDrift(after, n, in.staticPressure.first - in.staticPressure.second,
                 in.totalPressure.first - in.totalPressure.second);
}

}  // namespace derived
