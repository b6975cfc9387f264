#include "logger/trend/cursor.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace trend {
namespace {

constexpr qint32 kNoCursorX = -100;

// The Basic Format function with '#' and '0' placeholders, as the read-outs use it:
//  - the number is first taken to 15 significant decimal digits (as Basic turns a
//    double into a decimal), then rounded to the pattern's decimals, halves away from
//    zero (Format's rounding, unlike the halves-to-even of whole-sample positions);
//  - '#' prints a digit only where the number has one, '0' always: with "####" 0 is ""
//    and with "####.##" it is "."; 0.5 is ".5" and exactly 1 is "1." (a point in the
//    pattern is always kept); "###0.00" gives 0 as "0.00";
//  - a negative number keeps its minus sign even when it rounds to zero ("-", "-."),
//    as Format does for "-0";
//  - more integer digits than placeholders are all shown.
QString basicFormat(double value, int minWhole, int minDecimals, int decimals, bool point) {
  if (!std::isfinite(value)) return QString();
  const bool negative = value < 0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  char digits[16];
  int n = 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9' && n < 15) digits[n++] = *p;
  const int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;

  // Digits of round(|value| * 10^decimals), most significant first.
  const int keep = exponent + 1 + decimals;
  QByteArray scaled;
  if (keep <= 0) {
    scaled = (keep == 0 && digits[0] >= '5') ? "1" : "0";
  } else if (keep >= n) {
    scaled = QByteArray(digits, n) + QByteArray(keep - n, '0');
  } else {
    scaled = QByteArray(digits, keep);
    if (digits[keep] >= '5') {
      int i = keep - 1;
      for (; i >= 0 && scaled[i] == '9'; --i) scaled[i] = '0';
      if (i >= 0)
        scaled[i] = char(scaled[i] + 1);
      else
        scaled.prepend('1');
    }
  }
  if (scaled.size() < decimals + 1) scaled.prepend(QByteArray(decimals + 1 - scaled.size(), '0'));
  QByteArray whole = scaled.left(scaled.size() - decimals);
  QByteArray fraction = scaled.right(decimals);
  while (whole.size() > minWhole && whole[0] == '0') whole.remove(0, 1);
  while (fraction.size() > minDecimals && fraction.endsWith('0')) fraction.chop(1);

  QString out = negative ? QStringLiteral("-") : QString();
  out += QString::fromLatin1(whole);
  if (point) out += QLatin1Char('.') + QString::fromLatin1(fraction);
  return out;
}

qint32 roundTwips(double x) {
  const double r = std::nearbyint(x);
  if (!(r >= std::numeric_limits<qint32>::min())) return std::numeric_limits<qint32>::min();  // also NaN
  return qint32(std::min(r, double(std::numeric_limits<qint32>::max())));
}

QString positionText(const ViewState& view, const CursorInput& in, double x, double) {
  return PositionText(view, in.store.FreqCode, x, in.width);
}

CursorLine moveLine(ViewState& view, double x) {
  CursorLine line;
  line.erase = view.CursorX != kNoCursorX;
  line.eraseX = view.CursorX;
  line.drawX = roundTwips(x);
  view.CursorX = line.drawX;
  return line;
}

}  // namespace

QString FormatWhole(double value) { return basicFormat(value, 0, 0, 0, false); }
QString FormatTwoDecimals(double value) { return basicFormat(value, 0, 0, 2, true); }

QString FormatPattern(double value, QStringView pattern) {
  const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
  const QStringView whole = dot < 0 ? pattern : pattern.left(dot);
  const QStringView fraction = dot < 0 ? QStringView() : pattern.mid(dot + 1);
  const int minWhole = int(whole.size() - whole.indexOf(QLatin1Char('0')));
  return basicFormat(value, whole.contains(QLatin1Char('0')) ? minWhole : 0,
                     int(fraction.count(QLatin1Char('0'))), int(fraction.size()), dot >= 0);
}

