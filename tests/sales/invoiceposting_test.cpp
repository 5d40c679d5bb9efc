#include "archives.h"
#include "committedrows.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/itemstore.h"
#include "services/data/dataaccess.h"
#include "sales/rules/invoiceposting.h"
#include "sales/stores/invoicechecks.h"
#include "sales/stores/invoiceposting.h"
#include "sales/stores/invoicecustomer.h"
#include "sales/stores/invoicestate.h"
#include "sales/stores/invoicesearch.h"
#include "sales/stores/invoiceupdate.h"
#include "sales/stores/salestables.h"
#include "services/core/values.h"
#include "workedinvoice.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QProcess>

// The posting of a sales document with the figures worked by hand: the
// journal, VAT, stock, due dates and totals it leaves, on both engines; the
// checks before it, the state, list and customer of a stored invoice.

using namespace Orlavo;
using namespace Orlavo::Sales;
using Services::Row;
using Services::WriteEnd;

namespace {

using namespace Orlavo::Sales::Worked;

const QString &kYear = kWorkedYear;
const QString kStoreYear = QStringLiteral("2024");

// A document as the store keeps it: a typed row (its stray references and
// amount not kept), one from a delivery note and one from an order, the
// delivery block and two due dates (a line without a date is none).
SalesDocument storedInvoice(Family family, int number)
{
    SalesDocument d = SalesDocument::empty(family);
    fill(d.header, {{"ANNO", kStoreYear}, {"NRO_INT", number}, {"NRO_DOC", number}, {"DATA_DOC", QDate(2024, 11, 15)}});
    fill(d.header, {{"MOVIMENTO", "VFM"}, {"CLIENTE", 7}, {"COND_PAG", "R36"}, {"ACCOMPAGNATORIA", true}});
    fill(d.header, {{"IMPONIB_1", 14.04}, {"IVA_1", 3.09}, {"PERC_1", "22"}, {"TOTALE", 38.99}});
    Row typed = d.newRow();
    fill(typed, {{"DESCRI", "Consulenza"}, {"QTA", 3}, {"PREZZO", 19.99}, {"NETTO", 50.248863}, {"COD_IVA", "22"}});
    fill(typed, {{"IMPORTO", 50.25}, {"NRO_BOL", 4}, {"NRO_ORD", 9}});
    Row fromNote = d.newRow();
    fill(fromNote, {{"TIPO", "D"}, {"PREZZO", 2.125}, {"ANNO_BOL", kStoreYear}, {"NRO_BOL", 12}, {"RIGA_BOL", 3}});
    fill(fromNote, {{"DATA_BOL", QDate(2024, 11, 2)}, {"NRO_ORD", 9}});
    Row fromOrder = d.newRow();
    fill(fromOrder, {{"TIPO", "B"}, {"ANNO_ORD", kStoreYear}, {"NRO_ORD", 5}, {"RIGA_ORD", 2}, {"NRO_BOL", 12}});
    d.rows = {typed, fromNote, fromOrder};
    if (!hasDueDates(family))
        return d;
    Row delivery(deliveryTable(family));
    fill(delivery, {{"DESTINA1", "Magazzino Nord"}, {"CAUS_TRA", "VEN"}});
    d.delivery = delivery;
    d.dueDates =
        dueDateRows(d, {{QDate(2024, 12, 31), 17.53, 1.12}, {QDate(2025, 1, 31), 17.54, 1.13}, {QDate(), 5, 0}});
    return d;
}

class InvoicePostingTest : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        state.company = QStringLiteral("01");
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(seedWorkedInvoices(unit) && unit.commit());
    }

    // The committed rows of a query, in its order: the columns joined by
    // blanks, figures to two decimals.
    QStringList values(const QString &sql)
    {
        QStringList found;
        const auto rows = Testing::Workstation(archives->config()).rows(sql);
        for (const auto &row : *rows) {
            QStringList columns;
            for (int i = 0; i < rows->columns().size(); ++i)
                columns << (row.at(i).typeId() == QMetaType::Double ? Services::sqlNumber(row.at(i).toDouble(), 2)
                                                                    : row.at(i).toString());
            found << columns.join(QLatin1Char(' '));
        }
        return found;
    }
    // The lines of an entry: "account sign amount" in SEQUENZA order.
    QStringList journal(int number)
    {
        return values(
            QStringLiteral("SELECT CONTO, SEGNO, IMPORTO FROM GIORN WHERE NRO_INT = %1 ORDER BY SEQUENZA").arg(number));
    }
    // Statements of the test's own, outside the program and unprepared
    // (the server prepares no CREATE FUNCTION).
    void run(const QString &sql)
    {
        QSqlQuery q(db->connection());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    // A trigger after every insert into the table; without an action, its
    // removal.
    void trigger(const char *table, const char *action = nullptr)
    {
        const QString on = QString::fromLatin1(table), body = QString::fromLatin1(action);
        const bool sqlite = GetParam() == Orlavo::Testing::Engine::Sqlite;
        if (!action) {
            run(sqlite ? QStringLiteral("DROP TRIGGER PROVA") : QStringLiteral("DROP TRIGGER PROVA ON %1").arg(on));
        } else if (sqlite) {
            run(QStringLiteral("CREATE TRIGGER PROVA AFTER INSERT ON %1 BEGIN %2; END").arg(on, body));
        } else {
            run(QStringLiteral("CREATE OR REPLACE FUNCTION PROVA() RETURNS TRIGGER AS $$ BEGIN %1; RETURN NULL; END $$ "
                               "LANGUAGE plpgsql")
                    .arg(body));
            run(QStringLiteral("CREATE TRIGGER PROVA AFTER INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION PROVA()")
                    .arg(on));
        }
    }
    // What the posted invoices left, but movement numbers, stamps and cancel
    // marks, in an order that does not depend on them.
    QStringList figures()
    {
        QStringList all;
        for (const char *sql :
             {"SELECT NRO_INT, SEQUENZA, CONTO, SEGNO, IMPORTO FROM GIORN ORDER BY NRO_INT, SEQUENZA",
              "SELECT NRO_INT, COD_IVA, SEGNO, IMPONIBILE, IVA, TOTALE FROM IVA ORDER BY NRO_INT, COD_IVA",
              "SELECT NRO_INT, IMPONIBILE1, IVA1, IMPONIBILE2, IVA2, TOTALE FROM IVA2 ORDER BY NRO_INT",
              "SELECT NRO_INT, PROGR, SCADENZA, IMPORTO FROM SCADF ORDER BY NRO_INT, PROGR",
              "SELECT NRO_INT_FATT, ARTICOLO, CAUSALE, QUANTITA, TOTALE, NRO_DOC FROM MOVMAG "
              "ORDER BY NRO_INT_FATT, ARTICOLO",
              "SELECT ARTICOLO, ESISTENZA, SCARICO_V, VAL_SCARIC FROM ARTICOLI ORDER BY ARTICOLO",
              "SELECT NRO_FATT, ULT_FATT, IMPONIBILE, IVA FROM FATT_CLI",
              "SELECT NRO_INT, IMPON_RIT, RITENUTA FROM RITENUTA ORDER BY NRO_INT",
              "SELECT NRO_INT, NRO_REG, NRO_DOC, NRO_RIT, TOTALE, TOT_NET, STAMPATA FROM FVENDT ORDER BY NRO_INT",
              "SELECT NRO_INT, RIGA, ARTICOLO, QTA, PREZZO FROM FVENDD ORDER BY NRO_INT, RIGA"})
            all += values(QString::fromLatin1(sql));
        return all;
    }
    bool write(SalesDocument &document)
    {
        Services::WriteUnit unit(*db, QStringLiteral("Codifica Fatture"), Services::WriteUnit::Report::Quiet);
        return writeDocument(unit, document) && unit.commit();
    }
    SalesDocument read(Family family, int number)
    {
        const auto found = readDocument(*db, family, kStoreYear, number);
        EXPECT_TRUE(found && found->has_value());
        return found && found->has_value() ? **found : SalesDocument{};
    }
    int counter(const char *name)
    {
        return archives
            ->scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE ANNO = ? AND NOME = ?"),
                     {kYear, QString::fromLatin1(name)})
            .toInt();
    }
    // The worked invoice typed right: accounts of the standard chart.
    TypedInvoice typed()
    {
        TypedInvoice t;
        t.document = workedInvoice("VFM", kWorked).document;
        Row &h = t.document.header;
        fill(h, {{"COND_PAG", "RD"}, {"CONTO_CLI", "012001"}, {"CONTO_IVA", "024001"}, {"CONTO_SCONTI", ""}});
        for (Row &row : t.document.rows)
            fill(row, {{"UN_MIS", "PZ"}, {"CONTO", "041001"}});
        t.typed = {{QStringLiteral("DATA_DOC"), QStringLiteral("15/01/2025")},
                   {QStringLiteral("DATA_REG"), QStringLiteral("15/01/2025")}};
        t.workingYear = kWorkedYear;
        return t;
    }

    QStringList problems(const TypedInvoice &t)
    {
        QStringList said;
        for (const auto &p : invoiceProblems(*db, t))
            said << p.column + QLatin1Char(':') + p.message;
        return said;
    }
};

