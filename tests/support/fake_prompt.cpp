#include "support/fake_prompt.h"

namespace testing_support {

using common::PromptAnswer;
using common::PromptButtons;

namespace {
template <typename T>
T Next(std::deque<T>& queue, T otherwise) {
  if (queue.empty()) return otherwise;
  T v = queue.front();
  queue.pop_front();
  return v;
}
}  // namespace

PromptAnswer FakePrompt::message(const QString& title, const QString& text, common::PromptIcon icon,
                                 PromptButtons buttons) {
  records.push_back({PromptRecord::Message, title, text, icon, buttons});
  if (onPrompt) onPrompt(records.back());
  const PromptAnswer unscripted = buttons == PromptButtons::YesNo         ? PromptAnswer::No
                                  : buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel
                                                                          : PromptAnswer::Ok;
  return Next(answers, unscripted);
}

QString FakePrompt::openFile(const QString& filter, const QString& folder) {
  records.push_back({PromptRecord::OpenFile, filter, folder});
  if (onPrompt) onPrompt(records.back());
  return Next(files, QString());
}

QString FakePrompt::saveFile(const QString& filter, const QString& folder) {
  records.push_back({PromptRecord::SaveFile, filter, folder});
  if (onPrompt) onPrompt(records.back());
  // As the real dialog: a scripted name without the filter's extension gets it.
  return common::WithFilterExtension(Next(files, QString()), filter);
}

std::optional<qint32> FakePrompt::chooseColour(qint32 initial) {
  records.push_back({PromptRecord::Colour, QString::number(initial), {}});
  if (onPrompt) onPrompt(records.back());
  return Next(colours, std::optional<qint32>());
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
  for (const auto& r : messages()) out << r.text;
  return out;
}

QStringList FakePrompt::said() const {
  QStringList out;
  for (const auto& r : messages()) out << r.title + QStringLiteral(": ") + r.text;
  return out;
}

void FakePrompt::clear() {
  records.clear();
  answers.clear();
  files.clear();
  colours.clear();
  busyChanges = beeps = 0;
}

}  // namespace testing_support
