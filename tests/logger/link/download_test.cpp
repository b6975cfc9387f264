// The memory download against the simulator: the decoded log must equal the
// simulator's generated samples, and every fault must end as documented.
#include "common/messages.h"
#include "logger/link/download.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"
#include "../../common/link_support.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace link_test;
using loggerlink::DownloadOutcome;
namespace msg = common::msg;

namespace {

struct DownloadRig : SimRig {
  testing_support::ProgramDir dir;
  logdata::SampleStore store;
  QStringList statuses;
  QStringList loaded;
  std::vector<std::pair<qint64, qint64>> progress;
  std::vector<DownloadOutcome> results;
  loggerlink::Download download;

  // The simulator builds a whole stream inside the request's write; a silence
  // interval shorter than that build would end the download before its first byte.
  static common::LinkTimings Timings() {
    common::LinkTimings t = FastTimings();
    t.downloadSilence = 1000;  // a loaded machine may take that long to build the longest stream
    return t;
  }
  DownloadRig()
      : SimRig(Timings()),
        download(link, store, dir.path(),
                 loggerlink::DownloadHooks{[this](const QString& s) { statuses << s; }, {},
                                           [this](qint64 a, qint64 b) { progress.push_back({a, b}); },
                                           [this](const QString& p) {
                                             loaded << p;
                                             return true;
                                           }}) {
    QObject::connect(&download, &loggerlink::Download::finished, [this](DownloadOutcome o) { results.push_back(o); });
  }
  DownloadOutcome run(quint8 delay = 7, bool raw = false) {
    const std::size_t before = results.size();
    EXPECT_TRUE(download.request(delay, raw));
    EXPECT_TRUE(WaitFor([&] { return results.size() > before; }));
    return results.empty() ? DownloadOutcome::NotSent : results.back();
  }
};

// The .dlg of a generated log, written by hand from its samples.
QByteArray ExpectedDlg(const sim::GeneratedLog& log) {
  return hand::Dlg(log.sampleCount(), quint16(log.maskLow | log.maskHigh << 8), log.freqCode, log.serialNumber,
                   [&](int row, qint32 j) { return qint16(log.samples[std::size_t(row)][std::size_t(j)]); });
}

TEST(Download, DecodedLogEqualsTheGeneratedSamples) {
  DownloadRig r;
  r.simulator.setLogging(0x33, 0x0D, 5);  // channels 1, 2, 5, 6, 9, 11, 12
  const QString target = r.dir.file("dlg/flight.dlg");
  r.prompt.files = {target};
  EXPECT_EQ(r.run(9), DownloadOutcome::Saved);
  EXPECT_EQ(r.channel.written(), Bytes({0x40, 9}));
  EXPECT_EQ(r.simulator.lastDelay(), 9);
  const sim::GeneratedLog& log = r.simulator.log();
  // The file is the generated samples in the .dlg layout; the store holds the same.
  EXPECT_EQ(testing_support::FileBytes(target), ExpectedDlg(log));
  EXPECT_EQ(r.store.SampleCount, log.sampleCount());
  EXPECT_EQ(r.store.at(4, 100), log.samples[4][100]);
  // The running sample estimate ends close to the decoded count: it counts the last
  // record, which the count rule leaves out, and stuffed bytes as data.
  EXPECT_GE(r.download.samplesSoFar(), log.sampleCount());
  EXPECT_LE(r.download.samplesSoFar(), log.sampleCount() + 1 + log.sampleCount() / 20);
  EXPECT_EQ(r.statuses, (QStringList{msg::kStatusLoading, msg::kStatusDecoding,
                                     msg::kStatusUnpack + QString::number(log.sampleCount()), msg::kStatusReady}));
  ASSERT_EQ(r.prompt.records.size(), 1u);
  EXPECT_EQ(r.prompt.records[0].title, msg::kFilterDlg);
  EXPECT_EQ(r.prompt.records[0].text, r.dir.file("dlg"));
  EXPECT_EQ(r.loaded, QStringList{target});
  EXPECT_EQ(r.prompt.beeps, 1);
  EXPECT_FALSE(r.prompt.busy);
  ASSERT_FALSE(r.progress.empty());
  EXPECT_EQ(r.progress.back().first, r.simulator.bytesSent() - 1);  // all but the start byte
  EXPECT_EQ(r.progress.back().second, common::kReceiveBufferSize);
}

TEST(Download, RawImageAndNoiseBeforeTheStartByte) {
  DownloadRig r;
  r.simulator.setLogging(0x03, 0, 50);
  r.simulator.setFaults({.noiseBeforeStart = true});
  const QString dlt = r.dir.file("dlg/raw.dlt");
  r.prompt.files = {dlt, r.dir.file("dlg/raw.dlg")};
  EXPECT_EQ(r.run(1, true), DownloadOutcome::Saved);
  EXPECT_EQ(r.prompt.records[0].title, msg::kFilterDlt);
  // The unstuffed image as the logger's memory holds it (bytes 0..3 clear).
  EXPECT_EQ(testing_support::FileBytes(dlt), r.simulator.image());
  EXPECT_EQ(r.store.SampleCount, r.simulator.log().sampleCount());
}

TEST(Download, FaultyStreamsEndAsDocumentedAndTheNextDownloadWorks) {
  struct Case {
    sim::Faults faults;
    QString status;
    DownloadOutcome outcome;
  };
  const Case cases[] = {
      {{.noEndMark = true}, msg::kStatusFault, DownloadOutcome::Fault},
      {{.evenEndRun = true}, msg::kStatusFault, DownloadOutcome::Fault},
      {{.silence = true}, msg::kStatusNoData, DownloadOutcome::NoData},
      {{.overlongStream = true}, msg::kStatusFault, DownloadOutcome::Fault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status.toStdString() + " case " + std::to_string(&c - cases));
    DownloadRig r;
    r.store.SampleCount = 0;
    r.simulator.setFaults(c.faults);
    EXPECT_EQ(r.run(), c.outcome);
    EXPECT_EQ(r.statuses.last(), c.status);
    EXPECT_TRUE(r.prompt.records.empty()) << "no dialog after a failed download";
    EXPECT_EQ(r.store.SampleCount, 0);
    EXPECT_EQ(r.link.intFlag, 0);
    EXPECT_EQ(r.link.ReceiveMode, common::kModeDownload);
    EXPECT_FALSE(r.prompt.busy);
    EXPECT_FALSE(r.link.silenceTimerActive());

    r.simulator.setFaults({});
    r.prompt.files = {r.dir.file("dlg/again.dlg")};
    EXPECT_EQ(r.run(), DownloadOutcome::Saved);
    EXPECT_EQ(r.store.SampleCount, r.simulator.log().sampleCount());
    EXPECT_EQ(r.statuses.last(), msg::kStatusReady);
  }
}

TEST(Download, SaveDialogAsksBeforeOverwritingAndCancelKeepsTheLogUnsaved) {
  DownloadRig r;
  const QString existing = r.dir.file("dlg/old.dlg");
  ASSERT_TRUE(testing_support::WriteFileBytes(existing, "old"));
  r.prompt.files = {existing};  // then the dialog is cancelled
  r.prompt.answers = {common::PromptAnswer::No};
  EXPECT_EQ(r.run(), DownloadOutcome::Unsaved);
  ASSERT_EQ(r.prompt.records.size(), 3u);
  EXPECT_EQ(r.prompt.records[1].text, msg::FileExistsQuestion(existing));
  EXPECT_EQ(r.prompt.records[1].title, msg::kTitleConfig);
  EXPECT_EQ(r.prompt.records[2].kind, testing_support::PromptRecord::SaveFile);
  EXPECT_TRUE(r.loaded.isEmpty());
  EXPECT_EQ(r.store.SampleCount, r.simulator.log().sampleCount());
  EXPECT_EQ(testing_support::FileBytes(existing), QByteArray("old"));

  r.prompt.clear();
  r.prompt.files = {existing};
  r.prompt.answers = {common::PromptAnswer::Yes};
  EXPECT_EQ(r.run(), DownloadOutcome::Saved);
  EXPECT_EQ(r.loaded, QStringList{existing});
  EXPECT_EQ(testing_support::FileBytes(existing), ExpectedDlg(r.simulator.log()));
}

TEST(Download, APortThatCannotBeReopenedAfterTheSaveIsReportedAndNothingIsLoaded) {
  DownloadRig r;
  const QString target = r.dir.file("dlg/flight.dlg");
  r.prompt.files = {target};
  // While the save dialog is open the logger is unplugged: the port closes and will not open.
  r.prompt.onPrompt = [&](const testing_support::PromptRecord& p) {
    if (p.kind != testing_support::PromptRecord::SaveFile) return;
    r.channel.setOpenFails(true);
    r.channel.close();
  };
  EXPECT_EQ(r.run(), DownloadOutcome::Saved);
  EXPECT_EQ(testing_support::FileBytes(target), ExpectedDlg(r.simulator.log()));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kCommPortError});
  EXPECT_TRUE(r.loaded.isEmpty());
  EXPECT_FALSE(r.prompt.busy);
}

TEST(Download, RequestFailsWithTheCommunicationError) {
  DownloadRig r;
  r.channel.setOpenFails(true);
  EXPECT_FALSE(r.download.request(1, false));
  EXPECT_EQ(r.prompt.messageTexts(), QStringList{msg::kCommError});
  EXPECT_EQ(r.results, std::vector<DownloadOutcome>{DownloadOutcome::NotSent});
  EXPECT_FALSE(r.prompt.busy);
  EXPECT_TRUE(r.statuses.isEmpty());
}

}  // namespace
