#include "common/portcontrol.h"

#include <gtest/gtest.h>

namespace {

// A line the test receives bytes on by hand.
class HandLine : public common::ByteChannel {
 public:
  bool open(QString*) override { return open_ = true; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  bool writeByte(std::uint8_t) override { return open_; }
  void receive(std::uint8_t b) { deliver(b); }

 private:
  bool open_ = false;
};

TEST(PortControl, ThresholdZeroDropsWhatArrives) {
  common::PortControl port;
  HandLine* line = nullptr;
  port.setChannelFactory([&](int, const QString&) {
    auto l = std::make_unique<HandLine>();
    line = l.get();
    return std::unique_ptr<common::ByteChannel>(std::move(l));
  });
  common::PortMap map;
  map.path[1] = QStringLiteral("hand");
  port.setPortMap(map);
  QByteArray got;
  port.setReceiver([&](std::uint8_t b) { got.append(char(b)); });
  ASSERT_TRUE(port.setPortNumber(1) && port.open(nullptr));
  line->receive(1);
  port.setReceiveThreshold(0);
  line->receive(2);
  port.setReceiveThreshold(1);
  line->receive(3);
  EXPECT_EQ(got, QByteArray("\x01\x03", 2));
}

}  // namespace
