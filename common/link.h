#pragma once
// The link to the logger: its state, the receive state machine that routes every
// received byte by ReceiveMode, the reply time-out and the download silence timer.
// The commands (commands.h) and the download (logger/link) drive it.
#include "common/bytechannel.h"
#include "common/linktimings.h"
#include "common/prompt.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
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

enum ReceiveModes : std::uint8_t {
  kModeDownload = 0,
  kModeParameterEcho = 1,
  kModeCompensationEcho = 2,
  kModeCompensationReadBack = 3,
  kModeHandshake = 4,
};

// How an exchange ended; the message shown says the same in words.
enum class LinkOutcome {
  ParametersStored,
  VerifyFailed,
  CompensationStored,
  CompensationVerifyFailed,
  ReadBackReceived,
  Timeout,
  CommError,
};

class Link : public QObject {
  Q_OBJECT
 public:
  Link(ByteChannel& port, Prompt& prompt, const LinkTimings& timings = LinkTimings{}, QObject* parent = nullptr);
  ~Link() override;

  // ---- Link state (program-wide, named as the forms name it) ----
  std::uint8_t ReceiveMode = kModeDownload;
  std::array<std::uint8_t, kReplyBufferSize> ReplyBuffer{};
  std::int16_t ReplyIndex = 0;
  std::uint8_t HandshakeByte = 0;
  std::vector<std::uint8_t> ReceiveBuffer;  // kReceiveBufferSize bytes, allocated once, never cleared
  std::int32_t ReceiveIndex = 0;
  bool InsideFrame = false;  // a start byte came and the frame has not ended
  // Set when a download stream did not fit into ReceiveBuffer; the bytes beyond it
  // were dropped and the download must end as "Fault!". Cleared by the download request.
  bool ReceiveOverflow = false;

  ByteChannel& port() { return port_; }
  Prompt& prompt() { return prompt_; }
  const LinkTimings& timings() const { return timings_; }

  // ---- Operations used by the commands ----
  // Open the port if it is closed. On failure: "Communication error. Check com port
  // settings." titled "Error", pointer default, finished(CommError); returns false.
  bool ensureOpen();
  // Send one byte, with the same failure handling as ensureOpen.
  bool send(std::uint8_t byte);
  // Start-up and re-open after a time-out or a finished download: on failure
  // "Communication port error. Check port settings!" titled "Error", then
  // commDialogRequested(). Does nothing for an open port.
  bool reopenIfClosed();

  // The bytes mode 1 (3 bytes) and mode 2 (21 bytes) compare their echo with.
  void setExpectedEcho(const std::uint8_t* bytes, int count);
  void startReplyTimeout(int ms);
  void stopReplyTimeout();
  bool replyTimeoutActive() const { return replyTimer_.isActive(); }

  // Timer1 of the main window: (re)start and stop the download silence timer.
  void restartSilenceTimer();
  void stopSilenceTimer();
  bool silenceTimerActive() const { return silenceTimer_.isActive(); }

  // Meter live read: in mode 0 every framed unit after a start byte is handed out as
  // liveFrame() once its end mark arrives, instead of being collected for a download.
  void setLiveFraming(bool on);
  bool liveFraming() const { return liveFraming_; }

  // The download request's reset: InsideFrame, the overflow flag and the
  // byte count start again, and ReceiveIndex too, so that a logger that sends nothing
  // leaves fewer than 9 bytes ("No Data") whatever an earlier download left there. The
  // next start byte begins a new collection. Every other command stops its timers
  // (downloadBegins) so that none of its bytes reaches the logger mid-stream.
  void beginDownload();
  // The completion (or a request that could not be sent) ends the running download.
  void endDownload() { downloadRunning_ = false; }
  bool downloadRunning() const { return downloadRunning_; }
  // While a download runs, a second one and every device command are refused: true
  // after "A download is running. Wait until it has ended." titled "Status".
  bool refuseDuringDownload();

  // The receive event: one received byte. The port's receiver calls it.
  void receiveByte(std::uint8_t byte);
  // Bytes collected since the last download request started (0xFF excluded).
  std::int64_t downloadBytesReceived() const { return downloadBytes_; }

 signals:
  void silenceElapsed();   // Timer1: one silence interval after the last download byte
  void downloadBegins();   // a download was requested: other commands stop sending
  void readBackComplete(const QByteArray& block);  // mode 3: 21 bytes
  void handshakeArrived(std::uint8_t byte);        // mode 4
  void replyTimedOut();                            // after "Timeout!!" was shown
  void finished(common::LinkOutcome outcome);      // an exchange ended (message already shown)
  void commDialogRequested();
  void liveFrame(const QByteArray& data);          // unstuffed frame bytes after the start byte

 private:
  void onReplyTimeout();
  void onSilenceTimer();
  void storeReply(std::uint8_t byte);
  void liveByte(std::uint8_t byte);
  void commError();

  ByteChannel& port_;
  Prompt& prompt_;
  LinkTimings timings_;
  QTimer replyTimer_;    // Timer2
  QTimer silenceTimer_;  // Timer1
  QElapsedTimer sinceLastByte_;
  std::array<std::uint8_t, kCompensationBlockSize> expected_{};
  int expectedCount_ = 0;
  bool liveFraming_ = false;
  QByteArray liveData_;
  int liveRun_ = 0;  // current run of 0xF0 within a live frame
  std::int64_t downloadBytes_ = 0;
  bool downloadRunning_ = false;
};

}  // namespace common
