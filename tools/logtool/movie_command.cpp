// logtool movie: a gauge movie of a log with a saved movie setup, without a display.
#include "common/channelconfig.h"
#include "logger/logdata/logconfig.h"
#include "logger/logdata/logfiles.h"
#include "logger/movie/editor.h"
#include "logger/movie/mcf.h"
#include "logger/movie/run.h"
#include "tools/logtool/commands.h"
#include "tools/logtool/movie_inputs.h"

#include <QCoreApplication>
#include <optional>
#include <unistd.h>

namespace logtool {

namespace {

int RunMovie(const QStringList& args, Io& io);

const Register kMovie({QStringLiteral("movie"),
                       QStringLiteral("LAYOUT.mcf LOG.dlg -o OUT.avi|OUT.mov --from A --to B "
                                      "[--codec raw|mjpeg|ffv1|mpeg4|prores4444] [--cfg FILE.cfg]"),
                       &RunMovie, true});

struct Options {
  QString layout;
  QString log;
  QString output;
  std::optional<qint32> from;
  std::optional<qint32> to;
  movie::Codec codec = movie::Codec::Raw;
  bool codecGiven = false;
  QString cfg;
};

std::optional<qint32> ParseSample(const QString& text) {
  bool ok = false;
  const qint32 v = text.toInt(&ok, 10);
  return ok ? std::optional<qint32>(v) : std::nullopt;
}

// False for anything the usage line does not allow.
bool Parse(const QStringList& args, Options& o) {
  QStringList positional;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("-o")) {
      if (!hasValue || !o.output.isEmpty()) return false;
      o.output = args[++i];
    } else if (a == QLatin1String("--from") || a == QLatin1String("--to")) {
      std::optional<qint32>& slot = a == QLatin1String("--from") ? o.from : o.to;
      if (!hasValue || slot) return false;
      slot = ParseSample(args[++i]);
      if (!slot) return false;
    } else if (a == QLatin1String("--codec")) {
      if (!hasValue || o.codecGiven || !movie::CodecFromName(args[++i], &o.codec)) return false;
      o.codecGiven = true;
    } else if (a == QLatin1String("--cfg")) {
      if (!hasValue || !o.cfg.isEmpty()) return false;
      o.cfg = args[++i];
    } else if (a.startsWith(QLatin1Char('-'))) {
      return false;
    } else {
      positional << a;
    }
  }
  if (positional.size() != 2 || o.output.isEmpty() || !o.from || !o.to) return false;
  o.layout = positional[0];
  o.log = positional[1];
  return true;
}

}  // namespace

int LoadMovieInputs(const MovieInputs& in, session::LogSession& log, movie::MovieLayout& read, Io& io) {
  logdata::SampleStore& store = log.store();
  common::ChannelConfiguration& config = log.config();
  QString error;
  if (!logdata::ReadDecodedLog(in.log, store, &error)) return Fail(io, error, kExitFileError);
  if (!movie::ReadMovieSetup(in.layout, read, &error)) return Fail(io, error, kExitFileError);
  if (!in.cfg.isEmpty()) {
    if (!common::ReadConfigFile(in.cfg, config, &error)) return Fail(io, error, kExitFileError);
  } else {
    // As the logger does: the log's own configuration in the program's cfg/, or config.cfg.
    QString warning;
    const QString cfgDir = ProgramDir() + QStringLiteral("/cfg");
    if (!logdata::ApplyLogConfig(cfgDir, store.ConfigNumber, config, &warning, &error))
      return Fail(io, error, kExitFileError);
  }
  if (!movie::RangeInLog(store, in.start, in.stop))
    return Fail(io,
                QStringLiteral("samples %1 to %2 do not lie within the log (0 to %3).")
                    .arg(in.start)
                    .arg(in.stop)
                    .arg(store.SampleCount),
                kExitUsage);
  log.opened(in.log);
  return kExitOk;
}

namespace {

int RunMovie(const QStringList& args, Io& io) {
  Options o;
  if (!Parse(args, o)) return kExitUsage;
  if (*o.from > *o.to || *o.from < 0) return Fail(io, QStringLiteral("--from must lie between 0 and --to."), kExitUsage);

  // Zero locks and "Speed / Alt" are the logger window's; a movie from here has neither.
  session::LogSession log;
  movie::MovieLayout read;
  if (const int status = LoadMovieInputs({o.layout, o.log, o.cfg, *o.from, *o.to}, log, read, io)) return status;
  const movie::MovieSource source = movie::SourceOf(log);
  movie::MovieEditor editor(source, *o.from);
  editor.applySetup(read);
  editor.prepareMovie();

  QString error;
  const int rate = movie::StreamRate(movie::FrameRate(log.store().FreqCode));
  auto writer = movie::OpenMovieFile(o.output, o.codec, rate, &error);
  if (!writer) return Fail(io, error, kExitFileError);
  writer = movie::Pipelined(std::move(writer));

  const qint32 count = *o.to - *o.from;
  const bool progress = isatty(STDERR_FILENO) == 1;
  movie::RunHooks hooks;
  if (progress) {
    hooks.saved = [&](qint32 n) {
      io.err << "\rframe " << (n + 1) << " of " << count;
      io.err.flush();
    };
  }
  const movie::RunEnd end = movie::RenderMovie(editor.scene(), source, *o.from, count, *writer, hooks);
  if (progress && count > 0) io.err << '\n';
  if (end != movie::RunEnd::Finished) {
    const QString why = writer->error();
    writer.reset();  // removes what was written
    return Fail(io, why.isEmpty() ? QStringLiteral("cannot write '%1'.").arg(o.output) : why, kExitFileError);
  }
  return kExitOk;
}

}  // namespace

}  // namespace logtool
