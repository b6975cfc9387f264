// The trend's arithmetic as plain functions: the traces and the overview, the
// navigation steps and gestures, the cursor and its read-outs, zero locks and heights.
#include "common/numtext.h"
#include "logger/trend/cursor.h"
#include "logger/trend/gestures.h"
#include "logger/trend/navigation.h"
#include "logger/trend/trenddraw.h"
#include "logger/trend/zerolock.h"
#include "support/fake_prompt.h"

#include <QLocale>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace trend {
namespace {

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

TEST(TrendVertical, WhereARawValueIsDrawn) {
  const double h = kPic.height;
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
      {"drift", [](TraceRequest& r) { r.drift = 33; }, 0, h - 10 + 33},
      {"a derived value ignores bias, drift and inversion",
       [](TraceRequest& r) { r.derived = r.inverted = true, r.rawBias = 50, r.drift = 33; }, 100,
       h - 10 - h * 100 / 4095},
  };
  for (const auto& c : cases) {
    Series s{{qint16(c.raw)}};
    TraceRequest rq = Request(0, 0);
    c.set(rq);
    const auto g = ComputeTrace(rq, s.view(), nullptr);
    ASSERT_EQ(g.polyline.size(), 1u) << c.what;  // start == end: the single point
    EXPECT_NEAR(g.polyline[0].y(), c.y, 1e-9) << c.what;
  }
  // A height of 0 or one that is no number skips the channel.
  for (double height : {0.0, std::numeric_limits<double>::infinity()}) {
    TraceRequest broken = Request(0, 2);
    broken.winHeight = height;
    EXPECT_TRUE(ComputeTrace(broken, Series{{1, 2, 3}}.view(), nullptr).empty()) << height;
  }
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
  // The step: samples per pixel rounded, ties to the even neighbour, never below one.
  for (auto [n, step] : {std::pair{8.0, 8}, {2.5, 2}, {3.5, 4}, {0.2, 1}}) EXPECT_EQ(StepFor(n), step) << n;
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

ViewState Window(qint32 start, qint32 end) {
  ViewState v;
  v.WindowStart = start, v.WindowEnd = end, v.WindowLength = end - start;
  return v;
}

struct Step {
  const char* what;
  qint32 start, end;  // before
  std::function<Redraw(ViewState&)> op;
  qint32 wantStart, wantEnd;
  qint32 wantLength = -1;  // -1: end - start
};

std::function<Redraw(ViewState&)> Press(const char* button, qint32 count) {
  return [=](ViewState& v) { return NavigationButton(v, QString::fromLatin1(button), count).value_or(Redraw::None); };
}

std::function<Redraw(ViewState&)> ZoomBackTo(qint32 previousStart, qint32 previousEnd, qint32 count) {
  return [=](ViewState& v) { v.PreviousStart = previousStart, v.PreviousEnd = previousEnd; return Press("Zoom_Back", count)(v); };
}

void RunStep(const Step& c) {
  ViewState v = Window(c.start, c.end);
  EXPECT_EQ(c.op(v), Redraw::Both) << c.what;
  EXPECT_EQ(v.WindowStart, c.wantStart) << c.what;
  EXPECT_EQ(v.WindowEnd, c.wantEnd) << c.what;
  EXPECT_EQ(v.WindowLength, c.wantLength < 0 ? c.wantEnd - c.wantStart : c.wantLength) << c.what;
}

TEST(NavigationTest, StepAndLengthButtonsStayInsideTheLog) {
  constexpr qint32 n = 1000;
  const Step cases[] = {
      {"ahead", 10, 60, Press("Ahead", n), 11, 61},
      {"ahead at the end", 950, 1000, Press("Ahead", n), 950, 1000},
      // A window longer than the log (kept from a longer one) must not start before 0.
      {"ahead, long window", 0, 1500, Press("Ahead", n), 0, 1000, 1500},
      {"back", 10, 60, Press("Back", n), 9, 59},
      {"back at 0", 0, 50, Press("Back", n), 0, 50},
      {"+", 100, 200, Press("LenPlus1", n), 100, 201},
      {"++ past the end keeps the length", 897, 997, Press("LenPlus5", n), 897, 997},
      {"++ never longer than the log", 0, 998, Press("LenPlus5", n), 0, 1000},
      {"--", 100, 200, Press("LenMinus5", n), 100, 195},
      {"-", 100, 200, Press("LenMinus1", n), 100, 199},
      {"-- to one sample", 100, 103, Press("LenMinus5", n), 100, 101},
      // A previous view taken on a longer log is held inside the log now loaded, keeping
      // its length where the log is long enough, as the step buttons do at the end.
      {"previous view", 100, 200, ZoomBackTo(20, 70, n), 20, 70},
      {"previous view past the end", 100, 200, ZoomBackTo(500, 900, 600), 200, 600},
      {"previous view longer than the log", 100, 200, ZoomBackTo(500, 900, 300), 0, 300},
  };
  for (const Step& c : cases) RunStep(c);
}

// The overview strip: 1000 twips wide over a log of 2000 samples, so x stands for 2x.
constexpr double kW = 1000;
constexpr qint32 kCount = 2000;

Redraw RightGesture(ViewState& v, std::initializer_list<double> xs) {
  std::vector<double> x(xs);
  OverviewPress(v, MouseButton::Right, x.front(), kW, kCount);
  for (std::size_t i = 1; i + 1 < x.size(); ++i) OverviewRightDrag(v, x[i], kW, kCount);
  return OverviewRelease(v, MouseButton::Right, x.back(), kW, kCount);
}

TEST(NavigationTest, StripGesturesChooseOrMoveTheWindowInsideTheLog) {
  const Step cases[] = {
      {"drag", 10, 110, [](ViewState& v) { return RightGesture(v, {100, 300, 350}); }, 200, 700},
      {"drag backwards", 0, 100, [](ViewState& v) { return RightGesture(v, {400, 200, 100}); }, 200, 800},
      {"out past both edges", 0, 100, [](ViewState& v) { return RightGesture(v, {900, 1500, -50}); }, 0, 1800},
      // A click without a drag: one sample; at the left edge the end moves, else the start.
      {"click at 0", 40, 90, [](ViewState& v) { return RightGesture(v, {0, 0}); }, 0, 1},
      {"click", 40, 90, [](ViewState& v) { return RightGesture(v, {500, 500}); }, 999, 1000},
      // The left button centres the window under the pointer, held inside the log.
      {"centred under the pointer", 0, 200, [](ViewState& v) { return OverviewLeftDrag(v, 500, kW, kCount); }, 900, 1100},
      {"held at the start", 900, 1100, [](ViewState& v) { return OverviewLeftDrag(v, 20, kW, kCount); }, 0, 200},
      {"held at the end", 0, 200, [](ViewState& v) { return OverviewLeftDrag(v, 990, kW, kCount); }, 1800, 2000},
      // Odd lengths: the rounding of the two half lengths must not leave the log either.
      {"odd at the end", 0, 3, [](ViewState& v) { return OverviewLeftDrag(v, kW, kW, 7); }, 4, 7},
      {"odd at the start", 4, 7, [](ViewState& v) { return OverviewLeftDrag(v, 0, kW, 7); }, 0, 3},
      {"press and release", 40, 90, [](ViewState& v) {
         EXPECT_EQ(OverviewPress(v, MouseButton::Left, 500, kW, kCount), Redraw::Overview);
         return OverviewRelease(v, MouseButton::Left, 700, kW, kCount); }, 40, 90},
  };
  for (const Step& c : cases) RunStep(c);
  ViewState empty = Window(0, 100);
  EXPECT_EQ(OverviewLeftDrag(empty, 500, kW, 0), Redraw::None);  // no log
}

TEST(NavigationTest, WindowBoxTextsInSeconds) {
  const QChar sep = QLocale().toString(0.5).at(1);
  auto s = [&](const char* t) { return QString::fromLatin1(t).replace('.', sep); };
  // The window 10..25: FreqCode and the three boxes.
  const std::pair<quint8, QStringList> cases[] = {
      {2, {s("0.4"), "1", s("0.6")}},  // 25 samples per second
      {3, {s("0.6"), s("1.5"), s("0.9")}},  // 16.666... per second
      {0, {"10", "25", "15"}},  // a damaged log without a rate stays in samples
  };
  for (const auto& [code, texts] : cases) {
    ViewState v = Window(10, 25);
    v.SecondsMode = true;
    const WindowTexts t = WindowBoxTexts(v, code);
    EXPECT_EQ(QStringList({t.start, t.end, t.length}), texts) << int(code);
  }
}

TEST(Gestures, ZoomKeepsThePointedSampleAndStaysInTheLog) {
  const struct {
    const char* what;
    qint32 start, length;
    double fraction, factor;
    qint32 wantStart, wantLength;
  } cases[] = {
      {"pointer at the right edge", 200, 100, 1.0, 0.5, 250, 50},
      {"a one-sample window cannot shrink", 10, 1, 0.5, 0.8, 10, 1},
      {"a small step still moves", 10, 2, 0.0, 1.25, 10, 3},
      {"out beyond the end of the log", 900, 100, 1.0, 2.0, 800, 200},
      {"out beyond the whole log", 0, 600, 0.5, 2.0, 0, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ViewState v = Window(c.start, c.start + c.length);
    EXPECT_EQ(ZoomAt(v, c.fraction * 1000, 1000, c.factor, 1000), Redraw::Both);
    EXPECT_EQ(std::tuple(v.WindowStart, v.WindowLength, v.WindowEnd, v.PreviousStart, v.PreviousEnd),
              std::tuple(c.wantStart, c.wantLength, c.wantStart + c.wantLength, c.start, c.start + c.length));
  }
  ViewState v;
  EXPECT_EQ(ZoomAt(v, 0, 1000, 0.5, 0), Redraw::None);  // no log
  EXPECT_DOUBLE_EQ(WheelFactor(240), 1 / (kWheelZoomStep * kWheelZoomStep));
}

using testing_support::FakePrompt;

// A log of 1000 samples. Channels 1-4 and 7-10 read their raw value, channel 5 a tenth
// of it (Max 409.5), channel 6 runs from 100 down to 0, channels 11-12 are 8-bit.
class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store.reset(1000));
    store.FreqCode = 1;
    for (int c = 1; c <= 12; ++c) config.channel[std::size_t(c - 1)].Max = common::FullScale(c);
    config.channel[4].Max = 409.5;
    config.channel[5].Min = 100, config.channel[5].Max = 0;
    for (qint32 j = 0; j < 1000; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j + 10 * r) % (r >= 10 ? 256 : 4096));
    view.WindowStart = 0, view.WindowEnd = 100, view.WindowLength = 100;
  }
  CursorInput input(bool loaded = true) { return CursorInput{store, config, loaded, 1000.0, derived}; }

  logdata::SampleStore store;
  common::ChannelConfiguration config;
  ViewState view;
  const derived::DerivedTable* derived = nullptr;
  FakePrompt prompt;
};

