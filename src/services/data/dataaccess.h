#pragma once

#include "services/core/appstate.h"
#include "services/core/outcome.h"
#include "services/core/sqlterms.h"
#include "services/data/recordset.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <unordered_map>

class QSqlError;

namespace Orlavo::Services {

class Prompter;
class Settings;

enum class Engine { Sqlite, Postgres };

// How to reach a PostgreSQL server: section [POSTGRESQL] of CONT.INI; an
// empty password leaves it to ~/.pgpass.
struct ServerKeys {
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password;

    static ServerKeys fromSettings(const Settings &settings);
    // A PostgreSQL connection set up with these keys, not yet open.
    QSqlDatabase addConnection(const QString &connectionName) const;
};

struct ConnectionConfig {
    QString dbType;       // normalised TIPODB
    QString pathDb;       // SQLite: folder of the files
    QString servicesFile; // DBSER
    std::optional<Isolation> isolation;
    ServerKeys server;
    // How long a statement waits for another workstation's lock.
    int lockWaitMs = 10000;
    // PostgreSQL, first configuration: the schemas are made inside the first
    // write unit, so they are not looked for at opening.
    bool creating = false;
};

// The error state the executors leave for the caller and the error report.
struct DbErrorState {
    int code = 0;   // 0 ok, -1 refused to a read-only user, -2 read-only archives, -100 database error, 100 counter
    QString number; // engine's native code (SQLSTATE on PostgreSQL)
    QString description;
    QString step;
};

// Error codes of the error state.
inline constexpr int kErrNone = 0;
inline constexpr int kErrNoRights = -1;
// Refused because the archives are open read-only (told to the operator).
inline constexpr int kErrReadOnly = -2;
inline constexpr int kErrDatabase = -100;
inline constexpr int kErrCounter = 100;

// The data-access layer: the services and company connections, queries,
// the two statement executors, the paired transactions, the error report,
// CONT.LOG and the archive lock.
class DataAccess
{
public:
    DataAccess(AppState &state, Prompter &prompter, QString logPath);
    ~DataAccess();
    DataAccess(const DataAccess &) = delete;
    DataAccess &operator=(const DataAccess &) = delete;

    // Opens the services database; a failure is fatal (messages, log, exit hook).
    Outcome<void> openServices(const ConnectionConfig &config);
    // Opens the company's database ("CONTAB" & code & ".MDB", or its schema).
    Outcome<void> openCompany(const QString &companyCode);
    // Why the company's archive cannot be opened: not there (its file, or
    // its schema on the server), not one of ours, or damaged; an empty text
    // when it can. Said before opening, so the program goes on without it.
    QString companyArchiveProblem(const QString &companyCode);
    void close();

    Engine engine() const { return m_engine; }
    bool isOpen() const { return m_open; }
    bool companyOpen() const { return !m_companyCode.isEmpty(); }
    const QString &companyCode() const { return m_companyCode; }
    const ConnectionConfig &config() const { return m_config; }
    // The one physical connection, for the report engine and tests.
    QSqlDatabase connection() const;

    // OpenRecordset on the services or the company database.
    // A failure is fatal, except a lock conflict (busy, deadlock,
    // serialization), which comes back as a failure with the error state set.
    Outcome<Recordset> openRecordset(const QString &sql, const Params &params = {}, Target target = Target::Company);
    // A read whose failure the caller reports itself (the report engine):
    // never fatal; the error state holds the cause.
    Outcome<Recordset> tryOpenRecordset(const QString &sql, const Params &params = {});
    // The rows taken for update inside the caller's write transaction, so a
    // read-add-write loses nobody's update.
    Outcome<Recordset> openRecordsetForUpdate(const QString &sql, const Params &params = {}, Target target = Target::Company);

    // ExecuteSql / ExecuteSqlServices: the error code (0, -1 or -100).
    int executeSql(const QString &sql, const Params &params = {});
    int executeSqlServices(const QString &sql, const Params &params = {});
    // Rows touched by the last successful statement.
    int rowsAffected() const { return m_rowsAffected; }

    bool beginTransBoth();
    bool commitTransBoth();
    void rollbackTransBoth();
    bool inTransaction() const { return m_inTransaction; }

