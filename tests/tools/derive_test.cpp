// `logtool derive` run as a script runs it: a copy of the built logtool in a program
// directory of its own, logs and configurations written by hand, the CSV read back.
#include "common/messages.h"
#include "support/hand_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>
#include <gtest/gtest.h>

namespace {

namespace msg = common::msg;

// Channel 5 at 1 mbar per count from `min5`, channel 6 at 0.075 mbar per count.
QByteArray PressureCfg(double min5) {
  return hand::Cfg({{}, {}, {}, {}, {"Static", min5, min5 + 4095, "mbar", 4095}, {"Total", 0, 307.125, "mbar", 4095}}, 4711);
}

// (raw 5, raw 6) per sample, 0.1 s apart, serial number 4711.
QByteArray PressureLog(const std::vector<std::pair<qint16, qint16>>& samples) {
  std::vector<std::vector<qint16>> columns;
  for (auto [s, t] : samples) columns.push_back({0, 0, 0, 0, s, t});
  return hand::Dlg(qint32(samples.size()), 0x0030, 5, 4711, columns);
}

class DeriveTest : public ::testing::Test {
 protected:
  // Zero levels at sample 0: 1000 and 150 mbar. Sample 1: ALT 879.454 m, IAS sqrt(1000)
  // m/s from the zero level; sample 2 below it; sample 3 at 0 mbar static. config.cfg
  // reads channel 5 100 mbar higher.
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKARO_LOGTOOL_PATH), tool));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::permissions(tool) | QFileDevice::ExeOwner));
    ASSERT_TRUE(testing_support::WriteFileBytes(log, PressureLog({{1000, 2000}, {900, 2081}, {1000, 1990}, {0, 2000}})));
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/4711.cfg"), PressureCfg(0)));
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/config.cfg"), PressureCfg(100)));
  }
  // Exit status and standard error; standard output stays empty.
  std::pair<int, QString> run(const QStringList& args, const QString& command = "derive") {
    const auto r = testing_support::RunTool(tool, QStringList{command} + args);
    EXPECT_EQ(r.out, "");
    // Qt's GUI start-up may warn of a missing runtime folder: not logtool's to say.
    static const QRegularExpression qtNote("^QStandardPaths: [^\\n]*\\n");
    return {r.status, QString(r.err).remove(qtNote)};
  }
  std::vector<double> column(int col) {
    std::vector<double> v;
    const QStringList lines = QString::fromLatin1(testing_support::FileBytes(out)).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) v.push_back(line.split(',').value(col).toDouble());
    return v;
  }

  testing_support::ProgramDir dir;
  QString tool = dir.file("logtool"), log = dir.file("dlg/flight.dlg"), out = dir.file("cap/flight.csv");
};

