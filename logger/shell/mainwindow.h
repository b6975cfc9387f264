#pragma once
// frmMain: start-up, the menu bar, the status box, the device commands and the
// download road, opening logs, the after-fill refresh and the trend pictures.
#include "common/channelconfig.h"
#include "common/commands.h"
#include "common/link.h"
#include "common/portcontrol.h"
#include "common/prompt.h"
#include "common/settings.h"
#include "logger/link/download.h"
#include "logger/movie/frame.h"
#include "logger/session/logsession.h"
#include "logger/trend/cursor.h"
#include "logger/trend/navigation.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <utility>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace trend {
class PictureBox;
class TrendArea;
}
namespace logexport {
class CsvExportWindow;
class CropWindow;
}
namespace scope {
class ScopeWindows;
}
namespace movie {
class MovieWindow;
}

namespace shell {

class MeasurePanel;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `programDir` holds cfg/, dlg/, cap/, video/. `factory` makes the channel behind a
  // port number (empty: the real serial port). Start-up runs inside the constructor.
  MainWindow(common::Prompt& prompt, QString programDir, common::PortControl::ChannelFactory factory = {},
             const common::LinkTimings& timings = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- Procedures other parts call ----
  void DrawChannel(int channelIndex, qint32 start, qint32 end, double yScale, qint32 colour);
  void Update_Data_Window();
  void Update_Full_Data();
  void Update_cmbChannelList();
  void RefreshAfterLoad();

  // Reads a .dlg, applies its configuration (warning if config.cfg stands in) and
  // refreshes. On failure the message is shown and nothing changes.
  bool loadDecodedLog(const QString& path);
  // The road of "&Load" for a file named elsewhere (the command line, a drop, the list
  // of recent logs): a .dlt goes the raw-image road of "Command1", anything else is
  // read as a .dlg.
  void openLog(const QString& path);

  // ---- Main-window state ----
  bool serviceMode() const { return serviceFlag_; }

  // The open log, shared with every window this one opens.
  session::LogSession& session() { return *session_; }
  logdata::SampleStore& store() { return session_->store(); }
  trend::ViewState& view() { return session_->view(); }
  common::ChannelConfiguration& config() { return session_->config(); }
  common::Settings& settings() { return settings_; }
  common::PortControl& port() { return port_; }
  common::Link& link() { return *link_; }
  QString programDir() const { return programDir_; }

  // The open scope windows ("New Scope"); they share the view state with this window.
  scope::ScopeWindows& scopes() { return *scopes_; }

  // The compensation constants the configuration editor edits ("&Tempconf" sends them).
  common::CompensationConstants compensation{};

 protected:
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void buildMenus();
  void buildControls();
  void startUp();
  void applyConfiguration();
  void showConfigurationLabels();
  void setChannelLabels(int index, const QString& name, const QString& unit);
  void colourLabels();
  void setTitle(const QString& partB);
  void setStatus(const QString& text);
  bool requireLog();
  void openCommDialog();
  // A log was opened or deleted: the window shows what the session now holds.
  void onLogReplaced();

  // Menu commands
  void onLoad();
  void onLoadRawImage();
  void loadRawImage(const QString& path);
  void rememberLog(const QString& path);
  void showRecentLogs(const QStringList& list);
  void onQuit();
  void onDownload();
  void onParameters();
  void onTempconf();
  void onMemclear();
  void onGPRead();
  void onAbout();
  void onExport();
  void onCrop();
  void onDelete();
  void onDownloadProgress(qint64 received, qint64 expected);
  void onDownloadFinished(const loggerlink::DownloadResult& result);
  void onLinkFinished(const common::LinkResult& result);
  void onChannelClicked();
  void onOverviewChannelChosen(int index);

  // Cursor and channel panel.
  void onTrendPress(double x, Qt::MouseButton button);
  void onTrendMove(double x);
  void showReadout(const trend::CursorReadout& readout);
  trend::CursorInput cursorInput();
  void appendCapture();
  void clearReadouts();
  void onZeroLockClicked(int index);
  void onMidZeroClicked();
  void onSpeedAltClicked();
  void onSpeedUnitClicked();
  void showDerivedLabels();
  void untickSpeedAlt();
  void onWinHightEnter(int index);
  void onChannelLabelClicked(int index);
  void onNewScope();
  void onMarkersChanged();
  void onZoomToMarkers();
  // The window's range, or the markers' when both are set (Export and Crop start from it).
  std::pair<qint32, qint32> chosenRange();
  void onConfigEditor();
  void onMovie();

  class EditorHost;
  friend class EditorHost;

  common::Prompt& prompt_;
  QString programDir_;
  common::Settings settings_;
  std::unique_ptr<session::LogSession> session_;
  common::PortControl port_;
  std::unique_ptr<common::Link> link_;
  std::unique_ptr<common::Commands> commands_;
  std::unique_ptr<loggerlink::Download> download_;
  // The name the configuration editor's file dialog starts from (part A of the title):
  // the last log or configuration file named.
  QString fileName_;
  bool serviceFlag_ = false;
  QPointer<logexport::CsvExportWindow> csvExp_;
  QPointer<logexport::CropWindow> cropDat_;
  movie::MovieRange movieRange_;
  QPointer<movie::MovieWindow> movieWindow_;

  // Controls
  trend::TrendArea* trendArea_ = nullptr;
  MeasurePanel* measurePanel_ = nullptr;
  trend::PictureBox* picTrend_ = nullptr;
  trend::PictureBox* picFull_ = nullptr;
  std::array<QAction*, 8> recentLogs_{};  // "&File": the logs opened last
  QAction* tempconf_ = nullptr;
  QAction* gpread_ = nullptr;
  QLineEdit* rateBox_ = nullptr;       // Text1
  QLineEdit* statusBox_ = nullptr;     // Text2
  QLineEdit* lastIndexBox_ = nullptr;  // Text3: raw-image last index
  QLineEdit* chpos1_ = nullptr;
  QLabel* bytesLabel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QComboBox* cmbChannelList_ = nullptr;
  QCheckBox* midZero_ = nullptr;
  QCheckBox* speedAlt_ = nullptr;
  std::array<QCheckBox*, 12> chkChannel_{};
  std::array<QCheckBox*, 12> bias_{};
  std::array<QLineEdit*, 12> chval_{};
  std::array<QLineEdit*, 12> winHight_{};
  std::array<QLabel*, 24> lblChannel_{};
  std::array<QLabel*, 24> label1_{};

  // Last: the scopes read the state above and go before it.
  std::unique_ptr<scope::ScopeWindows> scopes_;
};

}  // namespace shell
