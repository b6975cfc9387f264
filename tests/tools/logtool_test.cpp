// Runs the built logtool on files written by hand.
#include "logger/logdata/image_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using testing_support::FileBytes;
using testing_support::WriteFileBytes;

namespace {

using Outcome = testing_support::ToolOutcome;

// The build names the executable; a test environment variable would depend on how
// CTest splits its environment list.
QString LogtoolPath() { return QStringLiteral(VELKARO_LOGTOOL_PATH); }

Outcome Logtool(const QStringList& args) { return testing_support::RunTool(LogtoolPath(), args); }

// Channels 1 and 5, two samples, FreqCode 3, configuration 77, and its configuration.
class LogtoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(log, hand::Dlg(2, 0x0011, 3, 77, {{1, 0, 0, 0, 5}, {-2, 0, 0, 0, 4095}})));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/77.cfg"), hand::Cfg({{"Alt", 0.5, 2, "m", 1}}, 77)));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/config.cfg"), hand::Cfg({{"Base", 0.5, 2, "ft", 1}}, 0)));
  }
  QString at(const QString& name) const { return dir.file("dlg/" + name); }
  testing_support::ProgramDir dir;
  const QString log = at("f.dlg");
  const QString out = dir.file("cap/o.out");
};

}  // namespace

// Each command's output, to standard output or to -o, as scripts read it. The copy of
// logtool finds cfg/ beside itself, as the logger does beside its executable; csv,
// stats and crop take the log's configuration as the logger would pick it.
TEST_F(LogtoolTest, EachCommandsOutput) {
  const QString tool = dir.file("logtool"), other = at("g.dlg"), cfg = dir.file("cfg/1234.cfg"),
                quoted = dir.file("cfg/q.cfg");
  ASSERT_TRUE(QFile::copy(LogtoolPath(), tool));
  ASSERT_TRUE(WriteFileBytes(at("a.dlg"), hand::Dlg(2, 0x0C03, 4, 1234, {{1}, {2}})));
  ASSERT_TRUE(WriteFileBytes(at("b.dlg"), hand::Dlg(0, 0x00AB, 3, -5, {})));
  ASSERT_TRUE(WriteFileBytes(other, hand::Dlg(0, 0x0001, 3, 78, {})));
  ASSERT_TRUE(WriteFileBytes(cfg, hand::Cfg({{"Pitot", 0, 4095, "V", 2}, {"Static", -10.5, 0.1, "kPa", 1.25}}, 1234)));
  ASSERT_TRUE(WriteFileBytes(quoted, hand::Cfg({{"Alt, \"baro\"", 0.5, 2, "m", 1}}, 0)));
  // Channel 12 only, one byte per record; last index 11: (11 - 8) / 1 - 1 = 2 samples.
  ASSERT_TRUE(WriteFileBytes(at("r.dlt"), hand::ToQ(hand::RawImage(0x0800, 25, {1, 2, 3, 4}))));
  QByteArray channels = "CH1\tPitot\t0\t4095\tV\t2\nCH2\tStatic\t-10.5\t0.1\tkPa\t1.25\n";
  for (int c = 3; c <= 12; ++c) channels += QStringLiteral("CH%1\t\t0\t0\t\t0\n").arg(c).toLatin1();
  const QByteArray low = "0.499267399267399", high = "0.5003663003663",
                   head = "channel,name,unit,samples,min,min_at,max,max_at,mean,rms\n";
  const struct {
    QStringList args;
    QByteArray expected;  // standard output, or the file with -o
    QString err = {};
  } cases[] = {
      {{"info", at("a.dlg")}, "samples: 2\nmask: 0x0C03\nfreqcode: 4\nrate: 12.5\nconfig: 1234\n"},
      {{"info", at("b.dlg")}, "samples: 0\nmask: 0x00AB\nfreqcode: 3\nrate: 16.6666666666667\nconfig: -5\n"},
      {{"cfg", cfg}, channels + "serial: 1234\n"},
      // Only row 12 is in the mask: it holds the records newest first.
      {{"decode", at("r.dlt"), "--config", "42", "--last-index", "11", "-o", out},
       hand::Dlg(2, 0x0800, 25, 42, [](int, qint32 j) { return qint16(2 - j); })},
      // The absolute path in the header. An empty log: both ends clamp to its spare zero
      // column. (The rows of a longer range: the export window's suite against logtool.)
      {{"csv", "dlg/g.dlg", "--from", "2", "--to", "1", "-o", out},
       "Generated from " + other.toLatin1() + "\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\nMIN\r\n"
       " ,0.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,2,0,0,0,0,0,0,0,0,0,0,0\r\nCycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11"
       "\r\n ,Base,,,,,,,,,,,\r\n ,ft,,,,,,,,,,,\r\n 0 ,0,0,0,0,0,0,0,0,0,0,0,0\r\n",
       "logtool: Config file '78.cfg' not found, config.cfg used instead\n"},
      {{"stats", "dlg/f.dlg"},
       head + "1,Alt,m,2," + low + ",1," + high + ",0,0.49981684981685,0.49981715182329\n5,,,2,0,0,0,0,0,0\n"},
      {{"stats", "dlg/f.dlg", "--from", "1", "--to", "1", "--cfg", quoted, "-o", out},
       head + "1,\"Alt, \"\"baro\"\"\",m,1," + low + ",1," + low + ",1," + low + "," + low + "\n5,,,1,0,1,0,1,0,0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    QFile::remove(out);
    const Outcome r = testing_support::RunTool(tool, c.args, dir.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(c.args.contains("-o") ? FileBytes(out) : r.out.toUtf8(), c.expected);
  }
}

// Wrong arguments exit 2 with the usage; damaged or missing files exit 1 with one line.
// Neither writes anything.
TEST_F(LogtoolTest, FailuresWriteNothing) {
  ASSERT_TRUE(WriteFileBytes(at("short.dlg"), hand::Dlg(5, 0x0001, 3, 77, {{1}}).chopped(4 * 24)));  // 1 of 5 samples
  ASSERT_TRUE(WriteFileBytes(at("r.dlt"), hand::ToQ(hand::RawImage(0x0800, 25, {1, 2, 3, 4}))));
  ASSERT_TRUE(WriteFileBytes(at("rate0.dlg"), hand::Dlg(5, 0x0001, 0, 77, {{1}})));
  ASSERT_TRUE(WriteFileBytes(at("rate0.dlt"), hand::ToQ(hand::RawImage(0x0800, 0, {1, 2, 3, 4}))));
  const std::pair<QStringList, int> cases[] = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"info", log, log}, 2},
      {{"cfg"}, 2},
      {{"decode", at("r.dlt"), "-o", out, "--last-index", "abc"}, 2},
      {{"csv", log, "--from", "x", "--to", "1", "-o", out}, 2},
      {{"crop", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/77.cfg"), "-o", out}, 2},
      {{"stats", log, "--to", "1.0"}, 2},
      {{"stats", log, "--to", "2", "-o", out}, 2},  // samples 0 and 1
      // The readers' own refusals are the log file suites'; here each command's exit 1.
      {{"info", at("rate0.dlg")}, 1},
      {{"decode", at("rate0.dlt"), "-o", out}, 1},
      {{"cfg", at("none.cfg")}, 1},
      {{"csv", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/none.cfg"), "-o", out}, 1},
      {{"crop", at("short.dlg"), "--from", "0", "--to", "1", "-o", out}, 1},
      {{"stats", log, "--cfg", dir.file("cfg/77.cfg"), "-o", dir.file("none/x.out")}, 1},
  };
  for (const auto& [args, status] : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const Outcome r = Logtool(args);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(status == 2 ? r.err.contains("usage: logtool") : r.err.startsWith("logtool: ") && r.err.count('\n') == 1)
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out) || QFile::exists(dir.file("none/x.out")));
  }
  EXPECT_TRUE(Logtool({"crop", at("short.dlg"), "--from", "0", "--to", "1", "-o", out}).err.contains(at("short.dlg")));
}
