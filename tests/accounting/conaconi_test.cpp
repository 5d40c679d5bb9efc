#include "accounting/windows/conaconi.h"
#include "entrywindowtest.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>

// The new-entry window's wiring: the checks and writes are the store's
// (its own tests); here what the operator meets.

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;

namespace {

const QString kLeave = "Rinuncia operazioni su dati correnti ?";

class ConAConITest : public Testing::EntryWindowTest
{
protected:
    QStringList amounts(const ConAConI &window, EntrySide side)
    {
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << window.cell(side, row, EntryWindow::AccountColumn) + QLatin1Char(' ') +
                         window.cell(side, row, EntryWindow::AmountColumn);
        return shown;
    }

    // A transfer of 100,00 whose credit rows add up to `credit`.
    void typeTransfer(ConAConI &window, const QString &credit)
    {
        window.setValue("CAUSALE", "GIR");
        window.setValue("TOTALE", "100");
        window.setCell(EntrySide::Debit, 0, EntryWindow::AccountColumn, "014001");
        window.setCell(EntrySide::Debit, 0, EntryWindow::AmountColumn, "100");
        window.setCell(EntrySide::Credit, 0, EntryWindow::AccountColumn, "014002");
        window.setCell(EntrySide::Credit, 0, EntryWindow::AmountColumn, credit);
    }
};

TEST_P(ConAConITest, ACausalFillsTheAccountsAndTheTotalSplitsTheReceipt)
{
    ConAConI window(*context, EntryMode::CashReceipt);
    EXPECT_EQ(window.windowTitle(), "Registrazioni Corrispettivi");
    EXPECT_EQ(window.value("ANNO"), year);

    window.setValue("CAUSALE", "CC22");
    EXPECT_EQ(prompter.texts(), QStringList{"Causale di contabilità errata"});
    EXPECT_TRUE(Ui::hasFieldError(window.field("CAUSALE")));

    answer();
    window.setValue("CAUSALE", "co22");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    EXPECT_FALSE(Ui::hasFieldError(window.field("CAUSALE")));
    EXPECT_EQ(window.description("CAUSALE"), "CORRISPETTIVI IVA 22%");
    EXPECT_EQ(window.value("DESCRI"), "CORRISPETTIVI IVA 22%");
    EXPECT_EQ(window.value("COD_IVA"), "22");
    EXPECT_EQ(window.cell(EntrySide::Debit, 0, EntryWindow::AccountTextColumn), "CASSA");
    EXPECT_EQ(window.cell(EntrySide::Credit, 1, EntryWindow::AccountTextColumn), "IVA SU VENDITE");

    // The total splits at once: cash the whole, the balance-sheet row the VAT.
    window.setValue("TOTALE", "122");
    EXPECT_EQ(amounts(window, EntrySide::Debit), (QStringList{"014001 122,00", " ", " "}));
    EXPECT_EQ(amounts(window, EntrySide::Credit), (QStringList{"041001 100,00", "024001 22,00", " "}));
    window.setValue("TOTALE", "100");
    EXPECT_EQ(amounts(window, EntrySide::Credit), (QStringList{"041001 81,97", "024001 18,03", " "}));
    // Another VAT code splits again.
    window.setValue("COD_IVA", "10");
    EXPECT_EQ(window.description("COD_IVA"), "IVA 10%");
    EXPECT_EQ(amounts(window, EntrySide::Credit), (QStringList{"041001 90,91", "024001 9,09", " "}));
    EXPECT_DOUBLE_EQ(window.sideTotal(EntrySide::Debit), 100);
    EXPECT_DOUBLE_EQ(window.sideTotal(EntrySide::Credit), 100);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(ConAConITest, AReceiptIsWrittenAndBothNumbersAreTold)
{
    ConAConI window(*context, EntryMode::CashReceipt);
    window.setValue("CAUSALE", "CO22");
    window.setValue("TOTALE", "122");

    // Cancel at the question writes nothing and keeps the entry.
    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kEntryConfirm});
    EXPECT_EQ(archives->count("GIORN"), 0);
    EXPECT_EQ(window.value("TOTALE"), "122,00");

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(),
              (QStringList{Testing::kEntryConfirm, "Assegnato Numero Mov. : 1\nAssegnato Numero Reg. : 1"}));
    EXPECT_EQ(lines(1), (QStringList{"D 014001 122  CORRISPETTIVI IVA 22%", "A 041001 100  CORRISPETTIVI IVA 22%",
                                     "A 024001 22  CORRISPETTIVI IVA 22%"}));
    EXPECT_EQ(rowsOf("IVA", 1), 1);
    EXPECT_EQ(rowsOf("IVA2", 1), 1);

    // Emptied for the next one, which takes the next numbers.
    EXPECT_TRUE(window.value("CAUSALE").isEmpty());
    EXPECT_TRUE(window.value("TOTALE").isEmpty());
    EXPECT_TRUE(window.cell(EntrySide::Debit, 0, EntryWindow::AccountColumn).isEmpty());
    EXPECT_FALSE(window.hasChanges());
    window.setValue("CAUSALE", "CO10");
    window.setValue("TOTALE", "11");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts().last(), "Assegnato Numero Mov. : 2\nAssegnato Numero Reg. : 2");
}

