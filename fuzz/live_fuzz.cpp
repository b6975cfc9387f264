// The meter's live frames through the receive state machine. Whatever arrives: nothing
// lands in the download buffer and no frame grows past twice its size; a frame of 27
// bytes parses and any other length is refused; a parsed frame, sent again as the
// logger sends it, arrives as the same bytes.
#include "common/commands.h"
#include "common/link.h"
#include "fuzz_support.h"
#include "tools/sim/simulator.h"

#include <vector>

namespace {

struct LiveLink {
  fuzz::FeedChannel channel;
  common::Link link{channel};
  std::vector<QByteArray> frames;
  LiveLink() {
    QObject::connect(&link, &common::Link::liveFrame, [this](const QByteArray& f) { frames.push_back(f); });
  }
  // As the meter's "&Read" leaves the link: mode 0, waiting for a start byte.
  void restart() {
    link.setLiveFraming(true);
    frames.clear();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static LiveLink rig, echo;
  rig.restart();
  rig.channel.feed(fuzz::Input(data, size));
  FUZZ_CHECK(rig.link.receiveIndex() <= 2);
  for (const QByteArray& f : rig.frames) {
    FUZZ_CHECK(f.size() <= 2 * common::kLiveFrameSize + 2);
    const std::optional<common::LiveFrame> frame = common::ParseLiveFrame(f);
    FUZZ_CHECK(frame.has_value() == (f.size() == common::kLiveFrameSize));
    if (!frame) continue;
    FUZZ_CHECK(frame->raw[10] >= 0 && frame->raw[10] <= 255 && frame->raw[11] >= 0 && frame->raw[11] <= 255);
    FUZZ_CHECK(frame->serialNumber >= 0 && frame->serialNumber <= 0xFFFFFF);
    echo.restart();
    echo.channel.feed(sim::LiveFrameBytes(frame->raw, frame->extra, frame->serialNumber));
    FUZZ_CHECK(echo.frames.size() == 1 && echo.frames[0] == f);
  }
  return 0;
}
