#include "logger/shell/mainwindow.h"

#include "common/messages.h"
#include "common/savename.h"
#include "common/numtext.h"
#include "common/ui/aboutbox.h"
#include "common/ui/colour.h"
#include "common/ui/commdialog.h"
#include "common/ui/configeditor.h"
#include "logger/derived/ui/speedcomp.h"
#include "logger/export/capture.h"
#include "logger/export/crop.h"
#include "logger/export/ui/rangewindows.h"
#include "logger/logdata/logconfig.h"
#include "logger/logdata/logfiles.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/session/trendtrace.h"
#include "logger/movie/ui/moviewindow.h"
#include "logger/shell/dialogs.h"
#include "logger/shell/linkmessages.h"
#include "logger/shell/measurepanel.h"
#include "logger/shell/recentlogs.h"
#include "logger/trend/gestures.h"
#include "logger/trend/ui/controls.h"
#include "logger/shell/shellstate.h"
#include "logger/trend/cursor.h"
#include "logger/trend/navigation.h"
#include "logger/trend/trenddraw.h"
#include "logger/trend/ui/picturebox.h"
#include "logger/trend/ui/trendarea.h"
#include "logger/trend/zerolock.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

namespace shell {

namespace {

// The first local .dlg or .dlt file of a drop; empty when there is none.
QString DroppedLog(const QMimeData* data) {
  if (!data) return {};
  for (const QUrl& url : data->urls()) {
    const QString path = url.toLocalFile();
    if (path.endsWith(QLatin1String(".dlg"), Qt::CaseInsensitive) ||
        path.endsWith(QLatin1String(".dlt"), Qt::CaseInsensitive))
      return path;
  }
  return {};
}

}  // namespace

using common::msg::kTitleError;
using common::msg::kTitleStatus;
using common::PromptIcon;

MainWindow::MainWindow(common::Prompt& prompt, QString programDir, common::PortControl::ChannelFactory factory,
                       const common::LinkTimings& timings, QWidget* parent)
    : QMainWindow(parent),
      prompt_(prompt),
      programDir_(QDir::cleanPath(programDir)),
      session_(std::make_unique<session::LogSession>()) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(common::msg::kMainCaption);
  if (factory) port_.setChannelFactory(std::move(factory));
  link_ = std::make_unique<common::Link>(port_, timings);
  commands_ = std::make_unique<common::Commands>(*link_);
  connect(link_.get(), &common::Link::finished, this, &MainWindow::onLinkFinished);
  const QString dlgFolder = programDir_ + QStringLiteral("/dlg");
  loggerlink::DownloadHooks hooks;
  hooks.status = [this](const QString& s) { setStatus(s); };
  hooks.sampleCount = [this](qint32 n) { trendArea_->endBox()->setText(QString::number(n)); };
  hooks.progress = [this](qint64 r, qint64 e) { onDownloadProgress(r, e); };
  hooks.loadAndRefresh = [this](const QString& path) { return loadDecodedLog(path); };
  hooks.ended = [this] { prompt_.beep(); };
  hooks.rawImageName = [this, dlgFolder] { return prompt_.saveFile(common::msg::kFilterDlt, dlgFolder); };
  // The pointer is normal while the name is asked, the hourglass while the log is
  // written and loaded.
  hooks.logName = [this, dlgFolder] {
    prompt_.setBusy(false);
    const QString name = common::AskSaveName(prompt_, common::msg::kFilterDlg, dlgFolder);
    prompt_.setBusy(!name.isEmpty());
    return name;
  };
  download_ = std::make_unique<loggerlink::Download>(*link_, session_->store(), programDir_, std::move(hooks));
  connect(download_.get(), &loggerlink::Download::finished, this, &MainWindow::onDownloadFinished);

