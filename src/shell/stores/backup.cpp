#include "shell/stores/backup.h"

#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QVersionNumber>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <list>

#include <unistd.h>

namespace Orlavo::Shell {

using Services::DataAccess;
using Services::Engine;
using Services::Failure;
using Services::Outcome;

namespace {

constexpr char kNoFolder[] = "Scegliere la cartella del salvataggio.";
constexpr char kFolderMissing[] = "La cartella %1 non esiste.";
constexpr char kFolderDenied[] = "Impossibile scrivere nella cartella %1: permesso negato";
constexpr char kFolderWriteError[] = "Impossibile scrivere nella cartella %1: %2";
constexpr char kNoSpace[] = "Spazio insufficiente nella cartella di destinazione";
constexpr char kSpaceDetail[] = "%1: sono necessari %2 MB liberi nella cartella %3, disponibili %4 MB.";
constexpr char kInTransaction[] = "Salvataggio non possibile durante una registrazione in corso: "
                                  "riprovare al termine.";
constexpr char kNotOpen[] = "Archivi non aperti: salvataggio non disponibile";
constexpr char kNoPgDump[] = "Programma pg_dump non installato: salvataggio non disponibile";
constexpr char kOldSqlite[] = "Libreria SQLite %1 troppo vecchia (serve la 3.27 o successiva): "
                              "salvataggio non disponibile";
constexpr char kArchiveBusy[] = "L'archivio %1 è in uso da un altro programma: "
                                "riprovare il salvataggio tra qualche istante.";
constexpr char kCopyFailed[] = "Copia dell'archivio %1 non riuscita: %2";
constexpr char kReadFailed[] = "Lettura della copia di %1 non riuscita: %2";
constexpr char kDumpFailed[] = "Copia del database %1 dal server non riuscita: %2";
constexpr char kDumpNotStarted[] = "Impossibile avviare pg_dump (%1).";
constexpr char kCancelled[] = "Salvataggio annullato.";

constexpr char kSelectCompanies[] = "SELECT SOCIETA, RAG_SOC1 FROM %1 ORDER BY SOCIETA";
constexpr char kDatabaseSize[] = "SELECT pg_database_size(current_database()) AS DIMENSIONE";

constexpr char kArchivePrefix[] = "orlavo-salvataggio-";
constexpr char kPartSuffix[] = ".part";
constexpr char kReadmeName[] = "LEGGIMI.TXT";
constexpr qint64 kBlock = 512;
constexpr qint64 kChunk = 1 << 20;
// Room kept for LEGGIMI.TXT and the closing blocks.
constexpr qint64 kReadmeRoom = 16 * 1024;
// A name taken this many times over in one minute means something else is wrong.
constexpr int kMaxSuffix = 999;

std::atomic<int> linkCounter{0};

// One database to copy: an SQLite file, or the whole server database.
struct Source {
    QString name;  // inside the archive
    QString path;  // SQLite file; empty for the server
    QString label; // for LEGGIMI.TXT
    qint64 size = 0;
};

struct Company {
    QString code;
    QString name;
};

// The operator's view of a folder: exists, and may be written.
Outcome<void> checkFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return Failure{QString::fromUtf8(kNoFolder), {}};
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return Failure{QString::fromUtf8(kFolderMissing).arg(folder), {}};
    if (!info.isWritable())
        return Failure{QString::fromUtf8(kFolderDenied).arg(folder), {}};
    return {};
}

Outcome<QList<Company>> companies(DataAccess &db)
{
    auto rows = db.openRecordset(QString::fromLatin1(kSelectCompanies).arg(Services::Tables::SOCIETA), {}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    QList<Company> list;
    for (const auto &r : *rows)
        list.append({r.text(QStringLiteral("SOCIETA")).trimmed(), r.text(QStringLiteral("RAG_SOC1")).trimmed()});
    return list;
}

// A file name made of plain characters, for the server's dump.
QString plainName(const QString &text)
{
    QString name;
    for (const QChar c : text) {
        const bool plain =
            (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') || c == QLatin1Char('-');
        name.append(plain ? c : QLatin1Char('_'));
    }
    return name.isEmpty() ? QStringLiteral("orlavo") : name.left(80);
}

QString serverDatabase(const DataAccess &db)
{
    const auto &server = db.config().server;
    return server.database.isEmpty() ? server.user : server.database;
}

// What goes into the archive, with the sizes the copies will roughly take.
Outcome<QList<Source>> sourcesOf(DataAccess &db, QList<Company> *registered)
{
    auto list = companies(db);
    if (!list)
        return list.failure();
    if (registered)
        *registered = *list;
    QList<Source> sources;
    if (db.engine() == Engine::Postgres) {
        auto size = db.openRecordset(QString::fromLatin1(kDatabaseSize), {}, Services::Target::Services);
        if (!size)
            return size.failure();
        const qint64 bytes = size->isEmpty() ? 0 : size->first().value(QStringLiteral("DIMENSIONE")).toLongLong();
        const QString name = plainName(serverDatabase(db)) + QStringLiteral(".dump");
        sources.append({name, {}, QStringLiteral("database completo: servizi e tutte le società (pg_dump)"), bytes});
        return sources;
    }
    const QString folder = db.config().pathDb;
    const QString services = folder + db.config().servicesFile;
    sources.append(
        {QFileInfo(services).fileName(), services, QStringLiteral("archivio dei servizi"), QFileInfo(services).size()});
    for (const Company &company : *list) {
        if (!Services::isValidCompanyCode(company.code))
            continue;
        const QString path = folder + Services::companyFileName(company.code);
        const QFileInfo info(path);
        // A registered company whose file is gone has nothing to save.
        if (!info.isFile())
            continue;
        const bool taken =
            std::any_of(sources.cbegin(), sources.cend(), [&](const Source &s) { return s.name == info.fileName(); });
        if (taken)
            continue;
        QString label = QStringLiteral("società ") + company.code;
        if (!company.name.isEmpty())
            label += QStringLiteral(" - ") + company.name;
        sources.append({info.fileName(), path, label, info.size()});
    }
    return sources;
}

QString archiveFileName(const QDateTime &when, int suffix)
{
    QString name = QString::fromLatin1(kArchivePrefix) + when.toString(QStringLiteral("yyyy-MM-dd-HHmm"));
    if (suffix > 1)
        name += QLatin1Char('-') + QString::number(suffix);
    return name + QStringLiteral(".tar");
}

// The first suffix from `from` whose archive and partial file are both free.
int freeSuffix(const QDir &dir, const QDateTime &when, int from)
{
    for (int n = from; n <= kMaxSuffix; ++n) {
        const QString name = archiveFileName(when, n);
        if (!QFileInfo::exists(dir.filePath(name)) &&
            !QFileInfo::exists(dir.filePath(name + QLatin1String(kPartSuffix))))
            return n;
    }
    return 0;
}

qint64 tarRoom(qint64 size)
{
    return kBlock + (size + kBlock - 1) / kBlock * kBlock;
}

// A POSIX ustar header for a regular file.
QByteArray tarHeader(const QString &name, qint64 size, const QDateTime &mtime)
{
    QByteArray header(kBlock, '\0');
    const auto put = [&header](int offset, int width, const QByteArray &text) {
        std::memcpy(header.data() + offset, text.constData(), std::min<qsizetype>(width, text.size()));
    };
    // Octal digits filling the field but for its closing NUL.
    const auto octal = [&put](int offset, int width, qint64 value) {
        put(offset, width, QByteArray::number(value, 8).rightJustified(width - 1, '0'));
    };
    put(0, 100, name.toUtf8());
    octal(100, 8, 0644);
    octal(108, 8, 0);
    octal(116, 8, 0);
    if (size < (qint64(1) << 33)) {
        octal(124, 12, size);
    } else {
        // Past 8 GiB: the base-256 form GNU tar and bsdtar read.
        header[124] = char(0x80);
        for (int i = 0; i < 8; ++i)
            header[135 - i] = char((size >> (8 * i)) & 0xFF);
    }
    octal(136, 12, std::max<qint64>(0, mtime.toSecsSinceEpoch()));
    header[156] = '0';
    put(257, 6, QByteArrayLiteral("ustar"));
    put(263, 2, QByteArrayLiteral("00"));
    octal(329, 8, 0);
    octal(337, 8, 0);
    std::memset(header.data() + 148, ' ', 8);
    unsigned sum = 0;
    for (const char c : std::as_const(header))
        sum += static_cast<unsigned char>(c);
    put(148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header;
}

// A connection of its own to one SQLite file, removed when it goes.
class SqliteLink
{
public:
    SqliteLink(const QString &path, bool readOnly, int busyMs)
        : m_name(QStringLiteral("orlavo-salvataggio-%1").arg(++linkCounter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        const QString uri = readOnly
                                ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                                      QStringLiteral("?mode=ro")
                                : Services::Schema::sqliteUri(path);
        db.setDatabaseName(uri);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyMs) +
                             (readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
        if (!db.open())
            m_error = db.lastError();
    }
    ~SqliteLink()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    SqliteLink(const SqliteLink &) = delete;
    SqliteLink &operator=(const SqliteLink &) = delete;

    bool exec(const QString &sql, const QVariantList &values = {})
    {
        if (m_error.isValid())
            return false;
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.prepare(sql)) {
            m_error = q.lastError();
            return false;
        }
        for (const QVariant &value : values)
            q.addBindValue(value);
        if (!q.exec()) {
            m_error = q.lastError();
            return false;
        }
        return true;
    }
    const QSqlError &error() const { return m_error; }

private:
    QString m_name;
    QSqlError m_error;
};

// One backup from start to end. Until the archive has its final name the
// partial file and the temporary copies belong to the job, which removes
// them however it ends.
class BackupJob
{
public:
    BackupJob(DataAccess &db, const QString &folder, const QDateTime &when, const BackupProgress &progress)
        : m_db(db), m_folder(folder), m_dir(folder), m_when(when), m_progress(progress)
    {
    }
    ~BackupJob()
    {
        if (m_finished)
            return;
        if (m_part.isOpen())
            m_part.close();
        if (!m_part.fileName().isEmpty())
            QFile::remove(m_part.fileName());
    }
    BackupJob(const BackupJob &) = delete;
    BackupJob &operator=(const BackupJob &) = delete;

    Outcome<QString> run(const QList<Source> &sources, const QList<Company> &registered);

private:
    Outcome<void> openArchive();
    Outcome<QList<Source>> snapshotFiles(const QList<Source> &sources, const QString &tempFolder);
    Outcome<void> addFile(const Source &source);
    Outcome<void> addData(const QString &name, const QByteArray &data);
    Outcome<void> addDump(const Source &source);
    Outcome<QString> finish();
    QByteArray readme(const QList<Source> &sources, const QList<Company> &registered) const;

    bool write(const QByteArray &bytes) { return m_part.write(bytes) == bytes.size(); }
    bool pad(qint64 size)
    {
        const qint64 rest = size % kBlock;
        return rest == 0 || write(QByteArray(kBlock - rest, '\0'));
    }
    bool report(const char *step)
    {
        if (!m_progress)
            return true;
        const qint64 total = std::max(m_total, m_done);
        return m_progress(int(m_done / 1024), int(std::max<qint64>(1, total / 1024)), QString::fromUtf8(step));
    }
    Failure writeFailure() const
    {
        if (m_part.error() == QFileDevice::ResourceError)
            return Failure{QString::fromUtf8(kNoSpace), m_part.errorString()};
        return Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, m_part.errorString()), {}};
    }
    static Failure cancelled() { return Failure{QString::fromUtf8(kCancelled), {}}; }

    DataAccess &m_db;
    QString m_folder;
    QDir m_dir;
    QDateTime m_when;
    const BackupProgress &m_progress;
    QFile m_part;
    int m_suffix = 1;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_finished = false;
};

Outcome<void> BackupJob::openArchive()
{
    for (int n = freeSuffix(m_dir, m_when, 1); n > 0; n = freeSuffix(m_dir, m_when, n + 1)) {
        m_part.setFileName(m_dir.filePath(archiveFileName(m_when, n) + QLatin1String(kPartSuffix)));
        // NewOnly: a partial file of another backup started in the same minute stays its own.
        if (m_part.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            m_suffix = n;
            return {};
        }
        if (!QFileInfo::exists(m_part.fileName())) {
            const Failure failure =
                QFileInfo(m_folder).isWritable()
                    ? Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, m_part.errorString()), {}}
                    : Failure{QString::fromUtf8(kFolderDenied).arg(m_folder), {}};
            m_part.setFileName(QString());
            return failure;
        }
    }
    m_part.setFileName(QString());
    return Failure{
        QString::fromUtf8(kFolderWriteError).arg(m_folder, QStringLiteral("troppi salvataggi nello stesso minuto")),
        {}};
}

