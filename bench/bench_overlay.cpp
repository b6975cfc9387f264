// Gauges over a 1920 x 1080, 30 fps, 20 s video with sound, against the baseline of the
// `ffmpeg` command transcoding the same video with the same encoder and settings and
// copying the sound: decoding and encoding are the floor, the gauges should cost little
// on top (at most 1.3 times the baseline). One run each, wall-clock time.
#include "logger/movie/editor.h"
#include "logger/movie/overlay.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct Fixture {
  Fixture() {
    constexpr qint32 kSamples = 1000;  // 40 s at 25 per second: more than the video
    store.reset(kSamples);
    store.SampleCount = kSamples;
    store.FreqCode = 2;
    for (qint32 j = 0; j < kSamples; ++j)
      for (int r = 0; r < 4; ++r) store.at(r, j) = qint16(2048 + 1900 * std::sin(j * 0.05 * (r + 1)));
    for (int c = 1; c <= 4; ++c) {
      config.channel[std::size_t(c - 1)] = {QStringLiteral("Channel %1").arg(c), 0, 100, QStringLiteral("bar")};
    }
    ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    // The input is made once by the ffmpeg command: a moving test picture and a tone.
    if (!ffmpeg.isEmpty())
      made = QProcess::execute(ffmpeg, {"-v", "error", "-y", "-f", "lavfi", "-i",
                                        "testsrc2=size=1920x1080:rate=30:duration=20", "-f", "lavfi", "-i",
                                        "sine=frequency=440:duration=20", "-c:v", "libx264", "-preset", "veryfast",
                                        "-c:a", "aac", "-shortest", input()}) == 0;
  }
  QString input() const { return dir.filePath("in.mp4"); }

  // Four channels side by side: bar, scale, name, unit and value; the time at the top.
  movie::MovieEditor layout() const {
    movie::MovieEditor e(movie::SourceOf(session), 0);
    using movie::Kind;
    using movie::Twips;
    for (int c = 1; c <= 4; ++c) {
      e.chooseChannel(c);
      e.layout().setup[std::size_t(c - 1)].ScaleMax = 100;
      const int x = 20 + (c - 1) * 170;
      for (auto [k, y] : {std::pair{Kind::Bar, 120}, {Kind::CHLabel, 60}, {Kind::ChUnit, 90}, {Kind::ChValue, 400}})
        e.drop({k, c}, {0, 0}, {Twips(x), Twips(y)});
      e.drop({Kind::Mitta, c}, {0, 0}, {Twips(x + 20), Twips(120)});
    }
    for (auto [k, px] : {std::pair{movie::Kind::TimeLabel, 560}, {movie::Kind::Time, 620}, {movie::Kind::TimeUnit, 680}})
      e.drop({k, 0}, {0, 0}, {Twips(px), Twips(10)});
    e.prepareMovie();
    return e;
  }

  QTemporaryDir dir;
  QString ffmpeg;
  bool made = false;
  session::LogSession session;
  logdata::SampleStore& store = session.store();
  common::ChannelConfiguration& config = session.config();
};

Fixture& Shared() {
  static Fixture* f = new Fixture;
  return *f;
}

// Samples 0 to 499 from 0.5 s on, the canvas at 1.5 times its size 100 px in.
void BM_Overlay1080p(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.made) return state.SkipWithError("no input video (the ffmpeg command is missing)");
  for (auto _ : state) {
    movie::MovieEditor editor = f.layout();
    const movie::OverlayOutcome o = movie::OverlayVideo(editor.scene(), movie::SourceOf(f.session), 0, 499,
                                                        {0.5, QPoint(100, 100), 1.5}, f.input(),
                                                        f.dir.filePath("overlay.mp4"), {});
    if (o.end != movie::OverlayEnd::Finished) return state.SkipWithError(o.error.toStdString().c_str());
  }
}

void BM_TranscodeBaseline1080p(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.made) return state.SkipWithError("no input video (the ffmpeg command is missing)");
  const QStringList args = {"-v", "error", "-y", "-i", f.input(), "-c:v", movie::kOverlayEncoder, "-preset",
                            movie::kOverlayPreset, "-crf", movie::kOverlayCrf, "-pix_fmt", "yuv420p", "-c:a", "copy",
                            f.dir.filePath("plain.mp4")};
  for (auto _ : state)
    if (QProcess::execute(f.ffmpeg, args) != 0) return state.SkipWithError("the ffmpeg command failed");
}

}  // namespace

BENCHMARK(BM_TranscodeBaseline1080p)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Overlay1080p)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
