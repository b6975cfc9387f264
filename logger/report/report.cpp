#include "logger/report/report.h"

#include "logger/report/messages.h"
#include "logger/session/stats.h"
#include "logger/trend/trenddraw.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

constexpr double W = kPageWidth;
constexpr double H = kPageHeight;
// Text sizes in twips: 18, 11, 9 and 7.5 points.
constexpr double kTitleSize = 360;
constexpr double kHeadingSize = 220;
constexpr double kBodySize = 180;
constexpr double kSmallSize = 150;
constexpr double kLine = 0.017 * H;
constexpr double kRow = 0.016 * H;
constexpr double kLeft = 0.08 * W;
constexpr double kRight = 0.92 * W;
// Room left of a plot for its axis numbers.
constexpr double kAxisLeft = 0.16 * W;
// Up to this many samples a trace goes sample by sample; beyond it, in about
// kBlocks min/max blocks from the envelope, so the page costs the same for any log.
constexpr qint32 kMaxPoints = 1200;
constexpr qint32 kBlocks = 600;
constexpr int kChannelsPerPage = 3;
constexpr qint32 kGridColour = 0xD0D0D0;
constexpr qint32 kTrendDarkness = 120;

QString Fixed(double v, int decimals = 2) { return QString::number(v, 'f', decimals); }

double Seconds(const logdata::SampleStore& store, qint64 j) { return double(j) * store.FreqCode * 20 / 1000.0; }

// Round steps of 1, 2 or 5 times a power of ten, about `count` of them from lo to hi.
std::vector<double> Ticks(double lo, double hi, int count) {
  if (!(hi > lo) || !std::isfinite(hi - lo)) return {lo};
  const double raw = (hi - lo) / count;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double m : {2.0, 5.0, 10.0})
    if (step < raw) step = m * magnitude;
  std::vector<double> ticks;
  for (double t = std::ceil(lo / step) * step; t <= hi + step * 1e-9; t += step) ticks.push_back(std::abs(t) < step * 1e-9 ? 0 : t);
  return ticks;
}

// Values a + b * v of a series drawn between lo (bottom) and hi (top) of `box`; a flat
// series sits in the middle.
struct Axis {
  double a = 0, b = 1, lo = 0, hi = 1;
};
Axis Widened(Axis axis) {
  if (!(axis.hi > axis.lo)) {
    const double pad = std::max(1.0, std::abs(axis.lo) * 0.01);
    axis.lo -= pad;
    axis.hi += pad;
  }
  return axis;
}

// One trace through the trend drawing code. Where it draws min/max bars, the bars are
// joined end to end alternately, so that a flat stretch reads as a line, not as dots.
Trace TraceOf(const trend::SeriesView& series, const trend::Envelope* envelope, qint32 from, qint32 to,
              const QRectF& box, Axis axis, qint32 colour) {
  trend::TraceRequest rq;
  rq.scale = {box.left(), box.top(), box.width(), box.height()};
  rq.start = from;
  rq.end = to;
  rq.twipsPerPixel = 0;  // no pixels on paper: sample by sample unless blocks are forced
  const double ky = -box.height() * axis.b / (axis.hi - axis.lo);
  rq.ownMap = trend::VerticalMap{ky, 0, box.top() + box.height() * (axis.hi - axis.a) / (axis.hi - axis.lo)};
  rq.barReach = 0;
  rq.trueExtremes = true;
  if (to - from > kMaxPoints) rq.forcedStep = (to - from + kBlocks - 1) / kBlocks;
  trend::TraceGeometry g = trend::ComputeTrace(rq, series, envelope);
  Trace t;
  t.colour = colour;
  if (!g.bars) {
    t.points = std::move(g.polyline);
    return t;
  }
  t.points.reserve(g.barLines.size() * 2);
  for (std::size_t i = 0; i < g.barLines.size(); ++i) {
    const QLineF& l = g.barLines[i];
    t.points.push_back(i % 2 ? l.p2() : l.p1());
    t.points.push_back(i % 2 ? l.p1() : l.p2());
  }
  return t;
}

class Composer {
 public:
  Composer(session::LogSession& session, qint32 from, qint32 to)
      : s_(session), store_(session.store()), from_(from), to_(to) {}

  void text(Page& page, double x, double y, double w, const QString& s, double size = kBodySize, bool bold = false,
            bool right = false, qint32 colour = 0) {
    page.texts.push_back({QRectF(x, y, w, size * 1.4), s, size, bold, right, colour});
  }

  Axis rawAxis(int channel, const session::ChannelStats& st) const {
    const auto& ch = s_.config().channel[std::size_t(channel - 1)];
    return Widened({ch.Min, (ch.Max - ch.Min) / common::FullScale(channel), st.min, st.max});
  }

