#include "meter/livedisplay.h"

#include "common/numtext.h"

namespace meter {

LiveTexts DisplayTexts(const common::LiveFrame& frame, const common::ChannelConfiguration& config) {
  LiveTexts t;
  for (int c = 1; c <= common::kChannelCount; ++c) {
    const QString raw = common::NumberToText(frame.raw[std::size_t(c - 1)]);
    t.Text1[std::size_t(c - 1)] = raw;
    t.Text1[std::size_t(c + 11)] = common::NumberToText(common::ScaleRaw(config, c, common::LeadingNumber(raw)));
  }
  t.text6 = common::NumberToText(frame.extra);
  t.Text7 = common::NumberToText(frame.serialNumber);
  return t;
}

}  // namespace meter
