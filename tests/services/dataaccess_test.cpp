#include "archives.h"
#include "services/core/inifile.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "services/data/writeunit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <csignal>

using namespace Orlavo;
using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;
using Orlavo::Testing::TestArchives;

namespace {

const QString kInsertProvince =
    QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_PROV);
const QString kInsertCounter =
    QStringLiteral("INSERT INTO %1 (ANNO, NOME, NUMERATORE, MAX_NUMERA) VALUES (?, ?, ?, ?)").arg(Tables::NUMERA);

QProcess *startWorker(const TestArchives &archives, const QStringList &args, const QString &goFile = {})
{
    auto *process = new QProcess;
    QStringList env = QProcess::systemEnvironment() + archives.workerEnvironment();
    if (!goFile.isEmpty())
        env.append(QStringLiteral("ORLAVO_W_GO=") + goFile);
    process->setEnvironment(env);
    process->start(QStringLiteral(ORLAVO_DBWORKER), args);
    process->waitForStarted();
    return process;
}

QString finish(QProcess *process)
{
    process->waitForFinished(120000);
    const QString out = QString::fromUtf8(process->readAllStandardOutput());
    delete process;
    return out;
}

} // namespace

class DataAccessTest : public EngineTest
{
};

TEST_P(DataAccessTest, FailingUpdateLeavesBothDatabasesUnchanged)
{
    {
        WriteUnit unit(*db, QStringLiteral("Registra prova"));
        ASSERT_TRUE(unit.execServices(QStringLiteral("Ins. prov"), kInsertProvince,
                                      {QStringLiteral("ZZ"), QStringLiteral("PROVA")}));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins. numera"), kInsertCounter,
                                     {QStringLiteral("2026"), QStringLiteral("FVEND"), 0, 99999}));
        // NOT NULL violated at run time: a real engine error, not a syntax one.
        EXPECT_FALSE(unit.execCompany(QStringLiteral("Agg. numera"),
                                      QStringLiteral("UPDATE %1 SET ANNO = ? WHERE NOME = ?").arg(Tables::NUMERA),
                                      {sqlText(QString()), QStringLiteral("FVEND")}));
        EXPECT_FALSE(unit.commit());
    }
    EXPECT_EQ(db->error().code, kErrDatabase);
    EXPECT_FALSE(db->error().number.isEmpty());
    EXPECT_FALSE(db->error().description.isEmpty());
    ASSERT_EQ(prompter.shown().size(), 1);
    const QStringList lines = prompter.texts().first().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("Rilevato errore su Registra prova"));
    EXPECT_EQ(lines[1], QStringLiteral("Codice -100"));
    EXPECT_EQ(lines[2], QStringLiteral("Step Agg. numera"));
    EXPECT_EQ(lines[3], QStringLiteral("Riprovare l'operazione "));
    EXPECT_EQ(lines[5], QStringLiteral("Errore DB: ") + db->error().number);
    EXPECT_EQ(lines[6], QStringLiteral("Descrizione: ") + db->error().description);
    EXPECT_EQ(prompter.shown().first().title, QStringLiteral("Errore"));
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'ZZ'")), 0);
    EXPECT_EQ(archives->count(Tables::NUMERA), 0);
    EXPECT_EQ(exits, 0);
}

TEST_P(DataAccessTest, ReadOnlyUserWritesNothing)
{
    state.userType = 0;
    {
        WriteUnit unit(*db, QStringLiteral("Registra prova"));
        EXPECT_FALSE(unit.execServices(QStringLiteral("Ins. prov"), kInsertProvince,
                                       {QStringLiteral("ZZ"), QStringLiteral("PROVA")}));
    }
    EXPECT_EQ(db->error().code, kErrNoRights);
    ASSERT_GE(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.texts().first(),
              QStringLiteral("operazione non consentita : \nNon si possiedono i diritti per procedere con tale "
                             "operazione.\nPer ulteriri chiarimenti rivolgersi all'Amministratore."));
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Codice -1")));
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'ZZ'")), 0);

    prompter.clear();
    EXPECT_FALSE(db->checkWriteRights());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Operazione non consentita : \nNon si possiedono i diritti per eseguire tale "
                                         "operazione.\nPer ulteriri chiarimenti rivolgersi all'Amministratore.")});
}

