#include "sales/rules/documenttypes.h"
#include "sales/rules/printrows.h"
#include "sales/rules/rowprice.h"
#include "sales/rules/salesrows.h"

#include <gtest/gtest.h>

using namespace Orlavo::Sales;

TEST(SalesRows, AmountCommissionAndDecimals)
{
    const double amount = rowAmount(3, 19.99, {10, 5, 2});
    EXPECT_NEAR(amount, 50.248863, 1e-9); // stored unrounded
    EXPECT_DOUBLE_EQ(rowCommission(7.5, amount, 2), 3.77);
    EXPECT_DOUBLE_EQ(rowCommission(7.5, 10.05, 2), 0.75);
    EXPECT_DOUBLE_EQ(rowCommission(7.5, 20.05, 2), 1.50);
    EXPECT_DOUBLE_EQ(rowAmount(0, 150, {10, 0, 0}), 150); // a value-only row
    EXPECT_FALSE(rowAmountTooHigh(999999999));
    EXPECT_TRUE(rowAmountTooHigh(999999999.01));
    EXPECT_TRUE(rowAmountTooHigh(-1e9));
    EXPECT_EQ(priceDecimals(19.99), 2);
    EXPECT_EQ(priceDecimals(20), 0);
    EXPECT_EQ(priceDecimals(0.12345), 5);
    EXPECT_EQ(priceDecimals(1.1), 1);
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
    } cases[] = {
        {"L", false, {20, {10, 5, 0}}}, // the list price, its discounts on the row
        {"L", true, {17.1, {}}},        // computed: the discounted price instead
        {"V", false, {17.1, {}}},
        {"S", false, {17.1, {}}},
        {"R", true, {26, {}}},
        {"F", true, {18, {}}},
        {"L2", true, {19, {}}},
        {"l3", true, {17.5, {}}},
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
    const QList<PrintRow> summary = summarisePrintRows(
        {row(1, "VITE", 4, 25), row(2, "", 0, 0), row(3, "DADO", 5, 10), row(4, "VITE", 2, 25),
         row(5, "VITE", 1, 24), row(6, "DADO", 1, 10, 50)});
    QStringList seen;
    for (const PrintRow &p : summary)
        seen << QStringLiteral("%1 %2 %3 %4").arg(p.item, p.description).arg(p.quantity).arg(p.amount);
    EXPECT_EQ(seen, (QStringList{" riga 2 0 0", "DADO riga 3 5 50", "DADO riga 6 1 5", "VITE riga 5 1 24",
                                 "VITE riga 1 6 150"}));
}

TEST(DocumentTypes, HeadingsSignsAndCurrency)
{
    EXPECT_EQ(documentHeading(QStringLiteral("VFM"), Family::Definitive), QStringLiteral("DICITURA='FATTURA'"));
    EXPECT_EQ(documentHeading(QStringLiteral("VFI"), Family::Proposal),
              QStringLiteral("DICITURA='PROPOSTA DI FATTURA'"));
    EXPECT_EQ(documentHeading(QStringLiteral("VTX"), Family::Proposal),
              QStringLiteral("DICITURA='PROPOSTA DI NOTA D' ACCREDITO'"));
    EXPECT_EQ(documentHeading(QStringLiteral("VFD"), Family::Definitive),
              QStringLiteral("DICITURA='NOTA D' ADDEBITO'"));
    EXPECT_EQ(documentHeading(QStringLiteral("vfr"), Family::Definitive),
              QStringLiteral("DICITURA='RICEVUTA FISCALE'"));
    EXPECT_EQ(documentHeading(QStringLiteral("VZZ"), Family::Simulated), QStringLiteral("DICITURA='FATTURA'"));
    EXPECT_EQ(customerSign(QStringLiteral("VTM")), QLatin1Char('A'));
    EXPECT_EQ(customerSign(QStringLiteral("VFD")), QLatin1Char('D'));
    EXPECT_TRUE(isVatOnly(QStringLiteral("VTI")));
    EXPECT_FALSE(isVatOnly(QStringLiteral("VTM")));
    EXPECT_EQ(currencyOfYear(QStringLiteral("2002")).name, QStringLiteral("EURO"));
    EXPECT_EQ(currencyOfYear(QStringLiteral("2001")).decimals, 0);
    EXPECT_DOUBLE_EQ(euroValue(1000000, currencyOfYear(QStringLiteral("2001"))), 516.46);
    EXPECT_DOUBLE_EQ(euroValue(38.99, currencyOfYear(QStringLiteral("2024"))), 38.99);
}
