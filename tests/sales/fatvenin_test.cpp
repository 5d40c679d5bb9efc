#include "fixtures.h"
#include "sales/sales.h"
#include "sales/stores/invoicestate.h"
#include "sales/windows/fatvenag.h"
#include "sales/windows/fatvenri.h"
#include "sales/windows/documentrows.h"
#include "sales/windows/documenttotals.h"
#include "sales/windows/fatvenin.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "ui/inputfields.h"
#include "ui/windowregistry.h"
#include "../masterdata/masterdatatest.h"
#include "../warehouse/windowhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// The invoice window's wiring: what the customer and an item fill, the
// figures following the rows, the checks' marks and first message, the
// questions and the posting. The checks, the figures and the posting
// themselves are the stores' and rules' (invoicechecks_test, summary_test,
// invoiceposting_test).

using namespace Orlavo;
using namespace Orlavo::Sales;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kYear = QString::number(QDate::currentDate().year());

class FatVenInTest : public Orlavo::Testing::StandardDataTest<Orlavo::Testing::RecordingPrompter>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        context->state.year = kYear;
        context->state.warehouse = QStringLiteral("01");
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ABC', 'MARCA ABC')");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, COD_IVA, CONTO, ESISTENZA, "
            "PREZZO_LIST, SC_V1, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 'PZ', '22', '041001', 20, 25, 0, 2)");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, COD_IVA, CONTO, ESISTENZA, "
            "PREZZO_LIST, SC_V1, NUM_DEC) VALUES ('01', 'ABC', 'DADO', 'DADO M8', 'PZ', '10', '041001', 20, 12.5, "
            "20, 2)");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, INDIRIZZO_LEG, CAP_LEG, CITTA_LEG, PROVINCIA_LEG, PART_IVA, NAZIONE, "
            "COND_PAG, CONTO_PATRIM) VALUES (7, 'EDILIZIA ROSSI', 'VIA ROMA 1', '20100', 'MILANO', 'MI', "
            "'01234567897', 'I', 'R60', '012001')");
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"));
        ASSERT_TRUE(Services::Counters::insertFirstYearCounters(unit, kYear, false) && unit.commit());
        answer();
    }
    void TearDown() override
    {
        // No statement of the windows may fail on either engine.
        EXPECT_EQ(dbExits, 0);
        window.reset();
        StandardDataTest::TearDown();
    }

    void open(FatVenIn::Mode mode = FatVenIn::Mode::Invoice)
    {
        window = std::make_unique<FatVenIn>(*context, mode);
    }
    void type(const char *column, const QString &text)
    {
        Orlavo::Testing::leave(window->fields().field(QString::fromLatin1(column)), text);
    }
    // The two rows of the worked invoice: 4 screws at 25,00 and 5 nuts at
    // 10,00 (their list price 12,50 less 20 %).
    void typeRows()
    {
        DocumentRows *rows = window->rows();
        rows->setCell(0, DocumentRows::Item, QStringLiteral("VITE"));
        rows->setCell(0, DocumentRows::Quantity, QStringLiteral("4"));
        rows->setCell(1, DocumentRows::Item, QStringLiteral("DADO"));
        rows->setCell(1, DocumentRows::Quantity, QStringLiteral("5"));
    }
    void shot(const char *name)
    {
        if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty()) {
            window->resize(1366, 720);
            window->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
        }
    }

    // The worked invoice typed and posted; the window stays open.
    void postOne(FatVenIn::Mode mode = FatVenIn::Mode::Invoice)
    {
        open(mode);
        type("CLIENTE", "7");
        typeRows();
        answer({Prompter::Button::Ok});
        ASSERT_TRUE(window->confirm());
        answer();
    }
    // The stored document opened from its list, as the menu does it.
    FatVenAg *openStored(const char *entry)
    {
        registry = std::make_unique<Ui::WindowRegistry>();
        Sales::registerWindows(*registry, *context);
        (*registry->find(QString::fromLatin1(entry)))(host);
        auto *list = qobject_cast<FatVenRi *>(host.opened());
        EXPECT_NE(list, nullptr);
        if (!list || list->grid()->rowCount() == 0)
            return nullptr;
        list->choose(0);
        return qobject_cast<FatVenAg *>(host.opened());
    }

    std::unique_ptr<FatVenIn> window;
    std::unique_ptr<Ui::WindowRegistry> registry;
    Orlavo::Testing::KeepingHost host;
};

