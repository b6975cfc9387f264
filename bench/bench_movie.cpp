// A movie of 1,000 frames of a four-channel layout (bars, scales, labels, time) with
// Motion JPEG, against the baseline of the `ffmpeg` command encoding 1,000 frames of the
// same size with the same codec and quality. Both in one run, wall-clock time: the
// encoder works on other threads.
#include "logger/movie/editor.h"
#include "logger/movie/run.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

constexpr qint32 kFrames = 1000;

struct Fixture {
  Fixture() {
    store.reset(kFrames);
    store.SampleCount = kFrames;
    store.FreqCode = 2;  // 25 samples per second
    for (qint32 j = 0; j < kFrames; ++j)
      for (int r = 0; r < 4; ++r) store.at(r, j) = qint16(2048 + 1900 * std::sin(j * 0.01 * (r + 1)));
    for (int c = 1; c <= 4; ++c) {
      auto& ch = config.channel[std::size_t(c - 1)];
      ch.Name = QStringLiteral("Channel %1").arg(c);
      ch.Unit = QStringLiteral("bar");
      ch.Max = 100;
    }
  }
  // Channels 1 to 4 side by side: bar, scale, name, unit and value each; the time
  // read-out at the top right.
  movie::MovieEditor layout() const {
    movie::MovieEditor e(source(), 0);
    using movie::Kind;
    using movie::Twips;
    for (int c = 1; c <= 4; ++c) {
      e.chooseChannel(c);
      e.layout().setup[std::size_t(c - 1)].ScaleMax = 100;
      const int x = 20 + (c - 1) * 170;
      auto drop = [&](Kind k, int px, int py) { e.drop({k, c}, {0, 0}, {Twips(px), Twips(py)}); };
      drop(Kind::Bar, x, 120);
      drop(Kind::Mitta, x + 20, 120);
      drop(Kind::CHLabel, x, 60);
      drop(Kind::ChUnit, x, 90);
      drop(Kind::ChValue, x, 400);
    }
    for (auto [k, px] : {std::pair{movie::Kind::TimeLabel, 560}, {movie::Kind::Time, 620}, {movie::Kind::TimeUnit, 680}})
      e.drop({k, 0}, {0, 0}, {Twips(px), Twips(10)});
    e.prepareMovie();
    return e;
  }
  movie::MovieSource source() const { return movie::SourceOf(session); }

  session::LogSession session;
  logdata::SampleStore& store = session.store();
  common::ChannelConfiguration& config = session.config();
};

const Fixture& Shared() {
  static const Fixture* f = new Fixture;
  return *f;
}

void BM_MovieMjpeg(benchmark::State& state) {
  const Fixture& f = Shared();
  QTemporaryDir dir;
  for (auto _ : state) {
    movie::MovieEditor editor = f.layout();
    QString error;
    auto writer = movie::OpenAvi(dir.filePath("m.avi"), movie::Codec::Mjpeg, 25, &error);
    if (!writer) return state.SkipWithError(error.toStdString().c_str());
    if (state.range(0)) writer = movie::Pipelined(std::move(writer));
    if (movie::RenderMovie(editor.scene(), f.source(), 0, kFrames, *writer, {}) != movie::RunEnd::Finished)
      return state.SkipWithError("the movie was not written");
  }
  state.counters["frames_per_s"] = benchmark::Counter(double(kFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The frames alone, painted and dropped: what the encoder has to hide behind.
void BM_MovieFramesOnly(benchmark::State& state) {
  const Fixture& f = Shared();
  struct Drop : movie::VideoWriter {
    bool write(const QImage&) override { return true; }
    bool finish() override { return true; }
    QString error() const override { return {}; }
  } drop;
  for (auto _ : state) {
    movie::MovieEditor editor = f.layout();
    movie::RenderMovie(editor.scene(), f.source(), 0, kFrames, drop, {});
  }
}

// Baseline: the ffmpeg command encoding 1,000 copies of one of these frames, read as raw
// pixels from a file, with the same codec and quantiser (-q:v 3) into an AVI.
void BM_FfmpegMjpegBaseline(benchmark::State& state) {
  const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
  if (ffmpeg.isEmpty()) return state.SkipWithError("no ffmpeg command");
  QTemporaryDir dir;
  {
    movie::MovieEditor editor = Shared().layout();
    movie::ShowValues(editor.scene(), Shared().source(), 500, true);
    QImage frame;
    movie::RenderFrame(editor.scene(), frame);
    QFile raw(dir.filePath("frame.raw"));
    if (!raw.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the frame");
    raw.write(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes());
  }
  const QStringList args = {"-v",          "error",     "-y",     "-f",       "rawvideo", "-pix_fmt",
                            "bgra",        "-s",        "720x540", "-r",      "25",       "-stream_loop",
                            QString::number(kFrames - 1), "-i", dir.filePath("frame.raw"), "-c:v", "mjpeg",
                            "-q:v",        "3",         "-f",     "avi",      dir.filePath("b.avi")};
  for (auto _ : state) {
    QProcess p;
    p.start(ffmpeg, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
      return state.SkipWithError(QString::fromUtf8(p.readAllStandardError()).toStdString().c_str());
  }
  state.counters["frames_per_s"] = benchmark::Counter(double(kFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_FfmpegMjpegBaseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MovieMjpeg)->Arg(1)->Arg(0)->ArgName("pipelined")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MovieFramesOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
