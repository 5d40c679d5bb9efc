#include "services/data/dataaccess.h"

#include "services/core/inifile.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/enginemessages.h"
#include "services/data/prompter.h"
#include "services/data/schema.h"
#include "services/data/writeunit.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <cstdlib>

namespace Orlavo::Services {

namespace {

// Texts of this layer, worded as the system has always worded them.
constexpr char kTitleError[] = "Errore";
constexpr char kAccessMessage[] = "Errore durante l'accesso ai dati;\n"
                                  "Controllare che la rete funzioni corretamente, \n"
                                  "che il Server Dati sia attivo. \n"
                                  "Se il problema persiste consultare il fornitore del programma.";
constexpr char kAccessDetail[] = "Errore durante l'accesso ai dati :\n";
constexpr char kNoRightsWrite[] = "operazione non consentita : \n"
                                  "Non si possiedono i diritti per procedere con tale operazione.\n"
                                  "Per ulteriri chiarimenti rivolgersi all'Amministratore.";
constexpr char kNoRightsCheck[] = "Operazione non consentita : \n"
                                  "Non si possiedono i diritti per eseguire tale operazione.\n"
                                  "Per ulteriri chiarimenti rivolgersi all'Amministratore.";
constexpr char kReadOnly[] = "Gli archivi sono aperti in sola lettura: %1\nNessuna modifica viene registrata.";
constexpr char kLocked[] = "L'archivio è attualmente in uso esclusivo dall'utente %1\n"
                           "Riprovare l'operazione tra qualche istante";
constexpr char kLockWhere[] = "Blocca registrazioni";
constexpr int kLockAttempts = 100;

constexpr char kSelectLock[] = "SELECT UTENTE FROM %1";

// A file or folder closed to writing, also by its permission bits alone: an
// administrator's read-only mark holds for every user.
bool writable(const QString &path)
{
    const QFileInfo info(path);
    return info.isWritable() && (info.permissions() & QFileDevice::WriteOwner);
}

QString sqliteReadOnlyReason(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        if (!file.isEmpty() && !writable(file))
            return QStringLiteral("l'archivio %1 è di sola lettura.").arg(QDir::toNativeSeparators(file));
    }
    // SQLite writes its journal beside the archives.
    if (!writable(folder))
        return QStringLiteral("nella cartella %1 non si può scrivere.").arg(QDir::toNativeSeparators(folder));
    return {};
}

QString postgresReadOnlyReason(QSqlDatabase db, const QString &schema, const QString &user)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = ? AND table_type = 'BASE TABLE' "
        "AND NOT (has_table_privilege(quote_ident(table_schema) || '.' || quote_ident(table_name), 'INSERT') "
        "AND has_table_privilege(quote_ident(table_schema) || '.' || quote_ident(table_name), 'UPDATE') "
        "AND has_table_privilege(quote_ident(table_schema) || '.' || quote_ident(table_name), 'DELETE'))"));
    q.addBindValue(schema.toLower());
    if (!q.exec() || !q.next() || q.value(0).toInt() == 0)
        return {};
    return QStringLiteral("sul server l'utente %1 può solo leggere lo schema %2.")
        .arg(user.isEmpty() ? QStringLiteral("in uso") : user, schema.toLower());
}
constexpr char kInsertLock[] = " INSERT INTO %1 (AREA ,   UTENTE )  VALUES ( ? , ? ) ";
constexpr char kSelectAllLocks[] = "SELECT * FROM %1";
constexpr char kDeleteLocks[] = " DELETE FROM %1";
constexpr char kSelectUserLocks[] = "SELECT * FROM %1 WHERE %2";
constexpr char kDeleteUserLocks[] = " DELETE FROM %1 WHERE %2";

std::atomic<int> connectionCounter{0};

