#include "meter/ui/mainwindow.h"

#include "common/messages.h"
#include "common/programfiles.h"
#include "common/savename.h"
#include "common/ui/aboutbox.h"
#include "common/ui/commdialog.h"
#include "common/ui/configeditor.h"
#include "meter/linkmessages.h"
#include "meter/livedisplay.h"
#include "meter/messages.h"
#include "meter/ui/calculatorpanel.h"
#include "meter/ui/chartview.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaObject>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace meter {

using common::PromptIcon;
namespace cmsg = common::msg;

namespace {

// A read-out box. Without the style's sunken frame: painting that frame for 26 boxes
// ten times a second cost as much as everything else in a frame together.
QLineEdit* ReadOut(const QString& name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFrame(false);
  box->setTextMargins(4, 0, 4, 0);
  box->setFixedWidth(140);
  box->setAlignment(Qt::AlignRight);
  return box;
}

QLabel* Label(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

// A live frame sets every box ten times a second; a box whose text stays is left
// alone so that it is not repainted.
void Show(QLineEdit* box, const QString& text) {
  if (box->text() != text) box->setText(text);
}

}  // namespace

MainWindow::MainWindow(common::Prompt& prompt, QString programDir, common::PortControl::ChannelFactory factory,
                       const common::LinkTimings& timings, QWidget* parent)
    : QMainWindow(parent), prompt_(prompt), programDir_(QDir::cleanPath(programDir)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(cmsg::kTitleMeter);
  if (factory) port_.setChannelFactory(std::move(factory));
  link_ = std::make_unique<common::Link>(port_, timings);
  commands_ = std::make_unique<common::Commands>(*link_);
  connect(commands_.get(), &common::Commands::firstFrame, this, &MainWindow::onFirstFrame);
  connect(commands_.get(), &common::Commands::frameReceived, this, &MainWindow::onFrame);
  connect(link_.get(), &common::Link::finished, this, [this](const common::LinkResult& r) {
    if (r.exchange == common::Exchange::LiveRead && r.outcome == common::LinkOutcome::Timeout) stopRecording();
    common::Say(prompt_, MessagesFor(r));
  });
  clock_.start();
  buildMenus();
  buildControls();
  startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  auto act = [this, bar](const char* name, const QString& caption, auto slot) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, slot);
    bar->addAction(a);
    return a;
  };
  act("mnu4", QStringLiteral("&Read"), &MainWindow::onRead);
  act("mnu5", QStringLiteral("&Config"), &MainWindow::onConfig);
  act("Communication", QStringLiteral("C&omm"), &MainWindow::openCommDialog);
  act("Calculator", QStringLiteral("Ca&lculator"), [this] { calculator_->toggle(); });
  act("mnuRecord", msg::kMenuRecord, &MainWindow::onRecord);
  stopRecord_ = act("mnuStopRecord", msg::kMenuStopRecording, &MainWindow::stopRecording);
  stopRecord_->setEnabled(false);
  act("About", QStringLiteral("&About"), &MainWindow::onAbout);
}

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  auto* channels = new QGridLayout;
  channels->addWidget(new QLabel(QStringLiteral("Raw"), central), 0, 1, Qt::AlignRight);
  channels->addWidget(new QLabel(QStringLiteral("Value"), central), 0, 2, Qt::AlignRight);
  for (int i = 0; i < common::kChannelCount; ++i) {
    const auto k = std::size_t(i);
    label2_[k] = Label(QStringLiteral("Label2_%1").arg(i), {}, central);
    label2_[k]->setMinimumWidth(140);
    text1_[k] = ReadOut(QStringLiteral("Text1_%1").arg(i), central);
    text1_[k + 12] = ReadOut(QStringLiteral("Text1_%1").arg(i + 12), central);
    label20_[k] = Label(QStringLiteral("Label20_%1").arg(i), {}, central);
    label20_[k]->setMinimumWidth(60);
    channels->addWidget(label2_[k], 1 + i, 0);
    channels->addWidget(text1_[k], 1 + i, 1);
    channels->addWidget(text1_[k + 12], 1 + i, 2);
    channels->addWidget(label20_[k], 1 + i, 3);
    chartCh_[k] = new QCheckBox(central);
    chartCh_[k]->setObjectName(QStringLiteral("ChartCh_%1").arg(i));
    connect(chartCh_[k], &QCheckBox::toggled, this, [this, k](bool on) {
      chartTicks_[k] = on;
      chartView_->update();
    });
    channels->addWidget(chartCh_[k], 1 + i, 4);
  }
  text7_ = ReadOut(QStringLiteral("Text7"), central);
  text7_->installEventFilter(this);
  text6_ = ReadOut(QStringLiteral("text6"), central);
  label14_ = Label(QStringLiteral("Label14"), QStringLiteral("Comp"), central);
  auto* device = new QHBoxLayout;
  device->addWidget(Label(QStringLiteral("lblSerial"), QStringLiteral("Serial"), central));
  device->addWidget(text7_);
  device->addSpacing(20);
  device->addWidget(label14_);
  device->addWidget(text6_);
  device->addStretch();
  chartOn_ = new QCheckBox(msg::kChartCheck, central);
  chartOn_->setObjectName(QStringLiteral("ChartOn"));
  chartOn_->setChecked(true);
  device->addWidget(chartOn_);
  chartView_ = new ChartView(chart_, chartTicks_, config_, central);
  connect(chartOn_, &QCheckBox::toggled, chartView_, &QWidget::setVisible);
  recordStatus_ = Label("RecordStatus", {}, this);
  statusBar()->addWidget(recordStatus_);

  calculator_ = new CalculatorPanel(config_, prompt_, central);
  connect(calculator_, &CalculatorPanel::rangeStored, this, [this] { rangesUnsaved_ = true; });
  auto* top = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addLayout(channels);
  left->addLayout(device);
  top->addLayout(left);
  top->addWidget(calculator_, 0, Qt::AlignTop);
  top->addStretch();
  auto* column = new QVBoxLayout(central);
  column->addLayout(top);
  column->addWidget(chartView_, 1);
  setCentralWidget(central);
}

