#include "logger/trend/trenddraw.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace trend;

namespace {

// A picture 1000 pixels wide and 300 high at 15 twips per pixel.
constexpr double kTpp = 15;
const PictureScale kPic{0, 0, 1000 * kTpp, 300 * kTpp};

struct Series {
  std::vector<qint16> raw;  // one value per sample, stride 1
  SeriesView view() const { return {raw.data(), nullptr, 1, qint32(raw.size())}; }
};

TraceRequest Request(qint32 start, qint32 end) {
  TraceRequest r;
  r.scale = kPic;
  r.twipsPerPixel = kTpp;
  r.start = start;
  r.end = end;
  return r;
}

}  // namespace

TEST(TrendVertical, RawZeroAndFullScaleSitTenUnitsInsideTheEdges) {
  Series s{{0, 4095}};
  auto g = ComputeTrace(Request(0, 1), s.view(), nullptr);
  ASSERT_FALSE(g.bars);
  ASSERT_EQ(g.polyline.size(), 2u);
  EXPECT_DOUBLE_EQ(g.polyline[0].y(), kPic.height - 10);
  EXPECT_DOUBLE_EQ(g.polyline[1].y(), -10);  // top edge minus 10 units
  EXPECT_DOUBLE_EQ(g.polyline[0].x(), 0);
  EXPECT_DOUBLE_EQ(g.polyline[1].x(), kPic.width);
}

TEST(TrendVertical, EightBitFullScaleMatchesTwelveBitFullScale) {
  Series s8{{255}}, s12{{4095}};
  auto r8 = Request(0, 0);
  r8.yScale = 1.0 / 255;
  r8.fullScale = 255;
  auto g8 = ComputeTrace(r8, s8.view(), nullptr);
  auto g12 = ComputeTrace(Request(0, 0), s12.view(), nullptr);
  ASSERT_EQ(g8.polyline.size(), 1u);  // start == end: the single point
  EXPECT_NEAR(g8.polyline[0].y(), g12.polyline[0].y(), 1e-9);
}

TEST(TrendVertical, MidZeroBiasWindowHeightAndInversion) {
  Series s{{0, 100, 2000}};
  auto rq = Request(0, 2);
  rq.zeroDivisor = 2;
  auto g = ComputeTrace(rq, s.view(), nullptr);
  EXPECT_DOUBLE_EQ(g.polyline[0].y(), kPic.height / 2 - 10);

  // Bias 100: sample 100 now lies where 0 was; sample 0 falls below the middle.
  rq.rawBias = 100;
  g = ComputeTrace(rq, s.view(), nullptr);
  EXPECT_DOUBLE_EQ(g.polyline[1].y(), kPic.height / 2 - 10);
  EXPECT_GT(g.polyline[0].y(), kPic.height / 2 - 10);

  // Window height 2000: raw 2000 fills the whole height.
  auto rh = Request(0, 2);
  rh.winHeight = 2000;
  g = ComputeTrace(rh, s.view(), nullptr);
  EXPECT_DOUBLE_EQ(g.polyline[2].y(), -10);

  // Inverted: raw full scale at the bottom, raw 0 at the top.
  Series inv{{4095, 0}};
  auto ri = Request(0, 1);
  ri.inverted = true;
  g = ComputeTrace(ri, inv.view(), nullptr);
  EXPECT_DOUBLE_EQ(g.polyline[0].y(), kPic.height - 10);
  EXPECT_DOUBLE_EQ(g.polyline[1].y(), -10);
}

TEST(TrendVertical, ZeroOrBrokenWindowHeightSkipsTheChannel) {
  Series s{{1, 2, 3}};
  auto rq = Request(0, 2);
  rq.winHeight = 0;
  EXPECT_TRUE(ComputeTrace(rq, s.view(), nullptr).empty());
  rq.winHeight = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(ComputeTrace(rq, s.view(), nullptr).empty());
}

TEST(TrendVertical, DerivedValuesIgnoreBiasDriftAndInversion) {
  std::vector<float> d{100.f, 200.f};
  SeriesView v{nullptr, d.data(), 1, 2};
  auto rq = Request(0, 1);
  rq.derived = true;
  rq.rawBias = 50;
  rq.drift = 33;
  rq.inverted = true;
  auto g = ComputeTrace(rq, v, nullptr);
  const double ky = -kPic.height / 4095;
  EXPECT_DOUBLE_EQ(g.polyline[0].y(), kPic.height - 10 + ky * 100);
  EXPECT_DOUBLE_EQ(g.polyline[1].y(), kPic.height - 10 + ky * 200);
}

