#include "masterdata/rules/envelope.h"
#include "masterdata/stores/partyprints.h"
#include "masterdatatest.h"
#include "ui/frmrpt.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Masterdata;
using Orlavo::Testing::expectAll;

namespace {

TEST(CustomerEnvelope, AddressFollowsTheOfficeAndTheCountry)
{
    // clang-format off
    const QHash<QString, QString> office = {
        {"RAG_SOC1", "ROSSI SRL"}, {"RAG_SOC2", "UFFICIO ACQUISTI"}, {"INDIRIZZO_LEG", "VIA ROMA 1"},
        {"CAP_LEG", "10100"}, {"CITTA_LEG", "TORINO"}, {"PROVINCIA_LEG", "TO"}, {"INDIRIZZO_AMM", "CORSO FRANCIA 20"},
        {"CAP_AMM", "10098"}, {"CITTA_AMM", "RIVOLI"}, {"PROVINCIA_AMM", "TO"}, {"NAZIONE", "I"},
    };
    const QStringList name = {"ROSSI SRL", "UFFICIO ACQUISTI"};
    const QStringList rivoli = name + QStringList{"CORSO FRANCIA 20", "10098 RIVOLI (TO)"};
    const struct {
        const char *label;
        QHash<QString, QString> changes; // over the office
        QString country;                 // the description of NAZIONE
        QStringList expected;
    } cases[] = {
        {"administrative office when its street is filled; Italy by its code is not written", {},
         "REPUBBLICA ITALIANA", rivoli},
        {"registered office when the administrative street is blank", {{"INDIRIZZO_AMM", "   "}}, "ITALIA",
         name + QStringList{"VIA ROMA 1", "10100 TORINO (TO)"}},
        {"blank province and second name line are left out", {{"PROVINCIA_AMM", " "}, {"RAG_SOC2", "  "}}, "ITALIA",
         {"ROSSI SRL", "CORSO FRANCIA 20", "10098 RIVOLI"}},
        {"foreign country closes the address",
         {{"NAZIONE", "F"}, {"CAP_AMM", "75001"}, {"CITTA_AMM", "PARIGI"}, {"PROVINCIA_AMM", ""}}, "FRANCIA",
         name + QStringList{"CORSO FRANCIA 20", "75001 PARIGI", "FRANCIA"}},
        {"Italy by its description under another code is not written", {{"NAZIONE", "IT"}}, "Italia ", rivoli},
        {"no country code, no country line", {{"NAZIONE", ""}}, "FRANCIA", rivoli},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QHash<QString, QString> main = office;
        main.insert(c.changes);
        EXPECT_EQ(envelopeLines(main, c.country), c.expected);
    }
}

// Company "01" with its standard tables. Customers: ROSSI (1) with both
// offices, contact and personal data, NERI (2) in France with the
// registered office only, and the standard-list party 99999. Suppliers:
// VERDI (1) with contact and withholding data, BLU (2) without them, the
// agent GRIGI (3) and the standard-list party 99999.
class PartyPrints : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        useShippedReports();
        addStandardData();
        for (const char *sql : {
                 "INSERT INTO AGENTI (CODICE, RAG_SOC1) VALUES (12, 'AGENTE VERDI')",
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG) VALUES (99999, 'LISTINO STANDARD', 'NESSUNA')",
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, CITTA_LEG, INDIRIZZO_AMM, "
                 "CITTA_AMM, "
                 "CAP_AMM, PROVINCIA_AMM, COND_PAG, AGENTE, SCONTO1, NAZIONE) VALUES (1, 'ROSSI FORNITURE SRL', "
                 "'REPARTO ACQUISTI', 'VIA ROMA 1', 'TORINO', 'CORSO FRANCIA 20', 'RIVOLI', '10098', 'TO', 'B30', 12, "
                 "12.5, 'I')",
                 "INSERT INTO CONT_CLI (CLIENTE, RESPONSABILE, ULT_VISITA) VALUES (1, 'MARIO BIANCHI', '2026-03-15')",
                 "INSERT INTO PERS_CLI (CLIENTE, CITTA_NASC, TIPO_DOC) VALUES (1, 'ASTI', 'P')",
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG, NAZIONE, COND_PAG) "
                 "VALUES (2, 'NERI COSTRUZIONI SNC', 'PARIGI', 'F', 'RD')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, COND_PAG, TIPO_FORN, PERC_PROV, AGENTE) "
                 "VALUES (1, 'VERDI UTENSILI SPA', 'ALBA', 'R30', 'PR', 3.5, ' ')",
                 "INSERT INTO CONT_FOR (FORNITORE, RESPONSABILE) VALUES (1, 'LUCA GIALLI')",
                 "INSERT INTO RIT_FOR (FORNITORE, CITTA_NASC, FIR, INIZIO_RAP) VALUES (1, 'CUNEO', 'FIR778', "
                 "'2020-02-01')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, COND_PAG, TIPO_FORN, AGENTE) "
                 "VALUES (2, 'BLU TRASPORTI SNC', 'NOVARA', 'RD', 'OR', ' ')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, TIPO_FORN, AGENTE) "
                 "VALUES (3, 'GRIGI LUIGI', 'NOVARA', 'AG', 'A')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, AGENTE) "
                 "VALUES (99999, 'LISTINO STANDARD FORNITORI', 'NOVARA', ' ')",
             })
            run(QString::fromUtf8(sql));
    }

    // The command written to the PDF through the operator's print path; the
    // chooser picks the definition file when the key has several.
    QString print(PrintCommand command, const QString &file = {})
    {
        command.output = ReportOutput::Pdf;
        command.pdfPath = pdf();
        QFile::remove(pdf());
        offered.clear();
        const Ui::ChoiceAsker choose = [this, file](const QList<ReportEntry> &choices) {
            QList<ReportEntry> chosen;
            for (const ReportEntry &entry : choices) {
                offered << entry.description;
                if (QFileInfo(entry.path).fileName().compare(file, Qt::CaseInsensitive) == 0)
                    chosen << entry;
            }
            return chosen;
        };
        EXPECT_TRUE(Ui::printReport(*context, command, nullptr, choose)) << prompter.texts().join('|').toStdString();
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
        return Orlavo::Testing::pdfText(pdf());
    }

    QStringList offered;
};

} // namespace

