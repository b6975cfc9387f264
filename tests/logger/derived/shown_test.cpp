#include "logger/derived/shown.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace derived {
namespace {

// The unit table: per setting, the texts and what a stored 31.6227766 m/s (sqrt 1000)
// and 879.45 m show as.
struct UnitCase {
  int unit;
  const char* speedText;
  const char* altitudeText;
  double speed;
  double altitude;
};

TEST(ShownTest, DisplayUnitsOfEachSetting) {
  const UnitCase cases[] = {
      {0, "m/s", "m", 31.6228, 879.45},
      {1, "km/h", "m", 113.842, 879.45},
      {2, "mph", "feet", 70.7381, 2885.33},
  };
  for (const UnitCase& c : cases) {
    SCOPED_TRACE(c.unit);
    EXPECT_EQ(std::string(UnitText(kSpeedChannel, c.unit)), c.speedText);
    EXPECT_EQ(std::string(UnitText(kAltitudeChannel, c.unit)), c.altitudeText);
    EXPECT_NEAR(InDisplayUnit(kSpeedChannel, std::sqrt(1000.0), c.unit), c.speed, 5e-4);
    EXPECT_NEAR(InDisplayUnit(kAltitudeChannel, 879.45, c.unit), c.altitude, 5e-3);
    EXPECT_EQ(InDisplayUnit(4, 12.5, c.unit), 12.5);
  }
  EXPECT_EQ(UnitText(7, 0), nullptr);
  EXPECT_EQ(NextUnit(0), 1);
  EXPECT_EQ(NextUnit(1), 2);
  EXPECT_EQ(NextUnit(2), 0);
  // The same operations as the read-outs always made, bit for bit.
  EXPECT_EQ(SpeedInUnit(25.0, 2), 25.0 * 3.6 / 1.609344);
  EXPECT_EQ(AltitudeInUnit(1000.0, 2), 1000.0 / 0.3048);
}

TEST(ShownTest, TableIsZeroWithASpareColumnAndReadsNothingOutside) {
  DerivedTable t;
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(t.at(0, 0), 0.0f);
  t.reset(3);
  ASSERT_EQ(t.columns(), 4);
  t.row(DerivedTable::kSpeedRow)[2] = 7.5f;
  t.row(DerivedTable::kAltitudeRow)[2] = -3.0f;
  EXPECT_EQ(t.at(0, 2), 7.5f);
  EXPECT_EQ(t.at(1, 2), -3.0f);
  for (int r = 0; r < DerivedTable::kRows; ++r) EXPECT_EQ(t.at(r, 3), 0.0f) << r;
  EXPECT_EQ(t.at(2, 2), 0.0f);
  EXPECT_EQ(t.at(0, 4), 0.0f);
  EXPECT_EQ(t.at(0, -1), 0.0f);
  EXPECT_EQ(t.at(4, 0), 0.0f);
  t.reset(3);  // a new computation starts from zero
  EXPECT_EQ(t.at(0, 2), 0.0f);
}

TEST(ShownTest, OnlyChannelsFiveAndSixWhileTickedShowDerivedValues) {
  DerivedTable t;
  t.reset(10);
  t.row(DerivedTable::kSpeedRow)[4] = 25.0f;
  t.row(DerivedTable::kAltitudeRow)[4] = 1000.0f;
  DerivedDisplay d{&t, true, 1};
  EXPECT_EQ(ShownDerived(d, 6, 4), 90.0);
  EXPECT_EQ(ShownDerived(d, 5, 4), 1000.0);
  EXPECT_EQ(ShownDerived(d, 6, 99), 0.0);  // outside the table
  for (int c : {1, 4, 7, 12}) EXPECT_FALSE(ShownDerived(d, c, 4).has_value()) << c;
  d.unit = 2;
  EXPECT_EQ(ShownDerived(d, 5, 4), 1000.0 / 0.3048);
  d.speedAlt = false;
  EXPECT_FALSE(ShownDerived(d, 5, 4).has_value());
  EXPECT_FALSE(ShowsDerived(d, 6));
  d = {nullptr, true, 0};
  EXPECT_FALSE(ShownDerived(d, 6, 4).has_value());
}

}  // namespace
}  // namespace derived
