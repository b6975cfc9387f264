#include "logger/export/csv.h"

#include "common/csvfield.h"
#include "common/messages.h"
#include "common/numtext.h"
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

// Both exports replace their file through a temporary one: on failure the old file is
// as it was and *error says why.
class Output {
 public:
  Output(const QString& path, QString* error) : file_(path), path_(path), error_(error) {}
  bool open() { return file_.open(QIODevice::WriteOnly) || fail(); }
  bool write(const char* data, qint64 size) { return file_.write(data, size) == size || fail(); }
  bool commit() {
    if (file_.commit()) return true;
    if (error_) *error_ = common::msg::LogCannotWrite(path_, file_.errorString());
    return false;
  }

 private:
  bool fail() {
    // A full disk shows as a short write that leaves no error behind.
    if (error_)
      *error_ = common::msg::LogCannotWrite(
          path_, file_.error() == QFileDevice::NoError ? common::msg::kWriteStoppedShort : file_.errorString());
    file_.cancelWriting();
    return false;
  }
  QSaveFile file_;
  QString path_;
  QString* error_;
};

// Start and End as both exports read them: never past the store's spare zero column.
qint32 FirstRow(qint32 start) { return std::max<qint32>(start, 0); }
qint32 LastRow(const logdata::SampleStore& store, qint32 end) { return std::min<qint32>(end, store.columns() - 1); }

// j * FreqCode / 50 seconds has at most two decimals. Written from whole hundredths it
// reads as NumberToText would write it, without a conversion per row.
void AppendSeconds(QByteArray& out, qint64 hundredths) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, hundredths / 100).ptr - digits);
  const int fraction = int(hundredths % 100);
  if (fraction == 0) return;
  out += '.';
  out += char('0' + fraction / 10);
  if (fraction % 10) out += char('0' + fraction % 10);
}

// A 12-bit channel shows at most 4096 values: each text is made once, on first use.
class ValueTexts {
 public:
  ValueTexts(const common::ChannelConfiguration& config, int channel) : config_(config), channel_(channel) {}
  const QByteArray& text(qint16 raw) {
    const bool cached = raw >= 0 && raw < qint16(texts_.size());
    QByteArray& t = cached ? texts_[std::size_t(raw)] : other_;
    if (t.isEmpty() || !cached) t = common::NumberToText(common::ScaleRaw(config_, channel_, raw)).toLatin1();
    return t;
  }

 private:
  const common::ChannelConfiguration& config_;
  int channel_;
  std::vector<QByteArray> texts_ = std::vector<QByteArray>(4096);
  QByteArray other_;
};

}  // namespace

bool WriteCsv(const QString& path, const QString& logFileName, const logdata::SampleStore& store,
              const common::ChannelConfiguration& config, qint32 start, qint32 end, QString* error) {
  Output file(path, error);
  if (!file.open()) return false;
  const QByteArray header = HeaderBytes(HeaderKind::Csv, logFileName, store.FreqCode, config);
  if (!file.write(header.constData(), header.size())) return false;

  const qint32 first = FirstRow(start);
  const qint32 last = LastRow(store, end);
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
      if (!file.write(begin, p - begin)) return false;
      p = begin;
    }
  }
  if (p != begin && !file.write(begin, p - begin)) return false;
  return file.commit();
}

bool WriteEngineeringCsv(const QString& path, const logdata::SampleStore& store,
                         const common::ChannelConfiguration& config, qint32 start, qint32 end, QString* error) {
  Output file(path, error);
  if (!file.open()) return false;
  QString title = QStringLiteral("time_s");
  std::vector<int> rows;
  std::vector<ValueTexts> texts;
  for (int c = 1; c <= common::kChannelCount; ++c) {
    if (!store.channelPresent(c)) continue;
    title += QLatin1Char(',') + common::CsvChannelTitle(config.channel[std::size_t(c - 1)]);
    rows.push_back(c - 1);
    texts.emplace_back(config, c);
  }
  QByteArray buffer = title.toUtf8() + '\n';
  buffer.reserve(qsizetype(kFlushAt) + 8192);
  for (qint32 j = FirstRow(start), last = LastRow(store, end); j <= last; ++j) {
    AppendSeconds(buffer, qint64(j) * store.FreqCode * 2);
    const qint16* column = store.columnData(j);
    for (std::size_t k = 0; k < rows.size(); ++k) {
      buffer += ',';
      buffer += texts[k].text(column[rows[k]]);
    }
    buffer += '\n';
    if (std::size_t(buffer.size()) >= kFlushAt) {
      if (!file.write(buffer.constData(), buffer.size())) return false;
      buffer.resize(0);  // keeps its room
    }
  }
  if (!buffer.isEmpty() && !file.write(buffer.constData(), buffer.size())) return false;
  return file.commit();
}

}  // namespace logexport
