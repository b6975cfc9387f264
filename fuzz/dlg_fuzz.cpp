// The .dlg reader: a refused file leaves the sample store as it was; a file read gives
// a store that matches its header, with row 12 and the spare column clear and the
// image fields untouched, and written back gives the file's bytes again.
#include "fuzz_support.h"
#include "logger/logdata/logfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input = fuzz::Input(data, size);
  const QString in = fuzz::ScratchFile(QStringLiteral("in.dlg"), input);
  logdata::SampleStore store;
  store.reset(2);
  store.at(0, 1) = 7;
  store.at(12, 0) = 5;  // a row 12 the reader must clear
  store.MemoryImage = {1, 2, 3};
  store.ImageLastIndex = 2;
  store.RecordLength = 3;
  store.LoadedLogFile = QStringLiteral("before.dlg");
  const logdata::SampleStore before = store;
  QString error;
  if (!logdata::ReadDecodedLog(in, store, &error)) {
    FUZZ_CHECK(store == before);
    FUZZ_CHECK(!error.isEmpty());
    return 0;
  }
  const qint32 n = store.SampleCount;
  FUZZ_CHECK(n >= 0 && logdata::kDlgHeaderSize + logdata::kDlgBytesPerSample * qint64(n) <= qint64(size));
  FUZZ_CHECK(store.columns() == n + 1 && store.LoadedSampleCount == n);
  for (qint32 j = 0; j <= n; ++j) FUZZ_CHECK(store.at(logdata::kSampleRows - 1, j) == 0);
  for (int r = 0; r < logdata::kSampleRows; ++r) FUZZ_CHECK(store.at(r, n) == 0);
  FUZZ_CHECK(store.MemoryImage == before.MemoryImage && store.ImageLastIndex == before.ImageLastIndex);
  FUZZ_CHECK(store.RecordLength == before.RecordLength && store.LoadedLogFile == before.LoadedLogFile);
  const QString out = fuzz::ScratchPath(QStringLiteral("out.dlg"));
  FUZZ_CHECK(logdata::WriteDecodedLog(out, store, &error));
  FUZZ_CHECK(fuzz::FileBytes(out) == input.left(logdata::kDlgHeaderSize + logdata::kDlgBytesPerSample * n));
  return 0;
}