// Each card's fields are its definition's: a field of each source is looked
// for, the main row, a joined code table, the contact, personal or
// withholding row. The summary is the card's other choice, without them.
TEST_P(PartyPrints, CardsShowTheChosenPartyWhateverDataItHas)
{
    const QStringList rossi = {"ROSSI FORNITURE SRL", "CORSO FRANCIA 20", "BONIFICO 30 GG DF", "AGENTE VERDI"};
    const QStringList rossiRows = {"MARIO BIANCHI", "15/03/2026", "ASTI", "PASSAPORTO"};
    const QStringList verdi = {"VERDI UTENSILI SPA", "ALBA", "RICEVUTA BANCARIA 30 GG DF FM", "PROFESSIONISTA"};
    const QStringList verdiRows = {"LUCA GIALLI", "CUNEO", "FIR778", "01/02/2020"};
    // clang-format off
    const struct {
        PrintCommand command;
        const char *file;
        QStringList present;
        QStringList absent;
    } cases[] = {
        {customerCardPrint(1), "ANACLI.RPT", rossi + rossiRows + QStringList{"ITALIA", "12,50"},
         {"NERI", "PARIGI", "LISTINO STANDARD"}},
        // Without contact and personal rows the customer still prints.
        {customerCardPrint(2), "ANACLI.RPT", {"NERI COSTRUZIONI SNC", "FRANCIA", "RIMESSA DIRETTA"},
         {"ROSSI", "MARIO BIANCHI"}},
        {customerCardPrint(1), "ANACLIB.RPT", rossi, rossiRows + QStringList{"NERI"}},
        // With the type's withholding.
        {supplierCardPrint(1), "ANAFOR.RPT", verdi + verdiRows + QStringList{"3,50", "20,00"},
         {"BLU", "GRIGI", "LISTINO STANDARD"}},
        // Without contact and withholding rows the supplier still prints.
        {supplierCardPrint(2), "ANAFOR.RPT", {"BLU TRASPORTI SNC", "NOVARA", "RIMESSA DIRETTA", "FORNITORE ORDINARIO"},
         {"VERDI", "LUCA GIALLI", "CUNEO"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.command.key, c.file).toStdString());
        expectAll(print(c.command, c.file), c.present, c.absent);
        EXPECT_EQ(offered.size(), 2); // the card and its summary
    }
}

// The lists hold the formula's rows in code order, under their title, and
// never the standard-list party the formula picks too.
TEST_P(PartyPrints, ListsHoldTheFormulasRowsUnderTheirTitle)
{
    // clang-format off
    const struct {
        PrintCommand command;
        const char *title;
        QStringList rows;       // in code order
        QStringList absent;
    } cases[] = {
        {customerListPrint({}), "Lista CLIENTI", {"ROSSI FORNITURE SRL", "NERI COSTRUZIONI SNC"}, {}},
        {supplierListPrint("{ANAG_FOR.AGENTE}=' '", SupplierFlavour::Suppliers), "Lista FORNITORI",
         {"VERDI UTENSILI SPA", "BLU TRASPORTI SNC"}, {"GRIGI", "Lista AGENTI"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        const QString list = print(c.command);
        expectAll(list, c.rows + QStringList{c.title}, c.absent + QStringList{"LISTINO STANDARD"});
        EXPECT_EQ(QRegularExpression("Totale righe:\\s+(\\d+)").match(list).captured(1), QString::number(c.rows.size()))
            << list.toStdString();
        for (qsizetype i = 1; i < c.rows.size(); ++i)
            EXPECT_LT(list.indexOf(c.rows[i - 1]), list.indexOf(c.rows[i]));
    }
}

TEST_P(PartyPrints, CustomerEnvelopeIsADlSheetWithTheMailingAddress)
{
    const auto rossi = customerEnvelopePrint(context->db, 1);
    ASSERT_TRUE(rossi.has_value());
    EXPECT_EQ(rossi->key, "BUSTACLI");
    expectAll(print(*rossi), {"ROSSI FORNITURE SRL", "REPARTO ACQUISTI", "CORSO FRANCIA 20", "10098 RIVOLI (TO)"},
              {"VIA ROMA 1", "TORINO", "ITALIA", "NERI"});

    EXPECT_FALSE(customerEnvelopePrint(context->db, 4242).has_value());
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(PartyPrints);
