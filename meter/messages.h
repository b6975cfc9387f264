#pragma once
// The meter's own texts, each written once; the texts it shares with the logger are
// in common/messages.h.
#include <QString>

namespace meter::msg {

// Title after the first live frame: the logger's configuration file name.
inline QString DeviceTitle(qint32 serialNumber) {
  return QStringLiteral("Meter - ") + QString::number(serialNumber) + QStringLiteral(".cfg");
}

inline const QString kNonNumericMeasuredMin = QStringLiteral("Non numeric input for measured MIN value!");
inline const QString kNonNumericMeasuredMax = QStringLiteral("Non numeric input for measured MAX value!");
inline const QString kNonNumericRealMin = QStringLiteral("Non numeric input for real MIN value!");
inline const QString kNonNumericRealMax = QStringLiteral("Non numeric input for real MAX value!");
// Two equal reference points give no slope; the calculator says so instead of
// dividing by zero.
inline const QString kEqualMeasured =
    QStringLiteral("Measured MIN and MAX are equal: no range can be calculated from them!");
inline const QString kEqualReal = QStringLiteral("Real MIN and MAX are equal: no range can be calculated from them!");
// "&Store to CH" with a Config box that holds no number stores nothing.
inline const QString kNonNumericConfigMin = QStringLiteral("Non numeric input for config MIN value!");
inline const QString kNonNumericConfigMax = QStringLiteral("Non numeric input for config MAX value!");
// Asked when a read brings the logger's configuration while ranges stored with
// "&Store to CH" are in no file; "No" keeps them in use.
inline const QString kDiscardStoredRanges =
    QStringLiteral("Ranges stored with \"Store to CH\" have not been saved. Load the logger's configuration "
                   "and discard them?");

// Recording live frames to a CSV file.
inline const QString kMenuRecord = QStringLiteral("Re&cord\u2026");
inline const QString kMenuStopRecording = QStringLiteral("Stop recording");
inline const QString kChartCheck = QStringLiteral("Chart");
inline QString RecordingRuns(const QString& fileName, int frames) {
  return QStringLiteral("Recording %1: %2 frames").arg(fileName).arg(frames);
}
inline QString RecordingEnded(const QString& fileName, int frames) {
  return QStringLiteral("Recorded %1: %2 frames").arg(fileName).arg(frames);
}
// A recording file that cannot be written (a full disk, a pulled stick): what is in it
// stays, nothing more is added, and the live display goes on.
inline QString RecordingNotWritten(const QString& path, const QString& reason) {
  return QStringLiteral("'%1' could not be written (%2). The recording has stopped.").arg(path, reason);
}

}  // namespace meter::msg
