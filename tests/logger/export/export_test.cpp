// The CSV, crop and capture writers against bytes written by hand, the range boxes'
// rules and file errors.
#include "common/messages.h"
#include "logger/export/capture.h"
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/export/range.h"
#include "support/hand_bytes.h"
#include "logger/logdata/samplestore.h"
#include "support/test_paths.h"

#include <QDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using namespace logexport;

namespace msg = common::msg;
using testing_support::FileBytes;
using testing_support::ProgramDir;

// Sample j of row r; row 1 of sample 1 is the most negative raw value.
qint16 Value(int r, int j) { return r == 1 && j == 1 ? qint16(-32768) : qint16(1000 * j + r); }

// `count` samples and the spare zero column; LoadedSampleCount deliberately stale.
logdata::SampleStore Store(qint32 count = 3) {
  logdata::SampleStore s;
  s.reset(count);
  s.ChannelMask = 0x0C03, s.FreqCode = 3, s.ConfigNumber = 1234, s.LoadedSampleCount = 1000;
  for (int j = 0; j < count; ++j)
    for (int r = 0; r < 12; ++r) s.at(r, j) = Value(r, j);
  return s;
}

common::ChannelConfiguration Config() {
  common::ChannelConfiguration c;
  c.channel[0].Min = -10.5, c.channel[0].Max = 0.25;
  c.channel[1].Name = QStringLiteral("Temp, oil");
  return c;
}

TEST(ExportBytes, CsvForRangesAndInEngineeringUnitsAndCrop) {
  const QByteArray header =
      "Generated from /logs/dlg/flight.dlg\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\nMIN\r\n"
      " ,-10.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0.25,0,0,0,0,0,0,0,0,0,0,0\r\n"
      "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n ,,Temp, oil,,,,,,,,,,\r\n ,,,,,,,,,,,,\r\n";
  const QByteArray rows = " 1 ,1000,-32768,1002,1003,1004,1005,1006,1007,1008,1009,1010,1011\r\n"
                          " 2 ,2000,2001,2002,2003,2004,2005,2006,2007,2008,2009,2010,2011\r\n"
                          " 3 ,0,0,0,0,0,0,0,0,0,0,0,0\r\n";  // 3: the spare column
  const std::tuple<qint32, qint32, QByteArray> cases[] = {{1, 3, rows}, {2, 1, ""}};
  testing_support::ProgramDir dir;
  const QString path = dir.file("cap/out.csv");
  for (const auto& [start, end, written] : cases) {
    ASSERT_TRUE(WriteCsv(path, QStringLiteral("/logs/dlg/flight.dlg"), Store(), Config(), start, end, nullptr));
    EXPECT_EQ(FileBytes(path), header + written) << start << ".." << end;
  }
  // Rows go to the file in blocks of about a megabyte; none may be lost at a block's end.
  ASSERT_TRUE(WriteCsv(path, "x", Store(40000), Config(), 0, 39999, nullptr));
  const QList<QByteArray> lines = FileBytes(path).split('\n');
  ASSERT_EQ(lines.size(), 10 + 40000 + 1);
  for (int i = 0; i < 40000; ++i) ASSERT_TRUE(lines[10 + i].startsWith(" " + QByteArray::number(i) + " ,")) << i;
  ASSERT_TRUE(WriteEngineeringCsv(path, Store(40000), Config(), 0, 39999, nullptr));
  const QList<QByteArray> units = FileBytes(path).split('\n');
  ASSERT_EQ(units.size(), 1 + 40000 + 1);
  for (auto [j, seconds] : {std::pair{5, "0.3,"}, {50, "3,"}, {39999, "2399.94,"}})  // j x 3 / 50
    EXPECT_TRUE(units[1 + j].startsWith(seconds)) << units[1 + j].toStdString();

  // The analysis CSV in any locale: "." as the decimal point, names quoted, LF.
  common::ChannelConfiguration config = Config();
  config.channel[1].Max = 4095;  // the raw value itself, -32768 included
  config.channel[10] = {QStringLiteral("Say \"hi\""), 0, 255, QStringLiteral("V"), 1};
  ASSERT_TRUE(WriteEngineeringCsv(path, Store(), config, 1, 3, nullptr));
  EXPECT_EQ(FileBytes(path), "time_s, [],\"Temp, oil []\",\"Say \"\"hi\"\" [V]\", []\n0.06,-7.87484737484738,-32768,1010,0\n"
                             "0.12,-5.24969474969475,2001,2010,0\n0.18,-10.5,0,0,0\n");

  // The crop: Start, End, the first column written and how many; column 3 is the spare zero column.
  const QString crop = dir.file("dlg/crop.dlg");
  for (const auto& [start, end, first, count] : {std::tuple{0, 2, 0, 3}, {1, 1, 1, 1}, {2, 3, 2, 2}, {2, 99, 2, 2}}) {
    // A longer old file of the same name must leave no tail.
    ASSERT_TRUE(testing_support::WriteFileBytes(crop, QByteArray(5000, 'x')));
    std::vector<std::vector<std::int16_t>> cols;
    for (int j = first; j < first + count; ++j) {
      cols.emplace_back(12, 0);
      for (int r = 0; r < 12 && j < 3; ++r) cols.back()[std::size_t(r)] = Value(r, j);
    }
    ASSERT_TRUE(WriteCroppedLog(crop, Store(), start, end, nullptr));
    EXPECT_EQ(FileBytes(crop), hand::Dlg(count, 0x0C03, 3, 1234, cols)) << start << ".." << end;
  }
  QString error;  // refused: the last file stays
  EXPECT_FALSE(WriteCroppedLog(crop, Store(), 2, 1, &error) || error != msg::kCropStartAfterEnd);
  EXPECT_EQ(FileBytes(crop).size(), 11 + 2 * 24);
}

