#include "common/ui/qtprompt.h"
#include "support/test_paths.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

TEST(QtPrompt, FiltersLoseTheirPatternHalf) {
  EXPECT_EQ(common::QtFileFilter(QStringLiteral("dlg files (*.dlg)|*.dlg")), QStringLiteral("dlg files (*.dlg)"));
  EXPECT_EQ(common::QtFileFilter(QStringLiteral("all (*)")), QStringLiteral("all (*)"));
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
  prompt.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The real save dialog adds the filter's extension to a name typed without one.
TEST(QtPrompt, SaveDialogAddsTheFiltersExtension) {
  testing_support::ProgramDir dir;
  common::QtPrompt prompt;
  // The dialog may take a while to come up on a loaded machine: look again until it is.
  std::function<void(int)> answer = [&](int tries) {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) {
      if (tries > 0) QTimer::singleShot(10, [&, tries] { answer(tries - 1); });
      else ADD_FAILURE() << "no file dialog";
      return;
    }
    d->selectFile(QStringLiteral("flight1"));
    QMetaObject::invokeMethod(d, "accept");
  };
  QTimer::singleShot(10, [&] { answer(1000); });
  EXPECT_EQ(prompt.saveFile(QStringLiteral("dlg files (*.dlg)|*.dlg"), dir.file("dlg")), dir.file("dlg/flight1.dlg"));
}
