#pragma once

#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

#include <QStringList>

namespace Orlavo::Testing {

// Rows added to a table in the unit, the columns named once ("A, B", one
// value each a row); a services table by its schema ("servizi.X").
inline bool insertRows(Services::WriteUnit &unit, const QString &table, const QString &columns,
                       const QList<Services::Params> &rows)
{
    const QString marks = QStringList(columns.count(QLatin1Char(',')) + 1, QStringLiteral("?")).join(QLatin1Char(','));
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks);
    for (const Services::Params &row : rows) {
        if (!unit.exec(Services::databaseOf(table), QStringLiteral("Ins. ") + table, sql, row))
            return false;
    }
    return true;
}

} // namespace Orlavo::Testing
