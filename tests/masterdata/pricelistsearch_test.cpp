#include "masterdata/rules/pricelistsearch.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

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
        {"0", "", kPriceNotPositive},
        {"", "-1", kPriceNotPositive},
        {"20", "10,5", kPriceRangeReversed},
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
