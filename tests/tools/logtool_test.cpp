// `logtool` run as scripts run it: each command's output, its exit codes, nothing written on
// failure, progress only on a terminal; a copy in a program directory of its own finds cfg/ there.
#include "common/messages.h"
#include "logger/logdata/image_bytes.h"
#include "logger/movie/avi_probe.h"
#include "logger/movie/mcf.h"
#include "logger/movie/overlay.h"
#include "logger/movie/videowriter.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QDir>
#include <QRegularExpression>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

using testing_support::FileBytes;
using testing_support::WriteFileBytes;

namespace {

namespace msg = common::msg;
using Outcome = testing_support::ToolOutcome;

// Channel 5 at 1 mbar per count from `min5`, channel 6 at 0.075 mbar per count.
QByteArray PressureCfg(double min5) {
  return hand::Cfg({{}, {}, {}, {}, {"Static", min5, min5 + 4095, "mbar", 4095}, {"Total", 0, 307.125, "mbar", 4095}}, 4711);
}

// (raw 5, raw 6) per sample, 0.1 s apart, serial number 4711.
QByteArray PressureLog(const std::vector<std::pair<qint16, qint16>>& samples) {
  std::vector<std::vector<qint16>> columns;
  for (auto [s, t] : samples) columns.push_back({0, 0, 0, 0, s, t});
  return hand::Dlg(qint32(samples.size()), 0x0030, 5, 4711, columns);
}

class LogtoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKARO_LOGTOOL_PATH), tool));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::permissions(tool) | QFileDevice::ExeOwner));
    // The file commands' log: channels 1 and 5, two samples, FreqCode 3, configuration 77.
    ASSERT_TRUE(WriteFileBytes(log, hand::Dlg(2, 0x0011, 3, 77, {{1, 0, 0, 0, 5}, {-2, 0, 0, 0, 4095}})));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/77.cfg"), hand::Cfg({{"Alt", 0.5, 2, "m", 1}}, 77)));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/config.cfg"), hand::Cfg({{"Base", 0.5, 2, "ft", 1}}, 0)));
    // derive's: zero levels at sample 0, 1000 and 150 mbar. Sample 1: ALT 879.454 m, IAS
    // sqrt(1000) m/s from the zero level; sample 2 below it; sample 3 at 0 mbar static.
    // plus100.cfg reads channel 5 100 mbar higher.
    ASSERT_TRUE(WriteFileBytes(flight, PressureLog({{1000, 2000}, {900, 2081}, {1000, 1990}, {0, 2000}})));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/4711.cfg"), PressureCfg(0)));
    ASSERT_TRUE(WriteFileBytes(dir.file("cfg/plus100.cfg"), PressureCfg(100)));
    // movie's: 40 samples at FreqCode 1 (50 per second), channel 1 at full scale throughout;
    // its bar 100 px from the canvas's corner.
    std::vector<std::vector<qint16>> columns(40, std::vector<qint16>{4095, 100});
    ASSERT_TRUE(WriteFileBytes(movieLog, hand::Dlg(40, 0x0003, 1, 99, columns)));
    ASSERT_TRUE(WriteFileBytes(movieCfg, hand::Cfg({{"Speed", 0, 100, "kt", 4095}, {"B", 0, 10, "m", 4095}}, 99)));
    movie::MovieLayout layout;
    layout.setup[0].ScaleMax = 100;
    layout.at({movie::Kind::Bar, 1}).left = 1500;
    layout.at({movie::Kind::Bar, 1}).top = 1500;
    ASSERT_TRUE(movie::WriteMovieSetup(setup, layout, nullptr));
    // The video to overlay: FFmpeg's own tool makes 1 s of flat grey at 25 per second and a tone.
    const QStringList args = {"-nostdin", "-f", "lavfi", "-i", "color=c=gray:s=320x240:r=25:d=1", "-f", "lavfi", "-i",
                              "sine=f=440:d=1", "-c:v", "mpeg4", "-c:a", "mp2", video};
    const auto made = testing_support::RunTool("ffmpeg", args);
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
  }
  Outcome run(const QStringList& args) {
    Outcome r = testing_support::RunTool(tool, args, dir.path());
    // Qt's GUI start-up may warn of a missing runtime folder: not logtool's to say.
    static const QRegularExpression qtNote("^QStandardPaths: [^\\n]*\\n");
    r.err.remove(qtNote);
    return r;
  }
  QString at(const QString& name) const { return dir.file("dlg/" + name); }
  std::vector<double> column(int col) {
    std::vector<double> v;
    const QStringList lines = QString::fromLatin1(FileBytes(csv)).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) v.push_back(line.split(',').value(col).toDouble());
    return v;
  }
  QStringList movieArgs(const QString& from, const QString& to) const {
    return {"movie", setup, movieLog, "-o", movieOut, "--from", from, "--to", to, "--cfg", movieCfg};
  }
  // Samples 10 to 29 (0.02 s each) from 0.2 s on; the canvas at half size 8 px right and
  // 4 px down, so that channel 1's bar lies at (62, 104) of the video.
  QStringList overlay(const QString& output, const QString& option = "--at", const QString& value = "0.2") const {
    QStringList a = {"overlay", setup, movieLog, "--video", video, "-o", output, "--from", "10", "--to", "29",
                     "--at", "0.2", "--position", "8,4", "--scale", "0.5", "--cfg", movieCfg};
    a[a.indexOf(option) + 1] = value;
    return a;
  }

  testing_support::ProgramDir dir;
  const QString tool = dir.file("logtool"), log = at("f.dlg"), out = dir.file("video/o.out");
  const QString flight = at("flight.dlg"), csv = dir.file("cap/flight.csv");
  const QString movieLog = at("m.dlg"), movieCfg = dir.file("cfg/m.cfg"), setup = dir.file("cfg/m.mcf");
  const QString movieOut = dir.file("video/f.avi"), video = dir.file("cap/in.mkv");
};

