#include "fixtures.h"
#include "masterdata/windows/tablewindow.h"
#include "masterdatatest.h"

#include <QTableWidget>

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using Fields = QList<QPair<QString, QString>>;

namespace {

// Bank 03069 with its branch 01000 in Turin.
class TableWindowTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run("INSERT INTO servizi.TAB_ABI (CODICE, DESCRIZIONE) VALUES ('03069', 'INTESA SANPAOLO')");
        run("INSERT INTO TAB_CAB (ABI, CAB, BANCA, CITTA) VALUES ('03069', '01000', 'TORINO CENTRO', 'TORINO')");
    }

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

TEST_P(TableWindowTest, AllChecksRunAndTheLastFailingOneIsShown)
{
    const struct {
        const char *form;
        Fields fields;
        QString message;
        QStringList failing;
    } cases[] = {
        {"frmCap", {}, "C.A.P. -Obbligatorio !", {"CAP", "CITTA", "PROVINCIA"}},
        {"frmCap", {{"CAP", "10100"}, {"CITTA", "Torino"}, {"PROVINCIA", "ZZ"}}, "Provincia sconosciuta !",
         {"PROVINCIA"}},
        {"frmCab", {{"ABI", "99999"}, {"CAB", "01000"}, {"PROV", "ZZ"}}, "Codice A.B.I. sconosciuto !",
         {"ABI", "BANCA", "PROV"}},
        {"frmCab", {{"ABI", "03069"}, {"CAB", "01000"}, {"BANCA", "Doppione"}},
         "Codice Filiale già presente in archivio !", {"CAB"}},
        {"frmBanApp", {{"CODICE", "B1"}, {"DESCRIZIONE", "Banca"}, {"ABI", "03069"}, {"CAB", "99999"}},
         "Codice C.A.B. sconosciuto !", {"CAB"}},
        {"frmBanApp", {}, "Codice Banca d'Appoggio - Obbligatorio !", {"ABI", "CAB", "CODICE", "DESCRIZIONE"}},
        {"frmBanPag", {{"CODICE", "B1"}, {"DESCRIZIONE", "B"}, {"ABI", "03069"}, {"CAB", "01000"}, {"CNT_CONTAB", "Z"}},
         "Conto non presente sul Piano dei Conti !", {"CNT_CONTAB"}},
        {"frmPaesi", {{"PAESE", "XX"}}, "Descrizione paese - Obbligatoria !", {"DESCRIZIONE"}},
        {"frmTipFo", {{"CODICE", "PR"}, {"DESCRIZIONE", "Professionista"}, {"RITENUTA", "S"}, {"PERC_RIT", "0"}},
         "Percentuale Ritenuta d'Acconto deve essere maggiore di zero", {"PERC_RIT"}},
        {"frmMarca", {{"CODICE", "ACM"}, {"DESCRIZIONE", "Acme"}, {"PERC_PROV", "-1"}},
         "Percentuale Provvigione Agente deve essere maggiore di zero", {"PERC_PROV"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form + (" " + c.message).toStdString());
        auto window = open(c.form, c.fields);
        act(*window, true);
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(prompter.titles(), QStringList{"Errore!"});
        EXPECT_EQ(red(*window), c.failing);
    }
    // Not subject to withholding: no rate needed.
    auto types = open("frmTipFo", {{"CODICE", "OR"}, {"DESCRIZIONE", "Ordinario"}, {"RITENUTA", "N"}});
    act(*types, true);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    EXPECT_EQ(text("SELECT RITENUTA FROM TAB_TIPO_FOR WHERE CODICE = 'OR'"), "N");
}

TEST_P(TableWindowTest, RowsAreInsertedChangedAndDeletedByTheirWholeKey)
{
    auto window = open("frmCap");
    for (const char *town : {"torino", "moncalieri"}) {
        for (const auto &[column, typed] : Fields{{"CAP", "10100"}, {"CITTA", town}, {"PROVINCIA", "to"}})
            window->setValue(column, typed);
        act(*window, true);
    }
    // Codes upper case, texts as typed; the list in key order.
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_CAP WHERE PROVINCIA = 'TO'"), "2");
    ASSERT_EQ(window->findChild<QTableWidget *>()->rowCount(), 2);

    // A stored row shown again keeps its key and is refused unchanged.
    window->loadRow(1);
    EXPECT_EQ(window->value("CITTA"), "torino");
    EXPECT_TRUE(static_cast<QLineEdit *>(window->field("CAP"))->isReadOnly());
    act(*window, true);
    EXPECT_EQ(prompter.texts(), QStringList{"Aggiornamento non consentito."});
    act(*window, false);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(text("SELECT CITTA FROM TAB_CAP"), "moncalieri");

    // Nothing loaded, or no code: refused before any question.
    answer();
    window->remove();
    window->setValue("CAP", "10100");
    window->setValue("CITTA", "x");
    window->setValue("PROVINCIA", "TO");
    window->remove();
    EXPECT_EQ(prompter.texts(), (QStringList{"Codice errato.", "Eliminazione non consentita."}));

    // A change of a stored row.
    auto countries = open("frmPaesi", {{"PAESE", "i"}, {"COD_ISO", "it"}, {"DESCRIZIONE", "ITALIA"}});
    act(*countries, true);
    countries->loadRow(0);
    countries->setValue("DESCRIZIONE", "REPUBBLICA ITALIANA");
    act(*countries, true);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(text("SELECT COD_ISO || DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'I'"), "ITREPUBBLICA ITALIANA");
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
    EXPECT_EQ(text("SELECT DESCRIZIONE FROM TAB_PAESI"), "Altra");
    EXPECT_EQ(window->value("DESCRIZIONE"), "FRANCIA");
    EXPECT_EQ(archives->count("SEMAFORO"), 0);

    // A row deleted elsewhere before a change: nothing written.
    window->reload();
    window->loadRow(0);
    window->setValue("DESCRIZIONE", "Mai");
    prompter.onText = "Confermi aggiornamento ?";
    prompter.action = [this] { run("DELETE FROM TAB_PAESI"); };
    act(*window, true);
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().startsWith("Il record è stato eliminato da altri utenti"));
    EXPECT_EQ(archives->count("TAB_PAESI"), 0);
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