// The copies of every file at one instant: each file's write lock is held
// (BEGIN IMMEDIATE on a connection of its own, readers go on) until every
// copy is taken, so no transaction can commit to one file and not yet to
// another in between. VACUUM INTO gives each copy from a read-only
// connection; it cannot run inside a transaction, hence the extra ones.
Outcome<QList<Source>> BackupJob::snapshotFiles(const QList<Source> &sources, const QString &tempFolder)
{
    const int busyMs = m_db.config().lockWaitMs;
    std::list<SqliteLink> holds;
    for (const Source &source : sources) {
        // A file nobody can write needs no lock.
        if (!QFileInfo(source.path).isWritable())
            continue;
        SqliteLink &hold = holds.emplace_back(source.path, false, busyMs);
        if (!hold.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            const QString code = hold.error().nativeErrorCode();
            const int primary = code.toInt() & 0xFF;
            if (primary == 5 || primary == 6) // SQLITE_BUSY, SQLITE_LOCKED
                return Failure{QString::fromUtf8(kArchiveBusy).arg(source.name), hold.error().text()};
            return Failure{QString::fromUtf8(kCopyFailed).arg(source.name, hold.error().text()), {}};
        }
    }
    QList<Source> copies;
    for (const Source &source : sources) {
        Source copy = source;
        copy.path = QDir(tempFolder).filePath(source.name);
        // A damaged archive is not copied over the good backups: SQLite's
        // full check, also of archives too large for the check at opening.
        if (const QString damage = Services::Schema::sqliteDamage(source.path, true); !damage.isEmpty())
            return Failure{damage + QStringLiteral("\nIl salvataggio non è stato fatto."), {}};
        {
            SqliteLink reader(source.path, true, busyMs);
            if (!reader.exec(QStringLiteral("VACUUM INTO ?"), {copy.path})) {
                const int primary = reader.error().nativeErrorCode().toInt() & 0xFF;
                if (primary == 13) // SQLITE_FULL
                    return Failure{QString::fromUtf8(kNoSpace), reader.error().text()};
                return Failure{QString::fromUtf8(kCopyFailed).arg(source.name, reader.error().text()), {}};
            }
        }
        copy.size = QFileInfo(copy.path).size();
        copies.append(copy);
        m_done += source.size;
        if (!report(kBackupPreparing))
            return cancelled();
    }
    for (SqliteLink &hold : holds)
        hold.exec(QStringLiteral("ROLLBACK"));
    return copies;
}

