#pragma once
// The memory download: the request (0x40 and the delay byte), reception through the
// link's mode 0, and the completion after one silence interval: end-mark test,
// unstuffing and decoding through the log-data library, the optional .dlt, the .dlg
// and the main window's load-and-refresh. The file names come through the caller's
// hooks; the download ends in finished() with its outcome, which the caller words.
#include "common/link.h"
#include "logger/logdata/samplestore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

namespace loggerlink {

enum class DownloadOutcome {
  PortError,   // the request could not be sent
  Busy,        // refused: a download runs already
  NoData,      // fewer than 9 bytes after the start byte
  Fault,       // no valid end mark, or a stream longer than the receive buffer
  Unsaved,     // decoded into the store, no name given for the .dlg
  Saved,       // decoded, written as .dlg and handed to loadAndRefresh
  SaveFailed,  // decoded, the .dlg could not be written
};

struct DownloadResult {
  DownloadOutcome outcome = DownloadOutcome::PortError;
  QString file;    // the .dlg written, or the one that could not be
  QString detail;  // the file system's or the port's own words
  // The port would not open again after the stream (its words in `detail`); a saved
  // log is then not loaded.
  bool portLost = false;
  // "Save DLT file": the .dlt that could not be written, and why; the download went on.
  QString rawFile;
  QString rawDetail;
};

struct DownloadHooks {
  // The status box (Text2): "Loading", "Decoding", "Unpack<n>", "Ready", "No Data", "Fault!".
  std::function<void(const QString&)> status;
  // The sample-count box (Text6).
  std::function<void(qint32)> sampleCount;
  // Bytes received so far and the most the logger can send (its whole memory); called
  // at a modest rate while bytes arrive, and once at the end.
  std::function<void(qint64 received, qint64 expected)> progress;
  // The main window reads the written .dlg back (applying its configuration) and runs
  // the after-fill refresh. Returns false if the file could not be read.
  std::function<bool(const QString& dlgPath)> loadAndRefresh;
  // The stream has ended (silence): the program beeps.
  std::function<void()> ended;
  // "Save DLT file": where the unstuffed image goes; empty skips it.
  std::function<QString()> rawImageName;
  // Where the decoded log goes; empty leaves it unsaved in the store.
  std::function<QString()> logName;
};

// The time a download has left, once enough bytes have been timed to judge the rate
// (`timedBytes` arrived in `timedMs`): the stream does not announce its length, so
// what is left is counted against the logger's whole memory. Never below 0.
constexpr qint64 kEstimateAfterBytes = 4096;
std::optional<qint64> EstimateMsLeft(qint64 received, qint64 memory, qint64 timedBytes, qint64 timedMs);
// "about 11 min left", or in steps of 5 s below one and a half minutes.
QString TimeLeftText(qint64 ms);

// What the download shows beside the status box.
struct ProgressFigures {
  qint64 received = 0;
  qint64 samples = 0;            // an estimate while bytes arrive, the decoded count at the end
  std::optional<qint64> msLeft;  // while bytes arrive, once an estimate exists (the bar shows it)
  QString kept;                  // at the end: where the image was kept, program-relative
  qint64 keptBytes = 0;          // and the size of that file
};
// The label's text: bytes, samples and, at the end, where the download was kept.
QString ProgressText(const ProgressFigures& figures);

class Download : public QObject {
  Q_OBJECT
 public:
  Download(common::Link& link, logdata::SampleStore& store, QString programDir, DownloadHooks hooks,
           QObject* parent = nullptr);
  ~Download() override;

  // Steps after the download dialog was confirmed: a fresh frame, ensure the port is
  // open, send 0x40, start the silence timer, send the delay byte, "Loading". False
  // (and finished()) if the request could not be sent, or while a download runs: the
  // second request is refused and the running one goes on.
  bool request(quint8 delay, bool saveRawImage);
  bool active() const { return active_; }
  // The .dlg (and .dlt) written by the last completion; empty when none.
  QString lastDlgFile() const { return lastDlg_; }
  QString lastDltFile() const { return lastDlt_; }
  // Every download whose end mark is good is kept, unstuffed in the .dlt layout, in
  // dlg/last-download.dlt before any dialog opens, so that neither a cancelled save
  // nor a failed one loses it. Empty when the last download kept nothing.
  QString lastKeptFile() const { return lastKept_; }
  ProgressFigures figures() const;

  // Whole records among the bytes received so far, once the two mask bytes at the head
  // of the stream tell the record length (stuffing ignored, so a close estimate); 0
  // before that. After a decode, the decoded SampleCount.
  qint64 samplesSoFar() const;

  // The most the logger can send: its memory, i.e. the receive buffer.
  static constexpr qint64 kMemorySize = common::kReceiveBufferSize;

 signals:
  void finished(const loggerlink::DownloadResult& result);

 private:
  void complete();
  void reportProgress();
  void setStatus(const QString& text);
  void end(DownloadResult result);
  DownloadResult saveDecoded();

  common::Link& link_;
  logdata::SampleStore& store_;
  QString programDir_;
  DownloadHooks hooks_;
  bool active_ = false;
  bool saveRaw_ = false;
  QTimer progressTimer_;
  QString lastDlg_;
  QString lastDlt_;
  QString lastKept_;
  qint64 lastKeptBytes_ = 0;
  std::optional<qint64> decodedCount_;
  QElapsedTimer rateClock_;  // from the first progress report that saw bytes
  qint64 rateBase_ = 0;      // bytes already there at that report
};

}  // namespace loggerlink
