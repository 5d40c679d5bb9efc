#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/discountstore.h"
#include "masterdata/stores/listrowstore.h"
#include "masterdata/stores/pricelookup.h"
#include "masterdatatest.h"
#include "services/core/settings.h"

// The price-list stores: discounts and the list rows their deletion takes,
// a list row's writes and the sale rows a purchase row moves, and the list
// prices a document row reads. The figures' rules are pricerules_test's,
// the generation of whole lists listgeneration_test's.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Brands ACM and BTX; customers 7 and 8 and suppliers 1 and 2 with a
// personal list, customer 10 and supplier 4 with the standard one. Customer
// 7 has discounts for ACM and for every brand (999), customer 8 for every
// brand only; supplier 1 for ACM and 999, supplier 2 for ACM only. Each of
// them, and the standard list, has list rows of item X1 in both brands.
class DiscountStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P'), "
            "(10, 'Dieci', 'S')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P'), "
            "(4, 'Quattro', 'S')");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 5, 0, 0, 20), "
            "(7, '999', 40, 0, 0, 90), (8, '999', 10, 5, 2.5, 30)");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 5, 0), "
            "(1, '999', 50, 0, 0), (2, 'ACM', 20, 10, 5)");
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO) VALUES (1, 'ACM', 'X1'), (2, 'ACM', 'X1'), "
            "(1, 'BTX', 'X1'), (2, 'BTX', 'X1')");
        for (const char *customer : {"7", "8", "99999"})
            run(QStringLiteral(
                    "INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'X1', 1), "
                    "(%1, 'ACM', 'X1', 2), (%1, 'BTX', 'X1', 1), (%1, 'BTX', 'X1', 2)")
                    .arg(QLatin1String(customer)));
    }

    // The keys of the list rows still stored: "supplier|brand" for
    // LIST_ACQ, "customer|brand|supplier" for LIST_VEN.
    QStringList listed(bool sales)
    {
        return Orlavo::Testing::committedRows(*archives, sales ? "SELECT CLIENTE, MARCA, FORNITORE FROM LIST_VEN"
                                                               : "SELECT FORNITORE, MARCA FROM LIST_ACQ");
    }

    DiscountRow row(DiscountSide side, const QString &party, const QString &brand, std::array<const char *, 4> values)
    {
        DiscountRow discounts = newDiscounts(side);
        discounts.main().setText(partyColumn(side), party);
        discounts.main().setText(QStringLiteral("MARCA"), brand);
        const QStringList columns = discountColumns(side);
        for (int i = 0; i < 3; ++i)
            discounts.main().setText(columns.at(i), QString::fromLatin1(values[i]));
        if (side == DiscountSide::Customers)
            discounts.main().setText(QStringLiteral("PERC_RIC"), QString::fromLatin1(values[3]));
        return discounts;
    }

    QStringList problems(const DiscountRow &discounts, bool inserting, const QString &only = {})
    {
        return Orlavo::Testing::problemTexts(checkDiscounts(context->db, discounts, inserting, only));
    }
};

