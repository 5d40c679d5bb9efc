#include "contexttest.h"
#include "files.h"
#include "fixtures.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "shellfixtures.h"
#include "shell/stores/backup.h"
#include "shell/windows/salvataggi.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Services::Prompter;
using Orlavo::Testing::PgServer;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Salvataggio");
const QString kPreparing = QStringLiteral("Attendere, preparazione dati per salvataggio in corso");
const QString kCopying = QStringLiteral("Attendere, copia in corso");
const QString kNoPgDump = QStringLiteral("Programma pg_dump non installato: salvataggio non disponibile");
// 6 December 2026, 20:15:07: every archive of a test is named after this minute.
const QDateTime kWhen(QDate(2026, 12, 6), QTime(20, 15, 7));
const QString kFirstName = QStringLiteral("orlavo-salvataggio-2026-12-06-2015.tar");

using Orlavo::Testing::firstColumn;
using Orlavo::Testing::folderEntries;

// A program's exit code, or -1, and what it wrote on its error output.
std::pair<int, QString> runProgram(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return {-1, p.errorString()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

struct Step {
    int done;
    int total;
    QString step;
};

class BackupTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void prepare() override
    {
        ASSERT_TRUE(target.isValid());
        // A second company with a database of its own, and a third registered
        // without one.
        auto made = engine() == Engine::Sqlite
                        ? Services::Schema::createSqlite(archives->folder() + QStringLiteral("CONTAB02.MDB"),
                                                         Services::SchemaKind::Company)
                        : Services::Schema::createPostgres(context->db.connection(), QStringLiteral("contab02"),
                                                           Services::SchemaKind::Company);
        ASSERT_TRUE(made) << made.failure().message.toStdString() << made.failure().detail.toStdString();
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta 01'), ('02', 'Ditta 02'), "
                           "('03', 'Ditta 03')")
                .arg(Tables::SOCIETA));
        run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('N1', 'Nord uno')"));
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("02")));
        run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('S2', 'Sud della seconda'), "
                           "('E2', 'Est della seconda')"));
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
        EXPECT_EQ(runProgram(QStringLiteral("tar"), {QStringLiteral("-xf"), archive, QStringLiteral("-C"), into}),
                  std::pair(0, QString()));
        return into;
    }

    QTemporaryDir target;
    QTemporaryDir unpacked;
};

