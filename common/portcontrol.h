#pragma once
// Stands in for the serial-port control of the forms: holds the port number
// (0 = no port, 1 to 4), maps it to a device path through the port map, and opens a
// channel for it. Tests and the demo inject a factory so that the programs run on
// the in-process simulator.
#include "common/bytechannel.h"
#include "common/settings.h"

#include <functional>
#include <memory>

namespace common {

class PortControl : public ByteChannel {
 public:
  // Creates the channel for a port; the default makes a SerialChannel on the path.
  using ChannelFactory = std::function<std::unique_ptr<ByteChannel>(int portNumber, const QString& devicePath)>;

  PortControl();
  ~PortControl() override;

  void setPortMap(const PortMap& map) { map_ = map; }
  const PortMap& portMap() const { return map_; }
  void setChannelFactory(ChannelFactory factory);

  // Like setting CommPort: closes an open port first. Numbers outside 0..4 are refused.
  bool setPortNumber(int number);
  int portNumber() const { return number_; }
  // The device path of the current number (empty for port 0).
  QString devicePath() const;

  // Fails for port 0 (no port chosen), an empty path, or a device that cannot be
  // opened; *error then says why in words for the log, not for a message box.
  bool open(QString* error) override;
  void close() override;
  bool isOpen() const override;
  bool writeByte(std::uint8_t byte) override;

  // Received bytes per receive event, as the serial control's threshold: 0 raises no
  // events and drops what arrives (the meter's port before "&Read"), 1 one per byte.
  void setReceiveThreshold(int bytes) { threshold_ = bytes; }
  int receiveThreshold() const { return threshold_; }

 private:
  PortMap map_;
  int number_ = 0;
  int threshold_ = 1;
  ChannelFactory factory_;
  std::unique_ptr<ByteChannel> channel_;
};

}  // namespace common
