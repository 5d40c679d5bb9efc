#include "masterdata/rules/pricelistrules.h"
#include "masterdata/stores/listrowstore.h"
#include "masterdata/stores/pricelists.h"

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

QStringList messagesOf(const QList<Services::FieldProblem> &problems)
{
    QStringList found;
    for (const Services::FieldProblem &p : problems)
        found << p.column + QLatin1Char(':') + p.message;
    return found;
}

Services::Row rowOf(const Services::FamilyDef &family, std::initializer_list<std::pair<const char *, double>> values)
{
    Services::Record record(family);
    for (const auto &[column, value] : values)
        record.main().set(QString::fromLatin1(column), value);
    return record.main();
}

} // namespace

// Each case's figure differs from the one rounding after every discount
// would give, and from a figure cut instead of rounded.
TEST(PriceListRules, TheCascadeRoundsOnceAtTheEnd)
{
    const struct {
        double list;
        Discounts discounts;
        int decimals;
        double net;
    } cases[] = {
        {10, {33.33, 33.33, 33.33}, 2, 2.96},   // 2,9634…; per step 2,97
        {99, {15, 15, 15}, 0, 61},              // 60,799…; per step 60
        {99, {33.33, 33.33, 33.33}, 3, 29.338}, // 29,3376…; per step 29,337
        {100, {100, 50, 0}, 2, 0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(purchaseNet(c.list, c.discounts, c.decimals), c.net)
            << c.list << " - " << c.discounts[0] << "/" << c.discounts[1] << "/" << c.discounts[2];
}

// A sale row: the net price from the sale discounts of the list price, the
// purchase figures as the purchase row has them, the markup on that rounded
// purchase price, the fixed price as it is.
TEST(PriceListRules, ASaleRowMarksUpTheRoundedPurchasePrice)
{
    const struct {
        double list;
        PartyDiscounts sale;
        PurchaseFigures purchase;
        int decimals;
        double salePrice, markedUpPrice;
    } cases[] = {
        // 6,67 + 50 % = 10,005 (10,00499… in binary): the figure read is 10,01;
        // on the unrounded 6,667 it would be 10,00.
        {10, {{33.33, 0, 0}, 50}, {{33.33, 0, 0}, 6.67}, 2, 6.67, 10.01},
        {12.345, {{0, 0, 0}, 33}, {{10, 0, 0}, 19.99}, 3, 12.345, 26.587}, // 26,5867
    };
    for (const auto &c : cases) {
        const Services::Params values = saleValues(c.list, c.decimals, c.sale, c.purchase, 7.5);
        ASSERT_EQ(values.size(), QString::fromLatin1(kSaleColumns).split(QLatin1Char(',')).size());
        const Services::Params expected{
            c.list,           c.sale.discounts[0],     c.sale.discounts[1],     c.sale.discounts[2],
            c.salePrice,      c.purchase.discounts[0], c.purchase.discounts[1], c.purchase.discounts[2],
            c.purchase.price, c.sale.markup,           c.markedUpPrice,         7.5};
        for (qsizetype i = 0; i < values.size(); ++i)
            EXPECT_DOUBLE_EQ(values.at(i).toDouble(), expected.at(i).toDouble())
                << QString::fromLatin1(kSaleColumns).split(QLatin1Char(',')).at(i).trimmed().toStdString() << " of "
                << c.list;
    }
}

TEST(PriceListRules, DiscountsComeFromTheBrandRowElseTheStandardBrandElseTheItem)
{
    const PartyDiscounts brand{{10, 0, 0}, 20};
    const PartyDiscounts standard{{50, 5, 0}, 30};
    const PartyDiscounts item{{1, 2, 3}, 4};
    // A row with no discounts at all still counts: it is the party's choice.
    const PartyDiscounts zero{};
    const struct {
        std::optional<PartyDiscounts> brand, standard;
        PartyDiscounts chosen;
    } cases[] = {
        {brand, standard, brand},           {brand, std::nullopt, brand}, {std::nullopt, standard, standard},
        {std::nullopt, std::nullopt, item}, {zero, standard, zero},       {std::nullopt, zero, zero},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(chooseDiscounts(c.brand, c.standard, item), c.chosen);
        // The stores reach the same rule through the rows of a brand.
        EXPECT_EQ((BrandRows{c.brand, c.standard}.chosen(item)), c.chosen);
    }
}

TEST(PriceListRules, ADocumentRowTakesTheCustomersListThenTheStandardOneThenTheItem)
{
    using enum PriceSource;
    const struct {
        const char *type;
        bool ownPrice, customerRows, standardRows;
        PriceSource source;
    } cases[] = {
        {"FAT", false, true, true, CustomerList},
        {"FAT", false, false, true, StandardList},
        {"FAT", false, false, false, Item},
        // A receipt, however it is spelt, and the item's own price skip the lists.
        {"VFR", false, true, true, Item},
        {" vfr ", false, false, true, Item},
        {"FAT", true, true, true, Item},
        // Only the whole type is a receipt.
        {"VFRA", false, true, true, CustomerList},
    };
    for (const auto &c : cases)
        EXPECT_EQ(priceSource(QString::fromLatin1(c.type), c.ownPrice, c.customerRows, c.standardRows), c.source)
            << "'" << c.type << "' " << c.ownPrice << c.customerRows << c.standardRows;
}

TEST(PriceListRules, RowChecksRunInTheWindowsOrderWithTheirMessages)
{
    const QString below = QStringLiteral("Sconto non può essere minore di zero !");
    const QString above = QStringLiteral("Sconto non può essere maggiore di 100 !");

    const Services::Row purchase =
        rowOf(purchaseListFamily(),
              {{"PR_ACQFISSO", -0.01}, {"SC_A3", 100.01}, {"SC_A2", 100}, {"SC_A1", -1}, {"PR_ACQUISTO", -5}});
    EXPECT_EQ(messagesOf(purchaseRowProblems(purchase)),
              (QStringList{"PR_ACQUISTO:Prezzo d'Acquisto scontato - non può essere minore di 0 ! ", "SC_A1:" + below,
                           "SC_A3:" + above, "PR_ACQFISSO:Prezzo d'Acquisto Fisso - non può essere minore di 0 ! "}));
    // Zero and a hundred are within bounds.
    EXPECT_TRUE(purchaseRowProblems(rowOf(purchaseListFamily(), {{"SC_A1", 0}, {"SC_A2", 100}})).isEmpty());

    const Services::Row sale = rowOf(saleListFamily(), {{"SC_V3", -0.5},
                                                        {"SC_V2", 50},
                                                        {"SC_V1", 101},
                                                        {"PR_VENDITA", -1},
                                                        {"PERC_RIC", 100.5},
                                                        {"PR_RICARICATO", -2},
                                                        {"PR_VENFISSO", -3}});
    EXPECT_EQ(messagesOf(saleRowProblems(sale)),
              (QStringList{"PR_VENFISSO:Prezzo di vendita fisso non può essere minore di zero !",
                           "PR_RICARICATO:Prezzo di vendita ricaricato non può essere minore di zero !",
                           "PERC_RIC:Percentuale Ricarico non può essere maggiore di 100 !",
                           "PR_VENDITA:Prezzo di vendita scontato non può essere minore di zero !", "SC_V1:" + above,
                           "SC_V3:" + below}));
    EXPECT_EQ(messagesOf(saleRowProblems(rowOf(saleListFamily(), {{"PERC_RIC", -0.01}}))),
              QStringList{"PERC_RIC:Percentuale Ricarico non può essere minore di zero !"});
    EXPECT_TRUE(
        saleRowProblems(rowOf(saleListFamily(), {{"PERC_RIC", 100}, {"SC_V1", 100}, {"PR_VENDITA", 0}})).isEmpty());
}

TEST(PriceListRules, ADiscountShowsTwoDigitsBeforeTheCommaAndTwoAfter)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {5.5, "05,50"}, {0, "00,00"}, {10, "10,00"}, {100, "100,00"}, {7.05, "07,05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(discountText(c.value), QString::fromLatin1(c.text)) << c.value;
}
