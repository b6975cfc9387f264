#pragma once
// The view state shared by the trend picture, the overview strip, the channel panel
// and every scope window: navigating in one moves all.
#include <QtGlobal>
#include <array>

namespace trend {

struct ViewState {
  qint32 WindowStart = 0;
  qint32 WindowEnd = 100;
  qint32 WindowLength = 100;
  qint32 PreviousStart = 0;
  qint32 PreviousEnd = 0;
  qint16 OverviewChannel = -1;  // channel - 1; -1 until the list is first filled
  bool SecondsMode = false;
  int ZeroDivisor = 1;          // 2 while MIDZERO is checked

  std::array<qint32, 12> Colours{};   // 0x00BBGGRR
  std::array<double, 12> YScale{};    // 1 / FullScale
  std::array<double, 12> WinHeight{}; // last committed window heights
  std::array<bool, 12> Shown{};       // chkChannel checked and enabled

  // Zero locks: raw biases per channel, engineering biases 0..11 plus the second
  // biases of channels 5 and 6 in entries 12 and 13, taken at samples s1 and s2.
  std::array<double, 12> RawBias{};
  std::array<double, 14> EngBias{};
  std::array<qint32, 2> BiasRef{};
  // What the last left (entries 0..11, ref [0]) and right (12, 13, ref [1]) press took.
  std::array<double, 14> EngCandidate{};
  std::array<double, 12> RawCandidate{};
  std::array<qint32, 2> CandidateRef{};
  bool LeftCandidateTaken = false;  // a left press of this log took the candidates above

  qint32 CursorSample = 0;
  qint32 CursorX = -100;  // twips; -100 after every trend redraw

  bool SpeedAlt = false;  // Speed / Alt ticked: channels 5 and 6 draw derived values
  int SpeedUnit = 0;      // the unit setting of logger/logdata/shown.h
};

}  // namespace trend
