#pragma once
// The settings file "cfg/init.prm" shared by both programs, and the small port map
// file beside it that gives each port number a device path on this system.
#include <QString>
#include <array>
#include <cstdint>

namespace common {

// Default trace and label colours, 0x00BBGGRR, channel 1 first.
extern const std::array<qint32, 12> kDefaultColours;

struct Settings {
  qint16 MaskLowByte = 0x3F;   // channels 1 to 8 to log
  qint16 MaskHighByte = 0;     // channels 9 to 12 to log
  quint8 LogFreqCode = 5;      // 10 samples per second
  quint8 PortNumber = 0;       // 0 = no port, 1 to 4
  quint8 DownloadDelay = 1;
  std::array<qint32, 12> Colours = kDefaultColours;
  bool operator==(const Settings&) const = default;
};

// Records 1 to 17. A file shorter than all records (the meter's 385-byte file) gives
// the defaults for the records it lacks. On failure `out` is left untouched.
bool ReadSettings(const QString& path, Settings& out, QString* error);
// logger: records 1 to 17, without truncating the file.
bool WriteSettings(const QString& path, const Settings& settings, QString* error);
// meter: records 1 to 4 only; records 5 to 17 of an existing file stay as they were.
bool WriteMeterSettings(const QString& path, const Settings& settings, QString* error);

// Port numbers 1 to 4 name device paths; kept in "cfg/ports.txt" as lines "N=PATH".
struct PortMap {
  std::array<QString, 5> path;  // index = port number; [0] unused
  PortMap();                    // defaults
};
QString PortMapPathBeside(const QString& settingsPath);
// A missing file gives the defaults; unknown lines are ignored.
PortMap ReadPortMap(const QString& path);
bool WritePortMap(const QString& path, const PortMap& map, QString* error);

}  // namespace common
