// Every device command against the simulator: bytes and their order, messages,
// injected faults, and that the link works again afterwards.
#include "common/commands.h"
#include "common/messages.h"
#include "link_support.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace link_test;
using common::LinkOutcome;
namespace msg = common::msg;

namespace {

common::Settings Params(qint16 low, qint16 high, quint8 code) {
  common::Settings s;
  s.MaskLowByte = low;
  s.MaskHighByte = high;
  s.LogFreqCode = code;
  return s;
}

TEST(CommandTables, MaskBitsAndLiveFrameLayout) {
  std::array<bool, 12> only9{}, only1{};
  only9[8] = only1[0] = true;
  EXPECT_EQ(common::MaskFromChecks(only9).MaskHighByte, 1);
  EXPECT_EQ(common::MaskFromChecks(only9).MaskLowByte, 0);
  EXPECT_EQ(common::MaskFromChecks(only1).MaskLowByte, 1);
  EXPECT_EQ(common::MaskFromChecks(only1).MaskHighByte, 0);
  const std::array<bool, 12> checks = {true, false, false, false, false, false, false, true, false, true, false, true};
  EXPECT_EQ(common::ChecksFromMask(0x81, 0x0A), checks);

  // Channel 1 high byte first, channels 11 and 12, the extra word, the serial number.
  const QByteArray frame = Bytes({0x0F, 0xFF}) + QByteArray(18, 0) + Bytes({0xFF, 0x07, 0x01, 0x02, 0x39, 0x30, 0x00});
  const auto f = common::ParseLiveFrame(frame);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->raw[0], 4095);
  EXPECT_EQ(f->raw[10], 255);
  EXPECT_EQ(f->raw[11], 7);
  EXPECT_EQ(f->extra, 0x0102);
  EXPECT_EQ(f->serialNumber, 12345);
  EXPECT_FALSE(common::ParseLiveFrame(frame.left(26)));
  EXPECT_FALSE(common::ParseLiveFrame(frame + '\0'));
}

// Mask high byte, low byte, code; the echo; then the accept byte, 0 for a wrong echo
// and none after silence. After a failure the next send works.
TEST(SendParameters, BytesOrderEchoAndAcceptByte) {
  const struct {
    sim::Faults faults;
    LinkOutcome outcome;
    QString text;
    QByteArray answer;
  } cases[] = {
      {{}, LinkOutcome::ParametersStored, msg::kParametersStored, Bytes({0x0F})},
      {{.wrongEcho = true}, LinkOutcome::VerifyFailed, msg::kVerifyFailed, Bytes({0x00})},
      {{.silence = true}, LinkOutcome::Timeout, msg::kTimeout, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    SimRig r;
    r.simulator.setFaults(c.faults);
    bool closedDialog = false;
    ASSERT_TRUE(r.commands.sendParameters(Params(0x13, 1, 2), [&] {
      closedDialog = true;
      // The dialog closes after the third byte, before the echo can be there.
      EXPECT_EQ(r.link.ReceiveMode, common::kModeParameterEcho);
      EXPECT_TRUE(r.link.replyTimeoutActive());
      EXPECT_TRUE(r.prompt.messages().empty());
    }));
    EXPECT_TRUE(r.prompt.busy);
    EXPECT_EQ(r.channel.written(), Bytes({0x88}));  // the rest is paced
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_TRUE(closedDialog);
    EXPECT_EQ(r.outcomes[0], c.outcome);
    EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x13, 0x02}) + c.answer);
    EXPECT_EQ(r.prompt.said(), QStringList{msg::kTitleStatus + ": " + c.text});
    EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
    EXPECT_FALSE(r.prompt.busy);
    if (c.outcome == LinkOutcome::ParametersStored) {
      ASSERT_TRUE(WaitFor([&] { return r.simulator.acceptedParameterSets() == 1; }));
      EXPECT_EQ(r.simulator.log().maskLow, 0x13);
      EXPECT_EQ(r.simulator.log().maskHigh, 1);
      EXPECT_EQ(r.simulator.log().freqCode, 2);
      continue;
    }
    r.simulator.setFaults({});
    r.channel.clearWritten();
    ASSERT_TRUE(r.commands.sendParameters(Params(0x13, 1, 2)));
    ASSERT_TRUE(r.waitOutcome(2));
    EXPECT_EQ(r.outcomes[1], LinkOutcome::ParametersStored);
    EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x13, 0x02, 0x0F}));
  }
}

TEST(SendParameters, PortErrorEndsTheCommand) {
  SimRig r;
  r.channel.setOpenFails(true);
  EXPECT_FALSE(r.commands.sendParameters(Params(1, 0, 5)));
  EXPECT_EQ(r.prompt.said(), QStringList{msg::kTitleError + ": " + msg::kCommError});
  EXPECT_FALSE(r.prompt.busy);
  EXPECT_TRUE(r.channel.written().isEmpty());
}

