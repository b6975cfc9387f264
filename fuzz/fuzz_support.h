#pragma once
// What every fuzz target shares: the Qt application the readers and the link need, a
// check that stops the run with its reason, scratch files in memory-backed temp space,
// and a serial line that the target feeds byte by byte.
#include "common/bytechannel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise of a reader: libFuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition)                                                                   \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #condition, __FILE__, __LINE__);     \
      std::abort();                                                                             \
    }                                                                                           \
  } while (0)

namespace fuzz {

inline void StartQt() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

// A file of this process's scratch folder; /dev/shm keeps a write per input cheap.
inline QString ScratchPath(const QString& name) {
  static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm/velkaro-fuzz-XXXXXX")
                                                                      : QString());
  return dir.filePath(name);
}

// Writes `bytes` to a scratch file (replacing it) and returns its path.
inline QString ScratchFile(const QString& name, const QByteArray& bytes) {
  const QString path = ScratchPath(name);
  QFile f(path);
  FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
  return path;
}

inline QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray Input(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// An open line whose received bytes the target hands in; written bytes are counted.
class FeedChannel : public common::ByteChannel {
 public:
  bool open(QString*) override { return open_ = true; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  bool writeByte(std::uint8_t) override { return open_; }
  void feed(const QByteArray& bytes) {
    for (char c : bytes) deliver(std::uint8_t(c));
  }

 private:
  bool open_ = true;
};

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartQt();
  return 0;
}