  // A plot with its value axis on the left and seconds below.
  Plot& axisPlot(Page& page, const QRectF& box, Axis axis) {
    Plot& plot = page.plots.emplace_back();
    plot.box = box;
    const double vy = box.height() / (axis.hi - axis.lo);
    for (double v : Ticks(axis.lo, axis.hi, 5)) {
      const double y = box.bottom() - (v - axis.lo) * vy;
      plot.grid.emplace_back(box.left(), y, box.right(), y);
      text(page, kLeft, y - kSmallSize * 0.7, box.left() - kLeft - 60, QString::number(v, 'g', 6), kSmallSize, false,
           true);
    }
    const double t0 = Seconds(store_, from_), t1 = Seconds(store_, to_);
    const double tx = t1 > t0 ? box.width() / (t1 - t0) : 0;
    for (double t : Ticks(t0, t1, 8)) {
      const double x = box.left() + (t - t0) * tx;
      plot.grid.emplace_back(x, box.top(), x, box.bottom());
      text(page, x + 30, box.bottom() + 40, 1200, QString::number(t, 'g', 7), kSmallSize);
    }
    return plot;
  }

  void header(Page& page, const Facts& facts) {
    text(page, kLeft, 0.035 * H, kRight - kLeft, msg::kTitle, kTitleSize, true);
    const QString range = QStringLiteral("%1 – %2 (%3 s – %4 s)")
                              .arg(from_)
                              .arg(to_)
                              .arg(Fixed(Seconds(store_, from_)), Fixed(Seconds(store_, to_)));
    const std::pair<QString, QString> rows[] = {
        {msg::kLog, facts.logName},
        {msg::kSerial, QString::number(store_.ConfigNumber)},
        {msg::kSamples, QString::number(qint64(to_) - from_ + 1)},
        {msg::kRate, QString::number(store_.sampleRate(), 'g', 6) + ' ' + msg::kRateUnit},
        {msg::kRange, range},
        {msg::kDuration, Fixed(Seconds(store_, to_) - Seconds(store_, from_)) + QStringLiteral(" s")},
        {msg::kConfiguration, facts.configFile},
        {msg::kModified, facts.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
    };
    double y = 0.075 * H;
    for (const auto& [label, value] : rows) {
      text(page, kLeft, y, 0.2 * W, label, kBodySize, true);
      text(page, 0.28 * W, y, kRight - 0.28 * W, value);
      y += kLine;
    }
  }

  // Every recorded channel between its own extremes in one picture, with a legend.
  void overview(Page& page, const std::vector<int>& channels, const std::vector<session::ChannelStats>& stats) {
    text(page, kLeft, 0.222 * H, kRight - kLeft, msg::kChannels, kHeadingSize, true);
    Plot& plot = page.plots.emplace_back();
    plot.box = QRectF(QPointF(kLeft, 0.245 * H), QPointF(kRight, 0.44 * H));
    for (std::size_t k = 0; k < channels.size(); ++k) {
      const int c = channels[k];
      const qint32 colour = colourOf(c);
      plot.traces.push_back(TraceOf(s_.rawSeries(c - 1), s_.envelope(c - 1), from_, to_, plot.box,
                                    rawAxis(c, stats[k]), colour));
      const double x = kLeft + double(k % 6) * (kRight - kLeft) / 6;
      const double y = 0.447 * H + double(k / 6) * kRow;
      text(page, x, y, (kRight - kLeft) / 6, QStringLiteral("CH%1 %2").arg(c).arg(name(c)), kSmallSize, true, false,
           colour);
    }
  }

  // Returns where the table ends.
  double table(Page& page, const std::vector<int>& channels, const std::vector<session::ChannelStats>& stats) {
    text(page, kLeft, 0.49 * H, kRight - kLeft, msg::kStatistics, kHeadingSize, true);
    // Column left edges; the numbers are right-aligned in the last three.
    const double x[] = {kLeft, 0.14 * W, 0.4 * W, 0.52 * W, 0.66 * W, 0.8 * W, kRight};
    auto row = [&](double y, const QString (&cells)[6], bool bold) {
      for (int i = 0; i < 6; ++i) text(page, x[i], y, x[i + 1] - x[i] - 60, cells[i], kBodySize, bold, i >= 3);
    };
    double y = 0.515 * H;
    row(y, {msg::kColumnChannel, msg::kColumnName, msg::kColumnUnit, msg::kColumnMin, msg::kColumnMax,
            msg::kColumnMean},
        true);
    page.rules.emplace_back(kLeft, y + kRow, kRight, y + kRow);
    for (std::size_t k = 0; k < channels.size(); ++k) {
      y += kRow;
      const int c = channels[k];
      const session::ChannelStats& st = stats[k];
      row(y + 30, {QString::number(c), name(c), s_.config().channel[std::size_t(c - 1)].Unit, Fixed(st.min),
                   Fixed(st.max), Fixed(st.mean)},
          false);
    }
    return y + kRow;
  }

  // Below `top`, down to the page's foot.
  void summary(Page& page, const FlightSummary& f, double top) {
    const derived::DerivedTable& table = s_.derivedTable();
    const QString speedUnit = derived::SpeedUnitText(f.unit), altUnit = derived::AltitudeUnitText(f.unit);
    const QString rateUnit = derived::InFeet(f.unit) ? msg::kFeetPerMinute : msg::kMetresPerSecond;
    auto at = [&](double v, const QString& unit, qint32 j) {
      return msg::AtSample(Fixed(v) + ' ' + unit, j, Fixed(Seconds(store_, j)));
    };
    text(page, kLeft, top, kRight - kLeft, msg::kFlightSummary, kHeadingSize, true);
    std::vector<std::pair<QString, QString>> rows = {
        {msg::kMaxSpeed, at(f.maxSpeed, speedUnit, f.maxSpeedAt)},
        {msg::kMaxAltitude, at(f.maxAltitude, altUnit, f.maxAltitudeAt)},
    };
    if (f.rates) {
      rows.push_back({msg::kMaxClimb, at(f.climb, rateUnit, f.climbAt)});
      rows.push_back({msg::kMaxSink, at(f.sink, rateUnit, f.sinkAt)});
    }
    double y = top + 0.022 * H;
    for (const auto& [label, value] : rows) {
      text(page, kLeft, y, 0.2 * W, label, kBodySize, true);
      text(page, 0.28 * W, y, kRight - 0.28 * W, value);
      y += kLine;
    }
    // Two pictures, each with its caption above and its seconds below.
    const double gap = 0.03 * H;
    const double height = (0.965 * H - y - 2 * gap) / 2;
    const struct {
      int channel;
      double lo, hi;
      QString unit;
      double top;
    } pictures[] = {{derived::kAltitudeChannel, f.minAltitude, f.maxAltitude, altUnit, y + gap},
                    {derived::kSpeedChannel, f.minSpeed, f.maxSpeed, speedUnit, y + 2 * gap + height}};
    for (const auto& p : pictures) {
      const Axis axis = Widened({0, derived::InDisplayUnit(p.channel, 1.0, f.unit), p.lo, p.hi});
      const QRectF box(kAxisLeft, p.top, kRight - kAxisLeft, height);
      Plot& plot = axisPlot(page, box, axis);
      const trend::SeriesView series{nullptr, table.row(derived::RowOf(p.channel)), 1, table.columns()};
      plot.traces.push_back(TraceOf(series, nullptr, from_, to_, box, axis, colourOf(p.channel)));
      const QString label = p.channel == derived::kAltitudeChannel ? QString::fromLatin1(derived::kAltitudeCaption)
                                                                   : QString::fromLatin1(derived::kSpeedLabel);
      text(page, kLeft, p.top - kSmallSize * 1.8, kRight - kLeft, label + QStringLiteral(" (") + p.unit + ')',
           kSmallSize, true, false, colourOf(p.channel));
    }
  }

  // One channel alone: its name, engineering axis and seconds.
  void channelPlot(Page& page, int channel, const session::ChannelStats& st, double top) {
    const QString unit = s_.config().channel[std::size_t(channel - 1)].Unit;
    text(page, kLeft, top, kRight - kLeft, QStringLiteral("CH%1 %2 (%3)").arg(channel).arg(name(channel), unit),
         kHeadingSize, true, false, colourOf(channel));
    const QRectF box(QPointF(kAxisLeft, top + 0.025 * H), QPointF(kRight, top + 0.245 * H));
    const Axis axis = rawAxis(channel, st);
    Plot& plot = axisPlot(page, box, axis);
    plot.traces.push_back(
        TraceOf(s_.rawSeries(channel - 1), s_.envelope(channel - 1), from_, to_, box, axis, colourOf(channel)));
    text(page, kAxisLeft, box.bottom() + 0.012 * H, box.width(), msg::kTimeAxis, kSmallSize);
  }

  QString name(int channel) const { return s_.config().channel[std::size_t(channel - 1)].Name; }
  qint32 colourOf(int channel) const { return PaperColour(s_.view().Colours[std::size_t(channel - 1)]); }

 private:
  session::LogSession& s_;
  const logdata::SampleStore& store_;
  qint32 from_, to_;
};

}  // namespace

