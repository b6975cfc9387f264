#pragma once
// A software logger that answers the serial protocol: logging parameters with echo
// and accept byte, memory clear, compensation handshake / echo / read-back, the
// framed and stuffed memory download, and live frames. Its memory holds a generated
// log for the channel mask and rate last set. It packs its records with its own
// packer, written from the record layout; it never links the decoder.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

struct Faults {
  bool noiseBeforeStart = false;  // a few non-0xFF bytes before the download's start byte
  bool noEndMark = false;         // the download stream stops without 0xF0 0xFF
  bool evenEndRun = false;        // the stream ends 0xF0 0xF0 0xFF: an even run, no end mark
  bool wrongEcho = false;         // one echoed byte (parameters or compensation) is changed
  bool silence = false;           // commands are read but never answered
  bool overlongStream = false;    // the download is longer than the PC's receive buffer
  bool wrongHandshake = false;    // the first handshake answer is judged wrong: the logger falls silent
  bool shortLiveFrame = false;    // every third live frame loses its last data bytes
};

enum class Pacing { FullSpeed, Baud38400 };

// The generated log in time order: samples[channel - 1][t], raw values.
struct GeneratedLog {
  quint8 maskLow = 0x3F;
  quint8 maskHigh = 0;
  quint8 freqCode = 5;
  qint32 serialNumber = 0;
  std::array<std::vector<quint16>, 12> samples;
  qint32 sampleCount() const;
  bool logged(int channel) const;
};

// Engineering ranges the generator assumes for the pressure channels (and that the
// default configuration written for the demo gives them).
constexpr double kPressureMin = 600.0;   // mbar at raw 0
constexpr double kPressureMax = 1100.0;  // mbar at raw 4095
constexpr int kStaticChannel = 5;
constexpr int kTotalChannel = 6;

// Samples of a `seconds` long flight for the mask and code: static pressure falls
// with the climb, total = static + dynamic pressure, smooth signals elsewhere.
GeneratedLog GenerateFlight(quint8 maskLow, quint8 maskHigh, quint8 freqCode, qint32 serial, double seconds);

// The record layout, from the end of the record backwards (12-bit pairs, then the
// 8-bit channels before them).
int RecordLength(quint8 maskLow, quint8 maskHigh);
// Memory image as a .dlt holds it: 4 unused bytes, mask low, mask high, code, serial
// (3 bytes), the records (record i = sample count - i, one extra record at the end),
// then 0xF0 0xFF.
QByteArray PackImage(const GeneratedLog& log);
// Image bytes from index 4 on, 0xF0 doubled, behind the start byte 0xFF; the end mark
// stays single.
QByteArray FrameStream(const QByteArray& image);
// One live frame: start byte, 27 stuffed data bytes, end mark.
QByteArray LiveFrameBytes(const std::array<int, 12>& raw, int extra, qint32 serial);

class Simulator : public QObject {
  Q_OBJECT
 public:
  // Hands bytes to the line; returns how many were taken (a full pty takes fewer).
  using Writer = std::function<qint64(const char* data, qint64 size)>;

  explicit Simulator(QObject* parent = nullptr);
  ~Simulator() override;

  // Returns a token; clearWriter(token) removes the writer only if it is still that one.
  int setWriter(Writer writer);
  void clearWriter(int token);
  // A writer that took fewer bytes than offered makes the simulator wait for resume()
  // when `blocked` is set (a pty's write notifier), else it retries after 1 ms.
  void setBlockedHandler(std::function<void()> blocked) { blocked_ = std::move(blocked); }
  void resume();
  // A byte from the PC.
  void receive(quint8 byte);

  void setPacing(Pacing pacing) { pacing_ = pacing; }
  void setFaults(const Faults& faults) { faults_ = faults; }
  const Faults& faults() const { return faults_; }
  void setSerialNumber(qint32 serial);
  qint32 serialNumber() const { return serial_; }
  void setCompensation(const QByteArray& block21);
  QByteArray compensation() const { return compensation_; }
  // Flight length of the generated log; fillMemory makes it as long as the memory holds.
  void setFlightSeconds(double seconds);
  void setFillMemory(bool fill);
  // What 0x88 followed by an accepted echo does: new mask and rate, memory regenerated.
  void setLogging(quint8 maskLow, quint8 maskHigh, quint8 freqCode);
  void setLiveInterval(int ms) { liveTimer_.setInterval(ms); }
  // Test control: bytes the logger sends unasked, after whatever is queued (a live
  // frame made by hand, say).
  void inject(const QByteArray& bytes) { queue(bytes); }

  const GeneratedLog& log() const { return log_; }
  QByteArray image() const { return PackImage(log_); }
  // What the logger sends after 0x40 and the delay byte, faults included.
  QByteArray downloadStream() const;
  // Live frame number `number` (from 1), faults included.
  QByteArray liveFrame(int number) const;

  // What the logger saw, for tests.
  QByteArray received() const { return received_; }
  std::vector<quint8> handshakeAnswers() const { return handshakeAnswers_; }
  int lastDelay() const { return lastDelay_; }
  int acceptedParameterSets() const { return accepted_; }
  int rejectedParameterSets() const { return rejected_; }
  qint64 pendingBytes() const { return out_.size() - outPos_; }
  qint64 bytesSent() const { return bytesSent_; }
  int liveFramesSent() const { return liveFrames_; }

  // Handshake bytes the logger sends; the PC answers ~b, b, ~b.
  static constexpr std::array<quint8, 3> kHandshake = {0x5A, 0x3C, 0x96};
  static constexpr int kMemorySize = 2558001;

 signals:
  void idle();  // all queued bytes have left

 private:
  enum class State { Command, Params, ParamAnswer, Delay, HandshakeAnswer, CompBytes };
  void queue(const QByteArray& bytes);
  void pump();
  void regenerate();
  void sendLiveFrame();

  Writer writer_;
  int writerToken_ = 0;
  std::function<void()> blocked_;
  bool waitingForResume_ = false;
  Pacing pacing_ = Pacing::FullSpeed;
  Faults faults_;
  State state_ = State::Command;
  qint32 serial_ = 4711;
  QByteArray compensation_;
  double seconds_ = 600.0;
  bool fill_ = false;
  GeneratedLog log_;
  std::array<quint8, 3> pendingParams_{};
  int paramCount_ = 0;
  int handshakeStep_ = 0;
  QByteArray compIn_;
  QByteArray received_;
  std::vector<quint8> handshakeAnswers_;
  int lastDelay_ = -1;
  int accepted_ = 0;
  int rejected_ = 0;
  QByteArray out_;
  qint64 outPos_ = 0;
  qint64 bytesSent_ = 0;
  QTimer pumpTimer_;
  QElapsedTimer paceClock_;
  qint64 pacedBudgetBase_ = 0;
  QTimer liveTimer_;
  int liveFrames_ = 0;
};

}  // namespace sim
