#include "masterdata/rules/pricelistsearch.h"

#include "masterdata/rules/pricelistrules.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"

#include <algorithm>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;
using Services::LookupColumn;

namespace {

// One description per brand and code (items are kept per warehouse).
constexpr char kItemNames[] = "ARTICOLI_LISTINO";
// The distinct rows of the discounted sale list: its figures do not
// depend on the supplier.
constexpr char kDiscountedRows[] = "(SELECT DISTINCT CLIENTE, MARCA, ARTICOLO, PR_LISTINO, SC_V1, SC_V2, SC_V3, "
                                   "PR_VENDITA, PR_VENFISSO FROM LIST_VEN) LIST_VEN";

LookupColumn pricelistsearchColumn(const QString &name, const char *format, const char *heading)
{
    return {name, QString::fromLatin1(format), QString::fromUtf8(heading)};
}

QString itemJoin(const QString &table)
{
    return QStringLiteral(" LEFT JOIN %1 ON %1.MARCA = %2.MARCA AND %1.ARTICOLO = %2.ARTICOLO")
        .arg(QLatin1String(kItemNames), table);
}

QString partyJoin(const QString &parties, const QString &key, const QString &table)
{
    return QStringLiteral(" LEFT JOIN %1 ON %1.%2 = %3.%2").arg(parties, key, table);
}

std::optional<double> price(const QString &typed)
{
    const QString number = Services::sqlNumber(typed.trimmed(), 5);
    if (typed.trimmed().isEmpty())
        return std::nullopt;
    return number.toDouble();
}

} // namespace

int keyColumnCount(PriceListKind kind)
{
    switch (kind) {
    case PriceListKind::Purchase: return 3;
    case PriceListKind::SaleMarkedUp: return 4;
    case PriceListKind::SaleDiscounted: return 3;
    case PriceListKind::CustomerDiscounts:
    case PriceListKind::SupplierDiscounts: return 2;
    }
    return 0;
}

