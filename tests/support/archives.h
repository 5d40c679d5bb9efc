#pragma once

#include "scriptedprompter.h"
#include "services/core/appstate.h"
#include "services/data/dataaccess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

class QProcess;

namespace Orlavo::Testing {

using Services::Engine;

// The PostgreSQL test server the test command starts (ORLAVO_TEST_PGHOST,
// ORLAVO_TEST_PGPORT, ORLAVO_TEST_PGUSER). With ORLAVO_REQUIRE_PG=1 a
// missing server fails the tests instead of skipping them.
struct PgServer {
    QString host;
    int port = 5432;
    QString user;
    bool available() const { return !host.isEmpty(); }
    static PgServer fromEnvironment();
    static bool required();
};

// Runs one statement on the test server's maintenance database; the
// error text, or an empty text.
QString adminExec(const PgServer &server, const QString &statement);

// From now on inserts, updates and deletes of the table fail with "scrittura
// bloccata", on either engine. The table may be qualified ("servizi.X").
// An empty text, or the error.
QString refuseWrites(QSqlDatabase db, Engine engine, const QString &table);
// Writes of the table allowed again.
QString allowWrites(QSqlDatabase db, Engine engine, const QString &table);
// From now on inserts into the table fail with "scrittura bloccata", those of
// every row or, with a condition on NEW ("NEW.CAP = '10999'"), of the rows
// meeting it; updates and deletes still pass. An empty text, or the error.
QString refuseInserts(QSqlDatabase db, Engine engine, const QString &table, const QString &condition = {});

// An empty database of its own on the test server, dropped at the end.
class ServerDatabase
{
public:
    // Empty, or a copy of the database `from` (a template nobody is connected to).
    explicit ServerDatabase(const QString &from = {});
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase &) = delete;
    ServerDatabase &operator=(const ServerDatabase &) = delete;

    // Why the database is not there; empty when it is.
    const QString &error() const { return m_error; }
    Services::ServerKeys keys() const;
    // Archives on this database, as the settings of a server installation name them.
    Services::ConnectionConfig config() const;
    bool schemaExists(const QString &schema) const;
    // One statement on the database, outside the program: the error text, or an empty text.
    QString exec(const QString &statement) const;

private:
    PgServer m_server;
    QString m_name;
    QString m_error;
};

// Another workstation: a connection of its own on the same archives, with
// the company open when one is named. A refused statement fails the test.
class Workstation
{
public:
    explicit Workstation(const Services::ConnectionConfig &config, const QString &company = QStringLiteral("01"));
    bool open() const { return m_open; }
    Services::DataAccess &db() { return m_db; }
    const ScriptedPrompter &prompter() const { return m_prompter; }
    bool exec(const QString &sql, const Services::Params &params = {},
              Services::Target target = Services::Target::Company);
    std::optional<Services::Recordset> rows(const QString &sql, const Services::Params &params = {},
                                            Services::Target target = Services::Target::Company);

private:
    Services::AppState m_state;
    ScriptedPrompter m_prompter;
    Services::DataAccess m_db;
    bool m_open = false;
};

// Fresh archives for one test: the services database and company "01",
// as SQLite files in a temporary folder or as a new database on the test
// server. The folder doubles as the application folder. The archives are
// built once per test program (as built) and schema step, then copied:
// building them takes longer than most tests.
class TestArchives
{
public:
    explicit TestArchives(Engine engine, int upToServicesStep = 0);

    bool ready() const { return m_ready; }
    const QString &problem() const { return m_problem; }
    Engine engine() const { return m_engine; }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    Services::ConnectionConfig config() const;

    // The rows of a read through a connection of its own, opened at the
    // first read and kept: only committed data. A refused read fails the test.
    std::optional<Services::Recordset> rows(const QString &sql, const Services::Params &params = {}) const;
    // The first value of that read.
    QVariant scalar(const QString &sql, const Services::Params &params = {}) const;
    int count(const QString &table) const;

private:
    Engine m_engine;
    QTemporaryDir m_dir;
    std::unique_ptr<ServerDatabase> m_server;
    mutable std::unique_ptr<Workstation> m_reader;
    bool m_ready = false;
    QString m_problem;
};

// A test run once per engine with archives open on company "01", a scripted
// prompter, and an exit hook that records instead of ending the process.
class EngineTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TestArchives> archives;
    Services::AppState state;
    ScriptedPrompter prompter;
    std::unique_ptr<Services::DataAccess> db;
    int exits = 0;
};

std::string engineName(const ::testing::TestParamInfo<Engine> &info);

// A second workstation (tests/services/dbworker.cpp, at `program`) running
// one job on the archives. With a go file it says it has opened them and
// waits for the file before starting, so a busy machine never turns one's
// opening into a race with the other's writes.
QProcess *startWorker(const TestArchives &archives, const QString &program, const QStringList &args,
                      const QString &goFile = {});
// Its output once it ends; the process goes.
QString finishWorker(QProcess *process, int timeoutMs = 120000);
// Several workstations running `job` with `count` for each user, started
// together; each one's last line (DONE when all went well).
QStringList raceWorkers(const TestArchives &archives, const QString &program, const QString &job,
                        const QStringList &users, int count);

} // namespace Orlavo::Testing

#define ORLAVO_FOR_EACH_ENGINE(Fixture)                                                                                \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Engines, Fixture, ::testing::Values(::Orlavo::Testing::Engine::Sqlite, ::Orlavo::Testing::Engine::Postgres),   \
        ::Orlavo::Testing::engineName)
