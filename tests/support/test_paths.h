#pragma once
// A fresh program directory per test, laid out as the programs expect it.
#include <QDir>
#include <QTemporaryDir>

#include "support/qt_printers.h"

namespace testing_support {

class ProgramDir {
 public:
  ProgramDir() {
    QDir d(dir_.path());
    for (const char* sub : {"cfg", "dlg", "cap", "video"}) d.mkpath(sub);
  }
  QString path() const { return dir_.path(); }
  QString file(const QString& rel) const { return dir_.path() + "/" + rel; }

 private:
  QTemporaryDir dir_;
};

}  // namespace testing_support
