// The arithmetic of the wheel, the drag and the navigation keys at the edges.
#include "logger/trend/gestures.h"

#include <gtest/gtest.h>

using namespace trend;

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
    ViewState v;
    v.WindowStart = c.start, v.WindowLength = c.length, v.WindowEnd = c.start + c.length;
    EXPECT_EQ(ZoomAt(v, c.fraction * 1000, 1000, c.factor, 1000), Redraw::Both);
    EXPECT_EQ(std::tuple(v.WindowStart, v.WindowLength, v.WindowEnd, v.PreviousStart, v.PreviousEnd),
              std::tuple(c.wantStart, c.wantLength, c.wantStart + c.wantLength, c.start, c.start + c.length));
  }
  ViewState v;
  EXPECT_EQ(ZoomAt(v, 0, 1000, 0.5, 0), Redraw::None);  // no log
  EXPECT_DOUBLE_EQ(WheelFactor(240), 1 / (kWheelZoomStep * kWheelZoomStep));
}

TEST(Gestures, DragAndPagesAreHeldWithinTheLog) {
  ViewState v;
  v.WindowStart = 50, v.WindowLength = 100, v.WindowEnd = 150;
  PanTo(v, 50, 0, 1000, 1000, 1000);  // a whole picture to the right: before the start
  EXPECT_EQ(std::pair(v.WindowStart, v.WindowEnd), std::pair(0, 100));
  EXPECT_EQ(NavigationKey(v, Qt::Key_PageUp, {}, 1000, 1000), Redraw::Both);
  EXPECT_EQ(std::pair(v.WindowStart, v.WindowEnd), std::pair(0, 100));
  EXPECT_EQ(NavigationKey(v, Qt::Key_A, QStringLiteral("a"), 1000, 1000), std::nullopt);
}
