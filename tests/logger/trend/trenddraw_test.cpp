#include "logger/trend/trenddraw.h"

#include <gtest/gtest.h>

#include <functional>
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
  r.scale = kPic, r.twipsPerPixel = kTpp, r.start = start, r.end = end;
  return r;
}

}  // namespace

TEST(TrendVertical, WhereARawValueIsDrawn) {
  const double h = kPic.height, ky = -kPic.height / 4095;
  const struct {
    const char* what;
    std::function<void(TraceRequest&)> set;
    double raw;
    double y;
  } cases[] = {
      {"raw 0 ten units above the bottom", [](TraceRequest&) {}, 0, h - 10},
      {"full scale ten units above the top", [](TraceRequest&) {}, 4095, -10},
      {"8-bit full scale at the same place", [](TraceRequest& r) { r.yScale = 1.0 / 255, r.fullScale = 255; }, 255, -10},
      {"mid zero", [](TraceRequest& r) { r.zeroDivisor = 2; }, 0, h / 2 - 10},
      {"raw bias: raw 100 where 0 was", [](TraceRequest& r) { r.zeroDivisor = 2, r.rawBias = 100; }, 100, h / 2 - 10},
      {"window height 2000: raw 2000 fills the height", [](TraceRequest& r) { r.winHeight = 2000; }, 2000, -10},
      {"inverted: full scale at the bottom", [](TraceRequest& r) { r.inverted = true; }, 4095, h - 10},
      {"inverted: raw 0 at the top", [](TraceRequest& r) { r.inverted = true; }, 0, -10},
      {"drift", [](TraceRequest& r) { r.drift = 33; }, 0, h - 10 + 33},
  };
  for (const auto& c : cases) {
    Series s{{qint16(c.raw)}};
    TraceRequest rq = Request(0, 0);
    c.set(rq);
    const auto g = ComputeTrace(rq, s.view(), nullptr);
    ASSERT_EQ(g.polyline.size(), 1u) << c.what;  // start == end: the single point
    EXPECT_NEAR(g.polyline[0].y(), c.y, 1e-9) << c.what;
  }
  // Derived values (speed, altitude) ignore bias, drift and inversion.
  std::vector<float> d{100.f, 200.f};
  TraceRequest rq = Request(0, 1);
  rq.derived = rq.inverted = true;
  rq.rawBias = 50, rq.drift = 33;
  const auto g = ComputeTrace(rq, SeriesView{nullptr, d.data(), 1, 2}, nullptr);
  EXPECT_DOUBLE_EQ(g.polyline[0].y(), h - 10 + ky * 100);
  EXPECT_DOUBLE_EQ(g.polyline[1].y(), h - 10 + ky * 200);
  // A height of 0 or one that is no number skips the channel.
  for (double height : {0.0, std::numeric_limits<double>::infinity()}) {
    TraceRequest broken = Request(0, 2);
    broken.winHeight = height;
    EXPECT_TRUE(ComputeTrace(broken, Series{{1, 2, 3}}.view(), nullptr).empty()) << height;
  }
}

// Samples per pixel choose the mode and the step: the per-sample and bar tests below.
TEST(TrendMode, StepTiesGoToTheEvenNeighbourAndNeverBelowOne) {
  for (auto [n, step] : {std::pair{8.0, 8}, {2.5, 2}, {3.5, 4}, {0.2, 1}}) EXPECT_EQ(StepFor(n), step) << n;
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
  // An end beyond the series is clamped, not read.
  EXPECT_EQ(ComputeTrace(Request(0, 1000), Series{{5, 6, 7}}.view(), nullptr).polyline.size(), 3u);
}

