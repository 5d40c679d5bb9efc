#pragma once

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

#include <QString>

#include <memory>
#include <string>

namespace Orlavo::Bench {

// The bench rows go to NUMERA: NOME "N000001" upwards, NUMERATORE = i.
inline const QString kInsertNumera =
    QStringLiteral("INSERT INTO NUMERA (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) "
                   "VALUES (?, ?, ?, ?, ?)");

inline Services::Params numeraRow(int i)
{
    return {QStringLiteral("2026"), QStringLiteral("N%1").arg(i, 6, 10, QLatin1Char('0')),
            QStringLiteral("Numeratore di prova %1").arg(i), i, 999999};
}

// Fresh archives on one engine, open on company "01" as the application
// opens them; an access failure is recorded instead of ending the process.
class Session
{
public:
    explicit Session(Services::Engine engine)
    {
        if (engine == Services::Engine::Postgres && !Testing::PgServer::fromEnvironment().available()) {
            m_problem = QStringLiteral("ORLAVO_TEST_PGHOST not set: no PostgreSQL server to measure");
            return;
        }
        m_archives = std::make_unique<Testing::TestArchives>(engine);
        if (!m_archives->ready()) {
            m_problem = QStringLiteral("archives not created: ") + m_archives->problem();
            return;
        }
        m_state.appFolder = m_archives->folder();
        m_state.user = QStringLiteral("MARIO");
        m_db = std::make_unique<Services::DataAccess>(m_state, m_prompter,
                                                      m_archives->folder() + QStringLiteral("CONT.LOG"));
        m_db->setExitHook([this](int) { ++m_exits; });
        if (!m_db->openServices(m_archives->config()) || !m_db->openCompany(QStringLiteral("01"))) {
            m_problem = QStringLiteral("archives not opened: ") + m_prompter.texts().join(QLatin1Char('|'));
            return;
        }
        m_ready = true;
    }

    bool ready() const { return m_ready; }
    std::string problem() const { return m_problem.toStdString(); }
    Services::DataAccess &db() { return *m_db; }
    Testing::TestArchives &archives() { return *m_archives; }
    // Rows of NUMERA as another connection sees them: committed ones only.
    int committedRows() const { return m_archives->count(Services::Tables::NUMERA); }
    // What went wrong last, for a skipped run.
    std::string lastError() const
    {
        const auto &e = m_db->error();
        return QStringLiteral("step %1, code %2, %3: %4 (exits %5)")
            .arg(e.step)
            .arg(e.code)
            .arg(e.number, e.description)
            .arg(m_exits)
            .toStdString() +
               (m_prompter.texts().isEmpty() ? std::string()
                                             : " [" + m_prompter.texts().join(QLatin1Char('|')).toStdString() + "]");
    }

private:
    // Declared first, destroyed last: the connection closes before the
    // archives go away.
    std::unique_ptr<Testing::TestArchives> m_archives;
    Services::AppState m_state;
    Testing::ScriptedPrompter m_prompter;
    std::unique_ptr<Services::DataAccess> m_db;
    QString m_problem;
    bool m_ready = false;
    int m_exits = 0;
};

} // namespace Orlavo::Bench
