#include "committedrows.h"
#include "fixtures.h"
#include "ui/lookuplist.h"
#include "warehouse/warehouse.h"
#include "warehouse/windows/f280mmag.h"
#include "warehouse/windows/f280rmag.h"
#include "warehouse/windows/frmcauma.h"
#include "ui/inputfields.h"
#include "windowhost.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

// The movement window's and the search's wiring; the checks, the proposal
// and the writes themselves are the stores' (movementstore_test).

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Orlavo::Services::Prompter;
using Button = Orlavo::Services::Prompter::Button;
using Orlavo::Testing::red;

namespace {

class F280MMagTest : public Orlavo::Testing::DocumentWindowFixture<F280MMag>
{
protected:
    void seed() override
    {
        DocumentWindowTest::seed();
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, ESISTENZA, PREZZO_ACQ, "
            "PREZZO_LIST, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 'PZ', 12, 8, 20, 2)");
        registerWindows(registry, *context);
    }

    void open(F280MMag::Mode mode, int number = 0)
    {
        window = std::make_unique<F280MMag>(*context, mode, thisYear(), number);
        ASSERT_TRUE(window->loaded());
    }
    void type(const char *column, const QString &text)
    {
        Orlavo::Testing::leave(window->field(QString::fromLatin1(column)), text);
    }
    // A load of 3 VITE typed as the operator would: item, causal, quantity.
    void typeLoad()
    {
        type("ARTICOLO", "vite");
        type("CAUSALE", "c10");
        type("QUANTITA", "3");
    }
    // The answers queued, then Registra.
    bool saved(std::initializer_list<Button> answers = {})
    {
        answer(answers);
        return window->save();
    }
    double onHand() const { return text("SELECT ESISTENZA FROM ARTICOLI WHERE ARTICOLO = 'VITE'").toDouble(); }
};

TEST_P(F280MMagTest, SeveralFailingFieldsAreRedAndTheLastSpeaks)
{
    open(F280MMag::Mode::Insert);
    EXPECT_EQ(window->value("MAGAZZINO"), "01");
    type("ARTICOLO", "NONE");
    type("CAUSALE", "Q99");
    type("DATA_REG", "15/06/" + QString::number(thisYear().toInt() - 1));
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Anno di data registrazione errato ! "});
    EXPECT_EQ(red(*window),
              (QStringList{"ARTICOLO", "CAUSALE", "DATA_REG", "MARCA", "PREZZO", "QUANTITA", "UNITA_MIS"}));
    EXPECT_EQ(count("MOVMAG"), 0);
}

// The item found fills its unit and proposes its purchase price; Annulla at
// the question writes nothing; inserted, the number is told, the window
// empties and Esci closes it unasked. Once an invoice took the movement it is
// refused before any question; free again, the search finds it and opens it
// to change it; its deletion asks twice, No and Cancel preselected.
TEST_P(F280MMagTest, ALoadIsInsertedFoundChangedAndDeleted)
{
    open(F280MMag::Mode::Insert);
    EXPECT_FALSE(window->hasChanges());
    typeLoad();
    EXPECT_TRUE(window->hasChanges());
    EXPECT_EQ(window->description("ARTICOLO"), "VITE DA 8");
    EXPECT_EQ(window->value("UNITA_MIS"), "PZ");
    EXPECT_EQ(window->value("PREZZO"), "8,00");
    type("SCONTO1", "10");
    EXPECT_EQ(window->value("TOTALE"), "21,60");
    EXPECT_FALSE(saved({Button::Cancel}));
    EXPECT_EQ(count("MOVMAG"), 0);
    ASSERT_TRUE(saved({Button::Ok}));
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi inserimento ?", "Assegnato codice 1"}));
    EXPECT_DOUBLE_EQ(onHand(), 15);
    EXPECT_EQ(text("SELECT PR_SCONTATO FROM MOVMAG"), "7.2");
    EXPECT_EQ(window->value("ARTICOLO"), "");
    EXPECT_FALSE(window->hasChanges());
    answer();
    window->reject();
    EXPECT_TRUE(prompter.texts().isEmpty());

    run("UPDATE MOVMAG SET NRO_INT_FATT = 4, NRO_DOC = 12");
    open(F280MMag::Mode::Modify, 1);
    type("QUANTITA", "1");
    EXPECT_FALSE(saved());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile modificare da qui la registrazione;\n"
                                            "Utilizzare l'applicazione che ha generato il movimento"});
    EXPECT_DOUBLE_EQ(onHand(), 15);

    run("UPDATE MOVMAG SET NRO_INT_FATT = 0, NRO_DOC = 0");
    auto *list = qobject_cast<F280RMag *>(openEntry("modi_movimenti"));
    ASSERT_NE(list, nullptr);
    list->setValue("ARTICOLO", "VITE");
    ASSERT_TRUE(list->search());
    ASSERT_EQ(list->grid()->rowCount(), 1);
    QString year;
    int number = 0;
    list->setOnChosen([&](const QString &y, int n) { year = y, number = n; });
    list->choose(0);
    EXPECT_EQ(year + "/" + QString::number(number), thisYear() + "/1");

    open(F280MMag::Mode::Modify, number);
    type("QUANTITA", "5");
    ASSERT_TRUE(saved({Button::Ok}));
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamenti ?"});
    EXPECT_DOUBLE_EQ(onHand(), 17);

    open(F280MMag::Mode::Modify, 1);
    answer({Button::Yes, Button::Cancel});
    prompter.defaults.clear();
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.defaults, (QList<std::optional<Prompter::Button>>{Button::No, Button::Cancel}));
    EXPECT_EQ(count("MOVMAG"), 1);
    answer({Button::Yes, Button::Ok});
    ASSERT_TRUE(window->remove());
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi eliminazione movimento?",
                                             "Attenzione, stò per eliminare il movimento, confermi ? "}));
    EXPECT_EQ(count("MOVMAG_DEL"), 1);
    EXPECT_DOUBLE_EQ(onHand(), 12);
}