// The banks' codes reach the header and the due dates; the delivery block
// of an accompanying invoice carries its number and date.
TEST_P(InvoicePostingTest, AnInvoicePostsItsJournalVatStockAndDueDates)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO TAB_BAN_APP (CODICE, ABI, CAB, DESCRIZIONE) VALUES "
                                          "('B1', '03069', '01234', 'BANCA UNO')")));
    InvoicePosting p = workedInvoice("VFM", kWorked, 10, 10);
    fill(p.document.header, {{"BANCA_APP", "B1"}, {"ACCOMPAGNATORIA", true}});
    Row delivery(deliveryTable(Family::Definitive));
    fill(delivery, {{"DESTINA1", "CANTIERE"}, {"CAUS_TRA", "V"}});
    p.document.delivery = delivery;
    const Posted posted = postInvoice(*db, p);
    ASSERT_EQ(posted.result.end, WriteEnd::Written) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(posted.internal, 1);
    EXPECT_EQ(posted.document, 1);
    EXPECT_EQ(journal(1),
              (QStringList{"C1 D 171.50", "SC D 15.00", "R1 A 100.00", "R2 A 50.00", "TR A 10.00", "IVV A 26.50"}));
    EXPECT_EQ(values("SELECT COD_IVA, SEGNO, IMPONIBILE, IVA, IMPODET, IVADET, TOTALE FROM IVA ORDER BY COD_IVA"),
              (QStringList{"10 A 45.00 4.50 45.00 4.50 171.50", "22 A 100.00 22.00 100.00 22.00 171.50"}));
    EXPECT_EQ(values("SELECT IMPONIBILE1, IVA1, IMPONIBILE2, IVA2, TOTALE FROM IVA2"),
              QStringList{"100.00 22.00 45.00 4.50 171.50"});
    EXPECT_EQ(values("SELECT SCADENZA, IMPORTO FROM SCADF ORDER BY PROGR"),
              (QStringList{"2025-02-28 57.16", "2025-03-31 57.17", "2025-04-30 57.17"}));
    // A whole price still rounds its net price to the currency's decimals.
    EXPECT_EQ(values("SELECT ARTICOLO, CAUSALE, QUANTITA, TOTALE, NRO_DOC, NDEC FROM MOVMAG ORDER BY NRO_REG"),
              (QStringList{"VITE S11 4.00 100.00 1 2", "DADO S11 5.00 50.00 1 2"}));
    EXPECT_EQ(values("SELECT ARTICOLO, ESISTENZA, SCARICO_V, VAL_SCARIC FROM ARTICOLI ORDER BY ARTICOLO"),
              (QStringList{"DADO 15.00 5.00 50.00", "VITE 16.00 4.00 100.00"}));
    EXPECT_EQ(values("SELECT RIGA, ANNO_MOV, NUM_MOV FROM FVENDD ORDER BY RIGA"),
              (QStringList{"1 2025 1", "2 2025 2"}));
    EXPECT_EQ(values("SELECT NRO_FATT, IMPONIBILE, IVA FROM FATT_CLI"), QStringList{"1 145.00 26.50"});
    EXPECT_EQ(values("SELECT TOTALE, TOT_NET, SCAD1, IMPOSC1, ABI, CAB, ABI_PAG FROM FVENDT"),
              QStringList{"171.50 171.50 2025-02-28 57.16 03069 01234 "});
    EXPECT_EQ(values("SELECT DISTINCT ABI, CAB FROM SCADF"), QStringList{"03069 01234"});
    EXPECT_EQ(values("SELECT DESTINA1, NRO_DOC, DATA_DOC FROM FVENACC"), QStringList{"CANTIERE 1 2025-01-15"});
}

