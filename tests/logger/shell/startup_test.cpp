// Start-up, the port it opens, the service key and Quit; presses as the window system
// delivers them.
#include "shell_fixture.h"

#include <QDir>

using namespace shelltest;

TEST_F(ShellTest, StartWithoutFilesGivesOneMessageDefaultsAndFolders) {
  QDir(dir.path()).removeRecursively();
  QDir().mkpath(dir.path());
  makeWindow();
  const QStringList said = prompt.said();
  ASSERT_EQ(said.size(), 1);
  EXPECT_TRUE(said[0].startsWith(msg::kTitleError + ": ") && said[0].contains("init.prm") &&
              said[0].contains("config.cfg") && said[0].endsWith(msg::StartupFilesDefaulted({})))
      << said[0].toStdString();
  for (const char* sub : {"cfg", "dlg", "cap", "video"}) EXPECT_TRUE(QDir(dir.file(sub)).exists()) << sub;
  EXPECT_EQ(find<QLabel>("lblChannel_0")->text() + find<QLabel>("Label1_23")->text(), QStringLiteral("CH1CH12"));
  EXPECT_EQ(window->settings(), common::Settings{});
  EXPECT_EQ(window->view().WinHeight[0], 4095);
  EXPECT_FALSE(window->port().isOpen());
}

TEST_F(ShellTest, StartWithFilesOpensThePortQuietlyCommandsNeedALogTheServiceKeyQuitAndPortErrors) {
  writeStartupFiles(1);
  QFile::rename(dir.file("cfg/config.cfg"), dir.file("cfg/Config.CFG"));  // found whatever the case of its name
  makeWindow();
  EXPECT_TRUE(prompt.messages().empty()) << prompt.messageTexts().join("|").toStdString();
  EXPECT_TRUE(window->port().isOpen());
  EXPECT_EQ(window->port().portNumber(), 1);
  // First start: part A empty, part B empty.
  EXPECT_EQ(window->windowTitle(), msg::MainTitle("", ""));
  EXPECT_FALSE(find<QAction>("Tempconf")->isVisible() || find<QAction>("GPread")->isVisible());
  for (int i = 0; i < 12; ++i)
    EXPECT_FALSE(find<QCheckBox>(QStringLiteral("chkChannel_%1").arg(i))->isEnabled()) << i;
  QStringList shown;
  for (const char* label : {"lblChannel_2", "Label1_2", "Label1_14"}) shown << find<QLabel>(label)->text();
  EXPECT_EQ(shown.join('|') + "|" + text("WinHight_2"), "Ch3|u3|Ch3|4095");
  for (const char* name : {"Delete", "Crop", "Export"}) {
    prompt.clear();
    trigger(name);
    EXPECT_EQ(prompt.said(), QStringList{msg::kTitleStatus + ": " + msg::kFileNotLoaded}) << name;
  }
  // The service key (Ctrl+G on the status box) shows the hidden items for good.
  window->show();
  auto* text2 = find<QLineEdit>("Text2");
  QTest::keyClick(text2, Qt::Key_A);
  EXPECT_FALSE(window->serviceMode());
  QTest::keyClick(text2, Qt::Key_G, Qt::ControlModifier);
  EXPECT_TRUE(find<QAction>("Tempconf")->isVisible() && find<QAction>("GPread")->isVisible());
  QTest::keyClick(text2, Qt::Key_X);
  EXPECT_FALSE(window->serviceMode());
  EXPECT_TRUE(find<QAction>("Tempconf")->isVisible());
  trigger("mnuQuit");
  EXPECT_FALSE(window->port().isOpen());
  EXPECT_FALSE(window->isVisible());

  // Port 0 stays closed, without a message.
  writeStartupFiles(0);
  channel = nullptr;
  prompt.clear();
  makeWindow();
  EXPECT_TRUE(prompt.messages().empty());
  EXPECT_FALSE(window->port().isOpen());
  EXPECT_EQ(channel, nullptr);

  // A port that will not open: the error first, then the comm dialog.
  writeStartupFiles(1);
  openFails = true;
  bool dialogSeen = false;
  OnModal(QStringLiteral("Dialog1"), [&](QWidget* d) {
    dialogSeen = true;
    ASSERT_EQ(prompt.messages().size(), 1u);
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
  });
  makeWindow();
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleError + ": " + msg::kCommPortError});
  EXPECT_FALSE(window->port().isOpen());
}

// Presses delivered as the X server delivers them: to the top-level window at a point, where
// Qt picks the widget under it (a widget lying over a picture or a grab held elsewhere would
// pass the widget-level tests). Without a log each press on the trend or the scope picture
// says "No data!" once; the overview strip says nothing, and the capture key writes nothing.
TEST_F(ShellTest, PressesDeliveredToTheWindowReachThePicturesUnderThePointer) {
  writeStartupFiles(0);
  makeWindow();
  showWindow();
  scope::ScopeWindow* scopeWindow = openScope();
  prompt.clear();

  const QString noData = msg::kTitleLogger + ": " + msg::kNoData;
  const struct {
    QWidget* picture;
    QStringList said;
  } cases[] = {{find<trend::PictureBox>("picTrend"), {noData}},
               {scopeWindow->picture(), {noData}},
               {find<trend::PictureBox>("picFull"), {}}};
  for (const auto& c : cases) {
    QWindow* top = c.picture->window()->windowHandle();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      SCOPED_TRACE(c.picture->objectName().toStdString() + (button == Qt::LeftButton ? " left" : " right"));
      const QPoint at = c.picture->mapTo(c.picture->window(), QPoint(c.picture->width() / 3, c.picture->height() / 2));
      QTest::mouseMove(top, at);
      QTest::mousePress(top, button, {}, at);
      QTest::mouseRelease(top, button, {}, at);
      EXPECT_EQ(prompt.said(), c.said);
      prompt.clear();
    }
  }
  for (QWidget* picture : {cases[0].picture, cases[1].picture}) QTest::keyClick(picture, Qt::Key_P);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cap/init.txt")));
}
