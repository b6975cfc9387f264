#pragma once
// A scripted stand-in for every dialog: it records each prompt and answers from queues
// that the test filled. An unscripted message is answered Ok (or Cancel/No where Ok is
// not offered); an unscripted file dialog is cancelled. A scripted save name gets the
// filter's extension as the real prompt gives it (common::WithFilterExtension).
#include "common/prompt.h"
#include "support/qt_printers.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace testing_support {

struct PromptRecord {
  enum Kind { Message, OpenFile, SaveFile, Colour } kind;
  QString title;     // message title, or the filter of a file dialog
  QString text;      // message text, or the folder of a file dialog
  common::PromptIcon icon = common::PromptIcon::None;
  common::PromptButtons buttons = common::PromptButtons::Ok;
};

class FakePrompt : public common::Prompt {
 public:
  common::PromptAnswer message(const QString& title, const QString& text, common::PromptIcon icon,
                               common::PromptButtons buttons) override;
  QString openFile(const QString& filter, const QString& folder) override;
  QString saveFile(const QString& filter, const QString& folder) override;
  std::optional<qint32> chooseColour(qint32 initial) override;
  void setBusy(bool busy) override;
  void beep() override { ++beeps; }

  // Scripted answers, consumed in order.
  std::deque<common::PromptAnswer> answers;
  std::deque<QString> files;          // for openFile and saveFile alike
  std::deque<std::optional<qint32>> colours;
  // Called after each prompt is recorded (e.g. to check state at that moment).
  std::function<void(const PromptRecord&)> onPrompt;

  std::vector<PromptRecord> records;
  bool busy = false;
  int busyChanges = 0;
  int beeps = 0;

  std::vector<PromptRecord> messages() const;
  QStringList messageTexts() const;
  // Each message as "title: text".
  QStringList said() const;
  void clear();
};

}  // namespace testing_support
