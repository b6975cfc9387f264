// `logtool movie` run as a script runs it: arguments, exit codes, nothing written on
// failure, progress only on a terminal; the movie read back with libavformat.
#include "logger/movie/mcf.h"
#include "logger/movie/overlay.h"
#include "support/hand_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"
#include "test_video.h"

#include <QDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

using movie::Kind;

namespace {

using Outcome = testing_support::ToolOutcome;
const QString kLogtool = QStringLiteral(VELKARO_LOGTOOL_PATH);

Outcome Logtool(const QStringList& args) { return testing_support::RunTool(kLogtool, args); }

// Standard error on a pseudo-terminal, where progress is shown.
Outcome OnTerminal(const QStringList& args) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return {};
  QProcess p;
  p.setStandardErrorFile(QString::fromLocal8Bit(ptsname(master)));
  p.start(kLogtool, args);
  Outcome r;
  if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
  fcntl(master, F_SETFL, O_NONBLOCK);
  char buf[4096];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) r.err += QString::fromUtf8(buf, int(n));
  close(master);
  return r;
}

class LogtoolMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 40 samples at FreqCode 1 (50 per second): channel 1 at full scale throughout.
    std::vector<std::vector<qint16>> columns(40, std::vector<qint16>{4095, 100});
    ASSERT_TRUE(testing_support::WriteFileBytes(log, hand::Dlg(40, 0x0003, 1, 99, columns)));
    ASSERT_TRUE(testing_support::WriteFileBytes(cfg, hand::Cfg({{QStringLiteral("Speed"), 0, 100, QStringLiteral("kt"), 4095}, {QStringLiteral("B"), 0, 10, QStringLiteral("m"), 4095}}, 99)));
    movie::MovieLayout layout;
    layout.setup[0].ScaleMax = 100;
    layout.at({Kind::Bar, 1}).left = 1500;  // 100 px
    layout.at({Kind::Bar, 1}).top = 1500;
    ASSERT_TRUE(movie::WriteMovieSetup(setup, layout, nullptr));
    ASSERT_TRUE(videotest::MakeVideo(video, 320, 240, 25, 1));
  }
  QStringList args(const QString& from, const QString& to) const {
    return {"movie", setup, log, "-o", out, "--from", from, "--to", to, "--cfg", cfg};
  }
  testing_support::ProgramDir dir;
  const QString log = dir.file("dlg/f.dlg");
  const QString cfg = dir.file("cfg/f.cfg");
  const QString setup = dir.file("cfg/f.mcf");
  const QString out = dir.file("video/f.avi");
  const QString video = dir.file("cap/in.mkv");  // 1 s at 25 frames per second, with a tone
  // Samples 10 to 29 (0.02 s each) from 0.2 s on; the canvas at half size 8 px right and
  // 4 px down, so that channel 1's bar lies at (62, 104) of the video.
  QStringList overlay(const QString& output, const QString& option = "--at", const QString& value = "0.2") const {
    QStringList a = {"overlay", setup, log, "--video", video, "-o", output, "--from", "10", "--to", "29",
                     "--at", "0.2", "--position", "8,4", "--scale", "0.5", "--cfg", cfg};
    a[a.indexOf(option) + 1] = value;
    return a;
  }
};

}  // namespace

// The frames' pixels are the run suite's; here the count, the rate and the size. ProRes
// 4444 keeps the gauges opaque on a transparent canvas.
TEST_F(LogtoolMovieTest, RendersTheFramesAsMakeMovieWould) {
  const Outcome r = Logtool(args("5", "25") << "--codec" << "ffv1");
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(r.err.contains("frame")) << "no progress into a pipe";
  const auto info = movietest::ProbeAvi(out);
  // 20 frames; 50 samples per second held to 30 frames.
  EXPECT_EQ(std::tuple(info.codec, info.packets, info.rateNum, info.width, info.height),
            std::tuple(QStringLiteral("ffv1"), 20, 30, 720, 540));

  const QString mov = dir.file("video/f.mov");
  ASSERT_EQ(Logtool(args("5", "7").replaceInStrings(out, mov) << "--codec" << "prores4444").status, 0);
  const auto m = movietest::ProbeAvi(mov);
  ASSERT_EQ(std::pair(m.codec, m.frames.size()), std::pair(QStringLiteral("prores"), std::size_t(2)));
  const QRgb bar = m.frames[0].pixel(108, 200);
  EXPECT_TRUE(qAlpha(bar) == 255 && qRed(bar) > 240 && qBlue(bar) < 20) << std::hex << bar;
  EXPECT_EQ(qAlpha(m.frames[0].pixel(108, 367)) + qAlpha(m.frames[1].pixel(400, 300)), 0);
}

