#pragma once
// Sub-commands of logtool. Each source file registers its own commands with a static
// Register object, so adding a family of commands means adding one .cpp file.
#include <QHash>
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
  bool paints = false;  // needs a GUI application (run on the offscreen platform)
};

// One line on standard error, "logtool: " first, as scripts read it; returns `status`.
int Fail(Io& io, const QString& message, int status = kExitFileError);

// The program directory whose cfg/ the commands read, as the logger would pick it.
const QString& ProgramDir();

// All registered commands, ordered by name.
const std::vector<Command>& Commands();

struct Register {
  explicit Register(Command command);
};

// Options of the form --name VALUE; -o is an alias for --out.
struct Options {
  QHash<QString, QString> values;
  bool ok = true;
  QString get(const QString& name) const { return values.value(name); }
  bool has(const QString& name) const { return values.contains(name); }
};
// `ok` is false for an unknown option or one without its value.
Options Parse(const QStringList& args, const QStringList& known);

}  // namespace logtool
