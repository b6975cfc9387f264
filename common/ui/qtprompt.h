#pragma once
// The one real implementation of common::Prompt: Qt's message box, file dialogs,
// colour dialog and the application-wide override cursor.
#include "common/prompt.h"

class QWidget;

namespace common {

// "dlg files (*.dlg)|*.dlg" -> "dlg files (*.dlg)", the form Qt's file dialog wants.
QString QtFileFilter(const QString& filter);

class QtPrompt : public Prompt {
 public:
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  PromptAnswer message(const QString& title, const QString& text, PromptIcon icon,
                       PromptButtons buttons = PromptButtons::Ok) override;
  QString openFile(const QString& filter, const QString& folder) override;
  QString saveFile(const QString& filter, const QString& folder) override;
  std::optional<qint32> chooseColour(qint32 initial) override;
  void setBusy(bool busy) override;
  void beep() override;

 private:
  QWidget* parent_;
  bool busy_ = false;  // one override cursor at most: the last call wins
};

}  // namespace common