TEST_P(ConAConITest, AnUnbalancedEntryIsRefusedWithItsInputKept)
{
    ConAConI window(*context, EntryMode::General);
    EXPECT_EQ(window.windowTitle(), "Codifica registrazioni Conto a Conto");
    typeTransfer(window, "99,99");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Squadratura importi AVERE : 0,01"});
    EXPECT_EQ(prompter.titles(), QStringList{"ERRORE"});
    EXPECT_EQ(archives->count("GIORN"), 0);
    EXPECT_EQ(window.cell(EntrySide::Credit, 0, EntryWindow::AmountColumn), "99,99");
    EXPECT_EQ(window.value("TOTALE"), "100,00");

    // Put right, it is written with its number alone.
    window.setCell(EntrySide::Credit, 0, EntryWindow::AmountColumn, "100");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, "Assegnato Numero Mov. : 1"}));
    EXPECT_EQ(lines(1), (QStringList{"D 014001 100  GIROCONTO", "A 014002 100  GIROCONTO"}));
}

TEST_P(ConAConITest, TheLastFailingCheckSpeaksAndEveryFailingFieldTurnsRed)
{
    ConAConI window(*context, EntryMode::General);
    window.setValue("TOTALE", "10");
    // Rows typed after an empty one move up before the checks.
    window.setCell(EntrySide::Debit, 1, EntryWindow::AccountColumn, "999999");
    EXPECT_EQ(prompter.texts(), QStringList{"Conto errato"});
    EXPECT_TRUE(window.cellMarked(EntrySide::Debit, 1, EntryWindow::AccountColumn));
    window.setCell(EntrySide::Debit, 1, EntryWindow::AmountColumn, "10");
    window.setCell(EntrySide::Credit, 0, EntryWindow::AccountColumn, "014002");
    window.setCell(EntrySide::Credit, 0, EntryWindow::AmountColumn, "10");
    window.field("DATA_REG")->clear();

    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Data registrazione bbligatoria"});
    EXPECT_EQ(prompter.titles(), QStringList{"ERRORE"});
    EXPECT_EQ(window.cell(EntrySide::Debit, 0, EntryWindow::AccountColumn), "999999");
    EXPECT_TRUE(window.cellMarked(EntrySide::Debit, 0, EntryWindow::AccountColumn));
    EXPECT_TRUE(Ui::hasFieldError(window.field("CAUSALE")));
    EXPECT_TRUE(Ui::hasFieldError(window.field("DATA_REG")));
    EXPECT_FALSE(Ui::hasFieldError(window.field("TOTALE")));
    EXPECT_EQ(archives->count("GIORN"), 0);

    // The date given, the causal speaks next.
    window.setValue("DATA_REG", QDate::currentDate().toString("dd/MM/yyyy"));
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Causale di contabilità obbligatoria"});
    EXPECT_FALSE(Ui::hasFieldError(window.field("DATA_REG")));
}

