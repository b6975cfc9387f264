// logtool csv and crop on hand-written logs: the bytes, the configuration the logger
// would pick, and exit codes with nothing written on any failure.
#include "logger/logdata/hand_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using testing_support::RunTool;
using testing_support::ToolOutcome;

const QString kLogtool = QStringLiteral(VELKARO_LOGTOOL_PATH);

QByteArray Header(const QString& log, const char* name, const char* unit) {
  return "Generated from " + log.toLatin1() +
         "\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\nMIN\r\n ,0.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n"
         " ,2,0,0,0,0,0,0,0,0,0,0,0\r\nCycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n ," +
         name + ",,,,,,,,,,,\r\n ," + unit + ",,,,,,,,,,,\r\n";
}

class LogtoolExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Channels 1 and 5, two samples, FreqCode 3, configuration 77.
    ASSERT_TRUE(hand::WriteFile(log, hand::Dlg(2, 0x0011, 3, 77, {{1, 0, 0, 0, 5}, {-2, 0, 0, 0, 4095}})));
    ASSERT_TRUE(hand::WriteFile(dir.file("cfg/77.cfg"), hand::Cfg({{"Alt", 0.5, 2, "m", 1}}, 77)));
  }
  testing_support::ProgramDir dir;
  const QString log = dir.file("dlg/f.dlg");
  const QString out = dir.file("cap/o.out");
};

TEST_F(LogtoolExportTest, CsvNamesTheAbsoluteLogPath) {
  const QStringList args = {"csv", "dlg/f.dlg", "--from", "0", "--to", "1.4", "-o", "cap/o.out", "--cfg", "cfg/77.cfg"};
  const ToolOutcome r = RunTool(kLogtool, args, dir.path());
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(testing_support::FileBytes(out),
            Header(log, "Alt", "m") + " 0 ,1,0,0,0,5,0,0,0,0,0,0,0\r\n 1 ,-2,0,0,0,4095,0,0,0,0,0,0,0\r\n");
}

TEST_F(LogtoolExportTest, WithoutCfgTheLoggersChoice) {
  // logtool finds cfg/ beside itself, as the logger does beside its executable.
  const QString tool = dir.file("logtool");
  ASSERT_TRUE(QFile::copy(kLogtool, tool));
  const QStringList args = {"--from", "2", "--to", "1", "-o", out};
  ToolOutcome r = RunTool(tool, QStringList{"csv", log} + args);
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(testing_support::FileBytes(out), Header(log, "Alt", "m"));  // Start after End: the header alone

  const QString other = dir.file("dlg/g.dlg");
  ASSERT_TRUE(hand::WriteFile(other, hand::Dlg(0, 0x0001, 3, 78, {})));
  ASSERT_TRUE(hand::WriteFile(dir.file("cfg/config.cfg"), hand::Cfg({{"Base", 0.5, 2, "ft", 1}}, 0)));
  r = RunTool(tool, QStringList{"csv", other} + args);
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, "logtool: Config file '78.cfg' not found, config.cfg used instead\n");
  // An empty log: both ends clamp to its spare zero column.
  EXPECT_EQ(testing_support::FileBytes(out), Header(other, "Base", "ft") + " 0 ,0,0,0,0,0,0,0,0,0,0,0,0\r\n");

  ASSERT_TRUE(QFile::remove(dir.file("cfg/config.cfg")) && QFile::remove(out));
  EXPECT_EQ(RunTool(tool, QStringList{"csv", other} + args).status, 1);
  EXPECT_FALSE(QFile::exists(out));
}

TEST_F(LogtoolExportTest, CropClampsAsTheWindowDoes) {
  ToolOutcome r = RunTool(kLogtool, {"crop", log, "--from", "-5", "--to", "99999", "-o", out});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  // End clamps to the sample count: the last record is the store's spare zero column.
  EXPECT_EQ(hand::ReadFile(out), hand::Dlg(3, 0x0011, 3, 77, {{1, 0, 0, 0, 5}, {-2, 0, 0, 0, 4095}, {}}));
  r = RunTool(kLogtool, {"crop", log, "--from", "0.5", "--to", "1.5", "-o", out});  // halves to even: 0..2
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(hand::ReadFile(out).size(), 11u + 3 * 24);
}

TEST_F(LogtoolExportTest, FailuresWriteNothing) {
  ASSERT_TRUE(hand::WriteFile(dir.file("dlg/short.dlg"), hand::Dlg(5, 0x0001, 3, 77, {{1}})));
  const QString noFolder = dir.file("none/x.out");
  const struct {
    QStringList args;
    QString out;
    int status;
  } cases[] = {
      {{"csv", log, "--from", "x", "--to", "1"}, out, 2},
      {{"csv", log, "--from", "0", "--to", ""}, out, 2},
      {{"crop", log, "--from", "2", "--to", "1"}, out, 2},
      {{"crop", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/77.cfg")}, out, 2},
      {{"crop", log, "--from", "0"}, out, 2},
      {{"csv", "--from", "0", "--to", "1"}, out, 2},
      {{"csv", dir.file("dlg/none.dlg"), "--from", "0", "--to", "1"}, out, 1},
      {{"crop", dir.file("dlg/short.dlg"), "--from", "0", "--to", "1"}, out, 1},
      {{"csv", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/none.cfg")}, out, 1},
      {{"crop", log, "--from", "0", "--to", "1"}, noFolder, 1},
  };
  for (const auto& c : cases) {
    const QStringList args = c.args + QStringList{"-o", c.out};
    SCOPED_TRACE(args.join(' ').toStdString());
    const ToolOutcome r = RunTool(kLogtool, args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(QFile::exists(c.out));
  }
}

}  // namespace
