#include "archives.h"
#include "services/core/settings.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movemententry.h"
#include "warehouse/stores/movementsearch.h"
#include "warehouse/stores/movementstore.h"

#include <QTemporaryDir>

// What the movement window asks of the archive: the price it proposes,
// the checks of a typed movement, an item's history, the search.

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Services::FieldProblem;
using Services::Row;

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
        exec("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('C10', 'CARICO', -1)");
        exec("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('S10', 'SCARICO', 0)");
        exec("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('SXC', 'SCARICO SENZA VALORE', 0)");
        exec("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_ACQ, SC_A1, PREZZO_LIST, PREZZO_V1, "
             "SC_V1, NUM_DEC) VALUES ('01', 'ABC', 'VITE', 'VITE DA 8', 8, 5, 20, 0, 2, 2)");
        exec("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1) VALUES (34, 'FERRAMENTA BIANCHI')");
        exec("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1) VALUES (35, 'MINUTERIE VERDI')");
        exec("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1) VALUES (99999, 'LISTINO BASE')");
        exec("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'EDILIZIA ROSSI')");
        exec("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1) VALUES (34, 'ABC', 'VITE', 10, 10)");
        exec("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO) VALUES (99999, 'ABC', 'VITE', 9)");
        exec("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1) "
             "VALUES (7, 'ABC', 'VITE', 1, 15, 3)");
        // Earlier loads: from 34 at 7,50, later from 35 at 7,00, and one of
        // 2001 in lire.
        exec("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, FORNITORE, QUANTITA, "
             "PREZZO, NDEC, SCONTO1, TOTALE) VALUES ('2001', 1, '2001-06-01', '01', 'ABC', 'VITE', 'C10', 36, 1, "
             "19363, 0, 0, 19363)");
        exec("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, FORNITORE, QUANTITA, "
             "PREZZO, NDEC, SCONTO1, TOTALE) VALUES ('2026', 1, '2026-02-01', '01', 'ABC', 'VITE', 'C10', 34, 4, 7.5, "
             "2, 2, 29.4)");
        exec("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, FORNITORE, QUANTITA, "
             "PREZZO, NDEC, TOTALE) VALUES ('2026', 2, '2026-03-01', '01', 'ABC', 'VITE', 'C10', 35, 2, 7, 2, 14)");
        exec("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, CLIENTE, QUANTITA, "
             "PREZZO, NDEC, TOTALE, NRO_DOC_DDT, DATA_DOC_DDT) VALUES ('2026', 3, '2026-03-01', '01', 'ABC', 'VITE', "
             "'S10', 7, 1, 20, 2, 20, 'B-4', '2026-02-27')");
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

} // namespace