// Lossy codecs come close: each of red, green and blue within 24.
bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

}  // namespace

// Each file command's output, to standard output or to -o; csv and stats take the log's
// configuration as the logger would pick it.
TEST_F(LogtoolTest, EachFileCommandsOutput) {
  const QString other = at("g.dlg"), cfg = dir.file("cfg/1234.cfg"), quoted = dir.file("cfg/q.cfg");
  ASSERT_TRUE(WriteFileBytes(at("a.dlg"), hand::Dlg(2, 0x0C03, 4, 1234, {{1}, {2}})));
  ASSERT_TRUE(WriteFileBytes(at("b.dlg"), hand::Dlg(0, 0x00AB, 3, -5, {})));
  ASSERT_TRUE(WriteFileBytes(other, hand::Dlg(0, 0x0001, 3, 78, {})));
  ASSERT_TRUE(WriteFileBytes(cfg, hand::Cfg({{"Pitot", 0, 4095, "V", 2}, {"Static", -10.5, 0.1, "kPa", 1.25}}, 1234)));
  ASSERT_TRUE(WriteFileBytes(quoted, hand::Cfg({{"Alt, \"baro\"", 0.5, 2, "m", 1}}, 0)));
  // Channel 12 only, one byte per record; last index 11: (11 - 8) / 1 - 1 = 2 samples.
  ASSERT_TRUE(WriteFileBytes(at("r.dlt"), hand::ToQ(hand::RawImage(0x0800, 25, {1, 2, 3, 4}))));
  QByteArray channels = "CH1\tPitot\t0\t4095\tV\t2\nCH2\tStatic\t-10.5\t0.1\tkPa\t1.25\n";
  for (int c = 3; c <= 12; ++c) channels += QStringLiteral("CH%1\t\t0\t0\t\t0\n").arg(c).toLatin1();
  const QByteArray low = "0.499267399267399", high = "0.5003663003663",
                   head = "channel,name,unit,samples,min,min_at,max,max_at,mean,rms\n";
  const struct {
    QStringList args;
    QByteArray expected;  // standard output, or the file with -o
    QString err = {};
  } cases[] = {
      {{"info", at("a.dlg")}, "samples: 2\nmask: 0x0C03\nfreqcode: 4\nrate: 12.5\nconfig: 1234\n"},
      {{"info", at("b.dlg")}, "samples: 0\nmask: 0x00AB\nfreqcode: 3\nrate: 16.6666666666667\nconfig: -5\n"},
      {{"cfg", cfg}, channels + "serial: 1234\n"},
      // Only row 12 is in the mask: it holds the records newest first.
      {{"decode", at("r.dlt"), "--config", "42", "--last-index", "11", "-o", out},
       hand::Dlg(2, 0x0800, 25, 42, [](int, qint32 j) { return qint16(2 - j); })},
      // The absolute path in the header. An empty log: both ends clamp to its spare zero column.
      {{"csv", "dlg/g.dlg", "--from", "2", "--to", "1", "-o", out},
       "Generated from " + other.toLatin1() + "\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\nMIN\r\n"
       " ,0.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,2,0,0,0,0,0,0,0,0,0,0,0\r\nCycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11"
       "\r\n ,Base,,,,,,,,,,,\r\n ,ft,,,,,,,,,,,\r\n 0 ,0,0,0,0,0,0,0,0,0,0,0,0\r\n",
       "logtool: Config file '78.cfg' not found, config.cfg used instead\n"},
      {{"stats", "dlg/f.dlg"},
       head + "1,Alt,m,2," + low + ",1," + high + ",0,0.49981684981685,0.49981715182329\n5,,,2,0,0,0,0,0,0\n"},
      {{"stats", "dlg/f.dlg", "--from", "1", "--to", "1", "--cfg", quoted, "-o", out},
       head + "1,\"Alt, \"\"baro\"\"\",m,1," + low + ",1," + low + ",1," + low + "," + low + "\n5,,,1,0,1,0,1,0,0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    QFile::remove(out);
    const Outcome r = run(c.args);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(c.args.contains("-o") ? FileBytes(out) : r.out.toUtf8(), c.expected);
  }
}

// derive's options and CSV columns, each reference mode sample by sample.
TEST_F(LogtoolTest, DeriveEachReferenceSampleBySample) {
  const double root = 31.6227766, ceiling = 44307.694, alt = 879.45399;
  // The options, the columns' heads, speed and altitude at samples 0..3.
  const std::tuple<QStringList, const char*, std::vector<double>, std::vector<double>> cases[] = {
      {{"--ref", "bias"}, "IAS m/s,ALT m", {0, root, 0, 0}, {0, alt, 0, ceiling}},
      {{"--unit", "3", "--ref", "bias"}, "IAS kt,ALT feet", {0, 61.4697601, 0, 0}, {0, 2885.34772, 0, 145366.45}},
      // The same sample less the sensors' offset, 150 - 1000 mbar (the default).
      {{}, "IAS m/s,ALT m", {0, 132.139719, 0, 405.720413}, {0, alt, 0, ceiling}},
      // 0.75 mbar below channel 6's zero level: q 75 Pa at sample 0.
      {{"--ref", "user", "--pressure", "149.25"}, "IAS m/s,ALT m", {11.1111111, 33.5180189, 0, 11.1111111},
       {0, alt, 0, ceiling}},
      // The configuration --cfg names in place of the log's own: sample 3 at 100 of 1100 mbar.
      {{"--cfg", dir.file("cfg/plus100.cfg"), "--ref", "bias"}, "IAS m/s,ALT m", {0, root, 0, 0},
       {0, 796.321566, 0, 16232.7578}},
  };
  for (const auto& [args, header, speed, altitude] : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const Outcome r = run(QStringList{"derive", flight, "--zero", "0"} + args + QStringList{"-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out + r.err, QString());
    const QByteArray text = FileBytes(csv);
    EXPECT_TRUE(text.startsWith("sample,seconds," + QByteArray(header) + "\n0,0,")) << text.toStdString();
    EXPECT_EQ(column(1), (std::vector<double>{0, 0.1, 0.2, 0.3}));
    for (int j = 0; j < 4; ++j) {  // seven significant digits at least
      EXPECT_NEAR(column(2)[std::size_t(j)], speed[std::size_t(j)], 1e-6 * std::max(1.0, speed[std::size_t(j)]));
      EXPECT_NEAR(column(3)[std::size_t(j)], altitude[std::size_t(j)], 1e-6 * std::max(1.0, altitude[std::size_t(j)]));
    }
  }
  // The static sensor drifts 1 mbar a sample down between the readings at samples 1 and
  // 5 while the pressure stays at 1000 mbar: no correction up to sample 1, 4 mbar from
  // sample 5 on. Sample 2 reads 2 mbar high, sample 7 4 mbar low.
  ASSERT_TRUE(WriteFileBytes(flight, PressureLog({{1000, 2000}, {1000, 2000}, {1001, 2000}, {998, 2000},
                                                  {997, 2000}, {996, 2000}, {996, 2000}, {992, 2000}})));
  ASSERT_EQ(run({"derive", flight, "--zero", "1", "--second", "5", "-o", csv}).status, 0);
  const double expected[] = {0, 0, -16.8484534, 0, 0, 0, 0, 33.7789271};
  for (int j = 0; j < 8; ++j) EXPECT_NEAR(column(3).at(std::size_t(j)), expected[j], 1e-6) << j;
}

// The report read back by poppler's tools: real text with the numbers of stats and derive.
TEST_F(LogtoolTest, ReportPdfReadsBack) {
  const QString pdf = dir.file("cap/r.pdf");
  const Outcome r = run({"report", flight, "--zero", "0", "--from", "1", "-o", pdf});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out + r.err, QString());
  const auto info = testing_support::RunTool("pdfinfo", {pdf});
  const auto text = testing_support::RunTool("pdftotext", {"-layout", pdf, "-"});
  if (info.status < 0 || text.status < 0) GTEST_SKIP() << "poppler-utils are not installed";
  EXPECT_TRUE(info.out.contains(QRegularExpression("Pages: +2\n[\\s\\S]*\\(A4\\)"))) << info.out.toStdString();
  const QString page = text.out.simplified();
  // Samples 1..3: channel 5 at 900, 1000, 0 mbar; the altitude as the table's float holds it.
  const QString expected[] = {"Flight report", "Range 1 – 3 (0.10 s – 0.30 s)", "Configuration " + dir.file("cfg/4711.cfg"),
                              "5 Static mbar 0.00 1000.00 633.33", "Maximum altitude 44307.70 m at sample 3 (0.30 s)"};
  for (const QString& s : expected)
    EXPECT_TRUE(page.contains(s)) << s.toStdString() << "\n" << page.toStdString();
}

// Every codec by name: one stream of key frames at the logging rate held to 30 a second,
// the right way up, lossy ones at the fixed quantiser, no temporary left, no progress into
// a pipe. ProRes 4444 keeps the gauges opaque on a transparent canvas.
TEST_F(LogtoolTest, MovieFramesAsMakeMovieWouldEachCodecByNameProgressOnATerminal) {
  const std::tuple<const char*, QString, int> codecs[] = {{"mjpeg", "mjpeg", -1}, {"ffv1", "ffv1", -1},
      {"mpeg4", "mpeg4", movie::kLossyQuantiser}, {"raw", "rawvideo", -1}, {nullptr, "rawvideo", -1}};
  for (const auto& [option, codec, quantiser] : codecs) {
    SCOPED_TRACE(codec.toStdString());
    const Outcome r = run(option ? movieArgs("5", "8") << "--codec" << option : movieArgs("5", "8"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out + r.err, "");
    const auto info = movietest::ProbeAvi(movieOut);
    EXPECT_EQ(std::tuple(info.format, info.codec, info.streams, info.width, info.height, info.rateNum, info.rateDen),
              std::tuple(QStringLiteral("avi"), codec, 1, 720, 540, 30, 1));
    EXPECT_EQ(std::tuple(info.packets, info.keyPackets, info.quantiser), std::tuple(3, 3, quantiser));
    // Channel 1's full bar runs from 100 px to 367 px down the blue canvas.
    const QImage& first = info.frames.at(0);
    EXPECT_TRUE(Near(first.pixel(108, 110), qRgb(255, 255, 0)) && Near(first.pixel(108, 400), qRgb(0, 0, 192)));
    EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"f.avi"});
  }
  // Uncompressed frames are a bitmap's: a 40-byte header with width 720, a positive
  // height of 540, 1 plane, 24 bits, no compression; the rows stored from the bottom up.
  const QByteArray file = FileBytes(movieOut);
  EXPECT_EQ(file.mid(file.indexOf("strf") + 8, 20).toHex(), "28000000d00200001c02000001001800" "00000000");
  // The first frame, 720 * 540 * 3 bytes: blue (B G R) first, the canvas's bottom row.
  const qsizetype chunk = file.indexOf("00dc", file.indexOf("movi"));
  EXPECT_EQ(file.mid(chunk + 4, 7).toHex(), "40cc1100c00000");
  EXPECT_EQ(file.mid(chunk + 8 + (539 - 110) * 2160 + 108 * 3, 3).toHex(), "00ffff") << "the bar's top row comes late";

  const QString mov = dir.file("video/f.mov");
  ASSERT_EQ(run(movieArgs("5", "7").replaceInStrings(movieOut, mov) << "--codec" << "prores4444").status, 0);
  const auto m = movietest::ProbeAvi(mov);
  ASSERT_EQ(std::pair(m.codec, m.frames.size()), std::pair(QStringLiteral("prores"), std::size_t(2)));
  const QRgb bar = m.frames[0].pixel(108, 200);
  EXPECT_TRUE(qAlpha(bar) == 255 && qRed(bar) > 240 && qBlue(bar) < 20) << std::hex << bar;
  EXPECT_EQ(qAlpha(m.frames[0].pixel(108, 367)) + qAlpha(m.frames[1].pixel(400, 300)), 0);

  // Standard error on a pseudo-terminal, where progress is shown.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
  QProcess p;
  p.setStandardErrorFile(QString::fromLocal8Bit(ptsname(master)));
  p.start(QStringLiteral(VELKARO_LOGTOOL_PATH), movieArgs("0", "3"));
  ASSERT_TRUE(p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0);
  fcntl(master, F_SETFL, O_NONBLOCK);
  char buf[4096];
  QString progress;
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) progress += QString::fromUtf8(buf, int(n));
  close(master);
  EXPECT_TRUE(progress.contains("frame 1 of 3") && progress.contains("frame 3 of 3")) << progress.toStdString();
  // A = B: a valid movie without frames.
  ASSERT_EQ(run(movieArgs("40", "40")).status, 0);
  const auto empty = movietest::ProbeAvi(movieOut);
  EXPECT_TRUE(empty.ok && empty.packets == 0);
}

