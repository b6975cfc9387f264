// logtool derive: the airspeed and altitude of every sample of a log, computed as the
// logger computes them after a left click at S1, the zero locks of channels 5 and 6,
// an optional right click at S2 and the compensation dialog's choice.
#include "common/channelconfig.h"
#include "common/messages.h"
#include "logger/derived/speedalt.h"
#include "logger/logdata/logconfig.h"
#include "logger/logdata/logfiles.h"
#include "logger/trend/cursor.h"
#include "logger/trend/zerolock.h"
#include "tools/logtool/commands.h"

#include <QCoreApplication>
#include <QLocale>
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
  std::optional<qint64> zero;
  std::optional<qint64> second;
  std::optional<std::uint8_t> mode;
  std::optional<float> pressure;
  std::optional<int> unit;
};

std::optional<qint64> WholeNumber(const QString& text) {
  bool ok = false;
  const qint64 v = text.toLongLong(&ok, 10);
  return ok ? std::optional<qint64>(v) : std::nullopt;
}

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
    } else if (a == QLatin1String("--zero") && !o.zero) {
      if (!(o.zero = WholeNumber(v))) return std::nullopt;
    } else if (a == QLatin1String("--second") && !o.second) {
      if (!(o.second = WholeNumber(v))) return std::nullopt;
    } else if (a == QLatin1String("--ref") && !o.mode) {
      if (v == QLatin1String("sample")) o.mode = derived::kFromSample;
      else if (v == QLatin1String("bias")) o.mode = derived::kFromBias;
      else if (v == QLatin1String("user")) o.mode = derived::kFromUser;
      else return std::nullopt;
    } else if (a == QLatin1String("--pressure") && !o.pressure) {
      bool ok = false;
      const double p = QLocale::c().toDouble(v, &ok);
      if (!ok || !std::isfinite(float(p))) return std::nullopt;
      o.pressure = float(p);
    } else if (a == QLatin1String("--unit") && !o.unit) {
      // One digit: "+1" or " 1" is not a unit setting.
      if (v.size() != 1 || v[0] < QLatin1Char('0') || v[0].unicode() >= '0' + derived::kUnitSettings) return std::nullopt;
      o.unit = v.toInt();
    } else {
      return std::nullopt;
    }
  }
  if (o.log.isEmpty() || o.output.isEmpty() || !o.zero) return std::nullopt;
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
  if (!o.cfg.isEmpty()) {
    if (!common::ReadConfigFile(o.cfg, config, &error)) return Fail(io, error, kExitFileError);
  } else {
    // The configuration the logger would pick: the log's N.cfg in the program's cfg/,
    // config.cfg in its place (said on standard error, as the logger says it).
    QString warning;
    const QString cfgDir = ProgramDir() + QStringLiteral("/cfg");
    const bool read = logdata::ApplyLogConfig(cfgDir, store.ConfigNumber, config, &warning, &error);
    if (!warning.isEmpty()) io.err << "logtool: " << warning << '\n';
    if (!read) return Fail(io, error, kExitFileError);
  }
  for (const std::optional<qint64>& s : {o.zero, o.second})
    if (s && (*s < 0 || *s >= store.SampleCount))
      return Fail(io, common::msg::SampleOutsideLog(*s, store.SampleCount), kExitUsage);

  // A left click at S1, a right click at S2, then both zero-lock boxes ticked.
  trend::ViewState view;
  trend::CaptureBiasCandidates(view, store, config, trend::MouseButton::Left, qint32(*o.zero));
  if (o.second) trend::CaptureBiasCandidates(view, store, config, trend::MouseButton::Right, qint32(*o.second));
  std::array<bool, 12> locked{};
  locked[4] = locked[5] = true;
  trend::ApplyZeroLock(view, locked, 4);
  trend::ApplyZeroLock(view, locked, 5);
  if (!derived::ZeroLevelsSet(view)) {
    io.err << common::msg::kSetZeroLevels << '\n';
    return kExitFileError;
  }

  derived::Compensation compensation;
  if (o.mode) compensation.Mode = *o.mode;
  if (o.pressure) compensation.UserPressure = *o.pressure;
  derived::TakeMissingSecondReadings(view);
  derived::DerivedTable table;
  derived::ComputeDerived(store, config, derived::InputFromView(view, compensation), table);

  const int unit = o.unit.value_or(0);
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
