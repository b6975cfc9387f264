#include "logger/session/trendtrace.h"

#include "logger/trend/cursor.h"

namespace session {

trend::TraceGeometry MainTrendTrace(LogSession& session, int channelIndex, qint32 start, qint32 end, double yScale,
                                    const trend::PictureScale& scale, double twipsPerPixel) {
  const int channel = channelIndex + 1;
  const auto i = std::size_t(channelIndex);
  const trend::ViewState& view = session.view();
  const auto& cs = session.config().channel[i];
  trend::TraceRequest rq;
  rq.scale = scale;
  rq.twipsPerPixel = twipsPerPixel;
  rq.start = start;
  rq.end = end;
  rq.yScale = yScale;
  rq.winHeight = view.WinHeight[i];
  rq.zeroDivisor = view.ZeroDivisor;
  rq.rawBias = view.RawBias[i];
  rq.inverted = cs.Min > cs.Max;
  rq.fullScale = common::FullScale(channel);
  rq.drift = trend::DriftCorrection(view, channelIndex, view.CursorSample);

  // Channel 5 draws the altitude, channel 6 the speed, as stored (metres, metres per
  // second) whatever the unit setting.
  if (derived::ShowsDerived(session.derivedDisplay(), channel)) {
    rq.derived = true;
    const derived::DerivedTable& table = session.derivedTable();
    const trend::SeriesView d{nullptr, table.row(derived::RowOf(channel)), 1, table.columns()};
    return trend::ComputeTrace(rq, d, nullptr);
  }
  return trend::ComputeTrace(rq, session.rawSeries(channelIndex), session.envelope(channelIndex));
}

}  // namespace session
