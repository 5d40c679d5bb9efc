#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/pricelistrules.h"
#include "masterdata/rules/pricelistsearch.h"
#include "masterdata/stores/listrowstore.h"
#include "masterdata/stores/pricelists.h"
#include "masterdatatest.h"

// The price rules: an item's prices, a list row's figures and checks, where
// a document row's price comes from, and the search of the price lists.

using namespace Orlavo;
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
    const QString parameter = QStringLiteral("ARTICOD") + QStringLiteral("ACM") +
                              QStringLiteral("A-100").leftJustified(30) + QStringLiteral("  12.50").leftJustified(20) +
                              QStringLiteral("abc");
    const auto coding = parseItemCoding(parameter);
    ASSERT_TRUE(coding);
    EXPECT_EQ(coding->brand + "|" + coding->code + "|" + coding->price1 + "|" + coding->price2, "ACM|A-100|12,50|");
    EXPECT_FALSE(parseItemCoding(QStringLiteral("ARTNEW")));
}

namespace {

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
    EXPECT_EQ(Orlavo::Testing::problemTexts(purchaseRowProblems(purchase)),
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
    EXPECT_EQ(Orlavo::Testing::problemTexts(saleRowProblems(sale)),
              (QStringList{"PR_VENFISSO:Prezzo di vendita fisso non può essere minore di zero !",
                           "PR_RICARICATO:Prezzo di vendita ricaricato non può essere minore di zero !",
                           "PERC_RIC:Percentuale Ricarico non può essere maggiore di 100 !",
                           "PR_VENDITA:Prezzo di vendita scontato non può essere minore di zero !", "SC_V1:" + above,
                           "SC_V3:" + below}));
    EXPECT_EQ(Orlavo::Testing::problemTexts(saleRowProblems(rowOf(saleListFamily(), {{"PERC_RIC", -0.01}}))),
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

namespace {

PriceListSearch built(PriceListKind kind, const PriceListFilters &filters)
{
    const auto search = buildPriceListSearch(kind, filters);
    EXPECT_TRUE(search.ok());
    return search ? *search : PriceListSearch{};
}

} // namespace

TEST(PriceListSearch, APriceRangeMustBePositiveAndInOrder)
{
    const struct {
        const char *from, *to;
        const char *refusal;
    } cases[] = {
        {"0", "", "Prezzo di Listino deve essere maggiore di zero !"},
        {"", "-1", "Prezzo di Listino deve essere maggiore di zero !"},
        {"20", "10,5", "Prezzo di Listino  A  deve essere maggiore di Prezzo Listino  DA !"},
        {"10,5", "10,5", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.from);
        PriceListFilters filters;
        filters.priceFrom = QString::fromLatin1(c.from);
        filters.priceTo = QString::fromLatin1(c.to);
        const auto search = buildPriceListSearch(PriceListKind::Purchase, filters);
        if (c.refusal)
            EXPECT_EQ(search ? QString() : search.failure().message, QString::fromLatin1(c.refusal));
        else
            EXPECT_TRUE(search.ok());
    }
}

TEST(PriceListSearch, PersonalListsLeaveTheStandardOneOutAndTheStandardModeShowsItAlone)
{
    const struct {
        PriceListKind kind;
        bool standard;
        std::optional<int> party;
        const char *condition;
        int bound;
        const char *report;
    } cases[] = {
        {PriceListKind::Purchase, false, std::nullopt, "LIST_ACQ.FORNITORE <> ?", 99999, "LISACQPE"},
        {PriceListKind::Purchase, true, std::nullopt, "LIST_ACQ.FORNITORE = ?", 99999, "LISACQBA"},
        {PriceListKind::SaleDiscounted, false, 7, "LIST_VEN.CLIENTE = ?", 7, "LISVSCPE"},
        {PriceListKind::SaleMarkedUp, true, std::nullopt, "LIST_VEN.CLIENTE = ?", 99999, "LISVRIBA"},
        {PriceListKind::CustomerDiscounts, false, 7, "TAB_SCONCLI.CLIENTE = ?", 7, "SCONCLI"},
        {PriceListKind::SupplierDiscounts, false, 3, "TAB_SCONFOR.FORNITORE = ?", 3, "SCONFOR"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.report);
        PriceListFilters filters;
        filters.standard = c.standard;
        filters.party = c.party;
        const PriceListSearch search = built(c.kind, filters);
        EXPECT_TRUE(search.condition.startsWith(QString::fromLatin1(c.condition))) << search.condition.toStdString();
        ASSERT_FALSE(search.params.isEmpty());
        EXPECT_EQ(search.params.first().toInt(), c.bound);
        EXPECT_EQ(search.reportKey, QString::fromLatin1(c.report));
    }
    // A discount list with no party filters none.
    EXPECT_TRUE(built(PriceListKind::CustomerDiscounts, {}).params.isEmpty());
}

TEST(PriceListSearch, TheScreenAndThePrintSelectTheSameRows)
{
    PriceListFilters filters;
    filters.party = 12;
    filters.brand = QStringLiteral(" abc ");
    filters.item = QStringLiteral("vite10");
    filters.priceFrom = QStringLiteral("10,5");
    const PriceListSearch search = built(PriceListKind::Purchase, filters);
    EXPECT_EQ(search.params, (Orlavo::Services::Params{12, QStringLiteral("ABC"), QStringLiteral("VITE10"), 10.5}));
    ASSERT_TRUE(search.formula.has_value());
    for (const char *term : {"{LIST_ACQ.FORNITORE} = 12", "{LIST_ACQ.MARCA}", "\"ABC\"", "{LIST_ACQ.ARTICOLO}",
                             "\"VITE10\"", "{LIST_ACQ.PR_LISTINO} >= 10.50000"})
        EXPECT_TRUE(search.formula->contains(QString::fromLatin1(term)))
            << term << " in " << search.formula->toStdString();
    // The purchase list in brand, item and supplier order; the refill of
    // the discounted print reads the same conditions without the order.
    EXPECT_TRUE(
        search.condition.endsWith(QStringLiteral("ORDER BY LIST_ACQ.MARCA, LIST_ACQ.ARTICOLO, LIST_ACQ.FORNITORE")));
    EXPECT_TRUE(search.condition.startsWith(search.saleCondition));
    EXPECT_FALSE(search.saleCondition.contains(QStringLiteral("ORDER BY")));
}

TEST(PriceListSearch, AChosenRowCarriesItsKeyFirst)
{
    const struct {
        PriceListKind kind;
        QStringList key;
    } cases[] = {
        {PriceListKind::Purchase, {"LIST_ACQ.FORNITORE", "LIST_ACQ.MARCA", "LIST_ACQ.ARTICOLO"}},
        {PriceListKind::SaleDiscounted, {"LIST_VEN.CLIENTE", "LIST_VEN.MARCA", "LIST_VEN.ARTICOLO"}},
        {PriceListKind::SaleMarkedUp,
         {"LIST_VEN.CLIENTE", "LIST_VEN.MARCA", "LIST_VEN.ARTICOLO", "LIST_VEN.FORNITORE"}},
        {PriceListKind::CustomerDiscounts, {"TAB_SCONCLI.CLIENTE", "TAB_SCONCLI.MARCA"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key.join(',').toStdString());
        const PriceListSearch search = built(c.kind, {});
        ASSERT_EQ(keyColumnCount(c.kind), c.key.size());
        QStringList names;
        for (int i = 0; i < c.key.size(); ++i)
            names.append(search.columns.at(i).name);
        EXPECT_EQ(names, c.key);
    }
}

TEST(PriceListSearch, PricesShowWithTheListDecimals)
{
    PriceListFilters filters;
    filters.decimals = 3;
    const PriceListSearch search = built(PriceListKind::SaleMarkedUp, filters);
    for (const auto &column : search.columns) {
        if (column.name.contains(QStringLiteral(".PR_"))) {
            EXPECT_EQ(column.format, QStringLiteral("13N3")) << column.name.toStdString();
        } else if (column.name.contains(QStringLiteral(".SC_")) || column.name.contains(QStringLiteral("PERC_RIC"))) {
            EXPECT_EQ(column.format, QStringLiteral("06Z")) << column.name.toStdString();
        }
    }
}
