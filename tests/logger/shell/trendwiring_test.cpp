// The trend area of the main window driven by its controls: navigation buttons, the
// overview-strip gestures, the cursor with its read-outs and overlay line, the arrow
// and capture keys, and the channel panel.
#include "common/messages.h"
#include "common/numtext.h"
#include "common/recordfile.h"
#include "logger/trend/ui/picturebox.h"
#include "logger/shell/shellstate.h"
#include "shell_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cmath>

using namespace shelltest;
namespace msg = common::msg;
using testing_support::PromptRecord;

namespace {

// Raw value of row r at sample j: j * (r + 1), wrapped into 12 bits.
qint16 Ramp(int row, int j) { return qint16((j * (row + 1)) % 4096); }

constexpr qint32 kSerial = 4242;
constexpr qint32 kCount = 1000;

}  // namespace

class TrendWiring : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    // The log's own configuration: channel 1 reads raw / 10, channel 2 raw - 100, the
    // others the raw value itself.
    common::ChannelConfiguration c;
    for (int i = 0; i < 12; ++i) {
      auto& ch = c.channel[std::size_t(i)];
      ch.Name = QStringLiteral("N%1").arg(i + 1);
      ch.Unit = QStringLiteral("U%1").arg(i + 1);
      ch.Max = common::FullScale(i + 1);
      ch.WinHight = 4095;
    }
    c.channel[0].Max = 409.5;
    c.channel[1].Min = -100;
    c.channel[1].Max = 3995;
    c.ConfigNumber = kSerial;
    QString e;
    ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/4242.cfg"), c, &e)) << e.toStdString();
    makeWindow();
    window->resize(1100, 760);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    trend = find<trend::PictureBox>("picTrend");
    full = find<trend::PictureBox>("picFull");
    prompt.clear();
  }

  void loadLog(quint16 mask = 0x0033, quint8 code = 5) {
    logPath = dir.file("dlg/ramp.dlg");
    WriteFile(logPath, DlgBytes(kCount, mask, code, kSerial, Ramp));
    prompt.files.push_back(logPath);
    find<QAction>("mnuload")->trigger();
    ASSERT_EQ(window->LogLoaded, 1);
    ASSERT_TRUE(prompt.messages().empty()) << prompt.messageTexts().join("|").toStdString();
    prompt.clear();
  }

  // One trend pixel per sample: window 0 .. picture width.
  void onePixelPerSample() {
    auto& v = window->view();
    v.WindowStart = 0;
    v.WindowLength = trend->width();
    v.WindowEnd = v.WindowLength;
    window->Update_Data_Window();
  }

  void setWindow(qint32 start, qint32 length) {
    auto& v = window->view();
    v.WindowStart = start;
    v.WindowLength = length;
    v.WindowEnd = start + length;
    window->Update_Data_Window();
  }

  void move(QWidget* w, int px, Qt::MouseButtons buttons = Qt::NoButton) {
    const QPoint pos(px, w->height() / 2);
    QMouseEvent me(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &me);
  }
  void press(QWidget* w, int px, Qt::MouseButton b) { QTest::mousePress(w, b, {}, QPoint(px, w->height() / 2)); }
  void release(QWidget* w, int px, Qt::MouseButton b) { QTest::mouseRelease(w, b, {}, QPoint(px, w->height() / 2)); }
  void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

  QString text(const QString& name) { return find<QLineEdit>(name)->text(); }
  QString chval(int i) { return text(QStringLiteral("chval_%1").arg(i)); }
  void expectWindow(qint32 start, qint32 end) {
    const auto& v = window->view();
    EXPECT_EQ(v.WindowStart, start);
    EXPECT_EQ(v.WindowEnd, end);
    EXPECT_EQ(v.WindowLength, end - start);
    EXPECT_EQ(text("Text5"), QString::number(start));
    EXPECT_EQ(text("Text6"), QString::number(end));
    EXPECT_EQ(text("window"), QString::number(end - start));
  }
  // The sample an overview-strip pixel stands for, rounded halves to even.
  qint32 stripSample(int px) { return qint32(std::nearbyint(double(px) / full->width() * kCount)); }

  void clickBias(int i) {
    auto* b = find<QCheckBox>(QStringLiteral("BIAS_%1").arg(i));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }

  QString logPath;
  trend::PictureBox* trend = nullptr;
  trend::PictureBox* full = nullptr;
};

