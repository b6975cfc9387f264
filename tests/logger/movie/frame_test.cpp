// What one sample shows (values, speed and altitude, time, rates), and the scales' ticks and
// labels as plain geometry in twips.
#include "common/numtext.h"
#include "logger/movie/fonts.h"
#include "logger/movie/frame.h"
#include "logger/movie/scales.h"
#include "movie_source.h"

#include <QStringList>
#include <gtest/gtest.h>

using movie::Kind;
using movie::MovieLayout;
using movie::ScaleDrawing;
using movietest::L;
using movietest::Log;

namespace {

const QChar kPoint = QLatin1Char('.');

QStringList Labels(const ScaleDrawing& d) {
  QStringList out;
  for (const auto& l : d.labels) out << l.text;
  return out;
}

// Tick i of a 267 px (4005 twips) vertical scale from 0 to 250 lies at i * 10 value units.
constexpr double kStep250 = 4005.0 / 25;

}  // namespace

TEST(ScalesTest, ZeroTo250HasTwentySevenTicksLongEveryTenth) {
  for (const bool reversed : {false, true}) {
    SCOPED_TRACE(reversed ? "250..0" : "0..250");
    MovieLayout layout;
    layout.setup[0] = {reversed ? 250.f : 0.f, reversed ? 0.f : 250.f, 0, 0, QStringLiteral("##.##")};
    const ScaleDrawing d = movie::DrawScaler(layout, 1, kPoint);
    // The palette scale lies right of its bar: ticks start at its left edge.
    ASSERT_EQ(d.ticks.size(), 27u);
    for (int i = 0; i < 27; ++i) {
      SCOPED_TRACE(i);
      const double length = i % 10 == 0 ? 150 : i % 5 == 0 ? 75 : 30;
      EXPECT_EQ(d.ticks[std::size_t(i)], QLineF(0, i * kStep250, length, i * kStep250));
    }
    EXPECT_EQ(Labels(d), reversed ? QStringList({"0", "100", "200"}) : QStringList({"250", "150", "50"}));
    const double half = movie::TextHeight(movie::Fonts().scaleMetrics) / 2.0;
    // Centred on their ticks; the end label inside the scale, not half cut.
    EXPECT_EQ(std::pair(d.labels[0].topLeft.y(), d.labels[1].topLeft), std::pair(0.0, QPointF(150 + 30, 10 * kStep250 - half)));
    // Wide enough for every label beside its long tick.
    EXPECT_GE(layout.at({Kind::Mitta, 1}).width, 180 + movie::TextWidth(movie::Fonts().scaleMetrics, "250"));
  }
}

TEST(ScalesTest, TicksFaceTheBarAndLabelsReadTheValueAtTheirTick) {
  MovieLayout layout;
  layout.setup[1] = {0, 250, 0, 0, QStringLiteral("##.##")};
  layout.at({Kind::Mitta, 2}).left = 1000;
  layout.at({Kind::Bar, 2}).left = 2000;
  const ScaleDrawing v = movie::DrawScaler(layout, 2, kPoint);
  const double w = layout.at({Kind::Mitta, 2}).width;
  EXPECT_EQ(std::pair(v.ticks[0], v.labels[0].topLeft.x()), std::pair(QLineF(w - 150, 0, w, 0), 0.0));

  // A horizontal scale level with its bar or above it: ticks rise from its bottom edge,
  // labels at the top.
  layout.at({Kind::Vaakamitta, 2}).top = 3000;
  layout.at({Kind::HorBar, 2}).top = 3000;
  const ScaleDrawing h = movie::DrawHoriScaler(layout, 2, kPoint);
  const double height = layout.at({Kind::Vaakamitta, 2}).height, x = 10 * 5655.0 / 25;
  EXPECT_EQ(std::tuple(h.ticks[10], h.labels[1].topLeft.y(), h.labels[0].topLeft.x()),
            std::tuple(QLineF(x, height - 150, x, height), 0.0, 0.0));
  // Below it: down from the top edge, labels under the long ticks.
  layout.at({Kind::HorBar, 2}).top = 2000;
  const ScaleDrawing below = movie::DrawHoriScaler(layout, 2, kPoint);
  EXPECT_EQ(std::pair(below.ticks[10], below.labels[1].topLeft.y()), std::pair(QLineF(x, 0, x, 150), 150.0));

  // Labels read the value at their tick.
  layout.setup[2] = {-10, 10, 0, 0, QStringLiteral("##.##")};
  layout.setup[3] = {0, 1, 0, 0, QStringLiteral("##.##")};
  layout.at({Kind::Vaakamitta, 3}).top = 3000;
  EXPECT_EQ(Labels(movie::DrawHoriScaler(layout, 3, kPoint)), QStringList({"-10", "0", "10"}));
  EXPECT_EQ(Labels(movie::DrawScaler(layout, 4, kPoint)).mid(0, 3), QStringList({"1.0", "0.9", "0.8"}));
  layout.setup[3].ScaleMax = 5;
  EXPECT_EQ(Labels(movie::DrawScaler(layout, 4, kPoint)).mid(0, 3), QStringList({"5", "4", "3"}));
  layout.setup[3].ScaleMax = 1;
  EXPECT_EQ(Labels(movie::DrawScaler(layout, 4, QLatin1Char(','))).at(1), "0,9");
}

