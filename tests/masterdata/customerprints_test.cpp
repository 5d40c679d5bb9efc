#include "contexttest.h"
#include "files.h"
#include "masterdata/rules/envelope.h"
#include "masterdata/stores/customerprints.h"
#include "customerwrites.h"
#include "masterdata/stores/customerstore.h"
#include "reporting/rules/reportlist.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Testing::Engine;
using Orlavo::Testing::pdfPages;

namespace {

QHash<QString, QString> office(const QString &legStreet, const QString &ammStreet)
{
    return {
        {QStringLiteral("RAG_SOC1"), QStringLiteral("ROSSI SRL")},
        {QStringLiteral("RAG_SOC2"), QStringLiteral("UFFICIO ACQUISTI")},
        {QStringLiteral("INDIRIZZO_LEG"), legStreet},
        {QStringLiteral("CAP_LEG"), QStringLiteral("10100")},
        {QStringLiteral("CITTA_LEG"), QStringLiteral("TORINO")},
        {QStringLiteral("PROVINCIA_LEG"), QStringLiteral("TO")},
        {QStringLiteral("INDIRIZZO_AMM"), ammStreet},
        {QStringLiteral("CAP_AMM"), QStringLiteral("10098")},
        {QStringLiteral("CITTA_AMM"), QStringLiteral("RIVOLI")},
        {QStringLiteral("PROVINCIA_AMM"), QStringLiteral("TO")},
        {QStringLiteral("NAZIONE"), QStringLiteral("I")},
    };
}

TEST(CustomerEnvelope, AddressFollowsTheOfficeAndTheCountry)
{
    struct Case {
        const char *name;
        QHash<QString, QString> changes; // over office("VIA ROMA 1", "CORSO FRANCIA 20")
        QString country;
        QStringList expected;
    };
    const QString rossi = QStringLiteral("ROSSI SRL");
    const QString acquisti = QStringLiteral("UFFICIO ACQUISTI");
    const QList<Case> cases = {
        {"administrative office when its street is filled",
         {},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI (TO)")}},
        {"registered office when the administrative street is blank",
         {{QStringLiteral("INDIRIZZO_AMM"), QStringLiteral("   ")}},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("VIA ROMA 1"), QStringLiteral("10100 TORINO (TO)")}},
        {"administrative town without street is not enough",
         {{QStringLiteral("INDIRIZZO_AMM"), QString()}, {QStringLiteral("CITTA_LEG"), QStringLiteral("CHIERI")}},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("VIA ROMA 1"), QStringLiteral("10100 CHIERI (TO)")}},
        {"blank province leaves out the brackets",
         {{QStringLiteral("PROVINCIA_AMM"), QStringLiteral(" ")}},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI")}},
        {"blank second name line is skipped",
         {{QStringLiteral("RAG_SOC2"), QStringLiteral("  ")}},
         QStringLiteral("ITALIA"),
         {rossi, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI (TO)")}},
        {"foreign country closes the address",
         {{QStringLiteral("NAZIONE"), QStringLiteral("F")},
          {QStringLiteral("CAP_AMM"), QStringLiteral("75001")},
          {QStringLiteral("CITTA_AMM"), QStringLiteral("PARIGI")},
          {QStringLiteral("PROVINCIA_AMM"), QString()}},
         QStringLiteral("FRANCIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("75001 PARIGI"),
          QStringLiteral("FRANCIA")}},
        {"Italy by its code is not written",
         {},
         QStringLiteral("REPUBBLICA ITALIANA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI (TO)")}},
        {"Italy by its description under another code is not written",
         {{QStringLiteral("NAZIONE"), QStringLiteral("IT")}},
         QStringLiteral("Italia "),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI (TO)")}},
        {"no country code, no country line",
         {{QStringLiteral("NAZIONE"), QString()}},
         QStringLiteral("FRANCIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("10098 RIVOLI (TO)")}},
        {"town line without postal code",
         {{QStringLiteral("CAP_AMM"), QString()}},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("RIVOLI (TO)")}},
        {"nothing of the town, no town line",
         {{QStringLiteral("CAP_AMM"), QString()},
          {QStringLiteral("CITTA_AMM"), QString()},
          {QStringLiteral("PROVINCIA_AMM"), QString()}},
         QStringLiteral("ITALIA"),
         {rossi, acquisti, QStringLiteral("CORSO FRANCIA 20")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QHash<QString, QString> main = office(QStringLiteral("VIA ROMA 1"), QStringLiteral("CORSO FRANCIA 20"));
        for (auto it = c.changes.cbegin(); it != c.changes.cend(); ++it)
            main.insert(it.key(), it.value());
        EXPECT_EQ(envelopeLines(main, c.country), c.expected)
            << envelopeLines(main, c.country).join(QLatin1Char('|')).toStdString();
    }
}

// Two customers of company "01" with the standard tables: ROSSI with both
// offices, contact and personal data, NERI in France with the registered
// office only; the standard-list party 99999 beside them.
class CustomerPrints : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        useShippedReports();
        {
            Services::WriteUnit unit(context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
            ASSERT_TRUE(Services::StandardData::apply(unit, Services::SchemaKind::Services) &&
                        Services::StandardData::apply(unit, Services::SchemaKind::Company) &&
                        unit.execCompany(QStringLiteral("Prova"),
                                         QStringLiteral("INSERT INTO NUMERA (ANNO, NOME, NUMERATORE, MAX_NUMERA) "
                                                        "VALUES ('****', 'ANAC', 0, 99999)")) &&
                        unit.execCompany(QStringLiteral("Prova"),
                                         QStringLiteral("INSERT INTO AGENTI (CODICE, RAG_SOC1) VALUES (?, ?)"),
                                         {12, QStringLiteral("AGENTE VERDI")}) &&
                        unit.execCompany(QStringLiteral("Prova"),
                                         QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG) "
                                                        "VALUES (?, ?, ?)"),
                                         {99999, QStringLiteral("LISTINO STANDARD"), QStringLiteral("NESSUNA")}) &&
                        unit.commit())
                << context->db.error().description.toStdString();
        }

        Customer rossi = newCustomer(context->db);
        const QList<std::pair<const char *, const char *>> main = {
            {"CODICE2", "ROS01"},
            {"RAG_SOC1", "ROSSI FORNITURE SRL"},
            {"RAG_SOC2", "REPARTO ACQUISTI"},
            {"INDIRIZZO_LEG", "VIA ROMA 1"},
            {"CITTA_LEG", "TORINO"},
            {"CAP_LEG", "10100"},
            {"PROVINCIA_LEG", "TO"},
            {"INDIRIZZO_AMM", "CORSO FRANCIA 20"},
            {"CITTA_AMM", "RIVOLI"},
            {"CAP_AMM", "10098"},
            {"PROVINCIA_AMM", "TO"},
            {"PART_IVA", "01234567890"},
            {"COD_FISC", "RSSMRA70A02A479X"},
            {"TELEFONO1", "011 5551234"},
            {"E_MAIL", "acquisti@rossi.example"},
            {"COND_PAG", "B30"},
            {"TIPO_CLIENTE", "SC"},
            {"AGENTE", "12"},
            {"SCONTO1", "12,5"},
            {"NOTE1", "CONSEGNA SOLO AL MATTINO"},
        };
        for (const auto &[column, value] : main)
            rossi.main().setText(QString::fromLatin1(column), QString::fromUtf8(value));
        rossi.part(Contact).setText(QStringLiteral("RESPONSABILE"), QStringLiteral("MARIO BIANCHI"));
        rossi.part(Contact).setText(QStringLiteral("ULT_VISITA"), QStringLiteral("15/03/2026"));
        rossi.part(Personal).setText(QStringLiteral("CITTA_NASC"), QStringLiteral("ASTI"));
        rossi.part(Personal).setText(QStringLiteral("DATA_NASC"), QStringLiteral("02/01/1970"));
        rossi.part(Personal).setText(QStringLiteral("TIPO_DOC"), QStringLiteral("P"));
        rossi.part(Personal).setText(QStringLiteral("NRO_DOC"), QStringLiteral("YA1234567"));
        ASSERT_EQ(insertInto(context->db, rossi, &rossiCode), Services::WriteEnd::Written);

        Customer neri = newCustomer(context->db);
        neri.main().setText(QStringLiteral("RAG_SOC1"), QStringLiteral("NERI COSTRUZIONI SNC"));
        neri.main().setText(QStringLiteral("INDIRIZZO_LEG"), QStringLiteral("RUE DE RIVOLI 5"));
        neri.main().setText(QStringLiteral("CITTA_LEG"), QStringLiteral("PARIGI"));
        neri.main().setText(QStringLiteral("CAP_LEG"), QStringLiteral("75001"));
        neri.main().setText(QStringLiteral("NAZIONE"), QStringLiteral("F"));
        neri.main().setText(QStringLiteral("COND_PAG"), QStringLiteral("RD"));
        neri.main().setText(QStringLiteral("TIPO_CLIENTE"), QStringLiteral("SC"));
        ASSERT_EQ(insertInto(context->db, neri, &neriCode), Services::WriteEnd::Written);
        ASSERT_NE(rossiCode, neriCode);
        prompter.clear();
    }

    QString pdf() const { return archives->folder() + QStringLiteral("stampa.pdf"); }

    // The command written to the PDF through the operator's print path; the
    // chooser picks the definition file when the key has several.
    QString print(PrintCommand command, const QString &file = {})
    {
        command.output = ReportOutput::Pdf;
        command.pdfPath = pdf();
        QFile::remove(pdf());
        offered.clear();
        const ChoiceAsker choose = [this, file](const QList<ReportEntry> &choices) {
            QList<ReportEntry> chosen;
            for (const ReportEntry &entry : choices) {
                offered << entry.description;
                if (QFileInfo(entry.path).fileName().compare(file, Qt::CaseInsensitive) == 0)
                    chosen << entry;
            }
            return chosen;
        };
        EXPECT_TRUE(printReport(*context, command, nullptr, choose))
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        pages = pdfPages(pdf());
        // Kept to be looked at, like the screens.
        if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
            QFile::copy(pdf(), QDir(folder).filePath(command.key + file + QStringLiteral(".pdf")));
        return pages.join(QLatin1Char('\n'));
    }

    // "Page size: 623.622 x 311.811 pts" as millimetres.
    QSizeF pageSizeMm() const
    {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {pdf()});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return {};
        static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
        const auto m = size.match(QString::fromUtf8(p.readAllStandardOutput()));
        if (!m.hasMatch())
            return {};
        return QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72);
    }

    int rossiCode = 0;
    int neriCode = 0;
    QStringList offered;
    QStringList pages;
};

void expectAll(const QString &text, const QStringList &present, const QStringList &absent)
{
    for (const QString &p : present)
        EXPECT_TRUE(text.contains(p)) << "missing " << p.toStdString() << "\n" << text.toStdString();
    for (const QString &a : absent)
        EXPECT_FALSE(text.contains(a)) << "unexpected " << a.toStdString() << "\n" << text.toStdString();
}

} // namespace

