#include "common/formattext.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using common::FormatText;
using common::FormattedValue;

namespace {

struct Case {
  double value;
  const char* format;
  const char* text;
  double number;  // what the text reads as
};

const Case kCases[] = {
    {0, "##.##", ".", 0},
    {0.5, "##.##", ".5", 0.5},
    {12.345, "##.##", "12.35", 12.35},
    {1234.5, "##.##", "1234.5", 1234.5},  // more whole digits than places
    {0, "##0.00", "0.00", 0},
    {3.456, "##0.0", "3.5", 3.5},
    {-0.04, "##0.0", "-0.0", -0.0},  // the sign stays when the value rounds to zero
    {-2.5, "0", "-3", -3},           // halves away from zero
    {0.5, "0", "1", 1},              // also from below the last place
    {7, "000", "007", 7},
    {5, "0#", "05", 5},
    {1.005, "#.##", "1.01", 1.01},
    {250, "0", "250", 250},
    {0.1, "#.0#", ".1", 0.1},
    {5, "3#", "35", 5},  // a literal stays where it stands
    {5.25, ".#", "5.3", 5.3},
    {1.5, "", "1.5", 1.5},
    {123456.789, "#,##0.00", "123,456.79", 123456.79},
};

}  // namespace

TEST(FormatTextTest, PlaceholdersRoundAndPad) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.value));
    EXPECT_EQ(FormatText(c.value, QString::fromLatin1(c.format)), QString::fromLatin1(c.text));
    EXPECT_DOUBLE_EQ(FormattedValue(c.value, QString::fromLatin1(c.format)), c.number);
  }
}

TEST(FormatTextTest, PointIsRenderedAsAskedAndNonFiniteIsEmpty) {
  EXPECT_EQ(FormatText(12.5, QStringLiteral("##0.00"), QLatin1Char(',')), QStringLiteral("12,50"));
  EXPECT_EQ(FormatText(std::numeric_limits<double>::quiet_NaN(), QStringLiteral("##.##")), QString());
  EXPECT_EQ(FormatText(std::numeric_limits<double>::infinity(), QStringLiteral("0")), QString());
}
