#pragma once
// Every device command apart from the download, as logic that reports through the
// Prompt (messages, hourglass) and is advanced by received bytes and timer ticks.
// While a download runs, each command is refused with a message and sends nothing.
#include "common/channelconfig.h"
#include "common/link.h"
#include "common/settings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

namespace common {

// ---- Plain functions for the logging parameters dialog ----
struct LogMask {
  qint16 MaskLowByte = 0;   // channels 1 to 8
  qint16 MaskHighByte = 0;  // channels 9 to 12
};
// Box k (channel k + 1) ticked -> its bit.
LogMask MaskFromChecks(const std::array<bool, kChannelCount>& ticked);
std::array<bool, kChannelCount> ChecksFromMask(qint16 maskLowByte, qint16 maskHighByte);
// The "Sample freq" list: texts "0.2", "1", "10", "25" at positions 0 to 3.
QStringList FrequencyListTexts();
// Position 0..3 -> code 250, 50, 5, 2; nullopt for no selection (-1) or out of range.
std::optional<quint8> FreqCodeForListPosition(int position);
// Code 2, 5, 50, 250 -> position 3, 2, 1, 0; any other code -> -1 (no selection).
int ListPositionForFreqCode(int code);

// A compensation constant as typed in the editor: a whole number 0 to 255, the byte
// that goes on the line; an empty box counts as 0. nullopt for anything else.
std::optional<quint8> CompensationByte(const QString& text);

// The 21 bytes sent, echoed and read back: the low byte of each of the 18 constants,
// then the serial number's bits 0-7, 8-15, 16-23.
using CompensationBlock = std::array<quint8, kCompensationBlockSize>;
CompensationBlock MakeCompensationBlock(const CompensationConstants& constants, qint32 configNumber);

// One live frame of the meter (27 unstuffed bytes after the start byte).
struct LiveFrame {
  std::array<int, kChannelCount> raw{};  // channels 1-10 high byte first (signed 16-bit), 11, 12 single bytes
  int extra = 0;                         // bytes 23, 24, high byte first
  qint32 serialNumber = 0;               // bytes 25 + 26 * 256 + 27 * 65536
};
// nullopt unless `data` holds exactly 27 bytes.
std::optional<LiveFrame> ParseLiveFrame(const QByteArray& data);

class Commands : public QObject {
  Q_OBJECT
 public:
  explicit Commands(Link& link, QObject* parent = nullptr);
  ~Commands() override;

  // "Send parameters": 0x88, then the mask high byte, mask low byte and code at the
  // parameter pacing; mode 1 and the 2,500 ms time-out after the third byte, when
  // `afterLastByte` runs (the dialog closes then). Saving the settings file is the
  // caller's job, before calling. False when the prologue failed (message shown).
  bool sendParameters(const Settings& settings, std::function<void()> afterLastByte = {});
  // The dialog was cancelled, escaped or closed while its bytes were paced out: no
  // further byte goes out and `afterLastByte` is dropped, so nothing calls into the
  // dialog once it is gone. The logger, left waiting for the rest, ignores the command.
  void cancelParameterSend();
  bool parameterSendActive() const { return parameterTimer_.isActive(); }

  // "&Memclr": asks "This action will clear the Logger memory!!" first; anything but
  // OK ends it. Then the stored parameters again, paced 500 then 200 ms.
  bool clearMemory(const Settings& settings);

  // "&Tempconf": 0x22, three handshakes, the 21 bytes, the echo check. Returns at once;
  // the exchange runs on received bytes and timers and ends with finished().
  bool writeCompensation(const CompensationConstants& constants, qint32 configNumber);
  bool compensationWriteActive() const { return compState_ != CompState::Idle; }

  // "&GPRead": 0xCC, 21 bytes back, saved as a .fsh file chosen in a save dialog
  // opened in `folder`.
  bool readCompensation(const QString& folder);
  // The file the last read-back was saved to (empty if cancelled).
  QString lastFshFile() const { return lastFsh_; }

  // meter: 0x88, high, low, code with a short pause after each of the first three
  // bytes; "Parameters sent." titled "Status"; no echo check.
  bool meterSendParameters(quint8 maskHighByte, quint8 maskLowByte, quint8 freqCode);

  // meter "&Read": re-opens the port, sends 0xAA and hands out each complete frame;
  // the first frame loads "<serial>.cfg" from `cfgFolder` (or config.cfg with the
  // missing-configuration message) and reports it through configurationLoaded().
  // A silence of 3 s shows "Connection timeout" titled "Error".
  bool startLiveRead(const QString& cfgFolder);
  void stopLiveRead();

  qint16 PacingStep = 0;

 signals:
  void parametersSent();  // meter parameter send finished
  void frameReceived(const common::LiveFrame& frame);
  void configurationLoaded(const common::ChannelConfiguration& config, const QString& path);
  void liveTimedOut();

 private:
  enum class CompState { Idle, WaitHandshake, HandshakePause, FinalPause, Sending, WaitEcho };
  bool prologue(std::uint8_t commandByte, bool expectsReply);
  bool paceParameters(QTimer& timer, int nextInterval);
  void onParameterTick();
  void onClearTick();
  void onCompensationTick();
  void onPauseTimer();
  void onHandshake(std::uint8_t byte);
  void onReadBack(const QByteArray& block);
  void onMeterTick();
  void onLiveFrame(const QByteArray& data);
  void onWatchdog();
  void abortCompensation();
  // A download was requested: every pacing and pause timer stops and the running
  // command is given up, so that none of its bytes lands in the middle of the stream.
  void stopForDownload();

  Link& link_;
  std::array<quint8, 3> params_{};  // high, low, code as sent
  QTimer parameterTimer_;           // the parameters dialog's Timer1
  QTimer clearTimer_;               // Timer4
  QTimer compensationTimer_;        // Timer3
  QTimer pauseTimer_;               // Timer5
  QTimer meterTimer_;
  QTimer watchdog_;
  std::function<void()> afterLastByte_;
  CompState compState_ = CompState::Idle;
  int handshakeNumber_ = 0;  // 1..3
  CompensationBlock block_{};
  QString fshFolder_;
  QString lastFsh_;
  int meterStep_ = 0;
  std::array<quint8, 3> meterParams_{};
  bool liveActive_ = false;
  bool firstFrame_ = false;
  bool choosingConfig_ = false;  // the first frame's configuration is being loaded
  QString cfgFolder_;
};

}  // namespace common
