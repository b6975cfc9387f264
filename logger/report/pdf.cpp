#include "logger/report/pdf.h"

#include "common/messages.h"
#include "common/prompt.h"
#include "common/savename.h"
#include "logger/logdata/logconfig.h"
#include "logger/report/messages.h"
#include "logger/scope/scopemessages.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace report {

namespace {

// Pens in twips: about 0.1 mm for traces and grid, 0.2 mm for frames and rules.
constexpr double kTracePen = 6;
constexpr double kFramePen = 12;
constexpr double kGridPen = 4;

QColor Colour(qint32 bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

void Paint(QPainter& p, const Page& page) {
  for (const Plot& plot : page.plots) {
    p.setClipRect(plot.box);
    p.setPen(QPen(QColor(0xD0, 0xD0, 0xD0), kGridPen));
    p.drawLines(plot.grid.data(), int(plot.grid.size()));
    for (const Trace& t : plot.traces) {
      p.setPen(QPen(Colour(t.colour), kTracePen, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
      if (t.points.size() > 1) p.drawPolyline(t.points.data(), int(t.points.size()));
    }
    p.setClipping(false);
    p.setPen(QPen(Qt::black, kFramePen));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.box);
  }
  p.setPen(QPen(Qt::black, kFramePen));
  p.drawLines(page.rules.data(), int(page.rules.size()));
  QFont font(QStringLiteral("DejaVu Sans"));
  // No shaping: "fi" stays two letters that a search in the PDF finds, not a ligature.
  font.setStyleStrategy(QFont::PreferNoShaping);
  for (const Text& t : page.texts) {
    font.setPixelSize(int(t.size));
    font.setBold(t.bold);
    p.setFont(font);
    p.setPen(Colour(t.colour));
    p.drawText(t.box, (t.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextDontClip, t.text);
  }
}

}  // namespace

bool WriteReportPdf(const QString& path, const std::vector<Page>& pages, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    *error = file.errorString();
    return false;
  }
  bool ok = false;
  {
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(1440);  // device units are twips, as the pages are composed
    writer.setTitle(msg::kTitle);
    writer.setCreator(QStringLiteral("velkaro"));
    QPainter painter;
    ok = painter.begin(&writer);
    for (std::size_t i = 0; ok && i < pages.size(); ++i) {
      if (i > 0) ok = writer.newPage();
      if (ok) Paint(painter, pages[i]);
    }
    if (painter.isActive()) ok = painter.end() && ok;
  }
  if (!ok || file.error() != QFileDevice::NoError || !file.commit()) {
    *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  return true;
}

QString ReportFromSession(common::Prompt& prompt, session::LogSession& session, const QString& programDir,
                          qint32 from, qint32 to) {
  if (!session.loaded() || session.store().SampleCount <= 0) {
    prompt.message(common::msg::kTitleStatus, common::msg::kFileNotLoaded, common::PromptIcon::Exclamation);
    return {};
  }
  const QString name =
      common::AskSaveName(prompt, scope::msg::kFilterPdf, QDir(programDir).filePath(QStringLiteral("cap")));
  if (name.isEmpty()) return {};
  const qint32 last = session.store().SampleCount - 1;
  const auto [lo, hi] = std::minmax(std::clamp(from, 0, last), std::clamp(to, 0, last));
  const QFileInfo log(session.fileName());
  Facts facts;
  facts.logName = log.fileName();
  // The file the log's configuration is read from when it is opened.
  facts.configFile =
      logdata::FindLogConfig(QDir(programDir).filePath(QStringLiteral("cfg")), session.store().ConfigNumber).path;
  facts.modified = log.lastModified();
  common::BusyScope busy(prompt);
  QString error;
  if (!WriteReportPdf(name, ComposeReport(session, facts, lo, hi), &error)) {
    prompt.setBusy(false);
    prompt.message(common::msg::kTitleError, common::msg::FileNotWritten(name), common::PromptIcon::Exclamation);
    return {};
  }
  return name;
}

}  // namespace report
