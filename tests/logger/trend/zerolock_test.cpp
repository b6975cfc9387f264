#include "logger/trend/zerolock.h"

#include "support/fake_prompt.h"

#include <gtest/gtest.h>

namespace trend {
namespace {

using testing_support::FakePrompt;

// Candidates as a left press at sample 40 and a right press at sample 90 leave them.
ViewState withCandidates() {
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

std::array<bool, 12> boxes(std::initializer_list<int> checked) {
  std::array<bool, 12> b{};
  for (int i : checked) b[std::size_t(i)] = true;
  return b;
}

TEST(ZeroLockTest, CheckedChannelsTakeTheCandidatesOthersAreCleared) {
  ViewState v = withCandidates();
  v.EngBias[3] = 7;
  v.RawBias[3] = 7;
  ApplyZeroLock(v, boxes({0, 2}), 2);
  EXPECT_DOUBLE_EQ(v.EngBias[0], 100);
  EXPECT_DOUBLE_EQ(v.RawBias[0], 1000);
  EXPECT_DOUBLE_EQ(v.EngBias[2], 102);
  EXPECT_DOUBLE_EQ(v.RawBias[2], 1002);
  EXPECT_DOUBLE_EQ(v.EngBias[3], 0);  // unchecked: cleared at once
  EXPECT_DOUBLE_EQ(v.RawBias[3], 0);
  EXPECT_DOUBLE_EQ(v.EngBias[12], 0);  // second references untouched by other channels
  EXPECT_EQ(v.BiasRef, (std::array<qint32, 2>{0, 0}));
}

TEST(ZeroLockTest, EveryClickRetakesTheLatestCandidatesForAllCheckedChannels) {
  ViewState v = withCandidates();
  ApplyZeroLock(v, boxes({0}), 0);
  EXPECT_DOUBLE_EQ(v.EngBias[0], 100);
  // A new left press elsewhere, then channel 2's box: channel 1 moves as well.
  v.EngCandidate[0] = 300;
  v.RawCandidate[0] = 3000;
  v.EngCandidate[1] = 301;
  ApplyZeroLock(v, boxes({0, 1}), 1);
  EXPECT_DOUBLE_EQ(v.EngBias[0], 300);
  EXPECT_DOUBLE_EQ(v.RawBias[0], 3000);
  EXPECT_DOUBLE_EQ(v.EngBias[1], 301);
}

TEST(ZeroLockTest, ChannelFiveTakesItsSecondReference) {
  ViewState v = withCandidates();
  ApplyZeroLock(v, boxes({4}), 4);
  EXPECT_DOUBLE_EQ(v.EngBias[4], 104);
  EXPECT_DOUBLE_EQ(v.EngBias[12], 55);
  EXPECT_EQ(v.BiasRef, (std::array<qint32, 2>{40, 90}));
  EXPECT_DOUBLE_EQ(v.EngBias[13], 0);  // channel 6 was not clicked
}

TEST(ZeroLockTest, WithoutARightPressTheSecondBiasEqualsTheFirst) {
  ViewState v = withCandidates();
  v.EngCandidate[13] = 0;
  ApplyZeroLock(v, boxes({5}), 5);
  EXPECT_DOUBLE_EQ(v.EngBias[5], 105);
  EXPECT_DOUBLE_EQ(v.EngBias[13], 105);  // no drift
}

TEST(ZeroLockTest, SecondReferenceIsTakenOnlyWhenItsOwnBoxIsClicked) {
  ViewState v = withCandidates();
  ApplyZeroLock(v, boxes({4}), 0);  // box 5 already checked, box 1 clicked
  EXPECT_DOUBLE_EQ(v.EngBias[4], 104);
  EXPECT_DOUBLE_EQ(v.EngBias[12], 0);
  EXPECT_EQ(v.BiasRef, (std::array<qint32, 2>{0, 0}));
}

TEST(ZeroLockTest, UncheckingChannelsFiveAndSixDropsTheirCandidates) {
  ViewState v = withCandidates();
  ApplyZeroLock(v, boxes({4, 5}), 4);
  ApplyZeroLock(v, boxes({4, 5}), 5);
  EXPECT_DOUBLE_EQ(v.EngBias[13], 66);

  ApplyZeroLock(v, boxes({5}), 4);
  EXPECT_DOUBLE_EQ(v.EngBias[4], 0);
  EXPECT_DOUBLE_EQ(v.EngBias[12], 0);
  EXPECT_DOUBLE_EQ(v.EngCandidate[12], 0);
  EXPECT_DOUBLE_EQ(v.EngCandidate[4], 0);
  EXPECT_DOUBLE_EQ(v.RawCandidate[4], 1004);  // the raw candidate stays
  EXPECT_DOUBLE_EQ(v.EngBias[13], 66);        // channel 6 keeps its lock

  ApplyZeroLock(v, boxes({}), 5);
  EXPECT_DOUBLE_EQ(v.EngBias[5], 0);
  EXPECT_DOUBLE_EQ(v.EngBias[13], 0);
  EXPECT_DOUBLE_EQ(v.EngCandidate[13], 0);
  EXPECT_DOUBLE_EQ(v.EngCandidate[5], 0);

  // Checking channel 5 again without a new press: the engineering zero is gone, the
  // raw one is not; the second bias falls back to the (zero) first.
  ApplyZeroLock(v, boxes({4}), 4);
  EXPECT_DOUBLE_EQ(v.EngBias[4], 0);
  EXPECT_DOUBLE_EQ(v.RawBias[4], 1004);
  EXPECT_DOUBLE_EQ(v.EngBias[12], 0);
}

TEST(ZeroLockTest, MidZeroSetsTheDivisor) {
  ViewState v;
  SetMidZero(v, true);
  EXPECT_EQ(v.ZeroDivisor, 2);
  SetMidZero(v, false);
  EXPECT_EQ(v.ZeroDivisor, 1);
}

TEST(WinHeightTest, NumericTextIsCommitted) {
  ViewState v;
  v.WinHeight[2] = 4095;
  FakePrompt prompt;
  WinHeightOutcome o = CommitWinHeight(v, 2, QStringLiteral("1500.5"), prompt);
  EXPECT_TRUE(o.redraw);
  EXPECT_EQ(o.text, QStringLiteral("1500.5"));
  EXPECT_DOUBLE_EQ(v.WinHeight[2], 1500.5);
  EXPECT_TRUE(prompt.records.empty());
}

TEST(WinHeightTest, RefusedTextShowsTheMessageAndTheStoredHeight) {
  ViewState v;
  v.WinHeight[11] = 2047.5;
  FakePrompt prompt;
  for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("1.50"), QString(), QStringLiteral("-")}) {
    prompt.clear();
    WinHeightOutcome o = CommitWinHeight(v, 11, bad, prompt);
    EXPECT_FALSE(o.redraw);
    EXPECT_EQ(o.text, QStringLiteral("2047.5"));
    ASSERT_EQ(prompt.records.size(), 1u);
    EXPECT_EQ(prompt.records[0].title, QStringLiteral("Error!"));
    EXPECT_EQ(prompt.records[0].text, QStringLiteral("Non numeric input for WinHeight CH12 !"));
    EXPECT_EQ(prompt.records[0].buttons, common::PromptButtons::Ok);
  }
  EXPECT_DOUBLE_EQ(v.WinHeight[11], 2047.5);
}

TEST(WinHeightTest, LeavingTheBoxRestoresTheStoredText) {
  ViewState v;
  v.WinHeight[0] = 4095;
  EXPECT_EQ(WinHeightText(v, 0), QStringLiteral("4095"));
  v.WinHeight[0] = 0.1;
  EXPECT_EQ(WinHeightText(v, 0), QStringLiteral("0.1"));
}

}  // namespace
}  // namespace trend
