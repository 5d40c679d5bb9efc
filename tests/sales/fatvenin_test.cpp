#include "sales/sales.h"
#include "sales/stores/invoicestate.h"
#include "sales/windows/documentrows.h"
#include "sales/windows/documenttotals.h"
#include "sales/windows/fatvenag.h"
#include "sales/windows/fatvenin.h"
#include "sales/windows/fatvenri.h"
#include "ui/inputfields.h"
#include "../warehouse/windowhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// The invoice window's wiring: what the customer, the agent and an item
// fill, the figures following the rows, the checks' marks and first message,
// the questions and the buttons. The checks, the figures and the posting
// themselves are the stores' and rules' (invoiceposting_test,
// salesrows_test).

using namespace Orlavo;
using namespace Orlavo::Sales;
using Orlavo::Services::Prompter;
using Button = Orlavo::Services::Prompter::Button;
using Orlavo::Testing::red;

namespace {

class FatVenInTest : public Orlavo::Testing::DocumentWindowFixture<FatVenIn>
{
protected:
    void seed() override
    {
        DocumentWindowTest::seed();
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, COD_IVA, CONTO, ESISTENZA, "
            "PREZZO_LIST, SC_V1, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 'PZ', '22', '041001', 20, 25, 0, "
            "2), ('01', 'ABC', 'DADO', 'DADO M8', 'PZ', '10', '041001', 20, 12.5, 20, 2)");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, INDIRIZZO_LEG, CAP_LEG, CITTA_LEG, PROVINCIA_LEG, PART_IVA, "
            "NAZIONE, COND_PAG, CONTO_PATRIM) VALUES (7, 'EDILIZIA ROSSI', 'VIA ROMA 1', '20100', 'MILANO', 'MI', "
            "'01234567897', 'I', 'R60', '012001')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE, PERC_PROV) VALUES (30, 'AGENTE VERDI', 'A', 5)");
        registerWindows(registry, *context);
    }

    void open(FatVenIn::Mode mode = FatVenIn::Mode::Invoice) { window = std::make_unique<FatVenIn>(*context, mode); }
    void type(const char *column, const QString &text)
    {
        Orlavo::Testing::leave(window->fields().field(QString::fromLatin1(column)), text);
    }
    void typeRow(int row, const char *item, const char *quantity)
    {
        window->rows()->setCell(row, DocumentRows::Item, QString::fromLatin1(item));
        window->rows()->setCell(row, DocumentRows::Quantity, QString::fromLatin1(quantity));
    }
    // The worked invoice: customer 7, agent 30 at 5 %, 4 screws at 25,00
    // and 5 nuts at 10,00 (their list price 12,50 less 20 %).
    void typeInvoice(FatVenIn::Mode mode = FatVenIn::Mode::Invoice)
    {
        open(mode);
        type("CLIENTE", "7");
        type("AGENTE", "30");
        typeRow(0, "VITE", "4");
        typeRow(1, "DADO", "5");
    }
    // The worked invoice typed and posted; the window stays open.
    void postOne(FatVenIn::Mode mode = FatVenIn::Mode::Invoice)
    {
        typeInvoice(mode);
        ASSERT_TRUE(confirmed(*window, {Button::Ok}));
        answer();
    }
    // The answers queued, then Conferma.
    bool confirmed(FatVenIn &shown, std::initializer_list<Button> answers = {})
    {
        answer(answers);
        return shown.confirm();
    }
    // The first stored document of the list the menu entry opens.
    FatVenAg *openStored(const char *entry)
    {
        auto *list = qobject_cast<FatVenRi *>(openEntry(entry));
        EXPECT_NE(list, nullptr);
        if (!list || list->grid()->rowCount() == 0)
            return nullptr;
        list->choose(0);
        return qobject_cast<FatVenAg *>(host.opened());
    }
};

