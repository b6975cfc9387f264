#include "common/ui/commdialog.h"

#include "common/messages.h"
#include "common/numtext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace common {

QString CommDialog::ItemText(int number, const QString& path) {
  return QString::number(number) + QStringLiteral("   ") +
         (number == 0 ? QStringLiteral("(no port)") : path);
}

CommDialog::CommDialog(PortControl& port, Settings& settings, QString settingsPath, Prompt& prompt, Writer writer,
                       QWidget* parent)
    : QDialog(parent),
      port_(port),
      settings_(settings),
      settingsPath_(std::move(settingsPath)),
      prompt_(prompt),
      writer_(writer),
      map_(port.portMap()) {
  setObjectName(QStringLiteral("Dialog1"));
  setWindowTitle(QStringLiteral("Communication settings"));
  setModal(true);

  auto* label = new QLabel(QStringLiteral("Communication port"), this);
  label->setObjectName(QStringLiteral("Label1"));
  comport_ = new QComboBox(this);
  comport_->setObjectName(QStringLiteral("Comport"));
  for (int n = 0; n <= 4; ++n) comport_->addItem(ItemText(n, map_.path[std::size_t(n)]));

  path_ = new QComboBox(this);
  path_->setObjectName(QStringLiteral("PortPath"));
  path_->setEditable(true);
  path_->setMinimumWidth(220);
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) path_->addItem(info.systemLocation());

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));

  auto* form = new QFormLayout;
  form->addRow(label, comport_);
  form->addRow(new QLabel(QStringLiteral("Device"), this), path_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(form);
  top->addLayout(buttons);

  const int current = settings_.PortNumber <= 4 ? settings_.PortNumber : 0;
  comport_->setCurrentIndex(current);
  onPortChosen(current);
  connect(comport_, &QComboBox::currentIndexChanged, this, &CommDialog::onPortChosen);
  connect(path_, &QComboBox::currentTextChanged, this, &CommDialog::onPathEdited);
  connect(ok, &QPushButton::clicked, this, &CommDialog::onOk);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CommDialog::onPortChosen(int index) {
  const QSignalBlocker block(path_);
  path_->setEnabled(index > 0);
  path_->setEditText(index > 0 ? map_.path[std::size_t(index)] : QString());
}

void CommDialog::onPathEdited(const QString& path) {
  const int n = comport_->currentIndex();
  if (n <= 0) return;
  map_.path[std::size_t(n)] = path.trimmed();
  refreshItems();
}

void CommDialog::refreshItems() {
  for (int n = 0; n <= 4; ++n) comport_->setItemText(n, ItemText(n, map_.path[std::size_t(n)]));
}

void CommDialog::onOk() {
  const int remembered = port_.portNumber();
  const PortMap rememberedMap = port_.portMap();
  if (port_.isOpen()) port_.close();
  const int number = int(LeadingNumber(comport_->currentText()));
  port_.setPortMap(map_);
  if (number != 0) {
    QString why;
    if (!port_.setPortNumber(number) || (!port_.isOpen() && !port_.open(&why))) {
      prompt_.message(msg::kTitleCommPortError, msg::kPortNotAvailable, PromptIcon::Exclamation);
      port_.setPortMap(rememberedMap);
      port_.setPortNumber(remembered);
      return;
    }
  } else {
    port_.setPortNumber(0);
  }
  settings_.PortNumber = quint8(number);
  QString error;
  const bool written = writer_ == Writer::Logger ? WriteSettings(settingsPath_, settings_, &error)
                                                 : WriteMeterSettings(settingsPath_, settings_, &error);
  if (written) WritePortMap(PortMapPathBeside(settingsPath_), map_, &error);
  if (!error.isEmpty()) prompt_.message(msg::kTitleError, msg::SettingsNotWritten(error), PromptIcon::Exclamation);
  accept();
}

}  // namespace common