QString pgIsolation(std::optional<Isolation> level)
{
    // PostgreSQL has nothing weaker than READ COMMITTED.
    if (!level)
        return {};
    switch (*level) {
    case Isolation::Chaos:
    case Isolation::ReadCommitted: return QStringLiteral("READ COMMITTED");
    case Isolation::RepeatableRead: return QStringLiteral("REPEATABLE READ");
    case Isolation::Serializable: return QStringLiteral("SERIALIZABLE");
    }
    return {};
}

bool isSqliteType(const QString &dbType)
{
    return dbType == QLatin1String("ACCESS") || dbType == QLatin1String("ACCESS2000");
}

} // namespace

ServerKeys ServerKeys::fromSettings(const Settings &settings)
{
    const QString section = QStringLiteral("POSTGRESQL");
    ServerKeys keys;
    keys.host = settings.read(section, QStringLiteral("HOST"));
    bool ok = false;
    const int port = settings.read(section, QStringLiteral("PORT")).toInt(&ok);
    if (ok && port > 0)
        keys.port = port;
    keys.database = settings.read(section, QStringLiteral("DATABASE"));
    keys.user = settings.read(section, QStringLiteral("USER"));
    keys.password = settings.read(section, QStringLiteral("PASSWORD"));
    return keys;
}

QSqlDatabase ServerKeys::addConnection(const QString &connectionName) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    return db;
}

DataAccess::DataAccess(AppState &state, Prompter &prompter, QString logPath)
    : m_state(state), m_prompter(prompter), m_logPath(std::move(logPath)),
      m_connectionName(QStringLiteral("orlavo-%1").arg(++connectionCounter))
{
}

DataAccess::~DataAccess()
{
    close();
}

QSqlDatabase DataAccess::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void DataAccess::close()
{
    if (m_inTransaction)
        rollbackTransBoth();
    forgetPrepared();
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_open = false;
    m_companyCode.clear();
    m_readOnly.clear();
    m_servicesReadOnly.clear();
}

Outcome<void> DataAccess::failOpen(const QString &description)
{
    close();
    fatalAccessError(QStringLiteral("Apertura archivi"), QString(), description);
    return Failure{description, {}};
}

Outcome<void> DataAccess::openServices(const ConnectionConfig &config)
{
    close();
    m_config = config;
    if (m_state.serverDb || config.dbType.compare(QLatin1String("SQL"), Qt::CaseInsensitive) == 0) {
        m_engine = Engine::Postgres;
        if (const QString problem = openPostgres(); !problem.isEmpty())
            return failOpen(problem);
        return {};
    }
    if (!isSqliteType(config.dbType))
        return failOpen(
            QStringLiteral("Tipo di database non gestito: \"%1\" (TIPODB in CONT.INI).").arg(config.dbType));
    m_engine = Engine::Sqlite;
    if (const QString problem = openSqlite(QString()); !problem.isEmpty())
        return failOpen(problem);
    return {};
}

QString DataAccess::openSqlite(const QString &mainFile)
{
    if (m_config.pathDb.isEmpty())
        return QStringLiteral("La cartella degli archivi (PATHDB in CONT.INI) non è impostata.");
    const QString servicesPath = m_config.pathDb + m_config.servicesFile;
    for (const QString &file : {servicesPath, mainFile}) {
        if (file.isEmpty())
            continue;
        if (const QString problem = Schema::sqliteFileProblem(file); !problem.isEmpty())
            return problem;
        if (const QString damage = damageAtOpening(file); !damage.isEmpty())
            return damage;
        const auto kind = file == servicesPath ? SchemaKind::Services : SchemaKind::Company;
        if (auto checked = Schema::ensureSqlite(file, kind); !checked)
            return checked.failure().message + QLatin1Char(' ') + checked.failure().detail;
    }

    m_readOnly = sqliteReadOnlyReason(m_config.pathDb, {servicesPath, mainFile});

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(mainFile.isEmpty() ? QStringLiteral(":memory:") : Schema::sqliteUri(mainFile));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_config.lockWaitMs));
    if (!db.open())
        return db.lastError().text();
    m_open = true;

    // A rollback journal, not WAL: only then does a commit that touches the
    // company file and the attached services file land in both or neither.
    QSqlQuery attach(db);
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(QLatin1String(kServicesSchema)));
    attach.addBindValue(Schema::sqliteUri(servicesPath));
    if (!attach.exec())
        return attach.lastError().text();
    QStringList pragmas = {QStringLiteral("PRAGMA servizi.journal_mode=DELETE"),
                           QStringLiteral("PRAGMA servizi.synchronous=FULL")};
    if (!mainFile.isEmpty())
        pragmas << QStringLiteral("PRAGMA main.journal_mode=DELETE") << QStringLiteral("PRAGMA main.synchronous=FULL");
    for (const QString &pragma : pragmas) {
        QSqlQuery q(db);
        if (!q.exec(pragma))
            return q.lastError().text();
    }
    return {};
}

