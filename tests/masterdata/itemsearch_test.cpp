#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/itemsearch.h"
#include "masterdata/windows/artielri.h"
#include "masterdata/windows/artirice.h"
#include "masterdatatest.h"
#include "reporting/stores/reportdata.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>

// The item searches: which rows each filter selects, the list and the
// print alike (the search rules), and the search windows' wiring.

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

// Rows by their key, "warehouse/brand/code".
using Keys = QStringList;

// Six items: the same brand and code in two warehouses, a type, category
// and VAT code left blank on some, descriptions holding "%", "_", quotes
// and words inside words, stock figures for every option, and a brand
// missing from TAB_MARCHE.
class ItemSearchTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme Viterie'), ('BOS', 'Bosco Utensili')");
        // Key, description, type, VAT, unit, category, statistics, barcode,
        // on hand, opening, committed, ordered, minimum, not to use, price.
        for (const char *row : {
                 "'01', 'ACM', 'A100', 'Vite a testa piana', '01', '22', 'PZ', 'FERR', 'S1', '8001', 10, 5, 2, 1, 20, "
                 "0, 1.5",
                 "'01', 'ACM', 'A200', 'VITE AUTOFILETTANTE', '02', '22', 'PZ', 'FERR', NULL, NULL, 0, 0, 0, 0, 0, -1, "
                 "2",
                 "'02', 'ACM', 'A100', 'Vite a testa piana', '01', '22', 'PZ', 'FERR', 'S1', '8001', -3, 0, 1, 0, 0, "
                 "0, 1.5",
                 "'01', 'BOS', 'B-10', 'Trapano 100% rame', NULL, '10', 'NR', 'UTEN', 'S2', '8002', 5, 0, 6, 0, 2, 0, "
                 "99",
                 "'01', 'BOS', 'B_20', 'Avvitatore viti_corte', '01', '10', 'NR', 'UTEN', NULL, NULL, 0, 3, 0, 4, 0, "
                 "0, 50",
                 "'01', 'ZZZ', 'C1', 'L''olio \"extra\"', '03', '4', 'LT', NULL, NULL, NULL, 2, 0, 0, 0, 5, 0, 7",
             })
            run(QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, TIPO_ART, COD_IVA, "
                               "UNITA_MIS, COD_MERCE, COD_STATIS, COD_BARRE, ESISTENZA, GC_INIZ, IMPEGNATO, ORDINATO, "
                               "SCORTA_MIN, NON_USARE, PREZZO_LIST) VALUES (%1)")
                    .arg(QString::fromUtf8(row)));
    }

    // The statement's rows.
    Services::Recordset rows(const ItemSearch &search)
    {
        const auto read = context->db.openRecordset(search.sql(), search.params);
        EXPECT_TRUE(read.ok()) << search.sql().toStdString();
        return read ? *read : Services::Recordset();
    }

    // The keys the statement lists, in its order; the key leads every row.
    Keys listed(const ItemSearch &search)
    {
        Keys keys;
        const auto read = rows(search);
        for (const auto row : read)
            keys << QStringList{row.at(0).toString(), row.at(1).toString(), row.at(2).toString()}.join('/');
        return keys;
    }

    // The keys LISESART, as shipped, prints with the formula, in its order.
    Keys printed(const QString &formula)
    {
        QFile file(QStringLiteral(ORLAVO_SHIPPED_REPORTS "LISESART.RPT"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const auto definition = Reporting::parseReportDefinition(QString::fromUtf8(file.readAll()));
        EXPECT_TRUE(definition.ok());
        if (!definition)
            return {};
        return Orlavo::Testing::reportRows(
            context->db, *definition, formula,
            {"SITUAZIONE_ARTICOLI.MAGAZZINO", "SITUAZIONE_ARTICOLI.MARCA", "SITUAZIONE_ARTICOLI.ARTICOLO"});
    }

    // Typed values travel as parameters: no literal in the conditions but
    // the LIKE escape and the blank before a description, one value per
    // placeholder.
    static void expectBound(const ItemSearch &search)
    {
        QString condition = search.condition;
        condition.remove(QStringLiteral("ESCAPE '!'")).remove(QStringLiteral("(' ' || "));
        EXPECT_FALSE(condition.contains('\'')) << search.condition.toStdString();
        EXPECT_EQ(search.condition.count('?'), search.params.size());
    }
};

const auto stock = [](auto set) { return Testing::with<StockSearchFilters>(set); };
const auto list = [](auto set) { return Testing::with<ItemListFilters>(set); };

const Keys kAll = {"01/ACM/A100", "02/ACM/A100", "01/ACM/A200", "01/BOS/B-10", "01/BOS/B_20", "01/ZZZ/C1"};

TEST_P(ItemSearchTest, StockSearchListAndPrintSelectTheSameItems)
{
    const struct {
        const char *label;
        StockSearchFilters filters;
        Keys expected;
    } cases[] = {
        // clang-format off
        {"no filter: all, brand and code, then warehouse", {}, kAll},
        {"brand typed in small letters", stock([](auto &f) { f.brand = " acm "; }), {"01/ACM/A100", "02/ACM/A100", "01/ACM/A200"}},
        {"code range, both ends included", stock([](auto &f) { f.codeFrom = "a2"; f.codeTo = "B-10"; }), {"01/ACM/A200", "01/BOS/B-10"}},
        {"code from alone", stock([](auto &f) { f.codeFrom = "B_"; }), {"01/BOS/B_20", "01/ZZZ/C1"}},
        {"type", stock([](auto &f) { f.type = "01"; }), {"01/ACM/A100", "02/ACM/A100", "01/BOS/B_20"}},
        {"type different, a blank type included", stock([](auto &f) { f.type = "01"; f.typeDiffers = true; }), {"01/ACM/A200", "01/BOS/B-10", "01/ZZZ/C1"}},
        {"different with nothing typed does not filter", stock([](auto &f) { f.typeDiffers = true; f.categoryDiffers = true; }), kAll},
        {"VAT code", stock([](auto &f) { f.vatCode = "10"; }), {"01/BOS/B-10", "01/BOS/B_20"}},
        {"unit", stock([](auto &f) { f.unit = "pz"; }), {"01/ACM/A100", "02/ACM/A100", "01/ACM/A200"}},
        {"goods category", stock([](auto &f) { f.goodsCategory = "UTEN"; }), {"01/BOS/B-10", "01/BOS/B_20"}},
        {"goods category different", stock([](auto &f) { f.goodsCategory = "ferr"; f.categoryDiffers = true; }), {"01/BOS/B-10", "01/BOS/B_20", "01/ZZZ/C1"}},
        {"statistical category", stock([](auto &f) { f.statCategory = "S1"; }), {"01/ACM/A100", "02/ACM/A100"}},
        {"barcode", stock([](auto &f) { f.barcode = "8002"; }), {"01/BOS/B-10"}},
        {"on hand below minimum", stock([](auto &f) { f.belowMinimum = true; }), {"01/ACM/A100", "02/ACM/A100", "01/ZZZ/C1"}},
        {"on hand not zero", stock([](auto &f) { f.onHand = true; }), {"01/ACM/A100", "02/ACM/A100", "01/BOS/B-10", "01/ZZZ/C1"}},
        {"on hand negative", stock([](auto &f) { f.negative = true; }), {"02/ACM/A100"}},
        {"opening stock not zero", stock([](auto &f) { f.openingStock = true; }), {"01/ACM/A100", "01/BOS/B_20"}},
        {"options and filters joined by and",
         stock([](auto &f) { f.brand = "ACM"; f.belowMinimum = true; f.onHand = true; f.warehouse = "01"; }), {"01/ACM/A100"}},
        {"text that looks like SQL", stock([](auto &f) { f.barcode = "' OR '1'='1"; }), {}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const auto search = buildStockSearch(c.filters, StockFlavour::OnHand);
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        EXPECT_EQ(listed(*search), c.expected) << search->sql().toStdString();
        ASSERT_TRUE(search->formula.has_value());
        EXPECT_EQ(printed(*search->formula), c.expected) << search->formula->toStdString();
        expectBound(*search);
    }
}

TEST_P(ItemSearchTest, StockSituationShowsBrandAndWhatIsAvailable)
{
    const auto search = buildStockSearch({}, StockFlavour::Committed);
    ASSERT_TRUE(search.ok());
    const auto read = rows(*search);
    EXPECT_EQ(read.size(), kAll.size());
    for (const auto row : read) {
        const QString brand = row.text("MARCA");
        EXPECT_EQ(row.text("DESC_MARCA"), brand == "ACM" ? "Acme Viterie" : brand == "BOS" ? "Bosco Utensili" : "");
        EXPECT_DOUBLE_EQ(row.number("DISPONIBILE"),
                         disposable(row.number("ESISTENZA"), row.number("IMPEGNATO"), row.number("ORDINATO")));
    }
}

TEST_P(ItemSearchTest, ItemListMatchesTheStartOfAnyWordOfTheDescription)
{
    const struct {
        const char *label;
        ItemListFilters filters;
        Keys expected;
    } cases[] = {
        // clang-format off
        {"start of the description, case ignored", list([](auto &f) { f.description = "vite"; }), {"01/ACM/A100", "02/ACM/A100", "01/ACM/A200"}},
        {"start of a later word, not inside one", list([](auto &f) { f.description = "vit"; }), {"01/ACM/A100", "02/ACM/A100", "01/ACM/A200", "01/BOS/B_20"}},
        {"inside a word is no match", list([](auto &f) { f.description = "esta"; }), {}},
        {"surrounding blanks ignored", list([](auto &f) { f.description = "  piana  "; }), {"01/ACM/A100", "02/ACM/A100"}},
        {"typed % is literal", list([](auto &f) { f.description = "100%"; }), {"01/BOS/B-10"}},
        {"typed % alone matches no word", list([](auto &f) { f.description = "%"; }), {}},
        {"typed _ is literal", list([](auto &f) { f.description = "viti_c"; }), {"01/BOS/B_20"}},
        {"typed _ alone matches no word", list([](auto &f) { f.description = "_"; }), {}},
        {"quotes and apostrophe", list([](auto &f) { f.description = "l'olio \"extra"; }), {"01/ZZZ/C1"}},
        {"with the shared filters", list([](auto &f) { f.brand = "ACM"; f.description = "autof"; }), {"01/ACM/A200"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const auto search = buildItemList(c.filters, true);
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        EXPECT_EQ(listed(*search), c.expected) << search->sql().toStdString();
        expectBound(*search);
    }

    // The descriptions come from their tables; an item not to use says so.
    const auto all = buildItemList({}, false);
    ASSERT_TRUE(all.ok());
    const auto read = rows(*all);
    ASSERT_EQ(read.size(), kAll.size());
    EXPECT_EQ(read.at(2).text("NON_USARE"), "SI");
    EXPECT_EQ(read.at(0).text("NON_USARE"), "");
    EXPECT_EQ(read.at(0).text("DESC_MARCA"), "Acme Viterie");
}

ORLAVO_FOR_EACH_ENGINE(ItemSearchTest);

TEST(ItemSearch, ReversedKeysAreRefused)
{
    const auto reversed = [](auto filters) {
        filters.codeFrom = "b";
        filters.codeTo = "A9";
        return filters;
    };
    for (const auto &failure : {buildStockSearch(reversed(StockSearchFilters{}), StockFlavour::OnHand).failure(),
                                buildItemList(reversed(ItemListFilters{}), false).failure()})
        EXPECT_EQ(failure.message, "Codice A deve essere maggiore di codice DA ");
    ItemListFilters same;
    same.codeFrom = "a1";
    same.codeTo = "A1";
    EXPECT_TRUE(buildItemList(same, false).ok());
}

// The price is only in ArtiELri's list. Titles and the order of the
// figures, which is all the flavours change, are the window's look.
TEST(ItemSearch, OnlyTheListWithPricesShowsThePrice)
{
    const auto price = [](bool withPrice) {
        return std::ranges::any_of(buildItemList({}, withPrice)->columns,
                                   [](const auto &column) { return column.name.endsWith("PREZZO_LIST"); });
    };
    EXPECT_TRUE(price(true));
    EXPECT_FALSE(price(false));
}

// The item codes a search window's list shows, under its title.
Keys listedItems(Ui::AppContext &context, ItemSearchWindow &window, const QString &title)
{
    const auto search = window.search();
    EXPECT_TRUE(search);
    return search ? Orlavo::Testing::listValues(context, window.listRequest(*search), title, 2) : Keys();
}

// The stock search window's wiring, on the items above: a box of each kind
// reaches its filter, and the print holds the rows of the list.
class ArtiRiceTest : public ItemSearchTest
{
protected:
    void seed() override
    {
        ItemSearchTest::seed();
        useShippedReports();
    }
};

const QHash<QString, QString> kDescriptions = {{"A100", "Vite a testa piana"},
                                               {"A200", "VITE AUTOFILETTANTE"},
                                               {"B-10", "Trapano 100% rame"},
                                               {"B_20", "Avvitatore viti_corte"}};

TEST_P(ArtiRiceTest, EachBoxListsAndPrintsItsItems)
{
    const struct {
        const char *label;
        QStringList ticked;
        QHash<QString, QString> typed;
        Keys expected;
    } cases[] = {
        {"below minimum", {"SOTTO_SCORTA"}, {}, {"A100", "A100", "C1"}},
        {"type different", {"TIPO_ART_DIVERSO"}, {{"TIPO_ART", "01"}}, {"A200", "B-10", "C1"}},
        {"warehouse, brand and codes",
         {},
         {{"MAGAZZINO", "01"}, {"MARCA", "acm"}, {"CODICE_DA", "a2"}, {"CODICE_A", "A9"}},
         {"A200"}},
    };
    ArtiRice window(*context, StockFlavour::OnHand);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        window.clearFilters();
        for (const QString &name : c.ticked)
            window.option(name)->setChecked(true);
        for (auto typed = c.typed.cbegin(); typed != c.typed.cend(); ++typed)
            window.field(typed.key())->setText(typed.value());
        const Keys shown = listedItems(*context, window, stockListTitle(window.flavour()));
        EXPECT_EQ(shown, c.expected);

        ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
        const QString printed = Orlavo::Testing::pdfText(pdf());
        for (auto item = kDescriptions.cbegin(); item != kDescriptions.cend(); ++item)
            EXPECT_EQ(printed.contains(item.value()), shown.contains(item.key())) << item.value().toStdString();
        EXPECT_EQ(QRegularExpression("Totale righe:\\s+(\\d+)").match(printed).captured(1),
                  QString::number(shown.size()));
    }
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

// The chosen row's key is the item lists' case.
TEST_P(ArtiRiceTest, TheFlavourNamesThePrintAndReversedKeysAreRefused)
{
    // What is available: 10 on hand less 2 committed less 1 ordered.
    ArtiRice committed(*context, StockFlavour::Committed);
    committed.field("MAGAZZINO")->setText("01");
    committed.field("CODICE_A")->setText("A100");
    ASSERT_TRUE(committed.print(Reporting::ReportOutput::Pdf, pdf()));
    const QString printed = Orlavo::Testing::pdfText(pdf());
    EXPECT_TRUE(printed.contains(stockListTitle(StockFlavour::Committed))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("7,000")) << printed.toStdString();

    // Keys the wrong way round: told, nothing printed.
    answer();
    committed.field("CODICE_DA")->setText("A3");
    committed.field("CODICE_A")->setText("A1");
    EXPECT_FALSE(committed.print(Reporting::ReportOutput::Pdf, pdf()));
    EXPECT_EQ(prompter.texts(), QStringList{"Codice A deve essere maggiore di codice DA "});
}

ORLAVO_FOR_EACH_ENGINE(ArtiRiceTest);

// The item lists' wiring, on the items above: the preset brand, the
// description filter and the chosen row's key, shared with the stock search
// window.
class ArtiELriTest : public ItemSearchTest
{
};

TEST_P(ArtiELriTest, OpensWithThePresetBrandAndAnnullaBringsItBack)
{
    context->settings.write("RICERCA ARTICOLI", "MARCA DEFAULT", "BOS");
    ArtiELri window(*context, false);
    EXPECT_EQ(window.field("MARCA")->text(), "BOS");
    EXPECT_EQ(listedItems(*context, window, "Lista ARTICOLI"), QStringList({"B-10", "B_20"}));
    window.field("MARCA")->clear();
    EXPECT_EQ(listedItems(*context, window, "Lista ARTICOLI").size(), kAll.size());
    window.field("DESC_ART")->setText("pinza");
    window.clearFilters();
    EXPECT_EQ(window.field("MARCA")->text(), "BOS");
    EXPECT_TRUE(window.field("DESC_ART")->text().isEmpty());

    // Without the setting the brand stays empty.
    context->settings.write("RICERCA ARTICOLI", "MARCA DEFAULT", "");
    ArtiELri unset(*context, true);
    EXPECT_TRUE(unset.field("MARCA")->text().isEmpty());
}

TEST_P(ArtiELriTest, DescriptionWordFiltersAndTheChosenRowGivesItsKey)
{
    ArtiELri window(*context, true);
    window.field("DESC_ART")->setText("rame");
    EXPECT_EQ(listedItems(*context, window, "Lista ARTICOLI"), QStringList({"B-10"}));

    std::optional<ItemKey> chosen;
    window.setOnChosen([&chosen](const ItemKey &key) { chosen = key; });
    window.field("DESC_ART")->setText("piana");
    Orlavo::Testing::pickInNextList(&window, 1);
    window.showList();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QStringList({chosen->warehouse, chosen->brand, chosen->code}), QStringList({"02", "ACM", "A100"}));
}

ORLAVO_FOR_EACH_ENGINE(ArtiELriTest);

} // namespace
