#pragma once

#include "masterdata/rules/partysearch.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// The lists of the price lists and discount tables.
enum class PriceListKind {
    Purchase,          // LIST_ACQ, "LISTINO ACQUISTO"
    SaleDiscounted,    // LIST_VEN, one row per customer, brand and item: "LISTINO VENDITA SCONTATO"
    SaleMarkedUp,      // LIST_VEN, one row per supplier: "LISTINO VENDITA RICARICATO"
    CustomerDiscounts, // TAB_SCONCLI
    SupplierDiscounts, // TAB_SCONFOR
};

// What the operator typed. A blank party lists every personal list (never
// the standard one); `standard` lists the standard one (99999) alone.
struct PriceListFilters {
    std::optional<int> party;
    bool standard = false;
    QString brand;
    QString item;
    QString priceFrom; // list price range, as typed ("12,50")
    QString priceTo;
    int decimals = 2; // the prices' decimals on screen
};

inline constexpr char kPriceNotPositive[] = "Prezzo di Listino deve essere maggiore di zero !";
inline constexpr char kPriceRangeReversed[] = "Prezzo di Listino  A  deve essere maggiore di Prezzo Listino  DA !";

struct PriceListSearch {
    QString title;                         // the list's
    QString from;                          // the tables the list reads
    QString table;                         // the table its conditions name (also in the formula)
    QList<Services::LookupColumn> columns; // the key first: the columns a chosen row carries
    QString condition;                     // the filters joined by AND, then the order
    Services::Params params;
    std::optional<QString> formula; // the print's selection
    QString reportKey;
    // The discounted sale list's filters alone, over LIST_VEN, for refilling
    // the print table.
    QString saleCondition;
};

// The list of the filters; fails with one of the price messages above.
Services::Outcome<PriceListSearch> buildPriceListSearch(PriceListKind kind, const PriceListFilters &filters);

// The key columns of a chosen row, in order: supplier, brand, item (a
// purchase row); customer, brand, item, supplier (a sale row); party,
// brand (discounts).
int keyColumnCount(PriceListKind kind);

} // namespace Orlavo::Masterdata
