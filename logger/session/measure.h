#pragma once
// What the measurement panel shows for the markers A and B: where they are, how far
// apart, and for each channel the window shows its values at A and B, the difference
// and the statistics between them, in the units the window shows (zero locks and
// "Speed / Alt" included).
#include "logger/session/logsession.h"

#include <QString>
#include <array>
#include <vector>

namespace session {

struct MeasureRow {
  int channel = 0;
  QString name;
  QString unit;
  // At A, at B, B - A, minimum, maximum, mean, RMS.
  std::array<QString, 7> values;
};

struct Measurement {
  QString a;        // "sample (seconds s)", empty while A is not set
  QString b;
  QString samples;  // B - A in samples and in seconds; empty unless both are set
  QString seconds;
  std::vector<MeasureRow> rows;  // channels shown, both markers set
};

Measurement Measure(const LogSession& session);

}  // namespace session
