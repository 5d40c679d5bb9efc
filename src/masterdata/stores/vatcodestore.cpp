#include "masterdata/stores/vatcodestore.h"

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
namespace Col = Services::Column;
namespace Tables = Services::Tables;

namespace {

constexpr char kLockArea[] = "TUTTO";
const QString kCode = QStringLiteral("CODICE");
const QString kRate = QStringLiteral("ALIQUOTA");
const QString kKind = QStringLiteral("TIPO_CODICE");

CodeWrite ended(WriteEnd end, const QString &column = {})
{
    return {{end, {}, column, 0}, {}};
}

CodeWrite refusedBy(const QStringList &uses)
{
    return {WriteResult::of(WriteEnd::NothingChanged), uses};
}

// Whether the table is in the archive: the sales and accounting tables
// arrive with later schema steps, and a statement on a missing table would
// end the program.
bool tableExists(DataAccess &db, const RecordUse &use)
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

Row completed(const UsedCodeTable &table, Row row)
{
    if (table.complete)
        table.complete(row);
    return row;
}

QString selectByCode(const UsedCodeTable &table)
{
    return Services::selectSql(*table.def, Services::keyCondition(*table.def));
}

// Read under the lock, in the unit: the code found stored ends the write
// as a Duplicate; nothing when the write may go on.
std::optional<CodeWrite> refusedWhenTaken(Services::WriteUnit &unit, const UsedCodeTable &table, const QString &code)
{
    auto stored = unit.read(selectByCode(table), {code}, table.def->target);
    if (!stored)
        return ended(WriteEnd::Failed);
    if (stored->isEmpty())
        return std::nullopt;
    unit.abandon();
    return ended(WriteEnd::Duplicate, kCode);
}

// The same for a record found using the code: the write is refused.
std::optional<CodeWrite> refusedWhenUsed(DataAccess &db, Services::WriteUnit &unit, const UsedCodeTable &table,
                                         const QString &code)
{
    const auto uses = codeUses(db, table, code);
    if (!uses)
        return ended(WriteEnd::Failed);
    if (uses->isEmpty())
        return std::nullopt;
    unit.abandon();
    return refusedBy(*uses);
}

// VAT kinds whose amounts are exempt, not taxable, outside the scope or
// excluded carry no tax: their rate is nought.
const QStringList kUntaxedKinds{QStringLiteral("E"), QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("X")};

UsedCodeTable vatCodesOf()
{
    namespace Check = Services::Check;
    UsedCodeTable table;
    table.def = &vatCodeTable();
    table.checks << Check::custom(kRate, QStringLiteral("Aliquota Iva maggiore di zero"),
                                  [](const QVariant &rate) { return rate.toDouble() >= 0; });
    for (const QString &kind : kUntaxedKinds)
        table.checks << Check::when(Check::custom(kRate, QStringLiteral("Aliquota Iva errata"),
                                                  [](const QVariant &rate) { return rate.toDouble() == 0; }),
                                    kKind, kind);
    table.checks << Check::required(QStringLiteral("DESCRIZIONE"),
                                    QStringLiteral("Descrizione Percentuale Iva - Obbligatoria !"))
                 << Check::required(kCode, QStringLiteral("Codice Percentuale Iva - Obbligatorio !"))
                 << Check::unique(kCode, Tables::TAB_PERIVA, {kCode},
                                  QStringLiteral("Codice Percentuale Iva già presente in archivio"));

    const QString invoices = QStringLiteral("Fatture");
    table.uses << RecordUse{Tables::ANAG_CLI, {QStringLiteral("CODICE_IVA")}, QStringLiteral("Clienti")}
               << RecordUse{Tables::ARTICOLI, {QStringLiteral("COD_IVA")}, QStringLiteral("Articoli")};
    // Rows by their code; headers by the five slots and the three expenses.
    QStringList headerColumns{QStringLiteral("IVA_TRA"), QStringLiteral("IVA_BAN"), QStringLiteral("IVA_BOL")};
    for (int slot = 1; slot <= 5; ++slot)
        headerColumns << QStringLiteral("PERC_%1").arg(slot);
    for (const auto &[rows, headers] :
         {std::pair{Tables::FVENDD, Tables::FVENDT}, std::pair{Tables::FVENDD_PR, Tables::FVENDT_PR}}) {
        table.uses << RecordUse{rows, {QStringLiteral("COD_IVA")}, invoices};
        for (const QString &column : headerColumns)
            table.uses << RecordUse{headers, {column}, invoices};
    }
    table.uses << RecordUse{Tables::TAB_CAU_CONT, {QStringLiteral("COD_IVA")}, QStringLiteral("Causali contabili")}
               << RecordUse{Tables::IVA, {QStringLiteral("COD_IVA")}, QStringLiteral("Registrazioni IVA")};
    table.companyUses << RecordUse{Tables::DATIBASE,
                                   {QStringLiteral("PERCIVA"), QStringLiteral("SOCIETA")},
                                   QStringLiteral("Dati base"),
                                   Services::Target::Services};

    // Only the description: rate, kind and base are what the documents were
    // computed with (the kind's text follows its letter).
    table.keptWhenUsed = {kRate, kKind, QStringLiteral("BASE_IMP")};
    table.complete = [](Row &row) { row.set(QStringLiteral("DESC_TIPO"), vatKindText(row.text(kKind))); };
    table.name(QStringLiteral("Gestione aliquote iva"), QStringLiteral("tab_periva"));
    table.deleteRefusedHead = QStringLiteral("Impossibile eliminare Codice Iva,");
    table.usedMessage = QStringLiteral("Codice Iva utilizzato: modificabile solo la descrizione");
    return table;
}

} // namespace

