#pragma once
// Every device command apart from the download, as logic advanced by received bytes
// and timer ticks. Each ends in the link's finished() with its outcome; while a
// download runs, each is refused (Busy) and sends nothing.
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

// The configuration a live read takes at its first frame: "<serial>.cfg" in `cfgFolder`
// whatever its letter case, else config.cfg there.
struct LiveConfiguration {
  QString path;        // the file read, or the one that could not be read
  bool fallback = false;  // the logger's own file is missing
  std::optional<ChannelConfiguration> config;  // nullopt when `path` could not be read
  QString readError;
};
LiveConfiguration FindLiveConfiguration(const QString& cfgFolder, qint32 serialNumber);

// A read-back block as a .fsh file: the 21 bytes as received, nothing else.
bool WriteFshFile(const QString& path, const QByteArray& block, QString* error);

class Commands : public QObject {
  Q_OBJECT
 public:
  explicit Commands(Link& link, QObject* parent = nullptr);
  ~Commands() override;

  // Each start returns false when nothing was started; the link's finished() has said
  // why then (Busy, PortError).

  // "Send parameters": 0x88, then the mask high byte, mask low byte and code at the
  // parameter pacing; mode 1 and the 2,500 ms time-out after the third byte, when
  // `afterLastByte` runs (the dialog closes then). Saving the settings file is the
  // caller's job, before calling.
  bool sendParameters(const Settings& settings, std::function<void()> afterLastByte = {});
  // The dialog was cancelled, escaped or closed while its bytes were paced out: no
  // further byte goes out, `afterLastByte` is dropped so that nothing calls into the
  // dialog once it is gone, and the exchange ends as Cancelled. The logger, left
  // waiting for the rest, ignores the command.
  void cancelParameterSend();
  bool parameterSendActive() const { return parameterTimer_.isActive(); }

  // "&Memclr": the stored parameters again, paced 500 then 200 ms. The question
  // before it is the program's.
  bool clearMemory(const Settings& settings);

  // "&Tempconf": 0x22, three handshakes, the 21 bytes, the echo check.
  bool writeCompensation(const CompensationConstants& constants, qint32 configNumber);
  bool compensationWriteActive() const { return compState_ != CompState::Idle; }

  // "&GPRead": 0xCC; the 21 bytes come back as the payload of an Ok.
  bool readCompensation();

  // meter: 0x88, high, low, code with a short pause after each of the first three
  // bytes; Ok after the last, no echo check.
  bool meterSendParameters(quint8 maskHighByte, quint8 maskLowByte, quint8 freqCode);

  // meter "&Read": re-opens the port, sends 0xAA and hands out each complete frame.
  // The first frame comes as firstFrame() and the frames wait, the silence watchdog
  // stopped, until the program has put the logger's configuration in place and calls
  // resumeLive(): no frame shows by a configuration that is not the logger's. Then each
  // frame comes as frameReceived(), the first included. A silence of 3 s ends the
  // exchange as Timeout; frames that come again are shown again.
  bool startLiveRead();
  void resumeLive();
  void stopLiveRead();

  qint16 pacingStep() const { return pacingStep_; }

 signals:
  void firstFrame(const common::LiveFrame& frame);
  void frameReceived(const common::LiveFrame& frame);

 private:
  enum class CompState { Idle, WaitHandshake, HandshakePause, FinalPause, Sending, WaitEcho };
  enum class Live { Off, WaitFirst, AwaitConfiguration, Running };
  bool start(Exchange exchange, std::uint8_t commandByte);
  bool startParameters(Exchange exchange, const Settings& settings, QTimer& timer, int firstInterval);
  bool paceParameters(QTimer& timer, int nextInterval);
  void onParameterTick();
  void onCompensationTick();
  void onPauseTimer();
  void onHandshake(std::uint8_t byte);
  void onMeterTick();
  void onLiveFrame(const QByteArray& data);
  // Every pacing and pause timer stops: the exchange has ended, or a download was
  // requested and none of the running command's bytes may land in its stream.
  void stopSending();

  Link& link_;
  qint16 pacingStep_ = 0;
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
  int meterStep_ = 0;
  Live live_ = Live::Off;
  std::optional<LiveFrame> first_;
};

}  // namespace common