TEST_P(DataAccessTest, BoundTextKeepsQuotesAndEmptyBecomesNull)
{
    const QString description = sqlQuoteFix(QStringLiteral("VITE 3\" \"INOX\""));
    EXPECT_EQ(description, QStringLiteral("VITE 3' 'INOX'"));
    WriteUnit unit(*db, QStringLiteral("Prova"));
    ASSERT_TRUE(unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z1"), description}));
    ASSERT_TRUE(unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z2"), sqlText(QString())}));
    ASSERT_TRUE(unit.commit());
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'Z1'")).toString(),
        description);
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'Z2' AND DESCRIZIONE IS NULL")), 1);
}

TEST_P(DataAccessTest, FailingQueryIsFatalAndLogged)
{
    auto rows = db->openRecordset(QStringLiteral("SELECT * FROM TABELLA_CHE_NON_ESISTE"));
    EXPECT_FALSE(rows);
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.texts()[0], QStringLiteral("Errore durante l'accesso ai dati;\nControllare che la rete funzioni "
                                                  "corretamente, \nche il Server Dati sia attivo. \nSe il problema "
                                                  "persiste consultare il fornitore del programma."));
    EXPECT_TRUE(prompter.texts()[1].startsWith(QStringLiteral("Errore durante l'accesso ai dati :\n")));
    EXPECT_TRUE(prompter.texts()[1].contains(QStringLiteral("tabella_che_non_esiste"), Qt::CaseInsensitive));
    EXPECT_EQ(prompter.shown()[0].icon, Prompter::Icon::Critical);
    const IniFile log(archives->folder() + QStringLiteral("CONT.LOG"));
    EXPECT_FALSE(log.read(QStringLiteral("ERRORI"), QStringLiteral("OGG")).isEmpty());
    EXPECT_EQ(log.read(QStringLiteral("ERRORI"), QStringLiteral("NUM")), db->error().number);
    EXPECT_TRUE(log.read(QStringLiteral("ERRORI"), QStringLiteral("DES"))
                    .contains(QStringLiteral("tabella_che_non_esiste"), Qt::CaseInsensitive));
}

TEST_P(DataAccessTest, RecordsetsReadByNameAndStayOpenTogether)
{
    auto first =
        db->openRecordset(QStringLiteral("SELECT CODICE, DESCRIZIONE FROM %1 WHERE CODICE IN (?, ?) ORDER BY CODICE")
                              .arg(Tables::TAB_PROV),
                          {QStringLiteral("MI"), QStringLiteral("RM")}, Target::Services);
    auto second = db->openRecordset(QStringLiteral("SELECT DIVISA, NDEC FROM %1 ORDER BY DIVISA").arg(Tables::DIVISE));
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    ASSERT_EQ(first->size(), 2);
    EXPECT_EQ(first->at(0).text(QStringLiteral("descrizione")), QStringLiteral("MILANO"));
    EXPECT_EQ(first->at(1).text(QStringLiteral("Descrizione")), QStringLiteral("ROMA"));
    ASSERT_EQ(second->size(), 2);
    EXPECT_EQ(second->at(0).integer(QStringLiteral("ndec")), 2);
    EXPECT_TRUE(second->at(0).value(QStringLiteral("NON_ESISTE")).isNull());
}

TEST_P(DataAccessTest, LockRefusedWhileAnotherUserHoldsIt)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(unit.execCompany(
            QStringLiteral("Ins."), QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES (?, ?)").arg(Tables::SEMAFORO),
            {QStringLiteral("TUTTO"), QStringLiteral("LUIGI")}));
        ASSERT_TRUE(unit.commit());
    }
    {
        ArchiveLock lock(*db, QStringLiteral("MAGAZZINO"));
        EXPECT_FALSE(lock);
    }
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("L'archivio è attualmente in uso esclusivo dall'utente LUIGI\n"
                                         "Riprovare l'operazione tra qualche istante")});
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Warning);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT UTENTE FROM SEMAFORO")).toString(), QStringLiteral("LUIGI"));
    EXPECT_FALSE(db->inTransaction());
}

