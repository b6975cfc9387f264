#include "logger/derived/speedalt.h"
#include "logger/logdata/shown.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace derived {
namespace {

// Channels 5 and 6 at 1 mbar per count from their Min.
common::ChannelConfiguration MbarPerCount(double min5 = 0, double min6 = 0) {
  common::ChannelConfiguration c;
  c.channel[4].Min = min5, c.channel[4].Max = min5 + 4095;
  c.channel[5].Min = min6, c.channel[5].Max = min6 + 4095;
  return c;
}

// One sample per case: the formula in each mode, and pressures the altitude's power cannot
// take (below 0 the altitude is the one the formula approaches as the pressure falls to
// nothing). Every value stays finite: NaN or infinity fails EXPECT_NEAR.
TEST(DeriveTest, OneSampleInEachModeAndAtTheEdges) {
  const double sqrt1000 = std::sqrt(1000.0), ceiling = 145366.45 * 0.3048;
  const double nan = std::numeric_limits<double>::quiet_NaN(), largest = std::numeric_limits<float>::max();
  const struct {
    const char* what;
    std::uint8_t mode;
    qint16 raw5, raw6;
    double min5, min6, zero5, zero6;
    float userPressure;
    double speed, altitude;
  } cases[] = {
      {"bias reference 6.075 below", kFromBias, 1000, 1000, 0, 0, 1000, 993.925, 0, sqrt1000, 0},
      {"same sample less the sensors' offset", kFromSample, 900, 1000, 0, 0, 900, 993.925, 0, sqrt1000, 0},
      {"user pressure", kFromUser, 1000, 1000, 0, 6.075, 1000, 1, 1000.0f, sqrt1000, 0},
      {"user pressure above", kFromUser, 1000, 1000, 0, 0, 1000, 1, 1013.25f, 0, 0},
      {"static above its zero level", kFromBias, 1100, 1000, 0, 0, 1000, 1000, 0, 0, -810.89541},
      {"static below 0 mbar", kFromBias, 10, 1000, -50, 0, 1000, 1000, 0, 0, ceiling},
      {"zero level below 0", kFromBias, 900, 1000, 0, 0, -1000, 1000, 0, 0, ceiling},
      {"ratio beyond any float", kFromBias, 900, 1000, 0, 0, 1e-300, 1000, 0, 0, -largest},
      {"configuration without a number", kFromBias, 900, 1000, nan, 0, 1000, 993.925, 0, 0, 0},
      {"mode the dialog does not offer", 3, 900, 1000, 0, 0, 1000, 993.925, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    logdata::SampleStore store;
    ASSERT_TRUE(store.reset(1));
    store.at(4, 0) = c.raw5, store.at(5, 0) = c.raw6;
    DerivedTable table;
    ComputeDerived(store, MbarPerCount(c.min5, c.min6), {{c.zero5}, {c.zero6}, 0, 0, {c.mode, c.userPressure}}, table);
    ASSERT_EQ(table.columns(), 2);
    EXPECT_NEAR(table.at(DerivedTable::kSpeedRow, 0), c.speed, 2e-5);
    EXPECT_NEAR(table.at(DerivedTable::kAltitudeRow, 0), c.altitude, std::max(1e-3, std::fabs(c.altitude) * 1e-7));
  }
}

// Readings at samples 100 and 300, channel 5 4 mbar lower the second time. With the
// second reading not after the first there is nothing to spread the drift over.
TEST(DeriveTest, DriftIsZeroBeforeGrowsBetweenAndStaysAfterTheReadings) {
  const Readings r{1000, 1000, 996};
  const std::pair<std::int32_t, double> cases[] = {{-5, 0}, {100, 0}, {101, 0.02}, {200, 2}, {299, 3.98}, {300, 4}, {5000, 4}};
  for (auto [j, drift] : cases) EXPECT_NEAR(Drift(r, 100, 300, j), drift, 1e-12) << j;
  for (std::int32_t j : {0, 100, 150, 300, 400}) EXPECT_EQ(Drift(r, 300, 100, j) + Drift(r, 100, 100, j), 0.0) << j;
}

// Long stretches for the per-raw-value tables around readings close enough for one
// sample's share of the drift to show, and values no 12-bit channel holds: whichever
// sensor drifts, each stored value is the formula's, sample by sample, as a float.
TEST(DeriveTest, LongLogAgreesWithTheFormulaSampleBySample) {
  constexpr std::int32_t kCount = 40000;
  logdata::SampleStore store;
  ASSERT_TRUE(store.reset(kCount));
  for (std::int32_t j = 0; j < kCount; ++j) {
    store.at(4, j) = qint16(3400 - 1500 * std::sin(j * 6.283185307 / kCount) + std::int64_t(j) * 7919 % 5);
    store.at(5, j) = qint16(store.at(4, j) + 12 + std::int64_t(j) * 104729 % 40);
  }
  store.at(4, 5) = -7;
  store.at(5, 35001) = 5000;
  store.at(4, 39000) = 4096;
  const common::ChannelConfiguration config = MbarPerCount(100.5, 99);
  DerivedTable table;
  // Both sensors drift, or only one of them.
  const Readings static5[] = {{1013.4, 1013.4, 1010.1}, {1013.4, 1013.4, 1010.1}, {1013.4, 1013.4, 1013.4}};
  const Readings total6[] = {{1016.8, 1016.8, 1017.3}, {1016.8, 1016.8, 1016.8}, {1016.8, 1016.8, 1017.3}};
  for (int run = 0; run < 9; ++run) {  // each drift in modes 0, 1 and 2
    SCOPED_TRACE(run);
    const DerivationInput in{static5[run / 3], total6[run / 3], 12000, 12100, {std::uint8_t(run % 3), 1009.5f}};
    ComputeDerived(store, config, in, table);
    std::int32_t differing = 0;
    for (std::int32_t j = 0; j < kCount; ++j) {
      const SampleValues v = DeriveSample(store, config, in, j);
      differing += table.at(0, j) != float(v.speed) || table.at(1, j) != float(v.altitude);
    }
    EXPECT_EQ(differing, 0);
  }
  // The table of a shorter log reuses the memory; its spare column is 0 all the same.
  ASSERT_TRUE(store.reset(100));
  ComputeDerived(store, config, {{1013.4, 1, 1}, {1016.8, 1, 1}, 0, 0, {}}, table);
  EXPECT_EQ(table.at(0, 100), 0.0f);
  EXPECT_EQ(table.at(1, 100), 0.0f);
}

// Channels 5 and 6 show the rows in the display unit while ticked; outside the table, 0.
TEST(ShownTest, ShownValuesAndTheTablesEdges) {
  DerivedTable t;
  t.reset(10);
  ASSERT_EQ(t.columns(), 11);
  t.row(DerivedTable::kSpeedRow)[4] = 25.0f;
  DerivedDisplay d{&t, true, 1};
  EXPECT_EQ(ShownDerived(d, 6, 4), 90.0);
  for (int j : {10, 11, -1}) EXPECT_EQ(ShownDerived(d, 6, j), 0.0) << j;  // spare column, outside
  for (int r : {2, 3, 4, -1}) EXPECT_EQ(t.at(r, 4), 0.0f) << r;
  for (int c : {1, 4, 7, 12}) EXPECT_FALSE(ShownDerived(d, c, 4)) << c;
}

}  // namespace
}  // namespace derived
