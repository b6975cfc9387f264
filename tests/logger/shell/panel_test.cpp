// The main window's channel panel beside its trend area, and the seam that feeds scopes,
// the movie and Export from the session.
#include "common/numtext.h"
#include "logger/movie/ui/moviewindow.h"
#include "shell_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QTableWidget>

using namespace shelltest;

// Channel 1 reads j; channel 5: 1000 mbar up to sample 49, 900 from 50 on; channel 6:
// 150 mbar, then 6.075 mbar more. Zero levels at sample 10 give, from sample 50 on,
// ALT 879.454 m and (reference from the bias sample) IAS sqrt(1000) m/s.
class Panel : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    common::ChannelConfiguration c;
    c.channel[0] = {QStringLiteral("N1"), 0, 4095, QStringLiteral("U1"), 4095};
    c.channel[4] = {QStringLiteral("Static"), 0, 4095, QStringLiteral("mbar"), 4095};
    c.channel[5] = {QStringLiteral("Total"), 0, 307.125, QStringLiteral("mbar"), 4095};
    c.ConfigNumber = 4242;
    WriteFile(dir.file("cfg/4242.cfg"), hand::Cfg(c));
    makeWindow();
    showWindow();
    trend = find<trend::PictureBox>("picTrend");
    loadLog();
  }

  void loadLog(const QString& name = QStringLiteral("press.dlg")) {
    WriteFile(dir.file("dlg/" + name), hand::Dlg(1000, 0x0031, 5, 4242, [](int row, int j) {
                return qint16(row == 4 ? (j < 50 ? 1000 : 900) : row == 5 ? (j < 50 ? 2000 : 2081) : j);
              }));
    load(dir.file("dlg/" + name));
    auto& v = window->view();  // one trend pixel per sample
    v.WindowLength = v.WindowEnd = trend->width();
    window->Update_Data_Window();
    prompt.clear();
  }
  // Left click at sample 10, both zero locks, then the box; the dialog gets "from Bias sample".
  void lockAndTick() {
    press(trend, 10, Qt::LeftButton);
    tick("BIAS_4");
    tick("BIAS_5");
    OnModal(QStringLiteral("SpeedComp"), [](QWidget* d) {
      QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("FromBias")), Qt::LeftButton);
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    });
    tick("Speedalt");
    ASSERT_TRUE(checked("Speedalt"));
  }
  QString chval(int i) { return text(QStringLiteral("chval_%1").arg(i)); }
  bool checked(const char* box) { return find<QCheckBox>(box)->isChecked(); }
  QString labels() {
    QStringList l;
    for (const char* name : {"lblChannel_4", "Label1_4", "Label1_16", "lblChannel_5", "Label1_5"})
      l << find<QLabel>(QLatin1String(name))->text();
    return l.join('|');
  }

  trend::PictureBox* trend = nullptr;
};

// A press takes the zero candidates and redraws only the overview; the boxes apply them
// until unticked or the next log, which clears channels 5 and 6 as a click would.
TEST_F(Panel, ReadoutsZeroLocksAndTheCaptureKey) {
  window->config().channel[0].Max = 4095.0 / 3;  // a long read-out shows its leading digits
  mouseMove(trend, 100);
  EXPECT_EQ(text("chpos1") + " " + chval(0), "100 " + common::NumberToText(100.0 / 3));
  EXPECT_EQ(find<QLineEdit>("chval_0")->toolTip(), chval(0));
  EXPECT_EQ(find<QLineEdit>("chval_0")->cursorPosition(), 0);
  window->config().channel[0].Max = 4095;

  auto* strip = find<trend::PictureBox>("picFull");
  const quint64 overview = strip->renderCount(), traces = trend->renderCount();
  press(trend, 20, Qt::LeftButton);
  EXPECT_EQ(std::pair(strip->renderCount() > overview, trend->renderCount()), std::pair(true, traces));
  press(trend, 80, Qt::RightButton);
  tick("BIAS_0");
  tick("BIAS_4");  // drifting from 1000 at 20 to 900 at 80: 950 at 50
  mouseMove(trend, 50);
  EXPECT_EQ(chval(0) + " " + chval(4), "30 -50");
  tick("BIAS_0");  // unticked: 0 at once, shown at the next move, no redraw
  EXPECT_EQ(trend->renderCount(), traces);
  mouseMove(trend, 50);
  EXPECT_EQ(chval(0), QStringLiteral("50"));

  // The capture key appends the read-outs and the raw values, after the load's header.
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_P);
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/init.txt"))
                  .endsWith("Ch11\r\n 50 ,50,0,0,0,-50,156.075,0,0,0,0,0,0 , Raw values: , 50,0,0,0,900,2081,0,0,0,0,0,0\r\n"));

  tick("BIAS_5");
  // cap is a plain file now: the header cannot be written, the load still completes.
  QDir(dir.file("cap")).removeRecursively();
  WriteFile(dir.file("cap"), "x");
  load(dir.file("dlg/press.dlg"));
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::FileNotWritten(dir.file("cap/init.txt"))});
  EXPECT_FALSE(checked("BIAS_4") || checked("BIAS_5"));
  const auto& v = window->view();
  for (int i : {4, 5, 12, 13}) EXPECT_EQ(v.EngBias[std::size_t(i)], 0) << i;
}

