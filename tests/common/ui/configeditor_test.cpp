#include "common/ui/configeditor.h"

#include "common/messages.h"
#include "support/fake_prompt.h"
#include "support/test_paths.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using common::PromptAnswer;
using common::PromptButtons;
using common::PromptIcon;
using testing_support::FakePrompt;
using testing_support::ProgramDir;
using testing_support::PromptRecord;

class TestHost : public common::ConfigEditorHost {
 public:
  void refreshLabels() override { ++refreshes; }
  void setTitle(const QString& t) override { titles << t; }
  QString fileDialogName() const override { return fileName; }
  qint32 channelColour(int index) const override { return colours[std::size_t(index)]; }
  QString windowHeightText(int index) const override { return heights[std::size_t(index)]; }
  void applyWindowHeights() override { ++heightApplications; }
  void setLogConfigNumber(qint32 n) override { logNumber = n; }
  qint32 deviceSerialNumber() const override { return device; }

  int refreshes = 0;
  int heightApplications = 0;
  QStringList titles;
  QString fileName = QStringLiteral("/data/dlg/flight.dlg");
  std::array<qint32, 12> colours{0x0000FF, 0xFF0000, 0x10AF10, 0, 0xC0FFFF, 0xFFFFD0,
                                 0xFF00FF, 0x0060DF, 0xD08080, 0x0190FF, 0x80A080, 0x888888};
  std::array<QString, 12> heights;
  qint32 logNumber = -999;
  qint32 device = 0;
};

// The .cfg records, built from the record table: tag, length, value, zero filler.
QByteArray padded(QByteArray value) { return value + QByteArray(128 - value.size(), '\0'); }
QByteArray textRecord(const QByteArray& latin1) {
  QByteArray r("\x08\x00", 2);
  r += char(latin1.size() & 0xFF);
  r += char(latin1.size() >> 8);
  return padded(r + latin1);
}
QByteArray doubleRecord(double v) {
  QByteArray r("\x05\x00", 2);
  char bytes[8];
  std::memcpy(bytes, &v, 8);  // the test machine is little-endian like the file
  return padded(r + QByteArray(bytes, 8));
}
QByteArray int32Bytes(qint32 v) {
  QByteArray r;
  for (int i = 0; i < 4; ++i) r += char((quint32(v) >> (8 * i)) & 0xFF);
  return r;
}

common::ChannelConfiguration startConfig() {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i) {
    auto& ch = c.channel[std::size_t(i)];
    ch.Name = QStringLiteral("Name%1").arg(i + 1);
    ch.Min = -i;
    ch.Max = 100 + i + 0.5;
    ch.Unit = QStringLiteral("U%1").arg(i + 1);
    ch.WinHight = 4095;
  }
  c.ConfigNumber = 1234;
  return c;
}

class ConfigEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config = startConfig();
    for (std::size_t k = 0; k < compensation.size(); ++k) compensation[k] = qint16(10 * k + 5);
    for (int i = 0; i < 12; ++i) host.heights[std::size_t(i)] = QString::number(1000 + i);
  }
  void open(bool service = false, const common::ConfigEditorVariant& variant = common::ConfigEditorVariant::Logger()) {
    editor = std::make_unique<common::ConfigEditor>(config, compensation, host, prompt, dir.path(), service, variant);
    editor->show();
  }
  QLineEdit* box(const QString& name) {
    auto* b = editor->findChild<QLineEdit*>(name);
    EXPECT_NE(b, nullptr) << name.toStdString();
    return b;
  }
  void type(const QString& name, const QString& text) {
    QLineEdit* b = box(name);
    b->selectAll();
    QTest::keyClick(b, Qt::Key_Backspace);
    for (QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(b, char(c.unicode()));
      } else {
        // QTest's key tables know only ASCII: other characters arrive as text-only keys.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(b, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(b, &release);
      }
    }
  }
  void click(const QString& name) {
    auto* b = editor->findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name.toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
  }
  QByteArray fileBytes(const QString& path) { return testing_support::FileBytes(path); }

  ProgramDir dir;
  common::ChannelConfiguration config;
  common::CompensationConstants compensation{};
  TestHost host;
  FakePrompt prompt;
  std::unique_ptr<common::ConfigEditor> editor;
};

