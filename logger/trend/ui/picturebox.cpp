#include "logger/trend/ui/picturebox.h"

#include "common/ui/colour.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace trend {

PictureBox::PictureBox(QColor background, QWidget* parent) : QWidget(parent), background_(background) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  setMinimumSize(100, 40);
}

double PictureBox::twipsPerPixel() const {
  const int dpi = logicalDpiX();
  return dpi > 0 ? 1440.0 / dpi : 15.0;
}

PictureScale PictureBox::scale() const {
  const double t = twipsPerPixel();
  return {0, 0, width() * t, height() * t};
}

void PictureBox::ensureCache() {
  if (cache_.size() != size()) cache_ = QImage(size(), QImage::Format_RGB32);
}

void PictureBox::clearPicture() {
  ensureCache();
  cache_.fill(background_);
  drawingX_ = 0;
  ++renders_;
  update();
}

namespace {

// Vertical bars written straight into a 32-bit image, the pixels QPainter's aliased
// one-pixel pen would set (column floor(x), rows floor(y1)..floor(y2), clipped). A
// picture of tall bars is painted many times faster this way than through the
// painter's line rasteriser, whose cost grew with the bars' length and so with the log.
bool PaintBars(QImage& image, const std::vector<QLineF>& bars, QRgb colour, double twipsPerPixel) {
  const QImage::Format f = image.format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied) return false;
  const int w = image.width();
  const int h = image.height();
  const double k = 1.0 / twipsPerPixel;
  const qsizetype stride = image.bytesPerLine() / 4;
  QRgb* bits = reinterpret_cast<QRgb*>(image.bits());
  for (const QLineF& l : bars) {
    const double px = std::floor(l.x1() * k);
    if (!(px >= 0 && px < w)) continue;
    const double lo = std::floor(std::min(l.y1(), l.y2()) * k);
    const double hi = std::floor(std::max(l.y1(), l.y2()) * k);
    if (!(hi >= 0 && lo < h)) continue;
    const int from = int(std::max(lo, 0.0));
    const int to = int(std::min(hi, double(h - 1)));
    QRgb* p = bits + qsizetype(from) * stride + int(px);
    for (int y = from; y <= to; ++y, p += stride) *p = colour;
  }
  return true;
}

}  // namespace

void PaintTrace(QImage& image, const TraceGeometry& trace, qint32 bgrColour, double twipsPerPixel) {
  if (trace.empty()) return;
  if (trace.bars && PaintBars(image, trace.barLines, common::ColourFromBgr(bgrColour).rgb(), twipsPerPixel)) return;
  QPainter p(&image);
  const double k = 1.0 / twipsPerPixel;
  p.scale(k, k);
  QPen pen(common::ColourFromBgr(bgrColour));
  pen.setCosmetic(true);
  pen.setWidth(1);
  p.setPen(pen);
  if (!trace.bars) {
    if (trace.polyline.size() == 1)
      p.drawPoint(trace.polyline.front());
    else
      p.drawPolyline(trace.polyline.data(), int(trace.polyline.size()));
  } else {
    p.drawLines(trace.barLines.data(), int(trace.barLines.size()));
  }
}

void PictureBox::drawTrace(const TraceGeometry& trace, qint32 bgrColour) {
  ensureCache();
  PaintTrace(cache_, trace, bgrColour, twipsPerPixel());
  ++renders_;
  if (!trace.bars && !trace.polyline.empty()) drawingX_ = trace.polyline.back().x();
  if (trace.bars && !trace.barLines.empty()) drawingX_ = trace.barLines.back().x2();
  update();
}

