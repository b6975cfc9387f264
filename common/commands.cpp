#include "common/commands.h"

#include "common/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

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

LiveConfiguration FindLiveConfiguration(const QString& cfgFolder, qint32 serialNumber) {
  LiveConfiguration found;
  found.path = FindConfigFile(cfgFolder, ConfigFileFor(serialNumber));
  if (found.path.isEmpty()) {
    found.fallback = true;
    found.path = FindConfigFile(cfgFolder, QStringLiteral("config.cfg"));
    if (found.path.isEmpty()) found.path = QDir(cfgFolder).filePath(QStringLiteral("config.cfg"));
  }
  ChannelConfiguration config;
  if (ReadConfigFile(found.path, config, &found.readError)) found.config = config;
  return found;
}

bool WriteFshFile(const QString& path, const QByteArray& block, QString* error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(block) == block.size() && file.commit()) return true;
  if (error) *error = file.errorString();
  return false;
}

// ---- Commands ----

Commands::Commands(Link& link, QObject* parent) : QObject(parent), link_(link) {
  for (QTimer* t : {&parameterTimer_, &clearTimer_, &compensationTimer_, &pauseTimer_, &meterTimer_, &watchdog_})
    t->setSingleShot(true);
  connect(&parameterTimer_, &QTimer::timeout, this, [this] { onParameterTick(); });
  connect(&clearTimer_, &QTimer::timeout, this,
          [this] { paceParameters(clearTimer_, link_.timings().clearNextPacing); });
  connect(&compensationTimer_, &QTimer::timeout, this, [this] { onCompensationTick(); });
  connect(&pauseTimer_, &QTimer::timeout, this, [this] { onPauseTimer(); });
  connect(&meterTimer_, &QTimer::timeout, this, [this] { onMeterTick(); });
  connect(&watchdog_, &QTimer::timeout, this, [this] {
    link_.begin(Exchange::LiveRead);
    link_.finish(LinkOutcome::Timeout);
  });
  connect(&link_, &Link::handshakeArrived, this, [this](std::uint8_t b) { onHandshake(b); });
  connect(&link_, &Link::liveFrame, this, [this](const QByteArray& d) { onLiveFrame(d); });
  connect(&link_, &Link::downloadBegins, this, [this] { stopSending(); });
  connect(&link_, &Link::finished, this, [this](const LinkResult& r) {
    if (r.exchange != Exchange::LiveRead) stopSending();
  });
}

Commands::~Commands() = default;

// The prologue: refused during a download, port opened, command byte sent.
bool Commands::start(Exchange exchange, std::uint8_t commandByte) {
  link_.begin(exchange);
  if (link_.downloadRunning()) {
    link_.finish(LinkOutcome::Busy);
    return false;
  }
  stopSending();
  return link_.ensureOpen() && link_.send(commandByte);
}

bool Commands::startParameters(Exchange exchange, const Settings& settings, QTimer& timer, int firstInterval) {
  if (!start(exchange, cmd::kSetParameters)) return false;
  params_ = {quint8(settings.MaskHighByte), quint8(settings.MaskLowByte), settings.LogFreqCode};
  pacingStep_ = 0;
  timer.start(firstInterval);
  return true;
}

bool Commands::sendParameters(const Settings& settings, std::function<void()> afterLastByte) {
  if (!startParameters(Exchange::Parameters, settings, parameterTimer_, link_.timings().parameterPacing))
    return false;
  afterLastByte_ = std::move(afterLastByte);
  return true;
}

bool Commands::clearMemory(const Settings& settings) {
  return startParameters(Exchange::MemoryClear, settings, clearTimer_, link_.timings().clearFirstPacing);
}

// One pacing tick of the three parameter bytes, shared by "Send parameters" and the
// memory clear; true after the last byte, when the echo is awaited.
bool Commands::paceParameters(QTimer& timer, int nextInterval) {
  timer.stop();
  ++pacingStep_;
  if (pacingStep_ < 1 || pacingStep_ > 3) return false;
  if (!link_.send(params_[std::size_t(pacingStep_ - 1)])) return false;
  if (pacingStep_ < 3) {
    timer.start(nextInterval);
    return false;
  }
  link_.expect(ReceiveMode::ParameterEcho, params_);
  pacingStep_ = 0;
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
  link_.finish(LinkOutcome::Cancelled);
}

void Commands::stopSending() {
  for (QTimer* t : {&parameterTimer_, &clearTimer_, &compensationTimer_, &pauseTimer_, &meterTimer_}) t->stop();
  compState_ = CompState::Idle;
  afterLastByte_ = {};
  pacingStep_ = 0;
}

