// Layout editing without a window: drops, channel choice, range and format boxes, and a
// loaded setup.
#include "logger/movie/editor.h"
#include "logger/movie/messages.h"
#include "movie_source.h"
#include "support/fake_prompt.h"

#include <gtest/gtest.h>

using movie::Element;
using movie::Kind;
using movie::MovieEditor;
using movie::Twips;

namespace {

class EditorTest : public ::testing::Test {
 protected:
  movietest::Log log{50};
  MovieEditor editor{log.source(), 7};
  const Element& at(Kind k, int c) { return editor.layout().at({k, c}); }
};

}  // namespace

TEST_F(EditorTest, DropRulesAndABoundBeyondAFloatRefusedWhereItIsTyped) {
  // Dropped at atPx: placed or parked, where its corner ends up, its height (labels: 0).
  struct Case { const char* what; Kind kind; int channel; QPoint atPx; bool placed; QPoint leftTopPx; int heightPx; bool visible; };
  const Case cases[] = {
      {"x = 720 stays on the canvas", Kind::Bar, 12, {720, 100}, true, {718, 97}, 267, true},
      {"x = 721 parks", Kind::Bar, 12, {721, 100}, false, {728, 112}, 267, true},
      {"y = 541 parks", Kind::ChUnit, 12, {100, 541}, false, {728, 412}, 0, true},
      {"horizontal scale placed: 22 px", Kind::Vaakamitta, 12, {300, 300}, true, {298, 297}, 22, true},
      {"horizontal scale parked: 9 px", Kind::Vaakamitta, 12, {800, 300}, false, {8, 545}, 9, true},
      {"horizontal bar placed: 20 px", Kind::HorBar, 12, {10, 540}, true, {8, 537}, 20, true},
      {"horizontal bar parked: 9 px", Kind::HorBar, 12, {10, 600}, false, {8, 560}, 9, true},
      {"another channel's parked element hides", Kind::CHLabel, 3, {900, 10}, false, {728, 380}, 0, false},
      {"another channel's element placed shows", Kind::CHLabel, 3, {90, 10}, true, {88, 7}, 0, true},
      {"time labels stay visible in the palette", Kind::Time, 0, {900, 10}, false, {728, 508}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(editor.drop({c.kind, c.channel}, {30, 45}, {Twips(c.atPx.x()), Twips(c.atPx.y())}), c.placed);
    const Element& e = at(c.kind, c.channel);
    EXPECT_EQ(std::tuple(QPoint(e.left, e.top), e.height, e.visible),
              std::tuple(QPoint(Twips(c.leftTopPx.x()), Twips(c.leftTopPx.y())), Twips(c.heightPx), c.visible));
  }

  // A bound beyond a float is refused where it is typed, so that the setup reads back.
  testing_support::FakePrompt prompt;
  for (const auto bound : {MovieEditor::Bound::Max, MovieEditor::Bound::Min}) {
    EXPECT_EQ(editor.enterBound(bound, "-1" + QString(40, QLatin1Char('0')), prompt), editor.boundText(bound));
    editor.leaveBound(bound);
  }
  EXPECT_EQ(prompt.messageTexts(),
            QStringList({movie::msg::BoundTooLarge(movie::msg::kMax), movie::msg::BoundTooLarge(movie::msg::kMin)}));
  EXPECT_EQ(std::pair(editor.layout().setup[11].ScaleMin, editor.layout().setup[11].ScaleMax), std::pair(0.f, 1.f));
}

TEST_F(EditorTest, ALoadedSetupShowsWhatLiesOnTheCanvasWithItsDropSize) {
  movie::MovieLayout read = editor.layout();
  read.setup[0] = {0, 10, 0, 0, QStringLiteral("0.0")};
  read.at({Kind::HorBar, 1}).top = Twips(500), read.at({Kind::HorBar, 1}).left = Twips(20);
  read.at({Kind::Vaakamitta, 1}).top = Twips(470);
  read.at({Kind::ChValue, 1}).left = Twips(719);
  read.at({Kind::Bar, 2}).left = Twips(720);  // neither on the canvas nor parked
  editor.chooseChannel(5);
  editor.applySetup(read);

  // Shown on the canvas: the horizontal bar and scale of channel 1 and its value; not
  // the bar of channel 2 at exactly 720 px, nor channel 1's bar still in the palette.
  EXPECT_EQ(QList<bool>({at(Kind::HorBar, 1).visible, at(Kind::Vaakamitta, 1).visible, at(Kind::ChValue, 1).visible,
                         at(Kind::Bar, 2).visible, at(Kind::Bar, 1).visible}),
            QList<bool>({true, true, true, false, false}));
  EXPECT_TRUE(at(Kind::HorBar, 1).height == Twips(20) && at(Kind::Vaakamitta, 1).height >= Twips(22));
  EXPECT_EQ(editor.scene().value[0], movietest::L("7.0")) << "in the channel's own format";
  EXPECT_EQ(editor.layout().setup[0].PendingMax, 10);
  EXPECT_FALSE(editor.scene().vertical[4].ticks.empty()) << "scales redrawn";

  // A shorter log loaded since the window opened: values come from within it.
  log.store.reset(3);
  editor.applySetup(read);
  EXPECT_EQ(editor.scene().value[0], movietest::L("0.0"));
}
