#include "logger/scope/ui/scopewindow.h"

#include "common/messages.h"
#include "common/prompt.h"
#include "common/ui/colour.h"
#include "logger/scope/scopemessages.h"
#include "logger/scope/scopeprint.h"
#include "logger/scope/ui/scopeprinter.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/trend/ui/controls.h"
#include "logger/trend/ui/picturebox.h"
#include "logger/trend/ui/trendarea.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace scope {

// ---------------------------------------------------------------- ruler

RulerBox::RulerBox(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  setMinimumHeight(40);
}

double RulerBox::twipsPerPixel() const {
  const int dpi = logicalDpiY();
  return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QSize RulerBox::sizeHint() const {
  // Tick, gap and a label as wide as "1234567", so every ruler's labels line up.
  return {10 + 3 + fontMetrics().horizontalAdvance(QStringLiteral("1234567")) + 2, 240};
}

void RulerBox::setRuler(const Ruler& ruler, QColor colour) {
  ruler_ = ruler;
  colour_ = colour;
  update();
}

void RulerBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The pale pressure colours need the dark ground, as the trace labels do.
  const qint32 bgr = common::BgrFromColour(colour_);
  p.fillRect(rect(), colour_.isValid() ? common::ColourFromBgr(common::MoreContrastingBackground(
                                              bgr, common::kDarkGround, 0xFFFFFF))
                                        : palette().window().color());
  p.setPen(colour_);
  const double t = twipsPerPixel();
  const int half = fontMetrics().height() / 2;
  for (const RulerTick& tick : ruler_.ticks) {
    const int y = int(tick.y / t);
    p.drawLine(0, y, 9, y);
    // Centred on its tick, but kept inside the ruler at either end.
    const int top = std::clamp(y - half, 0, std::max(0, height() - 2 * half));
    p.drawText(QRect(13, top, width() - 13, 2 * half), Qt::AlignLeft | Qt::AlignVCenter, tick.text);
  }
}

// ---------------------------------------------------------------- window

namespace {

using trend::Button;
using trend::Named;
using trend::ToTrendButton;

// The scope's boxes only show.
QLineEdit* Box(const QString& name, int width, QWidget* parent) { return trend::Box(name, width, parent, true); }

// The bars keep the platform's orientation, smaller values at the top: a handle pulled
// down raises the bias, which moves the trace down with it, and each arrow moves the
// handle its own way. The documented step is the arrow step, five arrow steps a page.
QScrollBar* Bar(const QString& name, int min, int max, int value, int step, QWidget* parent) {
  auto* b = Named(new QScrollBar(Qt::Vertical, parent), name);
  b->setRange(min, max);
  b->setSingleStep(step);
  b->setPageStep(5 * step);
  b->setValue(value);
  b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  return b;
}


QString LabelStyle(qint32 bgr) {
  const qint32 ground = common::MoreContrastingBackground(bgr, common::kDarkGround, 0xFFFFFF);
  return QStringLiteral("color: %1; background: %2; padding: 0 2px;")
      .arg(common::ColourFromBgr(bgr).name(), common::ColourFromBgr(ground).name());
}

}  // namespace

ScopeWindow::ScopeWindow(ScopeWindows& owner, QWidget* parent)
    : QMainWindow(parent), owner_(owner), src_(owner.session()) {
  setObjectName(QStringLiteral("scTrend1"));
  setWindowTitle(msg::kCaptionScope);
  auto* print = new QAction(msg::kMenuPrint, this);
  print->setObjectName(QStringLiteral("Print"));
  connect(print, &QAction::triggered, this, &ScopeWindow::onPrint);
  menuBar()->addAction(print);
  buildControls();
  resize(900, 620);
}

