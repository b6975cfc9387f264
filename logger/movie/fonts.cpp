#include "logger/movie/fonts.h"

#include "logger/movie/layout.h"

#include <cmath>

namespace movie {

namespace {

QFont Make(int pixels, bool bold) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

}  // namespace

const CanvasFonts& Fonts() {
  // Never destroyed: a QFont must not outlive the application that made it, and the
  // last frame may be painted just before the application ends.
  static const CanvasFonts* fonts = [] {
    const QFont label = Make(24, false);  // 18 pt at 96 dpi
    const QFont scale = Make(16, true);   // 12 pt
    return new CanvasFonts{label, scale, QFontMetricsF(label), QFontMetricsF(scale)};
  }();
  return *fonts;
}

qint32 TextWidth(const QFontMetricsF& m, const QString& text) {
  return Twips(int(std::ceil(m.horizontalAdvance(text))));
}

qint32 TextHeight(const QFontMetricsF& m) { return Twips(int(std::ceil(m.height()))); }

}  // namespace movie