// ---------------------------------------------------------------- buttons

TEST_F(TrendWiring, StepButtonsAtBothEndsOfTheLog) {
  loadLog();
  expectWindow(0, 50);
  click("Back");
  expectWindow(0, 50);
  click("Ahead");
  expectWindow(1, 51);
  click("Back");
  expectWindow(0, 50);
  setWindow(950, 50);
  click("Ahead");
  expectWindow(950, 1000);
  click("Back");
  expectWindow(949, 999);
}

TEST_F(TrendWiring, LengthButtonsKeepTheWindowInsideTheLog) {
  loadLog();
  const quint64 renders = full->renderCount();
  click("LenPlus5");
  expectWindow(0, 55);
  click("LenPlus1");
  expectWindow(0, 56);
  EXPECT_GT(full->renderCount(), renders);  // both pictures follow
  click("LenMinus5");
  expectWindow(0, 51);
  click("LenMinus1");
  expectWindow(0, 50);
  setWindow(10, 3);
  click("LenMinus5");
  expectWindow(10, 11);
  click("LenMinus1");
  expectWindow(10, 11);
  setWindow(950, 50);
  click("LenPlus1");
  expectWindow(950, 1000);
  click("LenPlus5");
  expectWindow(950, 1000);
  setWindow(0, 998);
  click("LenPlus5");  // held at the length of the log
  expectWindow(0, kCount);
}

TEST_F(TrendWiring, SamplesSecondsCaptionAndWindowTexts) {
  loadLog();  // FreqCode 5: ten samples per second
  auto* b = find<QPushButton>("SampSec");
  EXPECT_EQ(b->text(), QStringLiteral("Samples"));
  click("SampSec");
  EXPECT_EQ(b->text(), QStringLiteral("Seconds"));
  EXPECT_EQ(text("Text6"), common::LocaleDoubleText(5.0));
  click("SampSec");
  EXPECT_EQ(b->text(), QStringLiteral("Samples"));
  EXPECT_EQ(text("Text6"), QStringLiteral("50"));
}

TEST_F(TrendWiring, PreviousViewBeforeAnyRightPressIsTheEmptyWindow) {
  loadLog();
  click("Zoom_Back");
  expectWindow(0, 0);
  move(trend, 40);  // every x stands for sample 0; "####" shows 0 as nothing
  EXPECT_EQ(text("chpos1"), QString());
  EXPECT_EQ(window->view().CursorSample, 0);
  EXPECT_EQ(chval(1), QStringLiteral("-100"));
  click("LenPlus1");
  expectWindow(0, 1);
}

// ---------------------------------------------------------------- overview strip

TEST_F(TrendWiring, RightClickOnTheStripGivesOneSampleWindows) {
  loadLog();
  setWindow(100, 40);
  press(full, 0, Qt::RightButton);
  release(full, 0, Qt::RightButton);
  expectWindow(0, 1);
  const int px = full->width() / 3;
  press(full, px, Qt::RightButton);
  release(full, px, Qt::RightButton);
  expectWindow(stripSample(px) - 1, stripSample(px));
  // The previous view is the one before the last right press.
  EXPECT_EQ(window->view().PreviousStart, 0);
  EXPECT_EQ(window->view().PreviousEnd, 1);
  click("Zoom_Back");
  expectWindow(0, 1);
}

