#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/windows/frmconpag.h"
#include "masterdata/windows/frmperiva.h"
#include "masterdata/windows/frmpiaco.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

// The editors of the tables of codes other records use: each one's wiring
// and print. What every editor shares (the questions, the rights, the red
// fields, a code taken meanwhile) is the VAT editor's case, what the editors
// with the form over the list share the chart's; the checks and writes
// themselves are the store's (codedtables_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

// An editor on the standard data, codes typed in capitals as the main
// window sets it.
template <typename W, typename P>
class EditorTest : public Orlavo::Testing::WindowFixture<W, Orlavo::Testing::StandardDataTest<P>>
{
protected:
    void seed() override
    {
        Orlavo::Testing::StandardDataTest<P>::seed();
        this->context->state.upperCaseKeys = true;
        more();
        this->window = std::make_unique<W>(*this->context);
        this->answer();
    }
    // The test's own rows, before the window reads the table.
    virtual void more() {}

    // A button clicked, the questions answered.
    void click(const char *button, std::initializer_list<Prompter::Button> answers = {Prompter::Button::Ok})
    {
        this->answer(answers);
        this->window->template findChild<QPushButton *>(button)->click();
    }
    void choose(const QString &code) { ASSERT_TRUE(this->window->chooseCode(code)) << code.toStdString(); }
    void set(const QList<std::pair<const char *, const char *>> &values)
    {
        for (const auto &[column, value] : values)
            this->window->setValue(column, value);
    }
    void expectError(const QString &message)
    {
        Orlavo::Testing::expectRefused(this->prompter, message, Prompter::Icon::Warning, Prompter::Buttons::Ok,
                                       "Errore!");
    }
    // The list printed with its shipped report, as text.
    QString printed(const Ui::LookupRequest &request)
    {
        this->useShippedReports();
        Ui::LookupList list(*this->context, request);
        EXPECT_TRUE(list.load());
        const QString pdf = this->archives->folder() + request.reportKey + ".pdf";
        EXPECT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << this->prompter.texts().join('|').toStdString();
        return Orlavo::Testing::pdfText(pdf);
    }
    static void expectLines(const QString &printed, std::initializer_list<const char *> lines)
    {
        for (const char *line : lines)
            EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << line << printed.toStdString();
    }
};

const QString kRights = "Operazione non consentita : \nNon si possiedono i diritti per eseguire tale operazione.\n"
                        "Per ulteriri chiarimenti rivolgersi all'Amministratore.";

// The standard VAT codes in their window; an item uses code 4.
class FrmPerIvaTest : public EditorTest<FrmPerIva, Orlavo::Testing::ActingPrompter>
{
protected:
    void more() override
    {
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, COD_IVA) VALUES ('01', 'ACM', 'A1', '4')");
    }
    void fill(const char *code, const char *description, const char *rate, const char *kind)
    {
        set({{"CODICE", code}, {"DESCRIZIONE", description}, {"ALIQUOTA", rate}, {"TIPO_CODICE", kind}});
    }
    QString stored(const QString &code)
    {
        return text(QStringLiteral("SELECT DESCRIZIONE || '|' || COALESCE(TIPO_CODICE, '') || '|' || "
                                   "COALESCE(DESC_TIPO, '') FROM TAB_PERIVA WHERE CODICE = '%1'")
                        .arg(code));
    }
};

// The rate's other checks and their messages are the store's.
TEST_P(FrmPerIvaTest, EveryFailingFieldTurnsRedTheLastSpeaksAndTheInputStays)
{
    fill("", "", "-1", "P");
    click("registra");
    expectError("Codice Percentuale Iva - Obbligatorio !");
    EXPECT_EQ(red(*window), (QStringList{"ALIQUOTA", "CODICE", "DESCRIZIONE"}));
    EXPECT_EQ(window->value("ALIQUOTA"), "-1");
    EXPECT_EQ(count("TAB_PERIVA"), 8);
}

