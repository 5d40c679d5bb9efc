#include "masterdata/rules/duedates.h"
#include "sales/rules/summary.h"

#include <gtest/gtest.h>

using namespace Orlavo::Sales;
using Orlavo::Masterdata::computeDueDates;
using Orlavo::Masterdata::PaymentCondition;

namespace {

std::optional<VatRate> rateOf(const QString &code)
{
    static const QHash<QString, VatRate> rates = {
        {QStringLiteral("22"), {22, QStringLiteral("IVA 22%")}},
        {QStringLiteral("10"), {10, QStringLiteral("IVA 10%")}},
        {QStringLiteral("4"), {4, QStringLiteral("IVA 4%")}},
        {QStringLiteral("5"), {5, QStringLiteral("IVA 5%")}},
        {QStringLiteral("20"), {20, QStringLiteral("IVA 20%")}},
        {QStringLiteral("E15"), {0, QStringLiteral("Escluso art. 15")}},
    };
    const auto found = rates.constFind(code);
    return found == rates.cend() ? std::nullopt : std::optional<VatRate>(*found);
}

SummaryRow row(const char *code, double amount, double quantity = 1)
{
    SummaryRow r;
    r.vatCode = QString::fromLatin1(code);
    r.quantity = quantity;
    r.price = amount / (quantity == 0 ? 1 : quantity);
    r.amount = amount;
    return r;
}

SummaryInput document(QList<SummaryRow> rows, const char *year = "2024")
{
    SummaryInput input;
    input.type = QStringLiteral("VFM");
    input.currency = currencyOfYear(QString::fromLatin1(year));
    input.rows = std::move(rows);
    return input;
}

Summary run(const SummaryInput &input, const Summary &previous = {})
{
    return summarise(input, previous, rateOf);
}

} // namespace

// The document worked by hand: two rows, a header discount, transport,
// stamp duty on an excluded code, withholding, due dates and commissions.
TEST(Summary, WorkedDocument)
{
    SummaryInput input = document({row("22", 10.05), row("10", 20.05)});
    input.headerDiscounts = {10, 0, 0};
    Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.goods, 30.10);
    EXPECT_DOUBLE_EQ(s.discount, 3.01);
    EXPECT_DOUBLE_EQ(s.net, 27.09);
    EXPECT_DOUBLE_EQ(s.vatSlots[0].taxable, 9.04);  // 10,05 less its own 1,01 (1,005)
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 18.05); // the rest; its own cascade gives 18,04

    input.transport = {5.00, QStringLiteral("22")};
    input.stamp = {2.00, QStringLiteral("E15")};
    input.withholding = true;
    input.withholdingRate = 23;
    s = run(input);
    const std::array<VatSlot, kVatSlots> expected = {
        {{QStringLiteral("22"), QStringLiteral("IVA 22%"), 14.04, 3.09},
         {QStringLiteral("10"), QStringLiteral("IVA 10%"), 18.05, 1.81},
         {QStringLiteral("E15"), QStringLiteral("Escluso art. 15"), 2.00, 0},
         {},
         {}}};
    EXPECT_EQ(s.vatSlots, expected);
    EXPECT_DOUBLE_EQ(s.total, 38.99);
    EXPECT_DOUBLE_EQ(s.totalEuro, 38.99);
    EXPECT_DOUBLE_EQ(s.withholdingBase, 17.05); // 17,045
    EXPECT_DOUBLE_EQ(s.withholding, 3.92);
    EXPECT_DOUBLE_EQ(s.totalNet, 35.07);

    const PaymentCondition condition{QStringLiteral("R36"), QLatin1Char('R'), {30, 60, 0, 0}, 0, QLatin1Char('F')};
    const double commission = rowCommission(7.5, 10.05, 2) + rowCommission(7.5, 20.05, 2);
    const auto due = computeDueDates(s.totalNet, 2, QDate(2024, 11, 15), condition, commission);
    ASSERT_EQ(due.lines.size(), 2);
    EXPECT_EQ(due.lines[0].date, QDate(2024, 12, 31));
    EXPECT_EQ(due.lines[1].date, QDate(2025, 1, 31));
    EXPECT_DOUBLE_EQ(due.lines[0].amount, 17.53);
    EXPECT_DOUBLE_EQ(due.lines[1].amount, 17.54);
    EXPECT_DOUBLE_EQ(due.lines[0].commission, 1.12);
    EXPECT_DOUBLE_EQ(due.lines[1].commission, 1.13);
}

