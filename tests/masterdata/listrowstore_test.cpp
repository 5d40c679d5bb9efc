#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/listrowstore.h"
#include "masterdatatest.h"
#include "services/core/settings.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Item A1 of ACM bought from suppliers 1 and 2 and sold from supplier 1 to
// customers 7 (markup 20), 8 (50) and the standard list (10); customer 7
// also buys it from supplier 2, item A2 from supplier 1, and item A1 of
// brand BTX from supplier 1. Supplier 2's A2 and BTX A1 are sold to nobody.
class ListRowStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, "
            "PR_ACQFISSO) VALUES (1, 'ACM', 'A1', 10, 10, 0, 0, 9, 5), (2, 'ACM', 'A1', 10, 20, 0, 0, 8, 5), "
            "(1, 'ACM', 'A2', 20, 0, 0, 0, 20, 0), (2, 'ACM', 'A2', 20, 0, 0, 0, 20, 0), "
            "(1, 'BTX', 'A1', 30, 0, 0, 0, 30, 0), (2, 'BTX', 'A1', 30, 0, 0, 0, 30, 0)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, PR_VENDITA, SC_A1, "
            "PR_ACQUISTO, PERC_RIC, PR_RICARICATO, PR_VENFISSO) VALUES "
            "(7, 'ACM', 'A1', 1, 10, 5, 9.5, 10, 9, 20, 10.8, 12), (8, 'ACM', 'A1', 1, 10, 0, 10, 10, 9, 50, 13.5, "
            "12), "
            "(99999, 'ACM', 'A1', 1, 10, 0, 10, 10, 9, 10, 9.9, 12), (7, 'ACM', 'A1', 2, 10, 5, 9.5, 20, 8, 20, 9.6, "
            "12), "
            "(7, 'ACM', 'A2', 1, 20, 5, 19, 0, 20, 20, 24, 0), (7, 'BTX', 'A1', 1, 30, 5, 28.5, 0, 30, 20, 36, 0)");
    }

    // Every committed row of a list, as text.
    QStringList rows(const char *table, const char *where)
    {
        return Orlavo::Testing::committedRows(
            *archives, QStringLiteral("SELECT * FROM %1 WHERE %2").arg(QLatin1String(table), QLatin1String(where)));
    }

    // Supplier 1's A1 row edited as the window does: new discounts and the
    // net price worked out from them.
    ListRow editedA1(const ListRow &loaded, double discount, double net)
    {
        ListRow row = loaded;
        row.main().set(QStringLiteral("SC_A1"), discount);
        row.main().set(QStringLiteral("SC_A2"), 0.0);
        row.main().set(QStringLiteral("PR_ACQUISTO"), net);
        return row;
    }

    ListRow loadedA1()
    {
        const auto loaded = loadPurchaseRow(context->db, {1, " acm", "a1 "});
        EXPECT_TRUE(loaded && loaded->has_value());
        return loaded && loaded->has_value() ? loaded->value() : ListRow(purchaseListFamily());
    }

    // The purchase figures, marked-up and sale prices of customer c's row
    // of A1 from supplier s.
    QString saleFigures(int c, int s)
    {
        return Orlavo::Testing::committedRows(
                   *archives,
                   "SELECT SC_A1, PR_ACQUISTO, PR_RICARICATO, PR_VENDITA FROM LIST_VEN "
                   "WHERE CLIENTE = ? AND MARCA = 'ACM' AND ARTICOLO = 'A1' AND FORNITORE = ?",
                   {c, s})
            .join(' ');
    }
};

