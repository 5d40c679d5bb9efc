#include "archives.h"
#include "contexttest.h"
#include "files.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "shell/stores/backup.h"
#include "shell/windows/salvataggi.h"
#include "ui/appcontext.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Services::Prompter;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Salvataggio");
const QString kPreparing = QStringLiteral("Attendere, preparazione dati per salvataggio in corso");
const QString kCopying = QStringLiteral("Attendere, copia in corso");
const QString kCancelled = QStringLiteral("Salvataggio annullato.");
const QString kNoPgDump = QStringLiteral("Programma pg_dump non installato: salvataggio non disponibile");
const QString kQuestionEnd = QStringLiteral("assicurarsi di averli a disposizione quindi procedere con il salvataggio");
// 6 December 2026, 20:15:07: every archive of a test is named after this minute.
const QDateTime kWhen(QDate(2026, 12, 6), QTime(20, 15, 7));
const QString kFirstName = QStringLiteral("orlavo-salvataggio-2026-12-06-2015.tar");

// Every entry of a folder, hidden ones too.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString errors;
};

ProgramRun runProgram(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    ProgramRun run;
    if (!p.waitForFinished(60000)) {
        run.errors = p.errorString();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

// A database read through a connection of its own, dropped afterwards.
class Reader
{
public:
    explicit Reader(const QString &sqliteFile) : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(sqliteFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        m_open = db.open();
    }
    Reader(const PgServer &server, const QString &database) : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setDatabaseName(database);
        m_open = db.open();
    }
    ~Reader()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool open() const { return m_open; }
    // The first column of each row; an unreadable statement fails the test.
    QVariantList column(const QString &sql) const
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QVariantList values;
        if (!q.exec(sql)) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return values;
        }
        while (q.next())
            values.append(q.value(0));
        return values;
    }
    QVariant scalar(const QString &sql) const { return column(sql).value(0); }

private:
    QString m_name;
    bool m_open = false;
};

QStringList texts(const QVariantList &values)
{
    QStringList list;
    for (const QVariant &v : values)
        list.append(v.toString());
    return list;
}

struct Step {
    int done;
    int total;
    QString step;
};

class BackupTest : public Orlavo::Testing::ContextTest<ScriptedPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(target.isValid());
        // A second company with a database of its own, and a third registered
        // without one.
        auto made = engine() == Engine::Sqlite
                        ? Services::Schema::createSqlite(archives->folder() + QStringLiteral("CONTAB02.MDB"),
                                                         Services::SchemaKind::Company)
                        : Services::Schema::createPostgres(context->db.connection(), QStringLiteral("contab02"),
                                                           Services::SchemaKind::Company);
        ASSERT_TRUE(made) << made.failure().message.toStdString() << made.failure().detail.toStdString();
        const QString registerCompany = QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES (?, ?)");
        for (const auto &[code, name] :
             {std::pair{"01", "Ditta Prova"}, std::pair{"02", "Seconda Srl"}, std::pair{"03", "Senza Archivio"}})
            ASSERT_EQ(context->db.executeSqlServices(registerCompany.arg(Tables::SOCIETA),
                                                     {QString::fromLatin1(code), QString::fromLatin1(name)}),
                      0);
        const QString zone = QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES (?, ?)");
        ASSERT_EQ(context->db.executeSql(zone, {QStringLiteral("N1"), QStringLiteral("Nord uno")}), 0);
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("02")));
        ASSERT_EQ(context->db.executeSql(zone, {QStringLiteral("S2"), QStringLiteral("Sud della seconda")}), 0);
        ASSERT_EQ(context->db.executeSql(zone, {QStringLiteral("E2"), QStringLiteral("Est della seconda")}), 0);
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
    }

    Engine engine() const { return GetParam(); }
    QString folder() const { return target.path(); }

    Services::Outcome<QString> backup(const BackupProgress &progress = {})
    {
        return writeBackup(context->db, folder(), progress, kWhen);
    }

    // The archive unpacked by the system's tar into a folder of the test:
    // tar must read it without a complaint.
    QString unpack(const QString &archive)
    {
        const QString into = unpacked.path() + QStringLiteral("/") + QFileInfo(archive).completeBaseName();
        EXPECT_TRUE(QDir().mkpath(into));
        const ProgramRun run =
            runProgram(QStringLiteral("tar"), {QStringLiteral("-xf"), archive, QStringLiteral("-C"), into});
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_EQ(run.errors, QString());
        return into;
    }

    QTemporaryDir target;
    QTemporaryDir unpacked;
};

