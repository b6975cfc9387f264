// Every device command against the simulator: bytes and their order, messages,
// injected faults, and that the link works again afterwards.
#include "common/commands.h"
#include "link_support.h"

#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace link_test;
using common::LinkOutcome;
using common::ReceiveMode;

namespace {

common::Settings Params(qint16 low, qint16 high, quint8 code) {
  common::Settings s;
  s.MaskLowByte = low;
  s.MaskHighByte = high;
  s.LogFreqCode = code;
  return s;
}

TEST(CommandTables, MaskBitsAndLiveFrameLayout) {
  // Channels 1, 8, 10 and 12 both ways: low byte bits 0 and 7, high byte bits 1 and 3.
  const std::array<bool, 12> checks = {true, false, false, false, false, false, false, true, false, true, false, true};
  const common::LogMask m = common::MaskFromChecks(checks);
  EXPECT_EQ(std::pair(m.MaskLowByte, m.MaskHighByte), (std::pair<qint16, qint16>(0x81, 0x0A)));
  EXPECT_EQ(common::ChecksFromMask(0x81, 0x0A), checks);

  // Channel 1 high byte first, channels 11 and 12, the extra word, the serial number.
  const QByteArray frame = Bytes({0x0F, 0xFF}) + QByteArray(18, 0) + Bytes({0xFF, 0x07, 0x01, 0x02, 0x39, 0x30, 0x00});
  const auto f = common::ParseLiveFrame(frame);
  ASSERT_TRUE(f);
  EXPECT_EQ(std::tuple(f->raw[0], f->raw[10], f->raw[11], f->extra, f->serialNumber),
            std::tuple(4095, 255, 7, 0x0102, 12345));
  EXPECT_FALSE(common::ParseLiveFrame(frame.left(26)));
  EXPECT_FALSE(common::ParseLiveFrame(frame + '\0'));
}

// Mask high byte, low byte, code; the echo; then the accept byte, 0 for a wrong echo
// and none after silence. After a failure the next send works. The memory clear sends
// the same after a longer first pause: while a probe timer of half that pause runs out
// (timers fire in the order they expire), only the command byte is out.
TEST(SendParameters, BytesOrderEchoAndAcceptByte) {
  const struct {
    bool clear;
    sim::Faults faults;
    LinkOutcome outcome;
    QByteArray answer;
  } cases[] = {
      {false, {}, LinkOutcome::Ok, Bytes({0x0F})},
      {false, {.wrongEcho = true}, LinkOutcome::Rejected, Bytes({0x00})},
      {false, {.silence = true}, LinkOutcome::Timeout, {}},
      {true, {}, LinkOutcome::Ok, Bytes({0x0F})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    common::LinkTimings t = FastTimings();
    t.clearFirstPacing = 400;
    t.clearNextPacing = 1;
    SimRig r(t);
    r.simulator.setFaults(c.faults);
    bool closedDialog = false;
    QByteArray atProbe;
    QTimer::singleShot(t.clearFirstPacing / 2, [&] { atProbe = r.channel.written(); });
    ASSERT_TRUE(c.clear ? r.commands.clearMemory(Params(0x13, 1, 2)) : r.commands.sendParameters(Params(0x13, 1, 2), [&] {
      closedDialog = true;
      // The dialog closes after the third byte, before the echo can be there.
      EXPECT_EQ(r.link.receiveMode(), ReceiveMode::ParameterEcho);
      EXPECT_TRUE(r.link.replyTimeoutActive());
      EXPECT_TRUE(r.results.empty());
    }));
    EXPECT_EQ(r.channel.written(), Bytes({0x88}));  // the rest is paced
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(closedDialog, !c.clear);
    if (c.clear) {
      EXPECT_EQ(atProbe, Bytes({0x88}));
    }
    EXPECT_EQ(r.results[0].outcome, c.outcome);
    EXPECT_EQ(r.results[0].exchange, c.clear ? common::Exchange::MemoryClear : common::Exchange::Parameters);
    EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x13, 0x02}) + c.answer);
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
    if (c.outcome == LinkOutcome::Ok) {
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
    EXPECT_EQ(r.results[1].outcome, LinkOutcome::Ok);
    EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x13, 0x02, 0x0F}));
  }
}

// A port that will not open, a download running, a dialog left mid-send: each ends the
// exchange at once with its outcome, and nothing more goes out.
TEST(SendParameters, EndsWithoutTheEcho) {
  const std::pair<LinkOutcome, std::function<void(SimRig&)>> cases[] = {
      {LinkOutcome::PortError, [](SimRig& r) { r.channel.setOpenFails(true); }},
      {LinkOutcome::Busy, [](SimRig& r) { r.link.beginDownload(); }},
      {LinkOutcome::Cancelled, [](SimRig& r) { QTimer::singleShot(0, [&r] { r.commands.cancelParameterSend(); }); }},
  };
  for (const auto& [outcome, arrange] : cases) {
    SimRig r;
    arrange(r);
    r.commands.sendParameters(Params(1, 0, 5));
    ASSERT_TRUE(r.waitOutcome());
    QTest::qWait(10 * r.link.timings().parameterPacing);
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{outcome});
    EXPECT_EQ(r.results[0].detail.isEmpty(), outcome != LinkOutcome::PortError);  // the port's words
    EXPECT_EQ(r.channel.written(), outcome == LinkOutcome::Cancelled ? Bytes({0x88}) : QByteArray());
  }
}

