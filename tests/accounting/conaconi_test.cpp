#include "accounting/windows/conacon.h"
#include "accounting/windows/conaconi.h"
#include "entrywindowtest.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>

// The new-entry window's wiring: the checks and writes are the store's
// (its own tests); here what the operator meets.

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;

namespace {

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

TEST_P(ConAConITest, AWrongCodeSpeaksAndTurnsRedAKnownOneShowsItsDescription)
{
    const struct {
        const char *column, *wrong, *message, *known, *description;
    } cases[] = {
        // A cash-receipt causal on a general entry.
        {"CAUSALE", "CO22", "Causale di contabilità errata", "gir", "GIROCONTO"},
        {"BANCA", "ZZZ", "Cassa o Banca pagamento errata", "***", "CASSA"},
        {"CCOS", "02", "Centro di costo errato", "01", "NEGOZIO"},
        {"FORNITORE", "7", "Fornitore errato ", "3", "Verdi Srl"},
    };
    ConAConI window(*context, EntryMode::General);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column);
        answer();
        window.setValue(c.column, c.wrong);
        EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_TRUE(Ui::hasFieldError(window.field(c.column)));
        answer();
        window.setValue(c.column, c.known);
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
        EXPECT_FALSE(Ui::hasFieldError(window.field(c.column)));
        EXPECT_EQ(window.description(c.column), c.description);
    }
}

TEST_P(ConAConITest, ACausalFillsAReceiptWrittenAfterTheQuestionAndBothNumbersAreTold)
{
    ConAConI window(*context, EntryMode::CashReceipt);
    window.setValue("CAUSALE", "co22");
    EXPECT_EQ(window.value("DESCRI"), "CORRISPETTIVI IVA 22%");
    EXPECT_EQ(window.value("COD_IVA"), "22");
    EXPECT_EQ(window.cell(EntrySide::Credit, 1, EntryWindow::AccountTextColumn), "IVA SU VENDITE");

    // The total splits at once: cash the whole, the balance-sheet row the
    // VAT; another VAT code splits again.
    window.setValue("TOTALE", "122");
    EXPECT_EQ(amounts(window, EntrySide::Debit), (QStringList{"014001 122,00", " ", " "}));
    EXPECT_EQ(amounts(window, EntrySide::Credit), (QStringList{"041001 100,00", "024001 22,00", " "}));
    window.setValue("COD_IVA", "10");
    EXPECT_EQ(window.description("COD_IVA"), "IVA 10%");
    EXPECT_EQ(amounts(window, EntrySide::Credit), (QStringList{"041001 110,91", "024001 11,09", " "}));

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
    EXPECT_EQ(lines(1),
              (QStringList{"1|D|014001|122||CORRISPETTIVI IVA 22%", "2|A|041001|110.91||CORRISPETTIVI IVA 22%",
                           "3|A|024001|11.09||CORRISPETTIVI IVA 22%"}));
    EXPECT_EQ(rowsOf("IVA", 1), 1);
    // Emptied for the next one, an empty row always kept to type in.
    EXPECT_TRUE(window.value("CAUSALE").isEmpty());
    EXPECT_TRUE(window.cell(EntrySide::Debit, 0, EntryWindow::AccountColumn).isEmpty());
    EXPECT_FALSE(window.hasChanges());
    for (int row = 0; row < 5; ++row)
        window.setCell(EntrySide::Debit, row, EntryWindow::TextColumn, QString("riga %1").arg(row + 1));
    EXPECT_EQ(window.grid(EntrySide::Debit)->rowCount(), 6);
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
    // Typed in the grid itself: the account is looked up once its editor has closed.
    window.grid(EntrySide::Credit)->item(0, EntryWindow::AccountColumn)->setText("014002");
    QApplication::processEvents();
    EXPECT_EQ(window.cell(EntrySide::Credit, 0, EntryWindow::AccountTextColumn), "BANCA C/C");
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
}

TEST_P(ConAConITest, AnUnbalancedEntryIsRefusedAndPartiesApplyToTheSelectedRow)
{
    ConAConI window(*context, EntryMode::General);
    typeTransfer(window, "60");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Squadratura importi AVERE : 40,00"});
    EXPECT_EQ(archives->count("GIORN"), 0);
    EXPECT_EQ(window.cell(EntrySide::Credit, 0, EntryWindow::AmountColumn), "60,00");

    window.setCell(EntrySide::Credit, 1, EntryWindow::AccountColumn, "035002");
    window.setCell(EntrySide::Credit, 1, EntryWindow::AmountColumn, "40");
    window.setPerRow(true);
    window.selectRow(EntrySide::Credit, 1);
    EXPECT_EQ(window.statusText(), "Riga sel: 2 Col: Avere");
    window.setValue("CCOS", "01");
    window.setValue("FORNITORE", "3");
    // Another row shows its own, empty.
    window.selectRow(EntrySide::Debit, 0);
    EXPECT_TRUE(window.value("CCOS").isEmpty());

    // A general entry is told its number alone.
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, "Assegnato Numero Mov. : 1"}));
    EXPECT_EQ(lines(1),
              (QStringList{"1|D|014001|100||GIROCONTO", "2|A|014002|60||GIROCONTO", "3|A|035002|40|01|GIROCONTO"}));
    EXPECT_EQ(archives->scalar("SELECT FORNITORE FROM GIORN WHERE SEQUENZA = 3").toInt(), 3);
    EXPECT_EQ(archives->scalar("SELECT SUM(FORNITORE) FROM GIORN").toInt(), 3);
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
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        window.reject();
        EXPECT_EQ(prompter.texts(), QStringList{"Rinuncia operazioni su dati correnti ?"});
        EXPECT_EQ(window.isVisible(), choice == Prompter::Button::No);
    }
}

// Both entry windows: a new entry, a stored one changed and deleted.
TEST_P(ConAConITest, AUserWhoMayNotWriteWritesNothing)
{
    const int number = storeEntry(EntryMode::CashReceipt);
    context->state.userType = 0;
    ConAConI window(*context, EntryMode::General);
    typeTransfer(window, "100");
    const std::unique_ptr<ConACon> stored(ConACon::open(*context, year, number));
    ASSERT_TRUE(stored);
    stored->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok, Prompter::Button::Ok, Prompter::Button::Ok});
    EXPECT_FALSE(window.save());
    EXPECT_FALSE(stored->save());
    EXPECT_FALSE(stored->remove());
    ASSERT_EQ(prompter.texts().size(), 3);
    for (const QString &text : prompter.texts())
        EXPECT_TRUE(text.startsWith("Operazione non consentita")) << text.toStdString();
    EXPECT_EQ(lines(number), (QStringList{"1|D|014001|122||Incasso del giorno", "2|A|041001|100||Incasso del giorno",
                                          "3|A|024001|22||Incasso del giorno"}));
    EXPECT_EQ(archives->count("GIORN"), 3);
}

ORLAVO_FOR_EACH_ENGINE(ConAConITest);

} // namespace
