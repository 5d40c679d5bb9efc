#include "archives.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movemententry.h"
#include "warehouse/stores/movementstore.h"

#include <QFile>
#include <QProcess>

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Services::Row;
using Services::WriteEnd;

namespace {

class MovementStoreTest : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(Services::Counters::insertFirstYearCounters(unit, QStringLiteral("2026"), false));
        for (const char *code : {"VITE", "DADO"})
            ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"),
                                         QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, ESISTENZA, "
                                                        "PREZZO_LIST, NUM_DEC) VALUES ('01', 'ABC', ?, 12, 10, 2)"),
                                         {QString::fromLatin1(code)}));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"),
                                     QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO) "
                                                    "VALUES (34, 'ABC', 'VITE', 10)")));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"),
                                     QStringLiteral("INSERT INTO TAB_CAU_MAG (CODICE, PMA) VALUES ('C10', -1)")));
        ASSERT_TRUE(unit.commit());
    }

    Row movement(const char *causal, double quantity, double price, const char *item = "VITE")
    {
        Row m(movementTable());
        m.set(QStringLiteral("ANNO"), QStringLiteral("2026"));
        m.set(QStringLiteral("DATA_REG"), QDate(2026, 4, 1));
        m.set(QStringLiteral("MAGAZZINO"), QStringLiteral("01"));
        m.set(QStringLiteral("MARCA"), QStringLiteral("ABC"));
        m.set(QStringLiteral("ARTICOLO"), QString::fromLatin1(item));
        m.set(QStringLiteral("CAUSALE"), QString::fromLatin1(causal));
        m.set(QStringLiteral("QUANTITA"), quantity);
        m.set(QStringLiteral("PREZZO"), price);
        m.set(QStringLiteral("NDEC"), 2);
        m.set(QStringLiteral("SCONTO1"), 10);
        m.set(QStringLiteral("SCONTO2"), 5);
        m.set(QStringLiteral("FORNITORE"), 34);
        return m;
    }

    PriceUpdates prices()
    {
        PriceUpdates p;
        p.listPrice = true;
        return p;
    }

    // ESISTENZA, CARICO_F, VAL_CARICO, ULT_COSTOA, PREZZO_MEDA, PREZZO_LIST of an item.
    QList<double> item(const char *code)
    {
        const auto rows = Testing::Workstation(archives->config())
                              .rows(QStringLiteral("SELECT ESISTENZA, CARICO_F, VAL_CARICO, ULT_COSTOA, PREZZO_MEDA, "
                                                   "PREZZO_LIST FROM ARTICOLI WHERE ARTICOLO = ?"),
                                    {QString::fromLatin1(code)});
        QList<double> figures;
        for (int i = 0; i < 6; ++i)
            figures << rows->at(0).at(i).toDouble();
        return figures;
    }

    double listPrice()
    {
        return archives->scalar(QStringLiteral("SELECT PR_LISTINO FROM LIST_ACQ WHERE ARTICOLO = 'VITE'")).toDouble();
    }
};

} // namespace

TEST_P(MovementStoreTest, ALoadMovesItsItemPricesAndLists)
{
    const Services::WriteResult first = insertMovement(*db, movement("C10", 3, 10), prices());
    ASSERT_EQ(first.end, WriteEnd::Written);
    EXPECT_EQ(first.code, 1);
    // 3 × 10 less 10 and 5 = 25,65; the net price 8,55 is the last cost.
    EXPECT_EQ(item("VITE"), (QList<double>{15, 3, 25.65, 8.55, 8.55, 10}));
    ASSERT_EQ(insertMovement(*db, movement("C10", 7, 20), prices()).code, 2);
    // Average of the loads: (25,65 + 119,70) / 10.
    EXPECT_EQ(item("VITE"), (QList<double>{22, 10, 145.35, 17.1, 14.54, 20}));
    EXPECT_DOUBLE_EQ(listPrice(), 20);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'MOVMAG'")).toInt(), 2);
}

TEST_P(MovementStoreTest, ChangingTheItemRestoresTheOldOne)
{
    const Row before = movement("S10", 5, 10);
    ASSERT_EQ(insertMovement(*db, before, prices()).end, WriteEnd::Written);
    const Row stored = readMovement(*db, QStringLiteral("2026"), 1).value().value();
    EXPECT_DOUBLE_EQ(item("VITE")[0], 7);
    Row after = stored;
    after.set(QStringLiteral("ARTICOLO"), QStringLiteral("DADO"));
    after.set(QStringLiteral("QUANTITA"), 3);
    ASSERT_EQ(updateMovement(*db, stored, after, prices()).end, WriteEnd::Written);
    EXPECT_DOUBLE_EQ(item("VITE")[0], 12);
    EXPECT_DOUBLE_EQ(item("DADO")[0], 9);
}

// A movement another workstation changed since it was read is not written
// over: the item would be taken back for figures it no longer has.
TEST_P(MovementStoreTest, AMovementChangedElsewhereIsNotWrittenOver)
{
    ASSERT_EQ(insertMovement(*db, movement("S10", 5, 10), prices()).end, WriteEnd::Written);
    const Row loaded = readMovement(*db, QStringLiteral("2026"), 1).value().value();
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE MOVMAG SET QUANTITA = 3")));
    Row after = loaded;
    after.set(QStringLiteral("PREZZO"), 11);
    EXPECT_EQ(updateMovement(*db, loaded, after, prices()).end, WriteEnd::ChangedElsewhere);
    EXPECT_DOUBLE_EQ(item("VITE")[0], 7);
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT PREZZO FROM MOVMAG")).toDouble(), 10);
}