TEST(TrendMode, StepFollowsSamplesPerPixel) {
  // 100 samples over 1000 pixels: per-sample; 10000 samples: bars of 8.
  EXPECT_LE(SamplesPerBar(kTpp, 0, 100, kPic.width), 1.0);
  EXPECT_DOUBLE_EQ(SamplesPerBar(kTpp, 0, 10000, kPic.width), 8.0);
  EXPECT_EQ(StepFor(8.0), 8);
  EXPECT_EQ(StepFor(2.5), 2);  // ties go to the even neighbour
  EXPECT_EQ(StepFor(3.5), 4);
  EXPECT_EQ(StepFor(0.2), 1);  // never below 1
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(TrendPerSample, OnePointAndOneLinePerSample) {
  Series s;
  for (int j = 0; j < 200; ++j) s.raw.push_back(qint16(j * 10));
  auto g = ComputeTrace(Request(50, 150), s.view(), nullptr);
  ASSERT_FALSE(g.bars);
  ASSERT_EQ(g.polyline.size(), 101u);
  const double xstep = kPic.width / 100;
  const double ky = -kPic.height / 4095;
  for (int i = 0; i <= 100; ++i) {
    EXPECT_NEAR(g.polyline[std::size_t(i)].x(), i * xstep, 1e-6);
    EXPECT_NEAR(g.polyline[std::size_t(i)].y(), (50 + i) * 10 * ky + kPic.height - 10, 1e-6);
  }
}

TEST(TrendBars, BlocksShareEndSamplesAndSkipTheLastPartialBlock) {
  // 10000-sample window, step 8. Put a spike at sample 8 (shared by blocks 0 and 1)
  // and one in the trailing part that has no bar.
  Series s;
  s.raw.assign(10001, 1000);
  s.raw[8] = 3000;
  s.raw[9999] = 4000;
  auto g = ComputeTrace(Request(0, 10000), s.view(), nullptr);
  ASSERT_TRUE(g.bars);
  // j = 1 .. 10000 - 8 in steps of 8: 1249 bars.
  ASSERT_EQ(g.barLines.size(), 1249u);
  const double ky = -kPic.height / 4095;
  const double base = kPic.height - 10;
  const double xstep = kPic.width / 10000;
  // Bar 0 covers samples 0..8, bar 1 samples 8..16: both reach the spike.
  EXPECT_NEAR(g.barLines[0].y2(), 3000 * ky + base - 10, 1e-6);
  EXPECT_NEAR(g.barLines[1].y2(), 3000 * ky + base - 10, 1e-6);
  EXPECT_NEAR(g.barLines[2].y2(), 1000 * ky + base - 10, 1e-6);
  EXPECT_NEAR(g.barLines[0].y1(), 1000 * ky + base + 10, 1e-6);
  EXPECT_NEAR(g.barLines[0].x1(), 8 * xstep, 1e-6);
  EXPECT_NEAR(g.barLines[1].x1(), 16 * xstep, 1e-6);
  EXPECT_DOUBLE_EQ(g.barLines[0].x1(), g.barLines[0].x2());
  // The last bar ends at sample 9992; the spike at 9999 is never drawn.
  for (const auto& l : g.barLines) EXPECT_GT(l.y2(), 4000 * ky + base - 10 + 1);
}

TEST(TrendBars, RawBiasDoesNotMoveBarsButDriftDoes) {
  Series s;
  s.raw.assign(10001, 1000);
  auto plain = ComputeTrace(Request(0, 10000), s.view(), nullptr);
  auto rq = Request(0, 10000);
  rq.rawBias = 500;
  auto biased = ComputeTrace(rq, s.view(), nullptr);
  ASSERT_EQ(plain.barLines.size(), biased.barLines.size());
  EXPECT_DOUBLE_EQ(plain.barLines[5].y1(), biased.barLines[5].y1());
  rq.drift = 7;
  auto drifted = ComputeTrace(rq, s.view(), nullptr);
  EXPECT_DOUBLE_EQ(drifted.barLines[5].y1(), plain.barLines[5].y1() + 7);
  EXPECT_DOUBLE_EQ(drifted.barLines[5].y2(), plain.barLines[5].y2() + 7);
}

TEST(TrendBars, InvertedBarsTakeTheLargerDrawnValueFromTheSmallerRaw) {
  Series s;
  s.raw.assign(10001, 100);
  s.raw[3] = 4000;
  auto rq = Request(0, 10000);
  rq.inverted = true;
  auto g = ComputeTrace(rq, s.view(), nullptr);
  const double ky = -kPic.height / 4095;
  const double base = kPic.height - 10;
  // Drawn values 3995 (from raw 100) and 95 (from raw 4000).
  EXPECT_NEAR(g.barLines[0].y1(), 95 * ky + base + 10, 1e-6);
  EXPECT_NEAR(g.barLines[0].y2(), 3995 * ky + base - 10, 1e-6);
}

TEST(TrendBars, DerivedBlocksStartFromTheFixedExtremes) {
  // All values above 4095: the search keeps its starting minimum of 4095.
  std::vector<float> d(10001, 5000.f);
  SeriesView v{nullptr, d.data(), 1, qint32(d.size())};
  auto rq = Request(0, 10000);
  rq.derived = true;
  auto g = ComputeTrace(rq, v, nullptr);
  const double ky = -kPic.height / 4095;
  EXPECT_NEAR(g.barLines[0].y1(), 4095 * ky + kPic.height - 10 + 10, 1e-6);
  EXPECT_NEAR(g.barLines[0].y2(), 5000 * ky + kPic.height - 10 - 10, 1e-6);
}

TEST(TrendBars, EnvelopeGivesTheSameBarsAsTheSamples) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> dist(0, 4095);
  // Thirteen rows like the store, read with a stride.
  const qint32 count = 300001;
  std::vector<qint16> store(std::size_t(count) * 13);
  for (qint32 j = 0; j < count; ++j) store[std::size_t(j) * 13 + 2] = qint16(dist(rng) / (j % 977 ? 4 : 1));
  SeriesView v{store.data() + 2, nullptr, 13, count};
  Envelope env(v);
  for (auto [a, b] : {std::pair{0, 300000}, {12345, 299999}, {7, 150007}, {1000, 41000}}) {
    auto slow = ComputeTrace(Request(a, b), v, nullptr);
    auto fast = ComputeTrace(Request(a, b), v, &env);
    ASSERT_TRUE(slow.bars);
    ASSERT_EQ(slow.barLines, fast.barLines) << a << ".." << b;
  }
}