void ScopeWindow::buildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(6, 6, 6, 6);
  top->setSpacing(4);

  for (int t = 0; t < 2; ++t) {
    for (int n = 0; n < 7; ++n)
      labels_[std::size_t(n)][std::size_t(t)] = Named(new QLabel(central), QStringLiteral("Label%1_%2").arg(n + 1).arg(t));
    scale_[std::size_t(t)] = Bar(t == 0 ? QStringLiteral("scale1") : QStringLiteral("scale2"), 1, 500, 10, 10, central);
    bias_[std::size_t(t)] = Bar(t == 0 ? QStringLiteral("Bias1") : QStringLiteral("bias2"), -4095, 4095, 0, 30, central);
    mitta_[std::size_t(t)] = Named(new RulerBox(central), QStringLiteral("mitta_%1").arg(t));
  }

  // Top values above the rulers, then rulers, bars and the picture in one row (the
  // rulers are as tall as the picture, so their ticks meet its values), bottom values
  // below.
  auto endRow = [&](int n) {
    auto* row = new QHBoxLayout;
    row->addWidget(labels_[std::size_t(n)][0]);
    row->addStretch();
    row->addWidget(labels_[std::size_t(n)][1]);
    return row;
  };
  top->addLayout(endRow(1));
  trend::TrendArea::Calls calls;
  calls.drawTrend = [this] { Update_Data_Window(); };
  calls.drawOverview = [this] { Update_Full_Data(); };
  calls.moveCursor = [this](double x) { onTrendMove(x); };
  calls.press = [this](double x, Qt::MouseButton) { onTrendPress(x); };
  calls.capture = [this] { onCapture(); };
  calls.mark = [this](int marker, qint32 sample) {
    src_.setMarker(marker == 0 ? session::LogSession::Marker::A : session::LogSession::Marker::B, sample);
  };
  trendArea_ = new trend::TrendArea(src_.view(), src_.store(), central, {56, 70, false, msg::kCaptionZoomBack},
                                    std::move(calls));
  picTrend_ = trendArea_->picture();
  picFull_ = trendArea_->strip();
  auto* pictureRow = new QHBoxLayout;
  pictureRow->addWidget(mitta_[0]);
  pictureRow->addWidget(scale_[0]);
  pictureRow->addWidget(bias_[0]);
  pictureRow->addWidget(picTrend_, 1);
  pictureRow->addWidget(bias_[1]);
  pictureRow->addWidget(scale_[1]);
  pictureRow->addWidget(mitta_[1]);
  top->addLayout(pictureRow, 1);
  top->addLayout(endRow(0));

  top->addLayout(trendArea_->stripRow());

  // One row of controls per trace: channel, number, name, unit, scale, bias, value.
  auto* traceGrid = new QGridLayout;
  for (int t = 0; t < 2; ++t) {
    const auto st = std::size_t(t);
    scopeCh_[st] = Named(new QComboBox(central), QStringLiteral("ScopeCH_%1").arg(t));
    for (int c = 1; c <= common::kChannelCount; ++c)
      scopeCh_[st]->addItem(src_.config().channel[std::size_t(c - 1)].Name, c - 1);
    scopeCh_[st]->setCurrentIndex(t);
    chval_[st] = Box(QStringLiteral("chval_%1").arg(t), 90, central);
    int col = 0;
    traceGrid->addWidget(scopeCh_[st], t, col++);
    for (int n : {5, 6, 7}) traceGrid->addWidget(labels_[std::size_t(n - 1)][st], t, col++);
    traceGrid->addWidget(new QLabel(msg::kCaptionScale, central), t, col++);
    traceGrid->addWidget(labels_[2][st], t, col++);
    traceGrid->addWidget(new QLabel(msg::kCaptionBias, central), t, col++);
    traceGrid->addWidget(labels_[3][st], t, col++);
    traceGrid->addWidget(chval_[st], t, col++);
    labels_[2][st]->setMinimumWidth(40);
    labels_[3][st]->setMinimumWidth(70);
    connect(scopeCh_[st], &QComboBox::currentIndexChanged, this, [this] {
      Update_Data_Window();
      DrawScaler(1);
      DrawScaler(2);
    });
    for (QScrollBar* bar : {scale_[st], bias_[st]})
      connect(bar, &QScrollBar::valueChanged, this, [this, t] {
        Update_Data_Window();
        DrawScaler(t + 1);
      });
  }
  traceGrid->setColumnStretch(10, 1);
  top->addLayout(traceGrid);

  chpos1_ = Box(QStringLiteral("chpos1"), 70, central);
  showLevel_ = Named(new QCheckBox(msg::kCaptionShowLevel, central), QStringLiteral("ShowLevel"));
  QHBoxLayout* navRow = trendArea_->navigationRow();
  navRow->addStretch();
  top->addLayout(navRow);
  auto* cursorRow = new QHBoxLayout;
  cursorRow->addWidget(showLevel_);
  cursorRow->addStretch();
  cursorRow->addWidget(chpos1_);
  top->addLayout(cursorRow);
  connect(showLevel_, &QCheckBox::toggled, this, &ScopeWindow::onShowLevel);
  connect(&src_, &session::LogSession::markersChanged, this, [this] {
    trendArea_->showMarkers(src_.marker(session::LogSession::Marker::A), src_.marker(session::LogSession::Marker::B));
  });
  // The rulers are as tall as the picture.
  connect(picTrend_, &trend::PictureBox::resized, this, [this] {
    DrawScaler(1);
    DrawScaler(2);
  });
}