TEST_P(DataAccessTest, LockGuardReleasesWhatItTook)
{
    {
        ArchiveLock lock(*db, QStringLiteral("CONTABILITA"));
        ASSERT_TRUE(lock);
        EXPECT_EQ(archives->scalar(QStringLiteral("SELECT UTENTE FROM SEMAFORO WHERE AREA = 'TUTTO'")).toString(),
                  QStringLiteral("MARIO"));
    }
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());

    // A stale lock of this user goes at start; another user's stays.
    WriteUnit unit(*db, QStringLiteral("Prova"));
    for (const char *user : {"mario", "LUIGI"})
        ASSERT_TRUE(unit.execCompany(
            QStringLiteral("Ins."), QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES (?, ?)").arg(Tables::SEMAFORO),
            {QString::fromLatin1(user) + QStringLiteral("-AREA"), QString::fromLatin1(user)}));
    ASSERT_TRUE(unit.commit());
    EXPECT_TRUE(db->unlockUser());
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT UTENTE FROM SEMAFORO")).toString(), QStringLiteral("LUIGI"));
}

TEST_P(DataAccessTest, TwoWorkstationsRacingForTheLockGetOneRow)
{
    const QString go = archives->folder() + QStringLiteral("via");
    QProcess *a = startWorker(*archives, {QStringLiteral("lock"), QStringLiteral("ANNA")}, go);
    QProcess *b = startWorker(*archives, {QStringLiteral("lock"), QStringLiteral("BRUNO")}, go);
    QThread::msleep(300);
    QFile(go).open(QIODevice::WriteOnly);
    const QString outA = finish(a);
    const QString outB = finish(b);
    const bool annaWon = outA.startsWith(QStringLiteral("LOCKED"));
    const QString &loser = annaWon ? outB : outA;
    EXPECT_NE(outA.startsWith(QStringLiteral("LOCKED")), outB.startsWith(QStringLiteral("LOCKED")))
        << outA.toStdString() << outB.toStdString();
    EXPECT_TRUE(loser.startsWith(QStringLiteral("REFUSED")));
    EXPECT_TRUE(loser.contains(QStringLiteral("in uso esclusivo dall'utente ") +
                               (annaWon ? QStringLiteral("ANNA") : QStringLiteral("BRUNO"))))
        << loser.toStdString();
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT UTENTE FROM SEMAFORO")).toString(),
              annaWon ? QStringLiteral("ANNA") : QStringLiteral("BRUNO"));
}

TEST_P(DataAccessTest, TwoWorkstationsNeverTakeTheSameNumber)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins."), kInsertCounter,
                                     {QStringLiteral("2026"), QStringLiteral("PROVA"), 7, 99999}));
        ASSERT_TRUE(unit.commit());
    }
    const QString go = archives->folder() + QStringLiteral("via");
    QProcess *a = startWorker(*archives, {QStringLiteral("increment"), QStringLiteral("A"), QStringLiteral("500")}, go);
    QProcess *b = startWorker(*archives, {QStringLiteral("increment"), QStringLiteral("B"), QStringLiteral("500")}, go);
    QFile(go).open(QIODevice::WriteOnly);
    QList<int> taken;
    for (QProcess *worker : {a, b}) {
        const QStringList lines = finish(worker).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.last().trimmed(), QStringLiteral("DONE"));
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("N ")))
                taken.append(line.mid(2).trimmed().toInt());
        }
    }
    // Numbers 8 to 1007, each given once.
    std::sort(taken.begin(), taken.end());
    ASSERT_EQ(taken.size(), 1000);
    for (int i = 0; i < taken.size(); ++i)
        ASSERT_EQ(taken.at(i), 8 + i);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'PROVA'")).toInt(), 1007);
}

