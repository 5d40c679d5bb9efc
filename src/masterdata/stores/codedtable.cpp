#include "masterdata/stores/codedtable.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QHash>

#include <algorithm>

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;

namespace {


WriteResult ended(WriteEnd end, const QString &step = {})
{
    return WriteResult::of(end, step);
}

QList<RecordUse> present(DataAccess &db, const QList<RecordUse> &uses)
{
    QHash<QString, bool> exists;
    QList<RecordUse> found;
    for (const RecordUse &use : uses) {
        auto known = exists.find(use.table);
        if (known == exists.end())
            known = exists.insert(use.table, tableExists(db, use));
        if (*known)
            found << use;
    }
    return found;
}

Row completed(DataAccess &db, const CodedTable &table, Row row)
{
    if (table.complete)
        table.complete(db, row);
    return row;
}

// The same as touchesKept, the row completed already.
bool touches(const CodedTable &table, const Row &now, const Row &loaded)
{
    if (table.uses.isEmpty() && table.companyUses.isEmpty())
        return false;
    if (!table.renameWhenUsed && now.text(table.key) != loaded.text(table.key))
        return true;
    const QStringList changed = now.changedFrom(loaded);
    return std::any_of(changed.begin(), changed.end(),
                       [&table](const QString &column) { return table.keptWhenUsed.contains(column); });
}

// Read under the lock, in the unit: the code found stored ends the write
// as a Duplicate; nothing when the write may go on.
std::optional<WriteResult> refusedWhenTaken(Services::WriteUnit &unit, const CodedTable &table, const QString &code)
{
    auto stored =
        unit.read(Services::selectSql(*table.def, Services::keyCondition(*table.def)), {code}, table.def->target);
    if (!stored)
        return ended(WriteEnd::Failed);
    if (stored->isEmpty())
        return std::nullopt;
    unit.abandon();
    WriteResult taken = WriteResult::of(WriteEnd::Duplicate);
    taken.column = table.key;
    return taken;
}

// The same for a record found using the code: the write is refused.
std::optional<WriteResult> refusedWhenUsed(DataAccess &db, Services::WriteUnit &unit, const CodedTable &table,
                                         const QString &code)
{
    const auto uses = codeUses(db, table, code);
    if (!uses)
        return ended(WriteEnd::Failed);
    if (uses->isEmpty())
        return std::nullopt;
    unit.abandon();
    return WriteResult::usedBy(*uses);
}

// The stored row gone: nothing is written.
WriteResult gone(Services::WriteUnit &unit)
{
    unit.abandon();
    return ended(WriteEnd::Gone);
}

// Every column, the code with them, where the code as loaded is.
WriteResult writeWholeRow(Services::WriteUnit &unit, const CodedTable &table, const Row &now, const Row &loaded)
{
    QStringList columns;
    Services::Params values;
    for (const Services::ColumnDef &column : table.def->columns) {
        columns << column.name + QStringLiteral(" = ?");
        values << Services::storedValue(column, now.value(column.name));
    }
    values << loaded.value(table.key);
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(table.def->table, columns.join(QStringLiteral(", ")), Services::keyCondition(*table.def));
    if (!unit.exec(table.def->target, table.updateStep, sql, values))
        return ended(WriteEnd::Failed, table.updateStep);
    if (unit.rowsAffected() == 0)
        return gone(unit);
    return ended(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

} // namespace

void CodedTable::name(const QString &operation, const QString &table)
{
    saveTitle = operation;
    deleteTitle = operation;
    insertStep = QStringLiteral("Ins. ") + table;
    updateStep = QStringLiteral("Agg. ") + table;
    renameStep = QStringLiteral("Agg. codice ") + table;
    deleteStep = QStringLiteral("Canc. ") + table;
}

Services::Outcome<QList<Row>> listCodedRows(DataAccess &db, const CodedTable &table)
{
    return Services::readRows(db, *table.def, {}, {}, table.key);
}

Services::Outcome<std::optional<Row>> findCodedRow(DataAccess &db, const CodedTable &table, const QString &code)
{
    return Services::readRow(db, *table.def, {code.trimmed()});
}

QList<Services::FieldProblem> checkCodedRow(DataAccess &db, const CodedTable &table, const Row &row,
                                            const QString &loadedCode, const QString &only)
{
    QList<Services::CheckDef> checks = table.checksFor ? table.checksFor(db, row) : table.checks;
    // A stored code kept as it is was found free when it was written.
    if (!loadedCode.isEmpty() && row.text(table.key) == loadedCode.trimmed().toUpper())
        checks.removeIf([](const Services::CheckDef &c) { return c.kind == Services::CheckDef::Kind::Unique; });
    return Services::runChecks(
        db, checks, [&row](const QString &column) { return row.value(column); }, only);
}

QString takenMessage(DataAccess &db, const CodedTable &table, const Row &row)
{
    const QList<Services::CheckDef> checks = table.checksFor ? table.checksFor(db, row) : table.checks;
    for (const Services::CheckDef &check : checks) {
        if (check.kind == Services::CheckDef::Kind::Unique)
            return check.message;
    }
    return {};
}

Services::StoredState storedState(DataAccess &db, const CodedTable &table, const Row &loaded)
{
    const Services::FamilyDef family{{{table.def, {}, {}, {}}}};
    Services::Record record(family);
    record.main() = loaded;
    record.setStored(0, true);
    return Services::compareStored(db, family, record);
}

Services::Outcome<QStringList> codeUses(DataAccess &db, const CodedTable &table, const QString &code)
{
    auto found = usesOf(db, present(db, table.uses), {code});
    if (!found)
        return found;
    auto scoped = usesOf(db, present(db, table.companyUses), {code, db.companyCode()});
    if (!scoped)
        return scoped;
    for (const QString &label : *scoped) {
        if (!found->contains(label))
            found->append(label);
    }
    return found;
}

bool touchesKept(DataAccess &db, const CodedTable &table, const Row &row, const Row &loaded)
{
    return touches(table, completed(db, table, row), loaded);
}

QString deleteRefusal(const CodedTable &table, const QStringList &uses)
{
    return table.deleteRefusedHead + QStringLiteral("\nsono ancora presenti registrazioni su : ") +
           uses.join(QStringLiteral(", "));
}

WriteResult insertCodedRow(DataAccess &db, const CodedTable &table, const Row &row)
{
    const Row now = completed(db, table, row);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.saveTitle);
    if (const auto refusal = refusedWhenTaken(unit, table, now.text(table.key)))
        return *refusal;
    if (!Services::insertRow(unit, now, table.insertStep) || !unit.commit())
        return ended(WriteEnd::Failed, table.insertStep);
    return ended(WriteEnd::Written);
}

WriteResult updateCodedRow(DataAccess &db, const CodedTable &table, const Row &row, const Row &loaded)
{
    const Row now = completed(db, table, row);
    const QString oldCode = loaded.text(table.key);
    const QString newCode = now.text(table.key);
    const bool renamed = newCode != oldCode;
    const bool changed = !now.changedFrom(loaded).isEmpty();
    if (!table.wholeRow && !renamed && !changed)
        return ended(WriteEnd::NothingChanged);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.saveTitle);
    if (touches(table, now, loaded)) {
        if (const auto refusal = refusedWhenUsed(db, unit, table, oldCode))
            return *refusal;
    }
    if (table.wholeRow) {
        if (renamed) {
            if (const auto refusal = refusedWhenTaken(unit, table, newCode))
                return *refusal;
        }
        return writeWholeRow(unit, table, now, loaded);
    }
    int affected = 0;
    if (changed) {
        if (!Services::updateRow(unit, now, loaded, table.updateStep, &affected))
            return ended(WriteEnd::Failed, table.updateStep);
        if (affected == 0)
            return gone(unit);
    }
    // The new code is its own statement, read free right before it: the
    // columns written above go back with a refused rename.
    if (renamed) {
        if (const auto refusal = refusedWhenTaken(unit, table, newCode))
            return *refusal;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3")
                                .arg(table.def->table, table.key, Services::keyCondition(*table.def));
        if (!unit.exec(table.def->target, table.renameStep, sql, {newCode, oldCode}))
            return ended(WriteEnd::Failed, table.renameStep);
        if (unit.rowsAffected() == 0)
            return gone(unit);
    }
    return ended(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

WriteResult deleteCodedRow(DataAccess &db, const CodedTable &table, const Row &loaded)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.deleteTitle);
    const QString code = loaded.text(table.key);
    if (const auto refusal = refusedWhenUsed(db, unit, table, code))
        return *refusal;
    int affected = 0;
    if (!Services::deleteRow(unit, *table.def, {code}, table.deleteStep, &affected))
        return ended(WriteEnd::Failed, table.deleteStep);
    if (affected == 0)
        return gone(unit);
    return ended(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

} // namespace Orlavo::Masterdata
