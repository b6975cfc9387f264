#pragma once
// The frame loop of "Make Movie", shared by the movie window and `logtool movie`: one
// frame per sample, painted off screen by the canvas painter and handed to a writer.
#include "logger/movie/canvas.h"
#include "logger/movie/frame.h"
#include "logger/movie/videowriter.h"

#include <functional>
#include <optional>

namespace movie {

// A start or stop typed into the range dialog, rounded half to even: a sample boundary
// 0 to sampleCount, or nullopt. Judged as a double, before any conversion to an
// integer: a typed 12345678901234567890 has no integer value to compare.
std::optional<qint32> SampleBoundary(double typed, qint32 sampleCount);

// What a run reads, copied when it starts. The program goes on while frames are
// written: a download may end and load another log, a zero lock may change. The movie
// shows the log as it was when "Make Movie" was clicked. The copy costs the size of the
// samples (a few megabytes for the fullest logger memory).
class RunSnapshot {
 public:
  explicit RunSnapshot(const MovieSource& source);
  RunSnapshot(const RunSnapshot&) = delete;
  RunSnapshot& operator=(const RunSnapshot&) = delete;
  MovieSource source() const;

 private:
  logdata::SampleStore store_;
  common::ChannelConfiguration config_;
  trend::ViewState view_;
  derived::DerivedTable table_;
  derived::DerivedDisplay shown_;
};

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
