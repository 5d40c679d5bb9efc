#include "masterdata/stores/listrowstore.h"

#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/pricelistrules.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;
namespace Col = Services::Column;

namespace {

constexpr char kPurchaseWhere[] = "Registra Listini Acquisto ";
constexpr char kPurchaseDeleteWhere[] = "Elimina Listini Acquisto ";
constexpr char kSaleWhere[] = "Registra Listina Vendita";
constexpr char kSaleDeleteWhere[] = "Elimina Listini di VEndita";
constexpr char kUsedBySales[] = "SELECT COUNT(*) FROM %1 WHERE FORNITORE = ? AND MARCA = ? AND ARTICOLO = ?";

Services::ColumnDef priceColumn(const char *name)
{
    return Col::amount(QString::fromLatin1(name), kMostPriceDecimals);
}

Services::ColumnDef discount(const char *name)
{
    return Col::percent(QString::fromLatin1(name));
}

const Services::TableDef &purchaseTable()
{
    static const Services::TableDef def{
        Tables::LIST_ACQ,
        Services::Target::Company,
        {Col::key(Col::integer(QStringLiteral("FORNITORE"))), Col::key(Col::code(QStringLiteral("MARCA"), 3)),
         Col::key(Col::code(QStringLiteral("ARTICOLO"), 30)), priceColumn("PR_LISTINO"), discount("SC_A1"), discount("SC_A2"),
         discount("SC_A3"), priceColumn("PR_ACQUISTO"), priceColumn("PR_ACQFISSO")}};
    return def;
}

const Services::TableDef &saleTable()
{
    static const Services::TableDef def{
        Tables::LIST_VEN,
        Services::Target::Company,
        {Col::key(Col::integer(QStringLiteral("CLIENTE"))), Col::key(Col::code(QStringLiteral("MARCA"), 3)),
         Col::key(Col::code(QStringLiteral("ARTICOLO"), 30)), Col::key(Col::integer(QStringLiteral("FORNITORE"))),
         priceColumn("PR_LISTINO"), discount("SC_V1"), discount("SC_V2"), discount("SC_V3"), priceColumn("PR_VENDITA"),
         discount("SC_A1"), discount("SC_A2"), discount("SC_A3"), priceColumn("PR_ACQUISTO"), discount("PERC_RIC"),
         priceColumn("PR_RICARICATO"), priceColumn("PR_VENFISSO")}};
    return def;
}

Services::Params listrowstoreKeyOf(const PurchaseListKey &key)
{
    return {key.supplier, key.brand.trimmed().toUpper(), key.item.trimmed().toUpper()};
}

Services::Params listrowstoreKeyOf(const SaleListKey &key)
{
    return {key.customer, key.brand.trimmed().toUpper(), key.item.trimmed().toUpper(), key.supplier};
}

// Writes the changed columns of a row still stored; Gone when it is not.
WriteResult updateStored(Services::WriteUnit &unit, const ListRow &row, const ListRow &loaded, const QString &step)
{
    int affected = 0;
    if (!Services::updateRow(unit, row.main(), loaded.main(), step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return WriteResult::of(WriteEnd::Written);
}

WriteResult deleteStored(DataAccess &db, const Services::TableDef &def, const Services::Params &key,
                         const QString &where, const QString &step, bool checkSales)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, where);
    if (checkSales) {
        auto used = unit.read(QString::fromLatin1(kUsedBySales).arg(Tables::LIST_VEN), key);
        if (!used)
            return WriteResult::of(WriteEnd::Failed);
        if (used->first().at(0).toInt() > 0) {
            unit.abandon();
            return WriteResult::of(WriteEnd::ChangedElsewhere);
        }
    }
    int affected = 0;
    if (!Services::deleteRow(unit, def, key, step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

} // namespace

const Services::FamilyDef &purchaseListFamily()
{
    static const Services::FamilyDef family{
        {{&purchaseTable(), QStringLiteral("Ins list acq"), QStringLiteral("Agg list acq"), {}}}};
    return family;
}

const Services::FamilyDef &saleListFamily()
{
    static const Services::FamilyDef family{
        {{&saleTable(), QStringLiteral("Insert list vend"), QStringLiteral("Agg. list vend"), {}}}};
    return family;
}

int listDecimals(const Services::Settings &settings)
{
    bool ok = false;
    const int decimals =
        settings.read(QStringLiteral("ARTICOLI"), QStringLiteral("DECIMALI_PREZZO1")).trimmed().toInt(&ok);
    return ok ? qBound(0, decimals, kMostPriceDecimals) : kListDecimals;
}

Services::Outcome<std::optional<ListRow>> loadPurchaseRow(DataAccess &db, const PurchaseListKey &key)
{
    return Services::readRecord(db, purchaseListFamily(), listrowstoreKeyOf(key));
}

Services::Outcome<std::optional<ListRow>> loadSaleRow(DataAccess &db, const SaleListKey &key)
{
    return Services::readRecord(db, saleListFamily(), listrowstoreKeyOf(key));
}

WriteResult savePurchaseRow(DataAccess &db, const ListRow &row, const ListRow &loaded, int decimals)
{
    if (row.main().changedFrom(loaded.main()).isEmpty())
        return WriteResult::of(WriteEnd::NothingChanged);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kPurchaseWhere));
    const WriteResult written = updateStored(unit, row, loaded, purchaseListFamily().parts.first().updateStep);
    if (!written.written())
        return written;

    const Services::Row &r = row.main();
    const Services::Params key = r.key();
    auto sales = unit.read(QStringLiteral("SELECT CLIENTE, PERC_RIC FROM %1 WHERE FORNITORE = ? AND MARCA = ? AND "
                                          "ARTICOLO = ?")
                               .arg(Tables::LIST_VEN),
                           key);
    if (!sales)
        return WriteResult::of(WriteEnd::Failed);
    const double net = r.number(QStringLiteral("PR_ACQUISTO"));
    const QString step = QStringLiteral("Agg list vend");
    for (const auto &sale : *sales) {
        const double markedPrice = markedUp(net, sale.at(1).toDouble(), decimals);
        if (!unit.execCompany(step,
                              QStringLiteral("UPDATE %1 SET SC_A1 = ?, SC_A2 = ?, SC_A3 = ?, PR_ACQUISTO = ?, "
                                             "PR_RICARICATO = ? WHERE CLIENTE = ? AND MARCA = ? AND ARTICOLO = ? "
                                             "AND FORNITORE = ?")
                                  .arg(Tables::LIST_VEN),
                              {r.number(QStringLiteral("SC_A1")), r.number(QStringLiteral("SC_A2")),
                               r.number(QStringLiteral("SC_A3")), net, markedPrice, sale.at(0), key.at(1), key.at(2),
                               key.at(0)}))
            return WriteResult::of(WriteEnd::Failed, step);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed);
}

Services::Outcome<QString> purchaseDeleteRefusal(DataAccess &db, const PurchaseListKey &key)
{
    auto used = db.tryOpenRecordset(QString::fromLatin1(kUsedBySales).arg(Tables::LIST_VEN), listrowstoreKeyOf(key));
    if (!used)
        return Services::Failure{QString::fromLatin1(kPurchaseDeleteWhere), db.error().description};
    if (used->isEmpty() || used->first().at(0).toInt() == 0)
        return QString();
    return QStringLiteral("Impossibile eliminare Listino d'Acquisto,\nsono ancora presenti registrazioni su : "
                          "Listini di vendita");
}

WriteResult deletePurchaseRow(DataAccess &db, const PurchaseListKey &key)
{
    return deleteStored(db, purchaseTable(), listrowstoreKeyOf(key), QString::fromLatin1(kPurchaseDeleteWhere),
                        QStringLiteral("Canc list acq"), true);
}

WriteResult saveSaleRow(DataAccess &db, const ListRow &row, const ListRow &loaded)
{
    if (row.main().changedFrom(loaded.main()).isEmpty())
        return WriteResult::of(WriteEnd::NothingChanged);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kSaleWhere));
    const WriteResult written = updateStored(unit, row, loaded, saleListFamily().parts.first().updateStep);
    if (!written.written())
        return written;
    return unit.commit() ? written : WriteResult::of(WriteEnd::Failed);
}

WriteResult deleteSaleRow(DataAccess &db, const SaleListKey &key)
{
    return deleteStored(db, saleTable(), listrowstoreKeyOf(key), QString::fromLatin1(kSaleDeleteWhere),
                        QStringLiteral("Del list vend"), false);
}

} // namespace Orlavo::Masterdata
