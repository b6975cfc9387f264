// logtool download / params / memclear / compread / live.
#include "common/commands.h"
#include "common/link.h"
#include "common/messages.h"
#include "common/portcontrol.h"
#include "common/programfiles.h"
#include "logger/link/download.h"
#include "logger/logdata/samplestore.h"
#include "meter/messages.h"
#include "meter/recording.h"
#include "tools/logtool/commands.h"
#include "tools/logtool/linkmessages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <memory>

namespace logtool {

Options Parse(const QStringList& args, const QStringList& known) {
  Options o;
  for (qsizetype i = 0; i < args.size(); ++i) {
    QString name = args[i];
    if (name == QStringLiteral("-o")) name = QStringLiteral("--out");
    if (!name.startsWith(QStringLiteral("--")) || !known.contains(name.mid(2)) || i + 1 >= args.size()) {
      o.ok = false;
      return o;
    }
    o.values.insert(name.mid(2), args[++i]);
  }
  return o;
}

namespace {

// The port control on the given path as port 1, the link on it with the documented timings.
struct Device {
  common::PortControl port;
  std::unique_ptr<common::Link> link;
  explicit Device(const QString& path) {
    common::PortMap map;
    map.path[1] = path;
    port.setPortMap(map);
    port.setPortNumber(1);
    link = std::make_unique<common::Link>(port);
  }
};

// The end's line on stdout (success) or stderr (failure); returns its exit status.
int Report(Io& io, const DeviceEnd& end) {
  if (end.status != kExitOk) return Fail(io, end.text, end.status);
  if (!end.text.isEmpty()) io.out << end.text << Qt::endl;
  return end.status;
}

bool ParseChannels(const QString& text, common::LogMask& mask) {
  std::array<bool, common::kChannelCount> ticked{};
  const QStringList parts = text.split(',', Qt::SkipEmptyParts);
  if (parts.isEmpty()) return false;
  for (const QString& part : parts) {
    bool ok = false;
    const int c = part.trimmed().toInt(&ok);
    if (!ok || c < 1 || c > common::kChannelCount) return false;
    ticked[std::size_t(c - 1)] = true;
  }
  mask = common::MaskFromChecks(ticked);
  return true;
}

bool ParseSettings(const Options& o, common::Settings& s) {
  common::LogMask mask;
  const std::optional<quint8> code =
      common::FreqCodeForListPosition(int(common::FrequencyListTexts().indexOf(o.get(QStringLiteral("rate")))));
  if (!ParseChannels(o.get(QStringLiteral("channels")), mask) || !code) return false;
  s.MaskLowByte = mask.MaskLowByte;
  s.MaskHighByte = mask.MaskHighByte;
  s.LogFreqCode = *code;
  return true;
}

// Starts an exchange and runs the event loop until it ends, however soon that is.
common::LinkResult RunExchange(common::Link& link, const std::function<bool()>& start) {
  QEventLoop loop;
  common::LinkResult result;
  bool ended = false;
  QObject::connect(&link, &common::Link::finished, &loop, [&](const common::LinkResult& r) {
    result = r, ended = true;
    loop.quit();
  });
  if (start() && !ended) loop.exec();
  return result;
}

int RunDownload(const QStringList& args, Io& io) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("out"), QStringLiteral("delay"), QStringLiteral("dlt")});
  bool okDelay = true;
  const int delay = o.has(QStringLiteral("delay")) ? o.get(QStringLiteral("delay")).toInt(&okDelay) : 1;
  if (!o.ok || !o.has(QStringLiteral("port")) || !o.has(QStringLiteral("out")) || !okDelay || delay < 1 || delay > 255)
    return kExitUsage;
  Device dev(o.get(QStringLiteral("port")));
  const QString out = QFileInfo(o.get(QStringLiteral("out"))).absoluteFilePath();
  const QString dlt = o.has(QStringLiteral("dlt")) ? QFileInfo(o.get(QStringLiteral("dlt"))).absoluteFilePath() : QString();
  logdata::SampleStore store;
  loggerlink::DownloadHooks hooks;
  hooks.status = [&](const QString& s) {
    // The progress words before the end; the end's own word is its outcome's line.
    if (s != common::msg::kStatusNoData && s != common::msg::kStatusFault) io.out << s << Qt::endl;
  };
  hooks.rawImageName = [&] { return dlt; };
  hooks.logName = [&] { return out; };
  loggerlink::Download download(*dev.link, store, QFileInfo(out).absolutePath(), hooks);
  QEventLoop loop;
  loggerlink::DownloadResult result;
  bool ended = false;
  QObject::connect(&download, &loggerlink::Download::finished, &loop, [&](const loggerlink::DownloadResult& r) {
    result = r, ended = true;
    loop.quit();
  });
  if (download.request(quint8(delay), !dlt.isEmpty()) && !ended) loop.exec();
  const int status = Report(io, EndOf(result));
  if (status == kExitOk) io.out << store.SampleCount << " samples written to " << download.lastDlgFile() << Qt::endl;
  return status;
}

int RunParams(const QStringList& args, Io& io, bool clear) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("channels"), QStringLiteral("rate")});
  common::Settings settings;
  if (!o.ok || !o.has(QStringLiteral("port")) || !ParseSettings(o, settings)) return kExitUsage;
  Device dev(o.get(QStringLiteral("port")));
  common::Commands commands(*dev.link);
  return Report(io, EndOf(RunExchange(*dev.link, [&] {
                  return clear ? commands.clearMemory(settings) : commands.sendParameters(settings);
                })));
}

