// The derived speed and altitude table for 1.28 million samples of a flight, in each
// compensation mode, without and with a drift correction over the whole log, beside
// the pass it is measured against: read rows 4 and 5 of every sample and write two
// floats per sample. Budget: without a drift within 3x that pass (the table per raw
// value); with a drift over the whole log, where every sample takes the formula and
// its power, within 30x.
#include "logger/derived/speedalt.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr qint32 kSamples = 1280000;

// A climb to about 3000 m and back, with a little sensor noise: static pressure on
// channel 5, static plus dynamic on channel 6, both 0..1200 mbar over 12 bits.
struct Flight {
  logdata::SampleStore store;
  common::ChannelConfiguration config;
  Flight() {
    store.reset(kSamples);
    store.FreqCode = 1;
    for (int c = 1; c <= 12; ++c) config.channel[std::size_t(c - 1)].Max = common::FullScale(c);
    config.channel[4] = {QStringLiteral("Static"), 0, 1200, QStringLiteral("mbar"), 4095};
    config.channel[5] = {QStringLiteral("Total"), 0, 1200, QStringLiteral("mbar"), 4095};
    const double countsPerMbar = 4095.0 / 1200.0;
    for (qint32 j = 0; j < kSamples; ++j) {
      const double phase = double(j) / kSamples;
      const double height = 3000 * std::sin(3.14159265 * phase);
      const double staticP = 1013.25 * std::pow(1 - 2.25577e-5 * height, 5.25588);
      const double speed = phase > 0.02 && phase < 0.98 ? 60 + 10 * std::sin(40 * phase) : 0;
      const double dynamicP = 0.5 * 1.215 * speed * speed / 100;
      const int noise = int((std::uint32_t(j) * 2654435761u) >> 30) - 2;
      store.at(4, j) = qint16(std::lround(staticP * countsPerMbar) + noise);
      store.at(5, j) = qint16(std::lround((staticP + dynamicP) * countsPerMbar) - noise);
    }
  }
};

const Flight& flight() {
  static const Flight f;
  return f;
}

void BM_ReadTwoRowsWriteTwoFloats(benchmark::State& state) {
  const Flight& f = flight();
  derived::DerivedTable table;
  table.reset(kSamples);
  for (auto _ : state) {
    const qint16* column = f.store.columnData(0);
    float* speed = table.row(derived::DerivedTable::kSpeedRow);
    float* altitude = table.row(derived::DerivedTable::kAltitudeRow);
    for (qint32 j = 0; j < kSamples; ++j) {
      altitude[j] = float(column[std::size_t(j) * logdata::kSampleRows + 4]);
      speed[j] = float(column[std::size_t(j) * logdata::kSampleRows + 5]);
    }
    benchmark::DoNotOptimize(speed);
    benchmark::DoNotOptimize(altitude);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReadTwoRowsWriteTwoFloats)->Unit(benchmark::kMillisecond);

// range(0): compensation mode; range(1): 1 for a drift correction between readings at
// the first and the last sample (every sample has its own correction).
void BM_ComputeDerived(benchmark::State& state) {
  const Flight& f = flight();
  derived::DerivationInput in;
  in.staticPressure = {1013.0, 1013.0, state.range(1) ? 1009.5 : 1013.0};
  in.totalPressure = {1013.4, 1013.4, state.range(1) ? 1014.1 : 1013.4};
  in.firstSample = 0;
  in.secondSample = kSamples - 1;
  in.compensation = {std::uint8_t(state.range(0)), 1012.5f};
  derived::DerivedTable table;
  for (auto _ : state) {
    derived::ComputeDerived(f.store, f.config, in, table);
    benchmark::DoNotOptimize(table.row(0));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ComputeDerived)
    ->ArgNames({"mode", "drift"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
