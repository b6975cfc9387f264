// The trend area every trend window embeds, on a bare host: what its buttons, strip, gestures
// and keys do to the shared view and which of the window's calls they make.
#include "common/messages.h"
#include "logger/trend/ui/trendarea.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace trend {
namespace {

// QTest's moves carry no buttons.
void Move(QWidget* w, int px, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent e(QEvent::MouseMove, QPoint(px, 10), w->mapToGlobal(QPoint(px, 10)), Qt::NoButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// A log of 1000 samples at ten a second; the picture and the strip 500 pixels wide, so
// over the window 200..300 a picture pixel is a fifth of a sample and a strip pixel two.
class TrendAreaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.reset(1000);
    store.SampleCount = 1000;
    store.FreqCode = 5;
    // What the window is asked to do, x in twips. Its own redraw forgets the cursor and
    // shows the view, as the real windows do.
    TrendArea::Calls c;
    c.drawTrend = [this] {
      heard << "trend";
      view.CursorX = -100;
      area->showWindow();
    };
    c.drawOverview = [this] { heard << "overview"; };
    c.moveCursor = [this](double x) { heard << "move " + QString::number(x); };
    c.press = [this](double x, Qt::MouseButton b) { heard << QStringLiteral("press %1 %2").arg(x).arg(int(b)); };
    c.capture = [this] { heard << "capture"; };
    c.mark = [this](int m, qint32 k) { heard << QStringLiteral("mark %1 %2").arg(m ? 'B' : 'A').arg(k); };
    area = new TrendArea(view, store, &host, {}, std::move(c));
    pic = area->picture();
    pic->setFixedSize(500, 200);
    area->strip()->setFixedWidth(500);
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(pic);
    layout->addLayout(area->stripRow());
    layout->addLayout(area->navigationRow());
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    t = pic->twipsPerPixel();
    setWindow(200, 300);
  }

  void setWindow(qint32 start, qint32 end) {
    view.WindowStart = start, view.WindowEnd = end, view.WindowLength = end - start;
    area->showWindow();
    heard.clear();
  }
  void click(const char* button) { QTest::mouseClick(host.findChild<QPushButton*>(button), Qt::LeftButton); }
  QString boxes() {
    QStringList l;
    for (const char* box : {"Text5", "Text6", "window"}) l << host.findChild<QLineEdit*>(box)->text();
    return l.join(' ');
  }
  QString window() const { return QStringLiteral("%1..%2").arg(view.WindowStart).arg(view.WindowEnd); }
  QString twips(double px) const { return QString::number(px * t); }

  ViewState view;
  logdata::SampleStore store;
  QWidget host;
  TrendArea* area = nullptr;
  PictureBox* pic = nullptr;
  double t = 15;
  QStringList heard;
};

TEST_F(TrendAreaTest, ButtonsAndStripGesturesMoveTheWindowAndRedraw) {
  click("LenPlus5");
  EXPECT_EQ(heard.join('|') + " " + boxes(), "overview|trend 200 305 105");
  heard.clear();
  click("SampSec");  // only the traces again, the boxes in seconds
  EXPECT_EQ(heard.join('|') + " " + boxes(), "trend 20 30.5 10.5");
  EXPECT_EQ(host.findChild<QPushButton*>("SampSec")->text(), common::msg::kCaptionSeconds);
  click("SampSec");

  // The red box follows the right button, the strip drawn again on every move.
  PictureBox* strip = area->strip();
  setWindow(200, 300);
  QTest::mousePress(strip, Qt::RightButton, {}, {250, 10});
  Move(strip, 150, Qt::RightButton);
  EXPECT_EQ(window(), "500..300");
  QTest::mouseRelease(strip, Qt::RightButton, {}, {100, 10});
  EXPECT_EQ(heard.join('|'), "overview|overview|overview|trend");
  EXPECT_EQ(window() + " " + boxes(), "200..500 200 500 300");
  EXPECT_EQ(std::pair(view.PreviousStart, view.PreviousEnd), std::pair(200, 300));
  // The left button puts the window's centre under the pointer; a plain move does nothing.
  QTest::mousePress(strip, Qt::LeftButton, {}, {250, 10});
  Move(strip, 250, Qt::LeftButton);
  QTest::mouseRelease(strip, Qt::LeftButton, {}, {250, 10});
  Move(strip, 10);
  EXPECT_EQ(window(), "350..650");
}

// Gestures that move the window record the view they leave, for "Previous view"; the
// rest are the window's: the cursor, presses, capture and markers. The arrows step a
// twip from where the picture last drew, Shift+arrow a whole sample.
TEST_F(TrendAreaTest, PictureGesturesAndKeys) {
  auto wheel = [&](int px, int delta) {
    const QPointF at(px, 10);
    QWheelEvent e(at, pic->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic, &e);
  };
  auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) { return [this, k, m] { QTest::keyClick(pic, k, m); }; };
  const QString both = QStringLiteral("overview|trend");
  const struct {
    const char* what;
    std::function<void()> act;
    QString heard;
    const char* window = "200..300";
  } cases[] = {
      {"wheel in at the middle", [&] { wheel(250, 120); }, both, "210..290"},
      {"wheel out at the left edge", [&] { wheel(0, -120); }, both, "200..325"},
      {"middle drag a quarter to the right",
       [&] {
         QTest::mousePress(pic, Qt::MiddleButton, {}, {250, 10});
         Move(pic, 375, Qt::MiddleButton);
         QTest::mouseRelease(pic, Qt::MiddleButton, {}, {375, 10});
       },
       both, "175..275"},
      {"PageDown", key(Qt::Key_PageDown), both, "300..400"},
      {"PageUp", key(Qt::Key_PageUp), both, "100..200"},
      {"End", key(Qt::Key_End), both, "900..1000"},
      {"Home", key(Qt::Key_Home), both, "0..100"},
      {"+ around the cursor", key(Qt::Key_Plus), both, "210..290"},
      {"- around the cursor", key(Qt::Key_Minus), both, "188..313"},
      {"move", [&] { Move(pic, 100); }, "move " + twips(100)},
      {"left press", [&] { QTest::mousePress(pic, Qt::LeftButton, {}, {100, 10}); }, "press " + twips(100) + " 1"},
      {"Ctrl+click: B at the pointer",
       [&] { QTest::mousePress(pic, Qt::LeftButton, Qt::ControlModifier, {100, 10}); }, "mark B 220"},
      {"a and b at the cursor", [&] { QTest::keyClicks(pic, "ab"); }, "mark A 250|mark B 250"},
      {"p and P capture, q nothing", [&] { QTest::keyClicks(pic, "pPq"); }, "capture|capture"},
      {"right arrow", key(Qt::Key_Right), "move " + QString::number(100 * t + 1)},
      {"left arrow", key(Qt::Key_Left), "move " + QString::number(100 * t - 1)},
      {"Shift+right", key(Qt::Key_Right, Qt::ShiftModifier), "move " + twips(255)},
      {"Shift+left", key(Qt::Key_Left, Qt::ShiftModifier), "move " + twips(245)},
  };
  pic->setFocus();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setWindow(200, 300);
    view.CursorSample = 250;
    view.PreviousStart = view.PreviousEnd = 0;
    pic->setCursorLine(100 * t);
    c.act();
    EXPECT_EQ(heard.join('|'), c.heard);
    EXPECT_EQ(window(), QLatin1String(c.window));
    if (window() == "200..300") continue;
    click("Zoom_Back");
    EXPECT_EQ(window(), "200..300");
  }
}

