#include "common/formattext.h"

#include "common/numtext.h"

#include <QByteArray>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace common {
namespace {

struct Digits {
  bool negative = false;
  QByteArray whole;     // no leading zeros; empty for a value below one
  QByteArray fraction;  // exactly `decimals` digits
};

// round(|value| * 10^decimals) as decimal digits, from the 15-digit decimal form of the
// value, so that 1.005 (stored a hair below) still rounds up as its text does.
Digits RoundedDigits(double value, int decimals) {
  Digits d;
  d.negative = value < 0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  char digits[16];
  int n = 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9' && n < 15) digits[n++] = *p;
  const int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;

  const int keep = exponent + 1 + decimals;
  QByteArray scaled;
  if (keep <= 0) {
    scaled = (keep == 0 && digits[0] >= '5') ? "1" : "0";
  } else if (keep >= n) {
    scaled = QByteArray(digits, n) + QByteArray(keep - n, '0');
  } else {
    scaled = QByteArray(digits, keep);
    if (digits[keep] >= '5') {
      int i = keep - 1;
      for (; i >= 0 && scaled[i] == '9'; --i) scaled[i] = '0';
      if (i >= 0)
        scaled[i] = char(scaled[i] + 1);
      else
        scaled.prepend('1');
    }
  }
  if (scaled.size() < decimals + 1) scaled.prepend(QByteArray(decimals + 1 - scaled.size(), '0'));
  d.whole = scaled.left(scaled.size() - decimals);
  d.fraction = scaled.right(decimals);
  while (!d.whole.isEmpty() && d.whole[0] == '0') d.whole.remove(0, 1);
  return d;
}

bool IsPlaceholder(QChar c) { return c == QLatin1Char('#') || c == QLatin1Char('0'); }

struct Picture {
  QString whole;     // the format before its point
  QString fraction;  // after it
  bool point = false;
  int wholePlaces = 0;
  int wholeRequired = 0;  // placeholders from the first "0" to the point
  int decimals = 0;
  int fractionRequired = 0;  // placeholders up to the last "0"
};

Picture Parse(const QString& format) {
  Picture pic;
  const qsizetype at = format.indexOf(QLatin1Char('.'));
  pic.point = at >= 0;
  pic.whole = pic.point ? format.left(at) : format;
  pic.fraction = pic.point ? format.mid(at + 1) : QString();
  bool zeroSeen = false;
  for (QChar c : pic.whole) {
    if (!IsPlaceholder(c)) continue;
    ++pic.wholePlaces;
    zeroSeen = zeroSeen || c == QLatin1Char('0');
    if (zeroSeen) ++pic.wholeRequired;
  }
  for (QChar c : pic.fraction) {
    if (!IsPlaceholder(c)) continue;
    ++pic.decimals;
    if (c == QLatin1Char('0')) pic.fractionRequired = pic.decimals;
  }
  return pic;
}

}  // namespace

QString FormatText(double value, const QString& format, QChar point) {
  if (!std::isfinite(value)) return QString();
  if (format.isEmpty()) {
    QString t = NumberToText(value);
    t.replace(QLatin1Char('.'), point);
    return t;
  }
  const Picture pic = Parse(format);
  Digits d = RoundedDigits(value, pic.decimals);
  if (d.whole.size() < pic.wholeRequired) d.whole.prepend(QByteArray(pic.wholeRequired - d.whole.size(), '0'));
  while (d.fraction.size() > pic.fractionRequired && d.fraction.endsWith('0')) d.fraction.chop(1);

  QString out = d.negative ? QStringLiteral("-") : QString();
  // Whole digits fill the placeholders from the right; digits beyond them all go to the
  // first placeholder. A format with no whole placeholder shows its digits before the
  // point; one with no placeholder at all shows only its literal text.
  const qsizetype extra = d.whole.size() - pic.wholePlaces;
  int place = 0;
  for (QChar c : pic.whole) {
    if (!IsPlaceholder(c)) {
      out += c;
      continue;
    }
    if (place == 0 && extra > 0) out += QString::fromLatin1(d.whole.left(extra));
    const qsizetype i = extra + place;
    if (i >= 0) out += QLatin1Char(d.whole[i]);
    ++place;
  }
  if (pic.wholePlaces == 0 && pic.decimals > 0) out += QString::fromLatin1(d.whole);
  if (pic.point) out += point;
  place = 0;
  for (QChar c : pic.fraction) {
    if (!IsPlaceholder(c)) {
      out += c;
      continue;
    }
    if (place < d.fraction.size()) out += QLatin1Char(d.fraction[place]);
    ++place;
  }
  return out;
}

double FormattedValue(double value, const QString& format) {
  if (!std::isfinite(value) || format.isEmpty()) return value;
  const Digits d = RoundedDigits(value, Parse(format).decimals);
  const QByteArray text = (d.negative ? "-" : "") + (d.whole.isEmpty() ? QByteArray("0") : d.whole) + '.' +
                          (d.fraction.isEmpty() ? QByteArray("0") : d.fraction);
  return text.toDouble();  // C locale, whatever the process's
}

}  // namespace common
