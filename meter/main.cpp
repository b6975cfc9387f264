// The meter program: one window over its program directory.
#include "common/commandline.h"
#include "common/programdir.h"
#include "common/ui/qtprompt.h"
#include "meter/ui/mainwindow.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QCommandLineParser cl;
  cl.setApplicationDescription(QStringLiteral("Meter: the logger's twelve channels live, and channel calibration."));
  cl.addOption(common::ProgramDirOption());
  if (const auto status = common::ParseCommandLine(cl, argc, argv, 0)) return *status;

  QApplication app(argc, argv);
  QStringList problems;
  const QString programDir = common::ProgramDirOfThisProcess(cl.value(common::ProgramDirOption()), &problems);
  for (const QString& p : problems) std::fprintf(stderr, "%s\n", qPrintable(p));
  common::QtPrompt prompt;
  meter::MainWindow window(prompt, programDir);
  prompt.setParent(&window);
  window.show();
  return app.exec();
}
