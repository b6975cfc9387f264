#pragma once
// The decoded log (.dlg) and the raw memory image (.dlt) on disk.
//
// .dlg: SampleCount (int32), ChannelMask (uint16), FreqCode (uint8), ConfigNumber
// (int32), then per sample rows 0..11 as int16; all little-endian, 11 + 24 * count bytes.
// .dlt: image bytes 0..ImageLastIndex, nothing else.
//
// Writers go through a temporary file in the target's folder that is renamed over the
// target, so a failed write leaves the old file as it was. Readers read and check the
// whole file before they touch the caller's store: on failure it is unchanged and
// *error says why.
#include "logger/logdata/download.h"
#include "logger/logdata/samplestore.h"
#include "logger/logdata/unpack.h"

#include <QString>
#include <optional>

namespace logdata {

constexpr qint64 kDlgHeaderSize = 11;
constexpr qint64 kDlgBytesPerSample = 2 * kStoredRows;

bool WriteDecodedLog(const QString& path, const SampleStore& store, QString* error);

// A .dlg of `count` samples taken from columns first..first + count - 1 of the store,
// with the store's ChannelMask, FreqCode and ConfigNumber. The range may end on the
// spare zero column; one that reaches past it or starts below 0 is refused.
bool WriteDecodedLogRange(const QString& path, const SampleStore& store, qint32 first, qint32 count,
                          QString* error);

// Replaces the store's log (SampleCount, ChannelMask, FreqCode, ConfigNumber, samples)
// and sets LoadedSampleCount. MemoryImage, ImageLastIndex and RecordLength stay as
// they were (a .dlg carries no image); LoadedLogFile is the caller's to set. Applying
// the log's channel configuration is a separate step (logconfig.h).
bool ReadDecodedLog(const QString& path, SampleStore& store, QString* error);

bool WriteRawImage(const QString& path, std::span<const quint8> image, QString* error);
// The store's MemoryImage bytes 0..ImageLastIndex.
bool WriteRawImage(const QString& path, const SampleStore& store, QString* error);

// Bytes 0..lastIndex of the file, or the whole file when no last index is given. A file
// shorter than asked for, or longer than a memory image can be, is refused.
bool ReadRawImage(const QString& path, std::optional<qint32> lastIndex, RawImage& out, QString* error);

// The byte-count box of the raw-image load: empty means the whole file (`out` empty);
// otherwise the number that leads the text, which must be a last index a memory image
// can have. A number outside that range is refused before any conversion, with *error
// naming it as typed ("3e9" is no index, not a wrapped one).
bool LastIndexFromText(const QString& text, std::optional<qint32>& out, QString* error);

// The raw-image load: read, then decode with header size 8. ConfigNumber is not in a
// raw image; the store keeps the one it had.
bool LoadRawImage(const QString& path, std::optional<qint32> lastIndex, SampleStore& store, QString* error);

}  // namespace logdata
