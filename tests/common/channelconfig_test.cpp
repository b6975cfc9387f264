#include "common/channelconfig.h"

#include "support/test_paths.h"

#include <QFile>
#include <QLocale>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

using namespace common;

namespace {

void WriteAllOrFail(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes)) << path.toStdString();
}

// Expected bytes are assembled here from the record table, independently of the writer.
QByteArray le16(quint16 v) {
  QByteArray b(2, 0);
  b[0] = char(v & 0xFF);
  b[1] = char(v >> 8);
  return b;
}
QByteArray le32(qint32 v) {
  QByteArray b(4, 0);
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray leDouble(double v) {
  QByteArray b(8, 0);
  std::memcpy(b.data(), &v, 8);  // x86 is little-endian, as the files are
  return b;
}
QByteArray rec(const QByteArray& value) { return value + QByteArray(128 - value.size(), 0); }
QByteArray textRec(const QByteArray& t) { return rec(le16(8) + le16(quint16(t.size())) + t); }
QByteArray doubleRec(double v) { return rec(le16(5) + leDouble(v)); }


ChannelConfiguration sample() {
  ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) {
    c.channel[i] = {QString("CH%1").arg(i + 1), double(i), 4095.0 + i, QString("u%1").arg(i), 4095};
  }
  c.channel[0] = {"CH1", 0, 4095, " ", 4095};
  c.ConfigNumber = 1234;
  return c;
}

QByteArray expectedFile(const ChannelConfiguration& c) {
  QByteArray out;
  for (const auto& s : c.channel)
    out += textRec(s.Name.toLatin1()) + doubleRec(s.Min) + doubleRec(s.Max) + textRec(s.Unit.toLatin1()) +
           doubleRec(s.WinHight);
  for (int r = 0; r < 10; ++r) out += rec(QByteArray(2, 0));
  return out + le32(c.ConfigNumber);
}

TEST(ChannelModel, FullScaleAndScaling) {
  EXPECT_EQ(FullScale(1), 4095);
  EXPECT_EQ(FullScale(10), 4095);
  EXPECT_EQ(FullScale(11), 255);
  EXPECT_EQ(FullScale(12), 255);
  auto steps = StepTable();
  EXPECT_DOUBLE_EQ(steps[0], 1.0 / 4095);
  EXPECT_DOUBLE_EQ(steps[11], 1.0 / 255);

  ChannelConfiguration c;
  c.channel[2] = {"", -10, 10, "", 0};
  EXPECT_DOUBLE_EQ(ScaleRaw(c, 3, 4095), 10);
  EXPECT_NEAR(ScaleRaw(c, 3, 2047), -0.00244, 1e-5);
  c.channel[10] = {"", 5, 25, "", 0};
  EXPECT_DOUBLE_EQ(ScaleRaw(c, 11, 255), 25);
  EXPECT_DOUBLE_EQ(ScaleRaw(c, 11, 128), 5 + 20.0 * 128 / 255);
  c.channel[0] = {"", 100, 0, "", 0};  // falling scale
  EXPECT_DOUBLE_EQ(ScaleRaw(c, 1, 0), 100);
  EXPECT_DOUBLE_EQ(ScaleRaw(c, 1, 4095), 0);
}

TEST(ChannelModel, ConfigFileNames) {
  EXPECT_EQ(ConfigFileFor(1234), "1234.cfg");
  EXPECT_EQ(ConfigFileFor(0), "0.cfg");
  EXPECT_EQ(ConfigFileFor(-1), "-1.cfg");
}


}  // namespace
namespace {
TEST(CfgFile, WriteGivesRecordTableBytes) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/1234.cfg");
  ChannelConfiguration c = sample();
  QString error;
  ASSERT_TRUE(WriteConfigFile(path, c, &error)) << error.toStdString();
  const QByteArray bytes = testing_support::FileBytes(path);
  EXPECT_EQ(bytes.size(), 8964);
  EXPECT_EQ(bytes, expectedFile(c));
  // Channel 1 record by record, as the table lays it out.
  EXPECT_EQ(bytes.left(7), QByteArray("\x08\x00\x03\x00" "CH1", 7));
  EXPECT_EQ(bytes.mid(128, 10), le16(5) + leDouble(0.0));
  EXPECT_EQ(bytes.mid(256, 10), le16(5) + leDouble(4095.0));
  EXPECT_EQ(bytes.mid(384, 5), QByteArray("\x08\x00\x01\x00 ", 5));
  EXPECT_EQ(bytes.mid(70 * 128, 4), le32(1234));
}

TEST(CfgFile, WriteKeepsTheTailOfALongerOldFile) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/x.cfg");
  QByteArray old(10000, '\x5A');
  WriteAllOrFail(path, old);
  ASSERT_TRUE(WriteConfigFile(path, sample(), nullptr));
  const QByteArray bytes = testing_support::FileBytes(path);
  ASSERT_EQ(bytes.size(), 10000);
  EXPECT_EQ(bytes.left(8964), expectedFile(sample()));
  EXPECT_EQ(bytes.mid(8964), old.mid(8964));
}

