#pragma once
// The command line every program shares: --help, --version, --program-dir. It is read
// before the program builds its application, so that --help and --version answer on a
// terminal without a display.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace common {

// The suite's version, from the build's project version.
QString SuiteVersion();

// --program-dir DIR
const QCommandLineOption& ProgramDirOption();

// Adds --help and --version to `parser` (which holds the program's own options) and reads
// argv. Returns the exit status when the program is to end now: 0 after printing the help
// or the version on standard output, 2 after an unknown option, a missing value or more
// than `maxPositional` arguments (-1: any number), with the usage on standard error.
// `helpTail` follows the options in the help text.
std::optional<int> ParseCommandLine(QCommandLineParser& parser, int& argc, char** argv, int maxPositional,
                                    const QString& helpTail = {});

}  // namespace common