TEST_F(CursorTest, PositionReadOutCursorSampleAndLine) {
  const struct {
    qint32 start, length;
    bool seconds;
    quint8 code;
    double x;
    const char* position;
    qint32 sample;
  } cases[] = {
      {0, 100, false, 1, 245, "25", 24},  // 24.5: the cursor sample rounds halves to even,
      {0, 100, false, 1, 235, "24", 24},  // 23.5  the read-out away from zero
      {0, 100, true, 1, 500, "1.", 50},   // 50 samples per second: exactly one second
      {0, 100, true, 1, 255, ".51", 26},
      {200, 100, true, 5, 250, "22.5", 225},  // 10 per second; the start adds 20 s
      {0, 0, false, 1, 400, "", 0},       // the empty previous view before any right press
      {950, 50, false, 1, 5000, "1200", 1000},  // dragged beyond the picture: the spare last column
      {0, 100, false, 1, -3000, "-300", 0},
  };
  for (const auto& c : cases) {
    view.WindowStart = c.start;
    view.WindowLength = c.length;
    view.WindowEnd = c.start + c.length;
    view.SecondsMode = c.seconds;
    store.FreqCode = c.code;
    const CursorReadout r = CursorMove(view, input(), c.x);
    EXPECT_EQ(r.position, QLatin1String(c.position)) << c.x;
    EXPECT_EQ(view.CursorSample, c.sample) << c.x;
  }
  // Without a log only the position moves.
  const CursorReadout r = CursorMove(view, input(false), 300);
  EXPECT_FALSE(r.valuesValid);
  EXPECT_EQ(r.position, QStringLiteral("30"));
  for (const QString& v : r.values) EXPECT_TRUE(v.isEmpty());

  // The line lies at the pointer, halves rounding to even. On a picture wider than 32767
  // twips (2184 px) the line and the arrow keys go on; at the picture's edges they stop.
  for (auto [x, drawn] : {std::pair{300.4, 300}, {512.5, 512}, {32767.0, 32767}, {40000.0, 40000}, {75000.0, 75000}}) {
    SCOPED_TRACE(x);
    const CursorReadout wide = CursorMove(view, CursorInput{store, config, true, 80000.0, derived}, x);
    EXPECT_EQ(std::pair(wide.line.drawX, view.CursorX), std::pair(drawn, drawn));
    EXPECT_EQ(ArrowKeyX(wide.line.drawX, 80000.0, 1), drawn + 1);
  }
  // x, direction, the new x; -100 is where a redraw leaves the cursor.
  for (auto [x, direction, want] : {std::tuple{1000.0, 1, 1000.0}, {0.0, -1, 0.0}, {-100.0, 1, 0.0}})
    EXPECT_DOUBLE_EQ(ArrowKeyX(x, 1000, direction), want) << x;
}

