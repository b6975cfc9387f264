#include "common/messages.h"
#include "common/portcontrol.h"
#include "common/settings.h"
#include "common/ui/commdialog.h"
#include "support/fake_prompt.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"
#include "tools/sim/simchannel.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using testing_support::FileBytes;

// Every port is a line to the simulator that opens or not as the test says.
class CommDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.PortNumber = 2;
    settings.DownloadDelay = 9;
    settings.Colours[3] = 0x123456;
    ASSERT_TRUE(testing_support::WriteFileBytes(settingsPath(), hand::Prm(settings)));
    port.setChannelFactory([this](int n, const QString& path) {
      opened.push_back({n, path});
      auto channel = std::make_unique<sim::SimChannel>(simulator);
      channel->setOpenFails(failing);
      return channel;
    });
  }
  QString settingsPath() const { return dir.file("cfg/init.prm"); }
  void click(common::CommDialog& d, const char* button) {
    QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  sim::Simulator simulator;
  common::Settings settings;
  common::PortControl port;
  bool failing = false;
  std::vector<std::pair<int, QString>> opened;
};

}  // namespace

TEST_F(CommDialogTest, OpensWithTheCurrentPortAndEachPathOkChangesOnlyThePortRecordAndThePortMapZeroCloses) {
  common::CommDialog d(port, settings, settingsPath(), prompt);
  auto* box = d.findChild<QComboBox*>(QStringLiteral("Comport"));
  ASSERT_EQ(box->count(), 5);
  EXPECT_EQ(box->currentIndex(), 2);
  box->setCurrentIndex(3);
  d.findChild<QComboBox*>(QStringLiteral("PortPath"))->setEditText(QStringLiteral("/dev/pts/42"));
  click(d, "OKButton");
  EXPECT_TRUE(prompt.messages().empty());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(opened, (std::vector<std::pair<int, QString>>{{3, QStringLiteral("/dev/pts/42")}}));
  EXPECT_TRUE(port.isOpen());
  common::Settings expected = settings;
  expected.PortNumber = 3;
  EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(expected));
  EXPECT_EQ(common::ReadPortMap(common::PortMapPathBeside(settingsPath())).path[3], QStringLiteral("/dev/pts/42"));

  // Port 0 closes the port.
  common::CommDialog zero(port, settings, settingsPath(), prompt);
  zero.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(0);
  click(zero, "OKButton");
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(quint8(FileBytes(settingsPath())[3 * 128]), 0);
}

TEST_F(CommDialogTest, PortThatWillNotOpenKeepsTheDialogTheFileAndThePort) {
  failing = true;
  common::CommDialog d(port, settings, settingsPath(), prompt);
  d.show();
  d.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(4);
  click(d, "OKButton");
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleCommPortError + ": " + common::msg::kPortNotAvailable});
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(settings));
  EXPECT_EQ(settings.PortNumber, 2);
  EXPECT_EQ(port.portNumber(), 0);  // the number the port had before OK
}
