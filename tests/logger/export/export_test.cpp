// The CSV and crop writers against bytes written by hand, the range boxes' rules, file
// errors and the delete road.
#include "common/messages.h"
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/export/range.h"
#include "logger/logdata/hand_bytes.h"
#include "logger/logdata/samplestore.h"
#include "support/fake_prompt.h"
#include "support/test_paths.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace logexport {
namespace {

namespace msg = common::msg;
using testing_support::FileBytes;

// Sample j of row r; row 1 of sample 1 is the most negative raw value.
qint16 Value(int r, int j) { return r == 1 && j == 1 ? qint16(-32768) : qint16(1000 * j + r); }

// Three samples and the spare zero column; LoadedSampleCount deliberately stale.
logdata::SampleStore Store(qint32 count = 3) {
  logdata::SampleStore s;
  s.reset(count);
  s.ChannelMask = 0x0C03;
  s.FreqCode = 3;
  s.ConfigNumber = 1234;
  s.LoadedSampleCount = 1000;
  for (int j = 0; j < count; ++j)
    for (int r = 0; r < 12; ++r) s.at(r, j) = Value(r, j);
  return s;
}

common::ChannelConfiguration Config() {
  common::ChannelConfiguration c;
  c.channel[0].Min = -10.5;
  c.channel[0].Max = 0.25;
  c.channel[1].Name = QStringLiteral("Temp, oil");
  c.channel[11].Unit = QStringLiteral("\u00b0C");
  return c;
}

TEST(CsvTest, BytesForRanges) {
  const QByteArray header =
      "Generated from /logs/dlg/flight.dlg\r\nCycle frequency 16.6666666666667\r\nConfig settings\r\nMIN\r\n"
      " ,-10.5,0,0,0,0,0,0,0,0,0,0,0\r\nMAX\r\n ,0.25,0,0,0,0,0,0,0,0,0,0,0\r\n"
      "Cycle #,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Ch8,Ch9,Ch10,Ch11\r\n"
      " ,,Temp, oil,,,,,,,,,,\r\n ,,,,,,,,,,,,\xb0" "C\r\n";
  const QByteArray row1 = " 1 ,1000,-32768,1002,1003,1004,1005,1006,1007,1008,1009,1010,1011\r\n";
  const QByteArray row2 = " 2 ,2000,2001,2002,2003,2004,2005,2006,2007,2008,2009,2010,2011\r\n";
  const QByteArray row3 = " 3 ,0,0,0,0,0,0,0,0,0,0,0,0\r\n";  // the spare column
  const struct {
    qint32 start, end;
    QByteArray rows;
  } cases[] = {{1, 3, row1 + row2 + row3}, {2, 1, ""}, {3, 99, row3}, {-4, 0, " 0 ,0,1,2,3,4,5,6,7,8,9,10,11\r\n"}};
  testing_support::ProgramDir dir;
  const QString path = dir.file("cap/out.csv");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
    QString error;
    ASSERT_TRUE(WriteCsv(path, QStringLiteral("/logs/dlg/flight.dlg"), Store(), Config(), c.start, c.end, &error));
    EXPECT_EQ(FileBytes(path), header + c.rows);
  }
}

// Rows are handed to the file in blocks of about a megabyte; none may be lost or
// doubled at a block's end.
TEST(CsvTest, LongExportKeepsEveryRow) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cap/long.csv");
  ASSERT_TRUE(WriteCsv(path, "x", Store(40000), Config(), 0, 39999, nullptr));
  const QList<QByteArray> lines = FileBytes(path).split('\n');
  ASSERT_EQ(lines.size(), 10 + 40000 + 1);
  for (int i = 0; i < 40000; ++i)
    ASSERT_TRUE(lines[10 + i].startsWith(" " + QByteArray::number(i) + " ,")) << i;
}

TEST(CropTest, BytesForRanges) {
  auto column = [](int j) {
    std::vector<std::int16_t> v(12, 0);
    for (int r = 0; r < 12 && j < 3; ++r) v[std::size_t(r)] = Value(r, j);
    return v;
  };
  const struct {
    qint32 start, end;
    std::vector<int> columns;
  } cases[] = {{0, 2, {0, 1, 2}}, {1, 1, {1}}, {2, 3, {2, 3}}, {2, 99, {2, 3}}};
  testing_support::ProgramDir dir;
  const QString path = dir.file("dlg/crop.dlg");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
    // A longer old file of the same name must leave no tail.
    ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(5000, 'x')));
    std::vector<std::vector<std::int16_t>> cols;
    for (int j : c.columns) cols.push_back(column(j));
    QString error;
    ASSERT_TRUE(WriteCroppedLog(path, Store(), c.start, c.end, &error)) << error.toStdString();
    EXPECT_EQ(FileBytes(path), hand::ToQ(hand::Dlg(qint32(cols.size()), 0x0C03, 3, 1234, cols)));
  }
  QString error;
  EXPECT_FALSE(WriteCroppedLog(path, Store(), 2, 1, &error));
  EXPECT_EQ(error, msg::kCropStartAfterEnd);
  EXPECT_EQ(FileBytes(path).size(), 11 + 2 * 24);
}

