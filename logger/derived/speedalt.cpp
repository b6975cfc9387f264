#include "logger/derived/speedalt.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

namespace derived {
namespace {

constexpr double kExponent = 0.190284;           // standard atmosphere, pressure to height
constexpr double kFeetAtZeroPressure = 145366.45;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kAirDensity = 1.215;            // kg/m^3
constexpr int kRawValues = 4096;                 // channels 5 and 6 are 12-bit
// Below this many samples a stretch is computed sample by sample: building the
// per-raw-value tables would cost more than it saves.
constexpr std::int32_t kTableWorthFrom = 8192;

// Every stored value is a finite float: anything beyond the float range becomes the
// largest float. The formula below never yields not-a-number from finite inputs; a
// configuration or zero level without a number is caught before the loops.
float ToStored(double v) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  const double finite = v == v ? v : 0.0;
  return float(std::min(std::max(finite, -kLargest), kLargest));
}

// sqrt(2 q / 1.215) as a float. The square root of the argument rounded to a float
// is within one float step of the rounded double result, at a fraction of the cost of
// the double square root; the per-sample loops use it.
// q is never negative; the argument is held in float range, so the result is finite.
float StoredSpeed(double q) {
  return std::sqrt(float(std::min(q * (2 / kAirDensity), double(std::numeric_limits<float>::max()))));
}

// x^0.190284 for the altitude of every sample whose pressure has its own drift. The
// library's pow costs about 25 ns; this costs a few and stays within a few units in
// the last place of a double (about 1e-15 relative), far below what the float table
// can hold. x = 2^k * m with m in [1, 2); m = m0 * (1 + t) with m0 the middle of one
// of 2048 intervals, so |t| < 2^-12 and three terms of the binomial series suffice.
class PowerOfRatio {
 public:
  PowerOfRatio() {
    for (int k = 0; k < 2048; ++k) powerOfTwo_[std::size_t(k)] = std::exp2(double(k - 1023) * kExponent);
    for (int i = 0; i < 2048; ++i) {
      const double m0 = 1.0 + (i + 0.5) / 2048.0;
      interval_[std::size_t(i)] = {1.0 / m0, std::pow(m0, kExponent)};
    }
  }
  double operator()(double x) const {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const unsigned biased = unsigned(bits >> 52);  // sign and exponent
    // Zero, subnormal, negative, infinite or not a number: the library's answer.
    if (biased == 0 || biased >= 2047) return std::pow(x, kExponent);
    const Interval& in = interval_[(bits >> 41) & 0x7FF];
    const double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    const double t = m * in.inverseMiddle - 1.0;
    const double series = t * (kC1 + t * (kC2 + t * kC3));
    const double scale = powerOfTwo_[biased] * in.middlePower;
    return scale + scale * series;
  }

 private:
  static constexpr double kC1 = kExponent;
  static constexpr double kC2 = kC1 * (kExponent - 1) / 2;
  static constexpr double kC3 = kC2 * (kExponent - 2) / 3;
  struct Interval {
    double inverseMiddle;
    double middlePower;
  };
  std::array<double, 2048> powerOfTwo_{};
  std::array<Interval, 2048> interval_{};
};

const PowerOfRatio& FastPower() {
  static const PowerOfRatio power;
  return power;
}

double LibraryPower(double x) { return std::pow(x, kExponent); }

// The formula, shared by the reference, the tables and the per-sample loop.
struct Formula {
  const common::ChannelConfiguration& config;
  std::uint8_t mode;
  double zero5;
  double zero6;
  double offset;        // mode 1: the sensors' offset, zero level 6 - zero level 5
  double userPressure;  // mode 2
  double inverseZero5;

  Formula(const common::ChannelConfiguration& c, const DerivationInput& in)
      : config(c),
        mode(in.compensation.Mode),
        zero5(in.staticPressure.zero),
        zero6(in.totalPressure.zero),
        offset(in.compensation.Mode == kFromSample ? zero6 - zero5 : 0.0),
        userPressure(in.compensation.UserPressure),
        inverseZero5(1 / zero5) {}

  double staticPressure(double raw, double drift) const { return common::ScaleRaw(config, 5, raw) + drift; }
  double totalPressure(double raw, double drift) const { return common::ScaleRaw(config, 6, raw) + drift; }

