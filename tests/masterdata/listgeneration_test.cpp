#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/listgeneration.h"
#include "masterdata/stores/pricelists.h"
#include "masterdatatest.h"
#include "services/core/values.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using End = GenerationResult::End;

namespace {

constexpr int kItems = 50;
constexpr int kDecimals = 2;

// An item's figures the lists take, kept here to work out what each row
// must hold without the code under test.
struct TestItem {
    QString warehouse, brand, code;
    double list = 0, purchaseFixed = 0;
    Discounts purchase{};
    double purchaseNet = 0, saleFixed = 0;
    Discounts sale{};
    double markup = 0, saleNet = 0, markedUp = 0;
};

// Figures with cents, halves and discounts that make the cascade round.
TestItem itemNo(int i)
{
    return {QStringLiteral("01"),
            QStringLiteral("ACM"),
            QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')),
            1.99 + i * 3.37,
            0.5 * i + 0.25,
            {double(i % 4 * 5), i % 3 * 2.5, i % 5 == 0 ? 33.33 : 0.0},
            0.75 * i,
            2.0 * i + 0.1,
            {double(i % 5 * 3), 0, i % 2 * 1.5},
            double(10 + i % 7 * 5),
            1.5 * i,
            1.25 * i};
}

// The rules, written out: three discounts in cascade rounded once; the
// markup on the purchase price.
double cascade(double price, const Discounts &discounts)
{
    double p = price;
    for (const double d : discounts)
        p -= p * d / 100;
    return Services::roundDec(p, kDecimals);
}

double marked(double price, double markup)
{
    return Services::roundDec(price + price * markup / 100, kDecimals);
}

QString figures(std::initializer_list<double> values)
{
    QStringList texts;
    for (const double v : values)
        texts << QString::number(v, 'g', 12);
    return texts.join(QLatin1Char('|'));
}

// The discount rows of brand ACM and of brand 999. Supplier 1 has both (its
// own wins), supplier 2 only the 999 row; customer 7 both, customer 8 only
// the 999 row, customer 9 none (the item's own discounts and markup).
struct SaleDiscounts {
    Discounts discounts;
    double markup;
};
const QHash<int, Discounts> kSupplierBrand{{1, {10, 5, 0}}};
const QHash<int, Discounts> kSupplierStandard{{1, {50, 0, 0}}, {2, {20, 10, 5}}};
const QHash<int, SaleDiscounts> kCustomerBrand{{7, {{5, 0, 0}, 20}}};
const QHash<int, SaleDiscounts> kCustomerStandard{{7, {{40, 0, 0}, 90}}, {8, {{10, 5, 2.5}, 30}}};

class ListGenerationTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P'), "
            "(3, 'Tre', 'P'), (4, 'Quattro', 'S')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P'), "
            "(9, 'Nove', 'P'), (10, 'Dieci', 'S')");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 5, 0), "
            "(1, '999', 50, 0, 0), (2, '999', 20, 10, 5)");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES "
            "(7, 'ACM', 5, 0, 0, 20), (7, '999', 40, 0, 0, 90), (8, '999', 10, 5, 2.5, 30)");
        QList<TestItem> items;
        for (int i = 1; i <= kItems; ++i)
            items << itemNo(i);
        addItems(items);
        // Rows of another brand, and rows of an item no longer there: a
        // supplier's generation drops its own, nobody else's.
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO) VALUES (1, 'BTX', 'B01', 4), "
            "(3, 'BTX', 'B01', 4), (1, 'ACM', 'OLD', 1)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO) VALUES (7, 'BTX', 'B01', 1, 4), "
            "(7, 'ACM', 'OLD', 1, 1), (7, 'ACM', 'OLD', 3, 1)");
    }

    // The items in one transaction.
    void addItems(const QList<TestItem> &items)
    {
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        for (const TestItem &item : items)
            unit.execCompany(
                QStringLiteral("Prova"),
                QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST, "
                               "PREZZO_ACQ, SC_A1, SC_A2, SC_A3, PREZZO_ASC, PREZZO_V1, SC_V1, SC_V2, SC_V3, "
                               "PERC_RIC, PREZZO_VSC, PREZZO_RIC) "
                               "VALUES (?, ?, ?, 'Prova', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {item.warehouse, item.brand, item.code, item.list, item.purchaseFixed, item.purchase[0],
                 item.purchase[1], item.purchase[2], item.purchaseNet, item.saleFixed, item.sale[0], item.sale[1],
                 item.sale[2], item.markup, item.saleNet, item.markedUp});
        ASSERT_TRUE(unit.commit()) << context->db.error().description.toStdString();
    }

    GenerationResult purchase(int supplier, const GenerationProgress &progress = {}, const QString &brand = "ACM",
                              const QString &warehouse = "01")
    {
        return generatePurchaseList(context->db, {supplier, 0, brand, warehouse, kDecimals}, progress);
    }

    GenerationResult sale(int customer, int supplier, const GenerationProgress &progress = {},
                          const QString &brand = "ACM", const QString &warehouse = "01")
    {
        return generateSaleList(context->db, {customer, supplier, brand, warehouse, kDecimals}, progress);
    }

    void expectDone(const GenerationResult &result, qint64 rows)
    {
        EXPECT_EQ(result.end, End::Done) << result.message.toStdString() << prompter.texts().join('|').toStdString();
        EXPECT_EQ(result.rows, rows);
    }

    QStringList stored(const QString &sql) { return Orlavo::Testing::committedRows(*archives, sql); }

    QStringList purchaseRows(const QString &brand = "ACM")
    {
        return stored(QStringLiteral("SELECT FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, "
                                     "PR_ACQFISSO FROM LIST_ACQ WHERE MARCA = '%1'")
                          .arg(brand));
    }

    QStringList saleRows(const QString &brand = "ACM")
    {
        return stored(QStringLiteral("SELECT CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, SC_V2, SC_V3, "
                                     "PR_VENDITA, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, PERC_RIC, PR_RICARICATO, "
                                     "PR_VENFISSO FROM LIST_VEN WHERE MARCA = '%1'")
                          .arg(brand));
    }

    // Makes the engine refuse the insert of one code into a table, so a
    // generation fails after it has written the rows before it.
    void refuseInsertOf(const char *table, const char *code)
    {
        if (GetParam() == Services::Engine::Sqlite) {
            run(QStringLiteral("CREATE TRIGGER nega_%1 BEFORE INSERT ON %1 WHEN NEW.ARTICOLO = '%2' "
                               "BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END")
                    .arg(QLatin1String(table), QLatin1String(code)));
            return;
        }
        run(QStringLiteral("CREATE OR REPLACE FUNCTION nega_%1() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION 'scrittura bloccata'; END $$")
                .arg(QLatin1String(table)));
        run(QStringLiteral("CREATE TRIGGER nega_%1 BEFORE INSERT ON %1 FOR EACH ROW WHEN (NEW.ARTICOLO = '%2') "
                           "EXECUTE FUNCTION nega_%1()")
                .arg(QLatin1String(table), QLatin1String(code)));
    }
};

