#include "common/ui/colour.h"

#include <algorithm>
#include <cmath>

namespace common {

QColor ColourFromBgr(qint32 bgr) {
  const auto v = quint32(bgr);
  return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 BgrFromColour(const QColor& colour) {
  return qint32(quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16));
}

namespace {

// Relative luminance, sRGB channels made linear first.
double Luminance(qint32 bgr) {
  auto linear = [](int c) {
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  const auto u = quint32(bgr);
  return 0.2126 * linear(int(u & 0xFF)) + 0.7152 * linear(int((u >> 8) & 0xFF)) +
         0.0722 * linear(int((u >> 16) & 0xFF));
}

double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

}  // namespace

qint32 MoreContrastingBackground(qint32 fg, qint32 background1, qint32 background2) {
  const double l = Luminance(fg);
  return Contrast(l, Luminance(background1)) >= Contrast(l, Luminance(background2)) ? background1 : background2;
}

}  // namespace common
