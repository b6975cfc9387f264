#include "common/commands.h"

#include "common/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>
#include <QScopedValueRollback>

namespace common {

// ---- Plain functions ----

LogMask MaskFromChecks(const std::array<bool, kChannelCount>& ticked) {
  LogMask m;
  for (int k = 0; k < 8; ++k)
    if (ticked[std::size_t(k)]) m.MaskLowByte = qint16(m.MaskLowByte | (1 << k));
  for (int k = 8; k < kChannelCount; ++k)
    if (ticked[std::size_t(k)]) m.MaskHighByte = qint16(m.MaskHighByte | (1 << (k - 8)));
  return m;
}

std::array<bool, kChannelCount> ChecksFromMask(qint16 maskLowByte, qint16 maskHighByte) {
  std::array<bool, kChannelCount> t{};
  for (int k = 0; k < 8; ++k) t[std::size_t(k)] = (maskLowByte >> k) & 1;
  for (int k = 8; k < kChannelCount; ++k) t[std::size_t(k)] = (maskHighByte >> (k - 8)) & 1;
  return t;
}

namespace {
// List position -> code; the one table both directions use.
constexpr std::array<quint8, 4> kFreqCodes = {250, 50, 5, 2};
}  // namespace

QStringList FrequencyListTexts() {
  return {QStringLiteral("0.2"), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("25")};
}

std::optional<quint8> FreqCodeForListPosition(int position) {
  if (position < 0 || position >= int(kFreqCodes.size())) return std::nullopt;
  return kFreqCodes[std::size_t(position)];
}

int ListPositionForFreqCode(int code) {
  for (std::size_t i = 0; i < kFreqCodes.size(); ++i)
    if (kFreqCodes[i] == code) return int(i);
  return -1;
}

std::optional<quint8> CompensationByte(const QString& text) {
  if (text.isEmpty()) return quint8(0);
  bool ok = false;
  const int v = text.toInt(&ok);
  if (!ok || v < 0 || v > 255) return std::nullopt;
  return quint8(v);
}

CompensationBlock MakeCompensationBlock(const CompensationConstants& constants, qint32 configNumber) {
  CompensationBlock b{};
  // Each constant is held as a number 0 to 255; one byte goes on the line.
  for (int i = 0; i < kCompensationCount; ++i) b[std::size_t(i)] = quint8(constants[std::size_t(i)] & 0xFF);
  b[18] = quint8(configNumber & 0xFF);
  b[19] = quint8((configNumber >> 8) & 0xFF);
  b[20] = quint8((configNumber >> 16) & 0xFF);
  return b;
}

std::optional<LiveFrame> ParseLiveFrame(const QByteArray& data) {
  if (data.size() != kLiveFrameSize) return std::nullopt;
  auto u = [&](int n) { return int(quint8(data[n - 1])); };  // bytes numbered from 1
  LiveFrame f;
  for (int c = 1; c <= 10; ++c) f.raw[std::size_t(c - 1)] = int(qint16(quint16(u(2 * c - 1) * 256 + u(2 * c))));
  f.raw[10] = u(21);
  f.raw[11] = u(22);
  f.extra = u(23) * 256 + u(24);  // unsigned, 0 to 65535, unlike the channels
  f.serialNumber = u(25) + u(26) * 256 + u(27) * 65536;
  return f;
}

// ---- Commands ----

Commands::Commands(Link& link, QObject* parent) : QObject(parent), link_(link) {
  for (QTimer* t : {&parameterTimer_, &clearTimer_, &compensationTimer_, &pauseTimer_, &meterTimer_, &watchdog_})
    t->setSingleShot(true);
  connect(&parameterTimer_, &QTimer::timeout, this, [this] { onParameterTick(); });
  connect(&clearTimer_, &QTimer::timeout, this, [this] { onClearTick(); });
  connect(&compensationTimer_, &QTimer::timeout, this, [this] { onCompensationTick(); });
  connect(&pauseTimer_, &QTimer::timeout, this, [this] { onPauseTimer(); });
  connect(&meterTimer_, &QTimer::timeout, this, [this] { onMeterTick(); });
  connect(&watchdog_, &QTimer::timeout, this, [this] { onWatchdog(); });
  connect(&link_, &Link::handshakeArrived, this, [this](std::uint8_t b) { onHandshake(b); });
  connect(&link_, &Link::readBackComplete, this, [this](const QByteArray& b) { onReadBack(b); });
  connect(&link_, &Link::liveFrame, this, [this](const QByteArray& d) { onLiveFrame(d); });
  connect(&link_, &Link::downloadBegins, this, [this] { stopForDownload(); });
  connect(&link_, &Link::finished, this, [this](LinkOutcome o) {
    if (o == LinkOutcome::Timeout || o == LinkOutcome::CommError || o == LinkOutcome::CompensationStored ||
        o == LinkOutcome::CompensationVerifyFailed)
      abortCompensation();
    if (o == LinkOutcome::CommError) {
      parameterTimer_.stop();
      clearTimer_.stop();
      meterTimer_.stop();
    }
  });
}

Commands::~Commands() = default;

bool Commands::prologue(std::uint8_t commandByte, bool expectsReply) {
  if (expectsReply) link_.ReplyIndex = 0;
  link_.prompt().setBusy(true);
  return link_.ensureOpen() && link_.send(commandByte);
}

bool Commands::sendParameters(const Settings& settings, std::function<void()> afterLastByte) {
  if (link_.refuseDuringDownload()) return false;
  params_ = {quint8(settings.MaskHighByte), quint8(settings.MaskLowByte), settings.LogFreqCode};
  link_.setExpectedEcho(params_.data(), 3);
  afterLastByte_ = std::move(afterLastByte);
  if (!prologue(cmd::kSetParameters, true)) return false;
  PacingStep = 0;
  parameterTimer_.start(link_.timings().parameterPacing);
  return true;
}

// One pacing tick of the three parameter bytes, shared by "Send parameters" and the
// memory clear; true after the last byte, when the echo is awaited.
bool Commands::paceParameters(QTimer& timer, int nextInterval) {
  timer.stop();
  ++PacingStep;
  if (PacingStep < 1 || PacingStep > 3) {
    // Only a command running at the same time can push the count here; ticking on
    // would disturb its pacing for ever, so this command just ends.
    return false;
  }
  if (!link_.send(params_[std::size_t(PacingStep - 1)])) {
    PacingStep = 0;
    return false;
  }
  if (PacingStep < 3) {
    timer.start(nextInterval);
    return false;
  }
  link_.ReceiveMode = kModeParameterEcho;
  PacingStep = 0;
  link_.startReplyTimeout(link_.timings().parameterTimeout);
  return true;
}

void Commands::onParameterTick() {
  if (!paceParameters(parameterTimer_, link_.timings().parameterPacing)) return;
  // Taken out first: the callback closes the dialog, which must find nothing left to cancel.
  const std::function<void()> after = std::exchange(afterLastByte_, {});
  if (after) after();
}

void Commands::cancelParameterSend() {
  afterLastByte_ = {};
  if (!parameterTimer_.isActive()) return;
  parameterTimer_.stop();
  PacingStep = 0;
  link_.prompt().setBusy(false);
}

void Commands::stopForDownload() {
  for (QTimer* t : {&parameterTimer_, &clearTimer_, &compensationTimer_, &pauseTimer_, &meterTimer_}) t->stop();
  abortCompensation();
  afterLastByte_ = {};
  PacingStep = 0;
}

bool Commands::clearMemory(const Settings& settings) {
  if (link_.refuseDuringDownload()) return false;
  if (link_.prompt().message(msg::kTitleMemoryClearing, msg::kClearMemoryQuestion, PromptIcon::Exclamation,
                             PromptButtons::OkCancel) != PromptAnswer::Ok)
    return false;
  params_ = {quint8(settings.MaskHighByte), quint8(settings.MaskLowByte), settings.LogFreqCode};
  link_.setExpectedEcho(params_.data(), 3);
  if (!prologue(cmd::kSetParameters, true)) return false;
  PacingStep = 0;
  clearTimer_.start(link_.timings().clearFirstPacing);
  return true;
}

void Commands::onClearTick() { paceParameters(clearTimer_, link_.timings().clearNextPacing); }

bool Commands::writeCompensation(const CompensationConstants& constants, qint32 configNumber) {
  if (link_.refuseDuringDownload()) return false;
  abortCompensation();
  block_ = MakeCompensationBlock(constants, configNumber);
  if (!prologue(cmd::kWriteCompensation, true)) return false;
  link_.ReceiveMode = kModeHandshake;
  handshakeNumber_ = 1;
  compState_ = CompState::WaitHandshake;
  link_.startReplyTimeout(link_.timings().handshakeTimeout);
  return true;
}

void Commands::onHandshake(std::uint8_t byte) {
  // Bytes during a pause do not shorten it: the pause belongs to the logger.
  if (compState_ != CompState::WaitHandshake) return;
  link_.stopReplyTimeout();
  link_.HandshakeByte = byte;
  compState_ = CompState::HandshakePause;
  pauseTimer_.start(link_.timings().handshakePause);
}

void Commands::onPauseTimer() {
  pauseTimer_.stop();
  if (compState_ == CompState::HandshakePause) {
    link_.stopReplyTimeout();
    const std::uint8_t b = link_.HandshakeByte;
    const std::uint8_t answer = handshakeNumber_ == 2 ? b : std::uint8_t(255 - b);
    if (!link_.send(answer)) return;  // CommError aborts the state machine
    if (handshakeNumber_ < 3) {
      ++handshakeNumber_;
      compState_ = CompState::WaitHandshake;
      link_.startReplyTimeout(link_.timings().handshakeTimeout);
    } else {
      compState_ = CompState::FinalPause;
      link_.stopReplyTimeout();
      pauseTimer_.start(link_.timings().compensationPause);
    }
  } else if (compState_ == CompState::FinalPause) {
    compState_ = CompState::Sending;
    PacingStep = 0;
    compensationTimer_.start(link_.timings().compensationFirstPacing);
  }
}

void Commands::onCompensationTick() {
  compensationTimer_.stop();
  if (compState_ != CompState::Sending) return;
  ++PacingStep;
  if (PacingStep < 1 || PacingStep > kCompensationBlockSize) {
    abortCompensation();
    return;
  }
  if (!link_.send(block_[std::size_t(PacingStep - 1)])) return;
  if (PacingStep < kCompensationBlockSize) {
    compensationTimer_.start(link_.timings().compensationNextPacing);
    return;
  }
  link_.setExpectedEcho(block_.data(), kCompensationBlockSize);
  link_.ReplyIndex = 0;
  link_.ReceiveMode = kModeCompensationEcho;
  PacingStep = 0;
  compState_ = CompState::WaitEcho;
  link_.startReplyTimeout(link_.timings().compensationEchoTimeout);
}

void Commands::abortCompensation() {
  compState_ = CompState::Idle;
  pauseTimer_.stop();
  compensationTimer_.stop();
}

bool Commands::readCompensation(const QString& folder) {
  if (link_.refuseDuringDownload()) return false;
  fshFolder_ = folder;
  lastFsh_.clear();
  if (!prologue(cmd::kReadCompensation, true)) return false;
  link_.ReceiveMode = kModeCompensationReadBack;
  PacingStep = 0;
  link_.startReplyTimeout(link_.timings().readBackTimeout);
  return true;
}

void Commands::onReadBack(const QByteArray& block) {
  Prompt& prompt = link_.prompt();
  for (;;) {
    const QString name = prompt.saveFile(msg::kFilterFsh, fshFolder_);
    if (name.isEmpty()) return;
    if (QFileInfo::exists(name) &&
        prompt.message(msg::kTitleConfig, msg::FileExistsQuestion(name), PromptIcon::Exclamation,
                       PromptButtons::YesNo) != PromptAnswer::Yes)
      continue;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size() || !file.commit()) {
      prompt.message(msg::kTitleError, msg::FileNotWritten(name), PromptIcon::Critical);
      return;
    }
    lastFsh_ = name;
    return;
  }
}

