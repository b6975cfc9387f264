#include "logger/logdata/logfiles.h"

#include "common/channelconfig.h"
#include "common/messages.h"
#include "logger/logdata/image_bytes.h"
#include "support/test_paths.h"

#include <functional>
#include <gtest/gtest.h>

using namespace logdata;
using hand::Bytes;
using testing_support::FileBytes;
using testing_support::WriteFileBytes;

namespace {

class LogFiles : public ::testing::Test {
 protected:
  testing_support::ProgramDir dir;
  QString dlg(const QString& name = QStringLiteral("a.dlg")) const { return dir.file("dlg/" + name); }
};

// Rows 0..11 of three samples of channels 1, 2, 11 and 12 (mask 0x0C03).
qint16 Column(int row, qint32 j) {
  static const qint16 rows[3][4] = {{0x165, 0x243, 0x34, 0x12}, {4095, 0, 255, 0}, {-2, 1, 7, 8}};
  return rows[j][row < 2 ? row : row - 8];
}

}  // namespace

TEST_F(LogFiles, DlgWrittenAndReadBackByTheLayoutOrRefusedWithTheReason) {
  SampleStore s = hand::PreviousLog();
  s.reset(3);
  s.ChannelMask = 0x0C03;
  s.FreqCode = 5;
  s.ConfigNumber = -7;
  for (int j = 0; j < 3; ++j)
    for (int r : {0, 1, 10, 11}) s.at(r, j) = Column(r, j);
  s.at(12, 1) = 999;  // the spare row is never stored
  QString error;
  ASSERT_TRUE(WriteDecodedLog(dlg(), s, &error)) << error.toStdString();
  EXPECT_EQ(FileBytes(dlg()), hand::Dlg(3, 0x0C03, 5, -7, Column));

  // Read back (trailing bytes ignored) into a store whose row 12 must not show through.
  // A .dlg has no image; the caller names the file.
  ASSERT_TRUE(WriteFileBytes(dlg(), hand::Dlg(3, 0x0C03, 4, 1234, Column) + "\xDE\xAD"));
  SampleStore expected = s;
  expected.at(12, 1) = 0;
  ASSERT_TRUE(ReadDecodedLog(dlg(), s, &error)) << error.toStdString();
  EXPECT_EQ(s.data(), expected.data());
  EXPECT_EQ(std::tuple(s.FreqCode, s.ConfigNumber, s.LoadedSampleCount, s.LoadedLogFile),
            std::tuple(quint8(4), 1234, 3, hand::PreviousLog().LoadedLogFile));
  EXPECT_EQ(s.MemoryImage, hand::PreviousLog().MemoryImage);

  // The empty log is eleven bytes, and the spare column is cleared.
  ASSERT_TRUE(WriteFileBytes(dlg(), hand::Dlg(0, 0x0001, 50, 0, Column)));
  ASSERT_TRUE(ReadDecodedLog(dlg(), s, nullptr));
  EXPECT_EQ(s.data(), std::vector<qint16>(kSampleRows, 0));

  // A folder that does not exist: the reason, and no file.
  const QString target = dir.file("nofolder/x.dlg");
  EXPECT_FALSE(WriteDecodedLog(target, s, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write '") + target + "'")) << error.toStdString();
  EXPECT_FALSE(QFile::exists(target));

  // Refusals say why.
  const QByteArray whole = hand::Dlg(3, 0x0C03, 4, 1234, Column);
  const std::pair<QByteArray, QString> refused[] = {
      {whole.left(10), common::msg::DlgTooShort(dlg(), 10)},
      {whole.left(11 + 24 * 2 + 5), common::msg::DlgCountBeyondFile(dlg(), 3, 2)},
      {hand::Dlg(-1, 0x0001, 1, 0, Column), common::msg::DlgNegativeCount(dlg(), -1)},
      {hand::Dlg(3, 0x0C03, 0, 1234, Column), common::msg::DlgNoRate(dlg())},
  };
  for (const auto& [file, why] : refused) {
    ASSERT_TRUE(WriteFileBytes(dlg(), file));
    EXPECT_FALSE(ReadDecodedLog(dlg(), s, &error));
    EXPECT_EQ(error, why);
  }
  EXPECT_FALSE(ReadDecodedLog(dlg("missing.dlg"), s, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open '") + dlg("missing.dlg") + "'")) << error.toStdString();
}

TEST_F(LogFiles, RawImageBytesRoundTripUpToTheLargestImage) {
  SampleStore s;
  s.MemoryImage = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  s.ImageLastIndex = 9;  // bytes after the last index are not part of the image
  ASSERT_TRUE(WriteRawImage(dlg("r.dlt"), s, nullptr));
  EXPECT_EQ(FileBytes(dlg("r.dlt")), hand::ToQ({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  RawImage image;
  QString error;
  for (std::optional<qint32> last : {std::optional<qint32>(), std::optional<qint32>(9), std::optional<qint32>(4)}) {
    ASSERT_TRUE(ReadRawImage(dlg("r.dlt"), last, image, &error)) << error.toStdString();
    EXPECT_EQ(image.lastIndex(), last.value_or(9));
    EXPECT_EQ(image.bytes.back(), image.lastIndex() + 1);
  }
  EXPECT_FALSE(ReadRawImage(dlg("r.dlt"), 10, image, &error));
  EXPECT_EQ(error, common::msg::DltShorterThanAsked(dlg("r.dlt"), 10, 10));
  EXPECT_FALSE(ReadRawImage(dlg("r.dlt"), -1, image, &error));
  EXPECT_EQ(error, common::msg::DltBadLastIndex(-1));
  EXPECT_EQ(image.bytes, (Bytes{1, 2, 3, 4, 5}));

  s.ImageLastIndex = 20;  // claims more than the image holds
  EXPECT_FALSE(WriteRawImage(dlg("r.dlt"), s, &error));
  EXPECT_EQ(FileBytes(dlg("r.dlt")).size(), 10);

  // The largest image loads; one byte more is refused.
  const qint64 largest = qint64(kMaxImageLastIndex) + 1;
  ASSERT_TRUE(WriteFileBytes(dlg("big.dlt"), QByteArray(largest, '\x11')));
  ASSERT_TRUE(ReadRawImage(dlg("big.dlt"), std::nullopt, image, &error)) << error.toStdString();
  EXPECT_EQ(image.lastIndex(), kMaxImageLastIndex);
  ASSERT_TRUE(WriteFileBytes(dlg("big.dlt"), QByteArray(largest + 1, '\x11')));
  EXPECT_FALSE(ReadRawImage(dlg("big.dlt"), std::nullopt, image, &error));
  EXPECT_EQ(error, common::msg::DltTooLarge(dlg("big.dlt"), largest + 1));
  // A last index inside the file still reads its start.
  ASSERT_TRUE(ReadRawImage(dlg("big.dlt"), 15, image, nullptr));
  EXPECT_EQ(image.bytes.size(), 16u);
}

// Every file reader refuses each prefix of a valid file too short for what its header
// promises, leaves its target as it was and says why; from that length on it reads.
TEST_F(LogFiles, EveryPrefixIsRefusedUntilTheFileHoldsWhatItsHeaderPromises) {
  common::ChannelConfiguration config, current;
  config.channel[3].Name = QStringLiteral("Pitot");
  config.channel[3].Max = 1100;
  current.channel[0].Name = QStringLiteral("current");
  const auto cfg = [&](const QString& p) {
    common::ChannelConfiguration c = current;
    QString error;
    const bool read = common::ReadConfigFile(p, c, &error);
    EXPECT_TRUE(read || (c == current && !error.isEmpty()));
    return read;
  };
  const auto log = [](bool image) {
    return [image](const QString& p) {
      SampleStore s = hand::PreviousLog();
      QString error;
      const bool read = image ? LoadRawImage(p, std::nullopt, s, &error) : ReadDecodedLog(p, s, &error);
      EXPECT_TRUE(read || (s == hand::PreviousLog() && !error.isEmpty()));
      return read;
    };
  };
  // Twelve channels: 17-byte records; (last - 8) / 17 must round to at least 1.
  const QByteArray image = hand::ToQ(hand::RawImage(0x0FFF, 1, hand::Bytes(17 * 2, 0x33)));
  const std::tuple<const char*, QByteArray, qsizetype, std::function<bool(const QString&)>> readers[] = {
      {"cfg", hand::Cfg(config), common::kMinConfigFileSize, cfg},
      {"dlg", hand::Dlg(3, 0x0C03, 4, 1234, [](int r, qint32 j) { return qint16(r * j); }), 11 + 3 * 24, log(false)},
      {"dlt", image, 18, log(true)}};
  for (const auto& [name, valid, readFrom, read] : readers) {
    SCOPED_TRACE(name);
    for (qsizetype n = 0; n <= valid.size(); ++n) {
      ASSERT_TRUE(WriteFileBytes(dlg("file"), valid.left(n)));
      ASSERT_EQ(read(dlg("file")), n >= readFrom) << n;
    }
    EXPECT_FALSE(read(dlg("missing")));
  }
}