TEST(FrameTest, RatesAreTheLoggingRateHeldWithinOneToThirty) {
  const std::tuple<int, int, int> cases[] = {
      // FreqCode, frame rate (halves to even), stream rate
      {1, 50, 30}, {3, 17, 17}, {4, 12, 12}, {5, 10, 10}, {20, 2, 2}, {100, 0, 1}, {200, 0, 1}, {0, 0, 1}};
  for (const auto& [code, frame, stream] : cases) {
    EXPECT_EQ(movie::FrameRate(quint8(code)), frame) << code;
    EXPECT_EQ(movie::StreamRate(movie::FrameRate(quint8(code))), stream) << code;
  }
}

TEST(FrameTest, ValuesInEachChannelsFormatWithZeroLockAndSpeedAndAltitudeInTheChosenUnits) {
  Log log(1000);
  log.config.channel[0].Max = 409.5;  // raw / 10
  log.view.EngBias[1] = 5;            // channel 2 zero-locked at 5
  movie::Scene scene;
  scene.layout.setup[0].ValueFormat = QStringLiteral("0.0");
  scene.layout.setup[10].ValueFormat = QStringLiteral("##0");
  movie::ShowValues(scene, log.source(), 200, true);

  // 200 / 10; 400 - 5; and an 8-bit channel scaled by 255 (the trend's value, not raw / 4095):
  // 2200 % 256.
  EXPECT_EQ(QStringList({scene.value[0], scene.value[1], scene.value[10], scene.name[3], scene.unit[3]}),
            QStringList({L("20.0"), L("395."), "152", "N4", "U4"}));
  EXPECT_DOUBLE_EQ(*scene.barValue[0], 20);
  scene.layout.setup[2].ValueFormat = QStringLiteral("#");
  log.config.channel[2].Max = 4095 / 7.0;  // 600 / 7 = 85.71
  movie::ShowValues(scene, log.source(), 200, true);
  EXPECT_EQ(scene.value[2], "86");
  EXPECT_DOUBLE_EQ(*scene.barValue[2], 86) << "the bar shows the rounded value its label reads";

  movie::ShowValues(scene, log.source(), 200, false);
  EXPECT_FALSE(scene.barValue[0].has_value());

  // Speed and altitude in the chosen units.
  log.derived.reset(1000);
  log.derived.row(derived::DerivedTable::kSpeedRow)[200] = 20;
  log.derived.row(derived::DerivedTable::kAltitudeRow)[200] = 200;
  movie::ShowDerived(scene, log.source(), 200, true);
  EXPECT_EQ(scene.name[5], "N6") << "not ticked: the channel itself";

  log.view.SpeedAlt = true;
  const std::tuple<int, const char*, const char*, const char*, const char*> units[] = {
      {0, "m/s", "20.00", "m", "200.0"}, {1, "km/h", "72.00", "m", "200.0"}, {2, "mph", "44.74", "feet", "656.2"}};
  for (const auto& [unit, speedUnit, speed, altitudeUnit, altitude] : units) {
    SCOPED_TRACE(unit);
    log.view.SpeedUnit = unit;
    movie::ShowDerived(scene, log.source(), 200, true);
    EXPECT_EQ(QStringList({scene.name[5], scene.unit[5], scene.value[5], scene.name[4], scene.unit[4], scene.value[4]}),
              QStringList({"IAS", speedUnit, L(speed), "ALT", altitudeUnit, L(altitude)}));
    EXPECT_DOUBLE_EQ(*scene.barValue[4], common::TextToNumber(QString::fromLatin1(altitude)));
  }
}
