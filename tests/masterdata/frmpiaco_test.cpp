#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/windows/frmpiaco.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "masterdatatest.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// The chart window's wiring and its print; the checks and writes themselves
// are the store's (chartstore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kRights = "Operazione non consentita : \nNon si possiedono i diritti per eseguire tale operazione.\n"
                        "Per ulteriri chiarimenti rivolgersi all'Amministratore.";
const QString kRename = "Il conto è utilizzato in contabilità: le registrazioni esistenti manterranno il vecchio "
                        "codice. Confermi ?";

// Acts like the scripted prompter and keeps every question's default button.
class ChartPrompter : public Orlavo::Testing::ActingPrompter
{
public:
    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override
    {
        defaults.append(defaultButton);
        return ActingPrompter::ask(text, title, icon, buttons, defaultButton);
    }
    QList<std::optional<Button>> defaults;
};

// The standard chart in its window; the journal names the cash and the
// revenue account 041001.
class FrmPiaCoTest : public Orlavo::Testing::StandardDataTest<ChartPrompter>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        run("INSERT INTO GIORN (ANNO, NRO_INT, SEQUENZA, CONTO) VALUES ('2025', 1, 1, '014001'), "
            "('2025', 1, 2, '041001')");
        window = std::make_unique<FrmPiaCo>(*context);
        answer();
    }
    void TearDown() override
    {
        window.reset();
        StandardDataTest::TearDown();
    }

    void click(const char *button, std::initializer_list<Prompter::Button> answers = {Prompter::Button::Ok})
    {
        answer(answers);
        prompter.defaults.clear();
        window->findChild<QPushButton *>(button)->click();
    }
    bool enabled(const char *button) const { return window->findChild<QPushButton *>(button)->isEnabled(); }
    void choose(const QString &code) { ASSERT_TRUE(window->chooseCode(code)) << code.toStdString(); }
    void fill(const char *group, const char *subgroup, const char *code, const char *description, const char *type,
              const char *role = "")
    {
        window->setValue("GRUPPO", group);
        window->setValue("SOTTOGRU", subgroup);
        window->setValue("CODICE", code);
        window->setValue("DESCRIZIONE", description);
        window->setValue("TIPO_CONTO", type);
        window->setValue("CONT_AUT", role);
    }
    QStringList chart(const char *where)
    {
        return Orlavo::Testing::committedRows(
            *archives, QStringLiteral("SELECT GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO, "
                                      "COALESCE(CONT_AUT, '') FROM TAB_PIANO_CONTI WHERE %1")
                           .arg(QLatin1String(where)));
    }
    QString shownType() const { return static_cast<QComboBox *>(window->field("TIPO_CONTO"))->currentText(); }

    std::unique_ptr<FrmPiaCo> window;
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
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        window->grab().save(QDir(folder).filePath("frmPiaCo.png"));
}

TEST_P(FrmPiaCoTest, AnAccountIsInsertedChangedAndDeletedAfterTheQuestion)
{
    fill("04", "041", "041010", "Consulenze", "R", "SPT");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", {choice});
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
        EXPECT_EQ(prompter.defaults.value(0), Prompter::Button::Cancel);
    }
    EXPECT_EQ(chart("CODICE = '041010'"), QStringList{"04|041|041010|Consulenze|R|SPT"});
    EXPECT_EQ(window->mode(), "Inserimento");
    EXPECT_EQ(window->value("CODICE"), "");

    choose("041010");
    window->setValue("DESCRIZIONE", "Consulenze tecniche");
    window->setValue("CONT_AUT", "");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(chart("CODICE = '041010'"), QStringList{"04|041|041010|Consulenze tecniche|R|"});

    choose("041010");
    click("elimina", {Prompter::Button::Ok});
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_TRUE(chart("CODICE = '041010'").isEmpty());
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(FrmPiaCoTest, EveryFailingFieldTurnsRedTheLastSpeaksAndTheInputStays)
{
    fill("99", "999", "011001", "", "C", "RIC");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Gruppo di appartenenza Conto sconosciuto !", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
    EXPECT_EQ(red(*window), (QStringList{"CODICE", "CONT_AUT", "DESCRIZIONE", "GRUPPO", "SOTTOGRU"}));
    EXPECT_EQ(window->value("CONT_AUT"), "RIC");

    // Only the role left wrong: it speaks alone.
    fill("04", "041", "041010", "Consulenze", "C", "RIC");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Codice conto automatico non compatibile con il tipo conto",
                                   Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    EXPECT_EQ(red(*window), QStringList{"CONT_AUT"});
    EXPECT_EQ(count("TAB_PIANO_CONTI"), 60);
}

