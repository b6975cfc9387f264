#pragma once
// logtool's file commands: info (a .dlg header), decode (.dlt to .dlg), cfg (a .cfg).
#include "tools/logtool/commands.h"

namespace logtool {

int RunInfo(const QStringList& args, Io& io);
int RunDecode(const QStringList& args, Io& io);
int RunCfg(const QStringList& args, Io& io);

}  // namespace logtool