// A credit note swaps every side and puts the goods back; a negative row
// of an invoice is a debit line of its amount.
TEST_P(InvoicePostingTest, ACreditNoteSwapsTheSidesAndTakesTheGoodsBack)
{
    InvoicePosting p = workedInvoice("VTM", kWorked, 10, 10);
    ASSERT_EQ(postInvoice(*db, p).result.end, WriteEnd::Written);
    EXPECT_EQ(journal(1),
              (QStringList{"R1 D 100.00", "R2 D 50.00", "TR D 10.00", "IVV D 26.50", "C1 A 171.50", "SC A 15.00"}));
    EXPECT_EQ(values("SELECT DISTINCT SEGNO FROM IVA"), QStringList{"D"});
    EXPECT_EQ(values("SELECT ARTICOLO, CAUSALE FROM MOVMAG ORDER BY NRO_REG"), (QStringList{"VITE C14", "DADO C14"}));
    EXPECT_EQ(values("SELECT ARTICOLO, ESISTENZA, SCARICO_V, VAL_SCARIC FROM ARTICOLI ORDER BY ARTICOLO"),
              (QStringList{"DADO 25.00 -5.00 -50.00", "VITE 24.00 -4.00 -100.00"}));
    EXPECT_EQ(values("SELECT IMPONIBILE, IVA FROM FATT_CLI"), QStringList{"-145.00 -26.50"});

    InvoicePosting negative = workedInvoice("VFM", {{"", 1, 100, "22", "R1"}, {"", 1, -30, "22", "R3"}});
    const Posted posted = postInvoice(*db, negative);
    ASSERT_EQ(posted.result.end, WriteEnd::Written);
    EXPECT_EQ(journal(posted.internal), (QStringList{"C1 D 85.40", "R3 D 30.00", "R1 A 100.00", "IVV A 15.40"}));
}

TEST_P(InvoicePostingTest, AWithholdingIsItsOwnEntry)
{
    InvoicePosting p = workedInvoice("VFM", {{"", 1, 1000, "22", "R1"}, {"", 1, 100, "10", "R2"}}, 0, 0, 20);
    // A professional's fee: the withholding on half the fee.
    p.summary.withholdingBase = 500;
    p.summary.withholding = 100;
    p.summary.totalNet = p.summary.total - 100;
    p.dueLines = dueLines(p.summary.totalNet);
    const Posted posted = postInvoice(*db, p);
    ASSERT_EQ(posted.result.end, WriteEnd::Written) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(posted.withholdingEntry, 2);
    EXPECT_EQ(journal(2), (QStringList{"RIT D 100.00", "C1 A 100.00"}));
    EXPECT_EQ(values("SELECT SUM(IMPORTO) FROM SCADF"), QStringList{"1230.00"});
    // The withholding row takes the document's taxable, every rate's, and
    // total too.
    EXPECT_EQ(values("SELECT IMPON_RIT, RITENUTA, IMPON_FATT, TOT_FATT FROM RITENUTA"),
              QStringList{"500.00 100.00 1100.00 1330.00"});
    EXPECT_EQ(counter("NROINT"), 2);
}

