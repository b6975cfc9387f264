#include "logger/movie/run.h"

#include <cmath>

namespace movie {

std::optional<qint32> SampleBoundary(double typed, qint32 sampleCount) {
  const double r = std::nearbyint(typed);
  if (!(r >= 0 && r <= double(sampleCount))) return std::nullopt;  // NaN too
  return qint32(r);
}

RunSnapshot::RunSnapshot(const MovieSource& source) : store_(source.store), config_(source.config), view_(source.view) {
  if (source.derived) shown_ = source.derived();
  if (shown_.table) {
    table_ = *shown_.table;
    shown_.table = &table_;
  }
}

MovieSource RunSnapshot::source() const {
  return {store_, config_, view_, [this] { return shown_; }};
}

RunEnd RenderMovie(Scene& scene, const MovieSource& source, qint32 start, qint32 count, VideoWriter& writer,
                   const RunHooks& hooks) {
  if (count < 0 || !RangeInLog(source.store, start, qint64(start) + count)) return RunEnd::OutsideLog;
  // Element backgrounds are the canvas's colour, so with alpha they are clear too.
  scene.canvas = writer.alpha() ? QColor(Qt::transparent) : kCanvasBlue;
  scene.background = scene.canvas;
  QImage image;
  RunEnd end = RunEnd::Finished;
  for (qint32 n = 0; n < count; ++n) {
    if (hooks.running && !hooks.running()) {
      end = RunEnd::Cancelled;
      break;
    }
    if (hooks.yield) hooks.yield();
    const qint32 k = start + n;
    ShowValues(scene, source, k, true);
    ShowDerived(scene, source, k, true);
    ShowTime(scene, n, source.store.FreqCode);
    RenderFrame(scene, image);
    if (!writer.write(image)) {
      end = RunEnd::WriteError;
      break;
    }
    if (hooks.saved) hooks.saved(n);
  }
  scene.canvas = kCanvasBlue;  // the window shows the canvas as ever
  if (end == RunEnd::WriteError) return end;
  return writer.finish() ? end : RunEnd::WriteError;
}

}  // namespace movie
