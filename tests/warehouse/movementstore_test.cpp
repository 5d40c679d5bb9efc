#include "archives.h"
#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/itemstore.h"
#include "masterdata/stores/supplierstore.h"
#include "services/core/settings.h"
#include "services/data/standarddata.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movemententry.h"
#include "warehouse/stores/movementsearch.h"
#include "warehouse/rules/stockeffects.h"
#include "warehouse/stores/movementstore.h"
#include "warehouse/stores/warehousecausals.h"
#include "windowhost.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// The warehouse stores on both engines: movements and the items they move,
// what the movement window reads, the causals.

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Services::FieldProblem;
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
        const auto rows = archives->rows(QStringLiteral("SELECT ESISTENZA, CARICO_F, VAL_CARICO, ULT_COSTOA, "
                                                        "PREZZO_MEDA, PREZZO_LIST FROM ARTICOLI WHERE ARTICOLO = ?"),
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
    Row before = movement("S10", 5, 10);
    before.set(QStringLiteral("NRO_DOC_DDT"), QStringLiteral("B-12")); // a supplier's note, no document of ours
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

// A movement another workstation changed since it was read is not written
// over: the item would be taken back for figures it no longer has. One an
// invoice took, or a delivery note an accompanying invoice bills, is
// neither changed nor deleted; the refusal names the document.
TEST_P(MovementStoreTest, AMovementChangedOrOwnedElsewhereIsNotWrittenOver)
{
    ASSERT_EQ(insertMovement(*db, movement("S10", 5, 10), prices()).end, WriteEnd::Written);
    const Row loaded = readMovement(*db, QStringLiteral("2026"), 1).value().value();
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE MOVMAG SET QUANTITA = 3")));
    Row after = loaded;
    after.set(QStringLiteral("PREZZO"), 11);
    EXPECT_EQ(updateMovement(*db, loaded, after, prices()).end, WriteEnd::ChangedElsewhere);

    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE MOVMAG SET QUANTITA = 5, NRO_INT_FATT = 9")));
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
    EXPECT_EQ(updateMovement(*db, loaded, after, prices()).refusal, changeRefusal());
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
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT PREZZO FROM MOVMAG")).toDouble(), 10);
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

// A movement keeps its item, supplier and customer from deletion (supplier
// 34 is used by its price list too).
TEST_P(MovementStoreTest, MovementsKeepTheirPartiesAndItem)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, "
                                          "CLIENTE, FORNITORE, QUANTITA) "
                                          "VALUES ('2026', 1, '01', 'ABC', 'VITE-10', 'S10', 12, 35, 1.5)")));
    const QStringList moved{QStringLiteral("Movimenti di magazzino")};
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 12).value(), moved);
    EXPECT_EQ(Masterdata::supplierUsesOf(*db, 35).value(), moved);
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 35).value(), QStringList());
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-10")})
            .value(),
        QStringLiteral("Impossibile eliminare l'articolo, esistono ancora movimenti"));
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-12")})
            .value(),
        QString());
}

ORLAVO_FOR_EACH_ENGINE(MovementStoreTest);

