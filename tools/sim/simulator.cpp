#include "tools/sim/simulator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace sim {

namespace {
constexpr quint8 kStart = 0xFF;
constexpr quint8 kStuff = 0xF0;
constexpr int kHeaderEnd = 10;  // first record byte in the image
constexpr double kBytesPerMs = 38400.0 / 10.0 / 1000.0;  // 8N1: ten bit times per byte
constexpr qint64 kChunk = 64 * 1024;

double smoothstep(double a, double b, double x) {
  if (x <= a) return 0;
  if (x >= b) return 1;
  const double t = (x - a) / (b - a);
  return t * t * (3 - 2 * t);
}

// Piecewise flight profile over the fraction f of the flight: altitude in m, speed in m/s.
void Profile(double f, double& altitude, double& speed) {
  altitude = 1500.0 * (smoothstep(0.13, 0.43, f) - smoothstep(0.73, 0.93, f));
  speed = 8.0 * smoothstep(0.02, 0.08, f) + 27.0 * smoothstep(0.10, 0.13, f) + 5.0 * smoothstep(0.13, 0.2, f) +
          15.0 * smoothstep(0.43, 0.48, f) - 10.0 * smoothstep(0.73, 0.78, f) - 37.0 * smoothstep(0.93, 0.99, f);
  speed = std::max(0.0, speed);
}

quint16 ToRaw(double value, double min, double max, int fullScale) {
  const double r = std::round((value - min) / (max - min) * fullScale);
  return quint16(std::clamp(r, 0.0, double(fullScale)));
}

int Logged12(quint8 maskLow, quint8 maskHigh) { return std::popcount(unsigned(maskLow)) + std::popcount(unsigned(maskHigh & 0x03)); }
}  // namespace

qint32 GeneratedLog::sampleCount() const {
  for (const auto& s : samples)
    if (!s.empty()) return qint32(s.size());
  return 0;
}

bool GeneratedLog::logged(int channel) const {
  const unsigned mask = unsigned(maskLow) | (unsigned(maskHigh) << 8);
  return (mask >> (channel - 1)) & 1u;
}

GeneratedLog GenerateFlight(quint8 maskLow, quint8 maskHigh, quint8 freqCode, qint32 serial, double seconds) {
  GeneratedLog log;
  log.maskLow = maskLow;
  log.maskHigh = quint8(maskHigh & 0x0F);
  log.freqCode = freqCode ? freqCode : 1;
  log.serialNumber = serial;
  const double interval = 0.02 * log.freqCode;  // seconds per sample
  const qint32 n = std::max<qint32>(1, qint32(std::llround(seconds / interval)));
  for (int c = 1; c <= 12; ++c)
    if (log.logged(c)) log.samples[std::size_t(c - 1)].resize(std::size_t(n));
  for (qint32 j = 0; j < n; ++j) {
    const double t = j * interval;
    const double f = double(j) / n;
    double h = 0, v = 0;
    Profile(f, h, v);
    // Light turbulence so that the traces are not perfectly smooth.
    h += 3.0 * std::sin(t * 0.9) * std::sin(t * 0.23);
    const double base = 1.0 - 2.25577e-5 * h;
    const double staticP = 1013.25 * std::pow(base, 5.25588);
    const double rho = 1.225 * std::pow(base, 4.25588);
    const double dynamicP = 0.5 * rho * v * v / 100.0;  // Pa -> mbar
    for (int c = 1; c <= 12; ++c) {
      if (!log.logged(c)) continue;
      quint16 raw;
      if (c == kStaticChannel) {
        raw = ToRaw(staticP, kPressureMin, kPressureMax, 4095);
      } else if (c == kTotalChannel) {
        raw = ToRaw(staticP + dynamicP, kPressureMin, kPressureMax, 4095);
      } else {
        const int full = c <= 10 ? 4095 : 255;
        const double period = 20.0 + 9.0 * c;
        const double wave = 0.5 + 0.35 * std::sin(2 * std::numbers::pi * t / period + c) +
                            0.08 * std::sin(2 * std::numbers::pi * t / (period / 7.3));
        raw = ToRaw(wave, 0.0, 1.0, full);
      }
      log.samples[std::size_t(c - 1)][std::size_t(j)] = raw;
    }
  }
  return log;
}