    DbErrorState &error() { return m_error; }
    const DbErrorState &error() const { return m_error; }
    void setStep(const QString &step)
    {
        m_error.step = step;
        if (m_stepHook)
            m_stepHook(step);
    }

    // The seven-line report of the error state; fatal ends the application.
    void reportDbError(const QString &where, bool fatal);
    bool checkWriteRights();
    // Why the open archives cannot be written (a read-only file or folder, a
    // server schema the user may only read); empty when they can. Every
    // write is then refused up front with this reason.
    const QString &readOnlyReason() const { return m_readOnly; }
    void setBusy(bool busy);

    bool lockArchive(const QString &area);
    bool unlockArchive();
    bool unlockUser();

    // Hooks the application (and tests) install.
    void setExitHook(std::function<void(int)> hook) { m_exitHook = std::move(hook); }
    void setStatusHook(std::function<void(const QString &)> hook) { m_statusHook = std::move(hook); }
    void setBusyHook(std::function<void(bool)> hook) { m_busyHook = std::move(hook); }
    // Told each step label as a write reaches it: the crash tests' workers
    // die there. The programs never set it.
    void setStepHook(std::function<void(const QString &)> hook) { m_stepHook = std::move(hook); }
    // Milliseconds between two attempts at the archive lock.
    void setLockRetryDelay(int ms) { m_lockDelayMs = ms; }

    AppState &state() { return m_state; }
    Prompter &prompter() { return m_prompter; }

    // Ends the application through the exit hook (tests observe it).
    void exitApplication(int code);

    // The fatal access report: both messages, CONT.LOG, the exit hook.
    void fatalAccessError(const QString &source, const QString &number, const QString &description);

    // Busy, locked, deadlock, serialization failure, lock timeout.
    bool isLockConflict(const QSqlError &error) const;
    bool isLockConflict(const QString &nativeCode) const;

private:
    Outcome<Recordset> query(const QString &sql, const Params &params, bool fatal);
    int execute(Target target, const QString &sql, const Params &params);
    // The statement run with the values; nullptr with the error on failure.
    QSqlQuery *run(const QString &sql, const Params &params, QSqlError *error);
    void forgetPrepared();
    bool runControl(const QString &statement);
    void takeError(const QSqlError &error);
    void clearError();
    void setError(const QString &description);
    // Where a statement may run; false with the error set otherwise.
    bool usable(bool company);
    // The wait between two attempts at the lock, the window kept alive.
    void pause(int ms);
    void writeLog(const QString &source, const QString &number, const QString &description);
    // Empty text when open; else why not.
    QString openSqlite(const QString &mainFile);
    QString openPostgres();
    // SQLite's quick check of a file at opening; empty when sound.
    QString damageAtOpening(const QString &file);
    // Tells the read-only reason; false when the archives can be written.
    bool refusedReadOnly();
    Outcome<void> failOpen(const QString &description);

    AppState &m_state;
    Prompter &m_prompter;
    QString m_logPath;
    ConnectionConfig m_config;
    Engine m_engine = Engine::Sqlite;
    QString m_connectionName;
    QString m_companyCode;
    QString m_readOnly;
    QString m_servicesReadOnly; // on a server, found at login
    // SQLite files the opening check found sound, with their time then.
    QHash<QString, QDateTime> m_soundFiles;
    bool m_open = false;
    bool m_inTransaction = false;
    // A statement failed inside the open transaction: PostgreSQL would turn
    // the COMMIT into a silent ROLLBACK, so the commit must fail too.
    bool m_transactionFailed = false;
    int m_rowsAffected = 0;
    int m_lockDelayMs = 50;
    DbErrorState m_error;
    std::function<void(int)> m_exitHook;
    std::function<void(const QString &)> m_statusHook;
    std::function<void(bool)> m_busyHook;
    std::function<void(const QString &)> m_stepHook;

    struct Prepared {
        QSqlQuery query;
        int placeholders = 0;
    };
    static constexpr int kPreparedLimit = 64;
    std::unordered_map<QString, Prepared> m_prepared;
};

// The company's database file, "CONTAB" & code & ".MDB".
QString companyFileName(const QString &companyCode);
// The company's PostgreSQL schema, "contab" & code in lower case.
QString companySchemaName(const QString &companyCode);
// Company codes are letters and digits only: they name files and schemas.
bool isValidCompanyCode(const QString &companyCode);

} // namespace Orlavo::Services
