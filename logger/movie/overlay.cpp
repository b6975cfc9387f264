// Decode, blend, encode: the canvas is blended straight into the decoded 4:2:0 planes,
// only inside its own rectangle, so that the gauges cost little beside the decoder and
// the encoder.
#include "logger/movie/overlay.h"

#include "logger/movie/videowriter.h"

#include <QFile>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace movie {

namespace {

// Timestamps are rational; a frame lying exactly on a sample's time must not fall a
// sample short through rounding.
constexpr double kTimeSlack = 1e-9;

double Interval(quint8 freqCode) { return freqCode / 50.0; }

// Y, U and V of a colour, 8 bits, limited range, with the matrix the video uses.
struct Matrix {
  int yr, yg, yb, ur, ug, ub, vr, vg, vb;
};
constexpr Matrix kBt601{66, 129, 25, -38, -74, 112, 112, -94, -18};
constexpr Matrix kBt709{47, 157, 16, -26, -87, 112, 112, -102, -10};

// The canvas of one sample as it lands on the picture: per luma pixel its alpha and
// alpha x Y, per chroma pixel the sums over its 2 x 2 luma pixels.
struct Blend {
  QRect luma;    // picture pixels the canvas covers
  QRect chroma;  // the chroma pixels they touch
  std::vector<quint16> a, ya;
  std::vector<quint16> ca;
  std::vector<quint32> cu, cv;

  void build(const QImage& straight, QPoint at, QSize picture, const Matrix& m) {
    luma = QRect(at, straight.size()).intersected(QRect(QPoint(0, 0), picture));
    chroma = luma.isEmpty() ? QRect() : QRect(QPoint(luma.left() / 2, luma.top() / 2),
                                              QPoint(luma.right() / 2, luma.bottom() / 2));
    a.assign(std::size_t(luma.width()) * std::size_t(std::max(luma.height(), 0)), 0);
    ya.assign(a.size(), 0);
    ca.assign(std::size_t(chroma.width()) * std::size_t(std::max(chroma.height(), 0)), 0);
    cu.assign(ca.size(), 0);
    cv.assign(ca.size(), 0);
    for (int y = luma.top(); y <= luma.bottom(); ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(straight.constScanLine(y - at.y()));
      for (int x = luma.left(); x <= luma.right(); ++x) {
        const QRgb p = row[x - at.x()];
        const int alpha = qAlpha(p);
        if (alpha == 0) continue;
        const int r = qRed(p), g = qGreen(p), b = qBlue(p);
        const std::size_t i = std::size_t(y - luma.top()) * std::size_t(luma.width()) + std::size_t(x - luma.left());
        a[i] = quint16(alpha);
        ya[i] = quint16(alpha * (((m.yr * r + m.yg * g + m.yb * b + 128) >> 8) + 16));
        const std::size_t c = std::size_t(y / 2 - chroma.top()) * std::size_t(chroma.width()) +
                              std::size_t(x / 2 - chroma.left());
        ca[c] = quint16(ca[c] + alpha);
        cu[c] += quint32(alpha * (((m.ur * r + m.ug * g + m.ub * b + 128) >> 8) + 128));
        cv[c] += quint32(alpha * (((m.vr * r + m.vg * g + m.vb * b + 128) >> 8) + 128));
      }
    }
  }

