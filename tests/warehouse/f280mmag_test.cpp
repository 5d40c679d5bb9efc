#include "fixtures.h"
#include "services/core/settings.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"
#include "warehouse/warehouse.h"
#include "warehouse/windows/f280mmag.h"
#include "warehouse/windows/f280rmag.h"
#include "windowhost.h"
#include "../masterdata/masterdatatest.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>

// The movement window's and the search's wiring; the checks, the proposal
// and the writes themselves are the stores' (movemententry_test,
// movementstore_test).

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kYear = QString::number(QDate::currentDate().year());

class F280MMagTest : public Orlavo::Testing::StandardDataTest<Orlavo::Testing::RecordingPrompter>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        context->state.year = kYear;
        context->state.warehouse = QStringLiteral("01");
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ABC', 'MARCA ABC')");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, UNITA_MIS, ESISTENZA, PREZZO_ACQ, "
            "PREZZO_LIST, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 'PZ', 12, 8, 20, 2)");
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"));
        ASSERT_TRUE(Services::Counters::insertFirstYearCounters(unit, kYear, false) && unit.commit());
        answer();
    }
    void TearDown() override
    {
        window.reset();
        StandardDataTest::TearDown();
    }

    void open(F280MMag::Mode mode, int number = 0)
    {
        window = std::make_unique<F280MMag>(*context, mode, kYear, number);
        ASSERT_TRUE(window->loaded());
    }
    void type(const char *column, const QString &text)
    {
        Orlavo::Testing::leave(window->field(QString::fromLatin1(column)), text);
    }
    // A load of VITE typed as the operator would: item, causal, quantity.
    void typeLoad(const QString &quantity)
    {
        type("ARTICOLO", "vite");
        type("CAUSALE", "c10");
        type("QUANTITA", quantity);
    }
    double onHand() const { return text("SELECT ESISTENZA FROM ARTICOLI WHERE ARTICOLO = 'VITE'").toDouble(); }
    void shot(QWidget *shown, const char *name)
    {
        if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
            shown->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
    }

    std::unique_ptr<F280MMag> window;
};

TEST_P(F280MMagTest, SeveralFailingFieldsAreRedAndTheLastSpeaks)
{
    open(F280MMag::Mode::Insert);
    EXPECT_EQ(window->windowTitle(), "Inserimento Moviemnti di magazzino");
    EXPECT_EQ(window->value("MAGAZZINO"), "01");
    type("ARTICOLO", "NONE");
    type("CAUSALE", "Q99");
    type("DATA_REG", "15/06/" + QString::number(kYear.toInt() - 1));
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Anno di data registrazione errato ! "});
    EXPECT_EQ(red(*window),
              (QStringList{"ARTICOLO", "CAUSALE", "DATA_REG", "MARCA", "PREZZO", "QUANTITA", "UNITA_MIS"}));
    EXPECT_EQ(window->value("CAUSALE"), "Q99");
    EXPECT_EQ(count("MOVMAG"), 0);
}

// The item found fills its unit and list price and proposes its purchase
// price; the options reach the settings; the number is told and the
// window empties.
TEST_P(F280MMagTest, ALoadIsProposedItsPriceAndInserted)
{
    open(F280MMag::Mode::Insert);
    window->option("AGGIORNAPREZZOACQ")->setChecked(false);
    EXPECT_EQ(context->settings.read("MAGAZZINO", "AGGIORNAPREZZOACQ"), "NO");
    typeLoad("3");
    EXPECT_EQ(window->description("ARTICOLO"), "VITE DA 8");
    EXPECT_EQ(window->value("UNITA_MIS"), "PZ");
    EXPECT_EQ(window->value("PREZZO_LIST"), "20,00");
    EXPECT_EQ(window->value("PREZZO"), "8,00");
    type("SCONTO1", "10");
    EXPECT_EQ(window->value("TOTALE"), "21,60");
    shot(window.get(), "f280mmag.png");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi inserimento ?", "Assegnato codice 1"}));
    EXPECT_EQ(window->value("ARTICOLO"), "");
    EXPECT_DOUBLE_EQ(onHand(), 15);
    EXPECT_EQ(text("SELECT PR_SCONTATO FROM MOVMAG"), "7.2");
}