// What the movement window asks of the archive: the price it proposes,
// the checks of a typed movement, an item's history, the search.
namespace {

class MovementEntryTest : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        const auto exec = [&unit](const char *sql) {
            ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"), QString::fromUtf8(sql)));
        };
        ASSERT_TRUE(unit.execServices(QStringLiteral("Prova"),
                                      QStringLiteral("INSERT INTO servizi.TAB_UNTMIS (CODICE, DESCRIZIONE) "
                                                     "SELECT 'PZ', 'PEZZI' WHERE NOT EXISTS (SELECT 1 FROM "
                                                     "servizi.TAB_UNTMIS WHERE CODICE = 'PZ')")));
        exec("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ABC', 'MARCA ABC')");
        exec("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('C10', 'CARICO', -1), "
             "('S10', 'SCARICO', 0), ('SXC', 'SCARICO SENZA VALORE', 0)");
        exec("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_ACQ, SC_A1, PREZZO_LIST, PREZZO_V1, "
             "SC_V1, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 8, 5, 20, 0, 2, 2)");
        exec("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1) VALUES (34, 'FERRAMENTA BIANCHI'), "
             "(35, 'MINUTERIE VERDI'), (99999, 'LISTINO BASE')");
        exec("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'EDILIZIA ROSSI')");
        exec("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1) VALUES (34, 'ABC', 'VITE', 10, 10), "
             "(99999, 'ABC', 'VITE', 9, 0)");
        exec("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1) "
             "VALUES (7, 'ABC', 'VITE', 1, 15, 3)");
        // Earlier loads: from 34 at 7,50, later from 35 at 7,00, and one of
        // 2001 in lire.
        exec("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, FORNITORE, CLIENTE, "
             "QUANTITA, PREZZO, NDEC, SCONTO1, TOTALE, NRO_DOC_DDT, DATA_DOC_DDT) VALUES "
             "('2001', 1, '2001-06-01', '01', 'ABC', 'VITE', 'C10', 36, 0, 1, 19363, 0, 0, 19363, '', NULL), "
             "('2026', 1, '2026-02-01', '01', 'ABC', 'VITE', 'C10', 34, 0, 4, 7.5, 2, 2, 29.4, '', NULL), "
             "('2026', 2, '2026-03-01', '01', 'ABC', 'VITE', 'C10', 35, 0, 2, 7, 2, 0, 14, '', NULL), "
             "('2026', 3, '2026-03-01', '01', 'ABC', 'VITE', 'S10', 0, 7, 1, 20, 2, 0, 20, 'B-4', '2026-02-27')");
        ASSERT_TRUE(unit.commit());
    }

    ProposalRequest request(const char *causal, int supplier = 0, int customer = 0)
    {
        ProposalRequest r;
        r.year = QStringLiteral("2026");
        r.date = QDate(2026, 4, 1);
        r.causal = QString::fromLatin1(causal);
        r.warehouse = QStringLiteral("01");
        r.brand = QStringLiteral("ABC");
        r.code = QStringLiteral("VITE");
        r.supplier = supplier;
        r.customer = customer;
        return r;
    }

    // "source price discount1" of the proposal, "-" for none.
    std::string proposed(const ProposalRequest &r, const ProposalRanks &ranks = {})
    {
        const auto found = proposePrice(*db, r, ranks);
        EXPECT_TRUE(found.ok());
        if (!found || !*found)
            return "-";
        return QStringLiteral("%1 %2 %3")
            .arg(int((*found)->source))
            .arg((*found)->price)
            .arg((*found)->discounts[0])
            .toStdString();
    }
};

// Sources: 0 last load, 1 party list, 2 standard list, 3 item price.
TEST_P(MovementEntryTest, TheFirstRankedSourceWithAPriceIsProposed)
{
    EXPECT_EQ(proposed(request("C10", 34)), "0 7.5 2"); // this supplier's latest load, not 35's later one
    EXPECT_EQ(proposed(request("C10", 37)), "0 7 0");   // none from 37: anyone's latest
    EXPECT_EQ(proposed(request("C20", 34)), "1 10 10"); // last loads are C10 only
    EXPECT_EQ(proposed(request("C10", 34), {0, 1, 2, 3}), "1 10 10");
    EXPECT_EQ(proposed(request("C10", 35), {0, 1, 2, 3}), "2 9 0"); // 35 has no list row
    EXPECT_EQ(proposed(request("C10", 34), {0, 0, 0, 1}), "3 8 5"); // the item's purchase price
    EXPECT_EQ(proposed(request("C10", 34), {3, 2, 0, 1}), "3 8 5"); // ranks, not positions
    EXPECT_EQ(proposed(request("S10", 0, 7)), "1 15 3");            // the customer's sale list
    EXPECT_EQ(proposed(request("S10", 0, 8)), "3 20 2");            // price 1 unset: the list price
    EXPECT_EQ(proposed(request("C10", 34), {0, 0, 0, 0}), "-");
    // A 2001 load in lire proposed to a 2002 movement: 19.363 lire are 10,00 €.
    ProposalRequest euro = request("C10", 36);
    euro.year = QStringLiteral("2002");
    euro.date = QDate(2002, 1, 10);
    EXPECT_EQ(proposed(euro), "0 10 0");
}