  buildMenus();
  buildControls();
  resize(1024, 740);
  startUp();
  showRecentLogs(ReadRecentLogs(RecentLogsPath(programDir_)));
  setAcceptDrops(true);
  scopes_ = std::make_unique<scope::ScopeWindows>(*session_, prompt_, programDir_);
  connect(session_.get(), &session::LogSession::replaced, this, &MainWindow::onLogReplaced);
  connect(session_.get(), &session::LogSession::markersChanged, this, &MainWindow::onMarkersChanged);
  // The measurement is in the units the window shows.
  connect(session_.get(), &session::LogSession::derivedChanged, this, [this] {
    if (!measurePanel_->isHidden()) measurePanel_->showMeasurement(session::Measure(*session_));
  });
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------- start-up

void MainWindow::startUp() {
  // The link allocated its receive buffer; the memory image is made per decode.
  store().ChannelMask = 0xFFFF;
  settings_.Colours = common::kDefaultColours;
  view().YScale = common::StepTable();
  for (int i = 0; i < 12; ++i) {
    chkChannel_[std::size_t(i)]->setChecked(false);
    chkChannel_[std::size_t(i)]->setEnabled(false);
  }
  view().Colours = settings_.Colours;
  colourLabels();
  view().ZeroDivisor = 1;
  QDir::setCurrent(programDir_);

  QStringList problems = EnsureProgramFolders(programDir_);
  StartupFiles files = ReadStartupFiles(programDir_);
  problems << files.problems;
  settings_ = files.settings;
  port_.setPortMap(common::ReadPortMap(common::PortMapPathBeside(SettingsPath(programDir_))));
  view().Colours = settings_.Colours;
  colourLabels();
  config() = files.config;
  applyConfiguration();
  if (!problems.isEmpty())
    prompt_.message(kTitleError, common::msg::StartupFilesDefaulted(problems), PromptIcon::Exclamation);
  showConfigurationLabels();
  setTitle(StartupTitlePartB(fileName_, programDir_));
  view().RawBias.fill(0);
  view().EngBias.fill(0);
  tempconf_->setVisible(false);
  gpread_->setVisible(false);
  view().SecondsMode = false;

  if (settings_.PortNumber == 0) return;
  if (port_.isOpen()) port_.close();
  QString why;
  if (!port_.setPortNumber(settings_.PortNumber) || !port_.open(&why)) {
    prompt_.message(kTitleError, common::msg::kCommPortError, PromptIcon::Critical);
    openCommDialog();
  }
}

// Each channel's window-height box gets the configuration's value as text, and the
// drawing uses what that text reads back as.
void MainWindow::applyConfiguration() {
  for (int i = 0; i < 12; ++i) {
    const QString t = common::NumberToText(config().channel[std::size_t(i)].WinHight);
    winHight_[std::size_t(i)]->setText(t);
    view().WinHeight[std::size_t(i)] = common::TextToNumber(t);
  }
}

void MainWindow::showConfigurationLabels() {
  for (int i = 0; i < 12; ++i) {
    const auto& ch = config().channel[std::size_t(i)];
    setChannelLabels(i, ch.Name, ch.Unit);
  }
}

void MainWindow::setChannelLabels(int index, const QString& name, const QString& unit) {
  const auto i = std::size_t(index);
  lblChannel_[i]->setText(name);
  label1_[i]->setText(unit);
  label1_[i + 12]->setText(name);
  // A channel column is narrow; the whole name and unit show on hovering.
  const QString whole = QStringLiteral("CH%1: %2 [%3]").arg(index + 1).arg(name, unit);
  lblChannel_[i]->setToolTip(whole);
  label1_[i]->setToolTip(whole);
}

void MainWindow::colourLabels() {
  for (int i = 0; i < 12; ++i) {
    const qint32 c = view().Colours[std::size_t(i)];
    const QString css = QStringLiteral("color: %1; background: %2; font-weight: bold; padding: 0 2px;")
                            .arg(common::ColourFromBgr(c).name(), common::ColourFromBgr(LabelBackgroundFor(c)).name());
    lblChannel_[std::size_t(i)]->setStyleSheet(css);
    lblChannel_[std::size_t(i + 12)]->setStyleSheet(css);
  }
}

void MainWindow::setTitle(const QString& partB) { setWindowTitle(common::msg::MainTitle(fileName_, partB)); }

void MainWindow::setStatus(const QString& text) { statusBox_->setText(text); }

bool MainWindow::requireLog() {
  if (session_->loaded()) return true;
  prompt_.message(kTitleStatus, common::msg::kFileNotLoaded, PromptIcon::Exclamation);
  return false;
}

void MainWindow::openCommDialog() {
  common::CommDialog dialog(port_, settings_, SettingsPath(programDir_), prompt_, common::CommDialog::Writer::Logger,
                            this);
  dialog.exec();
}

// ---------------------------------------------------------------- drawing

void MainWindow::DrawChannel(int channelIndex, qint32 start, qint32 end, double yScale, qint32 colour) {
  if (channelIndex < 0 || channelIndex >= 12) return;
  picTrend_->drawTrace(session::MainTrendTrace(*session_, channelIndex, start, end, yScale, picTrend_->scale(),
                                               picTrend_->twipsPerPixel()),
                       colour);
}

void MainWindow::Update_Data_Window() {
  if (session_->deleted()) {
    picTrend_->clearPicture();
    return;
  }
  QLineEdit* endBox = trendArea_->endBox();
  if (common::LeadingNumber(endBox->text()) > store().SampleCount) endBox->setText(QString::number(store().SampleCount));
  picTrend_->clearPicture();
  for (int i = 0; i < 12; ++i) {
    QCheckBox* c = chkChannel_[std::size_t(i)];
    view().Shown[std::size_t(i)] = c->isChecked() && c->isEnabled();
    if (view().Shown[std::size_t(i)])
      DrawChannel(i, view().WindowStart, view().WindowEnd, view().YScale[std::size_t(i)], view().Colours[std::size_t(i)]);
  }
  view().CursorX = -100;
  trendArea_->showWindow();
  // The measurement follows what the window shows: channels, zero locks, "Speed / Alt".
  if (!measurePanel_->isHidden()) measurePanel_->showMeasurement(session::Measure(*session_));
}

void MainWindow::Update_Full_Data() {
  picFull_->clearPicture();
  if (session_->deleted()) return;
  const int c = view().OverviewChannel;
  if (c < 0 || c >= 12) return;
  const auto& cs = config().channel[std::size_t(c)];
  trend::OverviewRequest rq;
  rq.scale = picFull_->scale();
  rq.twipsPerPixel = picFull_->twipsPerPixel();
  rq.sampleCount = store().SampleCount;
  rq.windowStart = view().WindowStart;
  rq.windowEnd = view().WindowEnd;
  rq.yScale = view().YScale[std::size_t(c)];
  rq.inverted = cs.Min > cs.Max;
  picFull_->drawOverview(trend::ComputeOverview(rq, session_->rawSeries(c)));
}

void MainWindow::Update_cmbChannelList() {
  // Every added item is selected in turn; only the last selection stays, so the list
  // is filled quietly and that selection is applied once.
  {
    const QSignalBlocker block(cmbChannelList_);
    cmbChannelList_->clear();
    for (int c = 1; c <= 12; ++c)
      if (chkChannel_[std::size_t(c - 1)]->isEnabled()) cmbChannelList_->addItem(QString::number(c));
    cmbChannelList_->setCurrentIndex(cmbChannelList_->count() - 1);
  }
  onOverviewChannelChosen(cmbChannelList_->currentIndex());
}

void MainWindow::onOverviewChannelChosen(int index) {
  if (index < 0) return;
  view().OverviewChannel = qint16(cmbChannelList_->itemText(index).toInt() - 1);
  Update_Full_Data();
  Update_Data_Window();
}

void MainWindow::RefreshAfterLoad() { session_->opened(fileName_); }

// Every window hears of a load or a delete from the session; this one shows the log
// (or, after a delete, clears everything of it).
void MainWindow::onLogReplaced() {
  // The derived table and the markers belong to the log they were made for.
  untickSpeedAlt();
  clearReadouts();
  onMarkersChanged();
  if (session_->deleted()) {
    for (QLineEdit* box : chval_) box->setText(QStringLiteral("0"));
    picTrend_->clearPicture();
    picFull_->clearPicture();
    setWindowTitle(common::msg::kMainCaption);
    return;
  }
  setTitle(RefreshTitlePartB(store().ConfigNumber));
  QString error;
  if (!logexport::WriteCaptureHeader(CapturePath(programDir_), store().LoadedLogFile, store().FreqCode, config(), &error))
    prompt_.message(kTitleError, common::msg::FileNotWritten(CapturePath(programDir_)), PromptIcon::Exclamation);
  for (int c = 1; c <= 12; ++c) {
    QCheckBox* box = chkChannel_[std::size_t(c - 1)];
    const bool present = store().channelPresent(c);
    box->setEnabled(present);
    box->setChecked(present);
  }
  // A rate of 0 (FreqCode 0, only a damaged file brings it) shows as 0.
  rateBox_->setText(common::LocaleDoubleText(store().sampleRate()));
  Update_cmbChannelList();
  Update_Full_Data();
  Update_Data_Window();
  showConfigurationLabels();
}

bool MainWindow::loadDecodedLog(const QString& path) {
  const session::LogSession::ReadOutcome r = session_->readLog(path, programDir_ + QStringLiteral("/cfg"));
  if (!r.read) {
    prompt_.message(common::msg::kTitleLogger, common::msg::ErrorOpeningDlg(path) + u'\n' + r.readError,
                    PromptIcon::Exclamation);
    return false;
  }
  if (!r.warning.isEmpty()) prompt_.message(common::msg::kTitleLogger, r.warning, PromptIcon::Exclamation);
  if (!r.configError.isEmpty()) prompt_.message(kTitleError, r.configError, PromptIcon::Exclamation);
  else applyConfiguration();
  fileName_ = path;
  RefreshAfterLoad();
  rememberLog(path);
  return true;
}

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow())
    trendArea_->redrawOnActivation(!session_->deleted());
}

