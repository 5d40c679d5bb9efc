#include "archives.h"

#include "services/data/schema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>

namespace Orlavo::Testing {

namespace {

std::atomic<int> databaseCounter{0};

} // namespace

QString refuseWrites(QSqlDatabase db, Engine engine, const QString &table)
{
    const QString schema =
        table.contains(QLatin1Char('.')) ? table.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.') : QString();
    const QString bare = table.section(QLatin1Char('.'), -1);
    QStringList statements;
    if (engine == Engine::Sqlite) {
        for (const char *event : {"INSERT", "UPDATE", "DELETE"}) {
            statements << QStringLiteral("CREATE TRIGGER %1nega_%2_%3 BEFORE %3 ON %2 "
                                         "BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END")
                              .arg(schema, bare, QString::fromLatin1(event));
        }
    } else {
        statements << QStringLiteral("CREATE OR REPLACE FUNCTION %1nega_%2() RETURNS trigger LANGUAGE plpgsql AS "
                                     "$$ BEGIN RAISE EXCEPTION 'scrittura bloccata'; END $$")
                          .arg(schema, bare)
                   << QStringLiteral("CREATE TRIGGER nega_%2 BEFORE INSERT OR UPDATE OR DELETE ON %3 "
                                     "FOR EACH ROW EXECUTE FUNCTION %1nega_%2()")
                          .arg(schema, bare, table);
    }
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text();
    }
    return {};
}

QString allowWrites(QSqlDatabase db, Engine engine, const QString &table)
{
    const QString schema =
        table.contains(QLatin1Char('.')) ? table.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.') : QString();
    const QString bare = table.section(QLatin1Char('.'), -1);
    QStringList statements;
    if (engine == Engine::Sqlite) {
        for (const char *event : {"INSERT", "UPDATE", "DELETE"})
            statements << QStringLiteral("DROP TRIGGER %1nega_%2_%3").arg(schema, bare, QString::fromLatin1(event));
    } else {
        statements << QStringLiteral("DROP TRIGGER nega_%1 ON %2").arg(bare, table);
    }
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text();
    }
    return {};
}

