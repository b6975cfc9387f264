// Redraw of the trend picture, 1000 pixels wide at 15 twips per pixel: geometry from
// the samples (blocks from the min/max envelope) and painting into the cached image.
#include "logger/logdata/samplestore.h"
#include "logger/logdata/envelope.h"
#include "logger/trend/trenddraw.h"
#include "logger/trend/ui/picturebox.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr double kTpp = 15;
const trend::PictureScale kPic{0, 0, 1000 * kTpp, 400 * kTpp};

// A store of `count` samples with noisy waves on the first `channels` rows.
std::unique_ptr<logdata::SampleStore> MakeStore(qint32 count, int channels) {
  auto s = std::make_unique<logdata::SampleStore>();
  s->reset(count);
  s->SampleCount = count;
  quint32 noise = 12345;
  for (qint32 j = 0; j < count; ++j) {
    qint16* col = s->columnData(j);
    for (int r = 0; r < channels; ++r) {
      noise = noise * 1103515245u + 12345u;
      col[r] = qint16(2048 + 1500 * std::sin(j * 0.0005 * (r + 1)) + int((noise >> 16) % 200) - 100);
    }
  }
  return s;
}

trend::SeriesView Row(const logdata::SampleStore& s, int row) {
  return {s.columnData(0) + row, nullptr, logdata::kSampleRows, s.columns()};
}

// One redraw: clear, then each channel's geometry and paint.
void Redraw(benchmark::State& state, qint32 count, int channels, bool useEnvelope) {
  static std::unique_ptr<logdata::SampleStore> store;
  static qint32 storeCount = -1;
  static int storeChannels = -1;
  if (storeCount != count || storeChannels != channels) {
    store.reset();
    store = MakeStore(count, channels);
    storeCount = count;
    storeChannels = channels;
  }
  std::array<trend::Envelope, 12> env;
  for (int r = 0; r < channels; ++r) env[std::size_t(r)].build(Row(*store, r));
  QImage image(1000, 400, QImage::Format_RGB32);
  trend::TraceRequest rq;
  rq.scale = kPic;
  rq.twipsPerPixel = kTpp;
  rq.start = 0;
  rq.end = count;
  for (auto _ : state) {
    image.fill(Qt::darkGray);
    for (int r = 0; r < channels; ++r) {
      const auto g = trend::ComputeTrace(rq, Row(*store, r), useEnvelope ? &env[std::size_t(r)] : nullptr);
      trend::PaintTrace(image, g, 0x0000FF, kTpp);
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["samples"] = double(count) * channels;
}

void BM_RedrawOneChannelWholeLog(benchmark::State& state) { Redraw(state, qint32(state.range(0)), 1, true); }
void BM_RedrawOneChannelWholeLogNoEnvelope(benchmark::State& state) {
  Redraw(state, qint32(state.range(0)), 1, false);
}
void BM_RedrawTwelveChannels(benchmark::State& state) { Redraw(state, qint32(state.range(0)), 12, true); }

// The bar geometry alone, one channel over the whole log: what the envelope costs.
void BM_TraceGeometry(benchmark::State& state) {
  const qint32 count = qint32(state.range(0));
  auto store = MakeStore(count, 1);
  const trend::Envelope env(Row(*store, 0));
  trend::TraceRequest rq;
  rq.scale = kPic;
  rq.twipsPerPixel = kTpp;
  rq.end = count;
  for (auto _ : state) {
    const trend::TraceGeometry g = trend::ComputeTrace(rq, Row(*store, 0), &env);
    benchmark::DoNotOptimize(g.barLines.data());
  }
}

void BM_BuildEnvelope(benchmark::State& state) {
  auto store = MakeStore(qint32(state.range(0)), 1);
  for (auto _ : state) {
    trend::Envelope e(Row(*store, 0));
    benchmark::DoNotOptimize(e.count());
  }
}

}  // namespace

BENCHMARK(BM_RedrawOneChannelWholeLog)->Arg(150000)->Arg(1280000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawOneChannelWholeLogNoEnvelope)
    ->Arg(150000)
    ->Arg(1280000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawTwelveChannels)->Arg(150000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceGeometry)->Arg(1280000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildEnvelope)->Arg(1280000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