TEST_F(TrendWiring, RightDragsInBothDirectionsGiveTheSameWindow) {
  loadLog();
  const int a = full->width() / 5, b = full->width() / 2;
  setWindow(300, 20);
  press(full, a, Qt::RightButton);
  const quint64 afterPress = full->renderCount();
  move(full, (a + b) / 2, Qt::RightButton);
  // The red box follows the pointer: the strip is drawn again on every move.
  EXPECT_GT(full->renderCount(), afterPress);
  EXPECT_EQ(window->view().WindowEnd, stripSample((a + b) / 2));
  move(full, b, Qt::RightButton);
  release(full, b, Qt::RightButton);
  expectWindow(stripSample(a), stripSample(b));
  EXPECT_EQ(window->view().PreviousStart, 300);
  EXPECT_EQ(window->view().PreviousEnd, 320);

  press(full, b, Qt::RightButton);
  move(full, a, Qt::RightButton);
  release(full, a, Qt::RightButton);
  expectWindow(stripSample(a), stripSample(b));

  // Dragged out past the right edge: the end is held at the end of the log.
  press(full, b, Qt::RightButton);
  move(full, full->width() + 40, Qt::RightButton);
  release(full, full->width() + 40, Qt::RightButton);
  expectWindow(stripSample(b), kCount);
  click("Zoom_Back");
  expectWindow(stripSample(a), stripSample(b));
}

TEST_F(TrendWiring, LeftDragMovesTheWindowAndStaysInsideTheLog) {
  loadLog();
  setWindow(100, 50);
  const int mid = full->width() / 2;
  press(full, mid, Qt::LeftButton);
  move(full, mid, Qt::LeftButton);
  // Centre of the window under the pointer, length kept.
  const qint32 start = qint32(std::nearbyint(double(mid) / full->width() * kCount - 25));
  expectWindow(start, start + 50);
  move(full, 1, Qt::LeftButton);
  expectWindow(0, 50);
  move(full, full->width() - 2, Qt::LeftButton);
  expectWindow(kCount - 50, kCount);
  move(full, full->width() + 100, Qt::LeftButton);
  release(full, full->width() + 100, Qt::LeftButton);
  expectWindow(kCount - 50, kCount);
  // A plain move without a button changes nothing.
  move(full, 5);
  expectWindow(kCount - 50, kCount);
}

// ---------------------------------------------------------------- cursor

TEST_F(TrendWiring, CursorReadoutsForKnownSamples) {
  loadLog();
  onePixelPerSample();
  move(trend, 100);
  EXPECT_EQ(text("chpos1"), QStringLiteral("100"));
  EXPECT_EQ(window->view().CursorSample, 100);
  EXPECT_EQ(chval(0), QStringLiteral("10"));   // 100 / 10
  EXPECT_EQ(chval(1), QStringLiteral("100"));  // 200 - 100
  EXPECT_EQ(chval(2), QStringLiteral("0"));    // channel 3 not logged: raw 0
  EXPECT_EQ(chval(4), QStringLiteral("500"));
  EXPECT_EQ(chval(5), QStringLiteral("600"));
  EXPECT_EQ(chval(11), QStringLiteral("0"));
  move(trend, 7);
  EXPECT_EQ(text("chpos1"), QStringLiteral("7"));
  EXPECT_EQ(chval(0), QStringLiteral("0.7"));
  // Seconds mode at ten samples per second: sample 51 is 5.1 s.
  click("SampSec");
  move(trend, 51);
  EXPECT_EQ(text("chpos1"), QStringLiteral("5.1"));
  move(trend, 50);
  EXPECT_EQ(text("chpos1"), QStringLiteral("5."));
}

