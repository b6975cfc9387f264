#include "logger/scope/ui/scopeprinter.h"

#include "common/messages.h"
#include "common/prompt.h"
#include "common/savename.h"
#include "common/ui/colour.h"
#include "logger/scope/scopemessages.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace scope {
namespace {

// Pens and text sizes in twips: 8-point texts (the marker position and "Samples" stand
// 0.06 of the page width apart), lines of about 0.1 to 0.5 mm.
constexpr double kTextTwips = 160;
constexpr double kTracePen = 6;
constexpr double kBoxPen = 10;
constexpr double kLegendPen = 30;

}  // namespace

void PaintPage(QPainter& p, const PrintPage& page) {
  // At least one device pixel, so that a coarse device still shows every line.
  const double pixel = p.transform().m11() > 0 ? 1.0 / p.transform().m11() : 0;
  auto pen = [pixel](qint32 bgr, double twips) {
    return QPen(common::ColourFromBgr(bgr), std::max(twips, pixel), Qt::SolidLine, Qt::FlatCap);
  };
  p.save();
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(int(kTextTwips));
  p.setFont(font);
  p.setPen(QPen(Qt::black, 0));
  for (const PageText& t : page.texts)
    p.drawText(QRectF(t.at, QSizeF(page.width, 2 * kTextTwips)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               t.text);
  p.setPen(pen(0, kBoxPen));
  p.setBrush(Qt::NoBrush);
  p.drawRect(page.plot);
  for (const PageLine& l : page.lines) {
    const bool legend = l.line.dy() == 0;
    p.setPen(pen(l.colour, legend ? kLegendPen : kBoxPen));
    if (!legend) p.setClipRect(page.plot);
    p.drawLine(l.line);
    p.setClipping(false);
  }
  p.setClipRect(page.plot);
  for (std::size_t t = 0; t < 2; ++t) {
    const trend::TraceGeometry& g = page.traces[t];
    p.setPen(pen(page.colours[t], kTracePen));
    if (g.bars)
      p.drawLines(g.barLines.data(), int(g.barLines.size()));
    else if (g.polyline.size() > 1)
      p.drawPolyline(g.polyline.data(), int(g.polyline.size()));
  }
  p.restore();
}

PrintOutcome PrintPageTo(const QPrinterInfo& info, const QString& pdfFolder, common::Prompt& prompt,
                         const PageComposer& compose) {
  QString pdf;
  std::unique_ptr<QPrinter> printer;
  std::unique_ptr<QTemporaryFile> temp;
  if (info.isNull()) {
    // ".pdf" is added to a name without it, by the save dialog itself.
    pdf = common::AskSaveName(prompt, msg::kFilterPdf, pdfFolder);
    if (pdf.isEmpty()) return PrintOutcome::Cancelled;
    temp = std::make_unique<QTemporaryFile>(QFileInfo(pdf).absoluteDir().filePath(QStringLiteral("print-XXXXXX.tmp")));
    if (!temp->open()) {
      prompt.message(common::msg::kTitleError, common::msg::FileNotWritten(pdf), common::PromptIcon::Exclamation);
      return PrintOutcome::Failed;
    }
    temp->close();
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(temp->fileName());
  } else {
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  printer->setDocName(QStringLiteral("Scope"));

  common::BusyScope busy(prompt);
  QPainter painter;
  bool ok = painter.begin(printer.get());
  if (ok) {
    // The page's scale is the printable area in twips, as the layout's fractions expect.
    const QRectF inches = printer->pageRect(QPrinter::Inch);
    const double dpi = printer->resolution();
    painter.scale(dpi / 1440.0, dpi / 1440.0);
    PaintPage(painter, compose(inches.width() * 1440.0, inches.height() * 1440.0));
    ok = painter.end();
  }
  if (ok && !pdf.isEmpty()) {
    // QTemporaryFile makes its file private; the page gets the permissions of the file
    // it replaces, or those a file newly created here would get.
    const QByteArray target = QFile::encodeName(pdf);
    struct stat old {};
    if (::stat(target.constData(), &old) == 0) {
      ::chmod(QFile::encodeName(temp->fileName()).constData(), old.st_mode & 07777);
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::chmod(QFile::encodeName(temp->fileName()).constData(), 0666 & ~mask);
    }
    // rename(2) replaces the target in one step; QFile::rename would refuse an existing one.
    ok = std::rename(QFile::encodeName(temp->fileName()).constData(), QFile::encodeName(pdf).constData()) == 0;
    if (ok) temp->setAutoRemove(false);
  }
  if (!ok) {
    prompt.setBusy(false);
    prompt.message(common::msg::kTitleError,
                   pdf.isEmpty() ? msg::NotPrinted(info.printerName()) : common::msg::FileNotWritten(pdf),
                   common::PromptIcon::Exclamation);
    return PrintOutcome::Failed;
  }
  return PrintOutcome::Printed;
}

}  // namespace scope
