// logtool csv / crop: the writers of the export and crop windows, for scripts. The
// range goes through the windows' own box rules, so the same log, configuration and
// range give the same bytes. logtool stats: what a measurement between two markers
// shows, for every channel of a log.
#include "common/channelconfig.h"
#include "common/csvfield.h"
#include "common/messages.h"
#include "common/numtext.h"
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/export/range.h"
#include "logger/logdata/logfiles.h"
#include "logger/session/stats.h"
#include "tools/logtool/log_inputs.h"

#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace logtool {

namespace {

int RunCsv(const QStringList& args, Io& io);
int RunCrop(const QStringList& args, Io& io);
int RunStats(const QStringList& args, Io& io);

const Register kCsv({QStringLiteral("csv"),
                     QStringLiteral("LOG.dlg --from A --to B [--units] -o OUT.csv [--cfg FILE.cfg]"), &RunCsv});
const Register kCrop({QStringLiteral("crop"), QStringLiteral("LOG.dlg --from A --to B -o OUT.dlg"), &RunCrop});
const Register kStats({QStringLiteral("stats"),
                       QStringLiteral("LOG.dlg [--from A] [--to B] [--cfg FILE.cfg] [-o OUT.csv]"), &RunStats});

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

// The one --cfg names, else the one the logger would apply to this log.
std::optional<int> ReadConfig(const Options& o, const logdata::SampleStore& store,
                              common::ChannelConfiguration& config, Io& io) {
  const QString cfg = QStringLiteral("cfg");
  return ReadLogConfig(o.has(cfg) ? std::optional<QString>(o.get(cfg)) : std::nullopt, store, config, io);
}

int RunCsv(const QStringList& args, Io& io) {
  // The one option without a value.
  QStringList rest = args;
  const bool units = rest.removeAll(QStringLiteral("--units")) > 0;
  RangeJob job;
  const QStringList known = {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("out"),
                             QStringLiteral("cfg")};
  if (const auto status = Prepare(rest, known, job, io)) return *status;
  common::ChannelConfiguration config;
  if (const auto status = ReadConfig(job.options, job.store, config, io)) return *status;
  QString error;
  const QString out = job.options.get(QStringLiteral("out"));
  const bool written =
      units ? logexport::WriteEngineeringCsv(out, job.store, config, job.start, job.end, &error)
            : logexport::WriteCsv(out, job.store.LoadedLogFile, job.store, config, job.start, job.end, &error);
  return written ? kExitOk : Fail(io, error);
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

// A sample index as scripts write it: a whole decimal number.
std::optional<qint64> Index(const QString& text) {
  bool ok = false;
  const qint64 v = text.toLongLong(&ok, 10);
  return ok ? std::optional<qint64>(v) : std::nullopt;
}

int RunStats(const QStringList& args, Io& io) {
  namespace msg = common::msg;
  if (args.isEmpty() || args[0].startsWith(QLatin1Char('-'))) return kExitUsage;
  const Options o = Parse(args.mid(1), {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("cfg"),
                                        QStringLiteral("out")});
  const QString out = o.get(QStringLiteral("out"));
  if (!o.ok || (o.has(QStringLiteral("out")) && out.isEmpty())) return kExitUsage;
  std::optional<qint64> from = 0, to;
  if (o.has(QStringLiteral("from")) && !(from = Index(o.get(QStringLiteral("from")))))
    return Fail(io, msg::kNonNumericStart, kExitUsage);
  if (o.has(QStringLiteral("to")) && !(to = Index(o.get(QStringLiteral("to")))))
    return Fail(io, msg::kNonNumericStop, kExitUsage);

  logdata::SampleStore store;
  QString error;
  if (!logdata::ReadDecodedLog(args[0], store, &error)) return Fail(io, error);
  common::ChannelConfiguration config;
  if (const auto status = ReadConfig(o, store, config, io)) return *status;
  const qint64 last = qint64(store.SampleCount) - 1;
  if (!to) to = last;
  for (qint64 s : {*from, *to})
    if (s < 0 || s > last) return Fail(io, msg::SampleOutsideLog(s, store.SampleCount), kExitUsage);
  if (*from > *to) return Fail(io, msg::kStatsStartAfterEnd, kExitUsage);

  QString text = QStringLiteral("channel,name,unit,samples,min,min_at,max,max_at,mean,rms\n");
  const session::StatsSource source{store, config};
  for (int c = 1; c <= common::kChannelCount; ++c) {
    if (!store.channelPresent(c)) continue;
    const session::ChannelStats s = *session::ChannelStatistics(source, c, qint32(*from), qint32(*to));
    const common::ChannelSettings& ch = config.channel[std::size_t(c - 1)];
    text += QStringList{QString::number(c), common::CsvField(ch.Name), common::CsvField(ch.Unit),
                        QString::number(s.samples), common::NumberToText(s.min), QString::number(s.minAt),
                        common::NumberToText(s.max), QString::number(s.maxAt), common::NumberToText(s.mean),
                        common::NumberToText(s.rms)}
                .join(QLatin1Char(',')) +
            QLatin1Char('\n');
  }
  if (out.isEmpty()) {
    io.out << text;
    return kExitOk;
  }
  // Through a temporary file beside the target: a failed write leaves the old file.
  const QByteArray bytes = text.toUtf8();
  QSaveFile file(out);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return Fail(io, msg::LogCannotWrite(out, file.errorString()));
  return kExitOk;
}

}  // namespace

}  // namespace logtool
