#include "postingbench.h"

#include "../tests/sales/workedinvoice.h"
#include "benchsession.h"
#include "services/data/writeunit.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace Orlavo::Bench {

namespace {

using Services::Engine;
using namespace Sales::Worked;

constexpr int kItems = 100000;
constexpr int kInvoices = 50000;

// Postings timed one by one; ORLAVO_BENCH_POSTINGS sets another count.
int postings()
{
    const int count = qEnvironmentVariableIntValue("ORLAVO_BENCH_POSTINGS");
    return count > 0 ? count : 200;
}

// Invoices of the one-transaction run; ORLAVO_BENCH_BATCH sets another count.
int batchSize()
{
    const int count = qEnvironmentVariableIntValue("ORLAVO_BENCH_BATCH");
    return count > 0 ? count : 10000;
}

QString itemCode(int i)
{
    return QStringLiteral("ART%1").arg(i % kItems, 6, 10, QLatin1Char('0'));
}

// The standard data, customer 7, 100 000 items and 50 000 invoices of two
// rows, the counters where those invoices left them.
bool prepare(Session &session)
{
    Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
    if (!seedWorkedInvoices(unit))
        return false;
    for (int i = 0; i < kItems && unit.ok(); ++i)
        unit.execCompany(QStringLiteral("Prova"),
                         QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, ESISTENZA, NUM_DEC) "
                                        "VALUES ('01', 'ABC', ?, 1000000, 2)"),
                         {itemCode(i)});
    for (int i = 1; i <= kInvoices && unit.ok(); ++i) {
        unit.execCompany(QStringLiteral("Prova"),
                         QStringLiteral("INSERT INTO FVENDT (ANNO, NRO_INT, NRO_REG, NRO_DOC, DATA_REG, DATA_DOC, "
                                        "MOVIMENTO, CLIENTE, TOTALE) VALUES (?, ?, ?, ?, ?, ?, 'VFM', 7, 122)"),
                         {kWorkedYear, i, i, i, QDate(2025, 1, 15), QDate(2025, 1, 15)});
        for (int row = 1; row <= 2; ++row)
            unit.execCompany(
                QStringLiteral("Prova"),
                QStringLiteral("INSERT INTO FVENDD (ANNO, NRO_INT, RIGA, MAGAZ, MARCA, ARTICOLO, QTA, "
                               "PREZZO, NETTO, COD_IVA) VALUES (?, ?, ?, '01', 'ABC', ?, 1, 50, 50, '22')"),
                {kWorkedYear, i, row, itemCode(i * 2 + row)});
    }
    unit.execCompany(QStringLiteral("Prova"),
                     QStringLiteral("UPDATE NUMERA SET NUMERATORE = ? WHERE ANNO = ? AND NOME IN "
                                    "('NROINT', 'FVEND', 'FVENDDOC')"),
                     {kInvoices, kWorkedYear});
    unit.execCompany(QStringLiteral("Prova"), QStringLiteral("UPDATE NUMERA SET MAX_NUMERA = 9999999 WHERE ANNO = ?"),
                     {kWorkedYear});
    return unit.commit();
}

// Ten item rows, on two VAT codes and two revenue accounts.
Sales::InvoicePosting invoice(int n)
{
    static std::vector<QByteArray> codes;
    QList<Line> lines;
    for (int r = 0; r < 10; ++r) {
        codes.push_back(itemCode(n * 10 + r).toLatin1());
        lines.append({codes.back().constData(), double(1 + r), 10.5 + r, r % 2 ? "10" : "22", r % 2 ? "R2" : "R1"});
    }
    Sales::InvoicePosting p = workedInvoice("VFM", lines, 5, 10);
    if (codes.size() > 1000)
        codes.erase(codes.begin(), codes.end() - 10);
    return p;
}

void posting(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !prepare(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    session.db().state().company = QStringLiteral("01");
    std::vector<double> times;
    for (auto _ : state) {
        for (int i = 0; i < postings(); ++i) {
            Sales::InvoicePosting p = invoice(i);
            QElapsedTimer timer;
            timer.start();
            if (!Sales::postInvoice(session.db(), p).result.written()) {
                state.SkipWithError(session.lastError().c_str());
                return;
            }
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p90_ms"] = times[times.size() * 9 / 10];
}

void batch(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !prepare(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    session.db().state().company = QStringLiteral("01");
    int posted = 0;
    for (auto _ : state) {
        const Services::ArchiveLock lock(session.db(), QStringLiteral("TUTTO"));
        Services::WriteUnit unit(session.db(), QStringLiteral("Generazione fatture"),
                                 Services::WriteUnit::Report::Quiet);
        for (int i = 0; i < batchSize(); ++i) {
            Sales::InvoicePosting p = invoice(i);
            Sales::Posted done;
            if (!Sales::postInvoiceIn(session.db(), unit, p, done)) {
                state.SkipWithError(session.lastError().c_str());
                return;
            }
            ++posted;
        }
        if (!unit.commit()) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
    }
    state.counters["invoices_per_second"] = benchmark::Counter(posted, benchmark::Counter::kIsRate);
}

} // namespace

void registerPostingBenchmarks()
{
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        benchmark::RegisterBenchmark((std::string("InvoicePosting/") + engineName).c_str(), posting, engine)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            (std::string("InvoiceBatch/") + engineName + "/" + std::to_string(batchSize())).c_str(), batch, engine)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace Orlavo::Bench
