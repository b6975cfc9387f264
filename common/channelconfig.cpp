#include "common/channelconfig.h"

#include "common/numtext.h"
#include "common/recordfile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtEndian>
#include <cmath>

namespace common {

const std::array<const char*, kCompensationCount> kCompensationNames = {
    "TMPREFH", "TMPREFL", "TMPREFBH", "TMPREFBL", "TMPK2H", "TMPK2L", "TMPK3H", "TMPK3L", "TMPK4H",
    "TMPK4L",  "TMPK5H",  "TMPK5L",   "TMPK6H",   "TMPK6L", "TMPK5BH", "TMPK5BL", "TMPK6BH", "TMPK6BL"};

int FullScale(int channel) { return channel >= 11 ? 255 : 4095; }

std::array<double, kChannelCount> StepTable() {
  std::array<double, kChannelCount> t{};
  for (int c = 1; c <= kChannelCount; ++c) t[c - 1] = 1.0 / FullScale(c);
  return t;
}

double ScaleRaw(const ChannelConfiguration& config, int channel, double raw) {
  const ChannelSettings& s = config.channel[channel - 1];
  return s.Min + (s.Max - s.Min) * raw / FullScale(channel);
}

QString ConfigFileFor(qint32 serialNumber) { return QString::number(serialNumber) + QStringLiteral(".cfg"); }

QString FindConfigFile(const QString& cfgDir, qint32 serialNumber) {
  const QDir dir(cfgDir);
  const QString wanted = ConfigFileFor(serialNumber);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(name);
  return {};
}

namespace {

// Type tags of the typed records the original program wrote with its Put statement.
enum Tag : quint16 {
  kEmpty = 0,
  kNull = 1,
  kInt16 = 2,
  kInt32 = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7,
  kText = 8,
  kBool = 11,
  kByte = 17,
};

bool fitsRecord(const QString& text) {
  if (text.size() > kMaxTextLength) return false;
  for (QChar c : text)
    if (c.unicode() > 0xFF) return false;  // the files hold one byte per character
  return true;
}

QByteArray textRecord(const QString& text) {
  QByteArray latin = text.toLatin1();
  return record::littleEndian<quint16>(kText) + record::littleEndian<quint16>(quint16(latin.size())) + latin;
}

QByteArray doubleRecord(double v) { return record::littleEndian<quint16>(kDouble) + record::littleEndian<double>(v); }

// One typed value read from the start of a record: either a number or a text.
struct Value {
  bool isNumber = false;
  double number = 0;
  QString text;
};

bool readValue(const QByteArray& file, int recordNo, Value& out, QString* error) {
  const qint64 at = record::offsetOf(recordNo);
  auto need = [&](qint64 bytes) {
    if (at + bytes > file.size()) {
      if (error) *error = QStringLiteral("record %1 is cut short").arg(recordNo);
      return false;
    }
    return true;
  };
  if (!need(2)) return false;
  const quint16 tag = record::readLittleEndian<quint16>(file, at);
  const qint64 v = at + 2;
  switch (tag) {
    case kEmpty:
    case kNull:
      out = Value{};
      return true;
    case kInt16:
      if (!need(4)) return false;
      out = {true, double(record::readLittleEndian<qint16>(file, v)), {}};
      return true;
    case kBool:
      if (!need(4)) return false;
      out = {true, record::readLittleEndian<qint16>(file, v) ? -1.0 : 0.0, {}};
      return true;
    case kInt32:
      if (!need(6)) return false;
      out = {true, double(record::readLittleEndian<qint32>(file, v)), {}};
      return true;
    case kSingle:
      if (!need(6)) return false;
      out = {true, double(record::readLittleEndian<float>(file, v)), {}};
      return true;
    case kDouble:
    case kDate:
      if (!need(10)) return false;
      out = {true, record::readLittleEndian<double>(file, v), {}};
      return true;
    case kCurrency:
      if (!need(10)) return false;
      out = {true, double(record::readLittleEndian<qint64>(file, v)) / 10000.0, {}};
      return true;
    case kByte:
      if (!need(3)) return false;
      out = {true, double(quint8(file.at(v))), {}};
      return true;
    case kText: {
      if (!need(4)) return false;
      const quint16 n = record::readLittleEndian<quint16>(file, v);
      if (n > kMaxTextLength) {
        if (error) *error = QStringLiteral("record %1 holds a text longer than a record").arg(recordNo);
        return false;
      }
      if (!need(4 + n)) return false;
      out = {false, 0, QString::fromLatin1(file.constData() + v + 2, n)};
      return true;
    }
    default:
      if (error) *error = QStringLiteral("record %1 has the unknown type %2").arg(recordNo).arg(tag);
      return false;
  }
}

bool readNumber(const QByteArray& file, int recordNo, double& out, QString* error) {
  Value value;
  if (!readValue(file, recordNo, value, error)) return false;
  // The value passes through the locale's text form, which keeps 15 significant digits.
  const QString text = value.isNumber ? LocaleDoubleText(value.number) : value.text;
  bool ok = false;
  QString t = text;
  if (!value.isNumber) t.replace(QLatin1Char('.'), LocaleDecimalSeparator());
  out = QLocale().toDouble(t.trimmed(), &ok);
  if (!ok || !std::isfinite(out)) {
    if (error) *error = QStringLiteral("record %1 holds no number").arg(recordNo);
    return false;
  }
  return true;
}

bool readText(const QByteArray& file, int recordNo, QString& out, QString* error) {
  Value value;
  if (!readValue(file, recordNo, value, error)) return false;
  out = value.isNumber ? LocaleDoubleText(value.number) : value.text;
  return true;
}

}  // namespace

bool WriteConfigFile(const QString& path, const ChannelConfiguration& config, QString* error) {
  for (int c = 1; c <= kChannelCount; ++c) {
    const ChannelSettings& s = config.channel[c - 1];
    if (!fitsRecord(s.Name) || !fitsRecord(s.Unit)) {
      if (error)
        *error = QStringLiteral("The name or unit of CH%1 is longer than %2 characters or holds characters "
                                "the file cannot store.")
                     .arg(c)
                     .arg(kMaxTextLength);
      return false;
    }
  }
  QByteArray out;
  out.reserve(int(kMinConfigFileSize));
  for (const ChannelSettings& s : config.channel) {
    out += record::padded(textRecord(s.Name));
    out += record::padded(doubleRecord(s.Min));
    out += record::padded(doubleRecord(s.Max));
    out += record::padded(textRecord(s.Unit));
    out += record::padded(doubleRecord(s.WinHight));
  }
  for (int r = 0; r < 10; ++r) out += record::padded(record::littleEndian<quint16>(kEmpty));
  out += record::littleEndian<qint32>(config.ConfigNumber);

  QFile f(path);
  // No truncation: a longer old file keeps its tail, which readers never look at.
  if (!f.open(QIODevice::ReadWrite) || f.write(out) != out.size() || !f.flush()) {
    if (error) *error = QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString());
    return false;
  }
  return true;
}

bool ReadConfigFile(const QString& path, ChannelConfiguration& out, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("Cannot open '%1': %2").arg(path, f.errorString());
    return false;
  }
  const QByteArray file = f.read(kMinConfigFileSize);
  if (file.size() < kMinConfigFileSize) {
    if (error)
      *error = QStringLiteral("'%1' is not a complete configuration file (%2 bytes).").arg(path).arg(file.size());
    return false;
  }
  ChannelConfiguration read;
  QString why;
  for (int c = 0; c < kChannelCount; ++c) {
    ChannelSettings& s = read.channel[c];
    const int first = 5 * c + 1;
    if (!readText(file, first, s.Name, &why) || !readNumber(file, first + 1, s.Min, &why) ||
        !readNumber(file, first + 2, s.Max, &why) || !readText(file, first + 3, s.Unit, &why) ||
        !readNumber(file, first + 4, s.WinHight, &why)) {
      if (error) *error = QStringLiteral("'%1' is damaged: %2.").arg(path, why);
      return false;
    }
  }
  read.ConfigNumber = record::readLittleEndian<qint32>(file, record::offsetOf(kConfigRecordCount));
  out = read;
  return true;
}

}  // namespace common
