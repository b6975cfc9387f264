// "&Download" on the main window: the dialog, the status words, the save and the load.
#include "shell_fixture.h"

#include <QRadioButton>

using namespace shelltest;

class DownloadRoad : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    simulator.setFlightSeconds(20);
    simulator.setLogging(0x03, 0x00, 5);
    makeWindow();
    ASSERT_TRUE(window->port().isOpen());
    prompt.clear();
  }
  // Menu "&Download", the dialog answered with a delay of 7. (The raw-image option's
  // bytes: the download suite.)
  void startDownload() {
    OnModal(QStringLiteral("Downl"), [](QWidget* d) {
      d->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("7"));
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("DownLBp")), Qt::LeftButton);
    });
    trigger("mnu4");
  }
  // The road ends in one of the final status words, or with the .dlg loaded.
  bool waitForEnd() {
    return waitFor([&] {
      const QString s = text("Text2");
      return (s == msg::kStatusNoData || s == msg::kStatusFault || s == msg::kStatusReady) && !prompt.busy;
    });
  }
};

// The save dialog cancelled: the samples stay, unsaved and not shown. While the dialog
// waits, the label gives the decoded count and the kept file. (Failed streams: the
// download suite.)
TEST_F(DownloadRoad, AnUnsavedAndASavedDownload) {
  const QString title = window->windowTitle();
  const qint64 sentBefore = simulator.bytesSent();
  QString label;
  prompt.onPrompt = [&](const testing_support::PromptRecord&) { label = find<QLabel>("DownloadBytes")->text(); };
  startDownload();
  ASSERT_TRUE(waitForEnd());
  prompt.onPrompt = nullptr;
  EXPECT_EQ(text("Text2"), msg::kStatusReady);
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  EXPECT_FALSE(window->session().loaded());
  EXPECT_EQ(window->windowTitle(), title);
  EXPECT_EQ(label, msg::DownloadProgress(simulator.bytesSent() - sentBefore - 1, simulator.log().sampleCount()) +
                       ", " + msg::DownloadKept(QStringLiteral("dlg/last-download.dlt"),
                                                QFileInfo(dir.file("dlg/last-download.dlt")).size()));
  EXPECT_TRUE(QFileInfo::exists(dir.file("dlg/last-download.dlt")));
  window->Update_Full_Data();  // safe over the replaced store
  window->Update_Data_Window();

  // Saved under a name typed without extension: it gets the filter's, and the overwrite
  // question names that file. Then the log is loaded.
  const QString typed = dir.file("dlg/flight1");
  WriteFile(typed + ".dlg", QByteArray("old"));
  prompt.clear();
  prompt.files = {typed};
  prompt.answers = {common::PromptAnswer::Yes};
  startDownload();
  EXPECT_EQ(text("Text2"), msg::kStatusLoading);
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(simulator.lastDelay(), 7);
  ASSERT_GE(prompt.messages().size(), 1u);  // then the log's missing 4711.cfg
  EXPECT_EQ(prompt.messages()[0].text, msg::FileExistsQuestion(typed + ".dlg"));
  EXPECT_FALSE(QFileInfo::exists(typed));
  EXPECT_TRUE(window->session().loaded());
  EXPECT_EQ(window->store().LoadedLogFile, typed + ".dlg");
  EXPECT_EQ(window->store().ChannelMask, 0x0003);
  EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" - 4711.CFG")));
  EXPECT_GT(prompt.beeps, 0);
}

TEST_F(DownloadRoad, CancelSendsNothingADelayOutsideTheRangeIsRefusedFractionsCutAndTheRawImageKept) {
  channel->clearWritten();
  OnModal(QStringLiteral("Downl"), [&](QWidget* d) {
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("CancelBp")), Qt::LeftButton);
  });
  trigger("mnu4");
  EXPECT_TRUE(channel->written().isEmpty());
  EXPECT_TRUE(text("Text2").isEmpty());

  bool stillOpen = false;
  OnModal(QStringLiteral("Downl"), [&](QWidget* d) {
    auto* box = d->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* go = d->findChild<QPushButton*>(QStringLiteral("DownLBp"));
    for (const char* bad : {"0", "256", "abc"}) {
      box->setText(QLatin1String(bad));
      QTest::mouseClick(go, Qt::LeftButton);
    }
    stillOpen = d->isVisible();
    box->setText(QStringLiteral("12.7"));
    QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("Option1")), Qt::LeftButton);  // and the raw image
    QTest::mouseClick(go, Qt::LeftButton);
  });
  const QString dlt = dir.file("dlg/img.dlt");
  prompt.files = {dlt};
  trigger("mnu4");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(prompt.said().mid(0, 3), QStringList(3, msg::kTitleError + ": " + msg::kDelayRange));
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(simulator.lastDelay(), 12);
  EXPECT_EQ(testing_support::FileBytes(dlt), simulator.image());
  // Record 5 of the settings file holds the delay.
  EXPECT_EQ(window->settings().DownloadDelay, 12);
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(window->settings()));
}

// While a download runs, a second download and every other device command are refused
// with one message and send nothing; the running download ends with its own log.
TEST_F(DownloadRoad, CommandsDuringADownloadAreRefused) {
  channel->clearWritten();
  startDownload();
  ASSERT_EQ(text("Text2"), msg::kStatusLoading);
  for (const char* name : {"mnu4", "mnu02", "Memclear", "Tempconf", "GPread"}) {
    SCOPED_TRACE(name);
    prompt.clear();
    // Should a dialog open after all, it is closed so that the failure shows.
    QTimer::singleShot(500, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    trigger(name);
    EXPECT_EQ(prompt.said(), QStringList{msg::kTitleStatus + ": " + msg::kDownloadRunning});
  }
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(channel->written(), QByteArray::fromHex("4007"));
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  EXPECT_EQ(window->store().ChannelMask, 0x0003);
}
