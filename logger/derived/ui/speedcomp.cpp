#include "logger/derived/ui/speedcomp.h"

#include "common/messages.h"
#include "common/numtext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace derived {

namespace msg = common::msg;

SpeedCompDialog::SpeedCompDialog(Compensation& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("SpeedComp"));
  setWindowTitle(msg::kSpeedCompTitle);
  setModal(true);

  auto option = [this](const char* name, const QString& caption, std::uint8_t mode) {
    auto* b = new QRadioButton(caption, this);
    b->setObjectName(QLatin1String(name));
    connect(b, &QRadioButton::clicked, this, [this, mode] { choose(mode); });
    return b;
  };
  QRadioButton* fromSample = option("FromSample", msg::kFromSampleCaption, kFromSample);
  QRadioButton* fromBias = option("FromBias", msg::kFromBiasCaption, kFromBias);
  QRadioButton* fromUser = option("FromUser", msg::kFromUserCaption, kFromUser);

  // The user pressure as it stands, "1013.2" until the user sets another.
  press_ = new QLineEdit(QString::number(double(state_.UserPressure), 'g', 7), this);
  press_->setObjectName(QStringLiteral("Press"));
  auto* unit = new QLabel(msg::kPressureUnit, this);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setDefault(true);

  auto* pressRow = new QHBoxLayout;
  pressRow->addWidget(press_);
  pressRow->addWidget(unit);
  pressRow->addStretch();
  auto* okRow = new QHBoxLayout;
  okRow->addStretch();
  okRow->addWidget(ok);
  auto* top = new QVBoxLayout(this);
  top->addWidget(fromSample);
  top->addWidget(fromBias);
  top->addWidget(fromUser);
  top->addLayout(pressRow);
  top->addLayout(okRow);
  connect(ok, &QPushButton::clicked, this, &SpeedCompDialog::onOk);

  // On opening: "from current sample", the box for the user pressure disabled.
  fromSample->setChecked(true);
  press_->setEnabled(false);
  state_.Mode = kFromSample;
}

// The option buttons exclude one another. The pressure box, once enabled by "from
// user", stays enabled; its value counts only in that mode.
void SpeedCompDialog::choose(std::uint8_t mode) {
  state_.Mode = mode;
  if (mode == kFromUser) press_->setEnabled(true);
}

// The number that leads the text, "." as the decimal point: "950,5" gives 950, a text
// that does not start with a number 0. Taken whatever the mode.
void SpeedCompDialog::onOk() {
  state_.UserPressure = float(common::LeadingNumber(press_->text()));
  accept();
}

}  // namespace derived
