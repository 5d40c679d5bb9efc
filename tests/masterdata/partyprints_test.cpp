#include "masterdata/rules/envelope.h"
#include "masterdata/stores/partyprints.h"
#include "masterdatatest.h"
#include "ui/frmrpt.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Masterdata;

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
        {"administrative office when its street is filled", {}, "ITALIA", rivoli},
        {"registered office when the administrative street is blank", {{"INDIRIZZO_AMM", "   "}}, "ITALIA",
         name + QStringList{"VIA ROMA 1", "10100 TORINO (TO)"}},
        {"blank province leaves out the brackets", {{"PROVINCIA_AMM", " "}}, "ITALIA",
         name + QStringList{"CORSO FRANCIA 20", "10098 RIVOLI"}},
        {"blank second name line is skipped", {{"RAG_SOC2", "  "}}, "ITALIA",
         {"ROSSI SRL", "CORSO FRANCIA 20", "10098 RIVOLI (TO)"}},
        {"foreign country closes the address",
         {{"NAZIONE", "F"}, {"CAP_AMM", "75001"}, {"CITTA_AMM", "PARIGI"}, {"PROVINCIA_AMM", ""}}, "FRANCIA",
         name + QStringList{"CORSO FRANCIA 20", "75001 PARIGI", "FRANCIA"}},
        {"Italy by its code is not written", {}, "REPUBBLICA ITALIANA", rivoli},
        {"Italy by its description under another code is not written", {{"NAZIONE", "IT"}}, "Italia ", rivoli},
        {"no country code, no country line", {{"NAZIONE", ""}}, "FRANCIA", rivoli},
        {"nothing of the town, no town line", {{"CAP_AMM", ""}, {"CITTA_AMM", ""}, {"PROVINCIA_AMM", ""}}, "ITALIA",
         name + QStringList{"CORSO FRANCIA 20"}},
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
// agent GRIGI (3) and the standard-list party 99999, in BLU's town.
class PartyPrints : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        useShippedReports();
        addStandardData();
        for (const char *sql : {
                 "INSERT INTO AGENTI (CODICE, RAG_SOC1) VALUES (12, 'AGENTE VERDI')",
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG) VALUES (99999, 'LISTINO STANDARD', 'NESSUNA')",
                 "INSERT INTO ANAG_CLI (CLIENTE, CODICE2, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, CITTA_LEG, CAP_LEG, "
                 "PROVINCIA_LEG, INDIRIZZO_AMM, CITTA_AMM, CAP_AMM, PROVINCIA_AMM, PART_IVA, COD_FISC, TELEFONO1, "
                 "E_MAIL, COND_PAG, TIPO_CLIENTE, AGENTE, SCONTO1, NOTE1, NAZIONE, UBICAZIONE) VALUES (1, 'ROS01', "
                 "'ROSSI FORNITURE SRL', 'REPARTO ACQUISTI', 'VIA ROMA 1', 'TORINO', '10100', 'TO', "
                 "'CORSO FRANCIA 20', 'RIVOLI', '10098', 'TO', '01234567890', 'RSSMRA70A02A479X', '011 5551234', "
                 "'acquisti@rossi.example', 'B30', 'SC', 12, 12.5, 'CONSEGNA SOLO AL MATTINO', 'I', 'I')",
                 "INSERT INTO CONT_CLI (CLIENTE, RESPONSABILE, ULT_VISITA) VALUES (1, 'MARIO BIANCHI', '2026-03-15')",
                 "INSERT INTO PERS_CLI (CLIENTE, CITTA_NASC, DATA_NASC, TIPO_DOC, NRO_DOC) "
                 "VALUES (1, 'ASTI', '1970-01-02', 'P', 'YA1234567')",
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, INDIRIZZO_LEG, CITTA_LEG, CAP_LEG, NAZIONE, COND_PAG, "
                 "TIPO_CLIENTE, UBICAZIONE) VALUES (2, 'NERI COSTRUZIONI SNC', 'RUE DE RIVOLI 5', 'PARIGI', '75001', "
                 "'F', 'RD', 'SC', 'I')",
                 "INSERT INTO TAB_BAN_APP (CODICE, DESCRIZIONE) VALUES ('00101', 'BANCA DEL PIEMONTE')",
                 "INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE) VALUES ('01', 'CASSA DI RISPARMIO DI ASTI')",
                 "INSERT INTO TAB_TIPO_CAUS (CODICE, DESCRIZIONE) VALUES ('AE', 'ACQUISTI ESTERO')",
                 "INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) "
                 "VALUES ('AE', 'FA', 'FATTURA ACQUISTO')",
                 "INSERT INTO TAB_ATTIVITA (CODICE, DESCRIZIONE) VALUES ('MEC', 'MECCANICA DI PRECISIONE')",
                 "INSERT INTO TAB_MERCE (CODICE, DESCRIZIONE) VALUES ('UT', 'UTENSILERIA')",
                 "INSERT INTO ANAG_FOR (FORNITORE, CODICE2, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, CITTA_LEG, CAP_LEG, "
                 "PROVINCIA_LEG, INDIRIZZO_AMM, CITTA_AMM, PART_IVA, COD_FISC, TELEFONO1, E_MAIL, WEB, COND_PAG, "
                 "BANCA_APP, BANCA_PAG, CONTO_PATRIM, CONTO_COSTO, TIPO_CAUSALE, CAUSALE, COD_ATTIVITA, COD_MERCE, "
                 "REGISTRO_IVA, TIPO_FORN, PERC_PROV, NAZIONE, AGENTE) VALUES (1, 'VER01', 'VERDI UTENSILI SPA', "
                 "'DIVISIONE RICAMBI', 'VIA PO 8', 'ALBA', '12051', 'CN', 'VIA NIZZA 40', 'BRA', '09876543210', "
                 "'VRDLCU65E04D205K', '0173 440011', 'ordini@verdi.example', 'www.verdi.example', 'R30', '00101', "
                 "'01', '400120', '600310', 'AE', 'FA', 'MEC', 'UT', 'A', 'PR', 3.5, 'I', ' ')",
                 "INSERT INTO CONT_FOR (FORNITORE, RESPONSABILE, TELEFONO1) VALUES (1, 'LUCA GIALLI', '0173 440099')",
                 "INSERT INTO RIT_FOR (FORNITORE, CAUSALE, CITTA_NASC, PROV_NASC, NAZ_NASC, DATA_NASC, SESSO, FIR, "
                 "MATRIC_ENA, INIZIO_RAP, FINE_RAP) VALUES (1, 'A', 'CUNEO', 'CN', 'I', '1965-05-04', 'M', 'FIR778', "
                 "'ENA4455', '2020-02-01', '2025-12-31')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, INDIRIZZO_LEG, CITTA_LEG, COND_PAG, TIPO_FORN, AGENTE) "
                 "VALUES (2, 'BLU TRASPORTI SNC', 'VIA NOVARA 3', 'NOVARA', 'RD', 'OR', ' ')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, TIPO_FORN, AGENTE) "
                 "VALUES (3, 'GRIGI LUIGI', 'NOVARA', 'AG', 'A')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, CITTA_LEG, AGENTE) "
                 "VALUES (99999, 'LISTINO STANDARD FORNITORI', 'NOVARA', ' ')",
             })
            run(QString::fromUtf8(sql));
    }

    QString pdf() const { return archives->folder() + "stampa.pdf"; }

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
        pages = Orlavo::Testing::pdfPages(pdf());
        // Kept to be looked at, like the screens.
        if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
            QFile::copy(pdf(), QDir(folder).filePath(command.key + file + ".pdf"));
        return pages.join('\n');
    }

    // "Page size: 623.622 x 311.811 pts" as millimetres.
    QSizeF pageSizeMm() const
    {
        QProcess p;
        p.start("pdfinfo", {pdf()});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return {};
        static const QRegularExpression size("Page size:\\s+([0-9.]+) x ([0-9.]+) pts");
        const auto m = size.match(QString::fromUtf8(p.readAllStandardOutput()));
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72)
                            : QSizeF();
    }

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

