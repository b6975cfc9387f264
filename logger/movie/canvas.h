#pragma once
// What the movie canvas shows, and the one painting function that both the movie window
// and the frame renderer call: the window paints it over its whole client area
// (palette included), the renderer into a 720 x 540 image.
#include "logger/movie/layout.h"
#include "logger/movie/scales.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

class QPainter;

namespace movie {

// The canvas's three colours (0xC00000, 0x00FFFF and 0 as 0x00BBGGRR values).
inline const QColor kCanvasBlue{0, 0, 192};
inline const QColor kYellow{255, 255, 0};
inline const QColor kBlack{0, 0, 0};

struct Scene {
  MovieLayout layout;
  std::array<ScaleDrawing, kChannels> vertical;    // mitta
  std::array<ScaleDrawing, kChannels> horizontal;  // Vaakamitta
  // Captions of CHLabel, ChUnit and ChValue, per channel - 1.
  std::array<QString, kChannels> name;
  std::array<QString, kChannels> unit;
  std::array<QString, kChannels> value;
  QString timeLabel;
  QString time;
  QString timeUnit;
  // The value the channel's bars show; none: the bars are cleared.
  std::array<std::optional<double>, kChannels> barValue;
  // Element backgrounds: black while the layout is edited, the canvas blue in a movie.
  QColor background = kBlack;
  // The canvas itself: blue, or transparent for a movie laid over other pictures.
  QColor canvas = kCanvasBlue;

  Scene();  // the design captions, black backgrounds, cleared bars
  QString caption(ElementId id) const;
};

// The element's rectangle in twips, canvas coordinates. Labels take the size of their
// caption (at least 8 px wide, so that an empty one can still be grabbed).
QRectF ElementRect(const Scene& scene, ElementId id);

// A rectangle in twips as the pixels it covers: every edge rounded to the nearest pixel.
QRect PixelRect(const QRectF& twips);

// The filled box of a bar showing value v, in twips inside a w x h picture: from the
// baseline (the value 0, or the scale's end nearer to 0 when 0 lies outside the range)
// to 10 twips below (vertical) or right of (horizontal) the value, clipped to the
// picture. None for an empty range (ScaleMax = ScaleMin) or a value that is not a
// finite number: the bar stays clear.
std::optional<QRectF> VerticalBarBox(double w, double h, double scaleMin, double scaleMax, double v);
std::optional<QRectF> HorizontalBarBox(double w, double h, double scaleMin, double scaleMax, double v);

// Paints the canvas and every visible element that meets `area` (px). The painter
// works in pixels with the canvas's top-left corner at its origin.
void PaintCanvas(QPainter& painter, const Scene& scene, const QRect& area);

// One 720 x 540 frame, with alpha (premultiplied) when the scene's canvas is not
// opaque. `image` is reused when it has the right size and is not shared.
void RenderFrame(const Scene& scene, QImage& image);

}  // namespace movie
