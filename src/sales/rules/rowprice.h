#pragma once

#include "masterdata/rules/pricelistrules.h"
#include "sales/rules/salesrows.h"

#include <QString>

#include <optional>

namespace Orlavo::Sales {

// The sale figures of an item and of the list row a document row found.
struct PriceFigures {
    double list = 0;       // PREZZO_LIST, or the list row's PR_LISTINO
    Discounts discounts{}; // SC_V1..3
    double discounted = 0; // PR_VENDITA; 0 on an item: computed from the list price
    double markedUp = 0;   // PREZZO_RIC or PR_RICARICATO
    double fixed = 0;      // PREZZO_V1 or PR_VENFISSO
};

// What the row takes: the price and the discounts left to show on it.
struct RowPrice {
    double price = 0;
    Discounts discounts{};
    bool operator==(const RowPrice &) const = default;
};

// The price a row proposes by PREZZOBOLLA: "L" the list price with the
// discounts on the row (with computed discounts, SCONTICALCOLATI "SI", the
// discounted price instead); "V" and "S" the discounted price; "R" the
// marked-up one; "F" the fixed one; "L2" and "L3" the item's prices 2 and 3;
// any other setting reads as "L". Prices are rounded to `decimals`.
RowPrice proposeRowPrice(const QString &setting, bool computedDiscounts, const PriceFigures &figures,
                         double secondPrice, double thirdPrice, int decimals);

} // namespace Orlavo::Sales
