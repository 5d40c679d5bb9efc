#pragma once

#include "masterdata/rules/pricelistrules.h"
#include "services/core/sqlterms.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>

namespace Orlavo::Services {
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// What the price lists copy from an item (brand and code: lists carry no
// warehouse, so the same item in two warehouses shares them).
struct ListedItem {
    QString brand;
    QString code;
    double listPrice = 0;                      // PREZZO_LIST
    double purchaseFixed = 0;                  // PREZZO_ACQ
    double saleFixed = 0;                      // PREZZO_V1
    std::array<double, 3> saleDiscounts{};     // SC_V1..3
    std::array<double, 3> purchaseDiscounts{}; // SC_A1..3
    double markup = 0;                         // PERC_RIC
    int decimals = 2;                          // of the list price: the cascade rounds to them
};

// Seeding at item insert, inside the caller's write unit: a LIST_ACQ row for
// each supplier with discounts for the brand (its own row for the brand,
// else its row for brand 999), unless it has one; then a LIST_VEN row for
// each customer with discounts for the brand and each supplier row of the
// item, unless it has one.
bool seedItemLists(Services::WriteUnit &unit, const ListedItem &item);

// Propagation of the item's prices to every LIST_ACQ and LIST_VEN row of
// brand and code: discounts from the party's brand row (or its 999 row),
// else the item's own; purchase figures of LIST_VEN from the supplier's
// LIST_ACQ row.
bool propagateItemPrices(Services::WriteUnit &unit, const ListedItem &item);

// The rows of TAB_SCONCLI (customers) or TAB_SCONFOR (suppliers) that give
// each party its discounts for the brand: its own row and its row for brand
// 999, by party code. Suppliers have no markup.
struct BrandRows {
    std::optional<PartyDiscounts> brand;
    std::optional<PartyDiscounts> standard;
    // The party's discounts: its brand row, else its 999 row, else `item`.
    PartyDiscounts chosen(const PartyDiscounts &item = {}) const { return chooseDiscounts(brand, standard, item); }
};
std::optional<QHash<int, BrandRows>> brandRowsOf(Services::WriteUnit &unit, bool customers, const QString &brand);

// A purchase list row's discounts and net price, as LIST_VEN copies them.
struct PurchaseFigures {
    Discounts discounts{};
    double price = 0;
};

// The columns of a LIST_VEN row after its key, and their values: the list
// price less the sale discounts, the purchase figures, the markup on the
// purchase price, the fixed price.
inline constexpr char kSaleColumns[] = "PR_LISTINO, SC_V1, SC_V2, SC_V3, PR_VENDITA, SC_A1, SC_A2, SC_A3, "
                                       "PR_ACQUISTO, PERC_RIC, PR_RICARICATO, PR_VENFISSO";
Services::Params saleValues(double listPrice, int decimals, const PartyDiscounts &sale, const PurchaseFigures &purchase,
                            double saleFixed);

} // namespace Orlavo::Masterdata
