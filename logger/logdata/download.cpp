#include "logger/logdata/download.h"

#include "common/messages.h"

#include <QtEndian>

namespace logdata {

namespace {
constexpr quint8 kStuff = 0xF0;
constexpr quint8 kEnd = 0xFF;

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}
}  // namespace

EndMarkCheck CheckEndMark(std::span<const quint8> buffer, qint32 receiveIndex, bool overflowed) {
  EndMarkCheck check;
  // An overflowed stream has lost its tail, end mark included, whatever its last bytes say.
  if (overflowed) {
    check.outcome = DownloadOutcome::Fault;
    return check;
  }
  if (receiveIndex < kMinReceiveIndex) {
    check.outcome = DownloadOutcome::NoData;
    return check;
  }
  if (qint64(receiveIndex) >= qint64(buffer.size())) {
    check.outcome = DownloadOutcome::Fault;
    return check;
  }
  qint32 run = 0;
  for (qint32 k = receiveIndex - 1; k >= 0 && buffer[std::size_t(k)] == kStuff; --k) ++run;
  check.intEndmark = qint16(run);
  const bool valid = buffer[std::size_t(receiveIndex)] == kEnd && run > 0 && run % 2 == 1;
  check.outcome = valid ? DownloadOutcome::Ok : DownloadOutcome::Fault;
  return check;
}

RawImage UnstuffDownload(std::span<const quint8> buffer, qint32 receiveIndex) {
  return Unstuff(buffer, receiveIndex);
}

bool DecodeImage(RawImage image, ImageKind kind, qint32 configNumber, SampleStore& target, QString* error) {
  const qint32 last = image.lastIndex();
  if (last < kImageHeaderLastIndex) {
    SetError(error, common::msg::kImageTooShort);
    return false;
  }
  const quint8* b = image.bytes.data();
  const qint16 recordLength = RecordLengthFromMask(b[4], b[5]);
  const int headerSize = kind == ImageKind::Download ? kDownloadHeaderSize : kRawImageHeaderSize;
  const std::optional<qint32> count = SampleCountFromLength(last, recordLength, headerSize);
  if (!count) {
    SetError(error, common::msg::kImageNoChannels);
    return false;
  }
  if (*count < 0) {
    SetError(error, common::msg::kImageTooShort);
    return false;
  }
  if (b[6] == 0) {
    SetError(error, common::msg::kImageNoRate);
    return false;
  }

  // Every check that can fail is made before the target is touched; the target's
  // memory is then reused (a fresh 33 MB array per download costs more in page faults
  // than the decoding itself).
  const quint16 mask = quint16(b[5] * 256 + b[4]);
  const qint64 needed = qint64(recordLength) * *count + kImageHeaderLastIndex;
  if (needed > last || recordLength < LayoutForMask(mask).length) {
    // Not reachable with the count rule above; kept so that a wrong count cannot read
    // outside the image.
    SetError(error, common::msg::kImageTooShort);
    return false;
  }

  target.ChannelMask = mask;
  target.FreqCode = b[6];
  target.RecordLength = recordLength;
  target.ConfigNumber = kind == ImageKind::Download ? qint32(b[7] + b[8] * 256 + b[9] * 65536) : configNumber;
  if (kind == ImageKind::Download) qToLittleEndian<qint32>(*count, image.bytes.data());
  target.ImageLastIndex = last;
  target.MemoryImage = std::move(image.bytes);
  target.reset(*count);
  Unpack(target);
  return true;
}

DownloadOutcome DecodeDownload(std::span<const quint8> buffer, qint32 receiveIndex, bool overflowed,
                               SampleStore& target) {
  const EndMarkCheck check = CheckEndMark(buffer, receiveIndex, overflowed);
  if (check.outcome != DownloadOutcome::Ok) return check.outcome;
  if (!DecodeImage(UnstuffDownload(buffer, receiveIndex), ImageKind::Download, 0, target, nullptr))
    return DownloadOutcome::Fault;
  return DownloadOutcome::Ok;
}

}  // namespace logdata
