#include "logger/trend/cursor.h"
#include "logger/trend/zerolock.h"

#include "common/numtext.h"
#include "support/fake_prompt.h"

#include <gtest/gtest.h>
#include <vector>

namespace trend {
namespace {

using testing_support::FakePrompt;

// The rounding itself is the formatting suite's; these are the read-outs' own patterns
// at their edges. "####": no leading zero; "####.##": the point always kept.
TEST(CursorFormatTest, PlaceholdersShowOnlyTheDigitsTheNumberHas) {
  const std::tuple<double, const char*, const char*> cases[] = {
      {0, "", "."},   {0.5, "1", ".5"},         {0.004, "", "."},     {99.999, "100", "100."},
      {1, "1", "1."}, {123456.2, "123456", "123456.2"}, {-0.2, "-", "-.2"}, {-0.001, "-", "-."},
  };
  for (const auto& [value, whole, twoDecimals] : cases)
    EXPECT_EQ(FormatWhole(value) + " " + FormatTwoDecimals(value), QLatin1String(whole) + " " + twoDecimals) << value;
}

// A log of 1000 samples. Channels 1-4 and 7-10 read their raw value, channel 5 a tenth
// of it (Max 409.5), channel 6 runs from 100 down to 0, channels 11-12 are 8-bit.
class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(store.reset(1000));
    store.FreqCode = 1;
    for (int c = 1; c <= 12; ++c) config.channel[std::size_t(c - 1)].Max = common::FullScale(c);
    config.channel[4].Max = 409.5;
    config.channel[5].Min = 100, config.channel[5].Max = 0;
    for (qint32 j = 0; j < 1000; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j + 10 * r) % (r >= 10 ? 256 : 4096));
    view.WindowStart = 0, view.WindowEnd = 100, view.WindowLength = 100;
  }
  CursorInput input(bool loaded = true) { return CursorInput{store, config, loaded, 1000.0, derived}; }

  logdata::SampleStore store;
  common::ChannelConfiguration config;
  ViewState view;
  const derived::DerivedTable* derived = nullptr;
  FakePrompt prompt;
};

TEST_F(CursorTest, PositionReadOutAndCursorSampleInSamplesAndSeconds) {
  const struct {
    qint32 start, length;
    bool seconds;
    quint8 code;
    double x;
    const char* position;
    qint32 sample;
  } cases[] = {
      {200, 100, false, 1, 500, "250", 250},
      {0, 100, false, 1, 245, "25", 24},  // 24.5: the cursor sample rounds halves to even,
      {0, 100, false, 1, 235, "24", 24},  // 23.5  the read-out away from zero
      {0, 100, true, 1, 500, "1.", 50},   // 50 samples per second: exactly one second
      {0, 100, true, 1, 255, ".51", 26},
      {200, 100, true, 5, 250, "22.5", 225},  // 10 per second; the start adds 20 s
      {0, 0, false, 1, 400, "", 0},       // the empty previous view before any right press
      {950, 50, false, 1, 5000, "1200", 1000},  // dragged beyond the picture: the spare last column
      {0, 100, false, 1, -3000, "-300", 0},
  };
  for (const auto& c : cases) {
    view.WindowStart = c.start;
    view.WindowLength = c.length;
    view.WindowEnd = c.start + c.length;
    view.SecondsMode = c.seconds;
    store.FreqCode = c.code;
    const CursorReadout r = CursorMove(view, input(), c.x);
    EXPECT_EQ(r.position, QLatin1String(c.position)) << c.x;
    EXPECT_EQ(view.CursorSample, c.sample) << c.x;
  }
  // Without a log only the position moves.
  const CursorReadout r = CursorMove(view, input(false), 300);
  EXPECT_FALSE(r.valuesValid);
  EXPECT_EQ(r.position, QStringLiteral("30"));
  for (const QString& v : r.values) EXPECT_TRUE(v.isEmpty());
}