Outcome<void> BackupJob::addFile(const Source &source)
{
    QFile in(source.path);
    if (!in.open(QIODevice::ReadOnly))
        return Failure{QString::fromUtf8(kReadFailed).arg(source.name, in.errorString()), {}};
    const qint64 size = in.size();
    if (!write(tarHeader(source.name, size, m_when)))
        return writeFailure();
    for (qint64 left = size; left > 0;) {
        const QByteArray chunk = in.read(std::min(kChunk, left));
        if (chunk.isEmpty())
            return Failure{QString::fromUtf8(kReadFailed).arg(source.name, in.errorString()), {}};
        if (!write(chunk))
            return writeFailure();
        left -= chunk.size();
        m_done += chunk.size();
        if (!report(kBackupCopying))
            return cancelled();
    }
    if (!pad(size))
        return writeFailure();
    return {};
}

Outcome<void> BackupJob::addData(const QString &name, const QByteArray &data)
{
    if (!write(tarHeader(name, data.size(), m_when)) || !write(data) || !pad(data.size()))
        return writeFailure();
    return {};
}

// pg_dump's output goes straight into the archive: its header is written
// again with the size once the dump has ended.
Outcome<void> BackupJob::addDump(const Source &source)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (program.isEmpty())
        return Failure{QString::fromUtf8(kNoPgDump), {}};
    const auto &server = m_db.config().server;
    QStringList arguments = {QStringLiteral("--format=custom"), QStringLiteral("--no-password")};
    if (!server.host.isEmpty())
        arguments << QStringLiteral("--host=") + server.host;
    arguments << QStringLiteral("--port=%1").arg(server.port);
    if (!server.user.isEmpty())
        arguments << QStringLiteral("--username=") + server.user;
    if (!server.database.isEmpty())
        arguments << QStringLiteral("--dbname=") + server.database;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!server.password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), server.password);
    if (!environment.contains(QStringLiteral("PGCONNECT_TIMEOUT")))
        environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));

    const qint64 headerAt = m_part.pos();
    if (!write(QByteArray(kBlock, '\0')))
        return writeFailure();

    QProcess dump;
    dump.setProcessEnvironment(environment);
    dump.setProgram(program);
    dump.setArguments(arguments);
    dump.start(QIODevice::ReadOnly);
    if (!dump.waitForStarted(30000))
        return Failure{QString::fromUtf8(kDumpNotStarted).arg(dump.errorString()), {}};
    const auto stop = [&dump] {
        dump.kill();
        dump.waitForFinished(10000);
    };
    qint64 size = 0;
    for (;;) {
        const bool running = dump.state() != QProcess::NotRunning;
        if (running)
            dump.waitForReadyRead(100);
        while (dump.bytesAvailable() > 0) {
            const QByteArray chunk = dump.read(kChunk);
            if (!write(chunk)) {
                stop();
                return writeFailure();
            }
            size += chunk.size();
            m_done += chunk.size();
        }
        if (!report(size > 0 ? kBackupCopying : kBackupPreparing)) {
            stop();
            return cancelled();
        }
        if (!running)
            break;
    }
    const QString errors = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0 || size == 0) {
        const QString cause = errors.isEmpty() ? QStringLiteral("pg_dump terminato con codice %1").arg(dump.exitCode())
                                               : errors.section(QLatin1Char('\n'), 0, 0);
        return Failure{QString::fromUtf8(kDumpFailed).arg(serverDatabase(m_db), cause), errors};
    }
    const qint64 end = m_part.pos();
    if (!m_part.seek(headerAt) || !write(tarHeader(source.name, size, m_when)) || !m_part.seek(end) || !pad(size))
        return writeFailure();
    return {};
}