TEST(Summary, RowsAddUnroundedAndRoundOncePerSlot)
{
    const double amount = rowAmount(3, 19.99, {10, 5, 2}); // 50,248863
    Summary s = run(document({row("22", amount)}));
    EXPECT_DOUBLE_EQ(s.vatSlots[0].taxable, 50.25);
    EXPECT_DOUBLE_EQ(s.vatSlots[0].vat, 11.06); // 11,055
    // Three rows of 0,004: one cent in the slot, not three zeros.
    s = run(document({row("22", 0.004), row("22", 0.004), row("22", 0.004)}));
    EXPECT_DOUBLE_EQ(s.vatSlots[0].taxable, 0.01);
    // A value-only row counts its price; a description row nothing.
    SummaryRow valueOnly = row("22", 150, 0);
    SummaryRow description = row("", 0);
    s = run(document({valueOnly, description}));
    EXPECT_DOUBLE_EQ(s.vatSlots[0].taxable, 150);
    EXPECT_TRUE(s.rowsWithoutVat.isEmpty());
}

TEST(Summary, OneCodeTakesTheWholeNetAndDiscountsCascade)
{
    SummaryInput input = document({row("22", 33.33), row("22", 33.33), row("22", 33.34)});
    input.headerDiscounts = {10, 5, 2.5};
    const Summary s = run(input);
    // 100 less 10,00 = 90,00, less 4,50 = 85,50, less 2,14 (2,1375) = 83,36.
    EXPECT_DOUBLE_EQ(s.discount, 16.64);
    EXPECT_DOUBLE_EQ(s.net, 83.36);
    EXPECT_DOUBLE_EQ(s.vatSlots[0].taxable, 83.36);
}

TEST(Summary, FiveCodesAndAnExpenseOfASixthFail)
{
    SummaryInput input = document({row("22", 10), row("10", 10), row("4", 10), row("5", 10), row("20", 10)});
    const Summary good = run(input);
    ASSERT_FALSE(good.failed);
    EXPECT_DOUBLE_EQ(good.total, 50 + 2.2 + 1 + 0.4 + 0.5 + 2);
    input.transport = {1.0, QStringLiteral("E15")};
    const Summary failed = run(input, good);
    EXPECT_TRUE(failed.failed);
    EXPECT_EQ(failed.vatSlots, good.vatSlots); // the previous figures stay
    EXPECT_DOUBLE_EQ(failed.total, good.total);
    // A sixth code on a row fails the same way.
    input.transport = {};
    input.rows.append(row("E15", 1));
    EXPECT_TRUE(run(input, good).failed);
}

TEST(Summary, ManualVatKeptWhileTheSlotStays)
{
    SummaryInput input = document({row("22", 455)});
    Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.vatSlots[0].vat, 100.10);
    s.vatSlots[0].vat = 100.30; // typed by the operator
    Summary again = run(input, s);
    EXPECT_DOUBLE_EQ(again.vatSlots[0].vat, 100.30);
    EXPECT_DOUBLE_EQ(again.total, 555.30);
    input.rows[0].amount = 456; // the taxable changes: computed again
    again = run(input, again);
    EXPECT_DOUBLE_EQ(again.vatSlots[0].vat, 100.32);
    // The same taxable on another code is computed too.
    s.vatSlots[0].code = QStringLiteral("10");
    input.rows[0].amount = 455;
    EXPECT_DOUBLE_EQ(run(input, s).vatSlots[0].vat, 100.10);
}

