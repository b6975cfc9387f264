// The meter window on the in-process simulator: start-up, the live display, the first
// frame's configuration, the watchdog, the editor's and comm dialog's meter ways and
// the calculator.
#include "common/link_support.h"
#include "common/messages.h"
#include "meter/messages.h"
#include "meter/ui/mainwindow.h"
#include "support/on_modal.h"
#include "support/test_paths.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

namespace cmsg = common::msg;
namespace mmsg = meter::msg;
using link_test::WaitFor;
using testing_support::FileBytes;
using testing_support::OnModal;

// Start byte, 27 data bytes, end mark. No data byte is 0xF0, so nothing is stuffed.
QByteArray Frame(int ch1High, int ch12, int serialLow = 0x39) {
  QByteArray f("\xFF", 1);
  f += ch1High == 0x0F ? QByteArray("\x0F\xFF", 2) : QByteArray(2, char(ch1High));
  for (int c = 2; c <= 10; ++c) f += QByteArray("\x01\x00", 2);  // 256
  f += char(255);                                               // channel 11
  f += char(ch12);
  f += QByteArray("\x80\x01", 2);                         // extra: -32767
  f += char(serialLow) + QByteArray("\x30\x00", 2);       // 0x39 0x30 0x00 is 12345
  return f + QByteArray("\xF0\xFF", 2);
}

common::ChannelConfiguration Config(const QString& name, qint32 number = 77) {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) c.channel[std::size_t(i)] = {name + QString::number(i + 1), -10, 10, name.toLower(), 0};
  c.ConfigNumber = number;
  return c;
}

