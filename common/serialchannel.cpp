#include "common/serialchannel.h"

#include <QSerialPort>

namespace common {

SerialChannel::SerialChannel(const QString& devicePath, QObject* parent)
    : QObject(parent), path_(devicePath), port_(new QSerialPort(this)) {
  QObject::connect(port_, &QSerialPort::readyRead, this, [this] { onReadyRead(); });
}

SerialChannel::~SerialChannel() { close(); }

bool SerialChannel::open(QString* error) {
  if (port_->isOpen()) return true;
  port_->setPortName(path_);
  port_->setBaudRate(QSerialPort::Baud38400);
  port_->setDataBits(QSerialPort::Data8);
  port_->setParity(QSerialPort::NoParity);
  port_->setStopBits(QSerialPort::OneStop);
  port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!port_->open(QIODevice::ReadWrite)) {
    if (error) *error = path_ + QStringLiteral(": ") + port_->errorString();
    return false;
  }
  return true;
}

void SerialChannel::close() {
  if (!port_->isOpen()) return;
  // Bytes still in Qt's buffer (the last answer byte of an exchange) reach the line
  // before the port goes.
  port_->waitForBytesWritten(200);
  port_->close();
}

bool SerialChannel::isOpen() const { return port_->isOpen(); }

bool SerialChannel::writeByte(std::uint8_t byte) {
  if (!port_->isOpen()) return false;
  const char c = char(byte);
  if (port_->write(&c, 1) != 1) return false;
  // Commands are single bytes paced by timers; hand each to the line at once.
  port_->flush();
  return true;
}

void SerialChannel::onReadyRead() {
  // One read per notification; the chunk is fed byte by byte so that the receive
  // state machine sees exactly one byte per event, in order.
  const QByteArray chunk = port_->readAll();
  for (char c : chunk) deliver(std::uint8_t(c));
}

}  // namespace common