TEST(Summary, RoundUpSettingAndLire)
{
    SummaryInput input = document({row("22", 10.05)});
    input.vatRoundUp = true;
    EXPECT_DOUBLE_EQ(run(input).vatSlots[0].vat, 2.22);
    input.vatRoundUp = false;
    EXPECT_DOUBLE_EQ(run(input).vatSlots[0].vat, 2.21);

    input = document({row("10", 12345), row("20", 12347)}, "2001");
    input.vatRoundUp = true;
    Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.vatSlots[0].vat, 1235);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].vat, 2470);
    input.vatRoundUp = false;
    s = run(input);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].vat, 2469);
    EXPECT_DOUBLE_EQ(s.total, 12345 + 1235 + 12347 + 2469);
    EXPECT_DOUBLE_EQ(s.totalEuro, 14.67); // 28.396 lire: 14,665
    EXPECT_DOUBLE_EQ(run(document({row("E15", 1000000)}, "2001")).totalEuro, 516.46);
}

TEST(Summary, VatOnlyDocuments)
{
    SummaryInput input = document({row("22", 22.00), row("10", 5.50), row("22", 0)});
    input.type = QStringLiteral("VFI");
    input.headerDiscounts = {10, 0, 0};
    input.transport = {5.0, QStringLiteral("22")};
    const Summary s = run(input);
    EXPECT_EQ(s.vatSlots[0], (VatSlot{QStringLiteral("22"), QStringLiteral("IVA 22%"), 0, 22.00}));
    EXPECT_EQ(s.vatSlots[1], (VatSlot{QStringLiteral("10"), QStringLiteral("IVA 10%"), 0, 5.50}));
    EXPECT_DOUBLE_EQ(s.goods, 0);
    EXPECT_DOUBLE_EQ(s.net, 0);
    EXPECT_DOUBLE_EQ(s.total, 27.50);
}

TEST(Summary, RowsWithoutVatAndUnknownCodesAreReported)
{
    const Summary s = run(document({row("22", 10), row("", 5), row("99", 3)}));
    EXPECT_EQ(s.rowsWithoutVat, QList<qsizetype>{1});
    EXPECT_EQ(s.unknownCodes, QStringList{QStringLiteral("99")});
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 3);
}

TEST(Summary, WithholdingBaseTypedIsKeptWhileTheTaxableStays)
{
    SummaryInput input = document({row("22", 100)});
    input.withholding = true;
    input.withholdingRate = 20;
    Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.withholdingBase, 50);
    s.withholdingBase = 80; // typed
    Summary again = run(input, s);
    EXPECT_DOUBLE_EQ(again.withholdingBase, 80);
    EXPECT_DOUBLE_EQ(again.withholding, 16);
    EXPECT_DOUBLE_EQ(again.totalNet, 122 - 16);
    input.rows[0].amount = 200;
    EXPECT_DOUBLE_EQ(run(input, again).withholdingBase, 100);
    input.withholding = false;
    again = run(input, again);
    EXPECT_DOUBLE_EQ(again.withholding, 0);
    EXPECT_DOUBLE_EQ(again.totalNet, again.total);
}

TEST(Summary, SpecialTotals)
{
    SummaryRow heavy = row("22", 100, 10);
    heavy.item = true;
    heavy.specificWeight = 1.255; // 12,55 a row
    heavy.special = true;
    SummaryRow light = row("22", 50, 4);
    light.item = true;
    light.specificWeight = 0.5;
    SummaryInput input = document({heavy, light});
    input.specialItem = SpecialItem{QStringLiteral("10"), 2};
    Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.weights, 14.55);
    EXPECT_DOUBLE_EQ(s.specialWeight, 12.55);
    ASSERT_TRUE(s.specialRow);
    EXPECT_EQ(s.specialRowAt, 2);
    EXPECT_DOUBLE_EQ(s.specialRow->amount, 25.10);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 25.10); // billed on the item's own code

    // The billed row is refreshed, not counted, and goes when nothing is special.
    input.rows.append(*s.specialRow);
    input.rows[0].quantity = 20;
    s = run(input);
    EXPECT_DOUBLE_EQ(s.specialWeight, 25.10);
    EXPECT_EQ(s.specialRowAt, 2);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 50.20);
    input.rows[0].special = false;
    s = run(input);
    EXPECT_FALSE(s.specialRow);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 0);
    EXPECT_DOUBLE_EQ(s.weights, 27.10);
}