void PictureBox::drawOverview(const OverviewGeometry& g) {
  ensureCache();
  ++renders_;
  QPainter p(&cache_);
  const double k = 1.0 / twipsPerPixel();
  p.scale(k, k);
  QPen pen;
  pen.setCosmetic(true);
  // The box first, so that the white trace lies over it.
  if (g.hasBox) {
    pen.setColor(common::ColourFromBgr(0x0000FF));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The box's right and bottom edges must stay inside the picture.
    const double t = twipsPerPixel();
    QRectF r = g.windowBox.normalized();
    if (r.right() >= width() * t) r.setRight(width() * t - t);
    if (r.bottom() >= height() * t) r.setBottom(height() * t - t);
    p.drawRect(r);
  }
  if (!g.trace.empty()) {
    pen.setColor(common::ColourFromBgr(0xFFFFFF));
    p.setPen(pen);
    if (g.trace.size() == 1)
      p.drawPoint(g.trace.front());
    else
      p.drawPolyline(g.trace.data(), int(g.trace.size()));
  }
  update();
}

int PictureBox::cursorColumn(double xTwips) const { return int(xTwips / twipsPerPixel()); }

// Only the old and the new line's columns are repainted: the cache is copied back
// over the old line and the new one is drawn over the cache, so a cursor move costs
// two one-pixel columns rather than the whole picture.
void PictureBox::setCursorLine(std::optional<double> xTwips) {
  if (cursor_) update(QRect(cursorColumn(*cursor_), 0, 1, height()));
  cursor_ = xTwips;
  if (xTwips) {
    drawingX_ = *xTwips;
    update(QRect(cursorColumn(*xTwips), 0, 1, height()));
  }
}

QRect PictureBox::levelRect(const QLineF& l) const {
  const int y = cursorColumn(l.y1());
  const int a = cursorColumn(std::min(l.x1(), l.x2()));
  const int b = cursorColumn(std::max(l.x1(), l.x2()));
  return QRect(a, y, b - a + 1, 1);
}

void PictureBox::setLevelLines(std::vector<QLineF> lines) {
  for (const QLineF& l : levels_) update(levelRect(l));
  levels_ = std::move(lines);
  for (const QLineF& l : levels_) update(levelRect(l));
}

void PictureBox::setMarkerLines(std::vector<MarkerLine> lines) {
  if (lines == markers_) return;
  markers_ = std::move(lines);
  update();
}

void PictureBox::paintEvent(QPaintEvent* e) {
  ensureCache();
  QPainter p(this);
  for (const QRect& r : e->region()) p.drawImage(r.topLeft(), cache_, r);
  if (cursor_) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    const int x = cursorColumn(*cursor_);
    p.drawLine(x, 0, x, height());
  }
  if (!markers_.empty()) {
    // Solid, not exclusive-or: they stay put while the cursor moves over them.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(0xFF, 0xD0, 0x40), 1, Qt::DashLine));
    for (const MarkerLine& m : markers_) {
      const int x = cursorColumn(m.x);
      p.drawLine(x, 0, x, height());
      p.drawText(x + 3, fontMetrics().ascent() + 2, m.label);
    }
  }
  if (!levels_.empty()) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    for (const QLineF& l : levels_) {
      const QRect r = levelRect(l);
      p.drawLine(r.left(), r.top(), r.right(), r.top());
    }
  }
}

void PictureBox::resizeEvent(QResizeEvent*) {
  ensureCache();
  cache_.fill(background_);
  emit resized();
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
  const double t = twipsPerPixel();
  emit mousePressed(e->position().x() * t, e->position().y() * t, e->button(), e->modifiers());
}

void PictureBox::mouseMoveEvent(QMouseEvent* e) {
  const double t = twipsPerPixel();
  emit mouseMoved(e->position().x() * t, e->position().y() * t, e->buttons());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e) {
  const double t = twipsPerPixel();
  emit mouseReleased(e->position().x() * t, e->position().y() * t, e->button());
}

void PictureBox::keyPressEvent(QKeyEvent* e) {
  emit keyPressed(e->key(), e->text(), e->modifiers());
  QWidget::keyPressEvent(e);
}

void PictureBox::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) return QWidget::wheelEvent(e);
  emit wheelTurned(e->position().x() * twipsPerPixel(), delta);
  e->accept();
}

}  // namespace trend