void UsedCodeTable::name(const QString &operation, const QString &table)
{
    where = operation;
    insertStep = QStringLiteral("Ins. ") + table;
    updateStep = QStringLiteral("Agg. ") + table;
    renameStep = QStringLiteral("Agg. codice ") + table;
    deleteStep = QStringLiteral("Canc. ") + table;
}

Services::Outcome<QList<Row>> listUsedCodes(DataAccess &db, const UsedCodeTable &table)
{
    return Services::readRows(db, *table.def, {}, {}, kCode);
}

Services::Outcome<std::optional<Row>> findUsedCode(DataAccess &db, const UsedCodeTable &table, const QString &code)
{
    return Services::readRow(db, *table.def, {code.trimmed()});
}

QList<Services::FieldProblem> checkUsedCode(DataAccess &db, const UsedCodeTable &table, const Row &row,
                                            const QString &loadedCode, const QString &only)
{
    QList<Services::CheckDef> checks = table.checks;
    // A stored code kept as it is was found free when it was written.
    if (!loadedCode.isEmpty() && row.text(kCode) == loadedCode.trimmed().toUpper())
        checks.removeIf([](const Services::CheckDef &c) { return c.kind == Services::CheckDef::Kind::Unique; });
    return Services::runChecks(
        db, checks, [&row](const QString &column) { return row.value(column); }, only);
}

Services::Outcome<QStringList> codeUses(DataAccess &db, const UsedCodeTable &table, const QString &code)
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

bool touchesKept(const UsedCodeTable &table, const Row &row, const Row &loaded)
{
    const Row now = completed(table, row);
    if (now.text(kCode) != loaded.text(kCode))
        return true;
    const QStringList changed = now.changedFrom(loaded);
    return std::any_of(changed.begin(), changed.end(),
                       [&table](const QString &column) { return table.keptWhenUsed.contains(column); });
}

QString deleteRefusal(const UsedCodeTable &table, const QStringList &uses)
{
    return table.deleteRefusedHead + QStringLiteral("\nsono ancora presenti registrazioni su : ") +
           uses.join(QStringLiteral(", "));
}

