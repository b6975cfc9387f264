#include "common/ui/colour.h"

#include <gtest/gtest.h>

// Settings hold colours as blue-green-red, both ways.
TEST(Colour, SettingsValuesAreBlueGreenRed) {
  EXPECT_EQ(common::ColourFromBgr(0x0060DF), QColor(0xDF, 0x60, 0x00));  // channel 8's orange
  for (qint32 v : {0x000000, 0xFFFFFF, 0x10AF10, 0xD08080, 0x123456})
    EXPECT_EQ(common::BgrFromColour(common::ColourFromBgr(v)), v);
}
