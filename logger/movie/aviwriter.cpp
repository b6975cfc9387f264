// The AVI file, and the QuickTime file with alpha, written with FFmpeg's libavformat
// and libavcodec.
#include "logger/movie/videowriter.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace movie {

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 540;

AVCodecID CodecId(Codec codec) {
  switch (codec) {
    case Codec::Mjpeg: return AV_CODEC_ID_MJPEG;
    case Codec::Ffv1: return AV_CODEC_ID_FFV1;
    case Codec::Mpeg4: return AV_CODEC_ID_MPEG4;
    case Codec::Prores4444: return AV_CODEC_ID_PRORES;
    case Codec::Raw: break;
  }
  return AV_CODEC_ID_RAWVIDEO;
}

AVPixelFormat PixelFormat(Codec codec) {
  switch (codec) {
    case Codec::Mjpeg: return AV_PIX_FMT_YUVJ420P;  // full-range JPEG colours
    case Codec::Ffv1: return AV_PIX_FMT_BGR0;       // lossless: keep RGB
    case Codec::Mpeg4: return AV_PIX_FMT_YUV420P;
    case Codec::Prores4444: return AV_PIX_FMT_YUVA444P10LE;
    case Codec::Raw: break;
  }
  return AV_PIX_FMT_BGR24;
}

class FileWriter : public VideoWriter {
 public:
  ~FileWriter() override { release(); }

  bool open(const QString& path, Codec codec, int rate);
  bool write(const QImage& frame) override;
  bool finish() override;
  QString error() const override { return error_; }
  bool alpha() const override { return codec_ == Codec::Prores4444; }

 private:
  bool fail(const QString& what) {
    failed_ = true;
    error_ = QStringLiteral("Cannot write '%1': %2").arg(target_, what);
    return false;
  }
  bool sendAndWrite(const AVFrame* frame);
  void release();

  QString target_;
  QString temp_;
  Codec codec_ = Codec::Raw;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* encoder_ = nullptr;
  AVStream* stream_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* convert_ = nullptr;
  qint64 pts_ = 0;
  bool failed_ = false;
  bool committed_ = false;
  QString error_;
};

bool FileWriter::open(const QString& path, Codec codec, int rate) {
  target_ = path;
  codec_ = codec;
  QString why;
  temp_ = TemporaryBeside(path, &why);
  if (temp_.isEmpty()) return fail(why);
  const bool quickTime = codec == Codec::Prores4444;
  if (avformat_alloc_output_context2(&format_, nullptr, quickTime ? "mov" : "avi", nullptr) < 0 || !format_)
    return fail(quickTime ? QStringLiteral("no QuickTime muxer") : QStringLiteral("no AVI muxer"));
  // prores_ks is FFmpeg's ProRes encoder that writes an alpha plane.
  const AVCodec* encoder = quickTime ? avcodec_find_encoder_by_name("prores_ks") : avcodec_find_encoder(CodecId(codec));
  if (!encoder) return fail(QStringLiteral("no encoder for this compression"));
  stream_ = avformat_new_stream(format_, nullptr);
  encoder_ = avcodec_alloc_context3(encoder);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!stream_ || !encoder_ || !frame_ || !packet_) return fail(FfmpegError(AVERROR(ENOMEM)));

  encoder_->width = kWidth;
  encoder_->height = kHeight;
  encoder_->time_base = AVRational{1, rate};
  encoder_->framerate = AVRational{rate, 1};
  encoder_->pix_fmt = PixelFormat(codec);
  encoder_->gop_size = 1;  // every frame a key frame
  encoder_->max_b_frames = 0;
  encoder_->thread_count = 0;  // as many as the machine has
  if (codec == Codec::Mjpeg || codec == Codec::Mpeg4) {
    encoder_->flags |= AV_CODEC_FLAG_QSCALE;
    encoder_->global_quality = kLossyQuantiser * FF_QP2LAMBDA;
  }
  if (codec == Codec::Mjpeg) encoder_->color_range = AVCOL_RANGE_JPEG;
  AVDictionary* encoderOptions = nullptr;
  if (quickTime) {
    encoder_->profile = FF_PROFILE_PRORES_4444;
    av_dict_set(&encoderOptions, "alpha_bits", "16", 0);
    av_dict_set(&encoderOptions, "vendor", "apl0", 0);  // what editors expect of a ProRes file
  }
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int err = avcodec_open2(encoder_, encoder, &encoderOptions);
  av_dict_free(&encoderOptions);
  if (err < 0) return fail(FfmpegError(err));
  err = avcodec_parameters_from_context(stream_->codecpar, encoder_);
  if (err < 0) return fail(FfmpegError(err));
  stream_->time_base = encoder_->time_base;
  stream_->avg_frame_rate = encoder_->framerate;

  frame_->format = encoder_->pix_fmt;
  frame_->width = kWidth;
  frame_->height = kHeight;
  err = av_frame_get_buffer(frame_, 0);
  if (err < 0) return fail(FfmpegError(err));

  err = avio_open(&format_->pb, temp_.toLocal8Bit().constData(), AVIO_FLAG_WRITE);
  if (err < 0) return fail(FfmpegError(err));
  AVDictionary* options = nullptr;
  // Uncompressed frames as a bitmap has them: rows bottom-up, a positive height in the
  // stream format.
  if (codec == Codec::Raw) av_dict_set(&options, "flipped_raw_rgb", "1", 0);
  err = avformat_write_header(format_, &options);
  av_dict_free(&options);
  if (err < 0) return fail(FfmpegError(err));
  return true;
}