int RecordLength(quint8 maskLow, quint8 maskHigh) {
  const int p = Logged12(maskLow, maskHigh);
  const int q = std::popcount(unsigned(maskHigh & 0x0C));
  return (3 * p + 1) / 2 + q;
}

QByteArray PackImage(const GeneratedLog& log) {
  const int rl = RecordLength(log.maskLow, log.maskHigh);
  const qint32 n = log.sampleCount();
  std::vector<int> twelve;  // logged 12-bit channels, ascending
  for (int c = 1; c <= 10; ++c)
    if (log.logged(c)) twelve.push_back(c);
  const int p = int(twelve.size());
  const int r = (3 * p + 1) / 2;
  // n samples need n + 1 records: the decoder's count leaves the last record out.
  const qint32 records = rl > 0 ? n + 1 : 0;
  QByteArray image(kHeaderEnd + qsizetype(records) * rl + 2, '\0');
  auto* b = reinterpret_cast<quint8*>(image.data());
  b[4] = log.maskLow;
  b[5] = log.maskHigh;
  b[6] = log.freqCode;
  b[7] = quint8(log.serialNumber & 0xFF);
  b[8] = quint8((log.serialNumber >> 8) & 0xFF);
  b[9] = quint8((log.serialNumber >> 16) & 0xFF);
  for (qint32 i = 1; i <= records; ++i) {
    // Record i holds the sample that lands in column n - i: record n is the oldest
    // sample, record 1 the newest; the extra record n + 1 repeats the oldest.
    const qint32 column = std::max<qint32>(0, n - i);
    auto value = [&](int channel) { return log.samples[std::size_t(channel - 1)][std::size_t(column)]; };
    const qint64 e = qint64(rl) * i + 9;
    for (int g = 0; 2 * g < p; ++g) {
      const quint16 a = value(twelve[std::size_t(2 * g)]);
      if (2 * g + 1 < p) {
        const quint16 c = value(twelve[std::size_t(2 * g + 1)]);
        b[e - 3 * g] = quint8(a & 0xFF);
        b[e - 3 * g - 1] = quint8(c & 0xFF);
        b[e - 3 * g - 2] = quint8(((a >> 8) & 0x0F) | (((c >> 8) & 0x0F) << 4));
      } else {
        b[e - 3 * g] = quint8(a & 0xFF);
        b[e - 3 * g - 1] = quint8((a >> 8) & 0x0F);
      }
    }
    const bool has11 = log.logged(11), has12 = log.logged(12);
    if (has11) b[e - r] = quint8(value(11));
    if (has12) b[has11 ? e - r - 1 : e - r] = quint8(value(12));
  }
  b[image.size() - 2] = kStuff;
  b[image.size() - 1] = kStart;
  return image;
}

QByteArray FrameStream(const QByteArray& image) {
  QByteArray out;
  out.reserve(image.size() + image.size() / 64 + 4);
  out.append(char(kStart));
  for (qsizetype i = 4; i + 2 < image.size(); ++i) {
    out.append(image[i]);
    if (quint8(image[i]) == kStuff) out.append(char(kStuff));
  }
  out.append(char(kStuff));
  out.append(char(kStart));
  return out;
}

QByteArray LiveFrameBytes(const std::array<int, 12>& raw, int extra, qint32 serial) {
  QByteArray data;
  for (int c = 0; c < 10; ++c) {
    data.append(char((raw[std::size_t(c)] >> 8) & 0xFF));
    data.append(char(raw[std::size_t(c)] & 0xFF));
  }
  data.append(char(raw[10] & 0xFF));
  data.append(char(raw[11] & 0xFF));
  data.append(char((extra >> 8) & 0xFF));
  data.append(char(extra & 0xFF));
  data.append(char(serial & 0xFF));
  data.append(char((serial >> 8) & 0xFF));
  data.append(char((serial >> 16) & 0xFF));
  QByteArray out(1, char(kStart));
  for (char c : data) {
    out.append(c);
    if (quint8(c) == kStuff) out.append(char(kStuff));
  }
  out.append(char(kStuff));
  out.append(char(kStart));
  return out;
}

// ---- Simulator ----

