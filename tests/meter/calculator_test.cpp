#include "common/channelconfig.h"
#include "meter/calculator.h"
#include "meter/livedisplay.h"
#include "meter/messages.h"

#include <gtest/gtest.h>

namespace {

struct CalcCase {
  const char* measMin;
  const char* measMax;
  const char* realMin;
  const char* realMax;
  QString error;
  const char* configMin = "";
  const char* configMax = "";
};

TEST(Calculator, ChecksInOrderThenMinAndMaxFromTheShownMin) {
  const CalcCase cases[] = {
      {"0", "4095", "0", "4095", {}, "0", "4095"},
      {"1000", "3000", "0", "100", {}, "-50", "154.75"},
      // ConfigMax builds on the 15-digit ConfigMin as shown; the exact one gives "1".
      {"1", "4095", "-7", "1", {}, "-7.00195407914021", "0.999999999999995"},
      {"x", "y", "0.50", "z", meter::msg::kNonNumericMeasuredMin},
      {"1", "y", "0.50", "z", meter::msg::kNonNumericMeasuredMax},
      {"1", "2", "0.50", "z", meter::msg::kNonNumericRealMin},
      {"1", "2", "3", "", meter::msg::kNonNumericRealMax},
      {"5", "5", "0", "100", meter::msg::kEqualMeasured},
      {"5", "5", "7", "7", meter::msg::kEqualMeasured},
      {"1000", "3000", "7", "7", meter::msg::kEqualReal},
  };
  for (const CalcCase& c : cases) {
    SCOPED_TRACE(std::string(c.measMin) + " " + c.measMax + " " + c.realMin + " " + c.realMax);
    const meter::Slope s = meter::CalibrationSlope({c.measMin, c.measMax, c.realMin, c.realMax});
    EXPECT_EQ(s.error, c.error);
    if (!c.error.isEmpty()) continue;
    const QString min = meter::ConfigMinText(s);
    EXPECT_EQ(min, QLatin1String(c.configMin));
    EXPECT_EQ(meter::ConfigMaxText(s, min), QLatin1String(c.configMax));
  }
}

TEST(Calculator, StoreChangesOnlyThatChannelAndMapsTheReferencePoints) {
  common::ChannelConfiguration config;
  for (auto& ch : config.channel) ch = {QStringLiteral("n"), 1, 2, QStringLiteral("u"), 3};
  const common::ChannelConfiguration before = config;
  EXPECT_EQ(meter::StoreRange(config, 12, QStringLiteral("-50"), QStringLiteral("abc")), meter::msg::kNonNumericConfigMax);
  EXPECT_EQ(meter::StoreRange(config, 12, QStringLiteral(""), QStringLiteral("1")), meter::msg::kNonNumericConfigMin);
  EXPECT_EQ(config, before);

  EXPECT_TRUE(meter::StoreRange(config, 3, QStringLiteral("-50"), QStringLiteral("154.75")).isEmpty());
  common::ChannelConfiguration expected = before;
  expected.channel[2].Min = -50;
  expected.channel[2].Max = 154.75;
  EXPECT_EQ(config, expected);
  EXPECT_DOUBLE_EQ(common::ScaleRaw(config, 3, 1000), 0);
  EXPECT_DOUBLE_EQ(common::ScaleRaw(config, 3, 3000), 100);
}

TEST(LiveDisplay, RawAndScaledTextsPerChannel) {
  common::ChannelConfiguration config;
  for (auto& ch : config.channel) {
    ch.Min = -10;
    ch.Max = 10;
  }
  common::LiveFrame f;
  f.raw = {4095, -1, 0, 2047, 1, 2, 3, 4, 5, 6, 255, 4095};
  f.extra = -2;
  f.serialNumber = 12345;
  const meter::LiveTexts t = meter::DisplayTexts(f, config);
  const std::pair<int, const char*> expected[] = {
      {0, "4095"}, {12, "10"}, {1, "-1"}, {13, "-10.004884004884"}, {2, "0"}, {14, "-10"},
      {3, "2047"}, {15, "-0.00244200244200243"}, {10, "255"}, {22, "10"}, {11, "4095"}, {23, "311.176470588235"}};
  for (const auto& [index, text] : expected) EXPECT_EQ(t.Text1[std::size_t(index)], QLatin1String(text)) << index;
  EXPECT_EQ(t.text6, QStringLiteral("-2"));
  EXPECT_EQ(t.Text7, QStringLiteral("12345"));
}

}  // namespace
