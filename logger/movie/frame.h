#pragma once
// What one sample of the log shows on the canvas: the value labels, the speed and
// altitude labels, the time read-out and the bars.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/logdata/samplestore.h"
#include "logger/movie/canvas.h"
#include "logger/session/logsession.h"
#include "logger/trend/viewstate.h"

#include <functional>

namespace movie {

// Everything the movie reads and never changes: the log, its configuration, the trend
// view's zero locks and drift references, and what channels 5 and 6 show while "Speed /
// Alt" is ticked (asked for when a movie is made: the box may change while the window
// is open).
struct MovieSource {
  const logdata::SampleStore& store;
  const common::ChannelConfiguration& config;
  const trend::ViewState& view;
  std::function<derived::DerivedDisplay()> derived;  // empty: no derived values
};
// The open log as the frames read it: what every window of the session shows.
MovieSource SourceOf(const session::LogSession& session);

// MovieStart and MovieStop: frames show samples start to stop - 1. Kept by the main
// window from one opening of the movie window to the next.
struct MovieRange {
  qint32 start = 0;
  qint32 stop = 0;
};

// 50 / FreqCode as a byte, halves to the even neighbour (FreqCode 3 gives 17, 4 gives
// 12, 100 gives 0); 0 for the FreqCode 0 only a damaged log has.
quint8 FrameRate(quint8 freqCode);
// The AVI stream's rate: the frame rate held within 1 to 30.
int StreamRate(quint8 frameRate);

// Frames show samples start to stop - 1: the range must lie within the log.
bool RangeInLog(const logdata::SampleStore& store, qint64 start, qint64 stop);

// Each channel's ChValue caption at sample k in its own format (the engineering value
// less zero lock, with the drift correction of channels 5 and 6), the channel names
// and units as captions, and, with `bars`, the numbers the bars show: exactly the
// rounded values the captions read. `k` must lie within the log.
void ShowValues(Scene& scene, const MovieSource& source, qint32 k, bool bars);

// While "Speed / Alt" is ticked and there is a derived table: channel 6 shows the
// airspeed ("IAS", "##0.00") and channel 5 the altitude ("ALT", "##0.0") in the chosen
// units, bars included. Otherwise nothing changes.
void ShowDerived(Scene& scene, const MovieSource& source, qint32 k, bool bars);

// The time read-out of frame n: n sample intervals, in seconds, "##0.00".
void ShowTime(Scene& scene, qint32 n, quint8 freqCode);

}  // namespace movie
