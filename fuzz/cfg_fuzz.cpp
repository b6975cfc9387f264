// The .cfg reader: a refused file leaves the configuration as it was; a file read holds
// texts that fit their records and finite numbers, and written back reads the same.
#include "common/channelconfig.h"
#include "fuzz_support.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString in = fuzz::ScratchFile(QStringLiteral("in.cfg"), fuzz::Input(data, size));
  common::ChannelConfiguration before;
  before.channel[0].Name = QStringLiteral("untouched");
  before.channel[11].Max = 42;
  before.ConfigNumber = -77;
  common::ChannelConfiguration read = before;
  QString error;
  if (!common::ReadConfigFile(in, read, &error)) {
    FUZZ_CHECK(read == before);
    FUZZ_CHECK(!error.isEmpty());
    return 0;
  }
  FUZZ_CHECK(size >= std::size_t(common::kMinConfigFileSize));
  for (const common::ChannelSettings& c : read.channel) {
    FUZZ_CHECK(c.Name.size() <= common::kMaxTextLength && c.Unit.size() <= common::kMaxTextLength);
    FUZZ_CHECK(std::isfinite(c.Min) && std::isfinite(c.Max) && std::isfinite(c.WinHight));
  }
  const QString out = fuzz::ScratchPath(QStringLiteral("out.cfg"));
  QFile::remove(out);
  FUZZ_CHECK(common::WriteConfigFile(out, read, &error));
  common::ChannelConfiguration again;
  FUZZ_CHECK(common::ReadConfigFile(out, again, &error));
  FUZZ_CHECK(again == read);
  return 0;
}
