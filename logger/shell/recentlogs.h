#pragma once
// The logs opened last, newest first, for the "&File" menu. They are kept in a file of
// their own, cfg/recent.txt (one path a line, UTF-8), so that init.prm keeps its layout.
#include <QString>
#include <QStringList>

namespace shell {

constexpr int kRecentLogs = 8;

QString RecentLogsPath(const QString& programDir);
// A missing or unreadable file is an empty list; empty lines are skipped.
QStringList ReadRecentLogs(const QString& path);
// `opened` first, each path once, at most kRecentLogs.
QStringList RememberLog(QStringList list, const QString& opened);
// Written through a temporary file; on failure the old list stays.
bool WriteRecentLogs(const QString& path, const QStringList& list);

}  // namespace shell
