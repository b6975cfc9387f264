// The painted frame, pixel by pixel: bars for the edge cases of their geometry; the frame
// loop: one frame per sample, writer failures and the range guard; and abandoned movie files.
#include "logger/movie/canvas.h"
#include "logger/movie/run.h"
#include "movie_source.h"
#include "support/test_paths.h"

#include <QDir>
#include <gtest/gtest.h>

using movie::Kind;
using movie::RunEnd;
using movie::Scene;

namespace {

bool Yellow(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 60; }

// [first, last] yellow pixels along a row or column of the image; {-1, -1} for none.
std::pair<int, int> YellowSpan(const QImage& img, bool column, int at, int from, int to) {
  int first = -1, last = -1;
  for (int i = from; i < to; ++i)
    if (Yellow(column ? img.pixel(at, i) : img.pixel(i, at))) {
      if (first < 0) first = i;
      last = i;
    }
  return {first, last};
}

class FakeWriter : public movie::VideoWriter {
 public:
  bool write(const QImage& frame) override { return int(frames.size()) != failAt && (frames.push_back(frame.copy()), true); }
  bool finish() override { return ++finishes, !finishFails; }
  QString error() const override { return QStringLiteral("disk full"); }
  std::vector<QImage> frames;
  int failAt = -1;
  bool finishFails = false;
  int finishes = 0;
};

// span: the yellow pixels inside the bar, along its length.
struct BarCase { const char* what; Kind kind; float min, max; double value; std::pair<int, int> span; };

}  // namespace

TEST(CanvasTest, BarsFromTheirBaselineToTheValue) {
  const BarCase cases[] = {
      {"half of 0..10 fills the lower half", Kind::Bar, 0, 10, 5, {134, 266}},
      {"0 below 2..10: the bar grows from ScaleMin, 6 fills half", Kind::Bar, 2, 10, 6, {134, 266}},
      {"0 inside -10..30: the bar grows from the zero line", Kind::Bar, -10, 30, 10, {134, 199}},
      {"0 above -10..-2: the bar hangs from ScaleMax", Kind::Bar, -10, -2, -6, {0, 133}},
      {"value 0 leaves the bar clear", Kind::Bar, 0, 10, 0, {-1, -1}},
      {"full scale", Kind::Bar, 0, 10, 10, {1, 266}},
      {"negative value from the middle leftwards", Kind::HorBar, -10, 10, -5, {95, 188}},
      {"0 left of 2..10: the bar grows from ScaleMin", Kind::HorBar, 2, 10, 6, {0, 188}},
      {"0 right of -10..-2: the bar grows from ScaleMax", Kind::HorBar, -10, -2, -6, {189, 376}},
      {"empty range draws an empty bar", Kind::Bar, 4, 4, 4, {-1, -1}},
      {"empty range, horizontal", Kind::HorBar, 0, 0, 1, {-1, -1}},
  };
  for (const BarCase& c : cases) {
    SCOPED_TRACE(c.what);
    Scene s;
    s.background = movie::kCanvasBlue;
    auto& bar = s.layout.at({c.kind, 1});
    bar.left = bar.top = 1500;  // 100 px
    bar.visible = true;
    if (c.kind == Kind::HorBar) bar.height = 300;  // on the canvas: 20 px
    s.layout.setup[0].ScaleMin = c.min, s.layout.setup[0].ScaleMax = c.max;
    s.barValue[0] = c.value;
    QImage img;
    movie::RenderFrame(s, img);
    ASSERT_EQ(img.size(), QSize(720, 540));
    const bool vertical = c.kind == Kind::Bar;
    auto span = vertical ? YellowSpan(img, true, 108, 0, 540) : YellowSpan(img, false, 110, 0, 720);
    if (span.first >= 0) span = {span.first - 100, span.second - 100};
    EXPECT_EQ(span, c.span);
    if (vertical && c.span.first >= 0) {  // the full width of the bar
      EXPECT_EQ(YellowSpan(img, false, 100 + c.span.second, 0, 720), std::make_pair(100, 116));
    }
  }
}

