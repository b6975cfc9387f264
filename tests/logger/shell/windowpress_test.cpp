// Presses delivered the way the X server delivers them: to the top-level window at a
// point, after the pointer moved there, then the release; Qt picks the widget under
// the point, gives it the click focus and sends it the press. (The widget-level tests
// hand their press to the picture itself, so a widget lying over a picture, a picture
// that lets mouse events through or a grab held elsewhere would pass them.) Without a
// log each press on the trend or the scope picture says "No data!" once; the overview
// strip says nothing, and the capture key writes nothing.
#include "shell_fixture.h"

using namespace shelltest;

TEST_F(ShellTest, PressesDeliveredToTheWindowReachThePicturesUnderThePointer) {
  writeStartupFiles(0);
  makeWindow();
  showWindow();
  scope::ScopeWindow* scopeWindow = openScope();
  prompt.clear();

  const QString noData = msg::kTitleLogger + ": " + msg::kNoData;
  const struct {
    QWidget* picture;
    QStringList said;
  } cases[] = {{find<trend::PictureBox>("picTrend"), {noData}},
               {scopeWindow->picture(), {noData}},
               {find<trend::PictureBox>("picFull"), {}}};
  for (const auto& c : cases) {
    QWindow* top = c.picture->window()->windowHandle();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      SCOPED_TRACE(c.picture->objectName().toStdString() + (button == Qt::LeftButton ? " left" : " right"));
      const QPoint at = c.picture->mapTo(c.picture->window(), QPoint(c.picture->width() / 3, c.picture->height() / 2));
      QTest::mouseMove(top, at);
      QTest::mousePress(top, button, {}, at);
      QTest::mouseRelease(top, button, {}, at);
      EXPECT_EQ(prompt.said(), c.said);
      prompt.clear();
    }
  }
  for (QWidget* picture : {cases[0].picture, cases[1].picture}) QTest::keyClick(picture, Qt::Key_P);
  EXPECT_FALSE(QFileInfo::exists(dir.file("cap/init.txt")));
}
