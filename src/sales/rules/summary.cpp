#include "sales/rules/summary.h"

#include "masterdata/rules/vatrules.h"
#include "services/core/values.h"

#include <cmath>

namespace Orlavo::Sales {

using Services::roundDec;

namespace {

// The vatSlots while they fill: the unrounded sums, a code each.
struct Filling {
    std::array<QString, kVatSlots> codes;
    std::array<double, kVatSlots> sums{};
    std::array<bool, kVatSlots> used{};

    // The slot of a code, a new one when it has none; -1 when all five hold
    // other codes.
    int slotOf(const QString &code)
    {
        for (int i = 0; i < kVatSlots; ++i) {
            if (used[size_t(i)] && codes[size_t(i)].compare(code, Qt::CaseInsensitive) == 0)
                return i;
        }
        for (int i = 0; i < kVatSlots; ++i) {
            if (!used[size_t(i)]) {
                used[size_t(i)] = true;
                codes[size_t(i)] = code;
                return i;
            }
        }
        return -1;
    }
};

QString codeOf(const QString &code)
{
    return code.trimmed().toUpper();
}

// The special totals: every item row's quantity × specific weight, at 2
// decimals; the special items' apart. The row they bill is left out.
void weigh(const SummaryInput &input, QList<SummaryRow> &rows, Summary &result)
{
    qsizetype oldRow = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const SummaryRow &row = rows.at(i);
        if (row.specialTotal) {
            oldRow = i;
            continue;
        }
        if (!row.item)
            continue;
        const double w = roundDec(row.quantity * row.specificWeight, 2);
        result.weights += w;
        if (row.special)
            result.specialWeight += w;
    }
    result.weights = roundDec(result.weights, 2);
    result.specialWeight = roundDec(result.specialWeight, 2);
    if (oldRow >= 0)
        rows.removeAt(oldRow);
    if (result.specialWeight == 0)
        return;
    SummaryRow billed;
    billed.vatCode = input.specialItem->vatCode;
    billed.quantity = result.specialWeight;
    billed.price = input.specialItem->price;
    billed.amount = rowAmount(billed.quantity, billed.price, {});
    billed.item = true;
    billed.specialTotal = true;
    result.specialRowAt = oldRow >= 0 ? oldRow : rows.size();
    rows.insert(result.specialRowAt, billed);
    result.specialRow = billed;
}

// Each header discount on what the one before left, rounded.
double cascade(double amount, const Discounts &discounts, int decimals)
{
    for (double d : discounts)
        amount -= roundDec(d * amount / 100, decimals);
    return roundDec(amount, decimals);
}

bool addExpense(Filling &vatSlots, std::array<double, kVatSlots> &taxable, const Expense &expense)
{
    if (!expense.amount)
        return true;
    const int slot = vatSlots.slotOf(codeOf(expense.vatCode));
    if (slot < 0)
        return false;
    taxable[size_t(slot)] += *expense.amount;
    return true;
}

// More than five codes: the previous figures stay, marked failed.
Summary overflow(const Summary &previous)
{
    Summary kept = previous;
    kept.failed = true;
    return kept;
}

} // namespace

double Summary::taxable() const
{
    double sum = 0;
    for (const VatSlot &slot : vatSlots)
        sum += slot.taxable;
    return sum;
}

Summary summarise(const SummaryInput &input, const Summary &previous, const VatRates &rates)
{
    const int decimals = input.currency.decimals;
    const bool vatOnly = isVatOnly(input.type);
    Summary result;
    QList<SummaryRow> rows = input.rows;
    if (input.specialItem && !vatOnly)
        weigh(input, rows, result);

    // The rows' amounts into the vatSlots, in row order.
    Filling vatSlots;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const SummaryRow &row = rows.at(i);
        if (row.price == 0 && row.amount == 0)
            continue;
        const QString code = codeOf(row.vatCode);
        if (code.isEmpty()) {
            if (row.amount != 0)
                result.rowsWithoutVat.append(i);
            continue;
        }
        const int slot = vatSlots.slotOf(code);
        if (slot < 0) {
            return overflow(previous);
        }
        vatSlots.sums[size_t(slot)] += row.amount;
    }

    std::array<double, kVatSlots> taxable{};
    for (int i = 0; i < kVatSlots; ++i)
        taxable[size_t(i)] = roundDec(vatSlots.sums[size_t(i)], decimals);

    if (!vatOnly) {
        // Header discounts in cascade on the goods, spread over the vatSlots:
        // each slot its own cascade, the last one what makes them add up.
        double goods = 0;
        for (double t : taxable)
            goods += t;
        result.goods = roundDec(goods, decimals);
        result.net = cascade(result.goods, input.headerDiscounts, decimals);
        result.discount = roundDec(result.goods - result.net, decimals);
        int last = -1;
        for (int i = 0; i < kVatSlots; ++i) {
            if (taxable[size_t(i)] != 0)
                last = i;
        }
        double spread = 0;
        for (int i = 0; i < last; ++i) {
            if (taxable[size_t(i)] == 0)
                continue;
            taxable[size_t(i)] = cascade(taxable[size_t(i)], input.headerDiscounts, decimals);
            spread += taxable[size_t(i)];
        }
        if (last >= 0)
            taxable[size_t(last)] = roundDec(result.net - spread, decimals);

        // Expenses, undiscounted, each on its own code.
        for (const Expense *expense : {&input.transport, &input.bank, &input.stamp}) {
            if (!addExpense(vatSlots, taxable, *expense)) {
                return overflow(previous);
            }
        }
    }

    double total = 0;
    for (int i = 0; i < kVatSlots; ++i) {
        VatSlot &slot = result.vatSlots[size_t(i)];
        const double amount = roundDec(taxable[size_t(i)], decimals);
        if (amount == 0)
            continue;
        slot.code = vatSlots.codes[size_t(i)];
        const std::optional<VatRate> rate = rates(slot.code);
        if (rate)
            slot.description = rate->description;
        else
            result.unknownCodes.append(slot.code);
        if (vatOnly) {
            slot.vat = amount;
        } else {
            slot.taxable = amount;
            const VatSlot &before = previous.vatSlots[size_t(i)];
            if (before.code == slot.code && before.taxable == amount && before.vat != 0)
                slot.vat = before.vat;
            else
                slot.vat = Masterdata::roundVat((rate ? rate->rate : 0) * amount / 100, decimals, input.vatRoundUp);
        }
        total += slot.taxable + slot.vat;
    }
    result.total = roundDec(total, decimals);
    result.totalEuro = euroValue(result.total, input.currency);

    result.totalNet = result.total;
    result.totalNetEuro = result.totalEuro;
    if (input.withholding) {
        const double base = roundDec(result.taxable(), decimals);
        result.withholdingBase = previous.withholdingBase != 0 && roundDec(previous.taxable(), decimals) == base
                                     ? previous.withholdingBase
                                     : roundDec(base / 2, decimals);
        if (input.withholdingRate != 0 && result.withholdingBase != 0)
            result.withholding = roundDec(input.withholdingRate * result.withholdingBase / 100, decimals);
        result.totalNet = roundDec(result.total - result.withholding, decimals);
        result.totalNetEuro = euroValue(result.totalNet, input.currency);
    }
    return result;
}

} // namespace Orlavo::Sales