TEST_F(TrendWiring, BiasAndDriftInTheReadouts) {
  loadLog();
  onePixelPerSample();
  press(trend, 20, Qt::LeftButton);  // candidates at sample 20
  release(trend, 20, Qt::LeftButton);
  press(trend, 80, Qt::RightButton);  // second references of channels 5 and 6 at 80
  release(trend, 80, Qt::RightButton);
  clickBias(0);
  clickBias(4);
  move(trend, 100);
  EXPECT_EQ(chval(0), QStringLiteral("8"));    // 10 - 2
  EXPECT_EQ(chval(1), QStringLiteral("100"));  // not locked
  EXPECT_EQ(chval(4), QStringLiteral("400"));  // past the second reference: 500 - 100
  move(trend, 50);
  // Between the references the bias runs from 100 at sample 20 to 400 at sample 80.
  EXPECT_EQ(chval(4), QStringLiteral("0"));  // 250 - 100 - 150
  move(trend, 30);
  EXPECT_EQ(chval(4), QStringLiteral("0"));  // 150 - 100 - 50
  EXPECT_EQ(chval(5), QStringLiteral("180"));  // channel 6 not locked
  EXPECT_EQ(window->view().RawBias[0], 20);
}

TEST_F(TrendWiring, ZeroLocksAreRetakenForEveryCheckedChannel) {
  loadLog();
  onePixelPerSample();
  press(trend, 40, Qt::LeftButton);
  clickBias(0);
  EXPECT_EQ(window->view().EngBias[0], 4);
  press(trend, 60, Qt::LeftButton);
  // Not yet in force: the candidates act only through the boxes.
  EXPECT_EQ(window->view().EngBias[0], 4);
  clickBias(1);  // channel 2's box moves channel 1's zero as well
  EXPECT_EQ(window->view().EngBias[0], 6);
  EXPECT_EQ(window->view().EngBias[1], 20);  // 120 - 100
  EXPECT_EQ(window->view().RawBias[1], 120);
  move(trend, 100);
  EXPECT_EQ(chval(0), QStringLiteral("4"));
  EXPECT_EQ(chval(1), QStringLiteral("80"));
  const quint64 renders = trend->renderCount();
  clickBias(0);  // unticked: its biases are 0 at once, shown at the next move
  EXPECT_EQ(window->view().EngBias[0], 0);
  EXPECT_EQ(window->view().RawBias[0], 0);
  EXPECT_EQ(trend->renderCount(), renders);  // no redraw
  EXPECT_EQ(chval(0), QStringLiteral("4"));
  move(trend, 100);
  EXPECT_EQ(chval(0), QStringLiteral("10"));
}

TEST_F(TrendWiring, ChannelFiveWithoutASecondReferenceHasNoDrift) {
  loadLog();
  onePixelPerSample();
  press(trend, 20, Qt::LeftButton);
  clickBias(4);
  EXPECT_EQ(window->view().EngBias[12], window->view().EngBias[4]);
  move(trend, 50);
  EXPECT_EQ(chval(4), QStringLiteral("150"));
  clickBias(4);  // cleared: the second bias and the candidates go too
  EXPECT_EQ(window->view().EngBias[12], 0);
  EXPECT_EQ(window->view().EngCandidate[4], 0);
}

TEST_F(TrendWiring, PressWithoutALogSaysNoDataAndChangesNothing) {
  const QString before = text("chpos1");
  press(trend, 30, Qt::LeftButton);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].title, msg::kTitleLogger);
  EXPECT_EQ(prompt.messages()[0].text, msg::kNoData);
  EXPECT_EQ(prompt.messages()[0].icon, common::PromptIcon::Exclamation);
  EXPECT_EQ(text("chpos1"), before);
  EXPECT_EQ(window->view().CandidateRef[0], 0);
  EXPECT_FALSE(trend->cursorLine().has_value());
}

TEST_F(TrendWiring, PressRedrawsTheOverviewAndDrawsTheCursor) {
  loadLog();
  onePixelPerSample();
  const quint64 overview = full->renderCount();
  const quint64 traces = trend->renderCount();
  press(trend, 33, Qt::LeftButton);
  EXPECT_GT(full->renderCount(), overview);
  EXPECT_EQ(trend->renderCount(), traces);
  EXPECT_EQ(text("chpos1"), QStringLiteral("33"));
  ASSERT_TRUE(trend->cursorLine().has_value());
  EXPECT_EQ(int(*trend->cursorLine() / trend->twipsPerPixel()), 33);
  EXPECT_EQ(window->view().CandidateRef[0], 33);
}

