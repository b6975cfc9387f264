#include "logger/scope/ui/scopewindows.h"

#include "logger/scope/ui/scopewindow.h"

namespace scope {

ScopeWindows::ScopeWindows(session::LogSession& session, common::Prompt& prompt, QString programDir)
    : session_(session), prompt_(prompt), programDir_(std::move(programDir)) {
  // A load or a delete: every scope drops its read-outs and shows what is there now.
  connect(&session, &session::LogSession::replaced, this, &ScopeWindows::logReplaced);
}

ScopeWindows::~ScopeWindows() {
  for (const QPointer<ScopeWindow>& w : windows_) delete w.data();
}

ScopeWindow* ScopeWindows::open() {
  // Top-level windows of their own, not children of the main window: a child would be
  // kept above it by the window manager, and the scopes are meant to sit side by side.
  auto* w = new ScopeWindow(*this);
  w->setAttribute(Qt::WA_DeleteOnClose);
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const auto& p) { return p.isNull(); }),
                 windows_.end());
  windows_.emplace_back(w);
  w->show();
  return w;
}

void ScopeWindows::closeAll() {
  for (const QPointer<ScopeWindow>& w : windows_)
    if (w) w->close();
}

void ScopeWindows::logReplaced() {
  for (ScopeWindow* w : windows()) w->logReplaced();
}

std::vector<ScopeWindow*> ScopeWindows::windows() const {
  std::vector<ScopeWindow*> open;
  for (const QPointer<ScopeWindow>& w : windows_)
    if (w) open.push_back(w.data());
  return open;
}

}  // namespace scope
