// logger-sim: the simulated logger on a pseudo-terminal, or a generator of its memory
// image and of a default program directory configuration.
#include "common/channelconfig.h"
#include "common/commandline.h"
#include "common/commands.h"
#include "common/settings.h"
#include "tools/sim/simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

char g_linkPath[4096] = {0};

void OnSignal(int) {
  if (g_linkPath[0]) ::unlink(g_linkPath);
  ::_exit(0);
}

bool ParseChannels(const QString& text, quint8& low, quint8& high) {
  std::array<bool, common::kChannelCount> ticked{};
  for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
    bool ok = false;
    const int c = part.trimmed().toInt(&ok);
    if (!ok || c < 1 || c > 12) return false;
    ticked[std::size_t(c - 1)] = true;
  }
  const common::LogMask m = common::MaskFromChecks(ticked);
  low = quint8(m.MaskLowByte);
  high = quint8(m.MaskHighByte);
  return true;
}

std::optional<quint8> ParseRate(const QString& text) {
  return common::FreqCodeForListPosition(int(common::FrequencyListTexts().indexOf(text.trimmed())));
}

bool ParseFaults(const QStringList& names, sim::Faults& f, QString& bad) {
  for (const QString& list : names) {
    for (const QString& n : list.split(',', Qt::SkipEmptyParts)) {
      if (n == "noise") f.noiseBeforeStart = true;
      else if (n == "no-end-mark") f.noEndMark = true;
      else if (n == "even-end-run") f.evenEndRun = true;
      else if (n == "wrong-echo") f.wrongEcho = true;
      else if (n == "silence") f.silence = true;
      else if (n == "overlong") f.overlongStream = true;
      else if (n == "wrong-handshake") f.wrongHandshake = true;
      else if (n == "short-live") f.shortLiveFrame = true;
      else {
        bad = n;
        return false;
      }
    }
  }
  return true;
}

// The configuration the demo program directory starts with: plain raw channels, and
// the two pressure channels in mbar over the range the generator uses.
common::ChannelConfiguration DefaultConfiguration() {
  common::ChannelConfiguration config;
  for (int c = 1; c <= common::kChannelCount; ++c) {
    auto& ch = config.channel[std::size_t(c - 1)];
    ch.Name = QStringLiteral("CH%1").arg(c);
    ch.Min = 0;
    ch.Max = common::FullScale(c);
    ch.Unit = QStringLiteral("raw");
    ch.WinHight = 4095;
  }
  for (auto [c, name] : {std::pair{sim::kStaticChannel, "Static"}, std::pair{sim::kTotalChannel, "Total"}}) {
    auto& ch = config.channel[std::size_t(c - 1)];
    ch.Name = QString::fromLatin1(name);
    ch.Min = sim::kPressureMin;
    ch.Max = sim::kPressureMax;
    ch.Unit = QStringLiteral("mbar");
  }
  return config;
}