TEST(ClearMemory, AsksFirstThenSendsTheStoredParametersAfterALongerFirstPause) {
  // The first pause long, the next ones short: while a probe timer of half the first
  // pause runs out (timers fire in the order they expire), only the command byte is out.
  common::LinkTimings t = FastTimings();
  t.clearFirstPacing = 400;
  t.clearNextPacing = 1;
  SimRig r(t);
  r.prompt.answers.push_back(common::PromptAnswer::Cancel);
  EXPECT_FALSE(r.commands.clearMemory(Params(0x30, 0x04, 50)));
  ASSERT_EQ(r.prompt.said(), QStringList{msg::kTitleMemoryClearing + ": " + msg::kClearMemoryQuestion});
  EXPECT_EQ(r.prompt.records[0].buttons, common::PromptButtons::OkCancel);
  EXPECT_EQ(r.prompt.records[0].icon, common::PromptIcon::Exclamation);
  EXPECT_TRUE(r.channel.written().isEmpty());

  QByteArray atProbe;
  QTimer::singleShot(t.clearFirstPacing / 2, [&] { atProbe = r.channel.written(); });
  ASSERT_TRUE(r.commands.clearMemory(Params(0x30, 0x04, 50)));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(atProbe, Bytes({0x88}));
  EXPECT_EQ(r.outcomes[0], LinkOutcome::ParametersStored);
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x04, 0x30, 50, 0x0F}));
  EXPECT_EQ(r.prompt.messageTexts(),
            (QStringList{msg::kClearMemoryQuestion, msg::kClearMemoryQuestion, msg::kParametersStored}));
}

TEST(Compensation, HandshakeBlockAndEchoAndTheFaultsThatEndIt) {
  const auto& h = sim::Simulator::kHandshake;
  // First and third answers are complements, the second the byte itself.
  const QByteArray handshake = Bytes({0x22, 255 - h[0], h[1], 255 - h[2]});
  QByteArray block;
  for (int i = 0; i < 18; ++i) block.append(char(0xA0 + i));
  block += Bytes({0x03, 0x02, 0x01});
  const struct {
    sim::Faults faults;
    LinkOutcome outcome;
    QString text;
    QByteArray written;
  } cases[] = {
      {{}, LinkOutcome::CompensationStored, msg::kCompensationStored, handshake + block},
      {{.wrongEcho = true}, LinkOutcome::CompensationVerifyFailed, msg::kCompensationVerifyFailed, handshake + block},
      // The logger judges the first answer wrong and falls silent: the wait times out.
      {{.wrongHandshake = true}, LinkOutcome::Timeout, msg::kTimeout, handshake.left(2)},
  };
  common::CompensationConstants k{};
  for (int i = 0; i < 18; ++i) k[std::size_t(i)] = qint16(0xA0 + i);
  for (const auto& c : cases) {
    SimRig r;
    r.simulator.setFaults(c.faults);
    ASSERT_TRUE(r.commands.writeCompensation(k, 0x010203));
    EXPECT_TRUE(r.commands.compensationWriteActive());
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(r.outcomes[0], c.outcome);
    EXPECT_EQ(r.channel.written(), c.written);  // no answer byte after the echo
    EXPECT_EQ(r.prompt.messageTexts(), QStringList{c.text});
    EXPECT_FALSE(r.commands.compensationWriteActive());
    EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
    EXPECT_FALSE(r.prompt.busy);
    if (c.outcome == LinkOutcome::CompensationStored) {
      EXPECT_EQ(r.simulator.compensation(), block);
    }
  }
}

TEST(Compensation, ReadBackIsSavedAsA21ByteFileWithTheOverwriteQuestion) {
  SimRig r;
  testing_support::ProgramDir dir;
  const QString existing = dir.file("cfg/old.fsh");
  ASSERT_TRUE(testing_support::WriteFileBytes(existing, "keep"));
  QByteArray block;
  for (int i = 0; i < 21; ++i) block.append(char(0xF0 - i));
  r.simulator.setCompensation(block);
  const QString fresh = dir.file("cfg/new.fsh");
  r.prompt.files = {existing, fresh};
  r.prompt.answers = {common::PromptAnswer::No};
  ASSERT_TRUE(r.commands.readCompensation(dir.file("cfg")));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::ReadBackReceived);
  EXPECT_EQ(r.channel.written(), Bytes({0xCC}));
  ASSERT_EQ(r.prompt.records.size(), 3u);
  EXPECT_EQ(r.prompt.records[0].title, msg::kFilterFsh);
  EXPECT_EQ(r.prompt.records[0].text, dir.file("cfg"));
  EXPECT_EQ(r.prompt.said(), QStringList{msg::kTitleConfig + ": " + msg::FileExistsQuestion(existing)});
  EXPECT_EQ(r.prompt.records[1].buttons, common::PromptButtons::YesNo);
  EXPECT_EQ(r.prompt.records[2].kind, testing_support::PromptRecord::SaveFile);
  EXPECT_EQ(testing_support::FileBytes(fresh), block);
  EXPECT_EQ(testing_support::FileBytes(existing), QByteArray("keep"));
  EXPECT_EQ(r.commands.lastFshFile(), fresh);

  // A silent logger: the time-out, and no file.
  r.simulator.setFaults({.silence = true});
  ASSERT_TRUE(r.commands.readCompensation(dir.file("cfg")));
  ASSERT_TRUE(r.waitOutcome(2));
  EXPECT_EQ(r.outcomes[1], LinkOutcome::Timeout);
  EXPECT_EQ(r.prompt.messageTexts().last(), msg::kTimeout);
  EXPECT_TRUE(r.commands.lastFshFile().isEmpty());
}