Outcome<QString> BackupJob::finish()
{
    // Two zero blocks close the archive; then it reaches the disk before it
    // takes its name, so a listed archive is always a whole one.
    if (!write(QByteArray(2 * kBlock, '\0')) || !m_part.flush())
        return writeFailure();
    if (::fsync(m_part.handle()) != 0)
        return Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, QString::fromLocal8Bit(strerror(errno))), {}};
    m_part.close();
    // rename never replaces a file: a name taken meanwhile moves to the next.
    for (int n = m_suffix; n > 0; n = freeSuffix(m_dir, m_when, n + 1)) {
        const QString target = m_dir.filePath(archiveFileName(m_when, n));
        if (m_part.rename(target)) {
            m_finished = true;
            return target;
        }
        if (!QFileInfo::exists(target))
            return Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, m_part.errorString()), {}};
    }
    return Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, QStringLiteral("nome del salvataggio già usato")),
                   {}};
}

QByteArray BackupJob::readme(const QList<Source> &sources, const QList<Company> &registered) const
{
    QStringList lines;
    lines << QStringLiteral("Salvataggio degli archivi di Orlavo")
          << QStringLiteral("Eseguito il %1 alle ore %2")
                 .arg(m_when.toString(QStringLiteral("dd/MM/yyyy")), m_when.toString(QStringLiteral("HH:mm:ss")))
          << QStringLiteral("Computer: ") + QSysInfo::machineHostName();
    if (!m_db.state().user.isEmpty())
        lines << QStringLiteral("Utente: ") + m_db.state().user;
    if (m_db.engine() == Engine::Postgres) {
        const auto &server = m_db.config().server;
        lines << QStringLiteral("Server PostgreSQL %1, porta %2, database %3, utente %4")
                     .arg(server.host.isEmpty() ? QStringLiteral("locale") : server.host)
                     .arg(server.port)
                     .arg(serverDatabase(m_db), server.user);
    } else {
        lines << QStringLiteral("Archivi SQLite della cartella ") + QDir::toNativeSeparators(m_db.config().pathDb);
    }
    lines << QString() << QStringLiteral("Contenuto:");
    for (const Source &source : sources)
        lines << QStringLiteral("  %1  %2").arg(source.name.leftJustified(16), source.label);
    if (m_db.engine() == Engine::Postgres && !registered.isEmpty()) {
        lines << QString() << QStringLiteral("Società nel database:");
        for (const Company &company : registered)
            lines << QStringLiteral("  %1  %2")
                         .arg(Services::companySchemaName(company.code).leftJustified(16), company.name);
    }
    lines << QString() << QStringLiteral("Ripristino (a mano, con il programma chiuso su tutte le postazioni):");
    if (m_db.engine() == Engine::Postgres)
        lines << QStringLiteral("  tar -xf <salvataggio>.tar, poi su un database vuoto")
              << QStringLiteral("  pg_restore --dbname=<database> %1").arg(sources.value(0).name);
    else
        lines << QStringLiteral("  tar -xf <salvataggio>.tar, poi copiare i file .MDB")
              << QStringLiteral("  nella cartella degli archivi (PATHDB di CONT.INI).");
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

Outcome<QString> BackupJob::run(const QList<Source> &sources, const QList<Company> &registered)
{
    for (const Source &source : sources)
        m_total += source.size;
    // SQLite files are read twice: the copy, then into the archive.
    if (m_db.engine() == Engine::Sqlite)
        m_total *= 2;
    if (!report(kBackupPreparing))
        return cancelled();
    if (auto opened = openArchive(); !opened)
        return opened.failure();

    QList<Source> contents = sources;
    if (m_db.engine() == Engine::Postgres) {
        if (auto dumped = addDump(sources.first()); !dumped)
            return dumped.failure();
    } else {
        // The copies wait in a hidden folder next to the archive, so the one
        // room check covers them; the folder goes with the job.
        QTemporaryDir temp(m_dir.filePath(QStringLiteral(".orlavo-salvataggio-XXXXXX")));
        if (!temp.isValid())
            return Failure{QString::fromUtf8(kFolderWriteError).arg(m_folder, temp.errorString()), {}};
        auto copies = snapshotFiles(sources, temp.path());
        if (!copies)
            return copies.failure();
        m_total = m_done;
        for (const Source &copy : std::as_const(*copies))
            m_total += copy.size;
        for (const Source &copy : std::as_const(*copies)) {
            if (auto added = addFile(copy); !added)
                return added.failure();
            QFile::remove(copy.path);
        }
        contents = *copies;
    }
    if (auto added = addData(QString::fromLatin1(kReadmeName), readme(contents, registered)); !added)
        return added.failure();
    // Everything is in: the estimate gives way to what was written.
    m_total = m_done;
    if (!report(kBackupCopying))
        return cancelled();
    return finish();
}

} // namespace

