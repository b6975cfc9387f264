#include "logger/trend/navigation.h"
#include "logger/trend/gestures.h"

#include <QLocale>
#include <functional>
#include <gtest/gtest.h>

namespace trend {
namespace {

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

// The button of that name, as the trend area presses it.
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
      {"++", 100, 200, Press("LenPlus5", n), 100, 205},
      {"+", 100, 200, Press("LenPlus1", n), 100, 201},
      {"+ at the end", 900, 1000, Press("LenPlus1", n), 900, 1000},
      {"++ past the end keeps the length", 897, 997, Press("LenPlus5", n), 897, 997},
      {"++ never longer than the log", 0, 998, Press("LenPlus5", n), 0, 1000},
      {"--", 100, 200, Press("LenMinus5", n), 100, 195},
      {"-", 100, 200, Press("LenMinus1", n), 100, 199},
      {"-- to one sample", 100, 103, Press("LenMinus5", n), 100, 101},
      {"- at one sample", 100, 101, Press("LenMinus1", n), 100, 101},
      // A previous view taken on a longer log is held inside the log now loaded, keeping
      // its length where the log is long enough, as the step buttons do at the end.
      {"previous view", 100, 200, ZoomBackTo(20, 70, n), 20, 70},
      {"previous view past the end", 100, 200, ZoomBackTo(500, 900, 600), 200, 600},
      {"previous view longer than the log", 100, 200, ZoomBackTo(500, 900, 300), 0, 300},
      {"previous view, empty log", 100, 200, ZoomBackTo(500, 900, 0), 0, 0},
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
  // The box reversed while dragging and the previous view kept: the trend area suite.
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
  // x, direction, the new x; -100 is where a redraw leaves the cursor.
  for (auto [x, direction, want] :
       {std::tuple{100.0, 1, 101.0}, {100.0, -1, 99.0}, {1000.0, 1, 1000.0}, {0.0, -1, 0.0}, {-100.0, 1, 0.0}})
    EXPECT_DOUBLE_EQ(ArrowKeyX(x, 1000, direction), want) << x;
}

TEST(NavigationTest, WindowBoxTextsInSamplesAndSeconds) {
  const QChar sep = QLocale().toString(0.5).at(1);
  auto s = [&](const char* t) { return QString::fromLatin1(t).replace('.', sep); };
  // Start, end, seconds, FreqCode, the three boxes.
  const std::tuple<qint32, qint32, bool, quint8, QStringList> cases[] = {
      {25, 100, false, 2, {"25", "100", "75"}},
      {25, 100, true, 2, {"1", "4", "3"}},  // 25 samples per second
      {10, 25, true, 2, {s("0.4"), "1", s("0.6")}},
      {10, 25, true, 3, {s("0.6"), s("1.5"), s("0.9")}},  // 16.666... per second
      {10, 25, true, 0, {"10", "25", "15"}},  // a damaged log without a rate stays in samples
  };
  for (const auto& [start, end, seconds, code, texts] : cases) {
    ViewState v = Window(start, end);
    v.SecondsMode = seconds;
    const WindowTexts t = WindowBoxTexts(v, code);
    EXPECT_EQ(QStringList({t.start, t.end, t.length}), texts) << start;
  }
}

// The arithmetic of the wheel, the drag and the navigation keys at the edges.
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
      {"out before the start", 10, 100, 0.0, 1.5, 10, 150},
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

TEST(Gestures, DragAndPagesAreHeldWithinTheLog) {
  ViewState v = Window(50, 150);
  PanTo(v, 50, 0, 1000, 1000, 1000);  // a whole picture to the right: before the start
  EXPECT_EQ(std::pair(v.WindowStart, v.WindowEnd), std::pair(0, 100));
  EXPECT_EQ(NavigationKey(v, Qt::Key_PageUp, {}, 1000, 1000), Redraw::Both);
  EXPECT_EQ(std::pair(v.WindowStart, v.WindowEnd), std::pair(0, 100));
  EXPECT_EQ(NavigationKey(v, Qt::Key_A, QStringLiteral("a"), 1000, 1000), std::nullopt);
}

}  // namespace
}  // namespace trend
