#include "tools/logtool/log_inputs.h"

#include "common/messages.h"
#include "logger/logdata/logconfig.h"
#include "logger/trend/cursor.h"
#include "logger/trend/zerolock.h"

#include <QDir>
#include <QLocale>
#include <cmath>

namespace logtool {

std::optional<int> ReadLogConfig(const std::optional<QString>& cfgPath, const logdata::SampleStore& store,
                                 common::ChannelConfiguration& config, Io& io, QString* used) {
  QString error;
  if (cfgPath) {
    if (!common::ReadConfigFile(*cfgPath, config, &error)) return Fail(io, error);
    if (used) *used = *cfgPath;
    return std::nullopt;
  }
  const QString cfgDir = QDir(ProgramDir()).filePath(QStringLiteral("cfg"));
  QString warning;
  const bool read = logdata::ApplyLogConfig(cfgDir, store.ConfigNumber, config, &warning, &error);
  if (!warning.isEmpty()) io.err << "logtool: " << warning << '\n';
  if (!read) return Fail(io, error);
  if (used) *used = logdata::FindLogConfig(cfgDir, store.ConfigNumber).path;
  return std::nullopt;
}

namespace {

std::optional<qint64> WholeNumber(const QString& text) {
  bool ok = false;
  const qint64 v = text.toLongLong(&ok, 10);
  return ok ? std::optional<qint64>(v) : std::nullopt;
}

}  // namespace

Taken TakeDerivationOption(const QString& a, const QString& v, DerivationOptions& o) {
  if (a == QLatin1String("--zero")) {
    if (o.zero || !(o.zero = WholeNumber(v))) return Taken::Refused;
  } else if (a == QLatin1String("--second")) {
    if (o.second || !(o.second = WholeNumber(v))) return Taken::Refused;
  } else if (a == QLatin1String("--ref")) {
    if (o.mode) return Taken::Refused;
    if (v == QLatin1String("sample")) o.mode = derived::kFromSample;
    else if (v == QLatin1String("bias")) o.mode = derived::kFromBias;
    else if (v == QLatin1String("user")) o.mode = derived::kFromUser;
    else return Taken::Refused;
  } else if (a == QLatin1String("--pressure")) {
    bool ok = false;
    const double p = QLocale::c().toDouble(v, &ok);
    if (o.pressure || !ok || !std::isfinite(float(p))) return Taken::Refused;
    o.pressure = float(p);
  } else if (a == QLatin1String("--unit")) {
    // One digit: "+1" or " 1" is not a unit setting.
    if (o.unit || v.size() != 1 || v[0] < QLatin1Char('0') || v[0].unicode() >= '0' + derived::kUnitSettings)
      return Taken::Refused;
    o.unit = v.toInt();
  } else {
    return Taken::NotOurs;
  }
  return Taken::Taken;
}

int DeriveTable(const DerivationOptions& o, const logdata::SampleStore& store,
                const common::ChannelConfiguration& config, derived::DerivedTable& table, Io& io) {
  for (const std::optional<qint64>& s : {o.zero, o.second})
    if (s && (*s < 0 || *s >= store.SampleCount))
      return Fail(io, common::msg::SampleOutsideLog(*s, store.SampleCount), kExitUsage);

  trend::ViewState view;
  trend::CaptureBiasCandidates(view, store, config, trend::MouseButton::Left, qint32(o.zero.value_or(0)));
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
  derived::ComputeDerived(store, config, derived::InputFromView(view, compensation), table);
  return kExitOk;
}

}  // namespace logtool