TEST_P(PartyPrints, CustomerCardAndSummaryShowTheChosenCustomerOnly)
{
    const QString card = print(customerCardPrint(1), "ANACLI.RPT");
    EXPECT_EQ(offered, (QStringList{"Scheda cliente", "Scheda cliente ridotta"}));
    EXPECT_EQ(pages.size(), 1);
    const QStringList main = {"ROS01", "ROSSI FORNITURE SRL", "VIA ROMA 1", "CORSO FRANCIA 20", "01234567890",
                              "RSSMRA70A02A479X", "011 5551234",
                              // Descriptions come from the joined code tables.
                              "BONIFICO 30 GG DF", "AGENTE VERDI"};
    expectAll(card,
              main + QStringList{"REPARTO ACQUISTI", "RIVOLI", "acquisti@rossi.example", "SOCIETA' DI CAPITALI",
                                 "ITALIA", "INTERNO", "12,50", "CONSEGNA SOLO AL MATTINO",
                                 // Contact and personal rows.
                                 "MARIO BIANCHI", "15/03/2026", "ASTI", "02/01/1970", "PASSAPORTO", "YA1234567"},
              {"NERI", "PARIGI", "LISTINO STANDARD"});

    // Without contact and personal rows the customer still prints.
    expectAll(print(customerCardPrint(2), "ANACLI.RPT"), {"NERI COSTRUZIONI SNC", "FRANCIA", "RIMESSA DIRETTA"},
              {"ROSSI", "MARIO BIANCHI"});

    // The summary is the card's other choice, without contact and personal data.
    expectAll(print(customerCardPrint(1), "ANACLIB.RPT"), main, {"NERI", "MARIO BIANCHI", "PASSAPORTO"});
    EXPECT_EQ(pages.size(), 1);
}

