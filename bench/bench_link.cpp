// Download through a pseudo-terminal served by logger-sim: time from request to
// decoded log and receiving-side CPU per byte at full speed, and the receiving
// side's share of one core at real 38400-baud pacing.
#include "common/link.h"
#include "common/portcontrol.h"
#include "logger/link/download.h"
#include "logger/logdata/samplestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {


double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Result {
  double wallToDecoded = 0;  // seconds, request to decoded log, silence interval excluded
  double cpu = 0;            // seconds of this process's CPU over the same span
  double transfer = 0;       // seconds from request to the last byte
  double cpuTransfer = 0;    // CPU seconds from request to the last byte
  qint64 bytes = 0;
  qint32 samples = 0;
};

Result RunDownload(const QStringList& simArgs) {
  Result r;
  QProcess sim;
  sim.start(QStringLiteral(VELKARO_PROGRAM_DIR "/logger-sim"), simArgs);
  if (!sim.waitForStarted(10000) || !sim.waitForReadyRead(10000)) return r;
  const QString tty = QString::fromLocal8Bit(sim.readLine()).trimmed();

  common::PortControl port;
  common::PortMap map;
  map.path[1] = tty;
  port.setPortMap(map);
  port.setPortNumber(1);
  common::Link link(port);
  logdata::SampleStore store;
  loggerlink::Download download(link, store, QStringLiteral("/tmp"), {});
  QEventLoop loop;
  QObject::connect(&download, &loggerlink::Download::finished, &loop, &QEventLoop::quit);
  QElapsedTimer wall;
  qint64 lastByteAt = 0;
  qint64 lastCount = 0;
  double cpuAtLastByte = 0;
  QTimer watch;  // notes when the last byte came, for the transfer time
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (link.downloadBytesReceived() != lastCount) {
      lastCount = link.downloadBytesReceived();
      lastByteAt = wall.nsecsElapsed();
      cpuAtLastByte = CpuSeconds();
    }
  });
  const double cpu0 = CpuSeconds();
  wall.start();
  watch.start(20);
  if (download.request(1, false)) loop.exec();
  const double elapsed = double(wall.nsecsElapsed()) / 1e9;
  r.cpu = CpuSeconds() - cpu0;
  r.wallToDecoded = elapsed - link.timings().downloadSilence / 1000.0;
  r.transfer = double(lastByteAt) / 1e9;
  r.cpuTransfer = cpuAtLastByte - cpu0;
  r.bytes = link.downloadBytesReceived();
  r.samples = store.SampleCount;
  sim.terminate();
  sim.waitForFinished(5000);
  return r;
}

void BM_FullMemoryDownloadOverPty(benchmark::State& state) {
  Result r;
  for (auto _ : state) {
    r = RunDownload({"--pace", "full", "--fill"});
    state.SetIterationTime(r.wallToDecoded);
  }
  state.counters["bytes"] = double(r.bytes);
  state.counters["samples"] = r.samples;
  state.counters["request_to_decoded_s"] = r.wallToDecoded;
  state.counters["cpu_ns_per_byte"] = r.bytes ? r.cpu * 1e9 / double(r.bytes) : 0;
  if (r.samples <= 0) state.SkipWithError("download did not decode");
}
BENCHMARK(BM_FullMemoryDownloadOverPty)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RealPacingCpuShare(benchmark::State& state) {
  Result r;
  for (auto _ : state) {
    // Channels 1 to 6 at 10 per second: 9 bytes a record, about 27 kB, 7 s on the line.
    r = RunDownload({"--pace", "real", "--seconds", "300"});
    state.SetIterationTime(r.transfer);
  }
  state.counters["bytes"] = double(r.bytes);
  state.counters["transfer_s"] = r.transfer;
  state.counters["cpu_share_percent"] = r.transfer > 0 ? 100.0 * r.cpuTransfer / r.transfer : 0;
  if (r.samples <= 0) state.SkipWithError("download did not decode");
}
BENCHMARK(BM_RealPacingCpuShare)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
