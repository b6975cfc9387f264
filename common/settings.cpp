#include "common/settings.h"

#include "common/recordfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace common {

const std::array<qint32, 12> kDefaultColours = {0x0000FF, 0xFF0000, 0x10AF10, 0x000000, 0xC0FFFF, 0xFFFFD0,
                                                0xFF00FF, 0x0060DF, 0xD08080, 0x0190FF, 0x80A080, 0x888888};

namespace {

constexpr int kRecords = 17;
constexpr int kMeterRecords = 4;

QByteArray recordBytes(const Settings& s, int recordNo) {
  switch (recordNo) {
    case 1: return record::littleEndian<qint16>(s.MaskLowByte);
    case 2: return record::littleEndian<qint16>(s.MaskHighByte);
    case 3: return QByteArray(1, char(s.LogFreqCode));
    case 4: return QByteArray(1, char(s.PortNumber));
    case 5: return QByteArray(1, char(s.DownloadDelay));
    default: return record::littleEndian<qint32>(s.Colours[recordNo - 6]);
  }
}

int valueSize(int recordNo) {
  if (recordNo <= 2) return 2;
  if (recordNo <= 5) return 1;
  return 4;
}

bool writeRecords(const QString& path, const Settings& s, int lastRecord, QString* error) {
  QByteArray out;
  for (int r = 1; r <= lastRecord; ++r) {
    QByteArray value = recordBytes(s, r);
    // The last record ends with its value: a complete file is 16 * 128 + 4 bytes.
    out += (r == lastRecord) ? value : record::padded(value);
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite) || f.write(out) != out.size() || !f.flush()) {
    if (error) *error = QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString());
    return false;
  }
  return true;
}

}  // namespace

bool ReadSettings(const QString& path, Settings& out, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("Cannot open '%1': %2").arg(path, f.errorString());
    return false;
  }
  const QByteArray file = f.read(record::offsetOf(kRecords) + 4);
  Settings s;  // records the file does not reach keep these defaults
  for (int r = 1; r <= kRecords; ++r) {
    const qint64 at = record::offsetOf(r);
    if (at + valueSize(r) > file.size()) break;
    switch (r) {
      case 1: s.MaskLowByte = record::readLittleEndian<qint16>(file, at); break;
      case 2: s.MaskHighByte = record::readLittleEndian<qint16>(file, at); break;
      case 3: s.LogFreqCode = quint8(file.at(at)); break;
      case 4: s.PortNumber = quint8(file.at(at)); break;
      case 5: s.DownloadDelay = quint8(file.at(at)); break;
      default: s.Colours[r - 6] = record::readLittleEndian<qint32>(file, at); break;
    }
  }
  // Values no program writes mean the file is not a settings file.
  if (s.MaskLowByte < 0 || s.MaskLowByte > 255 || s.MaskHighByte < 0 || s.MaskHighByte > 15 ||
      s.PortNumber > 4) {
    if (error) *error = QStringLiteral("'%1' is damaged.").arg(path);
    return false;
  }
  for (qint32& c : s.Colours) {
    if (c < 0 || c > 0xFFFFFF) {
      if (error) *error = QStringLiteral("'%1' is damaged.").arg(path);
      return false;
    }
  }
  if (s.DownloadDelay == 0) s.DownloadDelay = Settings{}.DownloadDelay;
  out = s;
  return true;
}

bool WriteSettings(const QString& path, const Settings& settings, QString* error) {
  return writeRecords(path, settings, kRecords, error);
}

bool WriteMeterSettings(const QString& path, const Settings& settings, QString* error) {
  return writeRecords(path, settings, kMeterRecords, error);
}

PortMap::PortMap() {
  // USB adapters first: that is how loggers meet today's PCs; then the first two
  // built-in serial ports.
  path = {QString(), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB1"), QStringLiteral("/dev/ttyS0"),
          QStringLiteral("/dev/ttyS1")};
}

QString PortMapPathBeside(const QString& settingsPath) {
  return QFileInfo(settingsPath).absolutePath() + QStringLiteral("/ports.txt");
}

PortMap ReadPortMap(const QString& path) {
  PortMap map;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return map;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    const int eq = int(line.indexOf(QLatin1Char('=')));
    if (eq <= 0) continue;
    bool ok = false;
    const int n = line.left(eq).trimmed().toInt(&ok);
    const QString device = line.mid(eq + 1).trimmed();
    if (ok && n >= 1 && n <= 4 && !device.isEmpty()) map.path[n] = device;
  }
  return map;
}

bool WritePortMap(const QString& path, const PortMap& map, QString* error) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
    if (error) *error = QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString());
    return false;
  }
  QTextStream out(&f);
  for (int n = 1; n <= 4; ++n) out << n << '=' << map.path[n] << '\n';
  out.flush();
  if (!f.commit()) {
    if (error) *error = QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString());
    return false;
  }
  return true;
}

}  // namespace common
