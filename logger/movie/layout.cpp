#include "logger/movie/layout.h"

namespace movie {

namespace {

bool Horizontal(Kind kind) { return kind == Kind::HorBar || kind == Kind::Vaakamitta; }

// Design sizes in px; labels take the size of their text.
QPoint DesignSize(Kind kind) {
  switch (kind) {
    case Kind::Bar: return {17, 267};
    case Kind::Mitta: return {20, 267};
    case Kind::HorBar: return {377, 10};
    case Kind::Vaakamitta: return {377, 9};
    default: return {0, 0};
  }
}

}  // namespace

bool IsPicture(Kind kind) {
  return kind == Kind::Bar || kind == Kind::Mitta || kind == Kind::HorBar || kind == Kind::Vaakamitta;
}

bool IsTimeLabel(Kind kind) { return kind == Kind::TimeLabel || kind == Kind::Time || kind == Kind::TimeUnit; }

QString ObjectName(ElementId id) {
  static const char* const kNames[] = {"Bar",     "mitta",   "HorBar",    "Vaakamitta", "CHLabel",
                                       "ChUnit",  "ChValue", "TimeLabel", "Time",       "TimeUnit"};
  const QString base = QString::fromLatin1(kNames[int(id.kind)]);
  return IsTimeLabel(id.kind) ? base : base + QLatin1Char('_') + QString::number(id.channel);
}

QPoint PaletteSpot(Kind kind) {
  switch (kind) {
    case Kind::Bar: return {728, 112};
    case Kind::Mitta: return {759, 112};
    case Kind::HorBar: return {8, 560};
    case Kind::Vaakamitta: return {8, 545};
    case Kind::CHLabel: return {728, 380};
    case Kind::ChUnit: return {728, 412};
    case Kind::ChValue: return {728, 444};
    case Kind::TimeLabel: return {728, 476};
    case Kind::Time: return {728, 508};
    case Kind::TimeUnit: return {728, 540};
  }
  return {};
}

MovieLayout::MovieLayout() {
  auto init = [](Element& e, Kind kind) {
    const QPoint spot = PaletteSpot(kind);
    const QPoint size = DesignSize(kind);
    e.left = Twips(spot.x());
    e.top = Twips(spot.y());
    e.width = Twips(size.x());
    e.height = Twips(size.y());
  };
  for (auto& ch : channel)
    for (int k = 0; k < kChannelKinds; ++k) init(ch[std::size_t(k)], kChannelElementKinds[std::size_t(k)]);
  for (int k = 0; k < 3; ++k) init(time[std::size_t(k)], kTimeKinds[std::size_t(k)]);
}

Element& MovieLayout::at(ElementId id) {
  if (IsTimeLabel(id.kind)) return time[std::size_t(int(id.kind) - int(Kind::TimeLabel))];
  return channel[std::size_t(id.channel - 1)][std::size_t(int(id.kind))];
}

const Element& MovieLayout::at(ElementId id) const { return const_cast<MovieLayout*>(this)->at(id); }

bool Parked(Kind kind, const Element& e) {
  return Horizontal(kind) ? e.top > Twips(kCanvasHeight) : e.left > Twips(kCanvasWidth);
}

bool OnCanvas(Kind kind, const Element& e) {
  return Horizontal(kind) ? e.top < Twips(kCanvasHeight) : e.left < Twips(kCanvasWidth);
}

}  // namespace movie
