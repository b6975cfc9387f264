// The meter program: one window over the program directory it was started from.
#include "common/ui/qtprompt.h"
#include "meter/ui/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  common::QtPrompt prompt;
  meter::MainWindow window(prompt, QCoreApplication::applicationDirPath());
  prompt.setParent(&window);
  window.show();
  return app.exec();
}