bool Commands::meterSendParameters(quint8 maskHighByte, quint8 maskLowByte, quint8 freqCode) {
  meterParams_ = {maskHighByte, maskLowByte, freqCode};
  if (!prologue(cmd::kSetParameters, false)) return false;
  meterStep_ = 0;
  meterTimer_.start(link_.timings().meterBytePause);
  return true;
}

void Commands::onMeterTick() {
  meterTimer_.stop();
  if (meterStep_ < 0 || meterStep_ > 2) return;
  if (!link_.send(meterParams_[std::size_t(meterStep_)])) return;
  ++meterStep_;
  if (meterStep_ < 3) {
    meterTimer_.start(link_.timings().meterBytePause);
    return;
  }
  link_.prompt().setBusy(false);
  link_.prompt().message(msg::kTitleStatus, msg::kParametersSent, PromptIcon::Information);
  emit parametersSent();
}

bool Commands::startLiveRead(const QString& cfgFolder) {
  cfgFolder_ = cfgFolder;
  link_.InsideFrame = false;
  link_.ReceiveMode = kModeDownload;
  link_.port().close();
  if (!link_.ensureOpen() || !link_.send(cmd::kLiveRead)) {
    // A read that could not start ends the one before it: no stale watchdog fires later.
    stopLiveRead();
    return false;
  }
  link_.setLiveFraming(true);
  liveActive_ = true;
  firstFrame_ = true;
  watchdog_.start(link_.timings().liveWatchdog);
  return true;
}

