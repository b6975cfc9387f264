#include "logger/logdata/logfiles.h"

#include "common/messages.h"
#include "logger/logdata/hand_bytes.h"
#include "logger/logdata/store_helpers.h"
#include "support/test_paths.h"

#include <QDir>
#include <gtest/gtest.h>
#include <random>

using namespace logdata;
using hand::Bytes;

namespace {

class LogFiles : public ::testing::Test {
 protected:
  testing_support::ProgramDir dir;
  QString dlg(const QString& name = QStringLiteral("a.dlg")) const { return dir.file("dlg/" + name); }
};

// Columns as the .dlg lists them: rows 0..11 of each sample.
const std::vector<std::vector<std::int16_t>> kColumns = {
    {0x165, 0x243, 0, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12},
    {4095, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0},
    {-2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8},
};

}  // namespace

TEST_F(LogFiles, WritesHeaderAndTwelveRowsPerSample) {
  SampleStore s;
  s.reset(3);
  s.ChannelMask = 0x0C03;
  s.FreqCode = 5;
  s.ConfigNumber = -7;
  for (int j = 0; j < 3; ++j)
    for (int r = 0; r < 12; ++r) s.at(r, j) = kColumns[std::size_t(j)][std::size_t(r)];
  s.at(12, 1) = 999;  // the spare row is never stored
  QString error;
  ASSERT_TRUE(WriteDecodedLog(dlg(), s, &error)) << error.toStdString();
  EXPECT_EQ(hand::ReadFile(dlg()), hand::Dlg(3, 0x0C03, 5, -7, kColumns));
  // Written through a temporary file: nothing else is left in the folder.
  EXPECT_EQ(QDir(dir.file("dlg")).entryList(QDir::Files | QDir::Hidden), QStringList{"a.dlg"});
}

TEST_F(LogFiles, ReadsAHandBuiltLogAndIgnoresTrailingBytes) {
  Bytes file = hand::Dlg(3, 0x0C03, 4, 1234, kColumns);
  file.insert(file.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
  ASSERT_TRUE(hand::WriteFile(dlg(), file));
  SampleStore s = hand::PreviousLog();
  QString error;
  ASSERT_TRUE(ReadDecodedLog(dlg(), s, &error)) << error.toStdString();
  EXPECT_EQ(s.SampleCount, 3);
  EXPECT_EQ(s.ChannelMask, 0x0C03);
  EXPECT_EQ(s.FreqCode, 4);
  EXPECT_EQ(s.ConfigNumber, 1234);
  EXPECT_EQ(s.LoadedSampleCount, 3);
  EXPECT_EQ(s.columns(), 4);
  for (int j = 0; j < 3; ++j) {
    for (int r = 0; r < 12; ++r) EXPECT_EQ(s.at(r, j), kColumns[std::size_t(j)][std::size_t(r)]) << r << "," << j;
    EXPECT_EQ(s.at(12, j), 0);
  }
  for (int r = 0; r < kSampleRows; ++r) EXPECT_EQ(s.at(r, 3), 0);
  // A .dlg has no image; the caller names the file.
  EXPECT_EQ(s.MemoryImage, hand::PreviousLog().MemoryImage);
  EXPECT_EQ(s.LoadedLogFile, hand::PreviousLog().LoadedLogFile);
}

TEST_F(LogFiles, EmptyLogIsElevenBytes) {
  ASSERT_TRUE(hand::WriteFile(dlg(), hand::Dlg(0, 0x0001, 50, 0, {})));
  SampleStore s = hand::PreviousLog();
  ASSERT_TRUE(ReadDecodedLog(dlg(), s, nullptr));
  EXPECT_EQ(s.SampleCount, 0);
  EXPECT_EQ(s.columns(), 1);
  EXPECT_EQ(s.data(), std::vector<qint16>(kSampleRows, 0));
  ASSERT_TRUE(WriteDecodedLog(dlg("b.dlg"), s, nullptr));
  EXPECT_EQ(hand::ReadFile(dlg("b.dlg")), hand::Dlg(0, 0x0001, 50, 0, {}));
}

TEST_F(LogFiles, EveryTruncationIsRefusedAndKeepsTheStore) {
  const Bytes whole = hand::Dlg(3, 0x0C03, 4, 1234, kColumns);
  for (std::size_t len = 0; len < whole.size(); ++len) {
    ASSERT_TRUE(hand::WriteFile(dlg(), Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(len))));
    SampleStore s = hand::PreviousLog();
    QString error;
    EXPECT_FALSE(ReadDecodedLog(dlg(), s, &error)) << len;
    hand::ExpectSameStore(s, hand::PreviousLog());
    if (len < 11)
      EXPECT_EQ(error, common::msg::DlgTooShort(dlg(), qint64(len)));
    else
      EXPECT_EQ(error, common::msg::DlgCountBeyondFile(dlg(), 3, qint64(len - 11) / 24));
  }
}

