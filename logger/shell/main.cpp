// The logger program: one main window over its program directory, opening the log named
// on the command line once it has started.
#include "common/commandline.h"
#include "common/programdir.h"
#include "common/ui/qtprompt.h"
#include "logger/shell/mainwindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QCommandLineParser cl;
  cl.setApplicationDescription(QStringLiteral("Logger: logging parameters, memory download, logs and their trends."));
  cl.addOption(common::ProgramDirOption());
  cl.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A log (.dlg, or a memory image .dlt) to open."), QStringLiteral("[FILE]"));
  if (const auto status = common::ParseCommandLine(cl, argc, argv, 1)) return *status;

  QApplication app(argc, argv);
  QStringList problems;
  const QString programDir = common::ProgramDirOfThisProcess(cl.value(common::ProgramDirOption()), &problems);
  for (const QString& p : problems) std::fprintf(stderr, "%s\n", qPrintable(p));
  common::QtPrompt prompt;
  shell::MainWindow window(prompt, programDir);
  prompt.setParent(&window);
  window.show();
  if (!cl.positionalArguments().isEmpty()) {
    const QString log = QFileInfo(cl.positionalArguments().first()).absoluteFilePath();
    QTimer::singleShot(0, &window, [&window, log] { window.openLog(log); });
  }
  return app.exec();
}
