#pragma once
// The main window's rules that need no window: title parts, the first view, label
// backgrounds. The program folders and start-up files are shared with the meter.
#include "common/channelconfig.h"
#include "common/programfiles.h"
#include "common/settings.h"
#include "common/ui/colour.h"

#include <QString>
#include <QStringList>

namespace shell {

// Start-up's part B: the file name without the prefix program directory + "/cfg/".
QString StartupTitlePartB(const QString& fileName, const QString& programDir);
// After a fill: the log's configuration file name.
QString RefreshTitlePartB(qint32 configNumber);


using common::BuiltInConfiguration;

// The trend picture's slate background and the light label background, 0x00BBGGRR.
constexpr qint32 kTrendBackground = common::kDarkGround;
constexpr qint32 kLabelBackgroundLight = 0xFFFFFF;
// The label text keeps the trace colour; its background is whichever of the two gives
// the higher contrast, so the pale pressure colours and the dark ones stay readable.
qint32 LabelBackgroundFor(qint32 bgrColour);

using common::DefaultConfigPath;
using common::SettingsPath;
QString CapturePath(const QString& programDir);  // cap/init.txt

using common::EnsureProgramFolders;
using common::ReadStartupFiles;
using common::StartupFiles;

}  // namespace shell