// A 10000-sample window, step 8: j = 1 .. 10000 - 8 in steps of 8, 1249 bars. Every
// sample holds 100 but sample 8, shared by bars 0 and 1, and sample 9999, in the
// trailing part that has no bar: both 4000.
TEST(TrendBars, BlocksShareEndSamplesUnderBiasDriftInversionAndDerivedValues) {
  const double ky = -kPic.height / 4095, base = kPic.height - 10, xstep = kPic.width / 10000;
  const struct {
    const char* what;
    std::function<void(TraceRequest&)> set;
    double low, high;  // the drawn extremes of bars 0 and 1
    double shift;
  } cases[] = {
      {"plain", [](TraceRequest&) {}, 100, 4000, 0},
      {"a raw bias does not move bars", [](TraceRequest& r) { r.rawBias = 500; }, 100, 4000, 0},
      {"drift does", [](TraceRequest& r) { r.rawBias = 500, r.drift = 7; }, 100, 4000, 7},
      // Inverted: drawn values 3995 (raw 100) and 95 (raw 4000).
      {"inverted", [](TraceRequest& r) { r.inverted = true; }, 95, 3995, 0},
  };
  Series s;
  s.raw.assign(10001, 100);
  s.raw[8] = s.raw[9999] = 4000;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TraceRequest rq = Request(0, 10000);
    c.set(rq);
    const auto g = ComputeTrace(rq, s.view(), nullptr);
    ASSERT_TRUE(g.bars);
    ASSERT_EQ(g.barLines.size(), 1249u);
    for (std::size_t i : {0u, 1u}) {
      EXPECT_NEAR(g.barLines[i].y1(), c.low * ky + base + 10 + c.shift, 1e-6) << i;
      EXPECT_NEAR(g.barLines[i].y2(), c.high * ky + base - 10 + c.shift, 1e-6) << i;
      EXPECT_EQ(QPointF(g.barLines[i].x1(), g.barLines[i].x2()), QPointF(8 * (i + 1) * xstep, 8 * (i + 1) * xstep));
    }
    // Bar 2 and the last bar are flat: ten units either way of the one value.
    EXPECT_NEAR(g.barLines[2].y1() - g.barLines[2].y2(), 20, 1e-6);
    EXPECT_NEAR(g.barLines.back().y1() - g.barLines.back().y2(), 20, 1e-6);
  }
  // Derived values above 4095: the block search keeps its starting minimum of 4095;
  // drift and inversion do not move them.
  std::vector<float> d(10001, 5000.f);
  TraceRequest rq = Request(0, 10000);
  rq.derived = rq.inverted = true, rq.drift = 7;
  const auto g = ComputeTrace(rq, SeriesView{nullptr, d.data(), 1, qint32(d.size())}, nullptr);
  EXPECT_NEAR(g.barLines[0].y1(), 4095 * ky + base + 10, 1e-6);
  EXPECT_NEAR(g.barLines[0].y2(), 5000 * ky + base - 10, 1e-6);
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

TEST(Overview, BoxTraceOstepInversionAndTheDropToTheSpareColumn) {
  // Strip 500 pixels wide. 1000 samples (and the spare zero column): ostep = 15 * 0.2 *
  // 1000 / 7500 = 0.4, at least 1, so every column 0..1000; 100000 samples: ostep 40.
  Series small, big;
  small.raw.assign(1001, 4095);
  small.raw[1000] = 0;
  for (int j = 0; j <= 100000; ++j) big.raw.push_back(qint16(j % 4096));
  OverviewRequest rq;
  rq.scale = {0, 0, 500 * kTpp, 60 * kTpp};
  rq.twipsPerPixel = kTpp, rq.sampleCount = 1000;
  rq.windowStart = 100, rq.windowEnd = 150;
  const double w = rq.scale.width, h = rq.scale.height;
  auto g = ComputeOverview(rq, small.view());
  ASSERT_TRUE(g.hasBox);
  EXPECT_EQ(g.windowBox, QRectF(QPointF(0.1 * w, 0), QPointF(0.15 * w, h)));
  ASSERT_EQ(g.trace.size(), 1001u);
  EXPECT_EQ(std::pair(g.trace.front().y(), g.trace.back()), std::pair(0.0, QPointF(w, h)));  // 4095 at the top edge, no margin
  rq.sampleCount = 100000;
  g = ComputeOverview(rq, big.view());
  ASSERT_EQ(g.trace.size(), 1u + 2500u);  // j = 1, 41, ... 99961
  EXPECT_DOUBLE_EQ(g.trace[2].y(), h - 41 * h / 4095);
  rq.inverted = true;
  EXPECT_DOUBLE_EQ(ComputeOverview(rq, big.view()).trace[2].y(), 41 * h / 4095);
  // No channel, or no samples: an empty strip.
  EXPECT_FALSE(ComputeOverview(rq, SeriesView{}).hasBox);
  rq.sampleCount = 0;
  EXPECT_TRUE(ComputeOverview(rq, Series{{0}}.view()).trace.empty());
}
