#include "common/ui/aboutbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace common {

AboutBox::AboutBox(const QString& formName, const QString& programName, QWidget* parent) : QDialog(parent) {
  setObjectName(formName);
  setWindowTitle(QStringLiteral("About"));
  setModal(true);
  auto* name = new QLabel(programName, this);
  name->setObjectName(QStringLiteral("lblName"));
  QFont f = name->font();
  f.setPointSizeF(f.pointSizeF() * 1.6);
  f.setBold(true);
  name->setFont(f);
  name->setAlignment(Qt::AlignCenter);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  auto* top = new QVBoxLayout(this);
  top->addWidget(name);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  top->addLayout(row);
  setMinimumWidth(260);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace common
