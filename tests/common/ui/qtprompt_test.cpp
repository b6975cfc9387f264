#include "common/prompt.h"
#include "common/ui/qtprompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

// A saved name gets the filter's extension unless it ends in it, so that the open dialog lists
// the file. On its way to Qt the filter loses its pattern half.
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
      {"/p/x", QStringLiteral("all files (*.*)|*.*"), "/p/x"},
      {"", dlg, ""},  // cancelled stays cancelled
  };
  for (const auto& [typed, filter, saved] : cases)
    EXPECT_EQ(common::WithFilterExtension(QString::fromUtf8(typed), filter), QString::fromUtf8(saved)) << typed;
}

// The box carries title, text and buttons. While it is up the hourglass steps aside; it is one
// hourglass however often busy is set.
TEST(QtPrompt, MessageBoxCarriesTitleTextButtonsAndAnswerWithTheHourglassAside) {
  common::QtPrompt prompt;
  prompt.setBusy(true);
  prompt.setBusy(true);
  QStringList shown;  // title, text, buttons, the hourglass
  QTimer::singleShot(20, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown << box->windowTitle() << box->text() << QString::number(int(box->standardButtons()))
          << (QApplication::overrideCursor() ? "busy" : "none");
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(prompt.message(QStringLiteral("Config"), QStringLiteral("Sure?"), common::PromptIcon::Exclamation,
                           common::PromptButtons::YesNo),
            common::PromptAnswer::No);
  EXPECT_EQ(shown, QStringList({"Config", "Sure?", QString::number(int(QMessageBox::Yes | QMessageBox::No)), "none"}));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  prompt.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
