#include "logger/scope/scopeview.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"
#include "logger/scope/scopemessages.h"
#include "logger/trend/navigation.h"

#include <algorithm>
#include <cmath>

namespace scope {
namespace {

int ChannelOf(const TraceSetting& t) { return std::clamp(t.channel, 1, common::kChannelCount); }
double ScaleOf(const TraceSetting& t) { return std::max(t.scale, 1); }

trend::VerticalMap MapFor(session::LogSession& src, const TraceSetting& t, const trend::PictureScale& scale) {
  return trend::MakeScopeMap(scale, src.view().YScale[std::size_t(ChannelOf(t) - 1)], ScaleOf(t), t.bias);
}

// The value a trace draws for sample k: the derived value in its display unit, the raw
// count, or full scale less the raw count for an inverted channel.
double DrawnValue(session::LogSession& src, int channel, qint32 k) {
  if (const std::optional<double> d = derived::ShownDerived(src.derivedDisplay(), channel, k)) return *d;
  const auto& cs = src.config().channel[std::size_t(channel - 1)];
  const double raw = src.store().at(channel - 1, k);
  return cs.Min > cs.Max ? common::FullScale(channel) - raw : raw;
}

struct DerivedContext {
  derived::DerivedDisplay display;
  int channel;
};

double ReadDerived(const void* context, qint32 j) {
  const auto* c = static_cast<const DerivedContext*>(context);
  return derived::ShownDerived(c->display, c->channel, j).value_or(0.0);
}

}  // namespace

bool TraceShown(session::LogSession& sources, const TraceSetting& trace) {
  return sources.loaded() && sources.view().Shown[std::size_t(ChannelOf(trace) - 1)];
}

TraceLabels LabelsFor(session::LogSession& src, const TraceSetting& t) {
  TraceLabels l;
  const int c = ChannelOf(t);
  const auto i = std::size_t(c - 1);
  const auto& cs = src.config().channel[i];
  const double yScale = src.view().YScale[i];
  const double s = ScaleOf(t);
  l.number = QString::number(c);
  l.scale = common::LocaleDoubleText(t.scale / 10.0);
  l.bias = common::LocaleDoubleText((cs.Max - cs.Min) * t.bias * yScale);
  if (derived::ShowsDerived(src.derivedDisplay(), c)) {
    l.name = QString::fromLatin1(c == derived::kAltitudeChannel ? derived::kAltitudeCaption : derived::kSpeedLabel);
    l.unit = QString::fromLatin1(derived::UnitText(c, src.view().SpeedUnit));
    l.bottomValue = t.bias;
    // The value that lies one picture height above the bottom line: a derived trace
    // climbs 10 / (YScale x s) display units over the height.
    l.topValue = t.bias + 10.0 / (yScale * s);
    l.bottom = trend::FormatPattern(l.bottomValue, c == 5 ? u"###0.00" : u"####0.00");
  } else {
    l.name = cs.Name;
    l.unit = cs.Unit;
    l.bottomValue = common::ScaleRaw(src.config(), c, t.bias) - src.view().EngBias[i];
    l.topValue = l.bottomValue + (cs.Max - cs.Min) * 10.0 / s;
    l.bottom = trend::FormatPattern(l.bottomValue, u"###0.00");
  }
  l.top = trend::FormatPattern(l.topValue, u"###0.00");
  return l;
}

trend::TraceGeometry ComputeScopeTrace(session::LogSession& src, const TraceSetting& t,
                                       const trend::PictureScale& scale, double twipsPerPixel,
                                       std::optional<PrintRule> print) {
  if (!TraceShown(src, t)) return {};
  const int c = ChannelOf(t);
  const auto i = std::size_t(c - 1);
  const auto& cs = src.config().channel[i];
  trend::TraceRequest rq;
  rq.scale = scale;
  rq.twipsPerPixel = twipsPerPixel;
  rq.start = src.view().WindowStart;
  rq.end = src.view().WindowEnd;
  rq.yScale = src.view().YScale[i];
  rq.inverted = cs.Min > cs.Max;
  rq.fullScale = common::FullScale(c);
  rq.ownMap = MapFor(src, t, scale);
  if (print) {
    rq.forcedStep = trend::PrintStepFor(rq.start, rq.end, print->pageWidth);
    rq.barReach = 0;
  }
  const derived::DerivedDisplay display = src.derivedDisplay();
  if (derived::ShowsDerived(display, c)) {
    rq.derived = true;
    rq.trueExtremes = true;
    const DerivedContext context{display, c};
    trend::SeriesView series;
    series.count = display.table->columns();
    series.read = &ReadDerived;
    series.context = &context;
    return trend::ComputeTrace(rq, series, nullptr);
  }
  const trend::SeriesView raw{src.store().columnData(0) + i, nullptr, logdata::kSampleRows, src.store().columns()};
  return trend::ComputeTrace(rq, raw, src.envelope(int(i)));
}

Ruler ComputeRuler(double bottomValue, double topValue, double height) {
  Ruler r;
  const double span = std::fabs(topValue - bottomValue);
  if (!(span > 0) || !std::isfinite(span) || !(height > 0)) return r;
  const double lg = std::log10(span / 2);
  if (!std::isfinite(lg)) return r;  // a span too small for its half to be a number
  int e = int(std::trunc(lg));
  if (lg <= 0) e -= 1;
  // 10^e gives between 2 and 20 ticks over the span: halved below four and doubled
  // above ten, a ruler as tall as the picture carries four to ten of them.
  double d = std::pow(10.0, e);
  if (span / d < 4) d /= 2;
  if (span / d > 10) d *= 2;
  r.distance = d;
  // "######0" for whole distances, else "######0.#" with as many decimals as the
  // distance has: with one decimal only, ticks 0.01 apart would all read "0.".
  const int decimals = d >= 1 ? 0 : int(std::ceil(-std::log10(d) - 1e-9));
  const QString pattern = decimals == 0 ? QStringLiteral("######0") : QStringLiteral("######0.") + QString(decimals, u'#');
  const double perUnit = height / (topValue - bottomValue);  // negative for a falling ruler
  const double lo = std::min(bottomValue, topValue);
  const double hi = std::max(bottomValue, topValue);
  // Counted in ticks, never by stepping a tick index held in a double: far from zero
  // compared with the span (an index beyond 2^53) the index plus one is the index
  // itself. There the doubles are as coarse as the ticks: a tick whose value equals the
  // one before it is left out.
  const double first = std::ceil(lo / d - 1e-9) * d;
  const int count = int(std::floor(span / d + 1e-6)) + 1;
  double previous = NAN;
  for (int i = 0; i < count; ++i) {
    const double v = first + i * d;
    if (v > hi + d * 1e-9) break;
    if (v == previous) continue;
    previous = v;
    const double y = (height - 9) - (v - bottomValue) * perUnit;
    if (y < 0 || y > height) continue;
    r.ticks.push_back({y, trend::FormatPattern(v == 0 ? 0.0 : v, pattern)});
  }
  return r;
}

ScopeReadout ScopeCursorMove(session::LogSession& src, const TraceSettings& traces, const trend::PictureScale& scale,
                             double x, bool levels) {
  ScopeReadout out;
  trend::ViewState& view = src.view();
  out.position = trend::PositionText(view, src.store().FreqCode, x, scale.width);
  view.CursorSample = trend::ReadableSample(src.store(), trend::RoundSample(trend::TrendPosition(view, x, scale.width)));
  const qint32 k = view.CursorSample;
  out.cursorX = x;
  if (!src.loaded()) return out;

  out.valuesValid = true;
  const derived::DerivedDisplay display = src.derivedDisplay();
  for (std::size_t t = 0; t < 2; ++t) {
    const int c = ChannelOf(traces[t]);
    // The main window's zero lock applies; its drift correction does not.
    const std::optional<double> d = derived::ShownDerived(display, c, k);
    const double value =
        d ? *d : common::ScaleRaw(src.config(), c, src.store().at(c - 1, k)) - view.EngBias[std::size_t(c - 1)];
    out.values[t] = trend::FormatPattern(value, u"###0.00##");
  }
  if (!levels) return out;
  for (std::size_t t = 0; t < 2; ++t) {
    // A trace that is not drawn has no level to mark.
    if (!TraceShown(src, traces[t])) continue;
    const trend::VerticalMap m = MapFor(src, traces[t], scale);
    const double y = DrawnValue(src, ChannelOf(traces[t]), k) * m.ky + m.offset;
    if (t == 0)
      out.levelLines.emplace_back(0, y, x, y);
    else
      out.levelLines.emplace_back(x, y, scale.width, y);
  }
  return out;
}

bool PressMarker(Marker& marker, bool logLoaded, double x, double width, const QString& positionText,
                 const std::array<QString, 2>& valueTexts, common::Prompt& prompt) {
  if (!logLoaded) {
    prompt.message(common::msg::kTitleLogger, common::msg::kNoData, common::PromptIcon::Exclamation);
    return false;
  }
  marker.set = true;
  marker.x = qint16(std::clamp(std::nearbyint(x), -32768.0, 32767.0));
  marker.fraction = width > 0 ? x / width : 0;
  // The read-outs are read back as numbers. Their "." is fixed whatever the locale, and
  // "####" shows 0 as "" and 1 as "1.", which the lenient prefix read takes as 0 and 1.
  marker.position = common::LeadingNumber(positionText);
  for (std::size_t t = 0; t < 2; ++t) marker.values[t] = common::LeadingNumber(valueTexts[t]);
  return true;
}

}  // namespace scope

#include "logger/export/capture.h"

namespace scope {

qint32 OverviewStep(qint32 sampleCount) {
  return qint32(std::clamp<qint64>(trend::RoundHalfEven(sampleCount / 500.0), 1, 32767));
}

bool AppendScopeCapture(session::LogSession& src, const QString& path, QString* error) {
  const qint32 k = src.view().CursorSample;
  if (!src.loaded() || !logexport::CaptureSampleInLog(src.store(), k)) return true;
  std::array<QString, common::kChannelCount> shown;
  const derived::DerivedDisplay display = src.derivedDisplay();
  for (int c = 1; c <= common::kChannelCount; ++c) {
    const std::optional<double> d = derived::ShownDerived(display, c, k);
    shown[std::size_t(c - 1)] = common::NumberToText(d ? *d : trend::ShownValue(src.view(), src.store(), src.config(), c, k));
  }
  return logexport::AppendCapture(path, k, shown, logexport::RawColumn(src.store(), k), error);
}

}  // namespace scope