TEST_P(ListRowStoreTest, ASavedPurchaseRowMovesTheSaleRowsTakingItsPrice)
{
    const QStringList untouched = rows("LIST_VEN", "NOT (MARCA = 'ACM' AND ARTICOLO = 'A1' AND FORNITORE = 1)");
    const QStringList otherPurchases = rows("LIST_ACQ", "NOT (FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1')");
    const ListRow loaded = loadedA1();

    // 10 less 33,33 % is 6,67; the markups 20, 50 and 10 % on it are 8,004,
    // 10,005 and 7,337.
    const ListRow saved = editedA1(loaded, 33.33, 6.67);
    EXPECT_EQ(savePurchaseRow(context->db, saved, loaded, 2).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT SC_A1 FROM LIST_ACQ WHERE FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1'"), "33.33");
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1'"),
              "6.67");
    // The sale price and discounts are the customer's: they stay.
    EXPECT_EQ(saleFigures(8, 1), "33.33|6.67|10.01|10");
    EXPECT_EQ(saleFigures(99999, 1), "33.33|6.67|7.34|10");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN WHERE ARTICOLO = 'A1' AND FORNITORE = 1 AND MARCA = 'ACM' AND "
                   "SC_A2 = 0 AND SC_A3 = 0 AND SC_V1 IN (0, 5) AND PR_LISTINO = 10 AND PR_VENFISSO = 12"),
              "3");
    // Supplier 2's row, item A2 and brand BTX are other purchase rows.
    EXPECT_EQ(rows("LIST_VEN", "NOT (MARCA = 'ACM' AND ARTICOLO = 'A1' AND FORNITORE = 1)"), untouched);
    EXPECT_EQ(rows("LIST_ACQ", "NOT (FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1')"), otherPurchases);

    // The markup rounds to the list's decimals.
    const ListRow reloaded = loadedA1();
    EXPECT_EQ(savePurchaseRow(context->db, editedA1(reloaded, 33.333, 6.667), reloaded, 3).end, WriteEnd::Written);
    EXPECT_EQ(saleFigures(8, 1), "33.33|6.667|10.001|10");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(ListRowStoreTest, APurchaseSaveWritesAllOrNothing)
{
    const ListRow loaded = loadedA1();
    EXPECT_EQ(savePurchaseRow(context->db, loaded, loaded, 2).end, WriteEnd::NothingChanged);
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN"});

    // The sale rows cannot be written: the purchase row stays as it was.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "LIST_VEN"), QString());
    answer();
    EXPECT_EQ(savePurchaseRow(context->db, editedA1(loaded, 50, 5), loaded, 2).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Agg list vend")) << prompter.texts().join('|').toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);
    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "LIST_VEN"), QString());

    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    EXPECT_EQ(savePurchaseRow(context->db, editedA1(loaded, 50, 5), loaded, 2).end, WriteEnd::LockHeld);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    run("DELETE FROM SEMAFORO");

    // Deleted meanwhile: Gone, and no sale row moves.
    run("DELETE FROM LIST_ACQ WHERE FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1'");
    const QStringList sales = rows("LIST_VEN", "1 = 1");
    EXPECT_EQ(savePurchaseRow(context->db, editedA1(loaded, 50, 5), loaded, 2).end, WriteEnd::Gone);
    EXPECT_EQ(rows("LIST_VEN", "1 = 1"), sales);
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(ListRowStoreTest, APurchaseRowGoesOnlyOnceNoSaleRowTakesItsPrice)
{
    // The refusal's wording is the window's test (lisrowedit_test).
    const struct {
        int supplier;
        const char *brand, *item;
        bool used;
    } cases[] = {
        {1, "ACM", "A1", true},
        {1, "acm", "a2 ", true},
        {2, "ACM", "A2", false},
        {2, "BTX", "A1", false},
    };
    for (const auto &c : cases) {
        const auto why = purchaseDeleteRefusal(context->db, {c.supplier, c.brand, c.item});
        ASSERT_TRUE(why);
        EXPECT_EQ(why->isEmpty(), !c.used) << c.supplier << c.brand << c.item;
    }

    // The delete itself checks again under the lock.
    EXPECT_EQ(deletePurchaseRow(context->db, {1, "ACM", "A1"}).end, WriteEnd::ChangedElsewhere);
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE FORNITORE = 1 AND MARCA = 'ACM' AND ARTICOLO = 'A1'"), "1");
    for (const int customer : {7, 8, 99999})
        EXPECT_EQ(deleteSaleRow(context->db, {customer, "acm", "A1", 1}).end, WriteEnd::Written) << customer;
    EXPECT_TRUE(purchaseDeleteRefusal(context->db, {1, "ACM", "A1"})->isEmpty());
    EXPECT_EQ(deletePurchaseRow(context->db, {1, "ACM", "A1"}).end, WriteEnd::Written);
    EXPECT_EQ(deletePurchaseRow(context->db, {1, "ACM", "A1"}).end, WriteEnd::Gone);
    // Only those rows went.
    EXPECT_EQ(count("LIST_ACQ"), 5);
    EXPECT_EQ(count("LIST_VEN"), 3);
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(ListRowStoreTest, ASaleRowSavesAloneAndListsRoundToTheSettingsDecimals)
{
    const auto loaded = loadSaleRow(context->db, {7, "acm", "a1", 2});
    ASSERT_TRUE(loaded && loaded->has_value());
    ListRow row = loaded->value();
    row.main().set(QStringLiteral("PR_VENDITA"), 8.75);
    row.main().set(QStringLiteral("SC_V2"), 2.5);
    const QStringList purchases = rows("LIST_ACQ", "1 = 1");
    const QStringList others =
        rows("LIST_VEN", "NOT (CLIENTE = 7 AND MARCA = 'ACM' AND ARTICOLO = 'A1' AND FORNITORE = 2)");
    EXPECT_EQ(saveSaleRow(context->db, row, loaded->value()).end, WriteEnd::Written);
    EXPECT_EQ(saleFigures(7, 2), "20|8|9.6|8.75");
    EXPECT_EQ(rows("LIST_ACQ", "1 = 1"), purchases);
    EXPECT_EQ(rows("LIST_VEN", "NOT (CLIENTE = 7 AND MARCA = 'ACM' AND ARTICOLO = 'A1' AND FORNITORE = 2)"), others);
    run("DELETE FROM LIST_VEN WHERE CLIENTE = 7 AND FORNITORE = 2");
    ListRow later = row;
    later.main().set(QStringLiteral("PR_VENDITA"), 8.5);
    EXPECT_EQ(saveSaleRow(context->db, later, row).end, WriteEnd::Gone);
    EXPECT_EQ(count("LIST_VEN"), 5);

    const QString path = archives->folder() + QStringLiteral("LISTINI.INI");
    const Services::Settings settings(path);
    EXPECT_EQ(listDecimals(settings), 2);
    const struct {
        const char *value;
        int decimals;
    } cases[] = {{" 0 ", 0}, {"5", 5}, {"7", 5}, {"-1", 0}, {"due", 2}};
    for (const auto &c : cases) {
        ASSERT_TRUE(settings.write(QStringLiteral("ARTICOLI"), QStringLiteral("DECIMALI_PREZZO1"),
                                   QString::fromLatin1(c.value)));
        EXPECT_EQ(listDecimals(Services::Settings(path)), c.decimals) << "'" << c.value << "'";
    }
}

ORLAVO_FOR_EACH_ENGINE(ListRowStoreTest);

} // namespace
