#include "archives.h"
#include "services/core/tablenames.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;

namespace {

TEST(StandardDataFile, HeaderMarksTheKeyAndShortRowsArePadded)
{
    const auto table = StandardData::parse(QStringLiteral("TAB_CAP"), QStringLiteral("# postal codes\n"
                                                                                     "CAP*; CITTA* ;PROVINCIA*;NOTE\n"
                                                                                     "\n"
                                                                                     "10100;TORINO;TO\n"
                                                                                     "# a comment between rows\n"
                                                                                     "00100; ROMA ;RM;capitale;x\n"));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->columns, (QStringList{"CAP", "CITTA", "PROVINCIA", "NOTE"}));
    EXPECT_EQ(table->key, (QList<int>{0, 1, 2}));
    ASSERT_EQ(table->rows.size(), 2);
    EXPECT_EQ(table->rows[0], (QStringList{"10100", "TORINO", "TO", ""}));
    EXPECT_EQ(table->rows[1], (QStringList{"00100", "ROMA", "RM", "capitale"}));

    EXPECT_FALSE(StandardData::parse(QStringLiteral("X"), QStringLiteral("CODICE;DESCRIZIONE\nA;B\n")));
    EXPECT_FALSE(StandardData::parse(QStringLiteral("X"), QStringLiteral("# only comments\n")));
}

TEST(StandardDataFile, ShippedTablesParse)
{
    const auto vat = StandardData::table(SchemaKind::Company, QStringLiteral("tab_periva"));
    ASSERT_TRUE(vat);
    EXPECT_EQ(vat->columns.first(), QStringLiteral("CODICE"));
    // No placeholder code among the real ones.
    for (const QStringList &row : vat->rows)
        EXPECT_NE(row.first(), QStringLiteral("--"));
}

class StandardDataTest : public EngineTest
{
protected:
    bool apply(SchemaKind kind = SchemaKind::Company)
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        return StandardData::apply(unit, kind) && unit.commit();
    }
};

// Every shipped row fits its columns (PostgreSQL enforces the lengths).
TEST_P(StandardDataTest, EveryShippedRowIsStored)
{
    for (const SchemaKind kind : {SchemaKind::Services, SchemaKind::Company}) {
        EXPECT_TRUE(apply(kind)) << db->error().description.toStdString();
        for (const auto &table : StandardData::tables(kind)) {
            const QString name = kind == SchemaKind::Services ? QStringLiteral("servizi.") + table.name : table.name;
            EXPECT_GE(archives->count(name), int(table.rows.size())) << name.toStdString();
        }
    }
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'I'")).toString(),
              QStringLiteral("ITALIA"));
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT NDEC FROM DIVISE WHERE DIVISA = 'EURO'")).toInt(), 2);
}

TEST_P(StandardDataTest, ApplyingAgainNeitherDuplicatesNorOverwrites)
{
    ASSERT_TRUE(apply());
    const int rows = archives->count(QStringLiteral("TAB_PERIVA"));
    EXPECT_EQ(rows, int(StandardData::table(SchemaKind::Company, QStringLiteral("TAB_PERIVA"))->rows.size()));
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT ALIQUOTA FROM TAB_PERIVA WHERE CODICE = '22'")).toDouble(),
                     22.0);

    // The operator's change stays; a deleted row comes back.
    ASSERT_EQ(db->executeSql(QStringLiteral("UPDATE TAB_PERIVA SET DESCRIZIONE = 'Ordinaria' WHERE CODICE = '22'")),
              kErrNone);
    ASSERT_EQ(db->executeSql(QStringLiteral("DELETE FROM TAB_PERIVA WHERE CODICE = '4'")), kErrNone);
    ASSERT_TRUE(apply());
    EXPECT_EQ(archives->count(QStringLiteral("TAB_PERIVA")), rows);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT DESCRIZIONE FROM TAB_PERIVA WHERE CODICE = '22'")).toString(),
              QStringLiteral("Ordinaria"));
}

TEST_P(StandardDataTest, AFailingRowWritesNothing)
{
    // The warehouse goes in before the VAT codes fail: it is rolled back.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("TAB_PERIVA")), QString());
    EXPECT_FALSE(apply());
    EXPECT_EQ(archives->count(QStringLiteral("TAB_MAGAZZINI")), 0);
}

ORLAVO_FOR_EACH_ENGINE(StandardDataTest);

} // namespace