TEST_F(Panel, HeightBoxMidZeroAndChannelColourRedraw) {
  auto redraws = [&](const std::function<void()>& act) {
    const quint64 renders = trend->renderCount();
    act();
    return trend->renderCount() > renders;
  };
  auto* box = find<QLineEdit>("WinHight_2");
  box->setText(QStringLiteral("2000"));
  EXPECT_TRUE(redraws([&] { QTest::keyClick(box, Qt::Key_Return); }));
  // Text not confirmed is dropped when another control takes the focus.
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  box->setFocus();
  box->setText(QStringLiteral("123"));
  find<QLineEdit>("Text5")->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(box->text(), QStringLiteral("2000"));

  EXPECT_TRUE(redraws([&] { tick("MIDZERO"); }));
  EXPECT_EQ(window->view().ZeroDivisor, 2);

  // A click on a channel's label chooses its colour, starting from the old one; 0x00BBGGRR.
  auto* label = find<QLabel>("lblChannel_2");
  const qint32 old = window->view().Colours[2];
  prompt.colours = {qint32(0x00123456)};
  EXPECT_TRUE(redraws([&] { QTest::mouseClick(label, Qt::LeftButton); }));
  EXPECT_EQ(prompt.records.at(0).title, QString::number(old));
  EXPECT_EQ(std::pair(window->view().Colours[2], window->settings().Colours[2]), std::pair(0x00123456, 0x00123456));
  for (const char* l : {"lblChannel_2", "lblChannel_14"})
    EXPECT_TRUE(find<QLabel>(l)->styleSheet().contains(QStringLiteral("#563412"))) << l;
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(window->settings()));
  // Cancelled: nothing changes and nothing is written; the second labels open nothing.
  QFile::remove(dir.file("cfg/init.prm"));
  QTest::mouseClick(label, Qt::LeftButton);
  QTest::mouseClick(find<QLabel>("lblChannel_14"), Qt::LeftButton);
  EXPECT_EQ(prompt.records.size(), 2u);
  EXPECT_EQ(window->view().Colours[2], 0x00123456);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cfg/init.prm")));
}

