#include "customerbench.h"

#include "masterdata/windows/anaric.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"
#include "windowsession.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <array>

namespace Orlavo::Bench {

namespace {

using Services::Engine;
namespace Tables = Services::Tables;

constexpr int kCustomers = 100000;
// Names cycle through these: "ross" is in two names of ten, "neri 4242" in
// a handful of customers.
constexpr std::array<const char *, 10> kNames = {"ROSSI MARIO", "BIANCHI SRL", "VERDI ANNA", "BAROSSO SPA", "NERI",
                                                 "MARIO ROSSI", "GIALLI SNC",  "FERRARI",    "COLOMBO",     "RICCI"};
constexpr std::array<const char *, 4> kTowns = {"TORINO", "MILANO", "ROMA", "NAPOLI"};

WindowSession customerSession(Engine engine)
{
    return WindowSession(
        engine,
        QStringLiteral("INSERT INTO %1 (CLIENTE, CODICE2, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, CITTA_LEG, "
                       "PROVINCIA_LEG, AGENTE, COND_PAG) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(Tables::ANAG_CLI),
        kCustomers, [](int i) -> Services::Params {
            return {i,
                    QStringLiteral("K%1").arg(i),
                    QStringLiteral("%1 %2").arg(QLatin1String(kNames[i % 10])).arg(i),
                    QString(),
                    QStringLiteral("VIA ROMA %1").arg(i % 300),
                    QLatin1String(kTowns[i % kTowns.size()]),
                    QStringLiteral("TO"),
                    1 + i % 20,
                    QStringLiteral("RD")};
        });
}

// Lista in the search window: the filters read, the statement built, the
// rows read and the list painted.
void customerSearch(benchmark::State &state, Engine engine, const char *name)
{
    WindowSession session = customerSession(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    Masterdata::AnaRic window(session.context());
    window.field(QStringLiteral("RAG_SOC1"))->setText(QString::fromLatin1(name));
    ListedScreen screen;
    for (auto _ : state) {
        const auto search = window.search();
        if (!search) {
            state.SkipWithError("search refused");
            return;
        }
        if (!paintList(state, session.context(), Masterdata::AnaRic::listRequest(*search), screen))
            return;
    }
    reportScreen(state, screen);
}

} // namespace

void registerCustomerBenchmarks()
{
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        for (const auto &[label, name] : {std::pair{"name_ross", "ross"}, std::pair{"name_neri_4242", "neri 4242"}}) {
            const std::string title = std::string("CustomerSearch100k/") + label + "/" + engineName;
            benchmark::RegisterBenchmark(title.c_str(), customerSearch, engine, name)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(2.0);
        }
    }
}

} // namespace Orlavo::Bench