QString DataAccess::openPostgres()
{
    const ServerKeys &keys = m_config.server;
    QSqlDatabase db = keys.addConnection(m_connectionName);
    if (!db.open())
        return QStringLiteral("Server dati non raggiungibile (%1:%2, archivio %3).\n%4")
            .arg(keys.host.isEmpty() ? QStringLiteral("locale") : keys.host)
            .arg(keys.port)
            .arg(keys.database, withItalianLine(Engine::Postgres, db.lastError().nativeErrorCode(),
                                                db.lastError().text().simplified()));
    m_open = true;
    QStringList setup = {QStringLiteral("SET client_min_messages TO WARNING"),
                         QStringLiteral("SET search_path TO pg_catalog"),
                         QStringLiteral("SET lock_timeout = %1").arg(m_config.lockWaitMs)};
    if (const QString level = pgIsolation(m_config.isolation); !level.isEmpty())
        setup << QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ") + level;
    for (const QString &statement : setup) {
        QSqlQuery q(db);
        if (!q.exec(statement))
            return q.lastError().text();
    }
    if (m_config.creating)
        return {};
    if (auto checked = Schema::ensurePostgres(db, QLatin1String(kServicesSchema), SchemaKind::Services); !checked)
        return checked.failure().message + QLatin1Char(' ') + checked.failure().detail;
    m_servicesReadOnly = postgresReadOnlyReason(db, QLatin1String(kServicesSchema), keys.user);
    m_readOnly = m_servicesReadOnly;
    return {};
}

Outcome<void> DataAccess::openCompany(const QString &companyCode)
{
    if (!isValidCompanyCode(companyCode))
        return failOpen(QStringLiteral("Codice società non valido: \"%1\".").arg(companyCode));
    if (m_inTransaction)
        rollbackTransBoth();
    if (m_engine == Engine::Sqlite) {
        const ConnectionConfig config = m_config;
        close();
        m_config = config;
        if (const QString problem = openSqlite(m_config.pathDb + companyFileName(companyCode)); !problem.isEmpty())
            return failOpen(problem);
    } else {
        if (!m_open)
            return failOpen(QStringLiteral("Archivio dei servizi non aperto."));
        const QString schema = companySchemaName(companyCode);
        if (auto checked = m_config.creating ? Outcome<void>() : Schema::ensurePostgres(connection(), schema, SchemaKind::Company);
            !checked)
            return failOpen(checked.failure().message + QLatin1Char(' ') + checked.failure().detail);
        forgetPrepared();
        QString problem;
        {
            QSqlQuery q(connection());
            if (!q.exec(QStringLiteral("SET search_path TO %1").arg(schema)))
                problem = q.lastError().text();
        }
        if (!problem.isEmpty())
            return failOpen(problem);
        if (!m_config.creating)
            m_readOnly = !m_servicesReadOnly.isEmpty()
                             ? m_servicesReadOnly
                             : postgresReadOnlyReason(connection(), schema, m_config.server.user);
    }
    m_companyCode = companyCode;
    m_state.dbName = companyFileName(companyCode);
    return {};
}

