// Numbers as text, both ways, and the picture formats of the read-outs.
#include "common/formattext.h"
#include "common/numtext.h"

#include <QLocale>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace common;

namespace {

// Each case in the process's locale, a decimal-comma one, and ones whose exponent is not "e" ("×10^",
// "·10^") and whose minus is U+2212. The C library follows where the machine has the locale.
class NumText : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    savedC_ = std::setlocale(LC_ALL, nullptr);
    if (GetParam()[0]) {
      std::setlocale(LC_ALL, (std::string(GetParam()) + ".UTF-8").c_str());
      QLocale::setDefault(QLocale(QString::fromLatin1(GetParam())));
    }
  }
  void TearDown() override {
    QLocale::setDefault(saved_);
    std::setlocale(LC_ALL, savedC_.c_str());
  }
  QLocale saved_;
  std::string savedC_;
};

// A number's text is its shortest form with a point; that text passes the input check
// and reads back as the number, through both readers.
TEST_P(NumText, NumberToTextPassesTheCheckAndReadsBack) {
  const std::pair<double, const char*> cases[] = {
      {4095, "4095"}, {-2.5, "-2.5"}, {-0.0, "0"}, {50.0 / 3.0, "16.6666666666667"}, {0.01, "0.01"},
      {1.5e-7, "0.00000015"}, {0.1 + 0.2, "0.3"},  // 15 digits hide the binary error
  };
  for (auto [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(NumberToText(value), QLatin1String(text));
    EXPECT_TRUE(IsNumericInput(text));
    bool ok = false;
    EXPECT_NEAR(TextToNumber(text, &ok), value, 1e-13 * (1 + std::abs(value)));  // to the text's 15 digits
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(LeadingNumber(text), TextToNumber(text));
  }
  EXPECT_EQ(NumberToText(1e20), "100000000000000000000");
  // Exponents pass the check where the locale writes them otherwise.
  for (auto [text, value] : {std::pair("1e2", 100.0), std::pair("-1e2", -100.0), std::pair("1e-2", 0.01)}) {
    EXPECT_TRUE(IsNumericInput(text)) << text;
    EXPECT_DOUBLE_EQ(TextToNumber(text), value) << text;
  }
  for (const char* bad : {"", "-", "012", "1.50", ".5", "+5", "1e3", "12a", "1 ", " 1", ".", "1.", "-0", "00", "1e3x"})
    EXPECT_FALSE(IsNumericInput(bad)) << '"' << bad << '"';
  for (const char* bad : {"", "abc", "1e3x"}) {
    bool ok = true;
    EXPECT_EQ(TextToNumber(bad, &ok), 0) << bad;
    EXPECT_FALSE(ok) << bad;
  }
  const QChar point = QLocale().decimalPoint().at(0);
  EXPECT_EQ(LocaleDoubleText(2.5), QString("2") + point + "5");
  EXPECT_EQ(LocaleDoubleText(25), "25");
}

TEST_P(NumText, LeadingNumberIsLenientAndTheSameInEveryLocale) {
  const std::pair<const char*, double> cases[] = {
      {"  12abc", 12}, {"-3.5 mbar", -3.5}, {"2E1", 20}, {"2e", 2},  // an exponent without digits is not one
      {"1.2.3", 1.2},  // one point only
      {".5", 0.5},     {"abc", 0}, {"-", 0},
      {"1.5e999", std::numeric_limits<double>::infinity()},  // not the C library's reading: its point is the locale's
  };
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
}

// Value, format, text, and what the text reads as.
TEST_P(NumText, FormatTextPlaceholdersRoundAndPad) {
  const std::tuple<double, const char*, const char*, double> cases[] = {
      {0.5, "##.##", ".5", 0.5},
      {12.345, "##.##", "12.35", 12.35},
      {1234.5, "##.##", "1234.5", 1234.5},  // more whole digits than places
      {-0.04, "##0.0", "-0.0", -0.0},  // the sign stays when the value rounds to zero
      {-2.5, "0", "-3", -3},           // halves away from zero
      {0.5, "0", "1", 1},              // also from below the last place
      {5, "0#", "05", 5},
      {1.005, "#.##", "1.01", 1.01},
      {0.1, "#.0#", ".1", 0.1},
      {5, "3#", "35", 5},  // a literal stays where it stands
      {1.5, "", "1.5", 1.5},
      {123456.789, "#,##0.00", "123,456.79", 123456.79},
  };
  for (const auto& [value, format, text, number] : cases) {
    SCOPED_TRACE(std::string(format) + " " + std::to_string(value));
    EXPECT_EQ(FormatText(value, QString::fromLatin1(format)), QString::fromLatin1(text));
    EXPECT_DOUBLE_EQ(FormattedValue(value, QString::fromLatin1(format)), number);
  }
  EXPECT_EQ(FormatText(12.5, QStringLiteral("##0.00"), QLatin1Char(',')), QStringLiteral("12,50"));
  EXPECT_EQ(FormatText(std::numeric_limits<double>::quiet_NaN(), QStringLiteral("##.##")), QString());
  EXPECT_EQ(FormatText(std::numeric_limits<double>::infinity(), QStringLiteral("0")), QString());
}

INSTANTIATE_TEST_SUITE_P(Locales, NumText, ::testing::Values("", "de_DE", "sv_SE", "et_EE", "lt_LT", "se_NO"),
                         [](const auto& info) { return info.param[0] ? std::string(info.param) : std::string("Process"); });

}  // namespace
