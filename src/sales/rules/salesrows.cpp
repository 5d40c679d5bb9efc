#include "sales/rules/salesrows.h"

#include "services/core/values.h"

#include <QStringList>

#include <cmath>

namespace Orlavo::Sales {

using Services::roundDec;

double rowAmount(double quantity, double price, const Discounts &discounts)
{
    if (quantity == 0)
        return price;
    double amount = quantity * price;
    for (double d : discounts)
        amount -= amount * d / 100;
    return amount;
}

bool rowAmountTooHigh(double amount)
{
    return std::fabs(amount) > 999999999;
}

std::optional<Discounts> parseDiscountText(const QString &text)
{
    QString plain = text;
    plain.remove(QLatin1Char(' '));
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    Discounts discounts{};
    if (plain.isEmpty())
        return discounts;
    const QStringList parts = plain.split(QLatin1Char('+'));
    if (parts.size() > 3)
        return std::nullopt;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts.at(i).isEmpty())
            continue;
        bool ok = false;
        const double value = parts.at(i).toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < 0 || value > 100)
            return std::nullopt;
        discounts[size_t(i)] = roundDec(value, 2);
    }
    return discounts;
}

QString discountText(const Discounts &discounts)
{
    int last = 2;
    while (last >= 0 && discounts[size_t(last)] == 0)
        --last;
    QStringList parts;
    for (int i = 0; i <= last; ++i)
        parts.append(QString::number(discounts[size_t(i)], 'f', priceDecimals(discounts[size_t(i)]))
                         .replace(QLatin1Char('.'), QLatin1Char(',')));
    return parts.join(QLatin1Char('+'));
}

bool headerDiscountValid(double percent)
{
    return percent >= 0 && percent <= 99.99;
}

double commissionRate(std::optional<double> typed, const CommissionSources &sources)
{
    if (typed)
        return *typed;
    if (sources.agentGiven && sources.agent != 0)
        return sources.agent;
    if (sources.item != 0)
        return sources.item;
    return sources.brand;
}

std::optional<QString> commissionRateProblem(double rate)
{
    if (rate < 0)
        return QStringLiteral("Percentuale provvigione non può essere minore di zero !");
    if (rate > 100)
        return QStringLiteral("Percentuale provvigione non può essere maggiore di 100 !");
    return std::nullopt;
}

double rowCommission(double rate, double amount, int decimals)
{
    return roundDec(rate * amount / 100, decimals);
}

int priceDecimals(double price)
{
    const double kept = std::fabs(roundDec(price, 5));
    for (int d = 0; d < 5; ++d) {
        if (roundDec(kept, d) == kept)
            return d;
    }
    return 5;
}

} // namespace Orlavo::Sales
