#include "logger/trend/zerolock.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"

namespace trend {
namespace {

// Channel 5 (index 4) keeps its second bias in entry 12, channel 6 (index 5) in 13.
void applySecondReference(ViewState& view, const std::array<bool, 12>& checked, int clickedIndex, int channelIndex) {
  if (clickedIndex != channelIndex) return;
  const std::size_t first = std::size_t(channelIndex);
  const std::size_t second = std::size_t(channelIndex + 8);
  if (checked[first]) {
    view.EngBias[second] = view.EngCandidate[second];
    view.BiasRef = view.CandidateRef;
    // Without a right press there is no second reference: the same bias at both ends
    // means no drift.
    if (view.EngBias[second] == 0) view.EngBias[second] = view.EngBias[first];
  } else {
    view.EngBias[second] = 0;
    view.EngCandidate[second] = 0;
    view.EngCandidate[first] = 0;
  }
}

}  // namespace

void ApplyZeroLock(ViewState& view, const std::array<bool, 12>& checked, int clickedIndex) {
  for (std::size_t j = 0; j < 12; ++j) {
    view.EngBias[j] = checked[j] ? view.EngCandidate[j] : 0.0;
    view.RawBias[j] = checked[j] ? view.RawCandidate[j] : 0.0;
  }
  applySecondReference(view, checked, clickedIndex, 4);
  applySecondReference(view, checked, clickedIndex, 5);
}

void SetMidZero(ViewState& view, bool checked) { view.ZeroDivisor = checked ? 2 : 1; }

WinHeightOutcome CommitWinHeight(ViewState& view, int index, const QString& text, common::Prompt& prompt) {
  const std::size_t i = std::size_t(index);
  if (common::IsNumericInput(text)) {
    view.WinHeight[i] = common::TextToNumber(text);
    return {text, true};
  }
  prompt.message(common::msg::kTitleErrorBang, common::msg::NonNumericWinHeight(index + 1),
                 common::PromptIcon::None, common::PromptButtons::Ok);
  return {WinHeightText(view, index), false};
}

QString WinHeightText(const ViewState& view, int index) {
  return common::NumberToText(view.WinHeight[std::size_t(index)]);
}

}  // namespace trend
