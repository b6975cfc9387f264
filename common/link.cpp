#include "common/link.h"

#include "common/messages.h"

namespace common {

Link::Link(ByteChannel& port, Prompt& prompt, const LinkTimings& timings, QObject* parent)
    : QObject(parent), ReceiveBuffer(std::size_t(kReceiveBufferSize), 0), port_(port), prompt_(prompt), timings_(timings) {
  replyTimer_.setSingleShot(true);
  silenceTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, [this] { onReplyTimeout(); });
  connect(&silenceTimer_, &QTimer::timeout, this, [this] { onSilenceTimer(); });
  port_.setReceiver([this](std::uint8_t b) { receiveByte(b); });
}

Link::~Link() { port_.setReceiver({}); }

void Link::commError() {
  prompt_.setBusy(false);
  prompt_.message(msg::kTitleError, msg::kCommError, PromptIcon::Critical);
  emit finished(LinkOutcome::CommError);
}

bool Link::ensureOpen() {
  if (port_.isOpen()) return true;
  QString why;
  if (port_.open(&why)) return true;
  commError();
  return false;
}

bool Link::send(std::uint8_t byte) {
  if (port_.isOpen() && port_.writeByte(byte)) return true;
  commError();
  return false;
}

bool Link::reopenIfClosed() {
  if (port_.isOpen()) return true;
  QString why;
  if (port_.open(&why)) return true;
  prompt_.setBusy(false);
  prompt_.message(msg::kTitleError, msg::kCommPortError, PromptIcon::Critical);
  emit commDialogRequested();
  return false;
}

void Link::setExpectedEcho(const std::uint8_t* bytes, int count) {
  expectedCount_ = std::min(count, kCompensationBlockSize);
  std::copy(bytes, bytes + expectedCount_, expected_.begin());
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
  replyTimer_.stop();
  prompt_.setBusy(false);
  // Back to mode 0 before the box: a modal box runs the event loop, and a late reply
  // byte must not finish the abandoned exchange behind it.
  ReceiveMode = kModeDownload;
  prompt_.message(msg::kTitleStatus, msg::kTimeout, PromptIcon::Exclamation);
  emit replyTimedOut();
  reopenIfClosed();
  emit finished(LinkOutcome::Timeout);
}

void Link::beginDownload() {
  InsideFrame = false;
  ReceiveIndex = 2;
  ReceiveOverflow = false;
  downloadBytes_ = 0;
  downloadRunning_ = true;
  emit downloadBegins();
}

bool Link::refuseDuringDownload() {
  if (!downloadRunning_) return false;
  prompt_.message(msg::kTitleStatus, msg::kDownloadRunning, PromptIcon::Exclamation);
  return true;
}

void Link::setLiveFraming(bool on) {
  liveFraming_ = on;
  liveData_.clear();
  liveRun_ = 0;
}

void Link::storeReply(std::uint8_t byte) {
  if (ReplyIndex < 0 || ReplyIndex >= kReplyBufferSize) {
    // Only a command that set ReplyIndex wrongly gets here; the byte has no place.
    return;
  }
  ReplyBuffer[std::size_t(ReplyIndex)] = byte;
}

void Link::receiveByte(std::uint8_t byte) {
  if (ReceiveMode == kModeDownload) {
    if (!InsideFrame) {
      if (byte == frame::kStart) {
        InsideFrame = true;
        liveData_.clear();
        liveRun_ = 0;
      }
      ReceiveIndex = 2;
      return;
    }
    if (liveFraming_) {
      liveByte(byte);
      return;
    }
    if (ReceiveIndex + 1 < kReceiveBufferSize) {
      ++ReceiveIndex;
      ReceiveBuffer[std::size_t(ReceiveIndex)] = byte;
    } else {
      ReceiveOverflow = true;
    }
    ++downloadBytes_;
    restartSilenceTimer();
    return;
  }

  switch (ReceiveMode) {
    case kModeParameterEcho: {
      storeReply(byte);
      if (ReplyIndex != 2) {
        ++ReplyIndex;
        return;
      }
      bool same = true;
      for (int i = 0; i < 3; ++i) same = same && ReplyBuffer[std::size_t(i)] == expected_[std::size_t(i)];
      ReceiveMode = kModeDownload;
      replyTimer_.stop();
      if (!send(same ? cmd::kAccept : cmd::kReject)) return;
      prompt_.setBusy(false);
      if (same) {
        prompt_.message(msg::kTitleStatus, msg::kParametersStored, PromptIcon::Information);
        emit finished(LinkOutcome::ParametersStored);
      } else {
        prompt_.message(msg::kTitleStatus, msg::kVerifyFailed, PromptIcon::Exclamation);
        emit finished(LinkOutcome::VerifyFailed);
      }
      return;
    }
    case kModeCompensationEcho: {
      storeReply(byte);
      if (ReplyIndex != kCompensationBlockSize - 1) {
        ++ReplyIndex;
        return;
      }
      bool same = true;
      for (int i = 0; i < kCompensationBlockSize; ++i)
        same = same && ReplyBuffer[std::size_t(i)] == expected_[std::size_t(i)];
      ReceiveMode = kModeDownload;
      prompt_.setBusy(false);
      replyTimer_.stop();
      if (same) {
        prompt_.message(msg::kTitleStatus, msg::kCompensationStored, PromptIcon::Information);
        emit finished(LinkOutcome::CompensationStored);
      } else {
        prompt_.message(msg::kTitleStatus, msg::kCompensationVerifyFailed, PromptIcon::Exclamation);
        emit finished(LinkOutcome::CompensationVerifyFailed);
      }
      return;
    }
    case kModeCompensationReadBack: {
      storeReply(byte);
      if (ReplyIndex != kCompensationBlockSize - 1) {
        ++ReplyIndex;
        return;
      }
      ReceiveMode = kModeDownload;
      prompt_.setBusy(false);
      replyTimer_.stop();
      emit readBackComplete(QByteArray(reinterpret_cast<const char*>(ReplyBuffer.data()), kCompensationBlockSize));
      emit finished(LinkOutcome::ReadBackReceived);
      return;
    }
    case kModeHandshake:
      HandshakeByte = byte;
      emit handshakeArrived(byte);
      return;
    default:
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
    InsideFrame = false;
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
    InsideFrame = false;
  }
}

}  // namespace common
