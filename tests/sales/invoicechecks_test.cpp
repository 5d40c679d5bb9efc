#include "archives.h"
#include "sales/stores/invoicechecks.h"
#include "services/data/writeunit.h"
#include "workedinvoice.h"

// The checks of an invoice before its confirmation, in the window's order,
// on both engines.

using namespace Orlavo;
using namespace Orlavo::Sales;
using namespace Orlavo::Sales::Worked;
using Services::Row;

namespace {

class InvoiceChecksTest : public Orlavo::Testing::EngineTest
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

    // The worked invoice typed right: accounts of the standard chart.
    TypedInvoice typed()
    {
        TypedInvoice t;
        t.document = workedInvoice("VFM", kWorked).document;
        Row &h = t.document.header;
        h.set(QStringLiteral("COND_PAG"), QStringLiteral("RD"));
        h.set(QStringLiteral("CONTO_CLI"), QStringLiteral("012001"));
        h.set(QStringLiteral("CONTO_IVA"), QStringLiteral("024001"));
        h.set(QStringLiteral("CONTO_SCONTI"), QString());
        for (Row &row : t.document.rows) {
            row.set(QStringLiteral("UN_MIS"), QStringLiteral("PZ"));
            row.set(QStringLiteral("CONTO"), QStringLiteral("041001"));
        }
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

TEST_P(InvoiceChecksTest, ARightInvoicePassesAndTheFirstFailingCheckSpeaks)
{
    EXPECT_EQ(problems(typed()), QStringList());

    TypedInvoice t = typed();
    Row &h = t.document.header;
    h.set(QStringLiteral("MOVIMENTO"), QStringLiteral("AFM"));
    t.typed[QStringLiteral("DATA_REG")] = QStringLiteral("10/01/2025");
    h.set(QStringLiteral("CLIENTE"), 99999);
    h.set(QStringLiteral("CONTO_CLI"), QStringLiteral("041001")); // a revenue account
    h.set(QStringLiteral("SCONTO1"), 5);
    t.typed[QStringLiteral("SPESE_TRA")] = QStringLiteral("10");
    t.withholding = true;
    t.dues = {{QStringLiteral("32/01/2025"), QStringLiteral("10"), {}}};
    t.dueImbalance = 0.01;
    h.set(QStringLiteral("AGENTE"), 34);
    t.document.rows[0].set(QStringLiteral("UN_MIS"), QString());
    t.document.rows[1].set(QStringLiteral("COD_IVA"), QString());
    t.document.rows[1].set(QStringLiteral("SCONTO2"), 120);
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
TEST_P(InvoiceChecksTest, ANewDocumentIsNotDatedBeforeTheLatestOfItsNumbering)
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

ORLAVO_FOR_EACH_ENGINE(InvoiceChecksTest);

} // namespace
