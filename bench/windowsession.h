#pragma once

#include "archives.h"
#include "scriptedprompter.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

namespace Orlavo::Bench {

// Fresh archives on one engine and the program's context on company "01",
// for the windows' benchmarks, with `rows` rows written by one statement in
// one unit before any run.
class WindowSession
{
public:
    WindowSession(Services::Engine engine, const QString &insert, int rows,
                  const std::function<Services::Params(int)> &row)
    {
        if (engine == Services::Engine::Postgres && !Testing::PgServer::fromEnvironment().available()) {
            m_problem = "ORLAVO_TEST_PGHOST not set: no PostgreSQL server to measure";
            return;
        }
        m_archives = std::make_unique<Testing::TestArchives>(engine);
        if (!m_archives->ready()) {
            m_problem = "archives not created: " + m_archives->problem().toStdString();
            return;
        }
        m_context = std::make_unique<Ui::AppContext>(m_archives->folder(), m_prompter);
        m_context->state.rowsList = 20;
        if (!m_context->db.openServices(m_archives->config()) || !m_context->db.openCompany(QStringLiteral("01"))) {
            m_problem = "archives not opened";
            return;
        }
        Services::WriteUnit unit(m_context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        for (int i = 1; i <= rows && unit.ok(); ++i)
            unit.execCompany(QStringLiteral("Insert"), insert, row(i));
        if (!unit.commit()) {
            m_problem = "rows not written: " + m_context->db.error().description.toStdString();
            return;
        }
        m_ready = true;
    }

    // The context holds the prompter: the session stays where it was made.
    WindowSession(const WindowSession &) = delete;
    WindowSession &operator=(const WindowSession &) = delete;

    bool ready() const { return m_ready; }
    const std::string &problem() const { return m_problem; }
    Ui::AppContext &context() { return *m_context; }

private:
    // Declared first, destroyed last: the archives outlive the connection.
    std::unique_ptr<Testing::TestArchives> m_archives;
    Testing::ScriptedPrompter m_prompter;
    std::unique_ptr<Ui::AppContext> m_context;
    std::string m_problem;
    bool m_ready = false;
};

// One list of a benchmark's run: read, shown and painted, as the operator
// first sees it. False, with the run marked failed, when nothing is listed.
struct ListedScreen {
    int rows = 0;
    bool limited = false;
};
inline bool paintList(benchmark::State &state, Ui::AppContext &context, const Ui::LookupRequest &request,
                      ListedScreen &screen)
{
    Ui::LookupList list(context, request);
    if (!list.load()) {
        state.SkipWithError("nothing listed");
        return false;
    }
    list.show();
    list.repaint();
    QApplication::processEvents();
    screen = {list.rowCount(), list.limited()};
    return true;
}
inline void reportScreen(benchmark::State &state, const ListedScreen &screen)
{
    state.counters["rows_listed"] = screen.rows;
    state.counters["limited"] = screen.limited ? 1 : 0;
}

} // namespace Orlavo::Bench
