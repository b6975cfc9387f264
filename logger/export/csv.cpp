#include "logger/export/csv.h"

#include "common/messages.h"
#include "logger/export/capture.h"
#include "logger/logdata/samplestore.h"

#include <QSaveFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <vector>

namespace logexport {

namespace {

// Rows are formatted into a buffer that is handed to the file about once a megabyte:
// a 1.28 million-row export is some 50 MB of text, and a QString per row would cost
// more than the disk does.
constexpr std::size_t kFlushAt = std::size_t(1) << 20;
// " 2147483647 ," and twelve ",-32768", then CR LF.
constexpr std::size_t kLongestRow = 13 + 12 * 7 + 2;

// Raw values are 0..4095 (12-bit channels) or 0..255 nearly always; their digits come
// from a table, which halves the formatting time of a long export. Four bytes are
// copied whatever the length: a value's room in the row is at least that.
struct Digits {
  char text[4];
  unsigned char size;
};
constexpr std::array<Digits, 4096> kRawDigits = [] {
  std::array<Digits, 4096> t{};
  for (int v = 0; v < 4096; ++v) {
    char buf[4] = {};
    int n = 0;
    for (int x = v; n == 0 || x > 0; x /= 10) buf[n++] = char('0' + x % 10);
    for (int k = 0; k < n; ++k) t[std::size_t(v)].text[k] = buf[n - 1 - k];
    t[std::size_t(v)].size = static_cast<unsigned char>(n);
  }
  return t;
}();

inline char* PutInt(char* p, int v) { return std::to_chars(p, p + 11, v).ptr; }

inline char* PutRaw(char* p, qint16 v) {
  if (v >= 0 && v < 4096) {
    const Digits& d = kRawDigits[std::size_t(v)];
    std::memcpy(p, d.text, 4);
    return p + d.size;
  }
  return PutInt(p, v);
}

}  // namespace

bool WriteCsv(const QString& path, const QString& logFileName, const logdata::SampleStore& store,
              const common::ChannelConfiguration& config, qint32 start, qint32 end, QString* error) {
  QSaveFile file(path);
  auto fail = [&] {
    // A full disk shows as a short write that leaves no error behind.
    if (error)
      *error = common::msg::LogCannotWrite(
          path, file.error() == QFileDevice::NoError ? common::msg::kWriteStoppedShort : file.errorString());
    file.cancelWriting();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly)) return fail();
  const QByteArray header = HeaderBytes(HeaderKind::Csv, logFileName, store.FreqCode, config);
  if (file.write(header) != header.size()) return fail();

  const qint32 first = std::max<qint32>(start, 0);
  const qint32 last = std::min<qint32>(end, store.columns() - 1);
  std::vector<char> buffer(kFlushAt + kLongestRow);
  char* const begin = buffer.data();
  char* p = begin;
  for (qint32 i = first; i <= last; ++i) {
    // The blanks around the sample number are part of the format.
    *p++ = ' ';
    p = PutInt(p, i);
    *p++ = ' ';
    const qint16* column = store.columnData(i);
    for (int r = 0; r < common::kChannelCount; ++r) {
      *p++ = ',';
      p = PutRaw(p, column[r]);
    }
    *p++ = '\r';
    *p++ = '\n';
    if (std::size_t(p - begin) >= kFlushAt) {
      if (file.write(begin, p - begin) != p - begin) return fail();
      p = begin;
    }
  }
  if (p != begin && file.write(begin, p - begin) != p - begin) return fail();
  if (!file.commit()) {
    if (error) *error = common::msg::LogCannotWrite(path, file.errorString());
    return false;
  }
  return true;
}

}  // namespace logexport
