#include "common/ui/configeditor.h"

#include "common/messages.h"
#include "common/numtext.h"
#include "common/prompt.h"
#include "common/commands.h"
#include "common/ui/colour.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace common {
namespace {

// The .cfg file stores texts in a one-byte code page; a character outside Latin-1
// could not be written back, so it cannot be typed.
class Latin1Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c.unicode() > 0xFF) return Invalid;
    return Acceptable;
  }
};

// A compensation box takes whole numbers as typed; whether the number fits the one
// byte the logger receives is said at Save as, by name, rather than by keystrokes
// that silently vanish.
const QRegularExpression kWholeNumber(QStringLiteral("-?[0-9]{0,6}"));

// Basic rounds a whole number halves to even and stops with an overflow outside the
// type's range; here the value is held at the range's ends instead.
template <typename T>
T roundInto(double v) {
  const double r = std::nearbyint(v);
  if (!(r >= double(std::numeric_limits<T>::min()))) return std::numeric_limits<T>::min();
  if (r > double(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return T(r);
}

QLineEdit* textBox(QWidget* parent, const QString& name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace

ConfigEditorVariant ConfigEditorVariant::Logger() {
  ConfigEditorVariant v;
  v.compensationRows = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  return v;
}

ConfigEditorVariant ConfigEditorVariant::Meter() {
  ConfigEditorVariant v;
  v.meter = true;
  v.compensationRows = {0, 2, 3, 4, 5, 6};  // TMPREF, TMPK2 .. TMPK6
  v.serviceFieldsAlwaysHidden = true;
  v.windowHeightsFromPanel = false;
  v.saveCopiesServiceFields = false;
  v.serialFromDevice = true;
  return v;
}

ConfigEditor::ConfigEditor(ChannelConfiguration& config, CompensationConstants& compensation, ConfigEditorHost& host,
                           Prompt& prompt, const QString& programDir, bool serviceMode,
                           const ConfigEditorVariant& variant, QWidget* parent)
    : QDialog(parent),
      config_(config),
      compensation_(compensation),
      host_(host),
      prompt_(prompt),
      programDir_(programDir),
      serviceMode_(serviceMode),
      variant_(variant) {
  setObjectName(QStringLiteral("Config"));
  setWindowTitle(msg::kTitleConfig);
  setModal(true);
  buildForm();
  fillForm();
}

void ConfigEditor::buildForm() {
  auto* outer = new QVBoxLayout(this);
  auto* channels = new QGridLayout;
  outer->addLayout(channels);
  const QStringList headings = {QStringLiteral("Caption"), QStringLiteral("MIN"), QStringLiteral("MAX"),
                                QStringLiteral("Unit")};
  constexpr int kRowsPerBlock = 6;
  constexpr int kColumnsPerBlock = 5;  // row label + four boxes
  for (int block = 0; block < 2; ++block) {
    const int col0 = block * kColumnsPerBlock;
    for (int h = 0; h < headings.size(); ++h) channels->addWidget(new QLabel(headings[h], this), 0, col0 + 1 + h);
  }
  for (int i = 0; i < kChannelCount; ++i) {
    const int row = 1 + i % kRowsPerBlock;
    const int col0 = (i / kRowsPerBlock) * kColumnsPerBlock;
    const QString n = QString::number(i);
    auto* label = new QLabel(QStringLiteral("CH") + QString::number(i + 1), this);
    label->setObjectName(QStringLiteral("Label1_") + n);
    rowLabel_[std::size_t(i)] = label;
    name_[std::size_t(i)] = textBox(this, QStringLiteral("Chan1_") + n);
    min_[std::size_t(i)] = textBox(this, QStringLiteral("MIN_") + n);
    max_[std::size_t(i)] = textBox(this, QStringLiteral("MAX_") + n);
    unit_[std::size_t(i)] = textBox(this, QStringLiteral("Unit_") + n);
    // A name or unit must fit a record of the .cfg file.
    for (QLineEdit* box : {name_[std::size_t(i)], unit_[std::size_t(i)]}) {
      box->setMaxLength(kMaxTextLength);
      box->setValidator(new Latin1Validator(box));
    }
    channels->addWidget(label, row, col0);
    channels->addWidget(name_[std::size_t(i)], row, col0 + 1);
    channels->addWidget(min_[std::size_t(i)], row, col0 + 2);
    channels->addWidget(max_[std::size_t(i)], row, col0 + 3);
    channels->addWidget(unit_[std::size_t(i)], row, col0 + 4);
  }

  auto* service = new QGridLayout;
  outer->addLayout(service);
  auto* high = new QLabel(QStringLiteral("H"), this);
  high->setObjectName(QStringLiteral("H"));
  auto* low = new QLabel(QStringLiteral("L"), this);
  low->setObjectName(QStringLiteral("L"));
  service->addWidget(high, 0, 1);
  service->addWidget(low, 0, 2);
  serviceWidgets_ = {high, low};
  int row = 1;
  for (int constant : variant_.compensationRows) {
    const QString highName = QString::fromLatin1(kCompensationNames[std::size_t(2 * constant)]);
    const QString lowName = QString::fromLatin1(kCompensationNames[std::size_t(2 * constant + 1)]);
    auto* label = new QLabel(highName.chopped(1), this);  // "TMPREFH" -> "TMPREF"
    service->addWidget(label, row, 0);
    serviceWidgets_.push_back(label);
    for (int part = 0; part < 2; ++part) {
      auto* box = textBox(this, part == 0 ? highName : lowName);
      box->setValidator(new QRegularExpressionValidator(kWholeNumber, box));
      service->addWidget(box, row, 1 + part);
      compensationBox_[std::size_t(2 * constant + part)] = box;
      serviceWidgets_.push_back(box);
    }
    ++row;
  }
  auto* serialLabel = new QLabel(QStringLiteral("Serial"), this);
  serialLabel->setObjectName(QStringLiteral("lblSerial"));
  serial_ = textBox(this, QStringLiteral("SerialInput"));
  service->addWidget(serialLabel, row, 0);
  service->addWidget(serial_, row, 1, 1, 2);
  serviceWidgets_.push_back(serialLabel);
  serviceWidgets_.push_back(serial_);

  auto* buttons = new QHBoxLayout;
  outer->addLayout(buttons);
  auto* loadButton = new QPushButton(QStringLiteral("Load"), this);
  loadButton->setObjectName(QStringLiteral("LoadCfg"));
  auto* saveButton = new QPushButton(QStringLiteral("Save as"), this);
  saveButton->setObjectName(QStringLiteral("SaveAsCfg"));
  auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
  closeButton->setObjectName(QStringLiteral("CancelButton"));
  for (QPushButton* b : {loadButton, saveButton, closeButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  connect(loadButton, &QPushButton::clicked, this, &ConfigEditor::load);
  connect(saveButton, &QPushButton::clicked, this, &ConfigEditor::saveAs);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ConfigEditor::fillForm() {
  for (int i = 0; i < kChannelCount; ++i) {
    const std::size_t k = std::size_t(i);
    ChannelSettings& ch = config_.channel[k];
    name_[k]->setText(ch.Name);
    min_[k]->setText(NumberToText(ch.Min));
    max_[k]->setText(NumberToText(ch.Max));
    unit_[k]->setText(ch.Unit);
    // A save stores the window heights in use, not those last read from a file.
    if (variant_.windowHeightsFromPanel) ch.WinHight = LeadingNumber(host_.windowHeightText(i));
    // Pale channel colours get a dark ground so that the label stays readable.
    const qint32 colour = host_.channelColour(i);
    QPalette palette = rowLabel_[k]->palette();
    palette.setColor(QPalette::WindowText, ColourFromBgr(colour));
    palette.setColor(QPalette::Window,
                     ColourFromBgr(MoreContrastingBackground(colour, BgrFromColour(palette.color(QPalette::Window)),
                                                             kDarkGround)));
    rowLabel_[k]->setAutoFillBackground(true);
    rowLabel_[k]->setPalette(palette);
  }
  showServiceFields(serviceMode_ && !variant_.serviceFieldsAlwaysHidden);
  for (std::size_t k = 0; k < compensationBox_.size(); ++k)
    if (compensationBox_[k]) compensationBox_[k]->setText(QString::number(compensation_[k]));
  serial_->setText(QString::number(config_.ConfigNumber));
}

void ConfigEditor::showServiceFields(bool shown) {
  for (QWidget* w : serviceWidgets_) w->setVisible(shown);
}

QString ConfigEditor::cfgDir() const { return QDir::cleanPath(programDir_ + QStringLiteral("/cfg")); }

QString ConfigEditor::configDisplayName(const QString& path) const {
  const QString prefix = cfgDir() + QLatin1Char('/');
  return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

void ConfigEditor::saveAs() {
  for (int i = 0; i < kChannelCount; ++i) {
    if (!IsNumericInput(min_[std::size_t(i)]->text())) {
      prompt_.message(msg::kTitleErrorBang, msg::NonNumericMin(i + 1), PromptIcon::None, PromptButtons::Ok);
      return;
    }
    if (!IsNumericInput(max_[std::size_t(i)]->text())) {
      prompt_.message(msg::kTitleErrorBang, msg::NonNumericMax(i + 1), PromptIcon::None, PromptButtons::Ok);
      return;
    }
  }
  if (variant_.saveCopiesServiceFields) {
    for (std::size_t k = 0; k < compensationBox_.size(); ++k) {
      if (compensationBox_[k] && !CompensationByte(compensationBox_[k]->text())) {
        prompt_.message(msg::kTitleErrorBang, msg::CompensationRange(compensationBox_[k]->objectName()),
                        PromptIcon::None, PromptButtons::Ok);
        return;
      }
    }
  }
  for (int i = 0; i < kChannelCount; ++i) {
    const std::size_t k = std::size_t(i);
    ChannelSettings& ch = config_.channel[k];
    ch.Name = name_[k]->text();
    ch.Min = TextToNumber(min_[k]->text());
    ch.Max = TextToNumber(max_[k]->text());
    ch.Unit = unit_[k]->text();
  }
  if (variant_.saveCopiesServiceFields) {
    for (std::size_t k = 0; k < compensationBox_.size(); ++k)
      if (compensationBox_[k]) compensation_[k] = *CompensationByte(compensationBox_[k]->text());
    config_.ConfigNumber = roundInto<qint32>(LeadingNumber(serial_->text()));
    host_.setLogConfigNumber(config_.ConfigNumber);
  }

  const QString path = prompt_.saveFile(msg::kFilterCfg, cfgDir());
  if (path.isEmpty()) return;

  bool write = true;
  if (QFileInfo::exists(path)) {
    const PromptAnswer answer = prompt_.message(msg::kTitleConfig, msg::ConfigExistsQuestion(path),
                                                PromptIcon::Exclamation, PromptButtons::YesNoCancel);
    if (answer != PromptAnswer::Yes) {
      prompt_.message(msg::kTitleConfig, msg::kConfigurationNotStored, PromptIcon::None, PromptButtons::Ok);
      write = false;
    }
  }
  if (write) {
    ChannelConfiguration stored = config_;
    if (variant_.serialFromDevice) stored.ConfigNumber = host_.deviceSerialNumber();
    QString error;
    if (!WriteConfigFile(path, stored, &error)) {
      // The save failed: say so and keep the editor open rather than report it stored.
      prompt_.message(msg::kTitleError, error, PromptIcon::Critical, PromptButtons::Ok);
      return;
    }
  }
  host_.refreshLabels();
  host_.setTitle(msg::MainTitle(host_.fileDialogName(), configDisplayName(path)));
  accept();
}

void ConfigEditor::load() {
  const QString path = prompt_.openFile(msg::kFilterCfg, cfgDir());
  if (path.isEmpty()) return;
  QString error;
  bool read = false;
  {
    BusyScope busy(prompt_);
    // On failure the current configuration stays as it was.
    read = ReadConfigFile(path, config_, &error);
    if (read) {
      host_.applyWindowHeights();
      host_.refreshLabels();
      const QString name = configDisplayName(path);
      host_.setTitle(variant_.meter ? msg::MeterConfigTitle(name) : msg::MainTitle(host_.fileDialogName(), name));
    }
  }
  if (!read) {
    prompt_.message(msg::kTitleError, error, PromptIcon::Critical, PromptButtons::Ok);
    return;
  }
  fillForm();
}

}  // namespace common
