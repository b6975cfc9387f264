// The "&Config" menu: the configuration editor opened modally over the main window, with the
// window's labels, title, window heights, log number and compensation constants as its host.
#include "common/ui/configeditor.h"
#include "shell_fixture.h"

using namespace shelltest;

class ConfigMenu : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    makeWindow();
    showWindow();
    WriteFile(logPath, hand::Dlg(400, 0x0007, 5, 0, [](int r, int j) { return qint16(j + r); }));
    load(logPath);
    ASSERT_TRUE(window->session().loaded());
    prompt.clear();
  }

  void withEditor(std::function<void(QWidget*)> act) {
    bool ran = false;
    OnModal(QStringLiteral("Config"), [&](QWidget* e) {
      ran = true;
      act(e);
      if (e->isVisible()) e->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    trigger("mnu5");
    EXPECT_TRUE(ran);
  }
  static QLineEdit* box(QWidget* editor, const QString& name) { return editor->findChild<QLineEdit*>(name); }
  QString labels(int i) {
    return find<QLabel>(QStringLiteral("lblChannel_%1").arg(i))->text() + '|' +
           find<QLabel>(QStringLiteral("Label1_%1").arg(i))->text() + '|' + find<QLabel>(QStringLiteral("Label1_%1").arg(i + 12))->text();
  }

  const QString logPath = dir.file("dlg/log.dlg");
};

// The editor starts from the panel's window heights. Save as gives the open log the
// configuration's number; Load applies window heights and redraws, and keeps the editor
// open; both refresh the labels and the title. After the service key the compensation
// constants show, and those saved go out with "Tempconf".
TEST_F(ConfigMenu, PanelHeightsSaveAsLoadAndServiceConstantsSentByTempconf) {
  auto* height = find<QLineEdit>("WinHight_0");
  height->setText(QStringLiteral("2000"));
  QTest::keyClick(height, Qt::Key_Return);
  prompt.files = {dir.file("cfg/plane.cfg")};
  withEditor([&](QWidget* e) {
    EXPECT_EQ(window->config().channel[0].WinHight, 2000);
    box(e, "Chan1_0")->setText(QStringLiteral("Alt"));
    box(e, "Unit_0")->setText(QStringLiteral("ft"));
    EXPECT_FALSE(box(e, "SerialInput")->isVisible());
    box(e, "SerialInput")->setText(QStringLiteral("321"));  // hidden, still saved
    QTest::mouseClick(e->findChild<QPushButton*>("SaveAsCfg"), Qt::LeftButton);
    EXPECT_FALSE(e->isVisible());
  });
  EXPECT_EQ(labels(0) + "|" + find<QLabel>("lblChannel_0")->toolTip(), "Alt|ft|Alt|CH1: Alt [ft]");
  EXPECT_EQ(window->windowTitle(), msg::MainTitle(logPath, "plane.cfg"));
  EXPECT_EQ(window->store().ConfigNumber, 321);

  common::ChannelConfiguration c = window->config();
  c.channel[2].Name = QStringLiteral("Oil");
  c.channel[5].WinHight = 250.5;
  WriteFile(dir.file("cfg/other.cfg"), hand::Cfg(c));
  auto* trend = find<trend::PictureBox>("picTrend");
  const quint64 renders = trend->renderCount();
  prompt.files = {dir.file("cfg/other.cfg")};
  withEditor([&](QWidget* e) {
    QTest::mouseClick(e->findChild<QPushButton*>("LoadCfg"), Qt::LeftButton);
    EXPECT_TRUE(e->isVisible());
  });
  EXPECT_EQ(std::pair(text("WinHight_5"), window->view().WinHeight[5]), std::pair(QStringLiteral("250.5"), 250.5));
  EXPECT_GT(trend->renderCount(), renders);
  EXPECT_EQ(labels(2), "Oil|u3|Oil");

  QTest::keyClick(find<QLineEdit>("Text2"), Qt::Key_G, Qt::ControlModifier);
  QByteArray expected;
  withEditor([&](QWidget* e) {
    for (int k = 0; k < common::kCompensationCount; ++k) {
      box(e, QLatin1String(common::kCompensationNames[std::size_t(k)]))->setText(QString::number(10 + k));
      expected.append(char(10 + k));
    }
    box(e, "SerialInput")->setText(QString::number(0x030201));
    // The file dialog is cancelled: the copies stay in effect.
    QTest::mouseClick(e->findChild<QPushButton*>("SaveAsCfg"), Qt::LeftButton);
  });
  trigger("Tempconf");
  ASSERT_TRUE(waitFor([&] { return !prompt.messages().empty(); }));
  EXPECT_EQ(prompt.messageTexts(), QStringList{msg::kCompensationStored});
  EXPECT_EQ(simulator.compensation(), expected + QByteArray("\x01\x02\x03", 3));
}
