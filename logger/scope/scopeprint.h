#pragma once
// The printout of a scope window: one page laid out in fractions of the page, in the
// page's own scale (twips), composed here and painted by the window's printer.
#include "logger/scope/scopeview.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

namespace scope {

struct PageText {
  QPointF at;  // top left corner of the text, twips
  QString text;
};

struct PageLine {
  QLineF line;
  qint32 colour = 0;  // 0x00BBGGRR
};

struct PrintPage {
  double width = 0;   // W, twips
  double height = 0;  // H, twips
  std::vector<PageText> texts;
  std::vector<PageLine> lines;  // the legend lines and the marker line
  QRectF plot;                  // the box around the traces
  std::array<trend::TraceGeometry, 2> traces;
  std::array<qint32, 2> colours{};
  bool marker = false;
};

// The page for the two traces over the shared view window on a page of W x H twips,
// with the marker if one is set. Traces of channels not shown in the main window are
// left out; their labels are printed all the same.
PrintPage ComposePage(session::LogSession& sources, const TraceSettings& traces, const Marker& marker, double width,
                      double height);

}  // namespace scope
