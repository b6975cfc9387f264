#include "common/channelconfig.h"
#include "meter/calculator.h"
#include "meter/livedisplay.h"
#include "meter/messages.h"

#include <gtest/gtest.h>

namespace {

TEST(Calculator, ChecksInOrderThenMinAndMaxFromTheShownMin) {
  const struct {
    const char *measMin, *measMax, *realMin, *realMax;
    QString error;
    const char* shown = "";  // ConfigMin and ConfigMax
  } cases[] = {
      {"0", "4095", "0", "4095", {}, "0 4095"},
      {"1000", "3000", "0", "100", {}, "-50 154.75"},
      // ConfigMax builds on the 15-digit ConfigMin as shown; the exact one gives "1".
      {"1", "4095", "-7", "1", {}, "-7.00195407914021 0.999999999999995"},
      {"x", "y", "0.50", "z", meter::msg::kNonNumericMeasuredMin},
      {"1", "y", "0.50", "z", meter::msg::kNonNumericMeasuredMax},
      {"1", "2", "0.50", "z", meter::msg::kNonNumericRealMin},
      {"1", "2", "3", "", meter::msg::kNonNumericRealMax},
      {"5", "5", "0", "100", meter::msg::kEqualMeasured},
      {"5", "5", "7", "7", meter::msg::kEqualMeasured},
      {"1000", "3000", "7", "7", meter::msg::kEqualReal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.measMin) + " " + c.measMax + " " + c.realMin + " " + c.realMax);
    const meter::Slope s = meter::CalibrationSlope({c.measMin, c.measMax, c.realMin, c.realMax});
    EXPECT_EQ(s.error, c.error);
    if (!c.error.isEmpty()) continue;
    const QString min = meter::ConfigMinText(s);
    EXPECT_EQ(min + " " + meter::ConfigMaxText(s, min, 1), QLatin1String(c.shown));
  }
}

// Raw 50 is 10 and raw 200 is 85. Stored on any channel, 8-bit ones too, the range
// gives those values back through the live display's own scaling; nothing else changes.
TEST(Calculator, StoreChangesOnlyThatChannelWhichReadsTheReferencePointsBack) {
  const meter::Slope s = meter::CalibrationSlope({"50", "200", "10", "85"});
  const QString min = meter::ConfigMinText(s);
  common::ChannelConfiguration config;
  for (auto& ch : config.channel) ch = {QStringLiteral("n"), 1, 2, QStringLiteral("u"), 3};
  const common::ChannelConfiguration untouched = config;
  EXPECT_EQ(meter::StoreRange(config, 3, min, QStringLiteral("abc")), meter::msg::kNonNumericConfigMax);
  EXPECT_EQ(meter::StoreRange(config, 3, QStringLiteral(""), min), meter::msg::kNonNumericConfigMin);
  for (int channel : {1, 10, 11, 12}) {
    ASSERT_EQ(meter::StoreRange(config, channel, min, meter::ConfigMaxText(s, min, channel)), QString());
    common::LiveFrame low, high;
    const auto c = std::size_t(channel - 1);
    low.raw[c] = 50, high.raw[c] = 200;
    EXPECT_EQ(meter::DisplayTexts(low, config).Text1[c + 12] + " " + meter::DisplayTexts(high, config).Text1[c + 12],
              "10 85") << channel;
    config.channel[c].Min = 1, config.channel[c].Max = 2;
    EXPECT_EQ(config, untouched) << channel;
  }
}

}  // namespace
