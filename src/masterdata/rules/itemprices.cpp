#include "masterdata/rules/itemprices.h"

#include "services/core/values.h"

#include <algorithm>

namespace Orlavo::Masterdata {

using Services::roundDec;

int typedDecimals(const QString &typed, int defaultDecimals)
{
    const QString text = typed.trimmed();
    const qsizetype comma = std::max(text.lastIndexOf(QLatin1Char(',')), text.lastIndexOf(QLatin1Char('.')));
    const int count = comma < 0 ? 0 : int(text.size() - comma - 1);
    return std::clamp(count, std::min(defaultDecimals, kMostPriceDecimals), kMostPriceDecimals);
}

double withVat(double listPrice, double rate, int decimals)
{
    return roundDec(listPrice * (100 + rate) / 100, decimals);
}

double withoutVat(double inclusivePrice, double rate, int decimals)
{
    return roundDec(inclusivePrice * 100 / (100 + rate), decimals);
}

double secondPrice(double firstPrice, double ratio, int decimals)
{
    return ratio == 0 ? 0 : roundDec(firstPrice / ratio, decimals);
}

double discounted(double price, double d1, double d2, double d3, int decimals)
{
    double p = price;
    for (const double discount : {d1, d2, d3})
        p -= p * discount / 100;
    return roundDec(p, decimals);
}

double markedUp(double price, double markup, int decimals)
{
    return roundDec(price + price * markup / 100, decimals);
}

std::optional<ItemCoding> parseItemCoding(const QString &parameter)
{
    if (!parameter.startsWith(QLatin1String("ARTICOD")))
        return std::nullopt;
    const auto price = [&parameter](int from) {
        QString text = parameter.mid(from, 20).trimmed();
        bool number = false;
        QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
        return number ? text.replace(QLatin1Char('.'), QLatin1Char(',')) : QString();
    };
    return ItemCoding{parameter.mid(7, 3).trimmed(), parameter.mid(10, 30).trimmed(), price(40), price(60)};
}

QString itemCodingParameter(const ItemCoding &coding)
{
    return QStringLiteral("ARTICOD") + coding.brand.leftJustified(3, QLatin1Char(' '), true) +
           coding.code.leftJustified(30, QLatin1Char(' '), true) +
           coding.price1.leftJustified(20, QLatin1Char(' '), true) + coding.price2.left(20);
}

} // namespace Orlavo::Masterdata
