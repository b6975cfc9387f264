#include "logger/logdata/unpack.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace logdata {

namespace {
constexpr quint8 kStuff = 0xF0;

// ceil(3n / 2): two 12-bit values share three bytes, a lone one takes two.
int TwelveBitLength(int channels) { return (3 * channels + 1) / 2; }
}  // namespace

RawImage Unstuff(std::span<const quint8> received, qint32 receiveIndex, StuffCounters* counters) {
  StuffCounters local;
  StuffCounters& c = counters ? *counters : local;
  const qint64 count = std::min<qint64>(qint64(receiveIndex) + 1, qint64(received.size()));
  RawImage image;
  image.bytes.assign(std::size_t(std::max<qint64>(count, 0) + 1), 0);
  quint8* img = image.bytes.data();
  const quint8* src = received.data();
  qint64 w = 0;
  qint64 r = 0;
  while (r < count) {
    // Every byte but 0xF0 is a plain copy and leaves intStuffmark alone, so whole runs
    // between stuff bytes move in one block.
    const void* hit = std::memchr(src + r, kStuff, std::size_t(count - r));
    const qint64 runEnd = hit ? static_cast<const quint8*>(hit) - src : count;
    if (runEnd > r) {
      std::memcpy(img + w + 1, src + r, std::size_t(runEnd - r));
      w += runEnd - r;
      r = runEnd;
      c.intEndmark = 0;
    }
    if (r >= count) break;
    // A 0xF0: the second of a counted pair overwrites the first.
    ++w;
    ++c.intEndmark;
    ++c.intStuffmark;
    if (img[w - 1] == kStuff && c.intStuffmark == 2) {
      --w;
      c.intStuffmark = 0;
    }
    img[w] = kStuff;
    ++r;
  }
  image.bytes.resize(std::size_t(w + 1));
  return image;
}

qint16 RecordLengthFromMask(quint8 maskLow, quint8 maskHigh) {
  const int n = std::popcount(unsigned(maskLow));
  const int m = std::popcount(unsigned(maskHigh & 0x03));
  int length = TwelveBitLength(n);
  if (m == 1) length += (n % 2 == 0) ? 2 : 1;
  if (m == 2) length += 3;
  length += (maskHigh >> 2) & 1;
  length += (maskHigh >> 3) & 1;
  return qint16(length);
}

std::optional<qint32> SampleCountFromLength(qint32 imageLastIndex, qint32 recordLength, int headerSize) {
  if (recordLength <= 0) return std::nullopt;
  const qint64 n = qint64(imageLastIndex) - headerSize;
  const qint64 d = recordLength;
  // Floor division with a non-negative remainder, then round half to even exactly.
  qint64 q = n / d;
  qint64 rem = n % d;
  if (rem < 0) {
    rem += d;
    --q;
  }
  if (2 * rem > d || (2 * rem == d && (q & 1) != 0)) ++q;
  return qint32(q - 1);
}

RecordLayout LayoutForMask(quint16 channelMask) {
  RecordLayout layout;
  std::array<quint8, 10> twelve{};
  int p = 0;
  for (int k = 0; k < 10; ++k)
    if (channelMask & (1u << k)) twelve[std::size_t(p++)] = quint8(k);

  for (int i = 0; i < p; ++i) {
    const int g = i / 2;
    RecordLayout::Field f{twelve[std::size_t(i)], 0, 0, RecordLayout::kLowNibble};
    if (i % 2 == 1) {
      f.low = quint8(3 * g + 1);
      f.high = quint8(3 * g + 2);
      f.mode = RecordLayout::kHighNibble;
    } else if (i + 1 < p) {
      f.low = quint8(3 * g);
      f.high = quint8(3 * g + 2);
    } else {
      // The odd one out takes two bytes; when it is the only 12-bit channel the whole
      // byte before it is its high part, not only the low nibble.
      f.low = quint8(3 * g);
      f.high = quint8(3 * g + 1);
      f.mode = p == 1 ? RecordLayout::kWholeHighByte : RecordLayout::kLowNibble;
    }
    layout.fields[std::size_t(layout.fieldCount++)] = f;
  }
  const int r = TwelveBitLength(p);
  layout.twelveBitLength = r;
  const bool ch11 = channelMask & (1u << 10);
  const bool ch12 = channelMask & (1u << 11);
  if (ch11) layout.fields[std::size_t(layout.fieldCount++)] = {10, quint8(r), 0, RecordLayout::kEightBit};
  if (ch12) layout.fields[std::size_t(layout.fieldCount++)] = {11, quint8(ch11 ? r + 1 : r), 0, RecordLayout::kEightBit};
  layout.length = r + int(ch11) + int(ch12);
  return layout;
}

bool Unpack(SampleStore& store) {
  const qint32 count = store.SampleCount;
  if (count < 0 || store.columns() != count + 1) return false;
  if (count == 0) return true;
  const RecordLayout layout = LayoutForMask(store.ChannelMask);
  const qint64 rl = store.RecordLength;
  if (rl < layout.length || rl <= 0) return false;
  const qint64 last = std::min<qint64>(store.ImageLastIndex, qint64(store.MemoryImage.size()) - 1);
  // Record i ends at rl * i + 9; the first starts at byte 10, so the lowest byte read
  // (E - rl + 1 of record 1) is inside the image whenever the highest is.
  if (rl * count + kImageHeaderLastIndex > last) return false;

  const quint8* img = store.MemoryImage.data();
  const int fieldCount = layout.fieldCount;
  const RecordLayout::Field* fields = layout.fields.data();
  for (qint32 i = count, j = 0; i >= 1; --i, ++j) {
    const quint8* e = img + (rl * i + kImageHeaderLastIndex);
    qint16* column = store.columnData(j);
    for (int f = 0; f < fieldCount; ++f) {
      const RecordLayout::Field& fd = fields[f];
      const unsigned low = e[-int(fd.low)];
      unsigned value;
      switch (fd.mode) {
        case RecordLayout::kLowNibble: value = low | (unsigned(e[-int(fd.high)] & 0x0F) << 8); break;
        case RecordLayout::kHighNibble: value = low | (unsigned(e[-int(fd.high)] >> 4) << 8); break;
        case RecordLayout::kWholeHighByte: value = low | (unsigned(e[-int(fd.high)]) << 8); break;
        default: value = low; break;
      }
      // A damaged whole high byte can exceed 15 bits; it is kept as its 16-bit pattern.
      column[fd.row] = qint16(quint16(value));
    }
  }
  return true;
}

}  // namespace logdata
