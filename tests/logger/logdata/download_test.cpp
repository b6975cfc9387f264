#include "logger/logdata/download.h"

#include "logger/logdata/hand_bytes.h"
#include "logger/logdata/store_helpers.h"

#include <gtest/gtest.h>
#include <random>

using namespace logdata;
using hand::Bytes;

namespace {

qint32 LastIndex(const Bytes& b) { return qint32(b.size()) - 1; }

Bytes Repeat(const Bytes& rec, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), rec.begin(), rec.end());
  return out;
}

}  // namespace

TEST(EndMark, LengthAndRunParity) {
  // Nine bytes after the start byte (indices 3..11) pass the length test.
  const Bytes nine = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF};
  EXPECT_EQ(CheckEndMark(nine, 11).outcome, DownloadOutcome::Ok);
  EXPECT_EQ(CheckEndMark(nine, 11).intEndmark, 1);
  EXPECT_EQ(CheckEndMark(nine, 10).outcome, DownloadOutcome::NoData);
  EXPECT_EQ(CheckEndMark(nine, -1).outcome, DownloadOutcome::NoData);

  const Bytes even = {0, 0, 0, 1, 2, 3, 4, 5, 6, 0xF0, 0xF0, 0xFF};
  EXPECT_EQ(CheckEndMark(even, 11).outcome, DownloadOutcome::Fault);
  EXPECT_EQ(CheckEndMark(even, 11).intEndmark, 2);
  const Bytes odd = {0, 0, 0, 1, 2, 3, 4, 5, 0xF0, 0xF0, 0xF0, 0xFF};
  EXPECT_EQ(CheckEndMark(odd, 11).outcome, DownloadOutcome::Ok);
  EXPECT_EQ(CheckEndMark(odd, 11).intEndmark, 3);

  const Bytes noEnd = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFE};
  EXPECT_EQ(CheckEndMark(noEnd, 11).outcome, DownloadOutcome::Fault);
  const Bytes noStuff = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF1, 0xFF};
  EXPECT_EQ(CheckEndMark(noStuff, 11).outcome, DownloadOutcome::Fault);
  // The run may reach the never-written start of the buffer without reading before it.
  const Bytes allStuff(12, 0xF0);
  Bytes allStuffEnd = allStuff;
  allStuffEnd[11] = 0xFF;
  EXPECT_EQ(CheckEndMark(allStuffEnd, 11).intEndmark, 11);
  EXPECT_EQ(CheckEndMark(allStuffEnd, 11).outcome, DownloadOutcome::Ok);
}

TEST(EndMark, OverflowAndIndexOutsideBufferAreFaults) {
  const Bytes nine = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF};
  EXPECT_EQ(CheckEndMark(nine, 11, true).outcome, DownloadOutcome::Fault);
  EXPECT_EQ(CheckEndMark(nine, 12).outcome, DownloadOutcome::Fault);
  EXPECT_EQ(CheckEndMark(std::span<const quint8>(nine.data(), 11), 11).outcome, DownloadOutcome::Fault);
}

TEST(DecodeDownload, HeaderSamplesAndImage) {
  // Mask: channels 1 and 2; FreqCode 5; serial bytes D2 04 05; three records, of which
  // the last before the end mark is not decoded. Record 2 holds a stuffed 0xF0.
  const Bytes records = {0x21, 0x43, 0x65, 0x0A, 0xF0, 0xDE, 0x77, 0x77, 0x77};
  const Bytes stream = hand::DownloadStream(0x0003, 5, 0x0504D2, records);
  SampleStore store = hand::PreviousLog();
  ASSERT_EQ(DecodeDownload(stream, LastIndex(stream), false, store), DownloadOutcome::Ok);

  EXPECT_EQ(store.SampleCount, 2);
  EXPECT_EQ(store.ChannelMask, 0x0003);
  EXPECT_EQ(store.FreqCode, 5);
  EXPECT_EQ(store.ConfigNumber, 0xD2 + 0x04 * 256 + 0x05 * 65536);
  EXPECT_EQ(store.RecordLength, 3);
  EXPECT_EQ(store.ImageLastIndex, 20);
  const Bytes image = {2, 0, 0, 0, 0x03, 0x00, 5, 0xD2, 0x04, 0x05, 0x21, 0x43, 0x65,
                       0x0A, 0xF0, 0xDE, 0x77, 0x77, 0x77, 0xF0, 0xFF};
  EXPECT_EQ(store.MemoryImage, image);
  EXPECT_EQ(store.at(0, 0), 0xADE);
  EXPECT_EQ(store.at(1, 0), 0x0F0);
  EXPECT_EQ(store.at(0, 1), 0x165);
  EXPECT_EQ(store.at(1, 1), 0x243);
  EXPECT_EQ(store.columns(), 3);
  for (int r = 2; r < kSampleRows; ++r) EXPECT_EQ(store.at(r, 0), 0);
  // What belongs to the file last opened stays.
  EXPECT_EQ(store.LoadedLogFile, QStringLiteral("/somewhere/old.dlg"));
  EXPECT_EQ(store.LoadedSampleCount, 3);
}