TEST_P(PartyPrints, CustomerListNeverShowsTheStandardListParty)
{
    const QString all = print(customerListPrint({}));
    expectAll(all, {"Lista CLIENTI", "ROSSI FORNITURE SRL", "REPARTO ACQUISTI", "NERI COSTRUZIONI SNC"},
              {"LISTINO STANDARD"});
    EXPECT_EQ(QRegularExpression("Totale righe:\\s+(\\d+)").match(all).captured(1), "2") << all.toStdString();
    EXPECT_LT(all.indexOf("ROSSI FORNITURE SRL"), all.indexOf("NERI COSTRUZIONI SNC"));
}

TEST_P(PartyPrints, CustomerEnvelopeIsADlSheetWithTheMailingAddress)
{
    const auto rossi = customerEnvelopePrint(context->db, 1);
    ASSERT_TRUE(rossi.has_value());
    EXPECT_EQ(rossi->key, "BUSTACLI");
    expectAll(print(*rossi), {"ROSSI FORNITURE SRL", "REPARTO ACQUISTI", "CORSO FRANCIA 20", "10098 RIVOLI (TO)"},
              {"VIA ROMA 1", "TORINO", "ITALIA", "NERI"});
    EXPECT_EQ(pages.size(), 1);
    const QSizeF size = pageSizeMm();
    EXPECT_NEAR(size.width(), 220, 0.5);
    EXPECT_NEAR(size.height(), 110, 0.5);

    EXPECT_FALSE(customerEnvelopePrint(context->db, 4242).has_value());
    EXPECT_EQ(dbExits, 0);
}

