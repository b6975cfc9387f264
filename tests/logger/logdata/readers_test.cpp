// Every file reader refuses each prefix of a valid file that is too short for what the
// file's header promises, leaves its target as it was and says why; from that length on
// it reads. (Random files are the fuzz targets' part: scripts/fuzz.sh.)
#include "common/channelconfig.h"
#include "logger/logdata/image_bytes.h"
#include "logger/logdata/logfiles.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

struct Reader {
  std::string name;
  QByteArray valid;
  qsizetype readFrom;  // shorter prefixes are refused
  // Reads into a target that held something else; on refusal checks it is untouched.
  std::function<bool(const QString& path)> read;
};

bool ReadCfg(const QString& path) {
  common::ChannelConfiguration c;
  c.channel[0].Name = QStringLiteral("current");
  const common::ChannelConfiguration before = c;
  QString error;
  const bool read = common::ReadConfigFile(path, c, &error);
  if (!read) {
    EXPECT_TRUE(c == before && !error.isEmpty());
  }
  return read;
}

bool ReadStore(const std::function<bool(logdata::SampleStore&, QString*)>& reader) {
  logdata::SampleStore s = hand::PreviousLog();
  QString error;
  const bool read = reader(s, &error);
  if (!read) {
    EXPECT_TRUE(s == hand::PreviousLog() && !error.isEmpty());
  }
  return read;
}

std::vector<Reader> Readers() {
  common::ChannelConfiguration config;
  config.channel[3].Name = QStringLiteral("Pitot");
  config.channel[3].Max = 1100;
  const auto dlg = [](const QString& p) {
    return ReadStore([&](logdata::SampleStore& s, QString* e) { return logdata::ReadDecodedLog(p, s, e); });
  };
  const auto dlt = [](const QString& p) {
    return ReadStore([&](logdata::SampleStore& s, QString* e) { return logdata::LoadRawImage(p, std::nullopt, s, e); });
  };
  // Twelve channels: 17-byte records; (last - 8) / 17 must round to at least 1.
  const QByteArray image = hand::ToQ(hand::RawImage(0x0FFF, 1, hand::Bytes(17 * 2, 0x33)));
  return {{"cfg", hand::Cfg(config), common::kMinConfigFileSize, ReadCfg},
          {"dlg", hand::Dlg(3, 0x0C03, 4, 1234, [](int r, qint32 j) { return qint16(r * j); }), 11 + 3 * 24, dlg},
          {"dlt", image, 18, dlt}};
}

class EveryPrefix : public ::testing::TestWithParam<Reader> {};

TEST_P(EveryPrefix, IsRefusedUntilTheFileHoldsWhatItsHeaderPromises) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("dlg/file");
  const Reader& r = GetParam();
  for (qsizetype n = 0; n <= r.valid.size(); ++n) {
    ASSERT_TRUE(testing_support::WriteFileBytes(path, r.valid.left(n)));
    ASSERT_EQ(r.read(path), n >= r.readFrom) << n;
  }
  EXPECT_FALSE(r.read(dir.file("dlg/missing")));
}

INSTANTIATE_TEST_SUITE_P(Readers, EveryPrefix, ::testing::ValuesIn(Readers()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
