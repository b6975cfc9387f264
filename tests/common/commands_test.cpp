// Every device command against the simulator: bytes and their order, messages,
// injected faults, and that the link works again afterwards.
#include "common/commands.h"
#include "common/messages.h"
#include "link_support.h"
#include "support/test_paths.h"

#include <QFile>
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

TEST(CommandTables, MaskAndFrequencyList) {
  std::array<bool, 12> only9{};
  only9[8] = true;
  EXPECT_EQ(common::MaskFromChecks(only9).MaskHighByte, 1);
  EXPECT_EQ(common::MaskFromChecks(only9).MaskLowByte, 0);
  std::array<bool, 12> only1{};
  only1[0] = true;
  EXPECT_EQ(common::MaskFromChecks(only1).MaskLowByte, 1);
  EXPECT_EQ(common::MaskFromChecks(only1).MaskHighByte, 0);
  const auto back = common::ChecksFromMask(0x81, 0x0A);
  const std::array<bool, 12> expected = {true, false, false, false, false, false, false, true, false, true, false, true};
  EXPECT_EQ(back, expected);

  EXPECT_EQ(common::FrequencyListTexts(), (QStringList{"0.2", "1", "10", "25"}));
  EXPECT_EQ(common::FreqCodeForListPosition(0), 250);
  EXPECT_EQ(common::FreqCodeForListPosition(1), 50);
  EXPECT_EQ(common::FreqCodeForListPosition(2), 5);
  EXPECT_EQ(common::FreqCodeForListPosition(3), 2);
  EXPECT_EQ(common::FreqCodeForListPosition(-1), std::nullopt);
  EXPECT_EQ(common::FreqCodeForListPosition(4), std::nullopt);
  EXPECT_EQ(common::ListPositionForFreqCode(2), 3);
  EXPECT_EQ(common::ListPositionForFreqCode(250), 0);
  EXPECT_EQ(common::ListPositionForFreqCode(7), -1);
}

TEST(CommandTables, CompensationBlockAndLiveFrameLayout) {
  common::CompensationConstants k{};
  for (int i = 0; i < 18; ++i) k[std::size_t(i)] = qint16(0x100 + 3 * i);  // only the low byte goes out
  const common::CompensationBlock b = common::MakeCompensationBlock(k, 0x123456);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(b[std::size_t(i)], quint8(3 * i)) << i;
  EXPECT_EQ(b[18], 0x56);
  EXPECT_EQ(b[19], 0x34);
  EXPECT_EQ(b[20], 0x12);

  QByteArray frame(27, '\0');
  frame[0] = char(0x0F);
  frame[1] = char(0xFF);
  frame[20] = char(0xFF);  // channel 11
  frame[21] = char(0x07);  // channel 12
  frame[22] = char(0x01);
  frame[23] = char(0x02);
  frame[24] = char(0x39);
  frame[25] = char(0x30);
  const auto f = common::ParseLiveFrame(frame);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->raw[0], 4095);
  EXPECT_EQ(f->raw[10], 255);
  EXPECT_EQ(f->raw[11], 7);
  EXPECT_EQ(f->extra, 0x0102);
  EXPECT_EQ(f->serialNumber, 12345);
  EXPECT_FALSE(common::ParseLiveFrame(frame.left(26)));
}

TEST(SendParameters, BytesOrderEchoAndAcceptByte) {
  SimRig r;
  bool closedDialog = false;
  ASSERT_TRUE(r.commands.sendParameters(Params(0, 1, 2), [&] {
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
  EXPECT_EQ(r.outcomes[0], LinkOutcome::ParametersStored);
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x00, 0x02, 0x0F}));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kParametersStored});
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleStatus);
  EXPECT_FALSE(r.prompt.busy);
  EXPECT_EQ(r.commands.PacingStep, 0);
  ASSERT_TRUE(WaitFor([&] { return r.simulator.acceptedParameterSets() == 1; }));
  EXPECT_EQ(r.simulator.log().maskHigh, 1);
  EXPECT_EQ(r.simulator.log().freqCode, 2);
}

