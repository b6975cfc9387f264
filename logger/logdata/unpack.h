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
  enum Mode : quint8 { kLowNibble, kHighNibble, kWholeHighByte, kEightBit };
  struct Field {
    quint8 row;     // channel - 1
    quint8 low;     // E - low: bits 0..7 (the whole value for 8-bit channels)
    quint8 high;    // E - high: bits 8..11 as given by mode
    Mode mode;
  };
  std::array<Field, 12> fields{};
  int fieldCount = 0;
  int twelveBitLength = 0;  // R: bytes of the packed 12-bit part
  int length = 0;           // the record length this mask implies
};
RecordLayout LayoutForMask(quint16 channelMask);

// Unpacks records SampleCount..1 of store.MemoryImage into columns 0..SampleCount-1.
// SampleData must already be sized for SampleCount. Trusts the header for values but
// not for bounds: returns false and changes nothing if a record would lie outside the
// image or the record length is shorter than the mask needs.
bool Unpack(SampleStore& store);

}  // namespace logdata