TEST_F(LogFiles, NegativeOrMissingFilesAreRefused) {
  ASSERT_TRUE(hand::WriteFile(dlg(), hand::Dlg(-1, 0x0001, 1, 0, {})));
  SampleStore s = hand::PreviousLog();
  QString error;
  EXPECT_FALSE(ReadDecodedLog(dlg(), s, &error));
  EXPECT_EQ(error, common::msg::DlgNegativeCount(dlg(), -1));
  EXPECT_FALSE(ReadDecodedLog(dlg("missing.dlg"), s, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open '") + dlg("missing.dlg") + "'")) << error.toStdString();
  hand::ExpectSameStore(s, hand::PreviousLog());
}

TEST_F(LogFiles, RandomFiles) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    Bytes file(std::size_t(rng() % 160), 0);
    for (auto& b : file) b = std::uint8_t(rng());
    if (file.size() >= 4 && rng() % 2) file[1] = file[2] = file[3] = 0;  // plausible small counts
    ASSERT_TRUE(hand::WriteFile(dlg(), file));
    SampleStore s = hand::PreviousLog();
    if (ReadDecodedLog(dlg(), s, nullptr)) {
      ASSERT_LE(qint64(s.SampleCount) * 24 + 11, qint64(file.size())) << seed;
      ASSERT_EQ(s.columns(), s.SampleCount + 1);
    } else {
      hand::ExpectSameStore(s, hand::PreviousLog());
    }
  }
}

