// The device commands of the main window's menus: "&Download", the parameters, memory clear
// and read-back; and a movie made beside a download.
#include "logger/movie/messages.h"
#include "logger/movie/ui/moviewindow.h"
#include "shell_fixture.h"

#include <QComboBox>
#include <QDialog>
#include <QRadioButton>

using namespace shelltest;

class DeviceRoad : public ShellTest {
 protected:
  void SetUp() override {
    writeStartupFiles(1);
    simulator.setFlightSeconds(20);
    simulator.setLogging(0x03, 0x00, 5);
    makeWindow();
    ASSERT_TRUE(window->port().isOpen());
    prompt.clear();
  }
  // Menu "&Download", the dialog answered with a delay of 7.
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
// waits, the label gives the decoded count and the kept file.
TEST_F(DeviceRoad, AnUnsavedDownloadThenCommandsRefusedDuringASavedOne) {
  const QString title = window->windowTitle();
  const qint64 sentBefore = simulator.bytesSent();
  QString label;
  prompt.onPrompt = [&](const testing_support::PromptRecord&) { label = find<QLabel>("DownloadBytes")->text(); };
  startDownload();
  ASSERT_TRUE(waitForEnd());
  prompt.onPrompt = nullptr;
  EXPECT_EQ(text("Text2"), msg::kStatusReady);
  EXPECT_FALSE(window->session().loaded());
  EXPECT_EQ(window->windowTitle(), title);
  EXPECT_EQ(label, msg::DownloadProgress(simulator.bytesSent() - sentBefore - 1, simulator.log().sampleCount()) +
                       ", " + msg::DownloadKept(QStringLiteral("dlg/last-download.dlt"),
                                                QFileInfo(dir.file("dlg/last-download.dlt")).size()));
  window->Update_Full_Data();  // safe over the replaced store
  window->Update_Data_Window();

  // While a download runs, a second download and every other device command are refused
  // with one message and send nothing. Saved under a name typed without extension, it gets
  // the filter's, and the overwrite question names that file. Then the log is loaded.
  const QString typed = dir.file("dlg/flight1");
  WriteFile(typed + ".dlg", QByteArray("old"));
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
  prompt.clear();
  prompt.files = {typed};
  prompt.answers = {common::PromptAnswer::Yes};
  ASSERT_TRUE(waitForEnd());
  EXPECT_EQ(channel->written(), QByteArray::fromHex("4007"));
  EXPECT_EQ(window->store().SampleCount, simulator.log().sampleCount());
  ASSERT_GE(prompt.messages().size(), 1u);  // then the log's missing 4711.cfg
  EXPECT_EQ(prompt.messages()[0].text, msg::FileExistsQuestion(typed + ".dlg"));
  EXPECT_FALSE(QFileInfo::exists(typed));
  EXPECT_TRUE(window->session().loaded());
  EXPECT_EQ(window->store().LoadedLogFile, typed + ".dlg");
  EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" - 4711.CFG")));
  EXPECT_GT(prompt.beeps, 0);
}