// The customer's defaults and an item's fill the window; the figures and
// due dates follow the rows; Conferma asks once, posts, tells the number
// and empties the window.
TEST_P(FatVenInTest, AnInvoiceTypedAsTheOperatorWouldIsPosted)
{
    open();
    EXPECT_EQ(window->windowTitle(), "Emissione Fatture di Vendita");
    EXPECT_EQ(window->value("MOVIMENTO"), "VFM");
    EXPECT_EQ(window->value("CAUSALE"), "VM");
    EXPECT_EQ(window->value("CONTO_IVA"), "024001");
    type("CLIENTE", "7");
    EXPECT_EQ(window->fields().description("CLIENTE"), "EDILIZIA ROSSI");
    EXPECT_EQ(window->fields().label("PARTITA_IVA")->text(), "Partita Iva : 01234567897");
    EXPECT_EQ(window->value("COND_PAG"), "R60");
    EXPECT_EQ(window->value("CONTO_CLI"), "012001");

    typeRows();
    DocumentRows *rows = window->rows();
    EXPECT_EQ(rows->cell(0, DocumentRows::Description), "VITE DA 8");
    EXPECT_EQ(rows->cell(0, DocumentRows::Brand), "ABC");
    EXPECT_EQ(rows->cell(0, DocumentRows::Unit), "PZ");
    EXPECT_EQ(rows->cell(0, DocumentRows::Vat), "22");
    EXPECT_EQ(rows->cell(1, DocumentRows::Price), "10,00");
    EXPECT_EQ(rows->cell(1, DocumentRows::Amount), "50,00");
    EXPECT_EQ(rows->rowCount(), 3); // an empty row waits at the bottom
    EXPECT_EQ(window->totals()->figure("TOTALE"), "177,00");
    EXPECT_EQ(window->totals()->vatTable()->item(0, 3)->text(), "22,00");
    const QList<Masterdata::DueLine> dues = window->dues()->lines();
    ASSERT_EQ(dues.size(), 2);
    EXPECT_DOUBLE_EQ(dues.at(0).amount + dues.at(1).amount, 177);
    shot("fatvenin.png");

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi registrazioni?"});
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");
    EXPECT_EQ(text("SELECT COUNT(*) FROM FVENDD WHERE CLIENTE = 7 AND MOVIMENTO = 'VFM'"), "2");
    EXPECT_EQ(count("SCADF"), 2);
    EXPECT_EQ(count("MOVMAG"), 2);
    EXPECT_EQ(window->statusLine()->text(),
              "Registrato documento VFM n. 1 del " + QDate::currentDate().toString("dd/MM/yyyy") +
                  " (n. interno 1)");
    EXPECT_EQ(window->value("CLIENTE"), "");
    EXPECT_EQ(window->rows()->rowCount(), 1);
    EXPECT_FALSE(window->hasChanges());
}

// Three failing checks: every field red, the first message under "ERRORE",
// nothing written, the input kept.
TEST_P(FatVenInTest, FailingChecksAreAllRedAndTheFirstSpeaks)
{
    open();
    type("MOVIMENTO", "XYZ");
    type("COND_PAG", "R60");
    type("CONTO_CLI", "012001");
    typeRows();
    window->rows()->setCell(1, DocumentRows::Vat, QStringLiteral("99"));
    EXPECT_EQ(prompter.texts(), QStringList{"Codice Iva errato"});
    answer();
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Tipo documento errato"});
    EXPECT_EQ(prompter.shown().first().title, "ERRORE");
    EXPECT_EQ(red(*window), (QStringList{"CLIENTE", "MOVIMENTO"}));
    EXPECT_TRUE(window->rows()->cellMarked(1, DocumentRows::Vat));
    EXPECT_EQ(window->value("MOVIMENTO"), "XYZ");
    EXPECT_EQ(count("FVENDT"), 0);

    // A blank row inserted above: the failing row is still the one marked;
    // a header discount above 99,99 is refused too.
    window->rows()->setCurrentCell(0, DocumentRows::Item);
    window->rows()->insertRowAtSelection();
    type("MOVIMENTO", "VFM");
    type("SCONTO1", "150");
    answer();
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Percentuale sconto errata."});
    EXPECT_TRUE(window->rows()->cellMarked(2, DocumentRows::Vat));
    EXPECT_FALSE(window->rows()->cellMarked(1, DocumentRows::Vat));
    EXPECT_EQ(red(*window), (QStringList{"CLIENTE", "CONTO_SCONTI", "SCONTO1"}));
}

