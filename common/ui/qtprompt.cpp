#include "common/ui/qtprompt.h"

#include <QApplication>
#include "common/ui/colour.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace common {

QString QtFileFilter(const QString& filter) {
  const int bar = filter.indexOf(QLatin1Char('|'));
  return bar < 0 ? filter : filter.left(bar);
}

PromptAnswer QtPrompt::message(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(title);
  box.setText(text);
  switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // A message shown while the hourglass is up must still be answerable with the mouse.
  const bool wasBusy = busy_;
  if (wasBusy) QApplication::restoreOverrideCursor();
  const int r = box.exec();
  if (wasBusy && busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
  switch (r) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
  }
}

QString QtPrompt::openFile(const QString& filter, const QString& folder) {
  return QFileDialog::getOpenFileName(parent_, QString(), folder, QtFileFilter(filter));
}

QString QtPrompt::saveFile(const QString& filter, const QString& folder) {
  // The programs ask their own overwrite question, with their own words.
  return WithFilterExtension(QFileDialog::getSaveFileName(parent_, QString(), folder, QtFileFilter(filter), nullptr,
                                                          QFileDialog::DontConfirmOverwrite),
                             filter);
}

std::optional<qint32> QtPrompt::chooseColour(qint32 initial) {
  const QColor c = QColorDialog::getColor(ColourFromBgr(initial), parent_);
  if (!c.isValid()) return std::nullopt;
  return BgrFromColour(c);
}

void QtPrompt::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtPrompt::beep() { QApplication::beep(); }

}  // namespace common
