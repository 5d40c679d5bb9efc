#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Shell {

// One line of RPTINI.TXT: a printable report filed under its key.
struct ReportEntry {
    QChar mark;          // selection mark, first character only (null when empty)
    QString key;         // e.g. "TABPROV", "DOCTRAS"
    QString path;        // the report file, found under the list's folder
    QString description; // shown when a key has several reports
    QString dataCodes;   // one character per data file read: "C" company, else services
};

struct ReportListLoad {
    QList<ReportEntry> entries;
    QStringList damaged; // "<file>: riga N" for every line skipped
};

// The customised reports' list first, then the standard one. A standard
// line gives way only to a customised line with the same key and the same
// file name (compared without regard to case or to "\" versus "/"); a
// customised report under another name stands beside the standard one.
// Keys are matched without regard to case. A folder that is empty, missing
// or without RPTINI.TXT adds nothing; damaged lines are skipped and listed.
ReportListLoad loadReportList(const QString &customFolder, const QString &standardFolder);

// The entries of a key (any case), in list order: the print choice list.
QList<ReportEntry> entriesForKey(const QList<ReportEntry> &list, const QString &key);

// The file under folder whose path matches relative without regard to case,
// segment by segment ("\" and "/" both separate): the first match (exact
// case preferred, then by name), or the path as composed when none matches.
QString findPathIgnoringCase(const QString &folder, const QString &relative);

} // namespace Orlavo::Shell
