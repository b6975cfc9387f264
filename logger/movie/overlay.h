#pragma once
// The gauges laid over a user's own video: each frame of the video gets the canvas of
// the sample whose time has come, with a transparent background, and is encoded again
// with H.264; the sound is copied as it is.
#include "logger/movie/canvas.h"
#include "logger/movie/frame.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

namespace movie {

// The encoder and its settings; the benchmark's plain transcode uses the same.
inline constexpr const char* kOverlayEncoder = "libx264";
inline constexpr const char* kOverlayPreset = "medium";
inline constexpr const char* kOverlayCrf = "20";

// A larger canvas would only be cut by any picture a camera makes.
inline constexpr double kMaxOverlayScale = 8;

struct OverlayPlacement {
  double at = 0;     // seconds into the video where the range's first sample appears
  QPoint position;   // where the canvas's top-left corner lands, video pixels
  double scale = 1;  // of the 720 x 540 canvas
};

// The sample a frame at `t` seconds of the video shows: sample `from` appears at `at`,
// each next one a sample interval (FreqCode / 50 s) later, up to `to`. None before
// `at`, and none from one interval after `to`'s time on: the frame stays as it was.
std::optional<qint32> OverlaySample(double t, double at, qint32 from, qint32 to, quint8 freqCode);

// Whether samples `from` to `to` shown from `at` on overlap a video of `duration`
// seconds at all.
bool OverlayMeetsVideo(double at, qint32 from, qint32 to, quint8 freqCode, double duration);

// The FFmpeg muxer the output's extension names: ".mp4" MP4, ".mkv" Matroska; null for
// any other.
const char* OverlayMuxer(const QString& output);

enum class OverlayEnd {
  Finished,     // the output is complete under its name
  Cancelled,    // stopped by the caller
  InputError,   // the video cannot be read, has no video stream, is damaged or ends early
  OutputError,  // the output cannot be written
  OutsideLog,   // the range does not lie within the log, or the log has no rate
  MissesVideo,  // the range is shown before the video starts or after it ends
};

struct OverlayOutcome {
  OverlayEnd end = OverlayEnd::Finished;
  QString error;  // why, for every end but Finished and Cancelled
};

struct OverlayHooks {
  std::function<bool()> running;              // asked before every frame; false cancels
  std::function<void()> yield;                // lets a window handle its events
  std::function<void(double done)> progress;  // share of the video written, 0 to 1
};

// Writes `output` (through a temporary file beside it: after any failure nothing is
// left under that name). Samples `from` to `to` (both shown) with the scene's layout,
// whose scales the caller has drawn. The scene's canvas is blue again afterwards.
OverlayOutcome OverlayVideo(Scene& scene, const MovieSource& source, qint32 from, qint32 to,
                            const OverlayPlacement& place, const QString& input, const QString& output,
                            const OverlayHooks& hooks);

}  // namespace movie
