#pragma once
// Puts a composed scope page on paper or into a PDF file.
#include "logger/scope/scopeprint.h"

#include <QString>
#include <functional>

class QPainter;
class QPrinterInfo;

namespace common {
class Prompt;
}

namespace scope {

// Paints the page on a painter whose user space is the page in twips. The traces and
// the marker line are clipped to the plot box (the screen's picture clips them too).
void PaintPage(QPainter& painter, const PrintPage& page);

enum class PrintOutcome { Printed, Cancelled, Failed };

// The page for the given page size (twips), composed when the printer is known.
using PageComposer = std::function<PrintPage(double width, double height)>;

// To `printer` when it is not null; otherwise to the PDF file the user names in
// `pdfFolder` (written to a temporary file first, so a failed print leaves an old file
// whole). A failure is reported through the prompt.
PrintOutcome PrintPageTo(const QPrinterInfo& printer, const QString& pdfFolder, common::Prompt& prompt,
                         const PageComposer& compose);

}  // namespace scope
