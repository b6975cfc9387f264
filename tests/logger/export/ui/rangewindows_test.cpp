// Export, Crop and Delete through the main window's menus: the windows' boxes and
// dialogs, what they write (byte for byte what logtool writes), and the cleared window.
#include "common/messages.h"
#include "logger/shell/shell_fixture.h"
#include "logger/trend/ui/picturebox.h"
#include "support/run_tool.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace shelltest;
namespace msg = common::msg;

namespace {

qint16 Wave(int row, int j) { return qint16((j * (row + 3)) % 4096 - (row == 4 ? 2000 : 0)); }

bool Uniform(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != img.pixel(0, 0)) return false;
  return true;
}

class RangeWindows : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    makeWindow();
    window->show();
    WriteFile(log, DlgBytes(200, 0x0013, 3, 0, Wave));
    prompt.files = {log};
    find<QAction>("mnuload")->trigger();  // the view shows samples 0 to 10
    ASSERT_EQ(window->LogLoaded, 1);
    prompt.clear();
  }
  // The window a menu command opened, with its two boxes.
  QWidget* open(const char* command, const char* form) {
    find<QAction>(command)->trigger();
    auto* w = window->findChild<QWidget*>(form);
    if (w) {
      text1 = w->findChild<QLineEdit*>("Text1");
      text2 = w->findChild<QLineEdit*>("Text2");
    }
    return w;
  }
  void press(QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("OK"), Qt::LeftButton); }
  QByteArray logtool(const QStringList& args) {
    const QString out = dir.file("cap/logtool.out");
    const auto r = testing_support::RunTool(QStringLiteral(VELKARO_LOGTOOL_PATH), args + QStringList{"-o", out});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return testing_support::FileBytes(out);
  }
  const QString log = dir.file("dlg/f.dlg");
  QLineEdit* text1 = nullptr;
  QLineEdit* text2 = nullptr;
};

TEST_F(RangeWindows, ExportAndCropWriteWhatLogtoolWrites) {
  QWidget* w = open("Export", "CSVExp");
  ASSERT_TRUE(w && w->isVisible());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("CSV Export"));
  EXPECT_EQ(text1->text() + "/" + text2->text(), QStringLiteral("0/10"));
  text1->setText("5");
  text2->setText("250");  // clamped to the sample count
  EXPECT_EQ(text2->text(), QStringLiteral("200"));
  const QString csv = dir.file("cap/a.csv");
  prompt.files = {csv};
  press(w);
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].title, msg::kFilterCsv);
  EXPECT_EQ(prompt.records[0].text, dir.file("cap"));
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(testing_support::FileBytes(csv),
            logtool({"csv", log, "--from", "5", "--to", "250", "--cfg", dir.file("cfg/config.cfg")}));

  w = open("Crop", "Crop_dat");
  ASSERT_TRUE(w && w->isVisible());
  text1->setText("20");
  prompt.clear();
  press(w);  // Start 20 after End 10
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].text, msg::kCropStartAfterEnd);
  text2->setText("150.5");
  const QString crop = dir.file("dlg/c.dlg");
  prompt.files = {crop};
  press(w);
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(testing_support::FileBytes(crop), logtool({"crop", log, "--from", "20", "--to", "150.5"}));
  prompt.files = {crop};
  find<QAction>("mnuload")->trigger();
  EXPECT_EQ(window->store().SampleCount, 131);
  EXPECT_EQ(window->store().at(4, 0), Wave(4, 20));
}

TEST_F(RangeWindows, TypedNonsenseAndTheOverwriteQuestion) {
  QWidget* w = open("Export", "CSVExp");
  ASSERT_TRUE(w);
  text1->selectAll();
  QTest::keyClicks(text1, "x");
  text2->selectAll();
  QTest::keyClick(text2, Qt::Key_Backspace);
  ASSERT_EQ(prompt.records.size(), 2u);
  EXPECT_EQ(prompt.records[0].title, msg::kTitleErrorBang);
  EXPECT_EQ(prompt.records[0].text, msg::kNonNumericStart);
  EXPECT_EQ(prompt.records[1].text, msg::kNonNumericStop);
  EXPECT_EQ(text1->text() + "/" + text2->text(), QStringLiteral("0/1"));

  const QString csv = dir.file("cap/old.csv");
  WriteFile(csv, "old");
  prompt.clear();
  prompt.answers = {common::PromptAnswer::No, common::PromptAnswer::Yes};
  prompt.files = {csv, csv};
  press(w);
  ASSERT_EQ(prompt.records.size(), 4u);  // dialog, No, dialog again, Yes
  EXPECT_EQ(prompt.records[1].title, msg::kTitleConfig);
  EXPECT_EQ(prompt.records[1].text, msg::FileExistsQuestion(csv));
  EXPECT_EQ(prompt.records[2].kind, testing_support::PromptRecord::SaveFile);
  EXPECT_TRUE(testing_support::FileBytes(csv).endsWith(" 1 ,3,4,0,0,-1993,0,0,0,0,0,0,0\r\n"));
  // A cancelled dialog keeps the window open.
  w = open("Export", "CSVExp");
  press(w);
  EXPECT_TRUE(w->isVisible());
}

TEST_F(RangeWindows, DeleteClearsTheWindowOrChangesNothing) {
  const QString title = window->windowTitle();
  prompt.answers = {common::PromptAnswer::Cancel};
  find<QAction>("Delete")->trigger();
  EXPECT_TRUE(QFile::exists(log));
  // A name that cannot be removed as a file: a message, and the log stays shown.
  ASSERT_TRUE(QFile::remove(log) && QDir().mkpath(log + "/inner"));
  find<QAction>("Delete")->trigger();
  EXPECT_EQ(prompt.messages().back().title, msg::kTitleError);
  EXPECT_EQ(window->LogLoaded, 1);
  EXPECT_EQ(window->windowTitle(), title);

  ASSERT_TRUE(QDir(log).removeRecursively());
  WriteFile(log, "x");
  QFile::setPermissions(log, QFile::ReadOwner);
  QPointer<QWidget> w = open("Crop", "Crop_dat");
  const auto* trend = window->findChild<trend::PictureBox*>("picTrend");
  const auto* full = window->findChild<trend::PictureBox*>("picFull");
  ASSERT_FALSE(Uniform(trend->picture()) || Uniform(full->picture()));
  prompt.clear();
  find<QAction>("Delete")->trigger();
  EXPECT_FALSE(QFile::exists(log));
  EXPECT_EQ(window->LogLoaded, 0);
  EXPECT_EQ(window->windowTitle(), msg::kMainCaption);
  EXPECT_TRUE(!w || !w->isVisible());
  for (int i = 0; i < 12; ++i) EXPECT_EQ(find<QLineEdit>(QStringLiteral("chval_%1").arg(i))->text(), "0");
  window->Update_Full_Data();  // as on activation
  window->Update_Data_Window();
  EXPECT_TRUE(Uniform(trend->picture()) && Uniform(full->picture()));
  prompt.clear();
  find<QAction>("Export")->trigger();
  find<QAction>("Crop")->trigger();
  EXPECT_EQ(prompt.messageTexts(), QStringList({msg::kFileNotLoaded, msg::kFileNotLoaded}));
}

}  // namespace
