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

DownloadResult EndedAs(DownloadOutcome outcome) {
  DownloadResult r;
  r.outcome = outcome;
  return r;
}
}  // namespace

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
  const qint16 length = logdata::RecordLengthFromMask(link_.receiveBuffer()[3], link_.receiveBuffer()[4]);
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
  if (link_.downloadRunning()) {
    emit finished(EndedAs(DownloadOutcome::Busy));
    return false;
  }
  saveRaw_ = saveRawImage;
  lastDlg_.clear();
  lastDlt_.clear();
  lastKept_.clear();
  decodedCount_.reset();
  rateClock_.invalidate();
  link_.beginDownload();
  DownloadResult failed;
  if (!link_.openPort(&failed.detail) || !link_.sendByte(common::cmd::kDownload)) {
    link_.endDownload();
    emit finished(failed);
    return false;
  }
  link_.restartSilenceTimer();
  if (!link_.sendByte(delay)) {
    link_.stopSilenceTimer();
    link_.endDownload();
    emit finished(failed);
    return false;
  }
  setStatus(common::msg::kStatusLoading);
  active_ = true;
  progressTimer_.start();
  reportProgress();
  return true;
}

// The end of a stream that left nothing to save: the port is opened again for the next
// command.
void Download::end(DownloadResult result) {
  link_.stopSilenceTimer();
  result.portLost = !link_.openPort(&result.detail);
  emit finished(result);
}

void Download::complete() {
  active_ = false;
  link_.endDownload();
  progressTimer_.stop();
  reportProgress();
  if (hooks_.ended) hooks_.ended();

  const std::span<const quint8> received = link_.receiveBuffer();
  const logdata::EndMarkCheck check = logdata::CheckEndMark(received, link_.receiveIndex(), link_.receiveOverflow());
  if (check.outcome != logdata::DownloadOutcome::Ok) {
    const bool noData = check.outcome == logdata::DownloadOutcome::NoData;
    setStatus(noData ? common::msg::kStatusNoData : common::msg::kStatusFault);
    end(EndedAs(noData ? DownloadOutcome::NoData : DownloadOutcome::Fault));
    return;
  }

  setStatus(common::msg::kStatusDecoding);
  link_.stopSilenceTimer();
  logdata::RawImage image = logdata::Unstuff(received, link_.receiveIndex());

  // Written through a temporary file, as every .dlt is; a failure here leaves the
  // previous one in place and only the word "kept" away from the progress label.
  const QString kept = QDir(programDir_).filePath(common::msg::kLastDownloadName);
  if (logdata::WriteRawImage(kept, image.bytes, nullptr)) {
    lastKept_ = kept;
    lastKeptBytes_ = qint64(image.bytes.size());
  }

  DownloadResult result;
  if (saveRaw_ && hooks_.rawImageName) {
    if (const QString name = hooks_.rawImageName(); !name.isEmpty()) {
      if (logdata::WriteRawImage(name, image.bytes, &result.rawDetail))
        lastDlt_ = name;
      else
        result.rawFile = name;
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
    setStatus(common::msg::kStatusFault);
    result.outcome = DownloadOutcome::Fault;
    end(result);
    return;
  }
  decodedCount_ = store_.SampleCount;
  if (hooks_.sampleCount) hooks_.sampleCount(store_.SampleCount);
  setStatus(common::msg::kStatusReady);
  reportProgress();  // the decoded count and the kept file, before the name is asked

  const DownloadResult saved = saveDecoded();
  result.outcome = saved.outcome;
  result.file = saved.file;
  result.detail = saved.detail;
  result.portLost = saved.portLost;
  emit finished(result);
}

DownloadResult Download::saveDecoded() {
  DownloadResult r = EndedAs(DownloadOutcome::Unsaved);
  r.file = hooks_.logName ? hooks_.logName() : QString();
  if (r.file.isEmpty()) return r;
  if (!logdata::WriteDecodedLog(r.file, store_, &r.detail)) {
    r.outcome = DownloadOutcome::SaveFailed;
    return r;
  }
  r.outcome = DownloadOutcome::Saved;
  lastDlg_ = r.file;
  // A port that cannot be opened again ends the download here: the samples are already
  // safe in the file, which the user can load once the port is put right.
  r.portLost = !link_.openPort(&r.detail);
  if (!r.portLost && hooks_.loadAndRefresh) hooks_.loadAndRefresh(r.file);
  return r;
}

}  // namespace loggerlink
