#pragma once

#include <QString>

#include <array>

namespace Orlavo::Services {
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The brand whose discounts stand for every brand a party has no row for
// ("Marca standard").
inline constexpr char kStandardBrand[] = "999";

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

} // namespace Orlavo::Masterdata
