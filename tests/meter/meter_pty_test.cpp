#include "common/link_support.h"
#include "common/messages.h"
#include "meter/ui/mainwindow.h"
#include "support/fake_prompt.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using testing_support::FileBytes;

// The meter window on its real serial port: frames until the logger dies, then the
// time-out and the hung-up line let go.
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

// logtool live on logger-sim over a pseudo-terminal: refused arguments and ports leave no file;
// every frame printed is on disk at once; when the logger dies the recording ends with the time-out.
TEST(MeterPty, LogtoolLiveRecordsEveryFrameUntilTheLoggerIsKilled) {
  testing_support::ProgramDir dir;
  const QString logtool = QStringLiteral(VELKARO_LOGTOOL_PATH), out = dir.file("cap/live.csv");
  auto live = [&](const QStringList& args) { return QStringList{"live", "-o", out, "--cfg", dir.file("cfg")} + args; };
  QProcess sim;
  sim.start(qEnvironmentVariable("VELKARO_PROGRAM_DIR") + "/logger-sim", {"--live-ms", "20"});
  ASSERT_TRUE(sim.waitForStarted(10000) && sim.waitForReadyRead(10000));
  const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
  const std::pair<QStringList, int> refused[] = {{{"--port", dir.file("none"), "--frames", "3"}, 1},
                                                 {{"--port", port, "--frames", "3", "--seconds", "1"}, 2},
                                                 {{"--port", port}, 2}};
  for (const auto& [args, status] : refused) {
    SCOPED_TRACE(args.join(' ').toStdString());
    EXPECT_EQ(testing_support::RunTool(logtool, live(args)).status, status);
    EXPECT_FALSE(QFileInfo::exists(out));
  }
  auto rows = [&] {
    const QList<QByteArray> lines = FileBytes(out).split('\n');
    for (const QByteArray& l : lines.mid(1, lines.size() - 2)) EXPECT_EQ(l.count(','), 25) << l.constData();
    EXPECT_TRUE(lines.last().isEmpty());  // nothing after the last LF
    return lines.size() - 2;
  };
  EXPECT_EQ(testing_support::RunTool(logtool, live({"--port", port, "--frames", "3"})).status, 0);
  EXPECT_EQ(rows(), 3);

  QFile::remove(out);
  QProcess writer;
  writer.start(logtool, live({"--port", port, "--seconds", "600"}));
  qsizetype printed = 0;  // logtool prints a frame once the file holds it
  ASSERT_TRUE(link_test::WaitFor([&] { return (printed += writer.readAllStandardOutput().count('\n')) > 5; }));
  EXPECT_GE(rows(), printed);  // on disk while logtool still runs, not only at its end
  sim.kill();
  ASSERT_TRUE(writer.waitForFinished(20000));
  printed += writer.readAllStandardOutput().count('\n');
  EXPECT_EQ(rows(), printed);
  EXPECT_EQ(writer.exitCode(), 1);
  EXPECT_TRUE(writer.readAllStandardError().contains("Connection timeout"));
  sim.waitForFinished(10000);
}

}  // namespace
