#pragma once
// logtool's device commands talk to a logger on a serial device path. They answer
// every dialog without asking: save dialogs with the file named on the command line,
// questions with Yes / OK, and print each message's text.
#include "common/prompt.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTextStream>

namespace logtool {

class CliPrompt : public common::Prompt {
 public:
  explicit CliPrompt(QTextStream& messages) : messages_(messages) {}

  common::PromptAnswer message(const QString& title, const QString& text, common::PromptIcon icon,
                               common::PromptButtons buttons) override;
  QString openFile(const QString& filter, const QString& folder) override;
  // Answers with the file given for the dialog's filter; empty (cancel) when none.
  QString saveFile(const QString& filter, const QString& folder) override;
  std::optional<qint32> chooseColour(qint32 initial) override { return initial; }
  void setBusy(bool) override {}
  void beep() override {}

  void setSaveAnswer(const QString& filter, const QString& path);
  QString lastMessage() const { return last_; }

 private:
  QTextStream& messages_;
  QString last_;
  QList<QPair<QString, QString>> saves_;
};

}  // namespace logtool