TEST(TrendWindow, EndBeyondTheSeriesIsClampedNotRead) {
  Series s{{5, 6, 7}};
  auto g = ComputeTrace(Request(0, 1000), s.view(), nullptr);
  ASSERT_FALSE(g.bars);
  EXPECT_EQ(g.polyline.size(), 3u);
}

TEST(Overview, BoxTraceAndTheDropToTheSpareColumn) {
  // 1000 samples plus the spare zero column, strip 500 pixels wide.
  Series s;
  s.raw.assign(1001, 4095);
  s.raw[1000] = 0;
  OverviewRequest rq;
  rq.scale = {0, 0, 500 * kTpp, 60 * kTpp};
  rq.twipsPerPixel = kTpp;
  rq.sampleCount = 1000;
  rq.windowStart = 100;
  rq.windowEnd = 150;
  auto g = ComputeOverview(rq, s.view());
  ASSERT_TRUE(g.hasBox);
  EXPECT_DOUBLE_EQ(g.windowBox.left(), 100.0 / 1000 * rq.scale.width);
  EXPECT_DOUBLE_EQ(g.windowBox.right(), 150.0 / 1000 * rq.scale.width);
  EXPECT_DOUBLE_EQ(g.windowBox.bottom(), rq.scale.height);
  // ostep = 15 * 0.2 * 1000 / 7500 = 0.4 -> at least 1: every column 0..1000.
  ASSERT_EQ(g.trace.size(), 1001u);
  EXPECT_DOUBLE_EQ(g.trace.front().y(), 0);  // 4095 at the top edge, no margin
  EXPECT_DOUBLE_EQ(g.trace.back().y(), rq.scale.height);
  EXPECT_NEAR(g.trace.back().x(), rq.scale.width, 1e-6);
}

TEST(Overview, SkipsSamplesByOstepAndInvertsAndStaysEmptyWithoutChannel) {
  Series s;
  for (int j = 0; j <= 100000; ++j) s.raw.push_back(qint16(j % 4096));
  OverviewRequest rq;
  rq.scale = {0, 0, 500 * kTpp, 60 * kTpp};
  rq.twipsPerPixel = kTpp;
  rq.sampleCount = 100000;
  auto g = ComputeOverview(rq, s.view());
  // ostep = 15 * 0.2 * 100000 / 7500 = 40; j = 1, 41, ... 99961.
  ASSERT_EQ(g.trace.size(), 1u + 2500u);
  EXPECT_DOUBLE_EQ(g.trace[1].y(), rq.scale.height - 1 * rq.scale.height / 4095);
  EXPECT_DOUBLE_EQ(g.trace[2].y(), rq.scale.height - 41 * rq.scale.height / 4095);
  rq.inverted = true;
  g = ComputeOverview(rq, s.view());
  EXPECT_DOUBLE_EQ(g.trace[2].y(), 41 * rq.scale.height / 4095);

  SeriesView none;
  auto e = ComputeOverview(rq, none);
  EXPECT_FALSE(e.hasBox);
  EXPECT_TRUE(e.trace.empty());
  rq.sampleCount = 0;
  EXPECT_TRUE(ComputeOverview(rq, Series{{0}}.view()).trace.empty());
}