TEST(RangeTest, BoxRulesAndValues) {
  const struct {
    bool end;
    const char* typed;
    qint32 limit;
    const char* shown;
    bool refused;
  } cases[] = {{false, "-5", 100, "0", false}, {false, "abc", 100, "0", true}, {false, "", 100, "0", true},
               {false, "150", 100, "100", false}, {false, "1.5", 100, "1.5", false}, {false, "012", 100, "0", true},
               {true, "", 100, "1", true},        {true, "0", 100, "1", false},      {true, "-3", 100, "1", false},
               {true, "500", 100, "100", false},  {true, "7", 0, "1", false},        {true, "x1", 100, "1", true},
               {true, "99", 100, "99", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.end ? "end " : "start ") << c.typed);
    const BoxCheck r = c.end ? CheckEndText(c.typed, c.limit) : CheckStartText(c.typed, c.limit);
    EXPECT_EQ(r.text, QString::fromLatin1(c.shown));
    EXPECT_EQ(r.refused, c.refused);
  }
  EXPECT_EQ(BoxValue("2.5"), 2);
  EXPECT_EQ(BoxValue("3.5"), 4);
  EXPECT_EQ(BoxValue("abc"), 0);
  EXPECT_EQ(BoxValue("1e30"), 2147483647);
  logdata::SampleStore s = Store();
  EXPECT_EQ(RangeLimit(s), 3);  // a stale larger count stops at the spare column
  s.LoadedSampleCount = 2;
  EXPECT_EQ(RangeLimit(s), 2);
}

// A file-size limit stands in for a full disk: writes past it fail as they would.
TEST(ExportFileErrorTest, OldFileStaysWhole) {
  testing_support::ProgramDir dir;
  const QByteArray old(100, 'o');
  const logdata::SampleStore big = Store(1000);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  for (const char* name : {"cap/full.csv", "dlg/full.dlg"}) {
    SCOPED_TRACE(name);
    const QString path = dir.file(name);
    ASSERT_TRUE(testing_support::WriteFileBytes(path, old));
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = path.endsWith(".csv") ? WriteCsv(path, "x", big, Config(), 0, 999, &error)
                                          : WriteCroppedLog(path, big, 0, 999, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, msg::LogCannotWrite(path, msg::kWriteStoppedShort));
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1);  // no temporary left
    // A folder that cannot hold files: its name is taken by a file.
    const QString blocked = path + "/x" + name;
    EXPECT_FALSE(path.endsWith(".csv") ? WriteCsv(blocked, "x", big, Config(), 0, 1, &error)
                                       : WriteCroppedLog(blocked, big, 0, 1, &error));
  }
}

TEST(DeleteTest, ConfirmRemoveOrReport) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("dlg/a.dlg");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, "log"));
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  testing_support::FakePrompt prompt;
  prompt.answers = {common::PromptAnswer::Cancel};
  EXPECT_EQ(ConfirmAndDeleteLog(prompt, path), DeleteOutcome::Refused);
  EXPECT_TRUE(QFile::exists(path));
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].title, msg::kTitleDelete);
  EXPECT_EQ(prompt.records[0].text, msg::kDeleteQuestion);
  EXPECT_EQ(prompt.records[0].buttons, common::PromptButtons::OkCancel);
  EXPECT_EQ(ConfirmAndDeleteLog(prompt, path), DeleteOutcome::Deleted);  // read-only, still removed
  EXPECT_FALSE(QFile::exists(path));
  // A name that cannot be removed as a file (here a folder that holds one).
  ASSERT_TRUE(QDir().mkpath(path));
  ASSERT_TRUE(testing_support::WriteFileBytes(path + "/inner", "x"));
  prompt.clear();
  EXPECT_EQ(ConfirmAndDeleteLog(prompt, path), DeleteOutcome::Failed);
  ASSERT_EQ(prompt.records.size(), 2u);
  EXPECT_EQ(prompt.records[1].title, msg::kTitleError);
  EXPECT_TRUE(prompt.records[1].text.startsWith(msg::FileNotDeleted(path, {})));
  EXPECT_TRUE(QFile::exists(path + "/inner"));
}

}  // namespace
}  // namespace logexport
