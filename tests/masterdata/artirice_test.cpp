#include "masterdata/windows/artirice.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>

// The stock search window's wiring: a box of each kind reaches its filter,
// and the print holds the rows of the list. Which rows each filter selects
// on both engines is the rule's (itemsearch_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

// Codes of the rows a list shows, in its order.
using Codes = QStringList;

class ArtiRiceTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        useShippedReports();
        // Key, description, type, category, on hand, opening, committed,
        // ordered, minimum.
        for (const char *row : {"'01', 'ACM', 'A1', 'Bullone zincato', '01', 'FERR', 10, 0, 0, 0, 20",
                                "'01', 'ACM', 'A2', 'Dado esagonale', '02', 'FERR', 0, 4, 0, 0, 0",
                                "'02', 'ACM', 'A3', 'Rondella piana', '01', 'UTEN', -2, 0, 0, 0, 0",
                                "'01', 'BOS', 'B1', 'Chiave inglese', NULL, 'UTEN', 9.5, 0, 3, 2, 1"})
            run(QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, TIPO_ART, COD_MERCE, "
                               "ESISTENZA, GC_INIZ, IMPEGNATO, ORDINATO, SCORTA_MIN) VALUES (%1)")
                    .arg(row));
    }

    QString pdf() const { return archives->folder() + "situazione.pdf"; }

    Codes listed(ArtiRice &window)
    {
        const auto search = window.search();
        EXPECT_TRUE(search) << prompter.texts().join('|').toStdString();
        if (!search)
            return {};
        Ui::LookupList list(*context, window.listRequest(*search));
        EXPECT_EQ(list.windowTitle(), stockListTitle(window.flavour()));
        Codes codes;
        if (list.load()) {
            for (int row = 0; row < list.rowCount(); ++row)
                codes << list.values(row).at(2);
        }
        return codes;
    }
};

const QHash<QString, QString> kDescriptions = {
    {"A1", "Bullone zincato"}, {"A2", "Dado esagonale"}, {"A3", "Rondella piana"}, {"B1", "Chiave inglese"}};

TEST_P(ArtiRiceTest, EachBoxListsAndPrintsItsItems)
{
    const struct {
        const char *label;
        QStringList ticked;
        QHash<QString, QString> typed;
        Codes expected;
    } cases[] = {
        {"below minimum", {"SOTTO_SCORTA"}, {}, {"A1", "A3"}},
        {"type different", {"TIPO_ART_DIVERSO"}, {{"TIPO_ART", "01"}}, {"A2", "B1"}},
        {"warehouse, brand and codes",
         {},
         {{"MAGAZZINO", "01"}, {"MARCA", "acm"}, {"CODICE_DA", "a2"}, {"CODICE_A", "A9"}},
         {"A2"}},
    };
    ArtiRice window(*context, StockFlavour::OnHand);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        window.clearFilters();
        for (const QString &name : c.ticked)
            window.option(name)->setChecked(true);
        for (auto typed = c.typed.cbegin(); typed != c.typed.cend(); ++typed)
            window.field(typed.key())->setText(typed.value());
        const Codes shown = listed(window);
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

TEST_P(ArtiRiceTest, FlavourNamesThePrintAndTheChosenRowGivesItsKey)
{
    // The flavour names the print; what is available: 9,5 on hand less 3
    // committed less 2 ordered.
    ArtiRice committed(*context, StockFlavour::Committed);
    committed.field("MARCA")->setText("BOS");
    ASSERT_TRUE(committed.print(Reporting::ReportOutput::Pdf, pdf()));
    const QString printed = Orlavo::Testing::pdfText(pdf());
    EXPECT_TRUE(printed.contains(stockListTitle(StockFlavour::Committed))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("4,500")) << printed.toStdString();

    ArtiRice window(*context, StockFlavour::OnHand);
    std::optional<ItemKey> chosen;
    window.setOnChosen([&chosen](const ItemKey &key) { chosen = key; });
    window.field("CODICE_DA")->setText("A3");
    Orlavo::Testing::pickInNextList(&window, 0);
    window.showList();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QStringList({chosen->warehouse, chosen->brand, chosen->code}), QStringList({"02", "ACM", "A3"}));

    // Codes the wrong way round: told, nothing printed.
    answer();
    window.field("CODICE_A")->setText("A1");
    EXPECT_FALSE(window.print(Reporting::ReportOutput::Pdf, pdf()));
    EXPECT_EQ(prompter.texts(), QStringList{"Codice A deve essere maggiore di codice DA "});
}

ORLAVO_FOR_EACH_ENGINE(ArtiRiceTest);

} // namespace
