#pragma once
// Numbers as the read-outs, labels and printouts show them, written with a picture
// format: "#" an optional digit, "0" a required digit, the first "." the decimal point;
// any other character is copied as it stands. "####.##", "##0.00", "###0.00" and the
// movie's user-typed formats all go through here.
#include <QChar>
#include <QString>

namespace common {

// The value rounded to as many places as the format has placeholders after its point
// (halves away from zero, after taking the value to 15 significant digits as a decimal
// text would), then laid into the placeholders:
//  - "#" shows a digit only where the number has one: no leading zero before the point,
//    no trailing zero after it, so 0 is "" with "####" and "." with "##.##";
//  - "0" forces a digit: "##0.00" shows 0 as "0.00";
//  - more whole digits than placeholders are all shown;
//  - the point is always shown when the format has one ("1." with "####.##");
//  - a negative number keeps its sign even when it rounds to zero ("-", "-.").
// An empty format gives the shortest form of the number. Infinite and NaN values
// give an empty text. `point` is the decimal separator to render.
QString FormatText(double value, const QString& format, QChar point = QLatin1Char('.'));

// The number FormatText shows, as a number: the value rounded the same way. For a
// format with no point this is a whole number; for an empty format the value itself.
double FormattedValue(double value, const QString& format);

}  // namespace common
