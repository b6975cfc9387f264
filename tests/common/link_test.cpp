// The link's receive states, reply time-out and live framing; the device commands on the simulator.
#include "common/commands.h"
#include "common/link.h"
#include "link_support.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace link_test;
using common::LinkOutcome;
using common::ReceiveMode;

namespace {

// Download bytes are stored from index 3 on, after the start byte (an 0xFF after it is data).
// A stream longer than the buffer is flagged, never written past its end; the next download
// clears the flag.
TEST(LinkReceive, DownloadBytesAreStoredFromIndexThreeUpToTheBuffersEnd) {
  SimRig r;
  r.feed(Bytes({0x01, 0xF0, 0x7F}));
  EXPECT_FALSE(r.link.insideFrame());
  r.feed(Bytes({0xFF, 0xAB, 0xFF, 0x05}));
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.link.receiveBuffer().data()), 6), Bytes({0, 0, 0, 0xAB, 0xFF, 0x05}));
  EXPECT_EQ(r.link.downloadBytesReceived(), 3);

  for (qint64 i = 0; i < common::kReceiveBufferSize; ++i) r.link.receiveByte(0x11);
  EXPECT_TRUE(r.link.receiveOverflow());
  EXPECT_EQ(r.link.receiveIndex(), common::kReceiveBufferSize - 1);
  EXPECT_EQ(r.link.receiveBuffer().size(), std::size_t(common::kReceiveBufferSize));
  r.link.beginDownload();
  EXPECT_FALSE(r.link.receiveOverflow() || r.link.insideFrame());
}

// Each byte of the echo counts; the answer byte and the outcome follow the third. No echo: the
// time-out returns to mode 0 and opens the closed port again, or says in the port's words it is lost.
TEST(LinkReceive, ParameterEchoIsComparedByteForByteAndSilenceTimesOut) {
  const std::uint8_t sent[3] = {0x01, 0x13, 0x05};
  const std::tuple<QByteArray, bool, LinkOutcome, QByteArray> cases[] = {
      {Bytes({0x00, 0x13, 0x05}), true, LinkOutcome::Rejected, Bytes({0x00})},
      {Bytes({0x01, 0x13, 0x32}), true, LinkOutcome::Rejected, Bytes({0x00})},
      {{}, true, LinkOutcome::Timeout, {}},
      {{}, false, LinkOutcome::Timeout, {}},
  };
  for (const auto& [echo, opens, outcome, answer] : cases) {
    SCOPED_TRACE(echo.toHex().toStdString() + (opens ? "" : " port will not open"));
    SimRig r;
    ASSERT_TRUE(r.link.ensureOpen());
    r.link.expect(ReceiveMode::ParameterEcho, sent);
    r.link.startReplyTimeout(echo.isEmpty() ? r.link.timings().parameterTimeout : 100000);
    if (echo.isEmpty()) r.channel.close(), r.channel.setOpenFails(!opens);
    r.feed(echo.left(2));
    EXPECT_TRUE(r.results.empty());
    r.feed(echo.mid(2));
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{outcome});
    EXPECT_EQ(r.channel.written(), answer);
    EXPECT_FALSE(r.link.replyTimeoutActive());
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
    EXPECT_EQ(r.channel.isOpen(), opens);
    EXPECT_EQ(r.results[0].portLost, !opens);
    EXPECT_EQ(r.results[0].detail.isEmpty(), opens);
  }
}

TEST(LinkLive, FramesAreUnstuffedBetweenTheStartByteAndTheOddRunBeforeTheEnd) {
  std::array<int, 12> raw{};
  raw[0] = 0x0FF0;  // a data byte 0xF0, stuffed
  raw[1] = -256;    // 0xFF 0x00: after a stuffed pair an 0xFF is data
  raw[2] = 0x00FF;
  const QByteArray frame = sim::LiveFrameBytes(raw, 0x1234, 12345);
  const struct {
    QByteArray bytes;
    std::vector<QByteArray> frames;
  } cases[] = {
      {Bytes({0x33}) + frame,
       {Bytes({0x0F, 0xF0, 0xFF, 0x00, 0x00, 0xFF}) + QByteArray(16, 0) + Bytes({0x12, 0x34, 0x39, 0x30, 0x00})}},
      {Bytes({0xFF, 0x01, 0x02, 0xF0, 0xFF}), {Bytes({0x01, 0x02})}},  // short ones are handed out too
      {Bytes({0xFF, 0xF0, 0xF0, 0xFF, 0x07, 0xF0, 0xFF}), {Bytes({0xF0, 0xFF, 0x07})}},
      // A frame that lost its end mark is given up; the next start byte begins anew.
      {Bytes({0xFF}) + QByteArray(60, 0x11) + Bytes({0xFF, 0x05, 0xF0, 0xFF}), {Bytes({0x05})}},
  };
  for (const auto& c : cases) {
    SimRig r;
    r.link.setLiveFraming(true);
    std::vector<QByteArray> frames;
    QObject::connect(&r.link, &common::Link::liveFrame, [&](const QByteArray& f) { frames.push_back(f); });
    r.feed(c.bytes);
    EXPECT_EQ(frames, c.frames) << &c - cases;
    EXPECT_FALSE(r.link.insideFrame());
    EXPECT_EQ(r.link.receiveIndex(), 2);  // nothing of a live frame lands in the download buffer
  }
}

