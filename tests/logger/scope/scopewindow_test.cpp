// Scope windows opened from the main window, driven through their controls: the list
// of windows, linked navigation, level lines, the marker and the printout to PDF, the
// capture key and the "No data!" road.
#include "common/numtext.h"
#include "logger/scope/scopemessages.h"
#include "logger/shell/shell_fixture.h"

#include <QComboBox>
#include <QProcess>
#include <QScrollBar>

using namespace shelltest;
using scope::ScopeWindow;

namespace {

constexpr qint32 kCount = 2000;
// Channel r + 1 reads (j * (r + 1)) mod 4096; config.cfg gives engineering = raw.
qint16 Ramp(int row, int j) { return qint16((j * (row + 1)) % 4096); }

class ScopeWindows : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->scopes().defaultPrinter = [] { return QPrinterInfo(); };  // never a real printer
  }
  void loadLog() {
    WriteFile(dir.file("dlg/ramp.dlg"), hand::Dlg(kCount, 0x0033, 5, 77, Ramp));
    load(dir.file("dlg/ramp.dlg"));
    ASSERT_TRUE(window->session().loaded());
    prompt.clear();  // the configuration fallback message
  }
  template <typename T>
  static T* in(QWidget* w, const QString& name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  static QString text(QWidget* w, const char* name) { return in<QLineEdit>(w, QLatin1String(name))->text(); }
  static void move(ScopeWindow* s, int px) { mouseMove(s->picture(), px); }
  // Print through the "&Print" menu item into cap/<name>.pdf and return the page's text.
  QString print(ScopeWindow* s, const QString& name) {
    prompt.files.push_back(dir.file("cap/" + name));
    in<QAction>(s, "Print")->trigger();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), dir.file("cap/" + name + ".pdf"), "-"});
    EXPECT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
  }
};

}  // namespace

