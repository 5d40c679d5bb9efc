#include "sales/rules/rowprice.h"

#include "masterdata/rules/itemprices.h"
#include "services/core/values.h"

namespace Orlavo::Sales {

RowPrice proposeRowPrice(const QString &setting, bool computedDiscounts, const PriceFigures &figures,
                         double secondPrice, double thirdPrice, int decimals)
{
    const QString how = setting.trimmed().toUpper();
    const auto round = [decimals](double value) { return Services::roundDec(value, decimals); };
    const auto discounted = [&figures, decimals] {
        if (figures.discounted != 0)
            return Services::roundDec(figures.discounted, decimals);
        const Discounts &d = figures.discounts;
        return Masterdata::discounted(figures.list, d[0], d[1], d[2], decimals);
    };
    if (how == QLatin1String("L2"))
        return {round(secondPrice), {}};
    if (how == QLatin1String("L3"))
        return {round(thirdPrice), {}};
    if (how == QLatin1String("V") || how == QLatin1String("S"))
        return {discounted(), {}};
    if (how == QLatin1String("R"))
        return {round(figures.markedUp), {}};
    if (how == QLatin1String("F"))
        return {round(figures.fixed), {}};
    if (computedDiscounts)
        return {discounted(), {}};
    return {round(figures.list), figures.discounts};
}

} // namespace Orlavo::Sales