// What the rules give supplier `s` for an item: its ACM row, else its 999
// row, else the item's discounts; the standard list copies the item.
QString expectedPurchase(int s, const TestItem &item)
{
    if (s == kStandardParty)
        return QStringLiteral("%1|%2|%3|").arg(s).arg(item.brand, item.code) +
               figures({item.list, item.purchase[0], item.purchase[1], item.purchase[2], item.purchaseNet,
                        item.purchaseFixed});
    const Discounts d = kSupplierBrand.value(s, kSupplierStandard.value(s, item.purchase));
    return QStringLiteral("%1|%2|%3|").arg(s).arg(item.brand, item.code) +
           figures({item.list, d[0], d[1], d[2], cascade(item.list, d), item.purchaseFixed});
}

// Customer `c`'s row from supplier `s`: purchase figures as that supplier's
// row has them (the cascade worked out above, or the standard list's).
QString expectedSale(int c, int s, const TestItem &item)
{
    const Discounts a =
        s == kStandardParty ? item.purchase : kSupplierBrand.value(s, kSupplierStandard.value(s, item.purchase));
    const double purchasePrice = s == kStandardParty ? item.purchaseNet : cascade(item.list, a);
    const QString key = QStringLiteral("%1|%2|%3|%4|").arg(c).arg(item.brand, item.code).arg(s);
    if (c == kStandardParty)
        return key + figures({item.list, item.sale[0], item.sale[1], item.sale[2], item.saleNet, a[0], a[1], a[2],
                              purchasePrice, item.markup, item.markedUp, item.saleFixed});
    const SaleDiscounts v = kCustomerBrand.value(c, kCustomerStandard.value(c, {item.sale, item.markup}));
    return key + figures({item.list, v.discounts[0], v.discounts[1], v.discounts[2], cascade(item.list, v.discounts),
                          a[0], a[1], a[2], purchasePrice, v.markup, marked(purchasePrice, v.markup), item.saleFixed});
}