// Start-up reads both files before it opens the port, so that a port that fails still
// leaves the meter with its configuration rather than an empty one.
void MainWindow::startUp() {
  text6_->setVisible(false);
  label14_->setVisible(false);
  QStringList problems = common::EnsureProgramFolders(programDir_, {QStringLiteral("cfg")});
  common::StartupFiles files = common::ReadStartupFiles(programDir_);
  problems << files.problems;
  settings_ = files.settings;
  config_ = files.config;
  showConfigurationLabels();
  showChartTicks();
  port_.setPortMap(common::ReadPortMap(common::PortMapPathBeside(common::SettingsPath(programDir_))));
  // No receive events before "&Read": whatever a logger sends until then is dropped.
  port_.setReceiveThreshold(0);
  if (!problems.isEmpty())
    prompt_.message(cmsg::kTitleError, cmsg::StartupFilesDefaulted(problems), PromptIcon::Exclamation);

  if (settings_.PortNumber == 0) return;
  if (port_.isOpen()) port_.close();
  QString why;
  portFailedAtStart_ = !port_.setPortNumber(settings_.PortNumber) || !port_.open(&why);
}

// The port error and the communication dialog wait until the window is on screen and
// the event loop runs. Run from the constructor, the modal dialog belonged to a window
// never shown, and users found the window refusing every close request afterwards.
void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!portFailedAtStart_) return;
  portFailedAtStart_ = false;
  QMetaObject::invokeMethod(this, &MainWindow::reportPortFailure, Qt::QueuedConnection);
}

void MainWindow::reportPortFailure() {
  prompt_.message(cmsg::kTitleError, cmsg::kCommPortError, PromptIcon::Critical);
  openCommDialog();
}

// Names and units follow every configuration the meter takes on: start-up, the
// logger's own file at the first frame, and the editor.
void MainWindow::showConfigurationLabels() {
  for (int i = 0; i < common::kChannelCount; ++i) {
    const auto& ch = config_.channel[std::size_t(i)];
    label2_[std::size_t(i)]->setText(ch.Name);
    label20_[std::size_t(i)]->setText(ch.Unit);
  }
}

void MainWindow::openCommDialog() {
  common::CommDialog dialog(port_, settings_, common::SettingsPath(programDir_), prompt_,
                            common::CommDialog::Writer::Meter, this);
  dialog.exec();
}

void MainWindow::onRead() {
  port_.setPortNumber(settings_.PortNumber);
  titleFromNextFrame_ = true;
  chart_.clear();
  readStartNsecs_ = clock_.nsecsElapsed();
  chartView_->update();
  if (commands_->startLiveRead()) port_.setReceiveThreshold(1);
}

// The first frame names the logger: its own configuration, or config.cfg with a word
// that it is not the logger's. Frames wait meanwhile, so none shows by the wrong one.
void MainWindow::onFirstFrame(const common::LiveFrame& frame) {
  const common::LiveConfiguration found =
      common::FindLiveConfiguration(programDir_ + QStringLiteral("/cfg"), frame.serialNumber);
  if (found.fallback)
    prompt_.message(cmsg::kTitleMeter, cmsg::MeterConfigMissing(frame.serialNumber), PromptIcon::Exclamation);
  if (found.config)
    onConfigurationLoaded(*found.config);
  else  // the configuration in use stays, and the user knows the values are not this logger's
    prompt_.message(cmsg::kTitleError, cmsg::ConfigNotRead(found.path, found.readError), PromptIcon::Exclamation);
  commands_->resumeLive();
}

