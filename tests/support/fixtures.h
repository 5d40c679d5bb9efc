#pragma once

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/appstate.h"
#include "services/data/dataaccess.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace Orlavo::Testing {

// An empty database of its own on the test server, dropped at the end.
class ServerDatabase
{
public:
    ServerDatabase();
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

// The only message shown is the given refusal.
void expectRefused(const ScriptedPrompter &prompter, const QString &text, Services::Prompter::Icon icon,
                   Services::Prompter::Buttons buttons, const QString &title = QStringLiteral("Orlavo"));

// The committed rows of some tables ("servizi.X" for a services table), as
// another workstation reads them.
class Snapshot
{
public:
    Snapshot(const TestArchives &archives, const QStringList &tables);
    QHash<QString, QStringList> contents() const;

private:
    Services::ConnectionConfig m_config;
    QHash<QString, QStringList> m_before;
    friend void expectNothingWritten(const Snapshot &, const Services::DataAccess &);
};

// Every table of the snapshot holds the rows it held, and the program's
// connection is left without a transaction open.
void expectNothingWritten(const Snapshot &before, const Services::DataAccess &db);

} // namespace Orlavo::Testing
