#pragma once
// A fresh program directory per test, laid out as the programs expect it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"

namespace testing_support {

class ProgramDir {
 public:
  ProgramDir() {
    for (const char* sub : {"cfg", "dlg", "cap", "video"}) QDir(dir_.path()).mkpath(sub);
  }
  QString path() const { return dir_.path(); }
  QString file(const QString& rel) const { return dir_.path() + "/" + rel; }

 private:
  QTemporaryDir dir_;
};

// A file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces a file's content; false when it cannot be written.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace testing_support
