#include "itembench.h"

#include "benchsession.h"
#include "masterdata/stores/itemstore.h"
#include "services/data/writeunit.h"

#include <benchmark/benchmark.h>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

// A brand sold to 200 customers with personal discounts and bought from 10
// suppliers: a new item of the brand seeds 10 purchase rows and 2 000 sale rows.
constexpr int kCustomers = 200;
constexpr int kSuppliers = 10;

bool seedDiscounts(Session &session)
{
    Services::WriteUnit unit(session.db(), QStringLiteral("Prova sconti"), Services::WriteUnit::Report::Quiet);
    bool ok = unit.execCompany(QStringLiteral("Ins. marca"),
                               QStringLiteral("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme')"));
    for (int s = 1; ok && s <= kSuppliers; ++s)
        ok = unit.execCompany(QStringLiteral("Ins. sconto forn"),
                              QStringLiteral("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1) VALUES (?, 'ACM', ?)"),
                              {s, s});
    for (int c = 1; ok && c <= kCustomers; ++c)
        ok = unit.execCompany(
            QStringLiteral("Ins. sconto cli"),
            QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, PERC_RIC) VALUES (?, 'ACM', ?, 20)"),
            {c, c % 30});
    return ok && unit.commit();
}

void itemInsert(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !seedDiscounts(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    int code = 0;
    for (auto _ : state) {
        Masterdata::Item item = Masterdata::newItem(session.db(), {});
        Services::Row &row = item.main();
        row.setText(QStringLiteral("MAGAZZINO"), QStringLiteral("01"));
        row.setText(QStringLiteral("MARCA"), QStringLiteral("ACM"));
        row.setText(QStringLiteral("ARTICOLO"), QStringLiteral("ART%1").arg(++code));
        row.setText(QStringLiteral("DESC_ART"), QStringLiteral("Articolo %1").arg(code));
        row.set(QStringLiteral("PREZZO_LIST"), 123.45);
        if (!Masterdata::insertItem(session.db(), item, {}).written()) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
    }
    // Every insert seeded its rows, or the figure means nothing.
    const int rows = session.archives().count(QStringLiteral("LIST_VEN"));
    if (rows != code * kCustomers * kSuppliers)
        state.SkipWithError(QStringLiteral("LIST_VEN holds %1 rows").arg(rows).toStdString().c_str());
    state.counters["list_rows"] = kCustomers * kSuppliers;
}

} // namespace

void registerItemBenchmarks()
{
    for (const auto &[name, engine] : {std::pair{"ItemInsertSeeding2000SaleRows/SQLite", Engine::Sqlite},
                                       std::pair{"ItemInsertSeeding2000SaleRows/PostgreSQL", Engine::Postgres}})
        benchmark::RegisterBenchmark(name, itemInsert, engine)
            ->Iterations(5)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
}

} // namespace Orlavo::Bench
