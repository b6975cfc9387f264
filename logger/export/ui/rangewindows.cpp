#include "logger/export/ui/rangewindows.h"

#include "common/messages.h"
#include "common/savename.h"
#include "logger/export/crop.h"
#include "logger/export/csv.h"
#include "logger/export/range.h"
#include "logger/logdata/samplestore.h"
#include "logger/session/logsession.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace logexport {

namespace msg = common::msg;

namespace {

// One file under two spellings (relative, "..", a link) is still the same file.
bool SameFile(const QString& a, const QString& b) {
  const QFileInfo fa(a), fb(b);
  if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
  return fa.absoluteFilePath() == fb.absoluteFilePath();
}

}  // namespace

RangeWindow::RangeWindow(const QString& objectName, const QString& caption, const QString& okCaption,
                         common::Prompt& prompt, const session::LogSession& session, QString programDir,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), prompt_(prompt), session_(session), programDir_(std::move(programDir)) {
  setObjectName(objectName);
  setWindowTitle(caption);
  setAttribute(Qt::WA_DeleteOnClose);
  startBox_ = new QLineEdit(this);
  startBox_->setObjectName(QStringLiteral("Text1"));
  endBox_ = new QLineEdit(this);
  endBox_->setObjectName(QStringLiteral("Text2"));
  auto* ok = new QPushButton(okCaption, this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Start sample"), this), 0, 0);
  grid->addWidget(startBox_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("End sample"), this), 1, 0);
  grid->addWidget(endBox_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  // Row 2 is left to a window's own options.
  grid->addLayout(buttons, 3, 0, 1, 2);

  // Every change is checked, the program's own included, as the boxes' rules say.
  connect(startBox_, &QLineEdit::textChanged, this, &RangeWindow::onStartChanged);
  connect(endBox_, &QLineEdit::textChanged, this, &RangeWindow::onEndChanged);
  connect(ok, &QPushButton::clicked, this, [this] { onOk(); });
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void RangeWindow::preset(qint32 start, qint32 end) {
  startBox_->setText(QString::number(start));
  endBox_->setText(QString::number(end));
}

void RangeWindow::onStartChanged() {
  const BoxCheck c = CheckStartText(startBox_->text(), RangeLimit(session_.store()));
  if (c.refused) prompt_.message(msg::kTitleErrorBang, msg::kNonNumericStart, common::PromptIcon::None);
  if (c.text != startBox_->text()) startBox_->setText(c.text);
}

void RangeWindow::onEndChanged() {
  const BoxCheck c = CheckEndText(endBox_->text(), RangeLimit(session_.store()));
  if (c.refused) prompt_.message(msg::kTitleErrorBang, msg::kNonNumericStop, common::PromptIcon::None);
  if (c.text != endBox_->text()) endBox_->setText(c.text);
}

qint32 RangeWindow::startValue() const { return BoxValue(startBox_->text()); }
qint32 RangeWindow::endValue() const { return BoxValue(endBox_->text()); }

bool RangeWindow::refuseReversedRange(const QString& text) {
  if (startValue() <= endValue()) return false;
  prompt_.message(msg::kTitleErrorBang, text, common::PromptIcon::Exclamation);
  return true;
}

QString RangeWindow::programFolder(const QString& sub) const {
  const QString folder = QDir(programDir_).filePath(sub);
  QDir().mkpath(folder);
  QDir::setCurrent(folder);
  return folder;
}

CsvExportWindow::CsvExportWindow(common::Prompt& prompt, const session::LogSession& session, QString programDir,
                                 QWidget* parent)
    : RangeWindow(QStringLiteral("CSVExp"), QStringLiteral("CSV Export"), QStringLiteral("Export"), prompt, session,
                  std::move(programDir), parent) {
  units_ = new QCheckBox(QStringLiteral("Engineering units"), this);
  units_->setObjectName(QStringLiteral("EngUnits"));
  static_cast<QGridLayout*>(layout())->addWidget(units_, 2, 0, 1, 2);
}

// A file that cannot be written keeps the window open, so that another name can be
// tried without typing the range again.
void CsvExportWindow::onOk() {
  if (refuseReversedRange(msg::kExportStartAfterEnd)) return;
  const QString name = common::AskSaveName(prompt_, msg::kFilterCsv, programFolder(QStringLiteral("cap")));
  if (name.isEmpty()) return;
  QString error;
  bool written = false;
  {
    common::BusyScope busy(prompt_);
    written = units_->isChecked()
                  ? WriteEngineeringCsv(name, session_.store(), session_.config(), startValue(), endValue(), &error)
                  : WriteCsv(name, session_.fileName(), session_.store(), session_.config(), startValue(), endValue(),
                             &error);
  }
  if (!written) {
    prompt_.message(msg::kTitleError, error, common::PromptIcon::Exclamation);
    return;
  }
  close();
}

CropWindow::CropWindow(common::Prompt& prompt, const session::LogSession& session, QString programDir,
                       QWidget* parent)
    : RangeWindow(QStringLiteral("Crop_dat"), QStringLiteral("Crop"), QStringLiteral("Crop"), prompt, session,
                  std::move(programDir), parent) {}

void CropWindow::onOk() {
  if (refuseReversedRange(msg::kCropStartAfterEnd)) return;
  const QString open = session_.fileName();
  const QString name =
      common::AskSaveName(prompt_, msg::kFilterDlg, programFolder(QStringLiteral("dlg")), [&](const QString& chosen) {
        return !open.isEmpty() && SameFile(chosen, open) ? msg::CropOntoOpenLog(chosen) : QString();
      });
  if (name.isEmpty()) return;
  QString error;
  bool written = false;
  {
    common::BusyScope busy(prompt_);
    written = WriteCroppedLog(name, session_.store(), startValue(), endValue(), &error);
  }
  if (!written) {
    prompt_.message(msg::kTitleError, error, common::PromptIcon::Exclamation);
    return;
  }
  close();
}

}  // namespace logexport
