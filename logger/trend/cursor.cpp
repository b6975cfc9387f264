#include "logger/trend/cursor.h"

#include "common/formattext.h"
#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trend {
namespace {

constexpr qint16 kNoCursorX = -100;

qint16 roundTwips(double x) {
  const double r = std::nearbyint(x);
  return qint16(std::clamp(r, double(std::numeric_limits<qint16>::min()), double(std::numeric_limits<qint16>::max())));
}

QString positionText(const ViewState& view, const CursorInput& in, double x, double p) {
  if (view.SecondsMode) {
    // Computed in doubles: the 32-bit product FreqCode * start * 20 overflows on long logs.
    const double f = in.store.FreqCode;
    const double w = in.width > 0 ? in.width : 1;
    const double t = (x / w * view.WindowLength * f * 20) / 1000 + (f * view.WindowStart * 20) / 1000;
    return FormatTwoDecimals(t);
  }
  return FormatWhole(p);
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

QString FormatWhole(double value) { return common::FormatText(value, QStringLiteral("####")); }
QString FormatTwoDecimals(double value) { return common::FormatText(value, QStringLiteral("####.##")); }

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
    for (int c = 1; c <= common::kChannelCount; ++c)
      out.values[std::size_t(c - 1)] = common::NumberToText(ShownValue(view, in.store, in.config, c, k));
    const DerivedColumns* d = in.derived;
    if (view.SpeedAlt && d && d->speed && d->altitude && k < d->count) {
      const double altitude = d->altitude[std::size_t(k) * std::size_t(d->stride)];
      const double speed = d->speed[std::size_t(k) * std::size_t(d->stride)];
      double shownAltitude = altitude, shownSpeed = speed;
      if (view.SpeedUnit == 1) {
        shownSpeed = speed * 3.6;
      } else if (view.SpeedUnit == 2) {
        shownAltitude = altitude / 0.3048;
        shownSpeed = speed * 3.6 / 1.609344;
      }
      out.values[4] = common::NumberToText(shownAltitude);
      out.values[5] = common::NumberToText(shownSpeed);
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