CodeWrite insertUsedCode(DataAccess &db, const UsedCodeTable &table, const Row &row)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.where);
    if (const auto refusal = refusedWhenTaken(unit, table, row.text(kCode)))
        return *refusal;
    if (!Services::insertRow(unit, completed(table, row), table.insertStep) || !unit.commit())
        return ended(WriteEnd::Failed);
    return ended(WriteEnd::Written);
}

CodeWrite updateUsedCode(DataAccess &db, const UsedCodeTable &table, const Row &row, const Row &loaded)
{
    const Row now = completed(table, row);
    const QString oldCode = loaded.text(kCode);
    const QString newCode = now.text(kCode);
    const bool renamed = newCode != oldCode;
    const bool changed = !now.changedFrom(loaded).isEmpty();
    if (!renamed && !changed)
        return ended(WriteEnd::NothingChanged);
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.where);
    if (touchesKept(table, now, loaded)) {
        if (const auto refusal = refusedWhenUsed(db, unit, table, oldCode))
            return *refusal;
    }
    int affected = 0;
    if (changed) {
        if (!Services::updateRow(unit, now, loaded, table.updateStep, &affected))
            return ended(WriteEnd::Failed);
        if (affected == 0) {
            unit.abandon();
            return ended(WriteEnd::Gone);
        }
    }
    // The new code is its own statement, read free right before it: the
    // columns written above go back with a refused rename.
    if (renamed) {
        if (const auto refusal = refusedWhenTaken(unit, table, newCode))
            return *refusal;
        const QString sql = QStringLiteral("UPDATE %1 SET CODICE = ? WHERE %2")
                                .arg(table.def->table, Services::keyCondition(*table.def));
        if (!unit.exec(table.def->target, table.renameStep, sql, {newCode, oldCode}))
            return ended(WriteEnd::Failed);
        if (unit.rowsAffected() == 0) {
            unit.abandon();
            return ended(WriteEnd::Gone);
        }
    }
    return ended(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

CodeWrite deleteUsedCode(DataAccess &db, const UsedCodeTable &table, const Row &loaded)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, table.where);
    const QString code = loaded.text(kCode);
    if (const auto refusal = refusedWhenUsed(db, unit, table, code))
        return *refusal;
    int affected = 0;
    if (!Services::deleteRow(unit, *table.def, {code}, table.deleteStep, &affected))
        return ended(WriteEnd::Failed);
    if (affected == 0) {
        unit.abandon();
        return ended(WriteEnd::Gone);
    }
    return ended(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

const Services::TableDef &vatCodeTable()
{
    static const Services::TableDef def{
        Tables::TAB_PERIVA,
        Services::Target::Company,
        {Col::key(Col::code(kCode, 4)), Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::percent(kRate),
         Col::code(kKind, 1), Col::text(QStringLiteral("DESC_TIPO"), 20), Col::percent(QStringLiteral("BASE_IMP"))}};
    return def;
}

const UsedCodeTable &vatCodes()
{
    static const UsedCodeTable table = vatCodesOf();
    return table;
}

const QList<std::pair<QString, QString>> &vatKinds()
{
    static const QList<std::pair<QString, QString>> kinds{
        {QStringLiteral("P"), QStringLiteral("DETRAIBILE")},   {QStringLiteral("D"), QStringLiteral("NON DETRAIBILE")},
        {QStringLiteral("E"), QStringLiteral("ESENTE")},       {QStringLiteral("N"), QStringLiteral("NON IMPONIBILE")},
        {QStringLiteral("S"), QStringLiteral("NON SOGGETTA")}, {QStringLiteral("X"), QStringLiteral("ESCLUSA")},
    };
    return kinds;
}

QString vatKindText(const QString &kind)
{
    for (const auto &[letter, text] : vatKinds()) {
        if (letter.compare(kind.trimmed(), Qt::CaseInsensitive) == 0)
            return text;
    }
    return {};
}

Row newVatCode()
{
    Row row(vatCodeTable());
    row.set(kKind, QStringLiteral("P"));
    row.set(QStringLiteral("BASE_IMP"), 100.0);
    return row;
}

} // namespace Orlavo::Masterdata
