// Export, Crop and Delete through the main window's menus: the windows' boxes and
// dialogs, what they write (byte for byte what logtool writes), and the cleared window.
#include "logger/shell/shell_fixture.h"
#include "support/run_tool.h"

#include <QDir>
#include <QPointer>

using namespace shelltest;
using testing_support::FileBytes;

namespace {

qint16 Wave(int row, int j) { return qint16((j * (row + 3)) % 4096 - (row == 4 ? 2000 : 0)); }

bool Uniform(const QImage& img) {
  QImage filled(img.size(), img.format());
  filled.fill(img.pixel(0, 0));
  return img == filled;
}

class RangeWindows : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(0);
    makeWindow();
    window->show();
    WriteFile(log, hand::Dlg(200, 0x0013, 3, 0, Wave));
    load(log);  // the view shows samples 0 to 10
    prompt.clear();
  }
  // The window a menu command opened; its boxes in text1 and text2.
  QWidget* open(const char* command, const char* form) {
    trigger(command);
    QWidget* w = window->findChild<QWidget*>(form);
    text1 = w ? w->findChild<QLineEdit*>("Text1") : nullptr;
    text2 = w ? w->findChild<QLineEdit*>("Text2") : nullptr;
    return w && w->isVisible() ? w : nullptr;
  }
  void press(QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("OK"), Qt::LeftButton); }
  QByteArray logtool(const QStringList& args) {
    const QString out = dir.file("cap/logtool.out");
    EXPECT_EQ(testing_support::RunTool(QStringLiteral(VELKARO_LOGTOOL_PATH), args + QStringList{"-o", out}).status, 0);
    return FileBytes(out);
  }
  const QString log = dir.file("dlg/f.dlg");
  QLineEdit *text1 = nullptr, *text2 = nullptr;
};

TEST_F(RangeWindows, ExportAndCropWriteWhatLogtoolWrites) {
  QWidget* w = open("Export", "CSVExp");
  ASSERT_TRUE(w);
  EXPECT_EQ(text1->text() + "/" + text2->text(), QStringLiteral("0/10"));
  text1->selectAll();
  QTest::keyClicks(text1, "x");
  text2->selectAll();
  QTest::keyClick(text2, Qt::Key_Backspace);
  EXPECT_EQ(prompt.said(), QStringList({msg::kTitleErrorBang + ": " + msg::kNonNumericStart,
                                        msg::kTitleErrorBang + ": " + msg::kNonNumericStop}));
  EXPECT_EQ(text1->text() + "/" + text2->text(), QStringLiteral("0/1"));
  text1->setText("5");
  text2->setText("250");  // clamped to the sample count
  const QString csv = dir.file("cap/a.csv");
  WriteFile(csv, "old");
  prompt.clear();
  prompt.answers = {common::PromptAnswer::No, common::PromptAnswer::Yes};
  prompt.files = {csv, csv};
  press(w);
  ASSERT_EQ(prompt.records.size(), 4u);  // dialog, No, dialog again, Yes
  EXPECT_EQ(prompt.records[0].title + prompt.records[0].text, msg::kFilterCsv + dir.file("cap"));
  EXPECT_EQ(prompt.records[1].title + prompt.records[1].text, msg::kTitleConfig + msg::FileExistsQuestion(csv));
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(FileBytes(csv), logtool({"csv", log, "--from", "5", "--to", "250", "--cfg", dir.file("cfg/config.cfg")}));
  // "Engineering units" ticked: the analysis CSV.
  ASSERT_TRUE(w = open("Export", "CSVExp"));
  QTest::mouseClick(w->findChild<QCheckBox*>("EngUnits"), Qt::LeftButton);
  prompt.files = {dir.file("cap/u.csv")};
  press(w);
  EXPECT_EQ(FileBytes(dir.file("cap/u.csv")),
            logtool({"csv", log, "--from", "0", "--to", "10", "--units", "--cfg", dir.file("cfg/config.cfg")}));

  // Start 20 after End 10: refused before any file is asked for.
  for (const auto& [command, form, refusal] : {std::tuple("Export", "CSVExp", msg::kExportStartAfterEnd),
                                               std::tuple("Crop", "Crop_dat", msg::kCropStartAfterEnd)}) {
    w = open(command, form);
    ASSERT_TRUE(w);
    text1->setText("20");
    prompt.clear();
    press(w);
    EXPECT_EQ(prompt.said(), QStringList{msg::kTitleErrorBang + ": " + refusal});
  }
  // The open log's own file is refused as the target, and the dialog comes again.
  text2->setText("150.5");
  const QByteArray flight = FileBytes(log);
  const QString crop = dir.file("dlg/c.dlg");
  prompt.clear();
  prompt.files = {dir.file("dlg/../dlg/f.dlg"), crop};
  press(w);
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::CropOntoOpenLog(dir.file("dlg/../dlg/f.dlg"))});
  EXPECT_EQ(FileBytes(log), flight);
  EXPECT_EQ(FileBytes(crop), logtool({"crop", log, "--from", "20", "--to", "150.5"}));
}

TEST_F(RangeWindows, DeleteClearsTheWindowOrChangesNothing) {
  const QString title = window->windowTitle();
  prompt.answers = {common::PromptAnswer::Cancel};
  trigger("Delete");
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleDelete + ": " + msg::kDeleteQuestion});
  EXPECT_TRUE(prompt.records[0].buttons == common::PromptButtons::OkCancel && QFile::exists(log));
  // A name that cannot be removed as a file: a message, and the log stays shown.
  ASSERT_TRUE(QFile::remove(log) && QDir().mkpath(log + "/inner"));
  trigger("Delete");
  EXPECT_EQ(prompt.messages().back().title, msg::kTitleError);
  EXPECT_EQ(QString::number(int(window->session().loaded())) + window->windowTitle(), "1" + title);

  ASSERT_TRUE(QDir(log).removeRecursively());
  WriteFile(log, "x");
  QFile::setPermissions(log, QFile::ReadOwner);  // removed all the same
  QPointer<QWidget> w = open("Crop", "Crop_dat");
  scope::ScopeWindow* scope = openScope();
  auto *pic = find<trend::PictureBox>("picTrend"), *strip = find<trend::PictureBox>("picFull");
  const std::array<trend::PictureBox*, 4> pictures{pic, strip, scope->picture(),
                                                   scope->findChild<trend::PictureBox*>("picFull")};
  for (trend::PictureBox* p : pictures) ASSERT_FALSE(Uniform(p->picture()));
  for (trend::PictureBox* p : {pic, scope->picture()}) mouseMove(p, p->width() / 2);
  prompt.clear();
  trigger("Delete");
  EXPECT_FALSE(QFile::exists(log));
  EXPECT_EQ(QString::number(int(window->session().loaded())) + window->windowTitle(), "0" + msg::kMainCaption);
  EXPECT_TRUE(!w || !w->isVisible());
  for (int i = 0; i < 12; ++i) EXPECT_EQ(find<QLineEdit>(QStringLiteral("chval_%1").arg(i))->text(), "0");
  // Nothing of the deleted log is drawn or read out, whichever window is activated.
  QApplication::setActiveWindow(scope);
  QApplication::setActiveWindow(window.get());
  for (trend::PictureBox* p : pictures) {
    mouseMove(p, 60);
    EXPECT_TRUE(Uniform(p->picture()) && !p->cursorLine()) << p->window()->objectName().toStdString();
  }
  EXPECT_EQ(text("chpos1") + scope->findChild<QLineEdit*>("chpos1")->text(), "");
}

}  // namespace
