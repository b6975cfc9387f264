#pragma once
// File bytes written by hand from the record tables, so that no test compares a writer
// with itself: little-endian values, the 128-byte records of .cfg and init.prm, the .dlg.
#include "common/channelconfig.h"
#include "common/settings.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

namespace hand {

inline QByteArray Le(qint64 value, int bytes) {
  QByteArray b;
  for (int i = 0; i < bytes; ++i) b.append(char((quint64(value) >> (8 * i)) & 0xFF));
  return b;
}
// A record: its value, then zero filler up to 128 bytes.
inline QByteArray Rec(const QByteArray& value) { return value + QByteArray(128 - value.size(), '\0'); }
inline QByteArray TextRec(const QByteArray& latin1) { return Rec(Le(8, 2) + Le(latin1.size(), 2) + latin1); }
inline QByteArray DoubleRec(double v) {
  qint64 bits;
  std::memcpy(&bits, &v, sizeof bits);
  return Rec(Le(5, 2) + Le(bits, 8));
}

// .cfg: name, Min, Max, unit and WinHight of channels 1 to 12, ten empty records, the serial.
inline QByteArray Cfg(const common::ChannelConfiguration& c) {
  QByteArray b;
  for (const common::ChannelSettings& s : c.channel)
    b += TextRec(s.Name.toLatin1()) + DoubleRec(s.Min) + DoubleRec(s.Max) + TextRec(s.Unit.toLatin1()) +
         DoubleRec(s.WinHight);
  for (int r = 0; r < 10; ++r) b += Rec(Le(0, 2));
  return b + Le(c.ConfigNumber, 4);
}

// .cfg of the first channels given (the others empty) and a serial number.
inline QByteArray Cfg(std::initializer_list<common::ChannelSettings> first, qint32 serial) {
  common::ChannelConfiguration c;
  std::copy(first.begin(), first.end(), c.channel.begin());
  c.ConfigNumber = serial;
  return Cfg(c);
}

// init.prm: the two mask bytes as 16-bit values, code, port and delay as bytes, then
// twelve 32-bit colours; the last record ends with its value (2052 bytes).
inline QByteArray Prm(const common::Settings& s) {
  QByteArray b = Rec(Le(s.MaskLowByte, 2)) + Rec(Le(s.MaskHighByte, 2)) + Rec(Le(s.LogFreqCode, 1)) +
                 Rec(Le(s.PortNumber, 1)) + Rec(Le(s.DownloadDelay, 1));
  for (int i = 0; i < 11; ++i) b += Rec(Le(s.Colours[std::size_t(i)], 4));
  return b + Le(s.Colours[11], 4);
}

// .dlg: count, mask, code, serial, then rows 0..11 of each sample; rows the mask leaves out hold 0.
inline QByteArray Dlg(qint32 count, quint16 mask, quint8 code, qint32 serial,
                      const std::function<qint16(int row, qint32 j)>& value) {
  QByteArray b = Le(count, 4) + Le(mask, 2) + Le(code, 1) + Le(serial, 4);
  for (qint32 j = 0; j < count; ++j)
    for (int row = 0; row < 12; ++row) b += Le(((mask >> row) & 1) && value ? value(row, j) : 0, 2);
  return b;
}

// .dlg with the samples' rows as given (rows and samples not given hold 0), whatever the mask.
inline QByteArray Dlg(qint32 count, quint16 mask, quint8 code, qint32 serial,
                      const std::vector<std::vector<qint16>>& columns) {
  return Dlg(count, 0xFFF, code, serial, [&](int row, qint32 j) {
           const std::size_t r = std::size_t(row), s = std::size_t(j);
           return s < columns.size() && r < columns[s].size() ? columns[s][r] : qint16(0);
         }).replace(4, 2, Le(mask, 2));
}
inline QByteArray Dlg(qint32 count, quint16 mask, quint8 code, qint32 serial,
                      std::initializer_list<std::vector<qint16>> columns) {
  return Dlg(count, mask, code, serial, std::vector<std::vector<qint16>>(columns));
}

}  // namespace hand
