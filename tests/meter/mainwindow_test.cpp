// The meter window on the in-process simulator.
#include "common/link_support.h"
#include "support/fake_prompt.h"
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
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

namespace cmsg = common::msg;
using link_test::WaitFor;
using testing_support::FileBytes;
using testing_support::OnModal;

// Start byte, 27 data bytes, end mark; no data byte is 0xF0, so nothing is stuffed.
// Channel 1 is 0x0F 0xFF, channels 2 to 9 are 256, 10 is 512, 11 is 255; extra 0x80 0x01.
QByteArray Frame(int ch12, int serialLow = 0x39, int serialHigh = 0) {
  QByteArray f("\xFF\x0F\xFF", 3);
  for (int c = 2; c <= 9; ++c) f += QByteArray("\x01\x00", 2);
  return f + QByteArray("\x02\x00\xFF", 3) + char(ch12) + "\x80\x01" + char(serialLow) + '\x30' + char(serialHigh) +
         "\xF0\xFF";
}

common::ChannelConfiguration Config(const QString& name) {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) c.channel[std::size_t(i)] = {name + QString::number(i + 1), -10, 10, name.toLower(), 0};
  c.ConfigNumber = 77;
  return c;
}

class MeterTest : public ::testing::Test {
 protected:
  // Frames come when injected, and the watchdog is far off, unless a test wants the simulator's.
  void SetUp() override {
    common::Settings s;
    s.PortNumber = 1;  // every port is the simulator (makeWindow)
    ASSERT_TRUE(common::WriteSettings(dir.file("cfg/init.prm"), s, nullptr));
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/ports.txt"), "1=/dev/pts/77\n"));
    writeConfig("config.cfg", Config("Cfg"));
    simulator.setLiveInterval(10000000);
  }
  void writeConfig(const QString& name, const common::ChannelConfiguration& c) {
    ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/" + name), c, nullptr));
  }
  void makeWindow() {
    window = std::make_unique<meter::MainWindow>(prompt, dir.path(), [this](int, const QString&) {
      auto ch = std::make_unique<sim::SimChannel>(simulator);
      ch->setOpenFails(openFails);
      return std::unique_ptr<common::ByteChannel>(std::move(ch));
    }, timings);
  }
  template <typename T = QLineEdit>
  T* find(const char* name) { return window->findChild<T*>(QLatin1String(name)); }
  QString text(const char* name) { return find(name)->text(); }
  QString label(const char* name) { return find<QLabel>(name)->text(); }
  void trigger(const char* name) { find<QAction>(name)->trigger(); }
  void readFrame(const QByteArray& frame, const QString& serial = QStringLiteral("12345")) {
    find("Text7")->clear();
    simulator.inject(frame);
    ASSERT_TRUE(WaitFor([&] { return text("Text7") == serial; }));
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  sim::Simulator simulator;
  bool openFails = false;
  common::LinkTimings timings = common::LinkTimings{}.scaled(10);
  std::unique_ptr<meter::MainWindow> window;
};

// The port path is the port map's; the service key shows the extra value for good. Each read's first
// frame names the logger: its own file in any letter case, else config.cfg and a word why; a damaged
// config.cfg leaves the configuration in use.
TEST_F(MeterTest, StartUpServiceKeyThenTheFirstFrameTakesTheLoggersFileOrSaysWhyNot) {
  makeWindow();
  EXPECT_EQ(window->windowTitle(), cmsg::kTitleMeter);
  EXPECT_EQ(window->port().devicePath(), QStringLiteral("/dev/pts/77"));
  QTest::keyClick(find("Text7"), Qt::Key_A);  // not the service key
  for (const char* hidden : {"text6", "Label14", "Calc"}) EXPECT_TRUE(find<QWidget>(hidden)->isHidden()) << hidden;
  QTest::keyClick(find("Text7"), Qt::Key_G, Qt::ControlModifier);  // the service key, for good
  QTest::keyClick(find("Text7"), Qt::Key_A);
  EXPECT_FALSE(find<QWidget>("Label14")->isHidden() || find<QWidget>("text6")->isHidden());
  trigger("mnu4");
  readFrame(Frame(7));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Meter - 12345.cfg"));
  EXPECT_EQ(prompt.messageTexts(), QStringList{cmsg::MeterConfigMissing(12345)});
  // The frame's layout; the scaled values are the live display's.
  const char* shown[][2] = {{"Text1_0", "4095"}, {"Text1_9", "512"}, {"Text1_10", "255"}, {"Text1_11", "7"}, {"text6", "32769"}};
  for (const auto& [box, value] : shown) EXPECT_EQ(text(box), QLatin1String(value)) << box;

  writeConfig("12345.CFG", Config("Own"));
  prompt.clear();
  trigger("mnu4");
  readFrame(Frame(7));
  EXPECT_TRUE(prompt.records.empty());
  EXPECT_EQ(label("Label2_0") + label("Label20_0"), QStringLiteral("Own1own"));
  QFile::resize(dir.file("cfg/config.cfg"), 100);  // no 12346.cfg and a damaged fallback
  trigger("mnu4");
  readFrame(Frame(7, 0x3A, 0x01), QStringLiteral("77882"));
  ASSERT_EQ(prompt.messages().size(), 2u);
  EXPECT_EQ(prompt.messageTexts()[0], cmsg::MeterConfigMissing(77882));
  EXPECT_EQ(prompt.messages()[1].title, cmsg::kTitleError);
  EXPECT_TRUE(prompt.messages()[1].text.contains(dir.file("cfg/config.cfg")));
  EXPECT_EQ(label("Label2_0"), QStringLiteral("Own1"));  // the configuration in use stays
}

// The error and the comm dialog come over the shown window, which closes afterwards whether the
// dialog was cancelled or found the port. The meter's records written, the logger's keep every byte.
TEST_F(MeterTest, AFailingPortOffersTheDialogOverTheWindowMissingFilesAreNamed) {
  QByteArray prm = FileBytes(dir.file("cfg/init.prm"));
  prm[4 * 128 + 5] = 0x55;  // filler is undefined; the records the meter leaves keep theirs
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/init.prm"), prm));
  for (const QString button : {"CancelButton", "OKButton"}) {
    prompt.clear();
    openFails = true;
    QStringList beforeDialog;
    bool overTheWindow = false;
    OnModal(QStringLiteral("Dialog1"), [&](QWidget* d) {
      beforeDialog = prompt.messageTexts(), overTheWindow = d->parentWidget()->isVisible(), openFails = false;
      d->findChild<QPushButton*>(button)->click();
    });
    makeWindow();
    EXPECT_EQ(label("Label2_0"), QStringLiteral("Cfg1"));  // the configuration is read all the same
    window->show();
    ASSERT_TRUE(WaitFor([&] { return !beforeDialog.isEmpty(); })) << button.toStdString();
    EXPECT_EQ(beforeDialog, QStringList{cmsg::kCommPortError});
    EXPECT_TRUE(overTheWindow);
    if (button == "OKButton") trigger("mnu4"), readFrame(Frame(7));
    EXPECT_TRUE(window->close() && !window->isVisible());
  }
  EXPECT_EQ(FileBytes(dir.file("cfg/init.prm")), prm);

  prompt.clear();
  ASSERT_TRUE(QFile::remove(dir.file("cfg/init.prm")) && QFile::remove(dir.file("cfg/config.cfg")));
  makeWindow();
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_TRUE(prompt.messages()[0].text.contains("init.prm") && prompt.messages()[0].text.contains("config.cfg"));
}

// The watchdog is short here: a loaded machine may let it fire between two frames now
// and then, so the checks count only the messages that follow each step.
TEST_F(MeterTest, SecondReadRestartsAMessageIsNoSilenceSilenceEndsAndAFailedReadEndsTheLast) {
  simulator.setLiveInterval(5);
  timings = link_test::FastTimings();
  makeWindow();
  trigger("mnu4");
  ASSERT_TRUE(WaitFor([&] { return text("Text7") == "4711"; }));
  std::size_t afterMessage = 0;
  prompt.onPrompt = [&](const testing_support::PromptRecord& r) {
    if (r.text != cmsg::MeterConfigMissing(4711)) return;
    // While the user reads, one more frame comes and then the logger falls silent:
    // neither shows nor ends anything until the message is answered.
    const std::size_t shown = prompt.messages().size();
    simulator.setLiveInterval(10000000);
    simulator.inject(Frame(7, 0x3A));
    QTest::qWait(10 * timings.liveWatchdog);
    afterMessage = prompt.messages().size();
    EXPECT_EQ(afterMessage, shown);
    EXPECT_EQ(text("Text7"), QStringLiteral("4711"));
  };
  trigger("mnu4");
  EXPECT_EQ(simulator.received().count(char(0xAA)), 2);
  ASSERT_TRUE(WaitFor([&] { return afterMessage > 0 && prompt.messages().size() > afterMessage; }));
  EXPECT_EQ(prompt.messages().back().title + prompt.messages().back().text, cmsg::kTitleError + cmsg::kConnectionTimeout);

  simulator.setLiveInterval(5);  // frames again, and a read that cannot open the port
  const int sent = simulator.liveFramesSent();
  ASSERT_TRUE(WaitFor([&] { return simulator.liveFramesSent() > sent + 2; }));
  const qsizetype before = prompt.messages().size();
  openFails = true;
  trigger("mnu4");
  QTest::qWait(5 * timings.liveWatchdog);
  const QStringList after = prompt.messageTexts().mid(before);
  ASSERT_EQ(after.size(), 1);
  EXPECT_EQ(after[0].section('\n', 0, 0), cmsg::kCommError);
  EXPECT_FALSE(after[0].section('\n', 1).isEmpty());  // the port's own words below
}

TEST_F(MeterTest, EditorSavesTheLoggersNumberAndRefreshesLabelsAndTitle) {
  makeWindow();
  auto saveAs = [&](const QString& file) {
    OnModal(QStringLiteral("Config"), [&](QWidget* w) {
      w->findChild<QLineEdit*>(QStringLiteral("Unit_2"))->setText(QStringLiteral("degC"));
      prompt.files.push_back(dir.file(file));
      w->findChild<QPushButton*>(QStringLiteral("SaveAsCfg"))->click();
    });
    trigger("mnu5");
    return FileBytes(dir.file(file)).mid(70 * 128);  // record 71
  };
  // Before any frame the configuration keeps its own number.
  EXPECT_EQ(saveAs(QStringLiteral("cfg/a.cfg")), QByteArray("\x4D\x00\x00\x00", 4));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("VELKARO  -   - A.CFG"));
  EXPECT_EQ(label("Label20_2"), QStringLiteral("degC"));
  trigger("mnu4");
  readFrame(Frame(7));
  EXPECT_EQ(saveAs(QStringLiteral("cfg/b.cfg")), QByteArray("\x39\x30\x00\x00", 4));
}