TEST_P(PartyPrints, SupplierCardsPrintWhateverDataTheSupplierHas)
{
    const QStringList verdi = {"VER01", "VERDI UTENSILI SPA", "VIA PO 8", "VIA NIZZA 40", "09876543210",
                               "VRDLCU65E04D205K", "0173 440011", "www.verdi.example",
                               // Descriptions come from the joined code tables.
                               "RICEVUTA BANCARIA 30 GG DF FM", "PROFESSIONISTA"};
    const QStringList contactAndWithholding = {"LUCA GIALLI", "0173 440099", "CUNEO",      "04/05/1965",
                                               "FIR778",      "ENA4455",     "01/02/2020", "31/12/2025"};
    // clang-format off
    const struct {
        int code;
        const char *file;
        QStringList present;
        QStringList absent;
    } cases[] = {
        {1, "ANAFOR.RPT",
         verdi + contactAndWithholding + QStringList{"DIVISIONE RICAMBI", "BRA", "ordini@verdi.example", "ITALIA",
             "BANCA DEL PIEMONTE", "CASSA DI RISPARMIO DI ASTI", "400120", "600310", "ACQUISTI ESTERO",
             "FATTURA ACQUISTO", "MECCANICA DI PRECISIONE", "UTENSILERIA", "REGISTRO IVA ACQUISTI", "3,50",
             // The type's withholding.
             "20,00"},
         {"BLU", "GRIGI", "LISTINO STANDARD"}},
        // Without contact and withholding rows the supplier still prints.
        {2, "ANAFOR.RPT", {"BLU TRASPORTI SNC", "NOVARA", "RIMESSA DIRETTA", "FORNITORE ORDINARIO"},
         {"VERDI", "LUCA GIALLI", "CUNEO"}},
        {3, "ANAFOR.RPT", {"GRIGI LUIGI", "AGENTE DI COMMERCIO", "23,00", "8,50"}, {"VERDI", "BLU"}},
        // The summary is the card's other choice, without contact and withholding.
        {1, "ANAFORB.RPT", verdi, contactAndWithholding + QStringList{"BLU", "FATTURA ACQUISTO"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.code).arg(c.file).toStdString());
        expectAll(print(supplierCardPrint(c.code), c.file), c.present, c.absent);
        EXPECT_EQ(offered, (QStringList{"Scheda fornitore", "Scheda fornitore ridotta"}));
        EXPECT_EQ(pages.size(), 1);
    }
}

TEST_P(PartyPrints, SupplierListHoldsTheFormulasRowsUnderTheFlavoursTitle)
{
    // clang-format off
    const struct {
        SupplierFlavour flavour;
        const char *formula;
        const char *title;
        QStringList rows;       // in code order
        QStringList absent;
    } cases[] = {
        {SupplierFlavour::Suppliers, "{ANAG_FOR.AGENTE}=' '", "Lista FORNITORI",
         {"VERDI UTENSILI SPA", "BLU TRASPORTI SNC"}, {"GRIGI", "Lista AGENTI"}},
        {SupplierFlavour::Agents, "{ANAG_FOR.AGENTE}='A'", "Lista AGENTI",
         {"GRIGI LUIGI"}, {"VERDI", "BLU", "Lista FORNITORI"}},
        // The formula also picks 99999, which the report leaves out.
        {SupplierFlavour::Suppliers, "{ANAG_FOR.AGENTE}=' ' and {ANAG_FOR.CITTA_LEG}='NOVARA'", "Lista FORNITORI",
         {"BLU TRASPORTI SNC"}, {"VERDI", "GRIGI"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.formula);
        const QString list = print(supplierListPrint(QString::fromUtf8(c.formula), c.flavour));
        expectAll(list, c.rows + QStringList{c.title}, c.absent + QStringList{"LISTINO STANDARD"});
        EXPECT_EQ(QRegularExpression("Totale righe:\\s+(\\d+)").match(list).captured(1), QString::number(c.rows.size()))
            << list.toStdString();
        for (qsizetype i = 1; i < c.rows.size(); ++i)
            EXPECT_LT(list.indexOf(c.rows[i - 1]), list.indexOf(c.rows[i]));
    }
}

ORLAVO_FOR_EACH_ENGINE(PartyPrints);
