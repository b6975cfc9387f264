#pragma once
#include "logger/logdata/samplestore.h"

#include <gtest/gtest.h>

namespace hand {

// A store that already holds a log, to show that a failed fill leaves it alone.
inline logdata::SampleStore PreviousLog() {
  logdata::SampleStore s;
  s.reset(3);
  s.ChannelMask = 0x0005;
  s.FreqCode = 7;
  s.ConfigNumber = 4321;
  s.RecordLength = 5;
  s.MemoryImage = {9, 8, 7, 6, 5};
  s.ImageLastIndex = 4;
  s.LoadedLogFile = QStringLiteral("/somewhere/old.dlg");
  s.LoadedSampleCount = 3;
  for (int j = 0; j < 3; ++j) s.at(0, j) = qint16(100 + j), s.at(2, j) = qint16(200 + j);
  return s;
}

inline void ExpectSameStore(const logdata::SampleStore& a, const logdata::SampleStore& b) {
  EXPECT_EQ(a.SampleCount, b.SampleCount);
  EXPECT_EQ(a.ChannelMask, b.ChannelMask);
  EXPECT_EQ(a.FreqCode, b.FreqCode);
  EXPECT_EQ(a.ConfigNumber, b.ConfigNumber);
  EXPECT_EQ(a.RecordLength, b.RecordLength);
  EXPECT_EQ(a.MemoryImage, b.MemoryImage);
  EXPECT_EQ(a.ImageLastIndex, b.ImageLastIndex);
  EXPECT_EQ(a.LoadedLogFile, b.LoadedLogFile);
  EXPECT_EQ(a.LoadedSampleCount, b.LoadedSampleCount);
  EXPECT_EQ(a.data(), b.data());
}

}  // namespace hand
