// The receive state machine, the reply time-out and the port control.
#include "common/link.h"
#include "common/messages.h"
#include "common/portcontrol.h"
#include "link_support.h"
#include "support/fake_prompt.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace link_test;
using common::LinkOutcome;
namespace msg = common::msg;

namespace {

// A line that records what was written and lets the test hand in received bytes.
class ScriptedChannel : public common::ByteChannel {
 public:
  bool open(QString*) override {
    ++opens;
    if (failOpen) return false;
    isOpen_ = true;
    return true;
  }
  void close() override { isOpen_ = false; }
  bool isOpen() const override { return isOpen_; }
  bool writeByte(std::uint8_t b) override {
    if (!isOpen_) return false;
    written.append(char(b));
    return true;
  }
  void feed(const QByteArray& bytes) {
    for (char c : bytes) deliver(std::uint8_t(c));
  }
  QByteArray written;
  bool failOpen = false;
  int opens = 0;

 private:
  bool isOpen_ = false;
};

struct LinkRig {
  ScriptedChannel channel;
  testing_support::FakePrompt prompt;
  common::Link link{channel, prompt, FastTimings()};
  std::vector<LinkOutcome> outcomes;
  LinkRig() {
    QObject::connect(&link, &common::Link::finished, [this](LinkOutcome o) { outcomes.push_back(o); });
  }
};

TEST(LinkReceive, DownloadBytesAreStoredFromIndexThreeAfterTheStartByte) {
  LinkRig r;
  r.link.ReceiveBuffer[0] = 0x11;
  r.link.ReceiveBuffer[1] = 0x22;
  r.link.ReceiveBuffer[2] = 0x33;
  r.channel.feed(Bytes({0x01, 0xF0, 0x7F}));
  EXPECT_EQ(r.link.intFlag, 0);
  EXPECT_EQ(r.link.ReceiveIndex, 2);
  r.channel.feed(Bytes({0xFF, 0xAB, 0xFF, 0x05}));
  EXPECT_EQ(r.link.intFlag, 1);
  EXPECT_EQ(r.link.ReceiveIndex, 5);
  EXPECT_EQ(r.link.ReceiveBuffer[3], 0xAB);
  EXPECT_EQ(r.link.ReceiveBuffer[4], 0xFF);  // after the start byte an 0xFF is data
  EXPECT_EQ(r.link.ReceiveBuffer[5], 0x05);
  // Indices 0 to 2 are never written by a download.
  EXPECT_EQ(r.link.ReceiveBuffer[0], 0x11);
  EXPECT_EQ(r.link.ReceiveBuffer[2], 0x33);
  EXPECT_TRUE(r.link.silenceTimerActive());
  bool elapsed = false;
  QObject::connect(&r.link, &common::Link::silenceElapsed, [&] { elapsed = true; });
  ASSERT_TRUE(WaitFor([&] { return elapsed; }));
}

TEST(LinkReceive, AStreamLongerThanTheBufferIsFlaggedNotWrittenPastItsEnd) {
  LinkRig r;
  r.channel.feed(Bytes({0xFF}));
  for (qint64 i = 0; i < common::kReceiveBufferSize + 10; ++i) r.link.receiveByte(0x11);
  EXPECT_TRUE(r.link.ReceiveOverflow);
  EXPECT_EQ(r.link.ReceiveIndex, common::kReceiveBufferSize - 1);
  EXPECT_EQ(r.link.ReceiveBuffer.size(), std::size_t(common::kReceiveBufferSize));
  r.link.beginDownload();
  EXPECT_FALSE(r.link.ReceiveOverflow);
  EXPECT_EQ(r.link.intFlag, 0);
}

TEST(LinkReceive, ParameterEchoIsComparedByteForByte) {
  const std::uint8_t sent[3] = {0x01, 0x13, 0x05};
  struct Case {
    QByteArray echo;
    char answer;
    QString text;
    common::PromptIcon icon;
    LinkOutcome outcome;
  };
  const Case cases[] = {
      {Bytes({0x01, 0x13, 0x05}), 0x0F, msg::kParametersStored, common::PromptIcon::Information, LinkOutcome::ParametersStored},
      {Bytes({0x00, 0x13, 0x05}), 0x00, msg::kVerifyFailed, common::PromptIcon::Exclamation, LinkOutcome::VerifyFailed},
      {Bytes({0x01, 0x12, 0x05}), 0x00, msg::kVerifyFailed, common::PromptIcon::Exclamation, LinkOutcome::VerifyFailed},
      {Bytes({0x01, 0x13, 0x32}), 0x00, msg::kVerifyFailed, common::PromptIcon::Exclamation, LinkOutcome::VerifyFailed},
  };
  for (const Case& c : cases) {
    LinkRig r;
    ASSERT_TRUE(r.link.ensureOpen());
    r.link.setExpectedEcho(sent, 3);
    r.link.ReplyIndex = 0;
    r.link.ReceiveMode = common::kModeParameterEcho;
    r.link.startReplyTimeout(100000);
    r.prompt.setBusy(true);
    r.channel.feed(c.echo.left(2));
    EXPECT_TRUE(r.prompt.records.empty());
    r.channel.feed(c.echo.right(1));
    EXPECT_EQ(r.channel.written, QByteArray(1, c.answer));
    ASSERT_EQ(r.prompt.records.size(), 1u);
    EXPECT_EQ(r.prompt.records[0].title, msg::kTitleStatus);
    EXPECT_EQ(r.prompt.records[0].text, c.text);
    EXPECT_EQ(r.prompt.records[0].icon, c.icon);
    EXPECT_FALSE(r.prompt.busy);
    EXPECT_FALSE(r.link.replyTimeoutActive());
    EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
    EXPECT_EQ(r.outcomes, std::vector<LinkOutcome>{c.outcome});
  }
}

TEST(LinkReceive, HandshakeAndReadBackModes) {
  LinkRig r;
  r.link.ReceiveMode = common::kModeHandshake;
  r.channel.feed(Bytes({0x5A}));
  EXPECT_EQ(r.link.HandshakeByte, 0x5A);
  EXPECT_EQ(r.link.HandshakeReceived, -1);

  QByteArray got;
  QObject::connect(&r.link, &common::Link::readBackComplete, [&](const QByteArray& b) { got = b; });
  r.link.ReceiveMode = common::kModeCompensationReadBack;
  r.link.ReplyIndex = 0;
  QByteArray block;
  for (int i = 0; i < 21; ++i) block.append(char(0xE0 + i));
  r.channel.feed(block.left(20));
  EXPECT_TRUE(got.isEmpty());
  r.channel.feed(block.right(1));
  EXPECT_EQ(got, block);
  EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
}

TEST(LinkTimeout, TimeoutShowsItsMessageReturnsToModeZeroAndReopensThePort) {
  LinkRig r;
  r.link.ReceiveMode = common::kModeParameterEcho;
  r.prompt.setBusy(true);
  r.link.startReplyTimeout(r.link.timings().parameterTimeout);
  ASSERT_TRUE(WaitFor([&] { return !r.outcomes.empty(); }));
  EXPECT_EQ(r.outcomes.front(), LinkOutcome::Timeout);
  ASSERT_EQ(r.prompt.messages().size(), 1u);
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleStatus);
  EXPECT_EQ(r.prompt.messages()[0].text, msg::kTimeout);
  EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
  EXPECT_FALSE(r.prompt.busy);
  EXPECT_TRUE(r.channel.isOpen());  // it was closed: the time-out opened it
}