// The customer's defaults, the agent's rate and an item's fill the window;
// the figures and due dates follow the rows. A special series is asked
// first, then the posting. Posted, the number is told and the window
// emptied.
TEST_P(FatVenInTest, AnInvoiceTypedAsTheOperatorWouldIsPosted)
{
    typeInvoice();
    EXPECT_EQ(window->value("CONTO_IVA"), "024001");
    EXPECT_EQ(window->fields().description("CLIENTE"), "EDILIZIA ROSSI");
    EXPECT_EQ(window->value("CONTO_CLI"), "012001");
    EXPECT_EQ(window->rows()->cell(0, DocumentRows::Description), "VITE DA 8");
    EXPECT_EQ(window->rows()->cell(1, DocumentRows::Price), "10,00");
    EXPECT_EQ(window->rows()->cell(1, DocumentRows::Commission), "2,50");
    EXPECT_EQ(window->totals()->figure("TOTALE"), "177,00");
    EXPECT_EQ(window->dues()->lines().size(), 2);

    window->series()->setCurrentIndex(1);
    EXPECT_FALSE(confirmed(*window, {Button::No}));
    EXPECT_EQ(prompter.texts(),
              QStringList{"Attenzione, si è scelta una numerazione speciale. Si è proprio sicuri ? "});
    EXPECT_FALSE(confirmed(*window, {Button::Yes, Button::Cancel}));
    EXPECT_EQ(prompter.texts().last(), "Confermi registrazioni?");
    EXPECT_EQ(count("FVENDT"), 0);
    ASSERT_TRUE(confirmed(*window, {Button::Yes, Button::Ok}));
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");
    EXPECT_EQ(text("SELECT TIPOFATT FROM FVENDT"), "A");
    EXPECT_EQ(window->statusLine()->text(),
              "Registrato documento VFM n. 1 del " + QDate::currentDate().toString("dd/MM/yyyy") + " (n. interno 1)");
    EXPECT_EQ(window->value("CLIENTE"), "");
    EXPECT_FALSE(window->hasChanges());
}

// Failing checks: every field red, the first message under "ERRORE"; a row's mark follows it when a row is inserted
// above.
TEST_P(FatVenInTest, FailingChecksAreAllRedAndTheFirstSpeaks)
{
    open();
    type("MOVIMENTO", "XYZ");
    type("COND_PAG", "R60");
    type("CONTO_CLI", "012001");
    typeRow(0, "VITE", "4");
    typeRow(1, "DADO", "5");
    window->rows()->setCell(1, DocumentRows::Vat, QStringLiteral("99"));
    EXPECT_EQ(prompter.texts(), QStringList{"Codice Iva errato"});
    EXPECT_FALSE(confirmed(*window));
    EXPECT_EQ(prompter.texts(), QStringList{"Tipo documento errato"});
    EXPECT_EQ(prompter.shown().first().title, "ERRORE");
    EXPECT_EQ(red(*window), (QStringList{"CLIENTE", "MOVIMENTO"}));
    EXPECT_TRUE(window->rows()->cellMarked(1, DocumentRows::Vat));

    window->rows()->setCurrentCell(0, DocumentRows::Item);
    window->rows()->insertRowAtSelection();
    type("MOVIMENTO", "VFM");
    type("SCONTO1", "150");
    EXPECT_FALSE(confirmed(*window));
    EXPECT_EQ(prompter.texts(), QStringList{"Percentuale sconto errata."});
    EXPECT_TRUE(window->rows()->cellMarked(2, DocumentRows::Vat));
    EXPECT_FALSE(window->rows()->cellMarked(1, DocumentRows::Vat));
    EXPECT_EQ(red(*window), (QStringList{"CLIENTE", "CONTO_SCONTI", "SCONTO1"}));
}

