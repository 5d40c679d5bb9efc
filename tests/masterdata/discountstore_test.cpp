#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/discountstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

const QStringList kBrands{"ACM", "BTX", "CDX"};
const QList<int> kListCustomers{7, 8, 99999};
const QList<int> kListSuppliers{1, 2};

// Brands ACM, BTX and CDX; customers 7 and 8 and suppliers 1 and 2 with a
// personal list, customer 10 and supplier 4 with the standard one. Customer
// 7 has discounts for ACM and for every brand (999), customer 8 for every
// brand only; supplier 1 for ACM and 999, supplier 2 for ACM only. Every
// one of them has list rows of item X1 in every brand.
class DiscountStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax'), ('CDX', 'Cedax')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P'), "
            "(10, 'Dieci', 'S')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P'), "
            "(4, 'Quattro', 'S')");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 5, 0, 0, 20), "
            "(7, '999', 40, 0, 0, 90), (8, '999', 10, 5, 2.5, 30)");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 5, 0), "
            "(1, '999', 50, 0, 0), (2, 'ACM', 20, 10, 5)");
        for (const QString &brand : kBrands) {
            for (const int s : kListSuppliers) {
                run(QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO) VALUES (%1, '%2', 'X1')")
                        .arg(s)
                        .arg(brand));
                for (const int c : kListCustomers)
                    run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) "
                                       "VALUES (%1, '%2', 'X1', %3)")
                            .arg(c)
                            .arg(brand)
                            .arg(s));
            }
        }
    }

    // The keys of the list rows still stored: "supplier|brand" for
    // LIST_ACQ, "customer|brand|supplier" for LIST_VEN.
    QStringList listed(bool sales)
    {
        return Orlavo::Testing::committedRows(*archives, sales ? "SELECT CLIENTE, MARCA, FORNITORE FROM LIST_VEN"
                                                               : "SELECT FORNITORE, MARCA FROM LIST_ACQ");
    }

    // The seeded rows less those a predicate on (customer, brand, supplier) drops.
    static QStringList seededSales(const std::function<bool(int, const QString &, int)> &dropped)
    {
        QStringList keys;
        for (const int c : kListCustomers)
            for (const QString &brand : kBrands)
                for (const int s : kListSuppliers)
                    if (!dropped(c, brand, s))
                        keys << QStringLiteral("%1|%2|%3").arg(c).arg(brand).arg(s);
        keys.sort();
        return keys;
    }
    static QStringList seededPurchases(const std::function<bool(const QString &, int)> &dropped)
    {
        QStringList keys;
        for (const int s : kListSuppliers)
            for (const QString &brand : kBrands)
                if (!dropped(brand, s))
                    keys << QStringLiteral("%1|%2").arg(s).arg(brand);
        keys.sort();
        return keys;
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
        QStringList found;
        for (const Services::FieldProblem &p : checkDiscounts(context->db, discounts, inserting, only))
            found << p.column + QLatin1Char(':') + p.message;
        return found;
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
    // The 999 row of customer 7 stands for BTX and CDX: ACM has its own.
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 7, "999").end, WriteEnd::Written);
    const auto gone7 = [](int c, const QString &brand, int) { return c == 7 && brand != "ACM"; };
    EXPECT_EQ(listed(true), seededSales(gone7));
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_SCONCLI WHERE CLIENTE = 7 AND MARCA = 'ACM'"), "1");

    // Customer 8 has only its 999 row: every brand goes.
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 8, "999").end, WriteEnd::Written);
    EXPECT_EQ(listed(true),
              seededSales([&](int c, const QString &brand, int s) { return c == 8 || gone7(c, brand, s); }));
    EXPECT_EQ(count("TAB_SCONCLI"), 1);
    // Purchase rows are the suppliers'.
    EXPECT_EQ(listed(false), seededPurchases([](const QString &, int) { return false; }));

    // A pair not stored: Gone, and its rows stay.
    run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (8, 'BTX', 'X1', 1)");
    EXPECT_EQ(deleteDiscounts(context->db, Customers, 8, "BTX").end, WriteEnd::Gone);
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN WHERE CLIENTE = 8"), "1");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(DiscountStoreTest, ASuppliersDeleteTakesItsPurchaseRowsAndTheSaleRowsNamingIt)
{
    using enum DiscountSide;
    // Supplier 1's 999 row stands for BTX and CDX, for every customer.
    EXPECT_EQ(deleteDiscounts(context->db, Suppliers, 1, "999").end, WriteEnd::Written);
    const auto standardGone = [](const QString &brand, int s) { return s == 1 && brand != "ACM"; };
    EXPECT_EQ(listed(false), seededPurchases(standardGone));
    EXPECT_EQ(listed(true), seededSales([&](int, const QString &brand, int s) { return standardGone(brand, s); }));

    // Supplier 2's ACM row: its ACM rows, the others stay.
    EXPECT_EQ(deleteDiscounts(context->db, Suppliers, 2, "ACM").end, WriteEnd::Written);
    const auto gone = [&](const QString &brand, int s) { return standardGone(brand, s) || (s == 2 && brand == "ACM"); };
    EXPECT_EQ(listed(false), seededPurchases(gone));
    EXPECT_EQ(listed(true), seededSales([&](int, const QString &brand, int s) { return gone(brand, s); }));
    EXPECT_EQ(text("SELECT FORNITORE || MARCA FROM TAB_SCONFOR"), "1ACM");
    // Customers' discounts are theirs.
    EXPECT_EQ(count("TAB_SCONCLI"), 3);
}

ORLAVO_FOR_EACH_ENGINE(DiscountStoreTest);

} // namespace
