// "Speed / Alt" driven as a user drives it: zero locks by click and box, the tick, the
// compensation dialog, the labels, the read-outs, the unit label, the traces and a
// capture line.
#include "common/messages.h"
#include "logger/derived/shown.h"
#include "logger/trend/ui/picturebox.h"
#include "shell_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace shelltest;
namespace msg = common::msg;

namespace {

constexpr qint32 kSerial = 4242;
// Static pressure: 1 mbar per count, 1000 mbar up to sample 49, 900 from 50 on.
// Total pressure: 0.075 mbar per count, 150 mbar up to sample 49, 6.075 mbar more
// from 50 on. Zero levels taken at sample 10 give, from sample 50 on, ALT 879.454 m
// and, with the reference from the bias sample, IAS sqrt(1000) m/s.
qint16 Pressures(int row, int j) {
  if (row == 4) return qint16(j < 50 ? 1000 : 900);
  if (row == 5) return qint16(j < 50 ? 2000 : 2081);
  return qint16(j);
}

}  // namespace

class SpeedAltWiring : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    common::ChannelConfiguration c;
    for (int i = 0; i < 12; ++i) {
      auto& ch = c.channel[std::size_t(i)];
      ch.Name = QStringLiteral("N%1").arg(i + 1);
      ch.Unit = QStringLiteral("U%1").arg(i + 1);
      ch.Max = common::FullScale(i + 1);
      ch.WinHight = 4095;
    }
    c.channel[4] = {QStringLiteral("Static"), 0, 4095, QStringLiteral("mbar"), 4095};
    c.channel[5] = {QStringLiteral("Total"), 0, 307.125, QStringLiteral("mbar"), 4095};
    c.ConfigNumber = kSerial;
    QString e;
    ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/4242.cfg"), c, &e)) << e.toStdString();
    makeWindow();
    window->resize(1100, 760);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    trend = find<trend::PictureBox>("picTrend");
    speedAlt = find<QCheckBox>("Speedalt");
  }

  void loadLog(const QString& name = QStringLiteral("press.dlg")) {
    logPath = dir.file("dlg/" + name);
    WriteFile(logPath, DlgBytes(1000, 0x0031, 5, kSerial, Pressures));
    prompt.files.push_back(logPath);
    find<QAction>("mnuload")->trigger();
    ASSERT_EQ(window->LogLoaded, 1);
    // One trend pixel per sample.
    auto& v = window->view();
    v.WindowStart = 0;
    v.WindowLength = trend->width();
    v.WindowEnd = v.WindowLength;
    window->Update_Data_Window();
    prompt.clear();
  }

  void move(int px) {
    const QPoint pos(px, trend->height() / 2);
    QMouseEvent me(QEvent::MouseMove, pos, trend->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(trend, &me);
  }
  void leftClickTrend(int px) { QTest::mouseClick(trend, Qt::LeftButton, {}, QPoint(px, trend->height() / 2)); }
  void clickBox(QCheckBox* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }
  void clickBias(int i) { clickBox(find<QCheckBox>(QStringLiteral("BIAS_%1").arg(i))); }
  // Ticks the box; the compensation dialog, if it opens, gets `option` and "OK".
  void tick(const char* option = "FromBias") {
    const QString name = QLatin1String(option);
    OnModal(QStringLiteral("SpeedComp"), [name](QWidget* d) {
      QTest::mouseClick(d->findChild<QRadioButton*>(name), Qt::LeftButton);
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    });
    clickBox(speedAlt);
  }
  void lockZerosAt(int px) {
    leftClickTrend(px);
    clickBias(4);
    clickBias(5);
  }
  double chval(int i) { return find<QLineEdit>(QStringLiteral("chval_%1").arg(i))->text().toDouble(); }
  QString label(const char* name) { return find<QLabel>(QLatin1String(name))->text(); }
  void expectLabels(const char* name5, const char* unit5, const char* name6, const char* unit6) {
    EXPECT_EQ(label("lblChannel_4"), QLatin1String(name5));
    EXPECT_EQ(label("Label1_4"), QLatin1String(unit5));
    EXPECT_EQ(label("Label1_16"), QLatin1String(name5));
    EXPECT_EQ(label("lblChannel_5"), QLatin1String(name6));
    EXPECT_EQ(label("Label1_5"), QLatin1String(unit6));
  }

  QString logPath;
  trend::PictureBox* trend = nullptr;
  QCheckBox* speedAlt = nullptr;
};

TEST_F(SpeedAltWiring, WithoutBothZeroLevelsTheBoxSaysSoAndStaysUnticked) {
  loadLog();
  leftClickTrend(10);
  for (int locked : {-1, 4, 5}) {  // none, then only channel 5, then only channel 6
    SCOPED_TRACE(locked);
    if (locked == 5) clickBias(4);  // channel 5's lock off again
    if (locked >= 0) clickBias(locked);
    prompt.clear();
    clickBox(speedAlt);
    ASSERT_EQ(prompt.messages().size(), 1u);
    EXPECT_EQ(prompt.messages()[0].title, msg::kSpeedAlt);
    EXPECT_EQ(prompt.messages()[0].text, msg::kSetZeroLevels);
    EXPECT_EQ(prompt.messages()[0].icon, common::PromptIcon::Exclamation);
    EXPECT_FALSE(speedAlt->isChecked());
    EXPECT_FALSE(window->view().SpeedAlt);
    expectLabels("Static", "mbar", "Total", "mbar");
  }
}