QString DataAccess::damageAtOpening(const QString &file)
{
    // Damage found now, not after the operator has typed a record; a file
    // found sound and not changed since is not read again (the services file
    // at every change of company).
    const QFileInfo info(file);
    if (info.size() > Schema::kQuickCheckLimit || m_soundFiles.value(file) == info.lastModified())
        return {};
    const QString damage = Schema::sqliteDamage(file);
    if (damage.isEmpty())
        m_soundFiles.insert(file, info.lastModified());
    return damage;
}

QString DataAccess::companyArchiveProblem(const QString &companyCode)
{
    const QString next = QStringLiteral("\nScegliere un'altra società, registrarne una nuova o ripristinare "
                                        "l'archivio dall'ultimo salvataggio.");
    if (m_engine == Engine::Sqlite) {
        const QString path = m_config.pathDb + companyFileName(companyCode);
        if (!QFileInfo::exists(path))
            return QStringLiteral("L'archivio della società %1 non c'è: manca il file %2.").arg(companyCode, path) + next;
        if (const QString problem = Schema::sqliteFileProblem(path); !problem.isEmpty())
            return problem + next;
        if (const QString damage = damageAtOpening(path); !damage.isEmpty())
            return damage + next;
        return {};
    }
    if (!m_open)
        return {};
    const QString schema = companySchemaName(companyCode);
    if (Schema::postgresSchemaExists(connection(), schema))
        return {};
    return QStringLiteral("L'archivio della società %1 non c'è: manca lo schema %2 sul server.").arg(companyCode, schema) +
           next;
}

bool DataAccess::isLockConflict(const QSqlError &error) const
{
    return isLockConflict(error.nativeErrorCode());
}

bool DataAccess::isLockConflict(const QString &code) const
{
    if (m_engine == Engine::Sqlite) {
        const int primary = code.toInt() & 0xFF;
        return primary == 5 || primary == 6;   // SQLITE_BUSY, SQLITE_LOCKED
    }
    return code == QLatin1String("40001") || code == QLatin1String("40P01") || code == QLatin1String("55P03");
}

void DataAccess::clearError()
{
    m_error.code = kErrNone;
    m_error.number.clear();
    m_error.description.clear();
}

void DataAccess::setError(const QString &description)
{
    m_error.code = kErrDatabase;
    m_error.number.clear();
    m_error.description = description;
    if (m_inTransaction)
        m_transactionFailed = true;
}

bool DataAccess::usable(bool company)
{
    if (!m_open)
        setError(QStringLiteral("Archivi non aperti."));
    else if (company && !companyOpen())
        setError(QStringLiteral("Nessuna società aperta."));
    else
        return true;
    return false;
}

void DataAccess::takeError(const QSqlError &error)
{
    if (m_inTransaction)
        m_transactionFailed = true;
    m_error.code = kErrDatabase;
    m_error.number = error.nativeErrorCode();
    // The Italian line after "Descrizione: ", the engine's own text below it.
    m_error.description = withItalianLine(m_engine, m_error.number,
                                          (error.databaseText().isEmpty() ? error.text() : error.databaseText()).simplified());
}

namespace {

// Placeholders outside quoted literals and identifiers.
int placeholderCount(const QString &sql)
{
    int count = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql.at(i);
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            const qsizetype close = sql.indexOf(ch, i + 1);
            i = close < 0 ? sql.size() : close;
        } else if (ch == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? sql.size() : end;
        } else if (ch == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? sql.size() : end + 1;
        } else if (ch == QLatin1Char('?')) {
            ++count;
        }
    }
    return count;
}

} // namespace

