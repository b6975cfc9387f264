// The simulator's generated flight, and logger-sim with logtool end to end over a
// pseudo-terminal.
#include "tools/sim/simulator.h"

#include "common/messages.h"
#include "support/hand_bytes.h"
#include "support/run_tool.h"
#include "support/test_paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

namespace msg = common::msg;

TEST(SimFlight, PressuresFollowTheFlightAndAFullMemoryFitsTheReceiveBuffer) {
  // Static pressure at cruise (mid-flight) well below the ground value; dynamic pressure in
  // cruise, none standing still.
  const sim::GeneratedLog log = sim::GenerateFlight(0x30, 0, 5, 1, 600);
  const auto &st = log.samples[sim::kStaticChannel - 1], &tot = log.samples[sim::kTotalChannel - 1];
  EXPECT_LT(st[3500] + 300, st[100]);
  EXPECT_TRUE(tot[3500] - st[3500] > 100 && tot[10] == st[10]);

  // A memory filled to the last byte still frames inside the receive buffer.
  sim::Simulator s;
  s.setFillMemory(true);
  const QByteArray stream = sim::FrameStream(s.image());
  EXPECT_LE(stream.size() - 1, sim::Simulator::kMemorySize - 3);
  EXPECT_GT(stream.size() - 1, sim::Simulator::kMemorySize * 0.999);
}

QString Program(const char* name) { return qEnvironmentVariable("VELKARO_PROGRAM_DIR") + "/" + name; }

struct SimProcess {
  QProcess process;
  QString tty;
  explicit SimProcess(const QStringList& args) {
    process.start(Program("logger-sim"), args);
    if (process.waitForStarted(10000) && process.waitForReadyRead(10000))
      tty = QString::fromLocal8Bit(process.readLine()).trimmed();
  }
  ~SimProcess() { process.terminate(), process.waitForFinished(10000); }
};

testing_support::ToolOutcome Logtool(const QStringList& args) { return testing_support::RunTool(Program("logtool"), args); }

// A success says so on stdout; a failure is one line on stderr and exit status 1.
bool Says(const testing_support::ToolOutcome& r, const QString& message) {
  return r.status ? r.err.startsWith("logtool: " + message) && r.err.count('\n') == 1 : r.out.contains(message);
}

// Faults switched while the simulator runs: each command meets the file's faults of the
// moment and says so as its message, and an emptied file clears them. The parameters
// stored last then shape the download, which gives the generated flight sample for sample.
TEST(SimPty, TheFaultFileSwitchesFaultsThenDownloadGivesTheGeneratedSamples) {
  QTemporaryDir dir;
  const QString faults = dir.filePath("faults"), out = dir.filePath("x.out"), comp = "000102030405060708090a0b0c0d0e0f1011121314";
  const QStringList params = {"params", "--channels", "1,2,5,6,11", "--rate", "25"};
  const auto none = Logtool({"params", "--port", dir.filePath("missing"), "--channels", "1", "--rate", "1"});
  EXPECT_TRUE(none.status == 1 && Says(none, msg::kCommError)) << none.err.toStdString();
  SimProcess sim({"--pace", "full", "--serial", "777", "--seconds", "120", "--fault-file", faults, "--comp", comp});
  ASSERT_TRUE(sim.tty.startsWith("/dev/")) << sim.tty.toStdString();
  const std::tuple<const char*, QStringList, int, QString> steps[] = {
      {"", params, 0, msg::kParametersStored},          {"wrong-echo", params, 1, msg::kVerifyFailed},
      {"even-end-run", {"download", "-o", out}, 1, msg::kStatusFault}, {"", {"compread", "-o", out}, 0, ""},
      {"", params, 0, msg::kParametersStored}};
  for (const auto& [fault, args, status, message] : steps) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QFile file(faults);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(fault) >= 0);
    file.close();
    const auto r = Logtool(QStringList{args[0], "--port", sim.tty} + args.mid(1));
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(Says(r, message)) << r.err.toStdString();
    // A failed download leaves no file; the compensation table is saved as read.
    if (args.contains("-o")) {
      EXPECT_EQ(testing_support::FileBytes(out), status ? QByteArray() : QByteArray::fromHex(comp.toLatin1()));
    }
  }
  const QString dlg = dir.filePath("pty.dlg");
  const auto down = Logtool({"download", "--port", sim.tty, "-o", dlg, "--delay", "3"});
  EXPECT_EQ(down.status, 0) << down.out.toStdString();
  EXPECT_TRUE(down.out.contains(msg::kStatusReady));

  // The same flight, generated here, written out in the .dlg layout by hand.
  const sim::GeneratedLog log = sim::GenerateFlight(0x33, 0x04, 2, 777, 120);
  const QByteArray expected = hand::Dlg(log.sampleCount(), 0x0433, 2, 777, [&](int row, qint32 j) {
    return qint16(log.samples[std::size_t(row)][std::size_t(j)]);
  });
  EXPECT_TRUE(testing_support::FileBytes(dlg) == expected);
}

}  // namespace
