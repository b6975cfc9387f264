#include "logger/shell/linkmessages.h"

#include "common/messages.h"

#include <optional>

namespace shell {

namespace msg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using common::PromptIcon;
using common::WithDetail;
using loggerlink::DownloadOutcome;

namespace {

struct Row {
  std::optional<Exchange> exchange;  // nullopt: every exchange
  LinkOutcome outcome;
  const QString& title;
  const QString& text;
  PromptIcon icon;
};

// First match wins; an outcome without a row says nothing.
const Row kRows[] = {
    {Exchange::Parameters, LinkOutcome::Ok, msg::kTitleStatus, msg::kParametersStored, PromptIcon::Information},
    {Exchange::MemoryClear, LinkOutcome::Ok, msg::kTitleStatus, msg::kParametersStored, PromptIcon::Information},
    {Exchange::Parameters, LinkOutcome::Rejected, msg::kTitleStatus, msg::kVerifyFailed, PromptIcon::Exclamation},
    {Exchange::MemoryClear, LinkOutcome::Rejected, msg::kTitleStatus, msg::kVerifyFailed, PromptIcon::Exclamation},
    {Exchange::CompensationWrite, LinkOutcome::Ok, msg::kTitleStatus, msg::kCompensationStored,
     PromptIcon::Information},
    {Exchange::CompensationWrite, LinkOutcome::Rejected, msg::kTitleStatus, msg::kCompensationVerifyFailed,
     PromptIcon::Exclamation},
    {std::nullopt, LinkOutcome::Timeout, msg::kTitleStatus, msg::kTimeout, PromptIcon::Exclamation},
    {std::nullopt, LinkOutcome::PortError, msg::kTitleError, msg::kCommError, PromptIcon::Critical},
    {std::nullopt, LinkOutcome::Busy, msg::kTitleStatus, msg::kDownloadRunning, PromptIcon::Exclamation},
};

PromptMessage PortLost(const QString& detail) {
  return {msg::kTitleError, WithDetail(msg::kCommPortError, detail), PromptIcon::Critical};
}

}  // namespace

QList<PromptMessage> MessagesFor(const common::LinkResult& r) {
  QList<PromptMessage> said;
  for (const Row& row : kRows) {
    if (row.outcome != r.outcome || (row.exchange && *row.exchange != r.exchange)) continue;
    // After a time-out the detail is why the port would not open again.
    said.append({row.title, WithDetail(row.text, r.portLost ? QString() : r.detail), row.icon});
    break;
  }
  if (r.portLost) said.append(PortLost(r.detail));
  return said;
}

QList<PromptMessage> MessagesFor(const loggerlink::DownloadResult& r) {
  QList<PromptMessage> said;
  if (!r.rawFile.isEmpty())
    said.append({msg::kTitleError, WithDetail(msg::FileNotWritten(r.rawFile), r.rawDetail), PromptIcon::Critical});
  switch (r.outcome) {
    case DownloadOutcome::PortError:
      said.append({msg::kTitleError, WithDetail(msg::kCommError, r.detail), PromptIcon::Critical});
      break;
    case DownloadOutcome::Busy:
      said.append({msg::kTitleStatus, msg::kDownloadRunning, PromptIcon::Exclamation});
      break;
    case DownloadOutcome::SaveFailed:
      said.append({msg::kTitleError, WithDetail(msg::FileNotWritten(r.file), r.detail), PromptIcon::Critical});
      break;
    default:
      break;
  }
  if (r.portLost) said.append(PortLost(r.detail));
  return said;
}

bool RefuseDuringDownload(const common::Link& link, common::Prompt& prompt) {
  if (!link.downloadRunning()) return false;
  common::LinkResult busy;
  busy.outcome = LinkOutcome::Busy;
  common::Say(prompt, MessagesFor(busy));
  return true;
}

}  // namespace shell
