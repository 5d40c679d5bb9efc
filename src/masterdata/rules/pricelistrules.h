#pragma once

#include "services/core/record.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace Orlavo::Masterdata {

// The reserved party code of the standard lists: customer 99999 is the
// standard sale list's, supplier 99999 the standard purchase list's.
inline constexpr int kStandardParty = 99999;

// The brand whose discounts stand for every brand a party has no row for
// ("Marca standard").
inline constexpr char kStandardBrand[] = "999";

// The decimals of list prices when DECIMALI_PREZZO1 is missing from the
// settings.
inline constexpr int kListDecimals = 2;

using Discounts = std::array<double, 3>;

// A party's discounts for a brand: its row for the brand, else its row for
// the standard brand 999, else the item's own discounts (and markup).
struct PartyDiscounts {
    Discounts discounts{};
    double markup = 0;
    bool operator==(const PartyDiscounts &) const = default;
};
PartyDiscounts chooseDiscounts(const std::optional<PartyDiscounts> &brandRow,
                               const std::optional<PartyDiscounts> &standardBrandRow, const PartyDiscounts &item);

// The figures of a purchase list row: the list price less the supplier's
// discounts in cascade, rounded once.
double purchaseNet(double listPrice, const Discounts &discounts, int decimals);

// Where a document row takes its price from: the customer's sale list, the
// standard list (customer 99999), or the item's own prices. A receipt
// ("VFR") and a row asking for the item's own price skip the lists.
enum class PriceSource { CustomerList, StandardList, Item };
PriceSource priceSource(const QString &documentType, bool ownPrice, bool customerHasRows, bool standardHasRows);
// The document type whose rows never read the lists.
inline constexpr char kReceiptType[] = "VFR";

// The checks of a purchase list row as the operator edits it, in the
// window's order: the net price, the three discounts, the fixed price.
// Columns PR_ACQUISTO, SC_A1..3, PR_ACQFISSO.
QList<Services::FieldProblem> purchaseRowProblems(const Services::Row &row);
// The checks of a sale list row: fixed, marked-up price, markup, net price,
// the three discounts. Columns PR_VENFISSO, PR_RICARICATO, PERC_RIC,
// PR_VENDITA, SC_V1..3.
QList<Services::FieldProblem> saleRowProblems(const Services::Row &row);

// The decimals a stored price shows with: the list's, more when it has
// them (at most five).
int priceDecimals(double price, int decimals);
// The price with those decimals and the Italian comma ("12,50", "0,00").
QString priceText(double price, int decimals);

// A discount shown as the lists and windows show it: two digits at least
// before the comma, two after ("05,50", "00,00").
QString discountText(double value);

} // namespace Orlavo::Masterdata