TEST_F(MeterTest, CalculatorTogglesRefusesComputesAndStoresForTheNextFrameUntilAReadDiscardsIt) {
  writeConfig("12345.cfg", Config("Own"));
  makeWindow();
  auto* storeCh = find<QComboBox>("StoreCh");
  trigger("Calculator");
  storeCh->setCurrentIndex(4);
  trigger("Calculator");
  EXPECT_TRUE(find<QWidget>("Calc")->isHidden());
  trigger("Calculator");
  EXPECT_FALSE(find<QWidget>("Calc")->isHidden() || storeCh->currentText() != "1");

  trigger("mnu4");
  readFrame(Frame(200));
  const char* inputs[][2] = {{"ValMeasMin", "50"}, {"ValMeasMax", "200"}, {"ValRealMin", "0.50"}, {"ValRealMax", "85"}};
  for (const auto& [box, value] : inputs) find(box)->setText(QLatin1String(value));
  find<QPushButton>("Command1")->click();
  EXPECT_EQ(prompt.said(), QStringList{cmsg::kTitleErrorBang + ": " + meter::msg::kNonNumericRealMin});
  find("ValRealMin")->setText(QStringLiteral("10"));
  find<QPushButton>("Command1")->click();
  storeCh->setCurrentIndex(11);  // channel 12's full scale is 255
  EXPECT_EQ(text("ConfigMin") + " " + text("ConfigMax"), QStringLiteral("-15 112.5"));
  find<QPushButton>("Store")->click();
  EXPECT_EQ(text("Text1_23"), QStringLiteral("5.68627450980392"));  // the old range until the next frame
  readFrame(Frame(200));
  EXPECT_EQ(text("Text1_23"), QStringLiteral("85"));

  // Every read loads the logger's file; the unsaved range goes only when the user says so.
  const std::tuple<std::deque<common::PromptAnswer>, qsizetype, const char*> reads[] = {
      {{}, 1, "85"}, {{common::PromptAnswer::Yes}, 1, "5.68627450980392"}, {{}, 0, "5.68627450980392"}};
  for (const auto& [answers, asked, value] : reads) {
    prompt.clear();
    prompt.answers = answers;
    trigger("mnu4");
    readFrame(Frame(200));
    EXPECT_EQ(prompt.messageTexts().count(meter::msg::kDiscardStoredRanges), asked);
    EXPECT_EQ(text("Text1_23"), QLatin1String(value));
  }
}