TEST_F(CursorTest, APressTakesTheCandidatesOfItsButtonAndNoneWithoutALog) {
  view.CursorSample = 7;
  PressResult p = CursorPress(view, input(false), MouseButton::Left, 300, prompt);
  EXPECT_FALSE(p.handled);
  EXPECT_EQ(prompt.said(), QStringList{"Logger: No data!"});
  EXPECT_EQ(prompt.records[0].icon, common::PromptIcon::Exclamation);
  EXPECT_TRUE(view.CursorX == ViewState{}.CursorX && view.CandidateRef == ViewState{}.CandidateRef);

  p = CursorPress(view, input(), MouseButton::Left, 300, prompt);
  ASSERT_TRUE(p.handled);  // the cursor sample stays where it was
  EXPECT_EQ(std::tuple(p.redraw, p.readout.position, p.readout.line.drawX, view.CursorSample),
            std::tuple(Redraw::Overview, QStringLiteral("30"), 300, 7));
  EXPECT_EQ(view.CandidateRef, (std::array<qint32, 2>{30, 0}));  // right-press entries (12) untouched
  EXPECT_EQ(std::tuple(view.RawCandidate[4], view.EngCandidate[4], view.EngCandidate[5], view.RawCandidate[11],
                       view.EngCandidate[12]),
            std::tuple(70.0, 7.0, 100 - 100 * 80 / 4095.0, 140.0, 0.0));

  CursorPress(view, input(), MouseButton::Right, 600, prompt);  // only channels 5 and 6 at sample 60
  EXPECT_EQ(view.CandidateRef, (std::array<qint32, 2>{30, 60}));  // (60 + 40) / 10; raw 110
  EXPECT_EQ(std::tuple(view.EngCandidate[12], view.EngCandidate[13], view.EngCandidate[4]),
            std::tuple(10.0, 100 - 100 * 110 / 4095.0, 7.0));
}

