// One main for every suite: widgets need a QApplication, timers its event loop. The
// environment is set here, not by CTest, so that a suite run by hand behaves the same.
#include <QApplication>
#include <QFileInfo>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  const auto defaultEnv = [](const char* name, const QByteArray& value) {
    if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
  };
  defaultEnv("QT_QPA_PLATFORM", "offscreen");
  defaultEnv("VELKARO_SOURCE_DIR", VELKARO_SOURCE_DIR);
  defaultEnv("VELKARO_PROGRAM_DIR", VELKARO_PROGRAM_DIR);
  // Suites write many small files; memory-backed temp space keeps them fast.
  if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) defaultEnv("TMPDIR", "/dev/shm");
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
