#include "logger/trend/gestures.h"

#include <Qt>
#include <algorithm>
#include <cmath>

namespace trend {

double WheelFactor(int angleDelta) { return std::pow(kWheelZoomStep, -angleDelta / 120.0); }

void RememberView(ViewState& view) {
  view.PreviousStart = view.WindowStart;
  view.PreviousEnd = view.WindowEnd;
}

Redraw MoveWindowTo(ViewState& view, qint64 start, qint32 sampleCount) {
  const qint32 length = std::clamp<qint32>(view.WindowLength, 1, std::max<qint32>(1, sampleCount));
  const qint64 last = std::max<qint64>(0, qint64(sampleCount) - length);
  view.WindowStart = qint32(std::clamp<qint64>(start, 0, last));
  view.WindowLength = length;
  view.WindowEnd = view.WindowStart + length;
  return Redraw::Both;
}

Redraw ZoomAt(ViewState& view, double x, double width, double factor, qint32 sampleCount) {
  if (sampleCount <= 0 || width <= 0 || !(factor > 0)) return Redraw::None;
  RememberView(view);
  const double fraction = std::clamp(x / width, 0.0, 1.0);
  const double pointed = TrendPosition(view, fraction * width, width);
  const double wanted = std::nearbyint(view.WindowLength * factor);
  // A step that rounds back to the same length still moves: one sample at least.
  double length = std::clamp(wanted, 1.0, double(sampleCount));
  if (length == view.WindowLength && factor != 1)
    length = std::clamp(view.WindowLength + (factor > 1 ? 1.0 : -1.0), 1.0, double(sampleCount));
  view.WindowLength = qint32(length);
  return MoveWindowTo(view, qint64(std::llround(pointed - fraction * length)), sampleCount);
}

Redraw PanTo(ViewState& view, qint32 startAtPress, double fromX, double toX, double width, qint32 sampleCount) {
  if (width <= 0) return Redraw::None;
  const double shift = (fromX - toX) / width * view.WindowLength;
  return MoveWindowTo(view, qint64(startAtPress) + std::llround(shift), sampleCount);
}

double SampleX(const ViewState& view, double k, double width) {
  if (view.WindowLength <= 0) return 0;
  return (k - view.WindowStart) / view.WindowLength * width;
}

std::optional<Redraw> NavigationKey(ViewState& view, int key, const QString& text, double width, qint32 sampleCount) {
  const qint64 start = view.WindowStart;
  switch (key) {
    case Qt::Key_PageUp: RememberView(view); return MoveWindowTo(view, start - view.WindowLength, sampleCount);
    case Qt::Key_PageDown: RememberView(view); return MoveWindowTo(view, start + view.WindowLength, sampleCount);
    case Qt::Key_Home: RememberView(view); return MoveWindowTo(view, 0, sampleCount);
    case Qt::Key_End: RememberView(view); return MoveWindowTo(view, sampleCount, sampleCount);
    default: break;
  }
  if (text == QLatin1String("+") || text == QLatin1String("-")) {
    const double x = std::clamp(SampleX(view, view.CursorSample, width), 0.0, width);
    return ZoomAt(view, x, width, text == QLatin1String("+") ? 1 / kWheelZoomStep : kWheelZoomStep, sampleCount);
  }
  return std::nullopt;
}

}  // namespace trend
