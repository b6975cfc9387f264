// Statistics of one channel of a full one-channel log (1.28 million samples) beside a
// pass that only sums the same row, measured in the same run (target: within 2x).
#include "logger/session/stats.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr qint32 kSamples = 1280000;

struct Fixture {
  logdata::SampleStore store;
  common::ChannelConfiguration config;
  Fixture() {
    store.reset(kSamples);
    store.ChannelMask = 0x0010;
    config.channel[4] = {QStringLiteral("Static"), 800, 1100, QStringLiteral("mbar"), 1};
    std::mt19937 rng(5);
    for (qint32 j = 0; j < kSamples; ++j) store.at(4, j) = qint16(rng() & 0x0FFF);
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void SumRow(benchmark::State& state) {
  const logdata::SampleStore& s = Shared().store;
  for (auto _ : state) {
    qint64 sum = 0;
    const qint16* p = s.columnData(0) + 4;
    for (qint32 j = 0; j < kSamples; ++j, p += logdata::kSampleRows) sum += *p;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

void Statistics(benchmark::State& state) {
  const Fixture& f = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(session::ChannelStatistics({f.store, f.config}, 5, 0, kSamples - 1));
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

}  // namespace

BENCHMARK(SumRow)->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
