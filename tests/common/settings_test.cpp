#include "common/settings.h"

#include "support/test_paths.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

using namespace common;

namespace {

void WriteAllOrFail(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes)) << path.toStdString();
}

// A record: the value, then zero filler to 128 bytes (the last record stops at its value).
QByteArray rec(const QByteArray& v, bool last = false) { return last ? v : v + QByteArray(128 - v.size(), 0); }
QByteArray le16(qint16 v) {
  QByteArray b(2, 0);
  b[0] = char(v & 0xFF);
  b[1] = char((v >> 8) & 0xFF);
  return b;
}
QByteArray le32(qint32 v) {
  QByteArray b(4, 0);
  qToLittleEndian(v, b.data());
  return b;
}

Settings sample() {
  Settings s;
  s.MaskLowByte = 0x25;
  s.MaskHighByte = 0x09;
  s.LogFreqCode = 250;
  s.PortNumber = 2;
  s.DownloadDelay = 17;
  for (int i = 0; i < 12; ++i) s.Colours[i] = 0x010203 * (i + 1);
  return s;
}

QByteArray expectedFile(const Settings& s) {
  QByteArray out = rec(le16(s.MaskLowByte)) + rec(le16(s.MaskHighByte)) + rec(QByteArray(1, char(s.LogFreqCode))) +
                   rec(QByteArray(1, char(s.PortNumber))) + rec(QByteArray(1, char(s.DownloadDelay)));
  for (int i = 0; i < 12; ++i) out += rec(le32(s.Colours[i]), i == 11);
  return out;
}

TEST(SettingsFile, LoggerWritesAll17Records) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  ASSERT_TRUE(WriteSettings(path, sample(), nullptr));
  const QByteArray bytes = testing_support::FileBytes(path);
  EXPECT_EQ(bytes.size(), 2052);
  EXPECT_EQ(bytes, expectedFile(sample()));
  Settings back;
  ASSERT_TRUE(ReadSettings(path, back, nullptr));
  EXPECT_EQ(back, sample());
}

TEST(SettingsFile, DefaultColoursAreTheDocumentedOnes) {
  EXPECT_EQ(kDefaultColours[0], 0x0000FF);
  EXPECT_EQ(kDefaultColours[2], 0x10AF10);
  EXPECT_EQ(kDefaultColours[7], 0x0060DF);
  EXPECT_EQ(kDefaultColours[11], 0x888888);
}

TEST(SettingsFile, SavingAPortChangesOnlyRecord4) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  ASSERT_TRUE(WriteSettings(path, sample(), nullptr));
  const QByteArray before = testing_support::FileBytes(path);
  Settings s = sample();
  s.PortNumber = 3;
  ASSERT_TRUE(WriteSettings(path, s, nullptr));
  QByteArray after = testing_support::FileBytes(path);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.at(3 * 128), 3);
  after[3 * 128] = before.at(3 * 128);
  EXPECT_EQ(after, before);
}

TEST(SettingsFile, MeterWriteKeepsDelayAndColoursOfTheLogger) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  ASSERT_TRUE(WriteSettings(path, sample(), nullptr));
  Settings meter;
  meter.MaskLowByte = 1;
  meter.MaskHighByte = 0;
  meter.LogFreqCode = 2;
  meter.PortNumber = 4;
  meter.DownloadDelay = 99;  // not the meter's to write
  meter.Colours.fill(0);
  ASSERT_TRUE(WriteMeterSettings(path, meter, nullptr));
  const QByteArray bytes = testing_support::FileBytes(path);
  EXPECT_EQ(bytes.size(), 2052);
  EXPECT_EQ(bytes.left(3 * 128 + 1), rec(le16(1)) + rec(le16(0)) + rec(QByteArray(1, 2)) + QByteArray(1, 4));
  EXPECT_EQ(bytes.mid(3 * 128 + 1), expectedFile(sample()).mid(3 * 128 + 1));
  Settings back;
  ASSERT_TRUE(ReadSettings(path, back, nullptr));
  EXPECT_EQ(back.PortNumber, 4);
  EXPECT_EQ(back.DownloadDelay, 17);
  EXPECT_EQ(back.Colours, sample().Colours);
}

TEST(SettingsFile, TheMeters385ByteFileGivesDefaultsForTheRest) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  Settings meter = sample();
  ASSERT_TRUE(WriteMeterSettings(path, meter, nullptr));
  EXPECT_EQ(testing_support::FileBytes(path).size(), 385);
  Settings back;
  ASSERT_TRUE(ReadSettings(path, back, nullptr));
  EXPECT_EQ(back.MaskLowByte, 0x25);
  EXPECT_EQ(back.PortNumber, 2);
  EXPECT_EQ(back.DownloadDelay, Settings{}.DownloadDelay);
  EXPECT_EQ(back.Colours, kDefaultColours);
}

TEST(SettingsFile, EveryTruncationReadsAsAPrefixWithDefaults) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  const QByteArray full = expectedFile(sample());
  for (int n = 0; n <= full.size(); ++n) {
    WriteAllOrFail(path, full.left(n));
    Settings back;
    ASSERT_TRUE(ReadSettings(path, back, nullptr)) << n;
    // A record counts only when its whole value is in the file.
    EXPECT_EQ(back.MaskLowByte, n >= 2 ? 0x25 : Settings{}.MaskLowByte) << n;
    EXPECT_EQ(back.PortNumber, n >= 3 * 128 + 1 ? 2 : Settings{}.PortNumber) << n;
    EXPECT_EQ(back.Colours[11], n >= 2052 ? sample().Colours[11] : kDefaultColours[11]) << n;
  }
}

TEST(SettingsFile, DamagedOrMissingFilesLeaveSettingsAlone) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/init.prm");
  const Settings before = sample();
  Settings current = before;
  QString error;
  EXPECT_FALSE(ReadSettings(dir.file("cfg/none.prm"), current, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(current, before);

  QByteArray badPort = expectedFile(before);
  badPort[3 * 128] = 9;
  QByteArray badMask = expectedFile(before);
  badMask[128] = 0x40;
  for (const QByteArray& bad : {badPort, badMask}) {
    WriteAllOrFail(path, bad);
    EXPECT_FALSE(ReadSettings(path, current, &error));
    EXPECT_EQ(current, before);
  }
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    QByteArray junk(int(rng() % 4000), 0);
    for (char& c : junk) c = char(rng());
    WriteAllOrFail(path, junk);
    Settings target = before;
    if (!ReadSettings(path, target, nullptr)) {
      EXPECT_EQ(target, before);
    }
  }
}

TEST(PortMapFile, DefaultsRoundTripAndBadLines) {
  testing_support::ProgramDir dir;
  const QString path = PortMapPathBeside(dir.file("cfg/init.prm"));
  EXPECT_TRUE(path.endsWith("cfg/ports.txt"));
  PortMap defaults = ReadPortMap(path);
  EXPECT_EQ(defaults.path[1], "/dev/ttyUSB0");
  PortMap m;
  m.path[1] = "/tmp/logger-sim";
  ASSERT_TRUE(WritePortMap(path, m, nullptr));
  EXPECT_EQ(ReadPortMap(path).path, m.path);
  WriteAllOrFail(path, "junk\n7=/dev/x\n2=\n3=/dev/ttyACM0\n");
  PortMap read = ReadPortMap(path);
  EXPECT_EQ(read.path[3], "/dev/ttyACM0");
  EXPECT_EQ(read.path[2], PortMap().path[2]);
}

}  // namespace
