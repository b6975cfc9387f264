// The .mcf setup file against bytes built from its record table.
#include "logger/movie/mcf.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <bit>
#include <cmath>
#include <limits>
#include <gtest/gtest.h>

using movie::Kind;
using movie::MovieLayout;

namespace {

QByteArray I32(qint32 v) { return hand::Rec(hand::Le(v, 4)); }
QByteArray F32(float v) { return hand::Rec(hand::Le(std::bit_cast<quint32>(v), 4)); }
QByteArray Text(const QByteArray& t) { return hand::Rec(hand::Le(t.size(), 2) + t); }

// Palette spots and design sizes in twips (15 per pixel).
QByteArray DefaultBlock(float min, float max, const QByteArray& format, qint32 timeLabelTop, qint32 timeLabelLeft) {
  QByteArray b;
  b += F32(min) + F32(max);
  b += I32(255) + I32(4005) + I32(1680) + I32(10920);   // Bar 17 x 267 at 728, 112
  b += I32(300) + I32(4005) + I32(1680) + I32(11385);   // mitta 20 x 267 at 759, 112
  b += I32(5700) + I32(10920);                          // CHLabel at 728, 380
  b += I32(6180) + I32(10920);                          // ChUnit at 728, 412
  b += I32(6660) + I32(10920);                          // ChValue at 728, 444
  b += Text(format);
  b += I32(8400) + I32(120);                            // HorBar at 8, 560
  b += I32(8175) + I32(120);                            // Vaakamitta at 8, 545
  b += I32(timeLabelTop) + I32(timeLabelLeft);          // TimeLabel
  b += I32(8100) + I32(10920);                          // TimeUnit at 728, 540
  b += I32(7620) + I32(10920);                          // Time at 728, 508
  return b;
}

class McfTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.file(QStringLiteral("cfg/") + name); }
  testing_support::ProgramDir dir;
};

}  // namespace

// Read back, positions, scales and formats return; sizes stay the design sizes.
TEST_F(McfTest, WritesTwelveBlocksOfTwentySevenRecordsAndReadsThemBack) {
  const QString format(126, QLatin1Char('0'));  // a format filling its record
  MovieLayout layout;
  layout.setup[2] = {-2.5f, 250, 0, 0, format};
  layout.at({Kind::Mitta, 3}).width = 615;
  layout.at({Kind::HorBar, 3}).left = -45;
  layout.at({Kind::TimeLabel, 0}).top = 300;
  layout.at({Kind::TimeLabel, 0}).left = 450;
  // Written over a longer file, whose tail stays.
  ASSERT_TRUE(testing_support::WriteFileBytes(path("a.mcf"), QByteArray(41472 + 5, 'x')));
  ASSERT_TRUE(movie::WriteMovieSetup(path("a.mcf"), layout, nullptr));

  QByteArray expected;
  for (int c = 1; c <= 12; ++c) {
    QByteArray block = c == 3 ? DefaultBlock(-2.5f, 250, format.toLatin1(), 300, 450) : DefaultBlock(0, 1, "##.##", 300, 450);
    if (c == 3) block.replace(6 * 128, 128, I32(615)).replace(18 * 128, 128, I32(-45));  // records 7 and 19
    expected += block;
  }
  ASSERT_EQ(expected.size(), 41472);
  EXPECT_EQ(testing_support::FileBytes(path("a.mcf")), expected + "xxxxx");

  MovieLayout read;
  ASSERT_TRUE(movie::ReadMovieSetup(path("a.mcf"), read, nullptr));
  const movie::Element &scale = read.at({Kind::Mitta, 3}), &time = read.at({Kind::TimeLabel, 0});
  EXPECT_EQ(std::tuple(read.setup[2].ScaleMin, read.setup[2].ScaleMax, read.setup[2].ValueFormat), std::tuple(-2.5f, 250.f, format));
  EXPECT_EQ(std::tuple(scale.width, read.at({Kind::HorBar, 3}).left, time.top, time.left), std::tuple(300, -45, 300, 450));
}

TEST_F(McfTest, ShortOrDamagedFilesChangeNothingAndWhatTheFileCannotHoldIsRefused) {
  ASSERT_TRUE(movie::WriteMovieSetup(path("good.mcf"), MovieLayout(), nullptr));
  const QByteArray good = testing_support::FileBytes(path("good.mcf"));
  float nan = std::nanf("");
  const QList<std::pair<const char*, QByteArray>> cases = {
      {"one byte short", good.left(41471)},
      {"negative format length", QByteArray(good).replace(16 * 128, 2, "\xFF\xFF")},
      {"format longer than a record holds", QByteArray(good).replace(27 * 128 + 16 * 128, 2, QByteArray("\x7F\x00", 2))},
      {"scale not a number", QByteArray(good).replace(5 * 27 * 128, 128, F32(nan))},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(testing_support::WriteFileBytes(path("bad.mcf"), bytes));
    MovieLayout layout;
    layout.at({Kind::Bar, 1}).left = 4242;
    layout.setup[0].ValueFormat = QStringLiteral("kept");
    QString error;
    EXPECT_FALSE(movie::ReadMovieSetup(path("bad.mcf"), layout, &error) || error.isEmpty());
    EXPECT_EQ(std::pair(layout.at({Kind::Bar, 1}).left, layout.setup[0].ValueFormat), std::pair(4242, QStringLiteral("kept")));
  }

  // What the file cannot hold is not written.
  const std::pair<QString, float> unwritable[] = {
      {QString(127, QLatin1Char('#')), 1.f}, {QStringLiteral("#\u20AC"), 1.f}, {"#", std::numeric_limits<float>::infinity()}};
  for (const auto& [format, max] : unwritable) {
    MovieLayout layout;
    layout.setup[6].ValueFormat = format;
    layout.setup[6].ScaleMax = max;
    QString error;
    EXPECT_FALSE(movie::WriteMovieSetup(path("d.mcf"), layout, &error) || error.isEmpty() || QFile::exists(path("d.mcf")));
  }
}
