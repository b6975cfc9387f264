// `logtool derive` run as a script runs it: a copy of the built logtool in a program
// directory of its own, logs and configurations written by hand, the CSV read back.
#include "common/messages.h"
#include "logger/logdata/hand_bytes.h"
#include "support/test_paths.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kSerial = 4711;

struct Outcome {
  int status = -1;
  QString err;
};

// Channel 5 static pressure at 1 mbar per count (Min `min5`), channel 6 total pressure
// at 0.075 mbar per count.
hand::Bytes PressureCfg(double min5) {
  std::vector<hand::CfgChannel> ch(12);
  ch[4] = {"Static", min5, min5 + 4095, "mbar", 4095};
  ch[5] = {"Total", 0, 307.125, "mbar", 4095};
  return hand::Cfg(ch, kSerial);
}

// Samples as (raw 5, raw 6); FreqCode 5, so 0.1 s apart.
hand::Bytes PressureLog(const std::vector<std::pair<std::int16_t, std::int16_t>>& samples) {
  std::vector<std::vector<std::int16_t>> columns;
  for (auto [s, t] : samples) columns.push_back({0, 0, 0, 0, s, t});
  return hand::Dlg(std::int32_t(samples.size()), 0x0030, 5, kSerial, columns);
}

class DeriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tool = dir.file("logtool");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKARO_LOGTOOL_PATH), tool));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::permissions(tool) | QFileDevice::ExeOwner));
    // Zero levels at sample 0: 1000 mbar and 150 mbar. Sample 1: 100 mbar less static
    // (ALT 879.454 m) and 6.075 mbar more total (IAS sqrt(1000) m/s from the zero
    // level); sample 2 below the zero level; sample 3 at 0 mbar static.
    ASSERT_TRUE(hand::WriteFile(log(), PressureLog({{1000, 2000}, {900, 2081}, {1000, 1990}, {0, 2000}})));
    ASSERT_TRUE(hand::WriteFile(dir.file("cfg/4711.cfg"), PressureCfg(0)));
    ASSERT_TRUE(hand::WriteFile(dir.file("cfg/config.cfg"), PressureCfg(100)));
  }
  QString log() const { return dir.file("dlg/flight.dlg"); }
  QString out() const { return dir.file("cap/flight.csv"); }

  Outcome run(QStringList args) {
    QProcess p;
    p.start(tool, QStringList{"derive"} + args);
    Outcome r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
    r.status = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    return r;
  }
  // The CSV's lines, each split at the commas.
  std::vector<QStringList> csv() {
    std::vector<QStringList> rows;
    const QString text = QString::fromLatin1(testing_support::FileBytes(out()));
    EXPECT_TRUE(text.endsWith('\n'));
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) rows.push_back(line.split(','));
    return rows;
  }

  testing_support::ProgramDir dir;
  QString tool;
};

struct Column {
  const char* what;
  QStringList args;
  const char* header;
  std::vector<double> speed, altitude;  // samples 0..3
};

TEST_F(DeriveTest, EachReferenceAndUnitSampleBySample) {
  const double sqrt1000 = 31.6227766, ceiling = 44307.694;
  const Column cases[] = {
      {"bias, m/s", {"--ref", "bias"}, "IAS m/s,ALT m", {0, sqrt1000, 0, 0}, {0, 879.45399, 0, ceiling}},
      {"bias, km/h", {"--ref", "bias", "--unit", "1"}, "IAS km/h,ALT m", {0, 113.841996, 0, 0},
       {0, 879.45399, 0, ceiling}},
      {"bias, mph", {"--unit", "2", "--ref", "bias"}, "IAS mph,ALT feet", {0, 70.7381366, 0, 0},
       {0, 2885.34772, 0, 145366.45}},
      // The same sample's static pressure less the sensors' offset (150 - 1000).
      {"sample (default)", {}, "IAS m/s,ALT m", {0, 132.139719, 0, 405.720413}, {0, 879.45399, 0, ceiling}},
      {"user", {"--ref", "user", "--pressure", "150"}, "IAS m/s,ALT m", {0, sqrt1000, 0, 0},
       {0, 879.45399, 0, ceiling}},
      {"user, default pressure", {"--ref", "user"}, "IAS m/s,ALT m", {0, 0, 0, 0}, {0, 879.45399, 0, ceiling}},
  };
  for (const Column& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome r = run(QStringList{log(), "--zero", "0"} + c.args + QStringList{"-o", out()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    const std::vector<QStringList> rows = csv();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].join(','), QStringLiteral("sample,seconds,") + QLatin1String(c.header));
    for (int j = 0; j < 4; ++j) {
      SCOPED_TRACE(j);
      const QStringList& row = rows[std::size_t(j + 1)];
      ASSERT_EQ(row.size(), 4);
      EXPECT_EQ(row[0], QString::number(j));
      EXPECT_EQ(row[1], QStringList({"0", "0.1", "0.2", "0.3"})[j]);
      // At least seven significant digits.
      EXPECT_NEAR(row[2].toDouble(), c.speed[std::size_t(j)], 1e-6 * std::max(1.0, c.speed[std::size_t(j)]));
      EXPECT_NEAR(row[3].toDouble(), c.altitude[std::size_t(j)], 1e-6 * std::max(1.0, c.altitude[std::size_t(j)]));
    }
  }
}

