// logtool report: the flight report PDF the logger's "Report…" writes, for a log, a
// range and, with --zero, the speed and altitude of `logtool derive`.
#include "common/messages.h"
#include "logger/logdata/logfiles.h"
#include "logger/report/pdf.h"
#include "common/settings.h"
#include "tools/logtool/log_inputs.h"

#include <QFileInfo>

namespace logtool {

namespace {

int RunReport(const QStringList& args, Io& io);

const Register kReport({QStringLiteral("report"),
                        QStringLiteral("LOG.dlg -o OUT.pdf [--from A] [--to B] [--cfg FILE.cfg] [--zero S1 "
                                       "[--second S2] [--ref sample|bias|user] [--pressure P] [--unit 0|1|2|3]]"),
                        &RunReport, true});

struct Options {
  QString log, output;
  std::optional<QString> from, to, cfg;
  DerivationOptions derivation;
};

// Every option once; the derivation's options only with --zero.
std::optional<Options> Parse(const QStringList& args) {
  Options o;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!a.startsWith(QLatin1Char('-'))) {
      if (!o.log.isEmpty()) return std::nullopt;
      o.log = a;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const QString& v = args[++i];
    std::optional<QString>* own = a == QLatin1String("--from") ? &o.from
                                  : a == QLatin1String("--to") ? &o.to
                                  : a == QLatin1String("--cfg") ? &o.cfg
                                                                : nullptr;
    if (a == QLatin1String("-o") && o.output.isEmpty()) {
      o.output = v;
    } else if (own && !*own) {
      *own = v;
    } else if (own || TakeDerivationOption(a, v, o.derivation) != Taken::Taken) {
      return std::nullopt;
    }
  }
  if (o.log.isEmpty() || o.output.isEmpty() || (o.derivation.any() && !o.derivation.zero)) return std::nullopt;
  return o;
}

std::optional<qint64> Index(const QString& text) {
  bool ok = false;
  const qint64 v = text.toLongLong(&ok, 10);
  return ok ? std::optional<qint64>(v) : std::nullopt;
}

int RunReport(const QStringList& args, Io& io) {
  namespace msg = common::msg;
  const std::optional<Options> parsed = Parse(args);
  if (!parsed) return kExitUsage;
  const Options& o = *parsed;
  std::optional<qint64> from = 0, to;
  if (o.from && !(from = Index(*o.from))) return Fail(io, msg::kNonNumericStart, kExitUsage);
  if (o.to && !(to = Index(*o.to))) return Fail(io, msg::kNonNumericStop, kExitUsage);

  session::LogSession log;
  QString error;
  if (!logdata::ReadDecodedLog(o.log, log.store(), &error)) return Fail(io, error);
  report::Facts facts;
  if (const auto status = ReadLogConfig(o.cfg, log.store(), log.config(), io, &facts.configFile)) return *status;
  const qint64 last = qint64(log.store().SampleCount) - 1;
  if (!to) to = last;
  for (qint64 s : {*from, *to})
    if (s < 0 || s > last) return Fail(io, msg::SampleOutsideLog(s, log.store().SampleCount), kExitUsage);
  if (*from > *to) return Fail(io, msg::kStatsStartAfterEnd, kExitUsage);

  log.opened(o.log);
  log.view().Colours = common::kDefaultColours;
  if (o.derivation.zero) {
    if (const int status = DeriveTable(o.derivation, log.store(), log.config(), log.derivedTable(), io)) return status;
    log.view().SpeedAlt = true;
    log.view().SpeedUnit = o.derivation.unit.value_or(0);
  }
  const QFileInfo info(o.log);
  facts.logName = info.fileName();
  facts.modified = info.lastModified();
  if (!report::WriteReportPdf(o.output, report::ComposeReport(log, facts, qint32(*from), qint32(*to)), &error))
    return Fail(io, msg::LogCannotWrite(o.output, error));
  return kExitOk;
}

}  // namespace

}  // namespace logtool
