#include "common/ui/colour.h"

#include <gtest/gtest.h>

namespace {

TEST(Colour, SettingsValuesAreBlueGreenRed) {
  EXPECT_EQ(common::ColourFromBgr(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(common::ColourFromBgr(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(common::ColourFromBgr(0x0060DF), QColor(0xDF, 0x60, 0x00));  // channel 8's orange
  for (qint32 v : {0x000000, 0xFFFFFF, 0x10AF10, 0xD08080, 0x123456})
    EXPECT_EQ(common::BgrFromColour(common::ColourFromBgr(v)), v);
}

TEST(Colour, PaleChannelColoursGetTheDarkGround) {
  constexpr qint32 white = 0xFFFFFF;
  EXPECT_EQ(common::MoreContrastingBackground(0xC0FFFF, white, common::kDarkGround), common::kDarkGround);
  EXPECT_EQ(common::MoreContrastingBackground(0xFFFFD0, white, common::kDarkGround), common::kDarkGround);
  EXPECT_EQ(common::MoreContrastingBackground(0x000000, white, common::kDarkGround), white);
  EXPECT_EQ(common::MoreContrastingBackground(0xFF0000, white, common::kDarkGround), white);
}

}  // namespace
