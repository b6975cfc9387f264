#include "logger/trend/ui/trendarea.h"

#include "common/ui/colour.h"
#include "logger/trend/gestures.h"
#include "logger/trend/ui/controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace trend {

TrendArea::TrendArea(ViewState& view, const logdata::SampleStore& store, QWidget* parent, const Style& style,
                     Calls calls)
    : QObject(parent), view_(view), store_(store), calls_(std::move(calls)) {
  picture_ = Named(new PictureBox(common::ColourFromBgr(common::kDarkGround), parent), QStringLiteral("picTrend"));
  picture_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  const OverviewRow row = MakeOverviewRow(parent, style.stripHeight);
  strip_ = row.strip;
  stripRow_ = row.row;

  navRow_ = new QHBoxLayout;
  startBox_ = Box(QStringLiteral("Text5"), style.boxWidth, parent);
  endBox_ = Box(QStringLiteral("Text6"), style.boxWidth, parent);
  lengthBox_ = Box(QStringLiteral("window"), style.boxWidth, parent);
  startBox_->setText(QStringLiteral("0"));
  endBox_->setText(QStringLiteral("100"));
  const std::pair<const char*, QLineEdit*> boxes[] = {{"Start", startBox_}, {"End", endBox_}, {"Length", lengthBox_}};
  for (auto [caption, box] : boxes) {
    if (style.captions) navRow_->addWidget(new QLabel(QLatin1String(caption), parent));
    navRow_->addWidget(box);
  }
  if (style.captions) navRow_->addSpacing(8);
  std::vector<QPushButton*> buttons{row.back, row.ahead};
  const std::pair<const char*, const char*> lengthButtons[] = {
      {"LenMinus5", "- -"}, {"LenMinus1", "-"}, {"LenPlus1", "+"}, {"LenPlus5", "+ +"}};
  for (auto [name, text] : lengthButtons) {
    auto* b = Button(QLatin1String(name), QLatin1String(text), parent);
    b->setFixedWidth(36);
    navRow_->addWidget(b);
    buttons.push_back(b);
  }
  auto* zoomBack = Button(QStringLiteral("Zoom_Back"), style.zoomBackCaption, parent);
  sampSec_ = Button(QStringLiteral("SampSec"), SampSecCaption(view_.SecondsMode), parent);
  navRow_->addWidget(zoomBack);
  navRow_->addWidget(sampSec_);
  buttons.push_back(zoomBack);
  buttons.push_back(sampSec_);
  for (QPushButton* b : buttons)
    connect(b, &QPushButton::clicked, this, [this, b] { onNavigationButton(b->objectName()); });

  connect(picture_, &PictureBox::mouseMoved, this, [this](double x, double, Qt::MouseButtons b) { onMove(x, b); });
  connect(picture_, &PictureBox::mousePressed, this,
          [this](double x, double, Qt::MouseButton b, Qt::KeyboardModifiers m) { onPress(x, b, m); });
  connect(picture_, &PictureBox::mouseReleased, this, [this](double, double, Qt::MouseButton b) {
    if (b == Qt::MiddleButton) pan_.reset();
  });
  connect(picture_, &PictureBox::wheelTurned, this, [this](double x, int delta) {
    redraw(ZoomAt(view_, x, picture_->scale().width, WheelFactor(delta), store_.SampleCount));
  });
  connect(picture_, &PictureBox::keyPressed, this, &TrendArea::onKey);
  connect(picture_, &PictureBox::resized, this, [this] { calls_.drawTrend(); });
  connect(strip_, &PictureBox::mousePressed, this, [this](double x, double, Qt::MouseButton button) {
    if (const auto b = ToTrendButton(button))
      redraw(OverviewPress(view_, *b, x, strip_->scale().width, store_.SampleCount));
  });
  // While a button is held the strip is drawn again on every move, so the red box
  // follows the pointer. Only one button held at a time counts as a drag.
  connect(strip_, &PictureBox::mouseMoved, this, [this](double x, double, Qt::MouseButtons buttons) {
    const double w = strip_->scale().width;
    if (buttons == Qt::RightButton) redraw(OverviewRightDrag(view_, x, w, store_.SampleCount));
    else if (buttons == Qt::LeftButton) redraw(OverviewLeftDrag(view_, x, w, store_.SampleCount));
  });
  connect(strip_, &PictureBox::mouseReleased, this, [this](double x, double, Qt::MouseButton button) {
    if (const auto b = ToTrendButton(button))
      redraw(OverviewRelease(view_, *b, x, strip_->scale().width, store_.SampleCount));
  });
  connect(strip_, &PictureBox::resized, this, [this] { calls_.drawOverview(); });
}

