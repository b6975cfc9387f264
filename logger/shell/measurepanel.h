#pragma once
// The row under the trend that shows what session::Measure() gives for the markers A
// and B; hidden until a marker is set.
#include "logger/session/measure.h"

#include <QFrame>

class QLabel;
class QPushButton;
class QTableWidget;

namespace shell {

class MeasurePanel : public QFrame {
  Q_OBJECT
 public:
  explicit MeasurePanel(QWidget* parent = nullptr);
  void showMeasurement(const session::Measurement& m);

 signals:
  void zoomRequested();  // "Zoom to A–B"

 private:
  QLabel* places_ = nullptr;
  QPushButton* zoom_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace shell
