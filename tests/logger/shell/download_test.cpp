#include "common/messages.h"
#include "shell_fixture.h"

#include <QAction>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace shelltest;
namespace msg = common::msg;

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
  // Menu "&Download", the dialog answered with `delay` (and the raw-image option).
  void startDownload(const QString& delay = QStringLiteral("7"), bool raw = false) {
    OnModal(QStringLiteral("Downl"), [=](QWidget* d) {
      auto* box = d->findChild<QLineEdit*>(QStringLiteral("Text1"));
      box->setText(delay);
      if (raw) QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("Option1")), Qt::LeftButton);
      QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("DownLBp")), Qt::LeftButton);
    });
    find<QAction>("mnu4")->trigger();
  }
  QString status() { return find<QLineEdit>("Text2")->text(); }
  // The road ends in one of the final status words, or with the .dlg loaded.
  bool waitForEnd() {
    for (int i = 0; i < 4000; ++i) {
      QTest::qWait(5);
      const QString s = status();
      if ((s == msg::kStatusNoData || s == msg::kStatusFault || s == msg::kStatusReady) && !prompt.busy) return true;
    }
    return false;
  }
};

TEST_F(DownloadRoad, DownloadSaveAndReloadShowsTheNewLog) {
  const QString dlg = dir.file("dlg/new.dlg");
  prompt.files = {dlg};
  startDownload();
  EXPECT_EQ(status(), msg::kStatusLoading);
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(simulator.lastDelay(), 7);
  EXPECT_EQ(status(), msg::kStatusReady);
  EXPECT_EQ(window->LogLoaded, 1);
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  EXPECT_EQ(window->store().ChannelMask, 0x0003);
  EXPECT_EQ(window->store().LoadedLogFile, dlg);
  EXPECT_TRUE(QFileInfo::exists(dlg));
  EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" - 4711.CFG")));
  EXPECT_GT(prompt.beeps, 0);
}

TEST_F(DownloadRoad, AFailedDownloadShowsItsWordAndLoadsNothing) {
  simulator.setFaults({.evenEndRun = true});
  startDownload();
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(status(), msg::kStatusFault);
  EXPECT_EQ(window->store().SampleCount, 0);
  EXPECT_EQ(window->LogLoaded, 0);
  EXPECT_TRUE(prompt.messages().empty());
}

TEST_F(DownloadRoad, CancelledSaveKeepsTheLogWithoutRefresh) {
  const QString title = window->windowTitle();
  startDownload();  // no file scripted: the save dialog is cancelled
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(status(), msg::kStatusReady);
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  EXPECT_EQ(window->LogLoaded, 0);
  EXPECT_EQ(window->windowTitle(), title);
  // The window can still be redrawn safely over the replaced store.
  window->Update_Full_Data();
  window->Update_Data_Window();
}

TEST_F(DownloadRoad, DelayOutsideTheRangeIsRefusedAndFractionsCut) {
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
    QTest::mouseClick(go, Qt::LeftButton);
  });
  find<QAction>("mnu4")->trigger();
  EXPECT_TRUE(stillOpen);
  ASSERT_GE(prompt.messages().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(prompt.messages()[std::size_t(i)].title, msg::kTitleError);
    EXPECT_EQ(prompt.messages()[std::size_t(i)].text, msg::kDelayRange);
  }
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(simulator.lastDelay(), 12);
  // Record 5 of the settings file holds the delay.
  common::Settings saved = window->settings();
  EXPECT_EQ(saved.DownloadDelay, 12);
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(saved));
}

TEST_F(DownloadRoad, CancelSendsNothing) {
  channel->clearWritten();
  OnModal(QStringLiteral("Downl"), [&](QWidget* d) {
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("CancelBp")), Qt::LeftButton);
  });
  find<QAction>("mnu4")->trigger();
  EXPECT_TRUE(channel->written().isEmpty());
  EXPECT_TRUE(status().isEmpty());
}

TEST_F(DownloadRoad, RawImageOptionWritesTheDlt) {
  const QString dlt = dir.file("dlg/img.dlt");
  prompt.files = {dlt, dir.file("dlg/img.dlg")};
  startDownload(QStringLiteral("3"), true);
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(testing_support::FileBytes(dlt), simulator.image());  // unstuffed, bytes 0..3 clear
  EXPECT_EQ(window->LogLoaded, 1);
}

// While a download runs, a second download and every other device command are refused
// with one message and send nothing; the running download ends with its own log.
TEST_F(DownloadRoad, CommandsDuringADownloadAreRefused) {
  channel->clearWritten();
  startDownload();
  ASSERT_EQ(status(), msg::kStatusLoading);
  const char* actions[] = {"mnu4", "mnu02", "Memclear", "Tempconf", "GPread"};
  for (const char* name : actions) {
    SCOPED_TRACE(name);
    prompt.clear();
    // Should a dialog open after all, it is closed so that the failure shows.
    QTimer::singleShot(500, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    find<QAction>(name)->trigger();
    ASSERT_EQ(prompt.messages().size(), 1u);
    EXPECT_EQ(prompt.messages()[0].title, msg::kTitleStatus);
    EXPECT_EQ(prompt.messages()[0].text, msg::kDownloadRunning);
  }
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(channel->written(), QByteArray::fromHex("4007"));
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  EXPECT_EQ(window->store().ChannelMask, 0x0003);
}

// While the save dialog waits, the label gives the decoded count and the kept file.
TEST_F(DownloadRoad, TheFinishedDownloadSaysHowManySamplesAndWhereItIsKept) {
  QString label;
  prompt.onPrompt = [&](const testing_support::PromptRecord&) { label = find<QLabel>("DownloadBytes")->text(); };
  startDownload();  // save dialog cancelled
  ASSERT_TRUE(waitForEnd());
  EXPECT_TRUE(label.contains(msg::DownloadProgress(simulator.bytesSent() - 1, simulator.log().sampleCount())))
      << label.toStdString();
  EXPECT_TRUE(label.contains(msg::DownloadKept(QStringLiteral("dlg/last-download.dlt")))) << label.toStdString();
  EXPECT_TRUE(QFileInfo::exists(dir.file("dlg/last-download.dlt")));
}

// A name typed without extension gets the filter's; the overwrite question names it.
TEST_F(DownloadRoad, SaveAddsTheExtensionAndAsksAboutThatName) {
  const QString typed = dir.file("dlg/flight1");
  WriteFile(typed + ".dlg", QByteArray("old"));
  prompt.files = {typed};
  prompt.answers = {common::PromptAnswer::Yes};
  startDownload();
  ASSERT_TRUE(waitForEnd());
  ASSERT_GE(prompt.messages().size(), 1u);  // then the log's missing 4711.cfg
  EXPECT_EQ(prompt.messages()[0].text, msg::FileExistsQuestion(typed + ".dlg"));
  EXPECT_FALSE(QFileInfo::exists(typed));
  EXPECT_EQ(window->store().LoadedLogFile, typed + ".dlg");
}
