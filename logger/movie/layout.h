#pragma once
// The movie canvas and its elements: where each bar, scale and label lies, in twips,
// and each channel's scale range and number format.
//
// The canvas counts 15 twips per pixel whatever the screen, so a setup file looks the
// same on every machine and the rendered frames do not depend on the display.
#include <QPoint>
#include <QString>
#include <array>

namespace movie {

constexpr int kTwipsPerPixel = 15;
constexpr int kCanvasWidth = 720;   // px
constexpr int kCanvasHeight = 540;  // px
constexpr int kChannels = 12;

constexpr qint32 Twips(int px) { return qint32(px) * kTwipsPerPixel; }

// The seven elements of each channel, then the three time labels, in painting order
// of each group.
enum class Kind { Bar, Mitta, HorBar, Vaakamitta, CHLabel, ChUnit, ChValue, TimeLabel, Time, TimeUnit };
constexpr int kChannelKinds = 7;
constexpr std::array<Kind, kChannelKinds> kChannelElementKinds = {
    Kind::Bar, Kind::Mitta, Kind::HorBar, Kind::Vaakamitta, Kind::CHLabel, Kind::ChUnit, Kind::ChValue};
constexpr std::array<Kind, 3> kTimeKinds = {Kind::TimeLabel, Kind::Time, Kind::TimeUnit};

bool IsPicture(Kind kind);  // Bar, Mitta, HorBar, Vaakamitta; the others are labels
bool IsTimeLabel(Kind kind);

struct ElementId {
  Kind kind = Kind::Bar;
  int channel = 0;  // 1..12; 0 for the time labels
  bool operator==(const ElementId&) const = default;
};

// "Bar_3", "mitta_12", "TimeLabel".
QString ObjectName(ElementId id);

// Top-left corner in the palette beside and below the canvas, px.
QPoint PaletteSpot(Kind kind);

struct Element {
  qint32 left = 0;  // twips
  qint32 top = 0;
  // Pictures only; a label's size follows its text (canvas.h).
  qint32 width = 0;
  qint32 height = 0;
  bool visible = true;
  bool operator==(const Element&) const = default;
};

struct ChannelSetup {
  float ScaleMin = 0;
  float ScaleMax = 1;
  float PendingMin = 0;  // accepted with Enter in MIN, applied when the box is left
  float PendingMax = 1;
  QString ValueFormat = QStringLiteral("##.##");
  bool operator==(const ChannelSetup&) const = default;
};

struct MovieLayout {
  // Every element at its palette spot with its design size, visible; default scales.
  MovieLayout();

  std::array<std::array<Element, kChannelKinds>, kChannels> channel;  // [c - 1][kind]
  std::array<Element, 3> time;                                      // TimeLabel, Time, TimeUnit
  std::array<ChannelSetup, kChannels> setup;                          // [c - 1]

  Element& at(ElementId id);
  const Element& at(ElementId id) const;
  bool operator==(const MovieLayout&) const = default;
};

// Choosing a channel hides the parked elements of the others: those whose left lies
// beyond 720 px (horizontal bars and scales: whose top lies beyond 540 px).
bool Parked(Kind kind, const Element& e);
// Loading a setup shows the elements that start on the canvas: left below 720 px
// (horizontal bars and scales: top below 540 px). An element at exactly 720 px is
// neither; it keeps what it had.
bool OnCanvas(Kind kind, const Element& e);

}  // namespace movie
