#pragma once
// The About box of both programs: the program's name, large, and OK.
#include <QDialog>

namespace common {

class AboutBox : public QDialog {
 public:
  // `formName` is the form's objectName ("AboutLog", "AboutMet").
  AboutBox(const QString& formName, const QString& programName, QWidget* parent = nullptr);
};

}  // namespace common