// A figure or date that does not read: its message, the text kept, and
// Conferma refuses it.
TEST_P(FatVenInTest, ABadFigureOrDateSaysSoAndKeepsTheText)
{
    open();
    type("CLIENTE", "7");
    typeRows();
    answer();
    window->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("4,x"));
    EXPECT_EQ(prompter.texts(), QStringList{"Quantità errata"});
    EXPECT_EQ(window->rows()->cell(0, DocumentRows::Quantity), "4,x");
    EXPECT_TRUE(window->rows()->cellMarked(0, DocumentRows::Quantity));
    window->rows()->setCell(0, DocumentRows::Discount, QStringLiteral("10+abc"));
    answer();
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Quantità errata"});

    window->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("4"));
    window->rows()->setCell(0, DocumentRows::Discount, QString());
    type("DATA_DOC", "45/01/" + kYear);
    answer();
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Data documento errata"});
    EXPECT_EQ(window->value("DATA_DOC"), "45/01/" + kYear);
    EXPECT_EQ(count("FVENDT"), 0);
}

// With CTRL_ESIST_NEG an item missing from the warehouse, or one whose
// stock would go below zero, is told.
TEST_P(FatVenInTest, TheStockCheckTellsAMissingItemAndANegativeStock)
{
    context->settings.write("MAIN", "CTRL_ESIST_NEG", "SI");
    open();
    window->rows()->setCell(0, DocumentRows::Item, QStringLiteral("BULLONE"));
    EXPECT_EQ(prompter.texts(), QStringList{"L'articolo BULLONE\nnon esiste in archivio; Riiserirlo. "});
    EXPECT_TRUE(window->rows()->cellMarked(0, DocumentRows::Item));
    answer();
    window->rows()->setCell(0, DocumentRows::Item, QStringLiteral("VITE"));
    window->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("25"));
    EXPECT_EQ(prompter.texts(), QStringList{"L'articolo VITE\nha raggiunto esitenza negativa; Controllare Articolo. "});
}

// Cancel at the question, or a user who may only read: nothing written,
// the document still on screen; Esci with input asks first.
TEST_P(FatVenInTest, CancellingOrAReadOnlyUserWritesNothing)
{
    open();
    type("CLIENTE", "7");
    typeRows();
    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi registrazioni?"});
    context->state.userType = 0;
    answer();
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(count("FVENDT"), 0);
    EXPECT_EQ(window->rows()->cell(0, DocumentRows::Item), "VITE");

    bool closed = false;
    QObject::connect(window.get(), &QDialog::rejected, [&closed] { closed = true; });
    answer({Prompter::Button::No});
    window->reject();
    EXPECT_EQ(prompter.texts(), QStringList{"Rinuncia operazioni su dati correnti ?"});
    EXPECT_FALSE(closed);
    answer({Prompter::Button::Yes});
    window->reject();
    EXPECT_TRUE(closed);
}

// A special series asks first; the proposal posts into its own family; the
// tax receipt starts as "VFR".
TEST_P(FatVenInTest, TheModesAndTheSpecialSeries)
{
    open(FatVenIn::Mode::Proposal);
    EXPECT_EQ(window->windowTitle(), "Emissione Fatture di Vendita (PROPOSTA)");
    type("CLIENTE", "7");
    typeRows();
    window->series()->setCurrentIndex(1);
    answer({Prompter::Button::No});
    EXPECT_FALSE(window->confirm());
    EXPECT_EQ(prompter.texts(),
              QStringList{"Attenzione, si è scelta una numerazione speciale. Si è proprio sicuri ? "});
    answer({Prompter::Button::Yes, Prompter::Button::Ok});
    ASSERT_TRUE(window->confirm());
    EXPECT_EQ(text("SELECT TIPOFATT FROM FVENDT_PR"), "A");
    EXPECT_EQ(count("FVENDT"), 0);
    EXPECT_EQ(count("MOVMAG"), 0);

    open(FatVenIn::Mode::Receipt);
    EXPECT_EQ(window->windowTitle(), "Emissione Ricevuta fiscale  ");
    EXPECT_EQ(window->value("MOVIMENTO"), "VFR");
}

