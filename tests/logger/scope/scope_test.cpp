// The scope over a session of its own: traces, labels, rulers, cursor and marker without a
// window; the printed page; then scope windows driven through their controls.
#include "common/channelconfig.h"
#include "common/messages.h"
#include "common/numtext.h"
#include "logger/logdata/samplestore.h"
#include "logger/scope/scopemessages.h"
#include "logger/scope/scopeprint.h"
#include "logger/scope/scopeview.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/trend/ui/picturebox.h"
#include "support/fake_prompt.h"
#include "support/test_paths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

// A log of 2001 samples for the scope's logic: channel c reads raw (j * c) mod full
// scale; channel 1 in its own units, channel 2 from -100, channel 3 inverted; every
// channel shown; derived speed 10 m/s + j/100 and altitude 1000 m + j.
namespace {

constexpr qint32 kCount = 2000;
constexpr double kTpp = 15;
const trend::PictureScale kPic{0, 0, 1000 * kTpp, 300 * kTpp};

inline qint16 Raw(int channel, qint32 j) { return qint16((j * channel) % (common::FullScale(channel) + 1)); }

class ScopeLog : public ::testing::Test {
 protected:
  ScopeLog() {
    store.reset(kCount);
    store.SampleCount = kCount;
    store.FreqCode = 1;
    src.opened(QStringLiteral("scope.dlg"));
    for (qint32 j = 0; j < kCount; ++j)
      for (int c = 1; c <= 12; ++c) store.at(c - 1, j) = Raw(c, j);
    for (int c = 1; c <= 12; ++c)
      config.channel[std::size_t(c - 1)] = {QStringLiteral("N%1").arg(c), 0, double(common::FullScale(c)),
                                            QStringLiteral("U%1").arg(c)};
    config.channel[1].Min = -100, config.channel[1].Max = 3995;
    config.channel[2].Min = 4095, config.channel[2].Max = 0;
    view.YScale = common::StepTable();
    view.Shown.fill(true);
    view.Colours[1] = 0xFF0000;
    setWindow(0, 100);
    derivedTable.reset(kCount);
    for (qint32 j = 0; j < kCount; ++j) {
      derivedTable.row(derived::DerivedTable::kSpeedRow)[j] = float(10 + j / 100.0);
      derivedTable.row(derived::DerivedTable::kAltitudeRow)[j] = float(1000 + j);
    }
  }

  void setWindow(qint32 start, qint32 end) { view.WindowStart = start, view.WindowEnd = end, view.WindowLength = end - start; }
  void speedAlt(int unit) { view.SpeedAlt = true, view.SpeedUnit = unit; }

