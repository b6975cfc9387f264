#pragma once
// The real serial line: QSerialPort at 38400 baud, 8N1, no flow control.
#include "common/bytechannel.h"

#include <QObject>
#include <QString>

class QSerialPort;
class QSocketNotifier;

namespace common {

class SerialChannel : public QObject, public ByteChannel {
  Q_OBJECT
 public:
  explicit SerialChannel(const QString& devicePath, QObject* parent = nullptr);
  ~SerialChannel() override;

  bool open(QString* error) override;
  void close() override;
  bool isOpen() const override;
  bool writeByte(std::uint8_t byte) override;
  QString devicePath() const { return path_; }

 private:
  void onReadyRead();
  void checkHangUp();

  QString path_;
  QSerialPort* port_;
  QSocketNotifier* hangUp_ = nullptr;  // while open
};

}  // namespace common
