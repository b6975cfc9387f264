// init.prm and the port map beside it. The input is the settings file; its bytes after
// the 17 records (which the reader ignores) are the port map's text. A refused file
// leaves the settings as they were; one read holds values a program can write, and
// both files written back read the same, the meter's shorter write included.
#include "common/settings.h"
#include "fuzz_support.h"

namespace {
constexpr int kSettingsSize = 16 * 128 + 4;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input = fuzz::Input(data, size);
  const QString prm = fuzz::ScratchFile(QStringLiteral("init.prm"), input);
  common::Settings before;
  before.PortNumber = 3;
  before.DownloadDelay = 9;
  before.Colours[4] = 0x123456;
  common::Settings s = before;
  QString error;
  if (!common::ReadSettings(prm, s, &error)) {
    FUZZ_CHECK(s == before);
    FUZZ_CHECK(!error.isEmpty());
  } else {
    FUZZ_CHECK(s.MaskLowByte >= 0 && s.MaskLowByte <= 255 && s.MaskHighByte >= 0 && s.MaskHighByte <= 15);
    FUZZ_CHECK(s.PortNumber <= 4 && s.DownloadDelay >= 1);
    for (qint32 c : s.Colours) FUZZ_CHECK(c >= 0 && c <= 0xFFFFFF);
    const QString out = fuzz::ScratchPath(QStringLiteral("out.prm"));
    QFile::remove(out);
    FUZZ_CHECK(common::WriteSettings(out, s, &error));
    common::Settings again;
    FUZZ_CHECK(common::ReadSettings(out, again, &error) && again == s);
    // The meter writes records 1 to 4 only: the logger's delay and colours stay.
    common::Settings meter = s;
    meter.PortNumber = quint8((s.PortNumber + 1) % 5);
    meter.MaskLowByte = qint16(255 - s.MaskLowByte);
    meter.DownloadDelay = quint8(s.DownloadDelay % 255 + 1);
    FUZZ_CHECK(common::WriteMeterSettings(out, meter, &error));
    FUZZ_CHECK(common::ReadSettings(out, again, &error));
    meter.DownloadDelay = s.DownloadDelay;
    FUZZ_CHECK(again == meter);
  }

  const QString ports = fuzz::ScratchFile(QStringLiteral("ports.txt"), input.mid(kSettingsSize));
  const common::PortMap map = common::ReadPortMap(ports);
  for (int n = 1; n <= 4; ++n) {
    FUZZ_CHECK(!map.path[std::size_t(n)].isEmpty());
    FUZZ_CHECK(map.path[std::size_t(n)] == map.path[std::size_t(n)].trimmed());
  }
  const QString out = fuzz::ScratchPath(QStringLiteral("ports-out.txt"));
  FUZZ_CHECK(common::WritePortMap(out, map, &error));
  FUZZ_CHECK(common::ReadPortMap(out).path == map.path);
  return 0;
}
