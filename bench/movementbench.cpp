#include "movementbench.h"

#include "benchsession.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movementstore.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

constexpr int kItems = 100;
constexpr int kLoads = 50000;

int movements()
{
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_MOVEMENTS");
    return rows > 0 ? rows : 100000;
}

QString itemCode(int i)
{
    return QStringLiteral("ART%1").arg(i % kItems, 4, 10, QLatin1Char('0'));
}

// Items with a supplier's list row each, the year's counters, C10 in the average.
bool prepare(Session &session)
{
    Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
    if (!Services::Counters::insertFirstYearCounters(unit, QStringLiteral("2026"), false))
        return false;
    // A year's counter gives 99 998 numbers by default; the run needs more.
    unit.execCompany(QStringLiteral("Prova"),
                     QStringLiteral("UPDATE NUMERA SET MAX_NUMERA = 9999999 WHERE ANNO = '2026' AND NOME = 'MOVMAG'"));
    unit.execCompany(QStringLiteral("Prova"),
                     QStringLiteral("INSERT INTO TAB_CAU_MAG (CODICE, PMA) VALUES ('C10', -1)"));
    for (int i = 0; i < kItems && unit.ok(); ++i) {
        unit.execCompany(QStringLiteral("Prova"),
                         QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, PREZZO_LIST, NUM_DEC) "
                                        "VALUES ('01', 'ABC', ?, 10, 2)"),
                         {itemCode(i)});
        unit.execCompany(
            QStringLiteral("Prova"),
            QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO) VALUES (34, 'ABC', ?, 10)"),
            {itemCode(i)});
    }
    return unit.commit();
}

Services::Row movement(int i)
{
    Services::Row m(Warehouse::movementTable());
    const bool load = i % 2 == 0;
    m.set(QStringLiteral("ANNO"), QStringLiteral("2026"));
    m.set(QStringLiteral("DATA_REG"), QDate(2026, 1, 1).addDays(i % 365));
    m.set(QStringLiteral("MAGAZZINO"), QStringLiteral("01"));
    m.set(QStringLiteral("MARCA"), QStringLiteral("ABC"));
    m.set(QStringLiteral("ARTICOLO"), itemCode(i / 2));
    m.set(QStringLiteral("CAUSALE"), load ? QStringLiteral("C10") : QStringLiteral("S10"));
    m.set(QStringLiteral("QUANTITA"), 1 + i % 9);
    m.set(QStringLiteral("PREZZO"), 10 + i % 7);
    m.set(QStringLiteral("NDEC"), 2);
    m.set(load ? QStringLiteral("FORNITORE") : QStringLiteral("CLIENTE"), 34);
    return m;
}

void throughTheStore(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !prepare(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    Warehouse::PriceUpdates prices;
    int written = 0;
    for (auto _ : state) {
        for (int i = 0; i < movements(); ++i) {
            if (!Warehouse::insertMovement(session.db(), movement(i), prices).written()) {
                state.SkipWithError((session.lastError() + " after " + std::to_string(written)).c_str());
                return;
            }
            ++written;
        }
    }
    state.counters["movements_per_second"] = benchmark::Counter(written, benchmark::Counter::kIsRate);
}

void averagePrice(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !prepare(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    {
        Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        const QString insert =
            QStringLiteral("INSERT INTO MOVMAG (ANNO, NRO_REG, DATA_REG, MAGAZZINO, MARCA, ARTICOLO, "
                           "CAUSALE, QUANTITA, TOTALE) VALUES ('2026', ?, ?, '01', 'ABC', ?, 'C10', ?, ?)");
        // The measured item's loads among as many of other items.
        for (int i = 1; i <= 2 * kLoads && unit.ok(); ++i)
            unit.execCompany(QStringLiteral("Prova"), insert,
                             {i, QDate(2026, 1, 1).addDays(i % 300), i % 2 ? itemCode(0) : itemCode(1 + i % 50),
                              1 + i % 5, 10.0 * (1 + i % 5)});
        if (!unit.commit()) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
    }
    // An archive in use is vacuumed and analysed by the server on its own.
    if (engine == Engine::Postgres)
        QSqlQuery(session.db().connection()).exec(QStringLiteral("VACUUM ANALYZE MOVMAG"));
    for (auto _ : state) {
        Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        const auto average = Warehouse::averagePurchasePriceOf(unit, QStringLiteral("01"), QStringLiteral("ABC"),
                                                               itemCode(0), QDate(2026, 12, 31), 2);
        if (!average || *average != 10) {
            state.SkipWithError("wrong average");
            return;
        }
        unit.abandon();
    }
}

} // namespace

void registerMovementBenchmarks()
{
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        benchmark::RegisterBenchmark(
            (std::string("Movements/") + engineName + "/" + std::to_string(movements())).c_str(), throughTheStore,
            engine)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("AveragePrice/") + engineName + "/50000").c_str(), averagePrice,
                                     engine)
            ->Iterations(50)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace Orlavo::Bench
