#include "logger/link/download.h"

#include "common/messages.h"
#include "logger/logdata/download.h"
#include "logger/logdata/logfiles.h"
#include "logger/logdata/unpack.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <span>

namespace loggerlink {

static_assert(common::kReceiveBufferSize == logdata::kImageCapacity,
              "the receive buffer and the memory image hold the same number of bytes");

namespace {
constexpr int kProgressIntervalMs = 100;
}

std::optional<qint64> EstimateMsLeft(qint64 received, qint64 memory, qint64 timedBytes, qint64 timedMs) {
  if (timedBytes < kEstimateAfterBytes || timedMs <= 0) return std::nullopt;
  return std::max<qint64>(0, memory - received) * timedMs / timedBytes;
}

QString TimeLeftText(qint64 ms) {
  const double s = ms / 1000.0;
  if (s < 90) return common::msg::TimeLeft(qint64(std::lround(s / 5)) * 5, false);
  return common::msg::TimeLeft(qint64(std::lround(s / 60)), true);
}

QString ProgressText(const ProgressFigures& f) {
  QString text = common::msg::DownloadProgress(f.received, f.samples);
  if (!f.kept.isEmpty()) text += QStringLiteral(", ") + common::msg::DownloadKept(f.kept, f.keptBytes);
  return text;
}

Download::Download(common::Link& link, logdata::SampleStore& store, QString programDir, DownloadHooks hooks,
                   QObject* parent)
    : QObject(parent), link_(link), store_(store), programDir_(std::move(programDir)), hooks_(std::move(hooks)) {
  progressTimer_.setInterval(kProgressIntervalMs);
  connect(&progressTimer_, &QTimer::timeout, this, [this] { reportProgress(); });
  // The logger sends no length and no last byte it could be told by: silence after the
  // stream ends a download, whoever started it.
  connect(&link_, &common::Link::silenceElapsed, this, [this] { complete(); });
}

Download::~Download() = default;

void Download::setStatus(const QString& text) {
  if (hooks_.status) hooks_.status(text);
}

qint64 Download::samplesSoFar() const {
  if (decodedCount_) return *decodedCount_;
  // After the start byte the stream begins with image bytes 4 and 5, the channel mask,
  // at receive indices 3 and 4; the records follow the six header bytes.
  constexpr qint64 kHeaderBytes = 6;
  const qint64 received = link_.downloadBytesReceived();
  if (received < 2) return 0;
  const qint16 length = logdata::RecordLengthFromMask(link_.ReceiveBuffer[3], link_.ReceiveBuffer[4]);
  return length > 0 ? std::max<qint64>(0, received - kHeaderBytes) / length : 0;
}

void Download::reportProgress() {
  if (active_ && !rateClock_.isValid() && link_.downloadBytesReceived() > 0) {
    rateClock_.start();
    rateBase_ = link_.downloadBytesReceived();
  }
  if (hooks_.progress) hooks_.progress(link_.downloadBytesReceived(), kMemorySize);
}

ProgressFigures Download::figures() const {
  ProgressFigures f;
  f.received = link_.downloadBytesReceived();
  f.samples = samplesSoFar();
  if (active_ && rateClock_.isValid())
    f.msLeft = EstimateMsLeft(f.received, kMemorySize, f.received - rateBase_, rateClock_.elapsed());
  if (!lastKept_.isEmpty()) {
    f.kept = common::msg::kLastDownloadName;
    f.keptBytes = lastKeptBytes_;
  }
  return f;
}

bool Download::request(quint8 delay, bool saveRawImage) {
  if (link_.refuseDuringDownload()) return false;
  saveRaw_ = saveRawImage;
  lastDlg_.clear();
  lastDlt_.clear();
  lastKept_.clear();
  decodedCount_.reset();
  rateClock_.invalidate();
  link_.beginDownload();
  // A command still waiting for its reply would otherwise take the stream's first
  // bytes as its echo and answer the logger in the middle of the download.
  link_.stopReplyTimeout();
  link_.ReceiveMode = common::kModeDownload;
  if (!link_.ensureOpen() || !link_.send(common::cmd::kDownload)) {
    link_.endDownload();
    emit finished(DownloadOutcome::NotSent);
    return false;
  }
  link_.prompt().setBusy(true);
  link_.restartSilenceTimer();
  if (!link_.send(delay)) {
    link_.stopSilenceTimer();
    link_.endDownload();
    emit finished(DownloadOutcome::NotSent);
    return false;
  }
  setStatus(common::msg::kStatusLoading);
  active_ = true;
  progressTimer_.start();
  reportProgress();
  return true;
}

void Download::complete() {
  common::Prompt& prompt = link_.prompt();
  active_ = false;
  link_.endDownload();
  progressTimer_.stop();
  reportProgress();
  link_.InsideFrame = false;
  prompt.beep();

  auto endWith = [&](const QString& status, DownloadOutcome outcome) {
    prompt.setBusy(false);
    setStatus(status);
    link_.stopSilenceTimer();
    link_.reopenIfClosed();
    emit finished(outcome);
  };

  const std::span<const quint8> received(link_.ReceiveBuffer);
  if (link_.ReceiveIndex < logdata::kMinReceiveIndex) {
    endWith(common::msg::kStatusNoData, DownloadOutcome::NoData);
    return;
  }
  const logdata::EndMarkCheck check = logdata::CheckEndMark(received, link_.ReceiveIndex, link_.ReceiveOverflow);
  if (check.outcome != logdata::DownloadOutcome::Ok) {
    endWith(check.outcome == logdata::DownloadOutcome::NoData ? common::msg::kStatusNoData : common::msg::kStatusFault,
            check.outcome == logdata::DownloadOutcome::NoData ? DownloadOutcome::NoData : DownloadOutcome::Fault);
    return;
  }

  setStatus(common::msg::kStatusDecoding);
  link_.stopSilenceTimer();
  logdata::RawImage image = logdata::Unstuff(received, link_.ReceiveIndex);

  // Written through a temporary file, as every .dlt is; a failure here leaves the
  // previous one in place and only the word "kept" away from the progress label.
  const QString kept = QDir(programDir_).filePath(common::msg::kLastDownloadName);
  if (logdata::WriteRawImage(kept, image.bytes, nullptr)) {
    lastKept_ = kept;
    lastKeptBytes_ = qint64(image.bytes.size());
  }

  if (saveRaw_) {
    const QString name = prompt.saveFile(common::msg::kFilterDlt, QDir(programDir_).filePath(QStringLiteral("dlg")));
    if (!name.isEmpty()) {
      QString why;
      if (logdata::WriteRawImage(name, image.bytes, &why))
        lastDlt_ = name;
      else
        prompt.message(common::msg::kTitleError, common::msg::FileNotWritten(name), common::PromptIcon::Critical);
    }
  }

  // The count the status word shows is the one the decoder will use.
  const qint16 recordLength = image.bytes.size() > 5 ? logdata::RecordLengthFromMask(image.bytes[4], image.bytes[5]) : 0;
  const std::optional<qint32> count =
      logdata::SampleCountFromLength(image.lastIndex(), recordLength, logdata::kDownloadHeaderSize);
  if (count && *count >= 0) setStatus(common::msg::kStatusUnpack + QString::number(*count));
  QString why;
  if (!count || *count < 0 ||
      !logdata::DecodeImage(std::move(image), logdata::ImageKind::Download, 0, store_, &why)) {
    // A header whose mask or length cannot describe any records: nothing decodable.
    endWith(common::msg::kStatusFault, DownloadOutcome::Fault);
    return;
  }
  decodedCount_ = store_.SampleCount;
  if (hooks_.sampleCount) hooks_.sampleCount(store_.SampleCount);
  setStatus(common::msg::kStatusReady);
  reportProgress();  // the decoded count and the kept file, before the save dialog waits
  prompt.setBusy(false);

  emit finished(saveDecoded());
}

DownloadOutcome Download::saveDecoded() {
  common::Prompt& prompt = link_.prompt();
  const QString folder = QDir(programDir_).filePath(QStringLiteral("dlg"));
  QString name;
  for (;;) {
    name = prompt.saveFile(common::msg::kFilterDlg, folder);
    if (name.isEmpty()) return DownloadOutcome::Unsaved;
    if (!QFileInfo::exists(name)) break;
    if (prompt.message(common::msg::kTitleConfig, common::msg::FileExistsQuestion(name),
                       common::PromptIcon::Exclamation, common::PromptButtons::YesNo) == common::PromptAnswer::Yes)
      break;
  }
  common::BusyScope busy(prompt);
  QString why;
  if (!logdata::WriteDecodedLog(name, store_, &why)) {
    prompt.setBusy(false);
    prompt.message(common::msg::kTitleError, common::msg::FileNotWritten(name), common::PromptIcon::Critical);
    return DownloadOutcome::SaveFailed;
  }
  lastDlg_ = name;
  // A port that cannot be opened again ends the download here: the samples are already
  // safe in the file, which the user can load once the port is put right.
  if (!link_.reopenIfClosed()) return DownloadOutcome::Saved;
  if (hooks_.loadAndRefresh) hooks_.loadAndRefresh(name);
  return DownloadOutcome::Saved;
}

}  // namespace loggerlink