// Ticking the withholding proposes the last causal, rate and account used
// and the registration date; the figures follow.
TEST_P(FatVenInTest, TickingTheWithholdingProposesItsLastFigures)
{
    context->settings.write("RITACC_SU_FVEND", "CAUDALE_RIT", "R01");
    context->settings.write("RITACC_SU_FVEND", "PERCRIT_RIT", "20");
    context->settings.write("RITACC_SU_FVEND", "CONTO_RIT", "024001");
    open();
    EXPECT_FALSE(window->withholdingBox()->isChecked());
    EXPECT_EQ(window->value("PERC_RIT"), "");
    typeRows();
    window->withholdingBox()->setChecked(true);
    EXPECT_EQ(window->value("CAUSALE_RIT"), "R01");
    EXPECT_EQ(window->value("PERC_RIT"), "20");
    EXPECT_EQ(window->value("CONTO_RIT"), "024001");
    EXPECT_EQ(window->value("DATA_RIT"), window->value("DATA_REG"));
    EXPECT_EQ(window->totals()->figure("RITENUTA"), "15,00"); // 20 % of the base, half of 150,00
}

// With special totals kept, the special items' weight is billed on the
// configured item's row, which follows the rows and is posted with them.
TEST_P(FatVenInTest, TheSpecialTotalsBillTheirItemsRow)
{
    context->settings.write("FATTURA", "CALCOLO_TOTALI_SPECIALI", "SI");
    context->settings.write("FATTURA", "MARCA_PER_SPECIALI", "ABC");
    context->settings.write("FATTURA", "ARTICOLO_PER_SPECIALI", "CONAI");
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, COD_IVA, CONTO, PREZZO_LIST) "
        "VALUES ('01', 'ABC', 'CONAI', 'CONTRIBUTO CONAI', 'KG', '22', '041001', 0.5)");
    run("UPDATE ARTICOLI SET PESO_SPECIF = 2, SPECIALE = -1 WHERE ARTICOLO = 'VITE'");
    open();
    type("CLIENTE", "7");
    DocumentRows *rows = window->rows();
    rows->setCell(0, DocumentRows::Item, QStringLiteral("VITE"));
    rows->setCell(0, DocumentRows::Quantity, QStringLiteral("4"));
    // The billed row follows the rows; the next one is typed in the empty
    // row below it, and the billed row keeps its place.
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->cell(1, DocumentRows::Item), "CONAI");
    rows->setCell(2, DocumentRows::Item, QStringLiteral("DADO"));
    rows->setCell(2, DocumentRows::Quantity, QStringLiteral("5"));
    ASSERT_EQ(rows->rowCount(), 4);
    EXPECT_EQ(rows->cell(1, DocumentRows::Item), "CONAI");
    EXPECT_EQ(rows->cell(2, DocumentRows::Item), "DADO");
    EXPECT_EQ(rows->cell(1, DocumentRows::Quantity), "8");
    EXPECT_EQ(rows->cell(1, DocumentRows::Amount), "4,00");
    EXPECT_EQ(window->totals()->figure("TOTALE_MER"), "154,00");
    rows->setCell(0, DocumentRows::Quantity, QStringLiteral("2"));
    EXPECT_EQ(rows->cell(1, DocumentRows::Quantity), "4");
    EXPECT_EQ(rows->rowCount(), 4);
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->confirm());
    EXPECT_EQ(text("SELECT QTA FROM FVENDD WHERE ARTICOLO = 'CONAI'"), "4");
    EXPECT_EQ(text("SELECT TOT_UTF FROM FVENDT"), "4");

    // Opened again, the billed row is the stored one, not a second.
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->rows()->rowCount(), 4);
    EXPECT_EQ(stored->rows()->cell(1, DocumentRows::Quantity), "4");
    EXPECT_FALSE(stored->hasChanges());
}

