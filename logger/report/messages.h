#pragma once
// The report's own texts, each written once.
#include <QString>

namespace report::msg {

inline const QString kTitle = QStringLiteral("Flight report");
inline const QString kLog = QStringLiteral("Log");
inline const QString kSerial = QStringLiteral("Serial");
inline const QString kSamples = QStringLiteral("Samples");
inline const QString kRate = QStringLiteral("Rate");
inline const QString kRange = QStringLiteral("Range");
inline const QString kDuration = QStringLiteral("Duration");
inline const QString kConfiguration = QStringLiteral("Configuration");
inline const QString kModified = QStringLiteral("Modified");
inline const QString kChannels = QStringLiteral("Channels");
inline const QString kStatistics = QStringLiteral("Statistics");
inline const QString kFlightSummary = QStringLiteral("Flight summary");
inline const QString kMaxSpeed = QStringLiteral("Maximum IAS");
inline const QString kMaxAltitude = QStringLiteral("Maximum altitude");
inline const QString kMaxClimb = QStringLiteral("Maximum climb");
inline const QString kMaxSink = QStringLiteral("Maximum sink");
inline const QString kTimeAxis = QStringLiteral("Time (s)");
// The statistics table's column heads.
inline const QString kColumnChannel = QStringLiteral("CH");
inline const QString kColumnName = QStringLiteral("Name");
inline const QString kColumnUnit = QStringLiteral("Unit");
inline const QString kColumnMin = QStringLiteral("Minimum");
inline const QString kColumnMax = QStringLiteral("Maximum");
inline const QString kColumnMean = QStringLiteral("Mean");
inline const QString kRateUnit = QStringLiteral("samples/s");
inline const QString kMetresPerSecond = QStringLiteral("m/s");
inline const QString kFeetPerMinute = QStringLiteral("ft/min");

// "12.5 m/s at sample 300 (30.00 s)"
inline QString AtSample(const QString& value, qint32 sample, const QString& seconds) {
  return value + QStringLiteral(" at sample ") + QString::number(sample) + QStringLiteral(" (") + seconds +
         QStringLiteral(" s)");
}

}  // namespace report::msg
