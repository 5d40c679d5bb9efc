#include "accounting/windows/frmcaucon.h"
#include "causaltest.h"
#include "fixtures.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QPushButton>

// The causals window's wiring and its print; the checks and writes
// themselves are the store's (causalstore_test).

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

// The causals in their window.
class FrmCauConTest : public Orlavo::Testing::CausalTest
{
protected:
    void seed() override
    {
        CausalTest::seed();
        context->state.upperCaseKeys = true;
        window = std::make_unique<FrmCauCon>(*context);
    }
    void TearDown() override
    {
        window.reset();
        CausalTest::TearDown();
    }

    void click(const char *button, std::initializer_list<Prompter::Button> answers = {Prompter::Button::Ok})
    {
        answer(answers);
        window->findChild<QPushButton *>(button)->click();
    }
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
    std::unique_ptr<FrmCauCon> window;
};

TEST_P(FrmCauConTest, CodedFieldsShowTheirDescriptionAndTheBoxesFollowTheBankCode)
{
    choose("CO22");
    EXPECT_EQ(window->description("TIPO_CAUSALE"), "CORRISPETTIVI");
    EXPECT_EQ(window->description("COD_IVA"), "IVA 22%");
    EXPECT_EQ(window->description("DARE_1"), "CASSA");
    EXPECT_EQ(window->description("CASSA_BANCA"), "CASSA");
    EXPECT_EQ(window->deductibility(), "D");
    EXPECT_TRUE(window->cashBox()->isChecked());
    EXPECT_FALSE(window->bankBox()->isChecked());

    // Banca clears the cash code for a bank's; a bank's code ticks Banca.
    window->bankBox()->click();
    EXPECT_EQ(window->value("CASSA_BANCA"), "");
    EXPECT_FALSE(window->cashBox()->isChecked());
    leave("CASSA_BANCA", "b1");
    EXPECT_EQ(window->description("CASSA_BANCA"), "Banca Uno");
    EXPECT_TRUE(window->bankBox()->isChecked());
    window->cashBox()->click();
    EXPECT_EQ(window->value("CASSA_BANCA"), "***");
    EXPECT_FALSE(window->bankBox()->isChecked());

    // An account chosen from "Lista CONTI" shows its description.
    Orlavo::Testing::pickInNextList(window.get(), 1);
    emit static_cast<Ui::CodeField *>(window->field("DARE_2"))->lookupRequested();
    QApplication::processEvents();
    EXPECT_EQ(window->value("DARE_2"), "011002");
    EXPECT_EQ(window->description("DARE_2"), "ATTREZZATURE");
}

TEST_P(FrmCauConTest, ACausalIsInsertedChangedAndDeletedAfterTheQuestion)
{
    fill("cc", "acq22", "Acquisti", "22");
    window->setDeductibility("S");
    leave("DARE_1", "031001");
    leave("AVERE_1", "023001");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        click("registra", {choice});
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi inserimento ?"});
    }
    EXPECT_EQ(stored("ACQ22"), "CC|Acquisti|S|22||031001|023001");

    choose("ACQ22");
    EXPECT_EQ(window->deductibility(), "S");
    window->setValue("CAUSALE", "ACQ");
    window->setDeductibility("D");
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(stored("ACQ"), "CC|Acquisti|D|22||031001|023001");
    EXPECT_EQ(stored("ACQ22"), "");

    choose("ACQ");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("ACQ"), "");
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
}

ORLAVO_FOR_EACH_ENGINE(FrmCauConTest);

} // namespace
