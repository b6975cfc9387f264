#pragma once
// A picture box in twips: traces are rendered once into a cached image; the cursor
// line is an exclusive-or overlay painted over the cache, so moving it never
// re-renders a trace.
#include "logger/trend/trenddraw.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

namespace trend {


// Paints one trace (geometry in twips) into an image of `twipsPerPixel`.
void PaintTrace(QImage& image, const TraceGeometry& trace, qint32 bgrColour, double twipsPerPixel);

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QColor background, QWidget* parent = nullptr);

  double twipsPerPixel() const;
  // The scale the geometry functions want: origin 0, size in twips.
  PictureScale scale() const;

  // Start a new picture: clear the cache to the background.
  void clearPicture();
  void drawTrace(const TraceGeometry& trace, qint32 bgrColour);
  void drawOverview(const OverviewGeometry& overview);
  // Twips; nullopt removes the line. Colour 0xE0E0E0, exclusive-or with the picture.
  // Only a repaint of the overlay is requested: the cached traces are not rendered again.
  void setCursorLine(std::optional<double> xTwips);
  std::optional<double> cursorLine() const { return cursor_; }
  // Horizontal overlay lines in twips (the scope's level lines), exclusive-or like the
  // cursor line. Setting them replaces the previous ones, so the picture never holds
  // more than the lines last given.
  void setLevelLines(std::vector<QLineF> lines);
  const std::vector<QLineF>& levelLines() const { return levels_; }
  // Labelled vertical lines over the picture (the measurement markers), x in twips.
  struct MarkerLine {
    double x;
    QString label;
    bool operator==(const MarkerLine&) const = default;
  };
  void setMarkerLines(std::vector<MarkerLine> lines);
  const std::vector<MarkerLine>& markerLines() const { return markers_; }

  // The picture's current drawing x in twips: the end of the last line drawn (a trace's
  // last point, or the cursor line), 0 after the picture was cleared. The arrow keys
  // step from here.
  double drawingX() const { return drawingX_; }

  // How many times traces or the overview were rendered into the cache (clears
  // included); the cursor overlay never counts.
  quint64 renderCount() const { return renders_; }

  const QImage& picture() const { return cache_; }
  QSize sizeHint() const override { return {640, 240}; }

 signals:
  // The picture changed size; its content must be rendered again.
  void resized();
  void mousePressed(double xTwips, double yTwips, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void mouseMoved(double xTwips, double yTwips, Qt::MouseButtons buttons);
  void mouseReleased(double xTwips, double yTwips, Qt::MouseButton button);
  // `text` is what the key types ("p" or "P" for the capture key), empty for arrows.
  void keyPressed(int key, const QString& text, Qt::KeyboardModifiers modifiers);
  // The wheel turned by `angleDelta` units (120 a notch) with the pointer at x.
  void wheelTurned(double xTwips, int angleDelta);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;

 private:
  void ensureCache();
  int cursorColumn(double xTwips) const;
  QRect levelRect(const QLineF& line) const;
  QColor background_;
  QImage cache_;
  std::optional<double> cursor_;
  std::vector<QLineF> levels_;
  std::vector<MarkerLine> markers_;
  double drawingX_ = 0;
  quint64 renders_ = 0;
};

}  // namespace trend
