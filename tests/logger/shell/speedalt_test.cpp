// "Speed / Alt" driven as a user drives it: zero locks by click and box, the tick, the
// compensation dialog, the labels, the read-outs, the unit label, the traces, a capture.
#include "logger/movie/ui/moviewindow.h"
#include "shell_fixture.h"

#include <QComboBox>
#include <QRadioButton>

using namespace shelltest;

// Channel 5: 1000 mbar up to sample 49, 900 from 50 on; channel 6: 150 mbar, then
// 6.075 mbar more. Zero levels at sample 10 give, from sample 50 on, ALT 879.454 m and
// (reference from the bias sample) IAS sqrt(1000) m/s.
class SpeedAltWiring : public ShellTest {
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
    speedAlt = find<QCheckBox>("Speedalt");
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
    ASSERT_TRUE(speedAlt->isChecked());
  }
  double chval(int i) { return text(QStringLiteral("chval_%1").arg(i)).toDouble(); }
  QString labels() {
    QStringList l;
    for (const char* name : {"lblChannel_4", "Label1_4", "Label1_16", "lblChannel_5", "Label1_5"})
      l << find<QLabel>(QLatin1String(name))->text();
    return l.join('|');
  }

  trend::PictureBox* trend = nullptr;
  QCheckBox* speedAlt = nullptr;
};

TEST_F(SpeedAltWiring, WithoutBothZeroLevelsTheBoxSaysSoAndStaysUnticked) {
  tick("BIAS_4");  // before any click on the trend there is nothing to lock
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleZeroLock + ": " + msg::kClickZeroSampleFirst});
  EXPECT_FALSE(find<QCheckBox>("BIAS_4")->isChecked());
  press(trend, 10, Qt::LeftButton);
  // No lock, channel 5's only, channel 6's only.
  for (const QStringList& clicks : {QStringList{}, QStringList{"BIAS_4"}, QStringList{"BIAS_4", "BIAS_5"}}) {
    for (const QString& box : clicks) tick(box);
    prompt.clear();
    tick("Speedalt");
    EXPECT_EQ(prompt.said(), QStringList{msg::kSpeedAlt + ": " + msg::kSetZeroLevels});
    EXPECT_EQ(prompt.records.at(0).icon, common::PromptIcon::Exclamation);
    EXPECT_FALSE(speedAlt->isChecked());
    EXPECT_EQ(labels(), "Static|mbar|Static|Total|mbar");
  }
}

TEST_F(SpeedAltWiring, ReadoutsInEachUnitByClicksOnTheUnitLabel) {
  lockAndTick();
  const struct {
    const char* labels;
    double speed, altitude;
  } steps[] = {{"Alt|m|Alt|IAS|m/s", 31.6228, 879.454}, {"Alt|m|Alt|IAS|km/h", 113.842, 879.454},
               {"Alt|feet|Alt|IAS|mph", 70.7381, 2885.35}, {"Alt|feet|Alt|IAS|kt", 61.4698, 2885.35},
               {"Alt|m|Alt|IAS|m/s", 31.6228, 879.454}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.labels);
    if (&s != steps) QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
    EXPECT_EQ(labels(), s.labels);
    mouseMove(trend, 100);
    EXPECT_NEAR(chval(5), s.speed, 1e-3);
    EXPECT_NEAR(chval(4), s.altitude, 1e-2);
  }
  // Unticked: the configured labels; the unit label cycles nothing.
  tick("Speedalt");
  QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
  EXPECT_EQ(labels(), "Static|mbar|Static|Total|mbar");
}

// Derived traces do not move with the zero locks; a new log unticks the box and drops both zero levels.
TEST_F(SpeedAltWiring, DerivedTracesIgnoreTheZeroLocksAndANewLogUnticks) {
  tick("chkChannel_0");  // channels 5 and 6 only
  const QImage raw = trend->picture();
  lockAndTick();
  const QImage derivedTraces = trend->picture();
  EXPECT_FALSE(derivedTraces == raw);
  QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);  // km/h until the next tick
  tick("BIAS_4");
  tick("BIAS_5");
  window->Update_Data_Window();
  EXPECT_TRUE(trend->picture() == derivedTraces);  // a derived trace does not move with the bias
  tick("Speedalt");                            // redrawn at once, raw and unlocked
  EXPECT_TRUE(trend->picture() == raw);

  lockAndTick();
  EXPECT_EQ(labels(), "Alt|m|Alt|IAS|m/s");
  loadLog(QStringLiteral("again.dlg"));
  EXPECT_FALSE(speedAlt->isChecked());
  EXPECT_FALSE(find<QCheckBox>("BIAS_4")->isChecked() || find<QCheckBox>("BIAS_5")->isChecked());
  EXPECT_EQ(labels(), "Static|mbar|Static|Total|mbar");
  tick("Speedalt");
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::kSetZeroLevels});
}

// Scopes and the movie show channels 5 and 6 as the main window does, and a scope's
// capture writes what it shows.
TEST_F(SpeedAltWiring, ScopesAndTheMovieShowAltitudeAndSpeed) {
  lockAndTick();
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
  EXPECT_EQ(names.join('|'), "ALT|m|IAS|m/s");
  s->picture()->setFocus();
  QTest::keyClick(s->picture(), Qt::Key_P);
  mouseMove(trend, k);  // the scope writes what the main window reads out at the same sample
  const QByteArray n = QByteArray::number(k);
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/init.txt"))
                  .endsWith(" " + n + " ," + n + ",0,0,0," + text("chval_4").toLatin1() + "," +
                            text("chval_5").toLatin1() + ",0,0,0,0,0,0 , Raw values: , " + n +
                            ",0,0,0,900,2081,0,0,0,0,0,0\r\n"));

  window->view().WindowEnd = 999;  // the range dialog takes the window, within the log
  OnModal(QStringLiteral("Dialog2"), [](QWidget* d) {
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  });
  trigger("cmdMovie");
  auto* movieWindow = window->findChild<movie::MovieWindow*>("Movie");
  ASSERT_NE(movieWindow, nullptr);
  const movie::Scene& scene = movieWindow->editor().scene();
  EXPECT_EQ(scene.name[4] + scene.unit[4] + scene.name[5] + scene.unit[5], "ALTmIASm/s");
}
