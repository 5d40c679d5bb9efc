#include "masterdata/windows/artielri.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"

#include <QLineEdit>

// The item lists' wiring: the preset brand, the description filter and the
// chosen row's key. Which rows each filter selects on both engines, and the
// price column of ArtiELri alone, are the rule's (itemsearch_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

class ArtiELriTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        for (const char *row : {"'01', 'ACM', 'A1', 'Bullone zincato', 1.25", "'01', 'ACM', 'A2', 'Dado cieco', 0.4",
                                "'02', 'BOS', 'B1', 'Chiave inglese', 12", "'01', 'BOS', 'B2', 'Pinza a becchi', 9"})
            run(QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST) VALUES (%1)")
                    .arg(row));
    }

    // The codes the window's list shows.
    QStringList listed(ArtiELri &window)
    {
        const auto search = window.search();
        EXPECT_TRUE(search);
        if (!search)
            return {};
        Ui::LookupList list(*context, window.listRequest(*search));
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
    ArtiELri window(*context, false);
    EXPECT_EQ(window.field("MARCA")->text(), "BOS");
    EXPECT_EQ(listed(window), QStringList({"B1", "B2"}));
    window.field("MARCA")->clear();
    EXPECT_EQ(listed(window), QStringList({"A1", "A2", "B1", "B2"}));
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
    window.field("DESC_ART")->setText("becchi");
    EXPECT_EQ(listed(window), QStringList({"B2"}));

    std::optional<ItemKey> chosen;
    window.setOnChosen([&chosen](const ItemKey &key) { chosen = key; });
    window.field("DESC_ART")->setText("chiave");
    Orlavo::Testing::pickInNextList(&window, 0);
    window.showList();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QStringList({chosen->warehouse, chosen->brand, chosen->code}), QStringList({"02", "BOS", "B1"}));
}

ORLAVO_FOR_EACH_ENGINE(ArtiELriTest);

} // namespace
