#include "logger/trend/navigation.h"

#include "common/messages.h"
#include "common/numtext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trend {

qint32 RoundSample(double position) {
  // nearbyint follows the default rounding mode, which is to-nearest-even.
  const double r = std::nearbyint(position);
  constexpr double lo = std::numeric_limits<qint32>::min();
  constexpr double hi = std::numeric_limits<qint32>::max();
  if (!(r >= lo)) return std::numeric_limits<qint32>::min();  // also NaN
  if (r > hi) return std::numeric_limits<qint32>::max();
  return qint32(r);
}

double TrendPosition(const ViewState& view, double x, double width) {
  if (width <= 0) return view.WindowStart;
  return x / width * view.WindowLength + view.WindowStart;
}

double OverviewPosition(double x, double width, qint32 sampleCount) {
  if (width <= 0) return 0;
  return x / width * sampleCount;
}

Redraw Ahead(ViewState& view, qint32 sampleCount) {
  view.WindowStart += 1;
  view.WindowEnd = view.WindowStart + view.WindowLength;
  if (view.WindowEnd > sampleCount) {
    view.WindowEnd = sampleCount;
    // A window longer than the log would start before sample 0 and make the drawing
    // read outside the store; it is held at the first sample instead.
    view.WindowStart = std::max<qint32>(0, sampleCount - view.WindowLength);
  }
  return Redraw::Both;
}

Redraw Back(ViewState& view) {
  view.WindowStart = std::max<qint32>(0, view.WindowStart - 1);
  view.WindowEnd = view.WindowStart + view.WindowLength;
  return Redraw::Both;
}

Redraw Lengthen(ViewState& view, qint32 sampleCount, qint32 delta) {
  const qint32 old = view.WindowLength;
  view.WindowLength = std::min(view.WindowLength + delta, sampleCount);
  view.WindowEnd = view.WindowStart + view.WindowLength;
  if (view.WindowEnd > sampleCount) {
    view.WindowLength = old;
    view.WindowEnd = view.WindowStart + old;
  }
  return Redraw::Both;
}

Redraw Shorten(ViewState& view, qint32 delta) {
  view.WindowLength = std::max<qint32>(1, view.WindowLength - delta);
  view.WindowEnd = view.WindowStart + view.WindowLength;
  return Redraw::Both;
}

Redraw ZoomBack(ViewState& view, qint32 sampleCount) {
  view.WindowStart = view.PreviousStart;
  view.WindowEnd = view.PreviousEnd;
  view.WindowLength = view.WindowEnd - view.WindowStart;
  if (view.WindowEnd > sampleCount) {
    view.WindowEnd = std::max<qint32>(0, sampleCount);
    view.WindowStart = std::max<qint32>(0, view.WindowEnd - view.WindowLength);
    view.WindowLength = view.WindowEnd - view.WindowStart;
  }
  return Redraw::Both;
}

std::optional<Redraw> NavigationButton(ViewState& view, QStringView name, qint32 sampleCount) {
  if (name == u"Ahead") return Ahead(view, sampleCount);
  if (name == u"Back") return Back(view);
  if (name == u"LenPlus5") return Lengthen(view, sampleCount, 5);
  if (name == u"LenPlus1") return Lengthen(view, sampleCount, 1);
  if (name == u"LenMinus5") return Shorten(view, 5);
  if (name == u"LenMinus1") return Shorten(view, 1);
  if (name == u"Zoom_Back") return ZoomBack(view, sampleCount);
  return std::nullopt;
}

QString SampSecCaption(bool secondsMode) {
  return secondsMode ? common::msg::kCaptionSeconds : common::msg::kCaptionSamples;
}

QString ToggleSeconds(ViewState& view) {
  view.SecondsMode = !view.SecondsMode;
  return SampSecCaption(view.SecondsMode);
}

namespace {

double clampX(double x, double width) { return std::clamp(x, 0.0, std::max(0.0, width)); }

qint32 overviewSample(double x, double width, qint32 sampleCount) {
  return RoundSample(OverviewPosition(clampX(x, width), width, sampleCount));
}

}  // namespace

Redraw OverviewPress(ViewState& view, MouseButton button, double x, double width, qint32 sampleCount) {
  if (button == MouseButton::Right) {
    view.PreviousStart = view.WindowStart;
    view.PreviousEnd = view.WindowEnd;
    view.WindowStart = overviewSample(x, width, sampleCount);
    view.WindowEnd = view.WindowStart;
  }
  return Redraw::Overview;
}

Redraw OverviewRightDrag(ViewState& view, double x, double width, qint32 sampleCount) {
  view.WindowEnd = overviewSample(x, width, sampleCount);
  return Redraw::Overview;
}

Redraw OverviewRelease(ViewState& view, MouseButton button, double x, double width, qint32 sampleCount) {
  if (button == MouseButton::Right) {
    view.WindowEnd = overviewSample(x, width, sampleCount);
    if (view.WindowStart == view.WindowEnd) {
      if (view.WindowStart == 0)
        view.WindowEnd += 1;
      else
        view.WindowStart -= 1;
    }
    if (view.WindowStart > view.WindowEnd) std::swap(view.WindowStart, view.WindowEnd);
    view.WindowLength = view.WindowEnd - view.WindowStart;
  }
  return Redraw::Both;
}

Redraw OverviewLeftDrag(ViewState& view, double x, double width, qint32 sampleCount) {
  if (sampleCount <= 0 || width <= 0) return Redraw::None;
  const double half = double(view.WindowLength) / sampleCount * width * 0.5;
  if (x - half < 0) x = half;
  if (x + half > width) x = width - half;
  qint32 start = RoundSample(x / width * sampleCount - view.WindowLength * 0.5);
  // Rounding of the two half-lengths can land one sample outside the log at either end.
  start = std::clamp<qint32>(start, 0, std::max<qint32>(0, sampleCount - view.WindowLength));
  view.WindowStart = start;
  view.WindowEnd = start + view.WindowLength;
  return Redraw::Both;
}

double ArrowKeyX(double currentX, double width, int direction) {
  return clampX(currentX + (direction < 0 ? -1.0 : 1.0), width);
}

WindowTexts WindowBoxTexts(const ViewState& view, quint8 freqCode) {
  // FreqCode 0 (only a damaged file brings it) has no sample rate; such a log is shown
  // in samples rather than as a division by zero.
  if (view.SecondsMode && freqCode != 0) {
    const double rate = 50.0 / freqCode;
    return {common::LocaleDoubleText(view.WindowStart / rate), common::LocaleDoubleText(view.WindowEnd / rate),
            common::LocaleDoubleText(view.WindowLength / rate)};
  }
  return {QString::number(view.WindowStart), QString::number(view.WindowEnd), QString::number(view.WindowLength)};
}

}  // namespace trend
