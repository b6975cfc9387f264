// logtool: command-line companion of the logger program.
#include "tools/logtool/commands.h"

#include "common/commandline.h"
#include "common/programdir.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace logtool {

namespace {
std::vector<Command>& Table() {
  static std::vector<Command> table;
  return table;
}
}  // namespace

int Fail(Io& io, const QString& message, int status) {
  io.err << "logtool: " << message << '\n';
  return status;
}

Register::Register(Command command) {
  auto& table = Table();
  const auto at = std::lower_bound(table.begin(), table.end(), command.name,
                                   [](const Command& c, const QString& name) { return c.name < name; });
  table.insert(at, std::move(command));
}

const std::vector<Command>& Commands() { return Table(); }

namespace {
QString g_chosenProgramDir;
}  // namespace

// Decided on first use: only commands that read cfg/ create and seed a user's folder.
const QString& ProgramDir() {
  static const QString dir = common::ProgramDirOfThisProcess(g_chosenProgramDir);
  return dir;
}

}  // namespace logtool

namespace {

QString CommandList() {
  QString list;
  for (const auto& c : logtool::Commands()) list += "  logtool " + c.name + ' ' + c.usage + '\n';
  return list;
}

void PrintUsage(QTextStream& err) { err << "usage: logtool <command> [arguments]\n" << CommandList(); }

}  // namespace

int main(int argc, char** argv) {
  // Options before the command are the program's; everything from the command on is the
  // command's own, as it always was.
  QCommandLineParser cl;
  cl.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  cl.setApplicationDescription(QStringLiteral("Command-line companion of the logger: log files and device commands."));
  cl.addOption(common::ProgramDirOption());
  cl.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands below."),
                           QStringLiteral("<command> [arguments]"));
  if (const auto status = common::ParseCommandLine(cl, argc, argv, -1, "\nCommands:\n" + CommandList()))
    return *status;
  logtool::g_chosenProgramDir = cl.value(common::ProgramDirOption());
  const QStringList args = cl.positionalArguments();

  // A command that paints gets a GUI application on the offscreen platform: no display.
  const auto& all = logtool::Commands();
  const bool paints = !args.isEmpty() && std::any_of(all.begin(), all.end(), [&](const logtool::Command& c) {
                        return c.paints && c.name == args.first();
                      });
  std::unique_ptr<QCoreApplication> app;
  if (paints) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QTextStream out(stdout);
  QTextStream err(stderr);
  logtool::Io io{out, err};

  if (args.isEmpty()) {
    PrintUsage(err);
    return logtool::kExitUsage;
  }
  const auto& commands = logtool::Commands();
  const auto it = std::find_if(commands.begin(), commands.end(),
                               [&](const logtool::Command& c) { return c.name == args.first(); });
  if (it == commands.end()) {
    err << "logtool: unknown command '" << args.first() << "'\n";
    PrintUsage(err);
    return logtool::kExitUsage;
  }
  const int status = it->run(args.mid(1), io);
  if (status == logtool::kExitUsage) err << "usage: logtool " << it->name << ' ' << it->usage << '\n';
  out.flush();
  err.flush();
  return status;
}
