// Redraws as the programs run them, offscreen, pictures 1000 pixels wide and 400 high:
// the main trend (two channels, drawn as the main window draws them) and a scope window
// over the same log session
// (two traces), each for a whole log of 1.28 and 10 million samples, so that their
// growth with the log is measured in one run; and the scope's printout of a
// 1.28-million-sample window to a PDF file. The painter baseline paints the same bars
// through QPainter's line drawing, as the pictures did before.
#include "logger/scope/scopeprint.h"
#include "logger/scope/ui/scopeprinter.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/session/trendtrace.h"
#include "logger/trend/gestures.h"
#include "logger/trend/ui/picturebox.h"
#include "quiet_prompt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

// Answers the PDF name and the overwrite question, so that printouts run unattended.
class PdfPrompt : public QuietPrompt {
 public:
  QString file;
  common::PromptAnswer message(const QString&, const QString&, common::PromptIcon, common::PromptButtons) override {
    return common::PromptAnswer::Yes;
  }
  QString saveFile(const QString&, const QString&) override { return file; }
};

struct Program {
  QTemporaryDir dir;
  PdfPrompt prompt;
  session::LogSession session;
  trend::PictureBox trend{Qt::darkGray};
  std::unique_ptr<scope::ScopeWindows> scopes;
  scope::ScopeWindow* scope = nullptr;
  qint32 count = -1;

  Program() {
    for (const char* sub : {"cfg", "dlg", "cap", "video"}) QDir(dir.path()).mkpath(QLatin1String(sub));
    trend.setFixedSize(1000, 400);
    trend.show();
    session.view().YScale = common::StepTable();
    session.view().WinHeight.fill(4095);
    session.view().Shown.fill(true);
    scopes = std::make_unique<scope::ScopeWindows>(session, prompt, dir.path());
    scope = scopes->open();
    scope->picture()->setFixedSize(1000, 400);
    QApplication::processEvents();
  }

  // Noisy waves on channels 1 and 2, the whole log in view. Stretched: the same curve
  // over the whole log whatever its length, so that both sizes give the same picture
  // and only the sample count differs. Otherwise bench_trend's waves of fixed period,
  // which fill ever more of the picture as the log grows.
  void fill(qint32 n, bool stretched) {
    if (count == n && stretched_ == stretched) return;
    logdata::SampleStore& s = session.store();
    s.reset(n);
    s.SampleCount = n;
    s.ChannelMask = 0x0003;
    s.FreqCode = 1;
    quint32 noise = 12345;
    for (qint32 j = 0; j < n; ++j) {
      qint16* col = s.columnData(j);
      for (int r = 0; r < 2; ++r) {
        noise = noise * 1103515245u + 12345u;
        const double phase = stretched ? 6.2831853 * 3 * (r + 1) * double(j) / n : j * 0.0005 * (r + 1);
        col[r] = qint16(2048 + 1500 * std::sin(phase) + int((noise >> 16) % 200) - 100);
      }
    }
    session.opened(QStringLiteral("bench.dlg"));
    trend::ViewState& v = session.view();
    v.WindowStart = 0;
    v.WindowEnd = n;
    v.WindowLength = n;
    drawTrend();  // the envelopes are made once per log, not per redraw
    count = n;
    stretched_ = stretched;
  }
  bool stretched_ = false;

  // Channels 1 and 2 as the main window's redraw draws them.
  void drawTrend() {
    trend.clearPicture();
    const trend::ViewState& v = session.view();
    for (int i = 0; i < 2; ++i)
      trend.drawTrace(session::MainTrendTrace(session, i, v.WindowStart, v.WindowEnd, v.YScale[std::size_t(i)],
                                              trend.scale(), trend.twipsPerPixel()),
                      0x0000FF);
  }
};

// Made on first use, gone before the application object.
std::unique_ptr<Program> gProgram;
Program& program() {
  if (!gProgram) gProgram = std::make_unique<Program>();
  return *gProgram;
}

void BM_MainTrendRedraw(benchmark::State& state) {
  Program& p = program();
  p.fill(qint32(state.range(0)), state.range(1) != 0);
  for (auto _ : state) p.drawTrend();
  state.counters["samples"] = double(state.range(0));
}

// A wheel notch in and out in turn around the middle of the trend, each redrawn: the
// window changes on every step, so no picture is reused.
void BM_MainTrendWheelStep(benchmark::State& state) {
  Program& p = program();
  p.fill(qint32(state.range(0)), state.range(1) != 0);
  const double middle = p.trend.scale().width / 2;
  int turn = 120;
  for (auto _ : state) {
    trend::ZoomAt(p.session.view(), middle, p.trend.scale().width, trend::WheelFactor(turn), p.count);
    p.drawTrend();
    turn = -turn;
  }
  p.count = -1;  // the view was changed: the next case fills again
  state.counters["samples"] = double(state.range(0));
}

void BM_ScopeRedraw(benchmark::State& state) {
  Program& p = program();
  p.fill(qint32(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    p.scope->Update_Data_Window();
    p.scope->DrawScaler(1);
    p.scope->DrawScaler(2);
  }
  state.counters["samples"] = double(state.range(0));
}

// The same scope traces painted through QPainter's line drawing.
void BM_ScopeRedrawPainterBaseline(benchmark::State& state) {
  Program& p = program();
  p.fill(qint32(state.range(0)), state.range(1) != 0);
  const scope::TraceSettings traces = p.scope->traces();
  QImage image(1000, 400, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    painter.scale(1 / 15.0, 1 / 15.0);
    QPen pen(Qt::red);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (const scope::TraceSetting& t : traces) {
      const trend::TraceGeometry g = scope::ComputeScopeTrace(p.session, t, p.scope->picture()->scale(), 15);
      painter.drawLines(g.barLines.data(), int(g.barLines.size()));
    }
  }
}

void BM_PrintPdf(benchmark::State& state) {
  Program& p = program();
  p.fill(qint32(state.range(0)), state.range(1) != 0);
  p.prompt.file = p.dir.filePath(QStringLiteral("cap/bench.pdf"));
  const scope::TraceSettings traces = p.scope->traces();
  session::LogSession& src = p.session;
  for (auto _ : state) {
    const scope::PrintOutcome r = scope::PrintPageTo(QPrinterInfo(), p.dir.filePath(QStringLiteral("cap")), p.prompt,
                                                     [&](double w, double h) {
                                                       return scope::ComposePage(src, traces, scope::Marker{}, w, h);
                                                     });
    if (r != scope::PrintOutcome::Printed) state.SkipWithError("the printout failed");
  }
  state.counters["pdf_bytes"] = double(QFileInfo(p.prompt.file).size());
}

}  // namespace

// Arguments: samples, stretched (1) or fixed-period (0) waves.
#define SIZES ->Args({1280000, 1})->Args({10000000, 1})->Args({1280000, 0})->Args({10000000, 0})
BENCHMARK(BM_MainTrendRedraw) SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainTrendWheelStep) SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScopeRedraw) SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScopeRedrawPainterBaseline) SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPdf)->Args({1280000, 1})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gProgram.reset();
  return 0;
}
