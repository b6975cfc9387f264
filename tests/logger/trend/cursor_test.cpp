#include "logger/trend/cursor.h"

#include "common/numtext.h"
#include "support/fake_prompt.h"

#include <gtest/gtest.h>
#include <vector>

namespace trend {
namespace {

using testing_support::FakePrompt;

TEST(CursorFormatTest, WholeSamplesShowNoLeadingZero) {
  EXPECT_EQ(FormatWhole(0), QString());
  EXPECT_EQ(FormatWhole(0.4), QString());
  EXPECT_EQ(FormatWhole(0.5), QStringLiteral("1"));  // Format rounds halves away from zero
  EXPECT_EQ(FormatWhole(2.5), QStringLiteral("3"));
  EXPECT_EQ(FormatWhole(1234), QStringLiteral("1234"));
  EXPECT_EQ(FormatWhole(123456.2), QStringLiteral("123456"));  // more digits than placeholders
  EXPECT_EQ(FormatWhole(-3.2), QStringLiteral("-3"));
  EXPECT_EQ(FormatWhole(-0.2), QStringLiteral("-"));
}

TEST(CursorFormatTest, TwoDecimalsKeepThePointAndDropZeros) {
  EXPECT_EQ(FormatTwoDecimals(1), QStringLiteral("1."));
  EXPECT_EQ(FormatTwoDecimals(0), QStringLiteral("."));
  EXPECT_EQ(FormatTwoDecimals(0.5), QStringLiteral(".5"));
  EXPECT_EQ(FormatTwoDecimals(0.05), QStringLiteral(".05"));
  EXPECT_EQ(FormatTwoDecimals(0.004), QStringLiteral("."));
  EXPECT_EQ(FormatTwoDecimals(0.005), QStringLiteral(".01"));
  EXPECT_EQ(FormatTwoDecimals(1.25), QStringLiteral("1.25"));
  EXPECT_EQ(FormatTwoDecimals(1.2), QStringLiteral("1.2"));
  // 1.005 is stored a hair below 1.005; the 15-digit decimal form still rounds up.
  EXPECT_EQ(FormatTwoDecimals(1.005), QStringLiteral("1.01"));
  EXPECT_EQ(FormatTwoDecimals(99.999), QStringLiteral("100."));
  EXPECT_EQ(FormatTwoDecimals(12345.678), QStringLiteral("12345.68"));
  EXPECT_EQ(FormatTwoDecimals(-1.5), QStringLiteral("-1.5"));
  EXPECT_EQ(FormatTwoDecimals(-0.001), QStringLiteral("-."));
}

// A log of 1000 samples. Channels 1-4 and 7-10 read their raw value, channel 5 a tenth
// of it (Max 409.5), channel 6 runs from 100 down to 0, channels 11-12 are 8-bit.
class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store.reset(1000));
    store.FreqCode = 1;
    for (int c = 1; c <= 12; ++c) {
      config.channel[std::size_t(c - 1)].Min = 0;
      config.channel[std::size_t(c - 1)].Max = common::FullScale(c);
    }
    config.channel[4].Max = 409.5;
    config.channel[5].Min = 100;
    config.channel[5].Max = 0;
    for (qint32 j = 0; j < 1000; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j + 10 * r) % (r >= 10 ? 256 : 4096));
    view.WindowStart = 0;
    view.WindowEnd = 100;
    view.WindowLength = 100;
  }
  CursorInput input(bool loaded = true) { return CursorInput{store, config, loaded, 1000.0, derived}; }

  logdata::SampleStore store;
  common::ChannelConfiguration config;
  ViewState view;
  const derived::DerivedTable* derived = nullptr;
  FakePrompt prompt;
};

TEST_F(CursorTest, PositionReadOutInSamplesAndSeconds) {
  view.WindowStart = 200;
  CursorReadout r = CursorMove(view, input(), 500);
  EXPECT_EQ(r.position, QStringLiteral("250"));
  EXPECT_EQ(view.CursorSample, 250);

  // 50 samples per second, a cursor exactly at sample 50 of a window starting at 0.
  view.WindowStart = 0;
  view.SecondsMode = true;
  r = CursorMove(view, input(), 500);
  EXPECT_EQ(r.position, QStringLiteral("1."));
  EXPECT_EQ(view.CursorSample, 50);
  r = CursorMove(view, input(), 255);  // sample 25.5: 0.51 s
  EXPECT_EQ(r.position, QStringLiteral(".51"));
  EXPECT_EQ(view.CursorSample, 26);  // whole samples round halves to even... 25.5 -> 26
  store.FreqCode = 5;  // 10 per second; window start 200 adds 20 s
  view.WindowStart = 200;
  r = CursorMove(view, input(), 250);
  EXPECT_EQ(r.position, QStringLiteral("22.5"));
}

