#include "masterdata/windows/anaric.h"
#include "masterdatatest.h"
#include "partysearchtest.h"
#include "ui/lookuplist.h"

// The search window's filters reach its list; which rows each filter
// selects, and that the print selects the same, is the search rule's
// (customersearch_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Codes = QList<int>;
using Fields = QList<QPair<QString, QString>>;

class AnaRicTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        // Code, name, town, agent.
        for (const char *row : {"1, 'Rossi Mario', 'Torino', 12", "2, 'ROSSI E FIGLI SRL', 'TORINO', 12",
                                "3, 'Rossini Sas', 'Torino', 34", "4, 'Bianchi Spa', 'Torino', 12",
                                "5, 'Rossi Marco', 'Moncalieri', 12", "6, 'Verdi Luigi', 'Torino', 12345",
                                "7, 'Neri Paolo', 'Asti', 12345", "99999, 'Rossi listino standard', 'Torino', 12"})
            run(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG, AGENTE) VALUES (%1)").arg(row));
    }

    // The codes the window's list shows for the typed filters.
    Codes listed(AnaRic &window, const Fields &fields)
    {
        for (const auto &[name, text] : fields)
            window.field(name)->setText(text);
        const auto search = window.search();
        EXPECT_TRUE(search && search->formula) << prompter.texts().join('|').toStdString();
        if (!search)
            return {};
        return Testing::listedCodes(*context, AnaRic::listRequest(*search), "Lista CLIENTI");
    }
};

// The town pattern's box is the supplier search window's case (anaricfo_test).
TEST_P(AnaRicTest, TheTypedFiltersReachTheList)
{
    AnaRic window(*context);
    EXPECT_EQ(listed(window, {{"RAG_SOC1", "rossi"}, {"CITTA_LEG", "torino"}, {"AGENTE", "12"}}), (Codes{1, 2}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();

    // Reversed codes are refused, for the list and the print alike.
    window.field("CODICE_DA")->setText("5");
    window.field("CODICE_A")->setText("2");
    EXPECT_FALSE(window.search().has_value());
    EXPECT_FALSE(window.print(true));
    EXPECT_EQ(prompter.texts(), QStringList(2, "Codice A deve essere maggiore di codice DA "));
}

// The agent's own number fills the field, which he cannot change.
TEST_P(AnaRicTest, AnAgentSeesOnlyHisOwnCustomers)
{
    context->state.user = "A12345";
    context->state.agentFlag = "A";
    AnaRic window(*context);
    QLineEdit *agent = window.field("AGENTE");
    EXPECT_TRUE(agent->isReadOnly());
    window.clearFilters();
    EXPECT_EQ(agent->text(), "12345");
    EXPECT_EQ(listed(window, {{"AGENTE", "12"}}), (Codes{6, 7}));
}

ORLAVO_FOR_EACH_ENGINE(AnaRicTest);

} // namespace