TEST_P(DiscountStoreTest, ChecksRunInTheirOrderWithEachSidesWording)
{
    using enum DiscountSide;
    const DiscountRow wrong = row(Customers, "", "", {"", "101", "-1", "100,5"});
    EXPECT_EQ(problems(wrong, true), (QStringList{"SC_V1:Sconto obbligatorio", "SC_V2:Sconto errato",
                                                  "SC_V3:Sconto errato", "PERC_RIC:Percentuale ricarico errata",
                                                  "MARCA:Marca obbligatoria", "CLIENTE:Cliente obbligatorio"}));
    // The field left alone: its own checks only.
    EXPECT_EQ(problems(wrong, true, "SC_V2"), QStringList{"SC_V2:Sconto errato"});

    const QString duplicate =
        QStringLiteral("Gli sconti per il cliente e la marca selezionati\nsono già presenti in archivio");
    const struct {
        DiscountSide side;
        const char *party, *brand;
        std::array<const char *, 4> values;
        bool inserting;
        QString problem;
    } cases[] = {
        {Customers, "8", "ACM", {"0", "100", "0", "100"}, true, ""},
        {Customers, "8", "acm", {"0", "0", "0", "0"}, true, ""},  // the code as stored
        {Customers, "8", "999", {"0", "0", "0", "0"}, false, ""}, // every brand: in no table
        {Customers, "8", "ZZZ", {"0", "0", "0", "0"}, true, "MARCA:Marca errata"},
        {Customers, "10", "ACM", {"0", "0", "0", "0"}, true, "CLIENTE:Cliente errato"}, // standard list
        {Customers, "7", "ACM", {"1", "0", "0", "0"}, true, "CLIENTE:" + duplicate},
        {Customers, "7", "acm", {"1", "0", "0", "0"}, false, ""}, // the stored pair, changed
        {Customers, "8", "ACM", {"0", "0", "100,01", "0"}, true, "SC_V3:Sconto errato"},
        {Suppliers,
         "",
         "ACM",
         {"0", "", "-5", ""},
         true,
         "SC_A2:Sconto obbligatorio|SC_A3:Sconto errato|FORNITORE:Fornitore obbligatorio"},
        {Suppliers, "4", "ACM", {"0", "0", "0", ""}, true, "FORNITORE:Fornitore errato"},
        {Suppliers, "2", "ACM", {"0", "0", "0", ""}, true, "FORNITORE:" + duplicate},
    };
    for (const auto &c : cases) {
        const QStringList expected = c.problem.isEmpty() ? QStringList{} : c.problem.split(QLatin1Char('|'));
        EXPECT_EQ(
            problems(row(c.side, QString::fromLatin1(c.party), QString::fromLatin1(c.brand), c.values), c.inserting),
            expected)
            << c.party << " " << c.brand;
    }
}

