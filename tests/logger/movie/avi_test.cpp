// Movies written by the FFmpeg writer, read back as a player reads them.
#include "avi_probe.h"
#include "logger/movie/videowriter.h"
#include "support/test_paths.h"

#include <QDir>
#include <QPainter>
#include <QtEndian>
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

bool Near(QRgb a, QColor b) {
  return std::abs(qRed(a) - b.red()) < 24 && std::abs(qGreen(a) - b.green()) < 24 && std::abs(qBlue(a) - b.blue()) < 24;
}

struct CodecCase {
  Codec codec;
  const char* name;
};

class AviCodecTest : public ::testing::TestWithParam<CodecCase> {
 protected:
  testing_support::ProgramDir dir;
};

}  // namespace

TEST_P(AviCodecTest, OneVideoStreamOfKeyFramesAtTheRate) {
  const QString path = dir.file("video/m.avi");
  QString error;
  auto w = movie::OpenAvi(path, GetParam().codec, 17, &error);
  ASSERT_TRUE(w) << error.toStdString();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(w->write(Halves()));
  EXPECT_FALSE(QFile::exists(path)) << "the name appears only when the file is complete";
  ASSERT_TRUE(w->finish()) << w->error().toStdString();
  w.reset();

  const auto info = ProbeAvi(path);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(QStringList({info.format, info.mediaType, info.codec}), QStringList({"avi", "video", GetParam().name}));
  EXPECT_EQ(info.streams, 1);
  EXPECT_EQ(QSize(info.width, info.height), QSize(720, 540));
  EXPECT_EQ(std::make_pair(info.rateNum, info.rateDen), std::make_pair(17, 1));
  EXPECT_EQ(info.packets, 3);
  EXPECT_EQ(info.keyPackets, 3);
  ASSERT_FALSE(info.first.isNull());
  EXPECT_TRUE(Near(info.first.pixel(360, 10), QColor(255, 255, 0)));
  EXPECT_TRUE(Near(info.first.pixel(360, 530), QColor(0, 0, 192)));
  EXPECT_EQ(QDir(dir.file("video")).entryList(QDir::Files | QDir::Hidden), QStringList{"m.avi"});
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviCodecTest,
                         ::testing::Values(CodecCase{Codec::Raw, "rawvideo"}, CodecCase{Codec::Mjpeg, "mjpeg"},
                                           CodecCase{Codec::Ffv1, "ffv1"}, CodecCase{Codec::Mpeg4, "mpeg4"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Uncompressed frames are a bitmap's: a 40-byte header with a positive height, 24 bits,
// no compression, and the rows stored from the bottom up.
TEST(AviRawTest, FramesAreBottomUpBitmaps) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("video/raw.avi");
  auto w = movie::OpenAvi(path, Codec::Raw, 10, nullptr);
  ASSERT_TRUE(w);
  ASSERT_TRUE(w->write(Halves()));
  ASSERT_TRUE(w->finish());
  const QByteArray file = testing_support::FileBytes(path);

  const qsizetype strf = file.indexOf("strf");
  ASSERT_GT(strf, 0);
  const char* h = file.constData() + strf + 8;
  EXPECT_EQ(qFromLittleEndian<qint32>(h), 40);
  EXPECT_EQ(qFromLittleEndian<qint32>(h + 4), 720);
  EXPECT_EQ(qFromLittleEndian<qint32>(h + 8), 540);
  EXPECT_EQ(qFromLittleEndian<qint16>(h + 12), 1);
  EXPECT_EQ(qFromLittleEndian<qint16>(h + 14), 24);
  EXPECT_EQ(qFromLittleEndian<qint32>(h + 16), 0);

  const qsizetype chunk = file.indexOf("00dc", file.indexOf("movi"));
  ASSERT_GT(chunk, 0);
  EXPECT_EQ(qFromLittleEndian<qint32>(file.constData() + chunk + 4), 720 * 540 * 3);
  const QByteArray firstRow = file.mid(chunk + 8, 2160);
  const QByteArray lastRow = file.mid(chunk + 8 + 539 * 2160, 2160);
  EXPECT_EQ(firstRow.left(3), QByteArray("\xC0\x00\x00", 3));  // blue, as B G R: the bottom row
  EXPECT_EQ(lastRow.left(3), QByteArray("\x00\xFF\xFF", 3));   // yellow: the top row
}

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

  auto w = movie::OpenAvi(dir.file("video/small.avi"), Codec::Raw, 10, nullptr);
  EXPECT_FALSE(w->write(QImage(100, 100, QImage::Format_RGB32)));
  EXPECT_FALSE(w->finish());
  EXPECT_FALSE(QFile::exists(dir.file("video/small.avi")));
}
