// What one sample shows: values, speed and altitude, time, rates.
#include "common/numtext.h"
#include "logger/movie/frame.h"
#include "movie_source.h"

#include <QStringList>
#include <gtest/gtest.h>

using movietest::L;
using movietest::Log;

// The time read-out counts sample intervals of FreqCode x 20 ms from the movie's start.
TEST(FrameTest, RatesAreTheLoggingRateHeldWithinOneToThirtyAndTimeCountsIntervals) {
  const std::tuple<int, int, int> cases[] = {
      // FreqCode, frame rate (halves to even), stream rate
      {1, 50, 30}, {3, 17, 17}, {4, 12, 12}, {5, 10, 10}, {20, 2, 2}, {100, 0, 1}, {200, 0, 1}, {0, 0, 1}};
  for (const auto& [code, frame, stream] : cases) {
    EXPECT_EQ(movie::FrameRate(quint8(code)), frame) << code;
    EXPECT_EQ(movie::StreamRate(movie::FrameRate(quint8(code))), stream) << code;
  }
  movie::Scene scene;
  for (const auto& [n, code, text] : {std::tuple{0, 5, "0.00"}, {3, 5, "0.30"}, {1, 1, "0.02"}, {6000, 100, "12000.00"}}) {
    movie::ShowTime(scene, n, quint8(code));
    EXPECT_EQ(scene.time, L(text)) << n;
  }
}

TEST(FrameTest, ValuesInEachChannelsFormatWithZeroLockAndDrift) {
  Log log(1000);
  log.config.channel[0].Max = 409.5;  // raw / 10
  log.view.EngBias[1] = 5;            // channel 2 zero-locked at 5
  log.view.EngBias[4] = 30;           // channel 5 drifts from bias 30 at s1 = 100 ...
  log.view.EngBias[12] = 10;          // ... to 10 at s2 = 300
  log.view.BiasRef = {100, 300};
  movie::Scene scene;
  scene.layout.setup[0].ValueFormat = QStringLiteral("0.0");
  scene.layout.setup[10].ValueFormat = QStringLiteral("##0");
  movie::ShowValues(scene, log.source(), 200, true);

  // 200 / 10; 400 - 5; 1000 - 30 + (30 - 10) * (200 - 100) / 200; and an 8-bit channel
  // scaled by 255 (the trend's value, not raw / 4095): 2200 % 256.
  EXPECT_EQ(QStringList({scene.value[0], scene.value[1], scene.value[4], scene.value[10], scene.name[3], scene.unit[3]}),
            QStringList({L("20.0"), L("395."), L("980."), "152", "N4", "U4"}));
  EXPECT_DOUBLE_EQ(*scene.barValue[0], 20);
  scene.layout.setup[2].ValueFormat = QStringLiteral("#");
  log.config.channel[2].Max = 4095 / 7.0;  // 600 / 7 = 85.71
  movie::ShowValues(scene, log.source(), 200, true);
  EXPECT_EQ(scene.value[2], "86");
  EXPECT_DOUBLE_EQ(*scene.barValue[2], 86) << "the bar shows the rounded value its label reads";

  movie::ShowValues(scene, log.source(), 200, false);
  EXPECT_FALSE(scene.barValue[0].has_value());
}

TEST(FrameTest, SpeedAndAltitudeInTheChosenUnits) {
  Log log(10);
  log.derived.reset(10);
  log.derived.row(derived::DerivedTable::kSpeedRow)[1] = 20, log.derived.row(derived::DerivedTable::kAltitudeRow)[1] = 200;
  movie::Scene scene;
  movie::ShowValues(scene, log.source(), 1, true);
  movie::ShowDerived(scene, log.source(), 1, true);
  EXPECT_EQ(scene.name[5], "N6") << "not ticked: the channel itself";

  log.view.SpeedAlt = true;
  const std::tuple<int, const char*, const char*, const char*, const char*> units[] = {
      {0, "m/s", "20.00", "m", "200.0"}, {1, "km/h", "72.00", "m", "200.0"}, {2, "mph", "44.74", "feet", "656.2"}};
  for (const auto& [unit, speedUnit, speed, altitudeUnit, altitude] : units) {
    SCOPED_TRACE(unit);
    log.view.SpeedUnit = unit;
    movie::ShowDerived(scene, log.source(), 1, true);
    EXPECT_EQ(QStringList({scene.name[5], scene.unit[5], scene.value[5], scene.name[4], scene.unit[4], scene.value[4]}),
              QStringList({"IAS", speedUnit, L(speed), "ALT", altitudeUnit, L(altitude)}));
    EXPECT_DOUBLE_EQ(*scene.barValue[4], common::TextToNumber(QString::fromLatin1(altitude)));
  }
}
