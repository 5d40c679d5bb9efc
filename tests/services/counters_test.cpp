#include "archives.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;
namespace Tables = Orlavo::Services::Tables;

namespace {

class CountersTest : public EngineTest
{
protected:
    void counter(const QString &table, const QString &year, const QString &name, int value, int limit = 99999)
    {
        ASSERT_EQ(db->executeSql(QStringLiteral("INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) "
                                                "VALUES (?, ?, ?, ?, ?)")
                                     .arg(table),
                                 {year, name, QStringLiteral("Prova"), value, limit}),
                  kErrNone)
            << db->error().description.toStdString();
    }

    int stored(const QString &table, const QString &year, const QString &name) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT NUMERATORE FROM %1 WHERE ANNO = ? AND NOME = ?").arg(table), {year, name})
            .toInt();
    }

    // One number taken in a unit of its own, committed.
    int takeCommitted(const QString &key)
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        const int number = Counters::nextNumber(*db, key);
        if (number == 0)
            return 0;
        return unit.commit() ? number : -1;
    }

    int count(const QString &year) const
    {
        return archives->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO = ?").arg(Tables::NUMERA), {year})
            .toInt();
    }
};

} // namespace

TEST_P(CountersTest, NumbersGrowUpToOneBelowTheLimit)
{
    counter(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("FVEND"), 99997);
    EXPECT_EQ(takeCommitted(QStringLiteral("2026FVEND")), 99998);
    EXPECT_EQ(takeCommitted(QStringLiteral("2026FVEND")), 0);
    EXPECT_EQ(db->error().code, kErrCounter);
    EXPECT_EQ(db->error().step, QStringLiteral("Fine numeratori 2026FVEND"));
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("FVEND")), 99998);
}

TEST_P(CountersTest, MissingCountersAndShortKeysAreCode100)
{
    for (const char *key : {"2027FVEND", "2026", "26"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(takeCommitted(QString::fromLatin1(key)), 0);
        EXPECT_EQ(db->error().code, kErrCounter);
        EXPECT_EQ(db->error().step, QStringLiteral("Non trovato il numeratore ") + QString::fromLatin1(key));
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(exits, 0);
}

TEST_P(CountersTest, ANumberIsSpentOnlyWhenTheCallerCommits)
{
    counter(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("DDT"), 41);
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        EXPECT_EQ(Counters::nextNumber(*db, QStringLiteral("2026DDT")), 42);
        unit.abandon();
    }
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("DDT")), 41);
    EXPECT_EQ(takeCommitted(QStringLiteral("2026DDT")), 42);
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("DDT")), 42);
}

TEST_P(CountersTest, RunCountersEndTheApplicationWhenMissingOrSpent)
{
    counter(Tables::NUMERA_S, QStringLiteral("2026"), QStringLiteral("GIORNALE"), 5, 7);
    int cleared = 0;
    const auto clear = [&cleared] { ++cleared; };
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        EXPECT_EQ(Counters::nextNumberS(*db, QStringLiteral("2026GIORNALE"), clear), 6);
        ASSERT_TRUE(unit.commit());
    }
    EXPECT_EQ(exits, 0);
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        EXPECT_EQ(Counters::nextNumberS(*db, QStringLiteral("2026GIORNALE"), clear), 0);
    }
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        EXPECT_EQ(Counters::nextNumberS(*db, QStringLiteral("2026STAMPA"), clear), 0);
    }
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(cleared, 2);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Fine numeratori 2026GIORNALE\fImpossibile procedere. "));
    EXPECT_EQ(prompter.shown().at(1).text,
              QStringLiteral("Non trovato il numeratore 2026STAMPA\fImpossibile procedere. "));
    EXPECT_EQ(prompter.shown().at(1).title, QStringLiteral("Errore"));
    EXPECT_EQ(prompter.shown().at(1).icon, Prompter::Icon::Critical);
    EXPECT_EQ(stored(Tables::NUMERA_S, QStringLiteral("2026"), QStringLiteral("GIORNALE")), 6);
}

TEST_P(CountersTest, ANewCompanyHasItsFirstYearAndYearlessCounters)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(Counters::insertFirstYearCounters(unit, QStringLiteral("2026"), true));
        ASSERT_TRUE(unit.commit());
    }
    EXPECT_EQ(count(QStringLiteral("2026")), Counters::firstYearCounters().size());
    EXPECT_EQ(takeCommitted(QStringLiteral("2026FVENDADOC_NA")), 1);
    EXPECT_EQ(takeCommitted(QStringLiteral("2026NROINT")), 1);
    EXPECT_EQ(takeCommitted(QStringLiteral("****ANAC")), 1);
    EXPECT_EQ(takeCommitted(QStringLiteral("****ANAC")), 2);
    EXPECT_EQ(takeCommitted(QStringLiteral("****ANAF")), 1);

    // Applied again, nothing is duplicated and no counter goes back.
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(Counters::insertFirstYearCounters(unit, QStringLiteral("2026"), true));
        ASSERT_TRUE(unit.commit());
    }
    EXPECT_EQ(count(QStringLiteral("2026")), Counters::firstYearCounters().size());
    EXPECT_EQ(takeCommitted(QStringLiteral("****ANAC")), 3);
}

TEST_P(CountersTest, ANewYearCarriesThePreviousYearsCountersAtZero)
{
    counter(Tables::NUMERA, QStringLiteral("2025"), QStringLiteral("FVEND"), 120);
    counter(Tables::NUMERA, QStringLiteral("2025"), QStringLiteral("DDT_TIPO_1"), 30);
    counter(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("FVEND"), 4);
    counter(Tables::NUMERA, QStringLiteral("****"), QStringLiteral("ANAC"), 9);
    ASSERT_TRUE(Counters::verifyYearCounters(*db, QStringLiteral("2026")));
    EXPECT_EQ(count(QStringLiteral("2026")), 2);
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("FVEND")), 4);
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("2026"), QStringLiteral("DDT_TIPO_1")), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    // A year after a gap starts from the first-year set.
    ASSERT_TRUE(Counters::verifyYearCounters(*db, QStringLiteral("2030")));
    EXPECT_EQ(count(QStringLiteral("2030")), Counters::firstYearCounters().size());
    EXPECT_EQ(stored(Tables::NUMERA, QStringLiteral("****"), QStringLiteral("ANAC")), 9);
    EXPECT_FALSE(Counters::verifyYearCounters(*db, QStringLiteral("25")));
}

ORLAVO_FOR_EACH_ENGINE(CountersTest);
