#include "common/link_support.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using testing_support::FileBytes;

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
