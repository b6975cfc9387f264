// The device commands of the menus: parameters, memory clear, read-back.
#include "shell_fixture.h"

#include <QComboBox>

using namespace shelltest;

class DeviceCommands : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    makeWindow();
    prompt.clear();
    channel->clearWritten();
  }
};

TEST_F(DeviceCommands, ParametersDialogSendsMaskAndCodeAndSavesThem) {
  int preselected = -2;
  OnModal(QStringLiteral("Dialog"), [&](QWidget* d) {
    auto* freq = d->findChild<QComboBox*>(QStringLiteral("LOGFREQ"));
    preselected = freq->currentIndex();
    freq->setCurrentIndex(3);  // 25 per second: code 2
    for (int k = 0; k < 12; ++k) d->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(k))->setChecked(k == 8);
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("sendpar")), Qt::LeftButton);
  });
  trigger("mnu02");  // returns when the dialog closed after the third byte
  EXPECT_EQ(preselected, 2);  // the default code 5 is list position 2
  ASSERT_TRUE(waitFor([&] { return !prompt.messages().empty(); }));
  EXPECT_EQ(prompt.messages()[0].text, msg::kParametersStored);
  EXPECT_EQ(channel->written().left(4), QByteArray("\x88\x01\x00\x02", 4));  // channel 9: high byte bit 0
  EXPECT_EQ(window->settings().MaskHighByte, 1);
  EXPECT_EQ(window->settings().LogFreqCode, 2);
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(window->settings()));
}

TEST_F(DeviceCommands, MemoryClearAsksFirstAndCancelSendsNothingReadBackSavesTheBlock) {
  prompt.answers = {common::PromptAnswer::Cancel};
  trigger("Memclear");
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleMemoryClearing + ": " + msg::kClearMemoryQuestion});
  EXPECT_TRUE(channel->written().isEmpty());

  prompt.clear();
  trigger("Memclear");  // unscripted: OK
  ASSERT_TRUE(waitFor([&] { return prompt.messages().size() == 2; }));
  EXPECT_EQ(prompt.messages()[1].text, msg::kParametersStored);
  EXPECT_EQ(quint8(channel->written()[0]), 0x88);

  // The read-back saves the logger's block as a .fsh.
  const QString fsh = dir.file("cfg/block.fsh");
  prompt.files = {fsh};
  trigger("GPread");
  ASSERT_TRUE(waitFor([&] { return QFile::exists(fsh); }));
  EXPECT_EQ(testing_support::FileBytes(fsh), simulator.compensation());
}

// Cancel, Esc and closing the window all stop the send at once: no later byte, no
// echo wait, no call into the dialog after it is gone.
TEST_F(DeviceCommands, LeavingTheParametersDialogMidSendStopsTheSend) {
  const std::pair<const char*, std::function<void(QWidget*)>> ways[] = {
      {"Cancel", [](QWidget* d) { QTest::mouseClick(d->findChild<QPushButton*>("CancelButton"), Qt::LeftButton); }},
      {"Esc", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }},
      {"close", [](QWidget* d) { d->close(); }},
  };
  for (const auto& [name, leave] : ways) {
    SCOPED_TRACE(name);
    channel->clearWritten();
    prompt.clear();
    OnModal(QStringLiteral("Dialog"), [&](QWidget* d) {
      auto* send = d->findChild<QPushButton*>(QStringLiteral("sendpar"));
      QTest::mouseClick(send, Qt::LeftButton);
      QTest::mouseClick(send, Qt::LeftButton);  // a second press adds no command byte
      leave(d);
    });
    trigger("mnu02");
    QTest::qWait(40 * window->link().timings().parameterPacing);  // many pacing intervals
    EXPECT_EQ(channel->written(), QByteArray(1, char(0x88)));
    EXPECT_TRUE(prompt.messages().empty());
    EXPECT_FALSE(prompt.busy);
    EXPECT_FALSE(window->link().replyTimeoutActive());
  }
}
