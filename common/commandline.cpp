#include "common/commandline.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#ifndef VELKARO_VERSION
#error "VELKARO_VERSION: the project version (set by CMake)"
#endif

namespace common {

QString SuiteVersion() { return QStringLiteral(VELKARO_VERSION); }

const QCommandLineOption& ProgramDirOption() {
  static const QCommandLineOption option(
      QStringLiteral("program-dir"),
      QStringLiteral("Run from DIR (cfg/, dlg/, cap/, video/) instead of the usual program directory."),
      QStringLiteral("DIR"));
  return option;
}

std::optional<int> ParseCommandLine(QCommandLineParser& parser, int& argc, char** argv, int maxPositional,
                                    const QString& helpTail) {
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays help on commandline options."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Displays version information."));
  parser.addOption(help);
  parser.addOption(version);
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const bool parsed = parser.parse(args);
  const bool tooMany = parsed && maxPositional >= 0 && parser.positionalArguments().size() > maxPositional;
  if (parsed && !tooMany && !parser.isSet(help) && !parser.isSet(version)) return std::nullopt;

  // The help text and the program's name need an application; a GUI one would need a display.
  std::optional<QCoreApplication> local;
  if (!QCoreApplication::instance()) local.emplace(argc, argv);
  const QString name = QCoreApplication::applicationName();
  if (!parsed || tooMany) {
    QTextStream err(stderr);
    err << name << ": " << (tooMany ? QStringLiteral("too many arguments") : parser.errorText()) << '\n'
        << parser.helpText() << helpTail;
    return 2;
  }
  QTextStream out(stdout);
  if (parser.isSet(version))
    out << name << ' ' << SuiteVersion() << '\n';
  else
    out << parser.helpText() << helpTail;
  return 0;
}

}  // namespace common
