#include "logger/trend/zerolock.h"

#include "support/fake_prompt.h"

#include <gtest/gtest.h>

namespace trend {
namespace {

using testing_support::FakePrompt;

// Candidates as a left press at sample 40 and a right press at sample 90 leave them.
ViewState WithCandidates() {
  ViewState v;
  for (std::size_t j = 0; j < 12; ++j) {
    v.EngCandidate[j] = 100.0 + double(j);
    v.RawCandidate[j] = 1000.0 + double(j);
  }
  v.EngCandidate[12] = 55;
  v.EngCandidate[13] = 66;
  v.CandidateRef = {40, 90};
  return v;
}

std::array<bool, 12> Boxes(std::initializer_list<int> checked) {
  std::array<bool, 12> b{};
  for (int i : checked) b[std::size_t(i)] = true;
  return b;
}

TEST(ZeroLockTest, EveryClickRetakesTheLatestCandidatesForAllCheckedChannelsAndClearsTheOthers) {
  ViewState v = WithCandidates();
  v.EngBias[3] = v.RawBias[3] = 7;
  ApplyZeroLock(v, Boxes({0, 2}), 2);  // channel 4 unchecked: cleared at once
  EXPECT_EQ(std::tuple(v.EngBias[0], v.RawBias[0], v.EngBias[2], v.EngBias[3], v.RawBias[3]), std::tuple(100, 1000, 102, 0, 0));
  // A new left press elsewhere, then channel 2's box: channel 1 moves as well.
  v.EngCandidate[0] = 300;
  v.RawCandidate[0] = 3000;
  ApplyZeroLock(v, Boxes({0, 1, 2}), 1);  // second references are channels 5 and 6 alone
  EXPECT_EQ(std::tuple(v.EngBias[0], v.RawBias[0], v.EngBias[1], v.EngBias[12]), std::tuple(300, 3000, 101, 0));
  EXPECT_EQ(v.BiasRef, (std::array<qint32, 2>{0, 0}));
}

TEST(ZeroLockTest, ChannelsFiveAndSixTakeOrDropTheirSecondReferenceOnlyWithTheirOwnBox) {
  struct Click {
    std::array<bool, 12> boxes;
    int clicked;
  };
  const struct {
    const char* what;
    std::vector<Click> clicks;
    double bias5, second5, bias6, second6, candidate5, candidate12;
    std::array<qint32, 2> refs;
  } cases[] = {
      {"5 clicked", {{Boxes({4}), 4}}, 104, 55, 0, 0, 104, 55, {40, 90}},
      {"5 checked, 1 clicked", {{Boxes({4}), 0}}, 104, 0, 0, 0, 104, 55, {0, 0}},
      {"5 and 6 clicked", {{Boxes({4, 5}), 4}, {Boxes({4, 5}), 5}}, 104, 55, 105, 66, 104, 55, {40, 90}},
      // Unticking 5 drops its biases and its engineering candidates; 6 keeps its lock.
      {"5 unticked", {{Boxes({4, 5}), 4}, {Boxes({4, 5}), 5}, {Boxes({5}), 4}}, 0, 0, 105, 66, 0, 0, {40, 90}},
      // Ticked again without a new press: the engineering zero is gone; no drift.
      {"5 again", {{Boxes({4}), 4}, {Boxes({}), 4}, {Boxes({4}), 4}}, 0, 0, 0, 0, 0, 0, {40, 90}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ViewState v = WithCandidates();
    for (const Click& k : c.clicks) ApplyZeroLock(v, k.boxes, k.clicked);
    // The raw candidate always stays.
    EXPECT_EQ(std::tuple(v.EngBias[4], v.EngBias[12], v.EngBias[5], v.EngBias[13], v.EngCandidate[4], v.EngCandidate[12],
                         v.RawCandidate[4]),
              std::tuple(c.bias5, c.second5, c.bias6, c.second6, c.candidate5, c.candidate12, 1004.0));
    EXPECT_EQ(v.BiasRef, c.refs);
  }
  // Without a right press there is no second reference: the second bias is the first.
  ViewState v = WithCandidates();
  v.EngCandidate[13] = 0;
  ApplyZeroLock(v, Boxes({5}), 5);
  EXPECT_DOUBLE_EQ(v.EngBias[13], 105);
}

TEST(WinHeightTest, NumbersAreCommittedAndOtherTextsRefusedWithTheStoredHeightShownAgain) {
  ViewState v;
  v.WinHeight[11] = 2047.5;
  FakePrompt prompt;
  for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("1.50"), QString(), QStringLiteral("-")}) {
    prompt.clear();
    const WinHeightOutcome o = CommitWinHeight(v, 11, bad, prompt);
    EXPECT_EQ(std::pair(o.redraw, o.text), std::pair(false, QStringLiteral("2047.5")));
    EXPECT_EQ(prompt.said(), QStringList{"Error!: Non numeric input for WinHeight CH12 !"});
    EXPECT_EQ(prompt.records[0].buttons, common::PromptButtons::Ok);
  }
  EXPECT_DOUBLE_EQ(v.WinHeight[11], 2047.5);
  prompt.clear();
  const WinHeightOutcome o = CommitWinHeight(v, 11, QStringLiteral("1500.5"), prompt);
  EXPECT_EQ(std::tuple(o.redraw, o.text, v.WinHeight[11]), std::tuple(true, QStringLiteral("1500.5"), 1500.5));
  EXPECT_TRUE(prompt.records.empty());
  v.WinHeight[0] = 0.1;
  EXPECT_EQ(WinHeightText(v, 0), QStringLiteral("0.1"));  // what leaving the box shows
}

}  // namespace
}  // namespace trend
