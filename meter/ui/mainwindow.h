#pragma once
// frmMain of the meter: start-up, the menu bar, the live display of the twelve
// channels with the logger's serial number, and the calculator panel. The live read,
// the forms and the files are common's; this window wires them.
#include "common/channelconfig.h"
#include "common/commands.h"
#include "common/link.h"
#include "common/portcontrol.h"
#include "common/prompt.h"
#include "common/settings.h"
#include "meter/chart.h"
#include "meter/recording.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace meter {

class CalculatorPanel;
class ChartView;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `programDir` holds cfg/. `factory` makes the channel behind a port number (empty:
  // the real serial port). Start-up runs inside the constructor.
  MainWindow(common::Prompt& prompt, QString programDir, common::PortControl::ChannelFactory factory = {},
             const common::LinkTimings& timings = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  common::ChannelConfiguration& config() { return config_; }
  common::Settings& settings() { return settings_; }
  common::PortControl& port() { return port_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void buildMenus();
  void buildControls();
  void startUp();
  void showConfigurationLabels();
  void openCommDialog();
  void reportPortFailure();
  void onRead();
  void onConfig();
  void onAbout();
  void onFirstFrame(const common::LiveFrame& frame);
  void onFrame(const common::LiveFrame& frame);
  void onConfigurationLoaded(const common::ChannelConfiguration& config);
  void showChartTicks();
  void onRecord();
  void stopRecording();
  void recordFrame(const common::LiveFrame& frame, qint64 nsecs);

  class EditorHost;

  common::Prompt& prompt_;
  QString programDir_;
  common::Settings settings_;  // the meter uses records 1 to 4
  common::ChannelConfiguration config_;
  // The editor's compensation rows stay hidden in the meter and nothing here sends
  // them; so the meter offers no converter from a decimal constant to its bytes either.
  common::CompensationConstants compensation_{};
  common::PortControl port_;
  std::unique_ptr<common::Link> link_;
  std::unique_ptr<common::Commands> commands_;
  std::optional<qint32> deviceSerial_;  // from the last live frame
  bool titleFromNextFrame_ = false;
  // The port of the settings did not open at start-up: said once the window is shown.
  bool portFailedAtStart_ = false;
  // A range stored from the calculator that no configuration file holds yet.
  bool rangesUnsaved_ = false;

  std::array<QLineEdit*, 2 * common::kChannelCount> text1_{};
  std::array<QLabel*, common::kChannelCount> label2_{};
  std::array<QLabel*, common::kChannelCount> label20_{};
  QLineEdit* text7_ = nullptr;
  QLineEdit* text6_ = nullptr;
  QLabel* label14_ = nullptr;
  CalculatorPanel* calculator_ = nullptr;

  QElapsedTimer clock_;  // runs from construction: times of the chart and the recording
  qint64 readStartNsecs_ = 0;
  ChartModel chart_;
  ChannelTicks chartTicks_{};
  ChartView* chartView_ = nullptr;
  QCheckBox* chartOn_ = nullptr;
  std::array<QCheckBox*, common::kChannelCount> chartCh_{};
  Recording recording_;
  QAction* stopRecord_ = nullptr;
  QLabel* recordStatus_ = nullptr;
};

}  // namespace meter
