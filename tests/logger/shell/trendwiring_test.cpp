// The trend area of the main window driven by its controls: navigation buttons, the
// overview-strip gestures, the cursor with its read-outs and overlay line, the arrow
// and capture keys, and the channel panel.
#include "common/numtext.h"
#include "shell_fixture.h"

#include <QDir>
#include <QTableWidget>
#include <cmath>

using namespace shelltest;

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
    for (int i = 0; i < 12; ++i)
      c.channel[std::size_t(i)] = {QStringLiteral("N%1").arg(i + 1), 0, double(common::FullScale(i + 1)),
                                   QStringLiteral("U%1").arg(i + 1), 4095};
    c.channel[0].Max = 409.5;
    c.channel[1] = {QStringLiteral("N2"), -100, 3995, QStringLiteral("U2"), 4095};
    c.ConfigNumber = kSerial;
    WriteFile(dir.file("cfg/4242.cfg"), hand::Cfg(c));
    makeWindow();
    showWindow();
    trend = find<trend::PictureBox>("picTrend");
    full = find<trend::PictureBox>("picFull");
    prompt.clear();
  }

  void loadLog() {
    WriteFile(logPath, hand::Dlg(kCount, 0x0033, 5, kSerial, Ramp));
    load(logPath);
    ASSERT_TRUE(window->session().loaded());
    ASSERT_TRUE(prompt.messages().empty()) << prompt.messageTexts().join("|").toStdString();
    prompt.clear();
  }

  // One trend pixel per sample: window 0 .. picture width.
  void onePixelPerSample() { setWindow(0, trend->width()); }
  void setWindow(qint32 start, qint32 length) {
    auto& v = window->view();
    v.WindowStart = start;
    v.WindowLength = length;
    v.WindowEnd = start + length;
    window->Update_Data_Window();
  }

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

  void clickBias(int i) { tick(QStringLiteral("BIAS_%1").arg(i)); }

  const QString logPath = dir.file("dlg/ramp.dlg");
  trend::PictureBox* trend = nullptr;
  trend::PictureBox* full = nullptr;
};

// The ramp log loaded, one trend pixel per sample.
class TrendWithLog : public TrendWiring {
 protected:
  void SetUp() override {
    TrendWiring::SetUp();
    loadLog();
    onePixelPerSample();
  }
};

TEST_F(TrendWithLog, EachNavigationButtonRunsItsStepAndRedrawsBothPictures) {
  const struct {
    const char* button;
    qint32 start, end;
  } cases[] = {{"Ahead", 101, 151},    {"Back", 99, 149},      {"LenPlus5", 100, 155}, {"LenPlus1", 100, 151},
               {"LenMinus5", 100, 145}, {"LenMinus1", 100, 149}, {"Zoom_Back", 10, 30}};
  for (const auto& c : cases) {
    setWindow(100, 50);
    window->view().PreviousStart = 10;
    window->view().PreviousEnd = 30;
    const quint64 strip = full->renderCount(), traces = trend->renderCount();
    click(c.button);
    SCOPED_TRACE(c.button);
    expectWindow(c.start, c.end);
    EXPECT_GT(full->renderCount(), strip);
    EXPECT_GT(trend->renderCount(), traces);
  }
}

TEST_F(TrendWithLog, StripGesturesChooseAndMoveTheWindow) {
  setWindow(100, 40);
  const int a = full->width() / 5, b = full->width() / 2;
  press(full, b, Qt::RightButton);
  const quint64 afterPress = full->renderCount();
  mouseMove(full, (a + b) / 2, Qt::RightButton);
  // The red box follows the pointer: the strip is drawn again on every move.
  EXPECT_GT(full->renderCount(), afterPress);
  EXPECT_EQ(window->view().WindowEnd, stripSample((a + b) / 2));
  release(full, a, Qt::RightButton);
  expectWindow(stripSample(a), stripSample(b));
  EXPECT_EQ(window->view().PreviousStart, 100);
  // The left button moves the window's centre under the pointer; a plain move does nothing.
  press(full, b, Qt::LeftButton);
  mouseMove(full, b, Qt::LeftButton);
  const qint32 length = stripSample(b) - stripSample(a);
  const qint32 start = qint32(std::nearbyint(double(b) / full->width() * kCount - length / 2.0));
  expectWindow(start, start + length);
  release(full, b, Qt::LeftButton);
  mouseMove(full, 5);
  expectWindow(start, start + length);
}