// With CTRL_ESIST_NEG an unknown item and a stock going below zero are
// told; a figure that does not read is told, kept, marked and refused. With
// special totals the special items' weight is billed on the configured
// item's row, posted with them and shown once when opened again. Ticking
// the withholding proposes the last causal, rate and account used and the
// registration date.
TEST_P(FatVenInTest, TheRowsTellTheStockAndBillTheSpecialTotals)
{
    context->settings.write("MAIN", "CTRL_ESIST_NEG", "SI");
    context->settings.write("FATTURA", "CALCOLO_TOTALI_SPECIALI", "SI");
    context->settings.write("FATTURA", "MARCA_PER_SPECIALI", "ABC");
    context->settings.write("FATTURA", "ARTICOLO_PER_SPECIALI", "CONAI");
    context->settings.write("RITACC_SU_FVEND", "CAUDALE_RIT", "R01");
    context->settings.write("RITACC_SU_FVEND", "PERCRIT_RIT", "20");
    context->settings.write("RITACC_SU_FVEND", "CONTO_RIT", "024001");
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, COD_IVA, CONTO, PREZZO_LIST) "
        "VALUES ('01', 'ABC', 'CONAI', 'CONTRIBUTO CONAI', 'KG', '22', '041001', 0.5)");
    run("UPDATE ARTICOLI SET PESO_SPECIF = 2, SPECIALE = -1 WHERE ARTICOLO = 'VITE'");
    open();
    type("CLIENTE", "7");
    DocumentRows *rows = window->rows();
    rows->setCell(0, DocumentRows::Item, QStringLiteral("BULLONE"));
    EXPECT_EQ(prompter.texts(), QStringList{"L'articolo BULLONE\nnon esiste in archivio; Riiserirlo. "});
    EXPECT_TRUE(rows->cellMarked(0, DocumentRows::Item));
    answer();
    typeRow(0, "VITE", "25");
    EXPECT_EQ(prompter.texts(), QStringList{"L'articolo VITE\nha raggiunto esitenza negativa; Controllare Articolo. "});
    answer();
    rows->setCell(0, DocumentRows::Quantity, QStringLiteral("4,x"));
    EXPECT_EQ(prompter.texts(), QStringList{"Quantità errata"});
    EXPECT_EQ(rows->cell(0, DocumentRows::Quantity), "4,x");
    EXPECT_TRUE(rows->cellMarked(0, DocumentRows::Quantity));
    EXPECT_FALSE(confirmed(*window));
    EXPECT_EQ(prompter.texts(), QStringList{"Quantità errata"});

    rows->setCell(0, DocumentRows::Quantity, QStringLiteral("4"));
    typeRow(2, "DADO", "5");
    ASSERT_EQ(rows->rowCount(), 4);
    EXPECT_EQ(rows->cell(1, DocumentRows::Item), "CONAI");
    EXPECT_EQ(rows->cell(1, DocumentRows::Quantity), "8");
    EXPECT_EQ(window->value("PERC_RIT"), "");
    window->withholdingBox()->setChecked(true);
    EXPECT_EQ(window->value("CAUSALE_RIT") + window->value("PERC_RIT") + window->value("CONTO_RIT"), "R0120024001");
    EXPECT_EQ(window->value("DATA_RIT"), window->value("DATA_REG"));
    EXPECT_EQ(window->totals()->figure("RITENUTA"), "15,40"); // 20 % of the base, half of 154,00
    ASSERT_TRUE(confirmed(*window, {Button::Ok})) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT QTA FROM FVENDD WHERE ARTICOLO = 'CONAI'"), "8");
    EXPECT_EQ(text("SELECT TOT_UTF FROM FVENDT"), "8");

    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->rows()->rowCount(), 4);
    EXPECT_FALSE(stored->hasChanges());
}

// The entries open their windows (the lists of invoices and proposals in
// the tests below); the receipt starts as "VFR".
TEST_P(FatVenInTest, TheMenuEntriesOpenTheirModes)
{
    for (const auto &[entry, title, movement] :
         {std::tuple{"mnu_FVencod", "Emissione Fatture di Vendita", "VFM"},
          std::tuple{"mnuricfiscemis", "Emissione Ricevuta fiscale  ", "VFR"},
          std::tuple{"mnu_propFvendCodi", "Emissione Fatture di Vendita (PROPOSTA)", "VFM"},
          std::tuple{"mnuricfiscmodi", "Lista Ricevute fiscali", ""}}) {
        QWidget *opened = openEntry(entry);
        ASSERT_NE(opened, nullptr) << entry;
        EXPECT_EQ(opened->windowTitle(), QString::fromUtf8(title));
        if (auto *invoice = qobject_cast<FatVenIn *>(opened)) {
            EXPECT_EQ(invoice->value("MOVIMENTO"), movement);
        }
    }
}

