#include "common/channelconfig.h"

#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace common;
using testing_support::FileBytes;
using testing_support::WriteFileBytes;

namespace {

ChannelConfiguration Sample() {
  ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) c.channel[i] = {QString("CH%1").arg(i + 1), double(i), 4095.0 + i, QString("u%1").arg(i), 4095};
  c.channel[0].Unit = QStringLiteral(" ");
  c.channel[3].Name = QString::fromLatin1("Dr\xfc" "ck");
  c.ConfigNumber = 1234;
  return c;
}

// Texts of up to 124 Latin-1 characters; a longer old file keeps its tail, which readers ignore.
TEST(CfgFile, WriteGivesTheRecordTableKeepsTheTailOfALongerFileAndReadsBack) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/1234.cfg");
  ChannelConfiguration c = Sample();
  c.channel[4].Name = QString(124, 'n');
  c.channel[11].Unit = QString(124, 'u');
  c.channel[2].Min = 0.1;
  const QByteArray old(10000, '\x5A');
  ASSERT_TRUE(WriteFileBytes(path, old));
  QString error;
  ASSERT_TRUE(WriteConfigFile(path, c, &error)) << error.toStdString();
  EXPECT_EQ(FileBytes(path), hand::Cfg(c) + old.mid(8964));
  ChannelConfiguration back;
  ASSERT_TRUE(ReadConfigFile(path, back, &error)) << error.toStdString();
  EXPECT_EQ(back, c);

  // One character more, or one without a single-byte form, is refused and nothing written.
  for (const QString& text : {QString(125, 'x'), QString::fromUtf8("\u20ac")}) {
    ChannelConfiguration bad = Sample();
    bad.channel[4].Unit = text;
    EXPECT_FALSE(WriteConfigFile(dir.file("cfg/bad.cfg"), bad, &error));
    EXPECT_TRUE(error.contains("CH5"));
    EXPECT_FALSE(QFile::exists(dir.file("cfg/bad.cfg")));
  }
}

// Numeric records in other typed encodings are read, doubles through fifteen digits, in a
// decimal-comma locale too. A damaged record is refused and leaves the configuration alone.
TEST(CfgFile, NumericRecordsAcceptOtherTypedEncodingsAndDamagedRecordsAreRefused) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cfg/typed.cfg");
  ChannelConfiguration c = Sample();
  c.channel[3].Min = 0.1;
  c.channel[4].Max = 1.0 / 3.0;
  QByteArray file = hand::Cfg(c);
  auto put = [&](int record, const QByteArray& value) { file.replace((record - 1) * 128, 128, hand::Rec(value)); };
  put(2, hand::Le(2, 2) + hand::Le(-7, 2));            // 16-bit integer
  put(3, hand::Le(3, 2) + hand::Le(100000, 4));        // 32-bit integer
  float f = 2.5f;
  put(5, hand::Le(4, 2) + QByteArray(reinterpret_cast<const char*>(&f), 4));  // single
  put(7, hand::Le(8, 2) + hand::Le(4, 2) + "12.5");    // text holding a number
  put(8, hand::Le(17, 2) + hand::Le(200, 1));          // byte
  put(12, hand::Le(6, 2) + hand::Le(50000, 8));        // currency: 5.0
  ASSERT_TRUE(WriteFileBytes(path, file));
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German));
  ChannelConfiguration back;
  QString error;
  const bool read = ReadConfigFile(path, back, &error);
  QLocale::setDefault(saved);
  ASSERT_TRUE(read) << error.toStdString();
  const double got[] = {back.channel[3].Min, back.channel[4].Max, back.channel[0].Min, back.channel[0].Max,
                       back.channel[0].WinHight, back.channel[1].Min, back.channel[1].Max, back.channel[2].Min};
  EXPECT_THAT(got, ::testing::ElementsAre(0.1, 0.333333333333333, -7, 100000, 2.5, 12.5, 200, 5));

  const QByteArray good = hand::Cfg(Sample());
  auto with = [&](int at, const QByteArray& bytes) { return QByteArray(good).replace(at, bytes.size(), bytes); };
  const QByteArray damaged[] = {
      with(128, hand::TextRec("abc")),                          // a numeric record without a number
      with(128, hand::DoubleRec(std::nan(""))),                  // nor is NaN one
      with(0, hand::Le(8, 2) + hand::Le(125, 2)),                // a text longer than its record
      with(0, hand::DoubleRec(1e300)),                           // a name too long for a record
      with(256, hand::Le(99, 2)),                                // an unknown tag
      with(256, hand::Rec(hand::Le(0, 2))),                      // an empty numeric record
  };
  ChannelConfiguration current = Sample();
  for (const QByteArray& bad : damaged) {
    ASSERT_TRUE(WriteFileBytes(path, bad));
    error.clear();
    EXPECT_FALSE(ReadConfigFile(path, current, &error)) << &bad - damaged;
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(current, Sample());
  }
}

}  // namespace