// A proposal takes its numbers from the "_PR" counters and writes nothing
// but its own family; changed, it stays a proposal; only proposals are
// deleted, whole.
TEST_P(InvoicePostingTest, AProposalLivesInItsOwnTables)
{
    InvoicePosting p = workedInvoice("VFM", kWorked, 10, 10, -1, Family::Proposal);
    const Posted posted = postInvoice(*db, p);
    ASSERT_EQ(posted.result.end, WriteEnd::Written);
    EXPECT_EQ(posted.internal, 1);
    EXPECT_EQ(counter("FVEND_PR"), 1);
    EXPECT_EQ(counter("FVENDDOC_PR"), 1);
    EXPECT_EQ(counter("NROINT"), 0);
    EXPECT_EQ(counter("FVEND"), 0);
    EXPECT_EQ(archives->count(QStringLiteral("SCADF_PR")), 3);

    const auto stored = readDocument(*db, Family::Proposal, kYear, 1);
    ASSERT_TRUE(stored && stored->has_value());
    InvoicePosting changed = workedInvoice("VFM", {{"VITE", 2, 25, "22", "R1"}}, 0, 0, -1, Family::Proposal);
    ASSERT_EQ(updateInvoice(*db, changed, **stored, false).result.end, WriteEnd::Written);
    EXPECT_EQ(values("SELECT NRO_INT, TOTALE FROM FVENDT_PR"), QStringList{"1 61.00"});
    for (const char *table : {"FVENDT", "FVENDD", "GIORN", "IVA", "IVA2", "MOVMAG", "MOVMAG_DEL", "FATT_CLI", "SCADF"})
        EXPECT_EQ(archives->count(QString::fromLatin1(table)), 0) << table;

    EXPECT_EQ(deleteProposal(*db, Family::Definitive, kYear, 1).result.refusal, "Non abilitato su fatture effettive");
    EXPECT_EQ(deleteProposal(*db, Family::Proposal, kYear, 1).result.end, WriteEnd::Written);
    for (const char *table : {"FVENDT_PR", "FVENDD_PR", "SCADF_PR"})
        EXPECT_EQ(archives->count(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(deleteProposal(*db, Family::Proposal, kYear, 1).result.end, WriteEnd::Gone);
}

// What a posting leaves behind when it does not complete: nothing of the
// document, the counters and the items as they were.
void expectNothingPosted(Orlavo::Testing::TestArchives &archives)
{
    for (const char *table :
         {"FVENDT", "FVENDD", "FVENACC", "SCADF", "GIORN", "IVA", "IVA2", "MOVMAG", "FATT_CLI", "RITENUTA"})
        EXPECT_EQ(archives.count(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(archives.scalar(QStringLiteral("SELECT SUM(NUMERATORE) FROM NUMERA")).toInt(), 0);
    EXPECT_EQ(archives.scalar(QStringLiteral("SELECT SUM(ESISTENZA) FROM ARTICOLI")).toInt(), 40);
}

// A trigger of the test's own changes what the posting wrote: the read-back
// finds it, tells which records, and nothing remains.
TEST_P(InvoicePostingTest, TheReadBackRefusesWhatItDoesNotFind)
{
    trigger("GIORN", "UPDATE GIORN SET IMPORTO = IMPORTO + 1 WHERE SEQUENZA = 1");
    InvoicePosting accounts = workedInvoice("VFM", kWorked, 10, 10);
    Posted posted = postInvoice(*db, accounts);
    EXPECT_EQ(posted.result.end, WriteEnd::Failed);
    EXPECT_EQ(posted.verification, verificationFailure(true));
    EXPECT_EQ(prompter.texts().last(), "La registrazione non è avvenuta correttamente: \n"
                                       "Errori durante le registrazioni contabili; \nRiprovare ");
    expectNothingPosted(*archives);
    trigger("GIORN");

    trigger("FVENDD", "DELETE FROM MOVMAG");
    InvoicePosting records = workedInvoice("VFM", kWorked, 10, 10);
    posted = postInvoice(*db, records);
    EXPECT_EQ(posted.verification, verificationFailure(false));
    expectNothingPosted(*archives);
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
}

// A workstation that dies at any step of a posting leaves nothing of it but
// its lock, which names it and goes with its next login.
TEST_P(InvoicePostingTest, ACrashAtAnyStepLeavesOnlyTheLock)
{
    for (const char *step :
         {"Incrementa NROINT", "Incrementa numero documento", "Ins. MOVMAG", "Agg. ARTICOLI", "Ins. testata fatt",
          "Ins. FVENDD", "Ins. scadf", "Ins. Iva", "Ins. Iva2", "Ins. giorn cli", "Ins. giorn conti",
          "Ins. ritenuta d'acconto", "Agg fatturato", "Verifica registrazioni"}) {
        SCOPED_TRACE(step);
        QProcess *worker =
            Testing::startWorker(*archives, QStringLiteral(ORLAVO_DBWORKER),
                                 {QStringLiteral("invoice-crash"), QStringLiteral("ANNA"), QString::fromUtf8(step)});
        ASSERT_TRUE(worker->waitForFinished(60000));
        EXPECT_EQ(worker->exitStatus(), QProcess::CrashExit);
        Testing::finishWorker(worker);
        expectNothingPosted(*archives);
        EXPECT_EQ(archives->scalar(QStringLiteral("SELECT UTENTE FROM SEMAFORO")).toString(), "ANNA");
        state.user = QStringLiteral("ANNA");
        ASSERT_TRUE(db->unlockUser());
        EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
    }
}

// Two workstations posting into one series: every number taken once, every
// entry balanced.
TEST_P(InvoicePostingTest, TwoWorkstationsNumberEveryInvoiceOnce)
{
    const QStringList said =
        Testing::raceWorkers(*archives, QStringLiteral(ORLAVO_DBWORKER), QStringLiteral("invoices"),
                             {QStringLiteral("ANNA"), QStringLiteral("BRUNO")}, 500);
    EXPECT_EQ(said, (QStringList{"DONE", "DONE"}));
    for (const char *column : {"NRO_INT", "NRO_REG", "NRO_DOC"})
        EXPECT_EQ(values(QStringLiteral("SELECT COUNT(DISTINCT %1), MIN(%1), MAX(%1) FROM FVENDT")
                             .arg(QString::fromLatin1(column))),
                  QStringList{"1000 1 1000"})
            << column;
    EXPECT_EQ(values("SELECT COUNT(*) FROM (SELECT NRO_INT FROM GIORN GROUP BY NRO_INT HAVING "
                     "SUM(CASE WHEN SEGNO = 'D' THEN IMPORTO ELSE -IMPORTO END) > 0.001 OR "
                     "SUM(CASE WHEN SEGNO = 'D' THEN IMPORTO ELSE -IMPORTO END) < -0.001) X"),
              QStringList{"0"});
    EXPECT_EQ(values("SELECT COUNT(DISTINCT NRO_INT) FROM GIORN"), QStringList{"1000"});
}

// Why a posted invoice may no longer change, each state added on top of
// the ones before so the first reason in order is the one told.
TEST_P(InvoicePostingTest, AStoredInvoiceTellsWhyItMayNoLongerChange)
{
    InvoicePosting p = workedInvoice("VFM", kWorked, 10, 10);
    ASSERT_EQ(postInvoice(*db, p).result.end, WriteEnd::Written);
    const auto refusal = [this](bool forCancel = false) {
        const auto said = changeRefusal(*db, kYear, 1, forCancel);
        EXPECT_TRUE(said.ok());
        return said ? said->toStdString() : std::string("?");
    };
    EXPECT_EQ(refusal(), "");
    ASSERT_EQ(setPrinted(*db, Family::Definitive, kYear, 1, true).end, WriteEnd::Written);
    EXPECT_EQ(refusal(), "Impossibile registrare, la Fattura è stampata !");
    EXPECT_EQ(refusal(true), "");
    EXPECT_EQ(setPrinted(*db, Family::Definitive, kYear, 9, true).end, WriteEnd::Gone);

    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE FVENDT SET ANNULLATA = -1, STAMPATA = -1")));
    EXPECT_EQ(refusal(true), "Impossibile registrare, la Fattura è annullata !");
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE SCADF SET DATA_SAL = DATA_DOC WHERE PROGR = 1")));
    EXPECT_EQ(refusal(), "Impossibile registrare, la Fattura ha già delle scadenze saldate !");
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE SCADF SET DATA_SAL = DATA_DOC")));
    EXPECT_EQ(refusal(), "Impossibile registrare, la Fattura è interamente saldata !");
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET STA_GIO = -1 WHERE SEQUENZA = 3")));
    EXPECT_EQ(refusal(), "Impossibile registrare, è già stato stampato il Giornale o il Registro Iva !");
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET STA_GIO = 0")));
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE FVENDT SET STA_IVA = -1")));
    EXPECT_EQ(refusal(), "Impossibile registrare, è già stato stampato il Giornale o il Registro Iva !");
}

// An update keeps the numbers and replaces every figure: entry, VAT, due
// dates, stock (the old movements kept in MOVMAG_DEL) and the customer's
// totals; the counters do not move.
TEST_P(InvoicePostingTest, AnUpdateKeepsTheNumbersAndReplacesEveryFigure)
{
    InvoicePosting first = workedInvoice("VFM", kWorked, 10, 10);
    ASSERT_EQ(postInvoice(*db, first).result.end, WriteEnd::Written);
    const auto stored = readDocument(*db, Family::Definitive, kYear, 1);
    ASSERT_TRUE(stored && stored->has_value());

    InvoicePosting changed = workedInvoice("VFM", {{"VITE", 2, 25, "22", "R1"}});
    const Posted posted = updateInvoice(*db, changed, **stored, false);
    ASSERT_EQ(posted.result.end, WriteEnd::Written) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(posted.internal, 1);
    EXPECT_EQ(posted.document, 1);
    EXPECT_EQ(counter("NROINT"), 1);
    EXPECT_EQ(counter("FVENDDOC"), 1);
    EXPECT_EQ(journal(1), (QStringList{"C1 D 61.00", "R1 A 50.00", "IVV A 11.00"}));
    EXPECT_EQ(values("SELECT COD_IVA, IMPONIBILE, IVA FROM IVA"), QStringList{"22 50.00 11.00"});
    EXPECT_EQ(values("SELECT ARTICOLO, QUANTITA FROM MOVMAG"), QStringList{"VITE 2.00"});
    EXPECT_EQ(values("SELECT ARTICOLO, QUANTITA FROM MOVMAG_DEL ORDER BY NRO_REG"),
              (QStringList{"VITE 4.00", "DADO 5.00"}));
    EXPECT_EQ(values("SELECT ARTICOLO, ESISTENZA, SCARICO_V FROM ARTICOLI ORDER BY ARTICOLO"),
              (QStringList{"DADO 20.00 0.00", "VITE 18.00 2.00"}));
    EXPECT_EQ(values("SELECT NRO_FATT, IMPONIBILE, IVA FROM FATT_CLI"), QStringList{"1 50.00 11.00"});
    EXPECT_EQ(values("SELECT SUM(IMPORTO) FROM SCADF"), QStringList{"61.00"});

    // A withholding added takes a new entry number; removed, it goes.
    const auto again = readDocument(*db, Family::Definitive, kYear, 1);
    InvoicePosting withheld = workedInvoice("VFM", {{"", 1, 1000, "22", "R1"}}, 0, 0, 20);
    ASSERT_EQ(updateInvoice(*db, withheld, **again, false).result.end, WriteEnd::Written);
    EXPECT_EQ(values("SELECT NRO_RIT FROM FVENDT"), QStringList{"2"});
    EXPECT_EQ(journal(2), (QStringList{"RIT D 100.00", "C1 A 100.00"}));
    const auto withRit = readDocument(*db, Family::Definitive, kYear, 1);
    InvoicePosting plain = workedInvoice("VFM", {{"", 1, 1000, "22", "R1"}});
    ASSERT_EQ(updateInvoice(*db, plain, **withRit, false).result.end, WriteEnd::Written);
    EXPECT_EQ(journal(2), QStringList());
    EXPECT_EQ(archives->count(QStringLiteral("RITENUTA")), 0);
}

// Changed by another workstation since it was read: nothing written unless
// the operator says to go on; a refusal or a failing read-back leave the
// stored invoice whole.
TEST_P(InvoicePostingTest, AnUpdateChangesNothingItMayNot)
{
    InvoicePosting first = workedInvoice("VFM", kWorked, 10, 10);
    ASSERT_EQ(postInvoice(*db, first).result.end, WriteEnd::Written);
    const auto stored = readDocument(*db, Family::Definitive, kYear, 1);
    ASSERT_TRUE(stored && stored->has_value());
    const QStringList before = figures();

    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE FVENDT SET TSTAMP = 'altro', BOLLA = 'X'")));
    InvoicePosting changed = workedInvoice("VFM", {{"VITE", 2, 25, "22", "R1"}});
    EXPECT_EQ(updateInvoice(*db, changed, **stored, false).result.end, WriteEnd::ChangedElsewhere);
    EXPECT_EQ(figures(), before);

    trigger("GIORN", "UPDATE GIORN SET IMPORTO = IMPORTO + 1 WHERE SEQUENZA = 1");
    InvoicePosting failing = workedInvoice("VFM", {{"VITE", 2, 25, "22", "R1"}});
    const Posted failed = updateInvoice(*db, failing, **stored, true);
    EXPECT_EQ(failed.result.end, WriteEnd::Failed);
    EXPECT_EQ(failed.verification, verificationFailure(true));
    EXPECT_EQ(figures(), before);
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG_DEL")), 0);
    trigger("GIORN");

    ASSERT_EQ(setPrinted(*db, Family::Definitive, kYear, 1, true).end, WriteEnd::Written);
    const auto printed = readDocument(*db, Family::Definitive, kYear, 1);
    InvoicePosting refused = workedInvoice("VFM", {{"VITE", 2, 25, "22", "R1"}});
    const Posted said = updateInvoice(*db, refused, **printed, false);
    EXPECT_EQ(said.result.end, WriteEnd::NothingChanged);
    EXPECT_EQ(said.result.refusal, "Impossibile registrare, la Fattura è stampata !");
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 2);
}

// Cancelling marks the invoice's rows, gives the goods and the totals back
// and takes its withholding row and VAT summary off; restoring posts it
// again from its own figures, everything as before: an invoice, one with a
// withholding and a credit note, each among the others.
TEST_P(InvoicePostingTest, CancelThenRestoreLeavesEveryFigureAsBefore)
{
    InvoicePosting postings[] = {workedInvoice("VFM", kWorked, 10, 10),
                                 workedInvoice("VFM", {{"VITE", 2, 500, "22", "R1"}}, 0, 0, 20),
                                 workedInvoice("VTM", kWorked)};
    for (InvoicePosting &p : postings)
        ASSERT_EQ(postInvoice(*db, p).result.end, WriteEnd::Written);
    ASSERT_EQ(setPrinted(*db, Family::Definitive, kYear, 1, true).end, WriteEnd::Written);
    const QStringList before = figures();

    for (const int number : {1, 2, 4}) { // the withholding took 3
        SCOPED_TRACE(number);
        ASSERT_EQ(cancelInvoice(*db, kYear, number).result.end, WriteEnd::Written);
        const QString mine = QStringLiteral(" WHERE ANNO = '2025' AND NRO_INT = %1").arg(number);
        for (const char *table : {"FVENDT", "GIORN", "IVA", "SCADF"})
            EXPECT_EQ(
                values(QStringLiteral("SELECT DISTINCT ANNULLATA FROM %1").arg(QString::fromLatin1(table)) + mine),
                QStringList{"-1"})
                << table;
        for (const char *table : {"IVA2", "RITENUTA"})
            EXPECT_EQ(values(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(table)) + mine),
                      QStringList{"0"})
                << table;
        EXPECT_EQ(values(QStringLiteral("SELECT COUNT(*) FROM MOVMAG WHERE NRO_INT_FATT = %1").arg(number)),
                  QStringList{"0"});
        EXPECT_EQ(cancelInvoice(*db, kYear, number).result.refusal, "Impossibile registrare, la Fattura è annullata !");

        const auto cancelled = readDocument(*db, Family::Definitive, kYear, number);
        const Posted restored = restoreInvoice(*db, **cancelled);
        ASSERT_EQ(restored.result.end, WriteEnd::Written) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(figures(), before);
        EXPECT_EQ(values("SELECT DISTINCT ANNULLATA FROM GIORN"), QStringList{"0"});
    }
    // All three cancelled: the customer's totals are back to nothing.
    for (const int number : {1, 2, 4})
        ASSERT_EQ(cancelInvoice(*db, kYear, number).result.end, WriteEnd::Written);
    EXPECT_EQ(values("SELECT NRO_FATT, ULT_FATT, IMPONIBILE, IVA FROM FATT_CLI"), QStringList{"0  0.00 0.00"});
    EXPECT_EQ(values("SELECT ARTICOLO, ESISTENZA FROM ARTICOLI ORDER BY ARTICOLO"),
              (QStringList{"DADO 20.00", "VITE 20.00"}));

    const auto live = readDocument(*db, Family::Definitive, kYear, 1);
    ASSERT_EQ(restoreInvoice(*db, **live).result.end, WriteEnd::Written);
    const auto again = readDocument(*db, Family::Definitive, kYear, 1);
    EXPECT_EQ(restoreInvoice(*db, **again).result.refusal, "Impossibile registrare, la Fattura non è annullata !");
}

// The list of a family by year, document numbers and customer; receipts
// apart or alone.
TEST_P(InvoicePostingTest, TheListFindsByNumberCustomerAndKind)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (8, 'BIANCHI SRL')")));
    for (const char *type : {"VFM", "VFR", "VFM"}) {
        InvoicePosting p = workedInvoice(type, kWorked);
        if (QLatin1String(type) == QLatin1String("VFR"))
            p.document.header.set(QStringLiteral("CLIENTE"), 8);
        ASSERT_EQ(postInvoice(*db, p).result.end, WriteEnd::Written);
    }
    using Receipts = InvoiceFilter::Receipts;
    const struct {
        InvoiceFilter filter;
        QStringList listed;
    } cases[] = {
        {{.year = kYear}, {"1 VFM EDILIZIA ROSSI 1", "2 VFR BIANCHI SRL 2", "3 VFM EDILIZIA ROSSI 3"}},
        {{.year = kYear, .from = 2, .to = 2}, {"2 VFR BIANCHI SRL 2"}},
        {{.year = kYear, .customer = 7, .receipts = Receipts::Excluded},
         {"1 VFM EDILIZIA ROSSI 1", "3 VFM EDILIZIA ROSSI 3"}},
        {{.year = kYear, .receipts = Receipts::Only}, {"2 VFR BIANCHI SRL 2"}},
        {{.family = Family::Proposal, .year = kYear}, {}},
    };
    for (const auto &c : cases) {
        const auto found = searchInvoices(*db, c.filter);
        ASSERT_TRUE(found.ok());
        QStringList seen;
        for (const ListedInvoice &i : found->rows)
            seen << QStringLiteral("%1 %2 %3 %4").arg(i.document).arg(i.type, i.name).arg(i.internal);
        EXPECT_EQ(seen, c.listed) << c.listed.join(QLatin1Char('|')).toStdString();
    }
}

// What an invoice takes from its customer: the defaults, the discounts the
// customer has on invoices, the missing tax identifiers, the default place
// first; the standard-list code and an unknown one are no customer.
TEST_P(InvoicePostingTest, TheCustomerGivesTheInvoiceItsDefaults)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral(
        "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, NAZIONE, COND_PAG, CONTO_PATRIM, CONTO_RICAVO, CODICE_IVA, AGENTE, "
        "SCONTO1, SCONTO2, SCFATT) VALUES (8, 'MARIO BIANCHI', 'I', 'R36', 'C8', 'R1', '22', 3, 5, 2, 1)")));
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES "
                                          "(8, 1, 'CANTIERE NORD', 0), (8, 2, 'SEDE', -1)")));
    const auto found = invoiceCustomer(*db, 8);
    ASSERT_TRUE(found.ok() && found->has_value());
    const InvoiceCustomer &c = **found;
    EXPECT_EQ(c.paymentCondition + c.account + c.revenueAccount + c.vatCode, "R36C8R122");
    EXPECT_EQ(c.agent, 3);
    EXPECT_TRUE(c.missingTaxIds);
    ASSERT_TRUE(c.headerDiscounts.has_value());
    EXPECT_EQ(*c.headerDiscounts, (Discounts{5, 2, 0}));
    ASSERT_EQ(c.places.size(), 2);
    EXPECT_EQ(c.places.first().description, "SEDE");

    const auto plain = invoiceCustomer(*db, 7);
    ASSERT_TRUE(plain.ok() && plain->has_value());
    EXPECT_FALSE((*plain)->missingTaxIds); // not Italian
    EXPECT_FALSE((*plain)->headerDiscounts.has_value());
    for (const int none : {99999, 12})
        EXPECT_FALSE(invoiceCustomer(*db, none)->has_value()) << none;
}

