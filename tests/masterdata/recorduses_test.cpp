#include "masterdata/stores/recorduses.h"

#include "contexttest.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;
using Orlavo::Services::Target;

namespace {

// Documents that use customers and items, in either database.
class RecordUsesTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run(QStringLiteral("CREATE TABLE PROVA_FATT (ANNO INTEGER, NRO INTEGER, CLIENTE INTEGER)"));
        run(QStringLiteral("CREATE TABLE PROVA_DDT (NRO INTEGER, CLIENTE INTEGER)"));
        run(QStringLiteral("CREATE TABLE PROVA_MOV (NRO INTEGER, MAGAZZINO VARCHAR(3), MARCA VARCHAR(3), "
                           "ARTICOLO VARCHAR(20))"));
        run(QStringLiteral("CREATE TABLE servizi.PROVA_SRV (CLIENTE INTEGER)"));
        run(QStringLiteral("INSERT INTO PROVA_FATT VALUES (2026, 1, 7)"));
        run(QStringLiteral("INSERT INTO PROVA_FATT VALUES (2026, 2, 7)"));
        run(QStringLiteral("INSERT INTO PROVA_DDT VALUES (5, 8)"));
        run(QStringLiteral("INSERT INTO PROVA_MOV VALUES (1, 'M1', 'ACM', 'VITE')"));
        run(QStringLiteral("INSERT INTO servizi.PROVA_SRV VALUES (9)"));
    }

    void TearDown() override
    {
        for (const char *table : {"PROVA_FATT", "PROVA_DDT", "PROVA_MOV", "servizi.PROVA_SRV"})
            run(QStringLiteral("DROP TABLE ") + QString::fromLatin1(table));
        ContextTest::TearDown();
    }

    const QList<RecordUse> customerDocuments = {
        {QStringLiteral("PROVA_FATT"), {QStringLiteral("CLIENTE")}, QStringLiteral("Fatture")},
        {QStringLiteral("PROVA_DDT"), {QStringLiteral("CLIENTE")}, QStringLiteral("D.D.T.")},
        {QStringLiteral("servizi.PROVA_SRV"), {QStringLiteral("CLIENTE")}, QStringLiteral("Servizi"), Target::Services},
    };
};

TEST_P(RecordUsesTest, EachTableThatHoldsTheKeyGivesItsLabelOnce)
{
    EXPECT_EQ(*usesOf(context->db, customerDocuments, {7}), QStringList{QStringLiteral("Fatture")});
    EXPECT_EQ(*usesOf(context->db, customerDocuments, {8}), QStringList{QStringLiteral("D.D.T.")});
    EXPECT_EQ(*usesOf(context->db, customerDocuments, {9}), QStringList{QStringLiteral("Servizi")});
    EXPECT_TRUE(usesOf(context->db, customerDocuments, {10})->isEmpty());
    EXPECT_TRUE(usesOf(context->db, {}, {7})->isEmpty());

    // Two tables under one label: the label once, in list order.
    QList<RecordUse> both = customerDocuments;
    both.prepend({QStringLiteral("PROVA_DDT"), {QStringLiteral("CLIENTE")}, QStringLiteral("Documenti")});
    both.append({QStringLiteral("PROVA_FATT"), {QStringLiteral("CLIENTE")}, QStringLiteral("Documenti")});
    EXPECT_EQ(*usesOf(context->db, both, {7}), (QStringList{QStringLiteral("Fatture"), QStringLiteral("Documenti")}));
    EXPECT_EQ(dbExits, 0);
}

TEST_P(RecordUsesTest, AKeyOfSeveralColumnsMatchesThemAll)
{
    const QList<RecordUse> itemUses = {
        {QStringLiteral("PROVA_MOV"),
         {QStringLiteral("MAGAZZINO"), QStringLiteral("MARCA"), QStringLiteral("ARTICOLO")},
         QStringLiteral("Movimenti di magazzino")},
    };
    EXPECT_EQ(*usesOf(context->db, itemUses, {QStringLiteral("M1"), QStringLiteral("ACM"), QStringLiteral("VITE")}),
              QStringList{QStringLiteral("Movimenti di magazzino")});
    EXPECT_TRUE(usesOf(context->db, itemUses, {QStringLiteral("M1"), QStringLiteral("ACM"), QStringLiteral("DADO")})
                    ->isEmpty());
    EXPECT_TRUE(usesOf(context->db, itemUses, {QStringLiteral("M2"), QStringLiteral("ACM"), QStringLiteral("VITE")})
                    ->isEmpty());
    // A use described with other columns than the key is no answer.
    EXPECT_FALSE(usesOf(context->db, itemUses, {QStringLiteral("M1"), QStringLiteral("ACM")}));
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(RecordUsesTest);

} // namespace
