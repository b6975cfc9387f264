// "Mo&vie" on the main window: the range dialog and the movie window over the loaded log
// and the trend window.
#include "logger/movie/ui/moviewindow.h"
#include "shell_fixture.h"

using namespace shelltest;

TEST_F(ShellTest, MovieOpensOverTheLogAndTheTrendWindow) {
  writeStartupFiles(0);
  makeWindow();
  const QString path = dir.file("dlg/m.dlg");
  WriteFile(path, hand::Dlg(500, 0x0003, 4, 0, [](int row, int j) { return qint16(row * 100 + j); }));
  ASSERT_TRUE(window->loadDecodedLog(path));
  window->view().WindowStart = 20;
  window->view().WindowEnd = 40;
  prompt.clear();
  QString start, rate;
  OnModal("Dialog2", [&](QWidget* d) {
    start = d->findChild<QLineEdit*>("samplenr")->text();
    rate = d->findChild<QLabel*>("Label3")->text();
    QTest::mouseClick(d->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
  });
  trigger("cmdMovie");
  EXPECT_EQ(start, "20");
  EXPECT_EQ(rate, "12");  // FreqCode 4: 12.5 per second, halves to even
  auto* movieWindow = window->findChild<movie::MovieWindow*>("Movie");
  ASSERT_NE(movieWindow, nullptr);
  EXPECT_TRUE(movieWindow->isVisible());
  EXPECT_EQ(movieWindow->editor().start(), 20);
  EXPECT_EQ(movieWindow->editor().scene().name[0], "Ch1");
  EXPECT_TRUE(prompt.messages().empty());
}
