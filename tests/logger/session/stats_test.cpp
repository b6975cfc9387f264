// Channel statistics against values worked out by hand.
#include "logger/session/stats.h"

#include <gtest/gtest.h>

namespace {

using session::ChannelStatistics;

TEST(StatsTest, ValuesAsTheReadoutGivesThem) {
  logdata::SampleStore store;
  store.reset(5);
  const qint16 raws[] = {3, 1, 4, 1, 5}, split[] = {2047, 2048};
  for (int j = 0; j < 5; ++j)
    for (int row : {0, 1, 2, 4}) store.at(row, j) = raws[j];
  for (int j = 0; j < 2; ++j) store.at(3, j) = split[j];
  common::ChannelConfiguration config;  // 1: the raw value, 2: 10 - raw, 3: flat 2, 4: +-1e8
  const double ranges[][2] = {{0, 4095}, {10, -4085}, {2, 2}, {-1e8, 1e8}, {0, 4095}};
  for (int i = 0; i < 5; ++i) config.channel[i].Min = ranges[i][0], config.channel[i].Max = ranges[i][1];
  trend::ViewState view;  // channel 1 locked at 2; channel 5 drifts +1 a sample from 0 to 4
  view.EngBias[0] = 2, view.EngBias[12] = -4, view.BiasRef = {0, 4};
  derived::DerivedTable table;
  table.reset(5);
  const float speeds[] = {10, 20, 30, 20, 10};
  std::copy(speeds, speeds + 5, table.row(derived::DerivedTable::kSpeedRow));
  const double kt = 3.6 / 1.852, s = 1e8 / 4095;
  const struct {
    int channel, from, to;
    const trend::ViewState* view;
    double min, minAt, max, maxAt, mean, rms;
  } cases[] = {
      {1, 0, 4, nullptr, 1, 1, 5, 4, 2.8, std::sqrt(10.4)},  {1, 2, 2, nullptr, 4, 2, 4, 2, 4, 4},
      {2, 0, 4, nullptr, 5, 4, 9, 1, 7.2, std::sqrt(54.4)},  {3, 1, 4, nullptr, 2, 1, 2, 1, 2, 2},
      {4, 0, 1, nullptr, -s, 0, s, 1, 0, s},                  {1, 0, 4, &view, -1, 1, 3, 4, 0.8, std::sqrt(3.2)},
      {5, 0, 4, &view, 2, 1, 6, 2, 4, std::sqrt(18)},        {6, 0, 4, &view, 10 * kt, 0, 30 * kt, 2, 18 * kt, std::sqrt(380) * kt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "channel " << c.channel << (c.view ? " shown" : ""));
    const auto r = ChannelStatistics({store, config, c.view, {&table, c.channel == 6, derived::kKnots}}, c.channel,
                                     c.from, c.to);
    ASSERT_TRUE(r);
    const double tolerance = 1e-12 * std::max(1.0, std::abs(c.max));
    EXPECT_EQ(r->samples, c.to - c.from + 1);
    EXPECT_EQ(std::make_pair(double(r->minAt), double(r->maxAt)), std::make_pair(c.minAt, c.maxAt));
    for (auto [got, want] : {std::pair{r->min, c.min}, {r->max, c.max}, {r->mean, c.mean}, {r->rms, c.rms}})
      EXPECT_NEAR(got, want, tolerance);
  }
  for (auto [channel, from, to] : {std::tuple{0, 0, 1}, {13, 0, 1}, {1, 3, 2}, {1, -1, 2}, {1, 0, 5}})
    EXPECT_FALSE(ChannelStatistics({store, config}, channel, from, to)) << channel << " " << from << ".." << to;
}

}  // namespace
