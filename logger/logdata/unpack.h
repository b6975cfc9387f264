#pragma once
// From the logger's stuffed memory stream to columns of samples: unstuffing, record
// length, sample count and the record layout.
#include "logger/logdata/samplestore.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace logdata {

// Header bytes subtracted before counting records: a download image still carries its
// end mark (two bytes more than a raw image read back from a .dlt file).
constexpr int kDownloadHeaderSize = 11;
constexpr int kRawImageHeaderSize = 8;
// Image bytes 4..9 hold mask, FreqCode and serial number; record 1 starts at byte 10.
constexpr qint32 kImageHeaderLastIndex = 9;
// Unstuffing writes from image index 1, so a full receive buffer without stuffed pairs
// ends at image index kImageCapacity: the image needs one byte more than the buffer.
constexpr qint32 kMaxImageLastIndex = kImageCapacity;

// An unstuffed memory image, bytes 0..lastIndex(). Byte 0 is never received.
struct RawImage {
  std::vector<quint8> bytes;
  qint32 lastIndex() const { return qint32(bytes.size()) - 1; }
};

// The counters the main window exposes as intStuffmark / intEndmark; both start at 0.
struct StuffCounters {
  qint16 intStuffmark = 0;
  qint16 intEndmark = 0;
};

// Unstuffs received bytes 0..receiveIndex (inclusive) into a fresh image from index 1
// on. Requires receiveIndex < received.size(); a negative index gives an image of one
// byte (lastIndex 0).
RawImage Unstuff(std::span<const quint8> received, qint32 receiveIndex, StuffCounters* counters = nullptr);

// Bytes of one record for the channels named by the two mask bytes.
qint16 RecordLengthFromMask(quint8 maskLow, quint8 maskHigh);

// q = (imageLastIndex - headerSize) / recordLength rounded half to even, minus 1.
// Negative results are returned as they are (the caller refuses them); no value for a
// record length of 0 (an empty mask), which has no sample count at all.
std::optional<qint32> SampleCountFromLength(qint32 imageLastIndex, qint32 recordLength, int headerSize);

// Where each logged channel sits in a record, as offsets back from the record's last
// byte E. Computed once per mask so that the unpack loop does no bit counting.
struct RecordLayout {
  // Two 12-bit channels in three bytes: low bytes at E - offset (a) and E - offset - 1
  // (b), their high nibbles at E - offset - 2 (a low, b high).
  struct Pair {
    quint8 rowA, rowB, offset;
  };
  // The odd last 12-bit channel: low byte at E - offset, high bits at E - offset - 1
  // (its low nibble, or the whole byte when it is the only 12-bit channel).
  struct Lone {
    quint8 row, offset;
    bool wholeHighByte;
  };
  struct Eight {
    quint8 row, offset;
  };
  std::array<Pair, 5> pairs{};
  int pairCount = 0;
  bool hasLone = false;
  Lone lone{};
  std::array<Eight, 2> eights{};
  int eightCount = 0;
  int twelveBitLength = 0;  // R: bytes of the packed 12-bit part
  int length = 0;           // the record length this mask implies
};
RecordLayout LayoutForMask(quint16 channelMask);

// Whether Unpack can run on the store as it stands: SampleData sized for SampleCount,
// a record length that holds the mask's channels, and records 1..SampleCount inside
// image bytes 0..ImageLastIndex.
bool UnpackFits(const SampleStore& store);

// Unpacks records SampleCount..1 of store.MemoryImage into columns 0..SampleCount-1.
// Writes only the rows of logged channels: SampleData must have been cleared for the
// new count (reset). Clearing in one sweep and then writing sparsely is faster than
// building whole columns when few channels are logged.
// Trusts the header for values but not for bounds: returns false and changes nothing
// unless UnpackFits.
bool Unpack(SampleStore& store);

}  // namespace logdata
