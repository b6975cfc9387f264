#pragma once
// SpeedComp, "Speed Pressure Compensation": where the airspeed's reference pressure
// comes from. Opens with "from current sample" chosen whatever was chosen before.
#include "logger/derived/speedalt.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace derived {

class SpeedCompDialog : public QDialog {
  Q_OBJECT
 public:
  // Opening sets state.Mode to kFromSample; the option buttons set it while the
  // dialog is open; "OK" sets state.UserPressure from the Press box. Closing the
  // dialog any other way (the window's close button, Escape) keeps the user pressure
  // it had and the mode chosen so far: the user changed the mode on purpose, and a
  // pressure typed but not confirmed is dropped.
  explicit SpeedCompDialog(Compensation& state, QWidget* parent = nullptr);

 private:
  void choose(std::uint8_t mode);
  void onOk();

  Compensation& state_;
  QLineEdit* press_ = nullptr;
};

}  // namespace derived
