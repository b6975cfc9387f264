#include "logger/logdata/logconfig.h"

#include "common/messages.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using namespace logdata;

// Every file of a case names its first channel after the file and holds the number 5.
TEST(LogConfig, OwnFileOrDefaultFoundWhateverTheLetterCaseAndTheLogsNumberKept) {
  // The files, the log's number, the file chosen (nullptr: nothing can be read), whether it is its own.
  const std::tuple<std::vector<const char*>, qint32, const char*, bool> cases[] = {
      {{"1234.CFG", "config.cfg"}, 1234, "1234.CFG", true},
      {{"config.cfg", "12345.cfg"}, 1234, "config.cfg", false},  // a longer name that only starts alike
      {{"CONFIG.CFG"}, 77, "CONFIG.CFG", false},
      {{"-1.cfg"}, -1, "-1.cfg", true},
      {{"-1.cfg"}, 77, nullptr, false},
  };
  for (const auto& [files, serial, chosen, own] : cases) {
    SCOPED_TRACE(serial);
    testing_support::ProgramDir dir;
    for (const char* name : files) {
      common::ChannelConfiguration file;
      file.channel[0] = {QLatin1String(name), 0, 4095, QStringLiteral("V"), 2};
      file.ConfigNumber = 5;
      ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/") + name, hand::Cfg(file)));
    }
    const LogConfigChoice choice = FindLogConfig(dir.file("cfg"), serial);
    EXPECT_EQ(choice.own, own);
    if (chosen) {
      EXPECT_EQ(choice.path, dir.file("cfg/") + chosen);
    }
    common::ChannelConfiguration config;
    config.channel[3].Name = QStringLiteral("kept");
    const common::ChannelConfiguration before = config;
    QString warning = "stale", error;
    EXPECT_EQ(ApplyLogConfig(dir.file("cfg"), serial, config, &warning, &error), chosen != nullptr);
    EXPECT_EQ(warning, own ? QString() : common::msg::ConfigNotFound(serial));
    if (chosen) {
      EXPECT_EQ(config.channel[0].Name, QLatin1String(chosen));
      EXPECT_EQ(config.ConfigNumber, serial);  // the log's number, not the file's
    } else {
      EXPECT_EQ(config, before);
      EXPECT_FALSE(error.isEmpty());
    }
  }
}
