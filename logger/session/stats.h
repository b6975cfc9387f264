#pragma once
// Statistics of one channel over a range of samples, as the trend read-out gives its
// values: what `logtool stats` prints and what a measurement between two markers shows.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/logdata/samplestore.h"
#include "logger/trend/viewstate.h"

#include <optional>

namespace session {

struct ChannelStats {
  qint32 samples = 0;
  double min = 0;
  qint32 minAt = 0;  // the first sample holding the minimum
  double max = 0;
  qint32 maxAt = 0;  // the first sample holding the maximum
  double mean = 0;
  double rms = 0;  // the root of the mean of the squares
};

// Where the values come from. Without a view they are the engineering values without
// zero locks; with one, the zero locks and the drift correction of channels 5 and 6
// apply as in the read-out, and `derived` (when it shows) replaces channels 5 and 6 by
// speed and altitude in its unit.
struct StatsSource {
  const logdata::SampleStore& store;
  const common::ChannelConfiguration& config;
  const trend::ViewState* view = nullptr;
  derived::DerivedDisplay derived{};
};

// Channel 1..12 over samples from..to inclusive. nullopt for another channel, from > to,
// or a range reaching outside samples 0 .. SampleCount - 1.
std::optional<ChannelStats> ChannelStatistics(const StatsSource& source, int channel, qint32 from, qint32 to);

}  // namespace session
