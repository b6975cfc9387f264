#include "common/serialchannel.h"

#include <QSerialPort>
#include <QSocketNotifier>
#include <poll.h>
#include <sys/ioctl.h>

namespace common {

SerialChannel::SerialChannel(const QString& devicePath, QObject* parent)
    : QObject(parent), path_(devicePath), port_(new QSerialPort(this)) {
  QObject::connect(port_, &QSerialPort::readyRead, this, [this] { onReadyRead(); });
  // A device that went away (a USB adapter pulled) fails every read from then on.
  QObject::connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
    if (e == QSerialPort::ResourceError) QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
  });
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
  hangUp_ = new QSocketNotifier(port_->handle(), QSocketNotifier::Read, this);
  QObject::connect(hangUp_, &QSocketNotifier::activated, this, [this] { checkHangUp(); });
  return true;
}

// A line whose far end hung up (a pseudo-terminal whose logger program ended) stays
// readable with nothing to read, and QSerialPort sees no error in that: left open it
// would wake the event loop without end. Once what was sent before the hang-up has
// been read, the port is closed; the next command's open says what is wrong.
void SerialChannel::checkHangUp() {
  pollfd p{int(port_->handle()), POLLIN, 0};
  int pending = 0;
  if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
      ::ioctl(p.fd, FIONREAD, &pending) == 0 && pending == 0)
    close();
}

void SerialChannel::close() {
  if (hangUp_) {  // close() may run inside the notifier's own signal
    hangUp_->setEnabled(false);
    hangUp_->deleteLater();
    hangUp_ = nullptr;
  }
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
