#include "logger/logdata/shown.h"

#include <gtest/gtest.h>

namespace derived {
namespace {

// Channels 5 and 6 show the rows in the display unit while ticked (the units and the
// box: the cursor suite); outside the table, 0.
TEST(ShownTest, ShownValuesAndTheTablesEdges) {
  DerivedTable t;
  t.reset(10);
  ASSERT_EQ(t.columns(), 11);
  t.row(DerivedTable::kSpeedRow)[4] = 25.0f;
  t.row(DerivedTable::kAltitudeRow)[4] = 1000.0f;
  DerivedDisplay d{&t, true, 1};
  EXPECT_EQ(ShownDerived(d, 6, 4), 90.0);
  EXPECT_EQ(ShownDerived(d, 5, 4), 1000.0);
  for (int j : {10, 11, -1}) EXPECT_EQ(ShownDerived(d, 6, j), 0.0) << j;  // spare column, outside
  for (int r : {2, 3, 4, -1}) EXPECT_EQ(t.at(r, 4), 0.0f) << r;
  for (int c : {1, 4, 7, 12}) EXPECT_FALSE(ShownDerived(d, c, 4)) << c;
}

}  // namespace
}  // namespace derived
