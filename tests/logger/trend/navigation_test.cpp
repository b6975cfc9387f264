#include "logger/trend/navigation.h"

#include <QLocale>
#include <functional>
#include <gtest/gtest.h>

namespace trend {
namespace {

ViewState Window(qint32 start, qint32 end) {
  ViewState v;
  v.WindowStart = start;
  v.WindowEnd = end;
  v.WindowLength = end - start;
  return v;
}

struct Step {
  const char* what;
  qint32 start, end;  // before
  std::function<Redraw(ViewState&)> op;
  qint32 wantStart, wantEnd;
  qint32 wantLength = -1;  // -1: end - start
};

void RunStep(const Step& c) {
  ViewState v = Window(c.start, c.end);
  EXPECT_EQ(c.op(v), Redraw::Both) << c.what;
  EXPECT_EQ(v.WindowStart, c.wantStart) << c.what;
  EXPECT_EQ(v.WindowEnd, c.wantEnd) << c.what;
  EXPECT_EQ(v.WindowLength, c.wantLength < 0 ? c.wantEnd - c.wantStart : c.wantLength) << c.what;
}

TEST(NavigationTest, RoundingAndPositions) {
  for (auto [position, sample] : {std::pair{2.5, 2}, {3.5, 4}, {-0.5, 0}, {2.4999, 2}, {2.5001, 3}})
    EXPECT_EQ(RoundSample(position), sample) << position;
  const ViewState v = Window(100, 300);
  EXPECT_DOUBLE_EQ(TrendPosition(v, 250, 1000), 150);
  EXPECT_DOUBLE_EQ(TrendPosition(v, 1000, 1000), 300);
  EXPECT_DOUBLE_EQ(OverviewPosition(500, 1000, 2000), 1000);
}

TEST(NavigationTest, StepAndLengthButtonsStayInsideTheLog) {
  constexpr qint32 n = 1000;
  const Step cases[] = {
      {"ahead", 10, 60, [](ViewState& v) { return Ahead(v, n); }, 11, 61},
      {"ahead at the end", 950, 1000, [](ViewState& v) { return Ahead(v, n); }, 950, 1000},
      // A window longer than the log (kept from a longer one) must not start before 0.
      {"ahead, long window", 0, 1500, [](ViewState& v) { return Ahead(v, n); }, 0, 1000, 1500},
      {"back", 10, 60, [](ViewState& v) { return Back(v); }, 9, 59},
      {"back at 0", 0, 50, [](ViewState& v) { return Back(v); }, 0, 50},
      {"++", 100, 200, [](ViewState& v) { return Lengthen(v, n, 5); }, 100, 205},
      {"+", 100, 200, [](ViewState& v) { return Lengthen(v, n, 1); }, 100, 201},
      {"+ at the end", 900, 1000, [](ViewState& v) { return Lengthen(v, n, 1); }, 900, 1000},
      {"++ past the end keeps the length", 897, 997, [](ViewState& v) { return Lengthen(v, n, 5); }, 897, 997},
      {"++ never longer than the log", 0, 998, [](ViewState& v) { return Lengthen(v, n, 5); }, 0, 1000},
      {"--", 100, 200, [](ViewState& v) { return Shorten(v, 5); }, 100, 195},
      {"-", 100, 200, [](ViewState& v) { return Shorten(v, 1); }, 100, 199},
      {"-- to one sample", 100, 103, [](ViewState& v) { return Shorten(v, 5); }, 100, 101},
      {"- at one sample", 100, 101, [](ViewState& v) { return Shorten(v, 1); }, 100, 101},
      {"previous view", 100, 200, [](ViewState& v) { v.PreviousStart = 20, v.PreviousEnd = 70; return ZoomBack(v, n); }, 20, 70},
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

TEST(NavigationTest, RightGesturesOnTheStripChooseAWindow) {
  const Step cases[] = {
      {"drag", 10, 110, [](ViewState& v) { return RightGesture(v, {100, 300, 350}); }, 200, 700},
      {"drag backwards", 0, 100, [](ViewState& v) { return RightGesture(v, {400, 200, 100}); }, 200, 800},
      {"out past both edges", 0, 100, [](ViewState& v) { return RightGesture(v, {900, 1500, -50}); }, 0, 1800},
      // A click without a drag: one sample; at the left edge the end moves, else the start.
      {"click at 0", 40, 90, [](ViewState& v) { return RightGesture(v, {0, 0}); }, 0, 1},
      {"click", 40, 90, [](ViewState& v) { return RightGesture(v, {500, 500}); }, 999, 1000},
      {"click at the end", 40, 90, [](ViewState& v) { return RightGesture(v, {kW, kW}); }, kCount - 1, kCount},
  };
  for (const Step& c : cases) RunStep(c);

  // The press remembers the previous view; while dragging the box may be reversed.
  ViewState v = Window(10, 110);
  EXPECT_EQ(OverviewPress(v, MouseButton::Right, 400, kW, kCount), Redraw::Overview);
  EXPECT_EQ(v.PreviousStart, 10);
  EXPECT_EQ(v.PreviousEnd, 110);
  EXPECT_EQ(OverviewRightDrag(v, 200, kW, kCount), Redraw::Overview);
  EXPECT_EQ(v.WindowStart, 800);
  EXPECT_EQ(v.WindowEnd, 400);
}

TEST(NavigationTest, LeftButtonMovesTheWindowInsideTheLogAndKeepsThePreviousView) {
  const Step cases[] = {
      {"centred under the pointer", 0, 200, [](ViewState& v) { return OverviewLeftDrag(v, 500, kW, kCount); }, 900, 1100},
      {"held at the start", 900, 1100, [](ViewState& v) { return OverviewLeftDrag(v, 20, kW, kCount); }, 0, 200},
      {"left of the strip", 900, 1100, [](ViewState& v) { return OverviewLeftDrag(v, -300, kW, kCount); }, 0, 200},
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

TEST(NavigationTest, ArrowKeysMoveOneTwipWithinThePicture) {
  const struct {
    double x;
    int direction;
    double want;
  } cases[] = {{100, 1, 101}, {100, -1, 99}, {1000, 1, 1000}, {0, -1, 0}, {-100, 1, 0}};  // -100: after a redraw
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ArrowKeyX(c.x, 1000, c.direction), c.want) << c.x;
}

TEST(NavigationTest, WindowBoxTextsInSamplesAndSeconds) {
  const QChar sep = QLocale().toString(0.5).at(1);
  auto s = [&](const char* t) { return QString::fromLatin1(t).replace('.', sep); };
  const struct {
    qint32 start, end;
    bool seconds;
    quint8 code;
    QString texts[3];
  } cases[] = {
      {25, 100, false, 2, {"25", "100", "75"}},
      {25, 100, true, 2, {"1", "4", "3"}},  // 25 samples per second
      {10, 25, true, 2, {s("0.4"), "1", s("0.6")}},
      {10, 25, true, 3, {s("0.6"), s("1.5"), s("0.9")}},  // 16.666... per second
      {10, 25, true, 0, {"10", "25", "15"}},  // a damaged log without a rate stays in samples
  };
  for (const auto& c : cases) {
    ViewState v = Window(c.start, c.end);
    v.SecondsMode = c.seconds;
    const WindowTexts t = WindowBoxTexts(v, c.code);
    EXPECT_EQ(QStringList({t.start, t.end, t.length}), QStringList({c.texts[0], c.texts[1], c.texts[2]})) << c.start;
  }
}

// A previous view taken on a longer log is held inside the log now loaded, keeping its
// length where the log is long enough, as the step buttons do at the end.
TEST(NavigationTest, PreviousViewIsHeldInsideAShorterLog) {
  struct Case {
    qint32 prevStart, prevEnd, count, start, end;
  };
  const Case cases[] = {
      {20, 70, 1000, 20, 70},    // inside: unchanged
      {500, 900, 600, 200, 600}, // past the end: same length, ends at the end
      {500, 900, 300, 0, 300},   // longer than the log: the whole log
      {500, 900, 0, 0, 0},       // empty log
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    ViewState v = Window(0, 10);
    v.PreviousStart = c.prevStart;
    v.PreviousEnd = c.prevEnd;
    ZoomBack(v, c.count);
    EXPECT_EQ(v.WindowStart, c.start);
    EXPECT_EQ(v.WindowEnd, c.end);
    EXPECT_EQ(v.WindowLength, c.end - c.start);
  }
}

}  // namespace
}  // namespace trend
