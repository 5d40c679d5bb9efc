#include "masterdata/stores/pricelists.h"

#include "masterdata/rules/itemprices.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace Orlavo::Masterdata {

using Services::Params;
using Services::WriteUnit;
namespace Tables = Services::Tables;

namespace {

// The supplier rows of the item's purchase list: discounts and net price.
using PurchaseRow = PurchaseFigures;

std::optional<QHash<int, PurchaseRow>> purchaseRows(WriteUnit &unit, const ListedItem &item)
{
    auto rows = unit.read(
        QStringLiteral("SELECT FORNITORE, SC_A1, SC_A2, SC_A3, PR_ACQUISTO FROM %1 WHERE MARCA = ? AND ARTICOLO = ?")
            .arg(Tables::LIST_ACQ),
        {item.brand, item.code});
    if (!rows)
        return std::nullopt;
    QHash<int, PurchaseRow> found;
    for (const auto &row : *rows)
        found.insert(row.at(0).toInt(),
                     {{row.at(1).toDouble(), row.at(2).toDouble(), row.at(3).toDouble()}, row.at(4).toDouble()});
    return found;
}

double cascade(const ListedItem &item, const Discounts &d)
{
    return purchaseNet(item.listPrice, d, item.decimals);
}

Params itemSaleValues(const ListedItem &item, const PartyDiscounts &sale, const PurchaseRow &purchase)
{
    return saleValues(item.listPrice, item.decimals, sale, purchase, item.saleFixed);
}

constexpr char kSaleSet[] = "PR_LISTINO = ?, SC_V1 = ?, SC_V2 = ?, SC_V3 = ?, PR_VENDITA = ?, SC_A1 = ?, SC_A2 = ?, "
                            "SC_A3 = ?, PR_ACQUISTO = ?, PERC_RIC = ?, PR_RICARICATO = ?, PR_VENFISSO = ?";

} // namespace

std::optional<QHash<int, BrandRows>> brandRowsOf(WriteUnit &unit, bool customers, const QString &brand)
{
    const QString sql =
        customers ? QStringLiteral("SELECT CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC FROM %1 WHERE MARCA IN (?, ?)")
                        .arg(Tables::TAB_SCONCLI)
                  : QStringLiteral("SELECT FORNITORE, MARCA, SC_A1, SC_A2, SC_A3, 0 FROM %1 WHERE MARCA IN (?, ?)")
                        .arg(Tables::TAB_SCONFOR);
    auto rows = unit.read(sql, {brand, QString::fromLatin1(kStandardBrand)});
    if (!rows)
        return std::nullopt;
    QHash<int, BrandRows> found;
    for (const auto &row : *rows) {
        const PartyDiscounts d{{row.at(2).toDouble(), row.at(3).toDouble(), row.at(4).toDouble()},
                               row.at(5).toDouble()};
        BrandRows &party = found[row.at(0).toInt()];
        if (row.at(1).toString().trimmed().compare(brand, Qt::CaseInsensitive) == 0)
            party.brand = d;
        else
            party.standard = d;
    }
    return found;
}

Params saleValues(double listPrice, int decimals, const PartyDiscounts &sale, const PurchaseFigures &purchase,
                  double saleFixed)
{
    const Discounts &v = sale.discounts;
    const Discounts &a = purchase.discounts;
    return {listPrice, v[0], v[1],           v[2],        discounted(listPrice, v[0], v[1], v[2], decimals), a[0],
            a[1],      a[2], purchase.price, sale.markup, markedUp(purchase.price, sale.markup, decimals),   saleFixed};
}