TEST_F(LogFiles, FailedWriteReportsAndKeepsNoPartialFile) {
  SampleStore s;
  QString error;
  const QString target = dir.file("nofolder/x.dlg");
  EXPECT_FALSE(WriteDecodedLog(target, s, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write '") + target + "'")) << error.toStdString();
  EXPECT_FALSE(QFile::exists(target));
}

TEST_F(LogFiles, RawImageBytesRoundTrip) {
  SampleStore s;
  s.MemoryImage = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  s.ImageLastIndex = 9;  // bytes after the last index are not part of the image
  ASSERT_TRUE(WriteRawImage(dlg("r.dlt"), s, nullptr));
  EXPECT_EQ(hand::ReadFile(dlg("r.dlt")), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  RawImage image;
  ASSERT_TRUE(ReadRawImage(dlg("r.dlt"), std::nullopt, image, nullptr));
  EXPECT_EQ(image.bytes, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ASSERT_TRUE(ReadRawImage(dlg("r.dlt"), 4, image, nullptr));
  EXPECT_EQ(image.bytes, (Bytes{1, 2, 3, 4, 5}));

  QString error;
  EXPECT_FALSE(ReadRawImage(dlg("r.dlt"), 10, image, &error));
  EXPECT_EQ(error, common::msg::DltShorterThanAsked(dlg("r.dlt"), 10, 10));
  EXPECT_FALSE(ReadRawImage(dlg("r.dlt"), -1, image, &error));
  EXPECT_EQ(error, common::msg::DltBadLastIndex(-1));
  EXPECT_EQ(image.bytes, (Bytes{1, 2, 3, 4, 5}));

  s.ImageLastIndex = 20;  // claims more than the image holds
  EXPECT_FALSE(WriteRawImage(dlg("r.dlt"), s, &error));
  EXPECT_EQ(hand::ReadFile(dlg("r.dlt")).size(), 10u);
}

TEST_F(LogFiles, RawImageLargerThanMemoryIsRefused) {
  ASSERT_TRUE(hand::WriteFile(dlg("big.dlt"), Bytes(std::size_t(kMaxImageLastIndex) + 2, 0x11)));
  RawImage image;
  QString error;
  EXPECT_FALSE(ReadRawImage(dlg("big.dlt"), std::nullopt, image, &error));
  EXPECT_EQ(error, common::msg::DltTooLarge(dlg("big.dlt"), qint64(kMaxImageLastIndex) + 2));
  // A last index inside the file still reads its start.
  ASSERT_TRUE(ReadRawImage(dlg("big.dlt"), 15, image, nullptr));
  EXPECT_EQ(image.bytes.size(), 16u);
}

TEST_F(LogFiles, LoadRawImageDecodesWithHeaderEightAndKeepsConfigNumber) {
  // Channels 1 and 2, four records: (21 - 8) / 3 = 4.33 -> 4, so three samples.
  const Bytes records = {0x21, 0x43, 0x65, 0x10, 0x02, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF};
  ASSERT_TRUE(hand::WriteFile(dlg("r.dlt"), hand::RawImage(0x0003, 10, records)));
  SampleStore s = hand::PreviousLog();
  QString error;
  ASSERT_TRUE(LoadRawImage(dlg("r.dlt"), std::nullopt, s, &error)) << error.toStdString();
  EXPECT_EQ(s.SampleCount, 3);
  EXPECT_EQ(s.ConfigNumber, 4321);
  EXPECT_EQ(s.FreqCode, 10);
  EXPECT_EQ(s.ImageLastIndex, 21);
  EXPECT_EQ(s.MemoryImage, hand::RawImage(0x0003, 10, records));  // bytes 0..3 untouched
  EXPECT_EQ(s.at(0, 0), 0);      // record 3
  EXPECT_EQ(s.at(0, 1), 0x001);  // record 2: 10 02 01
  EXPECT_EQ(s.at(1, 1), 0x102);
  EXPECT_EQ(s.at(0, 2), 0x165);
  EXPECT_EQ(s.at(1, 2), 0x243);
}

TEST_F(LogFiles, RawImageTooShortForItsHeaderIsRefused) {
  const Bytes whole = hand::RawImage(0x0FFF, 1, Bytes(17 * 2, 0x33));
  for (std::size_t len = 0; len <= whole.size(); ++len) {
    ASSERT_TRUE(hand::WriteFile(dlg("r.dlt"), Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(len))));
    SampleStore s = hand::PreviousLog();
    QString error;
    const bool ok = LoadRawImage(dlg("r.dlt"), std::nullopt, s, &error);
    // 17-byte records: (last - 8) / 17 must round to at least 1.
    const bool expectOk = len >= 10 && qint64(len) - 1 - 8 >= 9;
    EXPECT_EQ(ok, expectOk) << len;
    if (ok) {
      EXPECT_GE(s.SampleCount, 0);
    } else {
      EXPECT_EQ(error, common::msg::kImageTooShort) << len;
      hand::ExpectSameStore(s, hand::PreviousLog());
    }
  }
}

TEST_F(LogFiles, RandomRawImages) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    Bytes file(std::size_t(rng() % 120), 0);
    for (auto& b : file) b = std::uint8_t(rng());
    ASSERT_TRUE(hand::WriteFile(dlg("r.dlt"), file));
    SampleStore s = hand::PreviousLog();
    std::optional<qint32> last;
    if (rng() % 2) last = qint32(rng() % 130) - 5;
    if (LoadRawImage(dlg("r.dlt"), last, s, nullptr)) {
      ASSERT_GE(s.SampleCount, 0) << seed;
      ASSERT_EQ(s.columns(), s.SampleCount + 1) << seed;
      ASSERT_LE(qint64(s.SampleCount) * s.RecordLength + 9, s.ImageLastIndex) << seed;
    } else {
      hand::ExpectSameStore(s, hand::PreviousLog());
    }
  }
}