TEST(OverlaySampleTest, EachFrameShowsTheLastSampleWhoseTimeHasCome) {
  // FreqCode 5: a sample every 0.1 s; samples 10 to 19 from 2 s on. The frame's time, where
  // the range starts in the video, the sample shown.
  const std::tuple<double, double, std::optional<qint32>> cases[] = {
      {1.99, 2, {}}, {2, 2, 10}, {2.3, 2, 13}, {2.35, 2, 13}, {2.999, 2, 19}, {3, 2, {}},
      {0, -0.55, 15} /* a range that began before the video */};
  for (const auto& [t, at, k] : cases) EXPECT_EQ(movie::OverlaySample(t, at, 10, 19, 5), k) << t;
}

TEST_F(LogtoolTest, OverlayShowsTheGaugesInTheirTimeOverTheVideoAndCopiesTheSound) {
  const auto in = movietest::ProbeAvi(video);
  ASSERT_FALSE(in.audio.isEmpty());
  for (const QString name : {"video/o.mkv", "video/o.mp4"}) {
    SCOPED_TRACE(name.toStdString());
    const Outcome r = run(overlay(dir.file(name)));
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

// Wrong arguments exit 2 with the usage; damaged or missing files exit 1 with a line
// saying why. An earlier output stays as it was, and nothing else appears beside it. A row
// naming two commands runs for each (report refuses what derive refuses).
TEST_F(LogtoolTest, FailuresExitOneOrTwoAndWriteNothing) {
  ASSERT_TRUE(WriteFileBytes(out, "old"));
  ASSERT_TRUE(WriteFileBytes(at("short.dlg"), hand::Dlg(5, 0x0001, 3, 77, {{1}}).chopped(4 * 24)));  // 1 of 5 samples
  ASSERT_TRUE(WriteFileBytes(at("rate0.dlg"), hand::Dlg(5, 0x0001, 0, 77, {{1}})));
  ASSERT_TRUE(WriteFileBytes(at("rate0.dlt"), hand::ToQ(hand::RawImage(0x0800, 0, {1, 2, 3, 4}))));
  ASSERT_TRUE(WriteFileBytes(at("nozero.dlg"), PressureLog({{1000, 2000}, {1000, 0}})));  // channel 6 at 0 mbar
  ASSERT_TRUE(WriteFileBytes(at("damaged.dlg"), PressureLog({{1000, 2000}, {900, 2081}}).chopped(3)));
  ASSERT_TRUE(WriteFileBytes(dir.file("cfg/bad.mcf"), QByteArray(128, '\0')));
  QByteArray bytes = FileBytes(video);
  ASSERT_TRUE(WriteFileBytes(dir.file("cap/cut.mkv"), bytes.left(bytes.size() / 2)));
  ASSERT_TRUE(WriteFileBytes(dir.file("cap/bad.mkv"), bytes.replace(bytes.size() / 2, 3000, QByteArray(3000, 'Z'))));
  const QString mp4 = dir.file("video/o.mp4");
  const struct {
    QStringList args;
    int status;
    QString err = {};  // how standard error begins; "logtool: " for any exit 1 without one
  } cases[] = {
      {{}, 2}, {{"frobnicate"}, 2}, {{"info", log, log}, 2}, {{"cfg"}, 2},
      {{"decode", at("rate0.dlt"), "-o", out, "--last-index", "abc"}, 2},
      {{"csv", log, "--from", "x", "--to", "1", "-o", out}, 2},
      {{"crop", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/77.cfg"), "-o", out}, 2},
      {{"stats", log, "--to", "1.0"}, 2}, {{"stats", log, "--to", "2", "-o", out}, 2},  // samples 0 and 1
      {{"derive report", flight, "--zero", "4", "-o", out}, 2, "logtool: " + msg::SampleOutsideLog(4, 4) + "\n"},
      {{"derive", flight, "-o", out}, 2}, {{"derive", flight, "--zero", "0"}, 2},  // no --zero; no -o
      {{"derive report", flight, "--second", "1", "-o", out}, 2},
      {{"derive report", flight, "--zero", "0", "--ref", "pitot", "-o", out}, 2},
      {{"derive report", flight, "--zero", "0", "--pressure", "1e39", "-o", out}, 2},  // beyond any float
      {{"report", flight, "--from", "1x", "-o", out}, 2, "logtool: " + msg::kNonNumericStart + "\n"},
      {{"report", flight, "--from", "2", "--to", "1", "-o", out}, 2, "logtool: " + msg::kStatsStartAfterEnd + "\n"},
      {{"movie", setup, movieLog, "--from", "0", "--to", "5"}, 2},  // no output
      {movieArgs("0", "5") << "--codec" << "h264", 2}, {movieArgs("zero", "5"), 2}, {movieArgs("6", "5"), 2},
      {movieArgs("0", "41"), 2}, {movieArgs("-1", "5"), 2},  // 41: beyond the log
      {overlay(mp4, "--from", "30"), 2}, {overlay(mp4, "--at", "soon"), 2}, {overlay(mp4, "--position", "8"), 2},
      {overlay(mp4, "--at", "1.05"), 2},  // the range starts after the video
      {overlay(dir.file("video/o.avi")), 2},  // neither MP4 nor Matroska
      // The readers' own refusals are the log file tests'; here each command's exit 1.
      {{"info", at("rate0.dlg")}, 1}, {{"decode", at("rate0.dlt"), "-o", out}, 1}, {{"cfg", at("none.cfg")}, 1},
      {{"csv", log, "--from", "0", "--to", "1", "--cfg", dir.file("cfg/none.cfg"), "-o", out}, 1},
      {{"crop", at("short.dlg"), "--from", "0", "--to", "1", "-o", out}, 1, "logtool: '" + at("short.dlg") + "'"},
      {{"stats", log, "--cfg", dir.file("cfg/77.cfg"), "-o", dir.file("none/x.out")}, 1},
      {{"derive report", at("nozero.dlg"), "--zero", "1", "-o", out}, 1, msg::kSetZeroLevels + "\n"},
      {{"derive report", at("damaged.dlg"), "--zero", "0", "-o", out}, 1},
      {{"report", flight, "--cfg", dir.file("cfg/none.cfg"), "-o", out}, 1},
      {movieArgs("0", "1").replaceInStrings(movieLog, at("short.dlg")), 1},
      {movieArgs("0", "1").replaceInStrings(setup, dir.file("cfg/bad.mcf")), 1},
      {movieArgs("0", "1").replaceInStrings(movieOut, dir.file("none/f.avi")), 1},
      {overlay(mp4, "--video", dir.file("cap/none.mkv")), 1}, {overlay(mp4, "--video", dir.file("cap/cut.mkv")), 1},
      {overlay(mp4, "--video", dir.file("cap/bad.mkv")), 1},
  };
  for (const auto& c : cases) {
    for (const QString& command : c.args.value(0).split(' ')) {
      const QStringList args = c.args.isEmpty() ? QStringList() : QStringList{command} + c.args.mid(1);
      SCOPED_TRACE(args.join(' ').toStdString());
      const Outcome r = run(args);
      EXPECT_EQ(r.status, c.status);
      EXPECT_EQ(r.out, "");
      // An exit 1 says why on its last line (an overlay's progress may come before it).
      const QString said = c.status == 1 ? r.err.section('\n', -2) : r.err;
      EXPECT_TRUE(said.startsWith(c.err.isEmpty() && c.status == 1 ? "logtool: " : c.err)) << r.err.toStdString();
      EXPECT_EQ(r.err.contains("usage: logtool"), c.status == 2) << r.err.toStdString();
      EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"o.out"});
      EXPECT_EQ(FileBytes(out), "old");
    }
  }

  // A report cut short by a full disk (a file-size limit stands in for it) fails.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int status = run({"report", flight, "-o", out}).status;
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(FileBytes(out), "old");
}
