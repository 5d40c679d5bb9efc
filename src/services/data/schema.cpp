#include "services/data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <optional>

namespace Orlavo::Services::Schema {

namespace {

QString schemaFolderOf(SchemaKind kind)
{
    return kind == SchemaKind::Services ? QStringLiteral(":/schema/servizi") : QStringLiteral(":/schema/contab");
}

QStringList stepFiles(SchemaKind kind)
{
    QStringList files = QDir(schemaFolderOf(kind)).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    for (QString &f : files)
        f = schemaFolderOf(kind) + QLatin1Char('/') + f;
    return files;
}

Failure sqlFailure(const QString &what, const QSqlError &error)
{
    return Failure{what, error.text()};
}

// A table only archives of the kind have: a services file copied under a
// company's name is not taken for a company archive.
QString markerTable(SchemaKind kind)
{
    return kind == SchemaKind::Services ? QStringLiteral("TAB_UTENTI") : QStringLiteral("NUMERA");
}

bool hasMarker(QSqlDatabase &db, SchemaKind kind, const QString &prefix)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT 1 FROM %1%2 WHERE 1 = 0").arg(prefix, markerTable(kind)));
}

QString kindName(SchemaKind kind)
{
    return kind == SchemaKind::Services ? QStringLiteral("dei servizi") : QStringLiteral("della società");
}

// Runs steps from+1 .. to on a connection inside its open transaction.
Outcome<void> applySteps(QSqlDatabase &db, SchemaKind kind, int from, int to, const QString &versionTable)
{
    // SQLite keeps any text in any column whatever its declared length, and
    // cannot change a column's type: a widening is for PostgreSQL alone.
    static const QRegularExpression retype(QStringLiteral("^ALTER TABLE \\w+ ALTER COLUMN \\w+ TYPE "),
                                           QRegularExpression::CaseInsensitiveOption);
    const bool sqlite = db.driverName() == QLatin1String("QSQLITE");
    for (int v = from + 1; v <= to; ++v) {
        for (const QString &statement : stepStatements(kind, v)) {
            if (sqlite && retype.match(statement).hasMatch())
                continue;
            QSqlQuery q(db);
            if (!q.exec(statement))
                return sqlFailure(QStringLiteral("Aggiornamento archivio, passo %1").arg(v), q.lastError());
        }
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE %1 SET VERSIONE = ?").arg(versionTable));
    q.addBindValue(to);
    if (!q.exec())
        return sqlFailure(QStringLiteral("Aggiornamento versione archivio"), q.lastError());
    return {};
}

Outcome<void> checkVersion(int found, SchemaKind kind, const QString &name)
{
    if (found > latestVersion(kind)) {
        return Failure{QStringLiteral("L'archivio %1 è stato creato da una versione più recente del "
                                      "programma (versione %2; questa gestisce fino alla %3): "
                                      "aggiornare il programma.")
                           .arg(name)
                           .arg(found)
                           .arg(latestVersion(kind)),
                       {}};
    }
    return {};
}

class ScratchConnection
{
public:
    ScratchConnection() : m_name(QStringLiteral("orlavo-schema-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    }
    ~ScratchConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase &db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

bool run(QSqlDatabase &db, const QString &statement, QSqlError *error = nullptr)
{
    QSqlQuery q(db);
    if (q.exec(statement))
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

} // namespace

int latestVersion(SchemaKind kind)
{
    return int(stepFiles(kind).size());
}

namespace {

// "CREATE TABLE FVENDT_PR LIKE FVENDT": a family's twin gets the table and
// the indexes written above for the original, under its own name (an
// index named ORIGINAL_... becomes TWIN_...).
QStringList twinStatements(const QStringList &above, const QString &original, const QString &twin)
{
    const QRegularExpression table(QStringLiteral("^CREATE TABLE %1\\s*\\(").arg(original),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression index(QStringLiteral("^CREATE (UNIQUE )?INDEX %1_\\w+ ON %1\\s*\\(").arg(original),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression name(QStringLiteral("\\b%1(?=\\b|_)").arg(original),
                                  QRegularExpression::CaseInsensitiveOption);
    QStringList copies;
    for (const QString &statement : above) {
        if (table.match(statement).hasMatch() || index.match(statement).hasMatch())
            copies.append(QString(statement).replace(name, twin));
    }
    return copies;
}

} // namespace

QStringList splitStatements(const QString &script)
{
    QStringList kept;
    for (const QString &line : script.split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            kept.append(line);
    }
    static const QRegularExpression end(QStringLiteral(";[ \\t\\r]*(\\n|$)"));
    static const QRegularExpression like(QStringLiteral("^CREATE TABLE (\\w+) LIKE (\\w+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList statements;
    for (const QString &piece : kept.join(QLatin1Char('\n')).split(end)) {
        const QString statement = piece.trimmed();
        if (statement.isEmpty())
            continue;
        if (const auto twin = like.match(statement); twin.hasMatch())
            statements += twinStatements(statements, twin.captured(2), twin.captured(1));
        else
            statements.append(statement);
    }
    return statements;
}

QStringList stepStatements(SchemaKind kind, int version)
{
    const QStringList files = stepFiles(kind);
    if (version < 1 || version > files.size())
        return {};
    QFile file(files.at(version - 1));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return splitStatements(QString::fromUtf8(file.readAll()));
}

QString sqliteUri(const QString &path, bool create)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           (create ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw"));
}

QString sqliteDamage(const QString &path, bool full)
{
    const QString damaged =
        QStringLiteral("L'archivio %1 è danneggiato: ripristinarlo dall'ultimo salvataggio.").arg(path);
    // Read-write, so that the journal a crash left behind is rolled back
    // first, as any opening does; a file closed to writing is read as it is.
    ScratchConnection c;
    c.db().setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
    c.db().setDatabaseName(sqliteUri(path));
    if (!c.db().open()) {
        c.db().setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?mode=ro"));
        if (!c.db().open())
            return damaged + QLatin1Char('\n') + c.db().lastError().text();
    }
    QSqlQuery q(c.db());
    if (!q.exec(full ? QStringLiteral("PRAGMA integrity_check") : QStringLiteral("PRAGMA quick_check")))
        return damaged + QLatin1Char('\n') + q.lastError().text();
    // One row "ok", or the damage found, a row each.
    QStringList found;
    while (q.next())
        found << q.value(0).toString();
    if (found == QStringList{QStringLiteral("ok")})
        return {};
    return damaged + QLatin1Char('\n') + found.mid(0, 3).join(QLatin1Char('\n'));
}

QString sqliteFileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("L'archivio %1 non esiste.").arg(path);
    if (!info.isFile())
        return QStringLiteral("%1 non è un archivio ma una cartella.").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("L'archivio %1 non si può leggere (permessi).").arg(path);
    const QByteArray head = file.read(100);
    if (head.isEmpty())
        return QStringLiteral("L'archivio %1 è vuoto.").arg(path);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return {};
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB")
        return QStringLiteral("L'archivio %1 è un archivio Access di una versione precedente: "
                              "questa versione usa archivi SQLite o un server PostgreSQL.")
            .arg(path);
    return QStringLiteral("L'archivio %1 non è leggibile: danneggiato o di un altro programma.").arg(path);
}

Outcome<void> createSqlite(const QString &path, SchemaKind kind, int upTo)
{
    // Made here, new, or not at all: a file someone else made is never touched.
    {
        QFile fresh(path);
        if (!fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return Failure{QFileInfo::exists(path)
                               ? QStringLiteral("L'archivio %1 esiste già: non viene sovrascritto.").arg(path)
                               : QStringLiteral("Impossibile creare l'archivio %1.").arg(path),
                           fresh.errorString()};
    }
    const int target = upTo > 0 ? upTo : latestVersion(kind);
    Outcome<void> result;
    {
        ScratchConnection c;
        c.db().setDatabaseName(sqliteUri(path, true));
        c.db().setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
        QSqlError error;
        if (!c.db().open()) {
            result = sqlFailure(QStringLiteral("Creazione archivio %1").arg(path), c.db().lastError());
        } else if (!run(c.db(), QStringLiteral("PRAGMA journal_mode=DELETE"), &error) ||
                   !run(c.db(), QStringLiteral("BEGIN IMMEDIATE"), &error) ||
                   !run(c.db(), QStringLiteral("CREATE TABLE VERSIONE_SCHEMA (VERSIONE INTEGER NOT NULL)"), &error) ||
                   !run(c.db(), QStringLiteral("INSERT INTO VERSIONE_SCHEMA (VERSIONE) VALUES (0)"), &error)) {
            result = sqlFailure(QStringLiteral("Creazione archivio %1").arg(path), error);
        } else {
            result = applySteps(c.db(), kind, 0, target, QStringLiteral("VERSIONE_SCHEMA"));
            if (result && !run(c.db(), QStringLiteral("COMMIT"), &error))
                result = sqlFailure(QStringLiteral("Creazione archivio %1").arg(path), error);
        }
    }
    if (!result)
        QFile::remove(path);
    return result;
}

Outcome<void> ensureSqlite(const QString &path, SchemaKind kind)
{
    ScratchConnection c;
    c.db().setDatabaseName(sqliteUri(path));
    c.db().setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
    if (!c.db().open())
        return sqlFailure(QStringLiteral("Apertura archivio %1").arg(path), c.db().lastError());
    const Failure notOurs{QStringLiteral("Il file %1 non è un archivio %2 del programma.").arg(path, kindName(kind)),
                          {}};
    const auto readVersion = [&c]() -> std::optional<int> {
        QSqlQuery q(c.db());
        if (!q.exec(QStringLiteral("SELECT VERSIONE FROM VERSIONE_SCHEMA")) || !q.next())
            return std::nullopt;
        return q.value(0).toInt();
    };
    // A plain read first: opening takes no write lock unless there is work.
    const std::optional<int> seen = readVersion();
    if (!seen || !hasMarker(c.db(), kind, QString()))
        return notOurs;
    if (auto checked = checkVersion(*seen, kind, path); !checked || *seen == latestVersion(kind))
        return checked;

    // The write lock, then read again: two workstations upgrading take turns.
    QSqlError error;
    if (!run(c.db(), QStringLiteral("BEGIN IMMEDIATE"), &error))
        return sqlFailure(QStringLiteral("Aggiornamento archivio %1").arg(path), error);
    const std::optional<int> found = readVersion();
    if (!found || *found >= latestVersion(kind)) {
        run(c.db(), QStringLiteral("ROLLBACK"));
        return found ? checkVersion(*found, kind, path) : Outcome<void>(notOurs);
    }
    auto applied = applySteps(c.db(), kind, *found, latestVersion(kind), QStringLiteral("VERSIONE_SCHEMA"));
    if (!applied || !run(c.db(), QStringLiteral("COMMIT"), &error)) {
        run(c.db(), QStringLiteral("ROLLBACK"));
        return applied ? sqlFailure(QStringLiteral("Aggiornamento archivio %1").arg(path), error) : applied;
    }
    return {};
}

bool postgresSchemaExists(QSqlDatabase db, const QString &schema)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM information_schema.schemata WHERE schema_name = ?"));
    q.addBindValue(schema.toLower());
    return q.exec() && q.next();
}

Outcome<void> buildPostgres(QSqlDatabase db, const QString &schema, SchemaKind kind, int upTo)
{
    const int target = upTo > 0 ? upTo : latestVersion(kind);
    const QString versionTable = schema + QStringLiteral(".VERSIONE_SCHEMA");
    QSqlError error;
    if (!run(db, QStringLiteral("CREATE SCHEMA %1").arg(schema), &error) ||
        !run(db, QStringLiteral("SET LOCAL search_path TO %1").arg(schema), &error) ||
        !run(db, QStringLiteral("CREATE TABLE %1 (VERSIONE INTEGER NOT NULL)").arg(versionTable), &error) ||
        !run(db, QStringLiteral("INSERT INTO %1 (VERSIONE) VALUES (0)").arg(versionTable), &error))
        return sqlFailure(QStringLiteral("Creazione archivio %1").arg(schema), error);
    return applySteps(db, kind, 0, target, versionTable);
}

Outcome<void> createPostgres(QSqlDatabase db, const QString &schema, SchemaKind kind, int upTo)
{
    if (postgresSchemaExists(db, schema))
        return Failure{QStringLiteral("L'archivio %1 esiste già sul server: non viene sovrascritto.").arg(schema), {}};
    QSqlError error;
    if (!run(db, QStringLiteral("BEGIN"), &error))
        return sqlFailure(QStringLiteral("Creazione archivio %1").arg(schema), error);
    auto built = buildPostgres(db, schema, kind, upTo);
    if (!built || !run(db, QStringLiteral("COMMIT"), &error)) {
        run(db, QStringLiteral("ROLLBACK"));
        return built ? sqlFailure(QStringLiteral("Creazione archivio %1").arg(schema), error) : built;
    }
    return {};
}

Outcome<void> ensurePostgres(QSqlDatabase db, const QString &schema, SchemaKind kind)
{
    if (!postgresSchemaExists(db, schema))
        return Failure{QStringLiteral("Lo schema %1 non esiste sul server.").arg(schema), {}};
    const QString versionTable = schema + QStringLiteral(".VERSIONE_SCHEMA");
    const Failure notOurs{
        QStringLiteral("Lo schema %1 non è un archivio %2 del programma.").arg(schema, kindName(kind)), {}};
    const auto readVersion = [&db, &versionTable](const char *suffix) -> std::optional<int> {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT VERSIONE FROM %1%2").arg(versionTable, QLatin1String(suffix))) || !q.next())
            return std::nullopt;
        return q.value(0).toInt();
    };
    const std::optional<int> seen = readVersion("");
    if (!seen || !hasMarker(db, kind, schema + QLatin1Char('.')))
        return notOurs;
    if (auto checked = checkVersion(*seen, kind, schema); !checked || *seen == latestVersion(kind))
        return checked;

    // The version row taken for update: two workstations upgrading take turns.
    QSqlError error;
    if (!run(db, QStringLiteral("BEGIN"), &error))
        return sqlFailure(QStringLiteral("Aggiornamento archivio %1").arg(schema), error);
    const std::optional<int> found = readVersion(" FOR UPDATE");
    if (!found || *found >= latestVersion(kind)) {
        run(db, QStringLiteral("ROLLBACK"));
        return found ? checkVersion(*found, kind, schema) : Outcome<void>(notOurs);
    }
    Outcome<void> applied = run(db, QStringLiteral("SET LOCAL search_path TO %1").arg(schema), &error)
                                ? applySteps(db, kind, *found, latestVersion(kind), versionTable)
                                : Outcome<void>(sqlFailure(schema, error));
    if (!applied || !run(db, QStringLiteral("COMMIT"), &error)) {
        run(db, QStringLiteral("ROLLBACK"));
        return applied ? sqlFailure(QStringLiteral("Aggiornamento archivio %1").arg(schema), error) : applied;
    }
    return {};
}

} // namespace Orlavo::Services::Schema
