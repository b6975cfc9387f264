// What each change of the log session does to what it holds, and which signal tells
// the windows of it.
#include "logger/session/logsession.h"
#include "logger/session/measure.h"
#include "logger/session/stats.h"
#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using session::LogSession;

class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing_support::WriteFileBytes(
        log, hand::Dlg(1000, 0x0031, 5, 0, [](int row, int j) {
          return qint16(row == 0 ? j / 10 : row == 4 ? 1000 - j / 10 : 2000 + j);
        })));
  }
  // A log opened, the cursor and candidates of a former one left behind.
  void open() {
    ASSERT_TRUE(s.readLog(log, dir.file("cfg")).read);
    s.view().CursorSample = 3000;
    s.view().LeftCandidateTaken = true;
    s.opened(log);
  }
  testing_support::ProgramDir dir;
  const QString log = dir.file("dlg/a.dlg");
  LogSession s;
};

TEST_F(Session, OpenDeleteADamagedFileAndEnvelopesOncePerFill) {
  QSignalSpy replaced(&s, &LogSession::replaced), derived(&s, &LogSession::derivedChanged);
  open();
  EXPECT_EQ(std::pair(replaced.count(), derived.count()), (std::pair<qsizetype, qsizetype>(1, 0)));
  EXPECT_TRUE(s.loaded() && !s.deleted());
  EXPECT_EQ(std::tuple(s.view().CursorSample, s.view().LeftCandidateTaken, s.view().WindowEnd, s.fileName()),
            std::tuple(0, false, 50, log));
  // A file refused as damaged leaves the open log as it was, and nobody hears of it.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("dlg/bad.dlg"), hand::Dlg(5, 0x0001, 0, 0, {{1}})));
  EXPECT_FALSE(s.readLog(dir.file("dlg/bad.dlg"), dir.file("cfg")).read);
  EXPECT_EQ(std::tuple(s.store().SampleCount, s.store().ChannelMask), std::tuple(1000, 0x0031));
  s.markDeleted();
  EXPECT_TRUE(!s.loaded() && s.deleted());
  s.opened(log);  // the next log is shown again
  EXPECT_TRUE(s.loaded() && !s.deleted());
  EXPECT_EQ(std::pair(replaced.count(), derived.count()), (std::pair<qsizetype, qsizetype>(3, 0)));

  // Envelopes are made once per fill of the store.
  const trend::Envelope* e = s.envelope(0);
  EXPECT_EQ(e->count(), 1001);
  EXPECT_EQ(e->range(0, 999).max, 99);
  s.store().at(0, 500) = 4000;  // changed behind the session: the envelope stays
  EXPECT_EQ(s.envelope(0)->range(0, 999).max, 99);
  s.samplesReplaced();
  EXPECT_EQ(s.envelope(0)->range(0, 999).max, 4000);
  // A second log of the same length: its own samples, not the first one's envelope.
  const auto spike = [](int, int j) { return qint16(j == 7 ? 3000 : 1); };
  ASSERT_TRUE(testing_support::WriteFileBytes(log, hand::Dlg(1000, 0x0001, 5, 0, spike)));
  ASSERT_TRUE(s.readLog(log, dir.file("cfg")).read);
  EXPECT_EQ(s.envelope(0)->range(0, 999).max, 3000);
}

TEST_F(Session, SpeedAltComputesOnceAndItsUnitCyclesOnlyWhileShown) {
  open();
  QSignalSpy replaced(&s, &LogSession::replaced), derived(&s, &LogSession::derivedChanged);
  s.nextSpeedUnit();  // not shown: nothing
  s.view().EngBias[4] = 1000, s.view().EngBias[5] = 2000, s.view().BiasRef = {0, 0};
  s.view().EngCandidate[4] = 1013;  // no second reading: the first stands for it
  s.showDerived();
  EXPECT_TRUE(s.derivedDisplay().speedAlt);
  EXPECT_EQ(s.view().EngCandidate[12], 1013);
  EXPECT_EQ(s.derivedTable().columns(), 1001);
  s.nextSpeedUnit();
  EXPECT_EQ(s.view().SpeedUnit, 1);
  s.samplesReplaced();  // new samples (a download): the table of the old ones is not shown
  EXPECT_FALSE(derived::ShowsDerived(s.derivedDisplay(), 5));
  s.showDerived();
  EXPECT_EQ(s.view().SpeedUnit, 0);  // shown again in the first unit
  s.hideDerived();
  EXPECT_FALSE(derived::ShowsDerived(s.derivedDisplay(), 5));
  EXPECT_EQ(std::pair(replaced.count(), derived.count()), (std::pair<qsizetype, qsizetype>(0, 4)));
  s.opened(log);  // a new log never shows the old table
  EXPECT_TRUE(s.derivedTable().empty());
}

