#include "logger/shell/shellstate.h"

#include "common/ui/colour.h"

#include "common/messages.h"
#include "logger/trend/trenddraw.h"

#include <QDir>
#include <algorithm>
#include <cmath>

namespace shell {

QString StartupTitlePartB(const QString& fileName, const QString& programDir) {
  const QString prefix = QDir::cleanPath(programDir) + QStringLiteral("/cfg/");
  QString b = fileName;
  if (b.startsWith(prefix)) b.remove(0, prefix.size());
  return b;
}

QString RefreshTitlePartB(qint32 configNumber) { return common::ConfigFileFor(configNumber); }

qint32 FirstViewEnd(qint32 sampleCount) { return qint32(trend::RoundHalfEven(sampleCount * 0.05)); }

common::ChannelConfiguration BuiltInConfiguration() {
  common::ChannelConfiguration c;
  for (int ch = 1; ch <= common::kChannelCount; ++ch) {
    auto& s = c.channel[std::size_t(ch - 1)];
    s.Name = QStringLiteral("CH") + QString::number(ch);
    s.Min = 0;
    s.Max = common::FullScale(ch);
    s.WinHight = 4095;
  }
  return c;
}

qint32 LabelBackgroundFor(qint32 bgrColour) {
  return common::MoreContrastingBackground(bgrColour, kTrendBackground, kLabelBackgroundLight);
}

QString SettingsPath(const QString& programDir) { return programDir + QStringLiteral("/cfg/init.prm"); }
QString DefaultConfigPath(const QString& programDir) {
  const QString found = common::FindConfigFile(programDir + QStringLiteral("/cfg"), QStringLiteral("config.cfg"));
  return found.isEmpty() ? programDir + QStringLiteral("/cfg/config.cfg") : found;
}
QString CapturePath(const QString& programDir) { return programDir + QStringLiteral("/cap/init.txt"); }

QStringList EnsureProgramFolders(const QString& programDir) {
  QStringList problems;
  QDir dir(programDir);
  for (const char* sub : {"cfg", "dlg", "cap", "video"}) {
    if (!dir.exists(QLatin1String(sub)) && !dir.mkpath(QLatin1String(sub)))
      problems << common::msg::CannotCreateFolder(dir.filePath(QLatin1String(sub)));
  }
  return problems;
}

StartupFiles ReadStartupFiles(const QString& programDir) {
  StartupFiles f;
  f.config = BuiltInConfiguration();
  QString error;
  common::Settings s;
  if (common::ReadSettings(SettingsPath(programDir), s, &error))
    f.settings = s;
  else
    f.problems << error;
  error.clear();
  common::ChannelConfiguration c;
  if (common::ReadConfigFile(DefaultConfigPath(programDir), c, &error))
    f.config = c;
  else
    f.problems << QStringLiteral("'%1': %2").arg(DefaultConfigPath(programDir), error);
  return f;
}

}  // namespace shell
