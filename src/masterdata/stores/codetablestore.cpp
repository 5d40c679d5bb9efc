#include "masterdata/stores/codetablestore.h"

#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Outcome;
using Services::Params;
using Services::Target;

namespace {

constexpr char kCodeTableWhere[] = "Codifica Fatture";
// Step labels follow the table's name: "TAB_ZONAInsert ".
constexpr char kWriteStep[] = "Insert ";
constexpr char kDeleteStep[] = "Cancella tabl";

constexpr char kSelectAll[] = "SELECT CODICE, DESCRIZIONE FROM %1 ORDER BY CODICE";
constexpr char kSelectOne[] = "SELECT CODICE, DESCRIZIONE FROM %1 WHERE CODICE = ?";
constexpr char kInsert[] = "INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)";
constexpr char kUpdate[] = "UPDATE %1 SET DESCRIZIONE = ?, CODICE = ? WHERE CODICE = ?";
constexpr char kDelete[] = "DELETE FROM %1 WHERE CODICE = ?";

QString statement(const char *sql, const CodeTable &table)
{
    return QString::fromLatin1(sql).arg(table.table);
}

QString step(const CodeTable &table, const char *suffix)
{
    return table.table + QString::fromLatin1(suffix);
}

CodeRow rowOf(const Services::Recordset::Row &r)
{
    return CodeRow{r.text(QStringLiteral("CODICE")), r.text(QStringLiteral("DESCRIZIONE"))};
}

} // namespace

Outcome<QList<CodeRow>> listCodes(DataAccess &db, const CodeTable &table)
{
    auto rows = db.openRecordset(statement(kSelectAll, table), {}, table.database);
    if (!rows)
        return rows.failure();
    QList<CodeRow> codes;
    codes.reserve(rows->size());
    for (const auto &r : *rows)
        codes.append(rowOf(r));
    return codes;
}

Outcome<std::optional<CodeRow>> findCode(DataAccess &db, const CodeTable &table, const QString &code)
{
    auto rows = db.openRecordset(statement(kSelectOne, table), {code}, table.database);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<CodeRow>();
    return std::optional<CodeRow>(rowOf(rows->first()));
}

bool insertCode(DataAccess &db, const CodeTable &table, const CodeRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return false;
    Services::WriteUnit unit(db, QString::fromLatin1(kCodeTableWhere));
    return unit.exec(table.database, step(table, kWriteStep), statement(kInsert, table), {row.code, row.description}) &&
           unit.commit();
}

Services::WriteResult updateCode(DataAccess &db, const CodeTable &table, const QString &oldCode, const CodeRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return Services::WriteResult::of(Services::WriteEnd::Failed);
    Services::WriteUnit unit(db, QString::fromLatin1(kCodeTableWhere));
    // A rename onto a code another row holds (stored meanwhile, maybe) is
    // refused here, under the lock, rather than by the key's index.
    if (row.code != oldCode) {
        auto taken = unit.read(statement(kSelectOne, table), {row.code}, table.database);
        if (!taken)
            return Services::WriteResult::of(Services::WriteEnd::Failed);
        if (!taken->isEmpty()) {
            unit.abandon();
            return Services::WriteResult::of(Services::WriteEnd::Duplicate);
        }
    }
    const Params params{row.description, row.code, oldCode};
    if (!unit.exec(table.database, step(table, kWriteStep), statement(kUpdate, table), params))
        return Services::WriteResult::of(Services::WriteEnd::Failed);
    // Another workstation removed the row after the window last read it.
    if (db.rowsAffected() == 0) {
        unit.abandon();
        return Services::WriteResult::of(Services::WriteEnd::Gone);
    }
    return Services::WriteResult::of(unit.commit() ? Services::WriteEnd::Written : Services::WriteEnd::Failed);
}

bool deleteCode(DataAccess &db, const CodeTable &table, const QString &code)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return false;
    Services::WriteUnit unit(db, QString::fromLatin1(kCodeTableWhere));
    return unit.exec(table.database, step(table, kDeleteStep), statement(kDelete, table), {code}) && unit.commit();
}

} // namespace Orlavo::Masterdata
