#pragma once
// Numbers pass through text boxes and text files with "." as the decimal point in
// every locale; conversions follow the process's QLocale (QLocale() default), so a
// decimal-comma locale must give the same texts as a decimal-point one.
#include <QChar>
#include <QString>

namespace common {

// The second character of the locale's rendering of one half.
QChar LocaleDecimalSeparator();

// At most 15 significant digits, no exponent, no group separators, "." as decimal point.
QString NumberToText(double value);

// "." replaced by the locale separator, then the locale's conversion; a text the
// locale cannot read but IsNumericInput accepts ("1e2" where the exponent symbol is
// "×10^") is read as that check reads it. A text that is not a number is the caller's
// error: the result is 0 and *ok (if given) false.
double TextToNumber(const QString& text, bool* ok = nullptr);

// The check every form runs before TextToNumber: only numbers already written in
// their shortest form pass ("12", "-3", "1.5"; not "012", "1.50", ".5", "+5", "1e3"),
// and nothing may stand before or after the number ("1e3x" is as long as "1000", yet
// refused).
bool IsNumericInput(const QString& text);

// The number that leads a text, read leniently (blanks skipped, optional sign, digits
// with one ".", optional exponent, stops at the first other character; 0 if none).
double LeadingNumber(const QString& text);

// A double as the locale renders it: shortest form up to 15 significant digits, the
// locale's decimal separator, no group separators.
QString LocaleDoubleText(double value);

}  // namespace common
