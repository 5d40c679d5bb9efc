#include "fixtures.h"
#include "masterdata/windows/tablewindow.h"
#include "masterdatatest.h"

#include <QTableWidget>

// The table window's wiring; each form's checks and the writes themselves
// are the store's (tablerows_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using Fields = QList<QPair<QString, QString>>;

namespace {

class TableWindowTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    std::unique_ptr<TableWindow> open(const char *name, const Fields &fields = {})
    {
        auto window = std::make_unique<TableWindow>(*context, *findTableForm(QString::fromLatin1(name)));
        for (const auto &[column, typed] : fields)
            window->setValue(column, typed);
        return window;
    }

    // Registers or deletes, the question answered.
    void act(TableWindow &window, bool save, Prompter::Button answer = Prompter::Button::Ok)
    {
        this->answer({answer});
        save ? window.save() : window.remove();
    }
};

// Every failing field turns red; the last failing check speaks.
TEST_P(TableWindowTest, ARefusedRowMarksEveryFailingFieldAndSaysTheLast)
{
    auto window = open("frmCab", {{"ABI", "99999"}, {"CAB", "01000"}, {"PROV", "ZZ"}});
    act(*window, true);
    Orlavo::Testing::expectRefused(prompter, "Codice A.B.I. sconosciuto !", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
    EXPECT_EQ(red(*window), (QStringList{"ABI", "BANCA", "PROV"}));
}

TEST_P(TableWindowTest, RowsAreInsertedChangedAndDeletedAfterTheQuestion)
{
    auto window = open("frmPaesi", {{"PAESE", "i"}, {"COD_ISO", "it"}, {"DESCRIZIONE", "ITALIA"}});
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        act(*window, true, choice);
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
        EXPECT_EQ(count("TAB_PAESI"), choice == Prompter::Button::Ok ? 1 : 0);
    }
    ASSERT_EQ(window->findChild<QTableWidget *>()->rowCount(), 1);

    // A stored row keeps its key, is refused unchanged, and is no duplicate of itself.
    window->loadRow(0);
    EXPECT_TRUE(static_cast<QLineEdit *>(window->field("PAESE"))->isReadOnly());
    act(*window, true);
    EXPECT_EQ(prompter.texts(), QStringList{"Aggiornamento non consentito."});
    window->setValue("DESCRIZIONE", "REPUBBLICA ITALIANA");
    act(*window, true);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(text("SELECT DESCRIZIONE FROM TAB_PAESI"), "REPUBBLICA ITALIANA");
    window->loadRow(0);
    act(*window, false);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(count("TAB_PAESI"), 0);

    // Nothing loaded, or no code: refused before any question.
    answer();
    window->remove();
    window->setValue("PAESE", "F");
    window->remove();
    EXPECT_EQ(prompter.texts(), (QStringList{"Codice errato.", "Eliminazione non consentita."}));
}

TEST_P(TableWindowTest, AKeyStoredOrARowDeletedElsewhereMeanwhileIsSaidSo)
{
    auto window = open("frmPaesi", {{"PAESE", "F"}, {"DESCRIZIONE", "FRANCIA"}});
    prompter.onText = "Confermi inserimento ?";
    prompter.action = [this] {
        Orlavo::Testing::Workstation other(archives->config());
        ASSERT_TRUE(other.exec("INSERT INTO TAB_PAESI (PAESE, DESCRIZIONE) VALUES ('f', 'Altra')"));
    };
    act(*window, true);
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi inserimento ?", "Codice Paese già presente in archivio !"}));
    EXPECT_EQ(window->value("DESCRIZIONE"), "FRANCIA");
    EXPECT_EQ(red(*window), QStringList{"PAESE"});

    window->reload();
    window->loadRow(0);
    window->setValue("DESCRIZIONE", "Mai");
    prompter.onText = "Confermi aggiornamento ?";
    prompter.action = [this] { run("DELETE FROM TAB_PAESI"); };
    act(*window, true);
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().startsWith("Il record è stato eliminato da altri utenti"));
    EXPECT_EQ(count("TAB_PAESI") + count("SEMAFORO"), 0);
}

// The branch's town fills its postal code and province.
TEST_P(TableWindowTest, TheTownFillsItsPlace)
{
    run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'TORINO', 'TO')");
    auto window = open("frmCab");
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("CITTA")), "Torino");
    EXPECT_EQ(window->value("CAP") + window->value("PROV"), "10121TO");
}

ORLAVO_FOR_EACH_ENGINE(TableWindowTest);

} // namespace