TEST_F(TrendWiring, CursorIsAnOverlayThatNeverRerendersTraces) {
  loadLog();
  onePixelPerSample();
  const quint64 renders = trend->renderCount();
  const QImage cache = trend->picture();
  for (int px = 10; px < 300; px += 7) move(trend, px);
  move(trend, 200);
  EXPECT_EQ(trend->renderCount(), renders);
  EXPECT_TRUE(trend->picture() == cache);
  // On screen the line is the exclusive or of 0xE0E0E0 with the picture; the old
  // line's column shows the picture again.
  const QImage shown = trend->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int y : {0, trend->height() / 2, trend->height() - 1}) {
    EXPECT_EQ(shown.pixel(200, y) & 0xFFFFFF, (cache.pixel(200, y) ^ 0xE0E0E0) & 0xFFFFFF) << y;
    EXPECT_EQ(shown.pixel(199, y) & 0xFFFFFF, cache.pixel(199, y) & 0xFFFFFF) << y;
  }
  // A trend redraw removes the line and forgets its x.
  window->Update_Data_Window();
  EXPECT_EQ(window->view().CursorX, -100);
  EXPECT_FALSE(trend->cursorLine().has_value());
  EXPECT_EQ(window->view().CursorSample, 200);  // the cursor sample keeps its value
}

TEST_F(TrendWiring, ArrowKeysStepOneTwipFromTheLastDrawnX) {
  loadLog();
  onePixelPerSample();
  const double t = trend->twipsPerPixel();
  move(trend, 100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_Right);
  EXPECT_EQ(window->view().CursorX, qint16(std::lround(100 * t + 1)));
  QTest::keyClick(trend, Qt::Key_Left);
  QTest::keyClick(trend, Qt::Key_Left);
  EXPECT_EQ(window->view().CursorX, qint16(std::lround(100 * t - 1)));
  // 15 twips to the left of pixel 100 is pixel 99.
  for (int i = 0; i < int(t) - 1; ++i) QTest::keyClick(trend, Qt::Key_Left);
  EXPECT_EQ(window->view().CursorX, qint16(std::lround(99 * t)));
  EXPECT_EQ(text("chpos1"), QStringLiteral("99"));
  EXPECT_EQ(chval(4), QStringLiteral("495"));
  // After a redraw the drawing x is the end of the last trace, at the right edge:
  // the right arrow cannot pass it.
  window->Update_Data_Window();
  QTest::keyClick(trend, Qt::Key_Right);
  EXPECT_EQ(window->view().CursorX, qint16(std::lround(trend->width() * t)));
  // At the left edge the left arrow stops at 0.
  move(trend, 0);
  QTest::keyClick(trend, Qt::Key_Left);
  EXPECT_EQ(window->view().CursorX, 0);
}

// ---------------------------------------------------------------- capture file

