// One cursor movement over a trend of 1.28 million samples: position read-out, the
// twelve value read-outs (drift correction on) and the overlay line geometry. The
// target is at most 1 ms per movement whatever the window length.
#include "logger/trend/cursor.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qint32 kSamples = 1280000;

struct Fixture {
  logdata::SampleStore store;
  common::ChannelConfiguration config;
  Fixture() {
    store.reset(kSamples);
    store.FreqCode = 1;
    for (qint32 j = 0; j <= kSamples; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j * 7 + r * 131) % (r >= 10 ? 256 : 4096));
    for (int c = 1; c <= 12; ++c) {
      config.channel[std::size_t(c - 1)].Min = -12.5 * c;
      config.channel[std::size_t(c - 1)].Max = 1000.0 / c;
    }
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void BM_CursorMove(benchmark::State& state) {
  const Fixture& f = fixture();
  trend::ViewState view;
  view.WindowLength = qint32(state.range(0));
  view.WindowStart = (kSamples - view.WindowLength) / 2;
  view.WindowEnd = view.WindowStart + view.WindowLength;
  view.SecondsMode = state.range(1) != 0;
  view.EngBias[4] = 3;
  view.EngBias[12] = 5;
  view.BiasRef = {0, kSamples};
  const double width = 15000;  // twips: 1000 pixels at 15 twips per pixel
  const trend::CursorInput in{f.store, f.config, true, width, nullptr};
  double x = 0;
  for (auto _ : state) {
    trend::CursorReadout r = trend::CursorMove(view, in, x);
    benchmark::DoNotOptimize(r);
    x += 15;
    if (x > width) x = 0;
  }
}
BENCHMARK(BM_CursorMove)
    ->ArgsProduct({{100, 10000, 1280000 / 20, 1280000}, {0, 1}})
    ->ArgNames({"window", "seconds"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
