#include "common/programfiles.h"

#include "common/channelconfig.h"
#include "common/messages.h"

#include <QDir>

namespace common {

QString SettingsPath(const QString& programDir) { return programDir + QStringLiteral("/cfg/init.prm"); }
QString DefaultConfigPath(const QString& programDir) {
  const QString found = FindConfigFile(programDir + QStringLiteral("/cfg"), QStringLiteral("config.cfg"));
  return found.isEmpty() ? programDir + QStringLiteral("/cfg/config.cfg") : found;
}

QStringList EnsureProgramFolders(const QString& programDir, const QStringList& subfolders) {
  QStringList problems;
  QDir dir(programDir);
  for (const QString& sub : subfolders) {
    if (!dir.exists(sub) && !dir.mkpath(sub)) problems << msg::CannotCreateFolder(dir.filePath(sub));
  }
  return problems;
}

ChannelConfiguration BuiltInConfiguration() {
  ChannelConfiguration c;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    auto& s = c.channel[std::size_t(ch - 1)];
    s.Name = QStringLiteral("CH") + QString::number(ch);
    s.Min = 0;
    s.Max = FullScale(ch);
    s.WinHight = 4095;
  }
  return c;
}

StartupFiles ReadStartupFiles(const QString& programDir) {
  StartupFiles f;
  f.config = BuiltInConfiguration();
  QString error;
  Settings s;
  if (ReadSettings(SettingsPath(programDir), s, &error))
    f.settings = s;
  else
    f.problems << error;
  error.clear();
  ChannelConfiguration c;
  if (ReadConfigFile(DefaultConfigPath(programDir), c, &error))
    f.config = c;
  else
    f.problems << QStringLiteral("'%1': %2").arg(DefaultConfigPath(programDir), error);
  return f;
}

}  // namespace common
