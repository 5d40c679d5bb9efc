#include "masterdata/stores/recorduses.h"

#include "masterdatatest.h"

using namespace Orlavo::Masterdata;
using Orlavo::Services::Target;

namespace {

// Documents that use customers and items, in either database.
class RecordUsesTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        for (const char *sql :
             {"CREATE TABLE PROVA_FATT (ANNO INTEGER, NRO INTEGER, CLIENTE INTEGER)",
              "CREATE TABLE PROVA_DDT (NRO INTEGER, CLIENTE INTEGER)",
              "CREATE TABLE PROVA_MOV (NRO INTEGER, MAGAZZINO VARCHAR(3), MARCA VARCHAR(3), "
              "ARTICOLO VARCHAR(20))",
              "CREATE TABLE servizi.PROVA_SRV (CLIENTE INTEGER)", "INSERT INTO PROVA_FATT VALUES (2026, 1, 7)",
              "INSERT INTO PROVA_FATT VALUES (2026, 2, 7)", "INSERT INTO PROVA_DDT VALUES (5, 8)",
              "INSERT INTO PROVA_MOV VALUES (1, 'M1', 'ACM', 'VITE')", "INSERT INTO servizi.PROVA_SRV VALUES (9)"})
            run(QString::fromLatin1(sql));
    }
};

TEST_P(RecordUsesTest, EachTableThatHoldsTheKeyGivesItsLabelOnce)
{
    const RecordUse invoices{"PROVA_FATT", {"CLIENTE"}, "Fatture"};
    const RecordUse notes{"PROVA_DDT", {"CLIENTE"}, "D.D.T."};
    const RecordUse services{"servizi.PROVA_SRV", {"CLIENTE"}, "Servizi", Target::Services};
    const RecordUse moves{"PROVA_MOV", {"MAGAZZINO", "MARCA", "ARTICOLO"}, "Movimenti di magazzino"};
    const struct {
        QList<RecordUse> uses;
        Orlavo::Services::Params key;
        QStringList labels;
    } cases[] = {
        {{invoices, notes, services}, {8}, {"D.D.T."}},
        {{invoices, notes, services}, {9}, {"Servizi"}},
        {{invoices, {"PROVA_FATT", {"CLIENTE"}, "Fatture"}}, {7}, {"Fatture"}},
        // Two tables under one label: the label once, in list order.
        {{{"PROVA_DDT", {"CLIENTE"}, "Documenti"}, invoices, {"PROVA_FATT", {"CLIENTE"}, "Documenti"}},
         {7},
         {"Fatture", "Documenti"}},
        // A key of several columns matches them all.
        {{moves}, {"M1", "ACM", "VITE"}, {"Movimenti di magazzino"}},
        {{moves}, {"M2", "ACM", "DADO"}, {}},
    };
    for (const auto &c : cases) {
        const auto labels = usesOf(context->db, c.uses, c.key);
        ASSERT_TRUE(labels);
        EXPECT_EQ(*labels, c.labels);
    }
    // A use described with other columns than the key is no answer.
    EXPECT_FALSE(usesOf(context->db, {moves}, {"M1", "ACM"}));
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(RecordUsesTest);

} // namespace