QSqlQuery *DataAccess::run(const QString &sql, const Params &params, QSqlError *error)
{
    // Statements are prepared once per connection and run again with new
    // values: parsing every time costs more than running them.
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end()) {
        if (m_prepared.size() >= kPreparedLimit)
            m_prepared.clear();
        QSqlQuery fresh(connection());
        fresh.setForwardOnly(true);
        if (!fresh.prepare(sql)) {
            *error = fresh.lastError();
            return nullptr;
        }
        it = m_prepared.emplace(sql, Prepared{std::move(fresh), placeholderCount(sql)}).first;
    }
    Prepared &prepared = it->second;
    if (prepared.placeholders != params.size()) {
        *error =
            QSqlError(QStringLiteral("Parametri: %1 attesi, %2 forniti").arg(prepared.placeholders).arg(params.size()),
                      QString(), QSqlError::StatementError);
        return nullptr;
    }
    for (qsizetype i = 0; i < params.size(); ++i)
        prepared.query.bindValue(int(i), params.at(i));
    if (!prepared.query.exec()) {
        *error = prepared.query.lastError();
        prepared.query.finish();
        return nullptr;
    }
    return &prepared.query;
}

void DataAccess::forgetPrepared()
{
    m_prepared.clear();
}

Outcome<Recordset> DataAccess::openRecordset(const QString &sql, const Params &params, Target target)
{
    clearError();
    if (!usable(target == Target::Company)) {
        fatalAccessError(QStringLiteral("OpenRecordset"), QString(), m_error.description);
        return Failure{m_error.description, sql};
    }
    return query(sql, params, true);
}

Outcome<Recordset> DataAccess::tryOpenRecordset(const QString &sql, const Params &params)
{
    clearError();
    if (!usable(false))
        return Failure{m_error.description, sql};
    return query(sql, params, false);
}

Outcome<Recordset> DataAccess::openRecordsetForUpdate(const QString &sql, const Params &params, Target target)
{
    clearError();
    if (!m_inTransaction) {
        // A read for update outside a write transaction protects nothing.
        setError(QStringLiteral("Lettura per aggiornamento fuori da una transazione."));
        return Failure{m_error.description, sql};
    }
    if (!usable(target == Target::Company)) {
        fatalAccessError(QStringLiteral("OpenRecordset"), QString(), m_error.description);
        return Failure{m_error.description, sql};
    }
    // SQLite: the write transaction began IMMEDIATE, so no other writer can
    // come between this read and the update.
    return query(m_engine == Engine::Postgres ? sql + QStringLiteral(" FOR UPDATE") : sql, params, true);
}

Outcome<Recordset> DataAccess::query(const QString &sql, const Params &params, bool fatal)
{
    QSqlError error;
    QSqlQuery *q = run(sql, params, &error);
    std::optional<Recordset> rows;
    if (q) {
        rows = Recordset::fetchAll(*q);
        if (!rows)
            error = q->lastError();
        q->finish();
    }
    if (rows)
        return *rows;
    takeError(error);
    if (fatal && !isLockConflict(error))
        fatalAccessError(connection().driverName(), m_error.number, m_error.description);
    return Failure{m_error.description, sql};
}

int DataAccess::executeSql(const QString &sql, const Params &params)
{
    return execute(Target::Company, sql, params);
}

int DataAccess::executeSqlServices(const QString &sql, const Params &params)
{
    return execute(Target::Services, sql, params);
}

int DataAccess::execute(Target target, const QString &sql, const Params &params)
{
    clearError();
    m_rowsAffected = 0;
    if (m_state.userType == 0) {
        m_prompter.error(QString::fromUtf8(kNoRightsWrite), QString::fromUtf8(kTitleError));
        m_error.code = kErrNoRights;
        return m_error.code;
    }
    if (!usable(target == Target::Company))
        return m_error.code;
    QSqlError error;
    QSqlQuery *q = run(sql, params, &error);
    if (!q) {
        takeError(error);
        return m_error.code;
    }
    m_rowsAffected = q->numRowsAffected();
    q->finish();
    return kErrNone;
}

bool DataAccess::runControl(const QString &statement)
{
    QSqlQuery q(connection());
    if (q.exec(statement))
        return true;
    takeError(q.lastError());
    return false;
}

