#pragma once
// Colours are kept as the 0x00BBGGRR values of the settings file; this is the one
// place where they become Qt colours and back.
#include <QColor>

namespace common {

// The slate of the trend picture, also the ground for channel colours too pale for a
// light dialog.
constexpr qint32 kDarkGround = 0x72665A;

QColor ColourFromBgr(qint32 bgr);
qint32 BgrFromColour(const QColor& colour);

// Of two backgrounds, the one a text of colour `fg` stands out against more (WCAG
// contrast ratio): the pale default colours of channels 5 and 6 need a dark ground.
qint32 MoreContrastingBackground(qint32 fg, qint32 background1, qint32 background2);

}  // namespace common
