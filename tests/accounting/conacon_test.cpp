#include "accounting/windows/conacon.h"
#include "entrywindowtest.h"
#include "services/core/concurrency.h"

#include <QLabel>
#include <QLineEdit>

// The modification window's wiring: the rewrite, the in-place update and
// the refusals are the store's (its own tests); here what the operator
// meets.

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;

namespace {

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

TEST_P(ConAConTest, AStoredEntryIsShownAndWrittenAgainWithItsNumbers)
{
    storeEntry(EntryMode::General);
    const int number = storeEntry(EntryMode::CashReceipt);
    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->value("NRO_INT"), "2");
    EXPECT_EQ(window->value("NRO_REG"), "1");
    EXPECT_EQ(window->value("COD_IVA"), "22");
    EXPECT_EQ(window->value("TOTALE"), "122,00");

    // A new total splits again, and the entry keeps both its numbers.
    window->setValue("TOTALE", "244");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kEntryConfirm});
    EXPECT_EQ(lines(number), (QStringList{"1|D|014001|244||Incasso del giorno", "2|A|041001|200||Incasso del giorno",
                                          "3|A|024001|44||Incasso del giorno"}));
    EXPECT_FALSE(window->hasChanges());
}

TEST_P(ConAConTest, AnEntryChangedElsewhereAsksOneDeletedElsewhereIsNotWrittenAgain)
{
    const int number = storeEntry(EntryMode::General);
    auto window = open(number);
    ASSERT_TRUE(window);
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("UPDATE GIORN SET TSTAMP = 'altrove'"));

    const QString question = "La registrazione è stata modificata da un altro utente  Si vuole aggiornare ugualmente ?";
    window->setValue("DESCRI", "Prelievo contanti");
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, question}));
    EXPECT_EQ(stored("DESCRI", number), "Prelievo");
    EXPECT_EQ(stored("TSTAMP", number), "altrove");
    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, question}));
    EXPECT_EQ(stored("DESCRI", number), "Prelievo contanti");

    // Deleted elsewhere: not written again, and opening it now says so.
    ASSERT_TRUE(other.exec("DELETE FROM GIORN"));
    window->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kEntryConfirm, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(archives->count("GIORN"), 0);
    answer();
    EXPECT_FALSE(open(number));
    EXPECT_EQ(prompter.texts(), QStringList{Services::Concurrency::deletedElsewhere()});
}

TEST_P(ConAConTest, APrintedEntryIsRefusedAGeneratedOneChangesOnlyDescriptionsAndAccounts)
{
    const int printed = storeEntry(EntryMode::General);
    const int number = storeEntry(EntryMode::General);
    run("UPDATE GIORN SET STA_GIO = -1 WHERE NRO_INT = 1 AND SEQUENZA = 2");
    // Entry 2 a collection's, as the payments will write it.
    run("UPDATE GIORN SET CAUSALET = 'IC', MOVIMENTO = 'INC' WHERE NRO_INT = 2");
    auto refused = open(printed);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->findChild<QLabel *>("stampata")->isVisibleTo(refused.get()));
    refused->setValue("DESCRI", "Altro");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(refused->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Impossibile registrare, \nè già stato stampato il Giornale !"});
    EXPECT_EQ(stored("DESCRI", printed), "Prelievo");

    auto window = open(number);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->field("TOTALE")->isReadOnly());
    EXPECT_FALSE(window->grid(EntrySide::Debit)->item(0, EntryWindow::AmountColumn)->flags() & Qt::ItemIsEditable);
    window->setCell(EntrySide::Debit, 0, EntryWindow::AccountColumn, "014002");
    window->setCell(EntrySide::Credit, 0, EntryWindow::TextColumn, "banca");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(lines(number), (QStringList{"1|D|014002|50||in cassa", "2|A|014002|50||banca"}));
    EXPECT_EQ(stored("MOVIMENTO", number), "INC");
}

ORLAVO_FOR_EACH_ENGINE(ConAConTest);

} // namespace