TEST_F(CursorTest, CursorSampleRoundsHalvesToEven) {
  CursorMove(view, input(), 245);  // 24.5
  EXPECT_EQ(view.CursorSample, 24);
  CursorMove(view, input(), 235);  // 23.5
  EXPECT_EQ(view.CursorSample, 24);
}

TEST_F(CursorTest, ValueReadOutsWithoutBias) {
  CursorReadout r = CursorMove(view, input(), 400);  // sample 40
  ASSERT_TRUE(r.valuesValid);
  EXPECT_EQ(r.values[0], QStringLiteral("40"));
  EXPECT_EQ(r.values[3], QStringLiteral("70"));      // raw 40 + 30
  EXPECT_EQ(r.values[4], QStringLiteral("8"));       // raw 80 / 10
  EXPECT_EQ(r.values[5], QStringLiteral("97.8021978021978"));  // 100 - 100 * 90 / 4095, 15 digits
  EXPECT_EQ(r.values[10], QStringLiteral("140"));    // 8-bit channel, raw 140 of 255
  EXPECT_EQ(r.values[11], QStringLiteral("150"));
}

TEST_F(CursorTest, ValueReadOutsLessBias) {
  view.EngBias[0] = 10;
  view.EngBias[10] = 200;
  CursorReadout r = CursorMove(view, input(), 400);
  EXPECT_EQ(r.values[0], QStringLiteral("30"));
  EXPECT_EQ(r.values[10], QStringLiteral("-60"));
  EXPECT_EQ(r.values[1], QStringLiteral("50"));  // no bias on channel 2
}

TEST_F(CursorTest, ChannelFiveDriftIsInterpolatedBetweenTheReferences) {
  // First bias 10 at sample 100, second bias 20 at sample 200.
  view.EngBias[4] = 10;
  view.EngBias[12] = 20;
  view.BiasRef = {100, 200};
  view.WindowStart = 100;
  view.WindowEnd = 300;
  view.WindowLength = 200;
  auto shownAt = [&](qint32 k) {
    CursorReadout r = CursorMove(view, input(), (k - 100) * 5.0);
    EXPECT_EQ(view.CursorSample, k);
    return common::TextToNumber(r.values[4]);
  };
  // Raw of channel 5 at sample k is k + 40, read as (k + 40) / 10.
  EXPECT_DOUBLE_EQ(shownAt(100), 14 - 10);          // at s1: the first bias
  EXPECT_DOUBLE_EQ(shownAt(150), 19 - 15);          // half way: the mean of both
  EXPECT_NEAR(shownAt(199), 23.9 - 19.9, 1e-9);
  EXPECT_DOUBLE_EQ(shownAt(200), 24 - 10);          // from s2 on the correction stops
  EXPECT_DOUBLE_EQ(shownAt(250), 29 - 10);
  // Channel 1 has no drift term even with the same references.
  view.EngBias[0] = 5;
  CursorReadout r = CursorMove(view, input(), 250);
  EXPECT_EQ(r.values[0], QStringLiteral("145"));
}

TEST_F(CursorTest, ChannelSixUsesItsOwnSecondBias) {
  view.EngBias[5] = 4;
  view.EngBias[13] = 8;
  view.BiasRef = {0, 100};
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 5, 25), (4 - 8) * 25 / 100.0);
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 4, 25), 0);  // channel 5's biases are 0
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 5, 0), 0);
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 5, 100), 0);
}

TEST_F(CursorTest, WithoutALogOnlyThePositionMoves) {
  CursorReadout r = CursorMove(view, input(false), 300);
  EXPECT_FALSE(r.valuesValid);
  EXPECT_EQ(r.position, QStringLiteral("30"));
  for (const QString& v : r.values) EXPECT_TRUE(v.isEmpty());
}

TEST_F(CursorTest, CursorLineErasesTheOldLineOnly) {
  ASSERT_EQ(view.CursorX, -100);  // as a trend redraw leaves it
  CursorReadout r = CursorMove(view, input(), 300.4);
  EXPECT_FALSE(r.line.erase);
  EXPECT_EQ(r.line.drawX, 300);
  EXPECT_EQ(view.CursorX, 300);
  r = CursorMove(view, input(), 512.5);
  EXPECT_TRUE(r.line.erase);
  EXPECT_EQ(r.line.eraseX, 300);
  EXPECT_EQ(r.line.drawX, 512);  // halves to even
  EXPECT_EQ(view.CursorX, 512);
}