TEST_P(ConAConITest, GridsShowFourLinesKeepAnEmptyRowAndLookUpAccounts)
{
    ConAConI window(*context, EntryMode::General);
    QTableWidget *debit = window.grid(EntrySide::Debit);
    EXPECT_EQ(debit->rowCount(), 5);
    const int lineHeight = debit->verticalHeader()->defaultSectionSize();
    const int shown =
        (debit->height() - debit->horizontalHeader()->sizeHint().height() - 2 * debit->frameWidth()) / lineHeight;
    EXPECT_EQ(shown, 4);
    for (int row = 0; row < 5; ++row)
        window.setCell(EntrySide::Debit, row, EntryWindow::TextColumn, QString("riga %1").arg(row + 1));
    EXPECT_EQ(debit->rowCount(), 6);
    window.setCell(EntrySide::Debit, 5, EntryWindow::TextColumn, "riga 6");
    EXPECT_EQ(debit->rowCount(), 7);

    // Typed in the grid itself: the account is looked up once its editor has closed.
    window.grid(EntrySide::Credit)->item(0, EntryWindow::AccountColumn)->setText("041001");
    QApplication::processEvents();
    EXPECT_EQ(window.cell(EntrySide::Credit, 0, EntryWindow::AccountTextColumn), "MERCI C/VENDITE");
    window.grid(EntrySide::Credit)->item(1, EntryWindow::AccountColumn)->setText("999");
    QApplication::processEvents();
    EXPECT_EQ(prompter.texts(), QStringList{"Conto errato"});
}

TEST_P(ConAConITest, PartiesApplyToTheSelectedRowOnly)
{
    ConAConI window(*context, EntryMode::General);
    typeTransfer(window, "60");
    window.setCell(EntrySide::Credit, 1, EntryWindow::AccountColumn, "035002");
    window.setCell(EntrySide::Credit, 1, EntryWindow::AmountColumn, "40");
    window.setPerRow(true);
    EXPECT_TRUE(window.statusText().isEmpty());
    window.selectRow(EntrySide::Credit, 1);
    EXPECT_EQ(window.statusText(), "Riga sel: 2 Col: Avere");
    window.setValue("CCOS", "02");
    EXPECT_EQ(prompter.texts(), QStringList{"Centro di costo errato"});
    answer();
    window.setValue("CCOS", "01");
    EXPECT_EQ(window.description("CCOS"), "NEGOZIO");
    window.setValue("FORNITORE", "3");
    EXPECT_EQ(window.description("FORNITORE"), "Verdi Srl");
    // Another row shows its own, empty.
    window.selectRow(EntrySide::Debit, 0);
    EXPECT_EQ(window.statusText(), "Riga sel: 1 Col: Dare");
    EXPECT_TRUE(window.value("CCOS").isEmpty());

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(lines(1), (QStringList{"D 014001 100  GIROCONTO", "A 014002 60  GIROCONTO", "A 035002 40 01 GIROCONTO"}));
    EXPECT_EQ(archives->scalar("SELECT FORNITORE FROM GIORN WHERE SEQUENZA = 3").toInt(), 3);
    EXPECT_EQ(archives->scalar("SELECT SUM(FORNITORE) FROM GIORN").toInt(), 3);
}

TEST_P(ConAConITest, BankOrCashIsChecked)
{
    ConAConI window(*context, EntryMode::General);
    window.setValue("BANCA", "ZZZ");
    EXPECT_EQ(prompter.texts(), QStringList{"Cassa o Banca pagamento errata"});
    EXPECT_TRUE(Ui::hasFieldError(window.field("BANCA")));
    answer();
    window.setValue("BANCA", "***");
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(window.description("BANCA"), "CASSA");
}

TEST_P(ConAConITest, LeavingWithDataEnteredAsksFirst)
{
    ConAConI window(*context, EntryMode::General);
    window.show();
    window.reject();
    EXPECT_TRUE(prompter.texts().isEmpty()) << "nothing entered: no question";
    EXPECT_FALSE(window.isVisible());

    window.show();
    window.setCell(EntrySide::Credit, 0, EntryWindow::TextColumn, "nota");
    answer({Prompter::Button::No});
    window.reject();
    EXPECT_EQ(prompter.texts(), QStringList{kLeave});
    EXPECT_TRUE(window.isVisible());
    answer({Prompter::Button::Yes});
    window.reject();
    EXPECT_FALSE(window.isVisible());
}

TEST_P(ConAConITest, AUserWhoMayNotWriteWritesNothing)
{
    context->state.userType = 0;
    ConAConI window(*context, EntryMode::General);
    typeTransfer(window, "100");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith("Operazione non consentita"))
        << prompter.texts().first().toStdString();
    EXPECT_EQ(archives->count("GIORN"), 0);
    EXPECT_EQ(archives->scalar("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'NROINT'").toInt(), 0);
}

ORLAVO_FOR_EACH_ENGINE(ConAConITest);

} // namespace
