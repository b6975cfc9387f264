#pragma once
// What the link needs of a serial line: the QSerialPort implementation in the
// programs, the logger simulator or a scripted fake in tests.
#include <QString>
#include <cstdint>
#include <functional>

namespace common {

class ByteChannel {
 public:
  using Receiver = std::function<void(std::uint8_t)>;
  virtual ~ByteChannel() = default;
  virtual bool open(QString* error) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // False when the byte could not be handed to the line.
  virtual bool writeByte(std::uint8_t byte) = 0;
  // Received bytes reach the receiver one at a time, in order, whatever size of
  // chunk the line delivered.
  void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }

 protected:
  void deliver(std::uint8_t byte) {
    if (receiver_) receiver_(byte);
  }

 private:
  Receiver receiver_;
};

}  // namespace common
