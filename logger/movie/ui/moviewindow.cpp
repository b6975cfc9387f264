#include "logger/movie/ui/moviewindow.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"
#include "common/promptmessage.h"
#include "common/savename.h"
#include "logger/movie/mcf.h"
#include "logger/movie/messages.h"
#include "logger/movie/run.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace movie {

namespace {

using common::PromptIcon;

constexpr int kWindowWidth = 860;
constexpr int kWindowHeight = 620;
constexpr int kButtonsTop = 586;

template <typename T>
T* Named(T* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

// Far-off positions from a setup file stay in the model; the handles only need to lie
// somewhere off the window.
QRect Clamped(const QRect& r) {
  constexpr int kFar = 100000;
  return QRect(std::clamp(r.x(), -kFar, kFar), std::clamp(r.y(), -kFar, kFar), r.width(), r.height());
}

}  // namespace

// The window's client area: the canvas, the palette and the drag outline, all painted
// by the canvas painter the movie frames come from.
class CanvasView : public QWidget {
 public:
  CanvasView(const Scene& scene, const MovieWindow& window, QWidget* parent)
      : QWidget(parent), scene_(scene), window_(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.fillRect(e->rect(), palette().window());
    PaintCanvas(p, scene_, e->rect());
    if (const auto r = window_.dragOutline()) {
      p.setPen(QPen(Qt::white, 1, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r->adjusted(0, 0, -1, -1));
    }
  }

 private:
  const Scene& scene_;
  const MovieWindow& window_;
};

// One element's grip: transparent (the canvas paints the element below it), named
// after the element, and the start of a manual drag.
class ElementHandle : public QWidget {
 public:
  ElementHandle(ElementId id, MovieWindow& window, QWidget* parent) : QWidget(parent), id_(id), window_(window) {
    setObjectName(ObjectName(id));
    setCursor(Qt::OpenHandCursor);
  }
  ElementId id() const { return id_; }

 protected:
  void paintEvent(QPaintEvent*) override {}
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window_.beginDrag(id_, e->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* e) override { window_.moveDrag(mapTo(window(), e->position().toPoint())); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window_.endDrag(mapTo(window(), e->position().toPoint()));
  }

