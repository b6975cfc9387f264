#pragma once
// The main window's rules that need no window: title parts, the program folders,
// the start-up files with their fall-back to built-in defaults, the first view.
#include "common/channelconfig.h"
#include "common/settings.h"
#include "common/ui/colour.h"

#include <QString>
#include <QStringList>

namespace shell {

// Start-up's part B: the file name without the prefix program directory + "/cfg/".
QString StartupTitlePartB(const QString& fileName, const QString& programDir);
// After a fill: the log's configuration file name.
QString RefreshTitlePartB(qint32 configNumber);

// End (and length) of the first view after a fill: 5 % of the log, a half going to
// the even neighbour.
qint32 FirstViewEnd(qint32 sampleCount);

// What the program uses when config.cfg is missing or damaged: channels "CH1" to
// "CH12" over their full raw range, window height 4095.
common::ChannelConfiguration BuiltInConfiguration();

// The trend picture's slate background and the light label background, 0x00BBGGRR.
constexpr qint32 kTrendBackground = common::kDarkGround;
constexpr qint32 kLabelBackgroundLight = 0xFFFFFF;
// The label text keeps the trace colour; its background is whichever of the two gives
// the higher contrast, so the pale pressure colours and the dark ones stay readable.
qint32 LabelBackgroundFor(qint32 bgrColour);

QString SettingsPath(const QString& programDir);       // cfg/init.prm
QString DefaultConfigPath(const QString& programDir);  // cfg/config.cfg, whatever its letter case
QString CapturePath(const QString& programDir);        // cap/init.txt

// Creates cfg/, dlg/, cap/ and video/ where missing; returns one line per failure.
QStringList EnsureProgramFolders(const QString& programDir);

struct StartupFiles {
  common::Settings settings;
  common::ChannelConfiguration config;
  QStringList problems;  // empty when both files were read whole
};
// Reads cfg/init.prm and cfg/config.cfg. A file that cannot be read gives its
// built-in defaults (never a half-read file) and a line in `problems`.
StartupFiles ReadStartupFiles(const QString& programDir);

}  // namespace shell
