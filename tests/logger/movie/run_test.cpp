// The frame loop: one frame per sample, writer failures and the range guard.
#include "logger/movie/run.h"
#include "movie_source.h"

#include <gtest/gtest.h>

using movie::RunEnd;

namespace {

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

// Channel 1's bar on the canvas at (100, 100) px, 0..100 for a raw ramp j.
movie::Scene BarScene() {
  movie::Scene s;
  auto& bar = s.layout.at({movie::Kind::Bar, 1});
  bar.left = bar.top = 1500;
  s.layout.setup[0].ScaleMax = 100;
  return s;
}

int BarTop(const QImage& img) {
  for (int y = 100; y < 367; ++y)
    if (qRed(img.pixel(108, y)) > 200 && qBlue(img.pixel(108, y)) < 60) return y;
  return -1;
}

}  // namespace

// From the copy taken when the run began, whatever log came since.
TEST(RunTest, OneFramePerSampleOnBlueFromTheLogTheRunBeganWith) {
  movietest::Log log(200);
  const movie::RunSnapshot copy(log.source());
  log.store = logdata::SampleStore();  // another log, empty
  movie::Scene scene = BarScene();
  FakeWriter w;
  EXPECT_EQ(movie::RenderMovie(scene, copy.source(), 20, 60, w, {}), RunEnd::Finished);
  ASSERT_EQ(w.frames.size(), 60u);
  EXPECT_EQ(w.finishes, 1);
  // Sample 20 shows 20, sample 79 shows 79 of 100 on a 267 px bar (10 twips short).
  EXPECT_EQ(std::pair(BarTop(w.frames.front()), BarTop(w.frames.back())), std::pair(314, 157));
  EXPECT_EQ(w.frames[0].pixel(108, 110), qRgb(0, 0, 192)) << "element backgrounds are the canvas blue";
  EXPECT_EQ(scene.time, movietest::L("5.90")) << "frame 59 at 0.1 s per sample";
}

TEST(RunTest, WriterFailuresAndRangesBeyondTheLogEndTheRun) {
  const movietest::Log log(100);
  movie::Scene scene = BarScene();
  FakeWriter w;
  w.failAt = 2;
  EXPECT_EQ(movie::RenderMovie(scene, log.source(), 0, 10, w, {}), RunEnd::WriteError);
  EXPECT_EQ(std::pair(w.frames.size(), w.finishes), std::pair(std::size_t(2), 0));
  w = FakeWriter();
  w.finishFails = true;
  EXPECT_EQ(movie::RenderMovie(scene, log.source(), 0, 10, w, {}), RunEnd::WriteError);

  // Through the worker thread a failure of the last frame shows when the file is closed.
  auto fake = std::make_unique<FakeWriter>();
  fake->failAt = 9;
  auto piped = movie::Pipelined(std::move(fake));
  EXPECT_EQ(movie::RenderMovie(scene, log.source(), 0, 10, *piped, {}), RunEnd::WriteError);
  EXPECT_EQ(piped->error(), "disk full");

  // A range beyond the log reads nothing.
  w = FakeWriter();
  for (const auto& [start, count] : {std::pair{90, 11}, {-1, 5}, {0, -1}, {100, 1}})
    EXPECT_EQ(movie::RenderMovie(scene, log.source(), start, count, w, {}), RunEnd::OutsideLog) << start;
  EXPECT_TRUE(w.frames.empty() && w.finishes == 0);
  EXPECT_EQ(movie::RenderMovie(scene, log.source(), 100, 0, w, {}), RunEnd::Finished) << "no frames, a closed file";
  EXPECT_EQ(w.finishes, 1);
}
