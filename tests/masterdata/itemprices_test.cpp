#include "masterdata/rules/itemprices.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

TEST(ItemPrices, VatRatioCascadeAndMarkupRoundOnceToThePricesDecimals)
{
    EXPECT_DOUBLE_EQ(withVat(100, 20, 2), 120);
    EXPECT_DOUBLE_EQ(withoutVat(120, 20, 2), 100);
    // 12,1878 and back from 12,19: the cent typed stays the cent stored.
    EXPECT_DOUBLE_EQ(withVat(9.99, 22, 2), 12.19);
    EXPECT_DOUBLE_EQ(withoutVat(12.19, 22, 2), 9.99);
    EXPECT_DOUBLE_EQ(secondPrice(19363, 1936.27, 2), 10.00);
    EXPECT_DOUBLE_EQ(secondPrice(19363, 0, 2), 0);
    EXPECT_DOUBLE_EQ(discounted(100, 10, 10, 0, 2), 81);
    // Unrounded between the steps: 10,05 less 10 % twice is 8,1405 → 8,14
    // (rounding each step would give 9,05 and then 8,15).
    EXPECT_DOUBLE_EQ(discounted(10.05, 10, 10, 0, 2), 8.14);
    EXPECT_DOUBLE_EQ(markedUp(90, 20, 2), 108);
    EXPECT_DOUBLE_EQ(available(10, 4), 6);
    EXPECT_DOUBLE_EQ(disposable(10, 4, 3), 3);
}

TEST(ItemPrices, TypedDecimalsCountFromTheDefaultUpToFive)
{
    const struct {
        const char *typed;
        int defaultDecimals;
        int counted;
    } cases[] = {
        {"1,1234567", 2, 5}, {"1,5", 2, 2}, {"1,123", 2, 3}, {"12", 0, 0}, {"12", 2, 2}, {"0.125", 0, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(typedDecimals(QString::fromLatin1(c.typed), c.defaultDecimals), c.counted) << c.typed;
}

TEST(ItemPrices, TheCodingParameterOfADocumentFillsBrandCodeAndPrices)
{
    const QString parameter = QStringLiteral("ARTICOD") + QStringLiteral("ACM") + QStringLiteral("A-100").leftJustified(30) +
                              QStringLiteral("  12.50").leftJustified(20) + QStringLiteral("abc");
    const auto coding = parseItemCoding(parameter);
    ASSERT_TRUE(coding);
    EXPECT_EQ(coding->brand + "|" + coding->code + "|" + coding->price1 + "|" + coding->price2, "ACM|A-100|12,50|");
    EXPECT_FALSE(parseItemCoding(QStringLiteral("ARTNEW")));
}