void TrendArea::showWindow() {
  const WindowTexts t = WindowBoxTexts(view_, store_.FreqCode);
  endBox_->setText(t.end);
  startBox_->setText(t.start);
  lengthBox_->setText(t.length);
  picture_->setCursorLine(std::nullopt);
  picture_->setLevelLines({});
  drawnWindow_ = {view_.WindowStart, view_.WindowEnd};
  showMarkers(markers_[0], markers_[1]);
}

void TrendArea::showMarkers(std::optional<qint32> a, std::optional<qint32> b) {
  markers_ = {a, b};
  std::vector<PictureBox::MarkerLine> lines;
  const double width = picture_->scale().width;
  for (int i = 0; i < 2; ++i) {
    const std::optional<qint32> k = markers_[std::size_t(i)];
    if (!k || *k < view_.WindowStart || *k > view_.WindowEnd) continue;
    lines.push_back({SampleX(view_, *k, width), i == 0 ? QStringLiteral("A") : QStringLiteral("B")});
  }
  picture_->setMarkerLines(std::move(lines));
}

void TrendArea::redraw(Redraw what) {
  if (what == Redraw::Overview || what == Redraw::Both) calls_.drawOverview();
  if (what == Redraw::Trend || what == Redraw::Both) calls_.drawTrend();
}

void TrendArea::redrawOnActivation(bool keepCursor) {
  // Another window may have switched the shared seconds mode.
  sampSec_->setText(SampSecCaption(view_.SecondsMode));
  const std::optional<double> cursor = picture_->cursorLine();
  const qint32 cursorX = view_.CursorX;
  const bool sameWindow = drawnWindow_ == std::pair{view_.WindowStart, view_.WindowEnd};
  calls_.drawOverview();
  calls_.drawTrend();
  if (keepCursor && cursor && sameWindow) {
    view_.CursorX = cursorX;
    picture_->setCursorLine(cursor);
  }
}

void TrendArea::onNavigationButton(const QString& name) {
  if (const auto r = NavigationButton(view_, name, store_.SampleCount)) {
    redraw(*r);
  } else if (name == QLatin1String("SampSec")) {
    sampSec_->setText(ToggleSeconds(view_));
    calls_.drawTrend();
  }
}

// The middle button drags the log; the others keep their meaning in the window.
void TrendArea::onPress(double x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button == Qt::LeftButton && (modifiers & Qt::ControlModifier)) {
    if (calls_.mark) calls_.mark(1, RoundSample(TrendPosition(view_, x, picture_->scale().width)));
    return;
  }
  if (button == Qt::MiddleButton) {
    RememberView(view_);
    pan_ = std::pair{x, view_.WindowStart};
    return;
  }
  if (calls_.press) calls_.press(x, button);
}

void TrendArea::onMove(double x, Qt::MouseButtons buttons) {
  if (pan_ && (buttons & Qt::MiddleButton)) {
    redraw(PanTo(view_, pan_->second, pan_->first, x, picture_->scale().width, store_.SampleCount));
    return;
  }
  pan_.reset();
  if (calls_.moveCursor) calls_.moveCursor(x);
}

void TrendArea::onKey(int key, const QString& text, Qt::KeyboardModifiers modifiers) {
  const double width = picture_->scale().width;
  if (key == Qt::Key_Right || key == Qt::Key_Left) {
    if (!calls_.moveCursor) return;
    const int direction = key == Qt::Key_Right ? 1 : -1;
    // Shift: one whole sample; alone: one twip from where the picture last drew.
    calls_.moveCursor(modifiers & Qt::ShiftModifier
                          ? std::clamp(SampleX(view_, view_.CursorSample + direction, width), 0.0, width)
                          : ArrowKeyX(picture_->drawingX(), width, direction));
  } else if ((text == QLatin1String("p") || text == QLatin1String("P")) && calls_.capture) {
    calls_.capture();
  } else if ((text == QLatin1String("a") || text == QLatin1String("b")) && calls_.mark) {
    calls_.mark(text == QLatin1String("a") ? 0 : 1, view_.CursorSample);
  } else if (const auto r = NavigationKey(view_, key, text, width, store_.SampleCount)) {
    redraw(*r);
  }
}

}  // namespace trend
