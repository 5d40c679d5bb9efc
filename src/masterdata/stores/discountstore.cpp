#include "masterdata/stores/discountstore.h"

#include "masterdata/stores/pricelists.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::FieldProblem;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;
namespace Col = Services::Column;

namespace {


bool customers(DiscountSide side)
{
    return side == DiscountSide::Customers;
}

Services::TableDef discountTableOf(DiscountSide side)
{
    Services::TableDef def;
    def.table = customers(side) ? Tables::TAB_SCONCLI : Tables::TAB_SCONFOR;
    def.columns = {Col::key(Col::integer(partyColumn(side))), Col::key(Col::code(QStringLiteral("MARCA"), 3))};
    for (const QString &column : discountColumns(side)) {
        // A discount left blank stays blank, so its check can ask for it.
        Services::ColumnDef discount = Col::percent(column);
        discount.nullable = true;
        def.columns.append(discount);
    }
    if (customers(side))
        def.columns.append(Col::percent(QStringLiteral("PERC_RIC")));
    return def;
}

const Services::TableDef &discountTable(DiscountSide side)
{
    static const Services::TableDef customerTable = discountTableOf(DiscountSide::Customers);
    static const Services::TableDef supplierTable = discountTableOf(DiscountSide::Suppliers);
    return customers(side) ? customerTable : supplierTable;
}

QString where(DiscountSide side)
{
    return customers(side) ? QStringLiteral("Gestione sconti clienti") : QStringLiteral("Gestione sconti fornitori");
}

DiscountSide sideOf(const DiscountRow &row)
{
    return row.main().def().table == Tables::TAB_SCONCLI ? DiscountSide::Customers : DiscountSide::Suppliers;
}

// The brands whose list rows the party's discounts for `brand` produced:
// that brand, or for brand 999 every brand it has no row of its own for.
QString producedBrands(DiscountSide side, const QString &brand)
{
    if (brand != QLatin1String(kStandardBrand))
        return QStringLiteral("MARCA = ?");
    return QStringLiteral("MARCA NOT IN (SELECT MARCA FROM %1 WHERE %2 = ? AND MARCA <> ?)")
        .arg(discountTable(side).table, partyColumn(side));
}

Services::Params producedParams(int party, const QString &brand)
{
    if (brand != QLatin1String(kStandardBrand))
        return {brand};
    return {party, brand};
}

} // namespace

const Services::FamilyDef &discountFamily(DiscountSide side)
{
    static const Services::FamilyDef customerFamily{{{&discountTable(DiscountSide::Customers),
                                                      QStringLiteral("Insert sconti clienti"),
                                                      QStringLiteral("Aggiorna sconti clienti"),
                                                      {}}}};
    static const Services::FamilyDef supplierFamily{{{&discountTable(DiscountSide::Suppliers),
                                                      QStringLiteral("Insert sconti fornitori"),
                                                      QStringLiteral("Aggiorna sconti fornitori"),
                                                      {}}}};
    return customers(side) ? customerFamily : supplierFamily;
}

QString partyColumn(DiscountSide side)
{
    return customers(side) ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE");
}

QStringList discountColumns(DiscountSide side)
{
    return customers(side) ? QStringList{QStringLiteral("SC_V1"), QStringLiteral("SC_V2"), QStringLiteral("SC_V3")}
                           : QStringList{QStringLiteral("SC_A1"), QStringLiteral("SC_A2"), QStringLiteral("SC_A3")};
}

DiscountRow newDiscounts(DiscountSide side)
{
    DiscountRow row(discountFamily(side));
    for (const QString &column : discountColumns(side))
        row.main().set(column, 0.0);
    if (customers(side))
        row.main().set(QStringLiteral("PERC_RIC"), 0.0);
    return row;
}

Services::Outcome<std::optional<DiscountRow>> loadDiscounts(DataAccess &db, DiscountSide side, int party,
                                                            const QString &brand)
{
    return Services::readRecord(db, discountFamily(side), {party, brand.trimmed().toUpper()});
}

QString missingPairMessage(DiscountSide side)
{
    return customers(side) ? QStringLiteral("Il cliente e la marca non esistono in archivio ")
                           : QStringLiteral("Il fornitore e la marca non esistono in archivio ");
}