// Esci closes an untouched window without a question, also right after an
// insert emptied it; typed input asks first.
TEST_P(F280MMagTest, EsciAsksOnlyForTypedInput)
{
    open(F280MMag::Mode::Insert);
    EXPECT_FALSE(window->hasChanges());
    typeLoad("3");
    EXPECT_TRUE(window->hasChanges());
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save());
    EXPECT_FALSE(window->hasChanges());
    answer();
    window->reject();
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_P(F280MMagTest, CancellingTheQuestionOrAReadOnlyUserWritesNothing)
{
    open(F280MMag::Mode::Insert);
    typeLoad("3");
    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    context->state.userType = 0;
    answer();
    EXPECT_FALSE(window->save());
    EXPECT_TRUE(prompter.texts().first().startsWith("Operazione non consentita"));
    EXPECT_EQ(count("MOVMAG"), 0);
    EXPECT_DOUBLE_EQ(onHand(), 12);
}

// A movement inserted is found by the search and opened to change it;
// its deletion asks twice, No and Cancel preselected.
TEST_P(F280MMagTest, TheSearchOpensAMovementToChangeAndDelete)
{
    open(F280MMag::Mode::Insert);
    typeLoad("3");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save());

    Orlavo::Testing::KeepingHost host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    (*registry.find("modi_movimenti"))(host);
    auto *list = qobject_cast<F280RMag *>(host.opened());
    ASSERT_NE(list, nullptr);
    list->setValue("ARTICOLO", "VITE");
    ASSERT_TRUE(list->search());
    ASSERT_EQ(list->grid()->rowCount(), 1);
    EXPECT_EQ(list->grid()->item(0, 5)->text(), "C10");
    shot(list, "f280rmag.png");
    QString year;
    int number = 0;
    list->setOnChosen([&](const QString &y, int n) { year = y, number = n; });
    list->choose(0);
    EXPECT_EQ(year + "/" + QString::number(number), kYear + "/1");

    open(F280MMag::Mode::Modify, number);
    EXPECT_EQ(window->windowTitle(), "Variazione Moviemnti di magazzino");
    shot(window.get(), "f280mmag-variazione.png");
    type("QUANTITA", "5");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamenti ?"});
    EXPECT_DOUBLE_EQ(onHand(), 17);

    open(F280MMag::Mode::Modify, 1);
    answer({Prompter::Button::Yes, Prompter::Button::Cancel});
    prompter.defaults.clear();
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.defaults,
              (QList<std::optional<Prompter::Button>>{Prompter::Button::No, Prompter::Button::Cancel}));
    EXPECT_EQ(count("MOVMAG"), 1);
    answer({Prompter::Button::Yes, Prompter::Button::Ok});
    ASSERT_TRUE(window->remove());
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi eliminazione movimento?",
                                             "Attenzione, stò per eliminare il movimento, confermi ? "}));
    EXPECT_EQ(count("MOVMAG"), 0);
    EXPECT_EQ(count("MOVMAG_DEL"), 1);
    EXPECT_DOUBLE_EQ(onHand(), 12);
}

TEST_P(F280MMagTest, AMovementOfAnInvoiceIsNotChangedHere)
{
    open(F280MMag::Mode::Insert);
    typeLoad("3");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save());
    run("UPDATE MOVMAG SET NRO_INT_FATT = 4, NRO_DOC = 12");
    open(F280MMag::Mode::Modify, 1);
    type("QUANTITA", "1");
    answer();
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile modificare da qui la registrazione;\n"
                                            "Utilizzare l'applicazione che ha generato il movimento"});
    answer();
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile eliminare movimento,\n"
                                            "sono ancora presenti registrazioni su : \n Fattura di vendita"});
    EXPECT_DOUBLE_EQ(onHand(), 15);
}

// "Nuovo articolo" codes the item typed in the item window.
TEST_P(F280MMagTest, ANewItemIsCodedInTheItemWindow)
{
    Orlavo::Testing::KeepingHost host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    (*registry.find("codi_movimenti"))(host);
    auto *movement = qobject_cast<F280MMag *>(host.opened());
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

} // namespace