// Without a log: "No data!" for a click, and no printout.
TEST_F(ScopeWindows, EachClickOpensAnIndependentWindowAndTheMainClosesThemAll) {
  ScopeWindow* a = openScope();
  ScopeWindow* b = openScope();
  EXPECT_EQ(window->scopes().windows().size(), 2u);
  EXPECT_EQ(a->objectName() + a->windowTitle(), "scTrend1" + scope::msg::kCaptionScope);
  EXPECT_EQ(in<QComboBox>(a, "ScopeCH_0")->currentData().toInt(), 0);
  EXPECT_EQ(in<QComboBox>(a, "ScopeCH_1")->currentData().toInt(), 1);
  in<QScrollBar>(a, "scale1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  in<QScrollBar>(a, "bias2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(std::tuple(a->traces()[0].scale, a->traces()[1].bias, b->traces()[0].scale), std::tuple(20, -30, 10));
  EXPECT_EQ(in<QLabel>(a, "Label3_0")->text(), common::LocaleDoubleText(2));

  QTest::mouseClick(a->picture(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(window->scopes().marker.set);
  in<QAction>(a, "Print")->trigger();
  EXPECT_EQ(prompt.said(), QStringList({common::msg::kTitleLogger + ": " + common::msg::kNoData,
                                        common::msg::kTitleStatus + ": " + common::msg::kFileNotLoaded}));
  EXPECT_EQ(prompt.records.size(), 2u);  // no file asked for
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window->scopes().windows().empty());
}

TEST_F(ScopeWindows, SteppingInOneScopeMovesAllSeenWhenActivated) {
  loadLog();
  ScopeWindow* a = openScope();
  ScopeWindow* b = openScope();
  QApplication::setActiveWindow(a);  // the user works in scope a
  for (int i = 0; i < 3; ++i) QTest::mouseClick(in<QPushButton>(a, "Ahead"), Qt::LeftButton);
  QTest::mouseClick(in<QPushButton>(a, "SampSec"), Qt::LeftButton);
  EXPECT_EQ(window->view().WindowStart, 3);  // the others show it when activated
  EXPECT_EQ(QStringList({text(a, "Text5"), text(b, "Text5"), text(window.get(), "Text5")}),
            QStringList({common::LocaleDoubleText(0.3), "0", "0"}));
  QApplication::setActiveWindow(b);
  EXPECT_EQ(text(b, "Text5"), common::LocaleDoubleText(0.3));
  EXPECT_EQ(in<QPushButton>(b, "SampSec")->text(), common::msg::kCaptionSeconds);
  QApplication::setActiveWindow(window.get());
  EXPECT_EQ(text(window.get(), "Text5"), common::LocaleDoubleText(0.3));
  EXPECT_EQ(find<QPushButton>("SampSec")->text(), common::msg::kCaptionSeconds);
}

TEST_F(ScopeWindows, OnePairOfLevelLinesAfterManyMoves) {
  loadLog();
  ScopeWindow* s = openScope();
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
}

TEST_F(ScopeWindows, MarkerOnlyOnTheFirstOfTwoPrintoutsThatLeaveThePictureAlone) {
  loadLog();
  ScopeWindow* s = openScope();
  const int px = s->picture()->width() / 3;
  move(s, px);
  const QString value = text(s, "chval_1");
  QTest::mouseClick(s->picture(), Qt::LeftButton, {}, QPoint(px, 20));
  ASSERT_TRUE(window->scopes().marker.set);
  const QImage before = s->picture()->picture();
  // The marker value as the page formats it: "#####0.00##" of the read-out.
  const QString marked = trend::FormatPattern(common::LeadingNumber(value), u"#####0.00##");
  const QString first = print(s, QStringLiteral("first"));
  const QString second = print(s, QStringLiteral("second"));
  // Both pages: heading, axis, the top of both traces, a name and a unit.
  for (const QString& page : {first, second})
    for (const QString& t : {scope::msg::kPrintHeading, common::msg::kCaptionSamples, QStringLiteral("4095.00"),
                             QStringLiteral("Ch2"), QStringLiteral("u1")})
      EXPECT_TRUE(page.contains(t)) << t.toStdString();
  EXPECT_TRUE(first.contains(marked)) << first.toStdString();
  EXPECT_FALSE(second.contains(marked)) << second.toStdString();
  EXPECT_FALSE(window->scopes().marker.set);
  EXPECT_TRUE(s->picture()->picture() == before);
  // The page is not left private to its temporary file: it reads like any new file.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap/plain"), "x"));
  EXPECT_EQ(QFile::permissions(dir.file("cap/first.pdf")), QFile::permissions(dir.file("cap/plain")));
}

TEST_F(ScopeWindows, CaptureKeyWritesTheScopeCursorSample) {
  loadLog();
  ScopeWindow* s = openScope();
  s->picture()->setFocus();
  move(s, s->picture()->width() / 2);
  const qint32 k = window->view().CursorSample;
  ASSERT_GT(k, 0);
  QTest::keyClick(s->picture(), Qt::Key_P);
  // Channels 1, 2, 5 and 6 are logged; the others read 0.
  QByteArrayList raw;
  for (int r = 0; r < 12; ++r) raw << QByteArray::number(0x0033 >> r & 1 ? Ramp(r, k) : 0);
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/init.txt"))
                  .endsWith(" " + QByteArray::number(k) + " ," + raw.join(',') + " , Raw values: , " + raw.join(',') + "\r\n"));
  EXPECT_TRUE(text(window.get(), "chval_0").isEmpty());  // the main cursor never moved

  // A shorter log: the cursor and every read-out start afresh, and no capture is
  // written for a sample the log does not hold.
  mouseMove(window->findChild<trend::PictureBox*>("picTrend"), 20);
  const QString shorter = dir.file("dlg/short.dlg");
  WriteFile(shorter, hand::Dlg(k / 2, 0x0033, 5, 77, Ramp));
  load(shorter);
  EXPECT_EQ(window->view().CursorSample, 0);
  EXPECT_EQ(text(window.get(), "chpos1") + text(window.get(), "chval_0") + text(s, "chpos1") + text(s, "chval_0"), "");
  window->view().CursorSample = k / 2;  // the spare column behind the log
  QTest::keyClick(s->picture(), Qt::Key_P);
  EXPECT_FALSE(testing_support::FileBytes(dir.file("cap/init.txt")).contains("Raw values"));
}
