#include "common/numtext.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace common;

namespace {

// Runs each case in the process's own locale and again in a decimal-comma locale.
class NumText : public ::testing::TestWithParam<QLocale::Language> {
 protected:
  void SetUp() override {
    saved_ = QLocale();
    if (GetParam() != QLocale::AnyLanguage) QLocale::setDefault(QLocale(GetParam()));
  }
  void TearDown() override { QLocale::setDefault(saved_); }
  QLocale saved_;
};

TEST_P(NumText, NumberToTextUsesPointAndShortestForm) {
  EXPECT_EQ(NumberToText(4095), "4095");
  EXPECT_EQ(NumberToText(0.1), "0.1");
  EXPECT_EQ(NumberToText(-2.5), "-2.5");
  EXPECT_EQ(NumberToText(0), "0");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(NumberToText(50.0 / 3.0), "16.6666666666667");
  EXPECT_EQ(NumberToText(1234567.0), "1234567");  // no group separators
  EXPECT_EQ(NumberToText(1e20), "100000000000000000000");  // no exponent
  EXPECT_EQ(NumberToText(1.5e-7), "0.00000015");
  EXPECT_EQ(NumberToText(-10 + 20.0 * 2047 / 4095), "-0.00244200244200243");
  EXPECT_EQ(NumberToText(0.1 + 0.2), "0.3");  // 15 digits hide the binary error
}

TEST_P(NumText, TextToNumberReadsPointInAnyLocale) {
  bool ok = false;
  EXPECT_DOUBLE_EQ(TextToNumber("0.1", &ok), 0.1);
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(TextToNumber("-2.5"), -2.5);
  EXPECT_DOUBLE_EQ(TextToNumber("4095"), 4095);
  EXPECT_DOUBLE_EQ(TextToNumber(""), 0);
  TextToNumber("abc", &ok);
  EXPECT_FALSE(ok);
  TextToNumber("", &ok);
  EXPECT_FALSE(ok);
  // Round trip through the text form keeps 15 significant digits.
  EXPECT_DOUBLE_EQ(TextToNumber(NumberToText(50.0 / 3.0)), 16.6666666666667);
}

TEST_P(NumText, LocaleDecimalSeparatorMatchesLocale) {
  const QChar expected = QLocale().decimalPoint().at(0);
  EXPECT_EQ(LocaleDecimalSeparator(), expected);
  EXPECT_EQ(LocaleDoubleText(2.5), QString("2") + expected + "5");
  EXPECT_EQ(LocaleDoubleText(25), "25");
}

TEST_P(NumText, IsNumericInputAcceptsOnlyShortestForms) {
  for (const char* good : {"12", "-3", "1.5", "0.25", "0", "7", "4095", "-0.5", "16.6666666666667"})
    EXPECT_TRUE(IsNumericInput(good)) << good;
  for (const char* bad : {"", "-", "012", "1.50", ".5", "+5", "1e3", "12a", "1 ", " 1", "abc", "a", ".", "1.",
                          "-0", "00"})
    EXPECT_FALSE(IsNumericInput(bad)) << '"' << bad << '"';
}

TEST_P(NumText, LeadingNumberIsLenient) {
  EXPECT_DOUBLE_EQ(LeadingNumber("  12abc"), 12);
  EXPECT_DOUBLE_EQ(LeadingNumber("-3.5 mbar"), -3.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_DOUBLE_EQ(LeadingNumber("2e"), 2);      // exponent without digits is not one
  EXPECT_DOUBLE_EQ(LeadingNumber("1.2.3"), 1.2);  // one point only
  EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber(""), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber("-"), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber("12.7"), 12.7);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumText, ::testing::Values(QLocale::AnyLanguage, QLocale::German),
                         [](const auto& info) {
                           return info.param == QLocale::German ? std::string("DecimalComma")
                                                                : std::string("ProcessLocale");
                         });

}  // namespace
