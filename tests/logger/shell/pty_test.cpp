// The logger's download road end to end: the main window on its real serial port, which
// the port map names, and a logger-sim process on a pseudo-terminal pacing its bytes at
// 38400 baud. (Refusals and silent loggers are the in-process suites'.)
#include "shell_fixture.h"

#include <QProcess>

using namespace shelltest;

namespace {

TEST_F(ShellTest, PtyDownloadOfAOneMinuteFlightGivesItsSamples) {
  writeStartupFiles(1);
  common::PortMap map;
  map.path[1] = dir.file("good.tty");
  ASSERT_TRUE(common::WritePortMap(common::PortMapPathBeside(dir.file("cfg/init.prm")), map, nullptr));
  QProcess sim;
  sim.start(qEnvironmentVariable("VELKARO_PROGRAM_DIR") + QStringLiteral("/logger-sim"),
            {"--pace", "real", "--channels", "1,2", "--rate", "10", "--seconds", "60", "--link", map.path[1]});
  ASSERT_TRUE(sim.waitForReadyRead(10000));  // it prints the pty once the link exists
  // Real pacing; half the silence interval still spans nearly 2000 bytes, and leaves
  // room for a loaded machine or a sanitizer build.
  window = std::make_unique<shell::MainWindow>(prompt, dir.path(), common::PortControl::ChannelFactory{},
                                               common::LinkTimings{}.scaled(0.5));
  ASSERT_TRUE(window->port().isOpen());
  prompt.clear();
  prompt.files = {dir.file("dlg/first.dlg")};
  OnModal(QStringLiteral("Downl"), [](QWidget* d) {
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("DownLBp")), Qt::LeftButton);
  });
  trigger("mnu4");
  ASSERT_TRUE(waitFor([&] { return text("Text2") == msg::kStatusReady && !prompt.busy; }));
  ASSERT_TRUE(window->session().loaded());
  EXPECT_EQ(window->store().LoadedLogFile, dir.file("dlg/first.dlg"));
  const sim::GeneratedLog log = sim::GenerateFlight(0x03, 0, 5, 4711, 60);
  const logdata::SampleStore& s = window->store();
  ASSERT_EQ(s.SampleCount, log.sampleCount());
  EXPECT_EQ(s.ChannelMask, 0x0003);
  EXPECT_EQ(s.ConfigNumber, 4711);
  for (int c = 1; c <= 2; ++c)
    for (qint32 j = 0; j < log.sampleCount(); ++j)
      ASSERT_EQ(s.at(c - 1, j), log.samples[std::size_t(c - 1)][std::size_t(j)]) << c << " " << j;
  window.reset();
  sim.terminate();
  sim.waitForFinished(10000);
}

}  // namespace
