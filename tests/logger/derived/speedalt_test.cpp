#include "logger/derived/speedalt.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace derived {
namespace {

// Channels 5 and 6 read 1 mbar per count (Min 0, Max 4095) unless a case says otherwise.
common::ChannelConfiguration MbarPerCount() {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) c.channel[std::size_t(i)].Max = common::FullScale(i + 1);
  return c;
}

struct FormulaCase {
  const char* what;
  std::uint8_t mode;
  qint16 raw5, raw6;
  double zero5, zero6;
  double min6;  // channel 6's Min (its Max is Min + 4095)
  float userPressure;
  double speed, altitude;
};

// The edge cases of the formula, one sample each.
TEST(DeriveTest, FormulaEdgeCasesInEachMode) {
  const double sqrt1000 = std::sqrt(1000.0);
  const FormulaCase cases[] = {
      {"bias reference equal", kFromBias, 1000, 1000, 1000, 1000, 0, 0, 0.0, 0.0},
      {"bias reference 6.075 below", kFromBias, 1000, 1000, 1000, 993.925, 0, 0, sqrt1000, 0.0},
      {"bias reference above: no negative speed", kFromBias, 1000, 990, 1000, 995, 0, 0, 0.0, 0.0},
      {"same sample, sensor offset taken off", kFromSample, 900, 1000, 900, 993.925, 0, 0, sqrt1000, 0.0},
      {"same sample equal", kFromSample, 900, 993, 900, 993, 0, 0, 0.0, 0.0},
      {"user pressure", kFromUser, 1000, 1000, 1000, 1, 6.075, 1000.0f, sqrt1000, 0.0},
      {"user pressure above", kFromUser, 1000, 1000, 1000, 1, 0, 1013.25f, 0.0, 0.0},
      {"static at 0.9 of its zero level", kFromBias, 900, 1000, 1000, 1000, 0, 0, 0.0, 879.45399},
      {"static above its zero level", kFromBias, 1100, 1000, 1000, 1000, 0, 0, 0.0, -810.89541},
  };
  for (const FormulaCase& c : cases) {
    SCOPED_TRACE(c.what);
    common::ChannelConfiguration config = MbarPerCount();
    config.channel[5].Min = c.min6;
    config.channel[5].Max = c.min6 + 4095;
    logdata::SampleStore store;
    ASSERT_TRUE(store.reset(1));
    store.at(4, 0) = c.raw5;
    store.at(5, 0) = c.raw6;
    DerivationInput in;
    in.staticPressure = {c.zero5, 0, 0};
    in.totalPressure = {c.zero6, 0, 0};
    in.compensation = {c.mode, c.userPressure};
    DerivedTable table;
    ComputeDerived(store, config, in, table);
    ASSERT_EQ(table.columns(), 2);
    EXPECT_NEAR(table.at(DerivedTable::kSpeedRow, 0), c.speed, 2e-5);
    EXPECT_NEAR(table.at(DerivedTable::kAltitudeRow, 0), c.altitude, 1e-3);
    for (int r = 0; r < DerivedTable::kRows; ++r) EXPECT_EQ(table.at(r, 1), 0.0f);  // spare column
  }
}

// A static pressure at or below 0 mbar (or a zero level below 0) gives the altitude
// the formula approaches as the pressure falls to nothing; every value stays finite.
TEST(DeriveTest, NoNaNOrInfinityFromAnyPressure) {
  const double ceiling = 145366.45 * 0.3048;
  struct Case {
    double min5, zero5;
    qint16 raw5;
    double altitude;
  } cases[] = {
      {0, 1000, 0, ceiling},      // 0 mbar
      {-50, 1000, 10, ceiling},   // below 0 mbar
      {0, -1000, 900, ceiling},   // zero level below 0
      {std::numeric_limits<double>::quiet_NaN(), 1000, 900, 0.0},  // no number in the configuration
      {0, 1e-300, 900, -std::numeric_limits<float>::max()},          // ratio beyond any float
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.min5);
    common::ChannelConfiguration config = MbarPerCount();
    config.channel[4].Min = c.min5;
    logdata::SampleStore store;
    ASSERT_TRUE(store.reset(1));
    store.at(4, 0) = c.raw5;
    store.at(5, 0) = 1000;
    DerivationInput in;
    in.staticPressure.zero = c.zero5;
    in.totalPressure.zero = 1;
    DerivedTable table;
    ComputeDerived(store, config, in, table);
    const float speed = table.at(0, 0), altitude = table.at(1, 0);
    EXPECT_TRUE(std::isfinite(speed));
    EXPECT_TRUE(std::isfinite(altitude));
    EXPECT_NEAR(altitude, c.altitude, 1e-2);
  }
}

TEST(DeriveTest, UnknownModeLeavesTheTableZero) {
  logdata::SampleStore store;
  ASSERT_TRUE(store.reset(3));
  for (int j = 0; j < 3; ++j) store.at(4, j) = store.at(5, j) = 900;
  DerivationInput in;
  in.staticPressure.zero = in.totalPressure.zero = 1000;
  in.compensation.Mode = 3;
  DerivedTable table;
  ComputeDerived(store, MbarPerCount(), in, table);
  ASSERT_EQ(table.columns(), 4);
  for (int j = 0; j < 4; ++j) EXPECT_EQ(table.at(1, j), 0.0f);
  in.compensation.Mode = kFromBias;
  ComputeDerived(store, MbarPerCount(), in, table);
  EXPECT_GT(table.at(1, 0), 0.0f);
}