Simulator::Simulator(QObject* parent) : QObject(parent) {
  compensation_ = QByteArray(21, '\0');
  for (int i = 0; i < 21; ++i) compensation_[i] = char(0x10 + i);
  pumpTimer_.setSingleShot(true);
  pumpTimer_.setTimerType(Qt::PreciseTimer);
  connect(&pumpTimer_, &QTimer::timeout, this, [this] { pump(); });
  liveTimer_.setInterval(100);
  connect(&liveTimer_, &QTimer::timeout, this, [this] { sendLiveFrame(); });
  regenerate();
}

Simulator::~Simulator() = default;

int Simulator::setWriter(Writer writer) {
  writer_ = std::move(writer);
  return ++writerToken_;
}

void Simulator::clearWriter(int token) {
  if (token == writerToken_) writer_ = {};
}

void Simulator::setSerialNumber(qint32 serial) {
  serial_ = serial;
  regenerate();
}

void Simulator::setCompensation(const QByteArray& block21) {
  compensation_ = block21.left(21);
  compensation_.resize(21, '\0');
}

void Simulator::setFlightSeconds(double seconds) {
  seconds_ = seconds;
  regenerate();
}

void Simulator::setFillMemory(bool fill) {
  fill_ = fill;
  regenerate();
}

void Simulator::setLogging(quint8 maskLow, quint8 maskHigh, quint8 freqCode) {
  log_.maskLow = maskLow;
  log_.maskHigh = quint8(maskHigh & 0x0F);
  log_.freqCode = freqCode;
  regenerate();
}

void Simulator::regenerate() {
  const quint8 low = log_.maskLow, high = log_.maskHigh, code = log_.freqCode ? log_.freqCode : 5;
  double seconds = seconds_;
  const int rl = RecordLength(low, high);
  if (fill_ && rl > 0) {
    // Everything after the start byte must fit from index 3 of the PC's receive
    // buffer; stuffing adds a byte for every 0xF0, so shrink until it does.
    const qint64 room = kMemorySize - 3;
    qint64 records = (room - 6 - 2) / rl;
    for (;;) {
      seconds = double(records - 1) * 0.02 * code;
      log_ = GenerateFlight(low, high, code, serial_, seconds);
      const qint64 streamAfterStart = FrameStream(PackImage(log_)).size() - 1;
      if (streamAfterStart <= room) break;
      records -= (streamAfterStart - room) / rl + 1;
    }
    return;
  }
  log_ = GenerateFlight(low, high, code, serial_, seconds);
}

void Simulator::receive(quint8 byte) {
  received_.append(char(byte));
  if (faults_.silence) return;
  switch (state_) {
    case State::Command:
      liveTimer_.stop();
      switch (byte) {
        case 0x88:
          paramCount_ = 0;
          state_ = State::Params;
          break;
        case 0x40:
          state_ = State::Delay;
          break;
        case 0xCC:
          queue(compensation_);
          break;
        case 0x22:
          handshakeStep_ = 0;
          queue(QByteArray(1, char(kHandshake[0])));
          state_ = State::HandshakeAnswer;
          break;
        case 0xAA:
          liveTimer_.start();
          break;
        default:
          break;
      }
      return;
    case State::Params: {
      pendingParams_[std::size_t(paramCount_++)] = byte;
      if (paramCount_ < 3) return;
      QByteArray echo(reinterpret_cast<const char*>(pendingParams_.data()), 3);
      if (faults_.wrongEcho) echo[1] = char(echo[1] ^ 0x01);
      queue(echo);
      state_ = State::ParamAnswer;
      return;
    }
    case State::ParamAnswer:
      state_ = State::Command;
      if (byte == 0x0F) {
        ++accepted_;
        setLogging(pendingParams_[1], pendingParams_[0], pendingParams_[2]);
      } else if (byte == 0x00) {
        ++rejected_;
      } else {
        receive(byte);  // not an answer: a new command
        received_.chop(1);
      }
      return;
    case State::Delay: {
      lastDelay_ = byte;
      state_ = State::Command;
      queue(downloadStream());
      return;
    }
    case State::HandshakeAnswer: {
      handshakeAnswers_.push_back(byte);
      const quint8 sent = kHandshake[std::size_t(handshakeStep_)];
      const quint8 expected = handshakeStep_ == 1 ? sent : quint8(255 - sent);
      if (byte != expected || (faults_.wrongHandshake && handshakeStep_ == 0)) {
        state_ = State::Command;  // the logger gives up and stays silent
        return;
      }
      if (++handshakeStep_ < 3) {
        queue(QByteArray(1, char(kHandshake[std::size_t(handshakeStep_)])));
      } else {
        compIn_.clear();
        state_ = State::CompBytes;
      }
      return;
    }
    case State::CompBytes:
      compIn_.append(char(byte));
      if (compIn_.size() < 21) return;
      compensation_ = compIn_;
      state_ = State::Command;
      {
        QByteArray echo = compIn_;
        if (faults_.wrongEcho) echo[5] = char(echo[5] ^ 0x40);
        queue(echo);
      }
      return;
  }
}