TEST_P(DiscountStoreTest, WritesTakeTheLockAndTellADuplicateOrAPairGone)
{
    using enum DiscountSide;
    const DiscountRow added = row(Customers, "8", "acm", {"12,5", "0", "0", "15"});
    EXPECT_EQ(insertDiscounts(context->db, added).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT SC_V1 FROM TAB_SCONCLI WHERE CLIENTE = 8 AND MARCA = 'ACM'"), "12.5");
    EXPECT_EQ(text("SELECT PERC_RIC FROM TAB_SCONCLI WHERE CLIENTE = 8 AND MARCA = 'ACM'"), "15");
    EXPECT_EQ(insertDiscounts(context->db, added).end, WriteEnd::Duplicate);

    const auto loaded = loadDiscounts(context->db, Customers, 8, " acm ");
    ASSERT_TRUE(loaded && loaded->has_value());
    EXPECT_TRUE(loaded->value().main() == added.main());
    DiscountRow changed = loaded->value();
    changed.main().set(QStringLiteral("SC_V2"), 3.0);
    EXPECT_EQ(updateDiscounts(context->db, changed, loaded->value()).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT SC_V2 FROM TAB_SCONCLI WHERE CLIENTE = 8 AND MARCA = 'ACM'"), "3");
    EXPECT_EQ(updateDiscounts(context->db, changed, changed).end, WriteEnd::NothingChanged);

    // Deleted meanwhile: an update finds it gone and writes nothing.
    run("DELETE FROM TAB_SCONCLI WHERE CLIENTE = 8 AND MARCA = 'ACM'");
    DiscountRow again = changed;
    again.main().set(QStringLiteral("SC_V3"), 1.0);
    EXPECT_EQ(updateDiscounts(context->db, again, changed).end, WriteEnd::Gone);
    EXPECT_EQ(count("TAB_SCONCLI"), 3);

    const Orlavo::Testing::Snapshot before(*archives, {"TAB_SCONCLI", "TAB_SCONFOR", "LIST_ACQ", "LIST_VEN"});
    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    answer();
    EXPECT_EQ(insertDiscounts(context->db, row(Suppliers, "2", "BTX", {"1", "0", "0", ""})).end, WriteEnd::LockHeld);
    EXPECT_EQ(deleteDiscounts(context->db, Suppliers, 1, "999").end, WriteEnd::LockHeld);
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().contains("ANNA"));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(DiscountStoreTest, ACustomersDeleteTakesTheSaleRowsItsDiscountsProduced)
{
    using enum DiscountSide;
    // The 999 row of customer 7 stands for BTX: ACM has its own.
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 7, "999").end, WriteEnd::Written);
    EXPECT_EQ(listed(true), (QStringList{"7|ACM|1", "7|ACM|2", "8|ACM|1", "8|ACM|2", "8|BTX|1", "8|BTX|2",
                                         "99999|ACM|1", "99999|ACM|2", "99999|BTX|1", "99999|BTX|2"}));
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_SCONCLI WHERE CLIENTE = 7 AND MARCA = 'ACM'"), "1");

    // Customer 8 has only its 999 row: every brand goes.
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 8, "999").end, WriteEnd::Written);
    EXPECT_EQ(listed(true),
              (QStringList{"7|ACM|1", "7|ACM|2", "99999|ACM|1", "99999|ACM|2", "99999|BTX|1", "99999|BTX|2"}));
    EXPECT_EQ(count("TAB_SCONCLI"), 1);
    // Purchase rows are the suppliers'.
    EXPECT_EQ(listed(false), (QStringList{"1|ACM", "1|BTX", "2|ACM", "2|BTX"}));

    // A pair not stored: Gone, and its rows stay.
    run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (8, 'BTX', 'X1', 1)");
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 8, "BTX").end, WriteEnd::Gone);
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN WHERE CLIENTE = 8"), "1");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(DiscountStoreTest, ASuppliersDeleteTakesItsPurchaseRowsAndTheSaleRowsNamingIt)
{
    using enum DiscountSide;
    // Supplier 1's 999 row stands for BTX, for every customer.
    EXPECT_EQ(deleteDiscounts(context->db, Suppliers, 1, "999").end, WriteEnd::Written);
    EXPECT_EQ(listed(false), (QStringList{"1|ACM", "2|ACM", "2|BTX"}));
    EXPECT_EQ(listed(true), (QStringList{"7|ACM|1", "7|ACM|2", "7|BTX|2", "8|ACM|1", "8|ACM|2", "8|BTX|2",
                                         "99999|ACM|1", "99999|ACM|2", "99999|BTX|2"}));

    // Supplier 2's ACM row: its ACM rows, the others stay.
    EXPECT_EQ(deleteDiscounts(context->db, Suppliers, 2, "ACM").end, WriteEnd::Written);
    EXPECT_EQ(listed(false), (QStringList{"1|ACM", "2|BTX"}));
    EXPECT_EQ(listed(true), (QStringList{"7|ACM|1", "7|BTX|2", "8|ACM|1", "8|BTX|2", "99999|ACM|1", "99999|BTX|2"}));
    EXPECT_EQ(text("SELECT FORNITORE || MARCA FROM TAB_SCONFOR"), "1ACM");
    // Customers' discounts are theirs.
    EXPECT_EQ(count("TAB_SCONCLI"), 3);
}

ORLAVO_FOR_EACH_ENGINE(DiscountStoreTest);

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
    // The refusal's wording is the window's test (pricelistwindows_test).
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

// A list row as the document row reads it, every figure in its place.
QString described(const ListPrice &p)
{
    const auto n = [](double v) { return QString::number(v, 'g', 12); };
    return QStringLiteral("%1 '%2'%3 %4 %5/%6/%7 %8 fisso %9 acq %10/%11/%12 %13 ric %14 %15")
        .arg(p.supplier)
        .arg(p.supplierName, p.standard ? QStringLiteral(" base") : QString())
        .arg(n(p.listPrice), n(p.sale[0]), n(p.sale[1]), n(p.sale[2]), n(p.salePrice), n(p.fixedPrice))
        .arg(n(p.purchase[0]), n(p.purchase[1]), n(p.purchase[2]), n(p.purchasePrice), n(p.markup), n(p.markedUpPrice));
}