  // Pa; a negative difference counts as no airspeed.
  double dynamicPressure(double p5, double p6) const {
    double q;
    if (mode == kFromBias) q = (p6 - zero6) * 100;
    else if (mode == kFromSample) q = (p6 - p5 - offset) * 100;
    else q = (p6 - userPressure) * 100;
    return q > 0 ? q : 0.0;
  }
  static double speed(double q) { return std::sqrt(2 * q / kAirDensity); }

  // The power is undefined for a pressure ratio at or below 0 (a static pressure of
  // 0 mbar or less, or a zero level below 0). Such a ratio counts as 0: the altitude
  // the formula approaches as the pressure falls to nothing, 44307.69 m (145366.45
  // feet). It is finite, lies above every real altitude, and keeps the altitude
  // falling as the pressure rises.
  double altitude(double p5) const { return altitudeOfRatio(p5 / zero5, LibraryPower); }
  // The per-sample loops multiply by the zero level's reciprocal instead of dividing:
  // the ratio may differ in its last bit, which x^0.19 shrinks further.
  double fastAltitude(double p5, const PowerOfRatio& power) const { return altitudeOfRatio(p5 * inverseZero5, power); }

  template <typename Power>
  static double altitudeOfRatio(double ratio, const Power& power) {
    if (!(ratio > 0)) ratio = 0;
    return (1 - power(ratio)) * kFeetAtZeroPressure * kMetresPerFoot;
  }
};

bool InRawRange(std::int32_t raw5, std::int32_t raw6) { return (unsigned(raw5) | unsigned(raw6)) < unsigned(kRawValues); }

// Fills the two rows stretch by stretch. Channels 5 and 6 hold 12-bit values, so
// wherever the drift correction is the same for many samples every value depends on
// one raw value and is looked up; where each sample has its own correction it is
// computed sample by sample. Values no 12-bit channel holds (a damaged or hand-made
// log) take the formula's own road.
class Filler {
 public:
  Filler(const logdata::SampleStore& store, const common::ChannelConfiguration& config, const DerivationInput& in,
         DerivedTable& table)
      : f_(config, in),
        in_(in),
        store_(store),
        column0_(store.columnData(0)),
        speed_(table.row(DerivedTable::kSpeedRow)),
        altitude_(table.row(DerivedTable::kAltitudeRow)) {
    for (int r = 0; r < kRawValues; ++r) {
      scaled5_[std::size_t(r)] = f_.staticPressure(r, 0);
      scaled6_[std::size_t(r)] = f_.totalPressure(r, 0);
    }
  }

  void perSample(std::int32_t from, std::int32_t to) {
    switch (f_.mode) {
      case kFromBias: perSample<kFromBias>(from, to); break;
      case kFromSample: perSample<kFromSample>(from, to); break;
      default: perSample<kFromUser>(from, to); break;
    }
  }

  // Samples from .. to - 1 between the two readings, each with its own correction.
  void between(std::int32_t from, std::int32_t to) {
    if (to - from < kTableWorthFrom) {
      perSample(from, to);
      return;
    }
    prepareSeries();
    switch (f_.mode) {
      case kFromBias: between<kFromBias>(from, to); break;
      case kFromSample: between<kFromSample>(from, to); break;
      default: between<kFromUser>(from, to); break;
    }
  }

  // Samples from .. to - 1, all with the same correction: values by raw value,
  // computed once per raw value by the formula with the library's pow.
  void sameDrift(std::int32_t from, std::int32_t to, double drift5, double drift6) {
    if (to - from < kTableWorthFrom) {
      perSample(from, to);
      return;
    }
    for (int r = 0; r < kRawValues; ++r) {
      const auto i = std::size_t(r);
      p5_[i] = scaled5_[i] + drift5;
      p6_[i] = scaled6_[i] + drift6;
      altitudeOf5_[i] = ToStored(f_.altitude(p5_[i]));
      // Modes 0 and 2 do not look at the static pressure.
      speedOf6_[i] = ToStored(Formula::speed(f_.dynamicPressure(0.0, p6_[i])));
    }
    if (f_.mode == kFromSample) sameDrift<true>(from, to);
    else sameDrift<false>(from, to);
  }

 private:
  std::int32_t raw(std::int32_t j, int row) const { return column0_[std::size_t(j) * logdata::kSampleRows + row]; }