TEST_F(DeviceRoad, CancelSendsNothingADelayOutsideTheRangeIsRefusedFractionsCutAndTheRawImageKept) {
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

TEST_F(DeviceRoad, ParametersDialogSendsMaskAndCodeSavesThemAndCancelStopsTheSend) {
  channel->clearWritten();
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
  EXPECT_EQ(std::pair(int(window->settings().MaskHighByte), int(window->settings().LogFreqCode)), std::pair(1, 2));
  EXPECT_EQ(testing_support::FileBytes(dir.file("cfg/init.prm")), hand::Prm(window->settings()));

  // Cancel mid-send stops the send at once: no later byte, no echo wait, no call into the
  // dialog after it is gone. (Esc and closing the window reject the dialog the same way.)
  channel->clearWritten();
  prompt.clear();
  OnModal(QStringLiteral("Dialog"), [](QWidget* d) {
    auto* send = d->findChild<QPushButton*>(QStringLiteral("sendpar"));
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(send, Qt::LeftButton);  // a second press adds no command byte
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
  });
  trigger("mnu02");
  QTest::qWait(40 * window->link().timings().parameterPacing);  // many pacing intervals
  EXPECT_EQ(channel->written(), QByteArray(1, char(0x88)));
  EXPECT_TRUE(prompt.messages().empty());
  EXPECT_FALSE(prompt.busy);
  EXPECT_FALSE(window->link().replyTimeoutActive());
}

TEST_F(DeviceRoad, MemoryClearAsksFirstAndCancelSendsNothingReadBackSavesTheBlock) {
  channel->clearWritten();
  prompt.answers = {common::PromptAnswer::Cancel};
  trigger("Memclear");
  EXPECT_EQ(prompt.said(), QStringList{msg::kTitleMemoryClearing + ": " + msg::kClearMemoryQuestion});
  EXPECT_TRUE(channel->written().isEmpty());

  prompt.clear();
  trigger("Memclear");  // unscripted: OK
  ASSERT_TRUE(waitFor([&] { return prompt.messages().size() == 2; }));
  EXPECT_EQ(prompt.messages()[1].text, msg::kParametersStored);
  EXPECT_EQ(quint8(channel->written()[0]), 0x88);

  const QString fsh = dir.file("cfg/block.fsh");
  prompt.files = {fsh};
  trigger("GPread");
  ASSERT_TRUE(waitFor([&] { return QFile::exists(fsh); }));
  EXPECT_EQ(testing_support::FileBytes(fsh), simulator.compensation());
}

// A download started during the run is answered, saved and loaded, and the movie gets
// all its frames. Device commands wait for the run; a run waits for a download.
TEST_F(DeviceRoad, MovieOverTheTrendWindowBesideADownloadAndTheRefusalsEitherWay) {
  WriteFile(dir.file("dlg/m.dlg"), hand::Dlg(500, 0x0003, 4, 0, [](int row, int j) { return qint16(row * 100 + j); }));
  ASSERT_TRUE(window->loadDecodedLog(dir.file("dlg/m.dlg")));
  window->view().WindowStart = 20;
  window->view().WindowEnd = 25;
  QString preset;
  OnModal("Dialog2", [&](QWidget* d) {
    preset = d->findChild<QLineEdit*>("samplenr")->text() + " " + d->findChild<QLabel*>("Label3")->text();
    QTest::mouseClick(d->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
  });
  trigger("cmdMovie");
  EXPECT_EQ(preset, "20 12");  // FreqCode 4: 12.5 per second, halves to even
  auto* movieWindow = window->findChild<movie::MovieWindow*>("Movie");
  ASSERT_TRUE(movieWindow && movieWindow->isVisible());
  EXPECT_EQ(std::pair(movieWindow->editor().start(), movieWindow->editor().scene().name[0]), std::pair(20, QString("Ch1")));
  movieWindow->chooseCodec = [] { return movie::Codec::Raw; };
  auto download = [this] {
    OnModal("Downl", [](QWidget* d) {
      QTest::mouseClick(d->findChild<QPushButton*>("DownLBp"), Qt::LeftButton);
      if (d->isVisible()) static_cast<QDialog*>(d)->reject();  // it took no input: fail, not hang
    });
    trigger("mnu4");
  };
  prompt.clear();
  download();
  QTest::mouseClick(movieWindow->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(prompt.said(), QStringList{movie::msg::kTitleMovie + ": " + movie::msg::kDownloadRunning});
  ASSERT_TRUE(waitFor([&] { return !window->link().downloadRunning(); }));

  const QString avi = dir.file("video/m.avi"), dlg = dir.file("dlg/d.dlg");
  prompt.clear();
  prompt.files = {avi, dlg};
  QStringList captions, refusals;
  QObject::connect(movieWindow, &QWidget::windowTitleChanged, [&](const QString& t) {
    if ((captions << t).size() > 1) return;
    for (const char* command : {"Memclear", "GPread", "Tempconf"}) trigger(command);
    refusals = prompt.said();
    download();
    waitFor([&] { return window->store().LoadedLogFile == dlg; });
  });
  QTest::mouseClick(movieWindow->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(refusals, QStringList(3, msg::kTitleStatus + ": " + movie::msg::kMovieRunning));
  EXPECT_EQ(window->store().LoadedLogFile, dlg);
  EXPECT_EQ(captions.mid(4), QStringList({movie::msg::FrameSaved(avi, 4, 5), movie::msg::Finished(avi)}));
}