TEST_P(MovementEntryTest, ChecksRunInOrderAndTheLastSpeaks)
{
    TypedMovement typed;
    typed.movement = Row(movementTable());
    typed.workingYear = QStringLiteral("2026");
    const auto columns = [this](const TypedMovement &t) {
        QStringList failing;
        for (const FieldProblem &p : movementProblems(*db, t))
            failing << p.column + QLatin1Char(':') + p.message;
        return failing.join(QLatin1Char('|')).toStdString();
    };
    EXPECT_EQ(columns(typed), "PREZZO:Prezzo obbligatorio !|QUANTITA:Quantità obbligatoria !|"
                              "UNITA_MIS:Codice Unità di Misura obbligatorio !|CAUSALE:Codice Causale obbligatorio !|"
                              "ARTICOLO:Codice Articolo obbligatorio !|MARCA:Marca dell'Articolo obbligatoria ! |"
                              "DATA_REG:Data registrazione obbligatoria ! ");

    Row &m = typed.movement;
    m.set(QStringLiteral("DATA_REG"), QDate(2025, 12, 31));
    m.set(QStringLiteral("MAGAZZINO"), QStringLiteral("01"));
    m.set(QStringLiteral("MARCA"), QStringLiteral("XYZ"));
    m.set(QStringLiteral("ARTICOLO"), QStringLiteral("VITE"));
    m.set(QStringLiteral("CAUSALE"), QStringLiteral("Q99"));
    m.set(QStringLiteral("UNITA_MIS"), QStringLiteral("ZZ"));
    m.set(QStringLiteral("FORNITORE"), 99999);
    m.set(QStringLiteral("CLIENTE"), 70);
    typed.price = QStringLiteral("1,2,3");
    typed.secondPrice = QStringLiteral("abc");
    typed.quantity = QStringLiteral("0");
    typed.documentDate = QStringLiteral("32/13/2026");
    EXPECT_EQ(columns(typed), "PREZZO:Prezzo errato !|PREZZO2:Prezzo errato !|QUANTITA:Quantità obbligatoria !|"
                              "DATA_DOC_DDT:Data documento sconosciuto !|FORNITORE:Codice Fornitore sconosciuto !|"
                              "CLIENTE:Codice Cliente sconosciuto !|UNITA_MIS:Codice Unità di Misura sconosciuto !|"
                              "CAUSALE:Codice Causale sconosciuto !|ARTICOLO:Codice Articolo sconosciuto !|"
                              "MARCA:Marca dell'Articolo sconosciuta ! |DATA_REG:Anno di data registrazione errato ! ");

    // A movement without value needs no price; the rest is right.
    m.set(QStringLiteral("DATA_REG"), QDate(2026, 5, 2));
    m.set(QStringLiteral("MARCA"), QStringLiteral("abc"));
    m.set(QStringLiteral("CAUSALE"), QStringLiteral("SXC"));
    m.set(QStringLiteral("UNITA_MIS"), QStringLiteral("PZ"));
    m.set(QStringLiteral("FORNITORE"), 34);
    m.set(QStringLiteral("CLIENTE"), 7);
    typed.quantity = QStringLiteral("2,5");
    typed.documentDate = QStringLiteral("3/5/26");
    EXPECT_EQ(columns(typed), "");
}