TEST_P(DataAccessTest, ReadForUpdateNeedsAWriteTransaction)
{
    auto rows = db->openRecordsetForUpdate(QStringLiteral("SELECT * FROM %1").arg(Tables::NUMERA));
    EXPECT_FALSE(rows);
    EXPECT_EQ(exits, 0);
}

TEST_P(DataAccessTest, WorkstationKilledMidWriteLeavesBothUnchanged)
{
    QProcess *worker = startWorker(*archives, {QStringLiteral("hang")});
    ASSERT_TRUE(worker->waitForReadyRead(30000));
    EXPECT_EQ(QString::fromUtf8(worker->readLine()).trimmed(), QStringLiteral("READY"));
    ::kill(pid_t(worker->processId()), SIGKILL);
    finish(worker);
    EXPECT_EQ(archives->count(Tables::NUMERA), 0);
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'ZZ'")), 0);
    // The archives are still writable by the others.
    WriteUnit unit(*db, QStringLiteral("Prova"));
    EXPECT_TRUE(
        unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("ZZ"), QStringLiteral("X")}));
    EXPECT_TRUE(unit.commit());
}

ORLAVO_FOR_EACH_ENGINE(DataAccessTest);

// Killed inside the commit of the two files: before the commit point both
// roll back, after it both hold the data. Never one without the other.
TEST(SqliteCommitAcrossFiles, KilledInsideTheCommitKeepsBothFilesInStep)
{
    for (const auto &[job, landed] :
         {std::pair{"crash-at-super-journal", 0}, std::pair{"crash-after-commit-point", 1}}) {
        SCOPED_TRACE(job);
        TestArchives archives(Engine::Sqlite);
        ASSERT_TRUE(archives.ready());
        QProcess *worker = startWorker(archives, {QString::fromLatin1(job)});
        worker->waitForFinished(30000);
        EXPECT_EQ(worker->exitStatus(), QProcess::CrashExit);
        finish(worker);
        EXPECT_EQ(archives.count(Tables::NUMERA), landed);
        EXPECT_EQ(archives.count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'ZZ'")), landed);
    }
}

// Another workstation holding the rows past the wait is a lock conflict:
// reported like a failed statement, never the fatal access error.
TEST_P(DataAccessTest, LockConflictIsNotFatal)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins."), kInsertCounter,
                                     {QStringLiteral("2026"), QStringLiteral("PROVA"), 1, 99999}));
        ASSERT_TRUE(unit.commit());
    }
    AppState otherState;
    Testing::ScriptedPrompter otherPrompter;
    DataAccess other(otherState, otherPrompter, QString());
    ConnectionConfig config = archives->config();
    config.lockWaitMs = 200;
    ASSERT_TRUE(other.openServices(config));
    ASSERT_TRUE(other.openCompany(QStringLiteral("01")));

    ASSERT_TRUE(db->beginTransBoth());
    const QString read = QStringLiteral("SELECT NUMERATORE FROM %1 WHERE NOME = ?").arg(Tables::NUMERA);
    ASSERT_TRUE(db->openRecordsetForUpdate(read, {QStringLiteral("PROVA")}));
    ASSERT_EQ(db->executeSql(QStringLiteral("UPDATE %1 SET NUMERATORE = 2").arg(Tables::NUMERA)), kErrNone);

    int otherExits = 0;
    other.setExitHook([&otherExits](int) { ++otherExits; });
    // SQLite refuses the second writer at BEGIN, PostgreSQL at the row.
    const bool begun = other.beginTransBoth();
    if (begun) {
        EXPECT_FALSE(other.openRecordsetForUpdate(read, {QStringLiteral("PROVA")}));
        other.rollbackTransBoth();
    }
    EXPECT_EQ(other.error().code, kErrDatabase);
    EXPECT_TRUE(other.isLockConflict(other.error().number))
        << other.error().number.toStdString() << " " << other.error().description.toStdString();
    EXPECT_EQ(otherExits, 0);
    EXPECT_TRUE(otherPrompter.shown().isEmpty());
    ASSERT_TRUE(db->commitTransBoth());
    EXPECT_EQ(archives->scalar(read, {QStringLiteral("PROVA")}).toInt(), 2);
}

