// The compensation dialog driven by its controls: what each road leaves in the
// program-wide mode and user pressure.
#include "common/messages.h"
#include "logger/derived/ui/speedcomp.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace derived {
namespace {

TEST(SpeedCompTest, ModeAndPressureAfterEachRoad) {
  const struct {
    const char* what;
    std::uint8_t modeBefore;
    float pressureBefore;
    const char* shown;             // the Press text on opening
    std::vector<const char*> clicks;  // options, in order
    const char* typed;             // replaces the Press text, or nullptr
    bool ok;                       // "OK", or the window's close button
    std::uint8_t mode;
    float pressure;
    bool pressEnabled;
  } roads[] = {
      {"OK at once", kFromUser, 1013.2f, "1013.2", {}, nullptr, true, kFromSample, 1013.2f, false},
      {"user, decimal comma", kFromBias, 1001.75f, "1001.75", {"FromUser"}, "950,5", true, kFromUser, 950.0f, true},
      {"user then bias", kFromSample, 1013.2f, "1013.2", {"FromUser", "FromBias"}, nullptr, true, kFromBias, 1013.2f,
       true},
      {"pressure taken in any mode", kFromSample, 1013.2f, "1013.2", {"FromUser", "FromSample"}, "990", true,
       kFromSample, 990.0f, true},
      {"closed: pressure kept, mode as chosen", kFromSample, 1013.2f, "1013.2", {"FromUser"}, "800", false, kFromUser,
       1013.2f, true},
  };
  for (const auto& r : roads) {
    SCOPED_TRACE(r.what);
    Compensation state{r.modeBefore, r.pressureBefore};
    SpeedCompDialog dialog(state);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), common::msg::kSpeedCompTitle);
    auto* press = dialog.findChild<QLineEdit*>(QStringLiteral("Press"));
    EXPECT_EQ(press->text(), QLatin1String(r.shown));
    // Reset on every opening.
    EXPECT_TRUE(!press->isEnabled() && dialog.findChild<QRadioButton*>(QStringLiteral("FromSample"))->isChecked());
    EXPECT_EQ(state.Mode, kFromSample);
    for (const char* name : r.clicks) QTest::mouseClick(dialog.findChild<QRadioButton*>(QLatin1String(name)), Qt::LeftButton);
    if (r.typed) {
      press->clear();
      QTest::keyClicks(press, QLatin1String(r.typed));
    }
    EXPECT_EQ(press->isEnabled(), r.pressEnabled);
    if (r.ok) QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    else dialog.close();
    EXPECT_EQ(std::pair(state.Mode, state.UserPressure), std::pair(r.mode, r.pressure));
  }
}

}  // namespace
}  // namespace derived
