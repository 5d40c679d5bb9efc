#include "archives.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;
namespace Tables = Orlavo::Services::Tables;

namespace {

class CountersTest : public Orlavo::Testing::EngineTest
{
protected:
    void counter(const QString &table, const char *key, int value, int limit = 99999)
    {
        const QString k = QLatin1String(key);
        ASSERT_EQ(db->executeSql(QStringLiteral("INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) "
                                                "VALUES (?, ?, 'Prova', ?, ?)")
                                     .arg(table),
                                 {k.left(4), k.mid(4), value, limit}),
                  kErrNone)
            << db->error().description.toStdString();
    }
    // The committed counter of a key, or the number of counters of a year.
    int stored(const char *key, const QString &table = Tables::NUMERA) const
    {
        const QString k = QLatin1String(key);
        return k.size() == 4
                   ? archives->count(QStringLiteral("%1 WHERE ANNO = '%2'").arg(table, k))
                   : archives
                         ->scalar(QStringLiteral("SELECT NUMERATORE FROM %1 WHERE ANNO = ? AND NOME = ?").arg(table),
                                  {k.left(4), k.mid(4)})
                         .toInt();
    }
    // One number taken in a unit of its own, committed; of a run counter
    // (NUMERA_S) with `run`, counting the clean-ups before the end.
    int take(const char *key, bool run = false)
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        const int number = run ? Counters::nextNumberS(*db, QLatin1String(key), [this] { ++cleared; })
                               : Counters::nextNumber(*db, QLatin1String(key));
        return number != 0 && unit.commit() ? number : 0;
    }
    int cleared = 0;
};

} // namespace

// A number is spent only when the caller commits; the last one is one
// below the limit; a missing counter or a key too short is code 100.
TEST_P(CountersTest, NextNumber)
{
    counter(Tables::NUMERA, "2026FVEND", 99996);
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        EXPECT_EQ(Counters::nextNumber(*db, "2026FVEND"), 99997);
        unit.abandon();
    }
    EXPECT_EQ(stored("2026FVEND"), 99996);
    EXPECT_EQ(take("2026FVEND"), 99997);
    EXPECT_EQ(take("2026FVEND"), 99998);
    EXPECT_EQ(take("2026FVEND"), 0);
    EXPECT_EQ(db->error().code, kErrCounter);
    EXPECT_EQ(db->error().step, "Fine numeratori 2026FVEND");
    EXPECT_EQ(stored("2026FVEND"), 99998);
    for (const char *key : {"2027FVEND", "26"}) {
        EXPECT_EQ(take(key), 0);
        EXPECT_EQ(db->error().code, kErrCounter);
        EXPECT_EQ(db->error().step, QStringLiteral("Non trovato il numeratore ") + QLatin1String(key));
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(exits, 0);
}

TEST_P(CountersTest, RunCountersEndTheApplicationWhenMissingOrSpent)
{
    counter(Tables::NUMERA_S, "2026GIORNALE", 5, 7);
    EXPECT_EQ(take("2026GIORNALE", true), 6);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(take("2026GIORNALE", true), 0);
    EXPECT_EQ(take("2026STAMPA", true), 0);
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(cleared, 2);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, "Fine numeratori 2026GIORNALE\fImpossibile procedere. ");
    EXPECT_EQ(prompter.shown().at(1).text,
              QStringLiteral("Non trovato il numeratore 2026STAMPA\fImpossibile procedere. "));
    EXPECT_EQ(stored("2026GIORNALE", Tables::NUMERA_S), 6);
}

TEST_P(CountersTest, ANewCompanyHasItsFirstYearAndYearlessCounters)
{
    // Applied twice: nothing is duplicated and no counter goes back.
    for (int round = 1; round <= 2; ++round) {
        WriteUnit unit(*db, "Prova");
        ASSERT_TRUE(Counters::insertFirstYearCounters(unit, "2026", true) && unit.commit());
        EXPECT_EQ(stored("2026"), Counters::firstYearCounters().size());
        EXPECT_EQ(take("****ANAC"), round);
    }
    EXPECT_EQ(take("2026NROINT"), 1);
    EXPECT_EQ(take("****ANAF"), 1);
}

TEST_P(CountersTest, ANewYearCarriesThePreviousYearsCountersAtZero)
{
    const std::pair<const char *, int> counters[] = {
        {"2025FVEND", 120}, {"2025DDT_TIPO_1", 30}, {"2026FVEND", 4}, {"****ANAC", 9}};
    for (const auto &[key, value] : counters)
        counter(Tables::NUMERA, key, value);
    ASSERT_TRUE(Counters::verifyYearCounters(*db, "2026"));
    EXPECT_EQ(stored("2026"), 2);
    EXPECT_EQ(stored("2026FVEND"), 4);
    EXPECT_EQ(stored("2026DDT_TIPO_1"), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    // A year after a gap starts from the first-year set.
    ASSERT_TRUE(Counters::verifyYearCounters(*db, "2030"));
    EXPECT_EQ(stored("2030"), Counters::firstYearCounters().size());
    EXPECT_EQ(stored("****ANAC"), 9);
    EXPECT_FALSE(Counters::verifyYearCounters(*db, "25"));
}

ORLAVO_FOR_EACH_ENGINE(CountersTest);
