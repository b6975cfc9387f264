#pragma once
// The one in-memory log of the logger program.
#include <QString>
#include <cstdint>
#include <vector>

namespace logdata {

constexpr int kSampleRows = 13;   // rows 0..11 = channels 1..12, row 12 spare (stays 0)
constexpr int kStoredRows = 12;   // rows written to and read from a .dlg
// The receive buffer and the memory image hold indices 0 to 2,558,000.
constexpr qint32 kImageCapacity = 2558001;

class SampleStore {
 public:
  qint32 SampleCount = 0;
  quint16 ChannelMask = 0xFFFF;  // start-up default: every channel
  quint8 FreqCode = 0;           // interval in 20 ms units
  qint32 ConfigNumber = 0;
  qint16 RecordLength = 0;
  std::vector<quint8> MemoryImage;  // raw image, kept so that it can be saved as .dlt
  qint32 ImageLastIndex = -1;
  QString LoadedLogFile;
  qint32 LoadedSampleCount = 0;

  // Reallocates SampleData for `count` samples (count + 1 columns, all zero).
  // A negative count is a caller error and is refused (returns false, nothing changed).
  bool reset(qint32 count);
  // For fillers that write every element of columns 0..count themselves (row 12 and the
  // spare column included): sizes SampleData like reset() without clearing it first, so
  // that a large log is written once, not cleared and then written. Reuses the memory of
  // the previous log where it fits.
  bool resizeForOverwrite(qint32 count);

  // Row varies fastest: the 13 values of column j lie together.
  qint16 at(int row, qint32 column) const { return data_[std::size_t(column) * kSampleRows + row]; }
  qint16& at(int row, qint32 column) { return data_[std::size_t(column) * kSampleRows + row]; }
  const qint16* columnData(qint32 column) const { return data_.data() + std::size_t(column) * kSampleRows; }
  qint16* columnData(qint32 column) { return data_.data() + std::size_t(column) * kSampleRows; }
  const std::vector<qint16>& data() const { return data_; }
  qint32 columns() const { return qint32(data_.size() / kSampleRows); }

  bool channelPresent(int channel) const { return (ChannelMask >> (channel - 1)) & 1u; }
  // 50 / FreqCode samples per second; 0 for the FreqCode 0 only a damaged file brings.
  double sampleRate() const { return FreqCode ? 50.0 / FreqCode : 0.0; }

  bool operator==(const SampleStore&) const = default;

 private:
  std::vector<qint16> data_ = std::vector<qint16>(kSampleRows, 0);
};

}  // namespace logdata
