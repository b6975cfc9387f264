// The simulator's own packer and framing, checked against bytes written by hand from
// the record layout; and logger-sim with logtool end to end over a pseudo-terminal.
#include "tools/sim/simulator.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(char(v));
  return b;
}

sim::GeneratedLog TwoSamples(quint8 low, quint8 high) {
  sim::GeneratedLog log;
  log.maskLow = low;
  log.maskHigh = high;
  log.freqCode = 50;
  log.serialNumber = 0x0A0B0C;
  for (int c = 1; c <= 12; ++c)
    if (log.logged(c)) log.samples[std::size_t(c - 1)] = {quint16(c <= 10 ? 0x100 * c + 0x21 : 0x30 + c),
                                                          quint16(c <= 10 ? 0x100 * c + 0x65 : 0x50 + c)};
  return log;
}

TEST(SimPacker, TwoTwelveBitChannelsNewestRecordFirst) {
  const QByteArray image = sim::PackImage(TwoSamples(0x03, 0));
  // Two samples need three records of 3 bytes; record i holds column 2 - i.
  const QByteArray expected = Bytes({0, 0, 0, 0, 0x03, 0x00, 50, 0x0C, 0x0B, 0x0A,
                                     0x21, 0x65, 0x65,   // record 1: column 1 (ch1 0x165, ch2 0x265)
                                     0x21, 0x21, 0x21,   // record 2: column 0 (ch1 0x121, ch2 0x221)
                                     0x21, 0x21, 0x21,   // record 3: not decoded
                                     0xF0, 0xFF});
  EXPECT_EQ(image, expected);
}

TEST(SimPacker, OddTwelveBitCountAndEightBitChannels) {
  // Channels 1, 2, 3, 11, 12: R = 5, record length 7. Byte order inside a record:
  // ch12, ch11, [ch3 high nibble], ch3 low, [ch1|ch2 high nibbles], ch2 low, ch1 low.
  const QByteArray image = sim::PackImage(TwoSamples(0x07, 0x0C));
  ASSERT_EQ(sim::RecordLength(0x07, 0x0C), 7);
  ASSERT_EQ(image.size(), 10 + 3 * 7 + 2);
  EXPECT_EQ(image.mid(10, 7), Bytes({0x5C, 0x5B, 0x03, 0x65, 0x21, 0x65, 0x65}));
  EXPECT_EQ(image.mid(17, 7), Bytes({0x3C, 0x3B, 0x03, 0x21, 0x21, 0x21, 0x21}));
  // A single 12-bit channel: high part whole in the byte before the low byte.
  const QByteArray one = sim::PackImage(TwoSamples(0x01, 0));
  EXPECT_EQ(one.mid(10, 2), Bytes({0x01, 0x65}));
}

TEST(SimPacker, FramingStuffsEveryF0AndKeepsTheEndMarkSingle) {
  const QByteArray image = Bytes({9, 9, 9, 9, 0xF0, 0x01, 0xF0, 0xF0, 0xFF, 0xF0, 0xFF});
  EXPECT_EQ(sim::FrameStream(image), Bytes({0xFF, 0xF0, 0xF0, 0x01, 0xF0, 0xF0, 0xF0, 0xF0, 0xFF, 0xF0, 0xFF}));
  std::array<int, 12> raw{};
  raw[0] = 0x0FF0;
  const QByteArray frame = sim::LiveFrameBytes(raw, 0x0102, 12345);
  EXPECT_EQ(frame.left(4), Bytes({0xFF, 0x0F, 0xF0, 0xF0}));
  EXPECT_EQ(frame.right(7), Bytes({0x01, 0x02, 0x39, 0x30, 0x00, 0xF0, 0xFF}));
  EXPECT_EQ(frame.size(), 1 + 27 + 1 + 2);
}

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
  QByteArray expected;
  QDataStream s(&expected, QIODevice::WriteOnly);
  s.setByteOrder(QDataStream::LittleEndian);
  s << qint32(log.sampleCount()) << quint16(0x0433) << quint8(2) << qint32(777);
  for (qint32 j = 0; j < log.sampleCount(); ++j)
    for (int c = 1; c <= 12; ++c) s << qint16(log.logged(c) ? log.samples[std::size_t(c - 1)][std::size_t(j)] : 0);
  QFile f(dlg);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray got = f.readAll();
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
    QFile f(fsh);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray::fromHex("000102030405060708090a0b0c0d0e0f1011121314"));
  }
  const ToolRun noPort = Logtool({"params", "--port", dir.filePath("missing"), "--channels", "1", "--rate", "1"});
  EXPECT_EQ(noPort.code, 1);
  EXPECT_TRUE(noPort.out.contains("Communication error. Check com port settings."));
}

}  // namespace
