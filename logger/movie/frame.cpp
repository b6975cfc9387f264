#include "logger/movie/frame.h"

#include "common/formattext.h"
#include "common/numtext.h"
#include "logger/movie/messages.h"
#include "logger/trend/cursor.h"
#include "logger/trend/trenddraw.h"

#include <algorithm>

namespace movie {

quint8 FrameRate(quint8 freqCode) {
  if (freqCode == 0) return 0;
  return quint8(trend::RoundHalfEven(50.0 / freqCode));
}

int StreamRate(quint8 frameRate) { return std::clamp<int>(frameRate, 1, 30); }

bool RangeInLog(const logdata::SampleStore& store, qint64 start, qint64 stop) {
  return 0 <= start && start <= stop && stop <= store.SampleCount && stop <= store.columns();
}

MovieSource SourceOf(const session::LogSession& session) {
  return {session.store(), session.config(), session.view(), [&session] { return session.derivedDisplay(); }};
}

void ShowValues(Scene& scene, const MovieSource& src, qint32 k, bool bars) {
  const QChar point = common::LocaleDecimalSeparator();
  for (int c = 1; c <= kChannels; ++c) {
    const std::size_t i = std::size_t(c - 1);
    // ScaleRaw with each channel's own full scale: the 8-bit channels 11 and 12 show
    // the same value as the trend and the cursor read-outs.
    const double v = trend::ShownValue(src.view, src.store, src.config, c, k);
    const QString& format = scene.layout.setup[i].ValueFormat;
    scene.value[i] = common::FormatText(v, format, point);
    scene.name[i] = src.config.channel[i].Name;
    scene.unit[i] = src.config.channel[i].Unit;
    // The bar shows the number its label reads, kept as a number rather than read back
    // from the text, which a decimal comma would cut short.
    scene.barValue[i] = bars ? std::optional<double>(common::FormattedValue(v, format)) : std::nullopt;
  }
}

void ShowDerived(Scene& scene, const MovieSource& src, qint32 k, bool bars) {
  if (!src.derived) return;
  const derived::DerivedDisplay d = src.derived();
  const auto speed = derived::ShownDerived(d, derived::kSpeedChannel, k);
  const auto altitude = derived::ShownDerived(d, derived::kAltitudeChannel, k);
  if (!speed || !altitude) return;
  const QChar point = common::LocaleDecimalSeparator();
  auto show = [&](int channel, const char* name, double value, const QString& format) {
    const std::size_t i = std::size_t(channel - 1);
    scene.name[i] = QString::fromLatin1(name);
    scene.unit[i] = QString::fromLatin1(derived::UnitText(channel, d.unit));
    scene.value[i] = common::FormatText(value, format, point);
    if (bars) scene.barValue[i] = common::FormattedValue(value, format);
  };
  show(derived::kSpeedChannel, derived::kSpeedLabel, *speed, QStringLiteral("##0.00"));
  show(derived::kAltitudeChannel, derived::kAltitudeCaption, *altitude, QStringLiteral("##0.0"));
}

void ShowTime(Scene& scene, qint32 n, quint8 freqCode) {
  const double seconds = double(n) * freqCode * 20 / 1000;
  scene.time = common::FormatText(seconds, QStringLiteral("##0.00"), common::LocaleDecimalSeparator());
}

}  // namespace movie
