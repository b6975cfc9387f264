#pragma once
// Builders for file and stream bytes, written from the record tables in the test's own
// terms so that no test compares our writers with themselves.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace hand {

using Bytes = std::vector<std::uint8_t>;

inline void Le16(Bytes& b, unsigned v) {
  b.push_back(std::uint8_t(v & 0xFF));
  b.push_back(std::uint8_t((v >> 8) & 0xFF));
}
inline void Le32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t((v >> (8 * i)) & 0xFF));
}

// .dlg: count, mask, freq, config, then 12 int16 per sample.
inline Bytes Dlg(std::int32_t count, unsigned mask, unsigned freq, std::int32_t config,
                 const std::vector<std::vector<std::int16_t>>& columns) {
  Bytes b;
  Le32(b, std::uint32_t(count));
  Le16(b, mask);
  b.push_back(std::uint8_t(freq));
  Le32(b, std::uint32_t(config));
  for (const auto& col : columns)
    for (int r = 0; r < 12; ++r) Le16(b, std::uint16_t(r < int(col.size()) ? col[std::size_t(r)] : 0));
  return b;
}

// Receive buffer of a download: indices 0..2 never written (zeros here), then the
// header bytes 4..9 of the image, the records, the end mark; every data 0xF0 doubled.
inline Bytes DownloadStream(unsigned mask, unsigned freq, std::uint32_t serial, const Bytes& records) {
  Bytes data = {std::uint8_t(mask & 0xFF), std::uint8_t(mask >> 8), std::uint8_t(freq),
                std::uint8_t(serial & 0xFF), std::uint8_t((serial >> 8) & 0xFF), std::uint8_t((serial >> 16) & 0xFF)};
  data.insert(data.end(), records.begin(), records.end());
  Bytes buf = {0, 0, 0};
  for (auto c : data) {
    buf.push_back(c);
    if (c == 0xF0) buf.push_back(c);
  }
  buf.push_back(0xF0);
  buf.push_back(0xFF);
  return buf;
}

// Raw image as a .dlt holds it: bytes 0..3, header 4..9, records.
inline Bytes RawImage(unsigned mask, unsigned freq, const Bytes& records) {
  Bytes b = {0, 0, 0, 0, std::uint8_t(mask & 0xFF), std::uint8_t(mask >> 8), std::uint8_t(freq), 0, 0, 0};
  b.insert(b.end(), records.begin(), records.end());
  return b;
}

struct CfgChannel {
  std::string name;
  double min = 0, max = 0;
  std::string unit;
  double winHight = 0;
};

// .cfg: 128-byte records; text = tag 8, length, chars; double = tag 5, 8 bytes;
// ten empty records; record 71 = int32 serial.
inline Bytes Cfg(const std::vector<CfgChannel>& channels, std::int32_t serial) {
  Bytes b;
  auto pad = [&b] { b.resize((b.size() + 127) / 128 * 128, 0); };
  auto text = [&](const std::string& s) {
    Le16(b, 8);
    Le16(b, unsigned(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    pad();
  };
  auto dbl = [&](double d) {
    Le16(b, 5);
    std::uint64_t bits;
    static_assert(sizeof bits == sizeof d);
    std::memcpy(&bits, &d, sizeof d);
    for (int i = 0; i < 8; ++i) b.push_back(std::uint8_t((bits >> (8 * i)) & 0xFF));
    pad();
  };
  for (int c = 0; c < 12; ++c) {
    const CfgChannel ch = c < int(channels.size()) ? channels[std::size_t(c)] : CfgChannel{};
    text(ch.name);
    dbl(ch.min);
    dbl(ch.max);
    text(ch.unit);
    dbl(ch.winHight);
  }
  for (int r = 0; r < 10; ++r) {
    Le16(b, 0);
    pad();
  }
  Le32(b, std::uint32_t(serial));
  return b;
}

inline QByteArray ToQ(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

inline bool WriteFile(const QString& path, const Bytes& b) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(ToQ(b)) == qint64(b.size());
}

inline Bytes ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray a = f.readAll();
  return Bytes(a.begin(), a.end());
}

}  // namespace hand
