#include "common/messages.h"
#include "common/portcontrol.h"
#include "common/settings.h"
#include "common/ui/commdialog.h"
#include "support/fake_prompt.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A line that opens or not as the test says.
class StubChannel : public common::ByteChannel {
 public:
  explicit StubChannel(bool fails) : fails_(fails) {}
  bool open(QString* error) override {
    if (fails_) {
      if (error) *error = QStringLiteral("refused");
      return false;
    }
    open_ = true;
    return true;
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  bool writeByte(std::uint8_t) override { return open_; }

 private:
  bool fails_;
  bool open_ = false;
};

using testing_support::FileBytes;

class CommDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.PortNumber = 2;
    settings.DownloadDelay = 9;
    settings.Colours[3] = 0x123456;
    ASSERT_TRUE(testing_support::WriteFileBytes(settingsPath(), hand::Prm(settings)));
    port.setChannelFactory([this](int n, const QString& path) {
      opened.push_back({n, path});
      return std::make_unique<StubChannel>(failing);
    });
  }
  QString settingsPath() const { return dir.file("cfg/init.prm"); }
  void clickOk(common::CommDialog& d) {
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  common::Settings settings;
  common::PortControl port;
  bool failing = false;
  std::vector<std::pair<int, QString>> opened;
};

}  // namespace

TEST_F(CommDialogTest, OpensWithTheCurrentPortAndEachPathAndOkChangesOnlyThePortRecordAndThePortMap) {
  common::CommDialog d(port, settings, settingsPath(), prompt);
  auto* box = d.findChild<QComboBox*>(QStringLiteral("Comport"));
  ASSERT_EQ(box->count(), 5);
  EXPECT_EQ(box->currentIndex(), 2);
  for (int n = 0; n <= 4; ++n) EXPECT_TRUE(box->itemText(n).startsWith(QString::number(n))) << n;
  EXPECT_TRUE(box->itemText(1).contains(common::PortMap().path[1]));
  box->setCurrentIndex(3);
  d.findChild<QComboBox*>(QStringLiteral("PortPath"))->setEditText(QStringLiteral("/dev/pts/42"));
  clickOk(d);
  EXPECT_TRUE(prompt.messages().empty());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(opened, (std::vector<std::pair<int, QString>>{{3, QStringLiteral("/dev/pts/42")}}));
  EXPECT_TRUE(port.isOpen());
  common::Settings expected = settings;
  expected.PortNumber = 3;
  EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(expected));
  EXPECT_EQ(common::ReadPortMap(common::PortMapPathBeside(settingsPath())).path[3], QStringLiteral("/dev/pts/42"));
}

TEST_F(CommDialogTest, PortThatWillNotOpenKeepsTheDialogTheFileAndThePort) {
  failing = true;
  common::CommDialog d(port, settings, settingsPath(), prompt);
  d.show();
  d.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(4);
  clickOk(d);
  EXPECT_EQ(prompt.said(), QStringList{common::msg::kTitleCommPortError + ": " + common::msg::kPortNotAvailable});
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(settings));
  EXPECT_EQ(settings.PortNumber, 2);
  EXPECT_EQ(port.portNumber(), 0);  // the number the port had before OK
}

TEST_F(CommDialogTest, ZeroClosesThePortAndCancelWritesNothing) {
  port.setPortNumber(1);
  QString e;
  ASSERT_TRUE(port.open(&e));
  {
    common::CommDialog d(port, settings, settingsPath(), prompt);
    d.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(2);
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(settings));
    EXPECT_TRUE(port.isOpen());
  }
  common::CommDialog d(port, settings, settingsPath(), prompt);
  d.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(0);
  clickOk(d);
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(quint8(FileBytes(settingsPath())[3 * 128]), 0);
}

TEST_F(CommDialogTest, MeterWriterKeepsTheLoggersLaterRecords) {
  settings.DownloadDelay = 200;  // in memory only: the meter must not write it
  common::CommDialog d(port, settings, settingsPath(), prompt, common::CommDialog::Writer::Meter);
  d.findChild<QComboBox*>(QStringLiteral("Comport"))->setCurrentIndex(1);
  clickOk(d);
  settings.DownloadDelay = 9;
  EXPECT_EQ(FileBytes(settingsPath()), hand::Prm(settings));
}