// The arrow keys step one twip from the last drawn x.
TEST_F(TrendWithLog, CursorReadoutsFollowThePointerAndTheArrowKeysInSamplesAndSeconds) {
  mouseMove(trend, 100);
  EXPECT_EQ(text("chpos1"), QStringLiteral("100"));
  const char* values[12] = {"10", "100", "0", "0", "500", "600", "0", "0", "0", "0", "0", "0"};  // 3 and 4 not logged
  for (int i = 0; i < 12; ++i) EXPECT_EQ(chval(i), QLatin1String(values[i])) << i;
  const double t = trend->twipsPerPixel();
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_Right);
  EXPECT_EQ(window->view().CursorX, qint16(std::lround(100 * t + 1)));
  for (int i = 0; i < int(t) + 1; ++i) QTest::keyClick(trend, Qt::Key_Left);  // to pixel 99
  EXPECT_EQ(text("chpos1"), QStringLiteral("99"));
  EXPECT_EQ(chval(4), QStringLiteral("495"));
  click("SampSec");  // ten samples per second: sample 51 is 5.1 s
  mouseMove(trend, 51);
  EXPECT_EQ(text("chpos1"), QStringLiteral("5.1"));
}

TEST_F(TrendWithLog, PressTakesCandidatesRedrawsOnlyTheOverviewAndBiasBoxesApplyThemUntilTheNextLoad) {
  const quint64 overview = full->renderCount(), traces = trend->renderCount();
  press(trend, 20, Qt::LeftButton);
  EXPECT_GT(full->renderCount(), overview);
  EXPECT_EQ(trend->renderCount(), traces);
  EXPECT_EQ(text("chpos1"), QStringLiteral("20"));
  ASSERT_TRUE(trend->cursorLine().has_value());
  EXPECT_EQ(int(*trend->cursorLine() / trend->twipsPerPixel()), 20);
  press(trend, 80, Qt::RightButton);
  clickBias(4);  // every ticked box takes the candidates; channel 5 its second reference too
  clickBias(0);
  mouseMove(trend, 50);
  EXPECT_EQ(chval(0), QStringLiteral("3"));  // 5 - 2
  EXPECT_EQ(chval(4), QStringLiteral("0"));  // drifting from 100 at 20 to 400 at 80: 250 - 100 - 150
  clickBias(0);  // unticked: 0 at once, shown at the next move, no redraw
  EXPECT_EQ(window->view().RawBias[0], 0);
  EXPECT_EQ(trend->renderCount(), traces);
  mouseMove(trend, 50);
  EXPECT_EQ(chval(0), QStringLiteral("5"));

  // Loading a log clears the zero locks of channels 5 and 6 by the same rules as a
  // click, so the old biases do not keep shifting the traces and read-outs.
  clickBias(5);
  ASSERT_NE(window->view().EngBias[4], 0);
  loadLog();
  const auto& v = window->view();
  for (int i : {4, 5, 12, 13}) EXPECT_EQ(v.EngBias[std::size_t(i)], 0) << i;
  for (int i : {4, 5}) EXPECT_EQ(v.RawBias[std::size_t(i)], 0) << i;
  onePixelPerSample();
  mouseMove(trend, 50);
  EXPECT_EQ(chval(4), QStringLiteral("250"));
}

TEST_F(TrendWithLog, CursorIsAnOverlayThatNeverRerendersTraces) {
  const quint64 renders = trend->renderCount();
  const QImage cache = trend->picture();
  for (int px = 10; px < 300; px += 7) mouseMove(trend, px);
  mouseMove(trend, 200);
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
}

TEST_F(TrendWithLog, CaptureKeyAppendsTheShownValuesAndRawValues) {
  mouseMove(trend, 100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_P);
  mouseMove(trend, 3);
  QTest::keyClick(trend, 'P', Qt::ShiftModifier);
  QTest::keyClick(trend, Qt::Key_Q);  // any other key writes nothing
  // After the header the load wrote: samples 100 and 3 (mask 0x0033).
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/init.txt"))
                  .endsWith("Ch11\r\n 100 ,10,100,0,0,500,600,0,0,0,0,0,0 , Raw values: , 100,200,0,0,500,600,0,0,0,0,0,0\r\n"
                            " 3 ,0.3,-94,0,0,15,18,0,0,0,0,0,0 , Raw values: , 3,6,0,0,15,18,0,0,0,0,0,0\r\n"));
  EXPECT_TRUE(prompt.messages().empty());

  // cap is a plain file now: the header cannot be written, the next load still completes.
  QDir(dir.file("cap")).removeRecursively();
  WriteFile(dir.file("cap"), "x");
  WriteFile(logPath, hand::Dlg(200, 0x0001, 5, kSerial, Ramp));
  load(logPath);
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::FileNotWritten(dir.file("cap/init.txt"))});
  EXPECT_EQ(window->store().SampleCount, 200);
  EXPECT_EQ(text("Text6"), QStringLiteral("10"));
}

