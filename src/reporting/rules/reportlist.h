#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Reporting {

// One line of RPTINI.TXT: a printable report filed under its key.
struct ReportEntry {
    QChar mark;          // selection mark, first character only (null when empty)
    QString key;         // e.g. "TABPROV", "DOCTRAS"
    QString path;        // the report file, found under the list's folder
    QString description; // shown when a key has several reports
    QString dataCodes;   // one character per data file read: "C" company, else services
};

// A line of the list as written: its entry (path not yet found) and the
// report file's name as it stands in the line.
struct ReportListLine {
    ReportEntry entry;
    QString file;
};

// The lines of one RPTINI.TXT text; the 1-based numbers of damaged lines
// (a quote left open or misplaced, fewer than five fields, no key or no
// file) go to damaged. Blank lines and a final Ctrl-Z are no lines.
QList<ReportListLine> parseReportList(const QString &text, QList<int> &damaged);

// The customised list first, then the standard one. A standard line gives
// way only to a customised line with the same key and the same file name
// (compared without regard to case or to "\" versus "/"); a customised
// report under another name stands beside the standard one.
QList<ReportEntry> mergeReportLists(const QList<ReportListLine> &custom, const QList<ReportListLine> &standard);

// The entries of a key (any case), in list order: the print choice list.
QList<ReportEntry> entriesForKey(const QList<ReportEntry> &list, const QString &key);

// A relative path's segments ("\" and "/" both separate).
QStringList pathSegments(const QString &relative);

} // namespace Orlavo::Reporting