class MeterTest : public ::testing::Test {
 protected:
  // The simulator sends no live frames of its own unless a test asks for them: the
  // frames are injected by hand, and the watchdog is far off.
  void SetUp() override {
    writeFiles(1);
    simulator.setLiveInterval(10000000);
  }
  void useSimulatorFrames() {
    simulator.setLiveInterval(5);
    timings = link_test::FastTimings();
  }
  void writeFiles(int port, const common::Settings& base = {}) {
    common::Settings s = base;
    s.PortNumber = quint8(port);
    QString e;
    ASSERT_TRUE(common::WriteSettings(dir.file("cfg/init.prm"), s, &e));
    writeConfig("config.cfg", Config("Cfg"));
    common::PortMap map;
    map.path[1] = QStringLiteral("sim");
    ASSERT_TRUE(common::WritePortMap(dir.file("cfg/ports.txt"), map, &e));
  }
  void writeConfig(const QString& name, const common::ChannelConfiguration& c) {
    QString e;
    ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/" + name), c, &e)) << e.toStdString();
  }
  void makeWindow() {
    auto factory = [this](int, const QString&) {
      auto ch = std::make_unique<sim::SimChannel>(simulator);
      ch->setOpenFails(openFails);
      channel = ch.get();
      return std::unique_ptr<common::ByteChannel>(std::move(ch));
    };
    window = std::make_unique<meter::MainWindow>(prompt, dir.path(), factory, timings);
  }
  template <typename T = QLineEdit>
  T* find(const QString& name) {
    T* w = window->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QString text(const QString& name) { return find(name)->text(); }
  void trigger(const char* name) { find<QAction>(QLatin1String(name))->trigger(); }
  void readFrame(const QByteArray& frame, const QString& serial = QStringLiteral("12345")) {
    find(QStringLiteral("Text7"))->clear();
    simulator.inject(frame);
    ASSERT_TRUE(WaitFor([&] { return text(QStringLiteral("Text7")) == serial; }));
  }
  // Runs the event loop for `ms` milliseconds: time in which nothing is to happen.
  static void Idle(int ms) {
    bool done = false;
    QTimer::singleShot(ms, [&] { done = true; });
    WaitFor([&] { return done; });
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  sim::Simulator simulator;
  sim::SimChannel* channel = nullptr;
  bool openFails = false;
  common::LinkTimings timings = common::LinkTimings{}.scaled(10);
  std::unique_ptr<meter::MainWindow> window;
};

TEST_F(MeterTest, StartUpThenTheFrameByItsBytes) {
  makeWindow();
  EXPECT_TRUE(prompt.records.empty());
  EXPECT_EQ(window->windowTitle(), cmsg::kTitleMeter);
  EXPECT_EQ(find<QLabel>("Label2_0")->text(), QStringLiteral("Cfg1"));
  EXPECT_EQ(find<QLabel>("Label20_11")->text(), QStringLiteral("cfg"));
  for (const char* hidden : {"text6", "Label14", "Calc"}) EXPECT_TRUE(find<QWidget>(hidden)->isHidden()) << hidden;
  ASSERT_TRUE(window->port().isOpen());
  trigger("mnu4");
  EXPECT_EQ(channel->written(), link_test::Bytes({0xAA}));
  readFrame(Frame(0x0F, 7));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Meter - 12345.cfg"));
  EXPECT_EQ(prompt.messageTexts(), QStringList{cmsg::MeterConfigMissing(12345)});
  const std::pair<const char*, const char*> shown[] = {{"Text1_0", "4095"},  {"Text1_12", "10"}, {"Text1_1", "256"},
                                                       {"Text1_10", "255"},  {"Text1_22", "10"}, {"Text1_11", "7"},
                                                       {"text6", "-32767"}};
  for (const auto& [box, value] : shown) EXPECT_EQ(text(box), QLatin1String(value)) << box;
  readFrame(Frame(0xFF, 7));  // 0xFF 0xFF: a signed 16-bit -1
  EXPECT_EQ(text("Text1_0"), QStringLiteral("-1"));
}

TEST_F(MeterTest, PortZeroIsQuietAFailingPortOffersTheDialogAndMissingFilesAreNamed) {
  writeFiles(0);
  makeWindow();
  EXPECT_TRUE(prompt.records.empty());
  EXPECT_EQ(channel, nullptr);

  writeFiles(1);
  openFails = true;
  bool dialogSeen = false;
  OnModal(QStringLiteral("Dialog1"), [&](QWidget* d) {
    dialogSeen = prompt.messageTexts() == QStringList{cmsg::kCommPortError};
    d->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
  });
  makeWindow();
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(prompt.messages()[0].title, cmsg::kTitleError);
  EXPECT_EQ(find<QLabel>("Label2_0")->text(), QStringLiteral("Cfg1"));  // read all the same

  prompt.clear();
  QFile::remove(dir.file("cfg/init.prm"));
  QFile::remove(dir.file("cfg/config.cfg"));
  makeWindow();
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_TRUE(prompt.messages()[0].text.contains("init.prm") && prompt.messages()[0].text.contains("config.cfg"));
  EXPECT_EQ(find<QLabel>("Label2_11")->text(), QStringLiteral("CH12"));
}

TEST_F(MeterTest, FirstFrameTakesTheLoggersFileInAnyCaseOrSaysWhyNot) {
  writeConfig("12345.CFG", Config("Own"));
  makeWindow();
  trigger("mnu4");
  readFrame(Frame(0x0F, 7));
  EXPECT_TRUE(prompt.records.empty());
  EXPECT_EQ(find<QLabel>("Label2_0")->text(), QStringLiteral("Own1"));
  EXPECT_EQ(find<QLabel>("Label20_0")->text(), QStringLiteral("own"));

  // Neither 12346.cfg nor a readable config.cfg: the configuration in use stays.
  QFile::resize(dir.file("cfg/config.cfg"), 100);
  trigger("mnu4");
  readFrame(Frame(0x0F, 7, 0x3A), QStringLiteral("12346"));
  ASSERT_EQ(prompt.messages().size(), 2u);
  EXPECT_EQ(prompt.messages()[0].text, cmsg::MeterConfigMissing(12346));
  EXPECT_EQ(prompt.messages()[1].title, cmsg::kTitleError);
  EXPECT_TRUE(prompt.messages()[1].text.contains(dir.file("cfg/config.cfg")));
  EXPECT_EQ(find<QLabel>("Label2_0")->text(), QStringLiteral("Own1"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Meter - 12346.cfg"));
}

TEST_F(MeterTest, SecondReadRestartsAMessageIsNoSilenceAndSilenceEndsTheRead) {
  useSimulatorFrames();
  makeWindow();
  trigger("mnu4");
  ASSERT_TRUE(WaitFor([&] { return text("Text7") == "4711"; }));
  prompt.onPrompt = [&](const testing_support::PromptRecord& r) {
    if (r.text != cmsg::MeterConfigMissing(4711)) return;
    // While the user reads, one more frame comes and then the logger falls silent:
    // neither shows nor ends anything until the message is answered.
    simulator.setLiveInterval(10000000);
    simulator.inject(Frame(0x0F, 7, 0x3A));
    Idle(10 * link_test::FastTimings().liveWatchdog);
    EXPECT_EQ(prompt.messages().size(), 2u);
    EXPECT_EQ(text("Text7"), QStringLiteral("4711"));
  };
  trigger("mnu4");
  EXPECT_EQ(simulator.received().count(char(0xAA)), 2);
  ASSERT_TRUE(WaitFor([&] { return prompt.messages().size() == 3; }));
  EXPECT_EQ(prompt.messages()[2].title, cmsg::kTitleError);
  EXPECT_EQ(prompt.messageTexts(), (QStringList{cmsg::MeterConfigMissing(4711), cmsg::MeterConfigMissing(4711),
                                                cmsg::kConnectionTimeout}));
}

TEST_F(MeterTest, ReadThatCannotOpenThePortSaysSoAndEndsTheOneBefore) {
  useSimulatorFrames();
  writeConfig("4711.cfg", Config("Own"));
  makeWindow();
  trigger("mnu4");
  ASSERT_TRUE(WaitFor([&] { return text("Text7") == "4711"; }));
  openFails = true;
  trigger("mnu4");
  Idle(5 * link_test::FastTimings().liveWatchdog);
  EXPECT_EQ(prompt.messageTexts(), QStringList{cmsg::kCommError});
}

TEST_F(MeterTest, ServiceKeyInTheSerialBoxShowsTheExtraValueForGood) {
  makeWindow();
  QLineEdit* serial = find(QStringLiteral("Text7"));
  QTest::keyClick(serial, Qt::Key_A);
  EXPECT_TRUE(find<QWidget>("text6")->isHidden());
  QTest::keyClick(serial, Qt::Key_G, Qt::ControlModifier);
  QTest::keyClick(serial, Qt::Key_A);
  EXPECT_FALSE(find<QWidget>("text6")->isHidden());
  EXPECT_FALSE(find<QWidget>("Label14")->isHidden());
}

TEST_F(MeterTest, EditorSavesTheLoggersNumberRefreshesLabelsAndTitles) {
  makeWindow();
  auto saveAs = [&](const QString& file) {
    OnModal(QStringLiteral("Config"), [&](QWidget* w) {
      EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("TMPREFH"))->isHidden());
      EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("Label1_2"))->palette().color(QPalette::WindowText), Qt::green);
      w->findChild<QLineEdit*>(QStringLiteral("Chan1_2"))->setText(QStringLiteral("Temp"));
      w->findChild<QLineEdit*>(QStringLiteral("Unit_2"))->setText(QStringLiteral("degC"));
      prompt.files.push_back(dir.file(file));
      w->findChild<QPushButton*>(QStringLiteral("SaveAsCfg"))->click();
    });
    trigger("mnu5");
    return FileBytes(dir.file(file));
  };
  // Before any frame the configuration keeps its own number (77).
  QByteArray saved = saveAs(QStringLiteral("cfg/a.cfg"));
  ASSERT_EQ(saved.size(), 70 * 128 + 4);
  EXPECT_EQ(saved.mid(70 * 128), QByteArray("\x4D\x00\x00\x00", 4));
  EXPECT_EQ(saved.mid(10 * 128, 8), QByteArray("\x08\x00\x04\x00Temp", 8));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("VELKARO  -   - A.CFG"));
  EXPECT_EQ(find<QLabel>("Label2_2")->text(), QStringLiteral("Temp"));
  EXPECT_EQ(find<QLabel>("Label20_2")->text(), QStringLiteral("degC"));

  trigger("mnu4");
  readFrame(Frame(0x0F, 7));
  EXPECT_EQ(saveAs(QStringLiteral("cfg/b.cfg")).mid(70 * 128), QByteArray("\x39\x30\x00\x00", 4));

  OnModal(QStringLiteral("Config"), [&](QWidget* w) {
    prompt.files.push_back(dir.file("cfg/a.cfg"));
    w->findChild<QPushButton*>(QStringLiteral("LoadCfg"))->click();
    w->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
  });
  trigger("mnu5");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("METER  - A.CFG"));
}

