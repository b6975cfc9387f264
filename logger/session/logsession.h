#pragma once
// The open log and what every window shows of it: the samples, the channel
// configuration, the view (window, cursor, zero locks, heights, seconds mode, "Speed /
// Alt"), the envelopes, the derived speed and altitude and the compensation choice.
// Windows read it and change it only through it; it tells them what changed.
#include "common/channelconfig.h"
#include "logger/logdata/shown.h"
#include "logger/derived/speedalt.h"
#include "logger/logdata/samplestore.h"
#include "logger/logdata/envelope.h"
#include "logger/trend/viewstate.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <utility>

namespace session {

class LogSession : public QObject {
  Q_OBJECT
 public:
  explicit LogSession(QObject* parent = nullptr);

  const logdata::SampleStore& store() const { return store_; }
  // The download and the raw-image road fill it in place; they then call samplesReplaced().
  logdata::SampleStore& store() { return store_; }
  const common::ChannelConfiguration& config() const { return config_; }
  // The configuration editor and the log's own configuration change it in place.
  common::ChannelConfiguration& config() { return config_; }
  trend::ViewState& view() { return view_; }
  const trend::ViewState& view() const { return view_; }
  // The log file the samples came from (the file dialog's name).
  const QString& fileName() const { return fileName_; }
  // A log was opened and is not deleted.
  bool loaded() const { return loaded_; }
  // Set by Delete until the next log: the samples stay in memory, but nothing of them
  // may be drawn or read out again.
  bool deleted() const { return deleted_; }

  // The min/max envelope of channel index i (0..11), made once per fill on first use.
  const trend::Envelope* envelope(int index);
  // Channel index i's raw row as a series.
  trend::SeriesView rawSeries(int index) const;

  // What channels 5 and 6 show. The table is filled by computeDerived(); tests may fill
  // it themselves.
  derived::DerivedDisplay derivedDisplay() const { return {&derived_, view_.SpeedAlt, view_.SpeedUnit}; }
  const derived::DerivedTable& derivedTable() const { return derived_; }
  derived::DerivedTable& derivedTable() { return derived_; }
  // The compensation dialog's choices.
  derived::Compensation& compensation() { return compensation_; }

  // ---- Changes

  // Reads a .dlg into the store and applies the log's configuration from `cfgDir`. On a
  // read failure nothing changes. The caller then calls opened().
  struct ReadOutcome {
    bool read = false;
    QString readError;    // why the file was refused
    QString warning;      // config.cfg stood in for the log's own configuration
    QString configError;  // no configuration could be read: the one in use stays
  };
  ReadOutcome readLog(const QString& path, const QString& cfgDir);
  // The store was filled behind the session (a download, a raw image): the envelopes
  // and the derived table belong to the old samples.
  void samplesReplaced();
  // The store holds the log of `fileName`: loaded, the cursor, read-out candidates and
  // "Speed / Alt" start afresh. Says replaced().
  void opened(const QString& fileName);
  // The log's file was deleted. Says replaced().
  void markDeleted();

  // "Speed / Alt" ticked with both zero levels set: takes any missing second reading,
  // computes the table and shows it. Says derivedChanged().
  void showDerived();
  // Unticked, or the log replaced. Says derivedChanged().
  void hideDerived();
  // The next unit of the unit setting while "Speed / Alt" is ticked. Says derivedChanged().
  void nextSpeedUnit();

  // The measurement markers A and B, shared by every window; a new or deleted log has
  // none. Setting one says markersChanged().
  enum class Marker { A, B };
  std::optional<qint32> marker(Marker which) const { return markers_[which == Marker::A ? 0 : 1]; }
  void setMarker(Marker which, qint32 sample);
  // Both set: the samples from the smaller to the larger.
  std::optional<std::pair<qint32, qint32>> markedRange() const;

 signals:
  void replaced();
  void derivedChanged();
  void markersChanged();

 private:
  logdata::SampleStore store_;
  common::ChannelConfiguration config_;
  trend::ViewState view_;
  std::array<trend::Envelope, common::kChannelCount> envelopes_;
  derived::DerivedTable derived_;
  derived::Compensation compensation_;
  QString fileName_;
  bool loaded_ = false;
  bool deleted_ = false;
  std::array<std::optional<qint32>, 2> markers_{};
};

}  // namespace session
