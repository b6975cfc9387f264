// The flight report's pages as data: header, table and summary against hand-worked values.
#include "logger/report/messages.h"
#include "logger/report/report.h"

#include <gtest/gtest.h>

namespace {

namespace msg = report::msg;

// The text placed right after `label` (a header or summary row's value); empty if none.
QString ValueOf(const report::Page& page, const QString& label) {
  for (std::size_t i = 0; i + 1 < page.texts.size(); ++i)
    if (page.texts[i].text == label) return page.texts[i + 1].text;
  return {};
}

// Channels 1, 2, 5 and 11, `count` samples 0.5 s apart (FreqCode 25), serial 77. Channel
// 1 reads 10 raw - 200, channel 11 is flat.
struct Log {
  session::LogSession s;
  explicit Log(qint32 count) {
    logdata::SampleStore& st = s.store();
    st.reset(count);
    st.SampleCount = count;
    st.ChannelMask = 0x0413;
    st.FreqCode = 25;
    st.ConfigNumber = 77;
    for (qint32 j = 0; j < count; ++j) {
      st.at(0, j) = qint16(j * 10 % 4096);
      st.at(1, j) = qint16(4095 - j % 4096);
      st.at(10, j) = 7;
    }
    s.config().channel[0] = {QStringLiteral("Pitot"), -200, 40750, QStringLiteral("V"), 4095};
    s.config().channel[10] = {QStringLiteral("Flat"), 0, 255, QStringLiteral("g"), 255};
    s.opened(QStringLiteral("/x/f.dlg"));
  }
};

TEST(ReportTest, HeaderTableAndSummaryOfTheRange) {
  Log log(5);
  const report::Facts facts{QStringLiteral("f.dlg"), QStringLiteral("/p/cfg/77.cfg"),
                            QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))};
  const std::vector<report::Page> pages = report::ComposeReport(log.s, facts, 1, 3);
  ASSERT_EQ(pages.size(), 3u);  // four channels, three to a page after the first
  EXPECT_EQ(pages[1].plots.size(), 3u);
  const report::Page& p = pages[0];
  EXPECT_EQ(p.texts[0].text, msg::kTitle);
  const std::pair<QString, QString> header[] = {
      {msg::kLog, "f.dlg"},         {msg::kSerial, "77"},
      {msg::kSamples, "3"},         {msg::kRate, "2 samples/s"},
      {msg::kRange, "1 – 3 (0.50 s – 1.50 s)"}, {msg::kDuration, "1.00 s"},
      {msg::kConfiguration, "/p/cfg/77.cfg"},   {msg::kModified, "2024-05-06 07:08:09"},
  };
  for (const auto& [label, value] : header) EXPECT_EQ(ValueOf(p, label), value) << label.toStdString();
  // The rows follow the column heads, six cells each. Raw 10, 20, 30 of channel 1: -100, 0,
  // 100; raw 4094..4092 of channel 2, the unconfigured 0..0 range: all 0.
  const auto head = std::find_if(p.texts.begin(), p.texts.end(), [](const report::Text& t) { return t.text == msg::kColumnMean; });
  QStringList rows;
  for (auto cell = head + 1; cell + 5 < p.texts.end() && rows.size() < 4; cell += 6)
    rows << QStringList{cell[0].text, cell[1].text, cell[2].text, cell[3].text, cell[4].text, cell[5].text}.join('|');
  EXPECT_EQ(rows, (QStringList{"1|Pitot|V|-100.00|100.00|0.00", "2|||0.00|0.00|0.00", "5|||0.00|0.00|0.00",
                               "11|Flat|g|7.00|7.00|7.00"}));
  EXPECT_EQ(ValueOf(p, msg::kMaxClimb), QString());  // no speed and altitude shown

  // The vertical speed shrinks its span at the log's ends: n = 1 sample a second at FreqCode
  // 50; at FreqCode 25, n = 2 and 0.5 s a sample. Equal maxima count at their first sample.
  derived::DerivedTable& t = log.s.derivedTable();
  t.reset(5);
  const float alt[] = {0, 10, 30, 40, 70}, speed[] = {1, 5, 3, 5, 2};
  std::copy(alt, alt + 5, t.row(derived::DerivedTable::kAltitudeRow));
  std::copy(speed, speed + 5, t.row(derived::DerivedTable::kSpeedRow));
  const double expected[] = {30 / 1.0, 40 / 1.5, 70 / 2.0, 60 / 1.5, 40 / 1.0};
  for (qint32 j = 0; j < 5; ++j) EXPECT_DOUBLE_EQ(*report::VerticalSpeed(t, 5, j, 2, 0.5), expected[j]) << j;
  EXPECT_FALSE(report::VerticalSpeed(t, 1, 0, 2, 0.5));
  EXPECT_FALSE(report::VerticalSpeed(t, 5, 2, 2, 0));

  log.s.view().SpeedAlt = true;
  log.s.view().SpeedUnit = derived::kKnots;
  const std::vector<report::Page> withSpeed = report::ComposeReport(log.s, {}, 0, 4);
  const double ftMin = 60 / 0.3048;
  const std::pair<QString, QString> summary[] = {
      {msg::kMaxSpeed, msg::AtSample(QString::number(5 * 3.6 / 1.852, 'f', 2) + " kt", 1, "0.50")},
      {msg::kMaxAltitude, msg::AtSample(QString::number(70 / 0.3048, 'f', 2) + " feet", 4, "2.00")},
      {msg::kMaxClimb, msg::AtSample(QString::number(40 * ftMin, 'f', 2) + " ft/min", 3, "1.50")},
      {msg::kMaxSink, msg::AtSample(QString::number(40 / 1.5 * ftMin, 'f', 2) + " ft/min", 1, "0.50")},
  };
  for (const auto& [label, value] : summary) EXPECT_EQ(ValueOf(withSpeed[0], label), value) << label.toStdString();
}

// A long flat channel comes from min/max blocks: they join into one level line across
// the plot, not a row of dots.
TEST(ReportTest, FlatStretchesAreLines) {
  Log log(100000);
  const std::vector<report::Page> pages = report::ComposeReport(log.s, {}, 0, 99999);
  const report::Plot& flat = pages[2].plots.at(0);  // channel 11 alone
  const std::vector<QPointF>& pts = flat.traces.at(0).points;
  ASSERT_GT(pts.size(), 100u);
  ASSERT_LT(pts.size(), 5000u);  // the envelope decides, not the sample count
  for (const QPointF& q : pts) EXPECT_DOUBLE_EQ(q.y(), pts[0].y());
  EXPECT_LT(pts.front().x() - flat.box.left(), 0.01 * flat.box.width());
  EXPECT_LT(flat.box.right() - pts.back().x(), 0.01 * flat.box.width());
}

}  // namespace