bool seedItemLists(WriteUnit &unit, const ListedItem &item)
{
    const auto suppliers = brandRowsOf(unit, false, item.brand);
    auto listed = purchaseRows(unit, item);
    if (!suppliers || !listed)
        return false;
    for (auto it = suppliers->begin(); it != suppliers->end(); ++it) {
        if (listed->contains(it.key()))
            continue;
        const Discounts d = it->chosen().discounts;
        const PurchaseRow row{d, cascade(item, d)};
        if (!unit.execCompany(
                QStringLiteral("Ins. list acq"),
                QStringLiteral("INSERT INTO %1 (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, "
                               "SC_A3, PR_ACQUISTO, PR_ACQFISSO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(Tables::LIST_ACQ),
                {it.key(), item.brand, item.code, item.listPrice, d[0], d[1], d[2], row.price, item.purchaseFixed}))
            return false;
        listed->insert(it.key(), row);
    }

    const auto customers = brandRowsOf(unit, true, item.brand);
    auto existing = unit.read(
        QStringLiteral("SELECT CLIENTE, FORNITORE FROM %1 WHERE MARCA = ? AND ARTICOLO = ?").arg(Tables::LIST_VEN),
        {item.brand, item.code});
    if (!customers || !existing)
        return false;
    QSet<std::pair<int, int>> present;
    for (const auto &row : *existing)
        present.insert({row.at(0).toInt(), row.at(1).toInt()});
    const QString insert = QStringLiteral("INSERT INTO %1 (CLIENTE, MARCA, ARTICOLO, FORNITORE, %2) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                               .arg(Tables::LIST_VEN, QLatin1String(kSaleColumns));
    for (auto c = customers->begin(); c != customers->end(); ++c) {
        for (auto s = listed->begin(); s != listed->end(); ++s) {
            if (present.contains({c.key(), s.key()}))
                continue;
            if (!unit.execCompany(QStringLiteral("Ins. list vend"), insert,
                                  Params{c.key(), item.brand, item.code, s.key()} +
                                      itemSaleValues(item, c->chosen(), *s)))
                return false;
        }
    }
    return true;
}

bool propagateItemPrices(WriteUnit &unit, const ListedItem &item)
{
    const auto suppliers = brandRowsOf(unit, false, item.brand);
    auto listed = purchaseRows(unit, item);
    if (!suppliers || !listed)
        return false;
    for (auto it = listed->begin(); it != listed->end(); ++it) {
        const Discounts d = suppliers->value(it.key()).chosen({item.purchaseDiscounts, 0}).discounts;
        *it = {d, cascade(item, d)};
        if (!unit.execCompany(
                QStringLiteral("Agg. list acq"),
                QStringLiteral("UPDATE %1 SET PR_LISTINO = ?, SC_A1 = ?, SC_A2 = ?, SC_A3 = ?, "
                               "PR_ACQUISTO = ?, PR_ACQFISSO = ? "
                               "WHERE FORNITORE = ? AND MARCA = ? AND ARTICOLO = ?")
                    .arg(Tables::LIST_ACQ),
                {item.listPrice, d[0], d[1], d[2], it->price, item.purchaseFixed, it.key(), item.brand, item.code}))
            return false;
    }

    const auto customers = brandRowsOf(unit, true, item.brand);
    auto rows = unit.read(QStringLiteral("SELECT CLIENTE, FORNITORE, SC_A1, SC_A2, SC_A3, PR_ACQUISTO FROM %1 "
                                         "WHERE MARCA = ? AND ARTICOLO = ?")
                              .arg(Tables::LIST_VEN),
                          {item.brand, item.code});
    if (!customers || !rows)
        return false;
    const QString update = QStringLiteral("UPDATE %1 SET %2 WHERE CLIENTE = ? AND MARCA = ? AND ARTICOLO = ? AND "
                                          "FORNITORE = ?")
                               .arg(Tables::LIST_VEN, QLatin1String(kSaleSet));
    for (const auto &row : *rows) {
        const int customer = row.at(0).toInt();
        const int supplier = row.at(1).toInt();
        const PartyDiscounts sale = customers->value(customer).chosen({item.saleDiscounts, item.markup});
        // A supplier without a purchase row (the standard list's) keeps its figures.
        const PurchaseRow purchase =
            listed->contains(supplier)
                ? listed->value(supplier)
                : PurchaseRow{{row.at(2).toDouble(), row.at(3).toDouble(), row.at(4).toDouble()}, row.at(5).toDouble()};
        if (!unit.execCompany(QStringLiteral("Agg. list vend"), update,
                              itemSaleValues(item, sale, purchase) + Params{customer, item.brand, item.code, supplier}))
            return false;
    }
    return true;
}

} // namespace Orlavo::Masterdata
