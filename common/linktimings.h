#pragma once
// Every interval the link and the device commands use, in milliseconds. The
// programs use the documented values; tests pass a scaled table so that they run
// fast without changing the order of events.
#include <algorithm>
#include <cmath>

namespace common {

struct LinkTimings {
  int parameterPacing = 100;         // logging parameters dialog, between its bytes
  int clearFirstPacing = 500;        // memory clear, before the mask high byte
  int clearNextPacing = 200;         // memory clear, between the following bytes
  int downloadSilence = 1000;        // a download ends after this much silence
  int handshakePause = 2000;         // compensation write, pause before each answer
  int parameterTimeout = 2500;       // parameter echo
  int liveWatchdog = 3000;           // meter live read: silence that ends it
  int readBackTimeout = 5000;        // compensation read-back
  int compensationPause = 5000;      // after the third handshake answer
  int compensationEchoTimeout = 7000;
  int handshakeTimeout = 10000;      // each compensation handshake byte
  int compensationFirstPacing = 500; // before compensation byte 0
  int compensationNextPacing = 100;  // between compensation bytes
  int meterBytePause = 100;          // meter parameter send, after each of its first three bytes

  // Every interval multiplied by `factor`, never below 1 ms.
  LinkTimings scaled(double factor) const {
    LinkTimings t = *this;
    for (int* v : {&t.parameterPacing, &t.clearFirstPacing, &t.clearNextPacing, &t.downloadSilence,
                   &t.handshakePause, &t.parameterTimeout, &t.liveWatchdog, &t.readBackTimeout,
                   &t.compensationPause, &t.compensationEchoTimeout, &t.handshakeTimeout,
                   &t.compensationFirstPacing, &t.compensationNextPacing, &t.meterBytePause})
      *v = std::max(1, int(std::lround(*v * factor)));
    return t;
  }
};

}  // namespace common
