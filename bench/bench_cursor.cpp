// One cursor movement over a trend of 1.28 million samples: position read-out, the
// twelve value read-outs (drift correction on) and the overlay line geometry; then the
// same movement through a scope window over a log session, from the mouse event on
// its picture to the read-out boxes and the overlay repaint request (and, in a second
// case, the painting the move asked for), offscreen. The target is at most 1 ms per movement whatever the
// window length.
#include "common/prompt.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/session/logsession.h"
#include "logger/trend/cursor.h"
#include "logger/trend/ui/picturebox.h"
#include "quiet_prompt.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr qint32 kSamples = 1280000;

struct Fixture {
  logdata::SampleStore store;
  common::ChannelConfiguration config;
  Fixture() {
    store.reset(kSamples);
    store.FreqCode = 1;
    for (qint32 j = 0; j <= kSamples; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j * 7 + r * 131) % (r >= 10 ? 256 : 4096));
    for (int c = 1; c <= 12; ++c) {
      config.channel[std::size_t(c - 1)].Min = -12.5 * c;
      config.channel[std::size_t(c - 1)].Max = 1000.0 / c;
    }
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void BM_CursorMove(benchmark::State& state) {
  const Fixture& f = fixture();
  trend::ViewState view;
  view.WindowLength = qint32(state.range(0));
  view.WindowStart = (kSamples - view.WindowLength) / 2;
  view.WindowEnd = view.WindowStart + view.WindowLength;
  view.SecondsMode = state.range(1) != 0;
  view.EngBias[4] = 3;
  view.EngBias[12] = 5;
  view.BiasRef = {0, kSamples};
  const double width = 15000;  // twips: 1000 pixels at 15 twips per pixel
  const trend::CursorInput in{f.store, f.config, true, width, nullptr};
  double x = 0;
  for (auto _ : state) {
    trend::CursorReadout r = trend::CursorMove(view, in, x);
    benchmark::DoNotOptimize(r);
    x += 15;
    if (x > width) x = 0;
  }
}
BENCHMARK(BM_CursorMove)
    ->ArgsProduct({{100, 10000, 1280000 / 20, 1280000}, {0, 1}})
    ->ArgNames({"window", "seconds"})
    ->Unit(benchmark::kMicrosecond);


// A scope window over a 1.28-million-sample log of twelve channels, shown offscreen.
struct WindowFixture {
  QTemporaryDir dir;
  QuietPrompt prompt;
  session::LogSession session;
  std::unique_ptr<scope::ScopeWindows> scopes;
  scope::ScopeWindow* window = nullptr;
  trend::PictureBox* picture = nullptr;
  WindowFixture() {
    logdata::SampleStore& store = session.store();
    store.reset(kSamples);
    store.FreqCode = 1;
    store.ChannelMask = 0x0FFF;
    for (qint32 j = 0; j <= kSamples; ++j)
      for (int r = 0; r < 12; ++r) store.at(r, j) = qint16((j * 7 + r * 131) % (r >= 10 ? 256 : 4096));
    session.opened(QStringLiteral("bench.dlg"));
    session.view().YScale = common::StepTable();
    session.view().Shown.fill(true);
    scopes = std::make_unique<scope::ScopeWindows>(session, prompt, dir.path());
    window = scopes->open();
    window->resize(1280, 800);
    QApplication::processEvents();
    picture = window->picture();
  }
};

// Made on first use and destroyed by main() while the application still exists.
std::unique_ptr<WindowFixture> gWindow;

WindowFixture& windowFixture() {
  if (!gWindow) gWindow = std::make_unique<WindowFixture>();
  return *gWindow;
}

void BM_WindowCursorMove(benchmark::State& state) {
  WindowFixture& f = windowFixture();
  trend::ViewState& view = f.session.view();
  view.WindowLength = qint32(state.range(0));
  view.WindowStart = (kSamples - view.WindowLength) / 2;
  view.WindowEnd = view.WindowStart + view.WindowLength;
  view.EngBias[4] = 3;
  view.EngBias[12] = 5;
  view.BiasRef = {0, kSamples};
  f.window->Update_Data_Window();
  const bool paint = state.range(1) != 0;
  trend::PictureBox* pic = f.picture;
  const int width = pic->width();
  int x = 0;
  for (auto _ : state) {
    const QPointF pos(x, pic->height() / 2);
    QMouseEvent me(QEvent::MouseMove, pos, pic->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pic, &me);
    // The window paints what the move left dirty: the two cursor columns and the
    // read-out boxes whose text changed.
    if (paint) QCoreApplication::sendPostedEvents(f.window, QEvent::UpdateRequest);
    x = (x + 1) % width;
  }
  benchmark::DoNotOptimize(f.session.view().CursorSample);
  state.counters["renders"] = double(pic->renderCount());
}
BENCHMARK(BM_WindowCursorMove)
    ->ArgsProduct({{100, 1280000 / 20, 1280000}, {0, 1}})
    ->ArgNames({"window", "painted"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  gWindow.reset();
  benchmark::Shutdown();
  return 0;
}