TEST(RangeTest, BoxRulesAndValues) {
  // Which box, the typed text, the limit, what the box shows after the check ("!": refused).
  const std::tuple<bool, const char*, qint32, const char*> cases[] = {
      {false, "-5", 100, "0"},   {false, "012", 100, "0!"}, {false, "150", 100, "100"}, {false, "1.5", 100, "1.5"},
      {true, "", 100, "1!"},     {true, "0", 100, "1"},     {true, "500", 100, "100"},  {true, "7", 0, "1"},
      {true, "99", 100, "99"}};
  for (const auto& [end, typed, limit, shown] : cases) {
    const BoxCheck r = end ? CheckEndText(typed, limit) : CheckStartText(typed, limit);
    EXPECT_EQ(r.text + (r.refused ? "!" : ""), QString::fromLatin1(shown)) << (end ? "end " : "start ") << typed;
  }
  for (const auto& [text, value] : {std::pair{"2.5", 2}, {"3.5", 4}, {"abc", 0}, {"1e30", 2147483647}})
    EXPECT_EQ(BoxValue(text), value) << text;
  logdata::SampleStore s = Store();
  EXPECT_EQ(RangeLimit(s), 3);  // a stale larger count stops at the spare column
  EXPECT_EQ((s.LoadedSampleCount = 2, RangeLimit(s)), 2);
}

// A file-size limit stands in for a full disk: writes past it stop short as they would.
TEST(ExportFileErrorTest, OldFileStaysWhole) {
  testing_support::ProgramDir dir;
  const logdata::SampleStore big = Store(1000);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  for (const QString& path : {dir.file("cap/full.csv"), dir.file("dlg/full.dlg")}) {
    ASSERT_TRUE(testing_support::WriteFileBytes(path, "old"));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = path.endsWith(".csv") ? WriteCsv(path, "x", big, Config(), 0, 999, &error)
                                          : WriteCroppedLog(path, big, 0, 999, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok || error != msg::LogCannotWrite(path, msg::kWriteStoppedShort)) << error.toStdString();
    EXPECT_EQ(FileBytes(path), "old");
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1);  // no temporary left
  }
}