qint32 SamplesPerSecond(const logdata::SampleStore& store) {
  return store.FreqCode ? std::max(1, 50 / int(store.FreqCode)) : 1;
}

std::optional<double> VerticalSpeed(const derived::DerivedTable& table, qint32 sampleCount, qint32 j, qint32 n,
                                    double interval) {
  const qint32 lo = std::max<qint32>(0, j - n);
  const qint32 hi = std::min<qint32>(sampleCount - 1, j + n);
  if (hi <= lo || !(interval > 0)) return std::nullopt;
  const int row = derived::DerivedTable::kAltitudeRow;
  return (double(table.at(row, hi)) - double(table.at(row, lo))) / (double(hi - lo) * interval);
}

std::optional<FlightSummary> Summarise(const session::LogSession& session, qint32 from, qint32 to) {
  const derived::DerivedDisplay shown = session.derivedDisplay();
  if (!derived::ShowsDerived(shown, derived::kAltitudeChannel)) return std::nullopt;
  const derived::DerivedTable& table = session.derivedTable();
  const logdata::SampleStore& store = session.store();
  FlightSummary f;
  f.unit = shown.unit;
  const float* speed = table.row(derived::DerivedTable::kSpeedRow);
  const float* alt = table.row(derived::DerivedTable::kAltitudeRow);
  // Extremes in stored units: the conversions are plain positive factors.
  float sLo = speed[from], sHi = speed[from], aLo = alt[from], aHi = alt[from];
  f.maxSpeedAt = f.maxAltitudeAt = from;
  const qint32 n = SamplesPerSecond(store);
  const double interval = store.FreqCode * 0.02;
  std::optional<double> climb, sink;
  for (qint32 j = from; j <= to; ++j) {
    if (speed[j] > sHi) sHi = speed[j], f.maxSpeedAt = j;
    sLo = std::min(sLo, speed[j]);
    if (alt[j] > aHi) aHi = alt[j], f.maxAltitudeAt = j;
    aLo = std::min(aLo, alt[j]);
    if (const auto v = VerticalSpeed(table, store.SampleCount, j, n, interval)) {
      if (!climb || *v > *climb) climb = *v, f.climbAt = j;
      if (!sink || *v < *sink) sink = *v, f.sinkAt = j;
    }
  }
  f.minSpeed = derived::SpeedInUnit(sLo, f.unit);
  f.maxSpeed = derived::SpeedInUnit(sHi, f.unit);
  f.minAltitude = derived::AltitudeInUnit(aLo, f.unit);
  f.maxAltitude = derived::AltitudeInUnit(aHi, f.unit);
  f.rates = climb.has_value();
  if (f.rates) {
    // Feet per minute for the feet settings.
    const double factor = derived::InFeet(f.unit) ? derived::AltitudeInUnit(1.0, f.unit) * 60 : 1.0;
    f.climb = *climb * factor;
    f.sink = *sink * factor;
  }
  return f;
}