// The checks of an invoice before its confirmation, in the window's order.
TEST_P(InvoicePostingTest, ARightInvoicePassesAndTheFirstFailingCheckSpeaks)
{
    EXPECT_EQ(problems(typed()), QStringList());
    TypedInvoice wrongDate = typed();
    wrongDate.typed[QStringLiteral("DATA_DOC")] = QStringLiteral("45/01/2025");
    EXPECT_EQ(problems(wrongDate).value(0), "DATA_DOC:Data documento errata");

    TypedInvoice t = typed();
    // CONTO_CLI a revenue account.
    fill(t.document.header,
         {{"MOVIMENTO", "AFM"}, {"CLIENTE", 99999}, {"CONTO_CLI", "041001"}, {"SCONTO1", 5}, {"AGENTE", 34}});
    t.typed[QStringLiteral("DATA_REG")] = QStringLiteral("10/01/2025");
    t.typed[QStringLiteral("SPESE_TRA")] = QStringLiteral("10");
    t.withholding = true;
    t.dues = {{QStringLiteral("32/01/2025"), QStringLiteral("10"), {}}};
    t.dueImbalance = 0.01;
    t.document.rows[0].set(QStringLiteral("UN_MIS"), QString());
    fill(t.document.rows[1], {{"COD_IVA", ""}, {"SCONTO2", 120}});
    EXPECT_EQ(
        problems(t),
        (QStringList{
            "MOVIMENTO:Tipo documento errato",
            "DATA_REG:Data registrazione non può essere MINORE della data documento ", "CLIENTE:Cliente errato ",
            "CONTO_CLI:Conto di contropartita patrimoniale errato", "CONTO_SCONTI:Conto per sconto obbligatorio",
            "IVA_TRA:Codice Iva per spese di trasporto obbligatorio", "CONTO_TRA:Conto per spese di trasporto errato",
            "DATA_RIT:Data di registrazione ritenuta obbligatoria", "PERC_RIT:Specificare una percentuale, anche zero",
            "CONTO_RIT:Conto di contabilità per ritenuta, obbligatorio", "SCAD1:Data scadenza errata",
            "IMPOSC1:Squadratura importi scadenza ", "AGENTE:Codice agente sconosciuto ! ",
            "RIGA1.ARTICOLO:Dati incompleti", "RIGA2.SCONTO2:Percentuale sconto errata.",
            "RIGA2.COD_IVA:Codice Iva errato"}));
}

