#include "masterdata/windows/anaricfo.h"
#include "masterdatatest.h"
#include "partysearchtest.h"

#include <QCheckBox>

// The supplier search window's wiring in both flavours: its list and its
// print hold the same rows of its own kind. Which rows each filter selects
// is the search rule's (suppliersearch_test, customersearch_test), what the
// print shows the list report's (partyprints_test). What it shares with the
// customer search window (the list hook, the print refused to a wildcard,
// the filters cleared) is tested here once; a coded filter's F4 is the
// lookup list's (lookuplist_test, codedlookups_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Orlavo::Testing::Codes;

class AnaRicFoTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        useShippedReports();
        addStandardData();
        // Code, flag, name, town.
        for (const char *row : {"1, ' ', 'ROSSI FORNITURE SRL', 'TORINO'", "2, 'A', 'ROSSI MARIO AGENTE', 'TORINO'",
                                "3, ' ', 'BIANCHI METALLI SPA', 'ASTI'", "4, 'A', 'VERDI LUIGI AGENTE', 'TORINO'",
                                "5, ' ', 'NERI TRASPORTI SNC', 'TORINO'"})
            run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, AGENTE, RAG_SOC1, CITTA_LEG) VALUES (%1)").arg(row));
    }

    QString pdf() const { return archives->folder() + "lista.pdf"; }

    // The codes the window's list shows for what is typed in it.
    Codes listed(AnaRicFo &window, const QString &title)
    {
        const auto search = window.search();
        EXPECT_TRUE(search && search->formula) << prompter.texts().join('|').toStdString();
        if (!search)
            return {};
        return Testing::listedCodes(*context, AnaRicFo::listRequest(*search, window.flavour()), title);
    }
};

TEST_P(AnaRicFoTest, EachFlavourListsAndPrintsOnlyItsOwnKind)
{
    const struct {
        SupplierFlavour flavour;
        const char *list;
        Codes all, torino;
    } cases[] = {
        {SupplierFlavour::Suppliers, "Lista FORNITORI", {1, 3, 5}, {1, 5}},
        {SupplierFlavour::Agents, "Lista AGENTI", {2, 4}, {2, 4}},
    };
    const auto rows = context->db.openRecordset("SELECT FORNITORE, RAG_SOC1 FROM ANAG_FOR");
    ASSERT_TRUE(rows.ok());
    QHash<int, QString> names;
    for (const auto row : *rows)
        names.insert(row.integer("FORNITORE"), row.text("RAG_SOC1"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        AnaRicFo window(*context, c.flavour);
        EXPECT_EQ(listed(window, c.list), c.all);
        window.field("CITTA_LEG")->setText("orin");
        window.townPattern()->setChecked(true);
        EXPECT_EQ(listed(window, c.list), c.torino);

        // Stampa prints the rows of the list, under the list's title.
        ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
        const QString printed = Orlavo::Testing::pdfText(pdf());
        EXPECT_TRUE(printed.contains(c.list)) << printed.toStdString();
        for (auto name = names.cbegin(); name != names.cend(); ++name)
            EXPECT_EQ(printed.contains(name.value()), c.torino.contains(name.key())) << name.value().toStdString();

        window.clearFilters();
        EXPECT_EQ(listed(window, c.list), c.all);
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    }
}

TEST_P(AnaRicFoTest, TheChosenRowReachesTheHookAndAWildcardIsNotPrinted)
{
    AnaRicFo window(*context, SupplierFlavour::Suppliers);
    int chosen = 0;
    window.setOnChosen([&chosen](int code) { chosen = code; });
    window.field("RAG_SOC1")->setText("rossi");
    Orlavo::Testing::pickInNextList(&window, 0);
    window.showList();
    EXPECT_EQ(chosen, 1);

    // A "*" is literal on screen but a wildcard for the report: no print.
    answer();
    window.field("RAG_SOC1")->setText("*");
    EXPECT_FALSE(window.print(Reporting::ReportOutput::Pdf, pdf()));
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith("La stampa non può cercare i caratteri * e ?"));
}

ORLAVO_FOR_EACH_ENGINE(AnaRicFoTest);

} // namespace
