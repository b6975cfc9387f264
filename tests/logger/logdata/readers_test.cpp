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
  std::function<bool(const QString& path)> read;
};

// Reads into a target that held something else; on refusal checks it is untouched.
template <typename T>
bool ReadInto(T target, const std::function<bool(T&, QString*)>& reader) {
  const T before = target;
  QString error;
  const bool read = reader(target, &error);
  if (!read) {
    EXPECT_TRUE(target == before && !error.isEmpty());
  }
  return read;
}

std::vector<Reader> Readers() {
  common::ChannelConfiguration config;
  config.channel[3].Name = QStringLiteral("Pitot");
  config.channel[3].Max = 1100;
  common::ChannelConfiguration current;
  current.channel[0].Name = QStringLiteral("current");
  const auto cfg = [current](const QString& p) {
    return ReadInto<common::ChannelConfiguration>(current, [&](auto& c, QString* e) { return common::ReadConfigFile(p, c, e); });
  };
  const auto dlg = [](const QString& p) {
    return ReadInto<logdata::SampleStore>(hand::PreviousLog(), [&](auto& s, QString* e) { return logdata::ReadDecodedLog(p, s, e); });
  };
  const auto dlt = [](const QString& p) {
    return ReadInto<logdata::SampleStore>(hand::PreviousLog(),
                                          [&](auto& s, QString* e) { return logdata::LoadRawImage(p, std::nullopt, s, e); });
  };
  // Twelve channels: 17-byte records; (last - 8) / 17 must round to at least 1.
  const QByteArray image = hand::ToQ(hand::RawImage(0x0FFF, 1, hand::Bytes(17 * 2, 0x33)));
  return {{"cfg", hand::Cfg(config), common::kMinConfigFileSize, cfg},
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