// A new document may not be dated before the latest of its numbering: the
// ordinary series and the credit notes numbered apart each on their own.
TEST_P(InvoicePostingTest, ANewDocumentIsNotDatedBeforeTheLatestOfItsNumbering)
{
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO FVENDT (ANNO, NRO_INT, TIPOFATT, MOVIMENTO, DATA_DOC, DATA_REG) "
                                          "VALUES ('2025', 1, '', 'VFM', '2025-01-20', '2025-01-21'), "
                                          "('2025', 2, 'A', 'VFM', '2025-03-01', '2025-03-01')")));
    TypedInvoice t = typed();
    const QStringList both{
        "DATA_DOC:Data documento non può essere MINORE della data documento dell'ultima fattura inserita",
        "DATA_REG:Data registrazione non può essere MINORE della data registrazione dell'ultima fattura inserita"};
    EXPECT_EQ(problems(t), both);
    t.typed[QStringLiteral("DATA_DOC")] = QStringLiteral("20/01/2025");
    t.typed[QStringLiteral("DATA_REG")] = QStringLiteral("20/01/2025");
    EXPECT_EQ(problems(t), (QStringList{"DATA_REG:Data registrazione non può essere MINORE della data "
                                        "registrazione dell'ultima fattura inserita"}));
    t.newDocument = false;
    EXPECT_EQ(problems(t), QStringList());

    // A credit note numbered apart is not held to the invoices' dates.
    TypedInvoice note = typed();
    note.document.header.set(QStringLiteral("MOVIMENTO"), QStringLiteral("VTM"));
    note.creditNotesApart = true;
    EXPECT_EQ(problems(note), QStringList());
    note.creditNotesApart = false;
    EXPECT_EQ(problems(note), both);
}