bool DataAccess::beginTransBoth()
{
    clearError();
    if (!usable(false))
        return false;
    if (refusedReadOnly()) {
        // Told once: the caller's report stays quiet on this code.
        m_error.code = kErrReadOnly;
        m_error.description = m_readOnly;
        return false;
    }
    if (m_inTransaction) {
        // Refused, but the open transaction itself is fine.
        m_error.code = kErrDatabase;
        m_error.description = QStringLiteral("Transazione già aperta.");
        return false;
    }
    // IMMEDIATE: a second writer waits at the start (busy timeout) instead
    // of failing half-way through its statements.
    if (!runControl(m_engine == Engine::Sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
        return false;
    m_inTransaction = true;
    m_transactionFailed = false;
    return true;
}

bool DataAccess::commitTransBoth()
{
    if (!m_inTransaction) {
        setError(QStringLiteral("Nessuna transazione aperta."));
        return false;
    }
    if (m_transactionFailed) {
        // Keep the failed statement's error for the report.
        const DbErrorState failed = m_error;
        rollbackTransBoth();
        m_error = failed;
        if (m_error.code == kErrNone)
            setError(QStringLiteral("Un'istruzione della transazione non è riuscita."));
        return false;
    }
    if (runControl(QStringLiteral("COMMIT"))) {
        m_inTransaction = false;
        return true;
    }
    const DbErrorState failed = m_error;
    rollbackTransBoth();
    m_error = failed;
    return false;
}

void DataAccess::rollbackTransBoth()
{
    if (!m_inTransaction)
        return;
    QSqlQuery q(connection());
    q.exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    m_transactionFailed = false;
}

void DataAccess::reportDbError(const QString &where, bool fatal)
{
    const QStringList lines = {
        QStringLiteral("Rilevato errore su ") + where,
        QStringLiteral("Codice ") + QString::number(m_error.code),
        QStringLiteral("Step ") + m_error.step,
        QStringLiteral("Riprovare l'operazione "),
        QString(),
        QStringLiteral("Errore DB: ") + m_error.number,
        QStringLiteral("Descrizione: ") + m_error.description,
    };
    m_prompter.error(lines.join(QLatin1Char('\n')), QString::fromUtf8(kTitleError));
    if (fatal) {
        if (m_exitHook)
            m_exitHook(EXIT_FAILURE);
        else
            std::exit(EXIT_FAILURE);
    }
    setBusy(false);
}

bool DataAccess::refusedReadOnly()
{
    if (m_readOnly.isEmpty())
        return false;
    m_prompter.error(QString::fromUtf8(kReadOnly).arg(m_readOnly), QString::fromUtf8(kTitleError));
    return true;
}

bool DataAccess::checkWriteRights()
{
    if (refusedReadOnly())
        return false;
    if (m_state.userType != 0)
        return true;
    m_prompter.error(QString::fromUtf8(kNoRightsCheck), QString::fromUtf8(kTitleError));
    return false;
}

void DataAccess::setBusy(bool busy)
{
    if (m_busyHook)
        m_busyHook(busy);
}

void DataAccess::writeLog(const QString &source, const QString &number, const QString &description)
{
    if (m_logPath.isEmpty())
        return;
    const IniFile log(m_logPath);
    const QString section = QStringLiteral("ERRORI");
    log.write(section, QStringLiteral("OGG"), source);
    log.write(section, QStringLiteral("NUM"), number);
    log.write(section, QStringLiteral("DES"), QString(description).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

void DataAccess::exitApplication(int code)
{
    if (m_exitHook)
        m_exitHook(code);
    else
        std::exit(code);
}

void DataAccess::fatalAccessError(const QString &source, const QString &number, const QString &description)
{
    if (m_inTransaction)
        rollbackTransBoth();
    // The program ends here: no scope guard will release this user's lock.
    if (m_open && companyOpen() && !m_state.user.isEmpty()) {
        QSqlQuery q(connection());
        q.prepare(QString::fromLatin1(kDeleteUserLocks).arg(Tables::SEMAFORO, sqlUpperEquals(QStringLiteral("UTENTE"))));
        q.addBindValue(m_state.user);
        q.exec();
    }
    m_prompter.error(QString::fromUtf8(kAccessMessage), QString::fromUtf8(kTitleError));
    m_prompter.error(QString::fromUtf8(kAccessDetail) + description, QString::fromUtf8(kTitleError));
    writeLog(source, number, description);
    if (m_exitHook)
        m_exitHook(EXIT_FAILURE);
    else
        std::exit(EXIT_FAILURE);
}

bool DataAccess::lockArchive(const QString &)
{
    for (int attempt = 1;; ++attempt) {
        WriteUnit unit(*this, QString::fromUtf8(kLockWhere), WriteUnit::Report::Quiet);
        if (m_error.code == kErrReadOnly)
            return false;
        auto holder = unit.read(QString::fromLatin1(kSelectLock).arg(Tables::SEMAFORO));
        if (!holder) {
            reportDbError(QString::fromUtf8(kLockWhere), false);
            return false;
        }
        if (!holder->isEmpty()) {
            unit.abandon();
            m_prompter.ask(QString::fromUtf8(kLocked).arg(holder->first().text(QStringLiteral("UTENTE"))),
                           QString::fromUtf8(kTitleError), Prompter::Icon::Warning, Prompter::Buttons::Ok);
            return false;
        }
        // Every caller takes the same whole-archive lock, whatever its area.
        if (unit.execCompany(QStringLiteral("Ins. semaforo"), QString::fromLatin1(kInsertLock).arg(Tables::SEMAFORO),
                             {QString::fromLatin1(kWholeArchive), m_state.user}) &&
            unit.commit()) {
            return true;
        }
        // Only another workstation's insert is worth waiting for: a busy
        // archive or the key already taken.
        const QString code = m_error.number;
        const bool raced = isLockConflict(code) || code == QLatin1String("23505")
                           || (m_engine == Engine::Sqlite && (code.toInt() & 0xFF) == 19);
        if (!raced || attempt > kLockAttempts) {
            reportDbError(QString::fromUtf8(kLockWhere), false);
            return false;
        }
        if (m_statusHook)
            m_statusHook(QStringLiteral("Tentativo blocco ") + QString::number(attempt));
        pause(m_lockDelayMs);
    }
}

void DataAccess::pause(int ms)
{
    QDeadlineTimer until(ms);
    while (!until.hasExpired()) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, int(until.remainingTime()));
        else
            QThread::msleep(quint64(until.remainingTime()));
    }
}

bool DataAccess::unlockArchive()
{
    WriteUnit unit(*this, QString::fromUtf8(kLockWhere));
    auto rows = unit.read(QString::fromLatin1(kSelectAllLocks).arg(Tables::SEMAFORO));
    if (!rows)
        return false;
    if (rows->isEmpty()) {
        unit.abandon();
        return true;
    }
    return unit.execCompany(QStringLiteral("Del. semaforo"), QString::fromLatin1(kDeleteLocks).arg(Tables::SEMAFORO)) &&
           unit.commit();
}

bool DataAccess::unlockUser()
{
    auto rows = openRecordset(
        QString::fromLatin1(kSelectUserLocks).arg(Tables::SEMAFORO, sqlUpperEquals(QStringLiteral("UTENTE"))),
        {m_state.user});
    if (!rows)
        return false;
    if (rows->isEmpty())
        return true;
    WriteUnit unit(*this, QString::fromUtf8(kLockWhere));
    return unit.execCompany(
               QStringLiteral("Del. semaforo utente "),
               QString::fromLatin1(kDeleteUserLocks).arg(Tables::SEMAFORO, sqlUpperEquals(QStringLiteral("UTENTE"))),
               {m_state.user}) &&
           unit.commit();
}

QString companyFileName(const QString &companyCode)
{
    return QStringLiteral("CONTAB") + companyCode + QStringLiteral(".MDB");
}

QString companySchemaName(const QString &companyCode)
{
    return QStringLiteral("contab") + companyCode.toLower();
}

bool isValidCompanyCode(const QString &companyCode)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9]{1,2}$"));
    return valid.match(companyCode).hasMatch();
}

} // namespace Orlavo::Services