TEST_P(CustomerPrints, CardShowsEveryPartOfTheChosenCustomerOnly)
{
    const QString card = print(customerCardPrint(rossiCode), QStringLiteral("ANACLI.RPT"));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Scheda cliente"), QStringLiteral("Scheda cliente ridotta")}));
    EXPECT_EQ(pages.size(), 1);
    expectAll(card,
              {QStringLiteral("Scheda cliente"), QStringLiteral("ROS01"), QStringLiteral("ROSSI FORNITURE SRL"),
               QStringLiteral("REPARTO ACQUISTI"), QStringLiteral("VIA ROMA 1"), QStringLiteral("CORSO FRANCIA 20"),
               QStringLiteral("RIVOLI"), QStringLiteral("01234567890"), QStringLiteral("RSSMRA70A02A479X"),
               QStringLiteral("011 5551234"), QStringLiteral("acquisti@rossi.example"),
               // Descriptions come from the joined code tables.
               QStringLiteral("BONIFICO 30 GG DF"), QStringLiteral("AGENTE VERDI"),
               QStringLiteral("SOCIETA' DI CAPITALI"), QStringLiteral("ITALIA"), QStringLiteral("INTERNO"),
               QStringLiteral("12,50"), QStringLiteral("CONSEGNA SOLO AL MATTINO"),
               // Contact and personal rows.
               QStringLiteral("MARIO BIANCHI"), QStringLiteral("15/03/2026"), QStringLiteral("ASTI"),
               QStringLiteral("02/01/1970"), QStringLiteral("PASSAPORTO"), QStringLiteral("YA1234567")},
              {QStringLiteral("NERI"), QStringLiteral("PARIGI"), QStringLiteral("LISTINO STANDARD")});

    // Without contact and personal rows the customer still prints.
    const QString foreign = print(customerCardPrint(neriCode), QStringLiteral("ANACLI.RPT"));
    EXPECT_EQ(pages.size(), 1);
    expectAll(foreign,
              {QStringLiteral("NERI COSTRUZIONI SNC"), QStringLiteral("RUE DE RIVOLI 5"), QStringLiteral("FRANCIA"),
               QStringLiteral("RIMESSA DIRETTA")},
              {QStringLiteral("ROSSI"), QStringLiteral("MARIO BIANCHI"), QStringLiteral("PASSAPORTO")});
}