int RunSetParams(const QStringList& args, Io& io) { return RunParams(args, io, false); }
int RunMemClear(const QStringList& args, Io& io) { return RunParams(args, io, true); }

int RunCompRead(const QStringList& args, Io& io) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("out")});
  if (!o.ok || !o.has(QStringLiteral("port")) || !o.has(QStringLiteral("out"))) return kExitUsage;
  Device dev(o.get(QStringLiteral("port")));
  const QString out = QFileInfo(o.get(QStringLiteral("out"))).absoluteFilePath();
  common::Commands commands(*dev.link);
  const common::LinkResult r = RunExchange(*dev.link, [&] { return commands.readCompensation(); });
  if (const int status = Report(io, EndOf(r)); status != kExitOk) return status;
  QString why;
  if (!common::WriteFshFile(out, r.payload, &why)) return Fail(io, common::msg::FileNotWritten(out) + " (" + why + ")");
  io.out << "21 bytes written to " << out << Qt::endl;
  return kExitOk;
}

// One line per frame on stdout; with -o the frames also go to a recording as the meter
// writes it, from the first frame on (its header then names the logger's own channels).
int RunLive(const QStringList& args, Io& io) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("frames"), QStringLiteral("seconds"),
                                 QStringLiteral("out"), QStringLiteral("cfg")});
  bool okFrames = true, okSeconds = true;
  const int frames = o.has(QStringLiteral("frames")) ? o.get(QStringLiteral("frames")).toInt(&okFrames) : 0;
  const double seconds = o.has(QStringLiteral("seconds")) ? o.get(QStringLiteral("seconds")).toDouble(&okSeconds) : 0;
  if (!o.ok || !o.has(QStringLiteral("port")) || o.has(QStringLiteral("frames")) == o.has(QStringLiteral("seconds")) ||
      !okFrames || !okSeconds || frames < 0 || !(seconds >= 0 && seconds <= 1e6) || frames + seconds <= 0)
    return kExitUsage;
  Device dev(o.get(QStringLiteral("port")));
  common::Commands commands(*dev.link);
  const QString cfg = o.has(QStringLiteral("cfg")) ? o.get(QStringLiteral("cfg")) : QDir::current().filePath(QStringLiteral("cfg"));
  const QString out = o.has(QStringLiteral("out")) ? QFileInfo(o.get(QStringLiteral("out"))).absoluteFilePath() : QString();
  common::ChannelConfiguration config = common::BuiltInConfiguration();
  meter::Recording recording;
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer enough;
  enough.setSingleShot(true);
  int seen = 0;
  int status = kExitFileError;
  bool done = false;  // frames already queued behind the end are not taken
  auto finish = [&](int s) {
    status = s, done = true;
    loop.quit();
  };
  QObject::connect(&enough, &QTimer::timeout, &loop, [&] { finish(kExitOk); });
  // The logger's own configuration names the recording's channels; a missing or
  // unreadable one is said on stderr, and the built-in one stays.
  QObject::connect(&commands, &common::Commands::firstFrame, &loop, [&](const common::LiveFrame& f) {
    const common::LiveConfiguration found = common::FindLiveConfiguration(cfg, f.serialNumber);
    if (found.fallback) Fail(io, common::msg::MeterConfigMissing(f.serialNumber));
    if (found.config)
      config = *found.config;
    else
      Fail(io, common::msg::ConfigNotRead(found.path, found.readError));
    commands.resumeLive();
  });
  QObject::connect(&commands, &common::Commands::frameReceived, &loop, [&](const common::LiveFrame& f) {
    if (done) return;
    QString why;
    if (!out.isEmpty() && ((seen == 0 && !recording.start(out, config, &why)) ||
                           !recording.append(f, config, clock.nsecsElapsed(), &why))) {
      Fail(io, meter::msg::RecordingNotWritten(out, why));
      finish(kExitFileError);
      return;
    }
    // A line here stands for a frame already in the file.
    QStringList fields;
    for (int v : f.raw) fields << QString::number(v);
    fields << QString::number(f.extra) << QString::number(f.serialNumber);
    io.out << fields.join(' ') << Qt::endl;
    if (++seen == 1 && seconds > 0) enough.start(int(seconds * 1000));
    if (frames > 0 && seen >= frames) finish(kExitOk);
  });
  QObject::connect(dev.link.get(), &common::Link::finished, &loop,
                   [&](const common::LinkResult& r) { finish(Report(io, EndOf(r))); });
  if (!commands.startLiveRead()) return status;
  loop.exec();
  commands.stopLiveRead();
  if (!recording.path().isEmpty()) io.err << recording.frames() << " frames written to " << out << Qt::endl;
  return status;
}

const Register kDownload({QStringLiteral("download"), QStringLiteral("--port PATH -o OUT.dlg [--delay D] [--dlt OUT.dlt]"),
                          &RunDownload});
const Register kParams({QStringLiteral("params"), QStringLiteral("--port PATH --channels 1,2,5 --rate 0.2|1|10|25"),
                        &RunSetParams});
const Register kMemClear({QStringLiteral("memclear"), QStringLiteral("--port PATH --channels LIST --rate R"), &RunMemClear});
const Register kCompRead({QStringLiteral("compread"), QStringLiteral("--port PATH -o OUT.fsh"), &RunCompRead});
const Register kLive({QStringLiteral("live"), QStringLiteral("--port PATH (--frames N | --seconds S) [-o OUT.csv] [--cfg DIR]"), &RunLive});

}  // namespace

}  // namespace logtool
