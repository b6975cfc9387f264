#pragma once
// "Communication settings" (Dialog1): the port number 0 to 4 and, on this system, the
// device path each number stands for. OK opens the chosen port at once and writes the
// settings file and the port map; a port that cannot be opened keeps the dialog open.
#include "common/portcontrol.h"
#include "common/prompt.h"
#include "common/settings.h"

#include <QDialog>

class QComboBox;

namespace common {

class CommDialog : public QDialog {
  Q_OBJECT
 public:
  // The logger writes all settings records; the meter only its first four.
  enum class Writer { Logger, Meter };

  CommDialog(PortControl& port, Settings& settings, QString settingsPath, Prompt& prompt,
             Writer writer = Writer::Logger, QWidget* parent = nullptr);

  // "0   (no port)", "1   /dev/ttyUSB0", ...: the number leads, the path follows.
  static QString ItemText(int number, const QString& path);

 private:
  void onPortChosen(int index);
  void onPathEdited(const QString& path);
  void onOk();
  void refreshItems();

  PortControl& port_;
  Settings& settings_;
  QString settingsPath_;
  Prompt& prompt_;
  Writer writer_;
  PortMap map_;  // edited copy; becomes the port's map on a successful OK
  QComboBox* comport_;
  QComboBox* path_;
};

}  // namespace common