TEST(DecodeDownload, HundredRecordsGiveNinetyNineSamples) {
  const Bytes stream = hand::DownloadStream(0x0003, 1, 0, Repeat({0x21, 0x43, 0x65}, 100));
  SampleStore store;
  ASSERT_EQ(DecodeDownload(stream, LastIndex(stream), false, store), DownloadOutcome::Ok);
  EXPECT_EQ(store.ImageLastIndex, 311);
  EXPECT_EQ(store.SampleCount, 99);
}

TEST(DecodeDownload, FailuresKeepThePreviousLog) {
  const SampleStore previous = hand::PreviousLog();
  auto expectKept = [&](const Bytes& stream, DownloadOutcome expected) {
    SampleStore store = hand::PreviousLog();
    EXPECT_EQ(DecodeDownload(stream, LastIndex(stream), false, store), expected);
    hand::ExpectSameStore(store, previous);
  };
  Bytes even = hand::DownloadStream(0x0003, 1, 0, Repeat({0x21, 0x43, 0x65}, 3));
  even.insert(even.end() - 1, 0xF0);  // ... F0 F0 FF
  expectKept(even, DownloadOutcome::Fault);
  expectKept({0, 0, 0, 1, 2, 3, 4, 5, 0xF0, 0xFF}, DownloadOutcome::NoData);
  // Twelve channels (17-byte records) but a single data byte: the count would be -1.
  expectKept(hand::DownloadStream(0x0FFF, 1, 0, {0x01}), DownloadOutcome::Fault);
  // No channel at all: no record length to count with.
  expectKept(hand::DownloadStream(0x0000, 1, 0, {0x01, 0x02, 0x03}), DownloadOutcome::Fault);
}

TEST(DecodeDownload, StepsCanRunSeparately) {
  const Bytes stream = hand::DownloadStream(0x0800, 2, 7, {0x10, 0x20, 0x30});
  ASSERT_EQ(CheckEndMark(stream, LastIndex(stream)).outcome, DownloadOutcome::Ok);
  RawImage image = UnstuffDownload(stream, LastIndex(stream));
  // Between the steps the image is what a raw file would hold: bytes 0..3 not yet set.
  EXPECT_EQ(image.bytes, (Bytes{0, 0, 0, 0, 0x00, 0x08, 2, 7, 0, 0, 0x10, 0x20, 0x30, 0xF0, 0xFF}));
  SampleStore store;
  QString error;
  ASSERT_TRUE(DecodeImage(std::move(image), ImageKind::Download, 0, store, &error)) << error.toStdString();
  EXPECT_EQ(store.SampleCount, 2);  // (14 - 11) / 1 = 3, minus 1
  EXPECT_EQ(store.at(11, 0), 0x20);
  EXPECT_EQ(store.at(11, 1), 0x10);
  EXPECT_EQ(store.ConfigNumber, 7);
}

