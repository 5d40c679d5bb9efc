#include "fixtures.h"
#include "masterdata/rules/tableforms.h"
#include "masterdata/stores/tablerows.h"
#include "masterdata/windows/tablewindow.h"
#include "masterdatatest.h"

#include <QTableWidget>

// The tables of the forms (banks, branches, countries, postal codes...):
// each form's checks in order and the writes by the whole key (the store),
// then the table window's wiring.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;
using Fields = QList<QPair<QString, QString>>;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

// A row as the form reads it: every field's text, blank when not typed.
FormRow row(const char *form, const Fields &fields)
{
    FormRow typed(findTableForm(QString::fromLatin1(form))->def);
    for (const auto &column : typed.def().columns)
        typed.setText(column.name, QString());
    for (const auto &[column, text] : fields)
        typed.setText(column, text);
    return typed;
}

using TableRowsTest = Orlavo::Testing::MasterdataTest<>;

// Every check of a form runs, in the form's order; blanks fail only where
// required.
TEST_P(TableRowsTest, EachFormChecksItsRowInOrder)
{
    // Bank 03069 with its branch 01000.
    run("INSERT INTO servizi.TAB_ABI (CODICE, DESCRIZIONE) VALUES ('03069', 'INTESA SANPAOLO')");
    run("INSERT INTO TAB_CAB (ABI, CAB, BANCA) VALUES ('03069', '01000', 'TORINO CENTRO')");
    const struct {
        const char *form;
        Fields fields;
        QString problems;
    } cases[] = {
        // clang-format off
        {"frmCap", {}, "PROVINCIA:Provincia - Obbligatoria !|CITTA:Città collegata - Obbligatoria !|"
                       "CAP:C.A.P. -Obbligatorio !"},
        {"frmCab", {{"ABI", "99999"}, {"CAB", "01000"}, {"PROV", "ZZ"}},
         "PROV:Provincia sconosciuta !|BANCA:Descrione Filiale - Obbligatoria !|ABI:Codice A.B.I. sconosciuto !"},
        {"frmCab", {{"ABI", "03069"}, {"CAB", "01000"}, {"BANCA", "Doppione"}},
         "CAB:Codice Filiale già presente in archivio !"},
        {"frmBanApp", {{"CODICE", "B1"}, {"DESCRIZIONE", "Banca"}, {"ABI", "03069"}, {"CAB", "99999"}},
         "CAB:Codice C.A.B. sconosciuto !"},
        {"frmBanPag", {{"CODICE", "B1"}, {"DESCRIZIONE", "B"}, {"ABI", "03069"}, {"CAB", "01000"}, {"CNT_CONTAB", "Z"}},
         "CNT_CONTAB:Conto non presente sul Piano dei Conti !"},
        {"frmTipFo", {{"CODICE", "PR"}, {"DESCRIZIONE", "Professionista"}, {"RITENUTA", "S"}, {"PERC_RIT", "0"}},
         "PERC_RIT:Percentuale Ritenuta d'Acconto deve essere maggiore di zero"},
        // Not subject to withholding: no rate needed.
        {"frmTipFo", {{"CODICE", "OR"}, {"DESCRIZIONE", "Ordinario"}, {"RITENUTA", "N"}}, ""},
        {"frmMarca", {{"CODICE", "ACM"}, {"DESCRIZIONE", "Acme"}, {"PERC_PROV", "-1"}},
         "PERC_PROV:Percentuale Provvigione Agente deve essere maggiore di zero"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form + (" " + c.problems).toStdString());
        const FormRow typed = row(c.form, c.fields);
        const auto found = Services::runChecks(context->db, findTableForm(c.form)->checks,
                                               [&typed](const QString &column) { return typed.value(column); });
        EXPECT_EQ(Orlavo::Testing::problemTexts(found).join('|'), c.problems);
    }
}

// Writes under the lock, by the whole key: a key stored meanwhile and a row
// gone meanwhile end the write with nothing written and nothing said.
TEST_P(TableRowsTest, RowsAreWrittenByTheirWholeKey)
{
    const TableForm &caps = *findTableForm("frmCap");
    for (const char *town : {"torino", "moncalieri"})
        EXPECT_EQ(
            insertFormRow(context->db, caps, row("frmCap", {{"CAP", "10100"}, {"CITTA", town}, {"PROVINCIA", "to"}}))
                .end,
            WriteEnd::Written);
    const auto taken =
        insertFormRow(context->db, caps, row("frmCap", {{"CAP", "10100"}, {"CITTA", "torino"}, {"PROVINCIA", "TO"}}));
    EXPECT_EQ(taken.end, WriteEnd::Duplicate);
    EXPECT_EQ(taken.column, "CAP");
    // In key order; codes upper case, texts as typed.
    const auto listed = listFormRows(context->db, caps);
    ASSERT_TRUE(listed && listed->size() == 2);
    EXPECT_EQ(listed->at(0).text("CITTA") + listed->at(1).text("CITTA") + listed->at(1).text("PROVINCIA"),
              "moncalieritorinoTO");

    const TableForm &countries = *findTableForm("frmPaesi");
    const FormRow italy = row("frmPaesi", {{"PAESE", "i"}, {"COD_ISO", "it"}, {"DESCRIZIONE", "ITALIA"}});
    ASSERT_EQ(insertFormRow(context->db, countries, italy).end, WriteEnd::Written);
    FormRow renamed = italy;
    renamed.setText("DESCRIZIONE", "REPUBBLICA ITALIANA");
    EXPECT_EQ(updateFormRow(context->db, countries, italy, italy).end, WriteEnd::NothingChanged);
    EXPECT_EQ(updateFormRow(context->db, countries, renamed, italy).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT COD_ISO || DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'I'"), "ITREPUBBLICA ITALIANA");
    EXPECT_EQ(deleteFormRow(context->db, countries, italy).end, WriteEnd::Written);
    EXPECT_EQ(updateFormRow(context->db, countries, italy, renamed).end, WriteEnd::Gone);
    EXPECT_EQ(deleteFormRow(context->db, countries, italy).end, WriteEnd::Gone);
    EXPECT_EQ(count("TAB_PAESI") + count("SEMAFORO"), 0);
    EXPECT_EQ(count("TAB_CAP"), 2);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

ORLAVO_FOR_EACH_ENGINE(TableRowsTest);

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
    elsewhereOn("Confermi inserimento ?", "INSERT INTO TAB_PAESI (PAESE, DESCRIZIONE) VALUES ('f', 'Altra')");
    act(*window, true);
    EXPECT_EQ(prompter.texts(), (QStringList{"Confermi inserimento ?", "Codice Paese già presente in archivio !"}));
    EXPECT_EQ(window->value("DESCRIZIONE"), "FRANCIA");
    EXPECT_EQ(red(*window), QStringList{"PAESE"});

    window->reload();
    window->loadRow(0);
    window->setValue("DESCRIZIONE", "Mai");
    elsewhereOn("Confermi aggiornamento ?", "DELETE FROM TAB_PAESI");
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
