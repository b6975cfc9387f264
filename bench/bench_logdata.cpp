// Decoding a full memory image and writing/reading a large .dlg, each beside the plain
// copy of the same bytes it is measured against (targets: decode within 10x memcpy,
// .dlg files within 1.5x one-block file I/O).
#include "logger/logdata/download.h"
#include "logger/logdata/logfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

namespace {

using namespace logdata;

// A receive buffer filled to capacity: header, stuffed records of random values, end
// mark. Returns the ReceiveIndex.
qint32 FullStream(quint16 mask, std::vector<quint8>& buffer) {
  buffer.assign(std::size_t(kImageCapacity), 0);
  std::mt19937 rng(7);
  std::size_t w = 3;
  const quint8 header[] = {quint8(mask & 0xFF), quint8(mask >> 8), 1, 0x39, 0x30, 0};
  for (quint8 b : header) buffer[w++] = b;
  const int rl = RecordLengthFromMask(quint8(mask & 0xFF), quint8(mask >> 8));
  // Stop while a whole stuffed record and the end mark still fit.
  while (w + 2 * std::size_t(rl) + 2 < buffer.size()) {
    for (int k = 0; k < rl; ++k) {
      const quint8 b = quint8(rng());
      buffer[w++] = b;
      if (b == 0xF0) buffer[w++] = b;
    }
  }
  buffer[w++] = 0xF0;
  buffer[w] = 0xFF;
  return qint32(w);
}

void DecodeFull(benchmark::State& state, quint16 mask) {
  std::vector<quint8> buffer;
  const qint32 last = FullStream(mask, buffer);
  SampleStore store;
  for (auto _ : state) {
    const DownloadOutcome out = DecodeDownload(buffer, last, false, store);
    if (out != DownloadOutcome::Ok) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(store.data().data());
  }
  state.counters["samples"] = double(store.SampleCount);
  state.SetBytesProcessed(int64_t(state.iterations()) * (last + 1));
}

// The two halves of a decode, to see where the time goes.
void UnstuffOnly(benchmark::State& state, quint16 mask) {
  std::vector<quint8> buffer;
  const qint32 last = FullStream(mask, buffer);
  for (auto _ : state) {
    RawImage image = UnstuffDownload(buffer, last);
    benchmark::DoNotOptimize(image.bytes.data());
  }
}
void UnpackOnly(benchmark::State& state, quint16 mask) {
  std::vector<quint8> buffer;
  const qint32 last = FullStream(mask, buffer);
  SampleStore store;
  DecodeImage(UnstuffDownload(buffer, last), ImageKind::Download, 0, store, nullptr);
  for (auto _ : state) {
    if (!Unpack(store)) state.SkipWithError("unpack failed");
    benchmark::DoNotOptimize(store.data().data());
  }
}
void BM_UnstuffOnly_OneChannel(benchmark::State& state) { UnstuffOnly(state, 0x0001); }
BENCHMARK(BM_UnstuffOnly_OneChannel)->Unit(benchmark::kMillisecond);
void BM_UnpackOnly_OneChannel(benchmark::State& state) { UnpackOnly(state, 0x0001); }
BENCHMARK(BM_UnpackOnly_OneChannel)->Unit(benchmark::kMillisecond);
void BM_UnpackOnly_TwelveChannels(benchmark::State& state) { UnpackOnly(state, 0x0FFF); }
BENCHMARK(BM_UnpackOnly_TwelveChannels)->Unit(benchmark::kMillisecond);

void BM_Memcpy_Image(benchmark::State& state) {
  std::vector<quint8> src(std::size_t(kImageCapacity), 0x5A), dst(std::size_t(kImageCapacity) + 1);
  for (auto _ : state) {
    std::memcpy(dst.data() + 1, src.data(), src.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kImageCapacity);
}
BENCHMARK(BM_Memcpy_Image)->Unit(benchmark::kMillisecond);

void BM_Decode_OneChannel(benchmark::State& state) { DecodeFull(state, 0x0001); }
BENCHMARK(BM_Decode_OneChannel)->Unit(benchmark::kMillisecond);

void BM_Decode_TwelveChannels(benchmark::State& state) { DecodeFull(state, 0x0FFF); }
BENCHMARK(BM_Decode_TwelveChannels)->Unit(benchmark::kMillisecond);

constexpr qint32 kDlgSamples = 1280000;

struct DlgFixture {
  QTemporaryDir dir;
  SampleStore store;
  QString path() const { return dir.filePath(QStringLiteral("bench.dlg")); }
  qint64 bytes() const { return kDlgHeaderSize + kDlgBytesPerSample * kDlgSamples; }
  DlgFixture() {
    store.reset(kDlgSamples);
    store.ChannelMask = 0x0FFF;
    store.FreqCode = 1;
    std::mt19937 rng(3);
    for (qint32 j = 0; j < kDlgSamples; ++j)
      for (int r = 0; r < kStoredRows; ++r) store.at(r, j) = qint16(rng() & 0x0FFF);
  }
};

void BM_WriteBlock(benchmark::State& state) {
  DlgFixture f;
  const QByteArray block(f.bytes(), 'x');
  for (auto _ : state) {
    QFile file(f.path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(block) != block.size())
      state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.bytes());
}
BENCHMARK(BM_WriteBlock)->Unit(benchmark::kMillisecond);

// The same block through a temporary file renamed over the target, as the .dlg writer
// does: shows what the safe replace costs apart from the format.
void BM_WriteBlockSaveFile(benchmark::State& state) {
  DlgFixture f;
  const QByteArray block(f.bytes(), 'x');
  for (auto _ : state) {
    QSaveFile file(f.path());
    if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size() || !file.commit())
      state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.bytes());
}
BENCHMARK(BM_WriteBlockSaveFile)->Unit(benchmark::kMillisecond);

void BM_WriteDlg(benchmark::State& state) {
  DlgFixture f;
  for (auto _ : state)
    if (!WriteDecodedLog(f.path(), f.store, nullptr)) state.SkipWithError("write failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * f.bytes());
}
BENCHMARK(BM_WriteDlg)->Unit(benchmark::kMillisecond);

void BM_ReadBlock(benchmark::State& state) {
  DlgFixture f;
  WriteDecodedLog(f.path(), f.store, nullptr);
  for (auto _ : state) {
    QFile file(f.path());
    if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("open failed");
    QByteArray all(f.bytes(), Qt::Uninitialized);
    if (file.read(all.data(), all.size()) != all.size()) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(all.constData());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.bytes());
}
BENCHMARK(BM_ReadBlock)->Unit(benchmark::kMillisecond);

void BM_ReadDlg(benchmark::State& state) {
  DlgFixture f;
  WriteDecodedLog(f.path(), f.store, nullptr);
  SampleStore in;
  for (auto _ : state) {
    if (!ReadDecodedLog(f.path(), in, nullptr)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(in.data().data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.bytes());
}
BENCHMARK(BM_ReadDlg)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