TEST_P(MovementEntryTest, AnItemsHistoryIsNewestFirstWithItsParties)
{
    const auto lines = itemHistory(*db, QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE"));
    ASSERT_TRUE(lines.ok());
    QStringList shown;
    for (const HistoryLine &l : *lines)
        shown << QStringLiteral("%1 %2 %3 %4").arg(l.date.toString(Qt::ISODate), l.causal, l.name, l.document);
    EXPECT_EQ(shown, (QStringList{"2026-03-01 S10 EDILIZIA ROSSI B-4", "2026-03-01 C10 MINUTERIE VERDI ",
                                  "2026-02-01 C10 FERRAMENTA BIANCHI ", "2001-06-01 C10  "}));
    const auto card = findItemByBarcode(*db, QStringLiteral("01"), QStringLiteral("none"));
    ASSERT_TRUE(card.ok());
    EXPECT_FALSE(card->has_value());
}

TEST_P(MovementEntryTest, TheSearchFiltersAndNamesItsProblems)
{
    MovementFilter filter;
    filter.year = QStringLiteral("2026");
    filter.causal = QStringLiteral("c%");
    auto found = searchMovements(*db, filter);
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->size(), 2);
    EXPECT_EQ(found->at(0).number, 1);
    EXPECT_EQ(found->at(1).supplier, "MINUTERIE VERDI");
    filter.causal.clear();
    filter.from = QStringLiteral("01/03/2026");
    filter.number = QStringLiteral("3");
    found = searchMovements(*db, filter);
    ASSERT_EQ(found->size(), 1);
    EXPECT_EQ(found->at(0).customer, "EDILIZIA ROSSI");

    const MovementFilter wrong{{}, QStringLiteral("XYZ"), QStringLiteral("DADO"), {}, QStringLiteral("31/02/2026"), {},
                               {}};
    QStringList messages;
    for (const FieldProblem &p : filterProblems(*db, wrong))
        messages << p.column + QLatin1Char(':') + p.message;
    EXPECT_EQ(messages, (QStringList{"ARTICOLO:Codice Articolo non codificato !", "MARCA:Marca non codificata !",
                                     "DATA_DA:Data Registrazione errata !"}));
}

ORLAVO_FOR_EACH_ENGINE(MovementEntryTest);

// The ranks missing are written back with their defaults; the options
// are kept as the operator leaves them.
TEST(MovementSettings, RanksAndOptionsLiveInTheSettings)
{
    QTemporaryDir dir;
    const Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    settings.write(QStringLiteral("MAGAZZINO"), QStringLiteral("PRLISTBA"), QStringLiteral("0"));
    settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MOVMAGDESC"), QStringLiteral("Lotto"));
    MovementSettings read = readMovementSettings(settings);
    EXPECT_EQ(read.linkCaption, "Lotto");
    EXPECT_EQ(read.ranks.standardList, 0);
    EXPECT_EQ(settings.read(QStringLiteral("MAGAZZINO"), QStringLiteral("PRULTCO")), "1");
    EXPECT_EQ(settings.read(QStringLiteral("MAGAZZINO"), QStringLiteral("PRACQF")), "4");
    EXPECT_TRUE(read.updateItem && read.updatePurchase && read.updateItem2);
    read.updatePurchase = false;
    ASSERT_TRUE(writeMovementOptions(settings, read));
    EXPECT_EQ(settings.read(QStringLiteral("MAGAZZINO"), QStringLiteral("AGGIORNAPREZZOACQ")), "NO");
    EXPECT_FALSE(readMovementSettings(settings).updatePurchase);
}

// The warehouse causals: their checks, the standard ones, their uses.
const QString kAverageRefused = "Impossibile utilizzare il calcolo dei prezzi medi d'acquisto \nsu causali di scarico ";
const QStringList kMoved{"Movimenti di magazzino"};

// The standard causals, X01 used by a movement, X02 free.
class WarehouseCausalsTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        for (const char *sql : Orlavo::Testing::kUsedAndFreeCausals)
            run(sql);
        answer();
    }

    static Row causal(const QString &code, const QString &description, bool average = false)
    {
        Row row(causalTable());
        row.setText("CODICE", code);
        row.setText("DESCRIZIONE", description);
        row.set("PMA", average);
        return row;
    }
    QStringList problems(const Row &row, const QString &loaded = {})
    {
        QStringList found;
        for (const auto &p : Masterdata::checkCodedRow(context->db, warehouseCausals(), row, loaded))
            found << p.column + ':' + p.message;
        return found;
    }
    Row loaded(const QString &code)
    {
        const auto row = Masterdata::findCodedRow(context->db, warehouseCausals(), code);
        EXPECT_TRUE(row && row->has_value()) << code.toStdString();
        return row && row->has_value() ? **row : Row(causalTable());
    }
    QString stored(const QString &code) { return Orlavo::Testing::storedCausal(*archives, code); }
    QStringList uses(const QString &code) { return codeUses(context->db, warehouseCausals(), code).value(); }
};

