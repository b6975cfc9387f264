// Scope windows over the open log, driven through their controls: independent windows
// with their own bars, level lines, the print marker and the printout to PDF, and what
// a new log or none leaves. (Opened from the main window, stepping seen there and the
// derived channels: the main window's panel suite.)
#include "common/messages.h"
#include "common/numtext.h"
#include "logger/scope/scopemessages.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/trend/ui/picturebox.h"
#include "scope_fixture.h"
#include "support/test_paths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

using namespace scopetest;
using scope::ScopeWindow;

namespace {

class ScopeWindows : public ScopeLog {
 protected:
  ScopeWindow* open() {
    ScopeWindow* s = scopes.open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(s));
    return s;
  }
  template <typename T>
  static T* in(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  static QString text(QWidget* w, const char* name) { return in<QLineEdit>(w, name)->text(); }
  static void move(ScopeWindow* s, int px) {
    QMouseEvent e(QEvent::MouseMove, QPoint(px, 20), s->picture()->mapToGlobal(QPoint(px, 20)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(s->picture(), &e);
  }
  testing_support::ProgramDir dir;
  scope::ScopeWindows scopes{src, prompt, dir.path()};
};

TEST_F(ScopeWindows, IndependentWindowsAndWithoutALogNoMarkerNorPrintout) {
  ScopeWindow* a = open();
  ScopeWindow* b = open();
  EXPECT_EQ(scopes.windows().size(), 2u);
  EXPECT_EQ(a->objectName() + a->windowTitle(), "scTrend1" + scope::msg::kCaptionScope);
  EXPECT_EQ(in<QComboBox>(a, "ScopeCH_1")->currentData().toInt(), 1);
  in<QScrollBar>(a, "scale1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  in<QScrollBar>(a, "bias2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(std::tuple(a->traces()[0].scale, a->traces()[1].bias, b->traces()[0].scale), std::tuple(20, -30, 10));
  EXPECT_EQ(in<QLabel>(a, "Label3_0")->text(), common::LocaleDoubleText(2));

  src.markDeleted();
  QTest::mouseClick(a->picture(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(scopes.marker.set);
  in<QAction>(a, "Print")->trigger();
  EXPECT_EQ(prompt.said(), QStringList({common::msg::kTitleLogger + ": " + common::msg::kNoData,
                                        common::msg::kTitleStatus + ": " + common::msg::kFileNotLoaded}));
  EXPECT_EQ(prompt.records.size(), 2u);  // no file asked for
  scopes.closeAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(scopes.windows().empty());
}

TEST_F(ScopeWindows, OnePairOfLevelLinesAfterManyMovesAndNoReadOutsAfterANewLog) {
  ScopeWindow* s = open();
  trend::PictureBox* pic = s->picture();
  in<QCheckBox>(s, "ShowLevel")->setChecked(true);
  for (int px = 5; px < pic->width(); px += 7) move(s, px);
  move(s, pic->width() / 2);
  // Rows the overlay changed over more than a few pixels: the two level lines.
  auto overlaidRows = [pic] {
    const QImage shown = pic->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int rows = 0;
    for (int y = 0; y < shown.height(); ++y) {
      int changed = 0;
      for (int x = 0; x < shown.width(); ++x) changed += shown.pixel(x, y) != pic->picture().pixel(x, y);
      rows += changed > 3;
    }
    return rows;
  };
  EXPECT_EQ(pic->levelLines().size(), 2u);
  EXPECT_EQ(overlaidRows(), 2);
  in<QCheckBox>(s, "ShowLevel")->setChecked(false);
  EXPECT_EQ(overlaidRows(), 0);

  ASSERT_FALSE(text(s, "chpos1").isEmpty() || text(s, "chval_0").isEmpty());
  src.opened(QStringLiteral("again.dlg"));
  EXPECT_EQ(text(s, "chpos1") + text(s, "chval_0") + text(s, "chval_1"), "");
}

// The page itself (the marker's line and values among it): the print suite. Here: a
// printout uses the marker up and leaves the picture alone.
TEST_F(ScopeWindows, APrintoutUsesTheMarkerUpAndLeavesThePictureAlone) {
  scopes.defaultPrinter = [] { return QPrinterInfo(); };  // never a real printer: a PDF file
  ScopeWindow* s = open();
  QTest::mouseClick(s->picture(), Qt::LeftButton, {}, QPoint(s->picture()->width() / 3, 20));
  ASSERT_TRUE(scopes.marker.set);
  const QImage before = s->picture()->picture();
  prompt.files.push_back(dir.file("cap/first"));
  in<QAction>(s, "Print")->trigger();
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/first.pdf")).startsWith("%PDF"));
  EXPECT_FALSE(scopes.marker.set);
  EXPECT_TRUE(s->picture()->picture() == before);
  // The page is not left private to its temporary file: it reads like any new file.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap/plain"), "x"));
  EXPECT_EQ(QFile::permissions(dir.file("cap/first.pdf")), QFile::permissions(dir.file("cap/plain")));
}

}  // namespace
