#include "masterdata/stores/chartstore.h"

#include "masterdata/rules/accountrules.h"
#include "masterdata/stores/recorduses.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QSqlRecord>

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

constexpr char kLockArea[] = "TUTTO";

const QString kCode = QStringLiteral("CODICE");
const QString kType = QStringLiteral("TIPO_CONTO");
const QString kRole = QStringLiteral("CONT_AUT");

// Read under the lock, inside the unit: the code is stored already.
Services::Outcome<bool> codeTaken(Services::WriteUnit &unit, const CodedTable &table, const QString &code)
{
    auto stored =
        unit.read(Services::selectSql(*table.def, Services::keyCondition(*table.def)), {code}, table.def->target);
    if (!stored)
        return stored.failure();
    return !stored->isEmpty();
}

WriteResult duplicate(const CodedTable &table)
{
    return {WriteEnd::Duplicate, {}, table.key, 0};
}

CodedTable chartOf()
{
    namespace Check = Services::Check;
    const QString notFit = QStringLiteral("Codice conto automatico non compatibile con il tipo conto");
    CodedTable table;
    table.def = &chartTable();
    table.key = kCode;
    table.checks << Check::custom(kRole, QStringLiteral("Codice conto automatico sconosciuto !"),
                                  [](const QVariant &role) { return isAccountRole(role.toString()); });
    for (const auto &[letter, word] : accountTypes())
        table.checks << Check::when(
            Check::custom(kRole, notFit,
                          [letter](const QVariant &role) { return roleFitsType(role.toString(), letter); }),
            kType, letter);
    table.checks << Check::required(QStringLiteral("DESCRIZIONE"), QStringLiteral("Descrizione Conto - Obbligatoria !"))
                 // A letter that is no type is as good as none.
                 << Check::decide(kType, QStringLiteral("Tipo conto - Obbligatorio !"),
                                  [](const QVariant &type) { return !accountTypeWord(type.toString()).isEmpty(); })
                 << Check::unique(kCode, Tables::TAB_PIANO_CONTI, {kCode},
                                  QStringLiteral("Conto di Contabilità già presente in archivio !"))
                 << Check::required(kCode, QStringLiteral("Conto di Contabilità - Obbligatorio !"))
                 << Check::known(QStringLiteral("SOTTOGRU"), Tables::TAB_SOGRUP, kCode,
                                 QStringLiteral("Sottogruppo di appartenenza Conto sconosciuto !"))
                 << Check::required(QStringLiteral("SOTTOGRU"),
                                    QStringLiteral("Sottogruppo di appartenenza Conto - Obbligatorio !"))
                 << Check::known(QStringLiteral("GRUPPO"), Tables::TAB_GRUPP, kCode,
                                 QStringLiteral("Gruppo di appartenenza Conto sconosciuto !"))
                 << Check::required(QStringLiteral("GRUPPO"),
                                    QStringLiteral("Gruppo di appartenenza Conto - Obbligatorio !"));
    table.saveTitle = QStringLiteral("Registra Piano Conti");
    table.deleteTitle = QStringLiteral("Elimina Piano Conti");
    table.insertStep = QStringLiteral("Ins. piano conti");
    table.updateStep = QStringLiteral("Agg. piano conti");
    table.deleteStep = QStringLiteral("Canc. piano conti");
    return table;
}

} // namespace

Services::Outcome<QList<Row>> listCodedRows(DataAccess &db, const CodedTable &table)
{
    return Services::readRows(db, *table.def, {}, {}, table.key);
}

QList<Services::FieldProblem> checkCodedRow(DataAccess &db, const CodedTable &table, const Row &row,
                                            const QString &loadedCode, const QString &only)
{
    QList<Services::CheckDef> checks = table.checks;
    // A stored row keeping its code was found free when it was written.
    if (!loadedCode.isEmpty() && row.text(table.key) == loadedCode.trimmed().toUpper())
        checks.removeIf([](const Services::CheckDef &c) { return c.kind == Services::CheckDef::Kind::Unique; });
    return Services::runChecks(
        db, checks, [&row](const QString &column) { return row.value(column); }, only);
}

