#include "masterdata/stores/recorduses.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Masterdata {

// Whether the table is in the archive: the sales and accounting tables
// arrive with later schema steps, and a statement on a missing table would
// end the program.
bool tableExists(Services::DataAccess &db, const RecordUse &use)
{
    QString sql;
    QString name = use.table;
    if (db.engine() == Services::Engine::Postgres) {
        sql = QStringLiteral("SELECT 1 WHERE to_regclass(?) IS NOT NULL");
    } else {
        const bool services = use.database == Services::Target::Services;
        name = name.section(QLatin1Char('.'), -1);
        sql = QStringLiteral(
                  "SELECT name FROM %1sqlite_master WHERE type IN ('table', 'view') AND UPPER(name) = UPPER(?)")
                  .arg(services ? QString::fromLatin1(Services::kServicesSchema) + QLatin1Char('.') : QString());
    }
    auto rows = db.openRecordset(sql, {name}, use.database);
    return rows && !rows->isEmpty();
}

Services::Outcome<QStringList> usesOf(Services::DataAccess &db, const QList<RecordUse> &uses,
                                      const Services::Params &key)
{
    QStringList found;
    for (const RecordUse &use : uses) {
        if (use.columns.isEmpty() || use.columns.size() != key.size())
            return Services::Failure{QStringLiteral("Uso di %1 mal descritto: %2 colonne per %3 valori")
                                         .arg(use.table)
                                         .arg(use.columns.size())
                                         .arg(key.size()),
                                     QString()};
        if (found.contains(use.label))
            continue;
        QStringList conditions;
        for (const QString &column : use.columns)
            conditions << column + QStringLiteral(" = ?");
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIMIT 1")
                                .arg(use.columns.first(), use.table, conditions.join(QStringLiteral(" AND ")));
        auto rows = db.openRecordset(sql, key, use.database);
        if (!rows)
            return rows.failure();
        if (!rows->isEmpty())
            found << use.label;
    }
    return found;
}

} // namespace Orlavo::Masterdata
