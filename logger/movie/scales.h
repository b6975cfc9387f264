#pragma once
// The rulers beside the bars: a vertical scale `mitta` and a horizontal scale
// `Vaakamitta` per channel. Pure geometry in twips inside the scale picture; the
// painter draws what these return.
#include "logger/movie/layout.h"

#include <QLineF>
#include <QPointF>
#include <QString>
#include <vector>

namespace movie {

struct ScaleDrawing {
  struct Label {
    QPointF topLeft;  // twips inside the scale
    QString text;
  };
  std::vector<QLineF> ticks;  // twips inside the scale
  std::vector<Label> labels;
};

// The decade exponent of a span, ln(span) / ln(10) cut towards zero, one lower for
// spans up to 1: 250 gives 2, 1 gives -1, 0.5 gives -1.
int DecadeExponent(double span);

// Redraws channel c's vertical scale and sets its width to what its widest tick text
// needs (10 px plus the text, and room for the widest label beside the long ticks):
// 0 while the scale is hidden. Long ticks are labelled with the value at their height. A scale whose range is
// empty (ScaleMax = ScaleMin, or not a finite number) draws nothing and keeps a
// 10 px width, so that it stays visible and can be dragged.
ScaleDrawing DrawScaler(MovieLayout& layout, int c, QChar point);

// Redraws channel c's horizontal scale; while it lies on the canvas its height grows
// to 10 px plus the text height, and never shrinks. Long ticks are labelled with the
// bar's value there, ScaleMin plus the distance.
ScaleDrawing DrawHoriScaler(MovieLayout& layout, int c, QChar point);

}  // namespace movie
