#include "masterdata/stores/pricelookup.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

Services::Outcome<QList<ListPrice>> listPricesOf(Services::DataAccess &db, int customer, const QString &brand,
                                                 const QString &item)
{
    auto set = db.tryOpenRecordset(
        QStringLiteral("SELECT L.FORNITORE, F.RAG_SOC1, L.PR_LISTINO, L.SC_V1, L.SC_V2, L.SC_V3, L.PR_VENDITA, "
                       "L.PR_VENFISSO, L.SC_A1, L.SC_A2, L.SC_A3, L.PR_ACQUISTO, L.PERC_RIC, L.PR_RICARICATO "
                       "FROM %1 L LEFT JOIN %2 F ON F.FORNITORE = L.FORNITORE "
                       "WHERE L.CLIENTE = ? AND L.MARCA = ? AND L.ARTICOLO = ? ORDER BY L.FORNITORE")
            .arg(Tables::LIST_VEN, Tables::ANAG_FOR),
        {customer, brand.trimmed().toUpper(), item.trimmed().toUpper()});
    if (!set)
        return Services::Failure{QStringLiteral("Listino prezzi ricaricati"), db.error().description};
    QList<ListPrice> rows;
    for (const auto &r : *set) {
        auto d = [&r](int i) { return r.at(i).toDouble(); };
        rows.append({r.at(0).toInt(),
                     r.at(1).toString().trimmed(),
                     customer == kStandardParty,
                     d(2),
                     {d(3), d(4), d(5)},
                     d(6),
                     d(7),
                     {d(8), d(9), d(10)},
                     d(11),
                     d(12),
                     d(13)});
    }
    return rows;
}

Services::Outcome<PriceLookup> lookupListPrices(Services::DataAccess &db, int customer, const QString &brand,
                                                const QString &item, const QString &documentType, bool ownPrice)
{
    if (priceSource(documentType, ownPrice, true, true) == PriceSource::Item)
        return PriceLookup{};
    auto own = listPricesOf(db, customer, brand, item);
    if (!own)
        return own.failure();
    if (priceSource(documentType, ownPrice, !own->isEmpty(), true) == PriceSource::CustomerList)
        return PriceLookup{PriceSource::CustomerList, *own};
    auto standard = listPricesOf(db, kStandardParty, brand, item);
    if (!standard)
        return standard.failure();
    const PriceSource source = priceSource(documentType, ownPrice, false, !standard->isEmpty());
    return PriceLookup{source, source == PriceSource::StandardList ? *standard : QList<ListPrice>{}};
}

} // namespace Orlavo::Masterdata
