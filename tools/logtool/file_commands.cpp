#include "tools/logtool/file_commands.h"

#include "common/channelconfig.h"
#include "common/numtext.h"
#include "logger/logdata/logfiles.h"

#include <optional>

namespace logtool {

namespace {

const Register kInfo({QStringLiteral("info"), QStringLiteral("FILE.dlg"), &RunInfo});
const Register kDecode({QStringLiteral("decode"),
                        QStringLiteral("FILE.dlt -o OUT.dlg [--last-index N] [--config N]"), &RunDecode});
const Register kCfg({QStringLiteral("cfg"), QStringLiteral("FILE.cfg"), &RunCfg});

int FileError(Io& io, const QString& message) { return Fail(io, message); }

std::optional<qint32> ParseInt(const QString& text) {
  bool ok = false;
  const qint32 v = text.toInt(&ok, 10);
  return ok ? std::optional<qint32>(v) : std::nullopt;
}

}  // namespace

int RunInfo(const QStringList& args, Io& io) {
  if (args.size() != 1) return kExitUsage;
  logdata::SampleStore store;
  QString error;
  if (!logdata::ReadDecodedLog(args[0], store, &error)) return FileError(io, error);
  io.out << "samples: " << store.SampleCount << '\n'
         << "mask: 0x" << QStringLiteral("%1").arg(store.ChannelMask, 4, 16, QLatin1Char('0')).toUpper() << '\n'
         << "freqcode: " << int(store.FreqCode) << '\n'
         // FreqCode 0 only comes from a damaged file; its rate is shown as 0.
         << "rate: " << common::NumberToText(store.sampleRate()) << '\n'
         << "config: " << store.ConfigNumber << '\n';
  return kExitOk;
}

int RunDecode(const QStringList& args, Io& io) {
  QString input;
  QString output;
  std::optional<qint32> lastIndex;
  qint32 config = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("-o")) {
      if (!hasValue || !output.isEmpty()) return kExitUsage;
      output = args[++i];
    } else if (a == QLatin1String("--last-index")) {
      if (!hasValue || lastIndex) return kExitUsage;
      lastIndex = ParseInt(args[++i]);
      if (!lastIndex) return kExitUsage;
    } else if (a == QLatin1String("--config")) {
      if (!hasValue) return kExitUsage;
      const auto n = ParseInt(args[++i]);
      if (!n) return kExitUsage;
      config = *n;
    } else if (a.startsWith(QLatin1Char('-')) || !input.isEmpty()) {
      return kExitUsage;
    } else {
      input = a;
    }
  }
  if (input.isEmpty() || output.isEmpty()) return kExitUsage;

  logdata::SampleStore store;
  store.ConfigNumber = config;
  QString error;
  if (!logdata::LoadRawImage(input, lastIndex, store, &error)) return FileError(io, error);
  if (!logdata::WriteDecodedLog(output, store, &error)) return FileError(io, error);
  return kExitOk;
}

int RunCfg(const QStringList& args, Io& io) {
  if (args.size() != 1) return kExitUsage;
  common::ChannelConfiguration config;
  QString error;
  if (!common::ReadConfigFile(args[0], config, &error)) return FileError(io, error);
  for (int c = 1; c <= common::kChannelCount; ++c) {
    const auto& ch = config.channel[std::size_t(c - 1)];
    io.out << "CH" << c << '\t' << ch.Name << '\t' << common::NumberToText(ch.Min) << '\t'
           << common::NumberToText(ch.Max) << '\t' << ch.Unit << '\t' << common::NumberToText(ch.WinHight) << '\n';
  }
  io.out << "serial: " << config.ConfigNumber << '\n';
  return kExitOk;
}

}  // namespace logtool