TEST_P(MovementStoreTest, ADeletedMovementIsKeptAndTakenBack)
{
    ASSERT_EQ(insertMovement(*db, movement("C10", 3, 10), prices()).end, WriteEnd::Written);
    ASSERT_EQ(insertMovement(*db, movement("C10", 7, 20), prices()).end, WriteEnd::Written);
    ASSERT_EQ(deleteMovement(*db, QStringLiteral("2026"), 2, 2).end, WriteEnd::Written);
    // The figures without the second load; its price stays, the average goes back.
    EXPECT_EQ(item("VITE"), (QList<double>{15, 3, 25.65, 17.1, 8.55, 20}));
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 1);
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT QUANTITA FROM MOVMAG_DEL WHERE NRO_REG = 2")).toDouble(),
                     7);
    EXPECT_EQ(deleteMovement(*db, QStringLiteral("2026"), 2, 2).end, WriteEnd::Gone);
}

TEST_P(MovementStoreTest, AFailureOnTheListsLeavesEverythingAsItWas)
{
    ASSERT_EQ(Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("LIST_ACQ")), QString());
    EXPECT_EQ(insertMovement(*db, movement("C10", 3, 30), prices()).end, WriteEnd::Failed);
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 0);
    EXPECT_EQ(item("VITE"), (QList<double>{12, 0, 0, 0, 0, 10}));
    EXPECT_DOUBLE_EQ(listPrice(), 10);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'MOVMAG'")).toInt(), 0);
}

TEST_P(MovementStoreTest, ALockHeldElsewhereWritesNothing)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ALTRO')")));
    EXPECT_EQ(insertMovement(*db, movement("C10", 3, 30), prices()).end, WriteEnd::LockHeld);
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 0);
    EXPECT_DOUBLE_EQ(item("VITE")[0], 12);
}

TEST_P(MovementStoreTest, DocumentsOwnTheirMovements)
{
    Row m = movement("S10", 1, 1);
    EXPECT_FALSE(owned(m));
    m.set(QStringLiteral("NRO_DOC_DDT"), QStringLiteral("B-12")); // a supplier's note, a plain reference
    EXPECT_FALSE(owned(m));
    m.set(QStringLiteral("NRO_REG_DDT"), 4);
    EXPECT_TRUE(owned(m));
    m.set(QStringLiteral("NRO_REG_DDT"), 0);
    m.set(QStringLiteral("NRO_INT_FATT"), 9);
    EXPECT_TRUE(owned(m));
}

// A movement an invoice took, or a delivery note an accompanying invoice
// bills, is neither changed nor deleted; the refusal names the document.
TEST_P(MovementStoreTest, AnOwnedMovementIsRefusedUnderTheLock)
{
    ASSERT_EQ(insertMovement(*db, movement("S10", 5, 10), prices()).end, WriteEnd::Written);
    const Row loaded = readMovement(*db, QStringLiteral("2026"), 1).value().value();
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE MOVMAG SET NRO_INT_FATT = 9")));
    Row after = loaded;
    after.set(QStringLiteral("QUANTITA"), 1);
    const Services::WriteResult change = updateMovement(*db, loaded, after, prices());
    EXPECT_EQ(change.end, WriteEnd::NothingChanged);
    EXPECT_EQ(change.refusal, changeRefusal());
    const Services::WriteResult invoice = deleteMovement(*db, QStringLiteral("2026"), 1, 2);
    EXPECT_EQ(invoice.end, WriteEnd::NothingChanged);
    EXPECT_EQ(invoice.refusal,
              "Impossibile eliminare movimento,\nsono ancora presenti registrazioni su : \n Fattura di vendita");

    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE MOVMAG SET NRO_INT_FATT = 0, ANNO_DDT = '2026', NRO_REG_DDT = 3")));
    EXPECT_EQ(deleteMovement(*db, QStringLiteral("2026"), 1, 2).refusal,
              "Impossibile eliminare movimento,\nsono ancora presenti registrazioni su : \n D.d.T. di vendita ");
    ASSERT_TRUE(
        other.exec(QStringLiteral("INSERT INTO FVENDT (ANNO, NRO_INT, ACCOMPAGNATORIA) VALUES ('2026', 1, -1)")));
    ASSERT_TRUE(other.exec(QStringLiteral(
        "INSERT INTO FVENDD (ANNO, NRO_INT, RIGA, ANNO_BOL, NRO_BOL) VALUES ('2026', 1, 1, '2026', 3)")));
    EXPECT_EQ(deleteMovement(*db, QStringLiteral("2026"), 1, 2).refusal,
              "Impossibile eliminare movimento,\nsono ancora presenti registrazioni su : \n"
              " Fattura di vendita accompagnatoria");
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 1);
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG_DEL")), 0);
    EXPECT_DOUBLE_EQ(item("VITE")[0], 7);
}

TEST_P(MovementStoreTest, TwoWorkstationsUnloadingOneItemLoseNoMovement)
{
    constexpr int kEach = 500;
    EXPECT_EQ(Testing::raceWorkers(*archives, QStringLiteral(ORLAVO_DBWORKER), QStringLiteral("unloads"),
                                   {QStringLiteral("ANNA"), QStringLiteral("BRUNO")}, kEach),
              (QStringList{"DONE", "DONE"}));
    EXPECT_DOUBLE_EQ(item("VITE")[0], 12 - 2 * kEach);
    EXPECT_EQ(archives->count(QStringLiteral("MOVMAG")), 2 * kEach);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT MAX(NRO_REG) FROM MOVMAG")).toInt(), 2 * kEach);
}

ORLAVO_FOR_EACH_ENGINE(MovementStoreTest);
