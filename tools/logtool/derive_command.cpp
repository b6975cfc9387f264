// logtool derive: the airspeed and altitude of every sample of a log, computed as the
// logger computes them after a left click at S1, the zero locks of channels 5 and 6,
// an optional right click at S2 and the compensation dialog's choice.
#include "common/channelconfig.h"
#include "common/messages.h"
#include "logger/derived/speedalt.h"
#include "logger/logdata/logfiles.h"
#include "tools/logtool/log_inputs.h"

#include <QSaveFile>
#include <optional>

namespace logtool {

namespace {

int RunDerive(const QStringList& args, Io& io);

const Register kDerive({QStringLiteral("derive"),
                        QStringLiteral("LOG.dlg --zero S1 [--second S2] [--ref sample|bias|user] [--pressure P] "
                                       "[--unit 0|1|2|3] [--cfg FILE.cfg] -o OUT.csv"),
                        &RunDerive});

struct Options {
  QString log;
  QString output;
  QString cfg;
  DerivationOptions derivation;
};

// Every option once; anything else is a wrong argument.
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
    if (a == QLatin1String("-o") && o.output.isEmpty()) {
      o.output = v;
    } else if (a == QLatin1String("--cfg") && o.cfg.isEmpty()) {
      o.cfg = v;
    } else if (TakeDerivationOption(a, v, o.derivation) != Taken::Taken) {
      return std::nullopt;
    }
  }
  if (o.log.isEmpty() || o.output.isEmpty() || !o.derivation.zero) return std::nullopt;
  return o;
}

// "." as the decimal point whatever the locale; nine significant digits hold every
// float of the table and what the unit conversion makes of it.
QByteArray Number(double v) { return QByteArray::number(v, 'g', 9); }

int RunDerive(const QStringList& args, Io& io) {
  const std::optional<Options> parsed = Parse(args);
  if (!parsed) return kExitUsage;
  const Options& o = *parsed;

  logdata::SampleStore store;
  QString error;
  if (!logdata::ReadDecodedLog(o.log, store, &error)) return Fail(io, error, kExitFileError);
  common::ChannelConfiguration config;
  if (const auto status = ReadLogConfig(o.cfg.isEmpty() ? std::nullopt : std::optional<QString>(o.cfg), store, config, io)) return *status;
  derived::DerivedTable table;
  if (const int status = DeriveTable(o.derivation, store, config, table, io)) return status;

  const int unit = o.derivation.unit.value_or(0);
  const derived::DerivedDisplay shown{&table, true, unit};
  QByteArray text;
  text.reserve(qsizetype(store.SampleCount) * 40 + 64);
  text += QByteArray("sample,seconds,IAS ") + derived::SpeedUnitText(unit) + ",ALT " + derived::AltitudeUnitText(unit) +
          '\n';
  for (qint32 j = 0; j < store.SampleCount; ++j) {
    text += QByteArray::number(j) + ',' + Number(double(j) * store.FreqCode * 20 / 1000) + ',' +
            Number(*derived::ShownDerived(shown, derived::kSpeedChannel, j)) + ',' +
            Number(*derived::ShownDerived(shown, derived::kAltitudeChannel, j)) + '\n';
  }
  // Through a temporary file beside the target: a failed write leaves the old file.
  QSaveFile file(o.output);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
    return Fail(io, common::msg::LogCannotWrite(o.output, file.errorString()), kExitFileError);
  return kExitOk;
}

}  // namespace

}  // namespace logtool