bool FileWriter::sendAndWrite(const AVFrame* frame) {
  int err = avcodec_send_frame(encoder_, frame);
  if (err < 0) return fail(FfmpegError(err));
  for (;;) {
    err = avcodec_receive_packet(encoder_, packet_);
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return true;
    if (err < 0) return fail(FfmpegError(err));
    av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
    packet_->stream_index = stream_->index;
    err = av_interleaved_write_frame(format_, packet_);
    if (err < 0) return fail(FfmpegError(err));
  }
}

bool FileWriter::write(const QImage& frame) {
  if (failed_) return false;
  if (frame.size() != QSize(kWidth, kHeight)) return fail(QStringLiteral("a frame is not 720 x 540 pixels"));
  // With alpha the colours must be straight, not premultiplied, as the encoder takes them.
  const QImage::Format wanted = alpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  const QImage rgb = frame.format() == wanted ? frame : frame.convertToFormat(wanted);
  int err = av_frame_make_writable(frame_);
  if (err < 0) return fail(FfmpegError(err));
  // QImage's (A)RGB32 is B, G, R, A in memory on a little-endian machine.
  convert_ = sws_getCachedContext(convert_, kWidth, kHeight, AV_PIX_FMT_BGRA, kWidth, kHeight, encoder_->pix_fmt,
                                  SWS_POINT, nullptr, nullptr, nullptr);
  if (!convert_) return fail(QStringLiteral("no colour conversion"));
  const uint8_t* src[4] = {rgb.constBits(), nullptr, nullptr, nullptr};
  const int srcStride[4] = {int(rgb.bytesPerLine()), 0, 0, 0};
  uint8_t* dst[4] = {frame_->data[0], frame_->data[1], frame_->data[2], frame_->data[3]};
  int dstStride[4] = {frame_->linesize[0], frame_->linesize[1], frame_->linesize[2], frame_->linesize[3]};
  if (codec_ == Codec::Raw) {
    // Written from the last row up: the first stored row is the canvas's bottom row.
    dst[0] = frame_->data[0] + std::ptrdiff_t(kHeight - 1) * frame_->linesize[0];
    dstStride[0] = -frame_->linesize[0];
  }
  sws_scale(convert_, src, srcStride, 0, kHeight, dst, dstStride);
  frame_->pts = pts_++;
  frame_->pict_type = AV_PICTURE_TYPE_I;
  frame_->quality = encoder_->global_quality;
  return sendAndWrite(frame_);
}

bool FileWriter::finish() {
  if (failed_) return false;
  if (!sendAndWrite(nullptr)) return false;
  int err = av_write_trailer(format_);
  if (err < 0) return fail(FfmpegError(err));
  err = avio_closep(&format_->pb);
  if (err < 0) return fail(FfmpegError(err));
  if (std::rename(temp_.toLocal8Bit().constData(), target_.toLocal8Bit().constData()) != 0)
    return fail(QStringLiteral("cannot rename the temporary file"));
  committed_ = true;
  return true;
}

void FileWriter::release() {
  if (format_ && format_->pb) avio_closep(&format_->pb);
  sws_freeContext(convert_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&encoder_);
  avformat_free_context(format_);
  format_ = nullptr;
  if (!committed_ && !temp_.isEmpty()) QFile::remove(temp_);
}

}  // namespace

QString FfmpegError(int err) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(err, buf, sizeof buf);
  return QString::fromUtf8(buf);
}

void QuietFfmpegLog() {
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

QString TemporaryBeside(const QString& path, QString* error) {
  // The reserved file goes again at once: FFmpeg creates it anew with the permissions a
  // new file gets, not the owner-only ones of a temporary file.
  const QFileInfo info(path);
  QTemporaryFile reserve(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
  if (!reserve.open()) {
    if (error) *error = reserve.errorString();
    return QString();
  }
  return reserve.fileName();
}

std::unique_ptr<VideoWriter> OpenAvi(const QString& path, Codec codec, int rate, QString* error) {
  if (codec == Codec::Prores4444) {
    if (error) *error = QStringLiteral("Cannot write '%1': ProRes goes into a QuickTime file").arg(path);
    return nullptr;
  }
  return OpenMovieFile(path, codec, rate, error);
}

std::unique_ptr<VideoWriter> OpenMovieFile(const QString& path, Codec codec, int rate, QString* error) {
  QuietFfmpegLog();
  auto w = std::make_unique<FileWriter>();
  if (!w->open(path, codec, std::clamp(rate, 1, 30))) {
    if (error) *error = w->error();
    return nullptr;
  }
  return w;
}

bool CodecFromName(const QString& name, Codec* codec) {
  static const struct {
    const char* name;
    Codec codec;
  } kNames[] = {{"raw", Codec::Raw}, {"mjpeg", Codec::Mjpeg}, {"ffv1", Codec::Ffv1}, {"mpeg4", Codec::Mpeg4},
                 {"prores4444", Codec::Prores4444}};
  for (const auto& n : kNames)
    if (name == QLatin1String(n.name)) {
      *codec = n.codec;
      return true;
    }
  return false;
}

}  // namespace movie