TEST(SendParameters, WrongEchoIsRejectedAndTheNextSendWorks) {
  SimRig r;
  r.simulator.setFaults({.wrongEcho = true});
  ASSERT_TRUE(r.commands.sendParameters(Params(0x13, 0, 5)));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::VerifyFailed);
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x00, 0x13, 0x05, 0x00}));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kVerifyFailed});
  EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);

  r.simulator.setFaults({});
  r.channel.clearWritten();
  ASSERT_TRUE(r.commands.sendParameters(Params(0x13, 0, 5)));
  ASSERT_TRUE(r.waitOutcome(2));
  EXPECT_EQ(r.outcomes[1], LinkOutcome::ParametersStored);
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x00, 0x13, 0x05, 0x0F}));
}

TEST(SendParameters, SilenceTimesOutAndTheLinkRecovers) {
  SimRig r;
  r.simulator.setFaults({.silence = true});
  ASSERT_TRUE(r.commands.sendParameters(Params(0x3F, 0, 5)));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::Timeout);
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kTimeout});
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleStatus);
  EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
  EXPECT_FALSE(r.prompt.busy);
  r.simulator.setFaults({});
  ASSERT_TRUE(r.commands.sendParameters(Params(0x3F, 0, 5)));
  ASSERT_TRUE(r.waitOutcome(2));
  EXPECT_EQ(r.outcomes[1], LinkOutcome::ParametersStored);
}

TEST(SendParameters, PortErrorEndsTheCommand) {
  SimRig r;
  r.channel.setOpenFails(true);
  EXPECT_FALSE(r.commands.sendParameters(Params(1, 0, 5)));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kCommError});
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleError);
  EXPECT_FALSE(r.prompt.busy);
  EXPECT_TRUE(r.channel.written().isEmpty());
}

TEST(ClearMemory, AsksFirstThenSendsTheStoredParameters) {
  SimRig r;
  r.prompt.answers.push_back(common::PromptAnswer::Cancel);
  EXPECT_FALSE(r.commands.clearMemory(Params(0x30, 0x04, 50)));
  ASSERT_EQ(r.prompt.records.size(), 1u);
  EXPECT_EQ(r.prompt.records[0].title, msg::kTitleMemoryClearing);
  EXPECT_EQ(r.prompt.records[0].text, msg::kClearMemoryQuestion);
  EXPECT_EQ(r.prompt.records[0].buttons, common::PromptButtons::OkCancel);
  EXPECT_EQ(r.prompt.records[0].icon, common::PromptIcon::Exclamation);
  EXPECT_TRUE(r.channel.written().isEmpty());

  ASSERT_TRUE(r.commands.clearMemory(Params(0x30, 0x04, 50)));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::ParametersStored);
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x04, 0x30, 50, 0x0F}));
  EXPECT_EQ(r.prompt.messageTexts(),
            (QStringList{msg::kClearMemoryQuestion, msg::kClearMemoryQuestion, msg::kParametersStored}));
}

TEST(Compensation, HandshakeAnswersBlockAndEcho) {
  SimRig r;
  common::CompensationConstants k{};
  for (int i = 0; i < 18; ++i) k[std::size_t(i)] = qint16(0xA0 + i);
  ASSERT_TRUE(r.commands.writeCompensation(k, 0x010203));
  EXPECT_TRUE(r.commands.compensationWriteActive());
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::CompensationStored);
  const auto& h = sim::Simulator::kHandshake;
  // First and third answers are complements, the second the byte itself.
  EXPECT_EQ(r.simulator.handshakeAnswers(), (std::vector<quint8>{quint8(255 - h[0]), h[1], quint8(255 - h[2])}));
  QByteArray expected = Bytes({0x22, 255 - h[0], h[1], 255 - h[2]});
  for (int i = 0; i < 18; ++i) expected.append(char(0xA0 + i));
  expected += Bytes({0x03, 0x02, 0x01});
  EXPECT_EQ(r.channel.written(), expected);
  EXPECT_EQ(r.simulator.compensation(), expected.mid(4));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kCompensationStored});
  EXPECT_FALSE(r.commands.compensationWriteActive());
  EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
  EXPECT_FALSE(r.prompt.busy);
}

