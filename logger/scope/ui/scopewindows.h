#pragma once
// The main window's list of open scope windows and what they share: the program's
// sources, the prompt, the program folder, the print marker and the printer choice.
#include "logger/scope/scopeview.h"

#include <QObject>
#include <QPointer>
#include <QPrinterInfo>
#include <functional>
#include <vector>

namespace common {
class Prompt;
}

namespace scope {

class ScopeWindow;

class ScopeWindows : public QObject {
  Q_OBJECT
 public:
  ScopeWindows(session::LogSession& session, common::Prompt& prompt, QString programDir);
  // Closes every scope still open: they read state the owner is about to drop.
  ~ScopeWindows() override;

  // "New Scope": a new, independent window, shown without blocking; the list grows by one.
  ScopeWindow* open();
  // The main window closes: every scope goes with it.
  void closeAll();
  // A log was loaded or deleted.
  void logReplaced();
  // The windows still open, oldest first.
  std::vector<ScopeWindow*> windows() const;

  session::LogSession& session() const { return session_; }
  common::Prompt& prompt() const { return prompt_; }
  QString programDir() const { return programDir_; }

  // Set by a click on any scope picture, used and cleared by the next printout.
  Marker marker;
  // The printer a printout goes to; a null printer means none, and the page goes to a
  // PDF file. Tests replace it so that nothing reaches a real printer.
  std::function<QPrinterInfo()> defaultPrinter = [] { return QPrinterInfo::defaultPrinter(); };

 private:
  session::LogSession& session_;
  common::Prompt& prompt_;
  QString programDir_;
  std::vector<QPointer<ScopeWindow>> windows_;
};

}  // namespace scope
