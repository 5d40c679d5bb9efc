#include "customerbench.h"

#include "appcontext.h"
#include "archives.h"
#include "scriptedprompter.h"
#include "tablenames.h"
#include "windows/anaric.h"
#include "windows/lookuplist.h"
#include "writeunit.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

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

class CustomerSession
{
public:
    explicit CustomerSession(Engine engine)
    {
        if (engine == Engine::Postgres && !Testing::PgServer::fromEnvironment().available()) {
            m_problem = "ORLAVO_TEST_PGHOST not set: no PostgreSQL server to measure";
            return;
        }
        m_archives = std::make_unique<Testing::TestArchives>(engine);
        if (!m_archives->ready()) {
            m_problem = "archives not created: " + m_archives->problem().toStdString();
            return;
        }
        m_context = std::make_unique<Shell::AppContext>(m_archives->folder(), m_prompter);
        if (!m_context->db.openServices(m_archives->config()) || !m_context->db.openCompany(QStringLiteral("01"))) {
            m_problem = "archives not opened";
            return;
        }
        Services::WriteUnit unit(m_context->db, QStringLiteral("Prova clienti"), Services::WriteUnit::Report::Quiet);
        const QString insert =
            QStringLiteral("INSERT INTO %1 (CLIENTE, CODICE2, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, "
                           "CITTA_LEG, PROVINCIA_LEG, AGENTE, COND_PAG) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(Tables::ANAG_CLI);
        for (int i = 1; i <= kCustomers && unit.ok(); ++i) {
            unit.execCompany(QStringLiteral("Insert"), insert,
                             {i, QStringLiteral("K%1").arg(i),
                              QStringLiteral("%1 %2").arg(QLatin1String(kNames[i % 10])).arg(i), QString(),
                              QStringLiteral("VIA ROMA %1").arg(i % 300), QLatin1String(kTowns[i % kTowns.size()]),
                              QStringLiteral("TO"), 1 + i % 20, QStringLiteral("RD")});
        }
        if (!unit.commit()) {
            m_problem = "rows not written: " + m_context->db.error().description.toStdString();
            return;
        }
        m_ready = true;
    }

    bool ready() const { return m_ready; }
    const std::string &problem() const { return m_problem; }
    Shell::AppContext &context() { return *m_context; }

private:
    std::unique_ptr<Testing::TestArchives> m_archives;
    Testing::ScriptedPrompter m_prompter;
    std::unique_ptr<Shell::AppContext> m_context;
    std::string m_problem;
    bool m_ready = false;
};

// Lista in the search window: the filters read, the statement built, the
// rows read and the list painted.
void customerSearch(benchmark::State &state, Engine engine, const char *name)
{
    CustomerSession session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    Shell::AnaRic window(session.context());
    window.field(QStringLiteral("RAG_SOC1"))->setText(QString::fromLatin1(name));
    int rows = 0;
    for (auto _ : state) {
        const auto search = window.search();
        if (!search) {
            state.SkipWithError("search refused");
            return;
        }
        Shell::LookupList list(session.context(), Shell::AnaRic::listRequest(*search));
        if (!list.load()) {
            state.SkipWithError("no customers listed");
            return;
        }
        list.show();
        list.repaint();
        QApplication::processEvents();
        rows = list.rowCount();
    }
    state.counters["rows_listed"] = rows;
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