TEST(LinkErrors, PortErrorsGiveTheirTwoMessages) {
  LinkRig r;
  r.channel.failOpen = true;
  r.prompt.setBusy(true);
  EXPECT_FALSE(r.link.ensureOpen());
  EXPECT_FALSE(r.prompt.busy);
  ASSERT_EQ(r.prompt.messages().size(), 1u);
  EXPECT_EQ(r.prompt.messages()[0].title, msg::kTitleError);
  EXPECT_EQ(r.prompt.messages()[0].text, msg::kCommError);
  EXPECT_EQ(r.outcomes, std::vector<LinkOutcome>{LinkOutcome::CommError});

  bool dialogAsked = false;
  QObject::connect(&r.link, &common::Link::commDialogRequested, [&] { dialogAsked = true; });
  EXPECT_FALSE(r.link.reopenIfClosed());
  EXPECT_EQ(r.prompt.messages().back().title, msg::kTitleError);
  EXPECT_EQ(r.prompt.messages().back().text, msg::kCommPortError);
  EXPECT_TRUE(dialogAsked);

  r.channel.failOpen = false;
  EXPECT_TRUE(r.link.ensureOpen());
  EXPECT_TRUE(r.link.send(0x40));
  EXPECT_EQ(r.channel.written, Bytes({0x40}));
}

