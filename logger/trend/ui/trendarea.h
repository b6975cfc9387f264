#pragma once
// The part every trend window has: the trend picture, the overview strip between its
// step buttons, the window boxes and the navigation buttons. It answers the buttons,
// the strip's gestures and the picture's keys with the navigation rules on the shared
// view, and calls back its window for what only the window knows: its traces, its
// overview, its cursor read-outs, a press on the picture and the capture key. The
// window lays the rows out among its own controls.
#include "logger/logdata/samplestore.h"
#include "logger/trend/navigation.h"
#include "logger/trend/ui/picturebox.h"

#include <QObject>
#include <array>
#include <functional>
#include <optional>
#include <utility>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace trend {

class TrendArea : public QObject {
  Q_OBJECT
 public:
  struct Style {
    int stripHeight = 64;
    int boxWidth = 80;
    bool captions = true;         // "Start", "End", "Length" before the boxes
    QString zoomBackCaption;      // the Zoom_Back button's caption
  };
  struct Calls {
    std::function<void()> drawTrend;     // the window's Update_Data_Window
    std::function<void()> drawOverview;  // the window's Update_Full_Data
    std::function<void(double x)> moveCursor;
    std::function<void(double x, Qt::MouseButton button)> press;
    std::function<void()> capture;       // "p" or "P"
    // Marker A (0) or B (1) at a sample: "a" and "b" at the cursor, Ctrl+left click at
    // the pointer.
    std::function<void(int marker, qint32 sample)> mark;
  };

  TrendArea(ViewState& view, const logdata::SampleStore& store, QWidget* parent, const Style& style, Calls calls);

  PictureBox* picture() const { return picture_; }
  PictureBox* strip() const { return strip_; }
  QHBoxLayout* stripRow() const { return stripRow_; }
  QHBoxLayout* navigationRow() const { return navRow_; }
  QLineEdit* endBox() const { return endBox_; }

  // After the window drew its traces: the window boxes show the view, and the cursor
  // (drawn for another window) is gone.
  void showWindow();
  void redraw(Redraw what);
  // Activated: both pictures again, as another window may have moved the shared view.
  // The window manager tells of the activation after the click that caused it, so a
  // cursor that click has just put down stays, unless the window has moved meanwhile.
  void redrawOnActivation(bool keepCursor);
  // The measurement markers as lines labelled "A" and "B" where they lie in the window.
  void showMarkers(std::optional<qint32> a, std::optional<qint32> b);

 private:
  void onNavigationButton(const QString& name);
  void onKey(int key, const QString& text, Qt::KeyboardModifiers modifiers);
  void onPress(double x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void onMove(double x, Qt::MouseButtons buttons);

  ViewState& view_;
  const logdata::SampleStore& store_;
  Calls calls_;
  PictureBox* picture_ = nullptr;
  PictureBox* strip_ = nullptr;
  QHBoxLayout* stripRow_ = nullptr;
  QHBoxLayout* navRow_ = nullptr;
  QLineEdit* startBox_ = nullptr;   // Text5
  QLineEdit* endBox_ = nullptr;     // Text6
  QLineEdit* lengthBox_ = nullptr;  // window
  QPushButton* sampSec_ = nullptr;
  std::pair<qint32, qint32> drawnWindow_{-1, -1};
  // A middle-button drag: where it began and the window start then.
  std::optional<std::pair<double, qint32>> pan_;
  std::array<std::optional<qint32>, 2> markers_{};
};

}  // namespace trend