void MainWindow::closeEvent(QCloseEvent* e) {
  scopes_->closeAll();
  QMainWindow::closeEvent(e);
}

// The service key: Ctrl+G (character 7) typed into the status box shows the hidden
// service items for the rest of the run; any other key there clears the flag.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == statusBox_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool ctrlG = k->text() == QString(QChar(7)) ||
                       (k->key() == Qt::Key_G && (k->modifiers() & Qt::ControlModifier));
    if (ctrlG) {
      serviceFlag_ = true;
      tempconf_->setVisible(true);
      gpread_->setVisible(true);
      return true;
    }
    if (!k->text().isEmpty()) serviceFlag_ = false;
  }
  if (watched == label1_[std::size_t(derived::kSpeedChannel - 1)] && e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    onSpeedUnitClicked();
    return true;
  }
  for (int i = 0; i < 12; ++i) {
    const auto si = std::size_t(i);
    // A click chooses the colour; only the first set of channel labels reacts. The press
    // is taken so that the release comes back to the same label.
    if (watched == lblChannel_[si] && e->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
      return true;
    if (watched == lblChannel_[si] && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        lblChannel_[si]->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
      onChannelLabelClicked(i);
      return true;
    }
    // Text not confirmed with Enter is dropped when the box loses the focus to another
    // control. Deactivating the window (a message box, another program) is not a
    // loss of focus within the window and keeps the text.
    if (watched == winHight_[si] && e->type() == QEvent::FocusOut) {
      const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
      if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
        winHight_[si]->setText(trend::WinHeightText(view(), i));
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- commands

void MainWindow::onLoad() {
  const QString dlgDir = programDir_ + QStringLiteral("/dlg");
  QDir::setCurrent(dlgDir);
  const QString path = prompt_.openFile(common::msg::kFilterDlg, dlgDir);
  if (path.isEmpty()) return;
  openLog(path);
}

void MainWindow::openLog(const QString& path) {
  if (path.endsWith(QLatin1String(".dlt"), Qt::CaseInsensitive)) return loadRawImage(path);
  common::BusyScope busy(prompt_);
  if (!loadDecodedLog(path)) return;
  // The refresh has unticked "Speed / Alt". Clearing a checked zero-lock box is a
  // click on it: the zero levels of channels 5 and 6 go with their ticks.
  for (int i : {4, 5}) {
    if (!bias_[std::size_t(i)]->isChecked()) continue;
    bias_[std::size_t(i)]->setChecked(false);
    onZeroLockClicked(i);
  }
}

void MainWindow::onLoadRawImage() {
  const QString path = prompt_.openFile(common::msg::kFilterDlt, programDir_ + QStringLiteral("/dlg"));
  if (!path.isEmpty()) loadRawImage(path);
}

void MainWindow::loadRawImage(const QString& path) {
  std::optional<qint32> last;
  QString error;
  if (!logdata::LastIndexFromText(lastIndexBox_->text(), last, &error)) {
    prompt_.message(kTitleError, common::msg::LoadedRawImageFailed(path, error), PromptIcon::Exclamation);
    return;
  }
  {
    common::BusyScope busy(prompt_);
    if (!logdata::LoadRawImage(path, last, store(), &error)) {
      prompt_.message(kTitleError, common::msg::LoadedRawImageFailed(path, error), PromptIcon::Exclamation);
      return;
    }
  }
  session_->samplesReplaced();
  trendArea_->endBox()->setText(QString::number(store().SampleCount));
  setStatus(common::msg::kStatusReady);
  const QString dlg = prompt_.saveFile(common::msg::kFilterDlg, programDir_ + QStringLiteral("/dlg"));
  if (dlg.isEmpty()) return;
  common::BusyScope busy(prompt_);
  if (!logdata::WriteDecodedLog(dlg, store(), &error)) {
    prompt_.message(kTitleError, common::msg::FileNotWritten(dlg), PromptIcon::Exclamation);
    return;
  }
  loadDecodedLog(dlg);
}

// Every log that was opened joins the list in "&File", newest first.
void MainWindow::rememberLog(const QString& path) {
  const QStringList list = RememberLog(ReadRecentLogs(RecentLogsPath(programDir_)), QFileInfo(path).absoluteFilePath());
  WriteRecentLogs(RecentLogsPath(programDir_), list);  // a list that cannot be kept is no reason to stop
  showRecentLogs(list);
}

void MainWindow::showRecentLogs(const QStringList& list) {
  for (int i = 0; i < kRecentLogs; ++i) {
    QAction* a = recentLogs_[std::size_t(i)];
    a->setVisible(i < list.size());
    if (i >= list.size()) continue;
    a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(list[i]).fileName()));
    a->setToolTip(list[i]);
    a->setData(list[i]);
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (!DroppedLog(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const QString path = DroppedLog(e->mimeData());
  if (path.isEmpty()) return;
  e->acceptProposedAction();
  // After the drop has ended: the load may ask questions, and the drag source waits.
  QTimer::singleShot(0, this, [this, path] { openLog(path); });
}

void MainWindow::onQuit() {
  if (port_.portNumber() != 0 && port_.isOpen()) port_.close();
  close();
}

void MainWindow::onDownload() {
  if (RefuseDuringDownload(*link_, prompt_)) return;
  DownloadDialog dialog(settings_, SettingsPath(programDir_), prompt_, this);
  dialog.exec();
  if (!dialog.DownloadRequested) return;
  bytesLabel_->clear();
  progress_->hide();
  if (download_->request(settings_.DownloadDelay, dialog.SaveRawImage)) prompt_.setBusy(true);
}

void MainWindow::onDownloadProgress(qint64 received, qint64 expected) {
  const loggerlink::ProgressFigures f = download_->figures();
  bytesLabel_->setText(loggerlink::ProgressText(f));
  if (!download_->active() || expected <= 0) {
    progress_->hide();
    return;
  }
  // The stream does not announce its length: the bar shows how much of the logger's
  // memory has come, which a full logger takes to the end, and once the rate is known
  // about how long that takes.
  progress_->setFormat(f.msLeft ? loggerlink::TimeLeftText(*f.msLeft) : QStringLiteral("%p% of memory"));
  progress_->setRange(0, 1000);
  progress_->setValue(int(std::min<qint64>(1000, received * 1000 / expected)));
  progress_->show();
}

void MainWindow::onDownloadFinished(const loggerlink::DownloadResult& result) {
  prompt_.setBusy(false);
  progress_->hide();
  // The figures of the finished download: the decoded count, where it was kept.
  bytesLabel_->setText(loggerlink::ProgressText(download_->figures()));
  Say(prompt_, MessagesFor(result));
  if (result.portLost) openCommDialog();
  // The store may hold a new log that was not saved.
  session_->samplesReplaced();
}

// The hourglass runs from a command's start to its end, whatever the end.
void MainWindow::onLinkFinished(const common::LinkResult& result) {
  prompt_.setBusy(false);
  Say(prompt_, MessagesFor(result));
  if (result.portLost) openCommDialog();
  if (result.exchange != common::Exchange::CompensationRead || result.outcome != common::LinkOutcome::Ok) return;
  const QString name = common::AskSaveName(prompt_, common::msg::kFilterFsh, programDir_ + QStringLiteral("/cfg"));
  QString why;
  if (!name.isEmpty() && !common::WriteFshFile(name, result.payload, &why))
    prompt_.message(kTitleError, common::WithDetail(common::msg::FileNotWritten(name), why), PromptIcon::Critical);
}

// One thing on the link's time at once: while a movie is made, events run only between
// frames, so a command's pacing and time-outs would wait on each frame, and the box
// that ends it would halt the run until answered.
void MainWindow::onParameters() {
  if (RefuseDuringDownload(*link_, prompt_) || movie::RefuseWhileRunning(movieWindow_, prompt_)) return;
  ParametersDialog dialog(settings_, SettingsPath(programDir_), *commands_, prompt_, this);
  dialog.exec();
}

void MainWindow::onTempconf() {
  if (movie::RefuseWhileRunning(movieWindow_, prompt_) || RefuseDuringDownload(*link_, prompt_)) return;
  prompt_.setBusy(true);
  commands_->writeCompensation(compensation, config().ConfigNumber);
}

void MainWindow::onMemclear() {
  if (movie::RefuseWhileRunning(movieWindow_, prompt_) || RefuseDuringDownload(*link_, prompt_)) return;
  if (prompt_.message(common::msg::kTitleMemoryClearing, common::msg::kClearMemoryQuestion, PromptIcon::Exclamation,
                      common::PromptButtons::OkCancel) != common::PromptAnswer::Ok)
    return;
  prompt_.setBusy(true);
  commands_->clearMemory(settings_);
}

void MainWindow::onGPRead() {
  if (movie::RefuseWhileRunning(movieWindow_, prompt_) || RefuseDuringDownload(*link_, prompt_)) return;
  prompt_.setBusy(true);
  commands_->readCompensation();
}

void MainWindow::onAbout() {
  common::AboutBox box(QStringLiteral("AboutLog"), QStringLiteral("Logger"), this);
  box.exec();
}

// One window of each kind: the command again brings it forward with the current view.
void MainWindow::onExport() {
  if (!requireLog()) return;
  if (!csvExp_) csvExp_ = new logexport::CsvExportWindow(prompt_, *session_, programDir_, this);
  const auto [start, end] = chosenRange();
  csvExp_->preset(start, end);
  csvExp_->show();
  csvExp_->raise();
  csvExp_->activateWindow();
}

void MainWindow::onCrop() {
  if (!requireLog()) return;
  if (!cropDat_) cropDat_ = new logexport::CropWindow(prompt_, *session_, programDir_, this);
  const auto [start, end] = chosenRange();
  cropDat_->preset(start, end);
  cropDat_->show();
  cropDat_->raise();
  cropDat_->activateWindow();
}

void MainWindow::onDelete() {
  if (!requireLog()) return;
  if (logexport::ConfirmAndDeleteLog(prompt_, store().LoadedLogFile) != logexport::DeleteOutcome::Deleted) return;
  // Their ranges belonged to the deleted log.
  if (csvExp_) csvExp_->close();
  if (cropDat_) cropDat_->close();
  if (movieWindow_) movieWindow_->close();
  session_->markDeleted();
}

// The cursor and its read-outs belong to the log they were read from.
void MainWindow::clearReadouts() {
  chpos1_->clear();
  for (QLineEdit* box : chval_) {
    box->clear();
    box->setToolTip({});
  }
  picTrend_->setCursorLine(std::nullopt);
}

void MainWindow::onMovie() {
  movie::OpenMovie(this, *session_, movieRange_, prompt_, programDir_, movieWindow_);
  if (movieWindow_) movieWindow_->downloadRunning = [this] { return link_->downloadRunning(); };
}

void MainWindow::onChannelClicked() { Update_Data_Window(); }

// ---------------------------------------------------------------- cursor

using trend::ToTrendButton;

trend::CursorInput MainWindow::cursorInput() {
  return {store(), config(), session_->loaded(), picTrend_->scale().width, &session_->derivedTable()};
}

// The read-outs and the overlay line; the traces in the picture's cache stay as they are.
void MainWindow::showReadout(const trend::CursorReadout& r) {
  chpos1_->setText(r.position);
  if (r.valuesValid)
    for (int i = 0; i < 12; ++i) {
      QLineEdit* box = chval_[std::size_t(i)];
      box->setText(r.values[std::size_t(i)]);
      // Long values (many decimals) show their leading digits in the narrow box, and
      // the whole text on hovering.
      box->setCursorPosition(0);
      box->setToolTip(r.values[std::size_t(i)]);
    }
  picTrend_->setCursorLine(double(r.line.drawX));
}

void MainWindow::onTrendMove(double x) {
  if (session_->deleted()) return;  // nothing of a deleted log is read out
  showReadout(trend::CursorMove(view(), cursorInput(), x));
}

void MainWindow::onTrendPress(double x, Qt::MouseButton button) {
  const auto b = ToTrendButton(button);
  if (!b) return;
  const trend::PressResult r = trend::CursorPress(view(), cursorInput(), *b, x, prompt_);
  if (!r.handled) return;
  chpos1_->setText(r.readout.position);
  trendArea_->redraw(r.redraw);
  picTrend_->setCursorLine(double(r.readout.line.drawX));
}

void MainWindow::appendCapture() {
  if (!session_->loaded() || !logexport::CaptureSampleInLog(store(), view().CursorSample)) return;
  std::array<QString, common::kChannelCount> shown;
  for (int i = 0; i < 12; ++i) shown[std::size_t(i)] = chval_[std::size_t(i)]->text();
  const QString path = CapturePath(programDir_);
  QString error;
  if (!logexport::AppendCapture(path, view().CursorSample, shown, logexport::RawColumn(store(), view().CursorSample),
                                &error))
    prompt_.message(kTitleError, common::msg::FileNotWritten(path), PromptIcon::Exclamation);
}

// ---------------------------------------------------------------- channel panel

void MainWindow::onZeroLockClicked(int index) {
  QCheckBox* box = bias_[std::size_t(index)];
  if (box->isChecked() && !view().LeftCandidateTaken) {
    box->setChecked(false);
    prompt_.message(common::msg::kTitleZeroLock, common::msg::kClickZeroSampleFirst, PromptIcon::Exclamation);
    return;
  }
  std::array<bool, 12> checked{};
  for (int j = 0; j < 12; ++j) checked[std::size_t(j)] = bias_[std::size_t(j)]->isChecked();
  trend::ApplyZeroLock(view(), checked, index);
}

void MainWindow::onMidZeroClicked() {
  trend::SetMidZero(view(), midZero_->isChecked());
  Update_Data_Window();
}

// Ticked: with both zero levels set, channels 5 and 6 become "Alt" in m and "IAS" in
// m/s, the compensation dialog chooses the reference and the table is computed once.
// Unticked: the configured labels come back. The trend is redrawn either way, so that
// the picture always shows what the labels say.
void MainWindow::onSpeedAltClicked() {
  if (!speedAlt_->isChecked()) {
    untickSpeedAlt();
    Update_Data_Window();
    return;
  }
  if (!derived::ZeroLevelsSet(view())) {
    prompt_.message(common::msg::kSpeedAlt, common::msg::kSetZeroLevels, PromptIcon::Exclamation);
    speedAlt_->setChecked(false);
    view().SpeedAlt = false;
    return;
  }
  view().SpeedUnit = 0;
  showDerivedLabels();
  derived::SpeedCompDialog dialog(session_->compensation(), this);
  dialog.exec();
  {
    common::BusyScope busy(prompt_);
    session_->showDerived();
  }
  Update_Data_Window();
}

void MainWindow::untickSpeedAlt() {
  speedAlt_->setChecked(false);
  if (view().SpeedAlt) session_->hideDerived();
  for (int i : {derived::kAltitudeChannel - 1, derived::kSpeedChannel - 1}) {
    const auto& ch = config().channel[std::size_t(i)];
    setChannelLabels(i, ch.Name, ch.Unit);
  }
}

// A click on channel 6's unit label while "Speed / Alt" is ticked: the next unit
// setting. The traces stay (they are drawn in stored units); the read-outs follow at
// the next cursor movement.
void MainWindow::onSpeedUnitClicked() {
  if (!view().SpeedAlt) return;
  session_->nextSpeedUnit();
  showDerivedLabels();
}

// Channels 5 and 6 as "Alt" and "IAS" in the units of the unit setting.
void MainWindow::showDerivedLabels() {
  setChannelLabels(derived::kAltitudeChannel - 1, QLatin1String(derived::kAltitudeLabel),
                   QLatin1String(derived::AltitudeUnitText(view().SpeedUnit)));
  setChannelLabels(derived::kSpeedChannel - 1, QLatin1String(derived::kSpeedLabel),
                   QLatin1String(derived::SpeedUnitText(view().SpeedUnit)));
}

void MainWindow::onWinHightEnter(int index) {
  QLineEdit* box = winHight_[std::size_t(index)];
  const trend::WinHeightOutcome r = trend::CommitWinHeight(view(), index, box->text(), prompt_);
  box->setText(r.text);
  if (r.redraw) Update_Data_Window();
}

// A cancelled colour dialog leaves the colour, the settings file and the picture alone.
void MainWindow::onChannelLabelClicked(int index) {
  const auto i = std::size_t(index);
  const std::optional<qint32> colour = prompt_.chooseColour(view().Colours[i]);
  if (!colour) return;
  view().Colours[i] = *colour;
  settings_.Colours[i] = *colour;
  colourLabels();
  QString error;
  if (!common::WriteSettings(SettingsPath(programDir_), settings_, &error))
    prompt_.message(kTitleError, common::msg::SettingsNotWritten(error), PromptIcon::Exclamation);
  Update_Data_Window();
}

void MainWindow::onNewScope() { scopes_->open(); }

// ---------------------------------------------------------------- markers

void MainWindow::onMarkersChanged() {
  trendArea_->showMarkers(session_->marker(session::LogSession::Marker::A),
                          session_->marker(session::LogSession::Marker::B));
  measurePanel_->showMeasurement(session::Measure(*session_));
}

void MainWindow::onZoomToMarkers() {
  const auto range = session_->markedRange();
  if (!range) return;
  trend::RememberView(view());
  view().WindowStart = range->first;
  view().WindowEnd = std::max(range->second, range->first + 1);
  view().WindowLength = view().WindowEnd - view().WindowStart;
  trendArea_->redraw(trend::Redraw::Both);
}

std::pair<qint32, qint32> MainWindow::chosenRange() {
  if (const auto range = session_->markedRange()) return *range;
  return {view().WindowStart, view().WindowEnd};
}

// ---------------------------------------------------------------- configuration editor

// What the editor may ask of and do to the main window.
class MainWindow::EditorHost : public common::ConfigEditorHost {
 public:
  explicit EditorHost(MainWindow& w) : w_(w) {}
  void refreshLabels() override { w_.showConfigurationLabels(); }
  void setTitle(const QString& title) override { w_.setWindowTitle(title); }
  QString fileDialogName() const override { return w_.fileName_; }
  qint32 channelColour(int index) const override { return w_.view().Colours[std::size_t(index)]; }
  QString windowHeightText(int index) const override { return w_.winHight_[std::size_t(index)]->text(); }
  void applyWindowHeights() override {
    w_.applyConfiguration();
    w_.Update_Data_Window();
  }
  void setLogConfigNumber(qint32 number) override { w_.store().ConfigNumber = number; }

 private:
  MainWindow& w_;
};

void MainWindow::onConfigEditor() {
  EditorHost host(*this);
  common::ConfigEditor editor(config(), compensation, host, prompt_, programDir_, serviceFlag_,
                              common::ConfigEditorVariant::Logger(), this);
  editor.exec();
}

}  // namespace shell
