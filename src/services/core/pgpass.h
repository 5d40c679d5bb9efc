#pragma once

#include <QString>

namespace Orlavo::Services {

// The password file of the PostgreSQL client: PGPASSFILE, else ~/.pgpass.
// One line "host:port:database:user:password" per account; the client
// library reads it when a connection gives no password, and ignores it
// unless only its owner may read it.
QString pgPassFilePath();

// Writes the account's line, replacing its old one and keeping the others,
// and leaves the file to its owner alone (0600). An empty host is the local
// server ("localhost"). The error text, or an empty text.
QString storePgPassword(const QString &host, int port, const QString &database, const QString &user,
                        const QString &password);

} // namespace Orlavo::Services
