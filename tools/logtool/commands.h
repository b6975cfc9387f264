#pragma once
// Sub-commands of logtool. Each source file registers its own commands with a static
// Register object, so adding a family of commands means adding one .cpp file.
#include <QStringList>
#include <QTextStream>
#include <vector>

namespace logtool {

enum Exit : int {
  kExitOk = 0,
  kExitFileError = 1,  // a file that cannot be read or written, or is damaged
  kExitUsage = 2,      // wrong arguments; main prints the command's usage line
};

struct Io {
  QTextStream& out;
  QTextStream& err;
};

struct Command {
  QString name;
  QString usage;  // arguments after the command name
  int (*run)(const QStringList& args, Io& io);
};

// All registered commands, ordered by name.
const std::vector<Command>& Commands();

struct Register {
  explicit Register(Command command);
};

}  // namespace logtool
