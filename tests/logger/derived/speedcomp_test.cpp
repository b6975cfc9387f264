// The compensation dialog driven by its controls: what each road leaves in the
// program-wide mode and user pressure.
#include "common/messages.h"
#include "logger/derived/ui/speedcomp.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace derived {
namespace {

enum class Close { Ok, CloseButton };

struct Road {
  const char* what;
  std::uint8_t modeBefore;
  const char* click;   // option clicked after opening, or nullptr
  const char* click2;  // a second one, or nullptr
  const char* typed;   // replaces the Press text, or nullptr
  Close close;
  std::uint8_t mode;
  float pressure;
  bool pressEnabled;   // when the dialog closes
};

TEST(SpeedCompTest, ModeAndPressureAfterEachRoad) {
  const Road roads[] = {
      {"OK at once", kFromUser, nullptr, nullptr, nullptr, Close::Ok, kFromSample, 1013.2f, false},
      {"from user, decimal comma", kFromBias, "FromUser", nullptr, "950,5", Close::Ok, kFromUser, 950.0f, true},
      {"from user, decimal point", kFromSample, "FromUser", nullptr, "1001.75", Close::Ok, kFromUser, 1001.75f, true},
      {"user then bias", kFromSample, "FromUser", "FromBias", nullptr, Close::Ok, kFromBias, 1013.2f, true},
      {"text without a number", kFromSample, "FromUser", nullptr, "abc", Close::Ok, kFromUser, 0.0f, true},
      {"pressure taken in any mode", kFromSample, "FromUser", "FromSample", "990", Close::Ok, kFromSample, 990.0f, true},
      {"closed: pressure kept, mode chosen", kFromSample, "FromUser", nullptr, "800", Close::CloseButton, kFromUser,
       1013.2f, true},
      {"closed at once", kFromBias, nullptr, nullptr, nullptr, Close::CloseButton, kFromSample, 1013.2f, false},
  };
  for (const Road& r : roads) {
    SCOPED_TRACE(r.what);
    Compensation state{r.modeBefore, 1013.2f};
    SpeedCompDialog dialog(state);
    dialog.show();
    EXPECT_EQ(dialog.objectName(), QStringLiteral("SpeedComp"));
    EXPECT_EQ(dialog.windowTitle(), common::msg::kSpeedCompTitle);
    auto* press = dialog.findChild<QLineEdit*>(QStringLiteral("Press"));
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->text(), QStringLiteral("1013.2"));
    EXPECT_FALSE(press->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("FromSample"))->isChecked());
    EXPECT_EQ(state.Mode, kFromSample);  // reset on every opening
    for (const char* name : {r.click, r.click2})
      if (name) QTest::mouseClick(dialog.findChild<QRadioButton*>(QLatin1String(name)), Qt::LeftButton);
    if (r.typed) {
      press->clear();
      QTest::keyClicks(press, QLatin1String(r.typed));
    }
    EXPECT_EQ(press->isEnabled(), r.pressEnabled);
    if (r.close == Close::Ok) QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    else dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(state.Mode, r.mode);
    EXPECT_EQ(state.UserPressure, r.pressure);
  }
}

TEST(SpeedCompTest, OptionsExcludeOneAnotherAndThePressureShowsAsSet) {
  Compensation state{kFromSample, 950.0f};
  SpeedCompDialog dialog(state);
  dialog.show();
  EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Press"))->text(), QStringLiteral("950"));
  auto* user = dialog.findChild<QRadioButton*>(QStringLiteral("FromUser"));
  auto* bias = dialog.findChild<QRadioButton*>(QStringLiteral("FromBias"));
  auto* sample = dialog.findChild<QRadioButton*>(QStringLiteral("FromSample"));
  EXPECT_EQ(user->text(), common::msg::kFromUserCaption);
  QTest::mouseClick(user, Qt::LeftButton);
  EXPECT_TRUE(user->isChecked());
  EXPECT_FALSE(bias->isChecked());
  EXPECT_FALSE(sample->isChecked());
  QTest::mouseClick(bias, Qt::LeftButton);
  EXPECT_FALSE(user->isChecked());
  EXPECT_TRUE(bias->isChecked());
  EXPECT_FALSE(sample->isChecked());
}

}  // namespace
}  // namespace derived