TraceSettings ScopeWindow::traces() const {
  TraceSettings t;
  for (std::size_t i = 0; i < 2; ++i) {
    t[i].channel = scopeCh_[i]->currentData().toInt() + 1;
    t[i].scale = scale_[i]->value();
    t[i].bias = bias_[i]->value();
  }
  return t;
}

// ---------------------------------------------------------------- drawing

void ScopeWindow::DrawScChannel(int trace) {
  const TraceSetting t = traces()[std::size_t(trace)];
  if (!TraceShown(src_, t)) return;
  picTrend_->drawTrace(ComputeScopeTrace(src_, t, picTrend_->scale(), picTrend_->twipsPerPixel()),
                       src_.view().Colours[std::size_t(t.channel - 1)]);
}

void ScopeWindow::writeLabels(int trace, const TraceLabels& l) {
  const auto t = std::size_t(trace);
  const QString texts[7] = {l.bottom, l.top, l.scale, l.bias, l.number, l.name, l.unit};
  const QString style = LabelStyle(src_.view().Colours[std::size_t(traces()[t].channel - 1)]);
  for (std::size_t n = 0; n < 7; ++n) {
    labels_[n][t]->setText(texts[n]);
    // The scale and bias read-outs stand beside their captions in the window's colours.
    // A style sheet is set only when it changes: setting one restyles the label.
    if (n != 2 && n != 3 && labels_[n][t]->styleSheet() != style) labels_[n][t]->setStyleSheet(style);
  }
}

void ScopeWindow::Update_Data_Window() {
  picTrend_->clearPicture();
  DrawScChannel(0);
  DrawScChannel(1);
  const TraceSettings t = traces();
  for (int i = 0; i < 2; ++i) writeLabels(i, LabelsFor(src_, t[std::size_t(i)]));
  // A redraw leaves no cursor and no level lines: the next movement draws them afresh.
  trendArea_->showWindow();
}

void ScopeWindow::Update_Full_Data() {
  picFull_->clearPicture();
  if (!src_.loaded()) return;
  const int c = src_.view().OverviewChannel;
  if (c < 0 || c >= common::kChannelCount) return;
  const auto& cs = src_.config().channel[std::size_t(c)];
  trend::OverviewRequest rq;
  rq.scale = picFull_->scale();
  rq.twipsPerPixel = picFull_->twipsPerPixel();
  rq.sampleCount = src_.store().SampleCount;
  rq.windowStart = src_.view().WindowStart;
  rq.windowEnd = src_.view().WindowEnd;
  rq.yScale = src_.view().YScale[std::size_t(c)];
  rq.inverted = cs.Min > cs.Max;
  rq.fixedStep = OverviewStep(src_.store().SampleCount);
  const trend::SeriesView raw{src_.store().columnData(0) + c, nullptr, logdata::kSampleRows, src_.store().columns()};
  picFull_->drawOverview(trend::ComputeOverview(rq, raw));
}

