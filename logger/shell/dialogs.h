#pragma once
// The main window's small modal forms: "Download" (Downl), "Logging parameters"
// (Dialog) and the About box (AboutLog).
#include "common/commands.h"
#include "common/prompt.h"
#include "common/settings.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace shell {

class DownloadDialog : public QDialog {
  Q_OBJECT
 public:
  DownloadDialog(common::Settings& settings, QString settingsPath, common::Prompt& prompt, QWidget* parent = nullptr);
  bool DownloadRequested = false;
  bool SaveRawImage = false;

 private:
  void onDownload();
  common::Settings& settings_;
  QString settingsPath_;
  common::Prompt& prompt_;
  QLineEdit* delay_;
};

class ParametersDialog : public QDialog {
  Q_OBJECT
 public:
  ParametersDialog(common::Settings& settings, QString settingsPath, common::Commands& commands,
                   common::Prompt& prompt, QWidget* parent = nullptr);
  // The dialog gives the pacing a callback that closes it; whatever closes it first
  // (Cancel, Esc, the window's close) stops the send and takes the callback back.
  ~ParametersDialog() override;
  void reject() override;

 private:
  void onSend();
  common::Settings& settings_;
  QString settingsPath_;
  common::Commands& commands_;
  common::Prompt& prompt_;
  QComboBox* freq_;
  QPushButton* send_;
  std::array<QCheckBox*, 12> checks_{};
};

}  // namespace shell
