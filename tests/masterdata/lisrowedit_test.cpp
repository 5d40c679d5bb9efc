#include "committedrows.h"
#include "masterdata/windows/lisrowedit.h"
#include "masterdatatest.h"

#include <QLineEdit>

// The windows of one price-list row: what leaving a field computes, what a
// save and a delete ask and write. The row checks are the rules'
// (pricelistrules_test), the writes' other cases the store's
// (listrowstore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kConfirm = "Confermi aggiornamenti ?";

// Item X1 of ACM ("Bullone"), list price 100. Suppliers 1 (net 100) and 2
// (20 % off, net 80) list it; customers 7 and 8 buy it from supplier 1
// with 20 % and 50 % markup, customer 7 also from supplier 2. The
// standard purchase list (99999) holds it too.
class ListRowWindowTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    void seed() override
    {
        context->settings.write("ARTICOLI", "DECIMALI_PREZZO1", "2");
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme')");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'ACM', 'X1', 'Bullone')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P')");
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, "
            "PR_ACQFISSO) VALUES (1, 'ACM', 'X1', 100, 0, 0, 0, 100, 0), (2, 'ACM', 'X1', 100, 20, 0, 0, 80, 0), "
            "(99999, 'ACM', 'X1', 100, 0, 0, 0, 100, 0)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, SC_V2, SC_V3, PR_VENDITA, "
            "SC_A1, SC_A2, SC_A3, PR_ACQUISTO, PERC_RIC, PR_RICARICATO, PR_VENFISSO) VALUES "
            "(7, 'ACM', 'X1', 1, 100, 0, 0, 0, 100, 0, 0, 0, 100, 20, 120, 0), "
            "(8, 'ACM', 'X1', 1, 100, 0, 0, 0, 100, 0, 0, 0, 100, 50, 150, 0), "
            "(7, 'ACM', 'X1', 2, 100, 0, 0, 0, 100, 20, 0, 0, 80, 20, 96, 0)");
    }

    template <typename W, typename K> std::unique_ptr<W> open(const K &key)
    {
        auto window = std::make_unique<W>(*context, key);
        EXPECT_TRUE(window->loaded()) << prompter.texts().join('|').toStdString();
        answer();
        return window;
    }

    // The operator types in a field and leaves it; what the window queues
    // for after the leaving runs too.
    static void type(ListRowWindow &window, const QString &name, const QString &text)
    {
        Orlavo::Testing::leave(qobject_cast<QLineEdit *>(window.field(name)), text);
        QApplication::processEvents();
    }

    // Elimina asks; No keeps the row, Yes deletes it.
    void removeAsking(ListEditWindow &window, const QString &question, const QString &table)
    {
        const int before = count(table);
        answer({Prompter::Button::No});
        EXPECT_FALSE(window.remove());
        EXPECT_EQ(prompter.texts(), QStringList{question});
        EXPECT_EQ(count(table), before);
        answer({Prompter::Button::Yes});
        EXPECT_TRUE(window.remove());
        EXPECT_EQ(count(table), before - 1);
    }

    static bool locked(ListRowWindow &window, const QString &name)
    {
        const auto *line = qobject_cast<QLineEdit *>(window.field(name));
        return line && line->isReadOnly();
    }

    // A sale row's figures, "PR_ACQUISTO|PR_RICARICATO|SC_A1", as committed.
    QString sale(int customer, int supplier, const QString &columns = "PR_ACQUISTO, PR_RICARICATO, SC_A1")
    {
        return Orlavo::Testing::committedRows(
                   *archives, QString("SELECT %1 FROM LIST_VEN WHERE CLIENTE = ? AND FORNITORE = ?").arg(columns),
                   {customer, supplier})
            .join(' ');
    }
};

TEST_P(ListRowWindowTest, APurchaseRowDerivesItsNetPriceAndItsSaveMovesTheSupplierSaleRows)
{
    auto window = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    // The list price is the item's.
    EXPECT_TRUE(locked(*window, "PR_LISTINO"));

    // Leaving a discount works out the net price; the discount shows two
    // digits before the comma.
    type(*window, "SC_A1", "10");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A1"), "90,00|10,00");
    type(*window, "SC_A2", "5");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A2"), "85,50|05,00");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1"), "85.5");
    // Each customer's markup on the new net price; supplier 2's row stays.
    EXPECT_EQ(sale(8, 1), "85.5|128.25|10");
    EXPECT_EQ(sale(7, 2), "80|96|20");

    // A net price typed by hand is kept as typed, also by the save.
    answer({Prompter::Button::Ok});
    type(*window, "PR_ACQUISTO", "70");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(sale(7, 1), "70|84|10");
}