// Channels 1, 8, 10 and 12 both ways: low byte bits 0 and 7, high byte bits 1 and 3. A live frame is 27 bytes.
TEST(CommandTables, MaskBitsAndLiveFrameSize) {
  const std::array<bool, 12> checks = {true, false, false, false, false, false, false, true, false, true, false, true};
  const common::LogMask m = common::MaskFromChecks(checks);
  EXPECT_EQ(std::pair(m.MaskLowByte, m.MaskHighByte), (std::pair<qint16, qint16>(0x81, 0x0A)));
  EXPECT_EQ(common::ChecksFromMask(0x81, 0x0A), checks);
  const QByteArray frame(27, '\x01');
  EXPECT_TRUE(common::ParseLiveFrame(frame));
  EXPECT_FALSE(common::ParseLiveFrame(frame.left(26)) || common::ParseLiveFrame(frame + '\0'));
}

// Mask high byte, low byte, code; the echo; then the accept byte, none after silence. The memory clear
// sends the same after a longer first pause: when a probe timer of half that pause runs out (timers
// fire in expiry order), only the command byte is out. Only the silent logger may time out (the others wait long).
TEST(SendParameters, BytesOrderEchoAndAcceptByte) {
  for (const auto& [clear, silent] : {std::pair(false, false), std::pair(false, true), std::pair(true, false)}) {
    SCOPED_TRACE(std::string(clear ? "memory clear" : "parameters") + (silent ? ", silent logger" : ""));
    common::LinkTimings t = FastTimings();
    t.clearFirstPacing = 400;
    t.clearNextPacing = 1;
    if (!silent) t.parameterTimeout = 20000;
    SimRig r(t);
    r.simulator.setFaults({.silence = silent});
    common::Settings params;
    params.MaskLowByte = 0x13, params.MaskHighByte = 1, params.LogFreqCode = 2;
    bool closedDialog = false;
    QByteArray atProbe;
    QTimer::singleShot(t.clearFirstPacing / 2, [&] { atProbe = r.channel.written(); });
    ASSERT_TRUE(clear ? r.commands.clearMemory(params) : r.commands.sendParameters(params, [&] {
      closedDialog = true;
      // The dialog closes after the third byte, before the echo can be there.
      EXPECT_EQ(r.link.receiveMode(), ReceiveMode::ParameterEcho);
      EXPECT_TRUE(r.link.replyTimeoutActive());
      EXPECT_TRUE(r.results.empty());
    }));
    EXPECT_EQ(r.channel.written(), Bytes({0x88}));  // the rest is paced
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(closedDialog, !clear);
    if (clear) { EXPECT_EQ(atProbe, Bytes({0x88})); }
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{silent ? LinkOutcome::Timeout : LinkOutcome::Ok});
    EXPECT_EQ(r.results[0].exchange, clear ? common::Exchange::MemoryClear : common::Exchange::Parameters);
    EXPECT_EQ(r.channel.written(), Bytes({0x88, 0x01, 0x13, 0x02}) + (silent ? QByteArray() : Bytes({0x0F})));
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
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
    r.commands.sendParameters(common::Settings{});
    ASSERT_TRUE(r.waitOutcome());
    QTest::qWait(10 * r.link.timings().parameterPacing);
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{outcome});
    EXPECT_EQ(r.results[0].detail.isEmpty(), outcome != LinkOutcome::PortError);  // the port's words
    EXPECT_EQ(r.channel.written(), outcome == LinkOutcome::Cancelled ? Bytes({0x88}) : QByteArray());
  }
}

// The compensation write: handshake (first and third answers complements, the second the byte
// itself), block and echo, no answer byte after the echo; the meter's parameters, paced, no echo.
TEST(Compensation, FaultsEndTheWriteAndTheReadBackAndTheMetersParametersGoPaced) {
  const auto& h = sim::Simulator::kHandshake;
  const QByteArray handshake = Bytes({0x22, 255 - h[0], h[1], 255 - h[2]});
  QByteArray block;
  common::CompensationConstants k{};
  for (int i = 0; i < 18; ++i) block.append(char(0xA0 + i)), k[std::size_t(i)] = qint16(0xA0 + i);
  block += Bytes({0x03, 0x02, 0x01});
  const std::function<bool(SimRig&)> write = [&k](SimRig& r) { return r.commands.writeCompensation(k, 0x010203); };
  const std::tuple<std::function<bool(SimRig&)>, sim::Faults, LinkOutcome, QByteArray> cases[] = {
      {write, {.wrongEcho = true}, LinkOutcome::Rejected, handshake + block},
      // The logger judges the first answer wrong and falls silent: the wait times out.
      {write, {.wrongHandshake = true}, LinkOutcome::Timeout, handshake.left(2)},
      {[](SimRig& r) { return r.commands.readCompensation(); }, {.silence = true}, LinkOutcome::Timeout, Bytes({0xCC})},
      {[](SimRig& r) { return r.commands.meterSendParameters(0x02, 0x31, 5); }, {}, LinkOutcome::Ok,
       Bytes({0x88, 0x02, 0x31, 0x05})},
  };
  for (const auto& [start, faults, outcome, written] : cases) {
    SCOPED_TRACE(written.toHex().toStdString());
    SimRig r;
    r.simulator.setFaults(faults);
    ASSERT_TRUE(start(r));
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{outcome});
    EXPECT_EQ(r.channel.written(), written);
    EXPECT_FALSE(r.commands.compensationWriteActive());  // no late handshake byte restarts it
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
  }
}

}  // namespace
