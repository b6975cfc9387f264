// The simulator's generated flight, and logger-sim with logtool end to end over a
// pseudo-terminal. (Its packer and framing meet the decoder, which the unpacking tests
// hold to the record layout, in every download test.)
#include "tools/sim/simulator.h"

#include "support/hand_bytes.h"
#include "support/test_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SimFlight, PressuresFollowTheFlight) {
  const sim::GeneratedLog log = sim::GenerateFlight(0x3F, 0, 5, 1, 600);
  ASSERT_EQ(log.sampleCount(), 6000);
  const auto& st = log.samples[sim::kStaticChannel - 1];
  const auto& tot = log.samples[sim::kTotalChannel - 1];
  // Static pressure at cruise (mid-flight) well below the ground value.
  EXPECT_LT(st[3500] + 300, st[100]);
  for (std::size_t j = 0; j < st.size(); ++j) ASSERT_GE(tot[j], st[j]) << j;
  EXPECT_GT(tot[3500] - st[3500], 100);  // dynamic pressure in cruise
  EXPECT_EQ(tot[10], st[10]);            // standing still
}

TEST(SimMemory, FillingTheMemoryKeepsTheStreamInsideTheReceiveBuffer) {
  sim::Simulator s;
  s.setFillMemory(true);
  const QByteArray stream = sim::FrameStream(s.image());
  EXPECT_LE(stream.size() - 1, sim::Simulator::kMemorySize - 3);
  EXPECT_GT(stream.size() - 1, sim::Simulator::kMemorySize * 0.999);
}

// ---- End to end over a pseudo-terminal ----

QString Program(const QString& name) {
  QString dir = qEnvironmentVariable("VELKARO_PROGRAM_DIR");
  if (dir.isEmpty()) dir = QCoreApplication::applicationDirPath() + "/../program";
  return dir + "/" + name;
}

struct SimProcess {
  QProcess process;
  QString tty;
  explicit SimProcess(const QStringList& args) {
    process.start(Program("logger-sim"), args);
    if (process.waitForStarted(10000) && process.waitForReadyRead(10000))
      tty = QString::fromLocal8Bit(process.readLine()).trimmed();
  }
  ~SimProcess() {
    process.terminate();
    process.waitForFinished(10000);
  }
};

struct ToolRun {
  int code = -1;
  QString out;
};

ToolRun Logtool(const QStringList& args) {
  QProcess p;
  p.start(Program("logtool"), args);
  ToolRun r;
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
  return r;
}

TEST(SimPty, ParamsThenDownloadGivesTheGeneratedSamples) {
  QTemporaryDir dir;
  SimProcess sim({"--pace", "full", "--serial", "777", "--seconds", "120"});
  ASSERT_TRUE(sim.tty.startsWith("/dev/")) << sim.tty.toStdString();

  const ToolRun params = Logtool({"params", "--port", sim.tty, "--channels", "1,2,5,6,11", "--rate", "25"});
  EXPECT_EQ(params.code, 0);
  EXPECT_TRUE(params.out.contains("Parameters stored.")) << params.out.toStdString();

  const QString dlg = dir.filePath("pty.dlg");
  const ToolRun down = Logtool({"download", "--port", sim.tty, "-o", dlg, "--delay", "3"});
  EXPECT_EQ(down.code, 0) << down.out.toStdString();
  EXPECT_TRUE(down.out.contains("Ready"));

  // The same flight, generated here, written out in the .dlg layout by hand.
  const sim::GeneratedLog log = sim::GenerateFlight(0x33, 0x04, 2, 777, 120);
  const QByteArray expected = hand::Dlg(log.sampleCount(), 0x0433, 2, 777, [&](int row, qint32 j) {
    return qint16(log.samples[std::size_t(row)][std::size_t(j)]);
  });
  const QByteArray got = testing_support::FileBytes(dlg);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(SimPty, FaultsReachTheToolsAsTheirMessages) {
  QTemporaryDir dir;
  {
    SimProcess sim({"--pace", "full", "--fault", "even-end-run"});
    ASSERT_FALSE(sim.tty.isEmpty());
    const ToolRun down = Logtool({"download", "--port", sim.tty, "-o", dir.filePath("x.dlg")});
    EXPECT_EQ(down.code, 1);
    EXPECT_TRUE(down.out.contains("Fault!")) << down.out.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("x.dlg")));
  }
  {
    SimProcess sim({"--pace", "full", "--fault", "wrong-echo"});
    const ToolRun params = Logtool({"params", "--port", sim.tty, "--channels", "1", "--rate", "1"});
    EXPECT_EQ(params.code, 1);
    EXPECT_TRUE(params.out.contains("Verify Failed!"));
  }
  {
    SimProcess sim({"--pace", "full", "--comp", "000102030405060708090a0b0c0d0e0f1011121314"});
    const QString fsh = dir.filePath("c.fsh");
    const ToolRun read = Logtool({"compread", "--port", sim.tty, "-o", fsh});
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(testing_support::FileBytes(fsh), QByteArray::fromHex("000102030405060708090a0b0c0d0e0f1011121314"));
  }
  const ToolRun noPort = Logtool({"params", "--port", dir.filePath("missing"), "--channels", "1", "--rate", "1"});
  EXPECT_EQ(noPort.code, 1);
  EXPECT_TRUE(noPort.out.contains("Communication error. Check com port settings."));
}

}  // namespace
