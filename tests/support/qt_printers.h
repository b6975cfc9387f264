#pragma once
// Readable GoogleTest failure output for Qt strings and byte arrays.
#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) {
  *os << b.size() << " bytes: " << b.left(64).toHex(' ').toStdString() << (b.size() > 64 ? " ..." : "");
}