// The database restored from a dump, dropped with the object.
class RestoredDatabase
{
public:
    RestoredDatabase()
        : m_server(PgServer::fromEnvironment()),
          m_name(QStringLiteral("orlavo_r%1_%2").arg(QCoreApplication::applicationPid()).arg(++s_counter))
    {
        m_problem = Testing::adminExec(m_server, QStringLiteral("CREATE DATABASE %1").arg(m_name));
    }
    ~RestoredDatabase()
    {
        Testing::adminExec(m_server, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    }
    ProgramRun restore(const QString &dump) const
    {
        return runProgram(QStringLiteral("pg_restore"),
                          {QStringLiteral("--host=") + m_server.host, QStringLiteral("--port=%1").arg(m_server.port),
                           QStringLiteral("--username=") + m_server.user, QStringLiteral("--dbname=") + m_name,
                           QStringLiteral("--no-owner"), dump});
    }
    const QString &problem() const { return m_problem; }
    const PgServer &server() const { return m_server; }
    const QString &name() const { return m_name; }

private:
    static inline int s_counter = 0;
    PgServer m_server;
    QString m_name;
    QString m_problem;
};

TEST_P(BackupTest, TheArchiveHoldsEveryDatabaseWithItsRows)
{
    auto plan = planBackup(context->db, folder(), kWhen);
    ASSERT_TRUE(plan) << plan.failure().message.toStdString();
    EXPECT_EQ(plan->archiveName, kFirstName);

    QList<Step> steps;
    auto written = backup([&steps](int done, int total, const QString &step) {
        steps.append({done, total, step});
        return true;
    });
    ASSERT_TRUE(written) << written.failure().message.toStdString();
    EXPECT_EQ(*written, QDir(folder()).filePath(kFirstName));
    // Nothing but the archive: no partial file, no temporary copies.
    EXPECT_EQ(entries(folder()), QStringList{kFirstName});
    EXPECT_LE(QFileInfo(*written).size(), plan->bytesNeeded);

    // The work is reported preparation first, then the copy, never going back.
    ASSERT_GE(steps.size(), 2);
    EXPECT_EQ(steps.first().step, kPreparing);
    EXPECT_EQ(steps.last().step, kCopying);
    EXPECT_EQ(steps.last().done, steps.last().total);
    for (qsizetype i = 1; i < steps.size(); ++i) {
        EXPECT_GE(steps[i].done, steps[i - 1].done) << i;
        EXPECT_LE(steps[i].done, steps[i].total) << i;
        EXPECT_FALSE(steps[i - 1].step == kCopying && steps[i].step == kPreparing) << i;
    }

    // Regular files, mode 0644, as tar lists them.
    const ProgramRun listing = runProgram(QStringLiteral("tar"), {QStringLiteral("-tvf"), *written});
    ASSERT_EQ(listing.exitCode, 0) << listing.errors.toStdString();
    const QStringList lines = listing.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), plan->items.size());
    for (const QString &line : lines)
        EXPECT_TRUE(line.startsWith(QLatin1String("-rw-r--r--"))) << line.toStdString();

    const QString out = unpack(*written);
    QStringList expected = plan->items;
    expected.sort();
    EXPECT_EQ(entries(out), expected);
    const QString readme = QString::fromUtf8(Testing::readBytes(out + QStringLiteral("/LEGGIMI.TXT")));
    EXPECT_TRUE(readme.contains(QStringLiteral("06/12/2026 alle ore 20:15:07"))) << readme.toStdString();

    if (engine() == Engine::Sqlite) {
        EXPECT_EQ(plan->items, (QStringList{QStringLiteral("SERVIZI.MDB"), QStringLiteral("CONTAB01.MDB"),
                                            QStringLiteral("CONTAB02.MDB"), QStringLiteral("LEGGIMI.TXT")}));
        EXPECT_TRUE(readme.contains(QStringLiteral("cartella ") + archives->folder())) << readme.toStdString();
        EXPECT_TRUE(readme.contains(QStringLiteral("società 02 - Seconda Srl"))) << readme.toStdString();

        const Reader services(out + QStringLiteral("/SERVIZI.MDB"));
        ASSERT_TRUE(services.open());
        EXPECT_EQ(services.scalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PROV")).toInt(), 108);
        EXPECT_EQ(texts(services.column(QStringLiteral("SELECT SOCIETA FROM SOCIETA ORDER BY SOCIETA"))),
                  (QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}));
        const Reader first(out + QStringLiteral("/CONTAB01.MDB"));
        ASSERT_TRUE(first.open());
        EXPECT_EQ(texts(first.column(QStringLiteral("SELECT CODICE FROM TAB_ZONA"))),
                  QStringList{QStringLiteral("N1")});
        const Reader second(out + QStringLiteral("/CONTAB02.MDB"));
        ASSERT_TRUE(second.open());
        EXPECT_EQ(texts(second.column(QStringLiteral("SELECT DESCRIZIONE FROM TAB_ZONA ORDER BY CODICE"))),
                  (QStringList{QStringLiteral("Est della seconda"), QStringLiteral("Sud della seconda")}));
        // The copies are whole databases of the program, version included.
        EXPECT_EQ(second.scalar(QStringLiteral("SELECT VERSIONE FROM VERSIONE_SCHEMA")).toInt(),
                  Services::Schema::latestVersion(Services::SchemaKind::Company));
        EXPECT_EQ(second.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        return;
    }

    const QString dumpName = archives->config().server.database + QStringLiteral(".dump");
    EXPECT_EQ(plan->items, (QStringList{dumpName, QStringLiteral("LEGGIMI.TXT")}));
    EXPECT_TRUE(readme.contains(archives->config().server.database)) << readme.toStdString();
    EXPECT_TRUE(readme.contains(QStringLiteral("contab02"))) << readme.toStdString();
    const QString dump = out + QLatin1Char('/') + dumpName;
    ASSERT_GT(QFileInfo(dump).size(), 0);
    // The dump restores into an empty database with the same rows.
    RestoredDatabase restored;
    ASSERT_EQ(restored.problem(), QString());
    const ProgramRun run = restored.restore(dump);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const Reader copy(restored.server(), restored.name());
    ASSERT_TRUE(copy.open());
    EXPECT_EQ(copy.scalar(QStringLiteral("SELECT COUNT(*) FROM servizi.TAB_PROV")).toInt(), 108);
    EXPECT_EQ(texts(copy.column(QStringLiteral("SELECT SOCIETA FROM servizi.SOCIETA ORDER BY SOCIETA"))),
              (QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}));
    EXPECT_EQ(texts(copy.column(QStringLiteral("SELECT CODICE FROM contab01.TAB_ZONA"))),
              QStringList{QStringLiteral("N1")});
    EXPECT_EQ(texts(copy.column(QStringLiteral("SELECT DESCRIZIONE FROM contab02.TAB_ZONA ORDER BY CODICE"))),
              (QStringList{QStringLiteral("Est della seconda"), QStringLiteral("Sud della seconda")}));
}

