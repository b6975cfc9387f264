#pragma once
// The link suites' rig: a link on the in-process simulator, and a wait that runs the event loop.
#include "common/commands.h"
#include "common/link.h"
#include "tools/sim/simchannel.h"
#include "tools/sim/simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace link_test {

// Runs the event loop until `done` holds; the cap, far above a passing run's needs, only keeps a
// broken test from hanging.
inline bool WaitFor(const std::function<bool()>& done, int capMs = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > capMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

// Every interval at a fiftieth: the order of events is what the tests check.
inline common::LinkTimings FastTimings() { return common::LinkTimings{}.scaled(0.02); }

struct SimRig {
  sim::Simulator simulator;
  sim::SimChannel channel{simulator};
  common::Link link;
  common::Commands commands{link};
  std::vector<common::LinkResult> results;

  explicit SimRig(const common::LinkTimings& timings = FastTimings()) : link(channel, timings) {
    simulator.setFlightSeconds(60);
    QObject::connect(&link, &common::Link::finished, [this](const common::LinkResult& r) { results.push_back(r); });
  }
  // Bytes handed in one at a time, as the port does.
  void feed(const QByteArray& bytes) {
    for (char c : bytes) link.receiveByte(std::uint8_t(c));
  }
  bool waitOutcome(std::size_t count = 1) {
    return WaitFor([&] { return results.size() >= count; });
  }
  std::vector<common::LinkOutcome> outcomes() const {
    std::vector<common::LinkOutcome> o;
    for (const common::LinkResult& r : results) o.push_back(r.outcome);
    return o;
  }
};

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(char(v));
  return b;
}

}  // namespace link_test