 private:
  ElementId id_;
  MovieWindow& window_;
};

// ------------------------------------------------------------------ Dialog2

RangeDialog::RangeDialog(MovieRange preset, const logdata::SampleStore& store, common::Prompt& prompt, QWidget* parent)
    : QDialog(parent), store_(store), prompt_(prompt), range_(preset) {
  setObjectName(QStringLiteral("Dialog2"));
  setWindowTitle(msg::kTitleMovie);
  setModal(true);
  auto* grid = new QGridLayout(this);
  start_ = Named(new QLineEdit(QString::number(preset.start), this), QStringLiteral("samplenr"));
  stop_ = Named(new QLineEdit(QString::number(preset.stop), this), QStringLiteral("Stopsamp"));
  grid->addWidget(new QLabel(msg::kStartFrom, this), 0, 0);
  grid->addWidget(start_, 0, 1);
  grid->addWidget(new QLabel(msg::kStopAt, this), 1, 0);
  grid->addWidget(stop_, 1, 1);
  grid->addWidget(new QLabel(msg::kFramerate, this), 2, 0);
  grid->addWidget(Named(new QLabel(QString::number(FrameRate(store.FreqCode)), this), QStringLiteral("Label3")), 2, 1);
  auto* ok = Named(new QPushButton(msg::kOk, this), QStringLiteral("OKButton"));
  ok->setDefault(true);
  grid->addWidget(ok, 3, 1);
  connect(start_, &QLineEdit::textEdited, this, [this] { onEdited(start_, msg::kNonNumericStart); });
  connect(stop_, &QLineEdit::textEdited, this, [this] { onEdited(stop_, msg::kNonNumericStop); });
  connect(ok, &QPushButton::clicked, this, &RangeDialog::onOk);
}

void RangeDialog::onEdited(QLineEdit* box, const QString& message) {
  if (common::IsNumericInput(box->text())) return;
  prompt_.message(common::msg::kTitleErrorBang, message, PromptIcon::Exclamation);
  box->setText(QStringLiteral("0"));
}

void RangeDialog::onOk() {
  // The frames read samples start to stop - 1: a range the log cannot fill, or one
  // without frames, is refused here, before anything is read.
  const qint32 n = store_.SampleCount;
  const std::optional<qint32> start = SampleBoundary(common::TextToNumber(start_->text()), n);
  const std::optional<qint32> stop = SampleBoundary(common::TextToNumber(stop_->text()), n);
  const QString refused = !start ? msg::StartOutsideLog(n) : !stop ? msg::StopOutsideLog(n)
                          : *stop <= *start ? msg::kEmptyRange : QString();
  if (!refused.isEmpty()) {
    prompt_.message(common::msg::kTitleErrorBang, refused, PromptIcon::Exclamation);
    return;
  }
  range_ = {*start, *stop};
  accept();
}

// ------------------------------------------------------------------ compression

CodecDialog::CodecDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Compression"));
  setWindowTitle(msg::kCompressionTitle);
  setModal(true);
  auto* box = new QVBoxLayout(this);
  list_ = Named(new QListWidget(this), QStringLiteral("codecList"));
  for (const QString& name : {msg::kCodecRaw, msg::kCodecMjpeg, msg::kCodecFfv1, msg::kCodecMpeg4, msg::kCodecProres})
    list_->addItem(name);
  list_->setCurrentRow(0);  // uncompressed unless the user chooses
  box->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("codecOk"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("codecCancel"));
  box->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::optional<Codec> CodecDialog::codec() const {
  if (result() != Accepted) return std::nullopt;
  static constexpr Codec kOrder[] = {Codec::Raw, Codec::Mjpeg, Codec::Ffv1, Codec::Mpeg4, Codec::Prores4444};
  return kOrder[std::clamp(list_->currentRow(), 0, int(std::size(kOrder)) - 1)];
}

// ------------------------------------------------------------------ over a video

OverlayDialog::OverlayDialog(common::Prompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
  setObjectName(QStringLiteral("OverlayDialog"));
  setWindowTitle(msg::kOverlayTitle);
  setModal(true);
  auto* grid = new QGridLayout(this);
  auto row = [&](const QString& name, const QString& caption, const QString& preset) {
    auto* e = Named(new QLineEdit(preset, this), name);
    grid->addWidget(new QLabel(caption, this), grid->rowCount(), 0);
    grid->addWidget(e, grid->rowCount() - 1, 1);
    return e;
  };
  at_ = row(QStringLiteral("overlayAt"), msg::kOverlayAt, common::NumberToText(0));
  x_ = row(QStringLiteral("overlayX"), msg::kOverlayX, QStringLiteral("0"));
  y_ = row(QStringLiteral("overlayY"), msg::kOverlayY, QStringLiteral("0"));
  scale_ = row(QStringLiteral("overlayScale"), msg::kOverlayScale, common::NumberToText(1));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("overlayOk"));
  grid->addWidget(buttons, grid->rowCount(), 0, 1, 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &OverlayDialog::onOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void OverlayDialog::onOk() {
  // Each box is judged as the range dialog judges its own; the first one wrong is named.
  for (auto [box, caption] : {std::pair{at_, msg::kOverlayAt}, {x_, msg::kOverlayX}, {y_, msg::kOverlayY},
                              {scale_, msg::kOverlayScale}}) {
    if (!common::IsNumericInput(box->text()) || box->text().isEmpty()) {
      prompt_.message(common::msg::kTitleErrorBang, msg::NonNumericOverlay(caption), PromptIcon::Exclamation);
      box->setFocus();
      return;
    }
  }
  const double scale = common::TextToNumber(scale_->text());
  if (!(scale > 0 && scale <= kMaxOverlayScale)) {
    prompt_.message(common::msg::kTitleErrorBang, msg::ScaleOutside(kMaxOverlayScale), PromptIcon::Exclamation);
    return;
  }
  // Far beyond any picture is as good as just beyond it, and stays an int.
  auto px = [](QLineEdit* box) { return int(std::lround(std::clamp(common::TextToNumber(box->text()), -1e5, 1e5))); };
  placement_ = {common::TextToNumber(at_->text()), QPoint(px(x_), px(y_)), scale};
  accept();
}

std::optional<OverlayPlacement> OverlayDialog::placement() const {
  if (result() != Accepted) return std::nullopt;
  return placement_;
}

// ------------------------------------------------------------------ Movie

MovieWindow::MovieWindow(const session::LogSession& session, MovieRange range, common::Prompt& prompt,
                         QString programDir, QWidget* owner)
    : QWidget(owner, Qt::Window),
      source_(SourceOf(session)),
      range_(range),
      prompt_(prompt),
      programDir_(std::move(programDir)),
      editor_(source_, range.start) {
  setObjectName(QStringLiteral("Movie"));
  setWindowTitle(msg::kCaptionDatamovie);
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kWindowWidth, kWindowHeight);
  chooseCodec = [this]() -> std::optional<Codec> {
    CodecDialog d(this);
    d.exec();
    return d.codec();
  };
  choosePlacement = [this]() -> std::optional<OverlayPlacement> {
    OverlayDialog d(prompt_, this);
    d.exec();
    return d.placement();
  };
  buildControls();
  sync();
}

MovieWindow::~MovieWindow() = default;

void MovieWindow::buildControls() {
  canvas_ = new CanvasView(editor_.scene(), *this, this);
  canvas_->setGeometry(0, 0, kWindowWidth, kWindowHeight);
  // Handles in painting order, so the one on top is the one painted last.
  for (int c = 1; c <= kChannels; ++c)
    for (Kind kind : {Kind::Bar, Kind::Mitta, Kind::HorBar, Kind::Vaakamitta})
      handles_.push_back(new ElementHandle({kind, c}, *this, canvas_));
  for (int c = 1; c <= kChannels; ++c)
    for (Kind kind : {Kind::CHLabel, Kind::ChUnit, Kind::ChValue})
      handles_.push_back(new ElementHandle({kind, c}, *this, canvas_));
  for (Kind kind : kTimeKinds) handles_.push_back(new ElementHandle({kind, 0}, *this, canvas_));

  channel_ = Named(new QComboBox(canvas_), QStringLiteral("Channel"));
  for (int c = 1; c <= kChannels; ++c) channel_->addItem(QString::number(c));
  channel_->setCurrentIndex(editor_.selected() - 1);
  channel_->setGeometry(744, 8, 100, 24);
  auto box = [this](const QString& name, const QString& caption, int top) {
    auto* label = new QLabel(caption, canvas_);
    label->setGeometry(744, top, 40, 22);
    auto* e = Named(new QLineEdit(canvas_), name);
    e->setGeometry(784, top, 60, 22);
    e->installEventFilter(this);
    editOnly_.push_back(label);
    editOnly_.push_back(e);
    return e;
  };
  max_ = box(QStringLiteral("MAX"), msg::kMax, 36);
  min_ = box(QStringLiteral("MIN"), msg::kMin, 60);
  forma_ = box(QStringLiteral("Forma"), msg::kForm, 84);
  forma_->setMaxLength(kMaxFormatLength);
  editOnly_.push_back(channel_);
  showChannelBoxes();

  auto button = [this](const QString& name, const QString& caption, int left) {
    auto* b = Named(new QPushButton(caption, canvas_), name);
    b->setGeometry(left, kButtonsTop, 110, 26);
    b->setAutoDefault(false);
    return b;
  };
  auto* make = button(QStringLiteral("Command1"), msg::kMakeMovie, 400);
  auto* over = button(QStringLiteral("OverVideo"), msg::kOverVideo, 284);
  auto* save = button(QStringLiteral("SaveSet"), msg::kSaveSetup, 516);
  auto* load = button(QStringLiteral("LoadSet"), msg::kLoadSetup, 632);
  cancel_ = button(QStringLiteral("Cancel"), msg::kCancel, 400);
  cancel_->hide();
  editOnly_.insert(editOnly_.end(), {make, over, save, load});
  progress_ = Named(new QProgressBar(canvas_), QStringLiteral("progress"));
  progress_->setGeometry(516, kButtonsTop + 2, 226, 22);
  progress_->hide();

  connect(channel_, &QComboBox::activated, this, &MovieWindow::onChannel);
  connect(max_, &QLineEdit::returnPressed, this,
          [this] { max_->setText(editor_.enterBound(MovieEditor::Bound::Max, max_->text(), prompt_)); });
  connect(min_, &QLineEdit::returnPressed, this,
          [this] { min_->setText(editor_.enterBound(MovieEditor::Bound::Min, min_->text(), prompt_)); });
  connect(forma_, &QLineEdit::textChanged, this, [this](const QString& t) { editor_.setFormat(t); });
  connect(make, &QPushButton::clicked, this, &MovieWindow::onMakeMovie);
  connect(over, &QPushButton::clicked, this, &MovieWindow::onOverVideo);
  connect(save, &QPushButton::clicked, this, &MovieWindow::onSaveSetup);
  connect(load, &QPushButton::clicked, this, &MovieWindow::onLoadSetup);
  // Cancel only clears the run flag; the loop stops before its next frame.
  connect(cancel_, &QPushButton::clicked, this, [this] { running_ = false; });
}

void MovieWindow::showChannelBoxes() {
  forma_->setText(editor_.format());
  max_->setText(editor_.boundText(MovieEditor::Bound::Max));
  min_->setText(editor_.boundText(MovieEditor::Bound::Min));
}

void MovieWindow::sync() {
  const Scene& s = editor_.scene();
  for (ElementHandle* h : handles_) {
    h->setGeometry(Clamped(PixelRect(ElementRect(s, h->id()))));
    h->setVisible(s.layout.at(h->id()).visible);
  }
  canvas_->update();
}

bool MovieWindow::eventFilter(QObject* watched, QEvent* e) {
  if (watched == max_ || watched == min_) {
    if (e->type() == QEvent::FocusOut) {
      auto* box = static_cast<QLineEdit*>(watched);
      const auto bound = box == max_ ? MovieEditor::Bound::Max : MovieEditor::Bound::Min;
      // A number typed without Enter counts as entered: leaving the box is the user's
      // way of saying done.
      if (box->text() != editor_.boundText(bound)) editor_.enterBound(bound, box->text(), prompt_);
      box->setText(editor_.leaveBound(bound));
    }
    return false;
  }
  if (watched == forma_) {
    if (e->type() == QEvent::KeyRelease && !MovieEditor::KeyKeepsFormat(static_cast<QKeyEvent*>(e)->key()))
      forma_->clear();
    return false;
  }
  // The rest of the program stays usable while a movie is made (the run reads its own
  // copy of the log); closing the owner cancels the run, which then ends as Cancel does.
  if (running_ && watched == parentWidget() && e->type() == QEvent::Close) running_ = false;
  return false;
}

void MovieWindow::onChannel(int index) {
  editor_.chooseChannel(index + 1);
  showChannelBoxes();
  sync();
}

void MovieWindow::beginDrag(ElementId id, QPoint grabPx) {
  if (running_) return;
  dragging_ = id;
  grab_ = grabPx;
  outline_ = PixelRect(ElementRect(editor_.scene(), id));
  canvas_->update();
}

void MovieWindow::moveDrag(QPoint windowPx) {
  if (!dragging_ || !outline_) return;
  const QRect old = *outline_;
  outline_->moveTopLeft(windowPx - grab_);
  canvas_->update(old.united(*outline_).adjusted(-1, -1, 1, 1));
}

void MovieWindow::endDrag(QPoint windowPx) {
  if (!dragging_) return;
  const ElementId id = *dragging_;
  dragging_.reset();
  outline_.reset();
  canvas_->update();
  // The drop lands where the pointer is: on the window itself, or on the dragged element
  // (a short move). Released over another element or a control, or outside the window,
  // the drag has no effect.
  if (!canvas_->rect().contains(windowPx)) return;
  QWidget* under = canvas_->childAt(windowPx);
  auto* handle = dynamic_cast<ElementHandle*>(under);
  if (under && !(handle && handle->id() == id)) return;
  editor_.drop(id, grab_ * kTwipsPerPixel, windowPx * kTwipsPerPixel);
  sync();
}

void MovieWindow::onSaveSetup() {
  const QString folder = programDir_ + QStringLiteral("/cfg");
  QDir::setCurrent(folder);
  const QString name = common::AskSaveName(prompt_, msg::kFilterMcf, folder);
  if (name.isEmpty()) return;
  QString error;
  if (!WriteMovieSetup(name, editor_.layout(), &error))
    prompt_.message(common::msg::kTitleError, common::WithDetail(common::msg::FileNotWritten(name), error),
                    PromptIcon::Exclamation);
}

void MovieWindow::onLoadSetup() {
  const QString folder = programDir_ + QStringLiteral("/cfg");
  QDir::setCurrent(folder);
  const QString name = prompt_.openFile(msg::kFilterMcf, folder);
  common::BusyScope busy(prompt_);
  if (name.isEmpty()) return;
  MovieLayout read = editor_.layout();
  QString error;
  if (!ReadMovieSetup(name, read, &error)) {
    prompt_.message(common::msg::kTitleLogger, msg::ErrorOpeningMcf(name), PromptIcon::Exclamation);
    return;
  }
  editor_.applySetup(read);
  showChannelBoxes();
  sync();
}

void MovieWindow::setEditing(bool editing) {
  for (QWidget* w : editOnly_) w->setVisible(editing);
  cancel_->setVisible(!editing);
  progress_->setVisible(!editing);
}

bool MovieWindow::mayRun(const logdata::SampleStore& store) {
  if (running_) return false;
  if (downloadRunning && downloadRunning()) {
    prompt_.message(msg::kTitleMovie, msg::kDownloadRunning, PromptIcon::Exclamation);
    return false;
  }
  // The log may have been replaced since the window opened; and a range without frames
  // would make an empty file.
  const QString refused = !RangeInLog(store, range_.start, range_.stop) ? msg::RangeOutsideLog(store.SampleCount)
                          : range_.stop <= range_.start                 ? msg::kEmptyRange
                                                                        : QString();
  if (refused.isEmpty()) return true;
  prompt_.message(common::msg::kTitleErrorBang, refused, PromptIcon::Exclamation);
  return false;
}

void MovieWindow::setRunning(bool running) {
  running_ = running;
  if (parentWidget()) {
    if (running)
      parentWidget()->installEventFilter(this);
    else
      parentWidget()->removeEventFilter(this);
  }
  // The window stays after a run, its caption telling how it went, for the next try
  // with another codec, video or layout.
  setEditing(!running);
  if (!running) sync();
  if (!running && closeAfterRun_) close();
}

void MovieWindow::onMakeMovie() {
  if (running_) return;
  // Taken before any dialog: while one waits, a download may end and load another log.
  const RunSnapshot snapshot(source_);
  const logdata::SampleStore& store = snapshot.source().store;
  if (!mayRun(store)) return;
  const QString folder = programDir_ + QStringLiteral("/video");
  QDir::setCurrent(folder);
  QString name = common::AskSaveName(prompt_, msg::kFilterAvi, folder);
  if (name.isEmpty()) return;  // nothing created; the window stays for another try
  editor_.prepareMovie();
  sync();
  // Cancelled: the window stays for another choice.
  const std::optional<Codec> codec = chooseCodec ? chooseCodec() : std::optional<Codec>(Codec::Raw);
  if (!codec) return;
  // ProRes goes into a QuickTime file: its own save dialog, unless the name fits already.
  if (*codec == Codec::Prores4444 && !name.endsWith(QLatin1String(".mov"), Qt::CaseInsensitive)) {
    name = common::AskSaveName(prompt_, msg::kFilterMov, folder);
    if (name.isEmpty()) return;
  }
  QString error;
  std::unique_ptr<VideoWriter> writer = OpenMovieFile(name, *codec, StreamRate(FrameRate(store.FreqCode)), &error);
  RunEnd end = RunEnd::WriteError;
  if (writer) {
    writer = Pipelined(std::move(writer));
    const qint32 count = range_.stop - range_.start;
    setRunning(true);
    progress_->setRange(0, std::max(count, 1));
    progress_->setValue(0);
    RunHooks hooks;
    hooks.running = [this] { return running_; };
    hooks.yield = [] { QCoreApplication::processEvents(); };
    hooks.saved = [&](qint32 n) {
      setWindowTitle(msg::FrameSaved(name, n, count));
      progress_->setValue(n + 1);
      canvas_->update(0, 0, kCanvasWidth, kCanvasHeight);
    };
    end = RenderMovie(editor_.scene(), snapshot.source(), range_.start, count, *writer, hooks);
    writer.reset();
    setRunning(false);
    if (end == RunEnd::Finished) setWindowTitle(msg::Finished(name));
  }
  if (end == RunEnd::WriteError)
    prompt_.message(common::msg::kTitleLogger, msg::kWriteError, PromptIcon::Information);
}

void MovieWindow::onOverVideo() {
  if (running_) return;
  const RunSnapshot snapshot(source_);
  if (!mayRun(snapshot.source().store)) return;
  const QString folder = programDir_ + QStringLiteral("/video");
  QDir::setCurrent(folder);
  const QString video = prompt_.openFile(msg::kFilterVideo, folder);
  if (video.isEmpty()) return;
  const std::optional<OverlayPlacement> place = choosePlacement ? choosePlacement() : OverlayPlacement{};
  if (!place) return;
  const QString name = common::AskSaveName(prompt_, msg::kFilterMp4, folder);
  if (name.isEmpty()) return;  // nothing created; the window stays for another try
  editor_.prepareMovie();
  sync();
  setRunning(true);
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  OverlayHooks hooks;
  hooks.running = [this] { return running_; };
  hooks.yield = [] { QCoreApplication::processEvents(); };
  hooks.progress = [this](double done) { progress_->setValue(int(done * 1000)); };
  // The range's stop is the first sample not shown, as in a plain movie.
  const OverlayOutcome o = OverlayVideo(editor_.scene(), snapshot.source(), range_.start, range_.stop - 1, *place,
                                        video, name, hooks);
  setRunning(false);
  if (o.end == OverlayEnd::Finished) setWindowTitle(msg::Finished(name));
  if (o.end == OverlayEnd::OutputError)
    prompt_.message(common::msg::kTitleLogger, msg::kWriteError, PromptIcon::Information);
  else if (o.end != OverlayEnd::Finished && o.end != OverlayEnd::Cancelled)
    prompt_.message(msg::kTitleMovie, o.error, PromptIcon::Exclamation);
}

void MovieWindow::closeEvent(QCloseEvent* e) {
  // Closing while frames are written is a cancel; the window closes when the run has
  // ended and released its files.
  if (running_) {
    running_ = false;
    closeAfterRun_ = true;
    e->ignore();
    return;
  }
  QWidget::closeEvent(e);
}

// ------------------------------------------------------------------ cmdMovie

void OpenMovie(QWidget* owner, const session::LogSession& session, MovieRange& range, common::Prompt& prompt,
               const QString& programDir, QPointer<MovieWindow>& window) {
  if (!session.loaded()) {
    prompt.message(msg::kTitleMovie, msg::kNoDataToShow, PromptIcon::Exclamation);
    return;
  }
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen && screen->geometry().width() < 800) {
    prompt.message(msg::kTitleMovie, msg::kMinimumResolution, PromptIcon::Exclamation);
    return;
  }
  if (window) {
    window->raise();
    window->activateWindow();
    return;
  }
  RangeDialog dialog({session.view().WindowStart, session.view().WindowEnd}, session.store(), prompt, owner);
  // Escape or the close button cancels the movie: no window over a range never chosen.
  if (dialog.exec() != QDialog::Accepted) return;
  range = dialog.range();
  window = new MovieWindow(session, range, prompt, programDir, owner);
  window->show();
}

bool RefuseWhileRunning(const QPointer<MovieWindow>& window, common::Prompt& prompt) {
  if (!window || !window->running()) return false;
  prompt.message(common::msg::kTitleStatus, msg::kMovieRunning, PromptIcon::Exclamation);
  return true;
}

}  // namespace movie
