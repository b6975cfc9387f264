#pragma once
// The movie window `Movie` ("Datamovie"), its range dialog `Dialog2` and the
// compression dialog. The widgets only show the editor's scene and pass the user's
// gestures to it; the frame loop is logger/movie/run.h.
#include "logger/movie/editor.h"
#include "logger/movie/overlay.h"
#include "logger/movie/videowriter.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace common {
class Prompt;
}

namespace movie {

class RangeDialog : public QDialog {
  Q_OBJECT
 public:
  // The boxes start with `preset` (the trend window); range() is the accepted range.
  RangeDialog(MovieRange preset, const logdata::SampleStore& store, common::Prompt& prompt, QWidget* parent = nullptr);
  MovieRange range() const { return range_; }

 private:
  void onEdited(QLineEdit* box, const QString& message);
  void onOk();
  const logdata::SampleStore& store_;
  common::Prompt& prompt_;
  MovieRange range_;
  QLineEdit* start_;
  QLineEdit* stop_;
};

// Offers the codecs; nullopt when cancelled.
class CodecDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CodecDialog(QWidget* parent = nullptr);
  std::optional<Codec> codec() const;

 private:
  QListWidget* list_;
};

// Where the gauges go over a video: the time in it where the range starts, the
// canvas's top-left corner and its scale. nullopt when cancelled.
class OverlayDialog : public QDialog {
  Q_OBJECT
 public:
  OverlayDialog(common::Prompt& prompt, QWidget* parent = nullptr);
  std::optional<OverlayPlacement> placement() const;

 private:
  void onOk();
  common::Prompt& prompt_;
  QLineEdit* at_;
  QLineEdit* x_;
  QLineEdit* y_;
  QLineEdit* scale_;
  OverlayPlacement placement_;
};

class CanvasView;
class ElementHandle;

class MovieWindow : public QWidget {
  Q_OBJECT
 public:
  MovieWindow(const session::LogSession& session, MovieRange range, common::Prompt& prompt, QString programDir,
              QWidget* owner = nullptr);
  ~MovieWindow() override;

  MovieEditor& editor() { return editor_; }
  bool running() const { return running_; }
  // The compression dialog; tests may answer it themselves.
  std::function<std::optional<Codec>()> chooseCodec;
  // The placement dialog of "Over a video..."; tests may answer it themselves.
  std::function<std::optional<OverlayPlacement>()> choosePlacement;
  // True while the owner's download runs: its end brings a new log, so no run starts.
  std::function<bool()> downloadRunning;

  // Element gestures, in window pixels (ElementHandle calls these).
  void beginDrag(ElementId id, QPoint grabPx);
  void moveDrag(QPoint windowPx);
  void endDrag(QPoint windowPx);
  std::optional<QRect> dragOutline() const { return outline_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void buildControls();
  void sync();  // handles, boxes and the canvas follow the editor's scene
  void showChannelBoxes();
  void onChannel(int index);
  void onSaveSetup();
  void onLoadSetup();
  void onMakeMovie();
  void onOverVideo();
  // The refusals both runs share (a download, a range the log no longer holds or
  // without frames); true when a run may start.
  bool mayRun(const logdata::SampleStore& store);
  // Enters and leaves the running state: Cancel and the progress bar instead of the
  // editing controls, the owner's close watched.
  void setRunning(bool running);
  void setEditing(bool editing);

  MovieSource source_;
  MovieRange range_;
  common::Prompt& prompt_;
  QString programDir_;
  MovieEditor editor_;
  bool running_ = false;
  bool closeAfterRun_ = false;  // the window was closed during a run
  std::optional<ElementId> dragging_;
  QPoint grab_;
  std::optional<QRect> outline_;

  CanvasView* canvas_ = nullptr;
  std::vector<ElementHandle*> handles_;
  QComboBox* channel_ = nullptr;
  QLineEdit* max_ = nullptr;
  QLineEdit* min_ = nullptr;
  QLineEdit* forma_ = nullptr;
  std::vector<QWidget*> editOnly_;  // hidden while a movie is made
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

// `cmdMovie`: without a log "No data to show!", on a screen narrower than 800 pixels
// the resolution message; otherwise the range dialog and, unless it was cancelled, the
// window, or the open window raised again. `window` tracks the one movie window of the owner.
void OpenMovie(QWidget* owner, const session::LogSession& session, MovieRange& range, common::Prompt& prompt,
               const QString& programDir, QPointer<MovieWindow>& window);

// The device commands ask this first: while `window` makes a movie, "A movie is being
// made..." titled "Status" and true.
bool RefuseWhileRunning(const QPointer<MovieWindow>& window, common::Prompt& prompt);

}  // namespace movie