bool backupAvailable(const DataAccess &db, QString *why)
{
    QString reason;
    if (!db.isOpen()) {
        reason = QString::fromUtf8(kNotOpen);
    } else if (db.engine() == Engine::Postgres) {
        if (QStandardPaths::findExecutable(QStringLiteral("pg_dump")).isEmpty())
            reason = QString::fromUtf8(kNoPgDump);
    } else {
        QSqlQuery q(db.connection());
        const QString version =
            q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next() ? q.value(0).toString() : QString();
        if (QVersionNumber::fromString(version) < QVersionNumber(3, 27))
            reason = QString::fromUtf8(kOldSqlite).arg(version);
    }
    if (why)
        *why = reason;
    return reason.isEmpty();
}

Outcome<BackupPlan> planBackup(DataAccess &db, const QString &folder, const QDateTime &when)
{
    if (QString why; !backupAvailable(db, &why))
        return Failure{why, {}};
    if (db.inTransaction())
        return Failure{QString::fromUtf8(kInTransaction), {}};
    if (auto checked = checkFolder(folder); !checked)
        return checked.failure();
    auto sources = sourcesOf(db, nullptr);
    if (!sources)
        return sources.failure();

    BackupPlan plan;
    qint64 largest = 0;
    for (const Source &source : std::as_const(*sources)) {
        plan.items.append(source.name);
        plan.bytesNeeded += tarRoom(source.size);
        largest = std::max(largest, source.size);
    }
    plan.items.append(QString::fromLatin1(kReadmeName));
    plan.bytesNeeded += kReadmeRoom;
    // The SQLite copies wait beside the archive: while one goes in, it is
    // on the disk twice.
    if (db.engine() == Engine::Sqlite)
        plan.bytesNeeded += largest;
    plan.bytesAvailable = QStorageInfo(folder).bytesAvailable();
    const QDateTime stamp = when.isValid() ? when : QDateTime::currentDateTime();
    if (const int n = freeSuffix(QDir(folder), stamp, 1); n > 0)
        plan.archiveName = archiveFileName(stamp, n);
    return plan;
}