TEST(CanvasTest, OnlyVisibleElementsOnTheCanvasArePainted) {
  Scene s;
  s.background = movie::kBlack;
  s.value[2] = QStringLiteral("88");
  auto& label = s.layout.at({Kind::ChValue, 3});
  label.left = 300;
  label.top = 300;
  QImage img;
  movie::RenderFrame(s, img);
  const QRect r = movie::PixelRect(movie::ElementRect(s, {Kind::ChValue, 3}));
  // At (20, 20): its black background, its yellow text, and the canvas right beside it.
  EXPECT_EQ(std::pair(r.topLeft(), img.pixel(r.topLeft())), std::pair(QPoint(20, 20), qRgb(0, 0, 0)));
  EXPECT_NE(YellowSpan(img, false, r.center().y(), r.left(), r.right() + 1).first, -1);
  EXPECT_EQ(img.pixel(r.right() + 2, r.center().y()), qRgb(0, 0, 192));

  label.visible = false;
  movie::RenderFrame(s, img);
  EXPECT_EQ(img.pixel(r.center()), qRgb(0, 0, 192));
}

// From the copy taken when the run began, whatever log came since.
TEST(RunTest, OneFramePerSampleOnBlueFromTheLogTheRunBeganWithUntilTheWriterFails) {
  movietest::Log log(200);
  const movie::RunSnapshot copy(log.source());
  log.store = logdata::SampleStore();  // another log, empty
  // Channel 1's bar on the canvas at (100, 100) px, 0..100 for a raw ramp j.
  movie::Scene scene;
  scene.layout.at({Kind::Bar, 1}).left = scene.layout.at({Kind::Bar, 1}).top = 1500;
  scene.layout.setup[0].ScaleMax = 100;
  FakeWriter w;
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 20, 60, w, {}), RunEnd::Finished);
  ASSERT_EQ(w.frames.size(), 60u);
  EXPECT_EQ(w.finishes, 1);
  // Sample 20 shows 20, sample 79 shows 79 of 100 on a 267 px bar (10 twips short).
  EXPECT_EQ(std::pair(YellowSpan(w.frames.front(), true, 108, 100, 367).first, YellowSpan(w.frames.back(), true, 108, 100, 367).first),
            std::pair(314, 157));
  EXPECT_EQ(w.frames[0].pixel(108, 110), qRgb(0, 0, 192)) << "element backgrounds are the canvas blue";
  EXPECT_EQ(scene.time, movietest::L("5.90")) << "frame 59 at 0.1 s per sample";

  // Writer failures and ranges beyond the log end the run.
  w = FakeWriter();
  w.failAt = 2;
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 0, 10, w, {}), RunEnd::WriteError);
  EXPECT_EQ(std::pair(w.frames.size(), w.finishes), std::pair(std::size_t(2), 0));
  w = FakeWriter();
  w.finishFails = true;
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 0, 10, w, {}), RunEnd::WriteError);

  // Through the worker thread a failure of the last frame shows when the file is closed.
  auto fake = std::make_unique<FakeWriter>();
  fake->failAt = 9;
  auto piped = movie::Pipelined(std::move(fake));
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 0, 10, *piped, {}), RunEnd::WriteError);
  EXPECT_EQ(piped->error(), "disk full");

  // A range beyond the log reads nothing.
  w = FakeWriter();
  for (const auto& [start, count] : {std::pair{190, 11}, {-1, 5}, {0, -1}, {200, 1}})
    EXPECT_EQ(movie::RenderMovie(scene, copy.source(), start, count, w, {}), RunEnd::OutsideLog) << start;
  EXPECT_TRUE(w.frames.empty() && w.finishes == 0);
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 200, 0, w, {}), RunEnd::Finished) << "no frames, a closed file";
  EXPECT_EQ(w.finishes, 1);
}

TEST(AviFileTest, AbandonedOrImpossibleWritesLeaveNothing) {
  testing_support::ProgramDir dir;
  QString error;
  EXPECT_FALSE(movie::OpenAvi(dir.file("nowhere/m.avi"), movie::Codec::Raw, 10, &error));
  EXPECT_FALSE(error.isEmpty());

  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("video/old.avi"), "old movie"));
  {
    auto w = movie::Pipelined(movie::OpenAvi(dir.file("video/old.avi"), movie::Codec::Ffv1, 10, nullptr));
    ASSERT_TRUE(w->write(QImage(720, 540, QImage::Format_RGB32)));
  }  // destroyed without finish()
  EXPECT_EQ(testing_support::FileBytes(dir.file("video/old.avi")), "old movie");
  EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.avi"});
}
