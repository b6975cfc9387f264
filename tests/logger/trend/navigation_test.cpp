#include "logger/trend/navigation.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace trend {
namespace {

ViewState window(qint32 start, qint32 end) {
  ViewState v;
  v.WindowStart = start;
  v.WindowEnd = end;
  v.WindowLength = end - start;
  return v;
}

void expectWindow(const ViewState& v, qint32 start, qint32 end) {
  EXPECT_EQ(v.WindowStart, start);
  EXPECT_EQ(v.WindowEnd, end);
  EXPECT_EQ(v.WindowLength, end - start);
}

TEST(NavigationTest, RoundingIsHalfToEven) {
  EXPECT_EQ(RoundSample(2.5), 2);
  EXPECT_EQ(RoundSample(3.5), 4);
  EXPECT_EQ(RoundSample(-0.5), 0);
  EXPECT_EQ(RoundSample(2.4999), 2);
  EXPECT_EQ(RoundSample(2.5001), 3);
}

TEST(NavigationTest, PositionsOnBothPictures) {
  ViewState v = window(100, 300);
  EXPECT_DOUBLE_EQ(TrendPosition(v, 0, 1000), 100);
  EXPECT_DOUBLE_EQ(TrendPosition(v, 250, 1000), 150);
  EXPECT_DOUBLE_EQ(TrendPosition(v, 1000, 1000), 300);
  EXPECT_DOUBLE_EQ(OverviewPosition(500, 1000, 2000), 1000);
}

TEST(NavigationTest, AheadStepsAndStopsAtTheEnd) {
  ViewState v = window(10, 60);
  EXPECT_EQ(Ahead(v, 1000), Redraw::Both);
  expectWindow(v, 11, 61);

  v = window(950, 1000);
  Ahead(v, 1000);
  expectWindow(v, 950, 1000);  // length kept, start = SampleCount - length
}

TEST(NavigationTest, AheadNeverStartsBeforeTheLog) {
  // A window longer than the log (a view kept from a longer log) must not make the
  // drawing read sample -1.
  ViewState v = window(0, 500);
  Ahead(v, 200);
  EXPECT_EQ(v.WindowStart, 0);
  EXPECT_EQ(v.WindowEnd, 200);
}

TEST(NavigationTest, BackStepsAndStaysAtZero) {
  ViewState v = window(10, 60);
  EXPECT_EQ(Back(v), Redraw::Both);
  expectWindow(v, 9, 59);
  v = window(0, 50);
  Back(v);
  expectWindow(v, 0, 50);
}

TEST(NavigationTest, LengthenGrowsUntilTheEndOfTheLog) {
  ViewState v = window(100, 200);
  Lengthen(v, 1000, 5);
  expectWindow(v, 100, 205);
  Lengthen(v, 1000, 1);
  expectWindow(v, 100, 206);

  // "+" when the window already ends at SampleCount changes nothing.
  v = window(900, 1000);
  Lengthen(v, 1000, 1);
  expectWindow(v, 900, 1000);
  // "+ +" that would pass the end returns to the old length.
  v = window(897, 997);
  Lengthen(v, 1000, 5);
  expectWindow(v, 897, 997);
  // Never longer than the log.
  v = window(0, 998);
  Lengthen(v, 1000, 5);
  expectWindow(v, 0, 1000);
}

TEST(NavigationTest, ShortenNeverBelowOneSample) {
  ViewState v = window(100, 200);
  Shorten(v, 5);
  expectWindow(v, 100, 195);
  Shorten(v, 1);
  expectWindow(v, 100, 194);
  v = window(100, 103);
  Shorten(v, 5);
  expectWindow(v, 100, 101);
  Shorten(v, 1);
  expectWindow(v, 100, 101);
}

TEST(NavigationTest, PreviousViewReturnsWithoutForgettingIt) {
  ViewState v = window(100, 200);
  v.PreviousStart = 20;
  v.PreviousEnd = 70;
  EXPECT_EQ(ZoomBack(v, 1000), Redraw::Both);
  expectWindow(v, 20, 70);
  EXPECT_EQ(v.PreviousStart, 20);
  EXPECT_EQ(v.PreviousEnd, 70);
}

TEST(NavigationTest, SampSecCaptionToggles) {
  ViewState v;
  EXPECT_EQ(ToggleSeconds(v), QStringLiteral("Seconds"));
  EXPECT_TRUE(v.SecondsMode);
  EXPECT_EQ(ToggleSeconds(v), QStringLiteral("Samples"));
  EXPECT_FALSE(v.SecondsMode);
}

// Overview strip of width 1000 twips over a log of 2000 samples: x stands for 2x.
constexpr double kW = 1000;
constexpr qint32 kCount = 2000;

TEST(NavigationTest, RightDragChoosesAWindowAndRemembersThePreviousOne) {
  ViewState v = window(10, 110);
  EXPECT_EQ(OverviewPress(v, MouseButton::Right, 100, kW, kCount), Redraw::Overview);
  EXPECT_EQ(v.PreviousStart, 10);
  EXPECT_EQ(v.PreviousEnd, 110);
  EXPECT_EQ(v.WindowStart, 200);
  EXPECT_EQ(v.WindowEnd, 200);
  EXPECT_EQ(OverviewRightDrag(v, 300, kW, kCount), Redraw::Overview);
  EXPECT_EQ(v.WindowEnd, 600);
  EXPECT_EQ(OverviewRelease(v, MouseButton::Right, 350, kW, kCount), Redraw::Both);
  expectWindow(v, 200, 700);
}

TEST(NavigationTest, DragInBothDirectionsGivesTheSameWindow) {
  ViewState forward = window(0, 100);
  OverviewPress(forward, MouseButton::Right, 100, kW, kCount);
  OverviewRightDrag(forward, 200, kW, kCount);
  OverviewRelease(forward, MouseButton::Right, 400, kW, kCount);

  ViewState backward = window(0, 100);
  OverviewPress(backward, MouseButton::Right, 400, kW, kCount);
  OverviewRightDrag(backward, 200, kW, kCount);
  EXPECT_EQ(backward.WindowEnd, 400);  // the box may be reversed while dragging
  OverviewRelease(backward, MouseButton::Right, 100, kW, kCount);

  expectWindow(forward, 200, 800);
  expectWindow(backward, 200, 800);
}

TEST(NavigationTest, DragOutsideTheStripIsClamped) {
  ViewState v = window(0, 100);
  OverviewPress(v, MouseButton::Right, 900, kW, kCount);
  OverviewRightDrag(v, 1500, kW, kCount);
  EXPECT_EQ(v.WindowEnd, kCount);
  OverviewRelease(v, MouseButton::Right, -50, kW, kCount);
  expectWindow(v, 0, 1800);
}

TEST(NavigationTest, ClickWithoutDragGivesOneSampleWindows) {
  ViewState v = window(40, 90);
  OverviewPress(v, MouseButton::Right, 0, kW, kCount);
  OverviewRelease(v, MouseButton::Right, 0, kW, kCount);
  expectWindow(v, 0, 1);  // at the left edge the end moves

  v = window(40, 90);
  OverviewPress(v, MouseButton::Right, 500, kW, kCount);
  OverviewRelease(v, MouseButton::Right, 500, kW, kCount);
  expectWindow(v, 999, 1000);  // elsewhere the start moves

  v = window(40, 90);
  OverviewPress(v, MouseButton::Right, kW, kW, kCount);
  OverviewRelease(v, MouseButton::Right, kW, kW, kCount);
  expectWindow(v, kCount - 1, kCount);
}

TEST(NavigationTest, LeftButtonOnlyRedrawsAndKeepsTheWindow) {
  ViewState v = window(40, 90);
  v.PreviousStart = 1;
  v.PreviousEnd = 2;
  EXPECT_EQ(OverviewPress(v, MouseButton::Left, 500, kW, kCount), Redraw::Overview);
  EXPECT_EQ(OverviewRelease(v, MouseButton::Left, 700, kW, kCount), Redraw::Both);
  expectWindow(v, 40, 90);
  EXPECT_EQ(v.PreviousStart, 1);
  EXPECT_EQ(v.PreviousEnd, 2);
}

TEST(NavigationTest, LeftDragMovesTheWindowInsideTheLog) {
  ViewState v = window(0, 200);  // 200 samples = 100 twips of the strip
  EXPECT_EQ(OverviewLeftDrag(v, 500, kW, kCount), Redraw::Both);
  expectWindow(v, 900, 1100);  // centred under the pointer

  OverviewLeftDrag(v, 20, kW, kCount);  // half = 50: x held at 50
  expectWindow(v, 0, 200);
  OverviewLeftDrag(v, -300, kW, kCount);
  expectWindow(v, 0, 200);
  OverviewLeftDrag(v, 990, kW, kCount);
  expectWindow(v, 1800, 2000);
  OverviewLeftDrag(v, 5000, kW, kCount);
  expectWindow(v, 1800, 2000);

  // An odd length: the rounding of the half lengths must not leave the log either.
  ViewState odd = window(0, 3);
  OverviewLeftDrag(odd, kW, kW, 7);
  EXPECT_GE(odd.WindowStart, 0);
  EXPECT_LE(odd.WindowEnd, 7);
  EXPECT_EQ(odd.WindowLength, 3);
  OverviewLeftDrag(odd, 0, kW, 7);
  EXPECT_EQ(odd.WindowStart, 0);
  EXPECT_EQ(odd.WindowEnd, 3);
}

TEST(NavigationTest, LeftDragWithoutALogDoesNothing) {
  ViewState v = window(0, 100);
  EXPECT_EQ(OverviewLeftDrag(v, 500, kW, 0), Redraw::None);
  expectWindow(v, 0, 100);
}

TEST(NavigationTest, ArrowKeysMoveOneTwipWithinThePicture) {
  EXPECT_DOUBLE_EQ(ArrowKeyX(100, 1000, +1), 101);
  EXPECT_DOUBLE_EQ(ArrowKeyX(100, 1000, -1), 99);
  EXPECT_DOUBLE_EQ(ArrowKeyX(1000, 1000, +1), 1000);
  EXPECT_DOUBLE_EQ(ArrowKeyX(0, 1000, -1), 0);
  EXPECT_DOUBLE_EQ(ArrowKeyX(-100, 1000, +1), 0);  // after a redraw the cursor x is -100
}

TEST(NavigationTest, WindowBoxTextsInSamplesAndSeconds) {
  ViewState v = window(25, 100);
  WindowTexts t = WindowBoxTexts(v, 2);
  EXPECT_EQ(t.start, QStringLiteral("25"));
  EXPECT_EQ(t.end, QStringLiteral("100"));
  EXPECT_EQ(t.length, QStringLiteral("75"));

  v.SecondsMode = true;  // FreqCode 2: 25 samples per second
  const QChar sep = QLocale().toString(0.5).at(1);
  t = WindowBoxTexts(v, 2);
  EXPECT_EQ(t.start, QStringLiteral("1"));
  EXPECT_EQ(t.end, QStringLiteral("4"));
  EXPECT_EQ(t.length, QStringLiteral("3"));
  v = window(10, 25);
  v.SecondsMode = true;
  t = WindowBoxTexts(v, 2);
  EXPECT_EQ(t.start, QStringLiteral("0") + sep + QStringLiteral("4"));
  EXPECT_EQ(t.end, QStringLiteral("1"));
  EXPECT_EQ(t.length, QStringLiteral("0") + sep + QStringLiteral("6"));
  t = WindowBoxTexts(v, 3);  // 16.666... per second: the shortest 15-digit text
  EXPECT_EQ(t.start, QStringLiteral("0") + sep + QStringLiteral("6"));
  EXPECT_EQ(t.end, QStringLiteral("1") + sep + QStringLiteral("5"));
  // A damaged log without a rate stays in samples.
  t = WindowBoxTexts(v, 0);
  EXPECT_EQ(t.start, QStringLiteral("10"));
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
    ViewState v = window(0, 10);
    v.PreviousStart = c.prevStart;
    v.PreviousEnd = c.prevEnd;
    ZoomBack(v, c.count);
    expectWindow(v, c.start, c.end);
  }
}

}  // namespace
}  // namespace trend