void ScopeWindow::DrawScaler(int ruler) {
  if (ruler != 1 && ruler != 2) return;
  const auto k = std::size_t(ruler - 1);
  RulerBox* box = mitta_[k];
  if (!box->isVisible()) {
    box->setRuler({}, QColor());
    return;
  }
  const TraceSetting t = traces()[k];
  const TraceLabels l = LabelsFor(src_, t);
  box->setRuler(ComputeRuler(l.bottomValue, l.topValue, picTrend_->scale().height),
                common::ColourFromBgr(src_.view().Colours[std::size_t(t.channel - 1)]));
}

void ScopeWindow::redrawAll() {
  trendArea_->redrawOnActivation(src_.loaded());
  DrawScaler(1);
  DrawScaler(2);
}

// Another window may have moved the shared view: activation shows where it is now.
void ScopeWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) redrawAll();
}

void ScopeWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  redrawAll();
}

// ---------------------------------------------------------------- navigation and cursor

void ScopeWindow::logReplaced() {
  chpos1_->clear();
  for (QLineEdit* box : chval_) box->clear();
  trendArea_->showMarkers(std::nullopt, std::nullopt);
  redrawAll();
}

void ScopeWindow::onTrendMove(double x) {
  if (!src_.loaded()) return;  // no log, nothing to point at
  const ScopeReadout r = ScopeCursorMove(src_, traces(), picTrend_->scale(), x, showLevel_->isChecked());
  chpos1_->setText(r.position);
  if (r.valuesValid)
    for (std::size_t t = 0; t < 2; ++t) chval_[t]->setText(r.values[t]);
  picTrend_->setCursorLine(r.cursorX);
  picTrend_->setLevelLines(r.levelLines);
}

void ScopeWindow::onTrendPress(double x) {
  PressMarker(owner_.marker, src_.loaded(), x, picTrend_->scale().width, chpos1_->text(),
              {chval_[0]->text(), chval_[1]->text()}, owner_.prompt());
}

void ScopeWindow::onCapture() {
  const QString path = QDir(owner_.programDir()).filePath(QStringLiteral("cap/init.txt"));
  QString error;
  if (!AppendScopeCapture(src_, path, &error))
    owner_.prompt().message(common::msg::kTitleError, common::msg::FileNotWritten(path),
                            common::PromptIcon::Exclamation);
}

void ScopeWindow::onShowLevel(bool on) {
  // Switching the lines off takes the pair off the picture at once.
  if (!on) picTrend_->setLevelLines({});
}

// ---------------------------------------------------------------- print

// A printout needs a log like every other command that works on one. A cancelled or
// failed print keeps the marker for the next attempt; only a printed page uses it up.
void ScopeWindow::onPrint() {
  if (!src_.loaded()) {
    owner_.prompt().message(common::msg::kTitleStatus, common::msg::kFileNotLoaded, common::PromptIcon::Exclamation);
    return;
  }
  const TraceSettings t = traces();
  const PrintOutcome outcome =
      PrintPageTo(owner_.defaultPrinter(), QDir(owner_.programDir()).filePath(QStringLiteral("cap")), owner_.prompt(),
                  [&](double w, double h) { return ComposePage(src_, t, owner_.marker, w, h); });
  if (outcome == PrintOutcome::Printed) owner_.marker.set = false;
  Update_Full_Data();
  Update_Data_Window();
  DrawScaler(1);
  DrawScaler(2);
}

}  // namespace scope
