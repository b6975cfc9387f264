#include "logger/shell/measurepanel.h"

#include "logger/trend/ui/controls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace shell {

namespace {
const QStringList kColumns{QStringLiteral("Channel"), QStringLiteral("Unit"), QStringLiteral("At A"),
                           QStringLiteral("At B"),    QStringLiteral("B − A"), QStringLiteral("Min"),
                           QStringLiteral("Max"),     QStringLiteral("Mean"),  QStringLiteral("RMS")};
}  // namespace

MeasurePanel::MeasurePanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Measurement"));
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* top = new QHBoxLayout;
  places_ = trend::Named(new QLabel(this), QStringLiteral("MeasurePlaces"));
  places_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  zoom_ = trend::Button(QStringLiteral("ZoomAB"), QStringLiteral("Zoom to A–B"), this);
  top->addWidget(places_, 1);
  top->addWidget(zoom_);
  layout->addLayout(top);
  table_ = trend::Named(new QTableWidget(0, int(kColumns.size()), this), QStringLiteral("MeasureTable"));
  table_->setHorizontalHeaderLabels(kColumns);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  layout->addWidget(table_);
  connect(zoom_, &QPushButton::clicked, this, &MeasurePanel::zoomRequested);
  hide();
}

void MeasurePanel::showMeasurement(const session::Measurement& m) {
  setVisible(!m.a.isEmpty() || !m.b.isEmpty());
  QStringList parts;
  if (!m.a.isEmpty()) parts << QStringLiteral("A: ") + m.a;
  if (!m.b.isEmpty()) parts << QStringLiteral("B: ") + m.b;
  if (!m.samples.isEmpty()) parts << QStringLiteral("Δ %1 samples, %2 s").arg(m.samples, m.seconds);
  places_->setText(parts.join(QStringLiteral("    ")));
  zoom_->setEnabled(!m.samples.isEmpty());
  table_->setRowCount(int(m.rows.size()));
  for (int r = 0; r < int(m.rows.size()); ++r) {
    const session::MeasureRow& row = m.rows[std::size_t(r)];
    QStringList cells{QStringLiteral("%1 %2").arg(row.channel).arg(row.name), row.unit};
    for (const QString& v : row.values) cells << v;
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  }
  // As tall as its rows: the trend above keeps the rest of the window.
  int height = table_->horizontalHeader()->height() + 2 * table_->frameWidth();
  for (int r = 0; r < table_->rowCount(); ++r) height += table_->rowHeight(r);
  table_->setFixedHeight(height);
}

}  // namespace shell
