#include "logger/logdata/unpack.h"

#include "logger/logdata/hand_bytes.h"
#include "logger/logdata/store_helpers.h"

#include <gtest/gtest.h>
#include <bit>
#include <random>

using namespace logdata;
using hand::Bytes;

namespace {

RawImage UnstuffAll(const Bytes& in, StuffCounters* c = nullptr) { return Unstuff(in, qint32(in.size()) - 1, c); }

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
  const int len = r + c11 + c12;
  Bytes rec(std::size_t(len), 0);
  const int e = len - 1;
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

TEST(Unstuff, PairsCollapseAndPlainBytesShiftByOne) {
  EXPECT_EQ(UnstuffAll({0xF0, 0xF0}).bytes, (Bytes{0, 0xF0}));
  EXPECT_EQ(UnstuffAll({0xF0, 0xF0, 0xF0, 0xF0}).bytes, (Bytes{0, 0xF0, 0xF0}));
  const RawImage plain = UnstuffAll({1, 2, 3});
  EXPECT_EQ(plain.bytes, (Bytes{0, 1, 2, 3}));
  EXPECT_EQ(plain.lastIndex(), 3);

  StuffCounters c;
  const RawImage tail = UnstuffAll({0x11, 0xF0, 0xF0, 0x22, 0xF0, 0xFF}, &c);
  EXPECT_EQ(tail.bytes, (Bytes{0, 0x11, 0xF0, 0x22, 0xF0, 0xFF}));
  EXPECT_EQ(c.intStuffmark, 1);  // the end mark's 0xF0
  EXPECT_EQ(c.intEndmark, 0);
}

TEST(Unstuff, StuffCountIsNotResetByOtherBytes) {
  // A lone 0xF0 leaves the count at 1, so the next pair is counted 2, 3 and both stay.
  EXPECT_EQ(UnstuffAll({0xF0, 0x11, 0xF0, 0xF0}).bytes, (Bytes{0, 0xF0, 0x11, 0xF0, 0xF0}));
}

TEST(Unstuff, UsesOnlyBytesUpToTheIndex) {
  const Bytes buf = {5, 6, 7, 8, 9};
  EXPECT_EQ(Unstuff(buf, 2).bytes, (Bytes{0, 5, 6, 7}));
  EXPECT_EQ(Unstuff(buf, -1).bytes, (Bytes{0}));
  EXPECT_EQ(Unstuff(buf, 99).lastIndex(), 5);  // clamped to the buffer
}

TEST(RecordLength, FollowsTheTwelveBitPartAndEightBitChannelsForEveryMask) {
  EXPECT_EQ(RecordLengthFromMask(0x03, 0x00), 3);
  EXPECT_EQ(RecordLengthFromMask(0x07, 0x00), 5);
  EXPECT_EQ(RecordLengthFromMask(0x01, 0x00), 2);
  EXPECT_EQ(RecordLengthFromMask(0x00, 0x0C), 2);
  EXPECT_EQ(RecordLengthFromMask(0x00, 0x08), 1);
  EXPECT_EQ(RecordLengthFromMask(0xFF, 0x0F), 17);
  EXPECT_EQ(RecordLengthFromMask(0x00, 0x00), 0);
  const int table[11] = {0, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15};
  for (unsigned mask = 0; mask < 0x10000; mask += (mask < 0x1000 ? 1 : 0x1000)) {
    const int p = std::popcount(mask & 0x3FFu);
    const int q = std::popcount(mask & 0xC00u);
    EXPECT_EQ(RecordLengthFromMask(quint8(mask & 0xFF), quint8(mask >> 8)), table[p] + q) << "mask " << mask;
  }
}

TEST(SampleCount, RoundsHalfToEvenAndMayGoNegative) {
  EXPECT_EQ(SampleCountFromLength(311, 3, kDownloadHeaderSize), 99);
  EXPECT_EQ(SampleCountFromLength(16, 2, kDownloadHeaderSize), 1);   // 2.5 -> 2
  EXPECT_EQ(SampleCountFromLength(18, 2, kDownloadHeaderSize), 3);   // 3.5 -> 4
  EXPECT_EQ(SampleCountFromLength(17, 3, kDownloadHeaderSize), 1);   // 2.0
  EXPECT_EQ(SampleCountFromLength(9, 1, kRawImageHeaderSize), 0);
  EXPECT_EQ(SampleCountFromLength(8, 2, kDownloadHeaderSize), -3);   // -1.5 -> -2
  EXPECT_EQ(SampleCountFromLength(10, 2, kDownloadHeaderSize), -1);  // -0.5 -> 0
  EXPECT_EQ(SampleCountFromLength(100, 0, kDownloadHeaderSize), std::nullopt);
}

TEST(Unpack, DocumentedRecords) {
  SampleStore two = StoreFor(0x003, {0x21, 0x43, 0x65}, 1);
  ASSERT_TRUE(Unpack(two));
  EXPECT_EQ(two.at(0, 0), 0x165);
  EXPECT_EQ(two.at(1, 0), 0x243);
  for (int r = 2; r < kSampleRows; ++r) EXPECT_EQ(two.at(r, 0), 0) << r;

  SampleStore three = StoreFor(0x007, {0x03, 0x77, 0x21, 0x43, 0x65}, 1);
  ASSERT_TRUE(Unpack(three));
  EXPECT_EQ(three.at(0, 0), 0x165);
  EXPECT_EQ(three.at(1, 0), 0x243);
  EXPECT_EQ(three.at(2, 0), 0x377);

  SampleStore one = StoreFor(0x001, {0x0A, 0xBC}, 1);
  ASSERT_TRUE(Unpack(one));
  EXPECT_EQ(one.at(0, 0), 0xABC);
  // The lone channel takes the whole byte before it, not only its low nibble.
  SampleStore wide = StoreFor(0x001, {0x1A, 0xBC}, 1);
  ASSERT_TRUE(Unpack(wide));
  EXPECT_EQ(wide.at(0, 0), 0x1ABC);

  SampleStore eight = StoreFor(0xC00, {0x12, 0x34}, 1);
  ASSERT_TRUE(Unpack(eight));
  EXPECT_EQ(eight.at(10, 0), 0x34);
  EXPECT_EQ(eight.at(11, 0), 0x12);
  SampleStore twelve = StoreFor(0x800, {0x56}, 1);
  ASSERT_TRUE(Unpack(twelve));
  EXPECT_EQ(twelve.at(11, 0), 0x56);
  EXPECT_EQ(twelve.at(10, 0), 0);
}

TEST(Unpack, LastRecordBecomesColumnZero) {
  SampleStore s = StoreFor(0x800, {0x01, 0x02, 0x03, 0x04}, 3);
  ASSERT_TRUE(Unpack(s));
  EXPECT_EQ(s.at(11, 0), 3);
  EXPECT_EQ(s.at(11, 1), 2);
  EXPECT_EQ(s.at(11, 2), 1);
  EXPECT_EQ(s.at(11, 3), 0);  // spare column
}

TEST(Unpack, EveryMaskRoundTripsHandPackedRecords) {
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
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 12; ++k)
        ASSERT_EQ(s.at(k, j), values[std::size_t(2 - j)][std::size_t(k)]) << "mask " << mask << " col " << j << " ch " << k + 1;
  }
}