// The static sensor drifts 1 mbar a sample down between the readings at samples 1 and
// 5 while the pressure stays at 1000 mbar: the correction is 0 up to sample 1, grows
// by 1 mbar a sample and stays at 4 mbar from sample 5 on. Sample 2 reads 2 mbar
// high, sample 7 4 mbar low.
TEST_F(DeriveTest, DriftBetweenTheReadingsAndAfterThem) {
  ASSERT_TRUE(hand::WriteFile(log(), PressureLog({{1000, 2000}, {1000, 2000}, {1001, 2000}, {998, 2000},
                                                  {997, 2000}, {996, 2000}, {996, 2000}, {992, 2000}})));
  const Outcome r = run({log(), "--zero", "1", "--second", "5", "-o", out()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const double altitudes[] = {0, 0, -16.8484534, 0, 0, 0, 0, 33.7789271};
  const std::vector<QStringList> rows = csv();
  ASSERT_EQ(rows.size(), 9u);
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(rows[std::size_t(j + 1)][3].toDouble(), altitudes[j], 1e-6) << j;
}

// The log's own N.cfg in the program's cfg/, config.cfg in its place with a warning,
// or the one --cfg names. config.cfg reads channel 5 100 mbar higher: the zero level
// becomes 1100 mbar and sample 1 reads 1000.
TEST_F(DeriveTest, ConfigurationAsTheLoggerPicksIt) {
  const double own = 879.45399, fallback = 796.321566;
  Outcome r = run({log(), "--zero", "0", "-o", out()});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, QString());
  EXPECT_NEAR(csv()[2][3].toDouble(), own, 1e-4);

  r = run({log(), "--zero", "0", "--cfg", dir.file("cfg/config.cfg"), "-o", out()});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, QString());
  EXPECT_NEAR(csv()[2][3].toDouble(), fallback, 1e-4);

  ASSERT_TRUE(QFile::rename(dir.file("cfg/4711.cfg"), dir.file("cfg/other.cfg")));
  r = run({log(), "--zero", "0", "-o", out()});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "logtool: " + common::msg::ConfigNotFound(kSerial) + "\n");
  EXPECT_NEAR(csv()[2][3].toDouble(), fallback, 1e-4);

  ASSERT_TRUE(QFile::remove(dir.file("cfg/config.cfg")));
  r = run({log(), "--zero", "0", "-o", dir.file("cap/none.csv")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(QFile::exists(dir.file("cap/none.csv")));
}

// Failures write nothing: an earlier output stays as it was.
TEST_F(DeriveTest, FailuresExitOneOrTwoAndLeaveTheOutputAlone) {
  ASSERT_TRUE(hand::WriteFile(out(), hand::Bytes{'o', 'l', 'd'}));
  ASSERT_TRUE(hand::WriteFile(dir.file("dlg/short.dlg"), PressureLog({{1000, 2000}, {900, 2081}})));
  QByteArray shortLog = testing_support::FileBytes(dir.file("dlg/short.dlg"));
  shortLog.chop(3);
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("dlg/short.dlg"), shortLog));
  // Channel 6 at raw 0 with Min 0 at sample 3: its zero level would be 0.
  ASSERT_TRUE(hand::WriteFile(dir.file("dlg/nozero.dlg"), PressureLog({{1000, 2000}, {1000, 0}})));

  const struct {
    const char* what;
    QStringList args;
    int status;
  } cases[] = {
      {"zero level 0", {dir.file("dlg/nozero.dlg"), "--zero", "1", "-o", out()}, 1},
      {"damaged log", {dir.file("dlg/short.dlg"), "--zero", "0", "-o", out()}, 1},
      {"missing log", {dir.file("dlg/none.dlg"), "--zero", "0", "-o", out()}, 1},
      {"zero past the end", {log(), "--zero", "4", "-o", out()}, 2},
      {"zero before the start", {log(), "--zero", "-1", "-o", out()}, 2},
      {"second past the end", {log(), "--zero", "0", "--second", "4", "-o", out()}, 2},
      {"no --zero", {log(), "-o", out()}, 2},
      {"no -o", {log(), "--zero", "0"}, 2},
      {"no log", {"--zero", "0", "-o", out()}, 2},
      {"two logs", {log(), log(), "--zero", "0", "-o", out()}, 2},
      {"--zero twice", {log(), "--zero", "0", "--zero", "1", "-o", out()}, 2},
      {"--zero not a number", {log(), "--zero", "1.5", "-o", out()}, 2},
      {"--ref unknown", {log(), "--zero", "0", "--ref", "pitot", "-o", out()}, 2},
      {"--unit 3", {log(), "--zero", "0", "--unit", "3", "-o", out()}, 2},
      {"--pressure not a number", {log(), "--zero", "0", "--pressure", "950,5", "-o", out()}, 2},
      {"unknown option", {log(), "--zero", "0", "--speed", "1", "-o", out()}, 2},
      {"option without its value", {log(), "-o", out(), "--zero"}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    EXPECT_EQ(testing_support::FileBytes(out()), QByteArray("old"));
    if (c.status == 2 && !QString(c.what).contains("past") && !QString(c.what).contains("before")) {
      EXPECT_TRUE(r.err.startsWith("usage: logtool derive")) << r.err.toStdString();
    }
  }
  const Outcome r = run({dir.file("dlg/nozero.dlg"), "--zero", "1", "-o", out()});
  EXPECT_EQ(r.err, common::msg::kSetZeroLevels + "\n");
  const Outcome outside = run({log(), "--zero", "4", "-o", out()});
  EXPECT_TRUE(outside.err.startsWith("logtool: " + common::msg::SampleOutsideLog(4, 4) + "\n"))
      << outside.err.toStdString();
}

}  // namespace
