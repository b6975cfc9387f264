#pragma once
// The scope window's own texts, each written once; the shared ones ("No data!",
// "Samples", "Seconds", the overwrite question) are in common/messages.h.
#include <QString>

namespace scope::msg {

inline const QString kCaptionScope = QStringLiteral("Scope");
inline const QString kCaptionScale = QStringLiteral("Scale");
inline const QString kCaptionBias = QStringLiteral("Bias");
inline const QString kCaptionShowLevel = QStringLiteral("Show level lines");
inline const QString kCaptionZoomBack = QStringLiteral("Zoom Back");
inline const QString kMenuPrint = QStringLiteral("&Print");
// The printout's heading.
inline const QString kPrintHeading = QStringLiteral("Scale trend print");
// Where the system has no default printer the page goes to a PDF file in cap/.
inline const QString kFilterPdf = QStringLiteral("pdf files (*.pdf)|*.pdf");
// The system's printer refused the page.
inline QString NotPrinted(const QString& printer) {
  return QStringLiteral("The page could not be printed on '") + printer + QStringLiteral("'.");
}

}  // namespace scope::msg
