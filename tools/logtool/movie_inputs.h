#pragma once
// What `logtool movie` and `logtool overlay` both read: a log, its configuration and a
// movie setup, checked as the movie window would have them.
#include "logger/movie/layout.h"
#include "logger/session/logsession.h"
#include "tools/logtool/commands.h"

namespace logtool {

struct MovieInputs {
  QString layout, log, cfg;  // cfg empty: the log's own configuration from cfg/
  qint64 start = 0, stop = 0;  // samples start to stop - 1 must lie within the log
};

// kExitOk, or the exit status after the message: a file that cannot be read is
// kExitFileError, a range outside the log kExitUsage.
int LoadMovieInputs(const MovieInputs& in, session::LogSession& log, movie::MovieLayout& read, Io& io);

}  // namespace logtool
