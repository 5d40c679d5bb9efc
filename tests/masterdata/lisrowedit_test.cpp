#include "masterdata/windows/lisrowedit.h"
#include "masterdatatest.h"

#include <QLabel>
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
class ListRowWindowTest : public Orlavo::Testing::MasterdataTest<>
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
        Orlavo::Testing::Workstation reader(archives->config());
        const auto rows = reader.rows(
            QString("SELECT %1 FROM LIST_VEN WHERE CLIENTE = ? AND FORNITORE = ?").arg(columns), {customer, supplier});
        if (!rows || rows->isEmpty())
            return "<none>";
        QStringList values;
        for (int i = 0; i < int(rows->columns().size()); ++i)
            values << QString::number(rows->first().at(i).toDouble());
        return values.join('|');
    }
};

TEST_P(ListRowWindowTest, APurchaseRowDerivesItsNetPriceAndItsSaveMovesTheSupplierSaleRows)
{
    auto window = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    EXPECT_EQ(window->objectName(), "LisAcqAg");
    EXPECT_EQ(window->windowTitle(), "Listino di acquisto");
    EXPECT_EQ(window->findChild<QLabel *>("D_DESC_ARTICOLO")->text(), "Bullone");
    EXPECT_EQ(window->value("PR_LISTINO") + "|" + window->value("SC_A1"), "100,00|00,00");
    for (const char *name : {"FORNITORE", "MARCA", "ARTICOLO", "PR_LISTINO"})
        EXPECT_TRUE(locked(*window, name)) << name;

    type(*window, "SC_A1", "10");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A1"), "90,00|10,00");
    type(*window, "SC_A2", "5");
    EXPECT_EQ(window->value("PR_ACQUISTO"), "85,50");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1"), "100");
    EXPECT_EQ(sale(7, 1), "100|120|0");

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1"), "85.5");
    // Each customer's markup on the new net price; supplier 2's row stays.
    EXPECT_EQ(sale(7, 1), "85.5|102.6|10");
    EXPECT_EQ(sale(8, 1), "85.5|128.25|10");
    EXPECT_EQ(sale(7, 2), "80|96|20");

    // A net price typed by hand is kept as typed, also by the save.
    answer({Prompter::Button::Ok});
    type(*window, "PR_ACQUISTO", "70");
    EXPECT_EQ(window->value("PR_ACQUISTO").left(2), "70");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1"), "70");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A1"), "70,00|10,00");
    EXPECT_EQ(sale(7, 1), "70|84|10");
}

TEST_P(ListRowWindowTest, APurchaseRowsFailingFieldsTurnRedAndTheLastSpeaks)
{
    auto window = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    window->setValue("SC_A1", "120");
    window->setValue("PR_ACQFISSO", "-1");
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Prezzo d'Acquisto Fisso - non può essere minore di 0 ! "});
    EXPECT_EQ(prompter.titles(), QStringList{"Errore!"});
    EXPECT_EQ(red(*window), (QStringList{"PR_ACQFISSO", "SC_A1"}));
    EXPECT_EQ(text("SELECT SC_A1 FROM LIST_ACQ WHERE FORNITORE = 1"), "0");

    // Leaving a field names its own problem only.
    answer();
    type(*window, "SC_A3", "-2");
    EXPECT_EQ(prompter.texts(), QStringList{"Sconto non può essere minore di zero !"});
    EXPECT_EQ(red(*window), QStringList{"SC_A3"});
}

TEST_P(ListRowWindowTest, APurchaseRowASaleRowTakesItsPriceFromIsNotDeleted)
{
    auto used = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    EXPECT_FALSE(used->remove());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, "Impossibile eliminare Listino d'Acquisto,\nsono ancora presenti "
                                             "registrazioni su : Listini di vendita");
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Critical);
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 1"), "1");

    // Without sale rows: asked, No keeps it, Yes deletes it alone.
    run("DELETE FROM LIST_VEN WHERE FORNITORE = 2");
    auto free = open<LisAcqAg>(PurchaseListKey{2, "ACM", "X1"});
    removeAsking(*free, "Confermi eliminazione Listino di Acquisto?", "LIST_ACQ");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 2"), "0");

    // The standard list's row says so in the title.
    auto standard = open<LisAcqAg>(PurchaseListKey{99999, "ACM", "X1"});
    EXPECT_EQ(standard->windowTitle(), "Listino di acquisto (listino base)");
}

