// CSV export and crop of a full one-channel log (1.28 million samples), each beside a
// one-block write of the same number of bytes measured in the same run (targets: CSV
// within 3x, crop within 1.5x of that write).
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/logdata/samplestore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr qint32 kSamples = 1280000;

struct Fixture {
  QTemporaryDir dir;
  logdata::SampleStore store;
  common::ChannelConfiguration config;
  QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  Fixture() {
    store.reset(kSamples);
    store.ChannelMask = 0x0001;
    store.FreqCode = 1;
    store.LoadedSampleCount = kSamples;
    std::mt19937 rng(5);
    for (qint32 j = 0; j < kSamples; ++j) store.at(0, j) = qint16(rng() & 0x0FFF);
  }
  qint64 csvBytes() {
    const QString p = path("size.csv");
    logexport::WriteCsv(p, p, store, config, 0, kSamples - 1, nullptr);
    return QFileInfo(p).size();
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void WriteBlock(benchmark::State& state, qint64 size) {
  const QByteArray block(size, 'x');
  const QString p = Shared().path("block.out");
  for (auto _ : state) {
    QFile file(p);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(block) != block.size())
      state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

// The same block through a temporary file renamed over the target (QSaveFile, which
// also syncs the data to disk), as the writers replace files: what the safe replace
// costs apart from the format.
void WriteBlockSafely(benchmark::State& state, qint64 size) {
  const QByteArray block(size, 'x');
  const QString p = Shared().path("block.out");
  for (auto _ : state) {
    QSaveFile file(p);
    if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size() || !file.commit())
      state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

void BM_WriteBlock_CsvSize(benchmark::State& state) { WriteBlock(state, Shared().csvBytes()); }
BENCHMARK(BM_WriteBlock_CsvSize)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_WriteBlockSafely_CsvSize(benchmark::State& state) { WriteBlockSafely(state, Shared().csvBytes()); }
BENCHMARK(BM_WriteBlockSafely_CsvSize)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Csv_AllSamples(benchmark::State& state) {
  Fixture& f = Shared();
  const QString p = f.path("all.csv");
  for (auto _ : state)
    if (!logexport::WriteCsv(p, p, f.store, f.config, 0, kSamples - 1, nullptr)) state.SkipWithError("export failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * QFileInfo(p).size());
}
BENCHMARK(BM_Csv_AllSamples)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteBlock_DlgSize(benchmark::State& state) { WriteBlock(state, 11 + 24 * qint64(kSamples)); }
BENCHMARK(BM_WriteBlock_DlgSize)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_WriteBlockSafely_DlgSize(benchmark::State& state) { WriteBlockSafely(state, 11 + 24 * qint64(kSamples)); }
BENCHMARK(BM_WriteBlockSafely_DlgSize)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Crop_WholeLog(benchmark::State& state) {
  Fixture& f = Shared();
  const QString p = f.path("all.dlg");
  for (auto _ : state)
    if (!logexport::WriteCroppedLog(p, f.store, 0, kSamples - 1, nullptr)) state.SkipWithError("crop failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * QFileInfo(p).size());
}
BENCHMARK(BM_Crop_WholeLog)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
