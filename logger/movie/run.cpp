#include "logger/movie/run.h"

namespace movie {

RunEnd RenderMovie(Scene& scene, const MovieSource& source, qint32 start, qint32 count, VideoWriter& writer,
                   const RunHooks& hooks) {
  if (count < 0 || !RangeInLog(source.store, start, qint64(start) + count)) return RunEnd::OutsideLog;
  scene.background = kCanvasBlue;
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
    if (!writer.write(image)) return RunEnd::WriteError;
    if (hooks.saved) hooks.saved(n);
  }
  return writer.finish() ? end : RunEnd::WriteError;
}

}  // namespace movie
