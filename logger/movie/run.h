#pragma once
// The frame loop of "Make Movie", shared by the movie window and `logtool movie`: one
// frame per sample, painted off screen by the canvas painter and handed to a writer.
#include "logger/movie/canvas.h"
#include "logger/movie/frame.h"
#include "logger/movie/videowriter.h"

#include <functional>

namespace movie {

struct RunHooks {
  std::function<bool()> running;           // asked before every frame; false stops the run
  std::function<void()> yield;             // lets the window handle its events
  std::function<void(qint32 n)> saved;     // frame n (0-based) went to the writer
};

enum class RunEnd {
  Finished,     // every frame written, file closed
  Cancelled,    // stopped before a frame; the frames so far are in the closed file
  WriteError,   // the writer failed; nothing is kept
  OutsideLog,   // the range does not lie within the log; nothing was read or written
};

// Frames show samples start to start + count - 1 with the scene's layout (whose scales
// the caller has drawn) on blue backgrounds.
RunEnd RenderMovie(Scene& scene, const MovieSource& source, qint32 start, qint32 count, VideoWriter& writer,
                   const RunHooks& hooks);

}  // namespace movie