TEST(Meter, ParameterSendHasNoEchoCheck) {
  SimRig r;
  bool sent = false;
  QObject::connect(&r.commands, &common::Commands::parametersSent, [&] { sent = true; });
  ASSERT_TRUE(r.commands.meterSendParameters(0x02, 0x31, 5));
  ASSERT_TRUE(WaitFor([&] { return sent; }));
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x02, 0x31, 0x05}));
  EXPECT_EQ(r.prompt.said(), QStringList{msg::kTitleStatus + ": " + msg::kParametersSent});
  EXPECT_FALSE(r.prompt.busy);
}

// The meter's live read passes on whole frames only, finds its configuration whatever
// the letter case of the file name, and says when the fallback cannot be read.
TEST(Meter, LiveReadTakesWholeFramesAndLooksUpConfigurationsWhateverTheirCase) {
  const struct {
    const char* file;  // written in cfg/, its first channel named after it; empty for none
    bool own;
  } cases[] = {{"12345.CFG", true}, {"Config.Cfg", false}, {"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    common::LinkTimings t = FastTimings();
    t.liveWatchdog = 60000;  // a loaded machine must not turn a slow frame into a timeout
    SimRig r(t);
    testing_support::ProgramDir dir;
    const QString file = dir.file("cfg/") + c.file;
    if (*c.file) {
      common::ChannelConfiguration config;
      config.channel[0].Name = QLatin1String(c.file);
      ASSERT_TRUE(testing_support::WriteFileBytes(file, hand::Cfg(config)));
    }
    r.simulator.setSerialNumber(12345);
    r.simulator.setLiveInterval(5);
    r.simulator.setFaults({.shortLiveFrame = true});
    std::vector<common::LiveFrame> frames;
    QString loadedPath, loadedName;
    QObject::connect(&r.commands, &common::Commands::frameReceived, [&](const common::LiveFrame& f) { frames.push_back(f); });
    QObject::connect(&r.commands, &common::Commands::configurationLoaded,
                     [&](const common::ChannelConfiguration& config, const QString& p) {
                       loadedName = config.channel[0].Name;
                       loadedPath = p;
                     });
    ASSERT_TRUE(r.commands.startLiveRead(dir.file("cfg")));
    EXPECT_EQ(r.channel.written(), Bytes({0xAA}));
    ASSERT_TRUE(WaitFor([&] { return r.simulator.liveFramesSent() >= 9 && r.simulator.pendingBytes() == 0; }));
    r.commands.stopLiveRead();
    // Every third frame is cut short and skipped; the others arrive whole.
    EXPECT_GE(int(frames.size()), 6);
    EXPECT_LT(int(frames.size()), r.simulator.liveFramesSent());
    for (const auto& f : frames) EXPECT_EQ(f.serialNumber, 12345);
    EXPECT_EQ(loadedPath, *c.file ? file : QString());
    EXPECT_EQ(loadedName, QLatin1String(c.file));
    QStringList said;
    if (!c.own) said << msg::kTitleMeter + ": " + msg::MeterConfigMissing(12345);
    if (!*c.file) {
      common::ChannelConfiguration none;
      QString why;
      ASSERT_FALSE(common::ReadConfigFile(dir.file("cfg/config.cfg"), none, &why));
      said << msg::kTitleError + ": " + msg::ConfigNotRead(dir.file("cfg/config.cfg"), why);
    }
    EXPECT_EQ(r.prompt.said(), said);
  }
}

TEST(Meter, LiveReadEndsWhenTheLoggerFallsSilent) {
  common::LinkTimings t = FastTimings();
  t.liveWatchdog = 1000;
  SimRig r(t);
  testing_support::ProgramDir dir;
  r.simulator.setLiveInterval(5);
  bool framed = false, timedOut = false;
  QObject::connect(&r.commands, &common::Commands::frameReceived, [&] { framed = true; });
  QObject::connect(&r.commands, &common::Commands::liveTimedOut, [&] { timedOut = true; });
  ASSERT_TRUE(r.commands.startLiveRead(dir.file("cfg")));
  ASSERT_TRUE(WaitFor([&] { return framed; }));
  r.simulator.setLiveInterval(10000000);
  ASSERT_TRUE(WaitFor([&] { return timedOut; }));
  EXPECT_EQ(r.prompt.said().last(), msg::kTitleError + ": " + msg::kConnectionTimeout);
  r.commands.stopLiveRead();
}

}  // namespace
