// The configuration editor on a host that records what the editor asks of it.
#include "common/ui/configeditor.h"

#include "common/messages.h"
#include "support/fake_prompt.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

namespace msg = common::msg;
using common::PromptAnswer;
using testing_support::FileBytes;
using testing_support::WriteFileBytes;

class TestHost : public common::ConfigEditorHost {
 public:
  void refreshLabels() override { ++refreshes; }
  void setTitle(const QString& t) override { titles << t; }
  QString fileDialogName() const override { return QStringLiteral("/data/dlg/flight.dlg"); }
  qint32 channelColour(int index) const override { return index == 1 ? 0xFF0000 : 0x10AF10; }
  QString windowHeightText(int index) const override { return heights[std::size_t(index)]; }
  void applyWindowHeights() override {}
  void setLogConfigNumber(qint32 n) override { logNumber = n; }
  qint32 deviceSerialNumber() const override { return 12345; }

  int refreshes = 0;
  QStringList titles;
  std::array<QString, 12> heights;
  qint32 logNumber = -999;
};

// Opened in the logger, the editor takes the window heights from the panel's boxes (1000 + i).
common::ChannelConfiguration startConfig(bool panelHeights = false) {
  common::ChannelConfiguration c;
  for (int i = 0; i < 12; ++i)
    c.channel[std::size_t(i)] = {QStringLiteral("Name%1").arg(i + 1), double(-i), 100 + i + 0.5,
                                 QStringLiteral("U%1").arg(i + 1), panelHeights ? 1000.0 + i : 4095.0};
  c.ConfigNumber = 1234;
  return c;
}

class ConfigEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config = startConfig();
    for (std::size_t k = 0; k < compensation.size(); ++k) compensation[k] = qint16(10 * k + 5);
    for (int i = 0; i < 12; ++i) host.heights[std::size_t(i)] = QString::number(1000 + i) + QStringLiteral(" px");
  }
  void open(bool service = false, const common::ConfigEditorVariant& variant = common::ConfigEditorVariant::Logger()) {
    editor = std::make_unique<common::ConfigEditor>(config, compensation, host, prompt, dir.path(), service, variant);
    editor->show();
  }
  QLineEdit* box(const QString& name) { return editor->findChild<QLineEdit*>(name); }
  // Typed key by key, so that validators and length limits apply (text-only keys: QTest knows ASCII).
  void type(const QString& name, const QString& text) {
    QLineEdit* b = box(name);
    b->selectAll();
    QTest::keyClick(b, Qt::Key_Backspace);
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(b, &press);
    }
  }
  void click(const char* name) { QTest::mouseClick(editor->findChild<QPushButton*>(name), Qt::LeftButton); }

  testing_support::ProgramDir dir;
  common::ChannelConfiguration config;
  common::CompensationConstants compensation{};
  TestHost host;
  testing_support::FakePrompt prompt;
  std::unique_ptr<common::ConfigEditor> editor;
};

TEST_F(ConfigEditorTest, OpensWithTheConfigurationCloseChangesNothingAndTheFirstNonNumericFieldStopsTheSave) {
  open();
  const std::pair<const char*, const char*> boxes[] = {
      {"Chan1_0", "Name1"}, {"MAX_11", "111.5"}, {"Unit_6", "U7"}, {"TMPREFH", "5"}, {"TMPK6BL", "175"}};
  for (auto [name, text] : boxes) EXPECT_EQ(box(name)->text(), QLatin1String(text)) << name;
  EXPECT_EQ(editor->findChild<QLabel*>("Label1_1")->palette().color(QPalette::WindowText), QColor(0, 0, 255));  // 0xFF0000
  type("Chan1_0", "Other");
  click("CancelButton");
  EXPECT_EQ(editor->result(), QDialog::Rejected);
  EXPECT_EQ(config, startConfig(true));
  EXPECT_TRUE(prompt.records.empty());
  const struct {
    std::vector<std::pair<const char*, const char*>> typed;
    QString message;
  } cases[] = {
      {{{"Chan1_0", "Changed"}, {"MIN_2", "1.50"}}, msg::NonNumericMin(3)},
      {{{"MIN_4", "abc"}, {"MAX_1", ""}}, msg::NonNumericMax(2)},
      {{{"MAX_4", "x"}, {"MIN_4", "x"}}, msg::NonNumericMin(5)},  // MIN before MAX
  };
  for (const auto& c : cases) {
    prompt.clear();
    open();
    for (auto [name, text] : c.typed) type(name, text);
    click("SaveAsCfg");
    EXPECT_EQ(prompt.said(), QStringList{msg::kTitleErrorBang + ": " + c.message});
    EXPECT_EQ(config, startConfig(true));
    EXPECT_TRUE(editor->isVisible());
  }
}

