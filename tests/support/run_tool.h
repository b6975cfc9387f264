#pragma once
// Runs one of the built command-line programs as a script would.
#include <QProcess>

namespace testing_support {

struct ToolOutcome {
  int status = -1;  // -1: did not finish normally
  QString out, err;
};

inline ToolOutcome RunTool(const QString& program, const QStringList& args, const QString& workDir = {}) {
  QProcess p;
  if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
  p.start(program, args);
  ToolOutcome r;
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
  r.status = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

}  // namespace testing_support
