#pragma once
// The calibration calculator as plain functions: two measured raw values and the two
// real values they stand for give a channel's Min and Max. The panel shows the texts
// these return and reads its own boxes back between the steps.
#include "common/channelconfig.h"

#include <QString>

namespace meter {

struct CalibrationInput {
  QString measMin, measMax, realMin, realMax;  // the texts of the four boxes
};

struct Slope {
  QString error;  // the message to show; empty when the slope is usable
  double k = 0;   // raw counts per engineering unit
  double measMin = 0;
  double realMin = 0;
};

// The four boxes checked in order (measured MIN, measured MAX, real MIN, real MAX),
// then k = (mMax - mMin) / (rMax - rMin). Equal measured or equal real values are
// refused rather than divided by.
Slope CalibrationSlope(const CalibrationInput& input);

// ConfigMin = rMin - mMin / k, as the box shows it.
QString ConfigMinText(const Slope& slope);
// ConfigMax = full scale / k + the ConfigMin the box shows (the rounded value, not the
// exact one). The full scale is that of the channel the range is meant for (255 on the
// 8-bit channels 11 and 12): the live display divides by it, so any other would put the
// reference points elsewhere.
QString ConfigMaxText(const Slope& slope, const QString& shownConfigMin, int channel);

// "&Store to CH": channel 1..12 gets Min and Max from the Config boxes; nothing else
// changes. Returns the message to show when a box holds no number (nothing stored).
QString StoreRange(common::ChannelConfiguration& config, int channel, const QString& configMin,
                   const QString& configMax);

}  // namespace meter
