#pragma once
// The movie setup file (.mcf): 12 channel blocks of 27 fixed 128-byte records, each
// record one little-endian value at its start, zero filler after it.
//
// Block of channel c, record: 1 ScaleMin (float32), 2 ScaleMax (float32), 3-6 Bar width,
// height, top, left, 7-10 mitta width, height, top, left, 11-12 CHLabel top, left,
// 13-14 ChUnit top, left, 15-16 ChValue top, left, 17 ValueFormat (int16 length and
// that many 8-bit characters), 18-19 HorBar top, left, 20-21 Vaakamitta top, left,
// 22-23 TimeLabel top, left, 24-25 TimeUnit top, left, 26-27 Time top, left. Sizes and
// positions are int32 twips; the three time positions repeat in every block.
#include "logger/movie/layout.h"

#include <QString>

namespace movie {

constexpr int kMcfRecordsPerChannel = 27;
constexpr qint64 kMcfSize = qint64(kChannels) * kMcfRecordsPerChannel * 128;  // 41,472
// A format and its 2-byte length must fit into one record.
constexpr int kMaxFormatLength = 126;

// Writes all 324 records without truncating the file (a longer old file keeps its tail,
// which readers never look at). A format longer than kMaxFormatLength or with
// characters beyond 8 bits, or a scale value that is not a finite number, is refused
// and nothing is written.
bool WriteMovieSetup(const QString& path, const MovieLayout& layout, QString* error);

// Reads positions, scale ranges and formats into `layout` (widths and heights are read
// and left alone; the time labels take the last block's positions). A file that is
// short, has a format length outside 0..126 or a scale value that is not a finite
// number is refused: `layout` is unchanged and *error says why.
bool ReadMovieSetup(const QString& path, MovieLayout& layout, QString* error);

}  // namespace movie