qint32 PaperColour(qint32 bgr) {
  const int r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
  const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
  if (luma <= kTrendDarkness) return bgr & 0xFFFFFF;
  const double k = kTrendDarkness / luma;
  auto scaled = [k](int v) { return qint32(std::lround(v * k)); };
  return scaled(r) | scaled(g) << 8 | scaled(b) << 16;
}

std::vector<Page> ComposeReport(session::LogSession& session, const Facts& facts, qint32 from, qint32 to) {
  Composer c(session, from, to);
  std::vector<int> channels;
  std::vector<session::ChannelStats> stats;
  const session::StatsSource source{session.store(), session.config()};
  for (int ch = 1; ch <= common::kChannelCount; ++ch) {
    if (!session.store().channelPresent(ch)) continue;
    const auto st = session::ChannelStatistics(source, ch, from, to);
    if (!st) continue;
    channels.push_back(ch);
    stats.push_back(*st);
  }
  std::vector<Page> pages(1);
  c.header(pages[0], facts);
  c.overview(pages[0], channels, stats);
  const double below = c.table(pages[0], channels, stats);
  if (const auto f = Summarise(session, from, to)) c.summary(pages[0], *f, below + 0.02 * H);
  for (std::size_t k = 0; k < channels.size(); ++k) {
    if (k % kChannelsPerPage == 0) pages.emplace_back();
    c.channelPlot(pages.back(), channels[k], stats[k], (0.05 + 0.31 * double(k % kChannelsPerPage)) * H);
  }
  return pages;
}

}  // namespace report
