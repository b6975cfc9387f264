#pragma once
// scTrend1, "Scope": two channels of the log over the shared view window, each with its
// own scale and bias bars and ruler; navigation, cursor, level lines, print marker and
// the printout. The arithmetic is in scopeview.h and scopeprint.h.
#include "logger/scope/scopeview.h"
#include "logger/trend/navigation.h"

#include <QColor>
#include <QMainWindow>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace trend {
class PictureBox;
class TrendArea;
}

namespace scope {

class ScopeWindows;

// mitta: a ruler as tall as the scope picture, ticks from its left edge.
class RulerBox : public QWidget {
  Q_OBJECT
 public:
  explicit RulerBox(QWidget* parent = nullptr);
  double twipsPerPixel() const;
  double heightTwips() const { return height() * twipsPerPixel(); }
  void setRuler(const Ruler& ruler, QColor colour);
  const Ruler& ruler() const { return ruler_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Ruler ruler_;
  QColor colour_;
};

class ScopeWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit ScopeWindow(ScopeWindows& owner, QWidget* parent = nullptr);

  // ---- The scope's own bodies of the trend's procedures ----
  void Update_Data_Window();
  void Update_Full_Data();
  // Ruler 1 or 2.
  void DrawScaler(int ruler);
  // Trace 0 or 1 into the picture; nothing when its channel is not shown.
  void DrawScChannel(int trace);

  // A log was loaded or deleted: the cursor read-outs go, the pictures show what is there now.
  void logReplaced();

  TraceSettings traces() const;
  trend::PictureBox* picture() const { return picTrend_; }

 protected:
  void changeEvent(QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void buildControls();
  void redrawAll();
  void onTrendMove(double x);
  void onTrendPress(double x);
  void onCapture();
  void onShowLevel(bool on);
  void onPrint();
  void writeLabels(int trace, const TraceLabels& labels);

  ScopeWindows& owner_;
  session::LogSession& src_;

  trend::TrendArea* trendArea_ = nullptr;
  trend::PictureBox* picTrend_ = nullptr;
  trend::PictureBox* picFull_ = nullptr;
  std::array<QComboBox*, 2> scopeCh_{};
  std::array<QScrollBar*, 2> scale_{};
  std::array<QScrollBar*, 2> bias_{};
  std::array<RulerBox*, 2> mitta_{};
  // Label1 .. Label7 of each trace, [label number - 1][trace].
  std::array<std::array<QLabel*, 2>, 7> labels_{};
  std::array<QLineEdit*, 2> chval_{};
  QLineEdit* chpos1_ = nullptr;
  QCheckBox* showLevel_ = nullptr;
};

}  // namespace scope
