#pragma once
// CSVExp ("CSV Export") and Crop_dat ("Crop"): modeless windows with a Start and an
// End box, checked on every change, and a button that writes the range.
#include "common/channelconfig.h"
#include "common/prompt.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace session {
class LogSession;
}

namespace logexport {

class RangeWindow : public QWidget {
  Q_OBJECT
 public:
  // Puts the trend view's window into the boxes; the checks run as for typed text.
  void preset(qint32 start, qint32 end);

 protected:
  RangeWindow(const QString& objectName, const QString& caption, const QString& okCaption, common::Prompt& prompt,
              const session::LogSession& session, QString programDir, QWidget* parent);
  // The button's command; the window closes itself when it is done.
  virtual void onOk() = 0;
  qint32 startValue() const;
  qint32 endValue() const;
  // Start after End: says so with `text` and returns true.
  bool refuseReversedRange(const QString& text);
  // The program's sub-folder, created when missing and made current as the save
  // dialog's folder.
  QString programFolder(const QString& sub) const;

  common::Prompt& prompt_;
  const session::LogSession& session_;

 private:
  void onStartChanged();
  void onEndChanged();
  QString programDir_;
  QLineEdit* startBox_;
  QLineEdit* endBox_;
};

class CsvExportWindow : public RangeWindow {
  Q_OBJECT
 public:
  CsvExportWindow(common::Prompt& prompt, const session::LogSession& session, QString programDir,
                  QWidget* parent = nullptr);

 private:
  void onOk() override;
  QCheckBox* units_;  // "Engineering units": the analysis CSV instead of the raw one
};

class CropWindow : public RangeWindow {
  Q_OBJECT
 public:
  CropWindow(common::Prompt& prompt, const session::LogSession& session, QString programDir,
             QWidget* parent = nullptr);

 private:
  void onOk() override;
};

}  // namespace logexport