TEST_P(BackupTest, ABackupInTheSameMinuteNeverOverwritesAnother)
{
    auto first = backup();
    ASSERT_TRUE(first) << first.failure().message.toStdString();
    const QByteArray firstBytes = Testing::readBytes(*first);
    ASSERT_FALSE(firstBytes.isEmpty());

    // A row written in between shows the second archive is a fresh one.
    ASSERT_EQ(context->db.executeSql(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES (?, ?)"),
                                     {QStringLiteral("N9"), QStringLiteral("Dopo il primo")}),
              0);
    auto second = backup();
    ASSERT_TRUE(second) << second.failure().message.toStdString();
    EXPECT_EQ(QFileInfo(*second).fileName(), QStringLiteral("orlavo-salvataggio-2026-12-06-2015-2.tar"));
    EXPECT_EQ(Testing::readBytes(*first), firstBytes);
    EXPECT_NE(Testing::readBytes(*second), firstBytes);

    // A partial file of a backup still running keeps its name too.
    const QString running = QDir(folder()).filePath(QStringLiteral("orlavo-salvataggio-2026-12-06-2015-3.tar.part"));
    ASSERT_TRUE(Testing::writeBytes(running, "in corso"));
    auto third = backup();
    ASSERT_TRUE(third) << third.failure().message.toStdString();
    EXPECT_EQ(QFileInfo(*third).fileName(), QStringLiteral("orlavo-salvataggio-2026-12-06-2015-4.tar"));
    EXPECT_EQ(Testing::readBytes(running), QByteArray("in corso"));
    // Listed by name: "-" sorts before ".".
    EXPECT_EQ(entries(folder()), (QStringList{QStringLiteral("orlavo-salvataggio-2026-12-06-2015-2.tar"),
                                              QStringLiteral("orlavo-salvataggio-2026-12-06-2015-3.tar.part"),
                                              QStringLiteral("orlavo-salvataggio-2026-12-06-2015-4.tar"), kFirstName}));

    if (engine() == Engine::Sqlite) {
        const QString out = unpack(*second);
        const Reader first01(out + QStringLiteral("/CONTAB01.MDB"));
        EXPECT_EQ(texts(first01.column(QStringLiteral("SELECT CODICE FROM TAB_ZONA ORDER BY CODICE"))),
                  (QStringList{QStringLiteral("N1"), QStringLiteral("N9")}));
    }
}

