#pragma once
// Which folder a program runs from. A copy built or unpacked into a folder of its own
// keeps its files beside the executable; an installed copy (executable folder not
// writable, or an installed data folder beside it) keeps them in the user's data
// folder, seeded from what the package installed. No Qt widgets here.
#include <QString>
#include <QStringList>

namespace common {

// What the choice depends on, gathered once so that the rule can be tested as a table.
struct ProgramDirFacts {
  QString executableDir;
  bool executableDirWritable = false;
  bool installedDataBeside = false;  // PREFIX/share/velkaro next to PREFIX/bin
  QString chosen;                    // --program-dir; empty when not given
  QString xdgDataHome;               // $XDG_DATA_HOME as the environment has it
  QString home;                      // $HOME
};

QString ChooseProgramDir(const ProgramDirFacts& facts);

// The installed data folder (cfg/, dlg/demo.dlg) of an executable in `executableDir`.
QString InstalledDataDir(const QString& executableDir);

// Copies each file of `dataDir`/cfg that `programDir`/cfg lacks; a file already there is
// the user's and stays. Returns one line per failure.
QStringList SeedProgramDir(const QString& programDir, const QString& dataDir);

// This process's program directory: the rule over the running executable and the
// environment, created and seeded when it is the user's data folder or a chosen one.
// Failures go to `problems`; the programs report missing folders and files themselves.
QString ProgramDirOfThisProcess(const QString& chosen, QStringList* problems = nullptr);

}  // namespace common