// The document store: both families read back whole, the rows keeping only
// their own sources and never an amount, a failed write, deletions, the
// customer's totals and the uses of a customer and an item.
TEST_P(InvoicePostingTest, DefinitiveAndProposalShareANumberAndReadBackWhole)
{
    SalesDocument definitive = storedInvoice(Family::Definitive, 1);
    SalesDocument proposal = storedInvoice(Family::Proposal, 1);
    fill(proposal.header, {{"TOTALE", 99.0}, {"ACCOMPAGNATORIA", false}});
    ASSERT_TRUE(write(definitive));
    ASSERT_TRUE(write(proposal));

    EXPECT_EQ(read(Family::Definitive, 1), definitive);
    SalesDocument proposalRead = read(Family::Proposal, 1);
    EXPECT_EQ(proposalRead.header.number(QStringLiteral("TOTALE")), 99);
    EXPECT_FALSE(proposalRead.delivery); // not travelling with the goods: no block
    EXPECT_EQ(proposalRead.rows, definitive.rows);
    ASSERT_EQ(proposalRead.dueDates.size(), 2);
    EXPECT_EQ(proposalRead.dueDates[1].number(QStringLiteral("IMPO_PROV")), 1.13);
    EXPECT_EQ(proposalRead.dueDates[1].integer(QStringLiteral("PROGR")), 2);
    EXPECT_EQ(proposalRead.dueDates[1].date(QStringLiteral("SCADENZA")), QDate(2025, 1, 31));
    // The amount unrounded in NETTO, nothing in IMPORTO.
    EXPECT_EQ(Testing::committedRows(*archives, QStringLiteral("SELECT RIGA, TIPO, ANNO_BOL, NRO_BOL, RIGA_BOL, "
                                                               "ANNO_ORD, NRO_ORD, RIGA_ORD, IMPORTO, NDEC, NETTO "
                                                               "FROM FVENDD")),
              (QStringList{"1|||0|0||0|0|0|2|50.248863", "2|D|2024|12|3||0|0|0|3|0", "3|B||0|0|2024|5|2|0|2|0"}));
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT COUNT(*) FROM FVENDT WHERE TIPOFATT = ''")).toInt(), 1);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT COUNT(*) FROM SCADF WHERE FORNITORE = 0 AND SALDO = 0")).toInt(),
              2);
}