// The logger's file replaces the configuration at the first frame of every read; ranges
// the user stored but did not save go only when the user says so.
void MainWindow::onConfigurationLoaded(const common::ChannelConfiguration& config) {
  if (rangesUnsaved_ && prompt_.message(cmsg::kTitleMeter, msg::kDiscardStoredRanges, PromptIcon::Question,
                                        common::PromptButtons::YesNo) != common::PromptAnswer::Yes)
    return;
  rangesUnsaved_ = false;
  config_ = config;
  showConfigurationLabels();
  showChartTicks();
}

// The chart starts with the channels that have a name of their own; each configuration
// a read brings in chooses them anew.
void MainWindow::showChartTicks() {
  const ChannelTicks ticks = DefaultChartChannels(config_);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    chartCh_[k]->setChecked(ticks[k]);
    chartTicks_[k] = ticks[k];
  }
  chartView_->update();
}

// The file is written in place as frames come; the recording starts with the names and
// units in use now and takes each frame's values by the configuration in use then.
void MainWindow::onRecord() {
  const QString folder = programDir_ + QStringLiteral("/cap");
  if (const QStringList problems = common::EnsureProgramFolders(programDir_, {QStringLiteral("cap")});
      !problems.isEmpty())
    prompt_.message(cmsg::kTitleError, problems.join(QLatin1Char('\n')), PromptIcon::Exclamation);
  const QString path = common::AskSaveName(prompt_, cmsg::kFilterCsv, folder);
  if (path.isEmpty()) return;
  QString why;
  if (!recording_.start(path, config_, &why)) {
    prompt_.message(cmsg::kTitleError, msg::RecordingNotWritten(path, why), PromptIcon::Critical);
    return;
  }
  stopRecord_->setEnabled(true);
  recordStatus_->setText(msg::RecordingRuns(QFileInfo(path).fileName(), 0));
}

void MainWindow::stopRecording() {
  if (recording_.path().isEmpty()) return;  // nothing recorded yet
  recording_.stop();
  stopRecord_->setEnabled(false);
  recordStatus_->setText(msg::RecordingEnded(QFileInfo(recording_.path()).fileName(), recording_.frames()));
}

// A file that can no longer be written ends the recording, never the display.
void MainWindow::recordFrame(const common::LiveFrame& frame, qint64 nsecs) {
  if (!recording_.active()) return;
  QString why;
  if (recording_.append(frame, config_, nsecs, &why)) {
    recordStatus_->setText(msg::RecordingRuns(QFileInfo(recording_.path()).fileName(), recording_.frames()));
    return;
  }
  stopRecording();
  prompt_.message(cmsg::kTitleError, msg::RecordingNotWritten(recording_.path(), why), PromptIcon::Critical);
}

void MainWindow::onFrame(const common::LiveFrame& frame) {
  deviceSerial_ = frame.serialNumber;
  if (titleFromNextFrame_) {
    titleFromNextFrame_ = false;
    setWindowTitle(msg::DeviceTitle(frame.serialNumber));
  }
  const LiveTexts t = DisplayTexts(frame, config_);
  for (std::size_t k = 0; k < text1_.size(); ++k) Show(text1_[k], t.Text1[k]);
  Show(text6_, t.text6);
  Show(text7_, t.Text7);
  const qint64 now = clock_.nsecsElapsed();
  chart_.append(double(now - readStartNsecs_) / 1e9, frame, config_);
  if (chartView_->isVisible()) chartView_->update();
  recordFrame(frame, now);
}

// The service keystroke, Ctrl+G (character 7), typed into the serial box shows the
// extra value for the rest of the run.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == text7_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->text() == QString(QChar(7)) || (k->key() == Qt::Key_G && (k->modifiers() & Qt::ControlModifier))) {
      text6_->setVisible(true);
      label14_->setVisible(true);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void MainWindow::onAbout() {
  common::AboutBox box(QStringLiteral("AboutMet"), QStringLiteral("Meter"), this);
  box.exec();
}

// What the configuration editor may ask of and do to the meter window.
class MainWindow::EditorHost : public common::ConfigEditorHost {
 public:
  explicit EditorHost(MainWindow& w) : w_(w) {}
  void refreshLabels() override { w_.showConfigurationLabels(); }
  // Called after "Save as" and "Load" alone: the configuration in use is a file's.
  void setTitle(const QString& title) override {
    w_.setWindowTitle(title);
    w_.rangesUnsaved_ = false;
  }
  // The meter opens no files through its own file dialog, so its name stays empty.
  QString fileDialogName() const override { return {}; }
  qint32 channelColour(int index) const override { return kEditorColours[std::size_t(index)]; }
  // Before any frame of this run there is no connected logger to name; the
  // configuration keeps its own number rather than being saved with 0.
  qint32 deviceSerialNumber() const override { return w_.deviceSerial_.value_or(w_.config_.ConfigNumber); }

 private:
  MainWindow& w_;
};

void MainWindow::onConfig() {
  EditorHost host(*this);
  common::ConfigEditor editor(config_, compensation_, host, prompt_, programDir_, false,
                              common::ConfigEditorVariant::Meter(), this);
  editor.exec();
}

}  // namespace meter