// The boxes keep what the file can store: 124 Latin-1 characters. An existing file is overwritten
// only after Yes; declined or not, the edits stay in force, the owner shows them, the editor closes.
TEST_F(ConfigEditorTest, SaveAsAsksBeforeAnOverwriteAndKeepsTheEditsEitherWay) {
  const QByteArray old("old");
  using Answer = std::optional<PromptAnswer>;
  for (const Answer& answer : {Answer(), Answer(PromptAnswer::No), Answer(PromptAnswer::Yes)}) {
    SCOPED_TRACE(answer ? int(*answer) : -1);
    const QString path = dir.file(answer ? "cfg/old.cfg" : "cfg/new.cfg");
    ASSERT_TRUE(!answer || WriteFileBytes(path, old));
    prompt.clear();
    host.titles.clear();
    config = startConfig();
    open();
    type("Chan1_2", QString(130, QLatin1Char('a')));
    type("Unit_11", QStringLiteral("m\u00b3/s \u20ac"));  // the euro sign is not Latin-1
    prompt.files.push_back(path);
    if (answer) prompt.answers.push_back(*answer);
    click("SaveAsCfg");
    EXPECT_EQ(prompt.records[0].title + " " + prompt.records[0].text, msg::kFilterCfg + " " + dir.file("cfg"));
    QStringList said;
    if (answer) said << msg::kTitleConfig + ": " + msg::ConfigExistsQuestion(path);
    if (answer && *answer != PromptAnswer::Yes) said << msg::kTitleConfig + ": " + msg::kConfigurationNotStored;
    EXPECT_EQ(prompt.said(), said);
    common::ChannelConfiguration expected = startConfig(true);
    expected.channel[2].Name = QString(124, QLatin1Char('a'));
    expected.channel[11].Unit = QStringLiteral("m\u00b3/s ");
    EXPECT_EQ(FileBytes(path), !answer || *answer == PromptAnswer::Yes ? hand::Cfg(expected) : old);
    EXPECT_EQ(config, expected);
    EXPECT_EQ(host.titles, QStringList{msg::MainTitle(host.fileDialogName(), QFileInfo(path).fileName())});
    EXPECT_EQ(editor->result(), QDialog::Accepted);
  }
}

// A damaged file is named in the message and a cancelled dialog does nothing: the
// configuration and the boxes stay. A good file fills the boxes.
TEST_F(ConfigEditorTest, LoadFillsTheBoxesAndADamagedOrCancelledOneChangesNothing) {
  ASSERT_TRUE(WriteFileBytes(dir.file("cfg/short.cfg"), QByteArray(500, '\0')));
  common::ChannelConfiguration other = startConfig();
  other.channel[3] = {QStringLiteral("Loaded"), 0.1, 7, QStringLiteral("bar"), 512};
  other.ConfigNumber = 77;
  ASSERT_TRUE(WriteFileBytes(dir.file("cfg/77.cfg"), hand::Cfg(other)));
  open(true);
  type("Chan1_0", "Typed");
  prompt.files = {dir.file("cfg/short.cfg"), QString(), dir.file("cfg/77.cfg")};
  click("LoadCfg");
  click("LoadCfg");
  ASSERT_EQ(prompt.messages().size(), 1u);
  EXPECT_TRUE(prompt.messages()[0].text.contains(dir.file("cfg/short.cfg")));
  EXPECT_EQ(config, startConfig(true));
  EXPECT_EQ(box("Chan1_0")->text(), QStringLiteral("Typed"));
  EXPECT_EQ(host.refreshes, 0);
  click("LoadCfg");
  for (int i = 0; i < 12; ++i) other.channel[std::size_t(i)].WinHight = 1000 + i;  // the panel's, kept by the host
  EXPECT_EQ(config, other);
  EXPECT_EQ(QStringList({box("MIN_3")->text(), box("SerialInput")->text()}), QStringList({"0.1", "77"}));
}

