#pragma once
// Videos made at test time with FFmpeg's libraries (read back with ProbeAvi).
#include "logger/movie/avi_probe.h"

#include <QImage>
#include <QString>
#include <cmath>
#include <cstring>
#include <vector>

namespace videotest {

// `seconds` of a flat grey MPEG-4 picture at `fps` and an MP2 tone of 440 Hz, in a
// container named by the extension.
inline bool MakeVideo(const QString& path, int w, int h, int fps, int seconds) {
  AVFormatContext* fmt = nullptr;
  if (avformat_alloc_output_context2(&fmt, nullptr, nullptr, path.toLocal8Bit().constData()) < 0) return false;
  bool ok = avio_open(&fmt->pb, path.toLocal8Bit().constData(), AVIO_FLAG_WRITE) >= 0;
  struct Track { AVCodecContext* enc; AVStream* st; };
  std::vector<Track> tracks;
  for (const AVCodecID id : {AV_CODEC_ID_MPEG4, AV_CODEC_ID_MP2}) {
    const AVCodec* codec = avcodec_find_encoder(id);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    if (id == AV_CODEC_ID_MPEG4) {
      c->width = w, c->height = h, c->pix_fmt = AV_PIX_FMT_YUV420P, c->time_base = {1, fps};
    } else {
      c->sample_rate = 44100, c->sample_fmt = AV_SAMPLE_FMT_S16, c->bit_rate = 128000, c->time_base = {1, 44100};
      av_channel_layout_default(&c->ch_layout, 1);
    }
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVStream* st = avformat_new_stream(fmt, nullptr);
    ok = ok && avcodec_open2(c, codec, nullptr) >= 0 && avcodec_parameters_from_context(st->codecpar, c) >= 0;
    st->time_base = c->time_base;
    tracks.push_back({c, st});
  }
  ok = ok && avformat_write_header(fmt, nullptr) >= 0;
  AVPacket* pkt = av_packet_alloc();
  for (const Track& t : tracks) {
    const bool video = t.enc->codec_type == AVMEDIA_TYPE_VIDEO;
    const int step = video ? 1 : t.enc->frame_size, total = video ? fps * seconds : 44100 * seconds;
    for (int n = 0; ok && n <= total; n += step) {
      AVFrame* f = nullptr;
      if (n < total) {
        f = av_frame_alloc();
        f->format = video ? int(t.enc->pix_fmt) : int(t.enc->sample_fmt), f->width = w, f->height = h;
        f->nb_samples = step, f->pts = n;
        av_channel_layout_copy(&f->ch_layout, &t.enc->ch_layout);
        ok = av_frame_get_buffer(f, 0) >= 0;
        if (video) {
          for (int p = 0; p < 3; ++p) memset(f->data[p], 128, size_t(f->linesize[p]) * size_t(p ? h / 2 : h));
        } else {
          auto* s = reinterpret_cast<int16_t*>(f->data[0]);
          for (int i = 0; i < step; ++i) s[i] = int16_t(8000 * std::sin(2 * M_PI * 440 * (n + i) / 44100.0));
        }
      }
      ok = ok && avcodec_send_frame(t.enc, f) >= 0;
      av_frame_free(&f);
      while (ok && avcodec_receive_packet(t.enc, pkt) >= 0) {
        pkt->duration = step;  // so that the container states the full length
        av_packet_rescale_ts(pkt, t.enc->time_base, t.st->time_base);
        pkt->stream_index = t.st->index;
        ok = av_interleaved_write_frame(fmt, pkt) >= 0;
      }
    }
  }
  ok = ok && av_write_trailer(fmt) >= 0;
  av_packet_free(&pkt);
  for (Track& t : tracks) avcodec_free_context(&t.enc);
  avio_closep(&fmt->pb);
  avformat_free_context(fmt);
  return ok;
}

}  // namespace videotest