TEST(CfgFile, WriteRefusesTextsThatDoNotFitARecord) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/long.cfg");
  ChannelConfiguration c = sample();
  c.channel[4].Unit = QString(125, 'x');
  QString error;
  EXPECT_FALSE(WriteConfigFile(path, c, &error));
  EXPECT_TRUE(error.contains("CH5"));
  EXPECT_FALSE(QFile::exists(path));
  c.channel[4].Unit = QString(124, 'x');
  EXPECT_TRUE(WriteConfigFile(path, c, &error));
  c.channel[0].Name = QString::fromUtf8("\u20ac");  // no single-byte form
  EXPECT_FALSE(WriteConfigFile(path, c, &error));
}

TEST(CfgFile, ReadBackGivesTheSameConfiguration) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/1.cfg");
  ChannelConfiguration c = sample();
  c.channel[3].Min = 0.1;
  c.channel[3].Name = QString::fromLatin1("Dr\xfc" "ck");
  ASSERT_TRUE(WriteConfigFile(path, c, nullptr));
  ChannelConfiguration back;
  QString error;
  ASSERT_TRUE(ReadConfigFile(path, back, &error)) << error.toStdString();
  EXPECT_EQ(back, c);
}

TEST(CfgFile, ReadRoundsTo15DigitsInADecimalCommaLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German));
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/r.cfg");
  ChannelConfiguration c = sample();
  c.channel[0].Min = 0.1;
  c.channel[1].Max = 1.0 / 3.0;
  ASSERT_TRUE(WriteConfigFile(path, c, nullptr));
  ChannelConfiguration back;
  ASSERT_TRUE(ReadConfigFile(path, back, nullptr));
  QLocale::setDefault(saved);
  EXPECT_EQ(back.channel[0].Min, 0.1);
  EXPECT_EQ(back.channel[1].Max, 0.333333333333333);
}

TEST(CfgFile, NumericRecordsAcceptOtherTypedEncodings) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/typed.cfg");
  QByteArray file = expectedFile(sample());
  auto put = [&](int record, const QByteArray& value) { file.replace((record - 1) * 128, 128, rec(value)); };
  put(2, le16(2) + le16(quint16(-7)));                 // 16-bit integer
  put(3, le16(3) + le32(100000));                      // 32-bit integer
  float f = 2.5f;
  put(5, le16(4) + QByteArray(reinterpret_cast<const char*>(&f), 4));  // single
  put(7, le16(8) + le16(4) + "12.5");                  // text holding a number
  put(8, le16(17) + QByteArray(1, char(200)));         // byte
  put(12, le16(6) + QByteArray("\x50\xC3\x00\x00\x00\x00\x00\x00", 8));  // currency 5.0
  WriteAllOrFail(path, file);
  ChannelConfiguration back;
  QString error;
  ASSERT_TRUE(ReadConfigFile(path, back, &error)) << error.toStdString();
  EXPECT_EQ(back.channel[0].Min, -7);
  EXPECT_EQ(back.channel[0].Max, 100000);
  EXPECT_EQ(back.channel[0].WinHight, 2.5);
  EXPECT_EQ(back.channel[1].Min, 12.5);
  EXPECT_EQ(back.channel[1].Max, 200);
  EXPECT_EQ(back.channel[2].Min, 5);
}

TEST(CfgFile, DamagedFilesAreRefusedAndLeaveTheConfigurationAlone) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/bad.cfg");
  const QByteArray good = expectedFile(sample());
  ChannelConfiguration current = sample();
  current.channel[0].Name = "current";
  const ChannelConfiguration before = current;

  // Every truncation of a valid file.
  for (int n = 0; n < good.size(); ++n) {
    WriteAllOrFail(path, good.left(n));
    QString error;
    ASSERT_FALSE(ReadConfigFile(path, current, &error)) << n;
    ASSERT_FALSE(error.isEmpty());
    ASSERT_EQ(current, before);
  }
  // A numeric record that holds no number, a text too long for its record, an unknown tag.
  QByteArray noNumber = good;
  noNumber.replace(128, 128, textRec("abc"));
  QByteArray tooLong = good;
  tooLong.replace(0, 6, le16(8) + le16(200) + "xx");
  QByteArray unknownTag = good;
  unknownTag.replace(256, 2, le16(99));
  QByteArray emptyNumber = good;
  emptyNumber.replace(256, 128, rec(QByteArray(2, 0)));
  for (const QByteArray& bad : {noNumber, tooLong, unknownTag, emptyNumber}) {
    WriteAllOrFail(path, bad);
    EXPECT_FALSE(ReadConfigFile(path, current, nullptr));
    EXPECT_EQ(current, before);
  }
  EXPECT_FALSE(ReadConfigFile(dir.file("cfg/missing.cfg"), current, nullptr));
  EXPECT_EQ(current, before);

  // Random files: refused or read whole, never half-applied, never a crash.
  std::mt19937 rng(1234);
  for (int i = 0; i < 200; ++i) {
    QByteArray junk(int(rng() % 12000), 0);
    for (char& ch : junk) ch = char(rng());
    WriteAllOrFail(path, junk);
    ChannelConfiguration target = before;
    if (!ReadConfigFile(path, target, nullptr)) {
      EXPECT_EQ(target, before);
    }
  }
}

TEST(CfgFile, BytesAfterRecord71AreIgnored) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/big.cfg");
  WriteAllOrFail(path, expectedFile(sample()) + QByteArray(5000, '\x01'));
  ChannelConfiguration back;
  ASSERT_TRUE(ReadConfigFile(path, back, nullptr));
  EXPECT_EQ(back, sample());
}

}  // namespace
