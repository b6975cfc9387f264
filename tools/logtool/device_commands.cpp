// logtool download / params / memclear / compread / live.
#include "tools/logtool/device_commands.h"

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

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <memory>

namespace logtool {

common::PromptAnswer CliPrompt::message(const QString&, const QString& text, common::PromptIcon,
                                        common::PromptButtons buttons) {
  last_ = text;
  messages_ << text << Qt::endl;
  switch (buttons) {
    case common::PromptButtons::Ok:
    case common::PromptButtons::OkCancel:
      return common::PromptAnswer::Ok;
    default:
      return common::PromptAnswer::Yes;
  }
}

QString CliPrompt::openFile(const QString&, const QString&) { return {}; }

QString CliPrompt::saveFile(const QString& filter, const QString&) {
  // A dialog shown again (after a No) would get the same answer for ever; a second
  // request for the same filter is therefore a cancel.
  for (auto& [f, path] : saves_) {
    if (f != filter) continue;
    const QString answer = path;
    path.clear();
    return answer;
  }
  return {};
}

void CliPrompt::setSaveAnswer(const QString& filter, const QString& path) { saves_.append({filter, path}); }

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
  CliPrompt prompt;
  std::unique_ptr<common::Link> link;
  Device(const QString& path, QTextStream& messages) : prompt(messages) {
    common::PortMap map;
    map.path[1] = path;
    port.setPortMap(map);
    port.setPortNumber(1);
    link = std::make_unique<common::Link>(port, prompt);
  }
};

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

// Runs the event loop until the link reports one of `ends`; exit 0 for `success`.
int WaitForLink(common::Link& link, std::initializer_list<common::LinkOutcome> success) {
  QEventLoop loop;
  int status = kExitFileError;
  QObject::connect(&link, &common::Link::finished, &loop, [&](common::LinkOutcome o) {
    status = std::find(success.begin(), success.end(), o) != success.end() ? kExitOk : kExitFileError;
    loop.quit();
  });
  loop.exec();
  return status;
}

int RunDownload(const QStringList& args, Io& io) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("out"), QStringLiteral("delay"), QStringLiteral("dlt")});
  bool okDelay = true;
  const int delay = o.has(QStringLiteral("delay")) ? o.get(QStringLiteral("delay")).toInt(&okDelay) : 1;
  if (!o.ok || !o.has(QStringLiteral("port")) || !o.has(QStringLiteral("out")) || !okDelay || delay < 1 || delay > 255)
    return kExitUsage;
  Device dev(o.get(QStringLiteral("port")), io.out);
  const QString out = QFileInfo(o.get(QStringLiteral("out"))).absoluteFilePath();
  dev.prompt.setSaveAnswer(common::msg::kFilterDlg, out);
  if (o.has(QStringLiteral("dlt")))
    dev.prompt.setSaveAnswer(common::msg::kFilterDlt, QFileInfo(o.get(QStringLiteral("dlt"))).absoluteFilePath());
  logdata::SampleStore store;
  QString lastStatus;
  loggerlink::DownloadHooks hooks;
  hooks.status = [&](const QString& s) { lastStatus = s; };
  loggerlink::Download download(*dev.link, store, QFileInfo(out).absolutePath(), hooks);
  QEventLoop loop;
  loggerlink::DownloadOutcome outcome = loggerlink::DownloadOutcome::NotSent;
  QObject::connect(&download, &loggerlink::Download::finished, &loop, [&](loggerlink::DownloadOutcome r) {
    outcome = r;
    loop.quit();
  });
  if (download.request(quint8(delay), o.has(QStringLiteral("dlt")))) loop.exec();
  if (!lastStatus.isEmpty()) io.out << lastStatus << Qt::endl;
  if (outcome == loggerlink::DownloadOutcome::Saved) {
    io.out << store.SampleCount << " samples written to " << download.lastDlgFile() << Qt::endl;
    return kExitOk;
  }
  return kExitFileError;
}

int RunParams(const QStringList& args, Io& io, bool clear) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("channels"), QStringLiteral("rate")});
  common::Settings settings;
  if (!o.ok || !o.has(QStringLiteral("port")) || !ParseSettings(o, settings)) return kExitUsage;
  Device dev(o.get(QStringLiteral("port")), io.out);
  common::Commands commands(*dev.link);
  const bool started = clear ? commands.clearMemory(settings) : commands.sendParameters(settings);
  if (!started) return kExitFileError;
  return WaitForLink(*dev.link, {common::LinkOutcome::ParametersStored});
}

int RunSetParams(const QStringList& args, Io& io) { return RunParams(args, io, false); }
int RunMemClear(const QStringList& args, Io& io) { return RunParams(args, io, true); }

int RunCompRead(const QStringList& args, Io& io) {
  const Options o = Parse(args, {QStringLiteral("port"), QStringLiteral("out")});
  if (!o.ok || !o.has(QStringLiteral("port")) || !o.has(QStringLiteral("out"))) return kExitUsage;
  Device dev(o.get(QStringLiteral("port")), io.out);
  const QString out = QFileInfo(o.get(QStringLiteral("out"))).absoluteFilePath();
  dev.prompt.setSaveAnswer(common::msg::kFilterFsh, out);
  common::Commands commands(*dev.link);
  if (!commands.readCompensation(QFileInfo(out).absolutePath())) return kExitFileError;
  if (WaitForLink(*dev.link, {common::LinkOutcome::ReadBackReceived}) != kExitOk || commands.lastFshFile().isEmpty())
    return kExitFileError;
  io.out << "21 bytes written to " << commands.lastFshFile() << Qt::endl;
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
  // Messages go to stderr here: stdout carries one line per frame.
  Device dev(o.get(QStringLiteral("port")), io.err);
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
  QObject::connect(&commands, &common::Commands::configurationLoaded, &loop,
                   [&](const common::ChannelConfiguration& c, const QString&) { config = c; });
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
  QObject::connect(&commands, &common::Commands::liveTimedOut, &loop, [&] { finish(kExitFileError); });
  if (!commands.startLiveRead(cfg)) return kExitFileError;
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
