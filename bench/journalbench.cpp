#include "journalbench.h"

#include "accounting/stores/entrystore.h"
#include "benchsession.h"
#include "masterdata/stores/recorduses.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"

#include <QElapsedTimer>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

constexpr int kEntries = 10000;
constexpr int kJournalLines = 1000000;
const QString kYear = QStringLiteral("2026");

bool prepare(Session &session)
{
    Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
    return Services::Counters::insertFirstYearCounters(unit, kYear, false) && unit.commit();
}

Accounting::EntryRow line(const char *account, double amount)
{
    Accounting::EntryRow row;
    row.account = QString::fromLatin1(account);
    row.amount = amount;
    row.description = QStringLiteral("Riga di prova");
    return row;
}

// Four lines: two debits, two credits.
Accounting::ManualEntry entry(int i)
{
    Accounting::ManualEntry e;
    e.year = kYear;
    e.movementDate = e.registrationDate = QDate(2026, 1, 1).addDays(i % 365);
    e.causal = QStringLiteral("GC");
    e.description = QStringLiteral("Giroconto %1").arg(i);
    e.total = 100 + i % 1000;
    e.debit = {line("014001", e.total - 30), line("015001", 30)};
    e.credit = {line("041001", e.total - 40), line("024001", 40)};
    return e;
}

void entries(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready() || !prepare(session)) {
        state.SkipWithError(session.ready() ? session.lastError().c_str() : session.problem().c_str());
        return;
    }
    int written = 0;
    for (auto _ : state) {
        for (int i = 1; i <= kEntries; ++i) {
            if (Accounting::registerEntry(session.db(), entry(i)).result.end != Services::WriteEnd::Written) {
                state.SkipWithError(session.lastError().c_str());
                return;
            }
            ++written;
        }
    }
    state.counters["entries_per_second"] = benchmark::Counter(written, benchmark::Counter::kIsRate);
}

// A million journal lines over 5 000 accounts; the check asks for one in
// use and one never used.
void accountInUse(benchmark::State &state, Engine engine)
{
    Session session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    {
        Services::WriteUnit unit(session.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        const QString insert = QStringLiteral("INSERT INTO GIORN (ANNO, NRO_INT, SEQUENZA, CONTO, IMPORTO, SEGNO) "
                                              "VALUES ('2026', ?, ?, ?, 1, 'D')");
        for (int i = 0; i < kJournalLines && unit.ok(); ++i)
            unit.execCompany(QStringLiteral("Insert"), insert,
                             {i / 4 + 1, i % 4 + 1, QStringLiteral("C%1").arg(i % 5000, 5, 10, QLatin1Char('0'))});
        if (!unit.commit()) {
            state.SkipWithError(session.lastError().c_str());
            return;
        }
    }
    if (engine == Engine::Postgres)
        QSqlQuery(session.db().connection()).exec(QStringLiteral("ANALYZE GIORN"));
    const QList<Masterdata::RecordUse> uses = {
        {QStringLiteral("GIORN"), {QStringLiteral("CONTO")}, QStringLiteral("Contabilità")}};
    int i = 0;
    for (auto _ : state) {
        const QString account = ++i % 2 ? QStringLiteral("C01234") : QStringLiteral("NESSUNO");
        const auto found = Masterdata::usesOf(session.db(), uses, {account});
        if (!found || found->isEmpty() != (account == QLatin1String("NESSUNO"))) {
            state.SkipWithError("wrong answer");
            return;
        }
    }
}

} // namespace

void registerJournalBenchmarks()
{
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        benchmark::RegisterBenchmark((std::string("JournalEntries/") + engineName + "/10000").c_str(), entries, engine)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("AccountInUse/") + engineName + "/1000000").c_str(), accountInUse,
                                     engine)
            ->Iterations(200)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace Orlavo::Bench
