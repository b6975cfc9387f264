#include "logger/shell/dialogs.h"

#include "common/messages.h"
#include "common/numtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace shell {

namespace {
QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}
}  // namespace

DownloadDialog::DownloadDialog(common::Settings& settings, QString settingsPath, common::Prompt& prompt,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), settingsPath_(std::move(settingsPath)), prompt_(prompt) {
  setObjectName(QStringLiteral("Downl"));
  setWindowTitle(QStringLiteral("Download"));
  setModal(true);
  auto* label = new QLabel(QStringLiteral("Delay"), this);
  delay_ = new QLineEdit(QString::number(settings_.DownloadDelay), this);
  delay_->setObjectName(QStringLiteral("Text1"));
  auto* raw = new QRadioButton(QStringLiteral("Save DLT file"), this);
  raw->setObjectName(QStringLiteral("Option1"));
  raw->setChecked(false);
  auto* down = Button("DownLBp", QStringLiteral("Download"), this);
  auto* cancel = Button("CancelBp", QStringLiteral("Cancel"), this);
  down->setDefault(true);

  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(delay_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(down);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(row);
  top->addWidget(raw);
  top->addLayout(buttons);

  connect(raw, &QRadioButton::toggled, this, [this](bool on) { SaveRawImage = on; });
  connect(down, &QPushButton::clicked, this, &DownloadDialog::onDownload);
  connect(cancel, &QPushButton::clicked, this, [this] {
    DownloadRequested = false;
    reject();
  });
}

void DownloadDialog::onDownload() {
  // The box is read leniently, as a number that leads the text; anything outside
  // 1..255 (text that holds no number reads as 0) is refused.
  const double v = common::LeadingNumber(delay_->text());
  if (v < 1 || v > 255) {
    prompt_.message(common::msg::kTitleError, common::msg::kDelayRange, common::PromptIcon::Exclamation);
    return;
  }
  settings_.DownloadDelay = quint8(std::floor(v));
  QString error;
  if (!common::WriteSettings(settingsPath_, settings_, &error))
    prompt_.message(common::msg::kTitleError, common::msg::SettingsNotWritten(error), common::PromptIcon::Exclamation);
  DownloadRequested = true;
  accept();
}

ParametersDialog::ParametersDialog(common::Settings& settings, QString settingsPath, common::Commands& commands,
                                   common::Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      settingsPath_(std::move(settingsPath)),
      commands_(commands),
      prompt_(prompt) {
  setObjectName(QStringLiteral("Dialog"));
  setWindowTitle(QStringLiteral("Logging parameters"));
  setModal(true);

  freq_ = new QComboBox(this);
  freq_->setObjectName(QStringLiteral("LOGFREQ"));
  freq_->addItems(common::FrequencyListTexts());
  freq_->setCurrentIndex(common::ListPositionForFreqCode(settings_.LogFreqCode));
  auto* freqRow = new QHBoxLayout;
  freqRow->addWidget(new QLabel(QStringLiteral("Sample freq"), this));
  freqRow->addWidget(freq_);
  freqRow->addWidget(new QLabel(QStringLiteral("Hz"), this));
  freqRow->addStretch();

  auto* group = new QGroupBox(QStringLiteral("Channels to log"), this);
  auto* grid = new QGridLayout(group);
  const auto ticked = common::ChecksFromMask(settings_.MaskLowByte, settings_.MaskHighByte);
  for (int k = 0; k < 12; ++k) {
    auto* c = new QCheckBox(QString::number(k + 1), group);
    c->setObjectName(QStringLiteral("Check1_%1").arg(k));
    c->setChecked(ticked[std::size_t(k)]);
    checks_[std::size_t(k)] = c;
    grid->addWidget(c, k / 6, k % 6);
  }

  auto* send = send_ = Button("sendpar", QStringLiteral("Send parameters"), this);
  auto* cancel = Button("CancelButton", QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(send);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(freqRow);
  top->addWidget(group);
  top->addLayout(buttons);

  connect(send, &QPushButton::clicked, this, &ParametersDialog::onSend);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ParametersDialog::~ParametersDialog() { commands_.cancelParameterSend(); }

void ParametersDialog::reject() {
  commands_.cancelParameterSend();
  QDialog::reject();
}

void ParametersDialog::onSend() {
  std::array<bool, 12> ticked{};
  for (int k = 0; k < 12; ++k) ticked[std::size_t(k)] = checks_[std::size_t(k)]->isChecked();
  const common::LogMask mask = common::MaskFromChecks(ticked);
  settings_.MaskLowByte = mask.MaskLowByte;
  settings_.MaskHighByte = mask.MaskHighByte;
  if (auto code = common::FreqCodeForListPosition(freq_->currentIndex())) settings_.LogFreqCode = *code;
  QString error;
  if (!common::WriteSettings(settingsPath_, settings_, &error))
    prompt_.message(common::msg::kTitleError, common::msg::SettingsNotWritten(error), common::PromptIcon::Exclamation);
  // The dialog stays open while its three bytes are paced out and closes after the last;
  // a second press meanwhile would put a new command byte among them. The hourglass
  // goes with the exchange's end, which the main window hears.
  prompt_.setBusy(true);
  if (commands_.sendParameters(settings_, [this] { accept(); })) send_->setEnabled(false);
}

}  // namespace shell
