#include "fixtures.h"
#include "masterdata/windows/frmconpag.h"
#include "masterdatatest.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"

#include <QDir>
#include <QLabel>

// The payment-condition editor's wiring; the checks and writes themselves
// are the store's (paymentconditionstore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

// The standard conditions in their window; a customer pays by B30.
class FrmConPagTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, COND_PAG) VALUES (1, 'Rossi', 'B30')");
        window = std::make_unique<FrmConPag>(*context);
        answer();
    }
    void TearDown() override
    {
        window.reset();
        StandardDataTest::TearDown();
    }

    // Registra, Elimina or Annulla, the question answered Ok (the buttons'
    // wiring is the VAT editor test's).
    void act(void (Ui::CodeTableEditor::*action)())
    {
        answer({Prompter::Button::Ok});
        (window.get()->*action)();
    }
    void choose(const QString &code) { ASSERT_TRUE(window->chooseCode(code)) << code.toStdString(); }
    void set(const QList<std::pair<const char *, const char *>> &values)
    {
        for (const auto &[column, value] : values)
            window->setValue(column, value);
    }
    void expectError(const QString &message)
    {
        Orlavo::Testing::expectRefused(prompter, message, Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    }
    QString stored(const QString &code)
    {
        return text(QStringLiteral("SELECT DESCRIZIONE || '|' || GIORN1 || '|' || GGFORZ || '|' || DF_FM "
                                   "FROM TAB_COND_PAG WHERE CODICE = '%1'")
                        .arg(code));
    }

    std::unique_ptr<FrmConPag> window;
};

TEST_P(FrmConPagTest, TheDescriptionIsComposedAsKindDaysAndStartChange)
{
    EXPECT_EQ(window->findChild<QLabel *>("suggerimento")->text(),
              "Selezionare la Condizione di Pagamento da modificare");
    set({{"DESC_COND", "R"}, {"GIORN1", "30"}, {"GIORN2", "60"}, {"GIORN3", "90"}, {"DF_FM", "F"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "RIC. BAN. 30/60/90 GG DF FM");
    set({{"GIORN3", "0"}, {"DF_FM", "D"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "RIC. BANCARIA 30/60 GG DF");
    set({{"DESC_COND", "T"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "ADD.PREAUTOR 30/60 GG DF");

    // A stored description shows as it is until the operator changes the terms.
    run("UPDATE TAB_COND_PAG SET DESCRIZIONE = 'Bonifico a trenta giorni' WHERE CODICE = 'B30'");
    window->reload();
    choose("B30");
    EXPECT_EQ(window->value("DESCRIZIONE"), "Bonifico a trenta giorni");
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        window->grab().save(QDir(folder).filePath("frmConPag.png"));
    set({{"DF_FM", "F"}});
    EXPECT_EQ(window->value("DESCRIZIONE"), "BONIFICO 30 GG DF FM");
}

TEST_P(FrmConPagTest, EveryFailingFieldTurnsRedTheLastSpeaksAndTheInputStays)
{
    const int stored = count("TAB_COND_PAG");
    set({{"GIORN2", "-30"}, {"GGFORZ", "40"}});
    act(&Ui::CodeTableEditor::save);
    expectError("Condizione di Pagamento - Obbligatoria");
    EXPECT_EQ(red(*window), (QStringList{"CODICE", "DESC_COND", "DF_FM", "GIORN2"}));
    EXPECT_EQ(window->value("GIORN2"), "-30");

    // The end of the month asks a forced day that exists.
    set({{"CODICE", "R1"}, {"DESC_COND", "R"}, {"DF_FM", "F"}});
    act(&Ui::CodeTableEditor::save);
    expectError("Numero Giorni deve essere maggiore di zero");
    EXPECT_EQ(red(*window), (QStringList{"GGFORZ", "GIORN2"}));
    EXPECT_EQ(count("TAB_COND_PAG"), stored);
}

TEST_P(FrmConPagTest, ACodeTakenIsSaidOnLeavingItAndAnUnsavedOneCannotBeDeleted)
{
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("CODICE")), "r30");
    expectError("Condizione di Pagamento già presente in archivio !");
    EXPECT_EQ(red(*window), QStringList{"CODICE"});
    act(&Ui::CodeTableEditor::remove);
    expectError("Eliminazione non consentita.");
    // A stored code left as it is is no duplicate of itself.
    answer();
    choose("R30");
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("CODICE")), "R30");
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmConPagTest, ConditionsAreInsertedChangedAndDeletedAfterTheQuestion)
{
    set({{"CODICE", "b60"}, {"DESC_COND", "B"}, {"GIORN1", "60"}, {"DF_FM", "D"}, {"GGFORZ", "10"}});
    act(&Ui::CodeTableEditor::save);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    // Counted from the document date: no forced day.
    EXPECT_EQ(stored("B60"), "BONIFICO 60 GG DF|60|0|D");

    choose("B60");
    set({{"DF_FM", "F"}, {"GGFORZ", "10"}});
    act(&Ui::CodeTableEditor::save);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("B60"), "BONIFICO 60 GG DF FM|60|10|F");

    choose("B60");
    set({{"GIORN1", "90"}});
    act(&Ui::CodeTableEditor::cancel);
    EXPECT_EQ(window->value("GIORN1"), "60");
    act(&Ui::CodeTableEditor::remove);
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("B60"), "");
}

TEST_P(FrmConPagTest, AConditionInUseIsNeitherDeletedNorRenamed)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_COND_PAG"});
    choose("B30");
    act(&Ui::CodeTableEditor::remove);
    expectError("Impossibile eliminare Condizione di Pagamento,\nsono ancora presenti registrazioni su : Clienti");
    choose("B30");
    set({{"CODICE", "B31"}});
    act(&Ui::CodeTableEditor::save);
    expectError("Condizione di Pagamento utilizzata: codice non modificabile");
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // A user who may not write meets the rights message first, and only it.
    context->state.userType = 0;
    choose("RD");
    for (const auto action : {&Ui::CodeTableEditor::remove, &Ui::CodeTableEditor::save}) {
        set({{"GIORN1", "10"}});
        act(action);
        ASSERT_EQ(prompter.texts().size(), 1);
        EXPECT_TRUE(prompter.texts().first().startsWith("Operazione non consentita : \n"));
    }
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

// The conditions' print shows the terms the description sums up.
TEST_P(FrmConPagTest, TheConditionsPrintWithKindDaysAndStart)
{
    useShippedReports();
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_COND_PAG;
    request.mode = Ui::LookupMode::Print;
    request.reportKey = "TABCONDP";
    request.columns = {{"CODICE", "06C", "Codice"}, {"DESCRIZIONE", "40C", "Descrizione"}};
    Ui::LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    const QString pdf = archives->folder() + "TABCONDP.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *line :
         {"R90 +RIC. BAN. 30/60/90 GG DF FM +R +30 +60 +90 +0 +0 +F", "RD +RIMESSA DIRETTA +D +0 +0 +0 +0 +0 +D"})
        EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << printed.toStdString();
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("TABCONDP.pdf"));
}

ORLAVO_FOR_EACH_ENGINE(FrmConPagTest);

} // namespace
