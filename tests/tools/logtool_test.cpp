// Runs the built logtool on files written by hand.
#include "logger/logdata/hand_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using hand::Bytes;

namespace {

using Outcome = testing_support::ToolOutcome;

// The build names the executable; a test environment variable would depend on how
// CTest splits its environment list.
QString LogtoolPath() { return QStringLiteral(VELKARO_LOGTOOL_PATH); }

Outcome Logtool(const QStringList& args) { return testing_support::RunTool(LogtoolPath(), args); }

class LogtoolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(QFile::exists(LogtoolPath())) << LogtoolPath().toStdString(); }
  testing_support::ProgramDir dir;
  QString at(const QString& name) const { return dir.file("dlg/" + name); }
};

bool OneLine(const QString& text) { return text.endsWith('\n') && text.count('\n') == 1; }

}  // namespace

TEST_F(LogtoolTest, InfoPrintsTheHeader) {
  ASSERT_TRUE(hand::WriteFile(at("a.dlg"), hand::Dlg(2, 0x0C03, 4, 1234, {{1}, {2}})));
  const Outcome r = Logtool({"info", at("a.dlg")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "samples: 2\nmask: 0x0C03\nfreqcode: 4\nrate: 12.5\nconfig: 1234\n");
  EXPECT_EQ(r.err, "");

  ASSERT_TRUE(hand::WriteFile(at("b.dlg"), hand::Dlg(0, 0x00AB, 3, -5, {})));
  EXPECT_EQ(Logtool({"info", at("b.dlg")}).out,
            "samples: 0\nmask: 0x00AB\nfreqcode: 3\nrate: 16.6666666666667\nconfig: -5\n");
}

TEST_F(LogtoolTest, DamagedOrMissingFilesExitOneWithOneLine) {
  ASSERT_TRUE(hand::WriteFile(at("short.dlg"), hand::Dlg(5, 0x0001, 1, 0, {{1}, {2}})));
  const Outcome damaged = Logtool({"info", at("short.dlg")});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.out, "");
  EXPECT_TRUE(OneLine(damaged.err)) << damaged.err.toStdString();
  EXPECT_TRUE(damaged.err.contains(at("short.dlg")));

  const Outcome missing = Logtool({"cfg", at("none.cfg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(OneLine(missing.err)) << missing.err.toStdString();
}

TEST_F(LogtoolTest, WrongArgumentsExitTwoWithUsage) {
  ASSERT_TRUE(hand::WriteFile(at("r.dlt"), hand::RawImage(0x0800, 1, {1, 2, 3})));
  const QList<QStringList> cases = {
      {},
      {"frobnicate"},
      {"info"},
      {"info", at("a.dlg"), at("b.dlg")},
      {"decode", at("r.dlt")},
      {"decode", at("r.dlt"), "-o"},
      {"decode", at("r.dlt"), "-o", at("o.dlg"), "--last-index", "abc"},
      {"decode", at("r.dlt"), "-o", at("o.dlg"), "--config"},
      {"decode", at("r.dlt"), "-o", at("o.dlg"), "--colour", "3"},
      {"cfg"},
  };
  for (const QStringList& args : cases) {
    const Outcome r = Logtool(args);
    EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("usage: logtool")) << r.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(at("o.dlg")));
}

TEST_F(LogtoolTest, DecodeWritesTheDecodedLog) {
  // Channel 12 only, one byte per record; last index 13: (13 - 8) / 1 - 1 = 4 samples,
  // the last record in column 0.
  ASSERT_TRUE(hand::WriteFile(at("r.dlt"), hand::RawImage(0x0800, 25, {1, 2, 3, 4})));
  Outcome r = Logtool({"decode", at("r.dlt"), "-o", at("o.dlg")});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(hand::ReadFile(at("o.dlg")),
            hand::Dlg(4, 0x0800, 25, 0, {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4},
                                         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3},
                                         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2},
                                         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}));

  r = Logtool({"decode", at("r.dlt"), "--config", "42", "--last-index", "11", "-o", at("p.dlg")});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(hand::ReadFile(at("p.dlg")),
            hand::Dlg(2, 0x0800, 25, 42, {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2},
                                          {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}));

  r = Logtool({"decode", at("r.dlt"), "--last-index", "40", "-o", at("q.dlg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(OneLine(r.err)) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(at("q.dlg")));
}

TEST_F(LogtoolTest, CfgListsChannelsAndSerial) {
  const QString path = dir.file("cfg/1234.cfg");
  ASSERT_TRUE(hand::WriteFile(path, hand::Cfg({{"Pitot", 0, 4095, "V", 2}, {"Static", -10.5, 0.1, "kPa", 1.25}}, 1234)));
  const Outcome r = Logtool({"cfg", path});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  QString expected = "CH1\tPitot\t0\t4095\tV\t2\nCH2\tStatic\t-10.5\t0.1\tkPa\t1.25\n";
  for (int c = 3; c <= 12; ++c) expected += QStringLiteral("CH%1\t\t0\t0\t\t0\n").arg(c);
  expected += "serial: 1234\n";
  EXPECT_EQ(r.out, expected);
}