TEST_F(TrendWiring, CaptureKeyAppendsTheShownValuesAndRawValues) {
  loadLog();
  onePixelPerSample();
  press(trend, 20, Qt::LeftButton);
  clickBias(0);
  move(trend, 100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_P);
  move(trend, 3);
  QTest::keyClick(trend, 'P', Qt::ShiftModifier);
  QTest::keyClick(trend, Qt::Key_Q);  // any other key writes nothing

  QByteArray expected = "Capture file from log file " + logPath.toLatin1() + "\r\n";
  expected += "Cycle frequency 10\r\nConfig settings\r\nMIN\r\n";
  expected += " ,0,-100,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n";
  expected += " ,409.5,3995,4095,4095,4095,4095,4095,4095,4095,4095,255,255\r\n";
  expected += " ,N1,N2,N3,N4,N5,N6,N7,N8,N9,N10,N11,N12\r\n";
  expected += " ,U1,U2,U3,U4,U5,U6,U7,U8,U9,U10,U11,U12\r\n";
  expected += "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n";
  // Sample 100 with channel 1 locked at sample 20 (value 2); mask 0x0033.
  expected += " 100 ,8,100,0,0,500,600,0,0,0,0,0,0 , Raw values: , 100,200,0,0,500,600,0,0,0,0,0,0\r\n";
  expected += " 3 ,-1.7,-94,0,0,15,18,0,0,0,0,0,0 , Raw values: , 3,6,0,0,15,18,0,0,0,0,0,0\r\n";
  QFile f(dir.file("cap/init.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), expected);
  EXPECT_TRUE(prompt.messages().empty());
}

TEST_F(TrendWiring, CaptureKeyWithoutALogWritesNothing) {
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_P);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cap/init.txt")));
  EXPECT_TRUE(prompt.records.empty());
}

TEST_F(TrendWiring, LoadCreatesTheCaptureFolderAndSurvivesAnUnwritableOne) {
  QDir(dir.file("cap")).removeRecursively();
  loadLog();
  EXPECT_TRUE(QFileInfo::exists(dir.file("cap/init.txt")));

  // cap is a plain file now: the header cannot be written, the load still completes.
  QDir(dir.file("cap")).removeRecursively();
  WriteFile(dir.file("cap"), "x");
  prompt.clear();
  const QString other = dir.file("dlg/other.dlg");
  WriteFile(other, DlgBytes(200, 0x0001, 5, kSerial, Ramp));
  prompt.files.push_back(other);
  find<QAction>("mnuload")->trigger();
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::FileNotWritten(dir.file("cap/init.txt")));
  EXPECT_EQ(window->store().SampleCount, 200);
  EXPECT_EQ(window->store().LoadedLogFile, other);
  EXPECT_EQ(text("Text6"), QStringLiteral("10"));
}

// ---------------------------------------------------------------- channel panel

TEST_F(TrendWiring, WindowHeightEnterAcceptsNumbersAndRefusesText) {
  loadLog();
  auto* box = find<QLineEdit>("WinHight_2");
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "2000");
  const quint64 renders = trend->renderCount();
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(window->view().WinHeight[2], 2000);
  EXPECT_EQ(box->text(), QStringLiteral("2000"));
  EXPECT_GT(trend->renderCount(), renders);
  EXPECT_TRUE(prompt.messages().empty());

  auto* last = find<QLineEdit>("WinHight_11");
  last->setFocus();
  last->selectAll();
  QTest::keyClicks(last, "abc");
  QTest::keyClick(last, Qt::Key_Return);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].title, msg::kTitleErrorBang);
  EXPECT_EQ(prompt.messages()[0].text, QStringLiteral("Non numeric input for WinHeight CH12 !"));
  EXPECT_EQ(prompt.messages()[0].buttons, common::PromptButtons::Ok);
  EXPECT_EQ(last->text(), QStringLiteral("4095"));
  EXPECT_EQ(window->view().WinHeight[11], 4095);
  // A height with trailing zeros is not in its shortest form and is refused too.
  last->selectAll();
  QTest::keyClicks(last, "1.50");
  QTest::keyClick(last, Qt::Key_Return);
  EXPECT_EQ(prompt.messages().size(), 2u);
  EXPECT_EQ(last->text(), QStringLiteral("4095"));
}

TEST_F(TrendWiring, WindowHeightTextNotConfirmedIsDroppedOnFocusLoss) {
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* box = find<QLineEdit>("WinHight_0");
  box->setFocus();
  ASSERT_TRUE(box->hasFocus());
  box->selectAll();
  QTest::keyClicks(box, "123");
  EXPECT_EQ(box->text(), QStringLiteral("123"));
  find<QLineEdit>("Text5")->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(box->text(), QStringLiteral("4095"));
  EXPECT_EQ(window->view().WinHeight[0], 4095);
  EXPECT_TRUE(prompt.records.empty());
}

