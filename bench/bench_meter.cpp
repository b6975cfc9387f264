// The meter's live display at 10 frames a second over a real pseudo-terminal, the
// program's serial port on its slave side and this benchmark writing hand-packed live
// frames into its master side:
//  - latency: from the write() of a frame's last byte to the end of the event-loop pass
//    that painted the boxes the frame changed (a zero timer queued from their paint
//    events fires after the pass, so the figure includes the window's flush);
//  - CPU share: this process's user + system time over the run, per wall second.
// BM_MeterChartAndRecording does the same with the chart showing all twelve channels and
// a recording running into a CSV file; its latency ends with the chart's paint too.
// Baselines in the same run: the same line read by a bare QSerialPort (the kernel and
// Qt's part of the latency, and the CPU floor of receiving), and the meter window with
// its port open but no live read (its idle CPU share).
// Run under Xvfb with QT_QPA_PLATFORM=xcb for the real painting path; offscreen otherwise.
#include "common/settings.h"
#include "meter/ui/mainwindow.h"
#include "quiet_prompt.h"
#include "tools/sim/simulator.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Pty {
  int master = -1;
  QString slave;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return;
    slave = QString::fromLocal8Bit(::ptsname(master));
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() {
    if (master >= 0) ::close(master);
  }
  void write(const QByteArray& b) const { (void)!::write(master, b.constData(), size_t(b.size())); }
  void drain() const {  // what the PC sent (the read command), so the line never fills
    char buf[256];
    while (::read(master, buf, sizeof buf) > 0) {
    }
  }
};

// Frame k: every channel moves, so every box changes and is painted. No byte is 0xF0,
// so no frame is stuffed and every frame is 31 bytes long.
QByteArray FrameBytes(int k) {
  std::array<int, 12> raw{};
  for (int c = 0; c < 12; ++c) {
    int v = (k * 37 + c * 311) % (c >= 10 ? 256 : 4096);
    if ((v & 0xFF) == 0xF0) ++v;
    raw[std::size_t(c)] = v;
  }
  return sim::LiveFrameBytes(raw, k % 200, 4711);
}

struct Run {
  std::vector<double> latencyMs;
  double cpuShare = 0;  // percent of one core
  int frames = 0;
};

// Writes one frame every 100 ms for `seconds`; `arrived` is the time (ns on `clock`)
// at which the receiver finished with the last frame, or -1.
Run Drive(const Pty& pty, int seconds, const QElapsedTimer& clock, const std::function<qint64()>& finished) {
  Run r;
  qint64 written = -1;
  int k = 0;
  auto collect = [&] {
    const qint64 done = finished();
    if (written >= 0 && done >= written) r.latencyMs.push_back(double(done - written) / 1e6);
  };
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    pty.drain();
    collect();
    pty.write(FrameBytes(++k));
    written = clock.nsecsElapsed();
  });
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  const double cpu0 = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  tick.start(100);
  loop.exec();
  collect();
  r.cpuShare = 100.0 * (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
  r.frames = k;
  return r;
}

void Report(benchmark::State& state, Run& r) {
  std::sort(r.latencyMs.begin(), r.latencyMs.end());
  const auto n = r.latencyMs.size();
  state.counters["frames"] = r.frames;
  state.counters["shown"] = double(n);
  state.counters["cpu_share_percent"] = r.cpuShare;
  if (n == 0) return;
  double sum = 0;
  for (double v : r.latencyMs) sum += v;
  state.counters["latency_mean_ms"] = sum / double(n);
  state.counters["latency_p99_ms"] = r.latencyMs[std::min(n - 1, n * 99 / 100)];
  state.counters["latency_max_ms"] = r.latencyMs.back();
}

// Answers the save dialog with one file name; every message OK.
class RecordPrompt : public QuietPrompt {
 public:
  QString file;
  QString saveFile(const QString&, const QString&) override { return std::exchange(file, QString()); }
};

