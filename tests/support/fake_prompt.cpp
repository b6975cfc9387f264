#include "support/fake_prompt.h"

namespace testing_support {

using common::PromptAnswer;
using common::PromptButtons;

common::PromptAnswer FakePrompt::message(const QString& title, const QString& text, common::PromptIcon icon,
                                         common::PromptButtons buttons) {
  records.push_back({PromptRecord::Message, title, text, icon, buttons});
  if (onPrompt) onPrompt(records.back());
  if (!answers.empty()) {
    PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons) {
    case PromptButtons::Ok:
    case PromptButtons::OkCancel:
      return PromptAnswer::Ok;
    case PromptButtons::YesNo:
      return PromptAnswer::No;
    case PromptButtons::YesNoCancel:
      return PromptAnswer::Cancel;
  }
  return PromptAnswer::Ok;
}

static QString nextFile(std::deque<QString>& files) {
  if (files.empty()) return {};
  QString f = files.front();
  files.pop_front();
  return f;
}

QString FakePrompt::openFile(const QString& filter, const QString& folder) {
  records.push_back({PromptRecord::OpenFile, filter, folder});
  if (onPrompt) onPrompt(records.back());
  return nextFile(files);
}

QString FakePrompt::saveFile(const QString& filter, const QString& folder) {
  records.push_back({PromptRecord::SaveFile, filter, folder});
  if (onPrompt) onPrompt(records.back());
  // As the real dialog: a scripted name without the filter's extension gets it.
  return common::WithFilterExtension(nextFile(files), filter);
}

std::optional<qint32> FakePrompt::chooseColour(qint32 initial) {
  records.push_back({PromptRecord::Colour, QString::number(initial), {}});
  if (onPrompt) onPrompt(records.back());
  if (colours.empty()) return std::nullopt;
  auto c = colours.front();
  colours.pop_front();
  return c;
}

void FakePrompt::setBusy(bool b) {
  busy = b;
  ++busyChanges;
}

std::vector<PromptRecord> FakePrompt::messages() const {
  std::vector<PromptRecord> out;
  for (const auto& r : records)
    if (r.kind == PromptRecord::Message) out.push_back(r);
  return out;
}

QStringList FakePrompt::messageTexts() const {
  QStringList out;
  for (const auto& r : records)
    if (r.kind == PromptRecord::Message) out << r.text;
  return out;
}

void FakePrompt::clear() {
  records.clear();
  answers.clear();
  files.clear();
  colours.clear();
  busyChanges = 0;
  beeps = 0;
}

}  // namespace testing_support
