#pragma once
// What the logger says when a device exchange or the download ends. The link and the
// download report outcomes; this is the one place that turns them into the fixed texts.
#include "common/link.h"
#include "common/promptmessage.h"
#include "logger/link/download.h"

namespace shell {

using common::PromptMessage;

// The messages in the order they are shown; empty where the logger says nothing (a
// cancel, a read-back whose save dialog follows, a download whose status word tells).
// The port's or the file system's own words, when there are any, are the text's
// second line. A lost port ends the list with "Communication port error. Check port
// settings!"; the communication settings dialog follows it.
QList<PromptMessage> MessagesFor(const common::LinkResult& result);
QList<PromptMessage> MessagesFor(const loggerlink::DownloadResult& result);

// Device commands and a second download wait for a running download: true after
// saying so.
bool RefuseDuringDownload(const common::Link& link, common::Prompt& prompt);

}  // namespace shell
