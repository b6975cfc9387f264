#include "logger/export/capture.h"

#include "support/test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace logexport {
namespace {

using testing_support::FileBytes;
using testing_support::ProgramDir;

common::ChannelConfiguration sampleConfig() {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i)
    c.channel[std::size_t(i)] = {QStringLiteral("CH%1").arg(i + 1), 0, double(common::FullScale(i + 1)), "V", 0};
  c.channel[0] = {QStringLiteral("Temp, oil"), -10.5, 0.25, "V", 0};  // names are not quoted
  c.channel[1].Unit = QStringLiteral(" ");
  c.channel[4].Name = QStringLiteral("Pr\u00e9s");  // Latin-1 e acute
  return c;
}

// Written over a longer file, which the header replaces with its captures. An empty
// configuration; a damaged log without a rate writes the rate as 0.
TEST(CaptureFileTest, HeaderBytes) {
  const std::tuple<const char*, quint8, common::ChannelConfiguration, QByteArray> cases[] = {
      {"/home/u/dlg/flight.dlg", 3, sampleConfig(),
       "Capture file from log file /home/u/dlg/flight.dlg\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\n"
       "MIN\r\n ,-10.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0.25,4095,4095,4095,4095,4095,4095,4095,4095,4095,255,255\r\n"
       " ,Temp, oil,CH2,CH3,CH4,Pr\xe9s,CH6,CH7,CH8,CH9,CH10,CH11,CH12\r\n ,V, ,V,V,V,V,V,V,V,V,V,V\r\n"},
      {"a.dlg", 0, {},
       "Capture file from log file a.dlg\r\nCycle frequency 0\r\nConfig settings\r\nMIN\r\n"
       " ,0,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0,0,0,0,0,0,0,0,0,0,0,0\r\n ,,,,,,,,,,,,\r\n ,,,,,,,,,,,,\r\n"},
  };
  ProgramDir dir;
  const QString path = dir.file("cap/init.txt");
  for (const auto& [log, code, config, bytes] : cases) {
    ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(5000, 'x')));
    ASSERT_TRUE(WriteCaptureHeader(path, QString::fromLatin1(log), code, config, nullptr));
    EXPECT_EQ(FileBytes(path), bytes + "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n") << log;
  }
}

TEST(CaptureFileTest, AppendedLinesAndMissingFolder) {
  ProgramDir dir;
  ASSERT_TRUE(QDir(dir.file("cap")).removeRecursively());
  const QString path = dir.file("cap/init.txt");
  const std::array<QString, 12> shown = {"0.5", "1.5", "2.5", "3.5", "-0.25", "5.5", "6.5", "7.5", "8.5", "9.5", "10.5", "11.5"};
  const std::array<qint16, 12> raw = {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, -3};
  QString error;
  // The sample number has a sign position, a blank unless it is negative, and a blank after it.
  for (qint32 sample : {7, 1234567, 0, -3}) ASSERT_TRUE(AppendCapture(path, sample, shown, raw, &error)) << error.toStdString();
  const QByteArray tail = " ,0.5,1.5,2.5,3.5,-0.25,5.5,6.5,7.5,8.5,9.5,10.5,11.5 , Raw values: , "
                          "0,100,200,300,400,500,600,700,800,900,1000,-3\r\n";
  EXPECT_EQ(FileBytes(path), " 7" + tail + " 1234567" + tail + " 0" + tail + "-3" + tail);
}

TEST(CaptureFileTest, FailuresReturnAReason) {
  ProgramDir dir;
  // A file where the folder should be: neither the folder nor the file can be made; a
  // folder where the file should be.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap2"), "") && QDir(dir.path()).mkpath("cap/init.txt"));
  for (const char* path : {"cap2/init.txt", "cap/init.txt"}) {
    QString header, line;
    EXPECT_FALSE(AppendCapture(dir.file(path), 0, {}, {}, &line)) << path;
    EXPECT_FALSE(line.isEmpty()) << path;
    EXPECT_FALSE(WriteCaptureHeader(dir.file(path), QString(), 1, {}, &header) || header.isEmpty()) << path;
  }
}

}  // namespace
}  // namespace logexport
