#include "fixtures.h"
#include "masterdata/windows/frmperiva.h"
#include "services/core/tablenames.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>

// The VAT editor's wiring and its print; the checks and writes themselves
// are the store's (vatcodestore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kRights = "Operazione non consentita : \nNon si possiedono i diritti per eseguire tale operazione.\n"
                        "Per ulteriri chiarimenti rivolgersi all'Amministratore.";

// The standard VAT codes in their window; an item uses code 4.
class FrmPerIvaTest : public Orlavo::Testing::StandardDataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, COD_IVA) VALUES ('01', 'ACM', 'A1', '4')");
        window = std::make_unique<FrmPerIva>(*context);
        answer();
    }
    void TearDown() override
    {
        window.reset();
        StandardDataTest::TearDown();
    }

    void click(const char *button, Prompter::Button answer = Prompter::Button::Ok)
    {
        this->answer({answer});
        window->findChild<QPushButton *>(button)->click();
    }
    void choose(const QString &code) { ASSERT_TRUE(window->chooseCode(code)) << code.toStdString(); }
    void fill(const QString &code, const QString &description, const QString &rate, const QString &kind)
    {
        window->setValue("CODICE", code);
        window->setValue("DESCRIZIONE", description);
        window->setValue("ALIQUOTA", rate);
        window->setValue("TIPO_CODICE", kind);
    }
    QString stored(const QString &code)
    {
        return text(
            QStringLiteral("SELECT DESCRIZIONE || '|' || COALESCE(TIPO_CODICE, '') || '|' || COALESCE(DESC_TIPO, '') "
                           "FROM TAB_PERIVA "
                           "WHERE CODICE = '%1'")
                .arg(code));
    }

    std::unique_ptr<FrmPerIva> window;
};

TEST_P(FrmPerIvaTest, EveryFailingFieldTurnsRedTheLastSpeaksAndTheInputStays)
{
    const int stored = count("TAB_PERIVA");
    fill("", "", "-1", "P");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Codice Percentuale Iva - Obbligatorio !", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
    EXPECT_EQ(red(*window), (QStringList{"ALIQUOTA", "CODICE", "DESCRIZIONE"}));
    EXPECT_EQ(window->value("ALIQUOTA"), "-1");

    // Exempt at a rate: only the rate fails.
    fill("e2", "Esente art. 10", "4", "E");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Aliquota Iva errata", Prompter::Icon::Warning, Prompter::Buttons::Ok,
                                   "Errore!");
    EXPECT_EQ(red(*window), QStringList{"ALIQUOTA"});
    EXPECT_EQ(window->value("TIPO_CODICE"), "E");
    EXPECT_EQ(count("TAB_PERIVA"), stored);
}

TEST_P(FrmPerIvaTest, CodesAreInsertedChangedRenamedAndDeletedAfterTheQuestion)
{
    fill("21", "Iva 21%", "21", "D");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", choice);
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
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        window->grab().save(QDir(folder).filePath("frmPerIva.png"));
    window->setValue("DESCRIZIONE", "Iva 21% indetraibile");
    window->setValue("CODICE", "21n");
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

TEST_P(FrmPerIvaTest, ACodeAnItemUsesIsNeitherDeletedNorRenamed)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    choose("4");
    click("elimina");
    Orlavo::Testing::expectRefused(
        prompter, "Impossibile eliminare Codice Iva,\nsono ancora presenti registrazioni su : Articoli",
        Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    for (const auto &[column, value] : {std::pair<const char *, const char *>{"CODICE", "44"}, {"ALIQUOTA", "5"}}) {
        choose("4");
        window->setValue(column, value);
        click("registra");
        Orlavo::Testing::expectRefused(prompter, "Codice Iva utilizzato: modificabile solo la descrizione",
                                       Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
        EXPECT_EQ(window->value(column), value);
    }
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // Its description may change.
    choose("4");
    window->setValue("DESCRIZIONE", "Iva 4% beni primari");
    click("registra");
    EXPECT_EQ(stored("4"), "Iva 4% beni primari|P|DETRAIBILE");
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
    prompter.onText = "Confermi inserimento ?";
    prompter.action = [this] {
        Orlavo::Testing::Workstation(archives->config())
            .exec("INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA) VALUES ('21', 'Altrui', 21)");
    };
    fill("21", "Mia", "21", "P");
    click("registra");
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Confermi inserimento ?", "Codice Percentuale Iva già presente in archivio"}));
    EXPECT_EQ(red(*window), QStringList{"CODICE"});
    EXPECT_EQ(window->value("DESCRIZIONE"), "Mia");
    EXPECT_EQ(stored("21"), "Altrui||");
}

// The print of the VAT rates lists each code with its rate and kind.
TEST_P(FrmPerIvaTest, TheRatesPrintWithTheirKind)
{
    useShippedReports();
    Ui::LookupList list(*context, vatRateList());
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.rowCount(), 8);
    const QString pdf = archives->folder() + "TABIVA.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *line :
         {"22 +IVA 22% +22,00 +P +DETRAIBILE +100", "E +ESENTE +0,00 +E +ESENTE +100", "Totale righe: +8"})
        EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << printed.toStdString();
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("TABIVA.pdf"));
}

ORLAVO_FOR_EACH_ENGINE(FrmPerIvaTest);

} // namespace
