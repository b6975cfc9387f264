// The number-text functions in sixteen locales, each set both for Qt and for the C
// library (the build's scripts/deps.sh generates them). The input is a text, and its
// first eight bytes a double. In every locale: NumberToText gives the same plain text;
// LeadingNumber and IsNumericInput give what they give in the C locale; whatever
// IsNumericInput accepts, TextToNumber reads, to the value the check read; a text of
// NumberToText that the check accepts reads back to the same text.
#include "common/numtext.h"
#include "fuzz_support.h"

#include <QLocale>
#include <QRegularExpression>
#include <clocale>
#include <locale.h>
#include <map>
#include <string>
#include <cmath>
#include <cstring>

namespace {

constexpr const char* kLocales[] = {"C",     "en_US", "de_DE", "de_CH", "fr_FR", "sv_SE", "et_EE", "lt_LT",
                                    "se_NO", "fi_FI", "nb_NO", "ru_RU", "uk_UA", "ar_EG", "fa_IR", "hi_IN"};

// Both halves of each locale are made once: switching is then cheap enough to try every
// input in all sixteen.
void UseLocale(const char* name) {
  struct Pair {
    locale_t c;
    QLocale qt;
  };
  static std::map<std::string, Pair> made;
  auto it = made.find(name);
  if (it == made.end()) {
    const bool isC = qstrcmp(name, "C") == 0;
    const QByteArray c = isC ? QByteArray("C") : QByteArray(name) + ".UTF-8";
    locale_t loc = newlocale(LC_ALL_MASK, c.constData(), locale_t(nullptr));
    FUZZ_CHECK(loc != locale_t(nullptr));  // scripts/deps.sh generates the locales
    it = made.emplace(name, Pair{loc, isC ? QLocale::c() : QLocale(QString::fromLatin1(name))}).first;
  }
  uselocale(it->second.c);
  QLocale::setDefault(it->second.qt);
}

bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  double x = 0;
  std::memcpy(&x, data, std::min(size, sizeof x));

  UseLocale("C");
  const QString xText = common::NumberToText(x);
  const double leading = common::LeadingNumber(text);
  const bool accepted = common::IsNumericInput(text);
  if (std::isfinite(x)) FUZZ_CHECK(plain.match(xText).hasMatch());

  for (const char* name : kLocales) {
    UseLocale(name);
    FUZZ_CHECK(common::LocaleDecimalSeparator() == QLocale().decimalPoint().at(0));
    FUZZ_CHECK(common::NumberToText(x) == xText);
    FUZZ_CHECK(Same(common::LeadingNumber(text), leading));
    FUZZ_CHECK(common::IsNumericInput(text) == accepted);
    bool ok = false;
    if (accepted) {
      const double v = common::TextToNumber(text, &ok);
      FUZZ_CHECK(ok && v == leading);
    }
    if (std::isfinite(x) && common::IsNumericInput(xText)) {
      const double back = common::TextToNumber(xText, &ok);
      FUZZ_CHECK(ok && common::NumberToText(back) == xText);
    }
  }
  UseLocale("C");
  return 0;
}