TEST_P(FrmPiaCoTest, TheJournalsAccountsAreRenamedOnlyAfterTheQuestionAndNeverDeleted)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI", "GIORN"});
    choose("041001");
    click("elimina");
    Orlavo::Testing::expectRefused(prompter,
                                   "Impossibile eliminare il conto perchè attualmente utilizzato in contabilità",
                                   Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    window->setValue("CODICE", "041901");
    click("registra", {Prompter::Button::No});
    EXPECT_EQ(prompter.texts(), QStringList{kRename});
    EXPECT_EQ(prompter.defaults.value(0), Prompter::Button::No);
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
    Orlavo::Testing::expectRefused(prompter, "Eliminazione non consentita.", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
}

TEST_P(FrmPiaCoTest, AUserWhoMayNotWriteIsStoppedFirst)
{
    context->state.userType = 0;
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI"});
    fill("99", "", "", "", "");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    choose("011001");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    EXPECT_TRUE(red(*window).isEmpty());
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(FrmPiaCoTest, WhatAnotherWorkstationDidMeanwhileIsSaid)
{
    // A code stored while the question is open is taken; the input stays.
    prompter.onText = "Confermi inserimento ?";
    prompter.action = [this] {
        Orlavo::Testing::Workstation(archives->config())
            .exec("INSERT INTO TAB_PIANO_CONTI (GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO) "
                  "VALUES ('04', '041', '041010', 'Altrui', 'R')");
    };
    fill("04", "041", "041010", "Mio", "R");
    click("registra");
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Confermi inserimento ?", "Conto di Contabilità già presente in archivio !"}));
    EXPECT_EQ(red(*window), QStringList{"CODICE"});
    EXPECT_EQ(window->value("DESCRIZIONE"), "Mio");
    EXPECT_EQ(chart("CODICE = '041010'"), QStringList{"04|041|041010|Altrui|R|"});

    // Changed meanwhile: the operator decides; deleted meanwhile: said, and
    // registered again it is a new account.
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
    EXPECT_EQ(chart("CODICE = '041003'"), QStringList{"04|041|041003|Rimanenze finali|R|"});
}

// The chart prints by group and subgroup, each with its description.
TEST_P(FrmPiaCoTest, TheChartPrintsByGroupAndSubgroup)
{
    useShippedReports();
    Ui::LookupList list(*context, chartPrintList());
    ASSERT_TRUE(list.load());
    const QString pdf = archives->folder() + "PIANOCON.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *line :
         {"Gruppo +01 +ATTIVITA'", "Sottogruppo +011 +IMMOBILIZZAZIONI", "011001 +IMPIANTI E MACCHINARI +P",
          "Gruppo +04 +RICAVI", "041001 +MERCI C/VENDITE +R +RIC", "Totale conti: +60"})
        EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << line << printed.toStdString();
    // Groups in order: the subgroup's accounts under their own heading.
    const qsizetype credits = printed.indexOf(QRegularExpression("Sottogruppo +012 +CREDITI"));
    EXPECT_LT(printed.indexOf("011004"), credits);
    EXPECT_LT(credits, printed.indexOf("012001"));
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("PIANOCON.pdf"));
}

ORLAVO_FOR_EACH_ENGINE(FrmPiaCoTest);

} // namespace