TEST_F(DeriveTest, EachReferenceAndUnitSampleBySample) {
  const double root = 31.6227766, ceiling = 44307.694, alt = 879.45399;
  const struct {
    QStringList args;
    const char* header;
    std::vector<double> speed, altitude;  // samples 0..3
  } cases[] = {
      {{"--ref", "bias"}, "IAS m/s,ALT m", {0, root, 0, 0}, {0, alt, 0, ceiling}},
      {{"--unit", "3", "--ref", "bias"}, "IAS kt,ALT feet", {0, 61.4697601, 0, 0}, {0, 2885.34772, 0, 145366.45}},
      // The same sample less the sensors' offset, 150 - 1000 mbar (the default).
      {{}, "IAS m/s,ALT m", {0, 132.139719, 0, 405.720413}, {0, alt, 0, ceiling}},
      // 0.75 mbar below channel 6's zero level: q 75 Pa at sample 0.
      {{"--ref", "user", "--pressure", "149.25"}, "IAS m/s,ALT m", {11.1111111, 33.5180189, 0, 11.1111111},
       {0, alt, 0, ceiling}},
      // The configuration --cfg names in place of the log's own (whose lookup csv's suite
      // holds): channel 5 100 mbar higher, sample 3 at 100 of 1100 mbar.
      {{"--cfg", dir.file("cfg/config.cfg"), "--ref", "bias"}, "IAS m/s,ALT m", {0, root, 0, 0},
       {0, 796.321566, 0, 16232.7578}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const auto [status, err] = run(QStringList{log, "--zero", "0"} + c.args + QStringList{"-o", out});
    ASSERT_EQ(status, 0) << err.toStdString();
    EXPECT_EQ(err, QString());
    const QByteArray text = testing_support::FileBytes(out);
    EXPECT_TRUE(text.startsWith("sample,seconds," + QByteArray(c.header) + "\n0,0,")) << text.toStdString();
    EXPECT_EQ(column(1), (std::vector<double>{0, 0.1, 0.2, 0.3}));
    for (int j = 0; j < 4; ++j) {  // seven significant digits at least
      EXPECT_NEAR(column(2)[std::size_t(j)], c.speed[std::size_t(j)], 1e-6 * std::max(1.0, c.speed[std::size_t(j)]));
      EXPECT_NEAR(column(3)[std::size_t(j)], c.altitude[std::size_t(j)], 1e-6 * std::max(1.0, c.altitude[std::size_t(j)]));
    }
  }
}

// The static sensor drifts 1 mbar a sample down between the readings at samples 1 and
// 5 while the pressure stays at 1000 mbar: no correction up to sample 1, 4 mbar from
// sample 5 on. Sample 2 reads 2 mbar high, sample 7 4 mbar low.
TEST_F(DeriveTest, DriftBetweenTheReadingsAndAfterThem) {
  ASSERT_TRUE(testing_support::WriteFileBytes(log, PressureLog({{1000, 2000}, {1000, 2000}, {1001, 2000}, {998, 2000},
                                                {997, 2000}, {996, 2000}, {996, 2000}, {992, 2000}})));
  ASSERT_EQ(run({log, "--zero", "1", "--second", "5", "-o", out}).first, 0);
  const double expected[] = {0, 0, -16.8484534, 0, 0, 0, 0, 33.7789271};
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(column(3).at(std::size_t(j)), expected[j], 1e-6) << j;
}

// Failures write nothing: an earlier output stays as it was. report refuses what derive
// refuses, and a range as stats does; a report it could not write whole is not written.
TEST_F(DeriveTest, FailuresExitOneOrTwoAndLeaveTheOutputAlone) {
  ASSERT_TRUE(testing_support::WriteFileBytes(out, "old"));
  const QString noZero = dir.file("dlg/nozero.dlg"), damaged = dir.file("dlg/damaged.dlg");
  ASSERT_TRUE(testing_support::WriteFileBytes(noZero, PressureLog({{1000, 2000}, {1000, 0}})));  // channel 6 at 0 mbar
  QByteArray bytes = PressureLog({{1000, 2000}, {900, 2081}});
  bytes.chop(3);
  ASSERT_TRUE(testing_support::WriteFileBytes(damaged, bytes));
  const struct {
    QStringList args;
    int status;
    QString err;
    const char* commands = "derive report";
  } cases[] = {
      {{noZero, "--zero", "1"}, 1, msg::kSetZeroLevels + "\n"},
      {{damaged, "--zero", "0"}, 1, ""},
      {{log, "--zero", "4"}, 2, "logtool: " + msg::SampleOutsideLog(4, 4) + "\n"},
      {{log}, 2, "", "derive"},
      {{log, "--second", "1"}, 2, ""},
      {{log, "--zero", "0", "--ref", "pitot"}, 2, ""},
      {{log, "--zero", "0", "--pressure", "1e39"}, 2, ""},  // beyond any float
      {{log, "--from", "1x"}, 2, "logtool: " + msg::kNonNumericStart + "\n", "report"},
      {{log, "--from", "2", "--to", "1"}, 2, "logtool: " + msg::kStatsStartAfterEnd + "\n", "report"},
      {{log, "--cfg", dir.file("cfg/none.cfg")}, 1, "logtool: ", "report"},
  };
  for (const auto& c : cases) {
    for (const QString& command : QString(c.commands).split(' ')) {
      SCOPED_TRACE((command + ' ' + c.args.join(' ')).toStdString());
      const auto [status, err] = run(c.args + QStringList{"-o", out}, command);
      EXPECT_EQ(status, c.status);
      // A message of its own where one is given; the usage line after every exit 2.
      EXPECT_TRUE(err.startsWith(c.err)) << err.toStdString();
      EXPECT_EQ(err.contains("usage: logtool " + command), status == 2) << err.toStdString();
      EXPECT_EQ(testing_support::FileBytes(out), QByteArray("old"));
    }
  }
  EXPECT_EQ(run({log, "--zero", "0"}).first, 2);  // no -o

  // A report cut short by a full disk (a file-size limit stands in for it) fails.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int status = run({log, "-o", out}, "report").first;
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(testing_support::FileBytes(out), QByteArray("old"));
}

// The report read back by poppler's tools: real text with the numbers of stats and derive.
TEST_F(DeriveTest, ReportPdfReadsBack) {
  const QString pdf = dir.file("cap/r.pdf");
  ASSERT_EQ(run({log, "--zero", "0", "--from", "1", "-o", pdf}, "report"), std::make_pair(0, QString()));
  const auto info = testing_support::RunTool("pdfinfo", {pdf});
  const auto text = testing_support::RunTool("pdftotext", {"-layout", pdf, "-"});
  if (info.status < 0 || text.status < 0) GTEST_SKIP() << "poppler-utils are not installed";
  EXPECT_TRUE(info.out.contains(QRegularExpression("Pages: +2\n"))) << info.out.toStdString();
  EXPECT_TRUE(info.out.contains("(A4)")) << info.out.toStdString();
  const QString page = text.out.simplified();
  // Samples 1..3: channel 5 at 900, 1000, 0 mbar; the altitude as the table's float holds it.
  // (Each row's layout is the report suite's.)
  const QString expected[] = {"Flight report", "Range 1 – 3 (0.10 s – 0.30 s)", "Configuration " + dir.file("cfg/4711.cfg"),
                              "5 Static mbar 0.00 1000.00 633.33", "Maximum altitude 44307.70 m at sample 3 (0.30 s)"};
  for (const QString& s : expected)
    EXPECT_TRUE(page.contains(s)) << s.toStdString() << "\n" << page.toStdString();
}

}  // namespace
