#pragma once
// Memory images and download streams written by hand from the record layout, and a
// store that already holds a log (to show that a refused fill leaves it alone).
#include "logger/logdata/samplestore.h"
#include "support/hand_bytes.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace hand {

using Bytes = std::vector<std::uint8_t>;

inline QByteArray ToQ(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

// The receive buffer after a download: indices 0..2 never written (zeros here), then image
// bytes 4..9 (mask, code, serial), the records and the end mark; every data 0xF0 doubled.
inline Bytes DownloadStream(unsigned mask, unsigned code, std::uint32_t serial, const Bytes& records) {
  Bytes data = {std::uint8_t(mask & 0xFF), std::uint8_t(mask >> 8), std::uint8_t(code),
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

// A raw image as a .dlt holds it: bytes 0..3, mask, code, three serial bytes (zero), records.
inline Bytes RawImage(unsigned mask, unsigned code, const Bytes& records) {
  Bytes b(10 + records.size(), 0);
  b[4] = std::uint8_t(mask & 0xFF);
  b[5] = std::uint8_t(mask >> 8);
  b[6] = std::uint8_t(code);
  std::copy(records.begin(), records.end(), b.begin() + 10);
  return b;
}

inline logdata::SampleStore PreviousLog() {
  logdata::SampleStore s;
  s.reset(3);
  s.ChannelMask = 0x0005;
  s.FreqCode = 7;
  s.ConfigNumber = 4321;
  s.RecordLength = 5;
  s.MemoryImage = {9, 8, 7, 6, 5};
  s.ImageLastIndex = 4;
  s.LoadedLogFile = QStringLiteral("/somewhere/old.dlg");
  s.LoadedSampleCount = 3;
  for (int j = 0; j < 3; ++j) s.at(0, j) = qint16(100 + j), s.at(2, j) = qint16(200 + j);
  return s;
}

}  // namespace hand
