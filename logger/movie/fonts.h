#pragma once
// The canvas fonts: DejaVu Sans, labels at 18 points and scale labels at 12 points bold.
// Sizes are fixed in pixels for 96 dots per inch, like the 15 twips per pixel of the
// canvas, so frames and setups do not depend on the screen.
#include <QFont>
#include <QFontMetricsF>
#include <QString>

namespace movie {

struct CanvasFonts {
  QFont label;
  QFont scale;
  QFontMetricsF labelMetrics;
  QFontMetricsF scaleMetrics;
};

// Made on first use (a GUI application must exist) and kept for the whole run.
const CanvasFonts& Fonts();

// Size of a text in twips, whole pixels.
qint32 TextWidth(const QFontMetricsF& m, const QString& text);
qint32 TextHeight(const QFontMetricsF& m);

}  // namespace movie
