// logtool csv / crop: the writers of the export and crop windows, for scripts. The
// range goes through the windows' own box rules, so the same log, configuration and
// range give the same bytes.
#include "common/channelconfig.h"
#include "common/messages.h"
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/export/range.h"
#include "logger/logdata/logconfig.h"
#include "logger/logdata/logfiles.h"
#include "tools/logtool/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace logtool {

namespace {

int RunCsv(const QStringList& args, Io& io);
int RunCrop(const QStringList& args, Io& io);

const Register kCsv({QStringLiteral("csv"), QStringLiteral("LOG.dlg --from A --to B -o OUT.csv [--cfg FILE.cfg]"),
                     &RunCsv});
const Register kCrop({QStringLiteral("crop"), QStringLiteral("LOG.dlg --from A --to B -o OUT.dlg"), &RunCrop});

struct RangeJob {
  QString log;
  Options options;
  logdata::SampleStore store;
  qint32 start = 0;
  qint32 end = 0;
};

// Reads the arguments, then the log, then clamps the range to it. Returns an exit
// status on failure; nothing has been written by then.
std::optional<int> Prepare(const QStringList& args, const QStringList& known, RangeJob& job, Io& io) {
  if (args.isEmpty() || args[0].startsWith(QLatin1Char('-'))) return kExitUsage;
  job.log = args[0];
  job.options = Parse(args.mid(1), known);
  const Options& o = job.options;
  for (const char* required : {"from", "to", "out"})
    if (!o.has(QLatin1String(required))) return kExitUsage;
  if (!o.ok || o.get(QStringLiteral("out")).isEmpty()) return kExitUsage;
  // Text the windows would refuse is a wrong argument here.
  if (logexport::CheckStartText(o.get(QStringLiteral("from")), 0).refused)
    return Fail(io, common::msg::kNonNumericStart, kExitUsage);
  if (logexport::CheckEndText(o.get(QStringLiteral("to")), 0).refused)
    return Fail(io, common::msg::kNonNumericStop, kExitUsage);

  QString error;
  if (!logdata::ReadDecodedLog(job.log, job.store, &error)) return Fail(io, error);
  job.store.LoadedLogFile = QFileInfo(job.log).absoluteFilePath();
  const qint32 limit = logexport::RangeLimit(job.store);
  job.start = logexport::BoxValue(logexport::CheckStartText(o.get(QStringLiteral("from")), limit).text);
  job.end = logexport::BoxValue(logexport::CheckEndText(o.get(QStringLiteral("to")), limit).text);
  return std::nullopt;
}

int RunCsv(const QStringList& args, Io& io) {
  RangeJob job;
  const QStringList known = {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("out"),
                             QStringLiteral("cfg")};
  if (const auto status = Prepare(args, known, job, io)) return *status;

  common::ChannelConfiguration config;
  QString error;
  if (job.options.has(QStringLiteral("cfg"))) {
    if (!common::ReadConfigFile(job.options.get(QStringLiteral("cfg")), config, &error)) return Fail(io, error);
  } else {
    // The configuration the logger would apply to this log: its own N.cfg in the
    // program's cfg/ folder (logtool lives in the program folder), else config.cfg.
    const QString cfgDir = QDir(ProgramDir()).filePath(QStringLiteral("cfg"));
    QString warning;
    const bool read = logdata::ApplyLogConfig(cfgDir, job.store.ConfigNumber, config, &warning, &error);
    if (!warning.isEmpty()) io.err << "logtool: " << warning << '\n';
    if (!read) return Fail(io, error);
  }
  if (!logexport::WriteCsv(job.options.get(QStringLiteral("out")), job.store.LoadedLogFile, job.store, config,
                           job.start, job.end, &error))
    return Fail(io, error);
  return kExitOk;
}

int RunCrop(const QStringList& args, Io& io) {
  RangeJob job;
  const QStringList known = {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("out")};
  if (const auto status = Prepare(args, known, job, io)) return *status;
  if (job.start > job.end) return Fail(io, common::msg::kCropStartAfterEnd, kExitUsage);
  QString error;
  if (!logexport::WriteCroppedLog(job.options.get(QStringLiteral("out")), job.store, job.start, job.end, &error))
    return Fail(io, error);
  return kExitOk;
}

}  // namespace

}  // namespace logtool
