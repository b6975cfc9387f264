// Scale ticks, labels and sizes as plain geometry in twips.
#include "logger/movie/fonts.h"
#include "logger/movie/scales.h"

#include <QStringList>
#include <gtest/gtest.h>

using movie::Kind;
using movie::MovieLayout;
using movie::ScaleDrawing;

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

TEST(ScalesTest, TicksFaceTheBar) {
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
}

TEST(ScalesTest, LabelsReadTheValueAtTheirTick) {
  MovieLayout layout;
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

TEST(ScalesTest, SizesFollowVisibilityRangeAndPlace) {
  MovieLayout layout;
  auto& mitta = layout.at({Kind::Mitta, 5});
  auto& vaaka = layout.at({Kind::Vaakamitta, 5});
  const qint32 grown = 150 + movie::TextHeight(movie::Fonts().scaleMetrics);

  mitta.visible = false;
  EXPECT_TRUE(movie::DrawScaler(layout, 5, kPoint).ticks.empty() && mitta.width == 0);

  mitta.visible = true;
  layout.setup[4] = {3, 3, 0, 0, QStringLiteral("##.##")};  // an empty range divides by nothing
  EXPECT_TRUE(movie::DrawScaler(layout, 5, kPoint).ticks.empty() && movie::DrawHoriScaler(layout, 5, kPoint).ticks.empty());
  EXPECT_EQ(mitta.width, 150);

  layout.setup[4] = {0, 100, 0, 0, QStringLiteral("##.##")};
  movie::DrawHoriScaler(layout, 5, kPoint);
  EXPECT_EQ(vaaka.height, 135) << "parked below the canvas: no growth";
  vaaka.top = 8099;  // on the canvas: grown to hold its labels, and never shrunk
  for (auto [before, after] : {std::pair{330, std::max(330, grown)}, {1000, 1000}}) {
    vaaka.height = before;
    movie::DrawHoriScaler(layout, 5, kPoint);
    EXPECT_EQ(vaaka.height, after);
  }
}
