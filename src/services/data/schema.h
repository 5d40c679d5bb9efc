#pragma once

#include "services/core/outcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace Orlavo::Services {

enum class SchemaKind { Services, Company };

// The database layout: numbered steps (schema/<kind>/NNN_*.sql), one DDL
// for both engines. A database records in VERSIONE_SCHEMA the last step it
// has; opening an older one applies the missing steps in one transaction,
// a newer one is refused.
namespace Schema {

int latestVersion(SchemaKind kind);
// The statements of step `version` (1-based).
QStringList stepStatements(SchemaKind kind, int version);
// Splits a script into statements at the ";" closing a line; "--" lines drop.
// "CREATE TABLE TWIN LIKE ORIGINAL" repeats the original's table and its
// indexes (ORIGINAL_... named TWIN_...) written above in the same script.
QStringList splitStatements(const QString &script);

// A new SQLite file with every step up to `upTo` (0 = latest); an existing
// file is never touched.
Outcome<void> createSqlite(const QString &path, SchemaKind kind, int upTo = 0);
// Checks an SQLite file's version and brings it up to date.
Outcome<void> ensureSqlite(const QString &path, SchemaKind kind);

// The same on a PostgreSQL schema of an open connection.
Outcome<void> createPostgres(QSqlDatabase db, const QString &schema, SchemaKind kind, int upTo = 0);
Outcome<void> ensurePostgres(QSqlDatabase db, const QString &schema, SchemaKind kind);
// The schema and its tables inside the caller's open transaction: what is
// not committed leaves nothing on the server.
Outcome<void> buildPostgres(QSqlDatabase db, const QString &schema, SchemaKind kind, int upTo = 0);
bool postgresSchemaExists(QSqlDatabase db, const QString &schema);

// Why a file cannot be opened as an archive, or an empty text when it is an
// SQLite file: missing, empty, an Access file, anything else.
QString sqliteFileProblem(const QString &path);
// SQLite's own check of an archive's pages (quick_check, or the full
// integrity_check): the damage told to the operator, or an empty text.
QString sqliteDamage(const QString &path, bool full = false);
// Archives up to this size are checked at every opening; larger ones at the
// first backup and from the utilities.
inline constexpr qint64 kQuickCheckLimit = 200LL * 1024 * 1024;

// A URI for SQLite that opens the file without creating it.
QString sqliteUri(const QString &path, bool create = false);

} // namespace Schema

} // namespace Orlavo::Services
