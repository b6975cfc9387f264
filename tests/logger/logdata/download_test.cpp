#include "logger/logdata/download.h"

#include "logger/logdata/image_bytes.h"

#include <gtest/gtest.h>

using namespace logdata;
using hand::Bytes;

namespace {

qint32 LastIndex(const Bytes& b) { return qint32(b.size()) - 1; }

}  // namespace

TEST(EndMark, LengthAndRunParity) {
  // The buffer, its last index, whether it overflowed; the outcome and the run of 0xF0 before 0xFF.
  const std::tuple<Bytes, qint32, bool, DownloadOutcome, qint16> cases[] = {
      // Nine bytes after the start byte (indices 3..11) pass the length test; eight do not.
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF}, 11, false, DownloadOutcome::Ok, 1},
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF}, 10, false, DownloadOutcome::NoData, 0},
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF}, 11, true, DownloadOutcome::Fault, 0},
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFF}, 12, false, DownloadOutcome::Fault, 0},  // index past the buffer
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 0xF0, 0xF0, 0xFF}, 11, false, DownloadOutcome::Fault, 2},  // even: stuffed data
      {{0, 0, 0, 1, 2, 3, 4, 5, 0xF0, 0xF0, 0xF0, 0xFF}, 11, false, DownloadOutcome::Ok, 3},
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0xFE}, 11, false, DownloadOutcome::Fault, 1},
      {{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xF1, 0xFF}, 11, false, DownloadOutcome::Fault, 0},
      // The run may reach the never-written start of the buffer, not before it.
      {{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xFF}, 11, false, DownloadOutcome::Ok, 11},
  };
  for (const auto& c : cases) {
    const auto& [buffer, index, overflowed, outcome, run] = c;
    const EndMarkCheck check = CheckEndMark(buffer, index, overflowed);
    EXPECT_EQ(std::pair(check.outcome, check.intEndmark), std::pair(outcome, run)) << &c - cases;
  }
}

TEST(DecodeDownload, HeaderSamplesAndImage) {
  // Channels 1 and 2, FreqCode 5, serial bytes D2 04 05; of three records the last
  // before the end mark is not decoded. Record 2 holds a stuffed 0xF0.
  const Bytes records = {0x21, 0x43, 0x65, 0x0A, 0xF0, 0xDE, 0x77, 0x77, 0x77};
  const Bytes stream = hand::DownloadStream(0x0003, 5, 0x0504D2, records);
  SampleStore store = hand::PreviousLog();
  ASSERT_EQ(DecodeDownload(stream, LastIndex(stream), false, store), DownloadOutcome::Ok);
  EXPECT_EQ(std::tuple(store.SampleCount, store.ChannelMask, store.FreqCode, store.ConfigNumber, store.RecordLength,
                       store.ImageLastIndex),
            std::tuple(2, quint16(0x0003), quint8(5), 0x0504D2, qint16(3), 20));
  // Bytes 0..3 hold the sample count, as a .dlt saved from the download holds it.
  EXPECT_EQ(store.MemoryImage, (Bytes{2, 0, 0, 0, 0x03, 0x00, 5, 0xD2, 0x04, 0x05, 0x21, 0x43, 0x65, 0x0A, 0xF0, 0xDE,
                                      0x77, 0x77, 0x77, 0xF0, 0xFF}));
  EXPECT_EQ(store.data(), (std::vector<qint16>{0xADE, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                               0x165, 0x243, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // What belongs to the file last opened stays.
  EXPECT_EQ(std::pair(store.LoadedLogFile, store.LoadedSampleCount), std::pair(QStringLiteral("/somewhere/old.dlg"), 3));
}

// Faults keep the previous log; the receive side stops storing at the end of its buffer and
// flags the overflow. Every truncation of a stream is no data, a fault or a whole log.
TEST(DecodeDownload, FaultsAndTruncationsKeepThePreviousLogAndAFullBufferDecodes) {
  Bytes full(std::size_t(kImageCapacity), 0x11);
  full[full.size() - 2] = 0xF0;
  full.back() = 0xFF;
  const std::pair<Bytes, bool> cases[] = {  // the stream, and whether it overflowed the buffer
      {hand::DownloadStream(0x0FFF, 1, 0, {0x01}), false},  // 17-byte records but one data byte: the count would be -1
      {hand::DownloadStream(0x0000, 1, 0, {0x01, 0x02, 0x03}), false},  // no channel: no record length to count with
      {hand::DownloadStream(0x0003, 0, 0, {0x21, 0x43, 0x65, 0x21, 0x43, 0x65, 0x21, 0x43, 0x65}), false},  // no rate
      {full, true},
  };
  for (const auto& [stream, overflowed] : cases) {
    SampleStore store = hand::PreviousLog();
    EXPECT_EQ(DecodeDownload(stream, LastIndex(stream), overflowed, store), DownloadOutcome::Fault) << stream.size();
    EXPECT_TRUE(store == hand::PreviousLog()) << stream.size();
  }
  // Filled to the last byte but complete: every byte but index 0 lands in the image.
  SampleStore filled;
  ASSERT_EQ(DecodeDownload(full, LastIndex(full), false, filled), DownloadOutcome::Ok);
  EXPECT_EQ(filled.ImageLastIndex, kImageCapacity);
  // Mask 0x1111: channels 1, 5, 9 -> 5-byte records; (2558001 - 11) / 5 = 511598.
  EXPECT_EQ(filled.SampleCount, 511597);

  Bytes records;
  for (int i = 0; i < 20; ++i) records.insert(records.end(), {std::uint8_t(i), 0xF0, std::uint8_t(0xF0 ^ i), 0x5A});
  const Bytes stream = hand::DownloadStream(0x0C01, 3, 99, records);  // ch1, ch11, ch12: 4-byte records
  for (qint32 idx = -1; idx < LastIndex(stream); ++idx) {
    SampleStore store = hand::PreviousLog();
    const DownloadOutcome out = DecodeDownload(stream, idx, false, store);
    if (idx < kMinReceiveIndex) {
      EXPECT_EQ(out, DownloadOutcome::NoData) << idx;
    }
    EXPECT_TRUE(out == DownloadOutcome::Ok ? store.columns() == store.SampleCount + 1 : store == hand::PreviousLog()) << idx;
  }
  SampleStore whole;
  ASSERT_EQ(DecodeDownload(stream, LastIndex(stream), false, whole), DownloadOutcome::Ok);
  EXPECT_EQ(whole.SampleCount, 19);
  // Record 19; the lone 12-bit channel takes the whole byte before it as its high part.
  EXPECT_EQ(whole.at(0, 0), qint16(quint16(0x5A | (0xF0 ^ 18) << 8)));
  EXPECT_EQ(whole.at(10, 0), 0xF0);
  EXPECT_EQ(whole.at(11, 0), 18);
}
