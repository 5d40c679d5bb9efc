#include "masterdata/rules/vatrules.h"

#include "services/core/values.h"

#include <algorithm>
#include <cmath>

namespace Orlavo::Masterdata {

using Services::roundDec;

namespace {

double unitOf(int decimals)
{
    return std::pow(10.0, -decimals);
}

// Equal as printed to 15 significant digits.
bool sameFigure(double a, double b)
{
    return std::fabs(a - b) <= std::max(std::fabs(a), std::fabs(b)) * 5e-15;
}

} // namespace

double roundVat(double value, int decimals, bool roundUp)
{
    const double nearest = roundDec(value, decimals);
    if (!roundUp || sameFigure(nearest, value))
        return nearest;
    const double magnitude = std::fabs(value);
    double up = roundDec(magnitude, decimals);
    if (up < magnitude)
        up = roundDec(up + unitOf(decimals), decimals);
    return value < 0 ? -up : up;
}

bool manualVatAccepted(double typed, double computed, int decimals, bool vatOnly)
{
    if (computed == 0)
        return false;
    if (vatOnly)
        return true;
    const double limit = std::max(std::fabs(computed) * 0.003, unitOf(decimals));
    const double difference = std::fabs(std::fabs(typed) - std::fabs(computed));
    // Compared as printed, so 100,30 against 100,00 is exactly 0,3 %.
    return roundDec(difference, decimals + 3) <= roundDec(limit, decimals + 3);
}

} // namespace Orlavo::Masterdata
