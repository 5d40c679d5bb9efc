#pragma once

#include <QDate>
#include <QList>

#include <array>

namespace Orlavo::Warehouse {

using Discounts = std::array<double, 3>;

// PR_SCONTATO: the price less its discounts in cascade, rounded once to the
// price's decimals (the last cost a load leaves on the item).
double discountedPrice(double price, const Discounts &discounts, int priceDecimals);

// TOTALE: quantity × price in cascade, rounded once to the amount decimals
// of the movement's year (2 in euro, 0 in lire), as an invoice row.
double movementTotal(double quantity, double price, const Discounts &discounts, int amountDecimals);

// A load admitted to the average purchase price.
struct Load {
    QDate date;
    double quantity = 0;
    double value = 0;
};

// The average purchase price up to `upTo`: the loads' values over their
// quantities, rounded to `decimals`; loads dated before 2002 are in lire
// and count in euro when the average is asked for a date in 2002 or later.
// 0 without loads.
double averagePurchasePrice(const QList<Load> &loads, const QDate &upTo, int decimals);
// The same with the euro loads already summed (quantity and value), and
// the loads of the lire years one by one, each converted and rounded.
double averagePurchasePrice(double euroQuantity, double euroValue, const QList<Load> &lireLoads, const QDate &upTo,
                            int decimals);

} // namespace Orlavo::Warehouse