TEST_P(FrmPerIvaTest, CodesAreInsertedChangedRenamedAndDeletedAfterTheQuestion)
{
    fill("21", "Iva 21%", "21", "D");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", {choice});
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    }
    EXPECT_EQ(stored("21"), "Iva 21%|D|NON DETRAIBILE");
    EXPECT_EQ(window->value("CODICE"), "");
    // The list in code order; a row chosen there is loaded.
    auto *grid = window->findChild<QTableWidget *>("griglia");
    ASSERT_EQ(grid->rowCount(), 9);
    EXPECT_EQ(grid->item(1, 0)->text(), "21");
    grid->setCurrentCell(1, 0);
    EXPECT_EQ(window->value("DESCRIZIONE"), "Iva 21%");
    set({{"DESCRIZIONE", "Iva 21% indetraibile"}, {"CODICE", "21n"}});
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("21N"), "Iva 21% indetraibile|D|NON DETRAIBILE");
    EXPECT_EQ(count("TAB_PERIVA"), 9);

    // Annulla shows the stored row again.
    choose("21N");
    window->setValue("DESCRIZIONE", "da scartare");
    click("annulla");
    EXPECT_EQ(window->value("DESCRIZIONE"), "Iva 21% indetraibile");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("21N"), "");
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

// What else a code in use keeps is the store's.
TEST_P(FrmPerIvaTest, ACodeAnItemUsesIsNeitherDeletedNorRenamed)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    choose("4");
    click("elimina");
    expectError("Impossibile eliminare Codice Iva,\nsono ancora presenti registrazioni su : Articoli");
    window->setValue("CODICE", "44");
    click("registra");
    expectError("Codice Iva utilizzato: modificabile solo la descrizione");
    EXPECT_EQ(window->value("CODICE"), "44");
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(FrmPerIvaTest, AUserWhoMayNotWriteIsStoppedFirst)
{
    context->state.userType = 0;
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    fill("", "", "-1", "P");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    choose("X");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    EXPECT_TRUE(red(*window).isEmpty());
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(FrmPerIvaTest, ACodeStoredElsewhereWhileTheQuestionIsOpenIsSaidTaken)
{
    elsewhereOn("Confermi inserimento ?",
                "INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA) VALUES ('21', 'Altrui', 21)");
    fill("21", "Mia", "21", "P");
    click("registra");
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Confermi inserimento ?", "Codice Percentuale Iva già presente in archivio"}));
    EXPECT_EQ(red(*window), QStringList{"CODICE"});
    EXPECT_EQ(window->value("DESCRIZIONE"), "Mia");
    EXPECT_EQ(stored("21"), "Altrui||");
}

TEST_P(FrmPerIvaTest, TheRatesPrintWithTheirKind)
{
    expectLines(printed(vatRateList()),
                {"22 +IVA 22% +22,00 +P +DETRAIBILE +100", "E +ESENTE +0,00 +E +ESENTE +100", "Totale righe: +8"});
}

// The standard conditions in their window.
using FrmConPagTest = EditorTest<FrmConPag, Orlavo::Testing::ScriptedPrompter>;

// The description's wording is the rule's (duedates_test).
TEST_P(FrmConPagTest, TheDescriptionIsComposedAsKindDaysAndStartChange)
{
    set({{"DESC_COND", "R"}, {"GIORN1", "30"}, {"GIORN2", "60"}, {"DF_FM", "F"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "RIC. BANCARIA 30/60 GG DF FM");

    // A stored description shows as it is until the operator changes the terms.
    run("UPDATE TAB_COND_PAG SET DESCRIZIONE = 'Bonifico a trenta giorni' WHERE CODICE = 'B30'");
    window->reload();
    choose("B30");
    EXPECT_EQ(window->value("DESCRIZIONE"), "Bonifico a trenta giorni");
    set({{"DF_FM", "F"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "BONIFICO 30 GG DF FM");
}

TEST_P(FrmConPagTest, ACodeTakenIsSaidOnLeavingIt)
{
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("CODICE")), "r30");
    expectError("Condizione di Pagamento già presente in archivio !");
    EXPECT_EQ(red(*window), QStringList{"CODICE"});
    // A stored code left as it is is no duplicate of itself.
    answer();
    choose("R30");
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("CODICE")), "R30");
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmConPagTest, TheConditionsPrintWithKindDaysAndStart)
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_COND_PAG;
    request.mode = Ui::LookupMode::Print;
    request.reportKey = "TABCONDP";
    request.columns = {{"CODICE", "06C", "Codice"}, {"DESCRIZIONE", "40C", "Descrizione"}};
    expectLines(printed(request), {"R90 +RIC. BAN. 30/60/90 GG DF FM +R +30 +60 +90 +0 +0 +F",
                                   "RD +RIMESSA DIRETTA +D +0 +0 +0 +0 +0 +D"});
}

