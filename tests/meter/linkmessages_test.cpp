// The meter's words for the ends of its exchanges.
#include "common/messages.h"
#include "meter/linkmessages.h"

#include <gtest/gtest.h>

namespace {

namespace cmsg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using common::PromptIcon;
using common::PromptMessage;

TEST(MeterLinkMessages, EveryOutcomeInTheMetersWords) {
  const PromptMessage commError{cmsg::kTitleError, cmsg::kCommError + "\nwhy", PromptIcon::Critical};
  const std::tuple<Exchange, LinkOutcome, QList<PromptMessage>> cases[] = {
      {Exchange::LiveRead, LinkOutcome::Timeout, {{cmsg::kTitleError, cmsg::kConnectionTimeout, PromptIcon::Critical}}},
      {Exchange::LiveRead, LinkOutcome::PortError, {commError}},
      {Exchange::LiveRead, LinkOutcome::Ok, {}},
      {Exchange::MeterParameters, LinkOutcome::Ok, {{cmsg::kTitleStatus, cmsg::kParametersSent, PromptIcon::Information}}},
      {Exchange::MeterParameters, LinkOutcome::PortError, {commError}},
  };
  for (const auto& [exchange, outcome, expected] : cases) {
    SCOPED_TRACE(int(outcome));
    const QString detail = outcome == LinkOutcome::PortError ? "why" : "";
    EXPECT_EQ(meter::MessagesFor({exchange, outcome, {}, detail, false}), expected);
  }
}

}  // namespace
