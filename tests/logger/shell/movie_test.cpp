// "Mo&vie" on the main window: the range dialog over the loaded log and the trend
// window; the program going on while a movie is made.
#include "logger/movie/messages.h"
#include "logger/movie/ui/moviewindow.h"
#include "shell_fixture.h"

#include <QDialog>

using namespace shelltest;

// A download started during the run is answered, saved and loaded, and the movie gets
// all its frames. Device commands wait for the run; a run waits for a download.
TEST_F(ShellTest, MovieOverTheTrendWindowBesideADownloadAndTheRefusalsEitherWay) {
  writeStartupFiles(1);
  simulator.setFlightSeconds(20);
  makeWindow();
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
