#include "meter/calculator.h"

#include "common/numtext.h"
#include "meter/messages.h"

namespace meter {

Slope CalibrationSlope(const CalibrationInput& in) {
  Slope s;
  const std::pair<const QString*, const QString*> checks[] = {{&in.measMin, &msg::kNonNumericMeasuredMin},
                                                              {&in.measMax, &msg::kNonNumericMeasuredMax},
                                                              {&in.realMin, &msg::kNonNumericRealMin},
                                                              {&in.realMax, &msg::kNonNumericRealMax}};
  for (const auto& [text, message] : checks) {
    if (!common::IsNumericInput(*text)) {
      s.error = *message;
      return s;
    }
  }
  s.measMin = common::TextToNumber(in.measMin);
  const double measMax = common::TextToNumber(in.measMax);
  s.realMin = common::TextToNumber(in.realMin);
  const double realMax = common::TextToNumber(in.realMax);
  if (measMax == s.measMin) {
    s.error = msg::kEqualMeasured;
    return s;
  }
  if (realMax == s.realMin) {
    s.error = msg::kEqualReal;
    return s;
  }
  s.k = (measMax - s.measMin) / (realMax - s.realMin);
  return s;
}

QString ConfigMinText(const Slope& slope) { return common::NumberToText(slope.realMin - slope.measMin / slope.k); }

QString ConfigMaxText(const Slope& slope, const QString& shownConfigMin, int channel) {
  return common::NumberToText(common::FullScale(channel) / slope.k + common::TextToNumber(shownConfigMin));
}

QString StoreRange(common::ChannelConfiguration& config, int channel, const QString& configMin,
                   const QString& configMax) {
  // Every text the calculator shows passes this check; only a hand-edited box fails it.
  if (!common::IsNumericInput(configMin)) return msg::kNonNumericConfigMin;
  if (!common::IsNumericInput(configMax)) return msg::kNonNumericConfigMax;
  auto& ch = config.channel[std::size_t(channel - 1)];
  ch.Min = common::TextToNumber(configMin);
  ch.Max = common::TextToNumber(configMax);
  return {};
}

}  // namespace meter
