#pragma once
// The capture file "cap/init.txt": a header rewritten after every fill of the log and
// one line per "p" key press with the cursor sample's read-outs and raw values.
// Lines end in CR LF; fields are separated by commas; texts are written in Latin-1.
#include "common/channelconfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace logdata {
class SampleStore;
}

namespace logexport {

// The ten header lines shared with the CSV export; the two differ in the first line
// and in the order of the last three.
enum class HeaderKind { Csv, Capture };
QStringList HeaderLines(HeaderKind kind, const QString& logFileName, quint8 freqCode,
                        const common::ChannelConfiguration& config);
// The same lines as the file holds them: Latin-1, each ended by CR LF.
QByteArray HeaderBytes(HeaderKind kind, const QString& logFileName, quint8 freqCode,
                       const common::ChannelConfiguration& config);

// Replaces the file with header lines 1 to 10 of the capture column. Creates the
// folder if needed; the old file survives a failed write. On failure *error says why.
bool WriteCaptureHeader(const QString& path, const QString& logFileName, quint8 freqCode,
                        const common::ChannelConfiguration& config, QString* error);

// The capture line of sample k (without CR LF).
QString CaptureLine(qint32 cursorSample, const std::array<QString, common::kChannelCount>& shown,
                    const std::array<qint16, common::kChannelCount>& raw);

// Appends the capture line, creating the folder and the file if missing.
bool AppendCapture(const QString& path, qint32 cursorSample, const std::array<QString, common::kChannelCount>& shown,
                   const std::array<qint16, common::kChannelCount>& raw, QString* error);

// A capture line stands for a reading: sample k must be one of the log's samples, not
// the spare zero column behind them.
bool CaptureSampleInLog(const logdata::SampleStore& store, qint32 k);

// The twelve raw values of column k of the store.
std::array<qint16, common::kChannelCount> RawColumn(const logdata::SampleStore& store, qint32 k);

}  // namespace logexport
