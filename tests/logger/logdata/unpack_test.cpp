#include "logger/logdata/unpack.h"

#include "logger/logdata/image_bytes.h"

#include <gtest/gtest.h>
#include <random>

using namespace logdata;
using hand::Bytes;

namespace {

// Packs one record from the layout table: pairs of 12-bit channels from the end of the
// record backwards, a lone last channel in two bytes, then channels 11 and 12 before
// the 12-bit part.
Bytes PackRecord(unsigned mask, const std::array<int, 12>& v) {
  std::vector<int> twelve;
  for (int k = 0; k < 10; ++k)
    if (mask & (1u << k)) twelve.push_back(k);
  const int p = int(twelve.size());
  const int r = (3 * p + 1) / 2;
  const bool c11 = mask & 0x400, c12 = mask & 0x800;
  Bytes rec(std::size_t(r + c11 + c12), 0);
  const int e = int(rec.size()) - 1;
  for (int g = 0; 2 * g < p; ++g) {
    const int a = v[std::size_t(twelve[std::size_t(2 * g)])];
    rec[std::size_t(e - 3 * g)] = std::uint8_t(a & 0xFF);
    if (2 * g + 1 < p) {
      const int b = v[std::size_t(twelve[std::size_t(2 * g + 1)])];
      rec[std::size_t(e - 3 * g - 1)] = std::uint8_t(b & 0xFF);
      rec[std::size_t(e - 3 * g - 2)] = std::uint8_t(((a >> 8) & 0x0F) | (((b >> 8) & 0x0F) << 4));
    } else {
      rec[std::size_t(e - 3 * g - 1)] = std::uint8_t((a >> 8) & 0x0F);
    }
  }
  if (c11) rec[std::size_t(e - r)] = std::uint8_t(v[10]);
  if (c12) rec[std::size_t(c11 ? e - r - 1 : e - r)] = std::uint8_t(v[11]);
  return rec;
}

// A store ready to unpack `count` records of the raw image built from `records`.
SampleStore StoreFor(unsigned mask, const Bytes& records, qint32 count) {
  SampleStore s;
  s.MemoryImage = hand::RawImage(mask, 1, records);
  s.ImageLastIndex = qint32(s.MemoryImage.size()) - 1;
  s.ChannelMask = quint16(mask);
  s.RecordLength = RecordLengthFromMask(quint8(mask & 0xFF), quint8(mask >> 8));
  s.reset(count);
  return s;
}

}  // namespace

TEST(Unstuff, PairsCollapseAndTheCountSurvivesOtherBytes) {
  const std::pair<Bytes, Bytes> cases[] = {
      {{1, 2, 3}, {0, 1, 2, 3}},  // written from index 1
      {{0xF0, 0xF0}, {0, 0xF0}},
      {{0xF0, 0xF0, 0xF0, 0xF0}, {0, 0xF0, 0xF0}},
      // A lone 0xF0 leaves the count at 1, so the next pair is counted 2, 3: both stay.
      {{0xF0, 0x11, 0xF0, 0xF0}, {0, 0xF0, 0x11, 0xF0, 0xF0}},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Unstuff(in, qint32(in.size()) - 1).bytes, out);
  StuffCounters counters;
  EXPECT_EQ(Unstuff(Bytes{0x11, 0xF0, 0xF0, 0x22, 0xF0, 0xFF}, 5, &counters).bytes,
            (Bytes{0, 0x11, 0xF0, 0x22, 0xF0, 0xFF}));
  EXPECT_EQ(counters.intStuffmark, 1);  // the end mark's 0xF0
  EXPECT_EQ(counters.intEndmark, 0);
  // Only bytes up to the index count, and never past the buffer.
  EXPECT_EQ(Unstuff(Bytes{5, 6, 7, 8}, 1).bytes, (Bytes{0, 5, 6}));
  EXPECT_EQ(Unstuff(Bytes{5, 6, 7, 8}, -1).bytes, (Bytes{0}));
  EXPECT_EQ(Unstuff(Bytes{5, 6, 7, 8}, 99).lastIndex(), 4);
}

TEST(SampleCount, RoundsHalfToEvenAndMayGoNegative) {
  // The last index, the record length, the header's size, the count.
  const std::tuple<qint32, qint32, int, std::optional<qint32>> cases[] = {
      {311, 3, kDownloadHeaderSize, 99},  {16, 2, kDownloadHeaderSize, 1},   // (16 - 11) / 2 = 2.5 -> 2
      {18, 2, kDownloadHeaderSize, 3},    {9, 1, kRawImageHeaderSize, 0},    // 3.5 -> 4; 1
      {8, 2, kDownloadHeaderSize, -3},    {10, 2, kDownloadHeaderSize, -1},  // -1.5 -> -2; -0.5 -> 0
      {100, 0, kDownloadHeaderSize, std::nullopt},
  };
  for (const auto& [last, length, header, count] : cases)
    EXPECT_EQ(SampleCountFromLength(last, length, header), count) << last;
}

// The record length comes from the mask as the hand packer lays records out: a wrong
// length misaligns the records or is refused.
TEST(Unpack, EveryMaskRoundTripsHandPackedRecordsNewestFirst) {
  std::mt19937 rng(12345);
  for (unsigned mask = 1; mask < 0x1000; ++mask) {
    std::array<std::array<int, 12>, 3> values{};
    Bytes records;
    for (auto& v : values) {
      for (int k = 0; k < 12; ++k) v[std::size_t(k)] = (mask & (1u << k)) ? int(rng() % (k < 10 ? 4096 : 256)) : 0;
      const Bytes rec = PackRecord(mask, v);
      records.insert(records.end(), rec.begin(), rec.end());
    }
    SampleStore s = StoreFor(mask, records, 3);
    ASSERT_TRUE(Unpack(s)) << mask;
    // The last record becomes column 0; the spare column stays clear.
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 12; ++k)
        ASSERT_EQ(s.at(k, j), values[std::size_t(2 - j)][std::size_t(k)]) << "mask " << mask << " col " << j << " ch " << k + 1;
    for (int k = 0; k < 12; ++k) ASSERT_EQ(s.at(k, 3), 0);
  }
}

TEST(Unpack, RefusesRecordsOutsideTheImageAndResetANegativeCount) {
  SampleStore tooMany = StoreFor(0x003, {0x21, 0x43, 0x65}, 2);
  const SampleStore before = tooMany;
  EXPECT_FALSE(Unpack(tooMany));
  EXPECT_TRUE(tooMany == before);
  SampleStore shortRecord = StoreFor(0x007, {0x03, 0x77, 0x21, 0x43, 0x65}, 1);
  shortRecord.RecordLength = 3;  // the mask needs 5
  EXPECT_FALSE(Unpack(shortRecord));
  SampleStore unsized = StoreFor(0x003, {0x21, 0x43, 0x65}, 1);
  unsized.SampleCount = 5;  // data still sized for 1
  EXPECT_FALSE(Unpack(unsized));

  // The store's reset refuses a negative count and clears every column.
  SampleStore s = hand::PreviousLog();
  EXPECT_FALSE(s.reset(-1));
  EXPECT_TRUE(s == hand::PreviousLog());
  ASSERT_TRUE(s.reset(1));
  EXPECT_EQ(std::pair(s.SampleCount, s.data()), std::pair(1, std::vector<qint16>(2 * kSampleRows, 0)));
}
