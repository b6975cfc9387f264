// The memory download against the simulator: the decoded log is the generated samples.
#include "common/messages.h"
#include "logger/link/download.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"
#include "../../common/link_support.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace link_test;
using loggerlink::DownloadOutcome;
namespace msg = common::msg;

namespace {

struct DownloadRig : SimRig {
  testing_support::ProgramDir dir;
  logdata::SampleStore store;
  QStringList statuses, loaded;
  QStringList names;  // answers to the name hooks, in order; none: no name
  QStringList asked;          // "dlt" or "dlg", per name asked
  std::function<void()> onAsk;
  std::vector<loggerlink::DownloadResult> ended;
  loggerlink::Download download;

  QString name(const char* kind) {
    asked << kind;
    if (onAsk) onAsk();
    return names.isEmpty() ? QString() : names.takeFirst();
  }
  // The simulator builds a whole stream inside the request's write: a shorter silence (a loaded
  // machine may take a second for the longest stream) would end the download before its first byte.
  DownloadRig()
      : SimRig([] {
          common::LinkTimings t = FastTimings();
          t.downloadSilence = 1000;
          return t;
        }()),
        download(link, store, dir.path(),
                 loggerlink::DownloadHooks{[this](const QString& s) { statuses << s; }, {}, {},
                                           [this](const QString& p) { return loaded << p, true; }, {},
                                           [this] { return name("dlt"); }, [this] { return name("dlg"); }}) {
    QObject::connect(&download, &loggerlink::Download::finished,
                     [this](const loggerlink::DownloadResult& r) { ended.push_back(r); });
  }
  DownloadOutcome run(quint8 delay = 7, bool raw = false) {
    const std::size_t before = ended.size();
    EXPECT_TRUE(download.request(delay, raw));
    EXPECT_TRUE(WaitFor([&] { return ended.size() > before; }));
    return ended.empty() ? DownloadOutcome::PortError : ended.back().outcome;
  }
};

// Noise before the start byte, the raw-image option on: the unstuffed image is kept before any
// name is asked, the option writes the same bytes, the .dlg is the generated samples. A logger
// unplugged while the .dlg name is asked leaves the file saved, the lost port said, nothing loaded.
TEST(Download, DecodedLogEqualsTheGeneratedSamplesAndTheImageIsKeptBeforeTheNames) {
  for (const bool unplugged : {false, true}) {
    SCOPED_TRACE(unplugged);
    DownloadRig r;
    r.simulator.setLogging(0x33, 0x0D, 5);  // channels 1, 2, 5, 6, 9, 11, 12
    r.simulator.setFaults({.noiseBeforeStart = true});
    const QString kept = r.dir.file("dlg/last-download.dlt"), dlt = r.dir.file("dlg/asked.dlt");
    const QString target = r.dir.file("dlg/flight.dlg");
    QByteArray atFirstName;
    r.onAsk = [&] {
      if (r.asked.size() == 1) atFirstName = testing_support::FileBytes(kept);
      if (unplugged && r.asked.size() == 2) r.channel.setOpenFails(true), r.channel.close();
    };
    r.names = {dlt, target};
    EXPECT_EQ(r.run(9, true), DownloadOutcome::Saved);
    EXPECT_EQ(r.asked, (QStringList{"dlt", "dlg"}));
    EXPECT_EQ(r.download.lastKeptFile(), kept);
    EXPECT_EQ(atFirstName, r.simulator.image());  // the simulator's memory, bytes 0..3 clear
    EXPECT_EQ(testing_support::FileBytes(dlt), atFirstName);
    const sim::GeneratedLog& log = r.simulator.log();
    // The .dlg of the generated log, written by hand from its samples.
    EXPECT_EQ(testing_support::FileBytes(target),
              hand::Dlg(log.sampleCount(), quint16(log.maskLow | log.maskHigh << 8), log.freqCode, log.serialNumber,
                        [&](int row, qint32 j) { return qint16(log.samples[std::size_t(row)][std::size_t(j)]); }));
    EXPECT_EQ(r.ended.back().portLost, unplugged);
    EXPECT_EQ(r.ended.back().detail.isEmpty(), !unplugged);  // the port's words
    EXPECT_EQ(r.loaded, unplugged ? QStringList() : QStringList{target});
    EXPECT_EQ(r.statuses, (QStringList{msg::kStatusLoading, msg::kStatusDecoding,
                                       msg::kStatusUnpack + QString::number(log.sampleCount()), msg::kStatusReady}));
  }
}

// A failed download, silence included (unplugged, off, wrong port), must not hand back
// the previous stream nor touch the log or the last kept image; the next one works.
TEST(Download, FaultyStreamsEndAsDocumentedAndTheNextDownloadWorks) {
  const std::tuple<sim::Faults, QString, DownloadOutcome> cases[] = {
      {{.silence = true}, msg::kStatusNoData, DownloadOutcome::NoData},
      {{.overlongStream = true}, msg::kStatusFault, DownloadOutcome::Fault},
  };
  for (const auto& [faults, status, outcome] : cases) {
    SCOPED_TRACE(status.toStdString() + " " + std::to_string(int(outcome)));
    DownloadRig r;
    EXPECT_EQ(r.run(), DownloadOutcome::Unsaved);
    const QString kept = r.download.lastKeptFile();
    const QByteArray image = testing_support::FileBytes(kept);
    r.simulator.setFaults(faults);
    r.asked.clear();
    r.store.SampleCount = -7;  // a decode would overwrite this
    EXPECT_EQ(r.run(), outcome);
    EXPECT_EQ(r.statuses.last(), status);
    EXPECT_TRUE(r.asked.isEmpty()) << "no name asked after a failed download";
    EXPECT_EQ(r.store.SampleCount, -7);
    EXPECT_EQ(testing_support::FileBytes(kept), image);
    EXPECT_FALSE(r.link.insideFrame());
    EXPECT_EQ(r.link.receiveMode(), common::ReceiveMode::Download);
    EXPECT_FALSE(r.link.silenceTimerActive());

    r.simulator.setFaults({});
    r.names = {r.dir.file("dlg/again.dlg")};
    EXPECT_EQ(r.run(), DownloadOutcome::Saved);
    EXPECT_EQ(r.store.SampleCount, r.simulator.log().sampleCount());
    EXPECT_EQ(r.statuses.last(), msg::kStatusReady);
  }
}

// Starting a download stops whatever another command still had to send: no byte of
// it may reach the logger in the middle of the stream, nor switch the receive mode.
TEST(Download, StartingADownloadStopsEveryOtherCommandsTimers) {
  const std::pair<const char*, std::function<void(DownloadRig&)>> cases[] = {
      {"memory clear", [](DownloadRig& r) { r.commands.clearMemory(common::Settings{}); }},
      {"parameters", [](DownloadRig& r) { r.commands.sendParameters(common::Settings{}); }},
      {"compensation pause", [](DownloadRig& r) {
         r.commands.writeCompensation({}, 1);
         ASSERT_TRUE(WaitFor([&] { return r.link.handshakeByte() != 0; }));  // now in its pause
       }},
  };
  for (const auto& [name, start] : cases) {
    SCOPED_TRACE(name);
    DownloadRig r;
    start(r);
    const qint64 before = r.channel.written().size();
    r.run(9);
    QTest::qWait(4 * r.link.timings().compensationPause);  // longer than any pacing or pause
    EXPECT_EQ(r.channel.written().mid(before), Bytes({0x40, 9}));
    EXPECT_EQ(r.link.receiveMode(), common::ReceiveMode::Download);
  }
}

// A request whose port will not open ends at once with the port's words. While a download runs,
// a second request is refused. Paced at 38400 baud, the running one ends by silence after its last
// byte, not its first; its time left appears once 4 kB have been timed and goes with the end.
TEST(Download, ARequestWithoutAPortOrWhileOneRunsIsRefusedAndTheRunningOneShowsTimeLeft) {
  DownloadRig r;
  r.channel.setOpenFails(true);
  EXPECT_FALSE(r.download.request(1, false));
  ASSERT_EQ(r.ended.size(), 1u);
  EXPECT_EQ(r.ended[0].outcome, DownloadOutcome::PortError);
  EXPECT_FALSE(r.ended[0].detail.isEmpty());
  EXPECT_TRUE(r.statuses.isEmpty());

  r.channel.setOpenFails(false);
  r.simulator.setPacing(sim::Pacing::Baud38400);
  r.simulator.setLogging(0x03, 0x00, 5);
  r.simulator.setFlightSeconds(300);  // 9 kB, between 2 and 3 s on the wire
  ASSERT_TRUE(r.download.request(3, false));
  EXPECT_FALSE(r.download.request(4, false));
  EXPECT_EQ(r.ended.back().outcome, DownloadOutcome::Busy);
  qint64 firstEstimateAt = -1;
  ASSERT_TRUE(WaitFor([&] {
    const loggerlink::ProgressFigures f = r.download.figures();
    if (f.msLeft && firstEstimateAt < 0) firstEstimateAt = f.received;
    return r.ended.size() == 3;
  }));
  EXPECT_EQ(r.ended.back().outcome, DownloadOutcome::Unsaved);
  EXPECT_EQ(r.channel.written(), Bytes({0x40, 3}));
  EXPECT_GE(firstEstimateAt, loggerlink::kEstimateAfterBytes);
  EXPECT_FALSE(r.download.figures().msLeft);
}

TEST(DownloadEstimate, TimeLeftOnceTheFirstKilobytesHaveArrived) {
  const std::tuple<qint64, qint64, qint64, std::optional<qint64>> cases[] = {  // received, timed bytes and ms
      {1000, 1000, 260, std::nullopt},                                         // too few bytes to judge the rate
      {8192, 8192, 0, std::nullopt},                                           // no time measured yet
      {38400, 38400, 10000, (2558001LL - 38400) * 10000 / 38400},
      {3000000, 100000, 1000, 0}};                                             // never below zero
  for (const auto& [received, bytes, ms, left] : cases)
    EXPECT_EQ(loggerlink::EstimateMsLeft(received, 2558001, bytes, ms), left) << received;
  EXPECT_EQ(loggerlink::TimeLeftText(666000), msg::TimeLeft(11, true));  // 11.1 min
  EXPECT_EQ(loggerlink::TimeLeftText(44200), msg::TimeLeft(45, false));
  EXPECT_EQ(loggerlink::TimeLeftText(0), msg::TimeLeft(0, false));
}

}  // namespace
