#include "common/prompt.h"
#include "common/ui/qtprompt.h"
#include "support/test_paths.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// The name a save dialog hands back gets the filter's extension when the typed name
// does not already end in it, so that the matching open dialog lists the file. On its
// way to Qt the filter loses its pattern half.
TEST(QtPrompt, SaveNamesTakeTheFiltersExtensionUnlessTheyHaveIt) {
  const QString dlg = QStringLiteral("dlg files (*.dlg)|*.dlg");
  EXPECT_EQ(common::QtFileFilter(dlg), QStringLiteral("dlg files (*.dlg)"));
  EXPECT_EQ(common::QtFileFilter(QStringLiteral("all (*)")), QStringLiteral("all (*)"));
  const std::tuple<const char*, QString, const char*> cases[] = {
      {"/p/dlg/flight1", dlg, "/p/dlg/flight1.dlg"},
      {"/p/dlg/flight1.dlg", dlg, "/p/dlg/flight1.dlg"},
      {"/p/dlg/FLIGHT1.DLG", dlg, "/p/dlg/FLIGHT1.DLG"},
      {"/p/dlg/flight 12.5", dlg, "/p/dlg/flight 12.5.dlg"},  // a dot inside is no extension of this kind
      {"/p/dlg/flight1.", dlg, "/p/dlg/flight1.dlg"},
      {"/p/v.1/flight1", dlg, "/p/v.1/flight1.dlg"},
      {"/p/cap/run", QStringLiteral("csv files (*.csv)|*.csv"), "/p/cap/run.csv"},
      {"/p/x", QStringLiteral("all files (*.*)|*.*"), "/p/x"},
      {"", dlg, ""},  // cancelled stays cancelled
  };
  for (const auto& [typed, filter, saved] : cases)
    EXPECT_EQ(common::WithFilterExtension(QString::fromUtf8(typed), filter), QString::fromUtf8(saved)) << typed;
}

TEST(QtPrompt, MessageBoxCarriesTitleTextButtonsAndAnswer) {
  common::QtPrompt prompt;
  QString title, text;
  int buttons = 0;
  QTimer::singleShot(20, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    buttons = int(box->standardButtons());
    box->button(QMessageBox::No)->click();
  });
  const auto a = prompt.message(QStringLiteral("Config"), QStringLiteral("Sure?"), common::PromptIcon::Exclamation,
                                common::PromptButtons::YesNo);
  EXPECT_EQ(a, common::PromptAnswer::No);
  EXPECT_EQ(title, QStringLiteral("Config"));
  EXPECT_EQ(text, QStringLiteral("Sure?"));
  EXPECT_EQ(buttons, int(QMessageBox::Yes | QMessageBox::No));
}

TEST(QtPrompt, BusyIsOneOverrideCursorWhateverTheCalls) {
  common::QtPrompt prompt;
  prompt.setBusy(true);
  prompt.setBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  prompt.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The real save dialog adds the filter's extension to a name typed without one.
TEST(QtPrompt, SaveDialogAddsTheFiltersExtension) {
  testing_support::ProgramDir dir;
  common::QtPrompt prompt;
  // Answered on every tick until it has gone: on a loaded machine the dialog may come up
  // late, or not yet take an answer. A dialog that never does is cancelled: a failure, not a hang.
  QTimer answerer;
  int ticks = 0;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    if (++ticks > 400) return d->reject();
    // Typed and confirmed as a user does it.
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) return;
    edit->setText(QStringLiteral("flight1"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  answerer.start(25);
  const QString name = prompt.saveFile(QStringLiteral("dlg files (*.dlg)|*.dlg"), dir.file("dlg"));
  answerer.stop();
  EXPECT_EQ(name, dir.file("dlg/flight1.dlg"));
}
