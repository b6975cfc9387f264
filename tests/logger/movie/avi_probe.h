#pragma once
// Reads a written movie back with libavformat and libavcodec, as a player would.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/video_enc_params.h>
#include <libswscale/swscale.h>
}

namespace movietest {

struct AviInfo {
  bool ok = false;
  QString format, codec;  // "avi"; "rawvideo", "mjpeg", "ffv1", "mpeg4", "h264" ...
  int streams = 0, width = 0, height = 0;
  int rateNum = 0, rateDen = 0;  // the video's rate as the file states it
  int packets = 0, keyPackets = 0;  // of the video
  int quantiser = -1;  // of the first frame's first block, where the decoder tells it (MPEG-4)
  std::vector<QImage> frames;  // ARGB32, in presentation order
  QByteArray audio;            // every audio packet's bytes, in order
  double duration = 0;
};
// Every frame of the video decoded, every audio packet kept.
inline AviInfo ProbeAvi(const QString& path) {
  AviInfo info;
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.toLocal8Bit().constData(), nullptr, nullptr) < 0) return info;
  const int v = avformat_find_stream_info(fmt, nullptr) >= 0
                    ? av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
  if (v >= 0) {
    const AVStream* st = fmt->streams[v];
    const AVCodecParameters* par = st->codecpar;
    info.format = QString::fromLatin1(fmt->iformat->name);
    info.streams = int(fmt->nb_streams);
    info.codec = QString::fromLatin1(avcodec_get_name(par->codec_id));
    info.width = par->width;
    info.height = par->height;
    info.rateNum = st->r_frame_rate.num;
    info.rateDen = st->r_frame_rate.den;
    info.duration = double(fmt->duration) / AV_TIME_BASE;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec, par);
    dec->export_side_data |= AV_CODEC_EXPORT_DATA_VIDEO_ENC_PARAMS;
    avcodec_open2(dec, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    auto drain = [&] {
      while (avcodec_receive_frame(dec, f) >= 0) {
        // MPEG-style decoders report twice the quantiser the bit stream carries.
        const AVFrameSideData* sd = av_frame_get_side_data(f, AV_FRAME_DATA_VIDEO_ENC_PARAMS);
        if (auto* p = sd ? reinterpret_cast<AVVideoEncParams*>(sd->data) : nullptr; p && p->nb_blocks > 0 && info.frames.empty())
          info.quantiser = (p->qp + av_video_enc_params_block(p, 0)->delta_qp) / 2;
        // As ARGB32, alpha 255 where the video has none.
        QImage& out = info.frames.emplace_back(f->width, f->height, QImage::Format_ARGB32);
        SwsContext* s = sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                       AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
        uint8_t* dst[4] = {out.bits(), nullptr, nullptr, nullptr};
        const int stride[4] = {int(out.bytesPerLine()), 0, 0, 0};
        sws_scale(s, f->data, f->linesize, 0, f->height, dst, stride);
        sws_freeContext(s);
      }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
      if (pkt->stream_index == v) {
        ++info.packets;
        if (pkt->flags & AV_PKT_FLAG_KEY) ++info.keyPackets;
        if (avcodec_send_packet(dec, pkt) >= 0) drain();
      } else if (fmt->streams[pkt->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
        info.audio.append(reinterpret_cast<const char*>(pkt->data), pkt->size);
      }
      av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    info.ok = true;
  }
  avformat_close_input(&fmt);
  return info;
}

}  // namespace movietest
