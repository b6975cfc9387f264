#include "common/programdir.h"

#include "common/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef VELKARO_DATA_FROM_BIN
#error "VELKARO_DATA_FROM_BIN: the install layout's data folder relative to its bin folder (set by CMake)"
#endif

namespace common {

QString ChooseProgramDir(const ProgramDirFacts& f) {
  if (!f.chosen.isEmpty()) return QDir(f.chosen).absolutePath();
  if (f.executableDirWritable && !f.installedDataBeside) return f.executableDir;
  // XDG: a relative XDG_DATA_HOME is invalid and is ignored.
  const QString dataHome = QDir::isAbsolutePath(f.xdgDataHome) ? f.xdgDataHome : f.home + QStringLiteral("/.local/share");
  return QDir::cleanPath(dataHome + QStringLiteral("/velkaro"));
}

QString InstalledDataDir(const QString& executableDir) {
  return QDir::cleanPath(executableDir + QStringLiteral("/" VELKARO_DATA_FROM_BIN));
}

QStringList SeedProgramDir(const QString& programDir, const QString& dataDir) {
  QStringList problems;
  const QDir to(programDir + QStringLiteral("/cfg"));
  if (!to.exists() && !to.mkpath(QStringLiteral("."))) return {msg::CannotCreateFolder(to.path())};
  const QDir from(dataDir + QStringLiteral("/cfg"));
  for (const QFileInfo& seed : from.entryInfoList(QDir::Files)) {
    const QString target = to.filePath(seed.fileName());
    if (!QFileInfo::exists(target) && !QFile::copy(seed.filePath(), target)) problems << msg::FileNotWritten(target);
  }
  return problems;
}

QString ProgramDirOfThisProcess(const QString& chosen, QStringList* problems) {
  ProgramDirFacts f;
  f.executableDir = QCoreApplication::applicationDirPath();
  f.executableDirWritable = QFileInfo(f.executableDir).isWritable();
  const QString data = InstalledDataDir(f.executableDir);
  f.installedDataBeside = QFileInfo(data).isDir();
  f.chosen = chosen;
  f.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
  f.home = QDir::homePath();
  const QString dir = ChooseProgramDir(f);
  if (dir != f.executableDir) {
    const QStringList seeded = SeedProgramDir(dir, data);
    if (problems) *problems << seeded;
  }
  return dir;
}

}  // namespace common
