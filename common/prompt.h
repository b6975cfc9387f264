#pragma once
// Every message box, file dialog, colour dialog and the hourglass go through this
// interface: the programs show real dialogs, tests install a scripted fake.
#include <QString>
#include <cstdint>
#include <optional>

namespace common {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompt {
 public:
  virtual ~Prompt() = default;
  virtual PromptAnswer message(const QString& title, const QString& text, PromptIcon icon,
                               PromptButtons buttons = PromptButtons::Ok) = 0;
  // Filters are written as "dlg files (*.dlg)|*.dlg". An empty result means cancelled.
  virtual QString openFile(const QString& filter, const QString& folder) = 0;
  virtual QString saveFile(const QString& filter, const QString& folder) = 0;
  // Colours are 0x00BBGGRR; nullopt when the dialog is cancelled.
  virtual std::optional<qint32> chooseColour(qint32 initial) = 0;
  // The hourglass. Not counted: the last call wins, as with a single pointer property.
  virtual void setBusy(bool busy) = 0;
  virtual void beep() = 0;
};

// The name a save dialog hands back, with the extension of the filter's first pattern
// ("dlg files (*.dlg)|*.dlg" -> ".dlg") added unless the name already ends in one of the
// filter's patterns (letter case aside). A name that only has some other dot in it
// ("flight 12.5") gets the extension too: the open dialog lists only the filter's files.
// Every Prompt's saveFile returns its answer through this, so that the overwrite
// question, asked afterwards by the caller, names the file that will be written.
QString WithFilterExtension(const QString& name, const QString& filter);

// Restores the normal pointer on every path out of a scope.
class BusyScope {
 public:
  explicit BusyScope(Prompt& prompt) : prompt_(prompt) { prompt_.setBusy(true); }
  ~BusyScope() { prompt_.setBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Prompt& prompt_;
};

}  // namespace common
