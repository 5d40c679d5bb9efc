#include "numerabench.h"

#include "benchsession.h"
#include "services/data/counters.h"

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QLatin1Char>
#include <QList>
#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include <functional>

#include <memory>
#include <string>

namespace Orlavo::Bench {

namespace {

using Services::AppState;
using Services::DataAccess;
using Services::Engine;
using Services::Params;
using Services::WriteUnit;
using Testing::PgServer;
using Testing::ScriptedPrompter;
using Testing::TestArchives;

// Rows of the bulk insert and of the read back.
constexpr int kBulkRows = 100000;
// Rows of the insert with one transaction per row. SQLite commits with
// synchronous=FULL and a rollback journal, several syncs per commit, so it
// gets fewer rows; the per-row figure is what matters.
constexpr int kPerRowSqlite = 2000;
constexpr int kPerRowPostgres = 100000;

const QString kSelectAll = QStringLiteral("SELECT * FROM NUMERA ORDER BY NOME");
const QString kWhere = QStringLiteral("Prova numeratori");
const QString kStep = QStringLiteral("Ins. numeratore");

// Rows first .. first + count - 1 in one write unit.
bool insertInOneUnit(DataAccess &db, int first, int count)
{
    WriteUnit unit(db, kWhere, WriteUnit::Report::Quiet);
    for (int i = first; i < first + count; ++i) {
        if (!unit.execCompany(kStep, kInsertNumera, numeraRow(i)))
            return false;
    }
    return unit.commit();
}

void reportRows(benchmark::State &state, int rows)
{
    state.SetItemsProcessed(rows);
    // Seconds per row, shown with an SI prefix (u = microseconds).
    state.counters["per_row"] = benchmark::Counter(rows, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Whether the table holds exactly `rows` committed rows; otherwise the run
// is marked failed.
bool checkCommitted(benchmark::State &state, Session &session, int rows)
{
    const int found = session.committedRows();
    if (found == rows)
        return true;
    state.SkipWithError(QStringLiteral("NUMERA holds %1 rows, expected %2").arg(found).arg(rows).toStdString().c_str());
    return false;
}

// Times `insert` writing rows 1 .. n on fresh archives, then checks them.
void timeInserts(benchmark::State &state, Engine engine, const std::function<bool(DataAccess &, int)> &insert)
{
    const int rows = int(state.range(0));
    Session session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    for (auto _ : state) {
        if (!insert(session.db(), rows)) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
    }
    if (checkCommitted(state, session, rows))
        reportRows(state, rows);
}

void insertOneTransaction(benchmark::State &state, Engine engine)
{
    timeInserts(state, engine, [](DataAccess &db, int rows) { return insertInOneUnit(db, 1, rows); });
}

void insertTransactionPerRow(benchmark::State &state, Engine engine)
{
    timeInserts(state, engine, [](DataAccess &db, int rows) {
        for (int i = 1; i <= rows; ++i) {
            if (!insertInOneUnit(db, i, 1))
                return false;
        }
        return true;
    });
}

// Numbers taken from one counter, each in a transaction of its own, as a
// document posting takes them; items_per_second is numbers a second.
void nextNumberPerTransaction(benchmark::State &state, Engine engine)
{
    const int numbers = int(state.range(0));
    Session session(engine);
    if (!session.ready() || !insertInOneUnit(session.db(), 1, 1)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    const QString key = QStringLiteral("2026") + numeraRow(1).at(1).toString();
    int last = 0;
    for (auto _ : state) {
        for (int i = 0; i < numbers; ++i) {
            WriteUnit unit(session.db(), QStringLiteral("Prova numeratore"), WriteUnit::Report::Quiet);
            last = Services::Counters::nextNumber(session.db(), key);
            if (last == 0 || !unit.commit()) {
                state.SkipWithError(session.lastError().c_str());
                return;
            }
        }
    }
    // The counter started at 1 (numeraRow) and gave every number once.
    if (last != 1 + numbers) {
        state.SkipWithError(
            QStringLiteral("last number %1, expected %2").arg(last).arg(1 + numbers).toStdString().c_str());
        return;
    }
    reportRows(state, numbers);
}

// Two workstations taking numbers from the same counter at once, each on
// a connection of its own in its own thread, one transaction per number.
// items_per_second counts the numbers of both.
void nextNumberTwoWorkstations(benchmark::State &state, Engine engine)
{
    const int each = int(state.range(0)) / 2;
    Session session(engine);
    if (!session.ready() || !insertInOneUnit(session.db(), 1, 1)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    const QString key = QStringLiteral("2026") + numeraRow(1).at(1).toString();
    const Services::ConnectionConfig config = session.archives().config();
    const QString log = session.archives().folder() + QStringLiteral("CONT.LOG");
    std::atomic<int> failures{0};
    std::array<QList<int>, 2> taken;
    const auto workstation = [&](QList<int> &numbers, const QString &user) {
        Services::AppState appState;
        appState.user = user;
        Testing::ScriptedPrompter prompter;
        {
            DataAccess db(appState, prompter, log);
            db.setExitHook([&failures](int) { ++failures; });
            if (!db.openServices(config) || !db.openCompany(QStringLiteral("01"))) {
                ++failures;
                return;
            }
            for (int i = 0; i < each; ++i) {
                WriteUnit unit(db, QStringLiteral("Prova numeratore"), WriteUnit::Report::Quiet);
                const int number = Services::Counters::nextNumber(db, key);
                if (number == 0 || !unit.commit()) {
                    ++failures;
                    return;
                }
                numbers.append(number);
            }
        }
    };
    for (auto _ : state) {
        std::thread first(workstation, std::ref(taken[0]), QStringLiteral("ANNA"));
        std::thread second(workstation, std::ref(taken[1]), QStringLiteral("BRUNO"));
        first.join();
        second.join();
    }
    // Every number from 2 on given once, none lost.
    QList<int> all = taken[0] + taken[1];
    std::sort(all.begin(), all.end());
    for (int i = 0; i < all.size(); ++i) {
        if (all.at(i) != 2 + i)
            failures++;
    }
    if (failures > 0 || all.size() != 2 * each) {
        state.SkipWithError(QStringLiteral("%1 failures, %2 numbers of %3")
                                .arg(failures.load())
                                .arg(all.size())
                                .arg(2 * each)
                                .toStdString()
                                .c_str());
        return;
    }
    reportRows(state, 2 * each);
}

void readAll(benchmark::State &state, Engine engine)
{
    const int rows = int(state.range(0));
    Session session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    if (!insertInOneUnit(session.db(), 1, rows)) {
        state.SkipWithError(session.lastError().c_str());
        return;
    }
    qsizetype seen = 0;
    qint64 numbers = 0;
    qsizetype nameChars = 0;
    for (auto _ : state) {
        auto read = session.db().openRecordset(kSelectAll);
        if (!read) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
        for (const auto row : *read) {
            nameChars += row.text(QStringLiteral("NOME")).size();
            numbers += row.integer(QStringLiteral("NUMERATORE"));
            ++seen;
        }
        benchmark::DoNotOptimize(nameChars);
        benchmark::DoNotOptimize(numbers);
    }
    // Every row came back, each name "N" + six digits, NUMERATORE 1 .. rows.
    const qint64 expectedSum = qint64(rows) * (rows + 1) / 2;
    if (seen != rows || nameChars != qsizetype(rows) * 7 || numbers != expectedSum) {
        state.SkipWithError(QStringLiteral("read %1 rows, %2 name characters, sum %3; expected %4, %5, %6")
                                .arg(seen)
                                .arg(nameChars)
                                .arg(numbers)
                                .arg(rows)
                                .arg(qsizetype(rows) * 7)
                                .arg(expectedSum)
                                .toStdString()
                                .c_str());
        return;
    }
    reportRows(state, rows);
}

// ORLAVO_BENCH_ROWS replaces every row count, for a quick run or a profile.
int rowsOr(int standard)
{
    bool ok = false;
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS", &ok);
    return ok && rows > 0 ? rows : standard;
}

void add(const std::string &name, void (*body)(benchmark::State &, Engine), Engine engine, int rows)
{
    benchmark::RegisterBenchmark(name.c_str(), body, engine)
        ->Arg(rowsOr(rows))
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerNumeraBenchmarks()
{
    struct EngineCase {
        const char *name;
        Engine engine;
        int perRow;
    };
    for (const EngineCase &e : {EngineCase{"SQLite", Engine::Sqlite, kPerRowSqlite},
                                EngineCase{"PostgreSQL", Engine::Postgres, kPerRowPostgres}}) {
        const std::string suffix = std::string("/") + e.name;
        add("NumeraInsertOneTransaction" + suffix, insertOneTransaction, e.engine, kBulkRows);
        add("NumeraInsertTransactionPerRow" + suffix, insertTransactionPerRow, e.engine, e.perRow);
        add("NumeraReadAll" + suffix, readAll, e.engine, kBulkRows);
        add("NextNumberPerTransaction" + suffix, nextNumberPerTransaction, e.engine, e.perRow);
        add("NextNumberTwoWorkstations" + suffix, nextNumberTwoWorkstations, e.engine, e.perRow);
    }
}

} // namespace Orlavo::Bench