QString PositionText(const ViewState& view, quint8 freqCode, double x, double width) {
  if (view.SecondsMode) {
    // Computed in doubles: the 32-bit product FreqCode * start * 20 overflows on long logs.
    const double f = freqCode;
    const double w = width > 0 ? width : 1;
    const double t = (x / w * view.WindowLength * f * 20) / 1000 + (f * view.WindowStart * 20) / 1000;
    return FormatTwoDecimals(t);
  }
  return FormatWhole(TrendPosition(view, x, width));
}

qint32 ReadableSample(const logdata::SampleStore& store, qint32 k) {
  return std::clamp<qint32>(k, 0, std::max<qint32>(0, store.columns() - 1));
}

double DriftCorrection(const ViewState& view, int channelIndex, qint32 k) {
  if (channelIndex != 4 && channelIndex != 5) return 0;
  const double b1 = view.EngBias[std::size_t(channelIndex)];
  const double b2 = view.EngBias[std::size_t(channelIndex + 8)];
  const qint32 s1 = view.BiasRef[0];
  const qint32 s2 = view.BiasRef[1];
  if (s1 < k && k < s2) return (b1 - b2) * (double(k) - s1) / (double(s2) - s1);
  return 0;
}

double ShownValue(const ViewState& view, const logdata::SampleStore& store, const common::ChannelConfiguration& config,
                  int channel, qint32 k) {
  const int i = channel - 1;
  const double value = common::ScaleRaw(config, channel, store.at(i, k));
  return value - view.EngBias[std::size_t(i)] + DriftCorrection(view, i, k);
}

void CaptureBiasCandidates(ViewState& view, const logdata::SampleStore& store,
                           const common::ChannelConfiguration& config, MouseButton button, qint32 k) {
  k = ReadableSample(store, k);
  if (button == MouseButton::Left) {
    for (int c = 1; c <= common::kChannelCount; ++c) {
      const qint16 raw = store.at(c - 1, k);
      view.EngCandidate[std::size_t(c - 1)] = common::ScaleRaw(config, c, raw);
      view.RawCandidate[std::size_t(c - 1)] = raw;
    }
    view.CandidateRef[0] = k;
  } else if (button == MouseButton::Right) {
    view.EngCandidate[12] = common::ScaleRaw(config, 5, store.at(4, k));
    view.EngCandidate[13] = common::ScaleRaw(config, 6, store.at(5, k));
    view.CandidateRef[1] = k;
  }
}

CursorReadout CursorMove(ViewState& view, const CursorInput& in, double x) {
  CursorReadout out;
  const double p = TrendPosition(view, x, in.width);
  out.position = positionText(view, in, x, p);
  view.CursorSample = ReadableSample(in.store, RoundSample(p));
  const qint32 k = view.CursorSample;

  if (in.logLoaded) {
    out.valuesValid = true;
    // Channels 5 and 6 show the altitude and the speed instead while "Speed / Alt" is ticked.
    const derived::DerivedDisplay derivedShown{in.derived, view.SpeedAlt, view.SpeedUnit};
    for (int c = 1; c <= common::kChannelCount; ++c) {
      const std::optional<double> d = derived::ShownDerived(derivedShown, c, k);
      out.values[std::size_t(c - 1)] = common::NumberToText(d ? *d : ShownValue(view, in.store, in.config, c, k));
    }
  }
  out.line = moveLine(view, x);
  return out;
}

PressResult CursorPress(ViewState& view, const CursorInput& in, MouseButton button, double x, common::Prompt& prompt) {
  PressResult result;
  if (!in.logLoaded) {
    prompt.message(common::msg::kTitleLogger, common::msg::kNoData, common::PromptIcon::Exclamation);
    return result;
  }
  result.handled = true;
  result.redraw = Redraw::Overview;
  const double p = TrendPosition(view, x, in.width);
  result.readout.position = positionText(view, in, x, p);
  CaptureBiasCandidates(view, in.store, in.config, button, RoundSample(p));
  result.readout.line = moveLine(view, x);
  return result;
}

}  // namespace trend