bool Commands::writeCompensation(const CompensationConstants& constants, qint32 configNumber) {
  if (!start(Exchange::CompensationWrite, cmd::kWriteCompensation)) return false;
  block_ = MakeCompensationBlock(constants, configNumber);
  link_.expect(ReceiveMode::Handshake);
  handshakeNumber_ = 1;
  compState_ = CompState::WaitHandshake;
  link_.startReplyTimeout(link_.timings().handshakeTimeout);
  return true;
}

void Commands::onHandshake(std::uint8_t) {
  // Bytes during a pause do not shorten it: the pause belongs to the logger.
  if (compState_ != CompState::WaitHandshake) return;
  link_.stopReplyTimeout();
  compState_ = CompState::HandshakePause;
  pauseTimer_.start(link_.timings().handshakePause);
}

void Commands::onPauseTimer() {
  if (compState_ == CompState::HandshakePause) {
    // The byte that arrived last: one that came during the pause counts too.
    const std::uint8_t b = link_.handshakeByte();
    if (!link_.send(handshakeNumber_ == 2 ? b : std::uint8_t(255 - b))) return;
    if (handshakeNumber_ < 3) {
      ++handshakeNumber_;
      compState_ = CompState::WaitHandshake;
      link_.startReplyTimeout(link_.timings().handshakeTimeout);
    } else {
      compState_ = CompState::FinalPause;
      pauseTimer_.start(link_.timings().compensationPause);
    }
  } else if (compState_ == CompState::FinalPause) {
    compState_ = CompState::Sending;
    pacingStep_ = 0;
    compensationTimer_.start(link_.timings().compensationFirstPacing);
  }
}

void Commands::onCompensationTick() {
  if (compState_ != CompState::Sending) return;
  ++pacingStep_;
  if (!link_.send(block_[std::size_t(pacingStep_ - 1)])) return;
  if (pacingStep_ < kCompensationBlockSize) {
    compensationTimer_.start(link_.timings().compensationNextPacing);
    return;
  }
  link_.expect(ReceiveMode::CompensationEcho, block_);
  pacingStep_ = 0;
  compState_ = CompState::WaitEcho;
  link_.startReplyTimeout(link_.timings().compensationEchoTimeout);
}

bool Commands::readCompensation() {
  if (!start(Exchange::CompensationRead, cmd::kReadCompensation)) return false;
  link_.expect(ReceiveMode::CompensationReadBack);
  pacingStep_ = 0;
  link_.startReplyTimeout(link_.timings().readBackTimeout);
  return true;
}

bool Commands::meterSendParameters(quint8 maskHighByte, quint8 maskLowByte, quint8 freqCode) {
  if (!start(Exchange::MeterParameters, cmd::kSetParameters)) return false;
  params_ = {maskHighByte, maskLowByte, freqCode};
  meterStep_ = 0;
  meterTimer_.start(link_.timings().meterBytePause);
  return true;
}

void Commands::onMeterTick() {
  if (!link_.send(params_[std::size_t(meterStep_)])) return;
  if (++meterStep_ < 3) {
    meterTimer_.start(link_.timings().meterBytePause);
    return;
  }
  link_.finish(LinkOutcome::Ok);
}

bool Commands::startLiveRead() {
  stopLiveRead();
  link_.begin(Exchange::LiveRead);
  link_.port().close();
  if (!link_.ensureOpen() || !link_.send(cmd::kLiveRead)) return false;
  link_.setLiveFraming(true);
  live_ = Live::WaitFirst;
  watchdog_.start(link_.timings().liveWatchdog);
  return true;
}

void Commands::resumeLive() {
  if (live_ != Live::AwaitConfiguration) return;
  live_ = Live::Running;
  watchdog_.start(link_.timings().liveWatchdog);
  if (first_) emit frameReceived(*std::exchange(first_, std::nullopt));
}

void Commands::stopLiveRead() {
  live_ = Live::Off;
  first_.reset();
  watchdog_.stop();
  link_.setLiveFraming(false);
}

void Commands::onLiveFrame(const QByteArray& data) {
  if (live_ == Live::Off || live_ == Live::AwaitConfiguration) return;
  const std::optional<LiveFrame> frame = ParseLiveFrame(data);
  if (!frame) return;  // a frame cut short is not a complete frame
  if (live_ == Live::WaitFirst) {
    live_ = Live::AwaitConfiguration;
    watchdog_.stop();
    first_ = frame;
    emit firstFrame(*frame);
    return;
  }
  emit frameReceived(*frame);
  watchdog_.start(link_.timings().liveWatchdog);
}

}  // namespace common
