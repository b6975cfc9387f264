#pragma once
// Which channel configuration belongs to a log, and applying it.
#include "common/channelconfig.h"

#include <QString>

namespace logdata {

struct LogConfigChoice {
  QString path;     // the file to read
  bool own = true;  // false: the log's own N.cfg is missing and config.cfg stands in
  QString warning;  // for the caller to show when !own; empty otherwise
};

// Looks for N.cfg in `cfgDir` by listing it and comparing names without regard to
// letter case (1234.CFG is accepted); otherwise config.cfg, found the same way, with the warning
// "Config file 'N.cfg' not found, config.cfg used instead".
LogConfigChoice FindLogConfig(const QString& cfgDir, qint32 configNumber);

// Reads the chosen file into `config` and sets its ConfigNumber to the log's. On a
// read failure `config` is untouched and *error says why; *warning is set either way
// when config.cfg had to stand in.
bool ApplyLogConfig(const QString& cfgDir, qint32 configNumber, common::ChannelConfiguration& config,
                    QString* warning, QString* error);

}  // namespace logdata