const QString kRename = "Il conto è utilizzato in contabilità: le registrazioni esistenti manterranno il vecchio "
                        "codice. Confermi ?";

// The standard chart in its window; the journal names the cash and the
// revenue account 041001.
class FrmPiaCoTest : public EditorTest<FrmPiaCo, Orlavo::Testing::RecordingPrompter>
{
protected:
    void more() override
    {
        run("INSERT INTO GIORN (ANNO, NRO_INT, SEQUENZA, CONTO) VALUES ('2025', 1, 1, '014001'), "
            "('2025', 1, 2, '041001')");
    }
    bool enabled(const char *button) const { return window->findChild<QPushButton *>(button)->isEnabled(); }
    QStringList chart(const char *where)
    {
        return Orlavo::Testing::committedRows(
            *archives, QStringLiteral("SELECT GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO, "
                                      "COALESCE(CONT_AUT, '') FROM TAB_PIANO_CONTI WHERE %1")
                           .arg(QLatin1String(where)));
    }
    QString shownType() const { return static_cast<QComboBox *>(window->field("TIPO_CONTO"))->currentText(); }
};

TEST_P(FrmPiaCoTest, CaptionsDescriptionsAndButtonsFollowTheForm)
{
    EXPECT_EQ(window->mode(), "Inserimento");
    EXPECT_FALSE(enabled("registra"));
    EXPECT_FALSE(enabled("annulla"));
    auto *grid = window->findChild<QTableWidget *>("griglia");
    ASSERT_EQ(grid->rowCount(), 60);

    // A row chosen in the list: its type as a word, group and subgroup described.
    grid->setCurrentCell(46, 0);
    EXPECT_EQ(window->mode(), "Modifica");
    EXPECT_EQ(window->value("CODICE"), "041001");
    EXPECT_EQ(shownType(), "RICAVO");
    EXPECT_EQ(window->description("GRUPPO"), "RICAVI");
    EXPECT_EQ(window->description("SOTTOGRU"), "VENDITE E PRESTAZIONI");
    EXPECT_FALSE(enabled("registra"));

    // A change enables Registra and Annulla; Annulla shows the account again.
    window->setValue("TIPO_CONTO", "P");
    EXPECT_EQ(shownType(), "PATRIMONIALE");
    EXPECT_TRUE(enabled("registra"));
    EXPECT_TRUE(enabled("annulla"));
    click("annulla");
    EXPECT_EQ(shownType(), "RICAVO");
    EXPECT_FALSE(enabled("registra"));

    // Leaving a group shows its description; F4 lists the subgroups.
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("GRUPPO")), "03");
    EXPECT_EQ(window->description("GRUPPO"), "COSTI");
    Orlavo::Testing::pickInNextList(window.get(), 2);
    emit static_cast<Ui::CodeField *>(window->field("SOTTOGRU"))->lookupRequested();
    QApplication::processEvents();
    EXPECT_EQ(window->value("SOTTOGRU"), "013");
    EXPECT_EQ(window->description("SOTTOGRU"), "CREDITI TRIBUTARI");
}

