// The printed page: its layout in fractions of the page, the printout's step rule, the
// marker, and the painting (clipped to the plot box).
#include "common/messages.h"
#include "logger/scope/scopemessages.h"
#include "logger/scope/scopeprint.h"
#include "logger/scope/ui/scopeprinter.h"
#include "logger/trend/ui/picturebox.h"
#include "scope_fixture.h"

#include <QImage>
#include <QPainter>
#include <random>

using namespace scope;
using namespace scopetest;

namespace {

constexpr double W = 11906;  // A4 in twips
constexpr double PH = 16838;

class ScopePrint : public ScopeLog {
 protected:
  PrintPage page(const Marker& m = {}) { return ComposePage(src, {TraceSetting{2, 20, 300}, TraceSetting{6, 10, 0}}, m, W, PH); }
  // Where `text` is printed, as fractions of the page; (-1, -1) when it is not.
  static QPointF where(const PrintPage& p, const QString& text) {
    for (const PageText& t : p.texts)
      if (t.text == text) return {t.at.x() / W, t.at.y() / PH};
    return {-1, -1};
  }
};

}  // namespace

TEST_F(ScopePrint, LayoutInFractionsOfThePage) {
  setWindow(100, 600);
  const PrintPage p = page();
  const std::tuple<QString, double, double> expected[] = {
      {msg::kPrintHeading, 0.02, 0.05},
      {QStringLiteral("2247.50"), 0.025, 0.1},  {QStringLiteral("4095.00"), 0.92, 0.1},  // tops
      {QStringLiteral("200.00"), 0.025, 0.7},   {QStringLiteral("0.00"), 0.92, 0.7},  // bottoms
      {QStringLiteral("U2"), 0.025, 0.725},     {QStringLiteral("U6"), 0.92, 0.725},
      {QStringLiteral("N2"), 0.025, 0.75},      {QStringLiteral("N6"), 0.92, 0.75},
      {QStringLiteral("2"), 0.05, 0.3},         {QStringLiteral("6"), 0.95, 0.3},
      {QStringLiteral("100"), 0.1, 0.72},       {QStringLiteral("600"), 0.87, 0.72},
      {common::msg::kCaptionSamples, 0.56, 0.72},
  };
  for (const auto& [text, fx, fy] : expected) {
    const QPointF at = where(p, text);
    EXPECT_NEAR(at.x(), fx, 1e-12) << text.toStdString();
    EXPECT_NEAR(at.y(), fy, 1e-12) << text.toStdString();
  }
  EXPECT_EQ(p.texts.size(), std::size(expected));
  EXPECT_EQ(p.plot, QRectF(0.1 * W, 0.1 * PH, 0.8 * W, 0.6 * PH));
  ASSERT_EQ(p.lines.size(), 2u);  // the legend lines, no marker
  EXPECT_EQ(p.lines[0].line, QLineF(0.02 * W, 0.32 * PH, 0.04 * W, 0.32 * PH));
  EXPECT_EQ(p.lines[1].line, QLineF(0.92 * W, 0.32 * PH, 0.94 * W, 0.32 * PH));
  EXPECT_EQ(p.lines[0].colour, 0xFF0000);
  EXPECT_FALSE(p.marker);
}

TEST_F(ScopePrint, MarkerLineAndValuesWhenSet) {
  view.SecondsMode = true;
  const PrintPage p = page(Marker{true, 0, 0.25, 12.5, {-3.14159, 7}});
  ASSERT_EQ(p.lines.size(), 3u);
  EXPECT_EQ(p.lines[2].line, QLineF(0.3 * W, 0.1 * PH, 0.3 * W, 0.7 * PH));
  EXPECT_EQ(where(p, QStringLiteral("-3.1416")), QPointF(0.025, 0.4));
  EXPECT_EQ(where(p, QStringLiteral("7.00")), QPointF(0.92, 0.4));
  EXPECT_EQ(where(p, QStringLiteral("12.50")), QPointF(0.5, 0.72));
  EXPECT_EQ(where(p, common::msg::kCaptionSeconds), QPointF(0.56, 0.72));
}

TEST_F(ScopePrint, StepRuleBarsWithoutReachAndUncheckedTraceLeftOut) {
  // n = 0.8 x samples / page width; 20 times the rounded n beyond 0.07.
  // n = 0.067; n = 0.134 rounds to 0, at least 1; n = 86.0.
  for (auto [samples, step] : {std::pair{1000, 1}, {2000, 20}, {1280000, 1720}})
    EXPECT_EQ(trend::PrintStepFor(0, samples, W), step);
  setWindow(0, 1000);
  view.Shown[5] = false;
  const PrintPage p = page();
  ASSERT_TRUE(p.traces[0].bars);
  // j = 1 .. 999 in steps of 1; bar 0 spans samples 0 and 1 (raw 0 and 2) exactly.
  ASSERT_EQ(p.traces[0].barLines.size(), 999u);
  const double ky = -0.6 * PH / 4095 * 2;
  const double offset = 0.7 * PH - 9 - ky * 300;
  const double x = 0.1 * W + 0.8 * W / 1000;
  EXPECT_EQ(p.traces[0].barLines[0], QLineF(x, offset, x, 2 * ky + offset));
  EXPECT_TRUE(p.traces[1].empty());
  EXPECT_NE(where(p, QStringLiteral("N6")).x(), -1);
}

TEST_F(ScopePrint, TracesAndMarkerStayInsideThePlotBox) {
  setWindow(0, 1999);
  const Marker m{true, 0, 0.5};
  // Scale 40 sends trace 1 above the box after sample 1024.
  PrintPage p = ComposePage(src, {TraceSetting{1, 40, 0}, TraceSetting{6, 10, 0}}, m, W, PH);
  constexpr double k = 10;  // twips per pixel
  QImage img(int(W / k), int(PH / k), QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter painter(&img);
    painter.scale(1 / k, 1 / k);
    PaintPage(painter, p);
  }
  const QRectF box(0.1 * W / k - 1, 0.1 * PH / k - 1, 0.8 * W / k + 2, 0.6 * PH / k + 2);
  int red = 0, outside = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) == qRgb(255, 0, 0)) {
        ++red;
        const bool legend = std::abs(y - 0.32 * PH / k) <= 3 && x < 0.05 * W / k;
        if (!box.contains(x, y) && !legend) ++outside;
      }
  EXPECT_GT(red, 1000);
  EXPECT_EQ(outside, 0);
}

TEST(ScopeBars, PaintedPixelsMatchThePainter) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> x(-300, 1010 * 15), y(-2000, 320 * 15);
  trend::TraceGeometry g;
  g.bars = true;
  for (int i = 0; i < 3000; ++i) {
    // Bars reach 10 twips beyond their extremes: never shorter than 20.
    const double at = i % 4 ? x(rng) : std::round(x(rng) / 15) * 15;
    const double from = y(rng);
    g.barLines.emplace_back(at, from, at, from + (i % 2 ? 1 : -1) * (20 + y(rng) / 4));
  }
  QImage fast(1000, 300, QImage::Format_RGB32), slow(1000, 300, QImage::Format_RGB32);
  fast.fill(Qt::black);
  slow.fill(Qt::black);
  trend::PaintTrace(fast, g, 0x10AF10, 15);
  {
    QPainter p(&slow);
    p.scale(1 / 15.0, 1 / 15.0);
    QPen pen(QColor(0x10, 0xAF, 0x10));
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLines(g.barLines.data(), int(g.barLines.size()));
  }
  EXPECT_TRUE(fast == slow);
}