TEST(Compensation, WrongEchoAndWrongHandshake) {
  SimRig r;
  r.simulator.setFaults({.wrongEcho = true});
  ASSERT_TRUE(r.commands.writeCompensation({}, 7));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::CompensationVerifyFailed);
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kCompensationVerifyFailed});
  EXPECT_EQ(r.channel.written().size(), 4 + 21);  // no answer byte in this mode

  // The logger judges the first answer wrong and falls silent: the handshake wait
  // times out and nothing more is sent.
  r.simulator.setFaults({.wrongHandshake = true});
  r.channel.clearWritten();
  ASSERT_TRUE(r.commands.writeCompensation({}, 7));
  ASSERT_TRUE(r.waitOutcome(2));
  EXPECT_EQ(r.outcomes[1], LinkOutcome::Timeout);
  EXPECT_EQ(r.prompt.messageTexts().last(), msg::kTimeout);
  EXPECT_EQ(r.channel.written(), Bytes({0x22, 255 - sim::Simulator::kHandshake[0]}));
  EXPECT_FALSE(r.commands.compensationWriteActive());

  r.simulator.setFaults({});
  ASSERT_TRUE(r.commands.writeCompensation({}, 7));
  ASSERT_TRUE(r.waitOutcome(3));
  EXPECT_EQ(r.outcomes[2], LinkOutcome::CompensationStored);
}

TEST(Compensation, ReadBackIsSavedAsA21ByteFileWithTheOverwriteQuestion) {
  SimRig r;
  testing_support::ProgramDir dir;
  const QString existing = dir.file("cfg/old.fsh");
  {
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
  }
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
  EXPECT_EQ(r.prompt.records[1].title, msg::kTitleConfig);
  EXPECT_EQ(r.prompt.records[1].text, msg::FileExistsQuestion(existing));
  EXPECT_EQ(r.prompt.records[1].buttons, common::PromptButtons::YesNo);
  EXPECT_EQ(r.prompt.records[2].kind, testing_support::PromptRecord::SaveFile);
  QFile f(fresh);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), block);
  QFile old(existing);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("keep"));
  EXPECT_EQ(r.commands.lastFshFile(), fresh);
}

TEST(Compensation, ReadBackTimesOutWhenTheLoggerIsSilent) {
  SimRig r;
  r.simulator.setFaults({.silence = true});
  ASSERT_TRUE(r.commands.readCompensation(QDir::tempPath()));
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes[0], LinkOutcome::Timeout);
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kTimeout});
  EXPECT_TRUE(r.commands.lastFshFile().isEmpty());
}

TEST(Meter, ParameterSendHasNoEchoCheck) {
  SimRig r;
  bool sent = false;
  QObject::connect(&r.commands, &common::Commands::parametersSent, [&] { sent = true; });
  ASSERT_TRUE(r.commands.meterSendParameters(0x02, 0x31, 5));
  ASSERT_TRUE(WaitFor([&] { return sent; }));
  EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x02, 0x31, 0x05}));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kParametersSent});
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleStatus);
  EXPECT_FALSE(r.prompt.busy);
}