TEST_P(WarehouseCausalsTest, ChecksRunInOrderAndTheAverageOnlyOnLoadsAndOpenings)
{
    const QString taken = "CODICE:Codice già presente in archivio";
    const QString refused = "PMA:" + kAverageRefused;
    const struct {
        const char *code;
        bool average;
        const char *loaded;
        QStringList expected;
    } cases[] = {
        // A blank code speaks alone, the average ticked or not.
        {"", true, "", {"CODICE:Codice obbligatorio"}},
        // An unload or another code, stored or new, takes no average; the
        // code speaks last.
        {"S10", true, "", {refused, taken}},
        {"s10", true, "S10", {refused}},
        {"X99", true, "", {refused}},
        {"S99", false, "", {}},
        // Loads and openings, typed in lower case too.
        {"C99", true, "", {}},
        {"c98", true, "", {}},
        {"A10", true, "A10", {}},
        // A stored code keeps its own; another one is taken.
        {"C10", false, "", {taken}},
        {"C10", true, "C11", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(causal(c.code, "Prova", c.average), c.loaded), c.expected)
            << c.code << " " << c.average << " " << c.loaded;

    // The shipped causals: every code of the table of effects, the average
    // on C10 alone, each passing its checks.
    const auto standard = Services::StandardData::table(Services::SchemaKind::Company, "TAB_CAU_MAG");
    ASSERT_TRUE(standard);
    QStringList codes, averaged;
    for (const QStringList &values : standard->rows) {
        const Row row = loaded(values.at(0));
        codes << row.text("CODICE");
        if (row.flag("PMA"))
            averaged << row.text("CODICE");
        EXPECT_EQ(problems(row, row.text("CODICE")), QStringList()) << values.at(0).toStdString();
    }
    const QStringList effects = effectCodes();
    EXPECT_EQ(codes, effects);
    EXPECT_EQ(averaged, QStringList{"C10"});
}

// A causal moved, or a code of the table of effects (its movements told
// too), is neither deleted nor renamed; its description and average may
// change. A free code's writes are the coded tables' own (master-data tests).
TEST_P(WarehouseCausalsTest, ACausalInUseIsNeitherDeletedNorRenamed)
{
    const QString effects = QString::fromLatin1(kEffectUse);
    run("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, QUANTITA) "
        "VALUES ('2026', 2, '01', 'ABC', 'VITE', 'C10', 1)");
    EXPECT_EQ(uses("C10"), (QStringList{effects, kMoved.first()}));
    EXPECT_EQ(uses("X02"), QStringList());
    const struct {
        const char *typed, *code, *renamed, *described;
        bool average;
        QStringList uses;
    } cases[] = {
        {"x01", "X01", "X03", "Usata e ridescritta", true, kMoved},
        {"s10", "S10", "S99", "Vendita al banco", false, {effects}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(uses(c.typed), c.uses);
        const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG", "MOVMAG"});
        const Row used = loaded(c.code);
        const auto deleted = deleteCodedRow(context->db, warehouseCausals(), used);
        EXPECT_EQ(deleted.end, WriteEnd::NothingChanged);
        EXPECT_EQ(deleted.uses, c.uses);
        Row renamed = used;
        renamed.setText("CODICE", c.renamed);
        EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), renamed, used).uses, c.uses);
        Orlavo::Testing::expectNothingWritten(before, context->db);

        Row described = used;
        described.setText("DESCRIZIONE", c.described);
        described.set("PMA", c.average);
        EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), described, used).end, WriteEnd::Written);
        EXPECT_EQ(stored(c.code), QString::fromUtf8(c.described) + (c.average ? "|-1" : "|0"));
    }
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(WarehouseCausalsTest, AFailedWriteIsReportedUnderItsOperation)
{
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_CAU_MAG"), QString());
    EXPECT_EQ(Masterdata::insertCodedRow(context->db, warehouseCausals(), causal("C61", "Nuova")).end,
              WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Registra Causali di Magazzino"))
        << prompter.texts().join('|').toStdString();
    answer();
    EXPECT_EQ(deleteCodedRow(context->db, warehouseCausals(), loaded("X02")).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Elimina Movimenti di Magazzino"))
        << prompter.texts().join('|').toStdString();
}

ORLAVO_FOR_EACH_ENGINE(WarehouseCausalsTest);

} // namespace
