// The raw-image load (.dlt): a refused file leaves the sample store as it was; a file
// decoded gives a store whose records lie inside the image, whose absent channels are
// clear and whose serial is the one it had, and the image written back is the file.
// Each input is also read up to a last index half-way through, as the Text3 box asks.
#include "fuzz_support.h"
#include "logger/logdata/logfiles.h"

namespace {

void LoadAndCheck(const QString& in, const QByteArray& expectedImage, std::optional<qint32> lastIndex) {
  logdata::SampleStore store;
  store.reset(1);
  store.at(3, 0) = 99;
  store.ConfigNumber = 4711;
  store.LoadedLogFile = QStringLiteral("before.dlg");
  store.LoadedSampleCount = 1;
  const logdata::SampleStore before = store;
  QString error;
  if (!logdata::LoadRawImage(in, lastIndex, store, &error)) {
    FUZZ_CHECK(store == before);
    FUZZ_CHECK(!error.isEmpty());
    return;
  }
  const qint32 n = store.SampleCount;
  FUZZ_CHECK(n >= 0 && store.columns() == n + 1);
  FUZZ_CHECK(qint64(store.RecordLength) * n + logdata::kImageHeaderLastIndex <= store.ImageLastIndex);
  FUZZ_CHECK(store.ConfigNumber == 4711 && store.LoadedLogFile == before.LoadedLogFile);
  FUZZ_CHECK(store.ChannelMask == quint16(quint8(expectedImage[4]) | quint8(expectedImage[5]) << 8));
  for (int c = 1; c <= 12; ++c)
    if (!store.channelPresent(c))
      for (qint32 j = 0; j <= n; ++j) FUZZ_CHECK(store.at(c - 1, j) == 0);
  const QString out = fuzz::ScratchPath(QStringLiteral("out.dlt"));
  FUZZ_CHECK(logdata::WriteRawImage(out, store, &error));
  FUZZ_CHECK(fuzz::FileBytes(out) == expectedImage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input = fuzz::Input(data, size);
  const QString in = fuzz::ScratchFile(QStringLiteral("in.dlt"), input);
  LoadAndCheck(in, input, std::nullopt);
  const qint32 half = qint32(size / 2);
  LoadAndCheck(in, input.left(half + 1), half);
  return 0;
}
