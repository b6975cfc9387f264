#pragma once
// The configuration editor "Config", shared by the logger and the meter. It edits the
// owner's current channel configuration and compensation constants in place and talks
// to its owner only through ConfigEditorHost.
#include "common/channelconfig.h"

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace common {

class Prompt;

class ConfigEditorHost {
 public:
  virtual ~ConfigEditorHost() = default;
  // Names and units into the owner's labels.
  virtual void refreshLabels() = 0;
  virtual void setTitle(const QString& title) = 0;
  // The owner's file-dialog file name (the logger: the log last opened or saved): part A
  // of the title.
  virtual QString fileDialogName() const = 0;
  // 0x00BBGGRR colour of channel index 0..11.
  virtual qint32 channelColour(int index) const = 0;

  // Logger only: the text of the channel panel's window-height box of channel index.
  virtual QString windowHeightText(int /*index*/) const { return {}; }
  // Logger only: after a Load the panel's window-height boxes and the numeric heights
  // take the configuration's WinHight values.
  virtual void applyWindowHeights() {}
  // Logger only: Save as gives the current log the configuration's number.
  virtual void setLogConfigNumber(qint32 /*number*/) {}
  // Meter only: the serial number of the connected logger from the last live frame.
  virtual qint32 deviceSerialNumber() const { return 0; }
};

// Where the meter's editor differs from the logger's.
struct ConfigEditorVariant {
  bool meter = false;
  // Compensation rows as indices into the nine constants (TMPREF, TMPREFB, TMPK2 ...).
  std::vector<int> compensationRows;
  bool serviceFieldsAlwaysHidden = false;
  bool windowHeightsFromPanel = true;
  bool saveCopiesServiceFields = true;  // compensation and serial boxes into the configuration
  bool serialFromDevice = false;        // record 71 holds deviceSerialNumber()

  static ConfigEditorVariant Logger();
  static ConfigEditorVariant Meter();
};

class ConfigEditor : public QDialog {
  Q_OBJECT

 public:
  // `serviceMode`: the logger's service flag when the editor opens.
  ConfigEditor(ChannelConfiguration& config, CompensationConstants& compensation, ConfigEditorHost& host,
               Prompt& prompt, const QString& programDir, bool serviceMode,
               const ConfigEditorVariant& variant = ConfigEditorVariant::Logger(), QWidget* parent = nullptr);

  // A configuration path as the title shows it: without program dir + "/cfg/".
  QString configDisplayName(const QString& path) const;

 private slots:
  void saveAs();
  void load();

 private:
  void buildForm();
  void fillForm();  // the opening steps; also after a Load
  void showServiceFields(bool shown);
  QString cfgDir() const;

  ChannelConfiguration& config_;
  CompensationConstants& compensation_;
  ConfigEditorHost& host_;
  Prompt& prompt_;
  QString programDir_;
  bool serviceMode_;
  ConfigEditorVariant variant_;

  std::array<QLabel*, kChannelCount> rowLabel_{};
  std::array<QLineEdit*, kChannelCount> name_{};
  std::array<QLineEdit*, kChannelCount> min_{};
  std::array<QLineEdit*, kChannelCount> max_{};
  std::array<QLineEdit*, kChannelCount> unit_{};
  // Index into the eighteen constants -> its box (nullptr for rows the variant lacks).
  std::array<QLineEdit*, kCompensationCount> compensationBox_{};
  QLineEdit* serial_ = nullptr;
  std::vector<QWidget*> serviceWidgets_;
};

}  // namespace common
