#pragma once
// A prompt for benchmarks: every message is answered OK, every dialog cancelled, so
// nothing waits for a person.
#include "common/prompt.h"

class QuietPrompt : public common::Prompt {
 public:
  common::PromptAnswer message(const QString&, const QString&, common::PromptIcon, common::PromptButtons) override {
    return common::PromptAnswer::Ok;
  }
  QString openFile(const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&) override { return {}; }
  std::optional<qint32> chooseColour(qint32) override { return std::nullopt; }
  void setBusy(bool) override {}
  void beep() override {}
};
