#include "sales/rules/documenttypes.h"
#include "sales/rules/printrows.h"
#include "sales/rules/rowprice.h"
#include "sales/rules/salesrows.h"
#include "sales/rules/summary.h"
#include "sales/stores/invoicesettings.h"
#include "services/core/settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo::Sales;

TEST(SalesRows, AmountCommissionAndDecimals)
{
    const double amount = rowAmount(3, 19.99, {10, 5, 2});
    EXPECT_NEAR(amount, 50.248863, 1e-9); // stored unrounded
    EXPECT_DOUBLE_EQ(rowCommission(7.5, amount, 2), 3.77);
    EXPECT_DOUBLE_EQ(rowAmount(0, 150, {10, 0, 0}), 150); // a value-only row
    EXPECT_FALSE(rowAmountTooHigh(999999999));
    EXPECT_TRUE(rowAmountTooHigh(999999999.01));
    EXPECT_TRUE(rowAmountTooHigh(-1e9));
    EXPECT_EQ(priceDecimals(19.99), 2);
    EXPECT_EQ(priceDecimals(20), 0);
    EXPECT_EQ(priceDecimals(0.12345), 5);
}

TEST(SalesRows, DiscountText)
{
    struct Case {
        const char *text;
        std::optional<Discounts> read;
    } cases[] = {
        {"10+5+2", Discounts{10, 5, 2}}, {"10.5 + 5", Discounts{10.5, 5, 0}},
        {"10,5", Discounts{10.5, 0, 0}}, {"", Discounts{0, 0, 0}},
        {"100", Discounts{100, 0, 0}},   {"-5", std::nullopt},
        {"10+5+2+1", std::nullopt},      {"abc", std::nullopt},
        {"100.01", std::nullopt},        {"10-5", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseDiscountText(QString::fromUtf8(c.text)), c.read) << c.text;
    EXPECT_EQ(discountText({10.5, 5, 0}), QStringLiteral("10,5+5"));
    EXPECT_EQ(discountText({10, 0, 2}), QStringLiteral("10+0+2"));
    EXPECT_EQ(discountText({0, 0, 0}), QString());
    EXPECT_TRUE(headerDiscountValid(99.99));
    EXPECT_FALSE(headerDiscountValid(100));
    EXPECT_FALSE(headerDiscountValid(-0.01));
}

TEST(SalesRows, CommissionRateSources)
{
    const CommissionSources all{true, 8, 5, 3};
    EXPECT_EQ(commissionRate(std::nullopt, all), 8);
    EXPECT_EQ(commissionRate(std::nullopt, {true, 0, 5, 3}), 5);  // the agent's 0 is no rate
    EXPECT_EQ(commissionRate(std::nullopt, {false, 8, 5, 3}), 5); // no agent on the document
    EXPECT_EQ(commissionRate(std::nullopt, {false, 0, 0, 3}), 3);
    EXPECT_EQ(commissionRate(0.0, all), 0); // typed 0 stays
    EXPECT_EQ(commissionRate(12.0, all), 12);
    EXPECT_EQ(commissionRateProblem(-1), QStringLiteral("Percentuale provvigione non può essere minore di zero !"));
    EXPECT_EQ(commissionRateProblem(100.5), QStringLiteral("Percentuale provvigione non può essere maggiore di 100 !"));
    EXPECT_EQ(commissionRateProblem(100), std::nullopt);
}

// The price a row proposes by PREZZOBOLLA, on an item listed at 20,00 less
// 10 + 5 %, marked up to 26,00, fixed at 18,00, prices 2 and 3 at 19,00 and
// 17,50.
TEST(RowPrice, EachSettingTakesItsPrice)
{
    const PriceFigures item{20, {10, 5, 0}, 0, 26, 18};
    const struct {
        const char *setting;
        bool computed;
        RowPrice expected;
    } cases[] =
        {
            {"L", false, {20, {10, 5, 0}}}, // the list price, its discounts on the row
            {"L", true, {17.1, {}}},        // computed: the discounted price instead
            {"V", false, {17.1, {}}},       {"S", false, {17.1, {}}}, {"R", true, {26, {}}},
            {"F", true, {18, {}}},          {"L2", true, {19, {}}},   {"l3", true, {17.5, {}}},
            {"Q", false, {20, {10, 5, 0}}}, // anything else reads as "L"
        };
    for (const auto &c : cases)
        EXPECT_EQ(proposeRowPrice(QString::fromLatin1(c.setting), c.computed, item, 19, 17.5, 2), c.expected)
            << c.setting;
    // A list row's own discounted price wins over the computed one; prices
    // are rounded to the decimals asked.
    PriceFigures listed = item;
    listed.discounted = 16.995;
    EXPECT_EQ(proposeRowPrice(QStringLiteral("V"), false, listed, 0, 0, 2), (RowPrice{17.0, {}}));
    EXPECT_EQ(proposeRowPrice(QStringLiteral("V"), false, listed, 0, 0, 3), (RowPrice{16.995, {}}));
}

// The summarised print adds up an item's rows at one price and discount;
// another price, another discount and rows of text stay apart.
TEST(PrintRows, AnItemAtOnePriceIsOneRow)
{
    const auto row = [](int n, const char *item, double quantity, double price, double discount = 0) {
        PrintRow p;
        p.row = n;
        p.brand = QString::fromLatin1(*item ? "ABC" : "");
        p.item = QString::fromLatin1(item);
        p.description = QStringLiteral("riga %1").arg(n);
        p.quantity = quantity;
        p.price = price;
        p.amount = quantity * price * (100 - discount) / 100;
        p.discounts = {discount, 0, 0};
        p.vat = QStringLiteral("22");
        return p;
    };
    const QList<PrintRow> summary =
        summarisePrintRows({row(1, "VITE", 4, 25), row(2, "", 0, 0), row(3, "DADO", 5, 10), row(4, "VITE", 2, 25),
                            row(5, "VITE", 1, 24), row(6, "DADO", 1, 10, 50)});
    QStringList seen;
    for (const PrintRow &p : summary)
        seen << QStringLiteral("%1 %2 %3 %4").arg(p.item, p.description).arg(p.quantity).arg(p.amount);
    EXPECT_EQ(seen, (QStringList{" riga 2 0 0", "DADO riga 3 5 50", "DADO riga 6 1 5", "VITE riga 5 1 24",
                                 "VITE riga 1 6 150"}));
}

TEST(DocumentTypes, HeadingsSignsAndCurrency)
{
    for (const auto &[type, family, heading] :
         {std::tuple{"VFM", Family::Definitive, "FATTURA"}, std::tuple{"VFI", Family::Proposal, "PROPOSTA DI FATTURA"},
          std::tuple{"VTX", Family::Proposal, "PROPOSTA DI NOTA D' ACCREDITO"},
          std::tuple{"VFD", Family::Definitive, "NOTA D' ADDEBITO"},
          std::tuple{"vfr", Family::Definitive, "RICEVUTA FISCALE"}, std::tuple{"VZZ", Family::Simulated, "FATTURA"}})
        EXPECT_EQ(documentHeading(QString::fromLatin1(type), family),
                  QStringLiteral("DICITURA='%1'").arg(QString::fromLatin1(heading)))
            << type;
    EXPECT_EQ(customerSign(QStringLiteral("VTM")), QLatin1Char('A'));
    EXPECT_EQ(customerSign(QStringLiteral("VFD")), QLatin1Char('D'));
    EXPECT_TRUE(isVatOnly(QStringLiteral("VTI")));
    EXPECT_FALSE(isVatOnly(QStringLiteral("VTM")));
    EXPECT_EQ(currencyOfYear(QStringLiteral("2002")).name, QStringLiteral("EURO"));
    EXPECT_EQ(currencyOfYear(QStringLiteral("2001")).decimals, 0);
    EXPECT_DOUBLE_EQ(euroValue(1000000, currencyOfYear(QStringLiteral("2001"))), 516.46);
}

// The two keys that moved to FATTURA are taken over from MAIN once, the
// old ones marked; every missing key is written back with its default.
TEST(InvoiceSettings, MovedKeysAreTakenOverAndDefaultsWrittenBack)
{
    QTemporaryDir dir;
    const Orlavo::Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    settings.write("MAIN", "TIPOFATTURA", "ACC");
    settings.write("MAIN", "NUMERAZNOTEDEBSEP", "SI");
    settings.write("MAIN", "SCONTICALCOLATI", "NO");
    InvoiceSettings read = readInvoiceSettings(settings);
    EXPECT_TRUE(read.accompanying);
    EXPECT_TRUE(read.debitNotesApart);
    EXPECT_FALSE(read.computedDiscounts);
    EXPECT_TRUE(read.todayOnInvoice);
    EXPECT_EQ(read.priceSource, "L");
    EXPECT_EQ(settings.read("FATTURA", "TIPOFATTURA"), "A");
    EXPECT_EQ(settings.read("MAIN", "TIPOFATTURA"), "** NON USATO **");
    EXPECT_EQ(settings.read("FATTURA", "NUMERAZNOTEDEBSEP"), "SI");
    EXPECT_EQ(settings.read("MAIN", "NUMERAZNOTEDEBSEP"), "** NON USATO **");
    EXPECT_EQ(settings.read("MAIN", "PREZZOBOLLA"), "L");
    EXPECT_EQ(settings.read("RITACC_SU_FVEND", "RITENUTA"), "NO");

    // Read again: the FATTURA values stand; a plain invoice kind stays "N".
    settings.write("FATTURA", "TIPOFATTURA", "N");
    read = readInvoiceSettings(settings);
    EXPECT_FALSE(read.accompanying);
    EXPECT_TRUE(read.debitNotesApart);

    ASSERT_TRUE(writeWithholdingSettings(settings, true, "RA1", "20", "RIT"));
    read = readInvoiceSettings(settings);
    EXPECT_TRUE(read.withholding);
    EXPECT_EQ(read.withholdingCausal + read.withholdingRate + read.withholdingAccount, "RA120RIT");
    ASSERT_TRUE(writeWithholdingSettings(settings, false, {}, {}, {}));
    EXPECT_FALSE(readInvoiceSettings(settings).withholding);
}

// The VAT summary of a document.
namespace {

// The codes 4, 5, 10, 20 and 22 at their rate, E15 excluded; no other.
std::optional<VatRate> rateOf(const QString &code)
{
    if (code == QLatin1String("E15"))
        return VatRate{0, QStringLiteral("Escluso art. 15")};
    if (!QStringList{"4", "5", "10", "20", "22"}.contains(code))
        return std::nullopt;
    return VatRate{code.toDouble(), QStringLiteral("IVA %1%").arg(code)};
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
// stamp duty on an excluded code and withholding.
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
    // A row with an amount and no code, and an unknown code, are told.
    s = run(document({row("22", 10), row("", 5), row("99", 3)}));
    EXPECT_EQ(s.rowsWithoutVat, QList<qsizetype>{1});
    EXPECT_EQ(s.unknownCodes, QStringList{QStringLiteral("99")});
    EXPECT_DOUBLE_EQ(s.vatSlots[1].taxable, 3);
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

    // Lire: VAT to the lira, the total in euro too.
    input = document({row("10", 12345), row("20", 12347)}, "2001");
    const Summary s = run(input);
    EXPECT_DOUBLE_EQ(s.vatSlots[1].vat, 2469);
    EXPECT_DOUBLE_EQ(s.total, 12345 + 1235 + 12347 + 2469);
    EXPECT_DOUBLE_EQ(s.totalEuro, 14.67); // 28.396 lire: 14,665
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