TEST_P(ListRowWindowTest, ASaleRowDerivesItsPricesAndRefusesANegativeMarkup)
{
    auto window = open<LisVenAg>(SaleListKey{7, "ACM", "X1", 1});
    EXPECT_EQ(window->objectName(), "LisVenAg");
    EXPECT_EQ(window->windowTitle(), "Listino di vendita");
    EXPECT_EQ(window->value("CLIENTE") + "|" + window->value("FORNITORE"), "7|1");
    // The purchase side belongs to the purchase list.
    for (const char *name : {"CLIENTE", "FORNITORE", "SC_A1", "SC_A2", "SC_A3", "PR_ACQUISTO"})
        EXPECT_TRUE(locked(*window, name)) << name;

    type(*window, "SC_V1", "10");
    type(*window, "SC_V2", "5");
    EXPECT_EQ(window->value("PR_VENDITA"), "85,50");
    type(*window, "PERC_RIC", "25");
    EXPECT_EQ(window->value("PR_RICARICATO") + "|" + window->value("PERC_RIC"), "125,00|25,00");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    const QString negative = "Percentuale Ricarico non può essere minore di zero !";
    type(*window, "PERC_RIC", "-5");
    EXPECT_EQ(prompter.texts(), QStringList{negative});
    EXPECT_EQ(prompter.titles(), QStringList{"Errore!"});
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
    // The other rows of the item stay.
    EXPECT_EQ(sale(8, 1, "SC_V1, PERC_RIC, PR_RICARICATO"), "0|50|150");
    EXPECT_EQ(sale(7, 2, "SC_V1, PERC_RIC, PR_RICARICATO"), "0|20|96");
}

// Discounts show two digits before the comma, also once typed and left.
TEST_P(ListRowWindowTest, DiscountsShowTwoDigitsBeforeTheComma)
{
    auto purchase = open<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    EXPECT_EQ(purchase->value("SC_A2"), "00,00");
    type(*purchase, "SC_A2", "5");
    EXPECT_EQ(purchase->value("SC_A2") + "|" + purchase->value("PR_ACQUISTO"), "05,00|95,00");

    auto sale = open<LisVenAg>(SaleListKey{7, "ACM", "X1", 2});
    EXPECT_EQ(sale->value("SC_A1") + "|" + sale->value("PERC_RIC"), "20,00|20,00");
    type(*sale, "SC_V1", "2,5");
    EXPECT_EQ(sale->value("SC_V1"), "02,50");
    type(*sale, "PERC_RIC", "8");
    EXPECT_EQ(sale->value("PERC_RIC") + "|" + sale->value("PR_RICARICATO"), "08,00|86,40");
}

TEST_P(ListRowWindowTest, ASaleRowIsDeletedAfterTheQuestion)
{
    auto window = open<LisVenAg>(SaleListKey{7, "ACM", "X1", 1});
    removeAsking(*window, "Confermi eliminazione Listino di Vendita?", "LIST_VEN");
    EXPECT_EQ(sale(7, 1), "<none>");
    EXPECT_EQ(sale(8, 1), "100|150|0");
    EXPECT_EQ(sale(7, 2), "80|96|20");
}

TEST_P(ListRowWindowTest, AMissingRowIsToldAndTheWindowIsNotLoaded)
{
    const struct {
        const char *label;
        std::function<std::unique_ptr<ListEditWindow>()> open;
        QString message;
    } cases[] = {
        {"purchase", [this] { return std::make_unique<LisAcqAg>(*context, PurchaseListKey{1, "ACM", "ZZ"}); },
         "Il Listino di Acquisto non esiste in archivio "},
        {"sale", [this] { return std::make_unique<LisVenAg>(*context, SaleListKey{8, "ACM", "X1", 2}); },
         "Il Listino di Vendita non esiste in archivio "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        answer();
        const auto window = c.open();
        EXPECT_FALSE(window->loaded());
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(prompter.titles(), QStringList{"Errore ...... "});
        answer();
        EXPECT_FALSE(window->remove());
        EXPECT_TRUE(prompter.texts().isEmpty());
    }
    EXPECT_EQ(count("LIST_ACQ") + count("LIST_VEN"), 6);
}

ORLAVO_FOR_EACH_ENGINE(ListRowWindowTest);

} // namespace