TEST_F(CursorTest, ChannelsFiveAndSixShowSpeedAltOrDriftBetweenTheReferences) {
  derived::DerivedTable table;
  table.reset(1000);
  std::fill_n(table.row(derived::DerivedTable::kSpeedRow), 1000, 25.0f);
  std::fill_n(table.row(derived::DerivedTable::kAltitudeRow), 1000, 1000.0f);
  derived = &table;
  view.SpeedAlt = true;
  view.SpeedUnit = 2;  // feet and mph
  const CursorReadout r = CursorMove(view, input(), 400);
  EXPECT_EQ(QStringList({r.values[0], r.values[4], r.values[5]}),
            QStringList({"40", "3280.83989501312", "55.9234073013601"}));
  // Without the box, or without a table, the raw read-outs stay.
  view.SpeedAlt = false;
  EXPECT_EQ(CursorMove(view, input(), 400).values[4], QStringLiteral("8"));
  view.SpeedAlt = true;
  derived = nullptr;
  EXPECT_EQ(CursorMove(view, input(), 400).values[4], QStringLiteral("8"));

  // Channel 5: bias 10 at sample 100, 20 at sample 200; its raw at sample k is k + 40,
  // read as (k + 40) / 10. Channel 6 has its own second bias; channel 1 never drifts.
  view.EngBias[4] = 10;
  view.EngBias[12] = 20;
  view.EngBias[0] = 5;
  view.BiasRef = {100, 200};
  view.WindowStart = 100, view.WindowEnd = 300, view.WindowLength = 200;
  for (auto [k, shown] : {std::pair{100, 14 - 10.0}, {150, 19 - 15.0}, {199, 23.9 - 19.9}, {200, 24 - 10.0}, {250, 29 - 10.0}}) {
    const CursorReadout at = CursorMove(view, input(), (k - 100) * 5.0);
    EXPECT_NEAR(common::TextToNumber(at.values[4]), shown, 1e-9) << k;
    EXPECT_EQ(at.values[0], QString::number(k - 5)) << k;
  }
  view.EngBias[5] = 4, view.EngBias[13] = 8;
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 5, 125), (4 - 8) * 25 / 100.0);
}

