// The receive state machine, the reply time-out and the port control.
#include "common/link.h"
#include "link_support.h"

#include <gtest/gtest.h>

using namespace link_test;
using common::LinkOutcome;
using common::ReceiveMode;

namespace {

// The link on the simulator's line; received bytes are handed in by the test, one at a
// time as the port would.
struct LinkRig : SimRig {
  void feed(const QByteArray& bytes) {
    for (char c : bytes) link.receiveByte(std::uint8_t(c));
  }
  QByteArray buffer(int n) const { return QByteArray(reinterpret_cast<const char*>(link.receiveBuffer().data()), n); }
};

TEST(LinkReceive, DownloadBytesAreStoredFromIndexThreeAfterTheStartByte) {
  LinkRig r;
  bool elapsed = false;
  QObject::connect(&r.link, &common::Link::silenceElapsed, [&] { elapsed = true; });
  r.feed(Bytes({0x01, 0xF0, 0x7F}));
  EXPECT_FALSE(r.link.insideFrame());
  EXPECT_EQ(r.link.receiveIndex(), 2);
  r.feed(Bytes({0xFF, 0xAB, 0xFF, 0x05}));
  EXPECT_TRUE(r.link.insideFrame());
  EXPECT_EQ(r.link.receiveIndex(), 5);
  // After the start byte an 0xFF is data; indices 0 to 2 are never written.
  EXPECT_EQ(r.buffer(6), Bytes({0, 0, 0, 0xAB, 0xFF, 0x05}));
  EXPECT_EQ(r.link.downloadBytesReceived(), 3);
  ASSERT_TRUE(WaitFor([&] { return elapsed; }));
}

TEST(LinkReceive, AStreamLongerThanTheBufferIsFlaggedNotWrittenPastItsEnd) {
  LinkRig r;
  r.feed(Bytes({0xFF}));
  for (qint64 i = 0; i < common::kReceiveBufferSize + 10; ++i) r.link.receiveByte(0x11);
  EXPECT_TRUE(r.link.receiveOverflow());
  EXPECT_EQ(r.link.receiveIndex(), common::kReceiveBufferSize - 1);
  EXPECT_EQ(r.link.receiveBuffer().size(), std::size_t(common::kReceiveBufferSize));
  r.link.beginDownload();
  EXPECT_FALSE(r.link.receiveOverflow());
  EXPECT_FALSE(r.link.insideFrame());
}

// Each byte of the echo counts; the answer byte and the outcome follow the third.
TEST(LinkReceive, ParameterEchoIsComparedByteForByte) {
  const std::uint8_t sent[3] = {0x01, 0x13, 0x05};
  for (const QByteArray& echo : {Bytes({0x01, 0x13, 0x05}), Bytes({0x00, 0x13, 0x05}), Bytes({0x01, 0x12, 0x05}),
                                 Bytes({0x01, 0x13, 0x32})}) {
    LinkRig r;
    ASSERT_TRUE(r.link.ensureOpen());
    r.link.begin(common::Exchange::MemoryClear);
    r.link.expect(ReceiveMode::ParameterEcho, sent);
    r.link.startReplyTimeout(100000);
    r.feed(echo.left(2));
    EXPECT_TRUE(r.results.empty());
    r.feed(echo.right(1));
    const bool same = echo == QByteArray(reinterpret_cast<const char*>(sent), 3);
    EXPECT_EQ(r.channel.written(), QByteArray(1, same ? 0x0F : 0x00));
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{same ? LinkOutcome::Ok : LinkOutcome::Rejected});
    EXPECT_EQ(r.results[0].exchange, common::Exchange::MemoryClear);
    EXPECT_FALSE(r.link.replyTimeoutActive());
    EXPECT_EQ(r.link.receiveMode(), ReceiveMode::Download);
  }
}

// A time-out returns to mode 0 and opens a closed port again; a port that will not
// open is reported with the time-out, in the port's words.
TEST(LinkTimeout, TimeoutReturnsToModeZeroAndReopensThePort) {
  for (const bool opens : {true, false}) {
    SCOPED_TRACE(opens);
    LinkRig r;
    r.channel.setOpenFails(!opens);
    r.link.expect(ReceiveMode::ParameterEcho);
    r.link.startReplyTimeout(r.link.timings().parameterTimeout);
    ASSERT_TRUE(r.waitOutcome());
    EXPECT_EQ(r.outcomes(), std::vector<LinkOutcome>{LinkOutcome::Timeout});
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
    LinkRig r;
    r.link.setLiveFraming(true);
    std::vector<QByteArray> frames;
    QObject::connect(&r.link, &common::Link::liveFrame, [&](const QByteArray& f) { frames.push_back(f); });
    r.feed(c.bytes);
    EXPECT_EQ(frames, c.frames) << &c - cases;
    EXPECT_FALSE(r.link.insideFrame());
    EXPECT_EQ(r.link.receiveIndex(), 2);  // nothing of a live frame lands in the download buffer
  }
}

}  // namespace
