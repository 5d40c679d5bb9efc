#include "lookupbench.h"

#include "services/core/tablenames.h"
#include "ui/lookuplist.h"
#include "windowsession.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <array>

namespace Orlavo::Bench {

namespace {

using Services::Engine;
namespace Tables = Services::Tables;

constexpr int kRows = 100000;
// Descriptions cycle through these, so "ROS" matches one row in ten.
constexpr std::array<const char *, 10> kWords = {"ROSSI MARIO", "BIANCHI", "VERDI ANNA", "BAROSSO", "NERI",
                                                 "MARIO ROSSI", "GIALLI",  "FERRARI",    "COLOMBO", "RICCI LUIGI"};

// A statistics table of kRows codes in a fresh company.
WindowSession lookupSession(Engine engine)
{
    return WindowSession(
        engine, QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_C_STATIS), kRows,
        [](int i) -> Services::Params {
            return {QStringLiteral("C%1").arg(i - 1, 7, 10, QLatin1Char('0')),
                    QStringLiteral("%1 %2").arg(QLatin1String(kWords[(i - 1) % kWords.size()])).arg(i - 1)};
        });
}

// From the request to the list on screen: query, rows, window painted.
void lookupList(benchmark::State &state, Engine engine, const char *typed)
{
    WindowSession session = lookupSession(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    Ui::LookupRequest request;
    request.table = Tables::TAB_C_STATIS;
    request.title = QStringLiteral("Lista Raggruppamenti statistici");
    request.columns = {
        {QStringLiteral("CODICE"), QStringLiteral("12C"), QStringLiteral("CODICE")},
        {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C") + QLatin1String(typed), QStringLiteral("DESCRIZIONE")}};
    ListedScreen screen;
    for (auto _ : state) {
        if (!paintList(state, session.context(), request, screen))
            return;
    }
    reportScreen(state, screen);
}

} // namespace

void registerLookupBenchmarks()
{
    for (const auto &[name, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        for (const auto &[filter, typed] : {std::pair{"all", ""}, std::pair{"typed_ROS", "ROS"}}) {
            const std::string label = std::string("LookupList100k/") + filter + "/" + name;
            benchmark::RegisterBenchmark(label.c_str(), lookupList, engine, typed)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(2.0);
        }
    }
}

} // namespace Orlavo::Bench
