#include "masterdata/stores/customerprints.h"
#include "masterdata/windows/anaric.h"
#include "masterdatatest.h"
#include "ui/frmrpt.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QRegularExpression>

// The search window's filters reach the list and the print alike; which
// rows each filter selects is the search rule's (customersearch_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Codes = QList<int>;
using Fields = QList<QPair<QString, QString>>;

// Code, name, town, agent. Names are unique so the print tells them apart.
const QList<std::tuple<int, const char *, const char *, int>> kCustomers = {
    {1, "Rossi Mario", "Torino", 12},     {2, "ROSSI E FIGLI SRL", "TORINO", 12},
    {3, "Rossini Sas", "Torino", 34},     {4, "Bianchi Spa", "Torino", 12},
    {5, "Rossi Marco", "Moncalieri", 12}, {6, "Verdi Luigi", "Torino", 12345},
    {7, "Neri Paolo", "Asti", 12345},     {99999, "Rossi listino standard", "Torino", 12},
};

class AnaRicTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        useShippedReports();
        for (const auto &[code, name, town, agent] : kCustomers)
            run(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG, AGENTE) VALUES (%1,'%2','%3',%4)")
                    .arg(QString::number(code), QLatin1String(name), QLatin1String(town), QString::number(agent)));
    }

    // The codes the window's list shows and those its print holds, told by
    // their names and checked against the report's own row count.
    std::pair<Codes, Codes> listedAndPrinted(AnaRic &window, const Fields &fields)
    {
        for (const auto &[name, text] : fields)
            window.field(name)->setText(text);
        const auto search = window.search();
        EXPECT_TRUE(search && search->formula) << prompter.texts().join('|').toStdString();
        if (!search || !search->formula)
            return {};
        Codes listed, printed;
        Ui::LookupList list(*context, AnaRic::listRequest(*search));
        EXPECT_EQ(list.windowTitle(), "Lista CLIENTI");
        EXPECT_TRUE(list.load());
        for (int row = 0; row < list.rowCount(); ++row)
            listed << list.values(row).first().toInt();

        Reporting::PrintCommand command = customerListPrint(*search->formula);
        command.output = Reporting::ReportOutput::Pdf;
        command.pdfPath = archives->folder() + "clienti.pdf";
        EXPECT_TRUE(Ui::printReport(*context, command)) << prompter.texts().join('|').toStdString();
        const QString text = Orlavo::Testing::pdfText(command.pdfPath);
        for (const auto &[code, name, town, agent] : kCustomers) {
            if (text.contains(QLatin1String(name)))
                printed << code;
        }
        static const QRegularExpression total("Totale righe:\\s+(\\d+)");
        EXPECT_EQ(total.match(text).captured(1).toInt(), printed.size()) << text.toStdString();
        return {listed, printed};
    }
};

TEST_P(AnaRicTest, TheListAndThePrintShowTheSameCustomers)
{
    const struct {
        const char *label;
        Fields fields;
        bool townPattern;
        Codes expected;
    } cases[] = {
        {"nothing typed: all but the reserved code", {}, false, {1, 2, 3, 4, 5, 6, 7}},
        {"name, town and agent, case ignored", {{"RAG_SOC1", "rossi"}, {"CITTA_LEG", "torino"}, {"AGENTE", "12"}},
         false, {1, 2}},
        {"code range and town pattern", {{"CODICE_DA", "2"}, {"CODICE_A", "99999"}, {"CITTA_LEG", "ri"}}, true,
         {2, 3, 4, 5, 6}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        AnaRic window(*context);
        window.townPattern()->setChecked(c.townPattern);
        EXPECT_EQ(listedAndPrinted(window, c.fields), std::pair(c.expected, c.expected));
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    }

    // Reversed codes are refused, for the list and the print alike.
    AnaRic window(*context);
    window.field("CODICE_DA")->setText("5");
    window.field("CODICE_A")->setText("2");
    EXPECT_FALSE(window.search().has_value());
    EXPECT_FALSE(window.print(true));
    EXPECT_EQ(prompter.texts(), QStringList(2, "Codice A deve essere maggiore di codice DA "));
}

TEST_P(AnaRicTest, AnAgentSeesOnlyHisOwnCustomers)
{
    context->state.user = "A12345";
    context->state.agentFlag = "A";
    AnaRic window(*context);
    QLineEdit *agent = window.field("AGENTE");
    EXPECT_TRUE(agent->isReadOnly());
    window.clearFilters();
    EXPECT_EQ(agent->text(), "12345");
    const Codes own = {6, 7};
    EXPECT_EQ(listedAndPrinted(window, {{"AGENTE", "12"}}), std::pair(own, own));
    EXPECT_EQ(listedAndPrinted(window, {{"AGENTE", ""}, {"CITTA_LEG", "ASTI"}}), std::pair(Codes{7}, Codes{7}));
}

ORLAVO_FOR_EACH_ENGINE(AnaRicTest);

} // namespace