TEST_F(ConfigEditorTest, OpensWithTheCurrentConfiguration) {
  host.heights[2] = QStringLiteral("2000abc");
  open();
  EXPECT_EQ(editor->objectName(), QStringLiteral("Config"));
  EXPECT_EQ(editor->windowTitle(), QStringLiteral("Config"));
  EXPECT_TRUE(editor->isModal());
  EXPECT_EQ(box("Chan1_0")->text(), QStringLiteral("Name1"));
  EXPECT_EQ(box("MIN_11")->text(), QStringLiteral("-11"));
  EXPECT_EQ(box("MAX_11")->text(), QStringLiteral("111.5"));
  EXPECT_EQ(box("Unit_6")->text(), QStringLiteral("U7"));
  auto* label = editor->findChild<QLabel*>("Label1_1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("CH2"));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));  // 0xFF0000 is blue
  EXPECT_EQ(editor->findChild<QLabel*>("Label1_0")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  // Window heights come from the channel panel: the number that leads each box.
  EXPECT_DOUBLE_EQ(config.channel[2].WinHight, 2000);
  EXPECT_DOUBLE_EQ(config.channel[11].WinHight, 1011);
  EXPECT_EQ(editor->findChild<QPushButton*>("LoadCfg")->text(), QStringLiteral("Load"));
  EXPECT_EQ(editor->findChild<QPushButton*>("SaveAsCfg")->text(), QStringLiteral("Save as"));
  EXPECT_EQ(editor->findChild<QPushButton*>("CancelButton")->text(), QStringLiteral("Close"));
}

TEST_F(ConfigEditorTest, ServiceFieldsAreFilledButHiddenOutsideServiceMode) {
  open(false);
  for (const char* name : common::kCompensationNames) {
    QLineEdit* b = box(QString::fromLatin1(name));
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->isVisible()) << name;
  }
  EXPECT_EQ(box("TMPREFH")->text(), QStringLiteral("5"));
  EXPECT_EQ(box("TMPK6BL")->text(), QStringLiteral("175"));
  EXPECT_FALSE(box("SerialInput")->isVisible());
  EXPECT_EQ(box("SerialInput")->text(), QStringLiteral("1234"));
  EXPECT_FALSE(editor->findChild<QLabel*>("H")->isVisible());
  EXPECT_TRUE(box("MIN_0")->isVisible());

  editor.reset();
  open(true);
  EXPECT_TRUE(box("TMPK5BH")->isVisible());
  EXPECT_TRUE(box("SerialInput")->isVisible());
  EXPECT_TRUE(editor->findChild<QLabel*>("L")->isVisible());
}

TEST_F(ConfigEditorTest, CloseChangesNothing) {
  open();
  type("Chan1_0", "Other");
  click("CancelButton");
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(editor->result(), QDialog::Rejected);
  EXPECT_EQ(config.channel[0].Name, QStringLiteral("Name1"));
  EXPECT_TRUE(prompt.records.empty());
}

TEST_F(ConfigEditorTest, NonNumericMinStopsEverything) {
  open();
  const common::ChannelConfiguration before = config;
  type("Chan1_0", "Changed");
  type("MIN_2", "1.50");
  click("SaveAsCfg");
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].kind, PromptRecord::Message);
  EXPECT_EQ(prompt.records[0].title, QStringLiteral("Error!"));
  EXPECT_EQ(prompt.records[0].text, QStringLiteral("Non numeric input for CH 3 MIN value!"));
  EXPECT_EQ(prompt.records[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(config, before);
  EXPECT_TRUE(editor->isVisible());
}

TEST_F(ConfigEditorTest, FirstBadFieldInChannelOrderWins) {
  open();
  type("MIN_4", "abc");
  type("MAX_1", "");
  click("SaveAsCfg");
  ASSERT_EQ(prompt.messageTexts(), QStringList{QStringLiteral("Non numeric input for CH 2 MAX value!")});
  prompt.clear();
  type("MAX_1", "7");
  type("MAX_4", "x");  // MIN before MAX within a channel
  click("SaveAsCfg");
  ASSERT_EQ(prompt.messageTexts(), QStringList{QStringLiteral("Non numeric input for CH 5 MIN value!")});
}

TEST_F(ConfigEditorTest, SaveAsWritesTheFileAndCloses) {
  open(true);
  type("Chan1_0", "Oil temp");
  type("MIN_0", "-40");
  type("MAX_0", "150.25");
  type("Unit_0", "degC");
  type("Unit_1", "");
  type("TMPREFH", "0");
  type("TMPK6BL", "255");
  type("SerialInput", "4711");
  const QString path = dir.file("cfg/new.cfg");
  prompt.files.push_back(path);
  click("SaveAsCfg");

  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].kind, PromptRecord::SaveFile);
  EXPECT_EQ(prompt.records[0].title, QStringLiteral("cfg files (*.cfg)|*.cfg"));
  EXPECT_EQ(prompt.records[0].text, dir.file("cfg"));

  QByteArray want;
  for (int i = 0; i < 12; ++i) {
    if (i == 0) {
      want += textRecord("Oil temp") + doubleRecord(-40) + doubleRecord(150.25) + textRecord("degC");
    } else {
      want += textRecord(QStringLiteral("Name%1").arg(i + 1).toLatin1()) + doubleRecord(-i) + doubleRecord(100 + i + 0.5);
      want += textRecord(i == 1 ? QByteArray() : QStringLiteral("U%1").arg(i + 1).toLatin1());
    }
    want += doubleRecord(1000 + i);  // the panel's window heights
  }
  for (int r = 0; r < 10; ++r) want += padded(QByteArray(2, '\0'));
  want += int32Bytes(4711);
  EXPECT_EQ(fileBytes(path), want);

  EXPECT_EQ(config.channel[0].Name, QStringLiteral("Oil temp"));
  EXPECT_EQ(config.ConfigNumber, 4711);
  EXPECT_EQ(host.logNumber, 4711);
  EXPECT_EQ(compensation[0], 0);
  EXPECT_EQ(compensation[17], 255);
  EXPECT_EQ(compensation[1], 15);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(host.titles, QStringList{QStringLiteral("VELKARO  -  /DATA/DLG/FLIGHT.DLG - NEW.CFG")});
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(editor->result(), QDialog::Accepted);
}