TEST_F(SpeedAltWiring, ReadoutsInEachUnitByClicksOnTheUnitLabel) {
  loadLog();
  lockZerosAt(10);
  tick();
  ASSERT_TRUE(speedAlt->isChecked());
  EXPECT_TRUE(prompt.messages().empty());
  expectLabels("Alt", "m", "IAS", "m/s");

  struct Step {
    const char* speedUnit;
    const char* altitudeUnit;
    double speed, altitude;
  } steps[] = {{"km/h", "m", 113.842, 879.454}, {"mph", "feet", 70.7381, 2885.35}, {"m/s", "m", 31.6228, 879.454}};
  move(100);
  EXPECT_NEAR(chval(5), 31.6228, 1e-3);
  EXPECT_NEAR(chval(4), 879.454, 1e-2);
  EXPECT_NEAR(chval(0), 100, 1e-9);  // other channels as before
  for (const Step& s : steps) {
    SCOPED_TRACE(s.speedUnit);
    QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
    EXPECT_EQ(label("Label1_5"), QLatin1String(s.speedUnit));
    EXPECT_EQ(label("Label1_4"), QLatin1String(s.altitudeUnit));
    move(101);
    EXPECT_NEAR(chval(5), s.speed, 1e-3);
    EXPECT_NEAR(chval(4), s.altitude, 1e-2);
  }
  // At the zero sample both read 0.
  move(10);
  EXPECT_EQ(chval(5), 0);
  EXPECT_EQ(chval(4), 0);

  // Unticked: the configured labels and values; the unit label cycles nothing.
  clickBox(speedAlt);
  expectLabels("Static", "mbar", "Total", "mbar");
  QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);
  EXPECT_EQ(label("Label1_5"), QStringLiteral("mbar"));
  move(100);
  EXPECT_NEAR(chval(4), -100, 1e-9);  // 900 less the zero level 1000
  EXPECT_NEAR(chval(5), 6.075, 1e-9);
}

TEST_F(SpeedAltWiring, CaptureLineHoldsTheDerivedValuesAndTheRawCounts) {
  loadLog();
  lockZerosAt(10);
  tick();
  QTest::mouseClick(find<QLabel>("Label1_5"), Qt::LeftButton);  // km/h
  move(100);
  trend->setFocus();
  QTest::keyClick(trend, Qt::Key_P);
  QFile f(dir.file("cap/init.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = f.readAll().split('\n');
  ASSERT_EQ(lines.size(), 12);  // ten header lines, one capture line, the empty rest
  const QByteArray line = lines[10].chopped(1);  // without the CR
  const QList<QByteArray> parts = line.split(',');
  ASSERT_EQ(parts.size(), 26) << line.toStdString();
  EXPECT_EQ(parts[0], " 100 ");
  EXPECT_EQ(parts[5], find<QLineEdit>("chval_4")->text().toLatin1());
  EXPECT_EQ(parts[6], find<QLineEdit>("chval_5")->text().toLatin1());
  EXPECT_NEAR(parts[5].toDouble(), 879.454, 1e-2);
  EXPECT_NEAR(parts[6].toDouble(), 113.842, 1e-3);
  EXPECT_EQ(parts[13], " Raw values: ");
  EXPECT_EQ(parts[18], "900");   // channel 5's raw count
  EXPECT_EQ(parts[19], "2081");  // channel 6's
}

TEST_F(SpeedAltWiring, DerivedTracesIgnoreTheZeroLocksAndUntickingRestoresTheRawOnes) {
  loadLog();
  // Only channels 5 and 6 drawn.
  clickBox(find<QCheckBox>("chkChannel_0"));
  const QImage raw = trend->picture();
  lockZerosAt(10);
  window->Update_Data_Window();
  const QImage rawLocked = trend->picture();
  EXPECT_FALSE(rawLocked == raw);  // a raw trace moves with its zero lock
  tick();
  const QImage derivedTraces = trend->picture();
  EXPECT_FALSE(derivedTraces == rawLocked);
  clickBias(4);
  clickBias(5);
  window->Update_Data_Window();
  EXPECT_TRUE(trend->picture() == derivedTraces);  // a derived trace does not
  clickBox(speedAlt);  // unticked: redrawn at once, raw and unlocked again
  EXPECT_TRUE(trend->picture() == raw);
}

TEST_F(SpeedAltWiring, OpeningALogUnticksAndDropsTheZeroLevelsOfBothChannels) {
  loadLog();
  lockZerosAt(10);
  tick();
  loadLog(QStringLiteral("again.dlg"));
  EXPECT_FALSE(speedAlt->isChecked());
  EXPECT_FALSE(find<QCheckBox>("BIAS_4")->isChecked());
  EXPECT_FALSE(find<QCheckBox>("BIAS_5")->isChecked());
  expectLabels("Static", "mbar", "Total", "mbar");
  clickBox(speedAlt);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::kSetZeroLevels);
  EXPECT_FALSE(speedAlt->isChecked());
}

TEST_F(SpeedAltWiring, DialogClosedByItsCloseButtonStillComputesWithTheChosenMode) {
  loadLog();
  lockZerosAt(10);
  OnModal(QStringLiteral("SpeedComp"), [](QWidget* d) {
    QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("FromBias")), Qt::LeftButton);
    d->close();
  });
  clickBox(speedAlt);
  EXPECT_TRUE(speedAlt->isChecked());
  EXPECT_EQ(window->speedCompensation().Mode, derived::kFromBias);
  move(100);
  EXPECT_NEAR(chval(5), 31.6228, 1e-3);  // the bias sample's reference
}
