// The download stream through the receive state machine and the completion, with the
// link and its 2.5 MB buffer living across inputs as in the program. Whatever arrives:
// the receive index stays inside the buffer; fewer than 9 bytes after the start byte
// end in "No Data", whatever an earlier download left; a stream refused leaves the
// sample store as it was; one decoded gives a store that matches its own image.
#include "common/link.h"
#include "fuzz_support.h"
#include "logger/link/download.h"
#include "logger/logdata/unpack.h"

#include <QtEndian>

namespace {

using loggerlink::DownloadOutcome;

struct Rig {
  fuzz::FeedChannel channel;
  common::Link link{channel};  // no name hook: a decoded log stays unsaved in the store
  logdata::SampleStore store;
  loggerlink::Download download{link, store, fuzz::ScratchPath(QStringLiteral("program")), {}};
  DownloadOutcome outcome = DownloadOutcome::PortError;
  Rig() {
    QObject::connect(&download, &loggerlink::Download::finished,
                     [this](const loggerlink::DownloadResult& r) { outcome = r.outcome; });
  }
};

void CheckDecoded(const logdata::SampleStore& s, const logdata::SampleStore& before) {
  const qint32 n = s.SampleCount;
  FUZZ_CHECK(n >= 0 && s.columns() == n + 1);
  FUZZ_CHECK(qint64(s.MemoryImage.size()) == qint64(s.ImageLastIndex) + 1);
  FUZZ_CHECK(qint64(s.RecordLength) * n + logdata::kImageHeaderLastIndex <= s.ImageLastIndex);
  // The count goes into image bytes 0..3, as a .dlt saved from it holds it.
  FUZZ_CHECK(qFromLittleEndian<qint32>(s.MemoryImage.data()) == n);
  FUZZ_CHECK(s.ChannelMask == quint16(s.MemoryImage[4] | s.MemoryImage[5] << 8));
  FUZZ_CHECK(s.LoadedLogFile == before.LoadedLogFile && s.LoadedSampleCount == before.LoadedSampleCount);
  for (int c = 1; c <= 12; ++c)
    if (!s.channelPresent(c))
      for (qint32 j = 0; j <= n; ++j) FUZZ_CHECK(s.at(c - 1, j) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Rig rig;
  const QByteArray stream = fuzz::Input(data, size);
  rig.store = logdata::SampleStore();
  rig.store.reset(2);
  rig.store.at(0, 0) = 3;
  rig.store.LoadedLogFile = QStringLiteral("before.dlg");
  rig.store.LoadedSampleCount = 2;
  const logdata::SampleStore before = rig.store;
  rig.outcome = DownloadOutcome::PortError;

  FUZZ_CHECK(rig.download.request(7, false));
  rig.channel.feed(stream);
  emit rig.link.silenceElapsed();

  FUZZ_CHECK(rig.link.receiveIndex() >= 0 && rig.link.receiveIndex() < common::kReceiveBufferSize);
  const qsizetype start = stream.indexOf(char(0xFF));
  if (start < 0 || stream.size() - start - 1 < 9) FUZZ_CHECK(rig.outcome == DownloadOutcome::NoData);
  switch (rig.outcome) {
    case DownloadOutcome::NoData:
    case DownloadOutcome::Fault:
      FUZZ_CHECK(rig.store == before);
      break;
    case DownloadOutcome::Unsaved:
      CheckDecoded(rig.store, before);
      break;
    default:
      FUZZ_CHECK(!"a download ends in No Data, Fault! or a log for the save dialog");
  }
  return 0;
}
