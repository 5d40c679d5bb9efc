#include "accounting/windows/frmcaucon.h"
#include "committedrows.h"
#include "fixtures.h"
#include "services/core/tablenames.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"
#include "../masterdata/masterdatatest.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

// The causals window's wiring and its print; the checks and writes
// themselves are the store's (causalstore_test).

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kRights = "Operazione non consentita : \nNon si possiedono i diritti per eseguire tale operazione.\n"
                        "Per ulteriri chiarimenti rivolgersi all'Amministratore.";

// The standard causals in their window, a paying bank B1 and a
// non-deductible VAT code 8.
class FrmCauConTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        context->state.upperCaseKeys = true;
        run("INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE) VALUES ('B1', 'Banca Uno')");
        run("INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE) VALUES ('8', 'Indetraibile', 22, "
            "'D')");
        window = std::make_unique<FrmCauCon>(*context);
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
        window->findChild<QPushButton *>(button)->click();
    }
    bool enabled(const char *button) const { return window->findChild<QPushButton *>(button)->isEnabled(); }
    void choose(const QString &code) { ASSERT_TRUE(window->chooseCode(code)) << code.toStdString(); }
    void leave(const char *column, const QString &text)
    {
        Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field(column)), text);
    }
    void fill(const char *type, const char *code, const char *description, const char *vat = "")
    {
        window->setValue("TIPO_CAUSALE", type);
        window->setValue("CAUSALE", code);
        window->setValue("DESCRIZIONE", description);
        window->setValue("COD_IVA", vat);
    }
    QString stored(const QString &code)
    {
        return Orlavo::Testing::committedRows(*archives,
                                              "SELECT TIPO_CAUSALE, DESCRIZIONE, COALESCE(DETRAIBILE, ''), "
                                              "COALESCE(COD_IVA, ''), COALESCE(CASSA_BANCA, ''), "
                                              "COALESCE(DARE_1, ''), COALESCE(AVERE_1, '') "
                                              "FROM TAB_CAU_CONT WHERE CAUSALE = ?",
                                              {code})
            .join(" / ");
    }

    std::unique_ptr<FrmCauCon> window;
};

TEST_P(FrmCauConTest, CodedFieldsShowTheirDescriptionAndTheBoxesFollowTheBankCode)
{
    EXPECT_EQ(window->mode(), "Inserimento");
    EXPECT_FALSE(enabled("registra"));
    choose("CO22");
    EXPECT_EQ(window->mode(), "Modifica");
    EXPECT_EQ(window->description("TIPO_CAUSALE"), "CORRISPETTIVI");
    EXPECT_EQ(window->description("COD_IVA"), "IVA 22%");
    EXPECT_EQ(window->description("DARE_1"), "CASSA");
    EXPECT_EQ(window->description("AVERE_2"), "IVA SU VENDITE");
    EXPECT_EQ(window->description("CASSA_BANCA"), "CASSA");
    EXPECT_EQ(window->deductibility(), "D");
    EXPECT_TRUE(window->cashBox()->isChecked());
    EXPECT_FALSE(window->bankBox()->isChecked());
    EXPECT_FALSE(enabled("registra"));

    // Banca clears the cash code for a bank's; a bank's code ticks Banca.
    window->bankBox()->click();
    EXPECT_EQ(window->value("CASSA_BANCA"), "");
    EXPECT_FALSE(window->cashBox()->isChecked());
    EXPECT_TRUE(enabled("registra"));
    leave("CASSA_BANCA", "b1");
    EXPECT_EQ(window->description("CASSA_BANCA"), "Banca Uno");
    EXPECT_TRUE(window->bankBox()->isChecked());
    window->cashBox()->click();
    EXPECT_EQ(window->value("CASSA_BANCA"), "***");
    EXPECT_EQ(window->description("CASSA_BANCA"), "CASSA");
    EXPECT_FALSE(window->bankBox()->isChecked());
    // Typed by hand, "***" is the cash too.
    leave("CASSA_BANCA", "");
    leave("CASSA_BANCA", "***");
    EXPECT_TRUE(window->cashBox()->isChecked());

    // An account chosen from "Lista CONTI" shows its description.
    Orlavo::Testing::pickInNextList(window.get(), 1);
    emit static_cast<Ui::CodeField *>(window->field("DARE_2"))->lookupRequested();
    QApplication::processEvents();
    EXPECT_EQ(window->value("DARE_2"), "011002");
    EXPECT_EQ(window->description("DARE_2"), "ATTREZZATURE");
    click("annulla");
    EXPECT_EQ(window->value("DARE_2"), "");
    EXPECT_FALSE(enabled("annulla"));
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        window->grab().save(QDir(folder).filePath("frmCauCon.png"));
}

