#include "logger/movie/scales.h"

#include "common/formattext.h"
#include "logger/movie/fonts.h"

#include <algorithm>
#include <cmath>

namespace movie {

namespace {

constexpr double kLong = Twips(10);
constexpr double kMedium = Twips(5);
constexpr double kShort = Twips(2);
// A horizontal scale grows only while its top lies above this many twips (540 px at
// 15 twips per pixel): a parked one keeps its palette height.
constexpr qint32 kGrowLimit = 8100;
// Ticks of one decade: at most about 101; anything beyond comes from a range that is
// not a sensible number and is drawn as empty.
constexpr double kMaxTicks = 1000;

struct Ticks {
  int e = 0;  // decade exponent: long ticks lie 10^e apart
  double sign = 1;
  double u = 0;     // value per twip
  double step = 0;  // value units between ticks
  double last = 0;  // last i, signed
  bool valid = false;
};

Ticks Plan(const ChannelSetup& s, double length) {
  Ticks t;
  const double range = double(s.ScaleMax) - double(s.ScaleMin);
  if (!std::isfinite(range) || range == 0 || length <= 0) return t;
  t.sign = s.ScaleMax >= s.ScaleMin ? 1 : -1;
  const double span = range * t.sign;
  t.u = range / length;
  const int e = DecadeExponent(span);
  t.e = e;
  t.step = std::pow(10.0, e - 1);
  t.last = (10 * span / std::pow(10.0, e) + 1) * t.sign;
  t.valid = std::isfinite(t.last) && std::fabs(t.last) <= kMaxTicks && t.step > 0;
  return t;
}

// i = 0, sign, 2 sign, ... up to `last` inclusive; p in twips from the scale's start.
template <typename F>
void ForEachTick(const Ticks& t, F&& f) {
  for (double i = 0; t.sign > 0 ? i <= t.last : i >= t.last; i += t.sign) f(i * t.step / t.u);
}

// Long labelled ticks at i = 0, 10, 20, ...; 5 px at 5, 15, ...; 2 px otherwise.
template <typename F>
void ForEachLength(const Ticks& t, F&& f) {
  int countdown = 0;
  ForEachTick(t, [&](double p) {
    double length = kShort;
    const bool labelled = countdown == 0;
    if (labelled) {
      length = kLong;
      countdown = 10;
    } else if (countdown == 5) {
      length = kMedium;
    }
    --countdown;
    f(p, length, labelled);
  });
}

// Long ticks lie 10^e apart: whole numbers label them from e = 0 up; below that they
// carry the decimals the spacing needs ("0.0" for 0.1), so that a scale from 0 to 1
// reads 1.0, 0.9, ... rather than 1, 1, 1, 1, 1, 0, ...
QString LabelFormat(const Ticks& t) {
  return t.e >= 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(-t.e, QLatin1Char('0'));
}

}  // namespace

int DecadeExponent(double span) {
  const double l = std::log(span) / std::log(10.0);
  return int(std::trunc(l > 0 ? l : l - 1));
}

ScaleDrawing DrawScaler(MovieLayout& layout, int c, QChar point) {
  ScaleDrawing d;
  Element& scale = layout.at({Kind::Mitta, c});
  if (!scale.visible) {
    scale.width = 0;
    return d;
  }
  const ChannelSetup& s = layout.setup[std::size_t(c - 1)];
  const Ticks t = Plan(s, scale.height);
  if (!t.valid) {
    scale.width = Twips(10);
    return d;
  }
  const QFontMetricsF& m = Fonts().scaleMetrics;
  // The width is settled first so that ticks drawn from the right edge end on the edge
  // the scale finally has.
  const Element& bar = layout.at({Kind::Bar, c});
  const bool fromRight = scale.left < bar.left;  // the ticks face the bar
  qint32 needed = 0;
  ForEachTick(t, [&](double p) {
    const QString sizing = common::FormatText(p * t.sign * t.u, s.ValueFormat, point);
    needed = std::max(needed, Twips(10) + TextWidth(m, sizing));
  });
  // The labels, too, must fit beside the long ticks without being cut.
  const QString labelFormat = LabelFormat(t);
  ForEachTick(t, [&](double p) {
    const QString label = common::FormatText(double(s.ScaleMax) - p * t.u, labelFormat, point);
    needed = std::max(needed, qint32(fromRight ? kLong : kLong + 30) + TextWidth(m, label));
  });
  scale.width = needed;
  const double w = scale.width;
  const double textHeight = TextHeight(m);
  const double x = fromRight ? 0 : kLong + 30;
  ForEachLength(t, [&](double p, double length, bool labelled) {
    d.ticks.push_back(fromRight ? QLineF(w - length, p, w, p) : QLineF(0, p, length, p));
    if (!labelled) return;
    // Centred on the tick, but the end labels stay inside the picture, not half cut.
    const double top = std::clamp(p - textHeight / 2, 0.0, std::max(0.0, scale.height - textHeight));
    d.labels.push_back({{x, top}, common::FormatText(double(s.ScaleMax) - p * t.u, labelFormat, point)});
  });
  return d;
}

ScaleDrawing DrawHoriScaler(MovieLayout& layout, int c, QChar point) {
  ScaleDrawing d;
  Element& scale = layout.at({Kind::Vaakamitta, c});
  if (!scale.visible) return d;
  const ChannelSetup& s = layout.setup[std::size_t(c - 1)];
  const Ticks t = Plan(s, scale.width);
  if (!t.valid) return d;
  const QFontMetricsF& m = Fonts().scaleMetrics;
  const qint32 textHeight = TextHeight(m);
  if (scale.top < kGrowLimit) {
    // Every tick's text has the same height, whatever its digits.
    scale.height = std::max(scale.height, Twips(10) + textHeight);
  }

  const Element& bar = layout.at({Kind::HorBar, c});
  const bool fromBottom = scale.top <= bar.top;  // the ticks face the bar
  const double h = scale.height;
  const QString labelFormat = LabelFormat(t);
  ForEachLength(t, [&](double p, double length, bool labelled) {
    d.ticks.push_back(fromBottom ? QLineF(p, h - length, p, h) : QLineF(p, 0, p, length));
    if (!labelled) return;
    // The label shows the bar's value at the tick: ScaleMin plus the distance.
    const QString text = common::FormatText(double(s.ScaleMin) + p * t.u, labelFormat, point);
    const double width = TextWidth(m, text);
    const double left = std::clamp(p - width / 2.0, 0.0, std::max(0.0, scale.width - width));
    d.labels.push_back({{left, fromBottom ? 0.0 : kLong}, text});
  });
  return d;
}

}  // namespace movie
