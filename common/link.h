#pragma once
// The link to the logger: its state, the receive state machine that routes every
// received byte by its receive mode, the reply time-out and the download silence timer.
// The commands (commands.h) and the download (logger/link) drive it; every exchange
// ends in finished() with an outcome, which the program puts into words.
#include "common/bytechannel.h"
#include "common/linktimings.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace common {

// Indices 0 to 2,558,000.
constexpr std::int32_t kReceiveBufferSize = 2558001;
constexpr int kReplyBufferSize = 23;
constexpr int kCompensationBlockSize = 21;
constexpr int kLiveFrameSize = 27;

namespace cmd {
constexpr std::uint8_t kSetParameters = 0x88;
constexpr std::uint8_t kWriteCompensation = 0x22;
constexpr std::uint8_t kReadCompensation = 0xCC;
constexpr std::uint8_t kDownload = 0x40;
constexpr std::uint8_t kLiveRead = 0xAA;
constexpr std::uint8_t kAccept = 0x0F;
constexpr std::uint8_t kReject = 0x00;
}  // namespace cmd

namespace frame {
constexpr std::uint8_t kStart = 0xFF;
constexpr std::uint8_t kStuff = 0xF0;  // doubled in data; followed by kStart it ends a stream
}  // namespace frame

// What the next received byte belongs to.
enum class ReceiveMode : std::uint8_t {
  Download = 0,  // also idle: bytes before a start byte are dropped
  ParameterEcho = 1,
  CompensationEcho = 2,
  CompensationReadBack = 3,
  Handshake = 4,
};

// The exchanges with the logger apart from the download (logger/link has its own).
enum class Exchange { Parameters, MemoryClear, CompensationWrite, CompensationRead, MeterParameters, LiveRead };

// How an exchange ended. Each program turns it into its own words.
enum class LinkOutcome {
  Ok,         // stored and echoed as sent, read back, or sent (the meter asks no echo)
  Rejected,   // the echo differed from what was sent
  Timeout,    // no complete reply in time; for the live read, the logger fell silent
  PortError,  // the port could not be opened or written
  Busy,       // refused, nothing sent: a download runs
  Cancelled,  // the caller stopped it before its last byte
};

struct LinkResult {
  Exchange exchange = Exchange::Parameters;
  LinkOutcome outcome = LinkOutcome::Ok;
  QByteArray payload;  // the 21 bytes read back
  QString detail;      // the port's own words, when it gave any
  // After a time-out the link opens a closed port again; true when that failed (its
  // words in `detail`): the program offers the communication settings.
  bool portLost = false;
};

class Link : public QObject {
  Q_OBJECT
 public:
  explicit Link(ByteChannel& port, const LinkTimings& timings = LinkTimings{}, QObject* parent = nullptr);
  ~Link() override;

  ByteChannel& port() { return port_; }
  const LinkTimings& timings() const { return timings_; }

  // ---- The documented link state, read-only outside ----
  ReceiveMode receiveMode() const { return mode_; }
  std::span<const std::uint8_t> receiveBuffer() const { return receiveBuffer_; }
  std::int32_t receiveIndex() const { return receiveIndex_; }
  bool insideFrame() const { return insideFrame_; }  // a start byte came and the frame has not ended
  // The download stream did not fit into the receive buffer; the bytes beyond it were
  // dropped and the download must end as "Fault!". Cleared by the download request.
  bool receiveOverflow() const { return overflow_; }
  std::uint8_t handshakeByte() const { return handshakeByte_; }

  // ---- Operations used by the commands ----
  // Every later finish() names this exchange.
  void begin(Exchange exchange) { exchange_ = exchange; }
  Exchange exchange() const { return exchange_; }
  // Open the port if it is closed / send one byte; false (with the port's words in
  // `why`, when it gave any) on failure. The download's own road.
  bool openPort(QString* why);
  bool sendByte(std::uint8_t byte) { return port_.isOpen() && port_.writeByte(byte); }
  // The same for a command: on failure its exchange ends as PortError.
  bool ensureOpen();
  bool send(std::uint8_t byte);
  // Ends the running exchange: mode 0, no reply time-out, finished().
  void finish(LinkOutcome outcome, const QByteArray& payload = {}, const QString& detail = {}, bool portLost = false);

  // From now on received bytes belong to `mode`; a reply is collected from index 0 and,
  // for the echoes, compared with `echo` (3 bytes for the parameters, 21 for the block).
  void expect(ReceiveMode mode, std::span<const std::uint8_t> echo = {});
  void startReplyTimeout(int ms);
  void stopReplyTimeout();
  bool replyTimeoutActive() const { return replyTimer_.isActive(); }

  // Timer1 of the main window: (re)start and stop the download silence timer.
  void restartSilenceTimer();
  void stopSilenceTimer();
  bool silenceTimerActive() const { return silenceTimer_.isActive(); }

  // Meter live read: in mode 0 every framed unit after a start byte is handed out as
  // liveFrame() once its end mark arrives, instead of being collected for a download.
  // Switching it on waits for a fresh start byte in mode 0.
  void setLiveFraming(bool on);
  bool liveFraming() const { return liveFraming_; }

  // The download request's reset: mode 0 with no reply awaited (a command still waiting
  // would take the stream's first bytes as its echo), a fresh frame, the overflow flag and
  // the byte count cleared, and ReceiveIndex too, so that a logger that sends nothing
  // leaves fewer than 9 bytes ("No Data") whatever an earlier download left there. Every
  // other command stops its timers (downloadBegins) so that none of its bytes reaches the
  // logger mid-stream.
  void beginDownload();
  // The completion (or a request that could not be sent) ends the running download;
  // bytes after it wait for a new start byte.
  void endDownload();
  bool downloadRunning() const { return downloadRunning_; }

  // The receive event: one received byte. The port's receiver calls it.
  void receiveByte(std::uint8_t byte);
  // Bytes collected since the last download request started (0xFF excluded).
  std::int64_t downloadBytesReceived() const { return downloadBytes_; }

 signals:
  void silenceElapsed();  // Timer1: one silence interval after the last download byte
  void downloadBegins();  // a download was requested: other commands stop sending
  void handshakeArrived(std::uint8_t byte);  // mode 4
  void finished(const common::LinkResult& result);
  void liveFrame(const QByteArray& data);  // unstuffed frame bytes after the start byte

 private:
  void onReplyTimeout();
  void onSilenceTimer();
  bool storeReply(std::uint8_t byte, int lastIndex);
  bool echoMatches(int count) const;
  void liveByte(std::uint8_t byte);

  ByteChannel& port_;
  LinkTimings timings_;
  ReceiveMode mode_ = ReceiveMode::Download;
  Exchange exchange_ = Exchange::Parameters;
  std::array<std::uint8_t, kReplyBufferSize> reply_{};
  std::int16_t replyIndex_ = 0;
  std::uint8_t handshakeByte_ = 0;
  std::vector<std::uint8_t> receiveBuffer_;  // kReceiveBufferSize bytes, allocated once, never cleared
  std::int32_t receiveIndex_ = 0;
  bool insideFrame_ = false;
  bool overflow_ = false;
  QTimer replyTimer_;    // Timer2
  QTimer silenceTimer_;  // Timer1
  QElapsedTimer sinceLastByte_;
  std::array<std::uint8_t, kCompensationBlockSize> expected_{};
  bool liveFraming_ = false;
  QByteArray liveData_;
  int liveRun_ = 0;  // current run of 0xF0 within a live frame
  std::int64_t downloadBytes_ = 0;
  bool downloadRunning_ = false;
};

}  // namespace common
