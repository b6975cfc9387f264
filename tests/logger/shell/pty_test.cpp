// The logger's download road end to end: the main window on its real serial port,
// each port a logger-sim process on a pseudo-terminal pacing its bytes at 38400 baud.
#include "shell_fixture.h"

#include <QProcess>

using namespace shelltest;

namespace {

struct LoggerSim {
  QProcess process;
  explicit LoggerSim(const QString& link, QStringList args) {
    args << QStringLiteral("--link") << link;
    process.start(qEnvironmentVariable("VELKARO_PROGRAM_DIR") + QStringLiteral("/logger-sim"), args);
    process.waitForReadyRead(10000);  // it prints the pty once the link exists
  }
  ~LoggerSim() {
    process.terminate();
    process.waitForFinished(10000);
  }
};

class PtyDownload : public ShellTest {
 protected:
  // Port 1: a good logger with a one-minute flight on channels 1 and 2 at 10 Hz;
  // port 2: a logger that never answers.
  void SetUp() override {
    writeStartupFiles(1);
    common::PortMap map;
    map.path[1] = dir.file("good.tty");
    map.path[2] = dir.file("silent.tty");
    QString e;
    ASSERT_TRUE(common::WritePortMap(common::PortMapPathBeside(dir.file("cfg/init.prm")), map, &e));
    const QStringList flight = {"--pace", "real", "--channels", "1,2", "--rate", "10", "--seconds", "60"};
    good = std::make_unique<LoggerSim>(map.path[1], flight);
    silent = std::make_unique<LoggerSim>(map.path[2], flight + QStringList{"--fault", "silence"});
    // Real pacing; half the silence interval still spans nearly 2000 bytes, and leaves
    // room for a loaded machine or a sanitizer build.
    window = std::make_unique<shell::MainWindow>(prompt, dir.path(), common::PortControl::ChannelFactory{},
                                                 common::LinkTimings{}.scaled(0.5));
    ASSERT_TRUE(window->port().isOpen());
    prompt.clear();
  }
  void startDownload() {
    OnModal(QStringLiteral("Downl"), [](QWidget* d) {
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("DownLBp")), Qt::LeftButton);
    });
    trigger("mnu4");
  }
  bool waitForStatus(const QString& s) {
    return waitFor([&] { return text("Text2") == s && !prompt.busy; });
  }
  std::unique_ptr<LoggerSim> good;
  std::unique_ptr<LoggerSim> silent;
};

// Download pressed again mid-stream is refused and the log is whole; then a second
// download from a silent logger is no data, and the first log stays.
TEST_F(PtyDownload, ASecondDownloadMidStreamIsRefusedAndOneFromASilentLoggerIsNoData) {
  prompt.files = {dir.file("dlg/first.dlg")};
  startDownload();
  ASSERT_TRUE(waitFor([&] { return window->link().downloadBytesReceived() >= 100; }));
  QTimer::singleShot(500, [] {  // should the dialog open after all, the failure shows
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  trigger("mnu4");
  ASSERT_EQ(prompt.messageTexts(), QStringList{msg::kDownloadRunning});
  ASSERT_TRUE(waitForStatus(msg::kStatusReady));
  ASSERT_TRUE(window->session().loaded());
  const sim::GeneratedLog log = sim::GenerateFlight(0x03, 0, 5, 4711, 60);
  const logdata::SampleStore& s = window->store();
  ASSERT_EQ(s.SampleCount, log.sampleCount());
  EXPECT_EQ(s.ChannelMask, 0x0003);
  EXPECT_EQ(s.ConfigNumber, 4711);
  for (int c = 1; c <= 2; ++c)
    for (qint32 j = 0; j < log.sampleCount(); ++j)
      ASSERT_EQ(s.at(c - 1, j), log.samples[std::size_t(c - 1)][std::size_t(j)]) << c << " " << j;

  window->port().setPortNumber(2);  // the wrong port: nothing answers
  prompt.clear();
  prompt.files = {dir.file("dlg/second.dlg")};
  startDownload();
  ASSERT_TRUE(waitForStatus(msg::kStatusNoData));
  EXPECT_TRUE(prompt.records.empty());  // no save dialog for the old samples
  EXPECT_FALSE(QFile::exists(dir.file("dlg/second.dlg")));
  EXPECT_EQ(window->store().LoadedLogFile, dir.file("dlg/first.dlg"));
}

}  // namespace