TEST_P(FrmPiaCoTest, TheJournalsAccountsAreRenamedOnlyAfterTheQuestionAndNeverDeleted)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI", "GIORN"});
    choose("041001");
    click("elimina");
    expectError("Impossibile eliminare il conto perchè attualmente utilizzato in contabilità");
    window->setValue("CODICE", "041901");
    click("registra", {Prompter::Button::No});
    EXPECT_EQ(prompter.texts(), QStringList{kRename});
    EXPECT_EQ(prompter.defaults.last(), Prompter::Button::No);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    click("registra", {Prompter::Button::Yes, Prompter::Button::Ok});
    EXPECT_EQ(prompter.texts(), (QStringList{kRename, "Confermi aggiornamento ?"}));
    EXPECT_EQ(chart("CODICE LIKE '04190%'"), QStringList{"04|041|041901|MERCI C/VENDITE|R|RIC"});
    EXPECT_EQ(Orlavo::Testing::committedRows(*archives, "SELECT CONTO FROM GIORN"), (QStringList{"014001", "041001"}));

    // An account no entry names is renamed without the question; a new
    // form has nothing to delete.
    choose("041002");
    window->setValue("CODICE", "041902");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    click("elimina");
    expectError("Eliminazione non consentita.");
}

TEST_P(FrmPiaCoTest, WhatAnotherWorkstationDidMeanwhileIsSaid)
{
    // Changed meanwhile: the operator decides; deleted meanwhile: said, and
    // registered again it is a new account, inserted after the question
    // (deleting one is the VAT editor's case).
    choose("041003");
    window->setValue("DESCRIZIONE", "Rimanenze finali");
    Orlavo::Testing::Workstation(archives->config())
        .exec("UPDATE TAB_PIANO_CONTI SET TIPO_CONTO = 'P' WHERE CODICE = '041003'");
    click("registra", {Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_EQ(prompter.texts().value(1), Services::Concurrency::changedElsewhere());
    EXPECT_EQ(chart("CODICE = '041003'"), QStringList{"04|041|041003|RIMANENZE FINALI DI MERCI|P|"});
    Orlavo::Testing::Workstation(archives->config()).exec("DELETE FROM TAB_PIANO_CONTI WHERE CODICE = '041003'");
    click("registra", {Prompter::Button::Ok, Prompter::Button::Ok});
    EXPECT_EQ(prompter.texts().value(1), Services::Concurrency::deletedElsewhere());
    EXPECT_EQ(window->mode(), "Inserimento");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    EXPECT_EQ(prompter.defaults.last(), Prompter::Button::Cancel);
    EXPECT_EQ(chart("CODICE = '041003'"), QStringList{"04|041|041003|Rimanenze finali|R|"});
    // Ready for the next account.
    EXPECT_EQ(window->mode(), "Inserimento");
    EXPECT_EQ(window->value("CODICE"), "");
}

TEST_P(FrmPiaCoTest, TheChartPrintsByGroupAndSubgroup)
{
    const QString page = printed(chartPrintList());
    expectLines(page,
                {"Gruppo +01 +ATTIVITA'", "Sottogruppo +011 +IMMOBILIZZAZIONI", "011001 +IMPIANTI E MACCHINARI +P",
                 "Gruppo +04 +RICAVI", "041001 +MERCI C/VENDITE +R +RIC", "Totale conti: +60"});
    // Groups in order: the subgroup's accounts under their own heading.
    const qsizetype credits = page.indexOf(QRegularExpression("Sottogruppo +012 +CREDITI"));
    EXPECT_LT(page.indexOf("011004"), credits);
    EXPECT_LT(credits, page.indexOf("012001"));
}

ORLAVO_FOR_EACH_ENGINE(FrmPerIvaTest);
ORLAVO_FOR_EACH_ENGINE(FrmConPagTest);
ORLAVO_FOR_EACH_ENGINE(FrmPiaCoTest);

} // namespace
