#include "contexttest.h"
#include "files.h"
#include "masterdata/stores/customerprints.h"
#include "masterdata/windows/anaric.h"
#include "reporting/rules/reportlist.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Testing::Engine;

namespace {

using Codes = QList<int>;
using Fields = QList<QPair<QString, QString>>;

// The customers searched: code, name, town, agent. Names are unique so the
// print tells them apart.
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
        for (const auto &[code, name, town, agent] : kCustomers) {
            QSqlQuery q(context->db.connection());
            ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG, AGENTE) "
                                                 "VALUES (?, ?, ?, ?)")));
            for (const QVariant &value : {QVariant(code), QVariant(QString::fromLatin1(name)),
                                          QVariant(QString::fromLatin1(town)), QVariant(agent)})
                q.addBindValue(value);
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
    }

    static void type(AnaRic &window, const Fields &fields)
    {
        for (const auto &[name, text] : fields)
            window.field(name)->setText(text);
    }

    // The codes the window's list shows.
    Codes listed(const CustomerSearch &search)
    {
        LookupList list(*context, AnaRic::listRequest(search));
        EXPECT_EQ(list.windowTitle(), QStringLiteral("Lista CLIENTI"));
        Codes codes;
        if (!list.load())
            return codes;
        for (int row = 0; row < list.rowCount(); ++row)
            codes << list.values(row).first().toInt();
        return codes;
    }

    // The codes the report prints, told by their names, checked against the
    // report's own row count.
    Codes printed(const CustomerSearch &search)
    {
        EXPECT_TRUE(search.formula.has_value());
        if (!search.formula)
            return {};
        PrintCommand command = customerListPrint(*search.formula);
        command.output = ReportOutput::Pdf;
        command.pdfPath = archives->folder() + QStringLiteral("clienti.pdf");
        QFile::remove(command.pdfPath);
        EXPECT_TRUE(printReport(*context, command)) << prompter.texts().join(QLatin1Char('|')).toStdString();
        const QString text = Orlavo::Testing::pdfPages(command.pdfPath).join(QLatin1Char('\n'));
        Codes codes;
        for (const auto &[code, name, town, agent] : kCustomers) {
            if (text.contains(QString::fromLatin1(name)))
                codes << code;
        }
        static const QRegularExpression total(QStringLiteral("Totale righe:\\s+(\\d+)"));
        EXPECT_EQ(total.match(text).captured(1).toInt(), codes.size()) << text.toStdString();
        return codes;
    }
};

TEST_P(AnaRicTest, TheListAndThePrintShowTheSameCustomers)
{
    struct Case {
        const char *label;
        Fields fields;
        bool townPattern;
        Codes expected;
    };
    const QList<Case> cases = {
        {"nothing typed: all but the reserved code", {}, false, {1, 2, 3, 4, 5, 6, 7}},
        {"name, town and agent, case ignored",
         {{QStringLiteral("RAG_SOC1"), QStringLiteral("rossi")},
          {QStringLiteral("CITTA_LEG"), QStringLiteral("torino")},
          {QStringLiteral("AGENTE"), QStringLiteral("12")}},
         false,
         {1, 2}},
        {"code range and town pattern",
         {{QStringLiteral("CODICE_DA"), QStringLiteral("2")},
          {QStringLiteral("CODICE_A"), QStringLiteral("99999")},
          {QStringLiteral("CITTA_LEG"), QStringLiteral("ri")}},
         true,
         {2, 3, 4, 5, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        AnaRic window(*context);
        type(window, c.fields);
        window.townPattern()->setChecked(c.townPattern);
        const auto search = window.search();
        ASSERT_TRUE(search.has_value()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(listed(*search), c.expected);
        EXPECT_EQ(printed(*search), c.expected);
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    }
}

TEST_P(AnaRicTest, ReversedCodesAreRefused)
{
    AnaRic window(*context);
    type(window,
         {{QStringLiteral("CODICE_DA"), QStringLiteral("5")}, {QStringLiteral("CODICE_A"), QStringLiteral("2")}});
    EXPECT_FALSE(window.search().has_value());
    EXPECT_FALSE(window.print(true));
    const QString message = QStringLiteral("Codice A deve essere maggiore di codice DA ");
    EXPECT_EQ(prompter.texts(), (QStringList{message, message}));
}

TEST_P(AnaRicTest, AnAgentSeesOnlyHisOwnCustomers)
{
    context->state.user = QStringLiteral("A12345");
    context->state.agentFlag = QStringLiteral("A");
    AnaRic window(*context);
    QLineEdit *agent = window.field(QStringLiteral("AGENTE"));
    EXPECT_TRUE(agent->isReadOnly());
    EXPECT_EQ(agent->text(), QStringLiteral("12345"));
    window.clearFilters();
    EXPECT_EQ(agent->text(), QStringLiteral("12345"));

    const QList<std::tuple<const char *, Fields, Codes>> cases = {
        {"another agent in the field", {{QStringLiteral("AGENTE"), QStringLiteral("12")}}, {6, 7}},
        {"the field emptied", {{QStringLiteral("AGENTE"), QString()}}, {6, 7}},
        {"with a town", {{QStringLiteral("CITTA_LEG"), QStringLiteral("ASTI")}}, {7}},
    };
    for (const auto &[label, fields, expected] : cases) {
        SCOPED_TRACE(label);
        type(window, fields);
        const auto search = window.search();
        ASSERT_TRUE(search.has_value()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(listed(*search), expected);
        EXPECT_EQ(printed(*search), expected);
    }
}

ORLAVO_FOR_EACH_ENGINE(AnaRicTest);

} // namespace