TEST_P(BackupTest, TheArchiveHoldsEveryDatabaseWithItsRows)
{
    auto plan = planBackup(context->db, folder(), kWhen);
    ASSERT_TRUE(plan) << plan.failure().message.toStdString();

    QList<Step> steps;
    auto written = backup([&steps](int done, int total, const QString &step) {
        steps.append({done, total, step});
        return true;
    });
    ASSERT_TRUE(written) << written.failure().message.toStdString();
    EXPECT_EQ(*written, QDir(folder()).filePath(kFirstName));
    // Nothing but the archive: no partial file, no temporary copies.
    EXPECT_EQ(folderEntries(folder()), QStringList{kFirstName});
    EXPECT_LE(QFileInfo(*written).size(), plan->bytesNeeded);

    // Preparation first, then the copy, ending whole.
    ASSERT_GE(steps.size(), 2);
    EXPECT_EQ(steps.first().step + steps.last().step, kPreparing + kCopying);
    EXPECT_EQ(steps.last().done, steps.last().total);

    const QString out = unpack(*written);
    QStringList expected = plan->items;
    expected.sort();
    EXPECT_EQ(folderEntries(out), expected);

    // The copies opened as archives of the program: the SQLite files, or the
    // dump restored into an empty database of the server.
    Services::ConnectionConfig copy = archives->config();
    const PgServer pg = PgServer::fromEnvironment();
    const QString restored = QStringLiteral("orlavo_r%1").arg(QCoreApplication::applicationPid());
    const auto dropRestored = qScopeGuard([&] {
        if (engine() == Engine::Postgres)
            Testing::adminExec(pg, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(restored));
    });
    if (engine() == Engine::Postgres) {
        const QString dump = copy.server.database + QStringLiteral(".dump");
        EXPECT_EQ(plan->items, (QStringList{dump, QStringLiteral("LEGGIMI.TXT")}));
        ASSERT_EQ(Testing::adminExec(pg, QStringLiteral("CREATE DATABASE ") + restored), QString());
        const auto run = runProgram(QStringLiteral("pg_restore"),
                                    {QStringLiteral("--host=") + pg.host, QStringLiteral("--port=%1").arg(pg.port),
                                     QStringLiteral("--username=") + pg.user, QStringLiteral("--dbname=") + restored,
                                     QStringLiteral("--no-owner"), out + QLatin1Char('/') + dump});
        EXPECT_EQ(run.first, 0) << run.second.toStdString();
        copy.server.database = restored;
    } else {
        EXPECT_EQ(plan->items, (QStringList{QStringLiteral("SERVIZI.MDB"), QStringLiteral("CONTAB01.MDB"),
                                            QStringLiteral("CONTAB02.MDB"), QStringLiteral("LEGGIMI.TXT")}));
        copy.pathDb = out + QLatin1Char('/');
        EXPECT_EQ(firstColumn(copy, QStringLiteral("02"), QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
    }
    EXPECT_EQ(firstColumn(copy, {}, QStringLiteral("SELECT SOCIETA FROM %1 ORDER BY 1").arg(Tables::SOCIETA)),
              (QStringList{"01", "02", "03"}));
    EXPECT_EQ(firstColumn(copy, QStringLiteral("01"), QStringLiteral("SELECT CODICE FROM TAB_ZONA")),
              QStringList{"N1"});
    EXPECT_EQ(
        firstColumn(copy, QStringLiteral("02"), QStringLiteral("SELECT DESCRIZIONE FROM TAB_ZONA ORDER BY CODICE")),
        (QStringList{"Est della seconda", "Sud della seconda"}));
}

TEST_P(BackupTest, ABackupInTheSameMinuteNeverOverwritesAnother)
{
    auto first = backup();
    ASSERT_TRUE(first) << first.failure().message.toStdString();
    const QByteArray firstBytes = Testing::readBytes(*first);
    ASSERT_FALSE(firstBytes.isEmpty());
    // A row written in between shows the second archive is a fresh one.
    run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('N9', 'x')"));
    auto second = backup();
    ASSERT_TRUE(second) << second.failure().message.toStdString();
    EXPECT_EQ(Testing::readBytes(*first), firstBytes);
    EXPECT_NE(Testing::readBytes(*second), firstBytes);
    // A partial file of a backup still running keeps its name too.
    const QString running = QDir(folder()).filePath(QStringLiteral("orlavo-salvataggio-2026-12-06-2015-3.tar.part"));
    ASSERT_TRUE(Testing::writeBytes(running, "in corso"));
    ASSERT_TRUE(backup());
    EXPECT_EQ(Testing::readBytes(running), QByteArray("in corso"));
    // Listed by name: "-" sorts before ".".
    EXPECT_EQ(folderEntries(folder()),
              (QStringList{QStringLiteral("orlavo-salvataggio-2026-12-06-2015-2.tar"),
                           QStringLiteral("orlavo-salvataggio-2026-12-06-2015-3.tar.part"),
                           QStringLiteral("orlavo-salvataggio-2026-12-06-2015-4.tar"), kFirstName}));
}

TEST_P(BackupTest, RefusalsLeaveNoFile)
{
    const QString missing = folder() + QStringLiteral("/manca");
    const QString locked = folder() + QStringLiteral("/bloccata");
    ASSERT_TRUE(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    QList<std::pair<QString, QString>> cases = {{missing, QStringLiteral("La cartella %1 non esiste.").arg(missing)}};
    // Permissions do not stop the superuser: then there is nothing to see.
    if (!QFileInfo(locked).isWritable())
        cases.append({locked, QStringLiteral("Impossibile scrivere nella cartella %1: permesso negato").arg(locked)});
    for (const auto &[where, message] : cases) {
        auto result = writeBackup(context->db, where, {}, kWhen);
        EXPECT_EQ(result ? QString() : result.failure().message, message);
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Nor inside a write still open.
    ASSERT_TRUE(context->db.beginTransBoth());
    auto result = backup();
    context->db.rollbackTransBoth();
    EXPECT_EQ(result ? QString() : result.failure().message,
              QStringLiteral("Salvataggio non possibile durante una registrazione in corso: riprovare al termine."));
    EXPECT_EQ(folderEntries(folder()), QStringList{QStringLiteral("bloccata")});
    EXPECT_EQ(folderEntries(locked), QStringList());
}

TEST_P(BackupTest, CancellingLeavesNothingBehindAndTheArchivesFree)
{
    const std::pair<const char *, std::function<bool(const Step &)>> points[] = {
        {"at the start", [](const Step &) { return true; }},
        // Between two copies, while the SQLite files are held for the snapshot.
        {"between copies", [](const Step &s) { return s.step == kPreparing && s.done > 0; }},
        {"at the end", [](const Step &s) { return s.step == kCopying && s.done == s.total; }},
    };
    for (const auto &[name, stop] : points) {
        if (engine() == Engine::Postgres && std::string(name) == "between copies")
            continue;
        SCOPED_TRACE(name);
        bool asked = false;
        auto result = backup([&](int done, int total, const QString &step) {
            asked = asked || stop(Step{done, total, step});
            return !asked;
        });
        EXPECT_TRUE(asked);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().message, QStringLiteral("Salvataggio annullato."));
        EXPECT_EQ(folderEntries(folder()), QStringList());
        // No lock outlives the backup: both databases take a write at once.
        EXPECT_EQ(context->db.executeSqlServices(
                      QStringLiteral("UPDATE %1 SET RAG_SOC2 = 'x' WHERE SOCIETA = '01'").arg(Tables::SOCIETA)),
                  0);
        EXPECT_EQ(context->db.executeSql(QStringLiteral("UPDATE TAB_ZONA SET DESCRIZIONE = 'x'")), 0);
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
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(archives->folder() + QStringLiteral("CONTAB02.MDB"));
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        ASSERT_TRUE(other.open());
        const auto write = [&other] {
            const bool begun = QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
            QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
            return begun;
        };
        std::optional<bool> duringCopies;
        ASSERT_TRUE(backup([&](int done, int, const QString &step) {
            if (step == kPreparing && done > 0 && !duringCopies)
                duringCopies = write();
            return true;
        }));
        EXPECT_EQ(duringCopies, std::optional<bool>(false));
        EXPECT_TRUE(write());
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_P(BackupTest, WithoutPgDumpOnlyTheServerLosesTheBackup)
{
    QString why = QStringLiteral("invariato");
    EXPECT_TRUE(backupAvailable(context->db, &why) && why.isEmpty());
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    const bool available = backupAvailable(context->db, &why);
    auto result = backup();
    const bool ran = runBackup(*context, nullptr, [this](QWidget *) { return folder(); });
    qputenv("PATH", path);

    const bool sqlite = engine() == Engine::Sqlite;
    EXPECT_EQ(std::tuple(available, bool(result), ran), std::tuple(sqlite, sqlite, sqlite));
    if (sqlite)
        return;
    EXPECT_EQ(why + result.failure().message, kNoPgDump + kNoPgDump);
    // Said before any folder is asked for.
    Orlavo::Testing::expectRefused(prompter, kNoPgDump, Prompter::Icon::Critical, Prompter::Buttons::Ok, kTitle);
    EXPECT_EQ(folderEntries(folder()), QStringList());
}

TEST(BackupSpace, MegabytesAreRoundedUpAndAShortageIsNamed)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "0,0"}, {1, "0,1"}, {1048576, "1,0"}, {12897485, "12,4"}, {1234LL * 1048576, "1.234,0"}};
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(backupMegabytes(bytes), QString::fromLatin1(text)) << bytes;

    BackupPlan plan;
    plan.bytesNeeded = 12897484;
    plan.bytesAvailable = 4771020; // 4,55 MB: shown as 4,5, never more than is free
    EXPECT_EQ(backupSpaceProblem(plan, QStringLiteral("/media/chiavetta")),
              QStringLiteral("Spazio insufficiente nella cartella di destinazione: sono necessari 12,3 MB liberi "
                             "nella cartella /media/chiavetta, disponibili 4,5 MB."));
    // Enough room, or a file system that does not tell it: no refusal.
    for (const qint64 free : {plan.bytesNeeded, qint64(-1)}) {
        plan.bytesAvailable = free;
        EXPECT_EQ(backupSpaceProblem(plan, QStringLiteral("/media/chiavetta")), QString());
    }
}

// The operator's flow, with the folder chosen by the test.
TEST_P(BackupTest, TheQuestionNamesTheRoomThenTheArchiveIsWrittenOrAnnullaStopsIt)
{
    auto plan = planBackup(context->db, folder());
    ASSERT_TRUE(plan);
    QWidget window;
    const auto chosen = [](const QString &path) { return [path](QWidget *) { return path; }; };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&window] {
        if (auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("salvataggio")))
            dialog->cancel();
    });
    watch.start(0);

    // Annulla in the progress window: no file.
    EXPECT_FALSE(runBackup(*context, &window, chosen(folder())));
    watch.stop();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(1).text, QStringLiteral("Salvataggio annullato: nessun file è stato scritto."));
    EXPECT_EQ(folderEntries(folder()), QStringList());

    prompter.clear();
    ASSERT_TRUE(runBackup(*context, &window, chosen(folder())));
    const QStringList written = folderEntries(folder());
    ASSERT_EQ(written.size(), 1);
    ASSERT_EQ(prompter.texts().size(), 2);
    // A server archive may grow a little between two plans (its statistics): there the figure is matched by shape.
    QString question = prompter.texts().at(0);
    if (engine() == Engine::Postgres)
        question.replace(QRegularExpression(QStringLiteral("^Sono necessari \\d+,\\d MB")),
                         QStringLiteral("Sono necessari # MB"));
    const QString room = engine() == Engine::Sqlite ? backupMegabytes(plan->bytesNeeded) : QStringLiteral("#");
    EXPECT_EQ(question, QStringLiteral("Sono necessari %1 MB liberi nella cartella %2;\nassicurarsi di averli a "
                                       "disposizione quindi procedere con il salvataggio")
                            .arg(room, folder()));
    EXPECT_EQ(prompter.texts().at(1),
              QStringLiteral("Salvataggio completato: ") + QDir(folder()).filePath(written.first()));

    // Cancel at the question: nothing more written.
    prompter.clear();
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(runBackup(*context, nullptr, chosen(folder())));
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(folderEntries(folder()), written);
}

ORLAVO_FOR_EACH_ENGINE(BackupTest);
INSTANTIATE_TEST_SUITE_P(Engines, SqliteBackupTest, ::testing::Values(Engine::Sqlite), Orlavo::Testing::engineName);

} // namespace
