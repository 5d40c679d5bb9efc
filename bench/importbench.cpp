// Importing postal codes from a text file: the preview (file read, table
// and provinces read, every line classified) and the writes (lock, one
// write unit, one INSERT per row, commit), on a fresh company each run.
// The benchmarks register themselves at start-up.

#include "benchsession.h"

#include "files.h"
#include "masterdata/stores/tableimport.h"
#include "services/core/tablenames.h"

#include <QElapsedTimer>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <string>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

constexpr int kPostalCodes = 8000;

int rowsOr(int standard)
{
    bool ok = false;
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS", &ok);
    return ok && rows > 0 ? rows : standard;
}

// "CAP;CITTA;PROVINCIA", then `rows` postal codes from 10000 upwards, CRLF.
QByteArray postalCodeFile(int rows)
{
    static const QStringList provinces = {QStringLiteral("TO"), QStringLiteral("MI"), QStringLiteral("RM"),
                                          QStringLiteral("NA"), QStringLiteral("FI"), QStringLiteral("BO"),
                                          QStringLiteral("PA"), QStringLiteral("FC")};
    QStringList lines = {QStringLiteral("CAP;CITTA;PROVINCIA")};
    lines.reserve(rows + 1);
    for (int i = 0; i < rows; ++i)
        lines << QStringLiteral("%1;Comune di prova %2;%3").arg(10000 + i).arg(i).arg(provinces[i % provinces.size()]);
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

void importPostalCodes(benchmark::State &state, Engine engine)
{
    const int rows = int(state.range(0));
    Session session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    const QString path = session.archives().folder() + QStringLiteral("cap.txt");
    if (!Testing::writeBytes(path, postalCodeFile(rows))) {
        state.SkipWithError("file not written");
        return;
    }
    double previewMs = 0;
    double applyMs = 0;
    Masterdata::ImportApplied applied;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto preview = Masterdata::previewImportFile(session.db(), Masterdata::ImportKind::PostalCodes, path);
        if (!preview || preview->added.size() != rows) {
            state.SkipWithError("preview did not find every line new");
            return;
        }
        previewMs = double(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        applied = Masterdata::applyImport(session.db(), *preview);
        applyMs = double(clock.nsecsElapsed()) / 1e6;
    }
    const int stored = session.archives().count(Services::Tables::TAB_CAP);
    if (applied.result != Masterdata::ImportApplied::Result::Written || applied.inserted != rows || stored != rows) {
        state.SkipWithError(QStringLiteral("TAB_CAP holds %1 rows, expected %2; %3")
                                .arg(stored)
                                .arg(rows)
                                .arg(QString::fromStdString(session.lastError()))
                                .toStdString()
                                .c_str());
        return;
    }
    state.SetItemsProcessed(rows);
    state.counters["preview_ms"] = previewMs;
    state.counters["apply_ms"] = applyMs;
}

[[maybe_unused]] const bool registered = [] {
    for (const auto &[name, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        benchmark::RegisterBenchmark((std::string("ImportPostalCodes/") + name).c_str(), importPostalCodes, engine)
            ->Arg(rowsOr(kPostalCodes))
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

} // namespace Orlavo::Bench