TEST(DecodeDownload, StreamLongerThanTheBufferIsAFault) {
  // The receive side stops storing at the end of its buffer and flags the overflow.
  std::vector<quint8> buffer(std::size_t(kImageCapacity), 0x11);
  buffer[buffer.size() - 2] = 0xF0;
  buffer.back() = 0xFF;
  const qint32 last = kImageCapacity - 1;
  SampleStore store = hand::PreviousLog();
  EXPECT_EQ(DecodeDownload(buffer, last, true, store), DownloadOutcome::Fault);
  hand::ExpectSameStore(store, hand::PreviousLog());
  EXPECT_EQ(OutcomeStatusText(DownloadOutcome::Fault), QStringLiteral("Fault!"));

  // Filled to the last byte but complete: every byte but index 0 lands in the image.
  ASSERT_EQ(DecodeDownload(buffer, last, false, store), DownloadOutcome::Ok);
  EXPECT_EQ(store.ImageLastIndex, kImageCapacity);
  // Mask 0x1111: channels 1, 5, 9 -> 5-byte records; (2558001 - 11) / 5 = 511598.
  EXPECT_EQ(store.RecordLength, 5);
  EXPECT_EQ(store.SampleCount, 511597);
}

TEST(DecodeDownload, StatusWords) {
  EXPECT_EQ(OutcomeStatusText(DownloadOutcome::Ok), QStringLiteral("Ready"));
  EXPECT_EQ(OutcomeStatusText(DownloadOutcome::NoData), QStringLiteral("No Data"));
}

TEST(DecodeDownload, EveryTruncationOfAStream) {
  Bytes records;
  for (int i = 0; i < 20; ++i) records.insert(records.end(), {std::uint8_t(i), 0xF0, std::uint8_t(0xF0 ^ i), 0x5A});
  const Bytes stream = hand::DownloadStream(0x0C01, 3, 99, records);  // ch1, ch11, ch12: 4-byte records
  for (qint32 idx = -1; idx <= LastIndex(stream); ++idx) {
    SampleStore store = hand::PreviousLog();
    const DownloadOutcome out = DecodeDownload(stream, idx, false, store);
    if (idx < kMinReceiveIndex) {
      EXPECT_EQ(out, DownloadOutcome::NoData) << idx;
    }
    if (out == DownloadOutcome::Ok) {
      EXPECT_GE(store.SampleCount, 0);
      EXPECT_EQ(store.columns(), store.SampleCount + 1);
      EXPECT_EQ(store.ImageLastIndex + 1, qint32(store.MemoryImage.size()));
    } else {
      hand::ExpectSameStore(store, hand::PreviousLog());
    }
  }
  SampleStore full;
  ASSERT_EQ(DecodeDownload(stream, LastIndex(stream), false, full), DownloadOutcome::Ok);
  EXPECT_EQ(full.SampleCount, 19);
  // Record 19; the lone 12-bit channel takes the whole byte before it as its high part.
  EXPECT_EQ(full.at(0, 0), qint16(quint16(0x5A | (0xF0 ^ 18) << 8)));
  EXPECT_EQ(full.at(10, 0), 0xF0);
  EXPECT_EQ(full.at(11, 0), 18);
}

TEST(DecodeDownload, RandomStreams) {
  const quint8 alphabet[] = {0x00, 0x01, 0x0F, 0x55, 0xF0, 0xF0, 0xF0, 0xFF, 0xFF, 0x8A};
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::mt19937 rng(seed);
    Bytes buf(std::size_t(rng() % 300), 0);
    for (auto& b : buf) b = (rng() % 2) ? alphabet[rng() % std::size(alphabet)] : quint8(rng());
    if (buf.size() >= 2 && rng() % 2) buf[buf.size() - 2] = 0xF0, buf.back() = 0xFF;
    SampleStore store = hand::PreviousLog();
    const DownloadOutcome out = DecodeDownload(buf, LastIndex(buf), false, store);
    if (out == DownloadOutcome::Ok) {
      ASSERT_GE(store.SampleCount, 0) << seed;
      ASSERT_EQ(store.columns(), store.SampleCount + 1) << seed;
      for (int k = 0; k < 12; ++k)
        if (!store.channelPresent(k + 1)) {
          for (qint32 j = 0; j < store.SampleCount; ++j) ASSERT_EQ(store.at(k, j), 0) << seed;
        }
    } else {
      hand::ExpectSameStore(store, hand::PreviousLog());
    }
  }
}