  session::LogSession src;
  logdata::SampleStore& store = src.store();
  common::ChannelConfiguration& config = src.config();
  trend::ViewState& view = src.view();
  derived::DerivedTable& derivedTable = src.derivedTable();
  testing_support::FakePrompt prompt;
};

using namespace scope;

const double H = kPic.height;

class ScopeView : public ScopeLog {
 protected:
  // The y of sample j of channel c alone in the window (the single point).
  double yAt(int channel, int scale, int bias, qint32 j) {
    setWindow(j, j);
    const trend::TraceGeometry g = ComputeScopeTrace(src, {channel, scale, bias}, kPic, kTpp);
    EXPECT_EQ(g.polyline.size(), 1u);
    return g.polyline.empty() ? NAN : g.polyline[0].y();
  }
};

TEST_F(ScopeView, MappingEdgeCasesAndBars) {
  // A new scope: raw 0 nine units above the bottom, raw full scale nine above the top
  // edge, 8-bit channels included (channel 11 reads 255 at sample 93).
  EXPECT_DOUBLE_EQ(yAt(1, 10, 0, 0), H - 9);
  EXPECT_DOUBLE_EQ(yAt(11, 10, 0, 93), -9);
  // Scale 20 shows half the range: raw 999 where raw 1998 lies at scale 10; scale 5
  // twice the range, raw 4095 at the middle.
  EXPECT_DOUBLE_EQ(yAt(1, 20, 0, 999), yAt(1, 10, 0, 1998));
  EXPECT_DOUBLE_EQ(yAt(11, 5, 0, 93), H / 2 - 9);
  // Bias 2048 puts raw 2048 (channel 2, sample 1024) on the bottom line.
  EXPECT_DOUBLE_EQ(yAt(2, 10, 2048, 1024), H - 9);
  // Inverted channel 3: raw 0 is drawn as full scale.
  EXPECT_DOUBLE_EQ(yAt(3, 10, 0, 0), -9);
  // "Speed / Alt": altitude 1000 m at sample 0; the bias moves it like a raw trace.
  speedAlt(0);
  EXPECT_DOUBLE_EQ(yAt(5, 10, 1000, 0), H - 9);
  speedAlt(2);  // feet
  EXPECT_NEAR(yAt(5, 10, 0, 0), H - 9 - H * (1000 / 0.3048) / 4095, 1e-6);
  view.SpeedAlt = false;

  // Bars keep the bias, reach ten beyond and take true derived extremes.
  setWindow(0, kCount);  // 2 samples per pixel: bars of 2
  const trend::TraceGeometry plain = ComputeScopeTrace(src, {1, 10, 0}, kPic, kTpp);
  const trend::TraceGeometry biased = ComputeScopeTrace(src, {1, 10, 300}, kPic, kTpp);
  ASSERT_TRUE(plain.bars);
  ASSERT_EQ(plain.barLines.size(), biased.barLines.size());
  // Bar 0 covers samples 0..2: from raw 0 ten units down to raw 2 ten units up.
  EXPECT_DOUBLE_EQ(plain.barLines[0].y1(), H - 9 + 10);
  EXPECT_DOUBLE_EQ(plain.barLines[0].y2(), H - 9 - H * 2 / 4095 - 10);
  EXPECT_DOUBLE_EQ(biased.barLines[7].y1() - plain.barLines[7].y1(), H * 300 / 4095);

  // Altitude in feet runs 3281 to 9843; bar 500 (samples 1000..1002, 6562 feet and up)
  // lies wholly above the block search's start value of 4095.
  speedAlt(2);
  const trend::TraceGeometry feet = ComputeScopeTrace(src, {5, 1, 0}, kPic, kTpp);
  const double ky = -H / 4095 / 10;
  EXPECT_NEAR(feet.barLines[500].y1(), 2000 / 0.3048 * ky + H - 9 + 10, 1e-3);
}

TEST_F(ScopeView, LabelsFollowScaleBiasZeroLockAndSpeedAlt) {
  view.EngBias[1] = 50;  // channel 2 zero-locked at 50
  TraceLabels l = LabelsFor(src, {2, 20, 300});
  // Bottom -100 + 300 - 50, top 4095 * 10 / 20 above it.
  EXPECT_EQ(QStringList({l.bottom, l.top, l.scale, l.bias, l.number + l.name + l.unit}),
            QStringList({"150.00", "2197.50", common::LocaleDoubleText(2), "300", "2N2U2"}));

  speedAlt(1);
  l = LabelsFor(src, {6, 10, -30});
  // The top label is the value the trace reaches at the top: 4095 units above.
  EXPECT_EQ(QStringList({l.name, l.unit, l.bottom, l.top}),
            QStringList({derived::kSpeedLabel, derived::SpeedUnitText(1), "-30.00", "4065.00"}));
  EXPECT_EQ(LabelsFor(src, {5, 10, 0}).name, QLatin1String(derived::kAltitudeCaption));
  EXPECT_EQ(LabelsFor(src, {4, 10, 0}).name, QStringLiteral("N4"));
}

TEST(ScopeRuler, TicksFromTheDecadeExponent) {
  // lowest: the label nearest the bottom of the ruler; count: the top value lies 9 units above the ruler, no tick.
  struct Case { double bottom, top, distance; const char* lowest; int count; };
  const Case cases[] = {
      {0, 4095, 1000, "0", 5},  // log10(2047.5) = 3.3
      {-100, 3995, 1000, "0", 4},
      {0, 19, 2, "0", 10},      // 10^0 would give 19 ticks
      {0.5, 1, 0.1, "0.5", 5},  // log10(0.25) < 0: exponent -1
      {100, 0, 10, "100", 10},  // an inverted channel's ruler falls
      {0, 2047.5, 500, "0", 5},  // 1000 would give two ticks
      {0, 0.15, 0.02, "0.", 8},  // two decimals: 0.02 apart
      {1e15, 1e15 + 1, 0.1, "1000000000000000.", 8},  // a tick index beyond 2^53
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bottom);
    const Ruler r = ComputeRuler(c.bottom, c.top, H);
    EXPECT_DOUBLE_EQ(r.distance, c.distance);
    ASSERT_EQ(int(r.ticks.size()), c.count);
    const auto low = std::max_element(r.ticks.begin(), r.ticks.end(), [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_EQ(low->text, QLatin1String(c.lowest));
  }
  // The bottom value sits on the bottom line, nine units above the edge.
  EXPECT_DOUBLE_EQ(ComputeRuler(0, 4095, H).ticks.front().y, H - 9);
  EXPECT_EQ(ComputeRuler(0, 0.15, H).ticks.back().text, QStringLiteral("0.14"));
  EXPECT_TRUE(ComputeRuler(5, 5, H).ticks.empty());
}

TEST_F(ScopeView, CursorReadsZeroLockedAndDerivedValuesMarksLevelsAndFeedsTheMarker) {
  setWindow(0, 1000);
  view.EngBias[1] = 10;
  view.EngBias[4] = 7, view.EngBias[12] = 99;  // no drift correction in the scope even with references set
  view.BiasRef = {0, 1000};
  const TraceSettings t{TraceSetting{2, 10, 0}, TraceSetting{5, 20, 100}};
  ScopeReadout r = ScopeCursorMove(src, t, kPic, kPic.width / 4, true);
  EXPECT_EQ(view.CursorSample, 250);
  // -100 + 500 - 10, 1250 - 7
  EXPECT_EQ(QStringList({r.position, r.values[0], r.values[1]}), QStringList({"250", "390.00", "1243.00"}));
  ASSERT_EQ(r.levelLines.size(), 2u);
  EXPECT_EQ(r.levelLines[0], QLineF(0, H - 9 - H * 500 / 4095, kPic.width / 4, H - 9 - H * 500 / 4095));
  const double y2 = H - 9 - H * (1250 - 100) / 4095 * 2;
  EXPECT_EQ(r.levelLines[1], QLineF(kPic.width / 4, y2, kPic.width, y2));

  speedAlt(2);
  r = ScopeCursorMove(src, t, kPic, kPic.width / 4, false);
  EXPECT_EQ(r.values[1], QStringLiteral("4101.0499"));  // 1250 m in feet, four decimals
  EXPECT_TRUE(r.levelLines.empty());
  view.Shown[4] = false;  // a trace that is not drawn has no level line
  EXPECT_EQ(ScopeCursorMove(src, t, kPic, 10, true).levelLines.size(), 1u);

  // A marker reads the read-outs back as numbers: "1." is 1, an empty text 0.
  Marker m;
  EXPECT_TRUE(PressMarker(m, true, 300, 1200, QStringLiteral("1."), {QStringLiteral("-2.50"), QString()}, prompt));
  EXPECT_EQ(std::tuple(m.set, m.x, m.fraction, m.position, m.values[0], m.values[1]),
            std::tuple(true, 300, 0.25, 1.0, -2.5, 0.0));
  src.markDeleted();
  EXPECT_FALSE(ScopeCursorMove(src, t, kPic, 10, true).valuesValid);
}

// The capture key writes the cursor sample's shown and raw values, nothing for the spare
// column behind the log.
TEST_F(ScopeView, CaptureOnlyForASampleInTheLog) {
  testing_support::ProgramDir dir;
  const QString path = dir.file("cap/init.txt");
  view.CursorSample = kCount;
  EXPECT_TRUE(AppendScopeCapture(src, path, nullptr));
  EXPECT_FALSE(QFile::exists(path));
  view.CursorSample = 7;
  EXPECT_TRUE(AppendScopeCapture(src, path, nullptr));
  EXPECT_EQ(testing_support::FileBytes(path), " 7 ,7,-86,4074,28,35,42,49,56,63,70,77,84 , Raw values: , "
                                              "7,14,21,28,35,42,49,56,63,70,77,84\r\n");
}

constexpr double W = 11906;  // A4 in twips
constexpr double PH = 16838;

class ScopePrint : public ScopeLog {
 protected:
  PrintPage page(const Marker& m = {}) { return ComposePage(src, {TraceSetting{2, 20, 300}, TraceSetting{6, 10, 0}}, m, W, PH); }
  // Where `text` is printed, as fractions of the page; (-1, -1) when it is not.
  static QPointF where(const PrintPage& p, const QString& text) {
    for (const PageText& t : p.texts)
      if (t.text == text) return {t.at.x() / W, t.at.y() / PH};
    return {-1, -1};
  }
};

TEST_F(ScopePrint, LayoutInFractionsOfThePageTheMarkerAndTheStepRule) {
  setWindow(100, 600);
  PrintPage p = page();
  const std::tuple<QString, double, double> expected[] = {
      {msg::kPrintHeading, 0.02, 0.05},
      {QStringLiteral("2247.50"), 0.025, 0.1},  {QStringLiteral("4095.00"), 0.92, 0.1},  // tops
      {QStringLiteral("200.00"), 0.025, 0.7},   {QStringLiteral("0.00"), 0.92, 0.7},  // bottoms
      {QStringLiteral("U2"), 0.025, 0.725},     {QStringLiteral("U6"), 0.92, 0.725},
      {QStringLiteral("N2"), 0.025, 0.75},      {QStringLiteral("N6"), 0.92, 0.75},
      {QStringLiteral("2"), 0.05, 0.3},         {QStringLiteral("6"), 0.95, 0.3},
      {QStringLiteral("100"), 0.1, 0.72},       {QStringLiteral("600"), 0.87, 0.72},
      {common::msg::kCaptionSamples, 0.56, 0.72},
  };
  for (const auto& [text, fx, fy] : expected) {
    const QPointF at = where(p, text);
    EXPECT_NEAR(at.x(), fx, 1e-12) << text.toStdString();
    EXPECT_NEAR(at.y(), fy, 1e-12) << text.toStdString();
  }
  EXPECT_EQ(p.texts.size(), std::size(expected));
  EXPECT_EQ(p.plot, QRectF(0.1 * W, 0.1 * PH, 0.8 * W, 0.6 * PH));
  ASSERT_EQ(p.lines.size(), 2u);  // the legend lines, no marker
  EXPECT_EQ(p.lines[0].line, QLineF(0.02 * W, 0.32 * PH, 0.04 * W, 0.32 * PH));
  EXPECT_EQ(p.lines[1].line, QLineF(0.92 * W, 0.32 * PH, 0.94 * W, 0.32 * PH));
  EXPECT_EQ(p.lines[0].colour, 0xFF0000);
  EXPECT_FALSE(p.marker);

  // A marker adds its line and values, its position in the unit of the boxes.
  view.SecondsMode = true;
  p = page(Marker{true, 0, 0.25, 12.5, {-3.14159, 7}});
  ASSERT_EQ(p.lines.size(), 3u);
  EXPECT_EQ(p.lines[2].line, QLineF(0.3 * W, 0.1 * PH, 0.3 * W, 0.7 * PH));
  EXPECT_EQ(where(p, QStringLiteral("-3.1416")), QPointF(0.025, 0.4));
  EXPECT_EQ(where(p, QStringLiteral("7.00")), QPointF(0.92, 0.4));
  EXPECT_EQ(where(p, QStringLiteral("12.50")), QPointF(0.5, 0.72));
  EXPECT_EQ(where(p, common::msg::kCaptionSeconds), QPointF(0.56, 0.72));

  // The step rule: n = 0.8 x samples / page width; 20 times the rounded n beyond 0.07.
  // n = 0.067; n = 0.134 rounds to 0, at least 1; n = 86.0.
  for (auto [samples, step] : {std::pair{1000, 1}, {2000, 20}, {1280000, 1720}})
    EXPECT_EQ(trend::PrintStepFor(0, samples, W), step);
  setWindow(0, 1000);
  view.Shown[5] = false;  // an unchecked trace is left out
  p = page();
  ASSERT_TRUE(p.traces[0].bars);
  // j = 1 .. 999 in steps of 1; bar 0 spans samples 0 and 1 (raw 0 and 2) exactly.
  ASSERT_EQ(p.traces[0].barLines.size(), 999u);
  const double ky = -0.6 * PH / 4095 * 2;
  const double offset = 0.7 * PH - 9 - ky * 300;
  const double x = 0.1 * W + 0.8 * W / 1000;
  EXPECT_EQ(p.traces[0].barLines[0], QLineF(x, offset, x, 2 * ky + offset));
  EXPECT_TRUE(p.traces[1].empty());
  EXPECT_NE(where(p, QStringLiteral("N6")).x(), -1);
}

using scope::ScopeWindow;

class ScopeWindows : public ScopeLog {
 protected:
  ScopeWindow* open() {
    ScopeWindow* s = scopes.open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(s));
    return s;
  }
  static QString text(QWidget* w, const char* name) { return w->findChild<QLineEdit*>(name)->text(); }
  testing_support::ProgramDir dir;
  scope::ScopeWindows scopes{src, prompt, dir.path()};
};

TEST_F(ScopeWindows, IndependentWindowsLevelLinesPrintoutAndWhatANewLogOrNoneLeaves) {
  ScopeWindow* a = open();
  ScopeWindow* b = open();
  EXPECT_EQ(scopes.windows().size(), 2u);
  EXPECT_EQ(a->objectName() + a->windowTitle(), "scTrend1" + scope::msg::kCaptionScope);
  EXPECT_EQ(a->findChild<QComboBox*>("ScopeCH_1")->currentData().toInt(), 1);
  a->findChild<QScrollBar*>("scale1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  a->findChild<QScrollBar*>("bias2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(std::tuple(a->traces()[0].scale, a->traces()[1].bias, b->traces()[0].scale), std::tuple(20, -30, 10));
  EXPECT_EQ(a->findChild<QLabel*>("Label3_0")->text(), common::LocaleDoubleText(2));
  a->findChild<QCheckBox*>("ShowLevel")->setChecked(true);
  const QPoint middle(a->picture()->width() / 2, 20);
  QMouseEvent moved(QEvent::MouseMove, middle, a->picture()->mapToGlobal(middle), Qt::NoButton, Qt::NoButton, {});
  QApplication::sendEvent(a->picture(), &moved);
  EXPECT_EQ(a->picture()->levelLines().size(), 2u);
  a->findChild<QCheckBox*>("ShowLevel")->setChecked(false);
  EXPECT_TRUE(a->picture()->levelLines().empty());

  // A printout uses the marker up and leaves the picture alone. Its page is not left
  // private to its temporary file: it reads like any new file.
  scopes.defaultPrinter = [] { return QPrinterInfo(); };  // never a real printer: a PDF file
  QTest::mouseClick(a->picture(), Qt::LeftButton, {}, QPoint(a->picture()->width() / 3, 20));
  ASSERT_TRUE(scopes.marker.set);
  const QImage before = a->picture()->picture();
  prompt.files.push_back(dir.file("cap/first"));
  a->findChild<QAction*>("Print")->trigger();
  EXPECT_TRUE(testing_support::FileBytes(dir.file("cap/first.pdf")).startsWith("%PDF"));
  EXPECT_FALSE(scopes.marker.set);
  EXPECT_TRUE(a->picture()->picture() == before);
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("cap/plain"), "x"));
  EXPECT_EQ(QFile::permissions(dir.file("cap/first.pdf")), QFile::permissions(dir.file("cap/plain")));

  // A new log empties the read-outs; without a log no marker nor printout.
  ASSERT_FALSE(text(a, "chpos1").isEmpty() || text(a, "chval_0").isEmpty());
  src.opened(QStringLiteral("again.dlg"));
  EXPECT_EQ(text(a, "chpos1") + text(a, "chval_0") + text(a, "chval_1"), "");
  src.markDeleted();
  prompt.clear();
  QTest::mouseClick(a->picture(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(scopes.marker.set);
  a->findChild<QAction*>("Print")->trigger();
  EXPECT_EQ(prompt.said(), QStringList({common::msg::kTitleLogger + ": " + common::msg::kNoData,
                                        common::msg::kTitleStatus + ": " + common::msg::kFileNotLoaded}));
  EXPECT_EQ(prompt.records.size(), 2u);  // no file asked for
  EXPECT_EQ(prompt.records[0].icon, common::PromptIcon::Exclamation);
  scopes.closeAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(scopes.windows().empty());
}

}  // namespace
