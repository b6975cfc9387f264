#pragma once
// The program directory both programs run from: where their files lie, the folders
// they need, and the start-up read of the settings file and the default configuration
// with its fall-back to built-in defaults.
#include "common/channelconfig.h"
#include "common/settings.h"

#include <QString>
#include <QStringList>

namespace common {

QString SettingsPath(const QString& programDir);       // cfg/init.prm
QString DefaultConfigPath(const QString& programDir);  // cfg/config.cfg, whatever its letter case

// Creates the sub-folders of the program directory that are missing; returns one line
// per failure.
QStringList EnsureProgramFolders(const QString& programDir,
                                 const QStringList& subfolders = {QStringLiteral("cfg"), QStringLiteral("dlg"),
                                                                  QStringLiteral("cap"), QStringLiteral("video")});

// What a program uses when config.cfg is missing or damaged: channels "CH1" to
// "CH12" over their full raw range, window height 4095.
ChannelConfiguration BuiltInConfiguration();

struct StartupFiles {
  Settings settings;
  ChannelConfiguration config;
  QStringList problems;  // empty when both files were read whole
};
// Reads cfg/init.prm and cfg/config.cfg. A file that cannot be read gives its
// built-in defaults (never a half-read file) and a line in `problems`.
StartupFiles ReadStartupFiles(const QString& programDir);

}  // namespace common
