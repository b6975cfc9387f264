#include "logger/scope/scopeprint.h"

#include "common/messages.h"
#include "logger/scope/scopemessages.h"
#include "logger/trend/navigation.h"

namespace scope {

PrintPage ComposePage(session::LogSession& src, const TraceSettings& traces, const Marker& marker, double W, double H) {
  PrintPage page;
  page.width = W;
  page.height = H;
  auto text = [&](double fx, double fy, const QString& s) { page.texts.push_back({QPointF(fx * W, fy * H), s}); };
  auto line = [&](double fx1, double fy1, double fx2, double fy2, qint32 colour) {
    page.lines.push_back({QLineF(fx1 * W, fy1 * H, fx2 * W, fy2 * H), colour});
  };

  const std::array<TraceLabels, 2> labels{LabelsFor(src, traces[0]), LabelsFor(src, traces[1])};
  // Trace 1 is labelled at the left edge, trace 2 at the right.
  const double labelX[2] = {0.025, 0.92};
  text(0.02, 0.05, msg::kPrintHeading);
  for (std::size_t t = 0; t < 2; ++t) text(labelX[t], 0.1, labels[t].top);
  for (std::size_t t = 0; t < 2; ++t) text(labelX[t], 0.7, labels[t].bottom);
  for (std::size_t t = 0; t < 2; ++t) text(labelX[t], 0.725, labels[t].unit);
  for (std::size_t t = 0; t < 2; ++t) text(labelX[t], 0.75, labels[t].name);
  page.plot = QRectF(QPointF(0.1 * W, 0.1 * H), QPointF(0.9 * W, 0.7 * H));
  text(0.05, 0.3, labels[0].number);
  text(0.95, 0.3, labels[1].number);
  for (std::size_t t = 0; t < 2; ++t) {
    const int c = std::clamp(traces[t].channel, 1, common::kChannelCount);
    page.colours[t] = src.view().Colours[std::size_t(c - 1)];
  }
  line(0.02, 0.32, 0.04, 0.32, page.colours[0]);
  line(0.92, 0.32, 0.94, 0.32, page.colours[1]);
  const trend::WindowTexts window = trend::WindowBoxTexts(src.view(), src.store().FreqCode);
  text(0.1, 0.72, window.start);
  text(0.87, 0.72, window.end);
  text(0.56, 0.72, trend::SampSecCaption(src.view().SecondsMode));

  const trend::PictureScale plot{0.1 * W, 0.1 * H, 0.8 * W, 0.6 * H};
  for (std::size_t t = 0; t < 2; ++t)
    page.traces[t] = ComputeScopeTrace(src, traces[t], plot, 1, PrintRule{W});

  if (marker.set) {
    page.marker = true;
    const double x = 0.1 + 0.8 * marker.fraction;
    line(x, 0.1, x, 0.7, 0);
    text(0.025, 0.4, trend::FormatPattern(marker.values[0], u"#####0.00##"));
    text(0.92, 0.4, trend::FormatPattern(marker.values[1], u"#####0.00##"));
    text(0.5, 0.72, trend::FormatPattern(marker.position, u"#####0.00##"));
  }
  return page;
}

}  // namespace scope
