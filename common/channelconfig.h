#pragma once
// The channel model and its fixed-record .cfg file.
#include <QString>
#include <array>
#include <cstdint>

namespace common {

constexpr int kChannelCount = 12;
// A name or unit must fit into one 128-byte record after its 4-byte tag and length.
constexpr int kMaxTextLength = 124;
constexpr int kRecordSize = 128;
constexpr int kConfigRecordCount = 71;
// 70 whole records and the 4-byte ConfigNumber of record 71.
constexpr qint64 kMinConfigFileSize = 70 * kRecordSize + 4;

// 4095 for the 12-bit channels 1 to 10, 255 for the 8-bit channels 11 and 12.
int FullScale(int channel);
// Per-channel vertical step 1 / FullScale, index channel - 1.
std::array<double, kChannelCount> StepTable();

struct ChannelSettings {
  QString Name;
  double Min = 0;
  double Max = 0;
  QString Unit;
  double WinHight = 0;
  bool operator==(const ChannelSettings&) const = default;
};

struct ChannelConfiguration {
  std::array<ChannelSettings, kChannelCount> channel{};  // index channel - 1
  qint32 ConfigNumber = 0;
  bool operator==(const ChannelConfiguration&) const = default;
};

// Engineering value of raw value r on channel 1..12: Min + (Max - Min) * r / FullScale.
double ScaleRaw(const ChannelConfiguration& config, int channel, double raw);

// "1234.cfg" for serial number 1234, "-1.cfg" for -1.
QString ConfigFileFor(qint32 serialNumber);
// The one lookup of a configuration file by name, for N.cfg and config.cfg alike: the
// path of the file in `dir` whose name equals `name` without regard to letter case
// (1234.CFG, Config.cfg), found by listing the folder; empty when there is none.
QString FindConfigFile(const QString& dir, const QString& name);

// The nine temperature-compensation constants, each as high and low 16-bit parts, in
// the order the editor shows them and the logger receives them. Not stored in .cfg.
constexpr int kCompensationCount = 18;
extern const std::array<const char*, kCompensationCount> kCompensationNames;  // "TMPREFH", ...
using CompensationConstants = std::array<qint16, kCompensationCount>;

// Writes the 71 records into the file without truncating it (a longer old file keeps
// its tail). Names and units longer than kMaxTextLength are refused, nothing written.
bool WriteConfigFile(const QString& path, const ChannelConfiguration& config, QString* error);

// Reads a whole configuration. On any failure (missing, short, a numeric record that
// holds no number) `out` is left untouched and *error says why.
bool ReadConfigFile(const QString& path, ChannelConfiguration& out, QString* error);

}  // namespace common