TEST_F(TrendWiring, MidZeroSetsTheDivisorAndRedraws) {
  loadLog();
  auto* mid = find<QCheckBox>("MIDZERO");
  const quint64 renders = trend->renderCount();
  QTest::mouseClick(mid, Qt::LeftButton, {}, QPoint(6, mid->height() / 2));
  EXPECT_EQ(window->view().ZeroDivisor, 2);
  EXPECT_GT(trend->renderCount(), renders);
  QTest::mouseClick(mid, Qt::LeftButton, {}, QPoint(6, mid->height() / 2));
  EXPECT_EQ(window->view().ZeroDivisor, 1);
}

TEST_F(TrendWiring, ChannelLabelClickChoosesTheColourAndStoresIt) {
  loadLog();
  auto* label = find<QLabel>("lblChannel_2");
  const qint32 old = window->view().Colours[2];
  prompt.colours = {qint32(0x00123456)};
  const quint64 renders = trend->renderCount();
  QTest::mouseClick(label, Qt::LeftButton);
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].kind, PromptRecord::Colour);
  EXPECT_EQ(prompt.records[0].title, QString::number(old));  // the dialog starts at the old colour
  EXPECT_EQ(window->view().Colours[2], 0x00123456);
  EXPECT_EQ(window->settings().Colours[2], 0x00123456);
  EXPECT_GT(trend->renderCount(), renders);
  // 0x00BBGGRR: red 0x56, green 0x34, blue 0x12.
  EXPECT_TRUE(label->styleSheet().contains(QStringLiteral("#563412")));
  EXPECT_TRUE(find<QLabel>("lblChannel_14")->styleSheet().contains(QStringLiteral("#563412")));

  // Record 6 + 2 of init.prm holds the colour, little-endian; record 6 + 1 is untouched.
  QFile f(dir.file("cfg/init.prm"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  ASSERT_GE(bytes.size(), 16 * 128 + 4);
  EXPECT_EQ(bytes.mid(7 * 128, 4), QByteArray("\x56\x34\x12\x00", 4));
  const qint32 second = window->settings().Colours[1];
  EXPECT_EQ(bytes.mid(6 * 128, 4), common::record::littleEndian<qint32>(second));
  f.close();

  // Cancelled: nothing changes and nothing is written.
  QFile::remove(dir.file("cfg/init.prm"));
  prompt.clear();
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(window->view().Colours[2], 0x00123456);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cfg/init.prm")));
  // The second set of labels does not open the dialog.
  QTest::mouseClick(find<QLabel>("lblChannel_14"), Qt::LeftButton);
  EXPECT_EQ(prompt.records.size(), 1u);
}

TEST_F(TrendWiring, ActivationRedrawsBothPictures) {
  loadLog();
  QApplication::setActiveWindow(nullptr);
  move(trend, 40);
  const quint64 t = trend->renderCount(), o = full->renderCount();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_GT(trend->renderCount(), t);
  EXPECT_GT(full->renderCount(), o);
  EXPECT_FALSE(trend->cursorLine().has_value());
}

TEST(LabelBackground, PaleColoursOnSlateDarkColoursOnWhite) {
  using shell::LabelBackgroundFor;
  for (qint32 pale : {0xC0FFFF, 0xFFFFD0, 0xFFFFFF, 0x0190FF})
    EXPECT_EQ(LabelBackgroundFor(pale), shell::kTrendBackground) << std::hex << pale;
  for (qint32 dark : {0x0000FF, 0xFF0000, 0x10AF10, 0x000000, 0xFF00FF, 0x888888})
    EXPECT_EQ(LabelBackgroundFor(dark), shell::kLabelBackgroundLight) << std::hex << dark;
}

TEST_F(TrendWiring, LongReadoutsShowTheirLeadingDigits) {
  loadLog();
  onePixelPerSample();
  move(trend, 7);  // channel 1 reads 0.7; make it long through the configuration
  window->config().channel[0].Max = 4095.0 / 3;
  move(trend, 1);
  auto* box = find<QLineEdit>("chval_0");
  EXPECT_EQ(box->text(), common::NumberToText(1.0 / 3));
  EXPECT_EQ(box->cursorPosition(), 0);
}
