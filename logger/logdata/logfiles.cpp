#include "logger/logdata/logfiles.h"

#include "common/messages.h"
#include "common/numtext.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace logdata {

namespace {

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}

bool SaveWhole(const QString& path, const char* data, qint64 size, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    SetError(error, common::msg::LogCannotWrite(path, file.errorString()));
    return false;
  }
  if (size > 0 && file.write(data, size) != size) {
    // A full disk shows as a short write that leaves no error behind.
    SetError(error, common::msg::LogCannotWrite(path, file.error() == QFileDevice::NoError
                                                          ? common::msg::kWriteStoppedShort
                                                          : file.errorString()));
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    SetError(error, common::msg::LogCannotWrite(path, file.errorString()));
    return false;
  }
  return true;
}

// The twelve stored rows of a column as they lie in the file.
inline void PutColumn(char* out, const qint16* column) {
  if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    std::memcpy(out, column, kDlgBytesPerSample);
  } else {
    for (int r = 0; r < kStoredRows; ++r) qToLittleEndian<qint16>(column[r], out + 2 * r);
  }
}

inline void GetColumn(const char* in, qint16* column) {
  if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    std::memcpy(column, in, kDlgBytesPerSample);
  } else {
    for (int r = 0; r < kStoredRows; ++r) column[r] = qFromLittleEndian<qint16>(in + 2 * r);
  }
}

}  // namespace

bool WriteDecodedLog(const QString& path, const SampleStore& store, QString* error) {
  const qint32 count = std::max<qint32>(0, std::min<qint32>(store.SampleCount, store.columns() - 1));
  return WriteDecodedLogRange(path, store, 0, count, error);
}

bool WriteDecodedLogRange(const QString& path, const SampleStore& store, qint32 first, qint32 count,
                          QString* error) {
  if (first < 0 || count < 0 || qint64(first) + count > store.columns()) {
    SetError(error, common::msg::LogRangeOutside(first, count, store.columns()));
    return false;
  }
  // One block for header and samples: a single write is what keeps a 30 MB log fast.
  QByteArray bytes(kDlgHeaderSize + kDlgBytesPerSample * qint64(count), Qt::Uninitialized);
  char* out = bytes.data();
  qToLittleEndian<qint32>(count, out);
  qToLittleEndian<quint16>(store.ChannelMask, out + 4);
  out[6] = char(store.FreqCode);
  qToLittleEndian<qint32>(store.ConfigNumber, out + 7);
  out += kDlgHeaderSize;
  for (qint32 j = first; j < first + count; ++j, out += kDlgBytesPerSample) PutColumn(out, store.columnData(j));
  return SaveWhole(path, bytes.constData(), bytes.size(), error);
}

bool ReadDecodedLog(const QString& path, SampleStore& store, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    SetError(error, common::msg::LogCannotOpen(path, file.errorString()));
    return false;
  }
  const qint64 size = file.size();
  char header[kDlgHeaderSize];
  if (size < kDlgHeaderSize || file.read(header, kDlgHeaderSize) != kDlgHeaderSize) {
    SetError(error, common::msg::DlgTooShort(path, size));
    return false;
  }
  const qint32 count = qFromLittleEndian<qint32>(header);
  if (count < 0) {
    SetError(error, common::msg::DlgNegativeCount(path, count));
    return false;
  }
  if (quint8(header[6]) == 0) {
    SetError(error, common::msg::DlgNoRate(path));
    return false;
  }
  const qint64 held = (size - kDlgHeaderSize) / kDlgBytesPerSample;
  if (count > held) {
    SetError(error, common::msg::DlgCountBeyondFile(path, count, held));
    return false;
  }
  const qint64 blockSize = kDlgBytesPerSample * qint64(count);
  // Mapping the samples spares a 30 MB copy through a heap buffer; the size was checked
  // above, so nothing below can fail half-way and leave a half-filled store.
  QByteArray block;
  const char* in = nullptr;
  if (blockSize > 0) {
    if (const uchar* mapped = file.map(kDlgHeaderSize, blockSize)) {
      in = reinterpret_cast<const char*>(mapped);
    } else {
      block.resize(blockSize);
      if (file.read(block.data(), blockSize) != blockSize) {
        SetError(error, common::msg::DlgCountBeyondFile(path, count, held));
        return false;
      }
      in = block.constData();
    }
  }

  // The store's memory is reused and every element written once: rows 0..11 from the
  // file, row 12 and the spare column cleared.
  store.resizeForOverwrite(count);
  for (qint32 j = 0; j < count; ++j, in += kDlgBytesPerSample) {
    qint16* column = store.columnData(j);
    GetColumn(in, column);
    column[kStoredRows] = 0;
  }
  std::fill_n(store.columnData(count), kSampleRows, qint16(0));
  store.ChannelMask = qFromLittleEndian<quint16>(header + 4);
  store.FreqCode = quint8(header[6]);
  store.ConfigNumber = qFromLittleEndian<qint32>(header + 7);
  store.LoadedSampleCount = count;
  return true;
}

bool WriteRawImage(const QString& path, std::span<const quint8> image, QString* error) {
  return SaveWhole(path, reinterpret_cast<const char*>(image.data()), qint64(image.size()), error);
}

bool WriteRawImage(const QString& path, const SampleStore& store, QString* error) {
  const qint64 n = qint64(store.ImageLastIndex) + 1;
  if (n < 0 || n > qint64(store.MemoryImage.size())) {
    SetError(error, common::msg::DltBadLastIndex(store.ImageLastIndex));
    return false;
  }
  return WriteRawImage(path, std::span<const quint8>(store.MemoryImage.data(), std::size_t(n)), error);
}

bool ReadRawImage(const QString& path, std::optional<qint32> lastIndex, RawImage& out, QString* error) {
  if (lastIndex && (*lastIndex < 0 || *lastIndex > kMaxImageLastIndex)) {
    SetError(error, common::msg::DltBadLastIndex(*lastIndex));
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    SetError(error, common::msg::LogCannotOpen(path, file.errorString()));
    return false;
  }
  const qint64 size = file.size();
  qint64 wanted = size;
  if (lastIndex) {
    wanted = qint64(*lastIndex) + 1;
    if (size < wanted) {
      SetError(error, common::msg::DltShorterThanAsked(path, size, *lastIndex));
      return false;
    }
  } else if (size > qint64(kMaxImageLastIndex) + 1) {
    SetError(error, common::msg::DltTooLarge(path, size));
    return false;
  }
  std::vector<quint8> bytes(std::size_t(wanted), 0);
  if (wanted > 0 && file.read(reinterpret_cast<char*>(bytes.data()), wanted) != wanted) {
    SetError(error, common::msg::DltShorterThanAsked(path, size, wanted - 1));
    return false;
  }
  out.bytes = std::move(bytes);
  return true;
}

bool LastIndexFromText(const QString& text, std::optional<qint32>& out, QString* error) {
  out.reset();
  if (text.trimmed().isEmpty()) return true;
  const double v = common::LeadingNumber(text);
  if (!(v >= 0 && v <= kMaxImageLastIndex)) {
    SetError(error, common::msg::DltBadLastIndexText(text));
    return false;
  }
  out = qint32(v);
  return true;
}

bool LoadRawImage(const QString& path, std::optional<qint32> lastIndex, SampleStore& store, QString* error) {
  RawImage image;
  if (!ReadRawImage(path, lastIndex, image, error)) return false;
  return DecodeImage(std::move(image), ImageKind::RawFile, store.ConfigNumber, store, error);
}

}  // namespace logdata