TEST_P(ListRowWindowTest, APurchaseRowsFailingFieldsTurnRedAndTheLastSpeaks)
{
    auto window = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    window->setValue("SC_A1", "120");
    window->setValue("PR_ACQFISSO", "-1");
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Prezzo d'Acquisto Fisso - non può essere minore di 0 ! "});
    EXPECT_EQ(red(*window), (QStringList{"PR_ACQFISSO", "SC_A1"}));
    EXPECT_EQ(text("SELECT SC_A1 FROM LIST_ACQ WHERE FORNITORE = 1"), "0");
}

TEST_P(ListRowWindowTest, APurchaseRowASaleRowTakesItsPriceFromIsNotDeleted)
{
    auto used = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    EXPECT_FALSE(used->remove());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, "Impossibile eliminare Listino d'Acquisto,\nsono ancora presenti "
                                             "registrazioni su : Listini di vendita");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 1"), "1");

    // Without sale rows: asked, No keeps it, Yes deletes it alone.
    run("DELETE FROM LIST_VEN WHERE FORNITORE = 2");
    auto free = open<LisAcqAg>(PurchaseListKey{2, "ACM", "X1"});
    removeAsking(*free, "Confermi eliminazione Listino di Acquisto?", "LIST_ACQ");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 2"), "0");
}

TEST_P(ListRowWindowTest, APurchaseRowTakenBySalesWhileTheQuestionIsOpenStays)
{
    auto standard = open<LisAcqAg>(PurchaseListKey{99999, "ACM", "X1"});
    // Another workstation generates a sale list from it meanwhile.
    prompter.onText = "Confermi eliminazione Listino di Acquisto?";
    prompter.action = [this] {
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (99999, 'ACM', 'X1', 99999)");
    };
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(standard->remove());
    EXPECT_EQ(prompter.texts().value(1), "Impossibile eliminare Listino d'Acquisto,\nsono ancora presenti "
                                         "registrazioni su : Listini di vendita");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 99999"), "1");
}

TEST_P(ListRowWindowTest, ASaleRowDerivesItsPricesAndRefusesANegativeMarkup)
{
    auto window = open<LisVenAg>(SaleListKey{7, "ACM", "X1", 1});
    // The purchase side belongs to the purchase list.
    for (const char *name : {"CLIENTE", "FORNITORE", "SC_A1", "SC_A2", "SC_A3", "PR_ACQUISTO"})
        EXPECT_TRUE(locked(*window, name)) << name;

    type(*window, "SC_V1", "10");
    type(*window, "SC_V2", "5");
    EXPECT_EQ(window->value("PR_VENDITA") + "|" + window->value("SC_V2"), "85,50|05,00");
    type(*window, "PERC_RIC", "25");
    EXPECT_EQ(window->value("PR_RICARICATO") + "|" + window->value("PERC_RIC"), "125,00|25,00");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    const QString negative = "Percentuale Ricarico non può essere minore di zero !";
    type(*window, "PERC_RIC", "-5");
    EXPECT_EQ(prompter.texts(), QStringList{negative});
    EXPECT_EQ(red(*window), QStringList{"PERC_RIC"});
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{negative});
    EXPECT_EQ(sale(7, 1, "PERC_RIC, SC_V1"), "20|0");

    answer({Prompter::Button::Ok});
    type(*window, "PERC_RIC", "25");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(sale(7, 1, "SC_V1, SC_V2, PR_VENDITA, PERC_RIC, PR_RICARICATO"), "10|5|85.5|25|125");
}

TEST_P(ListRowWindowTest, ASaleRowIsDeletedAfterTheQuestion)
{
    auto window = open<LisVenAg>(SaleListKey{7, "ACM", "X1", 1});
    removeAsking(*window, "Confermi eliminazione Listino di Vendita?", "LIST_VEN");
    EXPECT_TRUE(sale(7, 1).isEmpty());
}

TEST_P(ListRowWindowTest, AMissingRowIsToldAndTheWindowIsNotLoaded)
{
    LisAcqAg purchase(*context, PurchaseListKey{1, "ACM", "ZZ"});
    EXPECT_FALSE(purchase.loaded());
    LisVenAg sale(*context, SaleListKey{8, "ACM", "X1", 2});
    EXPECT_FALSE(sale.loaded());
    EXPECT_EQ(prompter.texts(), (QStringList{"Il Listino di Acquisto non esiste in archivio ",
                                             "Il Listino di Vendita non esiste in archivio "}));
}

ORLAVO_FOR_EACH_ENGINE(ListRowWindowTest);

} // namespace