TEST(Unpack, RefusesRecordsOutsideTheImage) {
  SampleStore tooMany = StoreFor(0x003, {0x21, 0x43, 0x65}, 2);
  const auto before = tooMany.data();
  EXPECT_FALSE(Unpack(tooMany));
  EXPECT_EQ(tooMany.data(), before);

  SampleStore shortRecord = StoreFor(0x007, {0x03, 0x77, 0x21, 0x43, 0x65}, 1);
  shortRecord.RecordLength = 3;  // the mask needs 5
  EXPECT_FALSE(Unpack(shortRecord));

  SampleStore unsized = StoreFor(0x003, {0x21, 0x43, 0x65}, 1);
  unsized.SampleCount = 5;  // data still sized for 1
  EXPECT_FALSE(Unpack(unsized));
}

TEST(SampleStoreReset, ReallocatesZeroedAndRefusesNegative) {
  SampleStore s = hand::PreviousLog();
  ASSERT_TRUE(s.reset(1));
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_EQ(s.columns(), 2);
  EXPECT_EQ(s.data(), std::vector<qint16>(2 * kSampleRows, 0));
  const SampleStore before = s;
  EXPECT_FALSE(s.reset(-1));
  hand::ExpectSameStore(s, before);
  ASSERT_TRUE(s.reset(0));
  EXPECT_EQ(s.columns(), 1);
}