// A marker before the window is not drawn, one on its last sample is. A redraw wipes the
// cursor; the activation that follows a click in the picture (the window manager tells of it
// after the click) keeps the cursor the click put down, unless the view moved meanwhile.
TEST_F(TrendAreaTest, RedrawsPlaceTheMarkersAndActivationKeepsTheCursorOfTheClick) {
  area->showMarkers(150, 300);
  ASSERT_EQ(pic->markerLines().size(), 1u);
  EXPECT_EQ(pic->markerLines()[0].label + "@" + QString::number(pic->markerLines()[0].x / t), "B@500");

  for (auto [keep, moved, kept] : {std::tuple{true, false, true}, {false, false, false}, {true, true, false}}) {
    SCOPED_TRACE(QStringLiteral("keep %1 moved %2").arg(keep).arg(moved).toStdString());
    setWindow(200, 300);
    pic->setCursorLine(100 * t);
    view.CursorX = qint32(100 * t);
    if (moved) ++view.WindowStart, ++view.WindowEnd;  // a scope stepped meanwhile
    area->redrawOnActivation(keep);
    EXPECT_EQ(heard.join('|'), "overview|trend");
    EXPECT_EQ(pic->cursorLine().has_value(), kept);
    EXPECT_EQ(view.CursorX, kept ? qint32(100 * t) : -100);
  }
  view.SecondsMode = true;  // switched in another window
  area->redrawOnActivation(true);
  EXPECT_EQ(host.findChild<QPushButton*>("SampSec")->text(), common::msg::kCaptionSeconds);
}

}  // namespace
}  // namespace trend