TEST_P(BackupTest, AFolderThatCannotBeWrittenGetsAMessageAndNoFile)
{
    const QString missing = folder() + QStringLiteral("/manca");
    auto result = writeBackup(context->db, missing, {}, kWhen);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().message, QStringLiteral("La cartella %1 non esiste.").arg(missing));
    EXPECT_FALSE(QFileInfo::exists(missing));

    // A path through a regular file cannot become a folder, whoever runs it.
    const QString file = folder() + QStringLiteral("/documento");
    ASSERT_TRUE(Testing::writeBytes(file, "testo"));
    result = writeBackup(context->db, file + QStringLiteral("/sotto"), {}, kWhen);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().message, QStringLiteral("La cartella %1/sotto non esiste.").arg(file));
    EXPECT_EQ(entries(folder()), QStringList{QStringLiteral("documento")});

    const QString locked = folder() + QStringLiteral("/bloccata");
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    // Permissions do not stop the superuser: then there is nothing to see.
    QFile probe(locked + QStringLiteral("/prova"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
    } else {
        result = writeBackup(context->db, locked, {}, kWhen);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().message,
                  QStringLiteral("Impossibile scrivere nella cartella %1: permesso negato").arg(locked));
        EXPECT_EQ(entries(locked), QStringList());
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_P(BackupTest, CancellingLeavesNothingBehindAndTheArchivesFree)
{
    struct Point {
        const char *name;
        std::function<bool(const Step &)> stop;
        bool sqliteOnly;
    };
    const QList<Point> points = {
        {"at the start", [](const Step &) { return true; }, false},
        // Between two copies, while the databases are held for the snapshot.
        {"between copies", [](const Step &s) { return s.step == kPreparing && s.done > 0; }, true},
        {"during the copy", [](const Step &s) { return s.step == kCopying; }, false},
        {"at the end", [](const Step &s) { return s.step == kCopying && s.done == s.total; }, false},
    };
    for (const Point &point : points) {
        if (point.sqliteOnly && engine() != Engine::Sqlite)
            continue;
        SCOPED_TRACE(point.name);
        bool asked = false;
        auto result = backup([&](int done, int total, const QString &step) {
            asked = asked || point.stop(Step{done, total, step});
            return !asked;
        });
        EXPECT_TRUE(asked);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().message, kCancelled);
        EXPECT_EQ(entries(folder()), QStringList());
        // No lock outlives the backup: both databases take a write at once.
        EXPECT_EQ(context->db.executeSqlServices(
                      QStringLiteral("UPDATE %1 SET RAG_SOC2 = ? WHERE SOCIETA = ?").arg(Tables::SOCIETA),
                      {QString::fromLatin1(point.name), QStringLiteral("01")}),
                  0);
        EXPECT_EQ(context->db.executeSql(QStringLiteral("UPDATE TAB_ZONA SET DESCRIZIONE = ?"),
                                         {QString::fromLatin1(point.name)}),
                  0);
    }
    EXPECT_EQ(dbExits, 0);
}

