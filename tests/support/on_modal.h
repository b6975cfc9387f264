#pragma once
// Acting on a modal dialog from a test: its exec() runs its own event loop, so the action is queued
// before the dialog is opened.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace testing_support {

// Runs `act` on the next modal dialog called `name` as soon as it is shown.
inline void OnModal(const QString& name, std::function<void(QWidget*)> act, int tries = 200) {
  QTimer::singleShot(5, [name, act, tries] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->objectName() == name) {
      act(w);
    } else if (tries > 0) {
      OnModal(name, act, tries - 1);
    } else {
      ADD_FAILURE() << "no modal dialog " << name.toStdString();
      if (w) w->close();
    }
  });
}

}  // namespace testing_support
