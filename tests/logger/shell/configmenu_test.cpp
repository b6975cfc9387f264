// The "&Config" menu: the configuration editor opened modally over the main window,
// with the window's labels, title, window heights, log number and compensation
// constants as its host.
#include "common/messages.h"
#include "common/numtext.h"
#include "common/ui/configeditor.h"
#include "logger/trend/ui/picturebox.h"
#include "shell_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

using namespace shelltest;
namespace msg = common::msg;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// A tagged-text record of the .cfg layout: tag 8, 16-bit length, the Latin-1 text.
QByteArray TextRecord(const QByteArray& text) {
  QByteArray r("\x08\x00", 2);
  r.append(char(text.size() & 0xFF)).append(char(text.size() >> 8));
  return r + text;
}
// A tagged-double record: tag 5, the 8-byte little-endian IEEE double.
QByteArray DoubleRecord(double v) {
  QByteArray r("\x05\x00", 2);
  quint64 bits;
  std::memcpy(&bits, &v, 8);
  for (int i = 0; i < 8; ++i) r.append(char((bits >> (8 * i)) & 0xFF));
  return r;
}
QByteArray Record(const QByteArray& file, int record, int size) { return file.mid((record - 1) * 128, size); }

}  // namespace

class ConfigMenu : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    logPath = dir.file("dlg/log.dlg");
    WriteFile(logPath, DlgBytes(400, 0x0007, 5, 0, [](int r, int j) { return qint16(j + r); }));
    prompt.files.push_back(logPath);
    find<QAction>("mnuload")->trigger();
    ASSERT_EQ(window->LogLoaded, 1);
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
    find<QAction>("mnu5")->trigger();
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

  QString logPath;
};

TEST_F(ConfigMenu, OpensModallyWithThePanelsValuesAndHidesServiceFields) {
  auto* height = find<QLineEdit>("WinHight_0");
  height->setText(QStringLiteral("2000"));
  QTest::keyClick(height, Qt::Key_Return);
  withEditor([&](common::ConfigEditor* e) {
    EXPECT_TRUE(e->isModal());
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Config"));
    EXPECT_EQ(box(e, "Chan1_2")->text(), QStringLiteral("Ch3"));
    EXPECT_FALSE(box(e, "SerialInput")->isVisible());
    EXPECT_FALSE(box(e, "TMPREFH")->isVisible());
    // The editor takes the window heights in use from the panel.
    EXPECT_EQ(window->config().channel[0].WinHight, 2000);
  });
}

TEST_F(ConfigMenu, ServiceKeyShowsTheCompensationFields) {
  QTest::keyClick(find<QLineEdit>("Text2"), Qt::Key_G, Qt::ControlModifier);
  ASSERT_TRUE(window->serviceMode());
  withEditor([&](common::ConfigEditor* e) {
    EXPECT_TRUE(box(e, "SerialInput")->isVisible());
    EXPECT_TRUE(box(e, "TMPK6BL")->isVisible());
  });
}

TEST_F(ConfigMenu, SaveAsWritesTheFileAndRefreshesLabelsTitleAndLogNumber) {
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
  const QByteArray file = FileBytes(cfg);
  ASSERT_GE(file.size(), 70 * 128 + 4);
  EXPECT_EQ(Record(file, 1, 7), TextRecord("Alt"));
  EXPECT_EQ(Record(file, 2, 10), DoubleRecord(-50));
  EXPECT_EQ(Record(file, 3, 10), DoubleRecord(1000.5));
  EXPECT_EQ(Record(file, 4, 6), TextRecord("ft"));
  EXPECT_EQ(Record(file, 5, 10), DoubleRecord(4095));
  EXPECT_EQ(Record(file, 71, 4), QByteArray("\x41\x01\x00\x00", 4));
  EXPECT_EQ(find<QLabel>("lblChannel_0")->text(), QStringLiteral("Alt"));
  EXPECT_EQ(find<QLabel>("Label1_0")->text(), QStringLiteral("ft"));
  EXPECT_EQ(find<QLabel>("Label1_12")->text(), QStringLiteral("Alt"));
  EXPECT_EQ(find<QLabel>("lblChannel_0")->toolTip(), QStringLiteral("CH1: Alt [ft]"));
  EXPECT_EQ(window->windowTitle(), (QStringLiteral("Velkaro  -  ") + logPath + QStringLiteral(" - plane.cfg")).toUpper());
  EXPECT_EQ(window->config().ConfigNumber, 321);
  EXPECT_EQ(window->store().ConfigNumber, 321);
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].title, msg::kFilterCfg);
  EXPECT_EQ(prompt.records[0].text, dir.file("cfg"));
}

TEST_F(ConfigMenu, LoadAppliesWindowHeightsLabelsAndTitle) {
  common::ChannelConfiguration c = window->config();
  c.channel[2].WinHight = 1000;
  c.channel[2].Name = QStringLiteral("Oil");
  c.channel[5].WinHight = 250.5;
  QString e;
  const QString cfg = dir.file("cfg/other.cfg");
  ASSERT_TRUE(common::WriteConfigFile(cfg, c, &e));
  auto* trend = find<trend::PictureBox>("picTrend");
  const quint64 renders = trend->renderCount();
  prompt.files = {cfg};
  withEditor([&](common::ConfigEditor* ed) {
    press(ed, "LoadCfg");
    EXPECT_TRUE(ed->isVisible());  // Load keeps the editor open
    EXPECT_EQ(box(ed, "Chan1_2")->text(), QStringLiteral("Oil"));
  });
  EXPECT_EQ(find<QLineEdit>("WinHight_2")->text(), QStringLiteral("1000"));
  EXPECT_EQ(find<QLineEdit>("WinHight_5")->text(), QStringLiteral("250.5"));
  EXPECT_EQ(window->view().WinHeight[2], 1000);
  EXPECT_EQ(window->view().WinHeight[5], 250.5);
  EXPECT_GT(trend->renderCount(), renders);
  EXPECT_EQ(find<QLabel>("lblChannel_2")->text(), QStringLiteral("Oil"));
  EXPECT_EQ(find<QLabel>("Label1_14")->text(), QStringLiteral("Oil"));
  EXPECT_EQ(window->windowTitle(), (QStringLiteral("Velkaro  -  ") + logPath + QStringLiteral(" - other.cfg")).toUpper());
  EXPECT_FALSE(prompt.busy);
}

TEST_F(ConfigMenu, TempconfSendsTheConstantsTheEditorSaved) {
  QTest::keyClick(find<QLineEdit>("Text2"), Qt::Key_G, Qt::ControlModifier);
  withEditor([&](common::ConfigEditor* e) {
    for (int k = 0; k < common::kCompensationCount; ++k)
      box(e, QLatin1String(common::kCompensationNames[std::size_t(k)]))->setText(QString::number(10 + k));
    box(e, "SerialInput")->setText(QString::number(0x030201));
    press(e, "SaveAsCfg");  // the file dialog is cancelled: the copies stay in effect
    EXPECT_TRUE(e->isVisible());
  });
  EXPECT_EQ(window->compensation[0], 10);
  EXPECT_EQ(window->compensation[17], 27);
  find<QAction>("Tempconf")->trigger();
  for (int i = 0; i < 3000 && prompt.messages().empty(); ++i) QTest::qWait(5);
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_EQ(prompt.messages()[0].text, msg::kCompensationStored);
  QByteArray expected;
  for (int k = 0; k < 18; ++k) expected.append(char(10 + k));
  expected.append("\x01\x02\x03", 3);
  EXPECT_EQ(simulator.compensation(), expected);
}
