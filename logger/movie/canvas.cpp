#include "logger/movie/canvas.h"

#include "logger/movie/fonts.h"
#include "logger/movie/messages.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace movie {

namespace {

int Px(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

// The value a bar grows from: 0 where the scale holds it, else the scale's end nearer
// to 0. A base below or above the scale would make every value beyond it look like
// the same full (or empty) bar.
double BarBase(double scaleMin, double scaleMax) {
  return std::clamp(0.0, std::min(scaleMin, scaleMax), std::max(scaleMin, scaleMax));
}

void PaintScale(QPainter& p, const QRect& at, const ScaleDrawing& d, const QColor& yellow) {
  const auto& fonts = Fonts();
  for (const QLineF& t : d.ticks) {
    // One pixel wide across the tick's length: a row for vertical scales, a column
    // for horizontal ones.
    QRect r = t.y1() == t.y2() ? QRect(QPoint(Px(t.x1()), Px(t.y1())), QPoint(Px(t.x2()) - 1, Px(t.y1())))
                               : QRect(QPoint(Px(t.x1()), Px(t.y1())), QPoint(Px(t.x1()), Px(t.y2()) - 1));
    p.fillRect(r.translated(at.topLeft()), yellow);
  }
  p.setFont(fonts.scale);
  p.setPen(yellow);
  const double ascent = fonts.scaleMetrics.ascent();
  for (const auto& l : d.labels)
    p.drawText(QPointF(at.left() + Px(l.topLeft.x()), at.top() + Px(l.topLeft.y()) + ascent), l.text);
}

}  // namespace

Scene::Scene() {
  for (int c = 0; c < kChannels; ++c) {
    name[std::size_t(c)] = msg::kDesignName;
    unit[std::size_t(c)] = msg::kDesignUnit;
    value[std::size_t(c)] = msg::kDesignValue;
  }
  timeLabel = msg::kTimeLabel;
  time = msg::kDesignTime;
  timeUnit = msg::kTimeUnit;
}

QString Scene::caption(ElementId id) const {
  const std::size_t i = std::size_t(std::max(id.channel, 1) - 1);
  switch (id.kind) {
    case Kind::CHLabel: return name[i];
    case Kind::ChUnit: return unit[i];
    case Kind::ChValue: return value[i];
    case Kind::TimeLabel: return timeLabel;
    case Kind::Time: return time;
    case Kind::TimeUnit: return timeUnit;
    default: return QString();
  }
}

QRectF ElementRect(const Scene& scene, ElementId id) {
  const Element& e = scene.layout.at(id);
  if (IsPicture(id.kind)) return QRectF(e.left, e.top, e.width, e.height);
  const auto& m = Fonts().labelMetrics;
  return QRectF(e.left, e.top, std::max(TextWidth(m, scene.caption(id)), Twips(8)), TextHeight(m));
}

QRect PixelRect(const QRectF& t) {
  return QRect(QPoint(Px(t.left()), Px(t.top())), QPoint(Px(t.right()) - 1, Px(t.bottom()) - 1));
}

std::optional<QRectF> VerticalBarBox(double w, double h, double scaleMin, double scaleMax, double v) {
  const double range = scaleMax - scaleMin;
  if (!std::isfinite(range) || range == 0 || !std::isfinite(v)) return std::nullopt;
  const auto y = [&](double value) { return h - (value - scaleMin) * h / range; };
  const QRectF box = QRectF(QPointF(0, y(BarBase(scaleMin, scaleMax))), QPointF(w, y(v) + 10))
                         .normalized()
                         .intersected(QRectF(0, 0, w, h));
  if (box.isEmpty()) return std::nullopt;
  return box;
}

std::optional<QRectF> HorizontalBarBox(double w, double h, double scaleMin, double scaleMax, double v) {
  const double range = scaleMax - scaleMin;
  if (!std::isfinite(range) || range == 0 || !std::isfinite(v)) return std::nullopt;
  const auto x = [&](double value) { return (value - scaleMin) * w / range; };
  const QRectF box = QRectF(QPointF(x(BarBase(scaleMin, scaleMax)), 0), QPointF(x(v) + 10, h))
                         .normalized()
                         .intersected(QRectF(0, 0, w, h));
  if (box.isEmpty()) return std::nullopt;
  return box;
}

void PaintCanvas(QPainter& p, const Scene& s, const QRect& area) {
  const QColor& yellow = kYellow;
  const QColor& background = s.background;
  // Replaces, not blends: a transparent canvas must clear what the image held.
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(QRect(0, 0, kCanvasWidth, kCanvasHeight), s.canvas);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);

  // Pictures first, labels over them, so that no caption is hidden behind a bar.
  for (int c = 1; c <= kChannels; ++c) {
    const ChannelSetup& setup = s.layout.setup[std::size_t(c - 1)];
    const auto& value = s.barValue[std::size_t(c - 1)];
    for (Kind kind : {Kind::Bar, Kind::Mitta, Kind::HorBar, Kind::Vaakamitta}) {
      const Element& e = s.layout.at({kind, c});
      const QRect r = PixelRect(ElementRect(s, {kind, c}));
      if (!e.visible || !r.intersects(area)) continue;
      p.save();
      p.setClipRect(r);
      p.fillRect(r, background);
      if (kind == Kind::Mitta) PaintScale(p, r, s.vertical[std::size_t(c - 1)], yellow);
      if (kind == Kind::Vaakamitta) PaintScale(p, r, s.horizontal[std::size_t(c - 1)], yellow);
      if ((kind == Kind::Bar || kind == Kind::HorBar) && value) {
        const auto box = kind == Kind::Bar
                             ? VerticalBarBox(e.width, e.height, setup.ScaleMin, setup.ScaleMax, *value)
                             : HorizontalBarBox(e.width, e.height, setup.ScaleMin, setup.ScaleMax, *value);
        if (box) p.fillRect(PixelRect(*box).translated(r.topLeft()), yellow);
      }
      p.restore();
    }
  }

  const auto& fonts = Fonts();
  p.setFont(fonts.label);
  p.setPen(yellow);
  const double ascent = fonts.labelMetrics.ascent();
  auto label = [&](ElementId id) {
    const QRect r = PixelRect(ElementRect(s, id));
    if (!s.layout.at(id).visible || !r.intersects(area)) return;
    p.fillRect(r, background);
    p.drawText(QPointF(r.left(), r.top() + ascent), s.caption(id));
  };
  for (int c = 1; c <= kChannels; ++c)
    for (Kind kind : {Kind::CHLabel, Kind::ChUnit, Kind::ChValue}) label({kind, c});
  for (Kind kind : kTimeKinds) label({kind, 0});
}

void RenderFrame(const Scene& scene, QImage& image) {
  // An image still shared (with a writer encoding it) is replaced, not copied: every
  // pixel is painted anew.
  const QImage::Format format = scene.canvas.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
  if (image.size() != QSize(kCanvasWidth, kCanvasHeight) || image.format() != format || !image.isDetached())
    image = QImage(kCanvasWidth, kCanvasHeight, format);
  QPainter p(&image);
  PaintCanvas(p, scene, QRect(0, 0, kCanvasWidth, kCanvasHeight));
}

}  // namespace movie
