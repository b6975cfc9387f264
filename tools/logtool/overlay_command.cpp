// logtool overlay: the gauges of a log range laid over the user's own video, in sync.
#include "logger/movie/editor.h"
#include "logger/movie/overlay.h"
#include "tools/logtool/commands.h"
#include "tools/logtool/movie_inputs.h"

#include <QElapsedTimer>
#include <cmath>
#include <optional>
#include <unistd.h>

namespace logtool {

namespace {

int RunOverlay(const QStringList& args, Io& io);

const Register kOverlay({QStringLiteral("overlay"),
                         QStringLiteral("LAYOUT.mcf LOG.dlg --video IN -o OUT.mp4|OUT.mkv --from A --to B --at S "
                                        "[--position X,Y] [--scale F] [--cfg FILE.cfg]"),
                         &RunOverlay, true});

struct Request {
  QString layout, log, video, output, cfg;
  std::optional<qint32> from, to;
  std::optional<double> at;
  movie::OverlayPlacement place;
};

std::optional<double> Number(const QString& text) {
  bool ok = false;
  const double v = text.toDouble(&ok);  // C locale: a point, whatever the user's locale
  return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<qint32> Whole(const QString& text) {
  bool ok = false;
  const qint32 v = text.toInt(&ok, 10);
  return ok ? std::optional<qint32>(v) : std::nullopt;
}

// False for anything the usage line does not allow, a number that is not one among it.
bool Parse(const QStringList& args, Request& r) {
  QStringList positional;
  bool placed = false, scaled = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!a.startsWith(QLatin1Char('-'))) {
      positional << a;
      continue;
    }
    if (i + 1 >= args.size()) return false;
    const QString& v = args[++i];
    auto text = [&](QString& slot) { return slot.isEmpty() && !(slot = v).isEmpty(); };
    if (a == QLatin1String("-o")) {
      if (!text(r.output)) return false;
    } else if (a == QLatin1String("--video")) {
      if (!text(r.video)) return false;
    } else if (a == QLatin1String("--cfg")) {
      if (!text(r.cfg)) return false;
    } else if (a == QLatin1String("--from") || a == QLatin1String("--to")) {
      std::optional<qint32>& slot = a == QLatin1String("--from") ? r.from : r.to;
      if (slot || !(slot = Whole(v))) return false;
    } else if (a == QLatin1String("--at")) {
      if (r.at || !(r.at = Number(v))) return false;
      r.place.at = *r.at;
    } else if (a == QLatin1String("--position")) {
      const QStringList xy = v.split(QLatin1Char(','));
      const auto x = xy.size() == 2 ? Whole(xy[0]) : std::nullopt, y = xy.size() == 2 ? Whole(xy[1]) : std::nullopt;
      if (placed || !x || !y) return false;
      r.place.position = QPoint(*x, *y);
      placed = true;
    } else if (a == QLatin1String("--scale")) {
      const auto f = Number(v);
      if (scaled || !f || !(*f > 0 && *f <= movie::kMaxOverlayScale)) return false;
      r.place.scale = *f;
      scaled = true;
    } else {
      return false;
    }
  }
  if (positional.size() != 2 || r.output.isEmpty() || r.video.isEmpty() || !r.from || !r.to || !r.at) return false;
  r.layout = positional[0];
  r.log = positional[1];
  return true;
}

QString Clock(double seconds) {
  const qint64 s = qint64(std::lround(seconds));
  return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

int RunOverlay(const QStringList& args, Io& io) {
  Request r;
  if (!Parse(args, r)) return kExitUsage;
  if (*r.from > *r.to || *r.from < 0) return Fail(io, QStringLiteral("--from must lie between 0 and --to."), kExitUsage);
  if (!movie::OverlayMuxer(r.output))
    return Fail(io, QStringLiteral("the output must end in .mp4 or .mkv."), kExitUsage);

  // Zero locks and "Speed / Alt" are the logger window's; an overlay from here has neither.
  session::LogSession log;
  movie::MovieLayout read;
  // --to is the last sample shown.
  if (const int status = LoadMovieInputs({r.layout, r.log, r.cfg, *r.from, qint64(*r.to) + 1}, log, read, io))
    return status;
  const movie::MovieSource source = movie::SourceOf(log);
  movie::MovieEditor editor(source, *r.from);
  editor.applySetup(read);
  editor.prepareMovie();

  // On a terminal the line is rewritten; into a file or pipe each whole percent is a line.
  const char end = isatty(STDERR_FILENO) == 1 ? '\r' : '\n';
  QElapsedTimer clock;
  clock.start();
  int shown = -1;
  movie::OverlayHooks hooks;
  hooks.progress = [&](double done) {
    const int percent = int(done * 100);
    if (percent == shown) return;
    shown = percent;
    const double elapsed = clock.elapsed() / 1000.0;
    const QString left = done > 0 ? Clock(elapsed * (1 - done) / done) : QStringLiteral("?");
    io.err << QStringLiteral("%1 %, %2 left").arg(percent, 3).arg(left) << end;
    io.err.flush();
  };
  const movie::OverlayOutcome o =
      movie::OverlayVideo(editor.scene(), source, *r.from, *r.to, r.place, r.video, r.output, hooks);
  if (end == '\r' && shown >= 0) io.err << '\n';
  switch (o.end) {
    case movie::OverlayEnd::Finished: return kExitOk;
    case movie::OverlayEnd::OutsideLog:
    case movie::OverlayEnd::MissesVideo: return Fail(io, o.error, kExitUsage);
    default: return Fail(io, o.error, kExitFileError);
  }
}

}  // namespace

}  // namespace logtool