TEST_P(ListGenerationTest, EveryRowFollowsTheRulesAndASecondRunWritesTheSameRows)
{
    const auto generateAll = [&] {
        for (const int s : {1, 2, kStandardParty})
            expectDone(purchase(s), kItems);
        for (const int c : {7, 8, 9})
            for (const int s : {1, 2})
                expectDone(sale(c, s), kItems);
        // The standard list takes every supplier's rows of the brand.
        expectDone(sale(kStandardParty, 0), 3 * kItems);
    };
    generateAll();
    EXPECT_EQ(count("SEMAFORO"), 0);

    QStringList purchases, sales;
    for (int i = 1; i <= kItems; ++i) {
        const TestItem item = itemNo(i);
        for (const int s : {1, 2, kStandardParty}) {
            purchases << expectedPurchase(s, item);
            sales << expectedSale(kStandardParty, s, item);
        }
        for (const int c : {7, 8, 9})
            for (const int s : {1, 2})
                sales << expectedSale(c, s, item);
    }
    // Customer 7's row from supplier 3 was not generated again: it stays.
    sales << QStringLiteral("7|ACM|OLD|3|") + figures({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    purchases.sort();
    sales.sort();
    EXPECT_EQ(purchaseRows(), purchases);
    // Supplier 2 and customer 8, with only a 999 row, are among them.
    EXPECT_EQ(saleRows(), sales);
    // The other brand's rows are untouched.
    EXPECT_EQ(purchaseRows("BTX"), (QStringList{"1|BTX|B01|4|0|0|0|0|0", "3|BTX|B01|4|0|0|0|0|0"}));
    EXPECT_EQ(saleRows("BTX").size(), 1);

    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN"});
    generateAll();
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(ListGenerationTest, AFailureHalfWayAndAnnullaLeaveTheListsAsTheyWere)
{
    expectDone(purchase(1), kItems);
    expectDone(sale(7, 1), kItems);
    // New prices: a generation that went through would change every row.
    run("UPDATE ARTICOLI SET PREZZO_LIST = PREZZO_LIST + 1, PREZZO_V1 = PREZZO_V1 + 1");
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN"});

    // Annulla after the first chunk: what it wrote and deleted goes back.
    int told = 0;
    const GenerationProgress cancelLater = [&](const QString &, qint64, qint64) { return ++told < 2; };
    GenerationResult cancelled = purchase(1, cancelLater);
    EXPECT_EQ(cancelled.end, End::Cancelled);
    EXPECT_EQ(cancelled.rows, 0);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    told = 0;
    EXPECT_EQ(sale(7, 1, cancelLater).end, End::Cancelled);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // An insert refused half-way: the old rows are back, none of the new.
    refuseInsertOf("LIST_VEN", "A25");
    answer();
    EXPECT_EQ(sale(7, 1).end, End::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Insert list vend")) << prompter.texts().join('|').toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);
    refuseInsertOf("LIST_ACQ", "A25");
    EXPECT_EQ(purchase(1).end, End::Failed);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(count("SEMAFORO"), 0);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(ListGenerationTest, RefusalsAndALockHeldElsewhereWriteNothing)
{
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN"});
    answer();
    const struct {
        GenerationResult result;
        QString message;
    } refusals[] = {
        {purchase(4), "Fornitore errato"}, // a standard-list supplier
        {sale(10, 1), "Cliente errato"},   // a standard-list customer
        // Supplier 3 has purchase rows of another brand only; customer 7's
        // row from it stays.
        {sale(7, 3), missingPurchaseListMessage("ACM", 3)},
    };
    for (const auto &r : refusals) {
        EXPECT_EQ(r.result.end, End::Refused) << r.message.toStdString();
        EXPECT_EQ(r.result.message, r.message);
    }
    EXPECT_EQ(missingPurchaseListMessage("ACM", 3),
              "Manca listino ACQUISTO per la marca ACM ed il fornitore  3\nGenerare il listino l'ACQUISTO quindi "
              "riprovare");
    // The window tells the refusal; the store shows nothing.
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(count("SEMAFORO"), 0);

    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    EXPECT_EQ(purchase(1).end, End::LockHeld);
    EXPECT_EQ(sale(7, 1).end, End::LockHeld);
    ASSERT_FALSE(prompter.texts().isEmpty());
    EXPECT_TRUE(prompter.texts().last().contains("ANNA")) << prompter.texts().last().toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(text("SELECT UTENTE FROM SEMAFORO WHERE AREA = 'TUTTO'"), "ANNA");
}

// An item kept in two warehouses gives one row, from the request's
// warehouse, else from the lowest it is in. Codes L01980 to L02020 are in
// 05 and 02, the others in 05 only; there are more rows than one read
// takes, so the code read last goes on into the next read.
TEST_P(ListGenerationTest, AnItemInTwoWarehousesGivesOneRowAlsoAcrossReads)
{
    constexpr int kLong = 2300;
    const auto twice = [](int i) { return i >= 1980 && i <= 2020; };
    {
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        const QString insert = QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, PREZZO_LIST, "
                                              "PREZZO_V1) VALUES (?, 'BTX', ?, ?, ?)");
        for (int i = 1; i <= kLong; ++i) {
            const QString code = QStringLiteral("L%1").arg(i, 5, 10, QLatin1Char('0'));
            unit.execCompany(QStringLiteral("Prova"), insert, {QStringLiteral("05"), code, i, 1});
            if (twice(i))
                unit.execCompany(QStringLiteral("Prova"), insert, {QStringLiteral("02"), code, i + 0.5, 2});
        }
        ASSERT_TRUE(unit.commit()) << context->db.error().description.toStdString();
    }
    run("DELETE FROM LIST_ACQ WHERE MARCA = 'BTX'");
    run("DELETE FROM LIST_VEN WHERE MARCA = 'BTX'");
    const auto expected = [&](bool lowest) {
        QStringList rows;
        for (int i = 1; i <= kLong; ++i)
            rows << QStringLiteral("L%1|").arg(i, 5, 10, QLatin1Char('0')) +
                        QString::number(lowest && twice(i) ? i + 0.5 : double(i), 'g', 12);
        return rows;
    };
    const QString listed = "SELECT ARTICOLO, PR_LISTINO FROM LIST_ACQ WHERE MARCA = 'BTX' AND FORNITORE = 1";
    expectDone(purchase(1, {}, "BTX", "05"), kLong);
    EXPECT_EQ(stored(listed), expected(false));
    // A warehouse holding none of them: the lowest each code is in.
    expectDone(purchase(1, {}, "BTX", "09"), kLong);
    EXPECT_EQ(stored(listed), expected(true));
    expectDone(sale(7, 1, {}, "BTX", "09"), kLong);
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN WHERE MARCA = 'BTX' AND PR_VENFISSO = 2"), "41");
}

ORLAVO_FOR_EACH_ENGINE(ListGenerationTest);

} // namespace