TEST(Meter, LiveReadLoadsTheConfigurationAndEndsOnSilence) {
  SimRig r;
  testing_support::ProgramDir dir;
  common::ChannelConfiguration fallback;
  fallback.channel[0].Name = QStringLiteral("fallback");
  QString why;
  ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/config.cfg"), fallback, &why)) << why.toStdString();
  r.simulator.setSerialNumber(12345);
  r.simulator.setLiveInterval(5);
  r.simulator.setFaults({.shortLiveFrame = true});
  std::vector<common::LiveFrame> frames;
  QString loadedPath;
  common::ChannelConfiguration loaded;
  QObject::connect(&r.commands, &common::Commands::frameReceived, [&](const common::LiveFrame& f) { frames.push_back(f); });
  QObject::connect(&r.commands, &common::Commands::configurationLoaded,
                   [&](const common::ChannelConfiguration& c, const QString& p) {
                     loaded = c;
                     loadedPath = p;
                   });
  bool timedOut = false;
  QObject::connect(&r.commands, &common::Commands::liveTimedOut, [&] { timedOut = true; });
  ASSERT_TRUE(r.commands.startLiveRead(dir.file("cfg")));
  EXPECT_EQ(r.channel.written(), Bytes({0xAA}));
  ASSERT_TRUE(WaitFor([&] { return r.simulator.liveFramesSent() >= 9; }));
  ASSERT_TRUE(WaitFor([&] { return r.simulator.pendingBytes() == 0; }));
  // Every third frame is cut short and skipped; the others arrive whole.
  EXPECT_GE(int(frames.size()), 6);
  EXPECT_LT(int(frames.size()), r.simulator.liveFramesSent());
  for (const auto& f : frames) EXPECT_EQ(f.serialNumber, 12345);
  EXPECT_EQ(loadedPath, dir.file("cfg/config.cfg"));
  EXPECT_EQ(loaded.channel[0].Name, QStringLiteral("fallback"));
  ASSERT_GE(r.prompt.messages().size(), 1u);
  EXPECT_EQ(r.prompt.messages()[0].text, msg::MeterConfigMissing(12345));

  r.simulator.setLiveInterval(10000000);  // the logger falls silent
  ASSERT_TRUE(WaitFor([&] { return timedOut; }));
  EXPECT_EQ(r.prompt.messages().back().title, msg::kTitleError);
  EXPECT_EQ(r.prompt.messages().back().text, msg::kConnectionTimeout);
  r.commands.stopLiveRead();
}

}  // namespace

namespace {

// The meter finds its configuration whatever the letter case of the file name, and a
// fallback that cannot be read is reported rather than passed over in silence.
TEST(Meter, LiveReadLooksUpConfigurationsWhateverTheirCaseAndSaysWhenNoneReads) {
  struct Case {
    const char* file;  // written in cfg/, empty for none
    QString loaded;    // what configurationLoaded names, empty for nothing
    int messages;
  };
  const Case cases[] = {
      {"12345.CFG", "12345.CFG", 0},
      {"Config.Cfg", "Config.Cfg", 1},  // "does not exist. Using config.cfg instead."
      {"", "", 2},                      // that, and that config.cfg cannot be read
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    common::LinkTimings t = FastTimings();
    t.liveWatchdog = 60000;  // a loaded machine must not turn a slow first frame into a timeout
    SimRig r(t);
    testing_support::ProgramDir dir;
    QString why;
    if (*c.file) {
      ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/") + c.file, common::ChannelConfiguration{}, &why));
    }
    r.simulator.setSerialNumber(12345);
    r.simulator.setLiveInterval(5);
    QString loaded;
    QObject::connect(&r.commands, &common::Commands::configurationLoaded,
                     [&](const common::ChannelConfiguration&, const QString& p) { loaded = p; });
    bool framed = false;
    QObject::connect(&r.commands, &common::Commands::frameReceived, [&] { framed = true; });
    ASSERT_TRUE(r.commands.startLiveRead(dir.file("cfg")));
    ASSERT_TRUE(WaitFor([&] { return framed; }));
    r.commands.stopLiveRead();
    EXPECT_EQ(loaded, c.loaded.isEmpty() ? QString() : dir.file("cfg/" + c.loaded));
    EXPECT_EQ(int(r.prompt.messages().size()), c.messages) << r.prompt.messageTexts().join("|").toStdString();
    if (c.messages == 2) {
      EXPECT_EQ(r.prompt.messages()[1].title, msg::kTitleMeter);
    }
  }
}

}  // namespace
