#include "masterdata/windows/artielri.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The item lists' wiring: the preset brand, the description filter, the
// price column of ArtiELri alone and the chosen row's key. Which rows each
// filter selects on both engines is the rule's (itemsearch_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

class ArtiELriTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char *row : {"'01', 'ACM', 'A1', 'Bullone zincato', 1.25", "'01', 'ACM', 'A2', 'Dado cieco', 0.4",
                                "'02', 'BOS', 'B1', 'Chiave inglese', 12", "'01', 'BOS', 'B2', 'Pinza a becchi', 9"})
            run(QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST) VALUES (%1)")
                    .arg(row));
    }

    // The codes the window's list shows, and its headings.
    QStringList listed(ArtiELri &window, QStringList *headings = nullptr)
    {
        const auto search = window.search();
        EXPECT_TRUE(search);
        if (!search)
            return {};
        const Ui::LookupRequest request = window.listRequest(*search);
        if (headings) {
            for (const auto &column : request.columns)
                *headings << column.heading;
        }
        Ui::LookupList list(*context, request);
        EXPECT_EQ(list.windowTitle(), "Lista ARTICOLI");
        QStringList codes;
        if (list.load()) {
            for (int row = 0; row < list.rowCount(); ++row)
                codes << list.values(row).at(2);
        }
        return codes;
    }
};

TEST_P(ArtiELriTest, OpensWithThePresetBrandAndAnnullaBringsItBack)
{
    context->settings.write("RICERCA ARTICOLI", "MARCA DEFAULT", "BOS");
    for (const bool withPrice : {true, false}) {
        SCOPED_TRACE(withPrice ? "ArtiELri" : "ArtiELr1");
        ArtiELri window(*context, withPrice);
        EXPECT_EQ(window.objectName(), withPrice ? "ArtiELri" : "ArtiELr1");
        EXPECT_EQ(window.field("MARCA")->text(), "BOS");
        // A list to pick from: nothing to print.
        EXPECT_FALSE(window.findChild<QPushButton *>("B_Stampa"));
        QStringList headings;
        EXPECT_EQ(listed(window, &headings), QStringList({"B1", "B2"}));
        EXPECT_EQ(headings.contains("PREZZO LISTINO"), withPrice);

        window.field("MARCA")->clear();
        EXPECT_EQ(listed(window), QStringList({"A1", "A2", "B1", "B2"}));
        window.field("DESC_ART")->setText("pinza");
        window.clearFilters();
        EXPECT_EQ(window.field("MARCA")->text(), "BOS");
        EXPECT_TRUE(window.field("DESC_ART")->text().isEmpty());
    }

    // Without the setting the brand stays empty.
    context->settings.write("RICERCA ARTICOLI", "MARCA DEFAULT", "");
    ArtiELri window(*context, true);
    EXPECT_TRUE(window.field("MARCA")->text().isEmpty());
}

TEST_P(ArtiELriTest, DescriptionWordFiltersAndTheChosenRowGivesItsKey)
{
    ArtiELri window(*context, true);
    window.field("DESC_ART")->setText("INGL");
    EXPECT_EQ(listed(window), QStringList({"B1"}));
    window.field("DESC_ART")->setText("becchi");
    EXPECT_EQ(listed(window), QStringList({"B2"}));
    // Inside a word is no match: the list says it has no rows.
    window.field("DESC_ART")->setText("ecchi");
    EXPECT_TRUE(listed(window).isEmpty());
    EXPECT_EQ(prompter.texts(), QStringList({"Non ci sono record."}));

    std::optional<ItemKey> chosen;
    window.setOnChosen([&chosen](const ItemKey &key) { chosen = key; });
    window.field("DESC_ART")->setText("chiave");
    QTimer::singleShot(0, &window, [] {
        if (auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget()))
            list->choose(0);
    });
    window.showList();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QStringList({chosen->warehouse, chosen->brand, chosen->code}), QStringList({"02", "BOS", "B1"}));
}

ORLAVO_FOR_EACH_ENGINE(ArtiELriTest);

} // namespace
