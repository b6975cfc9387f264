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


qint32 LabelBackgroundFor(qint32 bgrColour) {
  return common::MoreContrastingBackground(bgrColour, kTrendBackground, kLabelBackgroundLight);
}

QString CapturePath(const QString& programDir) { return programDir + QStringLiteral("/cap/init.txt"); }

}  // namespace shell
