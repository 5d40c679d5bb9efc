#include "lookupbench.h"

#include "appcontext.h"
#include "archives.h"
#include "scriptedprompter.h"
#include "tablenames.h"
#include "windows/lookuplist.h"
#include "writeunit.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace Orlavo::Bench {

namespace {

using Services::Engine;
namespace Tables = Services::Tables;

constexpr int kRows = 100000;
// Descriptions cycle through these, so "ROS" matches one row in ten.
constexpr std::array<const char *, 10> kWords = {"ROSSI MARIO", "BIANCHI", "VERDI ANNA", "BAROSSO", "NERI",
                                                 "MARIO ROSSI", "GIALLI",  "FERRARI",    "COLOMBO", "RICCI LUIGI"};

// A statistics table of kRows codes in a fresh company, and the program's
// context on it.
class LookupSession
{
public:
    explicit LookupSession(Engine engine)
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
        m_context->state.rowsList = 20;
        if (!m_context->db.openServices(m_archives->config()) || !m_context->db.openCompany(QStringLiteral("01"))) {
            m_problem = "archives not opened";
            return;
        }
        Services::WriteUnit unit(m_context->db, QStringLiteral("Prova ricerca"), Services::WriteUnit::Report::Quiet);
        const QString insert =
            QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_C_STATIS);
        for (int i = 0; i < kRows && unit.ok(); ++i) {
            unit.execCompany(QStringLiteral("Insert"), insert,
                             {QStringLiteral("C%1").arg(i, 7, 10, QLatin1Char('0')),
                              QStringLiteral("%1 %2").arg(QLatin1String(kWords[i % kWords.size()])).arg(i)});
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

// From the request to the list on screen: query, rows, window painted.
void lookupList(benchmark::State &state, Engine engine, const char *typed)
{
    LookupSession session(engine);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    Shell::LookupRequest request;
    request.table = Tables::TAB_C_STATIS;
    request.title = QStringLiteral("Lista Raggruppamenti statistici");
    request.columns = {
        {QStringLiteral("CODICE"), QStringLiteral("12C"), QStringLiteral("CODICE")},
        {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C") + QLatin1String(typed), QStringLiteral("DESCRIZIONE")}};
    int rows = 0;
    bool limited = false;
    for (auto _ : state) {
        Shell::LookupList list(session.context(), request);
        if (!list.load()) {
            state.SkipWithError("no rows listed");
            return;
        }
        list.show();
        list.repaint();
        QApplication::processEvents();
        rows = list.rowCount();
        limited = list.limited();
    }
    state.counters["rows_listed"] = rows;
    state.counters["limited"] = limited ? 1 : 0;
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