// The meter's editor: six compensation rows, hidden even in service mode, and neither they nor
// the serial box are copied; no channel panel gives window heights.
TEST_F(ConfigEditorTest, MeterVariant) {
  config.channel[0].WinHight = 333;
  open(true, common::ConfigEditorVariant::Meter());
  for (const char* name : {"TMPREFH", "TMPREFL", "TMPK2H", "TMPK2L", "TMPK6H", "TMPK6L"})
    EXPECT_FALSE(box(QString::fromLatin1(name))->isVisible()) << name;
  type("TMPREFH", "6");
  type("SerialInput", "4711");
  const QString path = dir.file("cfg/12345.cfg");
  prompt.files = {path, path};
  click("SaveAsCfg");
  EXPECT_EQ(std::tuple(compensation[0], config.ConfigNumber, host.logNumber), std::tuple(qint16(5), 1234, -999));
  EXPECT_DOUBLE_EQ(config.channel[0].WinHight, 333);
  open(true, common::ConfigEditorVariant::Meter());
  click("LoadCfg");
  EXPECT_EQ(host.titles, QStringList({msg::MainTitle(host.fileDialogName(), "12345.cfg"),
                                      msg::MeterConfigTitle("12345.cfg")}));
  EXPECT_EQ(config.ConfigNumber, 12345);
}

// Save as checks each compensation box (one byte on the line) before it copies or asks for a
// file; the copies, the serial number among them, stay when the dialog is cancelled.
TEST_F(ConfigEditorTest, BoxesCopiedBeforeTheSaveDialogAndCompensationOutsideOneByteRefused) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"TMPK2H", "256", -1}, {"TMPK2H", "-1", -1}, {"TMPK2H", "32767", -1}, {"TMPK2H", "0", 0}, {"TMPK2H", "255", 255},
      {"TMPK2H", "", 0},     {"TMPK3H", "77", 77},  // hidden, yet copied
      // A serial box without a number gives 0; halves go to the even neighbour.
      {"SerialInput", "x12", 0}, {"SerialInput", "12.5", 12}, {"SerialInput", "13.5", 14}};
  for (const auto& [name, text, stored] : cases) {
    SCOPED_TRACE(std::string(name) + " " + text);
    prompt.clear();
    config = startConfig();
    compensation[4] = 7;
    open(QLatin1String(name) == "TMPK2H");
    type(name, QLatin1String(text));
    type("Chan1_0", "Changed");
    click("SaveAsCfg");  // the save dialog, if it comes, is cancelled
    ASSERT_EQ(prompt.records.size(), 1u);
    if (stored < 0) {
      EXPECT_EQ(prompt.said(), QStringList{msg::kTitleErrorBang + ": " + msg::CompensationRange("TMPK2H")});
      EXPECT_EQ(compensation[4], 7);
      EXPECT_EQ(config.channel[0].Name, QStringLiteral("Name1"));
      continue;
    }
    EXPECT_EQ(prompt.records[0].kind, testing_support::PromptRecord::SaveFile);
    EXPECT_EQ(config.channel[0].Name, QStringLiteral("Changed"));
    if (QLatin1String(name) == "SerialInput")
      EXPECT_EQ(std::pair(config.ConfigNumber, host.logNumber), std::pair(stored, stored));
    else
      EXPECT_EQ(compensation[QLatin1String(name) == "TMPK2H" ? 4 : 6], stored);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(host.refreshes + host.titles.size(), 0);
  }
}

}  // namespace
