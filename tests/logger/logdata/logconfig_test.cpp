#include "logger/logdata/logconfig.h"

#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using namespace logdata;

namespace {

class LogConfig : public ::testing::Test {
 protected:
  testing_support::ProgramDir dir;
  QString cfg() const { return dir.file("cfg"); }
  void put(const QString& name, const QString& firstName, qint32 serial) {
    common::ChannelConfiguration c;
    c.channel[0] = {firstName, 0, 4095, QStringLiteral("V"), 2};
    c.ConfigNumber = serial;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/" + name), hand::Cfg(c)));
  }
};

}  // namespace

TEST_F(LogConfig, OwnFileFoundWhateverItsLetterCaseAndTheLogsNumberKept) {
  put("1234.CFG", "Pitot", 5);
  put("config.cfg", "Default", 0);
  const LogConfigChoice choice = FindLogConfig(cfg(), 1234);
  EXPECT_TRUE(choice.own);
  EXPECT_EQ(choice.path, dir.file("cfg/1234.CFG"));
  common::ChannelConfiguration config;
  QString warning = "stale", error;
  ASSERT_TRUE(ApplyLogConfig(cfg(), 1234, config, &warning, &error)) << error.toStdString();
  EXPECT_TRUE(warning.isEmpty());
  EXPECT_EQ(config.channel[0].Name, QStringLiteral("Pitot"));
  EXPECT_EQ(config.ConfigNumber, 1234);  // the log's number, not the file's 5
}

TEST_F(LogConfig, MissingOwnFileFallsBackToDefaultWithWarning) {
  put("config.cfg", "Default", 3);
  put("12345.cfg", "Other", 12345);  // a longer name that only starts alike
  common::ChannelConfiguration config;
  QString warning;
  ASSERT_TRUE(ApplyLogConfig(cfg(), 1234, config, &warning, nullptr));
  EXPECT_EQ(warning, QStringLiteral("Config file '1234.cfg' not found, config.cfg used instead"));
  EXPECT_EQ(config.channel[0].Name, QStringLiteral("Default"));
  EXPECT_EQ(config.ConfigNumber, 1234);
}

TEST_F(LogConfig, NegativeNumberAndNoDefaultLeaveConfigurationAlone) {
  put("-1.cfg", "Minus", -1);
  EXPECT_TRUE(FindLogConfig(cfg(), -1).own);
  common::ChannelConfiguration config;
  config.channel[3].Name = QStringLiteral("kept");
  const common::ChannelConfiguration before = config;
  QString warning, error;
  EXPECT_FALSE(ApplyLogConfig(cfg(), 77, config, &warning, &error));
  EXPECT_EQ(config, before);
  EXPECT_EQ(warning, QStringLiteral("Config file '77.cfg' not found, config.cfg used instead"));
  EXPECT_FALSE(error.isEmpty());
}

// The fallback is looked up the way N.cfg is: by name, whatever its letter case.
TEST_F(LogConfig, DefaultFoundWhateverItsLetterCase) {
  put("CONFIG.CFG", "Default", 3);
  const LogConfigChoice choice = FindLogConfig(cfg(), 77);
  EXPECT_FALSE(choice.own);
  EXPECT_EQ(choice.path, dir.file("cfg/CONFIG.CFG"));
  common::ChannelConfiguration config;
  QString warning;
  ASSERT_TRUE(ApplyLogConfig(cfg(), 77, config, &warning, nullptr));
  EXPECT_EQ(config.channel[0].Name, QStringLiteral("Default"));
}
