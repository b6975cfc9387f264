// The "&Config" menu: the configuration editor opened modally over the main window,
// with the window's labels, title, window heights, log number and compensation
// constants as its host.
#include "common/ui/configeditor.h"
#include "logger/trend/ui/picturebox.h"
#include "shell_fixture.h"

using namespace shelltest;

class ConfigMenu : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    WriteFile(logPath, hand::Dlg(400, 0x0007, 5, 0, [](int r, int j) { return qint16(j + r); }));
    load(logPath);
    ASSERT_TRUE(window->session().loaded());
    prompt.clear();
  }

  // Opens the editor and runs `act` on it while it is shown modally.
  void withEditor(std::function<void(common::ConfigEditor*)> act) {
    bool ran = false;
    OnModal(QStringLiteral("Config"), [&](QWidget* w) {
      ran = true;
      auto* editor = qobject_cast<common::ConfigEditor*>(w);
      ASSERT_NE(editor, nullptr);
      act(editor);
      if (editor->isVisible()) editor->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    trigger("mnu5");
    EXPECT_TRUE(ran);
  }

  static QLineEdit* box(QWidget* editor, const QString& name) {
    auto* b = editor->findChild<QLineEdit*>(name);
    EXPECT_NE(b, nullptr) << name.toStdString();
    return b;
  }
  static void type(QWidget* editor, const QString& name, const QString& text) {
    QLineEdit* b = box(editor, name);
    b->selectAll();
    QTest::keyClicks(b, text);
  }
  static void press(QWidget* editor, const char* name) {
    QTest::mouseClick(editor->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
  }

  const QString logPath = dir.file("dlg/log.dlg");
};

TEST_F(ConfigMenu, OpensWithThePanelsHeightsAndTheServiceFieldsOnlyAfterTheServiceKeyThenTempconfSendsThem) {
  auto* height = find<QLineEdit>("WinHight_0");
  height->setText(QStringLiteral("2000"));
  QTest::keyClick(height, Qt::Key_Return);
  withEditor([&](common::ConfigEditor* e) {
    EXPECT_EQ(box(e, "Chan1_2")->text(), QStringLiteral("Ch3"));
    EXPECT_FALSE(box(e, "SerialInput")->isVisible());
    EXPECT_EQ(window->config().channel[0].WinHight, 2000);
  });

  // After the service key the constants show; those saved go out with "Tempconf".
  QTest::keyClick(find<QLineEdit>("Text2"), Qt::Key_G, Qt::ControlModifier);
  QByteArray expected;
  withEditor([&](common::ConfigEditor* e) {
    EXPECT_TRUE(box(e, "TMPK6BL")->isVisible());
    for (int k = 0; k < common::kCompensationCount; ++k) {
      box(e, QLatin1String(common::kCompensationNames[std::size_t(k)]))->setText(QString::number(10 + k));
      expected.append(char(10 + k));
    }
    box(e, "SerialInput")->setText(QString::number(0x030201));
    press(e, "SaveAsCfg");  // the file dialog is cancelled: the copies stay in effect
  });
  trigger("Tempconf");
  ASSERT_TRUE(waitFor([&] { return !prompt.messages().empty(); }));
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::kCompensationStored});
  EXPECT_EQ(simulator.compensation(), expected + QByteArray("\x01\x02\x03", 3));
}

TEST_F(ConfigMenu, SaveAsAndLoadRefreshLabelsTitleHeightsAndLogNumber) {
  const QString cfg = dir.file("cfg/plane.cfg");
  prompt.files = {cfg};
  withEditor([&](common::ConfigEditor* e) {
    type(e, "Chan1_0", "Alt");
    type(e, "Unit_0", "ft");
    type(e, "MIN_0", "-50");
    type(e, "MAX_0", "1000.5");
    box(e, "SerialInput")->setText(QStringLiteral("321"));  // hidden, still saved
    press(e, "SaveAsCfg");
    EXPECT_FALSE(e->isVisible());
  });
  EXPECT_EQ(window->config().channel[0], (common::ChannelSettings{"Alt", -50, 1000.5, "ft", 4095}));
  EXPECT_EQ(testing_support::FileBytes(cfg), hand::Cfg(window->config()));
  EXPECT_EQ(window->config().ConfigNumber, 321);
  EXPECT_EQ(find<QLabel>("lblChannel_0")->text(), QStringLiteral("Alt"));
  EXPECT_EQ(find<QLabel>("Label1_0")->text(), QStringLiteral("ft"));
  EXPECT_EQ(find<QLabel>("Label1_12")->text(), QStringLiteral("Alt"));
  EXPECT_EQ(find<QLabel>("lblChannel_0")->toolTip(), QStringLiteral("CH1: Alt [ft]"));
  EXPECT_EQ(window->windowTitle(), msg::MainTitle(logPath, "plane.cfg"));
  EXPECT_EQ(window->store().ConfigNumber, 321);

  // Load applies window heights, labels and title, and keeps the editor open.
  common::ChannelConfiguration c = window->config();
  c.channel[2].WinHight = 1000;
  c.channel[2].Name = QStringLiteral("Oil");
  c.channel[5].WinHight = 250.5;
  const QString other = dir.file("cfg/other.cfg");
  WriteFile(other, hand::Cfg(c));
  auto* trend = find<trend::PictureBox>("picTrend");
  const quint64 renders = trend->renderCount();
  prompt.files = {other};
  withEditor([&](common::ConfigEditor* ed) {
    press(ed, "LoadCfg");
    EXPECT_TRUE(ed->isVisible());  // Load keeps the editor open
  });
  EXPECT_EQ(find<QLineEdit>("WinHight_5")->text(), QStringLiteral("250.5"));
  EXPECT_EQ(window->view().WinHeight[2], 1000);
  EXPECT_EQ(window->view().WinHeight[5], 250.5);
  EXPECT_GT(trend->renderCount(), renders);
  EXPECT_EQ(find<QLabel>("lblChannel_2")->text(), QStringLiteral("Oil"));
  EXPECT_EQ(find<QLabel>("Label1_14")->text(), QStringLiteral("Oil"));
  EXPECT_EQ(window->windowTitle(), msg::MainTitle(logPath, "other.cfg"));
}