  void apply(AVFrame* f) const {
    for (int y = luma.top(); y <= luma.bottom(); ++y) {
      uint8_t* row = f->data[0] + std::ptrdiff_t(y) * f->linesize[0];
      const std::size_t base = std::size_t(y - luma.top()) * std::size_t(luma.width());
      for (int x = 0; x < luma.width(); ++x) {
        const unsigned alpha = a[base + std::size_t(x)];
        if (alpha == 0) continue;
        uint8_t& v = row[luma.left() + x];
        v = uint8_t((v * (255 - alpha) + ya[base + std::size_t(x)] + 127) / 255);
      }
    }
    for (int y = chroma.top(); y <= chroma.bottom(); ++y) {
      uint8_t* u = f->data[1] + std::ptrdiff_t(y) * f->linesize[1];
      uint8_t* v = f->data[2] + std::ptrdiff_t(y) * f->linesize[2];
      const std::size_t base = std::size_t(y - chroma.top()) * std::size_t(chroma.width());
      for (int x = 0; x < chroma.width(); ++x) {
        const std::size_t i = base + std::size_t(x);
        const unsigned alpha = ca[i];  // of up to four pixels: 0 to 1020
        if (alpha == 0) continue;
        uint8_t& pu = u[chroma.left() + x];
        uint8_t& pv = v[chroma.left() + x];
        pu = uint8_t((pu * (1020 - alpha) + cu[i] + 510) / 1020);
        pv = uint8_t((pv * (1020 - alpha) + cv[i] + 510) / 1020);
      }
    }
  }
};

class Overlayer {
 public:
  Overlayer(Scene& scene, const MovieSource& source, qint32 from, qint32 to, const OverlayPlacement& place)
      : scene_(scene), source_(source), from_(from), to_(to), place_(place) {}
  ~Overlayer() {
    scene_.canvas = kCanvasBlue;
    scene_.background = kCanvasBlue;
    if (out_ && out_->pb) avio_closep(&out_->pb);
    avformat_free_context(out_);
    avformat_close_input(&in_);
    avcodec_free_context(&decoder_);
    avcodec_free_context(&encoder_);
    av_frame_free(&decoded_);
    av_frame_free(&converted_);
    av_packet_free(&packet_);
    av_packet_free(&encoded_);
    sws_freeContext(convert_);
    if (!temp_.isEmpty()) QFile::remove(temp_);
  }

  OverlayOutcome run(const QString& input, const QString& output, const OverlayHooks& hooks);

 private:
  OverlayOutcome fail(OverlayEnd end, const QString& why) { return {end, why}; }
  OverlayOutcome openInput(const QString& input);
  OverlayOutcome openOutput(const QString& output);
  // One decoded frame: blended where its time shows a sample, then encoded.
  bool frame(AVFrame* f, QString* why);
  bool encode(const AVFrame* f, QString* why);
  bool copyAudio(AVPacket* p, QString* why);
  void showSample(qint32 k);

  Scene& scene_;
  const MovieSource& source_;
  qint32 from_, to_;
  OverlayPlacement place_;

  AVFormatContext* in_ = nullptr;
  AVFormatContext* out_ = nullptr;
  AVCodecContext* decoder_ = nullptr;
  AVCodecContext* encoder_ = nullptr;
  AVFrame* decoded_ = nullptr;
  AVFrame* converted_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVPacket* encoded_ = nullptr;
  SwsContext* convert_ = nullptr;
  int video_ = -1;
  AVStream* videoOut_ = nullptr;
  std::vector<int> audioOut_;  // per input stream: the output stream, or -1
  QString temp_;

