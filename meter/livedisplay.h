#pragma once
// What one live frame puts into the meter window's boxes.
#include "common/channelconfig.h"
#include "common/commands.h"

#include <QString>
#include <array>

namespace meter {

// The configuration editor's row colours in the meter, 0x00BBGGRR: channel 1 red,
// 2 blue, 3 green, the rest black. The meter keeps no colours in its settings file.
constexpr std::array<qint32, common::kChannelCount> kEditorColours = {0x0000FF, 0xFF0000, 0x00FF00, 0, 0, 0,
                                                                      0,        0,        0,        0, 0, 0};

struct LiveTexts {
  std::array<QString, 2 * common::kChannelCount> Text1;  // 0..11 raw, 12..23 engineering
  QString text6;                                         // the extra 16-bit value
  QString Text7;                                         // the logger's serial number
};

// Raw values as received; engineering values by the scaling rule from the number the
// raw text shows, without bias.
LiveTexts DisplayTexts(const common::LiveFrame& frame, const common::ChannelConfiguration& config);

}  // namespace meter
