#include "common/link.h"

#include <algorithm>

namespace common {

Link::Link(ByteChannel& port, const LinkTimings& timings, QObject* parent)
    : QObject(parent), port_(port), timings_(timings), receiveBuffer_(std::size_t(kReceiveBufferSize), 0) {
  replyTimer_.setSingleShot(true);
  silenceTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, [this] { onReplyTimeout(); });
  connect(&silenceTimer_, &QTimer::timeout, this, [this] { onSilenceTimer(); });
  port_.setReceiver([this](std::uint8_t b) { receiveByte(b); });
}

Link::~Link() { port_.setReceiver({}); }

void Link::finish(LinkOutcome outcome, const QByteArray& payload, const QString& detail, bool portLost) {
  mode_ = ReceiveMode::Download;
  replyTimer_.stop();
  emit finished(LinkResult{exchange_, outcome, payload, detail, portLost});
}

bool Link::openPort(QString* why) { return port_.isOpen() || port_.open(why); }

bool Link::ensureOpen() {
  QString why;
  if (openPort(&why)) return true;
  finish(LinkOutcome::PortError, {}, why);
  return false;
}

bool Link::send(std::uint8_t byte) {
  if (sendByte(byte)) return true;
  finish(LinkOutcome::PortError);
  return false;
}

void Link::expect(ReceiveMode mode, std::span<const std::uint8_t> echo) {
  const std::size_t n = std::min(echo.size(), expected_.size());
  std::copy_n(echo.begin(), n, expected_.begin());
  replyIndex_ = 0;
  mode_ = mode;
}

void Link::startReplyTimeout(int ms) {
  replyTimer_.stop();
  replyTimer_.setInterval(ms);
  replyTimer_.start();
}

void Link::stopReplyTimeout() { replyTimer_.stop(); }

void Link::restartSilenceTimer() {
  // Restarting a QTimer for every byte of a 2.5 MB stream costs more than the rest
  // of the receive path together; instead note the time of the byte and let the
  // timer, when it fires, re-arm itself for whatever part of the interval is left.
  sinceLastByte_.start();
  if (!silenceTimer_.isActive()) silenceTimer_.start(timings_.downloadSilence);
}

void Link::stopSilenceTimer() { silenceTimer_.stop(); }

void Link::onSilenceTimer() {
  const qint64 quiet = sinceLastByte_.isValid() ? sinceLastByte_.elapsed() : timings_.downloadSilence;
  if (quiet < timings_.downloadSilence) {
    silenceTimer_.start(int(timings_.downloadSilence - quiet));
    return;
  }
  emit silenceElapsed();
}

void Link::onReplyTimeout() {
  QString why;
  const bool lost = !openPort(&why);
  finish(LinkOutcome::Timeout, {}, why, lost);
}

void Link::beginDownload() {
  replyTimer_.stop();
  mode_ = ReceiveMode::Download;
  insideFrame_ = false;
  receiveIndex_ = 2;
  overflow_ = false;
  downloadBytes_ = 0;
  downloadRunning_ = true;
  emit downloadBegins();
}

void Link::endDownload() {
  downloadRunning_ = false;
  insideFrame_ = false;
}

void Link::setLiveFraming(bool on) {
  liveFraming_ = on;
  liveData_.clear();
  liveRun_ = 0;
  if (!on) return;
  mode_ = ReceiveMode::Download;
  insideFrame_ = false;
}

// Stores a reply byte; true once the byte at `lastIndex` is in.
bool Link::storeReply(std::uint8_t byte, int lastIndex) {
  // Only a reply index set wrongly could leave the buffer; such a byte has no place.
  if (replyIndex_ >= 0 && replyIndex_ < kReplyBufferSize) reply_[std::size_t(replyIndex_)] = byte;
  if (replyIndex_ == lastIndex) return true;
  ++replyIndex_;
  return false;
}

bool Link::echoMatches(int count) const {
  return std::equal(reply_.begin(), reply_.begin() + count, expected_.begin());
}

void Link::receiveByte(std::uint8_t byte) {
  switch (mode_) {
    case ReceiveMode::Download:
      if (!insideFrame_) {
        if (byte == frame::kStart) {
          insideFrame_ = true;
          liveData_.clear();
          liveRun_ = 0;
        }
        receiveIndex_ = 2;
        return;
      }
      if (liveFraming_) {
        liveByte(byte);
        return;
      }
      if (receiveIndex_ + 1 < kReceiveBufferSize)
        receiveBuffer_[std::size_t(++receiveIndex_)] = byte;
      else
        overflow_ = true;
      ++downloadBytes_;
      restartSilenceTimer();
      return;
    case ReceiveMode::ParameterEcho: {
      if (!storeReply(byte, 2)) return;
      const bool same = echoMatches(3);
      mode_ = ReceiveMode::Download;
      replyTimer_.stop();
      if (send(same ? cmd::kAccept : cmd::kReject)) finish(same ? LinkOutcome::Ok : LinkOutcome::Rejected);
      return;
    }
    case ReceiveMode::CompensationEcho:
      // No acknowledgement byte in this mode.
      if (storeReply(byte, kCompensationBlockSize - 1))
        finish(echoMatches(kCompensationBlockSize) ? LinkOutcome::Ok : LinkOutcome::Rejected);
      return;
    case ReceiveMode::CompensationReadBack:
      if (storeReply(byte, kCompensationBlockSize - 1))
        finish(LinkOutcome::Ok, QByteArray(reinterpret_cast<const char*>(reply_.data()), kCompensationBlockSize));
      return;
    case ReceiveMode::Handshake:
      handshakeByte_ = byte;
      emit handshakeArrived(byte);
      return;
  }
}

void Link::liveByte(std::uint8_t byte) {
  if (byte == frame::kStart && (liveRun_ % 2) == 1) {
    // The end mark: the odd run's last 0xF0 belongs to it, the pairs before it are data.
    liveData_.chop(1);
    QByteArray data;
    data.reserve(liveData_.size());
    for (qsizetype i = 0; i < liveData_.size(); ++i) {
      data.append(liveData_[i]);
      if (std::uint8_t(liveData_[i]) == frame::kStuff && i + 1 < liveData_.size() &&
          std::uint8_t(liveData_[i + 1]) == frame::kStuff)
        ++i;
    }
    liveData_.clear();
    liveRun_ = 0;
    insideFrame_ = false;
    emit liveFrame(data);
    return;
  }
  liveRun_ = byte == frame::kStuff ? liveRun_ + 1 : 0;
  liveData_.append(char(byte));
  // A frame that lost its end mark must not grow without bound: give it up and wait
  // for the next start byte.
  if (liveData_.size() > 2 * kLiveFrameSize + 2) {
    liveData_.clear();
    liveRun_ = 0;
    insideFrame_ = false;
  }
}

}  // namespace common