TEST_P(CustomerPrints, SummaryIsTheOtherChoiceOfTheCard)
{
    const QString summary = print(customerCardPrint(rossiCode), QStringLiteral("ANACLIB.RPT"));
    EXPECT_EQ(offered.size(), 2);
    EXPECT_EQ(pages.size(), 1);
    expectAll(summary,
              {QStringLiteral("ROSSI FORNITURE SRL"), QStringLiteral("ROS01"), QStringLiteral("VIA ROMA 1"),
               QStringLiteral("CORSO FRANCIA 20"), QStringLiteral("01234567890"), QStringLiteral("RSSMRA70A02A479X"),
               QStringLiteral("011 5551234"), QStringLiteral("BONIFICO 30 GG DF"), QStringLiteral("AGENTE VERDI")},
              // The contact and personal data belong to the full card only.
              {QStringLiteral("NERI"), QStringLiteral("MARIO BIANCHI"), QStringLiteral("PASSAPORTO")});
}

TEST_P(CustomerPrints, ListHasTheSelectedRowsAndTheirCount)
{
    const QRegularExpression total(QStringLiteral("Totale righe:\\s+(\\d+)"));
    const QString one =
        print(customerListPrint(QStringLiteral("{ANAG_CLI.CLIENTE}<>99999 and {ANAG_CLI.RAG_SOC1} like '*rossi*'")));
    expectAll(one,
              {QStringLiteral("Lista CLIENTI"), QStringLiteral("ROS01"), QStringLiteral("ROSSI FORNITURE SRL"),
               QStringLiteral("REPARTO ACQUISTI"), QStringLiteral("VIA ROMA 1"), QStringLiteral("TORINO")},
              {QStringLiteral("NERI"), QStringLiteral("PARIGI")});
    EXPECT_EQ(total.match(one).captured(1), QStringLiteral("1")) << one.toStdString();

    // The standard-list party never shows, whatever the selection.
    const QString all = print(customerListPrint({}));
    expectAll(all, {QStringLiteral("ROSSI FORNITURE SRL"), QStringLiteral("NERI COSTRUZIONI SNC")},
              {QStringLiteral("LISTINO STANDARD")});
    EXPECT_EQ(total.match(all).captured(1), QStringLiteral("2")) << all.toStdString();
    EXPECT_LT(all.indexOf(QStringLiteral("ROSSI FORNITURE SRL")), all.indexOf(QStringLiteral("NERI COSTRUZIONI SNC")));
}