// The three entries open their window's mode.
TEST_P(FatVenInTest, TheMenuEntriesOpenTheirModes)
{
    Ui::WindowRegistry registry;
    Sales::registerWindows(registry, *context);
    Orlavo::Testing::KeepingHost host;
    for (const auto &[entry, title] :
         {std::pair{"mnu_FVencod", "Emissione Fatture di Vendita"},
          std::pair{"mnuricfiscemis", "Emissione Ricevuta fiscale  "},
          std::pair{"mnu_propFvendCodi", "Emissione Fatture di Vendita (PROPOSTA)"},
          std::pair{"mnu_FVenModi", "Lista Fatture di Vendita"}, std::pair{"mnuricfiscmodi", "Lista Ricevute fiscali"},
          std::pair{"mnu_PropFvendModi", "Lista Proposte di fattura"}}) {
        const Ui::WindowAction *action = registry.find(QString::fromLatin1(entry));
        ASSERT_NE(action, nullptr) << entry;
        (*action)(host);
        ASSERT_NE(host.opened(), nullptr);
        EXPECT_EQ(host.opened()->windowTitle(), QString::fromUtf8(title));
    }
}

// A stored invoice opened from the list shows as stored; a change is asked
// once, posted under the same number and told.
TEST_P(FatVenInTest, AStoredInvoiceIsOpenedFromTheListAndUpdated)
{
    postOne();
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->windowTitle(), "Modifica Fatture di Vendita");
    EXPECT_EQ(stored->value("CLIENTE"), "7");
    EXPECT_EQ(stored->rows()->cell(1, DocumentRows::Item), "DADO");
    EXPECT_EQ(stored->totals()->figure("TOTALE"), "177,00");
    EXPECT_EQ(stored->dues()->lines().size(), 2);
    EXPECT_FALSE(stored->hasChanges());
    EXPECT_TRUE(stored->fields().field("MOVIMENTO")->isReadOnly());
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty()) {
        stored->resize(1366, 720);
        stored->grab().save(QDir(folder).filePath("fatvenag.png"));
        host.windows.front()->resize(1000, 400);
        host.windows.front()->grab().save(QDir(folder).filePath("fatvenri.png"));
    }
    stored->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("2"));
    EXPECT_TRUE(stored->hasChanges());
    EXPECT_EQ(stored->totals()->figure("TOTALE"), "116,00");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(stored->confirm());
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi registrazioni?", "Registrazione avvenuta con successo"}));
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "116");
    EXPECT_EQ(text("SELECT NRO_DOC FROM FVENDT"), "1");
    EXPECT_EQ(text("SELECT SUM(QUANTITA) FROM MOVMAG"), "7");
    EXPECT_FALSE(stored->hasChanges());
}

// A refusal is told and nothing changes; a change made meanwhile by another
// workstation is asked about, and No writes nothing.
TEST_P(FatVenInTest, AStoredInvoiceRefusesOrAsksBeforeItChanges)
{
    postOne();
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    run("UPDATE FVENDT SET TSTAMP = 'altro'");
    stored->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("2"));
    answer({Prompter::Button::Ok, Prompter::Button::No});
    EXPECT_FALSE(stored->confirm());
    EXPECT_EQ(prompter.texts().last(),
              "La Fattura è stata modificata da un altro utente  Si vuole aggiornare ugualmente ?");
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");

    ASSERT_EQ(setPrinted(context->db, Family::Definitive, kYear, 1, true).end, Services::WriteEnd::Written);
    answer({Prompter::Button::Ok, Prompter::Button::Yes});
    EXPECT_FALSE(stored->confirm());
    EXPECT_EQ(prompter.texts().last(), "Impossibile registrare, la Fattura è stampata !");
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");
}

