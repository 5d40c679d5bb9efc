#include "committedrows.h"
#include "fixtures.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"
#include "warehouse/warehouse.h"
#include "warehouse/windows/frmcauma.h"
#include "windowhost.h"
#include "../masterdata/masterdatatest.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>

// The warehouse causals window's wiring and its print; the checks and
// writes themselves are the store's (warehousecausals_test).

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

using Host = Orlavo::Testing::KeepingHost;

// The standard causals in their window; X01 used by a movement, X02 free.
class FrmCauMaTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        run("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('X01', 'Usata', 0), ('X02', 'Libera', 0)");
        run("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, QUANTITA) "
            "VALUES ('2026', 1, '01', 'ABC', 'VITE', 'X01', 1)");
        window = std::make_unique<FrmCauMa>(*context);
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
    QCheckBox *average() const { return window->findChild<QCheckBox *>("T_PMA"); }
    QString stored(const QString &code)
    {
        return Orlavo::Testing::committedRows(*archives, "SELECT DESCRIZIONE, PMA FROM TAB_CAU_MAG WHERE CODICE = ?",
                                              {code})
            .join(" / ");
    }
    void expectRefused(const QString &text)
    {
        Orlavo::Testing::expectRefused(prompter, text, Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
    }

    std::unique_ptr<FrmCauMa> window;
};

TEST_P(FrmCauMaTest, TheMenuEntryOpensTheListAndACausalIsInsertedAndChanged)
{
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    Host host;
    ASSERT_TRUE(registry.find("TabCausMaga") && registry.contains("St_TabCausMaga"));
    (*registry.find("TabCausMaga"))(host);
    ASSERT_TRUE(host.opened());
    EXPECT_EQ(host.opened()->objectName(), "frmCauMa");
    EXPECT_EQ(host.opened()->windowTitle(), "Causali di Magazzino");

    auto *grid = window->findChild<QTableWidget *>();
    ASSERT_EQ(grid->rowCount(), 30);
    EXPECT_EQ(grid->item(0, 0)->text(), "A10");
    EXPECT_EQ(grid->item(29, 0)->text(), "X02");

    window->setValue("CODICE", "c99");
    window->setValue("DESCRIZIONE", "Carico di prova");
    average()->setChecked(true);
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", choice);
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    }
    EXPECT_EQ(stored("C99"), "Carico di prova|-1");
    EXPECT_EQ(grid->rowCount(), 31);
    EXPECT_EQ(grid->item(17, 0)->text(), "C99");

    choose("C99");
    EXPECT_TRUE(average()->isChecked());
    average()->setChecked(false);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("C99"), "Carico di prova|0");
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty()) {
        choose("C10");
        window->grab().save(QDir(folder).filePath("frmCauMa.png"));
    }
}

TEST_P(FrmCauMaTest, TheAverageOnAnUnloadIsRefusedAndTheInputStays)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG"});
    choose("S10");
    average()->setChecked(true);
    click("registra");
    expectRefused("Impossibile utilizzare il calcolo dei prezzi medi d'acquisto \nsu causali di scarico ");
    EXPECT_EQ(red(*window), QStringList{"PMA"});
    EXPECT_TRUE(average()->isChecked());
    EXPECT_EQ(window->value("CODICE"), "S10");
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(FrmCauMaTest, OnlyAFreeStoredCausalIsDeleted)
{
    click("elimina");
    expectRefused("Eliminazione non consentita.");
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG"});
    // A code of the table of effects, a causal moved.
    for (const char *code : {"S10", "X01"}) {
        choose(code);
        click("elimina");
        expectRefused("Eliminazione non consentita.");
    }
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // A consulting user is stopped first.
    context->state.userType = 0;
    choose("X02");
    click("elimina");
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().value(0).startsWith("Operazione non consentita"))
        << prompter.texts().value(0).toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);

    context->state.userType = 2;
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
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("TABCAUMA.pdf"));
}

ORLAVO_FOR_EACH_ENGINE(FrmCauMaTest);

} // namespace
