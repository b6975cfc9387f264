#pragma once
// The memory download: the request (0x40 and the delay byte), reception through the
// link's mode 0, and the completion after one silence interval: end-mark test,
// unstuffing and decoding through the log-data library, the optional .dlt, the .dlg
// save dialog and the main window's load-and-refresh.
#include "common/link.h"
#include "common/prompt.h"
#include "logger/logdata/samplestore.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace loggerlink {

enum class DownloadOutcome {
  NotSent,   // the request failed ("Communication error. Check com port settings.")
  NoData,    // fewer than 9 bytes after the start byte
  Fault,     // no valid end mark, or a stream longer than the receive buffer
  Unsaved,   // decoded into the store, .dlg save dialog cancelled
  Saved,     // decoded, written as .dlg and handed to loadAndRefresh
  SaveFailed,
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
};

class Download : public QObject {
  Q_OBJECT
 public:
  Download(common::Link& link, logdata::SampleStore& store, QString programDir, DownloadHooks hooks,
           QObject* parent = nullptr);
  ~Download() override;

  // Steps after the download dialog was confirmed: clear intFlag / intEndmark, ensure
  // the port is open, send 0x40, hourglass, start the silence timer, send the delay
  // byte, "Loading". False if the request could not be sent (message shown).
  bool request(quint8 delay, bool saveRawImage);
  bool active() const { return active_; }
  // The .dlg (and .dlt) written by the last completion; empty when none.
  QString lastDlgFile() const { return lastDlg_; }
  QString lastDltFile() const { return lastDlt_; }

  // Whole records among the bytes received so far, once the two mask bytes at the head
  // of the stream tell the record length (stuffing ignored, so a close estimate); 0
  // before that.
  qint64 samplesSoFar() const;

  // The most the logger can send: its memory, i.e. the receive buffer.
  static constexpr qint64 kMemorySize = common::kReceiveBufferSize;

 signals:
  void finished(loggerlink::DownloadOutcome outcome);

 private:
  void complete();
  void reportProgress();
  void setStatus(const QString& text);
  DownloadOutcome saveDecoded();

  common::Link& link_;
  logdata::SampleStore& store_;
  QString programDir_;
  DownloadHooks hooks_;
  bool active_ = false;
  bool saveRaw_ = false;
  QTimer progressTimer_;
  QString lastDlg_;
  QString lastDlt_;
};

}  // namespace loggerlink