TEST_F(CursorTest, ValueReadOutsLessTheirBias) {
  view.EngBias[0] = 10;
  view.EngBias[10] = 200;
  const CursorReadout r = CursorMove(view, input(), 400);  // sample 40
  ASSERT_TRUE(r.valuesValid);
  // Channel 1: raw 40 less 10; 5: raw 80 / 10; 6: 100 - 100 * 90 / 4095 in 15 digits;
  // 11: an 8-bit channel, raw 140 of 255, less 200.
  const char* expected[12] = {"30", "50", "60", "70", "8", "97.8021978021978", "100", "110", "120", "130", "-60", "150"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(r.values[std::size_t(i)], QLatin1String(expected[i])) << i;
}

TEST_F(CursorTest, ChannelsFiveAndSixDriftBetweenTheReferencesFromTheFirstBiasToTheSecond) {
  // Channel 5: bias 10 at sample 100, 20 at sample 200; its raw at sample k is k + 40,
  // read as (k + 40) / 10. Channel 6 has its own second bias; channel 1 never drifts.
  view.EngBias[4] = 10;
  view.EngBias[12] = 20;
  view.EngBias[0] = 5;
  view.BiasRef = {100, 200};
  view.WindowStart = 100, view.WindowEnd = 300, view.WindowLength = 200;
  for (auto [k, shown] : {std::pair{100, 14 - 10.0}, {150, 19 - 15.0}, {199, 23.9 - 19.9}, {200, 24 - 10.0}, {250, 29 - 10.0}}) {
    const CursorReadout r = CursorMove(view, input(), (k - 100) * 5.0);
    EXPECT_NEAR(common::TextToNumber(r.values[4]), shown, 1e-9) << k;
    EXPECT_EQ(r.values[0], QString::number(k - 5)) << k;
  }
  view.EngBias[5] = 4, view.EngBias[13] = 8;
  EXPECT_DOUBLE_EQ(DriftCorrection(view, 5, 125), (4 - 8) * 25 / 100.0);
}

// The line lies at the pointer, halves rounding to even. On a picture wider than 32767
// twips (2184 px) the line and the arrow keys go on.
TEST_F(CursorTest, CursorLineFollowsOnWidePictures) {
  for (auto [x, drawn] : {std::pair{300.4, 300}, {512.5, 512}, {32767.0, 32767}, {40000.0, 40000}, {75000.0, 75000}}) {
    SCOPED_TRACE(x);
    const CursorReadout r = CursorMove(view, CursorInput{store, config, true, 80000.0, derived}, x);
    EXPECT_EQ(std::pair(r.line.drawX, view.CursorX), std::pair(drawn, drawn));
    EXPECT_EQ(ArrowKeyX(r.line.drawX, 80000.0, 1), drawn + 1);
  }
}

TEST_F(CursorTest, APressTakesTheCandidatesOfItsButtonAndNoneWithoutALog) {
  view.CursorSample = 7;
  PressResult p = CursorPress(view, input(false), MouseButton::Left, 300, prompt);
  EXPECT_FALSE(p.handled);
  EXPECT_EQ(prompt.said(), QStringList{"Logger: No data!"});
  EXPECT_EQ(prompt.records[0].icon, common::PromptIcon::Exclamation);
  EXPECT_TRUE(view.CursorX == ViewState{}.CursorX && view.CandidateRef == ViewState{}.CandidateRef);

  p = CursorPress(view, input(), MouseButton::Left, 300, prompt);
  ASSERT_TRUE(p.handled);  // the cursor sample stays where it was
  EXPECT_EQ(std::tuple(p.redraw, p.readout.position, p.readout.line.drawX, view.CursorSample),
            std::tuple(Redraw::Overview, QStringLiteral("30"), 300, 7));
  EXPECT_EQ(view.CandidateRef, (std::array<qint32, 2>{30, 0}));  // right-press entries (12) untouched
  EXPECT_EQ(std::tuple(view.RawCandidate[4], view.EngCandidate[4], view.EngCandidate[5], view.RawCandidate[11],
                       view.EngCandidate[12]),
            std::tuple(70.0, 7.0, 100 - 100 * 80 / 4095.0, 140.0, 0.0));

  CursorPress(view, input(), MouseButton::Right, 600, prompt);  // only channels 5 and 6 at sample 60
  EXPECT_EQ(view.CandidateRef, (std::array<qint32, 2>{30, 60}));  // (60 + 40) / 10; raw 110
  EXPECT_EQ(std::tuple(view.EngCandidate[12], view.EngCandidate[13], view.EngCandidate[4]),
            std::tuple(10.0, 100 - 100 * 110 / 4095.0, 7.0));
}

TEST_F(CursorTest, SpeedAltReplacesChannelsFiveAndSixInEachUnit) {
  derived::DerivedTable table;
  table.reset(1000);
  std::fill_n(table.row(derived::DerivedTable::kSpeedRow), 1000, 25.0f);
  std::fill_n(table.row(derived::DerivedTable::kAltitudeRow), 1000, 1000.0f);
  derived = &table;
  view.SpeedAlt = true;
  // Unit, altitude, speed: m and m/s, m and km/h, feet and mph.
  for (auto [unit, altitude, speed] :
       {std::tuple{0, "1000", "25"}, {1, "1000", "90"}, {2, "3280.83989501312", "55.9234073013601"}}) {
    view.SpeedUnit = unit;
    const CursorReadout r = CursorMove(view, input(), 400);
    EXPECT_EQ(QStringList({r.values[0], r.values[4], r.values[5]}), QStringList({"40", altitude, speed})) << unit;
  }
  // Without the box, or without a table, the raw read-outs stay.
  view.SpeedAlt = false;
  EXPECT_EQ(CursorMove(view, input(), 400).values[4], QStringLiteral("8"));
  view.SpeedAlt = true;
  derived = nullptr;
  EXPECT_EQ(CursorMove(view, input(), 400).values[4], QStringLiteral("8"));
}

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
