#pragma once

#include <QString>

#include <array>
#include <optional>

namespace Orlavo::Sales {

// A row's three discounts in cascade, percent.
using Discounts = std::array<double, 3>;

// The row amount (NETTO), unrounded: quantity × price less each discount
// on what the one before left; a quantity of 0 makes a value-only row, the
// amount being the price.
double rowAmount(double quantity, double price, const Discounts &discounts);

// Row amounts above 999.999.999 are refused.
bool rowAmountTooHigh(double amount);
inline constexpr const char kRowAmountTooHigh[] =
    "Importo totale riga troppo elevato ricontrollare ! (max 999.999.999)";

// The discount typed as one text, "10+5+2": up to three parts joined by
// "+", "." or "," for the decimals, blanks ignored, an empty part 0.
// Nothing when a part is negative, above 100 or not a number, or when
// there is a fourth.
std::optional<Discounts> parseDiscountText(const QString &text);
// The discounts as the operator types them: "10+5+2", "10,5", "" for none.
QString discountText(const Discounts &discounts);
inline constexpr const char kWrongDiscount[] = "Percentuale sconto errata.";

// Header discounts are 0 to 99,99.
bool headerDiscountValid(double percent);

// Where a row's commission rate comes from when none was typed: the
// document's agent's rate when there is an agent and it is not 0, else the
// item's, else its brand's. A rate typed, 0 included, stays.
struct CommissionSources {
    bool agentGiven = false;
    double agent = 0;
    double item = 0;
    double brand = 0;
};
double commissionRate(std::optional<double> typed, const CommissionSources &sources);
// A typed rate outside 0–100: its message.
std::optional<QString> commissionRateProblem(double rate);
// IMPO_PROV: the rate of the row amount, at the document's decimals.
double rowCommission(double rate, double amount, int decimals);
// Asked when the discounts of a row with a commission change.
inline constexpr const char kCheckCommissions[] = "La riga contiene delle provvigioni. \nVerificarle ora ?";

// NDEC: how many decimals the unit price has (up to 5).
int priceDecimals(double price);

} // namespace Orlavo::Sales
