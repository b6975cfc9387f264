// The logger's words for the ends of the device exchanges and of the download.
#include "common/messages.h"
#include "logger/shell/linkmessages.h"

#include <gtest/gtest.h>

namespace {

namespace msg = common::msg;
using common::Exchange;
using common::LinkOutcome;
using DO = loggerlink::DownloadOutcome;
using Said = QList<common::PromptMessage>;
constexpr auto kInfo = common::PromptIcon::Information, kWarn = common::PromptIcon::Exclamation,
               kError = common::PromptIcon::Critical;

Said Link(Exchange e, LinkOutcome o, const QString& detail = {}, bool lost = false) {
  return shell::MessagesFor(common::LinkResult{e, o, {}, detail, lost});
}
Said Download(DO o, const QString& detail = {}, bool lost = false, const QString& raw = {}) {
  return shell::MessagesFor(loggerlink::DownloadResult{o, "f.dlg", detail, lost, raw, raw.isEmpty() ? "" : "full"});
}

TEST(LinkMessages, EveryOutcomeInTheLoggersWords) {
  const common::PromptMessage stored{msg::kTitleStatus, msg::kParametersStored, kInfo},
      timeout{msg::kTitleStatus, msg::kTimeout, kWarn}, lost{msg::kTitleError, msg::kCommPortError + "\nwhy", kError},
      busy{msg::kTitleStatus, msg::kDownloadRunning, kWarn};
  const std::pair<Said, Said> cases[] = {
      {Link(Exchange::Parameters, LinkOutcome::Ok), {stored}},
      {Link(Exchange::MemoryClear, LinkOutcome::Ok), {stored}},
      {Link(Exchange::MemoryClear, LinkOutcome::Rejected), {{msg::kTitleStatus, msg::kVerifyFailed, kWarn}}},
      {Link(Exchange::CompensationWrite, LinkOutcome::Ok), {{msg::kTitleStatus, msg::kCompensationStored, kInfo}}},
      {Link(Exchange::CompensationWrite, LinkOutcome::Rejected),
       {{msg::kTitleStatus, msg::kCompensationVerifyFailed, kWarn}}},
      {Link(Exchange::CompensationRead, LinkOutcome::Ok), {}},  // the save dialog follows
      {Link(Exchange::Parameters, LinkOutcome::Cancelled), {}},
      {Link(Exchange::CompensationRead, LinkOutcome::Timeout), {timeout}},
      {Link(Exchange::Parameters, LinkOutcome::Timeout, "why", true), {timeout, lost}},
      {Link(Exchange::MemoryClear, LinkOutcome::PortError, "why"), {{msg::kTitleError, msg::kCommError + "\nwhy", kError}}},
      {Link(Exchange::Parameters, LinkOutcome::Busy), {busy}},
      {Download(DO::PortError), {{msg::kTitleError, msg::kCommError, kError}}},
      {Download(DO::Busy), {busy}},
      {Download(DO::NoData, "why", true), {lost}},
      {Download(DO::Saved), {}},
      {Download(DO::SaveFailed, "full"), {{msg::kTitleError, msg::FileNotWritten("f.dlg") + "\nfull", kError}}},
      {Download(DO::Unsaved, {}, false, "r.dlt"), {{msg::kTitleError, msg::FileNotWritten("r.dlt") + "\nfull", kError}}},
  };
  for (const auto& [said, expected] : cases) {
    SCOPED_TRACE(&said - &cases[0].first);
    EXPECT_EQ(said, expected);
  }
}

}  // namespace