TEST_F(ConfigEditorTest, CancelledSaveDialogKeepsTheCopiesAndStaysOpen) {
  open(false);
  type("Chan1_11", "Last");
  type("MAX_11", "9");
  type("TMPK3H", "77");  // hidden, yet copied
  type("SerialInput", "99");
  click("SaveAsCfg");
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].kind, PromptRecord::SaveFile);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(config.channel[11].Name, QStringLiteral("Last"));
  EXPECT_DOUBLE_EQ(config.channel[11].Max, 9);
  EXPECT_EQ(compensation[6], 77);
  EXPECT_EQ(config.ConfigNumber, 99);
  EXPECT_EQ(host.logNumber, 99);
  EXPECT_EQ(host.refreshes, 0);
  EXPECT_TRUE(host.titles.isEmpty());
}

TEST_F(ConfigEditorTest, SerialBoxWithoutANumberGivesZero) {
  open(true);
  type("SerialInput", "x12");
  click("SaveAsCfg");
  EXPECT_EQ(config.ConfigNumber, 0);
  type("SerialInput", "12.5");
  click("SaveAsCfg");
  EXPECT_EQ(config.ConfigNumber, 12);  // halves to even
}

TEST_F(ConfigEditorTest, DeclinedOverwriteKeepsTheFileButRefreshesAndCloses) {
  for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Cancel}) {
    const QString path = dir.file("cfg/old.cfg");
    ASSERT_TRUE(testing_support::WriteFileBytes(path, "old contents"));
    prompt.clear();
    host.titles.clear();
    host.refreshes = 0;
    open();
    type("Chan1_0", "Edited");
    prompt.files.push_back(path);
    prompt.answers.push_back(answer);
    click("SaveAsCfg");
    const auto msgs = prompt.messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].title, QStringLiteral("Config"));
    EXPECT_EQ(msgs[0].text, QStringLiteral("Config file '") + path + QStringLiteral("' exist. Are you sure, you want to save?"));
    EXPECT_EQ(msgs[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(msgs[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(msgs[1].title, QStringLiteral("Config"));
    EXPECT_EQ(msgs[1].text, QStringLiteral("Configuration not stored"));
    EXPECT_EQ(msgs[1].buttons, PromptButtons::Ok);
    EXPECT_EQ(fileBytes(path), QByteArray("old contents"));
    EXPECT_EQ(config.channel[0].Name, QStringLiteral("Edited"));
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.titles, QStringList{QStringLiteral("VELKARO  -  /DATA/DLG/FLIGHT.DLG - OLD.CFG")});
    EXPECT_FALSE(editor->isVisible());
  }
}

TEST_F(ConfigEditorTest, AcceptedOverwriteWritesWithoutTruncating) {
  const QString path = dir.file("cfg/old.cfg");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(9000, 'T')));  // longer than a configuration
  open();
  prompt.files.push_back(path);
  prompt.answers.push_back(PromptAnswer::Yes);
  click("SaveAsCfg");
  EXPECT_EQ(prompt.messages().size(), 1u);
  const QByteArray got = fileBytes(path);
  ASSERT_EQ(got.size(), 9000);
  EXPECT_EQ(got.left(128), textRecord("Name1"));
  EXPECT_EQ(got.mid(70 * 128, 4), int32Bytes(1234));
  EXPECT_EQ(got.mid(70 * 128 + 4), QByteArray(9000 - 70 * 128 - 4, 'T'));
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(ConfigEditorTest, LoadShowsTheFileAndStaysOpen) {
  common::ChannelConfiguration other = startConfig();
  other.channel[3].Name = QStringLiteral("Loaded");
  other.channel[3].Min = 0.1;
  other.channel[3].WinHight = 512;
  other.ConfigNumber = 77;
  const QString path = dir.file("cfg/77.cfg");
  ASSERT_TRUE(common::WriteConfigFile(path, other, nullptr));

  open(true);
  prompt.files.push_back(path);
  click("LoadCfg");
  ASSERT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(prompt.records[0].kind, PromptRecord::OpenFile);
  EXPECT_EQ(prompt.records[0].title, QStringLiteral("cfg files (*.cfg)|*.cfg"));
  EXPECT_EQ(prompt.records[0].text, dir.file("cfg"));
  EXPECT_FALSE(prompt.busy);
  EXPECT_GE(prompt.busyChanges, 2);
  EXPECT_EQ(config.channel[3].Name, QStringLiteral("Loaded"));
  EXPECT_EQ(config.ConfigNumber, 77);
  EXPECT_EQ(box("Chan1_3")->text(), QStringLiteral("Loaded"));
  EXPECT_EQ(box("MIN_3")->text(), QStringLiteral("0.1"));
  EXPECT_EQ(box("SerialInput")->text(), QStringLiteral("77"));
  EXPECT_EQ(host.heightApplications, 1);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(host.titles, QStringList{QStringLiteral("VELKARO  -  /DATA/DLG/FLIGHT.DLG - 77.CFG")});
  EXPECT_TRUE(editor->isVisible());
}

