#include "common/ui/colour.h"

#include <gtest/gtest.h>

// Settings hold colours as blue-green-red. A pale channel colour gets the dark ground.
TEST(Colour, SettingsValuesAreBlueGreenRedAndPaleOnesGetTheDarkGround) {
  EXPECT_EQ(common::ColourFromBgr(0x0060DF), QColor(0xDF, 0x60, 0x00));  // channel 8's orange
  for (qint32 v : {0x000000, 0xFFFFFF, 0x10AF10, 0xD08080, 0x123456})
    EXPECT_EQ(common::BgrFromColour(common::ColourFromBgr(v)), v);
  const std::pair<qint32, qint32> grounds[] = {
      {0xC0FFFF, common::kDarkGround}, {0xFFFFD0, common::kDarkGround}, {0x000000, 0xFFFFFF}, {0xFF0000, 0xFFFFFF}};
  for (const auto& [colour, ground] : grounds)
    EXPECT_EQ(common::MoreContrastingBackground(colour, 0xFFFFFF, common::kDarkGround), ground) << colour;
}