// "Nuovo articolo" codes the item typed in the item window.
TEST_P(F280MMagTest, ANewItemIsCodedInTheItemWindow)
{
    auto *movement = qobject_cast<F280MMag *>(openEntry("codi_movimenti"));
    ASSERT_NE(movement, nullptr);
    EXPECT_EQ(host.tag, "MMAGINS");
    Orlavo::Testing::leave(movement->field("MARCA"), "ABC");
    Orlavo::Testing::leave(movement->field("ARTICOLO"), "BULLONE");
    movement->newItemButton()->click();
    EXPECT_EQ(host.tag, "ARTICINS");
    ASSERT_EQ(host.windows.size(), 2u);
    const auto *code = host.opened()->findChild<QLineEdit *>("T_ARTICOLO");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->text(), "BULLONE");
}

ORLAVO_FOR_EACH_ENGINE(F280MMagTest);

// The warehouse causals window's wiring and its print; the checks and
// writes themselves are the store's (movementstore_test). The standard
// causals in their window; X01 used by a movement, X02 free.
class FrmCauMaTest : public Orlavo::Testing::DocumentWindowFixture<FrmCauMa, Orlavo::Testing::ScriptedPrompter>
{
protected:
    void seed() override
    {
        DocumentWindowTest::seed();
        for (const char *sql : Orlavo::Testing::kUsedAndFreeCausals)
            run(sql);
        registerWindows(registry, *context);
        window = std::make_unique<FrmCauMa>(*context);
        answer();
    }

    void click(const char *button, Prompter::Button answer = Prompter::Button::Ok)
    {
        this->answer({answer});
        window->findChild<QPushButton *>(button)->click();
    }
    void choose(const QString &code) { ASSERT_TRUE(window->chooseCode(code)) << code.toStdString(); }
    QCheckBox *average() const { return window->findChild<QCheckBox *>("T_PMA"); }
    QString stored(const QString &code) { return Orlavo::Testing::storedCausal(*archives, code); }
    void expectRefused(const QString &text)
    {
        Orlavo::Testing::expectRefused(prompter, text, Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    }
};

// The editor's own flow is the shared one's (ui and master-data tests):
// here the entries, the average's box both ways, the refusals and the print.
TEST_P(FrmCauMaTest, TheMenuEntryOpensTheListAndACausalIsInsertedAndChanged)
{
    ASSERT_TRUE(registry.contains("St_TabCausMaga"));
    QWidget *opened = openEntry("TabCausMaga");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), "Causali di Magazzino");

    window->setValue("CODICE", "c99");
    window->setValue("DESCRIZIONE", "Carico di prova");
    average()->setChecked(true);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    EXPECT_EQ(stored("C99"), "Carico di prova|-1");

    choose("C99");
    EXPECT_TRUE(average()->isChecked());
    average()->setChecked(false);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("C99"), "Carico di prova|0");
}

// The average on an unload is refused, its box red and kept; a code in use
// (here one of the table of effects) is not deleted; a free one goes.
TEST_P(FrmCauMaTest, RefusalsKeepTheInputAndOnlyAFreeCausalIsDeleted)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG"});
    choose("S10");
    average()->setChecked(true);
    click("registra");
    expectRefused("Impossibile utilizzare il calcolo dei prezzi medi d'acquisto \nsu causali di scarico ");
    EXPECT_EQ(red(*window), QStringList{"PMA"});
    EXPECT_TRUE(average()->isChecked());
    EXPECT_EQ(window->value("CODICE"), "S10");
    click("elimina");
    expectRefused("Eliminazione non consentita.");
    Orlavo::Testing::expectNothingWritten(before, context->db);

    choose("X02");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("X02"), "");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(FrmCauMaTest, TheCausalsPrintWithTheirAverageMark)
{
    useShippedReports();
    Ui::LookupList list(*context, warehouseCausalList());
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.rowCount(), 30);
    const QString pdf = archives->folder() + "TABCAUMA.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *line : {"A10 +GIACENZA INIZIALE *\n", "C10 +CARICO DA FORNITORE +SI *\n",
                             "S10 +SCARICO PER VENDITA *\n", "X02 +Libera *\n", "Totale causali: +30"})
        EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << line << printed.toStdString();
    EXPECT_EQ(printed.count(QRegularExpression("\\bSI\\b")), 1) << printed.toStdString();
}

ORLAVO_FOR_EACH_ENGINE(FrmCauMaTest);

} // namespace
