#include "archives.h"

#include "services/data/schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>

namespace Orlavo::Testing {

namespace {

std::atomic<int> databaseCounter{0};

// `work` on a connection of its own, opened by `connect` under a fresh name
// and removed after: its error text, or why the connection did not open.
QString onConnection(const std::function<QSqlDatabase(const QString &name)> &connect,
                     const std::function<QString(QSqlDatabase &)> &work)
{
    const QString name = QStringLiteral("orlavo-once-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = connect(name);
        error = db.open() ? work(db) : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

// The statements in turn: the first error text, or an empty text.
QString execAll(QSqlDatabase &db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text();
    }
    return {};
}

// One statement on a connection of its own, opened by `connect`: the error
// text, or an empty text.
QString execOnce(const std::function<QSqlDatabase(const QString &name)> &connect, const QString &statement)
{
    return onConnection(connect, [&statement](QSqlDatabase &db) { return execAll(db, {statement}); });
}

// "servizi." of "servizi.X", nothing for a bare name.
QString schemaOf(const QString &table)
{
    return table.contains(QLatin1Char('.')) ? table.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.') : QString();
}

// The test program's own file names the archives it builds: "<path>_<build>",
// twelve hexadecimal digits each. A rebuilt program builds them again.
QString programStamp()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const auto hex = [](const QString &text) {
        return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex().left(12));
    };
    return hex(program.absoluteFilePath()) + QLatin1Char('_') +
           hex(QString::number(program.size()) + QLatin1Char('.') +
               QString::number(program.lastModified().toMSecsSinceEpoch()));
}

const QStringList kSqliteFiles = {QStringLiteral("SERVIZI.MDB"), QStringLiteral("CONTAB01.MDB")};
const QStringList kWriteEvents = {QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE")};

Services::ServerKeys serverKeys(const PgServer &server, const QString &database)
{
    Services::ServerKeys keys;
    keys.host = server.host;
    keys.port = server.port;
    keys.user = server.user;
    keys.database = database;
    return keys;
}

// Triggers `name` failing the events on the table with "scrittura bloccata",
// on every row or, with a condition on NEW, on the rows meeting it.
QString refuse(QSqlDatabase &db, Engine engine, const QString &table, const QString &name, const QStringList &events,
               const QString &condition = {})
{
    const QString schema = schemaOf(table), bare = table.section(QLatin1Char('.'), -1);
    QStringList statements;
    if (engine == Engine::Sqlite) {
        const QString when = condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition + QLatin1Char(' ');
        for (const QString &event : events) {
            statements << QStringLiteral("CREATE TRIGGER %1%2_%3_%4 BEFORE %4 ON %3 %5"
                                         "BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END")
                              .arg(schema, name, bare, event, when);
        }
        return execAll(db, statements);
    }
    const QString when = condition.isEmpty() ? QString() : QStringLiteral("WHEN (") + condition + QStringLiteral(") ");
    return execAll(db, {QStringLiteral("CREATE OR REPLACE FUNCTION %1%2_%3() RETURNS trigger LANGUAGE plpgsql AS "
                                       "$$ BEGIN RAISE EXCEPTION 'scrittura bloccata'; END $$")
                            .arg(schema, name, bare),
                        QStringLiteral("CREATE TRIGGER %2_%3 BEFORE %4 ON %5 FOR EACH ROW %6EXECUTE FUNCTION %1%2_%3()")
                            .arg(schema, name, bare, events.join(QStringLiteral(" OR ")), table, when)});
}

} // namespace

QString refuseWrites(QSqlDatabase db, Engine engine, const QString &table)
{
    return refuse(db, engine, table, QStringLiteral("nega"), kWriteEvents);
}

QString allowWrites(QSqlDatabase db, Engine engine, const QString &table)
{
    const QString schema = schemaOf(table), bare = table.section(QLatin1Char('.'), -1);
    QStringList statements;
    if (engine == Engine::Sqlite) {
        for (const QString &event : kWriteEvents)
            statements << QStringLiteral("DROP TRIGGER %1nega_%2_%3").arg(schema, bare, event);
    } else {
        statements << QStringLiteral("DROP TRIGGER nega_%1 ON %2").arg(bare, table);
    }
    return execAll(db, statements);
}

QString refuseInserts(QSqlDatabase db, Engine engine, const QString &table, const QString &condition)
{
    return refuse(db, engine, table, QStringLiteral("negains"), {QStringLiteral("INSERT")}, condition);
}

QString adminExec(const PgServer &server, const QString &statement)
{
    return execOnce(
        [&server](const QString &name) { return serverKeys(server, QStringLiteral("postgres")).addConnection(name); },
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

ServerDatabase::ServerDatabase(const QString &from)
    : m_server(PgServer::fromEnvironment()),
      m_name(QStringLiteral("orlavo_sd%1_%2").arg(QCoreApplication::applicationPid()).arg(++databaseCounter))
{
    const QString create = from.isEmpty()
                               ? QStringLiteral("CREATE DATABASE %1").arg(m_name)
                               : QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY").arg(m_name, from);
    m_error = m_server.available() ? adminExec(m_server, create)
                                   : QStringLiteral("no PostgreSQL test server (ORLAVO_TEST_PGHOST)");
}

ServerDatabase::~ServerDatabase()
{
    if (m_error.isEmpty())
        adminExec(m_server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}

Services::ServerKeys ServerDatabase::keys() const
{
    return serverKeys(m_server, m_name);
}

Services::ConnectionConfig ServerDatabase::config() const
{
    Services::ConnectionConfig config;
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.dbType = QStringLiteral("SQL");
    config.server = keys();
    return config;
}

QString ServerDatabase::exec(const QString &statement) const
{
    return execOnce([this](const QString &name) { return keys().addConnection(name); }, statement);
}

bool ServerDatabase::schemaExists(const QString &schema) const
{
    bool exists = false;
    onConnection([this](const QString &name) { return keys().addConnection(name); },
                 [&](QSqlDatabase &db) {
                     exists = Services::Schema::postgresSchemaExists(db, schema);
                     return QString();
                 });
    return exists;
}

Workstation::Workstation(const Services::ConnectionConfig &config, const QString &company)
    : m_db(m_state, m_prompter, QString())
{
    m_db.setExitHook([](int) {});
    m_open = m_db.openServices(config) && (company.isEmpty() || m_db.openCompany(company));
}

bool Workstation::exec(const QString &sql, const Services::Params &params, Services::Target target)
{
    const int code =
        target == Services::Target::Services ? m_db.executeSqlServices(sql, params) : m_db.executeSql(sql, params);
    if (code != Services::kErrNone)
        ADD_FAILURE() << sql.toStdString() << ": " << m_db.error().description.toStdString();
    return code == Services::kErrNone;
}

std::optional<Services::Recordset> Workstation::rows(const QString &sql, const Services::Params &params,
                                                     Services::Target target)
{
    auto read = m_db.openRecordset(sql, params, target);
    if (!read) {
        ADD_FAILURE() << sql.toStdString() << ": " << m_db.error().description.toStdString();
        return std::nullopt;
    }
    return *read;
}

namespace {

using Services::SchemaKind;
using Creator = std::function<Services::Outcome<void>(SchemaKind, int)>;

// The services archive, then company "01": why either failed, or an empty text.
QString buildArchives(int upToServicesStep, const Creator &create)
{
    auto made = create(SchemaKind::Services, upToServicesStep);
    if (made)
        made = create(SchemaKind::Company, 0);
    return made ? QString() : made.failure().message + QLatin1Char(' ') + made.failure().detail;
}

// The folder of this program's SQLite archives for the step, built once
// under a lock the test programs running side by side share.
QString sqliteTemplate(int upToServicesStep, QString *problem)
{
    const QString root = QDir::tempPath() + QStringLiteral("/orlavo-test-archives/");
    const QString stamp = programStamp(), program = stamp.section(QLatin1Char('_'), 0, 0);
    const QString dir = root + stamp + QLatin1Char('_') + QString::number(upToServicesStep) + QLatin1Char('/');
    const QString ready = dir + QStringLiteral("READY");
    if (QFile::exists(ready))
        return dir;
    QDir().mkpath(root);
    QLockFile lock(root + program + QStringLiteral(".lock"));
    lock.setStaleLockTime(0); // a dead holder's lock is still taken over
    if (!lock.lock()) {
        *problem = QStringLiteral("test archives not lockable in ") + root;
        return {};
    }
    if (QFile::exists(ready))
        return dir;
    // The archives of an older build of this program go.
    for (const QString &old : QDir(root).entryList({program + QStringLiteral("_*")}, QDir::Dirs)) {
        if (!old.startsWith(stamp))
            QDir(root + old).removeRecursively();
    }
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    *problem = buildArchives(upToServicesStep, [&dir](SchemaKind kind, int upTo) {
        return Services::Schema::createSqlite(dir + kSqliteFiles.at(kind == SchemaKind::Services ? 0 : 1), kind, upTo);
    });
    QFile mark(ready);
    if (problem->isEmpty() && !mark.open(QIODevice::WriteOnly))
        *problem = QStringLiteral("test archives not writable in ") + dir;
    return problem->isEmpty() ? dir : QString();
}

// This program's server database of archives for the step, built once: a
// template each test's database copies. Built under a database name of its
// own and renamed when whole, under a lock of the server.
QString postgresTemplate(const PgServer &server, int upToServicesStep, QString *problem)
{
    const QString stamp = programStamp(), program = stamp.section(QLatin1Char('_'), 0, 0);
    const QString name = QStringLiteral("orlavo_t") + stamp + QLatin1Char('_') + QString::number(upToServicesStep);
    const auto admin = [&server](const QString &connection) {
        return serverKeys(server, QStringLiteral("postgres")).addConnection(connection);
    };
    *problem = onConnection(admin, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT pg_advisory_lock(51017)")))
            return q.lastError().text();
        const auto unlock =
            qScopeGuard([&db] { QSqlQuery(db).exec(QStringLiteral("SELECT pg_advisory_unlock(51017)")); });
        q.prepare(QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE ?"));
        q.addBindValue(QStringLiteral("orlavo\\_t") + program + QStringLiteral("\\_%"));
        if (!q.exec())
            return q.lastError().text();
        // The templates of an older build of this program go; this build's
        // other steps stay, a half-built one of this step is made again.
        const QString thisBuild = QStringLiteral("orlavo_t") + stamp + QLatin1Char('_');
        const QString building = name + QStringLiteral("_b");
        QStringList older{building};
        while (q.next()) {
            if (q.value(0).toString() == name)
                return QString();
            if (!q.value(0).toString().startsWith(thisBuild))
                older << q.value(0).toString();
        }
        for (const QString &old : older) {
            if (const QString error = execAll(db, {QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(old)});
                !error.isEmpty())
                return error;
        }
        if (const QString error = execAll(db, {QStringLiteral("CREATE DATABASE %1").arg(building)}); !error.isEmpty())
            return error;
        const Services::ServerKeys keys = serverKeys(server, building);
        const QString built =
            onConnection([&keys](const QString &connection) { return keys.addConnection(connection); },
                         [upToServicesStep](QSqlDatabase &target) {
                             QSqlQuery(target).exec(QStringLiteral("SET client_min_messages TO WARNING"));
                             return buildArchives(upToServicesStep, [&target](SchemaKind kind, int upTo) {
                                 const QString schema = kind == SchemaKind::Services ? QStringLiteral("servizi")
                                                                                     : QStringLiteral("contab01");
                                 return Services::Schema::createPostgres(target, schema, kind, upTo);
                             });
                         });
        if (!built.isEmpty())
            return built;
        return execAll(db, {QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, name)});
    });
    return problem->isEmpty() ? name : QString();
}

} // namespace

TestArchives::TestArchives(Engine engine, int upToServicesStep) : m_engine(engine)
{
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder");
    } else if (engine == Engine::Sqlite) {
        const QString from = sqliteTemplate(upToServicesStep, &m_problem);
        for (const QString &file : kSqliteFiles) {
            if (m_problem.isEmpty() && !QFile::copy(from + file, folder() + file))
                m_problem = QStringLiteral("not copied: ") + from + file;
        }
    } else if (const PgServer server = PgServer::fromEnvironment(); !server.available()) {
        m_server = std::make_unique<ServerDatabase>();
        m_problem = m_server->error();
    } else {
        const QString from = postgresTemplate(server, upToServicesStep, &m_problem);
        if (m_problem.isEmpty()) {
            m_server = std::make_unique<ServerDatabase>(from);
            m_problem = m_server->error();
        }
    }
    m_ready = m_problem.isEmpty();
}

Services::ConnectionConfig TestArchives::config() const
{
    if (m_server)
        return m_server->config();
    Services::ConnectionConfig config;
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.dbType = QStringLiteral("ACCESS2000");
    config.pathDb = folder();
    return config;
}

std::optional<Services::Recordset> TestArchives::rows(const QString &sql, const Services::Params &params) const
{
    // Opening a workstation costs more than most reads: one serves them all.
    if (!m_reader || !m_reader->open())
        m_reader = std::make_unique<Workstation>(config());
    // A check that cannot read must fail the test, not pass as "no rows".
    if (!m_reader->open()) {
        ADD_FAILURE() << "archives not readable: " << m_reader->prompter().texts().join(QLatin1Char('|')).toStdString();
        return std::nullopt;
    }
    return m_reader->rows(sql, params);
}

QVariant TestArchives::scalar(const QString &sql, const Services::Params &params) const
{
    const auto rows = this->rows(sql, params);
    if (!rows || rows->isEmpty() || rows->columns().isEmpty())
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

QProcess *startWorker(const TestArchives &archives, const QString &program, const QStringList &args,
                      const QString &goFile)
{
    auto *process = new QProcess;
    // The archives as tests/services/dbworker.cpp reads them.
    const Services::ConnectionConfig c = archives.config();
    QStringList env = QProcess::systemEnvironment();
    env << QStringLiteral("ORLAVO_W_TYPE=") + c.dbType << QStringLiteral("ORLAVO_W_PATHDB=") + c.pathDb
        << QStringLiteral("ORLAVO_W_HOST=") + c.server.host
        << QStringLiteral("ORLAVO_W_PORT=") + QString::number(c.server.port)
        << QStringLiteral("ORLAVO_W_DATABASE=") + c.server.database << QStringLiteral("ORLAVO_W_USER=") + c.server.user;
    if (!goFile.isEmpty())
        env.append(QStringLiteral("ORLAVO_W_GO=") + goFile);
    process->setEnvironment(env);
    process->start(program, args);
    process->waitForStarted();
    if (!goFile.isEmpty() && process->waitForReadyRead(60000)) {
        EXPECT_EQ(process->readLine().trimmed(), "OPEN");
    }
    return process;
}

QString finishWorker(QProcess *process, int timeoutMs)
{
    process->waitForFinished(timeoutMs);
    const QString out = QString::fromUtf8(process->readAllStandardOutput());
    delete process;
    return out;
}

QStringList raceWorkers(const TestArchives &archives, const QString &program, const QString &job,
                        const QStringList &users, int count)
{
    const QString go = archives.folder() + QStringLiteral("via");
    QList<QProcess *> workers;
    for (const QString &user : users)
        workers << startWorker(archives, program, {job, user, QString::number(count)}, go);
    QFile(go).open(QIODevice::WriteOnly);
    QStringList last;
    for (QProcess *process : workers)
        last << finishWorker(process, 900000).trimmed().section(QLatin1Char('\n'), -1);
    return last;
}

} // namespace Orlavo::Testing