TEST_P(InvoicePostingTest, AFailureWritingRowsLeavesNoHeader)
{
    ASSERT_EQ(Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("FVENDD")), QString());
    SalesDocument d = storedInvoice(Family::Definitive, 3);
    EXPECT_FALSE(write(d));
    EXPECT_EQ(archives->count(QStringLiteral("FVENDT")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("FVENACC")), 0);
}

TEST_P(InvoicePostingTest, DeleteAndEmptyTheSimulatedFamily)
{
    SalesDocument first = storedInvoice(Family::Definitive, 4);
    SalesDocument second = storedInvoice(Family::Definitive, 5);
    fill(second.rows[0], {{"MARCA", "ABC"}, {"ARTICOLO", "VITE-10"}});
    SalesDocument simulated = storedInvoice(Family::Simulated, 4);
    ASSERT_TRUE(write(first) && write(second) && write(simulated));
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(deleteDocument(unit, Family::Definitive, kStoreYear, 4) && emptySimulated(unit) && unit.commit());
    }
    for (const char *table : {"FVENDT", "FVENACC"})
        EXPECT_EQ(archives->count(QString::fromLatin1(table)), 1) << table;
    EXPECT_EQ(archives->count(QStringLiteral("FVENDD")), 3);
    EXPECT_EQ(archives->count(QStringLiteral("SCADF")), 2);
    EXPECT_EQ(archives->count(QStringLiteral("FVENDT_S")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("FVENDD_S")), 0);
    // The invoice kept keeps its customer and item from deletion.
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 7).value(), QStringList{QStringLiteral("Fatture")});
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 8).value(), QStringList());
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-10")})
            .value(),
        QStringLiteral("Impossibile eliminare l'articolo, esistono ancora movimenti"));
}

TEST_P(InvoicePostingTest, CustomerTotalsAddUpAcrossWorkstations)
{
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(addCustomerInvoice(unit, 7, kStoreYear, QDate(2024, 3, 1), 100, 22) && unit.commit());
    }
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.open());
    {
        Services::WriteUnit unit(other.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(addCustomerInvoice(unit, 7, kStoreYear, QDate(2024, 4, 2), 50.5, 11.11) && unit.commit());
    }
    EXPECT_EQ(Testing::committedRows(*archives, QStringLiteral("SELECT NRO_FATT, ULT_FATT, IMPONIBILE, IVA FROM "
                                                               "FATT_CLI WHERE CLIENTE = 7 AND ANNO = '2024'")),
              QStringList{"2|2024-04-02|150.5|33.11"});
}

ORLAVO_FOR_EACH_ENGINE(InvoicePostingTest);

// Revenue lines rounded per account add up to the goods total, so the
// entry balances, in euro and in lire; a VAT-only document has no revenue
// or expense lines.
TEST(InvoiceLines, RevenueLinesAddUpToTheGoodsTotal)
{
    InvoiceFigures f;
    f.type = QStringLiteral("VFM");
    f.customerAccount = QStringLiteral("C1");
    f.vatAccount = QStringLiteral("IVV");
    f.rows = {{QStringLiteral("R1"), 10.005}, {QStringLiteral("R2"), 10.005}, {QStringLiteral("R2"), 0.004}};
    f.goods = 20.01; // the summary's one rounding of 20,014
    f.vat = 4.40;
    f.total = 24.41;
    const auto sides = [](const QList<PostingLine> &lines) {
        double debit = 0, credit = 0;
        QStringList shown;
        for (const PostingLine &l : lines) {
            (l.sign == QLatin1Char('D') ? debit : credit) += l.amount;
            shown << QStringLiteral("%1 %2 %3").arg(l.account, QString(l.sign), QString::number(l.amount, 'f', 2));
        }
        EXPECT_NEAR(debit, credit, 1e-9) << shown.join(QLatin1Char('|')).toStdString();
        return shown;
    };
    // R2 sums 10,009 → 10,01 and R1 10,01: 20,02, one cent over; the larger
    // line (the first of the two) gives it back.
    EXPECT_EQ(sides(invoiceLines(f)), (QStringList{"C1 D 24.41", "R1 A 10.00", "R2 A 10.01", "IVV A 4.40"}));

    f.decimals = 0;
    f.rows = {{QStringLiteral("R1"), 1000.5}, {QStringLiteral("R2"), 1000.5}};
    f.goods = 2001;
    f.vat = 400;
    f.total = 2401;
    EXPECT_EQ(sides(invoiceLines(f)), (QStringList{"C1 D 2401.00", "R1 A 1000.00", "R2 A 1001.00", "IVV A 400.00"}));

    f.type = QStringLiteral("VFI");
    f.transport = 10;
    f.transportAccount = QStringLiteral("TR");
    f.total = 400;
    EXPECT_EQ(sides(invoiceLines(f)), (QStringList{"C1 D 400.00", "IVV A 400.00"}));
}

TEST(InvoiceCounters, ByTypeSeriesAndFamily)
{
    const auto names = [](const char *type, const char *series, Family family, bool credit, bool debit) {
        const InvoiceCounters c =
            invoiceCounters(kYear, QString::fromLatin1(type), QString::fromLatin1(series), family, credit, debit);
        return (c.internal + QLatin1Char(' ') + c.registration + QLatin1Char(' ') + c.document).toStdString();
    };
    EXPECT_EQ(names("VFM", "", Family::Definitive, true, false), "2025NROINT 2025FVEND 2025FVENDDOC");
    EXPECT_EQ(names("VTM", "a", Family::Definitive, true, false), "2025NROINT 2025FVENDA_NA 2025FVENDADOC_NA");
    EXPECT_EQ(names("VFD", "B", Family::Definitive, true, true), "2025NROINT 2025FVENDB_ND 2025FVENDBDOC_ND");
    EXPECT_EQ(names("VFD", "", Family::Definitive, true, false), "2025NROINT 2025FVEND 2025FVENDDOC");
    EXPECT_EQ(names("VTI", "", Family::Proposal, true, false), " 2025FVEND_NA_PR 2025FVENDDOC_NA_PR");
}

} // namespace