// Each reason a stored invoice may no longer change is told at Conferma,
// and nothing is written.
TEST_P(FatVenInTest, EachRefusalIsToldAndNothingChanges)
{
    postOne();
    const struct {
        const char *state;
        const char *said;
    } cases[] = {
        {"UPDATE GIORN SET STA_GIO = -1 WHERE SEQUENZA = 2", "è già stato stampato il Giornale o il Registro Iva !"},
        {"UPDATE FVENDT SET STA_IVA = -1", "è già stato stampato il Giornale o il Registro Iva !"},
        {"UPDATE SCADF SET DATA_SAL = DATA_DOC", "la Fattura è interamente saldata !"},
        {"UPDATE SCADF SET DATA_SAL = DATA_DOC WHERE PROGR = 1", "la Fattura ha già delle scadenze saldate !"},
        {"UPDATE FVENDT SET STAMPATA = -1", "la Fattura è stampata !"},
        {"UPDATE FVENDT SET ANNULLATA = -1", "la Fattura è annullata !"},
    };
    for (const auto &c : cases) {
        run("UPDATE GIORN SET STA_GIO = 0");
        run("UPDATE SCADF SET DATA_SAL = NULL");
        run("UPDATE FVENDT SET STA_IVA = 0, STAMPATA = 0, ANNULLATA = 0");
        run(QString::fromLatin1(c.state));
        FatVenAg *stored = openStored("mnu_FVenModi");
        ASSERT_NE(stored, nullptr);
        stored->rows()->setCell(0, DocumentRows::Quantity, QStringLiteral("2"));
        answer({Prompter::Button::Ok});
        EXPECT_FALSE(stored->confirm());
        EXPECT_EQ(prompter.texts().last(), "Impossibile registrare, " + QString::fromUtf8(c.said)) << c.state;
        EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177") << c.state;
    }
}

// The agent's rate gives each row its commission; bringing them all to
// nothing on a stored invoice is asked about first.
TEST_P(FatVenInTest, CommissionsFollowTheAgentAndTheirEndIsAsked)
{
    run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE, PERC_PROV) VALUES (30, 'AGENTE VERDI', 'A', 5)");
    open();
    type("CLIENTE", "7");
    type("AGENTE", "30");
    EXPECT_EQ(window->value("PERC_PROV"), "5,00");
    typeRows();
    EXPECT_EQ(window->rows()->cell(0, DocumentRows::Commission), "5,00");
    EXPECT_EQ(window->rows()->cell(1, DocumentRows::Commission), "2,50");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->confirm());
    EXPECT_EQ(text("SELECT TOT_PROV FROM FVENDT"), "7.5");

    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    for (int row : {0, 1})
        stored->rows()->setCell(row, DocumentRows::CommissionRate, QStringLiteral("0"));
    answer({Prompter::Button::Ok, Prompter::Button::No});
    EXPECT_FALSE(stored->confirm());
    EXPECT_EQ(prompter.texts().last(), "Si è scelto di azzerare le provvigioni: Confermi l'operazione?");
    EXPECT_EQ(text("SELECT TOT_PROV FROM FVENDT"), "7.5");
    answer({Prompter::Button::Ok, Prompter::Button::Yes});
    ASSERT_TRUE(stored->confirm());
    EXPECT_EQ(text("SELECT TOT_PROV FROM FVENDT"), "0");
}

// Annulla then Ripristina: the goods go back and come out again; the
// printed mark is taken off by its own command.
TEST_P(FatVenInTest, CancelRestoreAndThePrintedMarkFromTheButtons)
{
    postOne();
    ASSERT_EQ(setPrinted(context->db, Family::Definitive, kYear, 1, true).end, Services::WriteEnd::Written);
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->unprintButton()->isEnabled());
    EXPECT_EQ(stored->cancelButton()->text(), "Annulla fattura");
    answer({Prompter::Button::Yes});
    ASSERT_TRUE(stored->toggleCancelled());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi l'annullamento della fattura?"});
    EXPECT_EQ(text("SELECT ANNULLATA FROM FVENDT"), "-1");
    EXPECT_EQ(count("MOVMAG"), 0);
    EXPECT_EQ(stored->cancelButton()->text(), "Ripristina fattura");
    answer({Prompter::Button::Yes});
    ASSERT_TRUE(stored->toggleCancelled());
    EXPECT_EQ(text("SELECT ANNULLATA FROM FVENDT"), "0");
    EXPECT_EQ(text("SELECT TOTALE FROM FVENDT"), "177");
    EXPECT_EQ(count("MOVMAG"), 2);
    answer();
    ASSERT_TRUE(stored->takeOffPrinted());
    EXPECT_EQ(text("SELECT STAMPATA FROM FVENDT"), "0");
    EXPECT_FALSE(stored->unprintButton()->isEnabled());
}