TEST_P(FrmCauConTest, ACausalIsInsertedChangedAndDeletedAfterTheQuestion)
{
    fill("cc", "acq8", "Acquisti indetraibili", "8");
    window->setDeductibility("D");
    leave("DARE_1", "031001");
    leave("AVERE_1", "023001");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", {choice});
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    }
    // Registered not deductible: its VAT code is not.
    EXPECT_EQ(stored("ACQ8"), "CC|Acquisti indetraibili|N|8||031001|023001");
    EXPECT_EQ(window->mode(), "Inserimento");

    choose("ACQ8");
    EXPECT_EQ(window->deductibility(), "");
    window->setValue("CAUSALE", "ACQ22");
    window->setValue("COD_IVA", "22");
    window->setDeductibility("S");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("ACQ22"), "CC|Acquisti indetraibili|S|22||031001|023001");
    EXPECT_EQ(stored("ACQ8"), "");

    choose("ACQ22");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("ACQ22"), "");
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(FrmCauConTest, EveryFailingFieldTurnsRedAndTheTopmostSpeaks)
{
    fill("ZZ", "GIR", "", "22");
    window->setValue("CASSA_BANCA", "B9");
    window->setValue("AVERE_3", "X");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Tipo Causale sconosciuta !", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
    EXPECT_EQ(red(*window),
              (QStringList{"AVERE_3", "CASSA_BANCA", "CAUSALE", "DESCRIZIONE", "DETRAIBILE", "TIPO_CAUSALE"}));
    EXPECT_EQ(window->value("CASSA_BANCA"), "B9");

    // Only the deductibility missing: it speaks alone.
    fill("CC", "NEW", "Acquisti", "22");
    window->setValue("CASSA_BANCA", "");
    window->setValue("AVERE_3", "");
    click("registra");
    Orlavo::Testing::expectRefused(prompter, "Impostare detraibilità", Prompter::Icon::Warning, Prompter::Buttons::Ok,
                                   "Errore!");
    EXPECT_EQ(red(*window), QStringList{"DETRAIBILE"});
    EXPECT_EQ(stored("NEW"), "");

    // A new form has nothing to delete.
    click("elimina");
    Orlavo::Testing::expectRefused(prompter, "Eliminazione non consentita.", Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, "Errore!");
}

TEST_P(FrmCauConTest, AUserWhoMayNotWriteIsStoppedFirst)
{
    context->state.userType = 0;
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_CONT"});
    fill("ZZ", "", "");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    choose("GIR");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{kRights});
    EXPECT_TRUE(red(*window).isEmpty());
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

// The causals print by type, with their accounts.
TEST_P(FrmCauConTest, TheCausalsPrintByType)
{
    useShippedReports();
    Ui::LookupList list(*context, causalPrintList());
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.rowCount(), 8);
    const QString pdf = archives->folder() + "TABCAUCO.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf);
    for (const char *line :
         {"Tipo +CO +CORRISPETTIVI", "CO22 +CORRISPETTIVI IVA 22% +22 +D +\\*\\*\\* +014001 +041001 +024001",
          "Tipo +RA +RITENUTE D'ACCONTO", "RA1 +RITENUTA D'ACCONTO SUBITA +013003 +012001", "Totale causali: +8"})
        EXPECT_TRUE(printed.contains(QRegularExpression(QString::fromUtf8(line)))) << line << printed.toStdString();
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        QFile::copy(pdf, QDir(folder).filePath("TABCAUCO.pdf"));
}

ORLAVO_FOR_EACH_ENGINE(FrmCauConTest);

} // namespace