TEST_F(TrendWithLog, WindowHeightBoxCommitsOnEnterAndDropsTextOnLeavingMidZeroRedraws) {
  auto enter = [&](QLineEdit* box, const char* typed) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
  };
  auto* box = find<QLineEdit>("WinHight_2");
  const quint64 renders = trend->renderCount();
  enter(box, "2000");
  EXPECT_EQ(window->view().WinHeight[2], 2000);
  EXPECT_GT(trend->renderCount(), renders);

  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "123");
  find<QLineEdit>("Text5")->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(box->text(), QStringLiteral("2000"));
  EXPECT_EQ(window->view().WinHeight[2], 2000);

  const quint64 beforeMid = trend->renderCount();
  tick("MIDZERO");
  EXPECT_EQ(window->view().ZeroDivisor, 2);
  EXPECT_GT(trend->renderCount(), beforeMid);
}

TEST_F(TrendWithLog, ChannelLabelClickChoosesTheColourAndStoresIt) {
  auto* label = find<QLabel>("lblChannel_2");
  const qint32 old = window->view().Colours[2];
  prompt.colours = {qint32(0x00123456)};
  const quint64 renders = trend->renderCount();
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(prompt.records.at(0).title, QString::number(old));  // the dialog starts at the old colour
  EXPECT_EQ(window->view().Colours[2], 0x00123456);
  EXPECT_GT(trend->renderCount(), renders);
  // 0x00BBGGRR: red 0x56, green 0x34, blue 0x12, on both sets of labels.
  EXPECT_TRUE(label->styleSheet().contains(QStringLiteral("#563412")));
  EXPECT_TRUE(find<QLabel>("lblChannel_14")->styleSheet().contains(QStringLiteral("#563412")));
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(window->settings()));
  EXPECT_EQ(window->settings().Colours[2], 0x00123456);
  // Cancelled: nothing changes and nothing is written; the second labels open nothing.
  QFile::remove(dir.file("cfg/init.prm"));
  QTest::mouseClick(label, Qt::LeftButton);
  QTest::mouseClick(find<QLabel>("lblChannel_14"), Qt::LeftButton);
  EXPECT_EQ(prompt.records.size(), 2u);
  EXPECT_EQ(window->view().Colours[2], 0x00123456);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cfg/init.prm")));
}

// A long read-out shows its leading digits, and the whole text on hovering. The
// activation that follows a click in the trend (as the window manager sends it) keeps
// the cursor the click put down, and an arrow key goes on from there; once the window
// has moved, the activation wipes it.
TEST_F(TrendWithLog, ActivationRedrawsBothPicturesAndKeepsTheCursorOfTheClick) {
  window->config().channel[0].Max = 4095.0 / 3;
  mouseMove(trend, 1);
  EXPECT_EQ(chval(0), common::NumberToText(1.0 / 3));
  EXPECT_EQ(find<QLineEdit>("chval_0")->toolTip(), chval(0));
  EXPECT_EQ(find<QLineEdit>("chval_0")->cursorPosition(), 0);
  press(trend, 150, Qt::LeftButton);
  for (bool moved : {false, true}) {
    SCOPED_TRACE(moved);
    QApplication::setActiveWindow(nullptr);
    if (moved) ++window->view().WindowStart, ++window->view().WindowEnd;  // a scope stepped meanwhile
    const quint64 t = trend->renderCount(), o = full->renderCount();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_GT(trend->renderCount(), t);
    EXPECT_GT(full->renderCount(), o);
    EXPECT_EQ(trend->cursorLine().has_value(), !moved);
    if (moved) break;
    trend->setFocus();
    QTest::keyClick(trend, Qt::Key_Right);
    EXPECT_EQ(window->view().CursorSample, 150);
  }
}