// A proposal is copied into a new invoice, itself untouched, then deleted
// after the question; a definitive invoice is not deleted.
TEST_P(FatVenInTest, AProposalIsCopiedIntoAnInvoiceThenDeleted)
{
    postOne(FatVenIn::Mode::Proposal);
    FatVenAg *proposal = openStored("mnu_PropFvendModi");
    ASSERT_NE(proposal, nullptr);
    EXPECT_EQ(proposal->windowTitle(), "Modifica Fatture di Vendita (PROPOSTA)");
    EXPECT_FALSE(proposal->cancelButton()->isVisibleTo(proposal));
    EXPECT_TRUE(proposal->copyButton()->isVisibleTo(proposal));
    proposal->copyIntoInvoice();
    auto *copy = qobject_cast<FatVenIn *>(host.opened());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->windowTitle(), "Emissione Fatture di Vendita");
    EXPECT_EQ(copy->value("CLIENTE"), "7");
    EXPECT_EQ(copy->rows()->cell(0, DocumentRows::Item), "VITE");
    EXPECT_EQ(copy->totals()->figure("TOTALE"), "177,00");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(copy->confirm());
    EXPECT_EQ(count("FVENDT"), 1);
    EXPECT_EQ(count("FVENDT_PR"), 1);

    answer({Prompter::Button::Yes});
    ASSERT_TRUE(proposal->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi l'eliminazione della registrazione?"});
    EXPECT_EQ(count("FVENDT_PR"), 0);
    EXPECT_EQ(count("FVENDD_PR"), 0);

    FatVenAg *invoice = openStored("mnu_FVenModi");
    ASSERT_NE(invoice, nullptr);
    answer();
    EXPECT_FALSE(invoice->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Non abilitato su fatture effettive"});
    EXPECT_EQ(count("FVENDT"), 1);
}

// Stampa writes the invoice with its heading, customer, rows and figures
// and marks it printed; the summarised layout adds up an item's rows at one
// price.
TEST_P(FatVenInTest, AStoredInvoiceIsPrintedAndMarked)
{
    useShippedReports();
    open();
    type("CLIENTE", "7");
    typeRows();
    window->rows()->setCell(2, DocumentRows::Item, QStringLiteral("VITE"));
    window->rows()->setCell(2, DocumentRows::Quantity, QStringLiteral("2"));
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->confirm());
    FatVenAg *stored = openStored("mnu_FVenModi");
    ASSERT_NE(stored, nullptr);
    const QString pdf = archives->folder() + QStringLiteral("fattura.pdf");
    answer();
    ASSERT_TRUE(stored->print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("fatvend.pdf"));
    for (const char *expected : {"FATTURA", "EDILIZIA ROSSI", "VITE DA 8", "DADO M8", "238,00", "Netto a pagare"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(expected))) << expected << "\n" << printed.toStdString();
    EXPECT_EQ(text("SELECT STAMPATA FROM FVENDT"), "-1");
    EXPECT_TRUE(stored->unprintButton()->isEnabled());

    context->settings.write("MAIN", "STAMPAFATTURA", "R");
    context->state.user = QStringLiteral("MARIO");
    ASSERT_TRUE(stored->print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT COUNT(*) FROM FVENDD_R WHERE ARTICOLO = 'VITE'"), "1");
    EXPECT_EQ(text("SELECT QTA FROM FVENDD_R WHERE ARTICOLO = 'VITE'"), "6");
    EXPECT_TRUE(Orlavo::Testing::pdfText(pdf).contains(QStringLiteral("150,00")));
}

ORLAVO_FOR_EACH_ENGINE(FatVenInTest);

} // namespace
