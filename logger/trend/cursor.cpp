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

constexpr qint32 kNoCursorX = -100;

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

QString FormatWhole(double value) { return common::FormatText(value, QStringLiteral("####")); }
QString FormatTwoDecimals(double value) { return common::FormatText(value, QStringLiteral("####.##")); }

QString FormatPattern(double value, QStringView pattern) { return common::FormatText(value, pattern.toString()); }

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
    view.LeftCandidateTaken = true;
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
