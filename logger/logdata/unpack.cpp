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

  for (int g = 0; 2 * g + 1 < p; ++g)
    layout.pairs[std::size_t(layout.pairCount++)] = {twelve[std::size_t(2 * g)], twelve[std::size_t(2 * g + 1)],
                                                     quint8(3 * g)};
  if (p % 2 == 1) {
    layout.hasLone = true;
    layout.lone = {twelve[std::size_t(p - 1)], quint8(3 * ((p - 1) / 2)), p == 1};
  }
  const int r = TwelveBitLength(p);
  layout.twelveBitLength = r;
  const bool ch11 = channelMask & (1u << 10);
  const bool ch12 = channelMask & (1u << 11);
  if (ch11) layout.eights[std::size_t(layout.eightCount++)] = {10, quint8(r)};
  if (ch12) layout.eights[std::size_t(layout.eightCount++)] = {11, quint8(ch11 ? r + 1 : r)};
  layout.length = r + int(ch11) + int(ch12);
  return layout;
}

bool UnpackFits(const SampleStore& store) {
  const qint32 count = store.SampleCount;
  if (count < 0 || store.columns() != count + 1) return false;
  if (count == 0) return true;
  const qint64 rl = store.RecordLength;
  if (rl <= 0 || rl < LayoutForMask(store.ChannelMask).length) return false;
  const qint64 last = std::min<qint64>(store.ImageLastIndex, qint64(store.MemoryImage.size()) - 1);
  // Record i ends at rl * i + 9; the first starts at byte 10, so the lowest byte read
  // (E - rl + 1 of record 1) is inside the image whenever the highest is.
  return rl * count + kImageHeaderLastIndex <= last;
}

bool Unpack(SampleStore& store) {
  if (!UnpackFits(store)) return false;
  const qint32 count = store.SampleCount;
  if (count == 0) return true;

  const RecordLayout layout = LayoutForMask(store.ChannelMask);
  const qint64 rl = store.RecordLength;
  const quint8* img = store.MemoryImage.data();
  const int pairCount = layout.pairCount;
  const int eightCount = layout.eightCount;
  const RecordLayout::Lone lone = layout.lone;
  for (qint32 i = count, j = 0; i >= 1; --i, ++j) {
    const quint8* e = img + (rl * i + kImageHeaderLastIndex);
    qint16* column = store.columnData(j);
    for (int g = 0; g < pairCount; ++g) {
      const RecordLayout::Pair& pr = layout.pairs[std::size_t(g)];
      const unsigned nibbles = e[-int(pr.offset) - 2];
      column[pr.rowA] = qint16(e[-int(pr.offset)] | (nibbles & 0x0F) << 8);
      column[pr.rowB] = qint16(e[-int(pr.offset) - 1] | (nibbles >> 4) << 8);
    }
    if (layout.hasLone) {
      const unsigned high = e[-int(lone.offset) - 1];
      // A damaged whole high byte can exceed 15 bits; it is kept as its 16-bit pattern.
      column[lone.row] = qint16(quint16(e[-int(lone.offset)] | (lone.wholeHighByte ? high : high & 0x0F) << 8));
    }
    for (int k = 0; k < eightCount; ++k) column[layout.eights[std::size_t(k)].row] = e[-int(layout.eights[std::size_t(k)].offset)];
  }
  return true;
}

}  // namespace logdata
