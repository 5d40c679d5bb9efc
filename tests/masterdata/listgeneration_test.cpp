#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/listgeneration.h"
#include "masterdata/stores/pricelists.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using End = GenerationResult::End;

namespace {

constexpr int kItems = 2;
constexpr int kDecimals = 2;

// The discount rows of brand ACM and of brand 999. Supplier 1 has both (its
// own wins), supplier 2 only the 999 row; customer 7 both, customer 8 only
// the 999 row, customer 9 none (the item's own discounts and markup). Items
// A03 and A05 with cents and discounts that make the cascade round.
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
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST, PREZZO_ACQ, SC_A1, SC_A2, SC_A3, "
            "PREZZO_ASC, PREZZO_V1, SC_V1, SC_V2, SC_V3, PERC_RIC, PREZZO_VSC, PREZZO_RIC) VALUES "
            "('01', 'ACM', 'A03', 'Prova', 12.1, 1.75, 15, 0, 0, 2.25, 6.1, 9, 0, 1.5, 25, 4.5, 3.75), "
            "('01', 'ACM', 'A05', 'Prova', 18.84, 2.75, 5, 5, 33.33, 3.75, 10.1, 0, 0, 1.5, 35, 7.5, 6.25)");
        // Rows of another brand, and rows of an item no longer there: a
        // supplier's generation drops its own, nobody else's.
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO) VALUES (1, 'BTX', 'B01', 4), "
            "(3, 'BTX', 'B01', 4), (1, 'ACM', 'OLD', 1)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO) VALUES (7, 'BTX', 'B01', 1, 4), "
            "(7, 'ACM', 'OLD', 1, 1), (7, 'ACM', 'OLD', 3, 1)");
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
};

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

    // Worked out by hand: supplier 1's ACM row 10/5/0, supplier 2's 999 row
    // 20/10/5, the standard list the item's own; customer 7's ACM row 5 %
    // with 20 % markup, customer 8's 999 row 10/5/2,5 with 30 %, customer 9
    // the item's; the markup on the rounded purchase price.
    EXPECT_EQ(purchaseRows(), (QStringList{
                                  "1|ACM|A03|12.1|10|5|0|10.35|1.75",
                                  "1|ACM|A05|18.84|10|5|0|16.11|2.75",
                                  "2|ACM|A03|12.1|20|10|5|8.28|1.75",
                                  "2|ACM|A05|18.84|20|10|5|12.89|2.75",
                                  "99999|ACM|A03|12.1|15|0|0|2.25|1.75",
                                  "99999|ACM|A05|18.84|5|5|33.33|3.75|2.75",
                              }));
    EXPECT_EQ(saleRows(), (QStringList{
                              "7|ACM|A03|1|12.1|5|0|0|11.5|10|5|0|10.35|20|12.42|6.1",
                              "7|ACM|A03|2|12.1|5|0|0|11.5|20|10|5|8.28|20|9.94|6.1",
                              "7|ACM|A05|1|18.84|5|0|0|17.9|10|5|0|16.11|20|19.33|10.1",
                              "7|ACM|A05|2|18.84|5|0|0|17.9|20|10|5|12.89|20|15.47|10.1",
                              // Customer 7's row from supplier 3 was not generated again: it stays.
                              "7|ACM|OLD|3|1|0|0|0|0|0|0|0|0|0|0|0",
                              "8|ACM|A03|1|12.1|10|5|2.5|10.09|10|5|0|10.35|30|13.46|6.1",
                              "8|ACM|A03|2|12.1|10|5|2.5|10.09|20|10|5|8.28|30|10.76|6.1",
                              "8|ACM|A05|1|18.84|10|5|2.5|15.71|10|5|0|16.11|30|20.94|10.1",
                              "8|ACM|A05|2|18.84|10|5|2.5|15.71|20|10|5|12.89|30|16.76|10.1",
                              "99999|ACM|A03|1|12.1|9|0|1.5|4.5|10|5|0|10.35|25|3.75|6.1",
                              "99999|ACM|A03|2|12.1|9|0|1.5|4.5|20|10|5|8.28|25|3.75|6.1",
                              "99999|ACM|A03|99999|12.1|9|0|1.5|4.5|15|0|0|2.25|25|3.75|6.1",
                              "99999|ACM|A05|1|18.84|0|0|1.5|7.5|10|5|0|16.11|35|6.25|10.1",
                              "99999|ACM|A05|2|18.84|0|0|1.5|7.5|20|10|5|12.89|35|6.25|10.1",
                              "99999|ACM|A05|99999|18.84|0|0|1.5|7.5|5|5|33.33|3.75|35|6.25|10.1",
                              "9|ACM|A03|1|12.1|9|0|1.5|10.85|10|5|0|10.35|25|12.94|6.1",
                              "9|ACM|A03|2|12.1|9|0|1.5|10.85|20|10|5|8.28|25|10.35|6.1",
                              "9|ACM|A05|1|18.84|0|0|1.5|18.56|10|5|0|16.11|35|21.75|10.1",
                              "9|ACM|A05|2|18.84|0|0|1.5|18.56|20|10|5|12.89|35|17.4|10.1",
                          }));
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
    const auto refuseA05 = [this](const char *table) {
        ASSERT_EQ(Orlavo::Testing::refuseInserts(context->db.connection(), GetParam(), table, "NEW.ARTICOLO = 'A05'"),
                  QString());
    };
    refuseA05("LIST_VEN");
    answer();
    EXPECT_EQ(sale(7, 1).end, End::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Insert list vend")) << prompter.texts().join('|').toStdString();
    Orlavo::Testing::expectNothingWritten(before, context->db);
    refuseA05("LIST_ACQ");
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