// Statements are kept prepared: one run inside a rolled-back transaction
// runs again afterwards, and a call with the wrong number of values is
// refused instead of reusing the values of the previous run.
TEST_P(DataAccessTest, PreparedStatementsSurviveRollbackAndCheckTheirValues)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        ASSERT_TRUE(
            unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z1"), QStringLiteral("A")}));
    }
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'Z1'")), 0);
    {
        WriteUnit unit(*db, QStringLiteral("Prova"), WriteUnit::Report::Quiet);
        ASSERT_TRUE(
            unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z2"), QStringLiteral("B")}));
        EXPECT_FALSE(unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z3")}));
    }
    EXPECT_EQ(db->error().code, kErrDatabase);
    EXPECT_TRUE(db->error().description.contains(QStringLiteral("2 attesi, 1 forniti")));
    WriteUnit unit(*db, QStringLiteral("Prova"));
    ASSERT_TRUE(
        unit.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z4"), QStringLiteral("C")}));
    ASSERT_TRUE(unit.commit());
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE LIKE 'Z%'")), 1);
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'Z4'")).toString(),
        QStringLiteral("C"));
}

// A statement that failed inside the transaction makes the commit fail too
// (PostgreSQL would otherwise turn COMMIT into a silent ROLLBACK), and a unit
// that could not begin leaves the open transaction alone.
TEST_P(DataAccessTest, FailedStatementFailsTheCommitAndNestedUnitsDoNotRollBack)
{
    ASSERT_TRUE(db->beginTransBoth());
    EXPECT_EQ(db->executeSqlServices(kInsertProvince, {QStringLiteral("Z1"), QStringLiteral("A")}), kErrNone);
    EXPECT_EQ(db->executeSqlServices(kInsertProvince, {QStringLiteral("Z1"), QStringLiteral("B")}), kErrDatabase);
    const QString duplicate = db->error().number;
    EXPECT_FALSE(db->commitTransBoth());
    EXPECT_EQ(db->error().number, duplicate);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE = 'Z1'")), 0);

    WriteUnit outer(*db, QStringLiteral("Esterna"));
    ASSERT_TRUE(
        outer.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z2"), QStringLiteral("C")}));
    {
        WriteUnit inner(*db, QStringLiteral("Interna"), WriteUnit::Report::Quiet);
        EXPECT_FALSE(inner.ok());
    }
    EXPECT_TRUE(db->inTransaction());
    ASSERT_TRUE(
        outer.execServices(QStringLiteral("Ins."), kInsertProvince, {QStringLiteral("Z3"), QStringLiteral("D")}));
    ASSERT_TRUE(outer.commit());
    EXPECT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE IN ('Z2', 'Z3')")), 2);
}

TEST_P(DataAccessTest, LockConflictsAreToldApartByEngine)
{
    // Each engine's own codes: SQLite result codes, PostgreSQL SQLSTATEs.
    const QList<std::pair<const char *, bool>> cases =
        GetParam() == Engine::Sqlite
            ? QList<std::pair<const char *, bool>>{{"5", true},   {"517", true},   {"6", true}, {"262", true},
                                                   {"19", false}, {"2067", false}, {"1", false}}
            : QList<std::pair<const char *, bool>>{{"40001", true},  {"40P01", true},  {"55P03", true},
                                                   {"42501", false}, {"23505", false}, {"22021", false}};
    for (const auto &[code, conflict] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(db->isLockConflict(QString::fromLatin1(code)), conflict);
    }
}

TEST_P(DataAccessTest, QuestionMarksInTextsAreNotValues)
{
    WriteUnit unit(*db, QStringLiteral("Prova"));
    ASSERT_TRUE(unit.execServices(
        QStringLiteral("Ins."),
        QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ? || '?') -- ultima").arg(Tables::TAB_PROV),
        {QStringLiteral("Z9"), QStringLiteral("DOMANDA")}));
    ASSERT_TRUE(unit.commit());
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'Z9'")).toString(),
        QStringLiteral("DOMANDA?"));
}
