#include "common/settings.h"

#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using namespace common;
using testing_support::FileBytes;
using testing_support::WriteFileBytes;

namespace {

Settings Sample() {
  Settings s;
  s.MaskLowByte = 0x25;
  s.MaskHighByte = 0x09;
  s.LogFreqCode = 250;
  s.PortNumber = 2;
  s.DownloadDelay = 17;
  for (int i = 0; i < 12; ++i) s.Colours[i] = 0x010203 * (i + 1);
  return s;
}

class SettingsFile : public ::testing::Test {
 protected:
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
};

// The logger writes all 17 records. The meter writes its four into a fresh file, and over the
// logger's file leaves the others; a delay of 0 reads as the default.
TEST_F(SettingsFile, TheLoggerWritesAll17RecordsTheMeterItsFourADelayOf0IsTheDefault) {
  Settings expected = Sample();
  expected.MaskLowByte = 1, expected.MaskHighByte = 0, expected.LogFreqCode = 2, expected.PortNumber = 4;
  Settings meter = expected;
  meter.DownloadDelay = 99;  // not the meter's to write
  meter.Colours.fill(0);
  ASSERT_TRUE(WriteMeterSettings(path, meter, nullptr));
  EXPECT_EQ(FileBytes(path), hand::Prm(expected).left(3 * 128 + 1));
  ASSERT_TRUE(WriteSettings(path, Sample(), nullptr));
  EXPECT_EQ(FileBytes(path), hand::Prm(Sample()));
  ASSERT_TRUE(WriteMeterSettings(path, meter, nullptr));
  EXPECT_EQ(FileBytes(path), hand::Prm(expected));

  expected.DownloadDelay = 0;
  ASSERT_TRUE(WriteFileBytes(path, hand::Prm(expected)));
  Settings back;
  ASSERT_TRUE(ReadSettings(path, back, nullptr));
  EXPECT_EQ(back.DownloadDelay, Settings{}.DownloadDelay);
}

// A missing or damaged file is refused and leaves the settings alone.
TEST_F(SettingsFile, EveryPrefixReadsItsWholeRecordsAndDefaultsForTheRestADamagedFileIsRefused) {
  const QByteArray full = hand::Prm(Sample());
  for (int n = 0; n <= full.size(); ++n) {
    ASSERT_TRUE(WriteFileBytes(path, full.left(n)));
    Settings back;
    ASSERT_TRUE(ReadSettings(path, back, nullptr)) << n;
    // A record counts only when its whole value is in the file (the meter's file is 385 bytes).
    EXPECT_EQ(back.MaskLowByte, n >= 2 ? 0x25 : Settings{}.MaskLowByte) << n;
    EXPECT_EQ(back.PortNumber, n >= 3 * 128 + 1 ? 2 : Settings{}.PortNumber) << n;
    EXPECT_EQ(back.DownloadDelay, n >= 4 * 128 + 1 ? 17 : Settings{}.DownloadDelay) << n;
    EXPECT_EQ(back.Colours[11], n >= 2052 ? Sample().Colours[11] : kDefaultColours[11]) << n;
    if (n == full.size()) { EXPECT_EQ(back, Sample()); }
  }

  Settings badPort = Sample(), badMask = Sample(), badColour = Sample();
  badPort.PortNumber = 9;
  badMask.MaskHighByte = 0x40;
  badColour.Colours[3] = 0x1000000;
  Settings current = Sample();
  QString error;
  EXPECT_FALSE(ReadSettings(dir.file("cfg/none.prm"), current, &error));
  EXPECT_FALSE(error.isEmpty());
  for (const Settings& bad : {badPort, badMask, badColour}) {
    ASSERT_TRUE(WriteFileBytes(path, hand::Prm(bad)));
    error.clear();
    EXPECT_FALSE(ReadSettings(path, current, &error));
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_EQ(current, Sample());
}

TEST_F(SettingsFile, PortMapDefaultsAndBadLines) {
  const QString path = dir.file("cfg/ports.txt");
  EXPECT_EQ(ReadPortMap(path).path[1], "/dev/ttyUSB0");
  ASSERT_TRUE(WriteFileBytes(path, "junk\n7=/dev/x\n2=\n3= /dev/ttyACM0 \n"));
  const PortMap read = ReadPortMap(path);
  EXPECT_EQ(read.path[3], "/dev/ttyACM0");
  EXPECT_EQ(read.path[2], PortMap().path[2]);
}

}  // namespace
