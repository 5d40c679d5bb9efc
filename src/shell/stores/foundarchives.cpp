#include "shell/stores/foundarchives.h"

#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "services/data/standarddata.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <functional>

namespace Orlavo::Shell {

using Services::Failure;
using Services::Outcome;
using Services::SchemaKind;

namespace {

// One archive as a configuration sees it.
struct Look {
    enum class Kind { Absent, Empty, Ours, Foreign } kind = Kind::Absent;
    QString name;              // the file, or the schema
    QStringList filledTables;  // holding rows no configuration writes
    int companies = 0;         // services: SOCIETA rows; company: its own copy
    int users = 0;
    QString companyCode;
    QString companyName;
    QString adminUser;
};

// A connection of its own for one look, removed with the scope.
class OwnConnection
{
public:
    explicit OwnConnection(const std::function<QSqlDatabase(const QString &)> &make)
        : m_name(QStringLiteral("orlavo-look-") + QUuid::createUuid().toString(QUuid::WithoutBraces)), m_db(make(m_name))
    {
    }
    ~OwnConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    OwnConnection(const OwnConnection &) = delete;
    OwnConnection &operator=(const OwnConnection &) = delete;
    QSqlDatabase &db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

OwnConnection serverConnection(const FirstSetup &setup)
{
    return OwnConnection([&setup](const QString &name) { return setup.serverKeys.addConnection(name); });
}

QString bare(const QString &table)
{
    return table.section(QLatin1Char('.'), -1).toUpper();
}

// Tables whose rows come from the configuration itself: the schema steps,
// the standard data, the first rows.
QSet<QString> configurationTables(SchemaKind kind)
{
    QSet<QString> names{QStringLiteral("VERSIONE_SCHEMA")};
    for (const auto &table : Services::StandardData::tables(kind))
        names.insert(table.name.toUpper());
    static const QRegularExpression insert(QStringLiteral("^\\s*INSERT\\s+INTO\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (int v = 1; v <= Services::Schema::latestVersion(kind); ++v) {
        for (const QString &statement : Services::Schema::stepStatements(kind, v)) {
            if (const auto m = insert.match(statement); m.hasMatch())
                names.insert(m.captured(1).toUpper());
        }
    }
    if (kind == SchemaKind::Services)
        names += {bare(Services::Tables::SOCIETA), bare(Services::Tables::TAB_UTENTI),
                  bare(Services::Tables::DATIBASE)};
    else
        names += {bare(Services::Tables::SOCIETA_CONTAB), bare(Services::Tables::NUMERA)};
    return names;
}

QVariant firstValue(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

// Reads an open archive; `prefix` qualifies its tables ("" or "schema.").
Look lookInside(QSqlDatabase db, const QStringList &tables, const QString &prefix, SchemaKind kind)
{
    Look look;
    QSet<QString> present;
    for (const QString &table : tables)
        present.insert(table.toUpper());
    const QString mark = bare(kind == SchemaKind::Services ? Services::Tables::SOCIETA : Services::Tables::SOCIETA_CONTAB);
    if (present.isEmpty()) {
        look.kind = Look::Kind::Empty;
        return look;
    }
    if (!present.contains(QStringLiteral("VERSIONE_SCHEMA")) || !present.contains(mark)) {
        look.kind = Look::Kind::Foreign;
        return look;
    }
    look.kind = Look::Kind::Ours;
    const QSet<QString> ours = configurationTables(kind);
    for (const QString &table : tables) {
        if (!ours.contains(table.toUpper()) &&
            firstValue(db, QStringLiteral("SELECT 1 FROM %1%2 LIMIT 1").arg(prefix, table)).isValid())
            look.filledTables << table.toUpper();
    }
    look.companies = firstValue(db, QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(prefix, mark)).toInt();
    if (kind == SchemaKind::Company)
        return look;
    const QString users = prefix + bare(Services::Tables::TAB_UTENTI);
    look.users = firstValue(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(users)).toInt();
    QSqlQuery company(db);
    if (company.exec(QStringLiteral("SELECT SOCIETA, RAG_SOC1 FROM %1%2 ORDER BY SOCIETA").arg(prefix, mark)) &&
        company.next()) {
        look.companyCode = company.value(0).toString().trimmed();
        look.companyName = company.value(1).toString().trimmed();
    }
    // The administrators first, the lowest code among them.
    look.adminUser =
        firstValue(db, QStringLiteral("SELECT UTENTE FROM %1 ORDER BY CASE WHEN TIPO = '2' THEN 0 ELSE 1 END, UTENTE")
                           .arg(users))
            .toString()
            .trimmed();
    return look;
}

Look lookAtFile(const QString &path, SchemaKind kind)
{
    Look look;
    look.name = path;
    const QFileInfo info(path);
    if (!info.exists())
        return look;
    if (info.size() == 0) {
        look.kind = Look::Kind::Empty;
        return look;
    }
    if (!Services::Schema::sqliteFileProblem(path).isEmpty()) {
        look.kind = Look::Kind::Foreign;
        return look;
    }
    OwnConnection c([&path](const QString &name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(Services::Schema::sqliteUri(path));
        // Read-write as any opening, so a journal left by a crash is rolled
        // back first; nothing is written.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
        return db;
    });
    QStringList tables;
    {
        QSqlQuery q(c.db());
        if (!c.db().open() ||
            !q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"))) {
            look.kind = Look::Kind::Foreign;
            return look;
        }
        while (q.next())
            tables << q.value(0).toString();
    }
    look = lookInside(c.db(), tables, QString(), kind);
    look.name = path;
    return look;
}

Look lookAtSchema(QSqlDatabase db, const QString &schema, SchemaKind kind)
{
    Look look;
    look.name = schema;
    if (!Services::Schema::postgresSchemaExists(db, schema))
        return look;
    QStringList tables;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = ?"));
    q.addBindValue(schema.toLower());
    if (q.exec()) {
        while (q.next())
            tables << q.value(0).toString();
    }
    look = lookInside(db, tables, schema + QLatin1Char('.'), kind);
    look.name = schema;
    return look;
}

// The verdict on the two archives of the setup's place.
FoundArchives judge(const Look &services, const Look &company, bool server, const FirstSetup &setup)
{
    using State = FoundArchives::State;
    using Kind = Look::Kind;
    FoundArchives found;
    found.place = server ? QStringLiteral("il database %1 sul server").arg(setup.serverKeys.database)
                         : Services::asFolder(setup.pathDb);
    const QString elsewhere = server ? QStringLiteral("indicare un altro database") : QStringLiteral("scegliere un'altra cartella");
    const auto keep = [&found](const QString &why) {
        found.state = State::Kept;
        found.refusal = why;
        return found;
    };
    const auto foreign = [&](const Look &look) {
        return keep((server ? QStringLiteral("Lo schema %1 sul server non è un archivio del programma: non viene toccato. "
                                             "Per la configurazione, %2.")
                            : QStringLiteral("Il file %1 non è un archivio del programma: non viene toccato. "
                                             "Per la configurazione, %2."))
                        .arg(look.name, elsewhere));
    };

    if (services.kind == Kind::Foreign)
        return foreign(services);
    if (services.kind == Kind::Ours && services.companies > 0 && services.users > 0) {
        found.state = State::Whole;
        found.companyName = services.companyName;
        found.companyCode = services.companyCode;
        found.adminUser = services.adminUser;
        return found;
    }
    if (services.kind == Kind::Ours && (services.companies > 0 || services.users > 0 || !services.filledTables.isEmpty()))
        return keep(QStringLiteral("L'archivio %1 contiene dati ma è incompleto: non viene toccato. "
                                   "Ripristinarlo dall'ultimo salvataggio, oppure %2.")
                        .arg(services.name, elsewhere));
    if (company.kind == Kind::Foreign)
        return foreign(company);
    if (company.kind == Kind::Ours && (company.companies > 1 || !company.filledTables.isEmpty()))
        return keep(QStringLiteral("L'archivio %1 contiene dati, ma l'archivio dei servizi %2 manca o è vuoto: "
                                   "non viene toccato. Ripristinare %2 dall'ultimo salvataggio, oppure %3.")
                        .arg(company.name, services.name, elsewhere));
    for (const Look *look : {&services, &company}) {
        if (look->kind != Kind::Absent)
            found.leftovers << look->name;
    }
    found.state = found.leftovers.isEmpty() ? State::Nothing : State::HalfMade;
    return found;
}

} // namespace

Outcome<FoundArchives> findArchives(const FirstSetup &setup)
{
    if (!setup.server) {
        const QString folder = Services::asFolder(setup.pathDb);
        return judge(lookAtFile(folder + QStringLiteral("SERVIZI.MDB"), SchemaKind::Services),
                     lookAtFile(folder + Services::companyFileName(setup.companyCode), SchemaKind::Company), false,
                     setup);
    }
    OwnConnection c = serverConnection(setup);
    if (!c.db().open())
        return Failure{QStringLiteral("Server dati non raggiungibile."), c.db().lastError().text()};
    return judge(lookAtSchema(c.db(), QString::fromLatin1(Services::kServicesSchema), SchemaKind::Services),
                 lookAtSchema(c.db(), Services::companySchemaName(setup.companyCode), SchemaKind::Company), true, setup);
}

Outcome<void> removeLeftovers(const FirstSetup &setup, const FoundArchives &found)
{
    if (found.state != FoundArchives::State::HalfMade)
        return {};
    if (!setup.server) {
        for (const QString &file : found.leftovers) {
            if (!QFile::remove(file))
                return Failure{QStringLiteral("Impossibile eliminare l'archivio incompleto %1.").arg(file), {}};
        }
        return {};
    }
    OwnConnection c = serverConnection(setup);
    if (!c.db().open())
        return Failure{QStringLiteral("Server dati non raggiungibile."), c.db().lastError().text()};
    // Both or neither, like their creation.
    QSqlQuery q(c.db());
    bool ok = q.exec(QStringLiteral("BEGIN"));
    for (const QString &schema : found.leftovers)
        ok = ok && q.exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
    ok = ok && q.exec(QStringLiteral("COMMIT"));
    if (ok)
        return {};
    const QString error = q.lastError().text();
    q.exec(QStringLiteral("ROLLBACK"));
    return Failure{QStringLiteral("Impossibile eliminare gli archivi incompleti sul server."), error};
}

} // namespace Orlavo::Shell
