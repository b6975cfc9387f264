#pragma once
// The calibration calculator on the meter window: four reference boxes, the computed
// range, and the channel it is stored into. Hidden until "Ca&lculator" shows it.
#include "common/channelconfig.h"
#include "common/prompt.h"
#include "meter/calculator.h"

#include <QFrame>
#include <optional>

class QComboBox;
class QLineEdit;

namespace meter {

class CalculatorPanel : public QFrame {
  Q_OBJECT
 public:
  // Stores into `config`, the meter's current configuration.
  CalculatorPanel(common::ChannelConfiguration& config, common::Prompt& prompt, QWidget* parent = nullptr);

  // "Ca&lculator": a shown panel hides, a hidden one shows; either way the target
  // channel goes back to "1".
  void toggle();
  bool shown() const { return shown_; }

 signals:
  // A range went into the configuration; no file holds it yet.
  void rangeStored();

 private:
  void calculate();
  void showRange();
  void store();

  common::ChannelConfiguration& config_;
  common::Prompt& prompt_;
  bool shown_ = false;
  // The last usable slope: the range follows the target channel's full scale, so a
  // change of StoreCh shows it anew.
  std::optional<Slope> slope_;
  QLineEdit* measMin_;
  QLineEdit* measMax_;
  QLineEdit* realMin_;
  QLineEdit* realMax_;
  QLineEdit* configMin_;
  QLineEdit* configMax_;
  QComboBox* storeCh_;
};

}  // namespace meter
