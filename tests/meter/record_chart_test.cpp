// The recording's bytes and the chart's window and scales, without a window.
#include "meter/chart.h"
#include "meter/recording.h"
#include "support/test_paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testing_support::FileBytes;

common::ChannelConfiguration Config(double max = 10) {
  common::ChannelConfiguration c;
  for (int i = 1; i <= 12; ++i) c.channel[std::size_t(i - 1)] = {"CH" + QString::number(i), -10, max, "V", 0};
  return c;
}

common::LiveFrame Frame(std::array<int, 12> raw) { return {raw, 0x0123, 12345}; }

TEST(Recording, BytesInEveryLocale) {
  QTemporaryDir dir;
  const QString path = dir.filePath("r.csv");
  common::ChannelConfiguration config = Config();
  config.channel[0].Name = "Pitot, total";
  config.channel[1] = {"T \"in\"", 0, 1, QString::fromUtf8("\xC2\xB0" "C"), 0};
  meter::Recording rec;
  QString why;
  ASSERT_TRUE(rec.start(path, config, &why));
  const std::array<int, 12> raw = {4095, 0, 2048, -1, 1, 100, 200, 300, 400, 4095, 255, 0};
  ASSERT_TRUE(rec.append(Frame(raw), config, 7'000'000'000, &why));
  ASSERT_TRUE(rec.append(Frame(raw), config, 8'234'600'000, &why));

  QByteArray header = "time_s,serial";
  for (int c = 1; c <= 12; ++c) header += ",raw_" + QByteArray::number(c);
  header += ",\"Pitot, total [V]\",\"T \"\"in\"\" [\xC2\xB0" "C]\"";
  for (int c = 3; c <= 12; ++c) header += ",CH" + QByteArray::number(c) + " [V]";
  const QByteArray values = ",12345,4095,0,2048,-1,1,100,200,300,400,4095,255,0,10,0,0.00244200244200243,"
                            "-10.004884004884,-9.995115995116,-9.51159951159951,-9.02319902319902,"
                            "-8.53479853479853,-8.04639804639805,10,10,-10\n";
  EXPECT_EQ(FileBytes(path), header + "\n0.000" + values + "1.235" + values);
}

TEST(Chart, SixtySecondsAndTheSampleBeforeThem) {
  meter::ChartModel chart;
  // time appended -> window start, oldest sample kept (the one just before the window)
  const double steps[][3] = {{0, 0, 0}, {30, 0, 0}, {75, 15, 0}, {130, 70, 30}};
  for (const auto& [t, start, oldest] : steps) {
    SCOPED_TRACE(t);
    chart.append(t, Frame({4095}), Config());
    EXPECT_EQ(chart.windowStart(), start);
    EXPECT_EQ(chart.samples().front().t, oldest);
  }
}

TEST(Chart, OneScalePerUnitOverTheTickedChannelsValues) {
  common::ChannelConfiguration config = Config();
  config.channel[1].Unit = "bar";
  config.channel[4].Unit = "";
  config.channel[2].Name = "Pitot";
  EXPECT_EQ(meter::DefaultChartChannels(config), (meter::ChannelTicks{false, false, true}));

  meter::ChartModel chart;
  chart.append(1, Frame({0, 4095, 4095, 0, 2048}), config);
  chart.append(2, Frame({1000, 4095, 3000, 0, 2048}), config);
  const auto axes = meter::UnitAxes(chart, {true, true, true, false, true}, config);
  ASSERT_EQ(axes.size(), 3u);
  // unit, channels, span of the values (the flat channel 5 gets a band around it)
  const std::tuple<QString, std::vector<int>, double, double> expected[] = {
      {"V", {1, 3}, -10, 10}, {"bar", {2}, 10, 10}, {"", {5}, 0.0024, 0.0025}};
  for (std::size_t i = 0; i < axes.size(); ++i) {
    const auto& [unit, channels, lo, hi] = expected[i];
    SCOPED_TRACE(unit.toStdString());
    const meter::UnitAxis& a = axes[i];
    EXPECT_EQ(a.unit, unit);
    EXPECT_EQ(a.channels, channels);
    EXPECT_TRUE(a.lo <= lo && a.hi >= hi && a.hi > a.lo);
  }
}

}  // namespace
