#include "common/numtext.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace common {
namespace {

// Plain decimal form of `value` with at most 15 significant digits, no exponent, no
// group separators, `separator` as the decimal point. The digits come from printf's
// correctly rounded %.14e, so 0.1 is "0.1" and 1/3 is "0.333333333333333".
QString plainDecimal(double value, QChar separator) {
  if (!std::isfinite(value)) return QString::number(value);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  const char* p = buf;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  QString digits;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits.append(QLatin1Char(*p));
  const int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.endsWith(QLatin1Char('0'))) digits.chop(1);
  if (digits == QLatin1String("0")) return QStringLiteral("0");  // also -0

  QString out;
  if (exponent >= 0) {
    const int intDigits = exponent + 1;
    if (digits.size() <= intDigits) {
      out = digits + QString(intDigits - digits.size(), QLatin1Char('0'));
    } else {
      out = digits.left(intDigits) + separator + digits.mid(intDigits);
    }
  } else {
    out = QStringLiteral("0") + separator + QString(-exponent - 1, QLatin1Char('0')) + digits;
  }
  return negative ? QStringLiteral("-") + out : out;
}

// The number that leads a text, and the index just after it (0: no number).
struct Leading {
  double value = 0;
  int end = 0;
};
Leading readLeading(const QString& text);

}  // namespace

QChar LocaleDecimalSeparator() {
  const QString half = QLocale().toString(0.5);
  return half.size() >= 2 ? half.at(1) : QLatin1Char('.');
}

QString NumberToText(double value) { return plainDecimal(value, QLatin1Char('.')); }

QString LocaleDoubleText(double value) { return plainDecimal(value, LocaleDecimalSeparator()); }

double TextToNumber(const QString& text, bool* ok) {
  QString t = text;
  t.replace(QLatin1Char('.'), LocaleDecimalSeparator());
  bool converted = false;
  double v = QLocale().toDouble(t.trimmed(), &converted);
  if (!converted) {
    // IsNumericInput accepts a plain number with "e" as its exponent ("1e2") in every
    // locale, but a locale whose exponent symbol is another ("×10^" in Swedish) cannot
    // read it: the conversion reads such a text as the check did.
    const QString plain = text.trimmed();
    const Leading n = readLeading(plain);
    converted = n.end == plain.size() && n.end > 0 && std::isfinite(n.value);
    v = n.value;
  }
  if (ok) *ok = converted;
  return converted ? v : 0.0;
}

namespace {

Leading readLeading(const QString& text) {
  int i = 0;
  const int n = int(text.size());
  auto at = [&](int k) { return k < n ? text.at(k).unicode() : char16_t(0); };
  while (at(i) == ' ' || at(i) == '\t') ++i;
  QByteArray number;
  if (at(i) == '+' || at(i) == '-') number.append(char(at(i++)));
  bool anyDigit = false, point = false;
  for (;; ++i) {
    char16_t c = at(i);
    if (c >= '0' && c <= '9') {
      number.append(char(c));
      anyDigit = true;
    } else if (c == '.' && !point) {
      number.append('.');
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return {};
  // An exponent counts only when digits follow it.
  if (at(i) == 'e' || at(i) == 'E') {
    int j = i + 1;
    QByteArray exp("e");
    if (at(j) == '+' || at(j) == '-') exp.append(char(at(j++)));
    bool expDigit = false;
    while (at(j) >= '0' && at(j) <= '9') {
      exp.append(char(at(j++)));
      expDigit = true;
    }
    if (expDigit) {
      number.append(exp);
      i = j;
    }
  }
  // The C locale, not the process's: on overflow it gives the infinity and on
  // underflow the 0 that a correct reading gives, and "." is its point in every locale.
  bool ok = false;
  return {QLocale::c().toDouble(QString::fromLatin1(number), &ok), i};
}

}  // namespace

double LeadingNumber(const QString& text) { return readLeading(text).value; }

bool IsNumericInput(const QString& text) {
  if (text.isEmpty()) return false;
  const Leading n = readLeading(text);
  // Only a text that is one number and nothing else: "1e3x" and " 1e3" render as
  // "1000", as long as the text, yet neither is a number written in its shortest form.
  if (n.end != text.size() || text.front() == QLatin1Char(' ') || text.front() == QLatin1Char('\t')) return false;
  const QString rendered = LocaleDoubleText(n.value);
  if (text.size() == 1 && !(text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'))) return false;
  return rendered.size() == text.size();
}

}  // namespace common