// The overview's red window box lies under the white trace, which is drawn last.
TEST_F(TrendWiring, OverviewTraceIsDrawnOverTheWindowBox) {
  WriteFile(dir.file("dlg/flat.dlg"), hand::Dlg(kCount, 0x0001, 5, kSerial, [](int, int) { return qint16(4095); }));
  load(dir.file("dlg/flat.dlg"));
  // Raw 4095 lies on the top edge, where the box's top side runs too.
  const QImage img = full->picture();
  int white = 0, red = 0;
  for (int x = 1; x < full->width() * 5 / 100; ++x) {
    const QRgb p = img.pixel(x, 0);
    white += p == qRgb(255, 255, 255);
    red += p == qRgb(255, 0, 0);
  }
  EXPECT_GT(white, 0);
  EXPECT_EQ(red, 0);
}

// The wheel, a middle-button drag and the navigation keys, each taken back by
// "Previous view"; Shift+arrow steps one whole sample.
TEST_F(TrendWithLog, WheelDragAndKeysMoveTheWindowAndPreviousViewTakesThemBack) {
  const int w = trend->width();
  auto wheel = [&](int px, int delta) {
    const QPointF at(px, trend->height() / 2);
    QWheelEvent e(at, trend->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(trend, &e);
  };
  auto key = [&](Qt::Key k) { return [this, k] { QTest::keyClick(trend, k); }; };
  const struct {
    const char* what;
    std::function<void()> act;
    qint32 start, end;
  } steps[] = {
      {"wheel in at the middle", [&] { wheel(w / 2, 120); }, 210, 290},
      {"wheel out at the left edge", [&] { wheel(0, -120); }, 200, 325},
      {"middle drag a quarter to the right",
       [&] {
         press(trend, w / 2, Qt::MiddleButton);
         mouseMove(trend, w / 2 + w / 4, Qt::MiddleButton);
         release(trend, w / 2 + w / 4, Qt::MiddleButton);
       },
       175, 275},
      {"PageDown", key(Qt::Key_PageDown), 300, 400},
      {"End", key(Qt::Key_End), 900, 1000},
      {"Home", key(Qt::Key_Home), 0, 100},
      {"+ around the cursor", key(Qt::Key_Plus), 210, 290},
      {"- around the cursor", key(Qt::Key_Minus), 188, 313},
  };
  trend->setFocus();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    setWindow(200, 100);
    window->view().CursorSample = 250;
    window->view().PreviousStart = window->view().PreviousEnd = 0;  // each gesture must record its own
    s.act();
    expectWindow(s.start, s.end);
    click("Zoom_Back");
    expectWindow(200, 300);
  }
  QTest::keyClick(trend, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(window->view().CursorSample, 251);
}

// "a" at the cursor and Ctrl+click set the markers that every trend window draws; the
// panel measures between them, Export starts from them, "Zoom to A–B" shows them, and a
// new log clears them.
TEST_F(TrendWithLog, MarkersMeasureAndPresetExportForEveryWindow) {
  scope::ScopeWindow* s = openScope();
  mouseMove(trend, 100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_A);
  press(trend, 300, Qt::LeftButton, Qt::ControlModifier);
  for (trend::PictureBox* p : {trend, s->picture()}) {
    QStringList labels;
    for (const auto& m : p->markerLines()) labels << m.label;
    EXPECT_EQ(labels, QStringList({"A", "B"}));
  }
  auto* table = find<QTableWidget>("MeasureTable");
  ASSERT_GE(table->rowCount(), 1);
  QStringList row;
  for (int c = 0; c < table->columnCount(); ++c) row << table->item(0, c)->text();
  // Channel 1 reads j / 10: the mean of 10.0, 10.1 ... 30.0 is 20, the RMS sqrt(400 + 0.01 * (201² - 1) / 12).
  EXPECT_EQ(row.join('|'), "1 N1|U1|10.00|30.00|20.00|10.00|30.00|20.00|20.8247");
  trigger("Export");
  auto* exportWindow = window->findChild<QWidget*>("CSVExp");
  EXPECT_EQ(exportWindow->findChild<QLineEdit*>("Text1")->text() + "-" + exportWindow->findChild<QLineEdit*>("Text2")->text(),
            "100-300");
  click("ZoomAB");
  expectWindow(100, 300);
  loadLog();
  EXPECT_TRUE(trend->markerLines().empty() && s->picture()->markerLines().empty());
  EXPECT_TRUE(find<QWidget>("Measurement")->isHidden());
}