  void byFormula(std::int32_t j) {
    const SampleValues v = DeriveSample(store_, f_.config, in_, j);
    speed_[j] = ToStored(v.speed);
    altitude_[j] = ToStored(v.altitude);
  }

  template <bool BySample>
  void sameDrift(std::int32_t from, std::int32_t to) {
    for (std::int32_t j = from; j < to; ++j) {
      const std::int32_t r5 = raw(j, 4);
      const std::int32_t r6 = raw(j, 5);
      if (!InRawRange(r5, r6)) {
        byFormula(j);
        continue;
      }
      altitude_[j] = altitudeOf5_[std::size_t(r5)];
      if constexpr (BySample)
        speed_[j] = StoredSpeed(f_.dynamicPressure(p5_[std::size_t(r5)], p6_[std::size_t(r6)]));
      else
        speed_[j] = speedOf6_[std::size_t(r6)];
    }
  }

  // Each sample with its own correction, the drift's slope taken once.
  template <std::uint8_t Mode>
  void perSample(std::int32_t from, std::int32_t to) {
    const PowerOfRatio& power = FastPower();
    const std::int32_t c1 = in_.firstSample;
    const std::int32_t c2 = in_.secondSample;
    const bool drifts = c1 < c2;
    const double slope5 = drifts ? (in_.staticPressure.first - in_.staticPressure.second) / (double(c2) - c1) : 0.0;
    const double slope6 = drifts ? (in_.totalPressure.first - in_.totalPressure.second) / (double(c2) - c1) : 0.0;
    // Locals, so that the stores into the rows do not make the compiler read the
    // members again for every sample.
    const qint16* column = column0_;
    const double* scaled5 = scaled5_.data();
    const double* scaled6 = scaled6_.data();
    float* speed = speed_;
    float* altitude = altitude_;
    const Formula f = f_;
    for (std::int32_t j = from; j < to; ++j) {
      const std::int32_t r5 = column[std::size_t(j) * logdata::kSampleRows + 4];
      const std::int32_t r6 = column[std::size_t(j) * logdata::kSampleRows + 5];
      // The slope only applies between the readings; elsewhere Drift() is constant.
      if (!InRawRange(r5, r6) || !drifts || j <= c1 || j >= c2) {
        perSampleConstant<Mode>(j, r5, r6, power);
        continue;
      }
      const double along = double(j) - c1;
      const double p5 = scaled5[r5] + slope5 * along;
      const double p6 = scaled6[r6] + slope6 * along;
      speed[j] = StoredSpeed(dynamicPressure<Mode>(f, p5, p6));
      altitude[j] = ToStored(f.fastAltitude(p5, power));
    }
  }

  // Between the readings channel 5's correction runs from 0 to its whole drift W;
  // around its middle D0 = W / 2 the altitude of raw value r is
  //   K - T (1 + x)^0.190284,  T = K ((P + D0) / Z5)^0.190284,  x = (D - D0) / (P + D0),
  // with P its pressure without drift and |x| <= |W| / 2 / (P + D0). Where that is at
  // most 1/128, five terms of the binomial series of (1 + x)^0.190284 leave an error
  // below 1e-12 of T (under 0.1 micrometre), so each raw value gets the polynomial in
  // D - D0 and a sample costs four multiplications. Other raw values (a pressure near
  // 0 or a drift as large as the pressure) take the per-sample road.
  void prepareSeries() {
    const double whole = in_.staticPressure.first - in_.staticPressure.second;
    middleDrift_ = whole / 2;
    const double reach = std::fabs(whole) / 2;
    constexpr double kC1 = kExponent;
    constexpr double kC2 = kC1 * (kExponent - 1) / 2;
    constexpr double kC3 = kC2 * (kExponent - 2) / 3;
    constexpr double kC4 = kC3 * (kExponent - 3) / 4;
    constexpr double k = kFeetAtZeroPressure * kMetresPerFoot;
    for (int r = 0; r < kRawValues; ++r) {
      const double p0 = scaled5_[std::size_t(r)] + middleDrift_;
      const double ratio = p0 / f_.zero5;
      Series& s = series_[std::size_t(r)];
      const double t = ratio > 0 ? k * std::pow(ratio, kExponent) : 0.0;
      // Within float range by a wide margin, so that the loop needs no clamp.
      s.usable = ratio > 0 && reach <= p0 / 128 && t < 1e30;
      if (!s.usable) continue;
      const double inverse = 1 / p0;
      s.a0 = k - t;
      s.a1 = -t * kC1 * inverse;
      s.a2 = -t * kC2 * inverse * inverse;
      s.a3 = -t * kC3 * inverse * inverse * inverse;
      s.a4 = -t * kC4 * inverse * inverse * inverse * inverse;
    }
  }

