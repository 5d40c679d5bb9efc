#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// An item's prices: the three list prices each with its own decimals, their
// VAT-inclusive twins, discounts in cascade and the markup. Figures are
// computed unrounded and rounded once, to the price's decimals.

// The most decimals a price keeps.
inline constexpr int kMostPriceDecimals = 5;

// The decimals the operator typed in a price ("12,345" → 3), counted from
// the default up to kMostPriceDecimals: fewer count as the default, more as
// the most.
int typedDecimals(const QString &typed, int defaultDecimals);

// The list price with VAT at `rate` percent, and back.
double withVat(double listPrice, double rate, int decimals);
double withoutVat(double inclusivePrice, double rate, int decimals);

// Price 2 from price 1 by the settings' ratio (RAPPORTO_P1_P2); 0 when the
// ratio is 0 (no automatic price 2).
double secondPrice(double firstPrice, double ratio, int decimals);

// The price less three discounts in cascade: p - p * d / 100 for each.
double discounted(double price, double d1, double d2, double d3, int decimals);
// The price plus the markup: p + p * markup / 100.
double markedUp(double price, double markup, int decimals);

// The parameter a document passes to code a new item: "ARTICOD", then the
// brand in characters 8-10, the code in 11-40, list price 1 in 41-60 and
// list price 2 in 61-80, each trimmed. A price that is no number stays
// empty. Nothing when the text does not begin with "ARTICOD".
struct ItemCoding {
    QString brand;
    QString code;
    QString price1; // as typed, with the comma
    QString price2;
};
std::optional<ItemCoding> parseItemCoding(const QString &parameter);
// The parameter that codes the item.
QString itemCodingParameter(const ItemCoding &coding);

// Stock: what the item window shows as available, and the stock search's
// DISPONIBILE (less what is on order too).
inline double available(double onHand, double committed)
{
    return onHand - committed;
}
inline double disposable(double onHand, double committed, double ordered)
{
    return onHand - committed - ordered;
}

} // namespace Orlavo::Masterdata
