#pragma once
// The report's pages into a PDF file: real text and vector lines, drawn by QPdfWriter
// in twips. Needs a QGuiApplication for its fonts.
#include "logger/report/report.h"

#include <QString>

namespace common {
class Prompt;
}

namespace report {

// Through a temporary file beside `path`: a failed write leaves nothing new and an
// older file whole. *error says why it failed.
bool WriteReportPdf(const QString& path, const std::vector<Page>& pages, QString* error);

// "Report…": the report of the session's samples from..to (in either order, clamped to
// the log), saved under the name the user gives in `programDir`'s cap/. A failure is
// said through the prompt. Returns the file written, empty when none was.
QString ReportFromSession(common::Prompt& prompt, session::LogSession& session, const QString& programDir,
                          qint32 from, qint32 to);

}  // namespace report
