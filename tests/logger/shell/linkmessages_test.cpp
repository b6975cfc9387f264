// The logger's words for the ends of the device exchanges and of the download.
#include "common/messages.h"
#include "logger/shell/linkmessages.h"

#include <gtest/gtest.h>

namespace {

namespace msg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using common::PromptIcon;
using common::PromptMessage;
using loggerlink::DownloadOutcome;

common::LinkResult Ended(Exchange e, LinkOutcome o, const QString& detail = {}, bool lost = false) {
  return {e, o, {}, detail, lost};
}
loggerlink::DownloadResult Downloaded(DownloadOutcome o, const QString& detail = {}, bool lost = false) {
  loggerlink::DownloadResult r;
  r.outcome = o, r.file = "f.dlg", r.detail = detail, r.portLost = lost;
  return r;
}

TEST(LinkMessages, EveryOutcomeInTheLoggersWords) {
  const PromptMessage stored{msg::kTitleStatus, msg::kParametersStored, PromptIcon::Information},
      failed{msg::kTitleStatus, msg::kVerifyFailed, PromptIcon::Exclamation},
      timeout{msg::kTitleStatus, msg::kTimeout, PromptIcon::Exclamation},
      lost{msg::kTitleError, msg::kCommPortError + "\nwhy", PromptIcon::Critical},
      busy{msg::kTitleStatus, msg::kDownloadRunning, PromptIcon::Exclamation};
  const std::pair<QList<PromptMessage>, QList<PromptMessage>> cases[] = {
      {shell::MessagesFor(Ended(Exchange::Parameters, LinkOutcome::Ok)), {stored}},
      {shell::MessagesFor(Ended(Exchange::MemoryClear, LinkOutcome::Ok)), {stored}},
      {shell::MessagesFor(Ended(Exchange::MemoryClear, LinkOutcome::Rejected)), {failed}},
      {shell::MessagesFor(Ended(Exchange::CompensationWrite, LinkOutcome::Ok)),
       {{msg::kTitleStatus, msg::kCompensationStored, PromptIcon::Information}}},
      {shell::MessagesFor(Ended(Exchange::CompensationWrite, LinkOutcome::Rejected)),
       {{msg::kTitleStatus, msg::kCompensationVerifyFailed, PromptIcon::Exclamation}}},
      {shell::MessagesFor(Ended(Exchange::CompensationRead, LinkOutcome::Ok)), {}},
      {shell::MessagesFor(Ended(Exchange::Parameters, LinkOutcome::Cancelled)), {}},
      {shell::MessagesFor(Ended(Exchange::CompensationRead, LinkOutcome::Timeout)), {timeout}},
      {shell::MessagesFor(Ended(Exchange::Parameters, LinkOutcome::Timeout, "why", true)), {timeout, lost}},
      {shell::MessagesFor(Ended(Exchange::MemoryClear, LinkOutcome::PortError, "why")),
       {{msg::kTitleError, msg::kCommError + "\nwhy", PromptIcon::Critical}}},
      {shell::MessagesFor(Ended(Exchange::Parameters, LinkOutcome::Busy)), {busy}},
      {shell::MessagesFor(Downloaded(DownloadOutcome::PortError)), {{msg::kTitleError, msg::kCommError, PromptIcon::Critical}}},
      {shell::MessagesFor(Downloaded(DownloadOutcome::Busy)), {busy}},
      {shell::MessagesFor(Downloaded(DownloadOutcome::NoData, "why", true)), {lost}},
      {shell::MessagesFor(Downloaded(DownloadOutcome::Saved)), {}},
      {shell::MessagesFor(Downloaded(DownloadOutcome::SaveFailed, "full")),
       {{msg::kTitleError, msg::FileNotWritten("f.dlg") + "\nfull", PromptIcon::Critical}}},
  };
  for (const auto& [said, expected] : cases) {
    SCOPED_TRACE(&said - &cases[0].first);
    EXPECT_EQ(said, expected);
  }
  loggerlink::DownloadResult raw = Downloaded(DownloadOutcome::Unsaved);
  raw.rawFile = "r.dlt", raw.rawDetail = "full";
  const QList<PromptMessage> rawSaid = {{msg::kTitleError, msg::FileNotWritten("r.dlt") + "\nfull", PromptIcon::Critical}};
  EXPECT_EQ(shell::MessagesFor(raw), rawSaid);
}

}  // namespace
