// The flight report of a 1.28-million-sample log with twelve channels and speed and
// altitude, beside the scope's printout of the same log to a PDF file, in one run: the
// report is meant to cost at most twenty printouts and to stay under a megabyte, since
// the envelope, not the sample count, decides what is drawn.
#include "logger/report/pdf.h"
#include "logger/scope/scopeprint.h"
#include "logger/scope/ui/scopeprinter.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "quiet_prompt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

class PdfPrompt : public QuietPrompt {
 public:
  QString file;
  common::PromptAnswer message(const QString&, const QString&, common::PromptIcon, common::PromptButtons) override {
    return common::PromptAnswer::Yes;
  }
  QString saveFile(const QString&, const QString&) override { return file; }
};

constexpr qint32 kSamples = 1280000;

struct Program {
  QTemporaryDir dir;
  PdfPrompt prompt;
  session::LogSession session;
  std::unique_ptr<scope::ScopeWindows> scopes;
  scope::ScopeWindow* scope = nullptr;

  Program() {
    for (const char* sub : {"cfg", "dlg", "cap", "video"}) QDir(dir.path()).mkpath(QLatin1String(sub));
    logdata::SampleStore& s = session.store();
    s.reset(kSamples);
    s.SampleCount = kSamples;
    s.ChannelMask = 0x0FFF;
    s.FreqCode = 1;
    quint32 noise = 12345;
    for (qint32 j = 0; j < kSamples; ++j) {
      qint16* col = s.columnData(j);
      for (int r = 0; r < 12; ++r) {
        noise = noise * 1103515245u + 12345u;
        const int full = r < 10 ? 4095 : 255;
        col[r] = qint16(full / 2 + full / 3 * std::sin(6.2831853 * (r + 1) * double(j) / kSamples) +
                        int((noise >> 16) % 50) - 25);
      }
    }
    for (int i = 0; i < 12; ++i) session.config().channel[std::size_t(i)] = {QStringLiteral("CH%1").arg(i + 1), 0, 100,
                                                                             QStringLiteral("V"), 4095};
    session.view().YScale = common::StepTable();
    session.view().WinHeight.fill(4095);
    session.view().Shown.fill(true);
    session.opened(dir.filePath(QStringLiteral("dlg/bench.dlg")));
    // A climb and a descent, as "Speed / Alt" leaves the table.
    derived::DerivedTable& t = session.derivedTable();
    t.reset(kSamples);
    for (qint32 j = 0; j < kSamples; ++j) {
      const double x = double(j) / kSamples;
      t.row(derived::DerivedTable::kAltitudeRow)[j] = float(1500 * std::sin(3.14159265 * x));
      t.row(derived::DerivedTable::kSpeedRow)[j] = float(40 + 10 * std::sin(31.4159265 * x));
    }
    session.view().SpeedAlt = true;
    trend::ViewState& v = session.view();
    v.WindowStart = 0;
    v.WindowEnd = kSamples;
    v.WindowLength = kSamples;
    for (int i = 0; i < 12; ++i) session.envelope(i);  // made once per log, as in the program
    scopes = std::make_unique<scope::ScopeWindows>(session, prompt, dir.path());
    scope = scopes->open();
    QApplication::processEvents();
  }
};

std::unique_ptr<Program> gProgram;
Program& program() {
  if (!gProgram) gProgram = std::make_unique<Program>();
  return *gProgram;
}

void BM_ScopePrintPdf(benchmark::State& state) {
  Program& p = program();
  p.prompt.file = p.dir.filePath(QStringLiteral("cap/scope.pdf"));
  const scope::TraceSettings traces = p.scope->traces();
  for (auto _ : state) {
    const scope::PrintOutcome r =
        scope::PrintPageTo(QPrinterInfo(), p.dir.filePath(QStringLiteral("cap")), p.prompt, [&](double w, double h) {
          return scope::ComposePage(p.session, traces, scope::Marker{}, w, h);
        });
    if (r != scope::PrintOutcome::Printed) state.SkipWithError("the printout failed");
  }
  state.counters["pdf_bytes"] = double(QFileInfo(p.prompt.file).size());
}

void BM_ReportPdf(benchmark::State& state) {
  Program& p = program();
  p.prompt.file = p.dir.filePath(QStringLiteral("cap/report.pdf"));
  for (auto _ : state) {
    if (report::ReportFromSession(p.prompt, p.session, p.dir.path(), 0, kSamples - 1).isEmpty())
      state.SkipWithError("the report failed");
  }
  state.counters["pdf_bytes"] = double(QFileInfo(p.prompt.file).size());
}

// The pages as data alone: statistics, summary and traces, without the PDF.
void BM_ReportCompose(benchmark::State& state) {
  Program& p = program();
  for (auto _ : state) benchmark::DoNotOptimize(report::ComposeReport(p.session, {}, 0, kSamples - 1));
}

}  // namespace

BENCHMARK(BM_ScopePrintPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportCompose)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gProgram.reset();
  return 0;
}
