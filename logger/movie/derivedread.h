#pragma once
// The derived speed and altitude at one sample, in the unit the user chose. The one
// place the movie reads the derived table.
#include "logger/trend/cursor.h"

#include <QString>
#include <optional>

namespace movie {

struct DerivedReading {
  double speed = 0;     // in speedUnit
  double altitude = 0;  // in altitudeUnit
  QString speedUnit;
  QString altitudeUnit;
};

// Unit choice 0: m/s and m; 1: km/h and m; 2: mph and feet. None when the table does
// not reach sample k.
std::optional<DerivedReading> ReadDerived(const trend::DerivedColumns* derived, int unitChoice, qint32 k);

}  // namespace movie