TEST(LinkLive, FramesAreUnstuffedAndShortOnesAreHandedOutWithTheirLength) {
  LinkRig r;
  r.link.setLiveFraming(true);
  std::vector<QByteArray> frames;
  QObject::connect(&r.link, &common::Link::liveFrame, [&](const QByteArray& f) { frames.push_back(f); });
  std::array<int, 12> raw{};
  raw[0] = 0x0FF0;  // a data byte 0xF0, stuffed
  raw[1] = 0x00FF;  // a data byte 0xFF inside the frame
  r.channel.feed(Bytes({0x33}) + sim::LiveFrameBytes(raw, 0x1234, 12345));
  ASSERT_EQ(frames.size(), 1u);
  ASSERT_EQ(frames[0].size(), common::kLiveFrameSize);
  EXPECT_EQ(quint8(frames[0][0]), 0x0F);
  EXPECT_EQ(quint8(frames[0][1]), 0xF0);
  EXPECT_EQ(quint8(frames[0][3]), 0xFF);
  EXPECT_EQ(r.link.intFlag, 0);
  // Nothing of a live frame lands in the download buffer.
  EXPECT_EQ(r.link.ReceiveIndex, 2);
}

TEST(PortControl, NumbersMapToPathsAndPortZeroNeverOpens) {
  common::PortControl port;
  common::PortMap map;
  map.path[2] = QStringLiteral("/dev/fake-two");
  port.setPortMap(map);
  QStringList opened;
  port.setChannelFactory([&](int number, const QString& path) -> std::unique_ptr<common::ByteChannel> {
    opened << QStringLiteral("%1:%2").arg(number).arg(path);
    return std::make_unique<ScriptedChannel>();
  });
  QString why;
  EXPECT_FALSE(port.open(&why));
  EXPECT_FALSE(why.isEmpty());
  EXPECT_FALSE(port.setPortNumber(5));
  EXPECT_TRUE(port.setPortNumber(2));
  EXPECT_EQ(port.devicePath(), QStringLiteral("/dev/fake-two"));
  EXPECT_TRUE(port.open(&why));
  EXPECT_TRUE(port.isOpen());
  EXPECT_TRUE(port.writeByte(0x40));
  EXPECT_EQ(opened, QStringList{QStringLiteral("2:/dev/fake-two")});
  EXPECT_TRUE(port.setPortNumber(0));
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.writeByte(0x40));
}

TEST(PortControl, ReceivedBytesPassThroughToTheLink) {
  sim::Simulator simulator;
  common::PortControl port;
  common::PortMap map;
  map.path[1] = QStringLiteral("sim");
  port.setPortMap(map);
  port.setPortNumber(1);
  port.setChannelFactory([&](int, const QString&) { return std::make_unique<sim::SimChannel>(simulator); });
  testing_support::FakePrompt prompt;
  common::Link link(port, prompt, FastTimings());
  common::Commands commands(link);
  QString folder = QDir::tempPath();
  prompt.files.push_back({});
  ASSERT_TRUE(commands.readCompensation(folder));
  ASSERT_TRUE(WaitFor([&] { return prompt.records.size() == 1; }));
  EXPECT_EQ(prompt.records[0].kind, testing_support::PromptRecord::SaveFile);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(link.ReplyBuffer.data()), 21), simulator.compensation());
}

}  // namespace
