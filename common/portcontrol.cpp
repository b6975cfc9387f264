#include "common/portcontrol.h"

#include "common/serialchannel.h"

namespace common {

PortControl::PortControl()
    : factory_([](int, const QString& path) -> std::unique_ptr<ByteChannel> {
        return std::make_unique<SerialChannel>(path);
      }) {}

PortControl::~PortControl() = default;

void PortControl::setChannelFactory(ChannelFactory factory) {
  close();
  channel_.reset();
  factory_ = std::move(factory);
}

bool PortControl::setPortNumber(int number) {
  if (number < 0 || number > 4) return false;
  if (number != number_) {
    close();
    channel_.reset();
  }
  number_ = number;
  return true;
}

QString PortControl::devicePath() const {
  return number_ == 0 ? QString() : map_.path[std::size_t(number_)];
}

bool PortControl::open(QString* error) {
  if (isOpen()) return true;
  if (number_ == 0) {
    if (error) *error = QStringLiteral("no port chosen");
    return false;
  }
  const QString path = devicePath();
  if (path.isEmpty()) {
    if (error) *error = QStringLiteral("port %1 has no device path").arg(number_);
    return false;
  }
  // A new channel per open: the map or the factory may have changed since.
  channel_ = factory_(number_, path);
  if (!channel_) {
    if (error) *error = QStringLiteral("no channel for ") + path;
    return false;
  }
  channel_->setReceiver([this](std::uint8_t b) {
    if (threshold_ > 0) deliver(b);
  });
  if (!channel_->open(error)) {
    channel_.reset();
    return false;
  }
  return true;
}

void PortControl::close() {
  if (channel_) channel_->close();
}

bool PortControl::isOpen() const { return channel_ && channel_->isOpen(); }

bool PortControl::writeByte(std::uint8_t byte) { return isOpen() && channel_->writeByte(byte); }

}  // namespace common