QString execOnce(const std::function<QSqlDatabase(const QString &name)> &connect, const QString &statement)
{
    const QString name = QStringLiteral("orlavo-once-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = connect(name);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(statement))
                error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString adminExec(const PgServer &server, const QString &statement)
{
    return execOnce(
        [&server](const QString &name) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(server.host);
            db.setPort(server.port);
            db.setUserName(server.user);
            db.setDatabaseName(QStringLiteral("postgres"));
            return db;
        },
        statement);
}

PgServer PgServer::fromEnvironment()
{
    PgServer server;
    server.host = qEnvironmentVariable("ORLAVO_TEST_PGHOST");
    server.port = qEnvironmentVariableIntValue("ORLAVO_TEST_PGPORT");
    if (server.port == 0)
        server.port = 5432;
    server.user = qEnvironmentVariable("ORLAVO_TEST_PGUSER");
    return server;
}

bool PgServer::required()
{
    return qEnvironmentVariable("ORLAVO_REQUIRE_PG") == QLatin1String("1");
}

TestArchives::TestArchives(Engine engine, int upToServicesStep) : m_engine(engine)
{
    using Services::SchemaKind;
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder");
        return;
    }
    if (engine == Engine::Sqlite) {
        auto made = Services::Schema::createSqlite(folder() + QStringLiteral("SERVIZI.MDB"), SchemaKind::Services,
                                                   upToServicesStep);
        if (made)
            made = Services::Schema::createSqlite(folder() + QStringLiteral("CONTAB01.MDB"), SchemaKind::Company);
        m_ready = bool(made);
        if (!made)
            m_problem = made.failure().message + QLatin1Char(' ') + made.failure().detail;
        return;
    }
    const PgServer server = PgServer::fromEnvironment();
    if (!server.available()) {
        m_problem = QStringLiteral("no PostgreSQL test server (ORLAVO_TEST_PGHOST)");
        return;
    }
    m_database = QStringLiteral("orlavo_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++databaseCounter);
    if (const QString error = adminExec(server, QStringLiteral("CREATE DATABASE %1").arg(m_database));
        !error.isEmpty()) {
        m_problem = error;
        m_database.clear();
        return;
    }
    const QString name = QStringLiteral("orlavo-make-") + m_database;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setDatabaseName(m_database);
        if (db.open()) {
            QSqlQuery(db).exec(QStringLiteral("SET client_min_messages TO WARNING"));
            auto made =
                Services::Schema::createPostgres(db, QStringLiteral("servizi"), SchemaKind::Services, upToServicesStep);
            if (made)
                made = Services::Schema::createPostgres(db, QStringLiteral("contab01"), SchemaKind::Company);
            m_ready = bool(made);
            if (!made)
                m_problem = made.failure().message + QLatin1Char(' ') + made.failure().detail;
        } else {
            m_problem = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TestArchives::~TestArchives()
{
    if (!m_database.isEmpty())
        adminExec(PgServer::fromEnvironment(),
                  QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
}

Services::ConnectionConfig TestArchives::config() const
{
    Services::ConnectionConfig config;
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    if (m_engine == Engine::Sqlite) {
        config.dbType = QStringLiteral("ACCESS2000");
        config.pathDb = folder();
        return config;
    }
    const PgServer server = PgServer::fromEnvironment();
    config.dbType = QStringLiteral("SQL");
    config.server.host = server.host;
    config.server.port = server.port;
    config.server.user = server.user;
    config.server.database = m_database;
    return config;
}

QStringList TestArchives::workerEnvironment() const
{
    const Services::ConnectionConfig c = config();
    return {QStringLiteral("ORLAVO_W_TYPE=") + c.dbType,
            QStringLiteral("ORLAVO_W_PATHDB=") + c.pathDb,
            QStringLiteral("ORLAVO_W_HOST=") + c.server.host,
            QStringLiteral("ORLAVO_W_PORT=") + QString::number(c.server.port),
            QStringLiteral("ORLAVO_W_DATABASE=") + c.server.database,
            QStringLiteral("ORLAVO_W_USER=") + c.server.user};
}

QVariant TestArchives::scalar(const QString &sql, const Services::Params &params) const
{
    Services::AppState state;
    ScriptedPrompter prompter;
    Services::DataAccess db(state, prompter, QString());
    db.setExitHook([](int) {});
    // A check that cannot read must fail the test, not pass as "no rows".
    if (!db.openServices(config()) || !db.openCompany(QStringLiteral("01"))) {
        ADD_FAILURE() << "archives not readable: " << prompter.texts().join(QLatin1Char('|')).toStdString();
        return {};
    }
    auto rows = db.openRecordset(sql, params);
    if (!rows) {
        ADD_FAILURE() << "query failed: " << sql.toStdString() << " " << db.error().description.toStdString();
        return {};
    }
    if (rows->isEmpty() || rows->columns().isEmpty())
        return {};
    return rows->first().value(rows->columns().first());
}

int TestArchives::count(const QString &table) const
{
    return scalar(QStringLiteral("SELECT COUNT(*) AS N FROM ") + table).toInt();
}

void EngineTest::SetUp()
{
    archives = std::make_unique<TestArchives>(GetParam());
    if (!archives->ready()) {
        if (GetParam() == Engine::Postgres && !PgServer::required() && !PgServer::fromEnvironment().available())
            GTEST_SKIP() << archives->problem().toStdString();
        FAIL() << archives->problem().toStdString();
    }
    state.appFolder = archives->folder();
    state.user = QStringLiteral("MARIO");
    db = std::make_unique<Services::DataAccess>(state, prompter, archives->folder() + QStringLiteral("CONT.LOG"));
    db->setExitHook([this](int) { ++exits; });
    db->setLockRetryDelay(1);
    ASSERT_TRUE(db->openServices(archives->config())) << prompter.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(db->openCompany(QStringLiteral("01"))) << prompter.texts().join(QLatin1Char('|')).toStdString();
}

void EngineTest::TearDown()
{
    db.reset();
    archives.reset();
}

std::string engineName(const ::testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

} // namespace Orlavo::Testing