// pg_dump takes one snapshot of the whole database; the SQLite files are
// held still by the backup itself.
class SqliteBackupTest : public BackupTest
{
};

TEST_P(SqliteBackupTest, WritersWaitWhileTheCopiesAreTaken)
{
    // Another program on the same files, with no patience for locks.
    const QString name = QStringLiteral("altro-programma");
    std::optional<bool> duringCopies;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(archives->folder() + QStringLiteral("CONTAB02.MDB"));
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        ASSERT_TRUE(other.open());
        auto written = backup([&](int done, int, const QString &step) {
            if (step == kPreparing && done > 0 && !duringCopies) {
                QSqlQuery q(other);
                duringCopies = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
                if (*duringCopies)
                    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
            }
            return true;
        });
        ASSERT_TRUE(written) << written.failure().message.toStdString();
        ASSERT_TRUE(duringCopies.has_value());
        EXPECT_FALSE(*duringCopies);
        QSqlQuery after(other);
        EXPECT_TRUE(after.exec(QStringLiteral("BEGIN IMMEDIATE"))) << after.lastError().text().toStdString();
        QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_P(BackupTest, NoBackupInsideAnOpenTransaction)
{
    ASSERT_TRUE(context->db.beginTransBoth());
    auto result = backup();
    context->db.rollbackTransBoth();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().message,
              QStringLiteral("Salvataggio non possibile durante una registrazione in corso: riprovare al termine."));
    EXPECT_EQ(entries(folder()), QStringList());
}

TEST_P(BackupTest, WithoutPgDumpOnlyTheServerLosesTheBackup)
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QString why = QStringLiteral("invariato");
    EXPECT_TRUE(backupAvailable(context->db, &why));
    EXPECT_EQ(why, QString());

    qputenv("PATH", QFile::encodeName(empty.path()));
    const bool available = backupAvailable(context->db, &why);
    auto result = backup();
    int folderAsked = 0;
    const bool ran = runBackup(*context, nullptr, [&](QWidget *) {
        ++folderAsked;
        return folder();
    });
    qputenv("PATH", path);

    if (engine() == Engine::Sqlite) {
        EXPECT_TRUE(available);
        EXPECT_TRUE(result) << result.failure().message.toStdString();
        EXPECT_TRUE(ran);
        return;
    }
    EXPECT_FALSE(available);
    EXPECT_EQ(why, kNoPgDump);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().message, kNoPgDump);
    EXPECT_FALSE(ran);
    EXPECT_EQ(folderAsked, 0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, kNoPgDump);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_EQ(entries(folder()), QStringList());
}

