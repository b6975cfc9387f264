#pragma once
// Fixed-record files (.cfg, init.prm): 128-byte records, one little-endian value at the
// start of each, opened for writing without truncation so records not written keep
// what they held.
#include <QByteArray>
#include <QtEndian>
#include <cstring>

namespace common::record {

constexpr int kSize = 128;

inline qint64 offsetOf(int record) { return qint64(record - 1) * kSize; }

// A record's value followed by zero filler up to the record boundary.
inline QByteArray padded(const QByteArray& value) {
  QByteArray r = value;
  if (r.size() < kSize) r.append(QByteArray(kSize - r.size(), '\0'));
  return r;
}

template <typename T>
QByteArray littleEndian(T value) {
  QByteArray b(int(sizeof(T)), '\0');
  qToLittleEndian<T>(value, b.data());
  return b;
}

template <typename T>
T readLittleEndian(const QByteArray& file, qint64 offset) {
  return qFromLittleEndian<T>(file.constData() + offset);
}

}  // namespace common::record
