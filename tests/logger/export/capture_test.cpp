#include "logger/export/capture.h"

#include "logger/logdata/samplestore.h"
#include "support/test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace logexport {
namespace {

using testing_support::ProgramDir;

using testing_support::FileBytes;

common::ChannelConfiguration sampleConfig() {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) {
    auto& ch = c.channel[std::size_t(i)];
    ch.Name = QStringLiteral("CH%1").arg(i + 1);
    ch.Unit = QStringLiteral("V");
    ch.Min = 0;
    ch.Max = common::FullScale(i + 1);
  }
  c.channel[0].Name = QStringLiteral("Temp, oil");  // names are not quoted
  c.channel[0].Min = -10.5;
  c.channel[0].Max = 0.25;
  c.channel[1].Unit = QStringLiteral(" ");
  c.channel[4].Name = QStringLiteral("Pr\u00e9s");  // Latin-1 e acute
  return c;
}

TEST(CaptureFileTest, HeaderBytes) {
  ProgramDir dir;
  const QString path = dir.file("cap/init.txt");
  QString error;
  ASSERT_TRUE(WriteCaptureHeader(path, QStringLiteral("/home/u/dlg/flight.dlg"), 3, sampleConfig(), &error)) << error.toStdString();

  QByteArray want;
  want += "Capture file from log file /home/u/dlg/flight.dlg\r\n";
  want += "Cycle frequency 16.6666666666667\r\n";
  want += "Config settings\r\n";
  want += "MIN\r\n";
  want += " ,-10.5,0,0,0,0,0,0,0,0,0,0,0\r\n";
  want += "MAX\r\n";
  want += " ,0.25,4095,4095,4095,4095,4095,4095,4095,4095,4095,255,255\r\n";
  want += " ,Temp, oil,CH2,CH3,CH4,Pr\xe9s,CH6,CH7,CH8,CH9,CH10,CH11,CH12\r\n";
  want += " ,V, ,V,V,V,V,V,V,V,V,V,V\r\n";
  want += "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n";
  EXPECT_EQ(FileBytes(path), want);
}

TEST(CaptureFileTest, HeaderReplacesTheOldFileAndItsCaptures) {
  ProgramDir dir;
  const QString path = dir.file("cap/init.txt");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(5000, 'x')));
  ASSERT_TRUE(WriteCaptureHeader(path, QStringLiteral("a.dlg"), 0, common::ChannelConfiguration{}, nullptr));
  // An empty configuration; a damaged log without a rate writes the rate as 0.
  EXPECT_EQ(FileBytes(path), "Capture file from log file a.dlg\r\nCycle frequency 0\r\nConfig settings\r\nMIN\r\n"
                             " ,0,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0,0,0,0,0,0,0,0,0,0,0,0\r\n ,,,,,,,,,,,,\r\n"
                             " ,,,,,,,,,,,,\r\nCycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n");
}

TEST(CaptureFileTest, CsvHeaderOrderDiffers) {
  const QStringList csv = HeaderLines(HeaderKind::Csv, QStringLiteral("x.dlg"), 1, sampleConfig());
  ASSERT_EQ(csv.size(), 10);
  EXPECT_EQ(csv[0], QStringLiteral("Generated from x.dlg"));
  EXPECT_EQ(csv[1], QStringLiteral("Cycle frequency 50"));
  EXPECT_EQ(csv.mid(7), (QStringList{"Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11",
                                     QString::fromUtf8(" ,Temp, oil,CH2,CH3,CH4,Pr\u00e9s,CH6,CH7,CH8,CH9,CH10,CH11,CH12"),
                                     " ,V, ,V,V,V,V,V,V,V,V,V,V"}));
}

TEST(CaptureFileTest, AppendedLinesAndMissingFolder) {
  ProgramDir dir;
  ASSERT_TRUE(QDir(dir.file("cap")).removeRecursively());
  const QString path = dir.file("cap/init.txt");
  std::array<QString, 12> shown;
  std::array<qint16, 12> raw;
  for (int i = 0; i < 12; ++i) {
    shown[std::size_t(i)] = QString::number(i) + QStringLiteral(".5");
    raw[std::size_t(i)] = qint16(100 * i);
  }
  shown[4] = QStringLiteral("-0.25");
  raw[11] = -3;
  QString error;
  // The sample number has a sign position, a blank unless it is negative, and a blank after it.
  for (qint32 sample : {7, 1234567, 0, -3}) ASSERT_TRUE(AppendCapture(path, sample, shown, raw, &error)) << error.toStdString();
  const QByteArray tail = " ,0.5,1.5,2.5,3.5,-0.25,5.5,6.5,7.5,8.5,9.5,10.5,11.5 , Raw values: , "
                          "0,100,200,300,400,500,600,700,800,900,1000,-3\r\n";
  EXPECT_EQ(FileBytes(path), " 7" + tail + " 1234567" + tail + " 0" + tail + "-3" + tail);
}

TEST(CaptureFileTest, FailuresReturnAReason) {
  ProgramDir dir;
  // A file where the folder should be: neither the folder nor the file can be made.
  QFile blocker(dir.file("cap2"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QString error;
  EXPECT_FALSE(WriteCaptureHeader(dir.file("cap2/init.txt"), QString(), 1, common::ChannelConfiguration{}, &error));
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_FALSE(AppendCapture(dir.file("cap2/init.txt"), 0, {}, {}, &error));
  EXPECT_FALSE(error.isEmpty());
  // A folder where the file should be.
  ASSERT_TRUE(QDir(dir.path()).mkpath("cap/init.txt"));
  error.clear();
  EXPECT_FALSE(AppendCapture(dir.file("cap/init.txt"), 0, {}, {}, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(CaptureFileTest, RawColumnReadsTheStore) {
  logdata::SampleStore store;
  ASSERT_TRUE(store.reset(3));
  for (int r = 0; r < 12; ++r) store.at(r, 2) = qint16(r * 3 - 5);
  const auto raw = RawColumn(store, 2);
  for (int r = 0; r < 12; ++r) EXPECT_EQ(raw[std::size_t(r)], r * 3 - 5);
  EXPECT_EQ(RawColumn(store, 3), (std::array<qint16, 12>{}));  // the spare zero column
  EXPECT_EQ(RawColumn(store, 99), (std::array<qint16, 12>{}));
}

}  // namespace
}  // namespace logexport
