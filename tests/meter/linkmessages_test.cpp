// The meter's words for the ends of its exchanges. (A live read's time-out and port
// error as the window shows them: the meter window suite.)
#include "common/messages.h"
#include "meter/linkmessages.h"

#include <gtest/gtest.h>

namespace {

namespace cmsg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using Said = QList<common::PromptMessage>;

TEST(MeterLinkMessages, EveryOutcomeInTheMetersWords) {
  const std::tuple<Exchange, LinkOutcome, Said> cases[] = {
      {Exchange::LiveRead, LinkOutcome::Ok, {}},
      {Exchange::MeterParameters, LinkOutcome::Ok, {{cmsg::kTitleStatus, cmsg::kParametersSent, common::PromptIcon::Information}}},
      {Exchange::MeterParameters, LinkOutcome::PortError,
       {{cmsg::kTitleError, cmsg::kCommError + "\nwhy", common::PromptIcon::Critical}}},
  };
  for (const auto& [exchange, outcome, expected] : cases) {
    SCOPED_TRACE(int(outcome));
    EXPECT_EQ(meter::MessagesFor({exchange, outcome, {}, outcome == LinkOutcome::PortError ? "why" : "", false}), expected);
  }
}

}  // namespace
