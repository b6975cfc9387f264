// End to end: the meter window on its real serial port, logger-sim on a pseudo-terminal.
#include "common/link_support.h"
#include "common/messages.h"
#include "meter/ui/mainwindow.h"
#include "support/test_paths.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(MeterPty, LiveFramesFromLoggerSimUntilItIsKilled) {
  testing_support::ProgramDir dir;
  QProcess sim;
  sim.start(qEnvironmentVariable("VELKARO_PROGRAM_DIR") + "/logger-sim",
            {"--serial", "12345", "--channels", "1,2,3,4,5,6,7,8,9,10,11,12", "--live-ms", "20"});
  ASSERT_TRUE(sim.waitForStarted(10000) && sim.waitForReadyRead(10000));
  common::Settings settings;
  settings.PortNumber = 2;
  common::PortMap map;
  map.path[2] = QString::fromLocal8Bit(sim.readLine()).trimmed();
  ASSERT_TRUE(common::WriteSettings(dir.file("cfg/init.prm"), settings, nullptr) &&
              common::WritePortMap(dir.file("cfg/ports.txt"), map, nullptr));

  testing_support::FakePrompt prompt;
  meter::MainWindow window(prompt, dir.path(), {}, common::LinkTimings{}.scaled(0.1));
  window.findChild<QAction*>(QStringLiteral("mnu4"))->trigger();
  QSet<QString> seen;  // channel 1 as frame after frame shows it
  ASSERT_TRUE(link_test::WaitFor([&] {
    seen << window.findChild<QLineEdit*>(QStringLiteral("Text1_0"))->text();
    return seen.size() >= 4;  // the empty box and three values
  }));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Text7"))->text(), QStringLiteral("12345"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Meter - 12345.cfg"));

  sim.kill();
  sim.waitForFinished(10000);
  ASSERT_TRUE(link_test::WaitFor([&] { return prompt.messageTexts().contains(common::msg::kConnectionTimeout); }));
  EXPECT_TRUE(link_test::WaitFor([&] { return !window.port().isOpen(); }));  // the hung-up line is let go
}

}  // namespace
