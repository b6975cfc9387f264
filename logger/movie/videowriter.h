#pragma once
// Where movie frames go: a small interface, an AVI file written with FFmpeg behind it,
// and a decorator that encodes on a worker thread while the next frame is painted.
#include <QImage>
#include <QString>
#include <memory>

namespace movie {

// What FFmpeg's AVI muxer carries and Debian's FFmpeg encodes, and ProRes 4444 with
// alpha in QuickTime for video editors that lay the gauges over their own film.
enum class Codec { Raw, Mjpeg, Ffv1, Mpeg4, Prores4444 };

// The fixed quantiser of the lossy codecs (Motion JPEG, MPEG-4): near the source, files
// about a tenth of uncompressed. Every frame is coded with it; no rate control.
constexpr int kLossyQuantiser = 3;

class VideoWriter {
 public:
  virtual ~VideoWriter() = default;
  // One 720 x 540 frame (any QImage format; RGB32 converts fastest). False once the
  // file cannot take it; error() says why.
  virtual bool write(const QImage& frame) = 0;
  // Closes the file; only now does it appear under its name (an old file of that name
  // is replaced). A writer destroyed without finish() leaves nothing behind.
  virtual bool finish() = 0;
  virtual QString error() const = 0;
  // True when the file keeps an alpha channel: the frames then come with a transparent
  // canvas, and only the gauges are opaque.
  virtual bool alpha() const { return false; }
};

// An AVI with one "vids" stream of 720 x 540 frames at `rate` (1..30) per second, scale
// 1, every frame a key frame. Uncompressed frames are 24-bit bottom-up rows, as a
// device-independent bitmap has them. Written to a temporary file in the target's
// folder until finish(). Null and *error set when the file or encoder cannot be opened.
std::unique_ptr<VideoWriter> OpenAvi(const QString& path, Codec codec, int rate, QString* error);
// The same for every codec: an AVI for the AVI codecs, a QuickTime file (ProRes 4444,
// 10-bit 4:4:4 with a 16-bit alpha plane) for Codec::Prores4444.
std::unique_ptr<VideoWriter> OpenMovieFile(const QString& path, Codec codec, int rate, QString* error);

// Hands frames to `inner` on a worker thread; write() returns as soon as the previous
// frame has been taken, and reports an encoder failure one frame late.
std::unique_ptr<VideoWriter> Pipelined(std::unique_ptr<VideoWriter> inner);

// "raw", "mjpeg", "ffv1", "mpeg4", "prores4444".
bool CodecFromName(const QString& name, Codec* codec);

// Shared by everything here that writes video with FFmpeg.
// FFmpeg's own log would reach the terminal; its errors come back as return codes.
void QuietFfmpegLog();
// A unique hidden name beside `path`, so that the final rename stays on one file system;
// empty (and *error set) when the folder takes no file.
QString TemporaryBeside(const QString& path, QString* error);
// FFmpeg's text for one of its error codes.
QString FfmpegError(int err);

}  // namespace movie
