#pragma once

#include <QString>

namespace Orlavo::Services {

// The lire/euro rate, fixed by law.
inline constexpr double kEuroLireRate = 1936.27;

// Rounds as a person reading the printed figure would: the value is first
// taken to 15 significant digits, then halves go away from zero at the
// given decimals (2.675 → 2.68, 1.005 → 1.01, -0.5 → -1).
double roundDec(double value, int decimals);

// "1.234.567,89": rounded, comma for decimals, point for thousands, whatever
// the system locale.
QString formatGrouped(double value, int decimals);

} // namespace Orlavo::Services