// A meter window on the pty's slave as its port 1, shown.
struct Meter {
  QTemporaryDir dir;
  RecordPrompt prompt;
  std::unique_ptr<meter::MainWindow> window;
  explicit Meter(const Pty& pty) {
    QDir(dir.path()).mkpath(QStringLiteral("cfg"));
    common::Settings s;
    s.PortNumber = 1;
    common::PortMap map;
    map.path[1] = pty.slave;
    QString e;
    common::WriteSettings(dir.filePath(QStringLiteral("cfg/init.prm")), s, &e);
    common::WritePortMap(dir.filePath(QStringLiteral("cfg/ports.txt")), map, &e);
    window = std::make_unique<meter::MainWindow>(prompt, dir.path());
    window->show();
    QApplication::processEvents();
  }
};

// Notes when the event-loop pass that painted any of the read-out boxes has ended.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* window, const QElapsedTimer& clock) : clock_(clock) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
      if (box->objectName().startsWith(QLatin1String("Text"))) box->installEventFilter(this);
    if (auto* chart = window->findChild<QWidget*>(QStringLiteral("LiveChart"))) chart->installEventFilter(this);
  }
  qint64 passEnded = -1;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !queued_) {
      queued_ = true;
      QTimer::singleShot(0, this, [this] {
        queued_ = false;
        passEnded = clock_.nsecsElapsed();
      });
    }
    return false;
  }

 private:
  const QElapsedTimer& clock_;
  bool queued_ = false;
};

void BM_MeterLiveRead(benchmark::State& state) {
  Run r;
  for (auto _ : state) {
    Pty pty;
    Meter m(pty);
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch(m.window.get(), clock);
    m.window->findChild<QAction*>(QStringLiteral("mnu4"))->trigger();
    r = Drive(pty, int(state.range(0)), clock, [&] { return watch.passEnded; });
    state.SetIterationTime(double(state.range(0)));
  }
  Report(state, r);
}
BENCHMARK(BM_MeterLiveRead)->Arg(60)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_MeterChartAndRecording(benchmark::State& state) {
  Run r;
  for (auto _ : state) {
    Pty pty;
    Meter m(pty);
    for (int i = 0; i < 12; ++i) m.window->findChild<QCheckBox*>(QStringLiteral("ChartCh_%1").arg(i))->setChecked(true);
    m.prompt.file = m.dir.filePath(QStringLiteral("cap/bench.csv"));
    m.window->findChild<QAction*>(QStringLiteral("mnuRecord"))->trigger();
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch(m.window.get(), clock);
    m.window->findChild<QAction*>(QStringLiteral("mnu4"))->trigger();
    r = Drive(pty, int(state.range(0)), clock, [&] { return watch.passEnded; });
    state.SetIterationTime(double(state.range(0)));
  }
  Report(state, r);
}
BENCHMARK(BM_MeterChartAndRecording)->Arg(60)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// Baseline: the same frames read by a bare QSerialPort, done when a frame's bytes are in.
void BM_BarePortBaseline(benchmark::State& state) {
  Run r;
  for (auto _ : state) {
    Pty pty;
    QSerialPort port(pty.slave);
    port.setBaudRate(QSerialPort::Baud38400);
    if (!port.open(QIODevice::ReadWrite)) {
      state.SkipWithError("cannot open the pty");
      return;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 bytes = 0, lastFrameIn = -1;
    const qint64 frameSize = FrameBytes(1).size();
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
      bytes += port.readAll().size();
      if (bytes >= frameSize) {
        bytes = 0;
        lastFrameIn = clock.nsecsElapsed();
      }
    });
    r = Drive(pty, int(state.range(0)), clock, [&] { return lastFrameIn; });
    state.SetIterationTime(double(state.range(0)));
  }
  Report(state, r);
}
BENCHMARK(BM_BarePortBaseline)->Arg(60)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// Baseline: the meter window with its port open and nothing read.
void BM_MeterIdleBaseline(benchmark::State& state) {
  Run r;
  for (auto _ : state) {
    Pty pty;
    Meter m(pty);
    QEventLoop loop;
    QTimer::singleShot(int(state.range(0)) * 1000, &loop, &QEventLoop::quit);
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    loop.exec();
    r.cpuShare = 100.0 * (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
    state.SetIterationTime(double(state.range(0)));
  }
  Report(state, r);
}
BENCHMARK(BM_MeterIdleBaseline)->Arg(60)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