// Customer 7 has rows of ACM A1 from suppliers 2 and 1; customer 8 of A3
// only; the standard list has A1 from supplier 1 and from 99999 (no
// register row) and A2 from supplier 1; customer 7 has A2 of brand BTX,
// not ACM.
class PriceLookupTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno Srl  ', 'P'), (2, 'Due Spa', "
            "'P')");
        const char *insert =
            "INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, SC_V2, SC_V3, "
            "PR_VENDITA, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, PERC_RIC, PR_RICARICATO, PR_VENFISSO) "
            "VALUES (%1, '%2', '%3', %4, %5, 1, 2, 3, 94.1, 4, 5, 6, 85.5, 7, 91.49, 99.9)";
        const struct {
            int customer;
            const char *brand, *item;
            int supplier;
            double list;
        } rows[] = {
            {7, "ACM", "A1", 2, 102},     {7, "ACM", "A1", 1, 101},     {99999, "ACM", "A1", 99999, 109},
            {99999, "ACM", "A1", 1, 108}, {99999, "ACM", "A2", 1, 208}, {8, "ACM", "A3", 1, 301},
            {7, "BTX", "A2", 1, 207},
        };
        for (const auto &r : rows)
            run(QString::fromLatin1(insert)
                    .arg(r.customer)
                    .arg(QLatin1String(r.brand), QLatin1String(r.item))
                    .arg(r.supplier)
                    .arg(r.list));
    }

    // The source and the rows' suppliers and list prices.
    QString found(int customer, const char *brand, const char *item, const char *type = "FAT", bool own = false)
    {
        const auto lookup = lookupListPrices(context->db, customer, QString::fromLatin1(brand),
                                             QString::fromLatin1(item), QString::fromLatin1(type), own);
        if (!lookup)
            return QStringLiteral("failed: ") + lookup.failure().detail;
        QStringList texts{QString::number(int(lookup->source))};
        for (const ListPrice &p : lookup->rows)
            texts << QStringLiteral("%1:%2%3").arg(p.supplier).arg(p.listPrice).arg(p.standard ? "b" : "");
        return texts.join(QLatin1Char(' '));
    }
};

TEST_P(PriceLookupTest, TheCustomersRowsComeFirstThenTheStandardListThenTheItem)
{
    const QString customer = QString::number(int(PriceSource::CustomerList));
    const QString standard = QString::number(int(PriceSource::StandardList));
    const QString item = QString::number(int(PriceSource::Item));
    const struct {
        int customer;
        const char *brand, *item, *type;
        bool own;
        QString rows;
    } cases[] = {
        // In supplier order, whatever order they were written in.
        {7, "ACM", "A1", "FAT", false, customer + " 1:101 2:102"},
        {7, "acm", " a1 ", "DDT", false, customer + " 1:101 2:102"},
        {8, "ACM", "A1", "FAT", false, standard + " 1:108b 99999:109b"},
        // Brand and item both count: BTX A2 is not ACM A2.
        {7, "ACM", "A2", "FAT", false, standard + " 1:208b"},
        {8, "ACM", "A4", "FAT", false, item},
        // Receipts never read the lists (the rule's other cases are its own test).
        {7, "ACM", "A1", "vfr ", false, item},
    };
    for (const auto &c : cases)
        EXPECT_EQ(found(c.customer, c.brand, c.item, c.type, c.own), c.rows)
            << c.customer << " " << c.brand << " " << c.item << " '" << c.type << "'";
}

TEST_P(PriceLookupTest, ARowCarriesEveryFigureAndTheSuppliersName)
{
    const auto own = lookupListPrices(context->db, 7, "ACM", "A1", "FAT", false);
    ASSERT_TRUE(own);
    ASSERT_EQ(own->rows.size(), 2);
    EXPECT_EQ(described(own->rows.at(0)), "1 'Uno Srl' 101 1/2/3 94.1 fisso 99.9 acq 4/5/6 85.5 ric 7 91.49");
    const auto standard = lookupListPrices(context->db, 8, "ACM", "A1", "FAT", false);
    ASSERT_TRUE(standard);
    ASSERT_EQ(standard->rows.size(), 2);
    EXPECT_EQ(described(standard->rows.at(1)), "99999 '' base 109 1/2/3 94.1 fisso 99.9 acq 4/5/6 85.5 ric 7 91.49");
}

ORLAVO_FOR_EACH_ENGINE(PriceLookupTest);

} // namespace