// Recording into cap/ (made when missing) from the next frame on, each frame by the range in use
// then; a write failure ends the recording and the display goes on.
TEST_F(MeterTest, RecordingTakesEachFrameByTheRangeOfItsTimeAndStopsOnAWriteFailure) {
  ASSERT_TRUE(QDir(dir.file("cap")).removeRecursively());
  makeWindow();
  trigger("mnu4");
  readFrame(Frame(200));
  prompt.files = {dir.file("cap/run")};
  trigger("mnuRecord");
  EXPECT_EQ(prompt.records.back().text, dir.file("cap"));
  const QString path = dir.file("cap/run.csv");
  readFrame(Frame(200));
  window->config().channel[11].Max = 20;
  readFrame(Frame(200));
  EXPECT_EQ(label("RecordStatus"), meter::msg::RecordingRuns("run.csv", 2));
  QList<QByteArray> lines = FileBytes(path).split('\n');
  ASSERT_EQ(lines.size(), 4);  // the header, two frames, nothing after the last LF
  EXPECT_TRUE(lines[1].startsWith("0.000,12345,4095,") && lines[1].endsWith(",5.68627450980392"));
  EXPECT_TRUE(lines[2].endsWith(",13.5294117647059"));

  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit full{rlim_t(QFileInfo(path).size()), old.rlim_max};
  setrlimit(RLIMIT_FSIZE, &full);
  readFrame(Frame(9));
  setrlimit(RLIMIT_FSIZE, &old);
  ASSERT_EQ(prompt.messages().size(), 2u);
  EXPECT_TRUE(prompt.messages()[1].text.startsWith("'" + path + "'"));
  EXPECT_EQ(label("RecordStatus"), meter::msg::RecordingEnded("run.csv", 2));
  EXPECT_FALSE(find<QAction>("mnuStopRecord")->isEnabled());
  readFrame(Frame(11));
  EXPECT_EQ(text("Text1_11"), QStringLiteral("11"));
  EXPECT_EQ(FileBytes(path).count('\n'), 3);
}

}  // namespace