Services::Outcome<PriceListSearch> buildPriceListSearch(PriceListKind kind, const PriceListFilters &filters)
{
    const auto from = price(filters.priceFrom);
    const auto to = price(filters.priceTo);
    if ((from && *from <= 0) || (to && *to <= 0))
        return Services::Failure{QString::fromLatin1(kPriceNotPositive), QString()};
    if (from && to && *to < *from)
        return Services::Failure{QString::fromLatin1(kPriceRangeReversed), QString()};

    const bool discounts = kind == PriceListKind::CustomerDiscounts || kind == PriceListKind::SupplierDiscounts;
    const bool customers = kind != PriceListKind::Purchase && kind != PriceListKind::SupplierDiscounts;
    const QString party = customers ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE");
    PriceListSearch search;
    search.table = kind == PriceListKind::Purchase            ? Tables::LIST_ACQ
                   : kind == PriceListKind::CustomerDiscounts ? Tables::TAB_SCONCLI
                   : kind == PriceListKind::SupplierDiscounts ? Tables::TAB_SCONFOR
                                                              : Tables::LIST_VEN;
    const QString t = search.table + QLatin1Char('.');

    SearchConditions where(search.table, true);
    if (filters.standard)
        where.number(party, "=", kStandardParty);
    else if (filters.party)
        where.number(party, "=", *filters.party);
    else if (!discounts)
        where.number(party, "<>", kStandardParty);
    where.code(QStringLiteral("MARCA"), "=", filters.brand);
    if (!discounts) {
        where.code(QStringLiteral("ARTICOLO"), "=", filters.item);
        if (from)
            where.decimal(QStringLiteral("PR_LISTINO"), ">=", *from);
        if (to)
            where.decimal(QStringLiteral("PR_LISTINO"), "<=", *to);
    }

    const QString parties = customers ? Tables::ANAG_CLI : Tables::ANAG_FOR;
    const LookupColumn partyCode =
        pricelistsearchColumn(t + party, filters.standard ? "00C" : "06C", customers ? "CLIENTE" : "FORNITORE");
    const LookupColumn partyName =
        pricelistsearchColumn(parties + QStringLiteral(".RAG_SOC1"), filters.standard ? "00C" : "25C", "RAGIONE SOCIALE");
    const LookupColumn brand = pricelistsearchColumn(t + QStringLiteral("MARCA"), "05C", "MARCA");
    const LookupColumn item = pricelistsearchColumn(t + QStringLiteral("ARTICOLO"), "15C", "ARTICOLO");
    const LookupColumn description =
        pricelistsearchColumn(QLatin1String(kItemNames) + QStringLiteral(".DESC_ART"), "25C", "DESCRIZIONE");
    const QString priceFormat = QStringLiteral("13N%1").arg(std::clamp(filters.decimals, 0, 5));
    auto figure = [&t, &priceFormat](const char *name, const char *heading) {
        return LookupColumn{t + QString::fromLatin1(name), priceFormat, QString::fromUtf8(heading)};
    };
    auto percent = [&t](const char *name, const char *heading) {
        return pricelistsearchColumn(t + QString::fromLatin1(name), "06Z", heading);
    };
    const QString suffix = filters.standard ? QStringLiteral("BA") : QStringLiteral("PE");
    QString order;

    switch (kind) {
    case PriceListKind::Purchase:
        search.title = QStringLiteral("LISTINO ACQUISTO");
        search.from = search.table + itemJoin(search.table) + partyJoin(parties, party, search.table);
        search.columns = {partyCode,
                          brand,
                          item,
                          partyName,
                          description,
                          figure("PR_LISTINO", "PR. LISTINO"),
                          percent("SC_A1", "SC.1"),
                          percent("SC_A2", "SC.2"),
                          percent("SC_A3", "SC.3"),
                          figure("PR_ACQUISTO", "PR. ACQUISTO"),
                          figure("PR_ACQFISSO", "PR. FISSO")};
        search.reportKey = QStringLiteral("LISACQ") + suffix;
        order = t + QStringLiteral("MARCA, ") + t + QStringLiteral("ARTICOLO, ") + t + party;
        break;
    case PriceListKind::SaleDiscounted:
        search.title = QStringLiteral("LISTINO VENDITA SCONTATO");
        search.from = QLatin1String(kDiscountedRows) + itemJoin(search.table) + partyJoin(parties, party, search.table);
        search.columns = {partyCode,
                          brand,
                          item,
                          partyName,
                          description,
                          figure("PR_LISTINO", "PREZZO LIS."),
                          percent("SC_V1", "SC.1"),
                          percent("SC_V2", "SC.2"),
                          percent("SC_V3", "SC.3"),
                          figure("PR_VENDITA", "PREZZO SCO."),
                          figure("PR_VENFISSO", "PREZZO FISSO")};
        search.reportKey = QStringLiteral("LISVSC") + suffix;
        order = t + QStringLiteral("CLIENTE, ") + t + QStringLiteral("MARCA, ") + t + QStringLiteral("ARTICOLO");
        break;
    case PriceListKind::SaleMarkedUp:
        search.title = QStringLiteral("LISTINO VENDITA RICARICATO");
        search.from =
            search.table + itemJoin(search.table) + partyJoin(parties, party, search.table) +
            QStringLiteral(" LEFT JOIN %1 ON %1.FORNITORE = %2.FORNITORE").arg(Tables::ANAG_FOR, search.table);
        search.columns = {partyCode,
                          brand,
                          item,
                          pricelistsearchColumn(t + QStringLiteral("FORNITORE"), "06C", "FORNITORE"),
                          description,
                          pricelistsearchColumn(Tables::ANAG_FOR + QStringLiteral(".RAG_SOC1"), "24C", "NOME FORNITORE"),
                          figure("PR_LISTINO", "PR. LISTINO"),
                          percent("SC_A1", "SC.1"),
                          percent("SC_A2", "SC.2"),
                          percent("SC_A3", "SC.3"),
                          figure("PR_ACQUISTO", "PR. ACQUISTO"),
                          percent("PERC_RIC", "% RIC"),
                          figure("PR_RICARICATO", "PREZZO RIC.")};
        search.reportKey = QStringLiteral("LISVRI") + suffix;
        order = t + QStringLiteral("CLIENTE, ") + t + QStringLiteral("MARCA, ") + t + QStringLiteral("ARTICOLO, ") + t +
                QStringLiteral("FORNITORE");
        break;
    case PriceListKind::CustomerDiscounts:
    case PriceListKind::SupplierDiscounts: {
        const bool sale = kind == PriceListKind::CustomerDiscounts;
        search.title = sale ? QStringLiteral("Lista SCONTI CLIENTI") : QStringLiteral("Lista SCONTI FORNITORI");
        search.from = search.table + partyJoin(parties, party, search.table) +
                      QStringLiteral(" LEFT JOIN %1 ON %1.CODICE = %2.MARCA").arg(Tables::TAB_MARCHE, search.table);
        search.columns = {
            pricelistsearchColumn(t + party, "06C", sale ? "CLIENTE" : "FORNITORE"), brand, partyName,
            pricelistsearchColumn(QStringLiteral("CASE WHEN %1MARCA = '999' THEN 'Marca standard' ELSE %2.DESCRIZIONE END")
                       .arg(t, Tables::TAB_MARCHE),
                   "20C", "DESCRIZIONE MARCA")};
        const QString prefix = sale ? QStringLiteral("SC_V") : QStringLiteral("SC_A");
        for (int i = 1; i <= 3; ++i)
            search.columns.append(
                {t + prefix + QString::number(i), QStringLiteral("06Z"), QStringLiteral("SC.%1").arg(i)});
        if (sale)
            search.columns.append(percent("PERC_RIC", "% RIC."));
        search.reportKey = sale ? QStringLiteral("SCONCLI") : QStringLiteral("SCONFOR");
        order = t + party + QStringLiteral(", ") + t + QStringLiteral("MARCA");
        break;
    }
    }
    const QString conditions = where.sql().isEmpty() ? QStringLiteral("1 = 1") : where.sql();
    search.saleCondition = where.sql();
    search.condition = conditions + QStringLiteral(" ORDER BY ") + order;
    search.params = where.params();
    search.formula = where.formula();
    return search;
}

} // namespace Orlavo::Masterdata
