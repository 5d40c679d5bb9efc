#include "warehouse/rules/movementvalues.h"

#include "services/core/values.h"

namespace Orlavo::Warehouse {

using Services::roundDec;

namespace {

double cascade(double amount, const Discounts &discounts)
{
    for (double d : discounts)
        amount -= amount * d / 100;
    return amount;
}

} // namespace

double discountedPrice(double price, const Discounts &discounts, int priceDecimals)
{
    return roundDec(cascade(price, discounts), priceDecimals);
}

double movementTotal(double quantity, double price, const Discounts &discounts, int amountDecimals)
{
    return roundDec(cascade(quantity * price, discounts), amountDecimals);
}

double averagePurchasePrice(const QList<Load> &loads, const QDate &upTo, int decimals)
{
    double quantity = 0;
    double value = 0;
    QList<Load> lire;
    for (const Load &load : loads) {
        if (load.quantity <= 0)
            continue;
        if (load.date.year() < 2002) {
            lire.append(load);
        } else {
            quantity += load.quantity;
            value += load.value;
        }
    }
    return averagePurchasePrice(quantity, value, lire, upTo, decimals);
}

double averagePurchasePrice(double euroQuantity, double euroValue, const QList<Load> &lireLoads, const QDate &upTo,
                            int decimals)
{
    const bool inEuro = upTo.year() >= 2002;
    double quantity = euroQuantity;
    double value = euroValue;
    for (const Load &load : lireLoads) {
        if (load.quantity <= 0)
            continue;
        quantity += load.quantity;
        value += inEuro ? roundDec(load.value / Services::kEuroLireRate, 2) : load.value;
    }
    if (quantity == 0 || value == 0)
        return 0;
    return roundDec(value / quantity, decimals);
}

} // namespace Orlavo::Warehouse