TEST_F(Session, MarkersAreHeldInTheLogMeasuredAndClearedWithIt) {
  open();
  QSignalSpy heard(&s, &LogSession::markersChanged);
  s.setMarker(LogSession::Marker::B, 10);
  EXPECT_FALSE(s.markedRange());
  EXPECT_EQ(session::Measure(s).b, "10 (1.00 s)");
  s.setMarker(LogSession::Marker::A, 5000);  // held within the log
  EXPECT_EQ(s.markedRange(), std::pair(10, 999));
  s.setMarker(LogSession::Marker::A, 30);
  s.config().channel[5] = {QStringLiteral("Total"), 0, 4095, QStringLiteral("mbar"), 4095};
  s.view().Shown[5] = true;
  const session::Measurement m = session::Measure(s);
  EXPECT_EQ(QStringList({m.a, m.samples, m.seconds}), QStringList({"30 (3.00 s)", "-20", "-2.00"}));
  ASSERT_EQ(m.rows.size(), 1u);
  // Raw 2000 + j: 2010 ... 2030 between the markers.
  EXPECT_EQ(QStringList(m.rows[0].values.begin(), m.rows[0].values.end()),
            QStringList({"2030.00", "2010.00", "-20.00", "2010.00", "2030.00", "2020.00", "2020.0091"}));
  EXPECT_EQ(heard.count(), 3);
  for (bool deleted : {false, true}) {
    deleted ? s.markDeleted() : s.opened(log);
    EXPECT_FALSE(s.marker(LogSession::Marker::A) || s.marker(LogSession::Marker::B));
    s.setMarker(LogSession::Marker::A, 1);
  }
}

TEST(StatsTest, ValuesAsTheReadoutGivesThem) {
  logdata::SampleStore store;
  store.reset(5);
  const qint16 raws[] = {3, 1, 4, 1, 5}, split[] = {2047, 2048};
  for (int j = 0; j < 5; ++j)
    for (int row : {0, 1, 2, 4}) store.at(row, j) = raws[j];
  for (int j = 0; j < 2; ++j) store.at(3, j) = split[j];
  common::ChannelConfiguration config;  // 1: the raw value, 2: 10 - raw, 3: flat 2, 4: +-1e8
  const double ranges[][2] = {{0, 4095}, {10, -4085}, {2, 2}, {-1e8, 1e8}, {0, 4095}};
  for (int i = 0; i < 5; ++i) config.channel[i].Min = ranges[i][0], config.channel[i].Max = ranges[i][1];
  trend::ViewState view;  // channel 1 locked at 2; channel 5 drifts +1 a sample from 0 to 4
  view.EngBias[0] = 2, view.EngBias[12] = -4, view.BiasRef = {0, 4};
  derived::DerivedTable table;
  table.reset(5);
  const float speeds[] = {10, 20, 30, 20, 10};
  std::copy(speeds, speeds + 5, table.row(derived::DerivedTable::kSpeedRow));
  const double kt = 3.6 / 1.852, s = 1e8 / 4095;
  const struct {
    int channel, from, to;
    const trend::ViewState* view;
    double min, minAt, max, maxAt, mean, rms;
  } cases[] = {
      {1, 0, 4, nullptr, 1, 1, 5, 4, 2.8, std::sqrt(10.4)},  {1, 2, 2, nullptr, 4, 2, 4, 2, 4, 4},
      {2, 0, 4, nullptr, 5, 4, 9, 1, 7.2, std::sqrt(54.4)},  {3, 1, 4, nullptr, 2, 1, 2, 1, 2, 2},
      {4, 0, 1, nullptr, -s, 0, s, 1, 0, s},                  {1, 0, 4, &view, -1, 1, 3, 4, 0.8, std::sqrt(3.2)},
      {5, 0, 4, &view, 2, 1, 6, 2, 4, std::sqrt(18)},        {6, 0, 4, &view, 10 * kt, 0, 30 * kt, 2, 18 * kt, std::sqrt(380) * kt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "channel " << c.channel << (c.view ? " shown" : ""));
    const auto r = session::ChannelStatistics({store, config, c.view, {&table, c.channel == 6, derived::kKnots}}, c.channel,
                                     c.from, c.to);
    ASSERT_TRUE(r);
    const double tolerance = 1e-12 * std::max(1.0, std::abs(c.max));
    EXPECT_EQ(r->samples, c.to - c.from + 1);
    EXPECT_EQ(std::make_pair(double(r->minAt), double(r->maxAt)), std::make_pair(c.minAt, c.maxAt));
    for (auto [got, want] : {std::pair{r->min, c.min}, {r->max, c.max}, {r->mean, c.mean}, {r->rms, c.rms}})
      EXPECT_NEAR(got, want, tolerance);
  }
  for (auto [channel, from, to] : {std::tuple{0, 0, 1}, {13, 0, 1}, {1, 3, 2}, {1, -1, 2}, {1, 0, 5}})
    EXPECT_FALSE(session::ChannelStatistics({store, config}, channel, from, to)) << channel << " " << from << ".." << to;
}

}  // namespace