TEST(BackupSpace, MegabytesAreRoundedUpAndAShortageIsNamed)
{
    const std::tuple<qint64, const char *> cases[] = {
        {0, "0,0"},
        {1, "0,1"},
        {1048576, "1,0"},
        {1048577, "1,1"},
        {12897484, "12,3"},
        {12897485, "12,4"},
        {1234LL * 1048576, "1.234,0"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(backupMegabytes(bytes), QString::fromLatin1(text)) << bytes;

    BackupPlan plan;
    plan.bytesNeeded = 12897484;
    plan.bytesAvailable = 4771020; // 4,55 MB: shown as 4,5, never more than is free
    EXPECT_EQ(backupSpaceProblem(plan, QStringLiteral("/media/chiavetta")),
              QStringLiteral("Spazio insufficiente nella cartella di destinazione: sono necessari 12,3 MB liberi "
                             "nella cartella /media/chiavetta, disponibili 4,5 MB."));
    plan.bytesAvailable = plan.bytesNeeded;
    EXPECT_EQ(backupSpaceProblem(plan, QStringLiteral("/media/chiavetta")), QString());
    // A file system that does not tell its free room is not refused.
    plan.bytesAvailable = -1;
    EXPECT_EQ(backupSpaceProblem(plan, QStringLiteral("/media/chiavetta")), QString());
}

// The operator's flow, with the folder chosen by the test.
class SalvataggiTest : public BackupTest
{
protected:
    std::function<QString(QWidget *)> chosen(const QString &path)
    {
        return [this, path](QWidget *parent) {
            parents.append(parent);
            return path;
        };
    }
    QList<QWidget *> parents;
};

TEST_P(SalvataggiTest, TheQuestionNamesTheRoomThenTheArchiveIsWritten)
{
    auto plan = planBackup(context->db, folder());
    ASSERT_TRUE(plan);
    QWidget window;
    QStringList labels;
    QString cancelText;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("salvataggio"));
        if (!dialog)
            return;
        if (labels.isEmpty() || labels.last() != dialog->labelText())
            labels.append(dialog->labelText());
        modality = dialog->windowModality();
        if (auto *button = dialog->findChild<QPushButton *>())
            cancelText = button->text();
    });
    watch.start(0);

    ASSERT_TRUE(runBackup(*context, &window, chosen(folder())));
    watch.stop();
    EXPECT_EQ(parents, QList<QWidget *>{&window});

    ASSERT_EQ(prompter.shown().size(), 2);
    const auto &question = prompter.shown().at(0);
    EXPECT_TRUE(question.text.startsWith(QStringLiteral("Sono necessari %1 MB liberi nella cartella %2")
                                             .arg(backupMegabytes(plan->bytesNeeded), folder())))
        << question.text.toStdString();
    EXPECT_TRUE(question.text.endsWith(kQuestionEnd)) << question.text.toStdString();
    EXPECT_EQ(question.title, kTitle);
    EXPECT_EQ(question.buttons, Prompter::Buttons::OkCancel);

    const QStringList written = entries(folder());
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(written.first().startsWith(QStringLiteral("orlavo-salvataggio-"))) << written.first().toStdString();
    const auto &done = prompter.shown().at(1);
    EXPECT_EQ(done.text, QStringLiteral("Salvataggio completato: ") + QDir(folder()).filePath(written.first()));
    EXPECT_EQ(done.title, kTitle);
    EXPECT_EQ(done.icon, Prompter::Icon::Information);

    EXPECT_EQ(labels, (QStringList{kPreparing, kCopying}));
    EXPECT_EQ(modality, Qt::WindowModal);
    EXPECT_EQ(cancelText, QStringLiteral("Annulla"));
}

TEST_P(SalvataggiTest, CancelAtTheQuestionOrNoFolderWritesNothing)
{
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(runBackup(*context, nullptr, chosen(folder())));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().at(0).text.startsWith(QStringLiteral("Sono necessari ")));
    EXPECT_EQ(entries(folder()), QStringList());

    // Closing the folder dialog ends without a message.
    prompter.clear();
    EXPECT_FALSE(runBackup(*context, nullptr, chosen(QString())));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(entries(folder()), QStringList());
}

TEST_P(SalvataggiTest, AFolderThatCannotBeUsedShowsTheReasonInsteadOfTheQuestion)
{
    const QString missing = folder() + QStringLiteral("/manca");
    EXPECT_FALSE(runBackup(*context, nullptr, chosen(missing)));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("La cartella %1 non esiste.").arg(missing));
    EXPECT_EQ(prompter.shown().at(0).title, kTitle);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_P(SalvataggiTest, AnnullaInTheProgressWindowLeavesNoFile)
{
    QWidget window;
    bool pressed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("salvataggio"));
        if (dialog && !pressed) {
            pressed = true;
            dialog->cancel();
        }
    });
    watch.start(0);
    EXPECT_FALSE(runBackup(*context, &window, chosen(folder())));
    watch.stop();
    EXPECT_TRUE(pressed);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(1).text, QStringLiteral("Salvataggio annullato: nessun file è stato scritto."));
    EXPECT_EQ(prompter.shown().at(1).title, kTitle);
    EXPECT_EQ(entries(folder()), QStringList());
}

ORLAVO_FOR_EACH_ENGINE(BackupTest);
INSTANTIATE_TEST_SUITE_P(Engines, SqliteBackupTest, ::testing::Values(Engine::Sqlite), Orlavo::Testing::engineName);
ORLAVO_FOR_EACH_ENGINE(SalvataggiTest);

} // namespace
