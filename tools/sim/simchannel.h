#pragma once
// An in-process byte channel whose peer is the simulator. Bytes from the simulator
// arrive from the event loop, never inside writeByte, as they would from a port.
#include "common/bytechannel.h"
#include "tools/sim/simulator.h"

#include <QByteArray>

namespace sim {

class SimChannel : public common::ByteChannel {
 public:
  explicit SimChannel(Simulator& simulator);
  ~SimChannel() override;

  bool open(QString* error) override;
  void close() override;
  bool isOpen() const override { return open_; }
  bool writeByte(std::uint8_t byte) override;

  // Test controls: opening fails, writing fails.
  void setOpenFails(bool fails) { openFails_ = fails; }
  void setWriteFails(bool fails) { writeFails_ = fails; }
  // Every byte the PC wrote, in order.
  QByteArray written() const { return written_; }
  void clearWritten() { written_.clear(); }
  int openCount() const { return opens_; }

 private:
  Simulator& sim_;
  bool open_ = false;
  bool openFails_ = false;
  bool writeFails_ = false;
  QByteArray written_;
  int opens_ = 0;
  int token_ = 0;
};

}  // namespace sim