  double start_ = 0;     // time of the video stream's start, seconds
  double duration_ = 0;  // of the video, seconds
  double frameTime_ = 0; // one frame interval, seconds
  double lastEnd_ = 0;   // end of the last decoded frame
  qint64 frames_ = 0;
  qint64 lastPts_ = AV_NOPTS_VALUE;
  Matrix matrix_ = kBt601;
  std::optional<qint32> shown_;
  Blend blend_;
  QImage canvas_;
};

OverlayOutcome Overlayer::openInput(const QString& input) {
  const QByteArray name = QFile::encodeName(input);
  int err = avformat_open_input(&in_, name.constData(), nullptr, nullptr);
  if (err < 0) return fail(OverlayEnd::InputError, QStringLiteral("cannot read '%1': %2").arg(input, FfmpegError(err)));
  err = avformat_find_stream_info(in_, nullptr);
  if (err < 0) return fail(OverlayEnd::InputError, QStringLiteral("cannot read '%1': %2").arg(input, FfmpegError(err)));
  const AVCodec* codec = nullptr;
  video_ = av_find_best_stream(in_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (video_ < 0 || !codec)
    return fail(OverlayEnd::InputError, QStringLiteral("'%1' holds no video that can be decoded.").arg(input));
  const AVStream* st = in_->streams[video_];
  decoder_ = avcodec_alloc_context3(codec);
  if (!decoder_ || avcodec_parameters_to_context(decoder_, st->codecpar) < 0)
    return fail(OverlayEnd::InputError, FfmpegError(AVERROR(ENOMEM)));
  decoder_->thread_count = 0;
  // A damaged picture comes out flagged (and is refused then, see frame()); the
  // decoder's own "explode" mode trips an assertion of libavcodec 5.1 on such a file.
  err = avcodec_open2(decoder_, codec, nullptr);
  if (err < 0) return fail(OverlayEnd::InputError, QStringLiteral("cannot decode '%1': %2").arg(input, FfmpegError(err)));

  const double tb = av_q2d(st->time_base);
  start_ = st->start_time != AV_NOPTS_VALUE ? st->start_time * tb : 0;
  // Matroska tells each stream's length only in a tag; the file's length may be the
  // sound's, a little longer than the pictures.
  const AVDictionaryEntry* tag = av_dict_get(st->metadata, "DURATION", nullptr, 0);
  // A program that formats numbers in its locale (as one linking the muxer in a decimal-comma
  // locale does) writes the seconds with a comma: read either.
  const QStringList hms =
      tag ? QString::fromLatin1(tag->value).replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(':'))
          : QStringList();
  duration_ = st->duration != AV_NOPTS_VALUE && st->duration > 0 ? st->duration * tb
              : hms.size() == 3 ? hms[0].toDouble() * 3600 + hms[1].toDouble() * 60 + hms[2].toDouble()
              : in_->duration != AV_NOPTS_VALUE ? double(in_->duration) / AV_TIME_BASE
                                                : 0;
  const AVRational rate = av_guess_frame_rate(in_, in_->streams[video_], nullptr);
  frameTime_ = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 1.0 / 25;
  if (duration_ <= 0)
    return fail(OverlayEnd::InputError, QStringLiteral("'%1' does not tell how long it is.").arg(input));
  matrix_ = st->codecpar->color_space == AVCOL_SPC_BT709 ||
                    (st->codecpar->color_space == AVCOL_SPC_UNSPECIFIED && st->codecpar->height > 576)
                ? kBt709
                : kBt601;
  return {};
}

OverlayOutcome Overlayer::openOutput(const QString& output) {
  const char* muxer = OverlayMuxer(output);
  if (!muxer) return fail(OverlayEnd::OutputError, QStringLiteral("'%1' is neither .mp4 nor .mkv.").arg(output));
  QString why;
  temp_ = TemporaryBeside(output, &why);
  if (temp_.isEmpty()) return fail(OverlayEnd::OutputError, QStringLiteral("cannot write '%1': %2").arg(output, why));
  auto failOut = [&](int err) {
    return fail(OverlayEnd::OutputError, QStringLiteral("cannot write '%1': %2").arg(output, FfmpegError(err)));
  };
  int err = avformat_alloc_output_context2(&out_, nullptr, muxer, nullptr);
  if (err < 0 || !out_) return failOut(err);

  const AVStream* vin = in_->streams[video_];
  const AVCodec* h264 = avcodec_find_encoder_by_name(kOverlayEncoder);
  if (!h264) return fail(OverlayEnd::OutputError, QStringLiteral("this FFmpeg has no %1.").arg(kOverlayEncoder));
  encoder_ = avcodec_alloc_context3(h264);
  videoOut_ = avformat_new_stream(out_, nullptr);
  if (!encoder_ || !videoOut_) return failOut(AVERROR(ENOMEM));
  encoder_->width = vin->codecpar->width;
  encoder_->height = vin->codecpar->height;
  encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
  encoder_->time_base = vin->time_base;
  encoder_->framerate = av_guess_frame_rate(in_, in_->streams[video_], nullptr);
  encoder_->sample_aspect_ratio = vin->codecpar->sample_aspect_ratio;
  encoder_->color_primaries = vin->codecpar->color_primaries;
  encoder_->color_trc = vin->codecpar->color_trc;
  encoder_->colorspace = vin->codecpar->color_space;
  encoder_->color_range = AVCOL_RANGE_MPEG;
  encoder_->thread_count = 0;
  if (out_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "preset", kOverlayPreset, 0);
  av_dict_set(&options, "crf", kOverlayCrf, 0);
  err = avcodec_open2(encoder_, h264, &options);
  av_dict_free(&options);
  if (err < 0) return failOut(err);
  err = avcodec_parameters_from_context(videoOut_->codecpar, encoder_);
  if (err < 0) return failOut(err);
  videoOut_->time_base = encoder_->time_base;
  videoOut_->avg_frame_rate = encoder_->framerate;
  videoOut_->sample_aspect_ratio = encoder_->sample_aspect_ratio;

  audioOut_.assign(in_->nb_streams, -1);
  for (unsigned i = 0; i < in_->nb_streams; ++i) {
    const AVStream* ain = in_->streams[i];
    if (ain->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    AVStream* aout = avformat_new_stream(out_, nullptr);
    if (!aout) return failOut(AVERROR(ENOMEM));
    err = avcodec_parameters_copy(aout->codecpar, ain->codecpar);
    if (err < 0) return failOut(err);
    aout->codecpar->codec_tag = 0;  // the input container's tag may mean nothing in the output's
    aout->time_base = ain->time_base;
    av_dict_copy(&aout->metadata, ain->metadata, 0);
    aout->disposition = ain->disposition;
    audioOut_[i] = aout->index;
  }

  err = avio_open(&out_->pb, QFile::encodeName(temp_).constData(), AVIO_FLAG_WRITE);
  if (err < 0) return failOut(err);
  err = avformat_write_header(out_, nullptr);
  if (err < 0) return failOut(err);
  return {};
}

void Overlayer::showSample(qint32 k) {
  if (shown_ == k) return;
  shown_ = k;
  ShowValues(scene_, source_, k, true);
  ShowDerived(scene_, source_, k, true);
  ShowTime(scene_, k - from_, source_.store.FreqCode);
  RenderFrame(scene_, canvas_);
  QImage placed = canvas_;
  if (place_.scale != 1) {
    const QSize size(int(std::lround(kCanvasWidth * place_.scale)), int(std::lround(kCanvasHeight * place_.scale)));
    placed = canvas_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  blend_.build(placed.convertToFormat(QImage::Format_ARGB32), place_.position,
               QSize(encoder_->width, encoder_->height), matrix_);
}

bool Overlayer::encode(const AVFrame* f, QString* why) {
  int err = avcodec_send_frame(encoder_, f);
  for (; err >= 0;) {
    err = avcodec_receive_packet(encoder_, encoded_);
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return true;
    if (err < 0) break;
    av_packet_rescale_ts(encoded_, encoder_->time_base, videoOut_->time_base);
    encoded_->stream_index = videoOut_->index;
    err = av_interleaved_write_frame(out_, encoded_);
  }
  *why = FfmpegError(err);
  return false;
}

bool Overlayer::frame(AVFrame* f, QString* why) {
  // A damaged picture is an error, not a concealed guess: the output would show it.
  if (f->decode_error_flags || (f->flags & AV_FRAME_FLAG_CORRUPT)) {
    *why = QStringLiteral("a damaged picture");
    return false;
  }
  const double tb = av_q2d(in_->streams[video_]->time_base);
  qint64 pts = f->best_effort_timestamp;
  if (pts == AV_NOPTS_VALUE) pts = lastPts_ == AV_NOPTS_VALUE ? 0 : lastPts_ + qint64(std::lround(frameTime_ / tb));
  lastPts_ = pts;
  const double t = pts * tb - start_;
  lastEnd_ = std::max(lastEnd_, t + frameTime_);
  ++frames_;

  AVFrame* out = f;
  const std::optional<qint32> k = OverlaySample(t, place_.at, from_, to_, source_.store.FreqCode);
  if (k || f->format != AV_PIX_FMT_YUV420P) {
    if (f->format == AV_PIX_FMT_YUV420P) {
      const int err = av_frame_make_writable(f);
      if (err < 0) {
        *why = FfmpegError(err);
        return false;
      }
    } else {
      // Other layouts (4:2:2, 4:4:4, full-range JPEG) become the encoder's 4:2:0.
      if (!converted_) {
        converted_ = av_frame_alloc();
        converted_->format = AV_PIX_FMT_YUV420P;
        converted_->width = encoder_->width;
        converted_->height = encoder_->height;
        if (!converted_ || av_frame_get_buffer(converted_, 0) < 0) {
          *why = FfmpegError(AVERROR(ENOMEM));
          return false;
        }
      }
      convert_ = sws_getCachedContext(convert_, f->width, f->height, AVPixelFormat(f->format), encoder_->width,
                                      encoder_->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
      if (!convert_ || av_frame_make_writable(converted_) < 0) {
        *why = QStringLiteral("no conversion of its pictures");
        return false;
      }
      sws_scale(convert_, f->data, f->linesize, 0, f->height, converted_->data, converted_->linesize);
      out = converted_;
    }
    if (k) {
      showSample(*k);
      blend_.apply(out);
    }
  }
  out->pts = pts;
  out->pict_type = AV_PICTURE_TYPE_NONE;
  return encode(out, why);
}

bool Overlayer::copyAudio(AVPacket* p, QString* why) {
  const int to = audioOut_[std::size_t(p->stream_index)];
  av_packet_rescale_ts(p, in_->streams[p->stream_index]->time_base, out_->streams[to]->time_base);
  p->stream_index = to;
  p->pos = -1;
  const int err = av_interleaved_write_frame(out_, p);
  if (err < 0) *why = FfmpegError(err);
  return err >= 0;
}

OverlayOutcome Overlayer::run(const QString& input, const QString& output, const OverlayHooks& hooks) {
  const quint8 freqCode = source_.store.FreqCode;
  if (freqCode == 0 || from_ > to_ || !RangeInLog(source_.store, from_, qint64(to_) + 1))
    return fail(OverlayEnd::OutsideLog, QStringLiteral("samples %1 to %2 do not lie within the log (0 to %3).")
                                            .arg(from_)
                                            .arg(to_)
                                            .arg(source_.store.SampleCount - 1));
  if (OverlayOutcome o = openInput(input); o.end != OverlayEnd::Finished) return o;
  if (!OverlayMeetsVideo(place_.at, from_, to_, freqCode, duration_))
    return fail(OverlayEnd::MissesVideo,
                QStringLiteral("samples %1 to %2 from %3 s on are never shown in a video of %4 s.")
                    .arg(from_)
                    .arg(to_)
                    .arg(place_.at)
                    .arg(duration_));
  if (OverlayOutcome o = openOutput(output); o.end != OverlayEnd::Finished) return o;
  scene_.canvas = QColor(Qt::transparent);
  scene_.background = scene_.canvas;
  decoded_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  encoded_ = av_packet_alloc();
  if (!decoded_ || !packet_ || !encoded_) return fail(OverlayEnd::OutputError, FfmpegError(AVERROR(ENOMEM)));

  const auto damaged = [&](const QString& why) {
    return fail(OverlayEnd::InputError, QStringLiteral("'%1' is damaged: %2").arg(input, why));
  };
  const auto unwritten = [&](const QString& why) {
    return fail(OverlayEnd::OutputError, QStringLiteral("cannot write '%1': %2").arg(output, why));
  };
  QString why;
  // Drains the decoder; false on a damaged picture or a failed write (why says which).
  bool inputFault = false;
  const auto receive = [&]() {
    for (;;) {
      const int err = avcodec_receive_frame(decoder_, decoded_);
      if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return true;
      if (err < 0) {
        inputFault = true;
        why = FfmpegError(err);
        return false;
      }
      if (hooks.running && !hooks.running()) return false;
      if (hooks.yield) hooks.yield();
      const bool damagedFrame = decoded_->decode_error_flags || (decoded_->flags & AV_FRAME_FLAG_CORRUPT);
      const bool ok = frame(decoded_, &why);
      av_frame_unref(decoded_);
      if (!ok) {
        inputFault = damagedFrame;
        return false;
      }
      if (hooks.progress) hooks.progress(std::clamp(lastEnd_ / duration_, 0.0, 1.0));
    }
  };
  const auto stopped = [&]() -> OverlayOutcome {
    if (why.isEmpty()) return {OverlayEnd::Cancelled, QString()};
    return inputFault ? damaged(why) : unwritten(why);
  };

  for (;;) {
    int err = av_read_frame(in_, packet_);
    if (err == AVERROR_EOF) break;
    if (err < 0) return damaged(FfmpegError(err));
    if (packet_->flags & AV_PKT_FLAG_CORRUPT) {
      av_packet_unref(packet_);
      return damaged(QStringLiteral("a damaged packet"));
    }
    bool ok = true;
    if (packet_->stream_index == video_) {
      err = avcodec_send_packet(decoder_, packet_);
      av_packet_unref(packet_);
      if (err < 0) return damaged(FfmpegError(err));
      ok = receive();
    } else if (audioOut_[std::size_t(packet_->stream_index)] >= 0) {
      ok = copyAudio(packet_, &why);
      av_packet_unref(packet_);
    } else {
      av_packet_unref(packet_);
    }
    if (!ok) return stopped();
  }
  if (avcodec_send_packet(decoder_, nullptr) < 0 || !receive()) return stopped();

  // A cut-off file reads to its end without an error; its header still tells how long
  // it was meant to be.
  const qint64 stated = in_->streams[video_]->nb_frames;
  if (lastEnd_ < duration_ - 3 * frameTime_ || (stated > 0 && frames_ < stated))
    return damaged(QStringLiteral("it ends after %1 s of %2 s.").arg(lastEnd_).arg(duration_));
  if (!encode(nullptr, &why)) return unwritten(why);
  int err = av_write_trailer(out_);
  if (err >= 0) err = avio_closep(&out_->pb);
  if (err < 0) return unwritten(FfmpegError(err));
  if (std::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(output).constData()) != 0)
    return unwritten(QStringLiteral("cannot rename the temporary file"));
  temp_.clear();
  if (hooks.progress) hooks.progress(1);
  return {};
}

}  // namespace

std::optional<qint32> OverlaySample(double t, double at, qint32 from, qint32 to, quint8 freqCode) {
  if (freqCode == 0) return std::nullopt;
  const double steps = std::floor((t - at) / Interval(freqCode) + kTimeSlack);
  if (!(steps >= 0) || steps > double(to) - double(from)) return std::nullopt;
  return qint32(from + qint64(steps));
}

bool OverlayMeetsVideo(double at, qint32 from, qint32 to, quint8 freqCode, double duration) {
  return at < duration && at + (double(to) - double(from) + 1) * Interval(freqCode) > 0;
}

const char* OverlayMuxer(const QString& output) {
  if (output.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive)) return "mp4";
  if (output.endsWith(QLatin1String(".mkv"), Qt::CaseInsensitive)) return "matroska";
  return nullptr;
}

OverlayOutcome OverlayVideo(Scene& scene, const MovieSource& source, qint32 from, qint32 to,
                            const OverlayPlacement& place, const QString& input, const QString& output,
                            const OverlayHooks& hooks) {
  QuietFfmpegLog();
  Overlayer o(scene, source, from, to, place);
  return o.run(input, output, hooks);
}

}  // namespace movie
