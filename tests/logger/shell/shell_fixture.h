#pragma once
// A main window over a fresh program directory, its port 1 on the in-process simulator.
#include "common/settings.h"
#include "logger/shell/mainwindow.h"
#include "support/fake_prompt.h"
#include "support/on_modal.h"
#include "support/test_paths.h"
#include "tools/sim/simchannel.h"
#include "tools/sim/simulator.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace shelltest {

using testing_support::OnModal;

inline void PutLe(QByteArray& b, qint64 v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// A .dlg written byte by byte from its layout: count, mask, code, serial, then
// rows 0..11 of each sample as little-endian 16-bit values.
inline QByteArray DlgBytes(qint32 count, quint16 mask, quint8 code, qint32 serial,
                           const std::function<qint16(int row, int j)>& value) {
  QByteArray b;
  PutLe(b, count, 4);
  PutLe(b, mask, 2);
  PutLe(b, code, 1);
  PutLe(b, serial, 4);
  for (int j = 0; j < count; ++j)
    for (int row = 0; row < 12; ++row) PutLe(b, ((mask >> row) & 1) ? value(row, j) : 0, 2);
  return b;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes)) << path.toStdString();
}

class ShellTest : public ::testing::Test {
 protected:
  // Settings with port `port`, and a port map naming port 1 for the simulator.
  void writeStartupFiles(int port) {
    common::Settings s;
    s.PortNumber = quint8(port);
    QString e;
    ASSERT_TRUE(common::WriteSettings(dir.file("cfg/init.prm"), s, &e)) << e.toStdString();
    common::ChannelConfiguration c;
    for (int i = 0; i < 12; ++i) {
      c.channel[std::size_t(i)].Name = QStringLiteral("Ch%1").arg(i + 1);
      c.channel[std::size_t(i)].Unit = QStringLiteral("u%1").arg(i + 1);
      c.channel[std::size_t(i)].Max = common::FullScale(i + 1);
      c.channel[std::size_t(i)].WinHight = 4095;
    }
    ASSERT_TRUE(common::WriteConfigFile(dir.file("cfg/config.cfg"), c, &e)) << e.toStdString();
    common::PortMap map;
    map.path[1] = QStringLiteral("sim");
    ASSERT_TRUE(common::WritePortMap(common::PortMapPathBeside(dir.file("cfg/init.prm")), map, &e));
  }

  void makeWindow() {
    auto factory = [this](int, const QString&) {
      auto ch = std::make_unique<sim::SimChannel>(simulator);
      ch->setOpenFails(openFails);
      channel = ch.get();
      return std::unique_ptr<common::ByteChannel>(std::move(ch));
    };
    window = std::make_unique<shell::MainWindow>(prompt, dir.path(), factory,
                                                 common::LinkTimings{}.scaled(0.02));
  }

  template <typename T>
  T* find(const QString& name) {
    T* w = window->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  sim::Simulator simulator;
  sim::SimChannel* channel = nullptr;
  bool openFails = false;
  std::unique_ptr<shell::MainWindow> window;
};

}  // namespace shelltest
