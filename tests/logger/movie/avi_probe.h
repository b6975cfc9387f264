#pragma once
// Reads a written movie back with libavformat and libavcodec, as a player would.
#include <QImage>
#include <QString>

namespace movietest {

struct AviInfo {
  bool ok = false;
  QString format;      // demuxer name, "avi"
  QString codec;       // "rawvideo", "mjpeg", "ffv1", "mpeg4"
  QString mediaType;   // "video"
  int streams = 0;
  int width = 0;
  int height = 0;
  int rateNum = 0;     // stream rate as the file states it
  int rateDen = 0;
  int packets = 0;
  int keyPackets = 0;
  QImage first;        // the first frame decoded, RGB32; null without frames
};

AviInfo ProbeAvi(const QString& path);

}  // namespace movietest
