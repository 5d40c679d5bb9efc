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
    const auto table = StandardData::parse("TAB_CAP", QStringLiteral("# postal codes\n"
                                                                     "CAP*; CITTA* ;PROVINCIA*;NOTE\n"
                                                                     "\n"
                                                                     "10100;TORINO;TO\n"
                                                                     "# a comment between rows\n"
                                                                     "00100; ROMA ;RM;capitale;x\n"));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->columns, (QStringList{"CAP", "CITTA", "PROVINCIA", "NOTE"}));
    EXPECT_EQ(table->key, (QList<int>{0, 1, 2}));
    EXPECT_EQ(table->rows, (QList<QStringList>{{"10100", "TORINO", "TO", ""}, {"00100", "ROMA", "RM", "capitale"}}));
    EXPECT_FALSE(StandardData::parse("X", "CODICE;DESCRIZIONE\nA;B\n"));
}

class StandardDataTest : public EngineTest
{
protected:
    bool apply(SchemaKind kind = SchemaKind::Company)
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        return StandardData::apply(unit, kind) && unit.commit();
    }
    QVariant vat(const char *column, const char *code) const
    {
        return archives->scalar(QStringLiteral("SELECT %1 FROM TAB_PERIVA WHERE CODICE = ?").arg(column),
                                {QLatin1String(code)});
    }
};

// Every shipped row fits its columns (PostgreSQL enforces the lengths).
// Applied again, nothing is duplicated nor overwritten, and a deleted row
// comes back.
TEST_P(StandardDataTest, EveryShippedRowIsStoredOnce)
{
    for (const SchemaKind kind : {SchemaKind::Services, SchemaKind::Company}) {
        EXPECT_TRUE(apply(kind)) << db->error().description.toStdString();
        for (const auto &table : StandardData::tables(kind)) {
            const QString name = kind == SchemaKind::Services ? QStringLiteral("servizi.") + table.name : table.name;
            EXPECT_GE(archives->count(name), int(table.rows.size())) << name.toStdString();
        }
    }
    const int rows = archives->count("TAB_PERIVA");
    EXPECT_EQ(rows, int(StandardData::table(SchemaKind::Company, "TAB_PERIVA")->rows.size()));
    EXPECT_DOUBLE_EQ(vat("ALIQUOTA", "22").toDouble(), 22.0);

    ASSERT_EQ(db->executeSql("UPDATE TAB_PERIVA SET DESCRIZIONE = 'Ordinaria' WHERE CODICE = '22'"), kErrNone);
    ASSERT_EQ(db->executeSql("DELETE FROM TAB_PERIVA WHERE CODICE = '4'"), kErrNone);
    ASSERT_TRUE(apply());
    EXPECT_EQ(archives->count("TAB_PERIVA"), rows);
    EXPECT_EQ(vat("DESCRIZIONE", "22").toString(), "Ordinaria");
    EXPECT_TRUE(vat("CODICE", "4").isValid());
}

TEST_P(StandardDataTest, AFailingRowWritesNothing)
{
    // The warehouse goes in before the VAT codes fail: it is rolled back.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(db->connection(), GetParam(), "TAB_PERIVA"), QString());
    EXPECT_FALSE(apply());
    EXPECT_EQ(archives->count("TAB_MAGAZZINI"), 0);
}

ORLAVO_FOR_EACH_ENGINE(StandardDataTest);

} // namespace