// The compensation write: handshake (first and third answers complements, the second
// the byte itself), block and echo; the read-back of 21 bytes as they were read; the
// meter's parameters, paced with no echo awaited. No answer byte after an echo.
TEST(Compensation, WriteReadBackAndTheMetersParameterSendWithTheFaultsThatEndThem) {
  const auto& h = sim::Simulator::kHandshake;
  const QByteArray handshake = Bytes({0x22, 255 - h[0], h[1], 255 - h[2]});
  QByteArray block, readBack;
  common::CompensationConstants k{};
  for (int i = 0; i < 18; ++i) block.append(char(0xA0 + i)), k[std::size_t(i)] = qint16(0xA0 + i);
  block += Bytes({0x03, 0x02, 0x01});
  for (int i = 0; i < 21; ++i) readBack.append(char(0xF0 - i));
  const std::function<bool(SimRig&)> write = [&k](SimRig& r) { return r.commands.writeCompensation(k, 0x010203); };
  const std::function<bool(SimRig&)> read = [](SimRig& r) { return r.commands.readCompensation(); };
  const struct {
    std::function<bool(SimRig&)> start;
    sim::Faults faults;
    LinkOutcome outcome;
    QByteArray written, payload;
  } cases[] = {
      {write, {}, LinkOutcome::Ok, handshake + block, {}},
      {write, {.wrongEcho = true}, LinkOutcome::Rejected, handshake + block, {}},
      // The logger judges the first answer wrong and falls silent: the wait times out.
      {write, {.wrongHandshake = true}, LinkOutcome::Timeout, handshake.left(2), {}},
      {read, {}, LinkOutcome::Ok, Bytes({0xCC}), readBack},
      {read, {.silence = true}, LinkOutcome::Timeout, Bytes({0xCC}), {}},
      {[](SimRig& r) { return r.commands.meterSendParameters(0x02, 0x31, 5); }, {}, LinkOutcome::Ok,
       Bytes({0x88, 0x02, 0x31, 0x05}), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    SimRig r;
    r.simulator.setCompensation(readBack);
    r.simulator.setFaults(c.faults);
    ASSERT_TRUE(c.start(r));
    const bool writing = c.written.startsWith(handshake.left(1));
    EXPECT_EQ(r.commands.compensationWriteActive(), writing);
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{c.outcome});
    EXPECT_EQ(r.results[0].payload, c.payload);
    EXPECT_EQ(r.channel.written(), c.written);
    EXPECT_FALSE(r.commands.compensationWriteActive());
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
    if (writing && c.outcome == LinkOutcome::Ok) EXPECT_EQ(r.simulator.compensation(), block);
  }
}

// Whole frames only, and none before the program has taken the first frame's
// configuration: the first one then comes again as a frame, and the rest follow.
// Silence ends the read as a time-out.
TEST(Meter, LiveReadTakesWholeFramesAfterTheFirstFramesConfigurationUntilSilence) {
  common::LinkTimings t = FastTimings();
  t.liveWatchdog = 1000;  // a loaded machine must not turn a slow frame into a timeout
  SimRig r(t);
  r.simulator.setSerialNumber(12345);
  r.simulator.setLiveInterval(5);
  r.simulator.setFaults({.shortLiveFrame = true});
  std::vector<common::LiveFrame> frames;
  int firsts = 0;
  QObject::connect(&r.commands, &common::Commands::frameReceived, [&](const common::LiveFrame& f) { frames.push_back(f); });
  QObject::connect(&r.commands, &common::Commands::firstFrame, [&] { ++firsts; });
  ASSERT_TRUE(r.commands.startLiveRead());
  EXPECT_EQ(r.channel.written(), Bytes({0xAA}));
  ASSERT_TRUE(WaitFor([&] { return r.simulator.liveFramesSent() >= 4 && r.simulator.pendingBytes() == 0; }));
  EXPECT_EQ(firsts, 1);
  EXPECT_TRUE(frames.empty());
  r.commands.resumeLive();
  ASSERT_EQ(frames.size(), 1u);
  const int sent = r.simulator.liveFramesSent();
  ASSERT_TRUE(WaitFor([&] { return r.simulator.liveFramesSent() >= sent + 9 && r.simulator.pendingBytes() == 0; }));
  r.simulator.setLiveInterval(10000000);
  const std::size_t whole = frames.size();
  // Every third frame is cut short and skipped; the others arrive whole.
  EXPECT_GE(int(whole), 7);
  EXPECT_LT(int(whole), 10);
  for (const auto& f : frames) EXPECT_EQ(f.serialNumber, 12345);
  EXPECT_EQ(firsts, 1);
  EXPECT_TRUE(r.results.empty());
  ASSERT_TRUE(r.waitOutcome());
  EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{LinkOutcome::Timeout});
  EXPECT_EQ(r.results[0].exchange, common::Exchange::LiveRead);
  r.commands.stopLiveRead();
}

}  // namespace