TEST_P(CustomerPrints, EnvelopeIsADlSheetWithTheMailingAddress)
{
    const auto rossi = customerEnvelopePrint(context->db, rossiCode);
    ASSERT_TRUE(rossi.has_value());
    EXPECT_EQ(rossi->key, QStringLiteral("BUSTACLI"));
    const QString text = print(*rossi);
    EXPECT_EQ(pages.size(), 1);
    const QSizeF size = pageSizeMm();
    EXPECT_NEAR(size.width(), 220, 0.5);
    EXPECT_NEAR(size.height(), 110, 0.5);
    expectAll(
        text,
        {QStringLiteral("ROSSI FORNITURE SRL"), QStringLiteral("REPARTO ACQUISTI"), QStringLiteral("CORSO FRANCIA 20"),
         QStringLiteral("10098 RIVOLI (TO)")},
        {QStringLiteral("VIA ROMA 1"), QStringLiteral("TORINO"), QStringLiteral("ITALIA"), QStringLiteral("NERI")});

    const auto neri = customerEnvelopePrint(context->db, neriCode);
    ASSERT_TRUE(neri.has_value());
    expectAll(print(*neri),
              {QStringLiteral("NERI COSTRUZIONI SNC"), QStringLiteral("RUE DE RIVOLI 5"),
               QStringLiteral("75001 PARIGI"), QStringLiteral("FRANCIA")},
              {QStringLiteral("ROSSI")});

    EXPECT_FALSE(customerEnvelopePrint(context->db, 4242).has_value());
    EXPECT_EQ(dbExits, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, CustomerPrints, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         Orlavo::Testing::engineName);