int WriteDefaults(const QString& programDir, QTextStream& err) {
  const QDir dir(programDir);
  dir.mkpath(QStringLiteral("cfg"));
  QString why;
  const QString cfg = dir.filePath(QStringLiteral("cfg/config.cfg"));
  if (!QFileInfo::exists(cfg) && !common::WriteConfigFile(cfg, DefaultConfiguration(), &why)) {
    err << "logger-sim: " << cfg << ": " << why << '\n';
    return 1;
  }
  const QString prm = dir.filePath(QStringLiteral("cfg/init.prm"));
  if (!QFileInfo::exists(prm) && !common::WriteSettings(prm, common::Settings{}, &why)) {
    err << "logger-sim: " << prm << ": " << why << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);

  QCommandLineParser p;
  p.setApplicationDescription(QStringLiteral("Simulated data logger on a pseudo-terminal."));
  const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Make a symbolic link to the pty."), QStringLiteral("PATH"));
  const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("real (38400 baud) or full."), QStringLiteral("MODE"), QStringLiteral("real"));
  const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Logger serial number."), QStringLiteral("N"), QStringLiteral("4711"));
  const QCommandLineOption comp(QStringLiteral("comp"), QStringLiteral("Compensation block, 42 hex digits."), QStringLiteral("HEX"));
  const QCommandLineOption channels(QStringLiteral("channels"), QStringLiteral("Logged channels, e.g. 1,2,5."), QStringLiteral("LIST"), QStringLiteral("1,2,3,4,5,6"));
  const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("0.2, 1, 10 or 25 samples per second."), QStringLiteral("R"), QStringLiteral("10"));
  const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of the generated flight."), QStringLiteral("S"), QStringLiteral("600"));
  const QCommandLineOption fill(QStringLiteral("fill"), QStringLiteral("Make the log fill the whole memory."));
  const QCommandLineOption fault(QStringLiteral("fault"), QStringLiteral("noise, no-end-mark, even-end-run, wrong-echo, silence, overlong, wrong-handshake, short-live."), QStringLiteral("NAME"));
  const QCommandLineOption faultFile(QStringLiteral("fault-file"), QStringLiteral("Take the faults from FILE (names as --fault, comma-separated) before every command and every 200 ms."), QStringLiteral("FILE"));
  const QCommandLineOption liveMs(QStringLiteral("live-ms"), QStringLiteral("Interval of live frames."), QStringLiteral("MS"), QStringLiteral("100"));
  const QCommandLineOption writeImage(QStringLiteral("write-image"), QStringLiteral("Write the memory image as .dlt and exit."), QStringLiteral("PATH"));
  const QCommandLineOption writeStream(QStringLiteral("write-stream"), QStringLiteral("Write the bytes a download sends (faults included) and exit."), QStringLiteral("PATH"));
  const QCommandLineOption writeLive(QStringLiteral("write-live"), QStringLiteral("Write three live frames (faults included) and exit."), QStringLiteral("PATH"));
  const QCommandLineOption writeDefaults(QStringLiteral("write-defaults"), QStringLiteral("Write cfg/config.cfg and cfg/init.prm below DIR where absent, and exit."), QStringLiteral("DIR"));
  p.addOptions({link, pace, serial, comp, channels, rate, seconds, fill, fault, liveMs, writeImage, writeDefaults});
  p.addOptions({writeStream, writeLive, faultFile});
  if (const auto status = common::ParseCommandLine(p, argc, argv, -1)) return *status;

  if (p.isSet(writeDefaults)) return WriteDefaults(p.value(writeDefaults), err);

  sim::Simulator simulator;
  quint8 low = 0, high = 0;
  const std::optional<quint8> code = ParseRate(p.value(rate));
  bool okSerial = false;
  const qint32 serialNumber = p.value(serial).toInt(&okSerial);
  bool okSeconds = false;
  const double flight = p.value(seconds).toDouble(&okSeconds);
  sim::Faults faults;
  QString badFault;
  if (!ParseChannels(p.value(channels), low, high) || !code || !okSerial || !okSeconds || flight <= 0 ||
      !ParseFaults(p.values(fault), faults, badFault)) {
    err << "logger-sim: bad arguments" << (badFault.isEmpty() ? QString() : " (fault '" + badFault + "')") << '\n';
    return 2;
  }
  simulator.setSerialNumber(serialNumber);
  simulator.setFlightSeconds(flight);
  simulator.setFillMemory(p.isSet(fill));
  simulator.setLogging(low, high, *code);
  simulator.setFaults(faults);
  simulator.setPacing(p.value(pace) == QStringLiteral("full") ? sim::Pacing::FullSpeed : sim::Pacing::Baud38400);
  simulator.setLiveInterval(std::max(1, p.value(liveMs).toInt()));
  if (p.isSet(comp)) {
    const QByteArray block = QByteArray::fromHex(p.value(comp).toLatin1());
    if (block.size() != 21) {
      err << "logger-sim: --comp needs 21 bytes (42 hex digits)\n";
      return 2;
    }
    simulator.setCompensation(block);
  }

  // Files for the fuzz corpora and the demo: the image, the stream, live frames.
  for (const QCommandLineOption* o : {&writeImage, &writeStream, &writeLive}) {
    if (!p.isSet(*o)) continue;
    QByteArray bytes = o == &writeImage ? simulator.image() : o == &writeStream ? simulator.downloadStream() : QByteArray();
    for (int n = 1; o == &writeLive && n <= 3; ++n) bytes += simulator.liveFrame(n);
    QSaveFile file(p.value(*o));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
      err << "logger-sim: cannot write " << p.value(*o) << '\n';
      return 1;
    }
    return 0;
  }

  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    err << "logger-sim: no pseudo-terminal: " << std::strerror(errno) << '\n';
    return 1;
  }
  const QString slavePath = QString::fromLocal8Bit(::ptsname(master));
  // Holding the slave open keeps the master readable (no EIO) while no program has
  // the port open, and lets us put the line into raw mode once.
  const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  termios tio{};
  if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
    err << "logger-sim: cannot open " << slavePath << '\n';
    return 1;
  }
  ::cfmakeraw(&tio);
  ::cfsetispeed(&tio, B38400);
  ::cfsetospeed(&tio, B38400);
  ::tcsetattr(slave, TCSANOW, &tio);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

  if (p.isSet(link)) {
    const QByteArray path = QFile::encodeName(p.value(link));
    ::unlink(path.constData());
    if (::symlink(::ptsname(master), path.constData()) != 0) {
      err << "logger-sim: cannot link " << p.value(link) << ": " << std::strerror(errno) << '\n';
      return 1;
    }
    std::strncpy(g_linkPath, path.constData(), sizeof g_linkPath - 1);
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);

  // Faults switched while the line is in use: a test or a monkey rewrites the file, and
  // the next command already meets the new faults. An unreadable or bad file changes
  // nothing, so a half-written file never clears the faults by accident.
  QTimer faultPoll;
  const auto applyFaultFile = [&, path = p.value(faultFile)] {
    QFile file(path);
    sim::Faults changed;
    QString ignored;
    if (file.open(QIODevice::ReadOnly) &&
        ParseFaults({QString::fromUtf8(file.readAll()).simplified().remove(' ')}, changed, ignored))
      simulator.setFaults(changed);
  };
  if (p.isSet(faultFile)) {
    applyFaultFile();
    QObject::connect(&faultPoll, &QTimer::timeout, applyFaultFile);
    faultPoll.start(200);
  }

  QSocketNotifier readable(master, QSocketNotifier::Read);
  QSocketNotifier writable(master, QSocketNotifier::Write);
  writable.setEnabled(false);
  QObject::connect(&readable, &QSocketNotifier::activated, [&] {
    if (p.isSet(faultFile)) applyFaultFile();
    char buf[4096];
    for (;;) {
      const ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      for (ssize_t i = 0; i < n; ++i) simulator.receive(quint8(buf[i]));
    }
  });
  QObject::connect(&writable, &QSocketNotifier::activated, [&] {
    writable.setEnabled(false);
    simulator.resume();
  });
  simulator.setWriter([&](const char* data, qint64 size) -> qint64 {
    const ssize_t n = ::write(master, data, size_t(size));
    return n < 0 ? 0 : qint64(n);
  });
  simulator.setBlockedHandler([&] { writable.setEnabled(true); });

  out << slavePath << Qt::endl;
  return app.exec();
}