QByteArray Simulator::downloadStream() const {
  QByteArray stream;
  if (faults_.overlongStream) {
    stream = QByteArray(1, char(kStart)) + QByteArray(kMemorySize + 1000, char(0x11));
    stream.append(char(kStuff));
    stream.append(char(kStart));
  } else {
    stream = FrameStream(PackImage(log_));
  }
  if (faults_.noEndMark) stream.chop(2);
  if (faults_.evenEndRun) {
    stream.chop(2);
    stream.append(QByteArray("\xF0\xF0\xFF", 3));
  }
  if (faults_.noiseBeforeStart) stream.prepend(QByteArray("\x12\x34\x00\x55\xF0", 5));
  return stream;
}

QByteArray Simulator::liveFrame(int number) const {
  std::array<int, 12> raw{};
  const qint32 n = std::max<qint32>(1, log_.sampleCount());
  const qint32 j = number % n;
  for (int c = 1; c <= 12; ++c) {
    const auto& s = log_.samples[std::size_t(c - 1)];
    raw[std::size_t(c - 1)] = s.empty() ? (c <= 10 ? 100 * c : 20 * c) : s[std::size_t(j)];
  }
  QByteArray frame = LiveFrameBytes(raw, 0x0123 + number % 16, serial_);
  if (faults_.shortLiveFrame && number % 3 == 0) {
    // Lose the last data bytes but keep the end mark: a frame too short to use.
    frame.remove(frame.size() - 6, 4);
  }
  return frame;
}

void Simulator::sendLiveFrame() { queue(liveFrame(++liveFrames_)); }

void Simulator::queue(const QByteArray& bytes) {
  if (pendingBytes() == 0) {
    out_.clear();
    outPos_ = 0;
    paceClock_.start();
    pacedBudgetBase_ = bytesSent_;
  }
  out_.append(bytes);
  if (!pumpTimer_.isActive() && !waitingForResume_) pumpTimer_.start(0);
}

void Simulator::resume() {
  waitingForResume_ = false;
  if (pendingBytes() > 0 && !pumpTimer_.isActive()) pumpTimer_.start(0);
}

void Simulator::pump() {
  qint64 allowance = kChunk;
  if (pacing_ == Pacing::Baud38400) {
    const qint64 due = qint64(double(paceClock_.nsecsElapsed()) / 1e6 * kBytesPerMs) - (bytesSent_ - pacedBudgetBase_);
    allowance = std::min<qint64>(due, kChunk);
    if (allowance <= 0) {
      pumpTimer_.start(10);
      return;
    }
  }
  const qint64 n = std::min(allowance, pendingBytes());
  qint64 taken = n;
  if (writer_) taken = std::clamp<qint64>(writer_(out_.constData() + outPos_, n), 0, n);
  outPos_ += taken;
  bytesSent_ += taken;
  if (pendingBytes() == 0) {
    out_.clear();
    outPos_ = 0;
    emit idle();
    return;
  }
  if (outPos_ > (1 << 20)) {
    out_.remove(0, outPos_);
    outPos_ = 0;
  }
  if (taken < n) {
    if (blocked_) {
      waitingForResume_ = true;
      blocked_();
      return;
    }
    pumpTimer_.start(1);
    return;
  }
  pumpTimer_.start(pacing_ == Pacing::Baud38400 ? 10 : 0);
}

}  // namespace sim
