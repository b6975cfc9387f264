#pragma once
// What several logtool commands read the same way: a log's configuration as the logger
// would pick it, and the speed and altitude the zero locks of channels 5 and 6 give.
#include "common/channelconfig.h"
#include "logger/derived/speedalt.h"
#include "logger/logdata/samplestore.h"
#include "tools/logtool/commands.h"

#include <optional>

namespace logtool {

// The file `cfgPath` names (when given, even empty), else the log's own N.cfg in the program's cfg/ folder (logtool
// lives in the program folder), else config.cfg, said on standard error as the logger
// says it. *used, when given, names the file read. Returns an exit status on failure.
std::optional<int> ReadLogConfig(const std::optional<QString>& cfgPath, const logdata::SampleStore& store,
                                 common::ChannelConfiguration& config, Io& io, QString* used = nullptr);

// --zero S1 [--second S2] [--ref sample|bias|user] [--pressure P] [--unit 0|1|2|3].
struct DerivationOptions {
  std::optional<qint64> zero;
  std::optional<qint64> second;
  std::optional<std::uint8_t> mode;
  std::optional<float> pressure;
  std::optional<int> unit;
  bool any() const { return zero || second || mode || pressure || unit; }
};

enum class Taken { NotOurs, Taken, Refused };
// One option and its value: Refused for a repeated option or a value that is not one.
Taken TakeDerivationOption(const QString& name, const QString& value, DerivationOptions& options);

// A left click at S1, a right click at S2, both zero locks ticked, then the table as
// "Speed / Alt" computes it. kExitOk, or the exit status after the message: a sample
// outside the log is kExitUsage, zero levels that are not set kExitFileError.
int DeriveTable(const DerivationOptions& options, const logdata::SampleStore& store,
                const common::ChannelConfiguration& config, derived::DerivedTable& table, Io& io);

}  // namespace logtool
