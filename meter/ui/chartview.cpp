#include "meter/ui/chartview.h"

#include "common/numtext.h"
#include "common/ui/colour.h"
#include "meter/livedisplay.h"

#include <QPainter>

namespace meter {

namespace {
constexpr int kAxisWidth = 64;  // pixels per unit scale, labels included
}

ChartView::ChartView(const ChartModel& model, const ChannelTicks& ticked, const common::ChannelConfiguration& config,
                     QWidget* parent)
    : QWidget(parent), model_(model), ticked_(ticked), config_(config) {
  setObjectName(QStringLiteral("LiveChart"));
  setMinimumHeight(220);
  // Every pixel is painted below: Qt need not clear the ground first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const std::vector<UnitAxis> axes = UnitAxes(model_, ticked_, config_);
  const int line = fontMetrics().height();
  const QRectF plot(QPointF(double(std::max<std::size_t>(axes.size(), 1) * kAxisWidth), line + 4.0),
                    QPointF(width() - 12.0, height() - line - 6.0));
  if (plot.width() < 10 || plot.height() < 10) return;

  p.setPen(QColor(225, 225, 225));
  for (double t : TimeTicks(model_)) p.drawLine(QPointF(XFor(model_, t, plot), plot.top()), QPointF(XFor(model_, t, plot), plot.bottom()));
  if (!axes.empty())
    for (double v : axes.front().ticks) p.drawLine(QPointF(plot.left(), YFor(axes.front(), v, plot)), QPointF(plot.right(), YFor(axes.front(), v, plot)));
  p.setPen(Qt::black);
  p.drawRect(plot);
  for (double t : TimeTicks(model_))
    p.drawText(QRectF(XFor(model_, t, plot) - 40, plot.bottom() + 2, 80, line), Qt::AlignCenter,
               QString::number(t, 'f', 0) + QStringLiteral(" s"));

  for (std::size_t i = 0; i < axes.size(); ++i) {
    const UnitAxis& axis = axes[i];
    const double x = plot.left() - double(i) * kAxisWidth;
    // A scale for one channel takes its colour, so the reader knows whose it is.
    p.setPen(axis.channels.size() == 1 ? common::ColourFromBgr(kEditorColours[std::size_t(axis.channels[0] - 1)])
                                       : QColor(Qt::black));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.drawText(QRectF(x - kAxisWidth + 2, 0, kAxisWidth - 4, line), Qt::AlignRight, axis.unit);
    for (double v : axis.ticks) {
      const double y = YFor(axis, v, plot);
      p.drawLine(QPointF(x - 3, y), QPointF(x, y));
      p.drawText(QRectF(x - kAxisWidth + 2, y - line / 2.0, kAxisWidth - 8, line), Qt::AlignRight | Qt::AlignVCenter,
                 common::NumberToText(v));
    }
  }

  p.setClipRect(plot);
  for (const UnitAxis& axis : axes)
    for (int c : axis.channels) {
      // A one-pixel pen: a wider one goes through the stroker and costs several times as much.
      p.setPen(common::ColourFromBgr(kEditorColours[std::size_t(c - 1)]));
      const std::vector<QPointF> points = Trace(model_, c, axis, plot);
      p.drawPolyline(points.data(), int(points.size()));
    }
}

}  // namespace meter
