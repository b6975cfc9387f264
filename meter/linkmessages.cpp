#include "meter/linkmessages.h"

#include "common/messages.h"

namespace meter {

namespace cmsg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using common::PromptIcon;

QList<common::PromptMessage> MessagesFor(const common::LinkResult& r) {
  struct Row {
    Exchange exchange;
    LinkOutcome outcome;
    const QString& title;
    const QString& text;
    PromptIcon icon;
  };
  static const Row kRows[] = {
      {Exchange::LiveRead, LinkOutcome::Timeout, cmsg::kTitleError, cmsg::kConnectionTimeout, PromptIcon::Critical},
      {Exchange::LiveRead, LinkOutcome::PortError, cmsg::kTitleError, cmsg::kCommError, PromptIcon::Critical},
      {Exchange::MeterParameters, LinkOutcome::Ok, cmsg::kTitleStatus, cmsg::kParametersSent, PromptIcon::Information},
      {Exchange::MeterParameters, LinkOutcome::PortError, cmsg::kTitleError, cmsg::kCommError, PromptIcon::Critical},
  };
  for (const Row& row : kRows)
    if (row.exchange == r.exchange && row.outcome == r.outcome)
      return {{row.title, common::WithDetail(row.text, r.detail), row.icon}};
  return {};
}

}  // namespace meter