QString backupMegabytes(qint64 bytes)
{
    // Tenths of a megabyte, rounded up: the message never asks for less.
    const qint64 tenths = (std::max<qint64>(0, bytes) * 10 + (1 << 20) - 1) >> 20;
    return Services::formatGrouped(double(tenths) / 10.0, 1);
}

QString backupSpaceProblem(const BackupPlan &plan, const QString &folder)
{
    if (plan.bytesAvailable < 0 || plan.bytesAvailable >= plan.bytesNeeded)
        return {};
    // What is free, rounded down: never more than is there.
    const double freeTenths = std::floor(double(plan.bytesAvailable) * 10.0 / double(1 << 20));
    return QString::fromUtf8(kSpaceDetail)
        .arg(QString::fromUtf8(kNoSpace), backupMegabytes(plan.bytesNeeded), folder,
             Services::formatGrouped(freeTenths / 10.0, 1));
}

Outcome<QString> writeBackup(DataAccess &db, const QString &targetFolder, const BackupProgress &progress,
                             const QDateTime &when)
{
    const QDateTime stamp = when.isValid() ? when : QDateTime::currentDateTime();
    auto plan = planBackup(db, targetFolder, stamp);
    if (!plan)
        return plan.failure();
    if (const QString shortage = backupSpaceProblem(*plan, targetFolder); !shortage.isEmpty())
        return Failure{shortage, {}};
    QList<Company> registered;
    auto sources = sourcesOf(db, &registered);
    if (!sources)
        return sources.failure();
    BackupJob job(db, targetFolder, stamp, progress);
    return job.run(*sources, registered);
}

} // namespace Orlavo::Shell
