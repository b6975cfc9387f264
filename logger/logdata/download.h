#pragma once
// Decoding a finished memory download: end-mark test, unstuffing, header, sample count
// and unpacking. Split in steps because the download offers to save the raw image
// between unstuffing and unpacking.
#include "logger/logdata/samplestore.h"
#include "logger/logdata/unpack.h"

#include <QString>
#include <span>

namespace logdata {

enum class DownloadOutcome { Ok, NoData, Fault };

// The receive side stores from index 3 on; fewer than 9 bytes after the start byte
// count as an empty download.
constexpr qint32 kMinReceiveIndex = 11;

struct EndMarkCheck {
  DownloadOutcome outcome = DownloadOutcome::NoData;
  qint16 intEndmark = 0;  // length of the 0xF0 run before the final byte
};

// Tests received bytes 0..receiveIndex of `buffer`. NoData below index 11; Fault when the
// caller flagged an overflow, when receiveIndex lies outside the buffer, or when the data
// do not end in 0xF0 0xFF with an odd run of 0xF0 (an even run is stuffed data followed
// by a data byte 0xFF).
EndMarkCheck CheckEndMark(std::span<const quint8> buffer, qint32 receiveIndex, bool overflowed = false);

// Unstuffs a checked download into a fresh image (ImageLastIndex = its last index).
RawImage UnstuffDownload(std::span<const quint8> buffer, qint32 receiveIndex);

enum class ImageKind {
  Download,  // header size 11; ConfigNumber from image bytes 7..9; SampleCount into bytes 0..3
  RawFile,   // header size 8; ConfigNumber given by the caller
};

// Header, sample count and records of an unstuffed image replace `target`'s log (its
// LoadedLogFile and LoadedSampleCount stay). The image becomes target.MemoryImage.
// Everything that can fail is checked before the target is touched: on failure (image shorter than its header, an empty
// channel mask, a negative sample count) `target` is untouched and *error says why.
bool DecodeImage(RawImage image, ImageKind kind, qint32 configNumber, SampleStore& target, QString* error);

// All steps: bytes in, outcome out; the store changes only on Ok.
DownloadOutcome DecodeDownload(std::span<const quint8> buffer, qint32 receiveIndex, bool overflowed,
                               SampleStore& target);

}  // namespace logdata
