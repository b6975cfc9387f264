#include "logger/trend/ui/trendarea.h"

#include "common/ui/colour.h"
#include "logger/trend/ui/controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

  connect(picture_, &PictureBox::mouseMoved, this, [this](double x, double, Qt::MouseButtons) {
    if (calls_.moveCursor) calls_.moveCursor(x);
  });
  connect(picture_, &PictureBox::mousePressed, this, [this](double x, double, Qt::MouseButton b) {
    if (calls_.press) calls_.press(x, b);
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

void TrendArea::onKey(int key, const QString& text) {
  if (key == Qt::Key_Right || key == Qt::Key_Left) {
    if (calls_.moveCursor)
      calls_.moveCursor(ArrowKeyX(picture_->drawingX(), picture_->scale().width, key == Qt::Key_Right ? 1 : -1));
  } else if ((text == QLatin1String("p") || text == QLatin1String("P")) && calls_.capture) {
    calls_.capture();
  }
}

}  // namespace trend