Services::StoredState storedState(DataAccess &db, const CodedTable &table, const Row &loaded)
{
    const Services::FamilyDef family{{{table.def, {}, {}, {}}}};
    Services::Record record(family);
    record.main() = loaded;
    record.setStored(0, true);
    return Services::compareStored(db, family, record);
}

WriteResult insertCodedRow(DataAccess &db, const CodedTable &table, const Row &row)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.saveTitle);
    const auto taken = codeTaken(unit, table, row.text(table.key));
    if (!taken)
        return WriteResult::of(WriteEnd::Failed);
    if (*taken)
        return duplicate(table);
    if (!Services::insertRow(unit, row, table.insertStep) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed, table.insertStep);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult updateCodedRow(DataAccess &db, const CodedTable &table, const Row &row, const Row &loaded)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.saveTitle);
    const QString code = row.text(table.key);
    if (code != loaded.text(table.key)) {
        const auto taken = codeTaken(unit, table, code);
        if (!taken)
            return WriteResult::of(WriteEnd::Failed);
        if (*taken)
            return duplicate(table);
    }
    QStringList columns;
    Services::Params values;
    for (const Services::ColumnDef &column : table.def->columns) {
        columns << column.name + QStringLiteral(" = ?");
        values << Services::storedValue(column, row.value(column.name));
    }
    values << loaded.value(table.key);
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(table.def->table, columns.join(QStringLiteral(", ")), Services::keyCondition(*table.def));
    if (!unit.exec(table.def->target, table.updateStep, sql, values))
        return WriteResult::of(WriteEnd::Failed, table.updateStep);
    if (unit.rowsAffected() == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return WriteResult::of(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

Deletion deleteCodedRow(DataAccess &db, const CodedTable &table, const Row &loaded,
                        const std::function<Services::Outcome<bool>()> &inUse)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return {WriteResult::of(WriteEnd::LockHeld)};
    Services::WriteUnit unit(db, table.deleteTitle);
    if (inUse) {
        const auto used = inUse();
        if (!used)
            return {WriteResult::of(WriteEnd::Failed)};
        if (*used)
            return {WriteResult::of(WriteEnd::NothingChanged), true};
    }
    int affected = 0;
    if (!Services::deleteRow(unit, *table.def, {loaded.value(table.key)}, table.deleteStep, &affected))
        return {WriteResult::of(WriteEnd::Failed, table.deleteStep)};
    if (affected == 0) {
        unit.abandon();
        return {WriteResult::of(WriteEnd::Gone)};
    }
    return {WriteResult::of(unit.commit() ? WriteEnd::Written : WriteEnd::Failed)};
}

QString descriptionOfCode(DataAccess &db, const QString &table, const QString &code)
{
    if (code.trimmed().isEmpty())
        return {};
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE %2").arg(table, Services::sqlUpperEquals(kCode)),
        {code.trimmed()}, Services::databaseOf(table));
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("DESCRIZIONE")) : QString();
}

const Services::TableDef &chartTable()
{
    namespace Col = Services::Column;
    static const Services::TableDef def{Tables::TAB_PIANO_CONTI,
                                        Services::Target::Company,
                                        {Col::code(QStringLiteral("GRUPPO"), 2),
                                         Col::code(QStringLiteral("SOTTOGRU"), 3), Col::key(Col::code(kCode, 6)),
                                         Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::code(kType, 1),
                                         Col::code(kRole, 3)}};
    return def;
}

const CodedTable &chartOfAccounts()
{
    static const CodedTable table = chartOf();
    return table;
}

Services::Outcome<bool> accountInJournal(DataAccess &db, const QString &code)
{
    // The journal's table comes with a later schema step. Asked in small
    // letters: PostgreSQL keeps unquoted names so, SQLite ignores case.
    if (db.connection().record(Tables::GIORN.toLower()).isEmpty())
        return false;
    const auto uses = usesOf(db, {RecordUse{Tables::GIORN, {QStringLiteral("CONTO")}, QStringLiteral("Contabilità")}},
                             {code.trimmed().toUpper()});
    if (!uses)
        return uses.failure();
    return !uses->isEmpty();
}

Deletion deleteAccount(DataAccess &db, const Row &loaded)
{
    return deleteCodedRow(db, chartOfAccounts(), loaded,
                          [&db, &loaded] { return accountInJournal(db, loaded.text(kCode)); });
}

} // namespace Orlavo::Masterdata