// First readings at sample 100, second readings at 300: channel 5 read 4 mbar less
// the second time, channel 6 2 mbar more.
TEST(DeriveTest, DriftIsZeroBeforeGrowsBetweenAndStaysAfterTheReadings) {
  const Readings r{1000, 1000, 996};
  const Readings t{1000, 1000, 1002};
  const struct {
    std::int32_t j;
    double drift5, drift6;
  } cases[] = {{-5, 0, 0}, {0, 0, 0}, {100, 0, 0}, {101, 0.02, -0.01}, {200, 2, -1},
               {299, 3.98, -1.99}, {300, 4, -2}, {5000, 4, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.j);
    EXPECT_NEAR(Drift(r, 100, 300, c.j), c.drift5, 1e-12);
    EXPECT_NEAR(Drift(t, 100, 300, c.j), c.drift6, 1e-12);
  }
  // The second reading not after the first: nothing to spread the drift over.
  for (std::int32_t j : {0, 100, 150, 300, 400}) {
    EXPECT_EQ(Drift(r, 300, 100, j), 0.0) << j;
    EXPECT_EQ(Drift(r, 100, 100, j), 0.0) << j;
  }
}

TEST(DeriveTest, ViewStateSide) {
  trend::ViewState v;
  v.EngBias[4] = 1000;
  EXPECT_FALSE(ZeroLevelsSet(v));  // channel 6 still 0
  v.EngBias[5] = 1010;
  EXPECT_TRUE(ZeroLevelsSet(v));
  v.EngBias[4] = 0;
  EXPECT_FALSE(ZeroLevelsSet(v));

  v.EngCandidate[4] = 990;
  v.EngCandidate[5] = 1005;
  v.EngCandidate[13] = 1001;  // only channel 6 had a right click
  v.CandidateRef = {10, 20};
  TakeMissingSecondReadings(v);
  EXPECT_EQ(v.EngCandidate[12], 990);
  EXPECT_EQ(v.EngCandidate[13], 1001);
  const DerivationInput in = InputFromView(v, {kFromUser, 950.0f});
  EXPECT_EQ(in.staticPressure.zero, 0);
  EXPECT_EQ(in.staticPressure.first, 990);
  EXPECT_EQ(in.staticPressure.second, 990);  // no drift for channel 5
  EXPECT_EQ(in.totalPressure.zero, 1010);
  EXPECT_EQ(in.totalPressure.second, 1001);
  EXPECT_EQ(in.firstSample, 10);
  EXPECT_EQ(in.secondSample, 20);
  EXPECT_EQ(in.compensation.Mode, kFromUser);
  EXPECT_EQ(in.compensation.UserPressure, 950.0f);
}

// Units in the last place between two floats; 0 within a nanometre (a nanometre per
// second), where an altitude passes through 0 and its last place shrinks to nothing.
std::int64_t UlpDistance(float a, float b) {
  if (std::fabs(double(a) - b) < 1e-9) return 0;
  std::int32_t ia, ib;
  std::memcpy(&ia, &a, 4);
  std::memcpy(&ib, &b, 4);
  if (ia < 0) ia = std::numeric_limits<std::int32_t>::min() - ia;
  if (ib < 0) ib = std::numeric_limits<std::int32_t>::min() - ib;
  return std::llabs(std::int64_t(ia) - ib);
}

// A long log, long enough for the per-raw-value tables on both sides of the drift
// stretch, with a few values no 12-bit channel holds: every stored value lies within
// one float step of the formula computed sample by sample.
TEST(DeriveTest, LongLogAgreesWithTheFormulaSampleBySample) {
  constexpr std::int32_t kCount = 40000;
  logdata::SampleStore store;
  ASSERT_TRUE(store.reset(kCount));
  for (std::int32_t j = 0; j < kCount; ++j) {
    const double phase = j * 6.283185307 / kCount;
    store.at(4, j) = qint16(3400 - 1500 * std::sin(phase) + std::int64_t(j) * 7919 % 5);
    store.at(5, j) = qint16(store.at(4, j) + 20 + std::int64_t(j) * 104729 % 40 - 8);
  }
  store.at(4, 5) = -7;   // before the drift stretch
  store.at(5, 20001) = 5000;  // inside it
  store.at(4, 39000) = 4096;  // after it
  common::ChannelConfiguration config = MbarPerCount();
  config.channel[4].Min = 100.5;
  config.channel[4].Max = 1250;
  config.channel[5].Min = 99;
  config.channel[5].Max = 1260.25;
  for (std::uint8_t mode : {kFromBias, kFromSample, kFromUser}) {
    SCOPED_TRACE(int(mode));
    DerivationInput in;
    in.staticPressure = {1013.4, 1013.4, 1010.1};
    in.totalPressure = {1016.8, 1016.8, 1017.3};
    in.firstSample = 12000;
    in.secondSample = 30000;
    in.compensation = {mode, 1009.5f};
    DerivedTable table;
    ComputeDerived(store, config, in, table);
    std::int64_t worst = 0;
    for (std::int32_t j = 0; j < kCount; ++j) {
      const SampleValues v = DeriveSample(store, config, in, j);
      worst = std::max({worst, UlpDistance(table.at(0, j), float(v.speed)),
                        UlpDistance(table.at(1, j), float(v.altitude))});
    }
    EXPECT_LE(worst, 1);
  }
}

}  // namespace
}  // namespace derived
