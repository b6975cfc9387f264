#pragma once
// A main window over a fresh program directory, its port 1 on the in-process simulator,
// and the gestures the shell suites drive it with.
#include "common/messages.h"
#include "common/settings.h"
#include "logger/scope/ui/scopewindow.h"
#include "logger/scope/ui/scopewindows.h"
#include "logger/shell/mainwindow.h"
#include "logger/trend/ui/picturebox.h"
#include "support/fake_prompt.h"
#include "support/hand_bytes.h"
#include "support/on_modal.h"
#include "support/test_paths.h"
#include "tools/sim/simchannel.h"
#include "tools/sim/simulator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace shelltest {

using testing_support::OnModal;
namespace msg = common::msg;

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes)) << path.toStdString();
}

class ShellTest : public ::testing::Test {
 protected:
  // Settings with port `port`, and a port map naming port 1 for the simulator.
  void writeStartupFiles(int port) {
    common::Settings s;
    s.PortNumber = quint8(port);
    WriteFile(dir.file("cfg/init.prm"), hand::Prm(s));
    common::ChannelConfiguration c;
    for (int i = 0; i < 12; ++i)
      c.channel[std::size_t(i)] = {QStringLiteral("Ch%1").arg(i + 1), 0, double(common::FullScale(i + 1)),
                                   QStringLiteral("u%1").arg(i + 1), 4095};
    WriteFile(dir.file("cfg/config.cfg"), hand::Cfg(c));
    WriteFile(dir.file("cfg/ports.txt"), "1=sim\n");
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

  // Big enough for every control, shown and exposed.
  void showWindow() {
    window->resize(1100, 760);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  scope::ScopeWindow* openScope() {
    click("cmdNewScreen");
    scope::ScopeWindow* s = window->scopes().windows().back();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(s));
    return s;
  }

  template <typename T>
  T* find(const QString& name) {
    T* w = window->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  void trigger(const QString& action) { find<QAction>(action)->trigger(); }
  void click(const QString& button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
  // On the box itself, as a user ticks it.
  void tick(const QString& box) {
    auto* b = find<QCheckBox>(box);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  QString text(const QString& box) { return find<QLineEdit>(box)->text(); }
  void load(const QString& path) {
    prompt.files.push_back(path);
    trigger("mnuload");
  }
  static void press(QWidget* w, int px, Qt::MouseButton b, Qt::KeyboardModifiers m = {}) {
    QTest::mousePress(w, b, m, QPoint(px, w->height() / 2));
  }
  static void mouseMove(QWidget* w, int px, Qt::MouseButtons buttons = Qt::NoButton) {
    const QPoint pos(px, w->height() / 2);
    QMouseEvent me(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &me);
  }
  // Runs the event loop until `done` holds; the cap only keeps a broken test from hanging.
  static bool waitFor(const std::function<bool()>& done, int capMs = 30000) {
    for (int waited = 0; !done(); waited += 5) {
      if (waited > capMs) return false;
      QTest::qWait(5);
    }
    return true;
  }

  testing_support::ProgramDir dir;
  testing_support::FakePrompt prompt;
  sim::Simulator simulator;
  sim::SimChannel* channel = nullptr;
  bool openFails = false;
  std::unique_ptr<shell::MainWindow> window;
};

}  // namespace shelltest
