#include "meter/ui/calculatorpanel.h"

#include "common/messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace meter {

namespace {
QLineEdit* InputBox(const char* name, const char* text, QWidget* parent) {
  auto* box = new QLineEdit(QString::fromLatin1(text), parent);
  box->setObjectName(QLatin1String(name));
  box->setFixedWidth(110);
  return box;
}
}  // namespace

CalculatorPanel::CalculatorPanel(common::ChannelConfiguration& config, common::Prompt& prompt, QWidget* parent)
    : QFrame(parent), config_(config), prompt_(prompt) {
  setObjectName(QStringLiteral("Calc"));
  setFrameShape(QFrame::StyledPanel);
  measMin_ = InputBox("ValMeasMin", "0", this);
  measMax_ = InputBox("ValMeasMax", "4095", this);
  realMin_ = InputBox("ValRealMin", "0", this);
  realMax_ = InputBox("ValRealMax", "4095", this);
  configMin_ = InputBox("ConfigMin", "0", this);
  configMax_ = InputBox("ConfigMax", "4095", this);

  auto* grid = new QGridLayout(this);
  const char* columns[] = {"Meas", "Real", "Config"};
  for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(QLatin1String(columns[c]), this), 0, 1 + c);
  grid->addWidget(new QLabel(QStringLiteral("MIN"), this), 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("MAX"), this), 2, 0);
  QLineEdit* const rows[2][3] = {{measMin_, realMin_, configMin_}, {measMax_, realMax_, configMax_}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) grid->addWidget(rows[r][c], 1 + r, 1 + c);

  auto* calculate = new QPushButton(QStringLiteral("Ca&lculate"), this);
  calculate->setObjectName(QStringLiteral("Command1"));
  storeCh_ = new QComboBox(this);
  storeCh_->setObjectName(QStringLiteral("StoreCh"));
  for (int c = 1; c <= common::kChannelCount; ++c) storeCh_->addItem(QString::number(c));
  auto* storeButton = new QPushButton(QStringLiteral("&Store to CH"), this);
  storeButton->setObjectName(QStringLiteral("Store"));
  for (QPushButton* b : {calculate, storeButton}) b->setAutoDefault(false);
  grid->addWidget(calculate, 3, 1);
  grid->addWidget(storeButton, 3, 2);
  grid->addWidget(storeCh_, 3, 3);
  connect(calculate, &QPushButton::clicked, this, &CalculatorPanel::calculate);
  connect(storeButton, &QPushButton::clicked, this, &CalculatorPanel::store);
  connect(storeCh_, &QComboBox::currentIndexChanged, this, &CalculatorPanel::showRange);
  setVisible(false);
}

void CalculatorPanel::toggle() {
  setVisible(!shown_);
  storeCh_->setCurrentIndex(0);
  shown_ = !shown_;
}

void CalculatorPanel::calculate() {
  const Slope slope = CalibrationSlope({measMin_->text(), measMax_->text(), realMin_->text(), realMax_->text()});
  if (!slope.error.isEmpty()) {
    prompt_.message(common::msg::kTitleErrorBang, slope.error, common::PromptIcon::None);
    return;
  }
  slope_ = slope;
  showRange();
}

void CalculatorPanel::showRange() {
  if (!slope_) return;
  configMin_->setText(ConfigMinText(*slope_));
  // The maximum builds on the minimum as shown, rounded to its text.
  configMax_->setText(ConfigMaxText(*slope_, configMin_->text(), storeCh_->currentIndex() + 1));
}

void CalculatorPanel::store() {
  const QString error = StoreRange(config_, storeCh_->currentIndex() + 1, configMin_->text(), configMax_->text());
  if (!error.isEmpty())
    prompt_.message(common::msg::kTitleErrorBang, error, common::PromptIcon::None);
  else
    emit rangeStored();
}

}  // namespace meter