// Lines appended into a folder made for them; a header written over a longer file, which
// it replaces with its captures. An empty configuration; a damaged log without a rate
// writes the rate as 0.
TEST(CaptureFileTest, AppendedLinesHeaderBytesAndFailures) {
  ProgramDir dir;
  ASSERT_TRUE(QDir(dir.file("cap")).removeRecursively());
  const QString path = dir.file("cap/init.txt");
  const std::array<QString, 12> shown = {"0.5", "1.5", "2.5", "3.5", "-0.25", "5.5",
                                         "6.5", "7.5", "8.5", "9.5", "10.5", "11.5"};
  const std::array<qint16, 12> raw = {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, -3};
  QString error;
  // The sample number has a sign position, a blank unless it is negative, and a blank after it.
  for (qint32 sample : {7, 1234567, 0, -3})
    ASSERT_TRUE(AppendCapture(path, sample, shown, raw, &error)) << error.toStdString();
  const QByteArray tail = " ,0.5,1.5,2.5,3.5,-0.25,5.5,6.5,7.5,8.5,9.5,10.5,11.5 , Raw values: , "
                          "0,100,200,300,400,500,600,700,800,900,1000,-3\r\n";
  EXPECT_EQ(FileBytes(path), " 7" + tail + " 1234567" + tail + " 0" + tail + "-3" + tail);

  common::ChannelConfiguration named;
  for (int i = 0; i < 12; ++i)
    named.channel[std::size_t(i)] = {QStringLiteral("CH%1").arg(i + 1), 0, double(common::FullScale(i + 1)), "V", 0};
  named.channel[0] = {QStringLiteral("Temp, oil"), -10.5, 0.25, "V", 0};  // names are not quoted
  named.channel[1].Unit = QStringLiteral(" ");
  named.channel[4].Name = QStringLiteral("Pr\u00e9s");  // Latin-1 e acute
  const std::tuple<const char*, quint8, common::ChannelConfiguration, QByteArray> headers[] = {
      {"/home/u/dlg/flight.dlg", 3, named,
       "Capture file from log file /home/u/dlg/flight.dlg\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\n"
       "MIN\r\n ,-10.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0.25,4095,4095,4095,4095,4095,4095,4095,4095,4095,255,255\r\n"
       " ,Temp, oil,CH2,CH3,CH4,Pr\xe9s,CH6,CH7,CH8,CH9,CH10,CH11,CH12\r\n ,V, ,V,V,V,V,V,V,V,V,V,V\r\n"},
      {"a.dlg", 0, {},
       "Capture file from log file a.dlg\r\nCycle frequency 0\r\nConfig settings\r\nMIN\r\n"
       " ,0,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0,0,0,0,0,0,0,0,0,0,0,0\r\n ,,,,,,,,,,,,\r\n ,,,,,,,,,,,,\r\n"},
  };
  for (const auto& [log, code, config, bytes] : headers) {
    ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(5000, 'x')));
    ASSERT_TRUE(WriteCaptureHeader(path, QString::fromLatin1(log), code, config, nullptr));
    EXPECT_EQ(FileBytes(path), bytes + "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n") << log;
  }

  // A file where the folder should be: neither the folder nor the file can be made; a
  // folder where the file should be.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap2"), "") && QDir(dir.path()).mkpath("cap/folder.txt"));
  for (const char* name : {"cap2/init.txt", "cap/folder.txt"}) {
    QString header, line;
    EXPECT_FALSE(AppendCapture(dir.file(name), 0, {}, {}, &line)) << name;
    EXPECT_FALSE(line.isEmpty()) << name;
    EXPECT_FALSE(WriteCaptureHeader(dir.file(name), QString(), 1, {}, &header) || header.isEmpty()) << name;
  }
}

}  // namespace
