#include "logger/session/measure.h"

#include "logger/session/stats.h"
#include "logger/trend/cursor.h"

namespace session {

namespace {

QString Number(double v) { return trend::FormatPattern(v, u"###0.00##"); }

double Seconds(const logdata::SampleStore& store, qint64 samples) { return samples * store.FreqCode / 50.0; }

QString Place(const LogSession& s, std::optional<qint32> k) {
  if (!k) return {};
  return QStringLiteral("%1 (%2 s)").arg(*k).arg(Number(Seconds(s.store(), *k)));
}

}  // namespace

Measurement Measure(const LogSession& s) {
  Measurement m;
  m.a = Place(s, s.marker(LogSession::Marker::A));
  m.b = Place(s, s.marker(LogSession::Marker::B));
  const auto range = s.markedRange();
  if (!range) return m;
  const qint32 a = *s.marker(LogSession::Marker::A), b = *s.marker(LogSession::Marker::B);
  m.samples = QString::number(b - a);
  m.seconds = Number(Seconds(s.store(), qint64(b) - a));
  const StatsSource source{s.store(), s.config(), &s.view(), s.derivedDisplay()};
  for (int c = 1; c <= common::kChannelCount; ++c) {
    if (!s.view().Shown[std::size_t(c - 1)]) continue;
    const auto atA = ChannelStatistics(source, c, a, a), atB = ChannelStatistics(source, c, b, b);
    const auto between = ChannelStatistics(source, c, range->first, range->second);
    if (!atA || !atB || !between) continue;
    MeasureRow row;
    row.channel = c;
    const auto& ch = s.config().channel[std::size_t(c - 1)];
    const bool shownDerived = derived::ShowsDerived(s.derivedDisplay(), c);
    row.name = shownDerived ? QLatin1String(c == derived::kAltitudeChannel ? derived::kAltitudeLabel : derived::kSpeedLabel)
                            : ch.Name;
    row.unit = shownDerived ? QLatin1String(derived::UnitText(c, s.view().SpeedUnit)) : ch.Unit;
    row.values = {Number(atA->min),    Number(atB->min),    Number(atB->min - atA->min), Number(between->min),
                  Number(between->max), Number(between->mean), Number(between->rms)};
    m.rows.push_back(row);
  }
  return m;
}

}  // namespace session
