#include "accounting/windows/conacon.h"
#include "entrywindowtest.h"
#include "services/core/concurrency.h"
#include "ui/fieldlook.h"

#include <QLabel>
#include <QLineEdit>

// The modification window's wiring: the rewrite, the in-place update and
// the refusals are the store's (its own tests); here what the operator
// meets.

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;

namespace {

const QString kStampQuestion =
    "La registrazione è stata modificata da un altro utente  Si vuole aggiornare ugualmente ?";

class ConAConTest : public Testing::EntryWindowTest
{
protected:
    std::unique_ptr<ConACon> open(int number)
    {
        return std::unique_ptr<ConACon>(ConACon::open(*context, year, number));
    }

    QString stored(const char *column, int number)
    {
        return archives
            ->scalar(QStringLiteral("SELECT %1 FROM GIORN WHERE ANNO = ? AND NRO_INT = ? AND SEQUENZA = 1")
                         .arg(QLatin1String(column)),
                     {year, number})
            .toString();
    }
};

TEST_P(ConAConTest, AStoredEntryIsShownAndWrittenAgainWithItsNumber)
{
    storeEntry(EntryMode::General);
    const int number = storeEntry(EntryMode::CashReceipt);
    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Variazione Corrispettivi");
    EXPECT_EQ(window->value("NRO_INT"), "2");
    EXPECT_EQ(window->value("NRO_REG"), "1");
    EXPECT_EQ(window->value("CAUSALE"), "CO22");
    EXPECT_EQ(window->value("COD_IVA"), "22");
    EXPECT_EQ(window->value("TOTALE"), "122,00");
    EXPECT_EQ(window->cell(EntrySide::Credit, 1, EntryWindow::AmountColumn), "22,00");
    EXPECT_FALSE(window->hasChanges());
    EXPECT_FALSE(window->findChild<QLabel *>("stampata")->isVisibleTo(window.get()));

    // A new total splits again, and the entry keeps both its numbers.
    window->setValue("TOTALE", "244");
    EXPECT_EQ(window->cell(EntrySide::Credit, 0, EntryWindow::AmountColumn), "200,00");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kEntryConfirm});
    EXPECT_EQ(lines(number), (QStringList{"D 014001 244  Incasso del giorno", "A 041001 200  Incasso del giorno",
                                          "A 024001 44  Incasso del giorno"}));
    EXPECT_EQ(archives->scalar("SELECT IMPONIBILE FROM IVA WHERE NRO_INT = ?", {number}).toDouble(), 200);
    EXPECT_EQ(stored("NRO_REG", number), "1");
    EXPECT_FALSE(window->hasChanges());
}

TEST_P(ConAConTest, AStampChangedElsewhereAsksAndCancelChangesNothing)
{
    const int number = storeEntry(EntryMode::General);
    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Variazione registrazioni Conto a Conto");
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("UPDATE GIORN SET TSTAMP = 'altrove', DESCRI_GIORN = 'altrove'"));

    window->setValue("DESCRI", "Prelievo contanti");
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, kStampQuestion}));
    EXPECT_EQ(stored("DESCRI", number), "Prelievo");
    EXPECT_EQ(stored("TSTAMP", number), "altrove");
    EXPECT_EQ(stored("DESCRI_GIORN", number), "altrove");

    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, kStampQuestion}));
    EXPECT_EQ(stored("DESCRI", number), "Prelievo contanti");
    EXPECT_NE(stored("TSTAMP", number), "altrove");
}

TEST_P(ConAConTest, AnEntryOnThePrintedJournalIsRefused)
{
    const int number = storeEntry(EntryMode::General);
    run("UPDATE GIORN SET STA_GIO = -1 WHERE SEQUENZA = 2");
    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->findChild<QLabel *>("stampata")->isVisibleTo(window.get()));

    window->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile registrare, \nè già stato stampato il Giornale !"});
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile eliminare, \nè già stato stampato il Giornale !"});
    EXPECT_EQ(stored("DESCRI", number), "Prelievo");
    EXPECT_EQ(rowsOf("GIORN", number), 2);
}

TEST_P(ConAConTest, AGeneratedEntryChangesOnlyDescriptionsAndAccounts)
{
    const int number = storeEntry(EntryMode::General);
    // A collection's entry, as the payments will write it.
    run("UPDATE GIORN SET CAUSALET = 'IC', MOVIMENTO = 'INC'");
    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->rewritten());
    for (const char *column : {"CAUSALE", "TOTALE", "DATA_REG", "FORNITORE"})
        EXPECT_TRUE(window->field(column)->isReadOnly()) << column;
    QTableWidgetItem *amount = window->grid(EntrySide::Debit)->item(0, EntryWindow::AmountColumn);
    EXPECT_FALSE(amount->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(window->grid(EntrySide::Debit)->item(0, EntryWindow::AccountColumn)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(window->grid(EntrySide::Debit)->item(1, EntryWindow::AccountColumn)->flags() & Qt::ItemIsEditable);

    window->setCell(EntrySide::Debit, 0, EntryWindow::AccountColumn, "014002");
    window->setCell(EntrySide::Credit, 0, EntryWindow::TextColumn, "banca");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(lines(number), (QStringList{"D 014002 50  in cassa", "A 014002 50  banca"}));
    EXPECT_EQ(stored("MOVIMENTO", number), "INC");
    // Deleting belongs to the program that generated it.
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile eliminare da qui la registrazione;\n"
                                            "Utilizzare l'applicazione che ha generato il movimento"});
}

TEST_P(ConAConTest, AnEntryDeletedElsewhereIsNotWrittenAgain)
{
    const int number = storeEntry(EntryMode::General);
    auto window = open(number);
    ASSERT_TRUE(window);
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("DELETE FROM GIORN"));
    window->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(archives->count("GIORN"), 0);

    // Opening it now says so, and opens nothing.
    answer();
    EXPECT_FALSE(open(number));
    EXPECT_EQ(prompter.texts(), QStringList{Services::Concurrency::deletedElsewhere()});
}

TEST_P(ConAConTest, AUserWhoMayNotWriteWritesNothing)
{
    const int number = storeEntry(EntryMode::CashReceipt);
    context->state.userType = 0;
    auto window = open(number);
    ASSERT_TRUE(window);
    window->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_FALSE(window->remove());
    ASSERT_EQ(prompter.texts().size(), 2);
    for (const QString &text : prompter.texts())
        EXPECT_TRUE(text.startsWith("Operazione non consentita")) << text.toStdString();
    EXPECT_EQ(stored("DESCRI", number), "Incasso del giorno");
    EXPECT_EQ(rowsOf("GIORN", number), 3);
    EXPECT_EQ(rowsOf("IVA", number), 1);
}

ORLAVO_FOR_EACH_ENGINE(ConAConTest);

} // namespace
