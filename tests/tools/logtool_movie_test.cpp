// `logtool movie` run as a script runs it: arguments, exit codes, nothing written on
// failure, progress only on a terminal; the movie read back with libavformat.
#include "support/hand_bytes.h"
#include "support/run_tool.h"
#include "logger/movie/avi_probe.h"
#include "logger/movie/mcf.h"
#include "support/test_paths.h"

#include <QDir>
#include <QProcess>
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
  }
  QStringList args(const QString& from, const QString& to) const {
    return {"movie", setup, log, "-o", out, "--from", from, "--to", to, "--cfg", cfg};
  }
  // Nothing at the output's name, and no temporary file left beside it.
  void expectNothingWritten() {
    EXPECT_TRUE(QDir(dir.file("video")).isEmpty(QDir::Files | QDir::Hidden | QDir::System));
  }

  testing_support::ProgramDir dir;
  const QString log = dir.file("dlg/f.dlg");
  const QString cfg = dir.file("cfg/f.cfg");
  const QString setup = dir.file("cfg/f.mcf");
  const QString out = dir.file("video/f.avi");
};

}  // namespace

TEST_F(LogtoolMovieTest, RendersTheFramesAsMakeMovieWould) {
  const Outcome r = Logtool(args("5", "25") << "--codec" << "ffv1");
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(r.err.contains("frame")) << "no progress into a pipe";
  const auto info = movietest::ProbeAvi(out);
  ASSERT_TRUE(info.ok);
  // 20 frames; 50 samples per second held to 30 frames.
  EXPECT_EQ(std::tuple(info.codec, info.packets, info.rateNum, info.width, info.height),
            std::tuple(QStringLiteral("ffv1"), 20, 30, 720, 540));
  // Lossless: the bar full from 10 twips below its top, on the canvas blue.
  const QImage& f = info.first;
  const QRgb yellow = qRgb(255, 255, 0), blue = qRgb(0, 0, 192);
  EXPECT_EQ(QList<QRgb>({f.pixel(108, 101), f.pixel(108, 366), f.pixel(108, 367), f.pixel(400, 300)}),
            QList<QRgb>({yellow, yellow, blue, blue}));
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

TEST_F(LogtoolMovieTest, FailuresExitWithTheirCodeAndWriteNothing) {
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("dlg/bad.dlg"), QByteArray(5, '\0')));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cfg/bad.mcf"), QByteArray(128, '\0')));
  const QList<std::tuple<const char*, QStringList, int>> cases = {
      {"no output", {"movie", setup, log, "--from", "0", "--to", "5"}, 2},
      {"unknown codec", args("0", "5") << "--codec" << "h264", 2},
      {"unknown option", args("0", "5") << "--fast", 2},
      {"sample not a number", args("zero", "5"), 2},
      {"one file too many", args("0", "5") << log, 2},
      {"start after stop", args("6", "5"), 2},
      {"stop beyond the log", args("0", "41"), 2},
      {"negative start", args("-1", "5"), 2},
      {"--cfg twice", args("0", "5") << "--cfg" << cfg, 2},
      {"damaged log", args("0", "1").replaceInStrings(log, dir.file("dlg/bad.dlg")), 1},
      {"damaged setup", args("0", "1").replaceInStrings(setup, dir.file("cfg/bad.mcf")), 1},
      {"unreadable configuration", args("0", "1").replaceInStrings(cfg, dir.file("cfg/none.cfg")), 1},
      {"output folder missing", args("0", "1").replaceInStrings(out, dir.file("none/f.avi")), 1},
  };
  for (const auto& [what, a, status] : cases) {
    SCOPED_TRACE(what);
    const Outcome r = Logtool(a);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("logtool")) << r.err.toStdString();
    expectNothingWritten();
  }
}
