#include "listbench.h"

#include "benchsession.h"
#include "masterdata/stores/listgeneration.h"
#include "masterdata/stores/pricelookup.h"
#include "services/data/writeunit.h"

#include <QElapsedTimer>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

// One brand of a million items, in one warehouse, bought from supplier 1
// and sold to customer 7, both with a personal list and discounts for it.
constexpr int kItems = 1000000;
constexpr int kLookups = 1000;

QString codeOf(int i)
{
    return QStringLiteral("ART%1").arg(i, 7, 10, QLatin1Char('0'));
}

double listPriceOf(int i)
{
    return 1.5 + i % 997;
}

bool seedBrand(Session &session, int items)
{
    Services::WriteUnit unit(session.db(), QStringLiteral("Prova listini"), Services::WriteUnit::Report::Quiet);
    for (const char *sql :
         {"INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme')",
          "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Fornitore di prova', 'P')",
          "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Cliente di prova', 'P'), "
          "(8, 'Cliente senza listino', 'P')",
          "INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 5, 0)",
          "INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 5, 0, 0, 20)"})
        unit.execCompany(QStringLiteral("Prova listini"), QString::fromLatin1(sql));
    const QString insert = QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST, "
                                          "PREZZO_ACQ, PREZZO_V1) VALUES ('01', 'ACM', ?, ?, ?, ?, ?)");
    for (int i = 1; i <= items && unit.ok(); ++i) {
        const double price = listPriceOf(i);
        unit.execCompany(QStringLiteral("Ins. articolo"), insert,
                         {codeOf(i), QStringLiteral("Articolo di prova %1").arg(i), price, price / 2, price * 1.1});
    }
    return unit.commit();
}

// Milliseconds at the median and at the worst of a set of timings.
std::pair<double, double> medianAndWorst(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void listGeneration(benchmark::State &state, Engine engine)
{
    const int items = int(state.range(0));
    Session session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    QElapsedTimer clock;
    clock.start();
    if (!seedBrand(session, items)) {
        state.SkipWithError(session.lastError().c_str());
        return;
    }
    state.counters["seed_s"] = clock.nsecsElapsed() / 1e9;
    // The server plans the reads by its statistics, which an archive in use
    // has (autovacuum); fresh from a bulk insert it has none yet.
    if (engine == Engine::Postgres && qEnvironmentVariableIsEmpty("ORLAVO_BENCH_NO_ANALYZE") &&
        !QSqlQuery(session.db().connection()).exec(QStringLiteral("ANALYZE ARTICOLI"))) {
        state.SkipWithError("ANALYZE ARTICOLI refused");
        return;
    }

    Masterdata::GenerationResult purchase, sale;
    double purchaseSeconds = 0, saleSeconds = 0;
    for (auto _ : state) {
        clock.restart();
        purchase =
            Masterdata::generatePurchaseList(session.db(), {1, 0, QStringLiteral("ACM"), QStringLiteral("01"), 2});
        purchaseSeconds = clock.nsecsElapsed() / 1e9;
        clock.restart();
        sale = Masterdata::generateSaleList(session.db(), {7, 1, QStringLiteral("ACM"), QStringLiteral("01"), 2});
        saleSeconds = clock.nsecsElapsed() / 1e9;
    }
    // Every row written and committed, or the figures mean nothing.
    const int purchaseRows = session.archives().count(QStringLiteral("LIST_ACQ"));
    const int saleRows = session.archives().count(QStringLiteral("LIST_VEN"));
    if (!purchase.done() || !sale.done() || purchase.rows != items || sale.rows != items || purchaseRows != items ||
        saleRows != items) {
        state.SkipWithError(QStringLiteral("generated %1 + %2 rows, committed %3 + %4: %5")
                                .arg(purchase.rows)
                                .arg(sale.rows)
                                .arg(purchaseRows)
                                .arg(saleRows)
                                .arg(QString::fromStdString(session.lastError()))
                                .toStdString()
                                .c_str());
        return;
    }
    state.counters["purchase_s"] = purchaseSeconds;
    state.counters["sale_s"] = saleSeconds;

    // A document row's lookup of items spread over the brand: customer 7
    // finds its own row; customer 8 has none and no standard list, so it
    // reads twice and ends at the item's own price.
    std::vector<double> own, fallback;
    quint32 seed = 12345;
    for (int n = 0; n < kLookups; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const int i = 1 + int(seed % quint32(items));
        clock.restart();
        const auto found = Masterdata::lookupListPrices(session.db(), 7, QStringLiteral("ACM"), codeOf(i),
                                                        QStringLiteral("FAT"), false);
        own.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        const auto none = Masterdata::lookupListPrices(session.db(), 8, QStringLiteral("ACM"), codeOf(i),
                                                       QStringLiteral("FAT"), false);
        fallback.push_back(clock.nsecsElapsed() / 1e6);
        if (!found || found->source != Masterdata::PriceSource::CustomerList || found->rows.size() != 1 ||
            found->rows.first().listPrice != listPriceOf(i) || !none || none->source != Masterdata::PriceSource::Item ||
            !none->rows.isEmpty()) {
            state.SkipWithError(QStringLiteral("lookup of %1 wrong").arg(codeOf(i)).toStdString().c_str());
            return;
        }
    }
    const auto [ownMedian, ownWorst] = medianAndWorst(own);
    const auto [fallbackMedian, fallbackWorst] = medianAndWorst(fallback);
    state.counters["lookup_median_ms"] = ownMedian;
    state.counters["lookup_worst_ms"] = ownWorst;
    state.counters["fallback_median_ms"] = fallbackMedian;
    state.counters["fallback_worst_ms"] = fallbackWorst;
}

} // namespace

void registerListBenchmarks()
{
    bool ok = false;
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS", &ok);
    for (const auto &[name, engine] :
         {std::pair{"ListGeneration/SQLite", Engine::Sqlite}, std::pair{"ListGeneration/PostgreSQL", Engine::Postgres}})
        benchmark::RegisterBenchmark(name, listGeneration, engine)
            ->Arg(ok && rows > 0 ? rows : kItems)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kSecond);
}

} // namespace Orlavo::Bench
