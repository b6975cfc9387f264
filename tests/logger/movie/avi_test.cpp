// Movies written by the FFmpeg writer, read back as a player reads them.
#include "avi_probe.h"
#include "logger/movie/videowriter.h"
#include "support/test_paths.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

using movie::Codec;
using movietest::ProbeAvi;

namespace {

// Yellow top half, blue bottom half: shows which way up a frame went.
QImage Halves() {
  QImage img(720, 540, QImage::Format_RGB32);
  img.fill(QColor(0, 0, 192));
  QPainter(&img).fillRect(0, 0, 720, 270, QColor(255, 255, 0));
  return img;
}

// Lossy codecs come close: each of red, green and blue within 24.
bool Near(QRgb a, QRgb b) { return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) < 24; }

struct CodecCase { Codec codec; const char* name; int quantiser; };  // -1: not reported

class AviCodecTest : public ::testing::TestWithParam<CodecCase> {};

}  // namespace

TEST_P(AviCodecTest, OneVideoStreamOfKeyFramesAtTheRate) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("video/m.avi");
  QString error;
  auto w = movie::OpenAvi(path, GetParam().codec, 17, &error);
  ASSERT_TRUE(w) << error.toStdString();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(w->write(Halves()));
  EXPECT_FALSE(QFile::exists(path)) << "the name appears only when the file is complete";
  ASSERT_TRUE(w->finish()) << w->error().toStdString();
  w.reset();

  const auto info = ProbeAvi(path);
  EXPECT_EQ(QStringList({info.format, info.codec}), QStringList({"avi", GetParam().name}));
  EXPECT_EQ(info.quantiser, GetParam().quantiser) << "lossy frames at the fixed quantiser, not rate-controlled";
  // One stream of 720 x 540 at 17 / 1 per second; 3 frames, all key frames.
  EXPECT_EQ(std::tuple(info.streams, info.width, info.height, info.rateNum, info.rateDen), std::tuple(1, 720, 540, 17, 1));
  EXPECT_EQ(std::pair(info.packets, info.keyPackets), std::pair(3, 3));
  const QImage& first = info.frames.at(0);
  EXPECT_TRUE(Near(first.pixel(360, 10), qRgb(255, 255, 0)) && Near(first.pixel(360, 530), qRgb(0, 0, 192)));
  EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"m.avi"});
  if (GetParam().codec != Codec::Raw) return;

  // Uncompressed frames are a bitmap's: a 40-byte header with width 720, a positive
  // height of 540, 1 plane, 24 bits, no compression; the rows stored from the bottom up.
  const QByteArray file = testing_support::FileBytes(path);
  const qsizetype strf = file.indexOf("strf");
  EXPECT_EQ(file.mid(strf + 8, 20).toHex(), "28000000d00200001c02000001001800" "00000000");
  // The first frame, 720 * 540 * 3 bytes: blue (B G R) first, the canvas's bottom row.
  const qsizetype chunk = file.indexOf("00dc", file.indexOf("movi"));
  EXPECT_EQ(file.mid(chunk + 4, 7).toHex(), "40cc1100c00000");
  EXPECT_EQ(file.mid(chunk + 8 + 539 * 2160, 3).toHex(), "00ffff") << "yellow: the top row comes last";
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviCodecTest,
                         ::testing::Values(CodecCase{Codec::Raw, "rawvideo", -1}, CodecCase{Codec::Mjpeg, "mjpeg", -1},
                                           CodecCase{Codec::Ffv1, "ffv1", -1},
                                           CodecCase{Codec::Mpeg4, "mpeg4", movie::kLossyQuantiser}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AviFileTest, AbandonedOrImpossibleWritesLeaveNothing) {
  testing_support::ProgramDir dir;
  QString error;
  EXPECT_FALSE(movie::OpenAvi(dir.file("nowhere/m.avi"), Codec::Raw, 10, &error));
  EXPECT_FALSE(error.isEmpty());

  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("video/old.avi"), "old movie"));
  {
    auto w = movie::Pipelined(movie::OpenAvi(dir.file("video/old.avi"), Codec::Ffv1, 10, nullptr));
    ASSERT_TRUE(w->write(Halves()));
  }  // destroyed without finish()
  EXPECT_EQ(testing_support::FileBytes(dir.file("video/old.avi")), "old movie");
  EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.avi"});
}