TEST_F(CursorTest, DragBeyondThePictureNeverReadsOutsideTheLog) {
  view.WindowStart = 950;
  view.WindowEnd = 1000;
  view.WindowLength = 50;
  CursorReadout r = CursorMove(view, input(), 5000);  // sample 1200
  EXPECT_EQ(r.position, QStringLiteral("1200"));
  EXPECT_EQ(view.CursorSample, 1000);  // the spare last column
  EXPECT_EQ(r.values[0], QStringLiteral("0"));
  view.WindowStart = 0;
  CursorMove(view, input(), -3000);
  EXPECT_EQ(view.CursorSample, 0);
}

TEST_F(CursorTest, PressWithoutALogSaysNoData) {
  const ViewState before = view;
  PressResult p = CursorPress(view, input(false), MouseButton::Left, 300, prompt);
  EXPECT_FALSE(p.handled);
  EXPECT_EQ(p.redraw, Redraw::None);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.records[0].title, QStringLiteral("Logger"));
  EXPECT_EQ(prompt.records[0].text, QStringLiteral("No data!"));
  EXPECT_EQ(prompt.records[0].icon, common::PromptIcon::Exclamation);
  EXPECT_EQ(view.CursorX, before.CursorX);
  EXPECT_EQ(view.CandidateRef, before.CandidateRef);
  EXPECT_EQ(view.EngCandidate, before.EngCandidate);
}

TEST_F(CursorTest, LeftPressTakesCandidatesOfAllChannels) {
  view.CursorSample = 7;
  PressResult p = CursorPress(view, input(), MouseButton::Left, 300, prompt);
  ASSERT_TRUE(p.handled);
  EXPECT_EQ(p.redraw, Redraw::Overview);
  EXPECT_TRUE(prompt.records.empty());
  EXPECT_EQ(p.readout.position, QStringLiteral("30"));
  EXPECT_EQ(p.readout.line.drawX, 300);
  EXPECT_EQ(view.CandidateRef[0], 30);
  EXPECT_EQ(view.CursorSample, 7);  // a press does not move the cursor sample
  EXPECT_DOUBLE_EQ(view.RawCandidate[0], 30);
  EXPECT_DOUBLE_EQ(view.EngCandidate[0], 30);
  EXPECT_DOUBLE_EQ(view.RawCandidate[4], 70);
  EXPECT_DOUBLE_EQ(view.EngCandidate[4], 7);
  EXPECT_DOUBLE_EQ(view.EngCandidate[5], 100 - 100 * 80 / 4095.0);
  EXPECT_DOUBLE_EQ(view.RawCandidate[11], 140);
  EXPECT_DOUBLE_EQ(view.EngCandidate[12], 0);  // right-press entries untouched
}

TEST_F(CursorTest, RightPressTakesTheSecondReferencesOnly) {
  PressResult p = CursorPress(view, input(), MouseButton::Right, 600, prompt);
  ASSERT_TRUE(p.handled);
  EXPECT_EQ(view.CandidateRef[1], 60);
  EXPECT_EQ(view.CandidateRef[0], 0);
  EXPECT_DOUBLE_EQ(view.EngCandidate[12], 10);                      // (60 + 40) / 10
  EXPECT_DOUBLE_EQ(view.EngCandidate[13], 100 - 100 * 110 / 4095.0);  // raw 110
  EXPECT_DOUBLE_EQ(view.EngCandidate[4], 0);
  EXPECT_DOUBLE_EQ(view.RawCandidate[4], 0);
}

TEST_F(CursorTest, SpeedAltReplacesChannelsFiveAndSixInEachUnit) {
  derived::DerivedTable table;
  table.reset(1000);
  for (qint32 j = 0; j < 1000; ++j) {
    table.row(derived::DerivedTable::kSpeedRow)[j] = 25.0f;
    table.row(derived::DerivedTable::kAltitudeRow)[j] = 1000.0f;
  }
  derived = &table;
  view.SpeedAlt = true;

  view.SpeedUnit = 0;
  CursorReadout r = CursorMove(view, input(), 400);
  EXPECT_EQ(r.values[4], QStringLiteral("1000"));
  EXPECT_EQ(r.values[5], QStringLiteral("25"));
  EXPECT_EQ(r.values[0], QStringLiteral("40"));
  view.SpeedUnit = 1;
  r = CursorMove(view, input(), 400);
  EXPECT_EQ(r.values[4], QStringLiteral("1000"));
  EXPECT_EQ(r.values[5], QStringLiteral("90"));
  view.SpeedUnit = 2;
  r = CursorMove(view, input(), 400);
  EXPECT_EQ(r.values[4], QStringLiteral("3280.83989501312"));  // feet
  EXPECT_EQ(r.values[5], QStringLiteral("55.9234073013601"));  // miles per hour

  // Without a table the raw read-outs stay.
  derived = nullptr;
  r = CursorMove(view, input(), 400);
  EXPECT_EQ(r.values[4], QStringLiteral("8"));
}

}  // namespace
}  // namespace trend
