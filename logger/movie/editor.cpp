#include "logger/movie/editor.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"
#include "logger/movie/messages.h"
#include "logger/trend/cursor.h"

#include <QtGlobal>
#include <charconv>
#include <cmath>

namespace movie {

namespace {

bool Horizontal(Kind kind) { return kind == Kind::HorBar || kind == Kind::Vaakamitta; }

}  // namespace

QString FloatText(float value) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return common::NumberToText(QByteArray(buf, int(r.ptr - buf)).toDouble());
}

MovieEditor::MovieEditor(const MovieSource& source, qint32 start) : source_(source), start_(start) {
  for (int c = 1; c <= kChannels; ++c) chooseChannel(c);
  scene_.background = kBlack;
  // Opening shows every value in the default format, which every channel has now.
  showValuesAtStart();
}

// The log may have been replaced by a shorter one since the window opened: the read
// stays within it. The bars show the sample too, so that a layout is judged by what
// its first frame will show.
void MovieEditor::showValuesAtStart() {
  const qint32 k = trend::ReadableSample(source_.store, start_);
  ShowValues(scene_, source_, k, true);
  ShowDerived(scene_, source_, k, true);
}

void MovieEditor::chooseChannel(int k) {
  for (int c = 1; c <= kChannels; ++c)
    for (Kind kind : kChannelElementKinds) {
      Element& e = scene_.layout.at({kind, c});
      if (Parked(kind, e)) e.visible = false;
    }
  for (Kind kind : kChannelElementKinds) scene_.layout.at({kind, k}).visible = true;
  selected_ = k;
  drawScales(k);
}

void MovieEditor::park(ElementId id) {
  Element& e = scene_.layout.at(id);
  const QPoint spot = PaletteSpot(id.kind);
  e.left = Twips(spot.x());
  e.top = Twips(spot.y());
  if (Horizontal(id.kind)) e.height = Twips(9);
  if (id.kind == Kind::Mitta) e.width = Twips(20);
}

void MovieEditor::sizeForCanvas(ElementId id) {
  Element& e = scene_.layout.at(id);
  if (id.kind == Kind::Vaakamitta) e.height = Twips(22);
  if (id.kind == Kind::HorBar) e.height = Twips(20);
}

bool MovieEditor::drop(ElementId id, QPoint grab, QPoint at) {
  Element& e = scene_.layout.at(id);
  e.visible = true;
  if (at.x() > Twips(kCanvasWidth) || at.y() > Twips(kCanvasHeight)) {
    park(id);
    if (!IsTimeLabel(id.kind) && id.channel != selected_) e.visible = false;
    return false;
  }
  sizeForCanvas(id);
  // The scales are redrawn before the element moves: a scale just dropped keeps its
  // drop size until the next redraw.
  drawAllScales();
  e.left = at.x() - grab.x();
  e.top = at.y() - grab.y();
  return true;
}

void MovieEditor::drawScales(int c) {
  const std::size_t i = std::size_t(c - 1);
  const QChar point = common::LocaleDecimalSeparator();
  scene_.vertical[i] = DrawScaler(scene_.layout, c, point);
  scene_.horizontal[i] = DrawHoriScaler(scene_.layout, c, point);
  scene_.name[i] = source_.config.channel[i].Name;
  scene_.unit[i] = source_.config.channel[i].Unit;
  // Channels 5 and 6 keep the names of what they show while "Speed / Alt" is ticked.
  ShowDerived(scene_, source_, trend::ReadableSample(source_.store, start_), false);
}

void MovieEditor::drawAllScales() {
  for (int c = 1; c <= kChannels; ++c) drawScales(c);
}

QString MovieEditor::enterBound(Bound bound, const QString& text, common::Prompt& prompt) {
  ChannelSetup& s = scene_.layout.setup[std::size_t(selected_ - 1)];
  const bool max = bound == Bound::Max;
  float& pending = max ? s.PendingMax : s.PendingMin;
  QString refusal = max ? msg::kNonNumericMax : msg::kNonNumericMin;
  if (common::IsNumericInput(text)) {
    const float value = float(common::TextToNumber(text));
    if (std::isfinite(value)) {
      pending = value;
      return text;
    }
    refusal = msg::BoundTooLarge(max ? msg::kMax : msg::kMin);
  }
  prompt.message(common::msg::kTitleErrorBang, refusal, common::PromptIcon::Exclamation);
  return FloatText(pending);
}

QString MovieEditor::leaveBound(Bound bound) {
  ChannelSetup& s = scene_.layout.setup[std::size_t(selected_ - 1)];
  if (bound == Bound::Max)
    s.ScaleMax = s.PendingMax;
  else
    s.ScaleMin = s.PendingMin;
  return boundText(bound);
}

QString MovieEditor::boundText(Bound bound) const {
  const ChannelSetup& s = scene_.layout.setup[std::size_t(selected_ - 1)];
  return FloatText(bound == Bound::Max ? s.ScaleMax : s.ScaleMin);
}

void MovieEditor::setFormat(const QString& format) { scene_.layout.setup[std::size_t(selected_ - 1)].ValueFormat = format; }

QString MovieEditor::format() const { return scene_.layout.setup[std::size_t(selected_ - 1)].ValueFormat; }

bool MovieEditor::KeyKeepsFormat(int key) {
  return key == Qt::Key_3 || key == Qt::Key_NumberSign || key == Qt::Key_0 || key == Qt::Key_Period ||
         key == Qt::Key_Shift;
}

void MovieEditor::applySetup(const MovieLayout& read) {
  for (int c = 1; c <= kChannels; ++c) {
    auto& setup = scene_.layout.setup[std::size_t(c - 1)];
    setup = read.setup[std::size_t(c - 1)];
    setup.PendingMin = float(common::TextToNumber(common::NumberToText(setup.ScaleMin)));
    setup.PendingMax = float(common::TextToNumber(common::NumberToText(setup.ScaleMax)));
  }
  auto place = [&](ElementId id) {
    Element& e = scene_.layout.at(id);
    const Element& r = read.at(id);
    e.left = r.left;
    e.top = r.top;
    // The file keeps no size for the horizontal bars and scales: an element on the
    // canvas gets the size a drop there gives, so a loaded setup looks as it did when
    // it was saved; one in the palette gets its palette size.
    if (OnCanvas(id.kind, e)) {
      e.visible = true;
      sizeForCanvas(id);
    } else if (IsPicture(id.kind)) {
      if (Horizontal(id.kind)) e.height = Twips(9);
      if (id.kind == Kind::Mitta) e.width = Twips(20);
    }
  };
  for (int c = 1; c <= kChannels; ++c)
    for (Kind kind : kChannelElementKinds) place({kind, c});
  for (Kind kind : kTimeKinds) place({kind, 0});
  showValuesAtStart();
  drawAllScales();
}

void MovieEditor::prepareMovie() {
  scene_.background = kCanvasBlue;
  drawAllScales();
}

}  // namespace movie