void Commands::stopLiveRead() {
  liveActive_ = false;
  watchdog_.stop();
  link_.setLiveFraming(false);
}

void Commands::onLiveFrame(const QByteArray& data) {
  // Frames that arrive while a message about the first one is open are passed over:
  // they would show before the logger's configuration is in place.
  if (!liveActive_ || choosingConfig_) return;
  const std::optional<LiveFrame> frame = ParseLiveFrame(data);
  if (!frame) return;  // a frame cut short is not a complete frame
  if (firstFrame_) {
    firstFrame_ = false;
    // The user may read a message below for longer than the watchdog waits: that is
    // no silence of the logger.
    watchdog_.stop();
    const QScopedValueRollback<bool> choosing(choosingConfig_, true);
    QString path = FindConfigFile(cfgFolder_, ConfigFileFor(frame->serialNumber));
    if (path.isEmpty()) {
      link_.prompt().message(msg::kTitleMeter, msg::MeterConfigMissing(frame->serialNumber), PromptIcon::Exclamation);
      path = FindConfigFile(cfgFolder_, QStringLiteral("config.cfg"));
      if (path.isEmpty()) path = QDir(cfgFolder_).filePath(QStringLiteral("config.cfg"));
    }
    ChannelConfiguration config;
    QString why;
    if (ReadConfigFile(path, config, &why))
      emit configurationLoaded(config, path);
    else  // the configuration in use stays, and the user knows the values are not this logger's
      link_.prompt().message(msg::kTitleError, msg::ConfigNotRead(path, why), PromptIcon::Exclamation);
    if (!liveActive_) return;  // stopped while a message was open
  }
  emit frameReceived(*frame);
  watchdog_.start(link_.timings().liveWatchdog);
}

void Commands::onWatchdog() {
  watchdog_.stop();
  link_.prompt().message(msg::kTitleError, msg::kConnectionTimeout, PromptIcon::Critical);
  emit liveTimedOut();
}

}  // namespace common