  template <std::uint8_t Mode>
  void between(std::int32_t from, std::int32_t to) {
    const PowerOfRatio& power = FastPower();
    const std::int32_t c1 = in_.firstSample;
    const double span = double(in_.secondSample) - c1;
    const double slope5 = (in_.staticPressure.first - in_.staticPressure.second) / span;
    const double slope6 = (in_.totalPressure.first - in_.totalPressure.second) / span;
    const qint16* column = column0_;
    const double* scaled5 = scaled5_.data();
    const double* scaled6 = scaled6_.data();
    const Series* series = series_.data();
    float* speed = speed_;
    float* altitude = altitude_;
    const Formula f = f_;
    const double middle = middleDrift_;
    for (std::int32_t j = from; j < to; ++j) {
      const std::int32_t r5 = column[std::size_t(j) * logdata::kSampleRows + 4];
      const std::int32_t r6 = column[std::size_t(j) * logdata::kSampleRows + 5];
      if (!InRawRange(r5, r6)) {
        byFormula(j);
        continue;
      }
      const double along = double(j) - c1;
      const double d5 = slope5 * along;
      speed[j] = StoredSpeed(dynamicPressure<Mode>(f, scaled5[r5] + d5, scaled6[r6] + slope6 * along));
      const Series& s = series[r5];
      if (s.usable) {
        const double d = d5 - middle;
        altitude[j] = float(s.a0 + d * (s.a1 + d * (s.a2 + d * (s.a3 + d * s.a4))));
      } else {
        altitude[j] = ToStored(f.fastAltitude(scaled5[r5] + d5, power));
      }
    }
  }

  template <std::uint8_t Mode>
  void perSampleConstant(std::int32_t j, std::int32_t r5, std::int32_t r6, const PowerOfRatio& power) {
    if (!InRawRange(r5, r6)) {
      byFormula(j);
      return;
    }
    const double p5 = scaled5_[std::size_t(r5)] + Drift(in_.staticPressure, in_.firstSample, in_.secondSample, j);
    const double p6 = scaled6_[std::size_t(r6)] + Drift(in_.totalPressure, in_.firstSample, in_.secondSample, j);
    speed_[j] = StoredSpeed(dynamicPressure<Mode>(f_, p5, p6));
    altitude_[j] = ToStored(f_.fastAltitude(p5, power));
  }

  template <std::uint8_t Mode>
  static double dynamicPressure(const Formula& f, double p5, double p6) {
    double q;
    if constexpr (Mode == kFromBias) q = (p6 - f.zero6) * 100;
    else if constexpr (Mode == kFromSample) q = (p6 - p5 - f.offset) * 100;
    else q = (p6 - f.userPressure) * 100;
    return q > 0 ? q : 0.0;
  }

  Formula f_;
  const DerivationInput& in_;
  const logdata::SampleStore& store_;
  const qint16* column0_;
  float* speed_;
  float* altitude_;
  // By raw value (about 360 kB in all, so on the heap): the pressures without drift,
  std::vector<double> scaled5_ = std::vector<double>(kRawValues);
  std::vector<double> scaled6_ = std::vector<double>(kRawValues);
  // the altitude series of the stretch between the readings,
  struct Series {
    double a0, a1, a2, a3, a4;
    bool usable;
  };
  std::vector<Series> series_ = std::vector<Series>(kRawValues);
  double middleDrift_ = 0;
  // and the values of the current stretch with one correction for all its samples.
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
  const double p5 = f.staticPressure(store.at(4, j), Drift(in.staticPressure, in.firstSample, in.secondSample, j));
  const double p6 = f.totalPressure(store.at(5, j), Drift(in.totalPressure, in.firstSample, in.secondSample, j));
  return {Formula::speed(f.dynamicPressure(p5, p6)), f.altitude(p5)};
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
  fill.between(inside, after);
  fill.sameDrift(after, n, in.staticPressure.first - in.staticPressure.second,
                 in.totalPressure.first - in.totalPressure.second);
}

}  // namespace derived
