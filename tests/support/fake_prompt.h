#pragma once
// A scripted stand-in for every dialog: it records each prompt and answers from the test's
// queues; unscripted, a message is answered Ok (else Cancel, or No) and a file dialog cancelled.
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
                               common::PromptButtons buttons) override {
    note({PromptRecord::Message, title, text, icon, buttons});
    using common::PromptAnswer;
    using common::PromptButtons;
    return next(answers, buttons == PromptButtons::YesNo         ? PromptAnswer::No
                         : buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel
                                                                 : PromptAnswer::Ok);
  }
  QString openFile(const QString& filter, const QString& folder) override {
    note({PromptRecord::OpenFile, filter, folder});
    return next(files, QString());
  }
  // As the real dialog does.
  QString saveFile(const QString& filter, const QString& folder) override {
    note({PromptRecord::SaveFile, filter, folder});
    return common::WithFilterExtension(next(files, QString()), filter);
  }
  std::optional<qint32> chooseColour(qint32 initial) override {
    note({PromptRecord::Colour, QString::number(initial), {}});
    return next(colours, std::optional<qint32>());
  }
  void setBusy(bool b) override { busy = b; }
  void beep() override { ++beeps; }

  std::deque<common::PromptAnswer> answers;  // consumed in order, as the queues below
  std::deque<QString> files;                 // for openFile and saveFile alike
  std::deque<std::optional<qint32>> colours;
  // Called after each prompt is recorded, to check state at that moment.
  std::function<void(const PromptRecord&)> onPrompt;

  std::vector<PromptRecord> records;
  bool busy = false;
  int beeps = 0;

  std::vector<PromptRecord> messages() const {
    std::vector<PromptRecord> out;
    for (const auto& r : records)
      if (r.kind == PromptRecord::Message) out.push_back(r);
    return out;
  }
  QStringList messageTexts() const {
    QStringList out;
    for (const auto& r : messages()) out << r.text;
    return out;
  }
  // Each message as "title: text".
  QStringList said() const {
    QStringList out;
    for (const auto& r : messages()) out << r.title + QStringLiteral(": ") + r.text;
    return out;
  }
  void clear() {
    records.clear();
    answers.clear();
    files.clear();
    colours.clear();
    beeps = 0;
  }

 private:
  void note(const PromptRecord& r) {
    records.push_back(r);
    if (onPrompt) onPrompt(records.back());
  }
  template <typename T>
  static T next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T v = queue.front();
    queue.pop_front();
    return v;
  }
};

}  // namespace testing_support
