#pragma once
// The movie layout being edited: choosing a channel, dropping elements, the scale range
// and number format boxes, and applying a loaded setup. Every operation changes the
// scene; the window repaints it and places its element handles from it.
#include "logger/movie/canvas.h"
#include "logger/movie/frame.h"

#include <QPoint>
#include <QString>

namespace common {
class Prompt;
}

namespace movie {

class MovieEditor {
 public:
  // Opening: default scales and formats, every channel chosen in turn (channel 12
  // stays chosen), black backgrounds, names, units and values at sample `start`.
  MovieEditor(const MovieSource& source, qint32 start);

  Scene& scene() { return scene_; }
  const Scene& scene() const { return scene_; }
  MovieLayout& layout() { return scene_.layout; }
  int selected() const { return selected_; }
  qint32 start() const { return start_; }

  // `Channel` click: hides the parked elements of every channel, shows the seven of
  // channel k wherever they are, and redraws k's two scales.
  void chooseChannel(int k);

  // A drop on the window at `at` (twips) of an element grabbed `grab` twips inside its
  // corner. Beyond 720 px right or 540 px down the element is parked in the palette
  // (hidden unless it belongs to the chosen channel or is a time label); otherwise it
  // is placed, all scales are redrawn and it moves. True when placed.
  bool drop(ElementId id, QPoint grab, QPoint at);

  void drawScales(int c);
  void drawAllScales();

  // MAX and MIN of the chosen channel. Enter accepts a number as pending (a message
  // for anything else, and for a number beyond the float range, which would be kept as
  // an infinity no setup file can hold) and returns the text the box shows; leaving
  // the box applies the pending value and returns its text.
  enum class Bound { Max, Min };
  QString enterBound(Bound bound, const QString& text, common::Prompt& prompt);
  QString leaveBound(Bound bound);
  QString boundText(Bound bound) const;

  // `Forma`: every change is the chosen channel's format.
  void setFormat(const QString& format);
  QString format() const;
  // Releasing any key but these clears `Forma` (Qt key codes: "#" and the 3 key that
  // gives it with Shift, 0, the point and Shift).
  static bool KeyKeepsFormat(int qtKey);

  // A setup read from a file: positions, scales and formats. Elements that start on
  // the canvas are shown with the size a drop there gives, the others get their
  // palette size; the value captions are shown again in each channel's own format,
  // and all scales are redrawn.
  void applySetup(const MovieLayout& read);

  // Captions and scales as "Make Movie" wants them before the first frame.
  void prepareMovie();

 private:
  void park(ElementId id);
  void sizeForCanvas(ElementId id);
  void showValuesAtStart();

  MovieSource source_;
  qint32 start_;
  Scene scene_;
  int selected_ = 1;
};

// A 32-bit scale value as a text box shows it: the shortest text that reads back as
// the same float ("0.1", not 0.100000001490116).
QString FloatText(float value);

}  // namespace movie
