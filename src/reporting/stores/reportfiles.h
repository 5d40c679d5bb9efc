#pragma once

#include "reporting/rules/reportlist.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Reporting {

struct ReportListLoad {
    QList<ReportEntry> entries;
    QStringList damaged; // "<file>: riga N" for every line skipped
};

// The customised reports' list first, then the standard one, merged by
// mergeReportLists. Keys are matched without regard to case. A folder that
// is empty, missing or without RPTINI.TXT adds nothing; damaged lines are
// skipped and listed.
ReportListLoad loadReportList(const QString &customFolder, const QString &standardFolder);

// The file under folder whose path matches relative without regard to case,
// segment by segment ("\" and "/" both separate): the first match (exact
// case preferred, then by name), or the path as composed when none matches.
QString findPathIgnoringCase(const QString &folder, const QString &relative);

} // namespace Orlavo::Reporting
