// The menu bar and the controls of frmMain, with their documented objectNames.
#include "logger/shell/mainwindow.h"

#include "common/messages.h"
#include "common/ui/colour.h"
#include "logger/report/pdf.h"
#include "logger/shell/measurepanel.h"
#include "logger/shell/shellstate.h"
#include "logger/trend/ui/controls.h"
#include "logger/trend/ui/picturebox.h"
#include "logger/trend/ui/trendarea.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace shell {

using trend::Box;
using trend::Button;
using trend::Named;

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  auto act = [this](const char* name, const QString& caption, void (MainWindow::*slot)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  file->addAction(act("mnuload", QStringLiteral("&Load"), &MainWindow::onLoad));
  file->addAction(act("Delete", QStringLiteral("De&lete"), &MainWindow::onDelete));
  // The flight report of the markers' range, or of the window without both markers.
  QAction* report = file->addAction(QStringLiteral("&Report…"));
  report->setObjectName(QStringLiteral("mnuReport"));
  report->setEnabled(false);
  connect(report, &QAction::triggered, this, [this] {
    const auto [from, to] = chosenRange();
    report::ReportFromSession(prompt_, *session_, programDir_, from, to);
  });
  connect(session_.get(), &session::LogSession::replaced, report,
          [this, report] { report->setEnabled(session_->loaded()); });
  file->addSeparator();
  for (std::size_t i = 0; i < recentLogs_.size(); ++i) {
    QAction* a = file->addAction(QString());
    a->setObjectName(QStringLiteral("recentLog_%1").arg(i));
    connect(a, &QAction::triggered, this, [this, a] { openLog(a->data().toString()); });
    recentLogs_[i] = a;
  }
  file->addSeparator();
  file->addAction(act("mnuQuit", QStringLiteral("&Quit"), &MainWindow::onQuit));
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("mnuEdit"));
  edit->addAction(act("Crop", QStringLiteral("Crop"), &MainWindow::onCrop));
  bar->addAction(act("mnu4", QStringLiteral("&Download"), &MainWindow::onDownload));
  bar->addAction(act("mnu02", QStringLiteral("&Parameters"), &MainWindow::onParameters));
  bar->addAction(act("mnu5", QStringLiteral("&Config"), &MainWindow::onConfigEditor));
  tempconf_ = act("Tempconf", QStringLiteral("&Tempconf"), &MainWindow::onTempconf);
  bar->addAction(tempconf_);
  bar->addAction(act("Memclear", QStringLiteral("&Memclr"), &MainWindow::onMemclear));
  bar->addAction(act("Export", QStringLiteral("E&xport"), &MainWindow::onExport));
  gpread_ = act("GPread", QStringLiteral("&GPRead"), &MainWindow::onGPRead);
  bar->addAction(gpread_);
  bar->addAction(act("cmdMovie", QStringLiteral("Mo&vie"), &MainWindow::onMovie));
  bar->addAction(act("Communication", QStringLiteral("C&omm"), &MainWindow::openCommDialog));
  bar->addAction(act("About", QStringLiteral("&About"), &MainWindow::onAbout));
}

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(6, 6, 6, 6);
  top->setSpacing(4);
  auto caption = [central](const QString& text) { return new QLabel(text, central); };

  // Trend picture, then the overview strip between its two step buttons, then the
  // window boxes and the navigation buttons, with the cursor read-out at the end.
  trend::TrendArea::Calls calls;
  calls.drawTrend = [this] { Update_Data_Window(); };
  calls.drawOverview = [this] { Update_Full_Data(); };
  calls.moveCursor = [this](double x) { onTrendMove(x); };
  calls.press = [this](double x, Qt::MouseButton button) { onTrendPress(x, button); };
  calls.capture = [this] { appendCapture(); };
  calls.mark = [this](int marker, qint32 sample) {
    session_->setMarker(marker == 0 ? session::LogSession::Marker::A : session::LogSession::Marker::B, sample);
  };
  trendArea_ = new trend::TrendArea(view(), store(), central, {64, 80, true, QStringLiteral("Previous view")},
                                    std::move(calls));
  picTrend_ = trendArea_->picture();
  picFull_ = trendArea_->strip();
  top->addWidget(picTrend_, 1);
  top->addLayout(trendArea_->stripRow());
  chpos1_ = Box(QStringLiteral("chpos1"), 80, central, true);
  QHBoxLayout* navRow = trendArea_->navigationRow();
  navRow->addStretch();
  navRow->addWidget(caption(QStringLiteral("Cursor")));
  navRow->addWidget(chpos1_);
  top->addLayout(navRow);
  measurePanel_ = new MeasurePanel(central);
  top->addWidget(measurePanel_);
  connect(measurePanel_, &MeasurePanel::zoomRequested, this, &MainWindow::onZoomToMarkers);

  auto* line = new QFrame(central);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  top->addWidget(line);

  // Channel panel: one column per channel, 720 twips apart, after a column of row
  // captions; the show boxes stand in a column at the right edge.
  auto* panelRow = new QHBoxLayout;
  auto* columns = new QWidget(central);
  columns->setObjectName(QStringLiteral("ChannelColumns"));
  const double tpp = logicalDpiX() > 0 ? 1440.0 / logicalDpiX() : 15.0;
  const int colW = int(std::lround(720 / tpp));
  const int captionW = 74;
  const int rowH = 24;
  const char* rowCaptions[] = {"Channel", "Unit", "Value", "Zero lock", "Win height"};
  for (int r = 0; r < 5; ++r) {
    auto* l = new QLabel(QLatin1String(rowCaptions[r]), columns);
    l->setGeometry(0, r * rowH, captionW, rowH - 2);
  }
  for (int i = 0; i < 12; ++i) {
    const int x = captionW + i * colW;
    const auto si = std::size_t(i);
    lblChannel_[si] = Named(new QLabel(QStringLiteral("CH%1").arg(i + 1), columns), QStringLiteral("lblChannel_%1").arg(i));
    lblChannel_[si]->setGeometry(x, 0, colW - 2, rowH - 2);
    lblChannel_[si]->setCursor(Qt::PointingHandCursor);
    label1_[si] = Named(new QLabel(columns), QStringLiteral("Label1_%1").arg(i));
    label1_[si]->setGeometry(x, rowH, colW - 2, rowH - 2);
    chval_[si] = Named(new QLineEdit(columns), QStringLiteral("chval_%1").arg(i));
    chval_[si]->setReadOnly(true);
    chval_[si]->setGeometry(x, 2 * rowH, colW - 3, rowH - 2);
    bias_[si] = Named(new QCheckBox(columns), QStringLiteral("BIAS_%1").arg(i));
    bias_[si]->setGeometry(x + 4, 3 * rowH, colW - 4, rowH - 2);
    winHight_[si] = Named(new QLineEdit(QStringLiteral("4095"), columns), QStringLiteral("WinHight_%1").arg(i));
    winHight_[si]->setGeometry(x, 4 * rowH, colW - 3, rowH - 2);
    connect(bias_[si], &QCheckBox::clicked, this, [this, i] { onZeroLockClicked(i); });
    connect(winHight_[si], &QLineEdit::returnPressed, this, [this, i] { onWinHightEnter(i); });
    // Label clicks (colour) and window-height focus loss arrive through eventFilter.
    lblChannel_[si]->installEventFilter(this);
    winHight_[si]->installEventFilter(this);
  }
  columns->setFixedSize(captionW + 12 * colW, 5 * rowH);
  // Channel 6's unit label cycles the speed unit while "Speed / Alt" is ticked.
  label1_[5]->installEventFilter(this);

  // Switches and the overview list below the columns; status and rate boxes under them.
  auto* left = new QVBoxLayout;
  left->addWidget(columns);
  auto* switches = new QHBoxLayout;
  midZero_ = Named(new QCheckBox(QStringLiteral("Zero"), central), QStringLiteral("MIDZERO"));
  speedAlt_ = Named(new QCheckBox(common::msg::kSpeedAlt, central), QStringLiteral("Speedalt"));
  cmbChannelList_ = Named(new QComboBox(central), QStringLiteral("cmbChannelList"));
  cmbChannelList_->setMinimumWidth(56);
  auto* newScope = Button(QStringLiteral("cmdNewScreen"), QStringLiteral("New Scope"), central);
  switches->addWidget(midZero_);
  switches->addWidget(speedAlt_);
  switches->addSpacing(12);
  switches->addWidget(caption(QStringLiteral("Full data channel")));
  switches->addWidget(cmbChannelList_);
  switches->addSpacing(12);
  switches->addWidget(newScope);
  switches->addStretch();
  left->addLayout(switches);
  connect(midZero_, &QCheckBox::clicked, this, &MainWindow::onMidZeroClicked);
  connect(speedAlt_, &QCheckBox::clicked, this, &MainWindow::onSpeedAltClicked);
  connect(newScope, &QPushButton::clicked, this, &MainWindow::onNewScope);
  connect(cmbChannelList_, &QComboBox::activated, this, &MainWindow::onOverviewChannelChosen);

  auto* statusRow = new QHBoxLayout;
  statusBox_ = Box(QStringLiteral("Text2"), 110, central);
  statusBox_->installEventFilter(this);
  bytesLabel_ = Named(new QLabel(central), QStringLiteral("DownloadBytes"));
  bytesLabel_->setMinimumWidth(100);
  progress_ = Named(new QProgressBar(central), QStringLiteral("DownloadProgress"));
  progress_->setFixedWidth(140);
  progress_->setTextVisible(true);
  progress_->hide();
  rateBox_ = Box(QStringLiteral("Text1"), 60, central, true);
  auto* loaddlt = Button(QStringLiteral("loaddlt"), QStringLiteral("Command1"), central);
  lastIndexBox_ = Box(QStringLiteral("Text3"), 80, central);
  statusRow->addWidget(caption(QStringLiteral("Status")));
  statusRow->addWidget(statusBox_);
  statusRow->addWidget(bytesLabel_);
  statusRow->addWidget(progress_);
  statusRow->addStretch();
  statusRow->addWidget(caption(QStringLiteral("Log freq")));
  statusRow->addWidget(rateBox_);
  statusRow->addWidget(caption(QStringLiteral("Hz")));
  statusRow->addSpacing(12);
  statusRow->addWidget(loaddlt);
  statusRow->addWidget(lastIndexBox_);
  left->addLayout(statusRow);
  left->addStretch();
  connect(loaddlt, &QPushButton::clicked, this, &MainWindow::onLoadRawImage);

  auto* show = new QGridLayout;
  show->setVerticalSpacing(0);
  show->addWidget(caption(QStringLiteral("Show")), 0, 0, 1, 3);
  for (int i = 0; i < 12; ++i) {
    const auto si = std::size_t(i);
    chkChannel_[si] = Named(new QCheckBox(central), QStringLiteral("chkChannel_%1").arg(i));
    lblChannel_[si + 12] = Named(new QLabel(QString::number(i + 1), central), QStringLiteral("lblChannel_%1").arg(i + 12));
    label1_[si + 12] = Named(new QLabel(central), QStringLiteral("Label1_%1").arg(i + 12));
    label1_[si + 12]->setMinimumWidth(90);
    show->addWidget(chkChannel_[si], i + 1, 0);
    show->addWidget(lblChannel_[si + 12], i + 1, 1);
    show->addWidget(label1_[si + 12], i + 1, 2);
    connect(chkChannel_[si], &QCheckBox::clicked, this, &MainWindow::onChannelClicked);
  }

  panelRow->addLayout(left, 1);
  panelRow->addLayout(show);
  top->addLayout(panelRow);
}

}  // namespace shell
