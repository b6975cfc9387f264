#pragma once
// A log of 2001 samples for the scope's logic: channel c reads raw (j * c) mod full
// scale; channel 1 in its own units, channel 2 from -100, channel 3 inverted; every
// channel shown; derived speed 10 m/s + j/100 and altitude 1000 m + j.
#include "common/channelconfig.h"
#include "logger/logdata/samplestore.h"
#include "logger/scope/scopeview.h"
#include "support/fake_prompt.h"

#include <gtest/gtest.h>
#include <vector>

namespace scopetest {

constexpr qint32 kCount = 2000;
constexpr double kTpp = 15;
// 1000 x 300 pixels in twips.
const trend::PictureScale kPic{0, 0, 1000 * kTpp, 300 * kTpp};

inline qint16 Raw(int channel, qint32 j) { return qint16((j * channel) % (common::FullScale(channel) + 1)); }

class ScopeLog : public ::testing::Test {
 protected:
  ScopeLog() {
    store.reset(kCount);
    store.SampleCount = kCount;
    store.FreqCode = 1;
    src.opened(QStringLiteral("scope.dlg"));
    for (qint32 j = 0; j < kCount; ++j)
      for (int c = 1; c <= 12; ++c) store.at(c - 1, j) = Raw(c, j);
    for (int c = 1; c <= 12; ++c)
      config.channel[std::size_t(c - 1)] = {QStringLiteral("N%1").arg(c), 0, double(common::FullScale(c)),
                                            QStringLiteral("U%1").arg(c)};
    config.channel[1].Min = -100, config.channel[1].Max = 3995;
    config.channel[2].Min = 4095, config.channel[2].Max = 0;
    view.YScale = common::StepTable();
    view.Shown.fill(true);
    view.Colours = {0x0000FF, 0xFF0000, 0x10AF10, 0, 0xC0FFFF, 0xFFFFD0, 0xFF00FF, 0x0060DF, 0xD08080, 0x0190FF,
                    0x80A080, 0x888888};
    setWindow(0, 100);
    derivedTable.reset(kCount);
    for (qint32 j = 0; j < kCount; ++j) {
      derivedTable.row(derived::DerivedTable::kSpeedRow)[j] = float(10 + j / 100.0);
      derivedTable.row(derived::DerivedTable::kAltitudeRow)[j] = float(1000 + j);
    }
  }

  void setWindow(qint32 start, qint32 end) { view.WindowStart = start, view.WindowEnd = end, view.WindowLength = end - start; }
  void speedAlt(int unit) { view.SpeedAlt = true, view.SpeedUnit = unit; }

  session::LogSession src;
  logdata::SampleStore& store = src.store();
  common::ChannelConfiguration& config = src.config();
  trend::ViewState& view = src.view();
  derived::DerivedTable& derivedTable = src.derivedTable();
  testing_support::FakePrompt prompt;
};

}  // namespace scopetest