TEST_F(LogtoolMovieTest, ProgressOnATerminalUncompressedByDefaultAndEachCodecByName) {
  const Outcome r = OnTerminal(args("0", "3"));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.err.contains("frame 1 of 3") && r.err.contains("frame 3 of 3")) << r.err.toStdString();
  EXPECT_EQ(movietest::ProbeAvi(out).codec, "rawvideo");
  for (const auto& [name, codec] : {std::pair{"raw", "rawvideo"}, {"mjpeg", "mjpeg"}, {"mpeg4", "mpeg4"}}) {
    ASSERT_EQ(Logtool(args("0", "1") << "--codec" << name).status, 0);
    EXPECT_EQ(movietest::ProbeAvi(out).codec, codec);
  }
  // A = B: a valid movie without frames.
  ASSERT_EQ(Logtool(args("40", "40")).status, 0);
  const auto empty = movietest::ProbeAvi(out);
  EXPECT_TRUE(empty.ok && empty.packets == 0);
}

TEST(OverlaySampleTest, EachFrameShowsTheLastSampleWhoseTimeHasCome) {
  // FreqCode 5: a sample every 0.1 s; samples 10 to 19 from 2 s on.
  const struct {
    double t, at;
    std::optional<qint32> k;
  } cases[] = {{1.99, 2, {}}, {2, 2, 10}, {2.3, 2, 13}, {2.35, 2, 13}, {2.999, 2, 19}, {3, 2, {}},
               {0, -0.55, 15} /* a range that began before the video */};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(movie::OverlaySample(c.t, c.at, 10, 19, 5), c.k);
  }
}

TEST_F(LogtoolMovieTest, OverlayShowsTheGaugesInTheirTimeOverTheVideoAndCopiesTheSound) {
  const auto in = movietest::ProbeAvi(video);
  ASSERT_FALSE(in.audio.isEmpty());
  for (const QString name : {"video/o.mkv", "video/o.mp4"}) {
    SCOPED_TRACE(name.toStdString());
    const Outcome r = Logtool(overlay(dir.file(name)));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("100 %, 0:00 left")) << r.err.toStdString();
    const auto o = movietest::ProbeAvi(dir.file(name));
    EXPECT_EQ(o.codec, "h264");
    EXPECT_EQ(o.audio, in.audio);
    EXPECT_NEAR(o.duration, in.duration, 0.01);
    ASSERT_EQ(o.frames.size(), in.frames.size());
    for (std::size_t i = 0; i < o.frames.size(); ++i) {
      const QRgb p = o.frames[i].pixel(62, 104);
      // Frames of 0.04 s: 5 to 14 lie within 0.2 s to 0.6 s.
      EXPECT_EQ(qRed(p) > 180 && qGreen(p) > 180 && qBlue(p) < 90, i >= 5 && i <= 14) << i;
    }
  }
}

TEST_F(LogtoolMovieTest, FailuresExitWithTheirCodeAndWriteNothing) {
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("dlg/bad.dlg"), QByteArray(5, '\0')));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/bad.mcf"), QByteArray(128, '\0')));
  QByteArray bytes = testing_support::FileBytes(video);
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap/cut.mkv"), bytes.left(bytes.size() / 2)));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap/bad.mkv"), bytes.replace(bytes.size() / 2, 3000, QByteArray(3000, 'Z'))));
  const QString o = dir.file("video/o.mp4");
  const QList<std::tuple<const char*, QStringList, int>> cases = {
      {"no such video", overlay(o, "--video", dir.file("cap/none.mkv")), 1},
      {"video cut short", overlay(o, "--video", dir.file("cap/cut.mkv")), 1},
      {"video damaged half-way", overlay(o, "--video", dir.file("cap/bad.mkv")), 1},
      {"overlay: start after stop", overlay(o, "--from", "30"), 2},
      {"time not a number", overlay(o, "--at", "soon"), 2},
      {"position not a pair", overlay(o, "--position", "8"), 2},
      {"range starts after the video", overlay(o, "--at", "1.05"), 2},
      {"neither MP4 nor Matroska", overlay(dir.file("video/o.avi")), 2},
      {"no output", {"movie", setup, log, "--from", "0", "--to", "5"}, 2},
      {"unknown codec", args("0", "5") << "--codec" << "h264", 2},
      {"sample not a number", args("zero", "5"), 2},
      {"start after stop", args("6", "5"), 2},
      {"stop beyond the log", args("0", "41"), 2},
      {"negative start", args("-1", "5"), 2},
      {"damaged log", args("0", "1").replaceInStrings(log, dir.file("dlg/bad.dlg")), 1},
      {"damaged setup", args("0", "1").replaceInStrings(setup, dir.file("cfg/bad.mcf")), 1},
      {"output folder missing", args("0", "1").replaceInStrings(out, dir.file("none/f.avi")), 1},
  };
  for (const auto& [what, a, status] : cases) {
    SCOPED_TRACE(what);
    const Outcome r = Logtool(a);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("logtool")) << r.err.toStdString();
    // Nothing at the output's name, and no temporary file left beside it.
    EXPECT_TRUE(QDir(dir.file("video")).isEmpty(QDir::Files | QDir::Hidden | QDir::System));
  }
}
