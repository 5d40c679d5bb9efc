#include "fixtures.h"

#include "services/data/schema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>

namespace Orlavo::Testing {

namespace {

std::atomic<int> databaseCounter{0};

// The text of every row of a read, sorted: rows compare whatever their order.
QStringList rowTexts(const Services::Recordset &rows)
{
    QStringList texts;
    for (const auto &row : rows) {
        QStringList values;
        for (qsizetype i = 0; i < rows.columns().size(); ++i) {
            const QVariant value = row.at(int(i));
            values << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        texts << values.join(QLatin1Char('|'));
    }
    texts.sort();
    return texts;
}

} // namespace

ServerDatabase::ServerDatabase()
    : m_server(PgServer::fromEnvironment()),
      m_name(QStringLiteral("orlavo_sd%1_%2").arg(QCoreApplication::applicationPid()).arg(++databaseCounter))
{
    m_error = m_server.available() ? adminExec(m_server, QStringLiteral("CREATE DATABASE %1").arg(m_name))
                                   : QStringLiteral("no PostgreSQL test server (ORLAVO_TEST_PGHOST)");
}

ServerDatabase::~ServerDatabase()
{
    if (m_error.isEmpty())
        adminExec(m_server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}

Services::ServerKeys ServerDatabase::keys() const
{
    Services::ServerKeys keys;
    keys.host = m_server.host;
    keys.port = m_server.port;
    keys.user = m_server.user;
    keys.database = m_name;
    return keys;
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
    const QString name = QStringLiteral("orlavo-look-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool exists = false;
    {
        QSqlDatabase db = keys().addConnection(name);
        exists = db.open() && Services::Schema::postgresSchemaExists(db, schema);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
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

void expectRefused(const ScriptedPrompter &prompter, const QString &text, Services::Prompter::Icon icon,
                   Services::Prompter::Buttons buttons, const QString &title)
{
    ASSERT_EQ(prompter.shown().size(), 1) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const ScriptedPrompter::Shown &shown = prompter.shown().first();
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.title, title);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
}

Snapshot::Snapshot(const TestArchives &archives, const QStringList &tables) : m_config(archives.config())
{
    Workstation reader(m_config);
    EXPECT_TRUE(reader.open());
    for (const QString &table : tables) {
        const auto rows = reader.rows(QStringLiteral("SELECT * FROM ") + table);
        m_before.insert(table, rows ? rowTexts(*rows) : QStringList{QStringLiteral("<unreadable>")});
    }
}

QHash<QString, QStringList> Snapshot::contents() const
{
    QHash<QString, QStringList> now;
    Workstation reader(m_config);
    EXPECT_TRUE(reader.open());
    for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
        const auto rows = reader.rows(QStringLiteral("SELECT * FROM ") + it.key());
        now.insert(it.key(), rows ? rowTexts(*rows) : QStringList{QStringLiteral("<unreadable>")});
    }
    return now;
}

void expectNothingWritten(const Snapshot &before, const Services::DataAccess &db)
{
    const QHash<QString, QStringList> now = before.contents();
    for (auto it = before.m_before.cbegin(); it != before.m_before.cend(); ++it)
        EXPECT_EQ(now.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_FALSE(db.inTransaction());
}

} // namespace Orlavo::Testing