// A stored invoice opened from the list shows as stored. Commissions
// brought to nothing and a change made meanwhile by another workstation are
// asked about, No writing nothing; the change is posted under the same
// number and told; a printed invoice is refused.
TEST_P(FatVenInTest, AStoredInvoiceIsOpenedFromTheListAndUpdated)
{
    postOne();
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->hasChanges());
    EXPECT_TRUE(stored->fields().field("MOVIMENTO")->isReadOnly());
    stored->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("2"));
    EXPECT_EQ(stored->totals()->figure("TOTALE"), "116,00");
    for (int row : {0, 1})
        stored->rows()->setCell(row, DocumentRows::CommissionRate, QStringLiteral("0"));
    const QString zero = "Si è scelto di azzerare le provvigioni: Confermi l'operazione?";
    EXPECT_FALSE(confirmed(*stored, {Button::Ok, Button::No}));
    EXPECT_EQ(prompter.texts().last(), zero);

    const QString elsewhere = "La Fattura è stata modificata da un altro utente  Si vuole aggiornare ugualmente ?";
    run("UPDATE FVENDT SET TSTAMP = 'altro'");
    EXPECT_FALSE(confirmed(*stored, {Button::Ok, Button::Yes, Button::No}));
    EXPECT_EQ(prompter.texts().last(), elsewhere);
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");
    ASSERT_TRUE(confirmed(*stored, {Button::Ok, Button::Yes, Button::Yes}));
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Confermi registrazioni?", zero, elsewhere, "Registrazione avvenuta con successo"}));
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "116");
    EXPECT_EQ(text("SELECT TOT_PROV FROM FVENDT"), "0");
    EXPECT_FALSE(stored->hasChanges());

    ASSERT_EQ(setPrinted(context->db, Family::Definitive, thisYear(), 1, true).end, Services::WriteEnd::Written);
    stored->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("3"));
    EXPECT_FALSE(confirmed(*stored, {Button::Ok, Button::Yes}));
    EXPECT_EQ(prompter.texts().last(), "Impossibile registrare, la Fattura è stampata !");
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "116");
}

// Stampa writes the invoice with its heading, customer, rows and figures
// and marks it printed; Annulla then Ripristina, each asked; the printed mark is taken off
// by its own command.
TEST_P(FatVenInTest, AStoredInvoiceIsPrintedCancelledAndRestored)
{
    useShippedReports();
    typeInvoice();
    typeRow(2, "VITE", "2");
    ASSERT_TRUE(confirmed(*window, {Button::Ok}));
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->unprintButton()->isEnabled());
    const QString pdf = archives->folder() + QStringLiteral("fattura.pdf");
    answer();
    ASSERT_TRUE(stored->print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *expected : {"FATTURA", "EDILIZIA ROSSI", "VITE DA 8", "DADO M8", "238,00", "Netto a pagare"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(expected))) << expected << "\n" << printed.toStdString();
    EXPECT_EQ(text("SELECT STAMPATA FROM FVENDT"), "-1");
    EXPECT_TRUE(stored->unprintButton()->isEnabled());

    answer({Button::Yes});
    ASSERT_TRUE(stored->toggleCancelled());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi l'annullamento della fattura?"});
    EXPECT_EQ(text("SELECT ANNULLATA FROM FVENDT"), "-1");
    EXPECT_EQ(stored->cancelButton()->text(), "Ripristina fattura");
    answer({Button::Yes});
    ASSERT_TRUE(stored->toggleCancelled());
    EXPECT_EQ(text("SELECT ANNULLATA FROM FVENDT"), "0");
    EXPECT_EQ(stored->cancelButton()->text(), "Annulla fattura");
    answer();
    ASSERT_TRUE(stored->takeOffPrinted());
    EXPECT_EQ(text("SELECT STAMPATA FROM FVENDT"), "0");
    EXPECT_FALSE(stored->unprintButton()->isEnabled());
}

// A proposal, posted into its own family, is copied into a new invoice,
// itself untouched, then deleted after the question.
TEST_P(FatVenInTest, AProposalIsCopiedIntoAnInvoiceThenDeleted)
{
    postOne(FatVenIn::Mode::Proposal);
    FatVenAg *proposal = openStored("mnu_PropFvendModi");
    ASSERT_NE(proposal, nullptr);
    EXPECT_FALSE(proposal->cancelButton()->isVisibleTo(proposal));
    EXPECT_EQ(count("FVENDT"), 0);
    proposal->copyIntoInvoice();
    auto *copy = qobject_cast<FatVenIn *>(host.opened());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->totals()->figure("TOTALE"), "177,00");
    ASSERT_TRUE(confirmed(*copy, {Button::Ok}));
    EXPECT_EQ(count("FVENDT"), 1);
    EXPECT_EQ(count("FVENDT_PR"), 1);

    answer({Button::Yes});
    ASSERT_TRUE(proposal->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi l'eliminazione della registrazione?"});
    EXPECT_EQ(count("FVENDT_PR"), 0);
}

ORLAVO_FOR_EACH_ENGINE(FatVenInTest);

} // namespace