TEST_F(ConfigEditorTest, DamagedOrCancelledLoadChangesNothing) {
  const QString path = dir.file("cfg/short.cfg");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, QByteArray(500, '\0')));
  open();
  const common::ChannelConfiguration before = config;
  type("Chan1_0", "Typed");
  prompt.files.push_back(path);
  click("LoadCfg");
  const auto msgs = prompt.messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].title, QStringLiteral("Error"));
  EXPECT_TRUE(msgs[0].text.contains(path)) << msgs[0].text.toStdString();
  EXPECT_EQ(config, before);
  EXPECT_EQ(box("Chan1_0")->text(), QStringLiteral("Typed"));
  EXPECT_EQ(host.refreshes, 0);
  EXPECT_TRUE(host.titles.isEmpty());
  EXPECT_FALSE(prompt.busy);

  prompt.clear();
  click("LoadCfg");  // no file chosen
  EXPECT_EQ(prompt.records.size(), 1u);
  EXPECT_EQ(config, before);
  EXPECT_TRUE(editor->isVisible());
}

TEST_F(ConfigEditorTest, BoxesKeepWhatTheFileCanStore) {
  open(true);
  QLineEdit* name = box("Chan1_0");
  EXPECT_EQ(name->maxLength(), 124);
  EXPECT_EQ(box("Unit_11")->maxLength(), 124);
  type("Chan1_0", QString(130, QLatin1Char('a')));
  EXPECT_EQ(name->text().size(), 124);
  type("Unit_0", QStringLiteral("m\u00b3/s \u20ac"));  // the euro sign is not Latin-1
  EXPECT_EQ(box("Unit_0")->text(), QStringLiteral("m\u00b3/s "));

  prompt.files.push_back(dir.file("cfg/long.cfg"));
  click("SaveAsCfg");
  const QByteArray got = fileBytes(dir.file("cfg/long.cfg"));
  ASSERT_EQ(got.size(), 70 * 128 + 4);
  EXPECT_EQ(got.left(128), textRecord(QByteArray(124, 'a')));
  EXPECT_EQ(got.mid(3 * 128, 128), textRecord("m\xb3/s "));
}