TEST_F(MeterTest, CommDialogWritesOnlyTheMetersRecords) {
  common::Settings logger;
  logger.DownloadDelay = 200;
  logger.Colours[11] = 0x123456;
  writeFiles(1, logger);
  QByteArray before = FileBytes(dir.file("cfg/init.prm"));
  before[4 * 128 + 5] = 0x55;  // filler is undefined; the records the meter leaves keep theirs
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/init.prm"), before));
  makeWindow();
  OnModal(QStringLiteral("Dialog1"), [&](QWidget* d) {
    d->findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(0);
    d->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
  });
  trigger("Communication");
  QByteArray expected = before;
  expected[3 * 128] = 0;
  EXPECT_EQ(FileBytes(dir.file("cfg/init.prm")), expected);
  EXPECT_FALSE(window->port().isOpen());
}

TEST_F(MeterTest, CalculatorTogglesRefusesComputesAndStoresForTheNextFrame) {
  makeWindow();
  auto* storeCh = find<QComboBox>("StoreCh");
  trigger("Calculator");
  storeCh->setCurrentIndex(4);
  trigger("Calculator");
  EXPECT_TRUE(find<QWidget>("Calc")->isHidden());
  EXPECT_EQ(storeCh->currentText(), QStringLiteral("1"));
  trigger("Calculator");
  EXPECT_FALSE(find<QWidget>("Calc")->isHidden());

  trigger("mnu4");
  readFrame(Frame(0x0F, 100));
  prompt.clear();
  const char* inputs[][2] = {{"ValMeasMin", "1000"}, {"ValMeasMax", "3000"}, {"ValRealMin", "0.50"}, {"ValRealMax", "100"}};
  for (const auto& [box, value] : inputs) find(QLatin1String(box))->setText(QLatin1String(value));
  find<QPushButton>("Command1")->click();
  EXPECT_EQ(prompt.messageTexts(), QStringList{mmsg::kNonNumericRealMin});
  EXPECT_EQ(prompt.messages()[0].title, cmsg::kTitleErrorBang);
  EXPECT_EQ(text("ConfigMin"), QStringLiteral("0"));
  find(QStringLiteral("ValRealMin"))->setText(QStringLiteral("0"));
  find<QPushButton>("Command1")->click();
  EXPECT_EQ(text("ConfigMin"), QStringLiteral("-50"));
  EXPECT_EQ(text("ConfigMax"), QStringLiteral("154.75"));

  storeCh->setCurrentIndex(11);
  find<QPushButton>("Store")->click();
  EXPECT_EQ(text("Text1_23"), QStringLiteral("-2.15686274509804"));  // the old range until the next frame
  readFrame(Frame(0x0F, 100));
  EXPECT_EQ(text("Text1_23"), QStringLiteral("30.2941176470588"));  // -50 + 204.75 * 100 / 255
  EXPECT_EQ(text("Text1_22"), QStringLiteral("10"));
  EXPECT_EQ(window->config().channel[10].Max, 10);
}

}  // namespace
