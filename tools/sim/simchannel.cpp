#include "tools/sim/simchannel.h"

namespace sim {

SimChannel::SimChannel(Simulator& simulator) : sim_(simulator) {}

SimChannel::~SimChannel() { close(); }

bool SimChannel::open(QString* error) {
  if (openFails_) {
    if (error) *error = QStringLiteral("simulated port cannot be opened");
    return false;
  }
  if (open_) return true;
  open_ = true;
  ++opens_;
  token_ = sim_.setWriter([this](const char* data, qint64 size) {
    for (qint64 i = 0; i < size && open_; ++i) deliver(std::uint8_t(data[i]));
    return size;
  });
  return true;
}

void SimChannel::close() {
  if (!open_) return;
  open_ = false;
  sim_.clearWriter(token_);
}

bool SimChannel::writeByte(std::uint8_t byte) {
  if (!open_ || writeFails_) return false;
  written_.append(char(byte));
  sim_.receive(byte);
  return true;
}

}  // namespace sim