// Candidates as a left press at sample 40 and a right press at sample 90 leave them.
ViewState WithCandidates() {
  ViewState v;
  for (std::size_t j = 0; j < 12; ++j) {
    v.EngCandidate[j] = 100.0 + double(j);
    v.RawCandidate[j] = 1000.0 + double(j);
  }
  v.EngCandidate[12] = 55;
  v.EngCandidate[13] = 66;
  v.CandidateRef = {40, 90};
  return v;
}

std::array<bool, 12> Boxes(std::initializer_list<int> checked) {
  std::array<bool, 12> b{};
  for (int i : checked) b[std::size_t(i)] = true;
  return b;
}

TEST(ZeroLockTest, EveryClickRetakesTheCheckedChannelsAndOnlyTheirOwnBoxesMoveTheSecondReferences) {
  ViewState v = WithCandidates();
  v.EngBias[3] = v.RawBias[3] = 7;
  ApplyZeroLock(v, Boxes({0, 2}), 2);  // channel 4 unchecked: cleared at once
  EXPECT_EQ(std::tuple(v.EngBias[0], v.RawBias[0], v.EngBias[2], v.EngBias[3], v.RawBias[3]), std::tuple(100, 1000, 102, 0, 0));
  // A new left press elsewhere, then channel 2's box: channel 1 moves as well.
  v.EngCandidate[0] = 300;
  v.RawCandidate[0] = 3000;
  ApplyZeroLock(v, Boxes({0, 1, 2}), 1);  // second references are channels 5 and 6 alone
  EXPECT_EQ(std::tuple(v.EngBias[0], v.RawBias[0], v.EngBias[1], v.EngBias[12]), std::tuple(300, 3000, 101, 0));
  EXPECT_EQ(v.BiasRef, (std::array<qint32, 2>{0, 0}));

  // Channels 5 and 6 take or drop their second reference only with their own box.
  struct Click {
    std::array<bool, 12> boxes;
    int clicked;
  };
  const struct {
    const char* what;
    std::vector<Click> clicks;
    double bias5, second5, bias6, second6, candidate5, candidate12;
    std::array<qint32, 2> refs;
  } cases[] = {
      {"5 clicked", {{Boxes({4}), 4}}, 104, 55, 0, 0, 104, 55, {40, 90}},
      {"5 checked, 1 clicked", {{Boxes({4}), 0}}, 104, 0, 0, 0, 104, 55, {0, 0}},
      {"5 and 6 clicked", {{Boxes({4, 5}), 4}, {Boxes({4, 5}), 5}}, 104, 55, 105, 66, 104, 55, {40, 90}},
      // Unticking 5 drops its biases and its engineering candidates; 6 keeps its lock.
      {"5 unticked", {{Boxes({4, 5}), 4}, {Boxes({4, 5}), 5}, {Boxes({5}), 4}}, 0, 0, 105, 66, 0, 0, {40, 90}},
      // Ticked again without a new press: the engineering zero is gone; no drift.
      {"5 again", {{Boxes({4}), 4}, {Boxes({}), 4}, {Boxes({4}), 4}}, 0, 0, 0, 0, 0, 0, {40, 90}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    v = WithCandidates();
    for (const Click& k : c.clicks) ApplyZeroLock(v, k.boxes, k.clicked);
    // The raw candidate always stays.
    EXPECT_EQ(std::tuple(v.EngBias[4], v.EngBias[12], v.EngBias[5], v.EngBias[13], v.EngCandidate[4], v.EngCandidate[12],
                         v.RawCandidate[4]),
              std::tuple(c.bias5, c.second5, c.bias6, c.second6, c.candidate5, c.candidate12, 1004.0));
    EXPECT_EQ(v.BiasRef, c.refs);
  }
  // Without a right press there is no second reference: the second bias is the first.
  v = WithCandidates();
  v.EngCandidate[13] = 0;
  ApplyZeroLock(v, Boxes({5}), 5);
  EXPECT_DOUBLE_EQ(v.EngBias[13], 105);
}

TEST(WinHeightTest, NumbersAreCommittedAndOtherTextsRefusedWithTheStoredHeightShownAgain) {
  ViewState v;
  v.WinHeight[11] = 2047.5;
  FakePrompt prompt;
  for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("1.50"), QString(), QStringLiteral("-")}) {
    prompt.clear();
    const WinHeightOutcome o = CommitWinHeight(v, 11, bad, prompt);
    EXPECT_EQ(std::pair(o.redraw, o.text), std::pair(false, QStringLiteral("2047.5")));
    EXPECT_EQ(prompt.said(), QStringList{"Error!: Non numeric input for WinHeight CH12 !"});
    EXPECT_EQ(prompt.records[0].buttons, common::PromptButtons::Ok);
  }
  EXPECT_DOUBLE_EQ(v.WinHeight[11], 2047.5);
  prompt.clear();
  const WinHeightOutcome o = CommitWinHeight(v, 11, QStringLiteral("1500.5"), prompt);
  EXPECT_EQ(std::tuple(o.redraw, o.text, v.WinHeight[11]), std::tuple(true, QStringLiteral("1500.5"), 1500.5));
  EXPECT_TRUE(prompt.records.empty());
}

}  // namespace
}  // namespace trend
