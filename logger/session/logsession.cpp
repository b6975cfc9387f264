#include "logger/session/logsession.h"

#include "logger/logdata/logconfig.h"
#include "logger/logdata/logfiles.h"
#include "logger/trend/trenddraw.h"

#include <algorithm>

namespace session {

LogSession::LogSession(QObject* parent) : QObject(parent) {}

trend::SeriesView LogSession::rawSeries(int index) const {
  return {store_.columnData(0) + index, nullptr, logdata::kSampleRows, store_.columns()};
}

// The pointer and count check is a second guard for a store refilled without
// samplesReplaced().
const trend::Envelope* LogSession::envelope(int index) {
  trend::Envelope& e = envelopes_[std::size_t(index)];
  const trend::SeriesView s = rawSeries(index);
  if (e.empty() || e.series().raw != s.raw || e.count() != s.count) e.build(s);
  return &e;
}

LogSession::ReadOutcome LogSession::readLog(const QString& path, const QString& cfgDir) {
  ReadOutcome r;
  if (!logdata::ReadDecodedLog(path, store_, &r.readError)) return r;
  r.read = true;
  samplesReplaced();
  logdata::ApplyLogConfig(cfgDir, store_.ConfigNumber, config_, &r.warning, &r.configError);
  return r;
}

void LogSession::samplesReplaced() {
  for (auto& e : envelopes_) e.clear();
  derived_.clear();
  view_.SpeedAlt = false;
}

void LogSession::opened(const QString& fileName) {
  samplesReplaced();
  fileName_ = fileName;
  store_.LoadedLogFile = fileName;
  loaded_ = true;
  deleted_ = false;
  view_.CursorSample = 0;
  view_.CursorX = -100;
  view_.LeftCandidateTaken = false;
  // The first view: 5 % of the log, a half going to the even neighbour.
  view_.WindowStart = 0;
  view_.WindowEnd = qint32(trend::RoundHalfEven(store_.SampleCount * 0.05));
  view_.WindowLength = view_.WindowEnd;
  markers_ = {};
  emit replaced();
}

void LogSession::markDeleted() {
  loaded_ = false;
  deleted_ = true;
  view_.CursorSample = 0;
  view_.CursorX = -100;
  markers_ = {};
  emit replaced();
}

void LogSession::setMarker(Marker which, qint32 sample) {
  markers_[which == Marker::A ? 0 : 1] = std::clamp<qint32>(sample, 0, std::max<qint32>(0, store_.SampleCount - 1));
  emit markersChanged();
}

std::optional<std::pair<qint32, qint32>> LogSession::markedRange() const {
  if (!markers_[0] || !markers_[1]) return std::nullopt;
  return std::minmax(*markers_[0], *markers_[1]);
}

void LogSession::showDerived() {
  view_.SpeedUnit = 0;
  derived::TakeMissingSecondReadings(view_);
  derived::ComputeDerived(store_, config_, derived::InputFromView(view_, compensation_), derived_);
  view_.SpeedAlt = true;
  emit derivedChanged();
}

void LogSession::hideDerived() {
  view_.SpeedAlt = false;
  emit derivedChanged();
}

void LogSession::nextSpeedUnit() {
  if (!view_.SpeedAlt) return;
  view_.SpeedUnit = derived::NextUnit(view_.SpeedUnit);
  emit derivedChanged();
}


}  // namespace session