QList<FieldProblem> checkDiscounts(DataAccess &db, const DiscountRow &row, bool inserting, const QString &only)
{
    const DiscountSide side = sideOf(row);
    namespace Check = Services::Check;
    QList<Services::CheckDef> checks;
    for (const QString &column : discountColumns(side)) {
        checks.append(Check::required(column, QStringLiteral("Sconto obbligatorio")));
        checks.append(Check::range(column, 0, 100, QStringLiteral("Sconto errato")));
    }
    if (customers(side))
        checks.append(Check::range(QStringLiteral("PERC_RIC"), 0, 100, QStringLiteral("Percentuale ricarico errata")));
    const QString brand = QStringLiteral("MARCA");
    checks.append(Check::required(brand, QStringLiteral("Marca obbligatoria")));
    checks.append(Check::custom(brand, QStringLiteral("Marca errata"), [&db](const QVariant &value) {
        return value.toString() == QLatin1String(kStandardBrand) ||
               Services::valueKnown(db, Tables::TAB_MARCHE, QStringLiteral("CODICE"), value);
    }));
    const QString party = partyColumn(side);
    const QString name = customers(side) ? QStringLiteral("Cliente") : QStringLiteral("Fornitore");
    checks.append(Check::required(party, name + QStringLiteral(" obbligatorio")));
    checks.append(Check::known(party, customers(side) ? Tables::ANAG_CLI : Tables::ANAG_FOR, party,
                               name + QStringLiteral(" errato"), QStringLiteral(" AND TIPOLISTINO = 'P'")));
    if (inserting)
        checks.append(Check::unique(party, discountTable(side).table, {party, brand},
                                    QStringLiteral("Gli sconti per il cliente e la marca selezionati\n"
                                                   "sono già presenti in archivio")));
    return Services::runChecks(
        db, checks, [&row](const QString &column) { return row.value(column); }, only);
}

WriteResult insertDiscounts(DataAccess &db, const DiscountRow &row)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    const Services::TableDef &def = row.main().def();
    const DiscountSide side = sideOf(row);
    Services::WriteUnit unit(db, where(side));
    auto stored = unit.read(Services::selectSql(def, Services::keyCondition(def)), row.main().key());
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    if (!stored->isEmpty()) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, partyColumn(side), 0, {}, {}};
    }
    if (!Services::insertRecord(unit, discountFamily(side), row) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed, discountFamily(side).parts.first().insertStep);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult updateDiscounts(DataAccess &db, const DiscountRow &row, const DiscountRow &loaded)
{
    if (row.main().changedFrom(loaded.main()).isEmpty())
        return WriteResult::of(WriteEnd::NothingChanged);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    const DiscountSide side = sideOf(row);
    const QString step = discountFamily(side).parts.first().updateStep;
    Services::WriteUnit unit(db, where(side));
    int affected = 0;
    if (!Services::updateRow(unit, row.main(), loaded.main(), step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

WriteResult deleteDiscounts(DataAccess &db, DiscountSide side, int party, const QString &brand)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    const QString code = brand.trimmed().toUpper();
    Services::WriteUnit unit(db, where(side));
    // The list rows first: for brand 999 they are found through the
    // party's other discount rows, which stay.
    const QString produced = producedBrands(side, code);
    const Services::Params params = Services::Params{party} + producedParams(party, code);
    if (customers(side)) {
        if (!unit.execCompany(QStringLiteral("Canc listini vendita"),
                              QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ? AND %2").arg(Tables::LIST_VEN, produced),
                              params))
            return WriteResult::of(WriteEnd::Failed, QStringLiteral("Canc listini vendita"));
    } else {
        if (!unit.execCompany(
                QStringLiteral("Canc. List Acq "),
                QStringLiteral("DELETE FROM %1 WHERE FORNITORE = ? AND %2").arg(Tables::LIST_ACQ, produced), params))
            return WriteResult::of(WriteEnd::Failed, QStringLiteral("Canc. List Acq "));
        if (!unit.execCompany(
                QStringLiteral("Canc. List Ven "),
                QStringLiteral("DELETE FROM %1 WHERE FORNITORE = ? AND %2").arg(Tables::LIST_VEN, produced), params))
            return WriteResult::of(WriteEnd::Failed, QStringLiteral("Canc. List Ven "));
    }
    const QString step = customers(side) ? QStringLiteral("Canc sconti clienti") : QStringLiteral("Canc. Sconti forn ");
    int affected = 0;
    if (!Services::deleteRow(unit, discountTable(side), {party, code}, step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

} // namespace Orlavo::Masterdata