// Without both zero levels "Speed / Alt" says so and stays unticked. Ticked, channels 5
// and 6 read out altitude and speed in the unit the unit label cycles, in the main
// window, the scopes (their capture too) and the movie, and their traces no longer
// move with the zero locks. Unticked or a new log: raw again, the configured labels.
TEST_F(Panel, SpeedAltInEveryWindow) {
  const QString configured = QStringLiteral("Static|mbar|Static|Total|mbar");
  tick("BIAS_4");  // before any click on the trend there is nothing to lock
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleZeroLock + ": " + msg::kClickZeroSampleFirst});
  EXPECT_FALSE(checked("BIAS_4"));
  press(trend, 10, Qt::LeftButton);
  // Channel 5's lock only, channel 6's only.
  for (const QStringList& clicks : {QStringList{"BIAS_4"}, QStringList{"BIAS_4", "BIAS_5"}}) {
    for (const QString& box : clicks) tick(box);
    prompt.clear();
    tick("Speedalt");
    EXPECT_EQ(prompt.said(), QStringList{msg::kSpeedAlt + ": " + msg::kSetZeroLevels});
    EXPECT_EQ(prompt.records.at(0).icon, common::PromptIcon::Exclamation);
    EXPECT_EQ(QString::number(checked("Speedalt")) + labels(), "0" + configured);
  }
  tick("BIAS_5");
  tick("chkChannel_0");  // channels 5 and 6 only
  const QImage raw = trend->picture();
  lockAndTick();
  const QImage derivedTraces = trend->picture();
  EXPECT_FALSE(derivedTraces == raw);
  mouseMove(trend, 100);
  EXPECT_NEAR(chval(5).toDouble(), 31.6228, 1e-3);
  EXPECT_NEAR(chval(4).toDouble(), 879.454, 1e-2);
  EXPECT_EQ(labels(), "Alt|m|Alt|IAS|m/s");
  for (const char* next : {"Alt|m|Alt|IAS|km/h", "Alt|feet|Alt|IAS|mph"}) {
    QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
    EXPECT_EQ(labels(), next);
  }
  tick("BIAS_4");
  tick("BIAS_5");
  window->Update_Data_Window();
  EXPECT_TRUE(trend->picture() == derivedTraces);

  scope::ScopeWindow* s = openScope();
  for (int t : {0, 1}) {
    auto* box = s->findChild<QComboBox*>(QStringLiteral("ScopeCH_%1").arg(t));
    box->setCurrentIndex(box->findData(4 + t));
  }
  mouseMove(s->picture(), s->picture()->width() / 2);
  const qint32 k = window->view().CursorSample;
  ASSERT_GE(k, 50);
  QStringList names;
  for (const char* label : {"Label6_0", "Label7_0", "Label6_1", "Label7_1"})
    names << s->findChild<QLabel*>(QLatin1String(label))->text();
  EXPECT_EQ(names.join('|'), "ALT|feet|IAS|mph");
  s->picture()->setFocus();
  QTest::keyClick(s->picture(), Qt::Key_P);
  mouseMove(trend, k);  // the scope writes what the main window reads out at the same sample
  const QByteArray n = QByteArray::number(k);
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/init.txt"))
                  .endsWith(" " + n + " ," + n + ",0,0,0," + chval(4).toLatin1() + "," + chval(5).toLatin1() +
                            ",0,0,0,0,0,0 , Raw values: , " + n + ",0,0,0,900,2081,0,0,0,0,0,0\r\n"));
  // A step in the scope shows in the main window once that is activated.
  const int end = text("Text6").toInt();
  QApplication::setActiveWindow(s);
  QTest::mouseClick(s->findChild<QPushButton*>("LenMinus5"), Qt::LeftButton);
  EXPECT_EQ(text("Text6").toInt(), end);
  QApplication::setActiveWindow(window.get());
  EXPECT_EQ(text("Text6").toInt(), end - 5);

  window->view().WindowEnd = 999;  // the range dialog takes the window, within the log
  OnModal(QStringLiteral("Dialog2"), [](QWidget* d) {
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  });
  trigger("cmdMovie");
  auto* movieWindow = window->findChild<movie::MovieWindow*>("Movie");
  ASSERT_NE(movieWindow, nullptr);
  const movie::Scene& scene = movieWindow->editor().scene();
  EXPECT_EQ(scene.name[4] + scene.unit[4] + scene.name[5] + scene.unit[5], "ALTfeetIASmph");

  const QImage shown = trend->picture();
  tick("Speedalt");  // redrawn at once, raw; the unit label cycles nothing
  EXPECT_FALSE(trend->picture() == shown);
  mouseMove(trend, 100);
  EXPECT_EQ(chval(4), QStringLiteral("900"));
  QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
  EXPECT_EQ(labels(), configured);
  lockAndTick();
  loadLog(QStringLiteral("again.dlg"));
  EXPECT_FALSE(checked("Speedalt") || checked("BIAS_4") || checked("BIAS_5"));
  EXPECT_EQ(labels(), configured);
  window->close();  // and the scopes with it
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window->scopes().windows().empty());
}

// "a" at the cursor and Ctrl+click set the markers that every trend window draws; the
// panel measures between them, Export starts from them, "Zoom to A–B" shows them, and a
// new log clears them.
TEST_F(Panel, MarkersMeasureAndPresetExportForEveryWindow) {
  scope::ScopeWindow* s = openScope();
  mouseMove(trend, 100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_A);
  press(trend, 300, Qt::LeftButton, Qt::ControlModifier);
  for (trend::PictureBox* p : {trend, s->picture()}) EXPECT_EQ(p->markerLines().size(), 2u);
  auto* table = find<QTableWidget>("MeasureTable");
  QStringList row;
  for (int c = 0; c < table->columnCount(); ++c) row << table->item(0, c)->text();
  EXPECT_EQ(row.join('|'), "1 N1|U1|100.00|300.00|200.00|100.00|300.00|200.00|208.2466");
  trigger("Export");
  auto* exportWindow = window->findChild<QWidget*>("CSVExp");
  EXPECT_EQ(exportWindow->findChild<QLineEdit*>("Text1")->text() + "-" + exportWindow->findChild<QLineEdit*>("Text2")->text(),
            "100-300");
  click("ZoomAB");
  EXPECT_EQ(std::pair(window->view().WindowStart, window->view().WindowEnd), std::pair(100, 300));
  loadLog();
  EXPECT_TRUE(trend->markerLines().empty() && s->picture()->markerLines().empty());
  EXPECT_TRUE(find<QWidget>("Measurement")->isHidden());
}