TEST_F(ConfigEditorTest, MeterVariant) {
  host.device = 12345;
  config.channel[0].WinHight = 333;
  open(true, common::ConfigEditorVariant::Meter());
  // Six compensation rows, hidden although the service flag is set.
  for (const char* name : {"TMPREFH", "TMPREFL", "TMPK2H", "TMPK2L", "TMPK6H", "TMPK6L"}) {
    QLineEdit* b = box(QString::fromLatin1(name));
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->isVisible());
  }
  for (const char* name : {"TMPREFBH", "TMPREFBL", "TMPK5BH", "TMPK6BL"})
    EXPECT_EQ(editor->findChild<QLineEdit*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_FALSE(box("SerialInput")->isVisible());
  EXPECT_DOUBLE_EQ(config.channel[0].WinHight, 333);  // no channel panel in the meter

  type("TMPREFH", "5");
  type("SerialInput", "4711");
  type("Chan1_0", "Meter name");
  const QString path = dir.file("cfg/12345.cfg");
  prompt.files.push_back(path);
  click("SaveAsCfg");
  EXPECT_EQ(compensation[0], 5);  // not copied
  EXPECT_EQ(config.ConfigNumber, 1234);
  EXPECT_EQ(host.logNumber, -999);
  const QByteArray got = fileBytes(path);
  ASSERT_EQ(got.size(), 70 * 128 + 4);
  EXPECT_EQ(got.left(128), textRecord("Meter name"));
  EXPECT_EQ(got.mid(4 * 128, 128), doubleRecord(333));
  EXPECT_EQ(got.mid(70 * 128), int32Bytes(12345));  // the connected logger's number
  EXPECT_EQ(host.titles, QStringList{QStringLiteral("VELKARO  -  /DATA/DLG/FLIGHT.DLG - 12345.CFG")});
  EXPECT_FALSE(editor->isVisible());

  host.titles.clear();
  open(true, common::ConfigEditorVariant::Meter());
  prompt.files.push_back(path);
  click("LoadCfg");
  EXPECT_EQ(host.titles, QStringList{QStringLiteral("METER  - 12345.CFG")});
  EXPECT_EQ(config.ConfigNumber, 12345);
  EXPECT_EQ(box("Chan1_0")->text(), QStringLiteral("Meter name"));
  EXPECT_TRUE(editor->isVisible());
}

TEST_F(ConfigEditorTest, FilesOutsideTheCfgFolderKeepTheirFullPath) {
  open();
  EXPECT_EQ(editor->configDisplayName(dir.file("cfg/sub/a.cfg")), QStringLiteral("sub/a.cfg"));
  EXPECT_EQ(editor->configDisplayName(QStringLiteral("/elsewhere/b.cfg")), QStringLiteral("/elsewhere/b.cfg"));
}

// Each compensation box is one byte on the line: Save as refuses anything but 0 to 255,
// naming the box, before it copies or asks for a file.
TEST_F(ConfigEditorTest, CompensationBoxesOutsideOneByteAreRefused) {
  const std::pair<const char*, int> cases[] = {{"256", -1}, {"-1", -1}, {"32767", -1}, {"0", 0}, {"255", 255}, {"", 0}};
  for (const auto& [text, stored] : cases) {
    SCOPED_TRACE(text);
    prompt.clear();
    compensation[4] = 7;
    open(true);
    type("TMPK2H", QLatin1String(text));
    type("Chan1_0", "Changed");
    click("SaveAsCfg");  // the save dialog, if it comes, is cancelled
    ASSERT_EQ(prompt.records.size(), 1u);
    if (stored < 0) {
      EXPECT_EQ(prompt.records[0].title, QStringLiteral("Error!"));
      EXPECT_EQ(prompt.records[0].text, common::msg::CompensationRange(QStringLiteral("TMPK2H")));
      EXPECT_EQ(compensation[4], 7);
      EXPECT_EQ(config.channel[0].Name, QStringLiteral("Name1"));
    } else {
      EXPECT_EQ(prompt.records[0].kind, PromptRecord::SaveFile);
      EXPECT_EQ(compensation[4], stored);
    }
    config = startConfig();
  }
}

}  // namespace
