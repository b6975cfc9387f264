#pragma once
// Derived speed and altitude as the views show them: the table the derivation fills,
// the display units, and the one question every view asks, "what does channel c show
// at sample j". Plain C++ and header only, so that any view can read it without
// linking the derivation.
//
// Channel 5 (static pressure) shows the altitude, channel 6 (total pressure) the
// indicated airspeed, while "Speed / Alt" is ticked. The table stores metres and
// metres per second; every number a user reads is in the display unit chosen by the
// unit setting (0: m/s and m, 1: km/h and m, 2: mph and feet, 3: kt and feet).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace derived {

constexpr int kAltitudeChannel = 5;
constexpr int kSpeedChannel = 6;

// Name texts: the main window's channel labels read "Alt" and "IAS"; the scope and the
// movie label the same quantities "ALT" and "IAS".
inline constexpr char kAltitudeLabel[] = "Alt";
inline constexpr char kAltitudeCaption[] = "ALT";
inline constexpr char kSpeedLabel[] = "IAS";

// ---- The unit setting, 0 .. kUnitSettings - 1. Any other value counts as 0.

constexpr int kUnitSettings = 4;
constexpr int kKnots = 3;

inline bool InFeet(int unit) { return unit == 2 || unit == kKnots; }
inline const char* SpeedUnitText(int unit) {
  if (unit == 1) return "km/h";
  if (unit == 2) return "mph";
  if (unit == kKnots) return "kt";
  return "m/s";
}
inline const char* AltitudeUnitText(int unit) { return InFeet(unit) ? "feet" : "m"; }
// The unit text of channel 5 or 6; nullptr for any other channel.
inline const char* UnitText(int channel, int unit) {
  if (channel == kAltitudeChannel) return AltitudeUnitText(unit);
  if (channel == kSpeedChannel) return SpeedUnitText(unit);
  return nullptr;
}
// A click on the speed unit label: 0 -> 1 -> 2 -> 3 -> 0.
inline int NextUnit(int unit) { return (unit >= 0 && unit < kUnitSettings - 1) ? unit + 1 : 0; }

// Stored metres per second and metres in the display unit. The operations are the
// ones the read-outs have always used (x 3.6, then / 1.609344; / 0.3048), in that order;
// knots go through km/h the same way (1 kt = 1.852 km/h).
inline double SpeedInUnit(double metresPerSecond, int unit) {
  if (unit == 1) return metresPerSecond * 3.6;
  if (unit == 2) return metresPerSecond * 3.6 / 1.609344;
  if (unit == kKnots) return metresPerSecond * 3.6 / 1.852;
  return metresPerSecond;
}
inline double AltitudeInUnit(double metres, int unit) { return InFeet(unit) ? metres / 0.3048 : metres; }
// A stored value of channel 5 or 6 in the display unit; other channels pass unchanged.
// The conversion is a plain scale, so a view that draws many samples may take
// InDisplayUnit(channel, 1.0, unit) once as its factor.
inline double InDisplayUnit(int channel, double stored, int unit) {
  if (channel == kAltitudeChannel) return AltitudeInUnit(stored, unit);
  if (channel == kSpeedChannel) return SpeedInUnit(stored, unit);
  return stored;
}

// ---- The table.

// Four rows of 32-bit floats by columns 0 .. SampleCount: row 0 the airspeed (m/s),
// row 1 the altitude (m) of samples 0 .. SampleCount - 1. Rows 2 and 3 and the spare
// last column are 0; rows 2 and 3 are never written, so they take no memory. Rows 0
// and 1 are contiguous.
class DerivedTable {
 public:
  static constexpr int kRows = 4;
  static constexpr int kSpeedRow = 0;
  static constexpr int kAltitudeRow = 1;

  // Columns 0..sampleCount, all zero. A negative count empties the table.
  void reset(std::int32_t sampleCount) {
    resizeForOverwrite(sampleCount);
    values_.assign(values_.size(), 0.0f);
  }
  // For a filler that writes every column of rows 0 and 1 itself, the spare one
  // included: sized like reset() without clearing first. The memory of the last
  // table is reused.
  void resizeForOverwrite(std::int32_t sampleCount) {
    columns_ = sampleCount >= 0 ? sampleCount + 1 : 0;
    values_.resize(std::size_t(kStoredRows) * std::size_t(columns_));
  }
  void clear() {
    columns_ = 0;
    values_.clear();
    values_.shrink_to_fit();
  }
  bool empty() const { return columns_ == 0; }
  std::int32_t columns() const { return columns_; }

  // 0 for a row or column outside the table, so that no view reads past it.
  float at(int row, std::int32_t column) const {
    if (row < 0 || row >= kStoredRows || column < 0 || column >= columns_) return 0.0f;
    return values_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)];
  }
  // columns() values of row kSpeedRow or kAltitudeRow.
  const float* row(int r) const { return values_.data() + std::size_t(r) * std::size_t(columns_); }
  float* row(int r) { return values_.data() + std::size_t(r) * std::size_t(columns_); }

 private:
  static constexpr int kStoredRows = 2;
  std::int32_t columns_ = 0;
  std::vector<float> values_;
};

// The table row channel 5 or 6 draws from; -1 for every other channel.
inline int RowOf(int channel) {
  if (channel == kAltitudeChannel) return DerivedTable::kAltitudeRow;
  if (channel == kSpeedChannel) return DerivedTable::kSpeedRow;
  return -1;
}

// ---- What a channel shows.

// The three things a view needs to know: the table, whether "Speed / Alt" is ticked,
// and the unit setting. The main window owns them; a view takes this by value when it
// paints or reads out.
struct DerivedDisplay {
  const DerivedTable* table = nullptr;
  bool speedAlt = false;
  int unit = 0;
};

// True when channel c (1..12) shows a derived value instead of its own.
inline bool ShowsDerived(const DerivedDisplay& d, int channel) {
  return d.speedAlt && d.table && RowOf(channel) >= 0;
}

// The value channel c shows at sample j, in the display unit, when it shows a derived
// value; nullopt when it does not (another channel, the box unticked, no table), and
// the view then shows its own raw or engineering value. A sample outside the table
// reads 0, like the table's spare column.
inline std::optional<double> ShownDerived(const DerivedDisplay& d, int channel, std::int32_t sample) {
  if (!ShowsDerived(d, channel)) return std::nullopt;
  return InDisplayUnit(channel, double(d.table->at(RowOf(channel), sample)), d.unit);
}

}  // namespace derived
