#include "archives.h"
#include "fixtures.h"
#include "services/core/inifile.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

#include <QProcess>

#include <csignal>

using namespace Orlavo;
using namespace Orlavo::Services;
using Orlavo::Testing::TestArchives;

namespace {

const QString kInsertProvince =
    QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_PROV);
const QString kInsertCounter =
    QStringLiteral("INSERT INTO %1 (ANNO, NOME, NUMERATORE, MAX_NUMERA) VALUES (?, ?, ?, ?)").arg(Tables::NUMERA);

const QString kWorker = QStringLiteral(ORLAVO_DBWORKER);

bool addProvince(WriteUnit &unit, const char *code, const QVariant &description = QStringLiteral("X"))
{
    return unit.execServices("Ins.", kInsertProvince, {QLatin1String(code), description});
}

} // namespace

class DataAccessTest : public Testing::EngineTest
{
protected:
    // Committed provinces matching the condition.
    int provinces(const char *where) const
    {
        return archives->count(QStringLiteral("servizi.TAB_PROV WHERE ") + QLatin1String(where));
    }
    QString committed(const char *select) const { return archives->scalar(QLatin1String(select)).toString(); }
    void addCounter(int value)
    {
        WriteUnit unit(*db, "Prova");
        ASSERT_TRUE(unit.execCompany("Ins.", kInsertCounter, {"2026", "PROVA", value, 99999}));
        ASSERT_TRUE(unit.commit());
    }
};

TEST_P(DataAccessTest, FailingUpdateLeavesBothDatabasesUnchanged)
{
    {
        WriteUnit unit(*db, "Registra prova");
        ASSERT_TRUE(addProvince(unit, "ZZ"));
        ASSERT_TRUE(unit.execCompany("Ins. numera", kInsertCounter, {"2026", "FVEND", 0, 99999}));
        // NOT NULL violated at run time: a real engine error, not a syntax one.
        EXPECT_FALSE(unit.execCompany("Agg. numera",
                                      QStringLiteral("UPDATE %1 SET ANNO = ? WHERE NOME = ?").arg(Tables::NUMERA),
                                      {sqlText(QString()), "FVEND"}));
        EXPECT_FALSE(unit.commit());
    }
    const DbErrorState &error = db->error();
    EXPECT_EQ(error.code, kErrDatabase);
    EXPECT_FALSE(error.number.isEmpty() || error.description.isEmpty());
    Testing::expectRefused(prompter,
                           QStringLiteral("Rilevato errore su Registra prova\nCodice -100\nStep Agg. numera\n"
                                          "Riprovare l'operazione \n\nErrore DB: ") +
                               error.number + QStringLiteral("\nDescrizione: ") + error.description,
                           Prompter::Icon::Critical, Prompter::Buttons::Ok, "Errore");
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(provinces("CODICE = 'ZZ'") + archives->count(Tables::NUMERA), 0);
    EXPECT_EQ(exits, 0);
}

TEST_P(DataAccessTest, ReadOnlyUserWritesNothing)
{
    state.userType = 0;
    {
        WriteUnit unit(*db, "Registra prova");
        EXPECT_FALSE(addProvince(unit, "ZZ"));
    }
    EXPECT_EQ(db->error().code, kErrNoRights);
    ASSERT_GE(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.texts().first(),
              QStringLiteral("operazione non consentita : \nNon si possiedono i diritti per procedere con tale "
                             "operazione.\nPer ulteriri chiarimenti rivolgersi all'Amministratore."));
    EXPECT_EQ(provinces("CODICE = 'ZZ'"), 0);

    prompter.clear();
    EXPECT_FALSE(db->checkWriteRights());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Operazione non consentita : \nNon si possiedono i diritti per eseguire tale "
                                         "operazione.\nPer ulteriri chiarimenti rivolgersi all'Amministratore.")});
}

// Every value is bound: quotes stay, empty text is null, a '?' inside a
// literal or a comment is no value. Statements stay prepared across a
// rollback, and a call with the wrong number of values is refused instead
// of running with the values of the previous call.
TEST_P(DataAccessTest, ValuesAreBoundAndStatementsStayPrepared)
{
    const QString quoted = QStringLiteral("VITE 3' 'INOX'");
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        ASSERT_TRUE(addProvince(unit, "Z0"));
    }
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        ASSERT_TRUE(addProvince(unit, "Z2"));
        EXPECT_FALSE(unit.execServices("Ins.", kInsertProvince, {"Z3"}));
    }
    EXPECT_EQ(db->error().code, kErrDatabase);
    EXPECT_TRUE(db->error().description.contains("2 attesi, 1 forniti"));
    WriteUnit unit(*db, "Prova");
    ASSERT_TRUE(addProvince(unit, "Z1", quoted));
    ASSERT_TRUE(addProvince(unit, "Z4", sqlText(QString())));
    ASSERT_TRUE(unit.execServices(
        QStringLiteral("Ins."),
        QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ? || '?') -- ultima?").arg(Tables::TAB_PROV),
        {"Z9", "DOMANDA"}));
    ASSERT_TRUE(unit.commit());
    EXPECT_EQ(provinces("CODICE LIKE 'Z%'"), 3);
    EXPECT_EQ(committed("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'Z1'"), quoted);
    EXPECT_EQ(provinces("CODICE = 'Z4' AND DESCRIZIONE IS NULL"), 1);
    EXPECT_EQ(committed("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'Z9'"), "DOMANDA?");
}

// Recordsets are read by column name without regard to case; a failing
// query is fatal and logged in CONT.LOG; a read for update outside a write
// transaction is refused, not fatal.
TEST_P(DataAccessTest, Recordsets)
{
    auto first =
        db->openRecordset(QStringLiteral("SELECT CODICE, DESCRIZIONE FROM %1 WHERE CODICE IN (?, ?) ORDER BY CODICE")
                              .arg(Tables::TAB_PROV),
                          {"MI", "RM"}, Target::Services);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->size(), 2);
    EXPECT_EQ(first->at(1).text("Descrizione"), "ROMA");
    EXPECT_TRUE(first->at(0).value("NON_ESISTE").isNull());
    EXPECT_FALSE(db->openRecordsetForUpdate(QStringLiteral("SELECT * FROM %1").arg(Tables::NUMERA)));
    EXPECT_EQ(exits, 0);

    EXPECT_FALSE(db->openRecordset("SELECT * FROM TABELLA_CHE_NON_ESISTE"));
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.texts()[0], QStringLiteral("Errore durante l'accesso ai dati;\nControllare che la rete funzioni "
                                                  "corretamente, \nche il Server Dati sia attivo. \nSe il problema "
                                                  "persiste consultare il fornitore del programma."));
    EXPECT_TRUE(prompter.texts()[1].startsWith("Errore durante l'accesso ai dati :\n"));
    EXPECT_TRUE(prompter.texts()[1].contains("tabella_che_non_esiste", Qt::CaseInsensitive));
    const IniFile log(archives->folder() + QStringLiteral("CONT.LOG"));
    const auto logged = [&log](const char *key) { return log.read("ERRORI", QLatin1String(key)); };
    EXPECT_EQ(logged("NUM"), db->error().number);
    EXPECT_TRUE(logged("DES").contains("tabella_che_non_esiste", Qt::CaseInsensitive));
}

// The guard takes the whole archive and gives back only what it took;
// this user's stale rows go at start; another user's row refuses the lock.
TEST_P(DataAccessTest, ArchiveLock)
{
    {
        ArchiveLock lock(*db, "CONTABILITA");
        ASSERT_TRUE(lock);
        EXPECT_EQ(committed("SELECT UTENTE FROM SEMAFORO WHERE AREA = 'TUTTO'"), "MARIO");
    }
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());

    for (const char *user : {"mario", "LUIGI"}) {
        ASSERT_EQ(db->executeSql("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES (?, ?)",
                                 {QStringLiteral("TUTTO-") + QLatin1String(user), QLatin1String(user)}),
                  kErrNone);
    }
    EXPECT_TRUE(db->unlockUser());
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
    EXPECT_FALSE(ArchiveLock(*db, "MAGAZZINO"));
    Testing::expectRefused(prompter,
                           QStringLiteral("L'archivio è attualmente in uso esclusivo dall'utente LUIGI\n"
                                          "Riprovare l'operazione tra qualche istante"),
                           Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore");
    EXPECT_EQ(committed("SELECT UTENTE FROM SEMAFORO"), "LUIGI");
    EXPECT_FALSE(db->inTransaction());
}

TEST_P(DataAccessTest, TwoWorkstationsRacingForTheLockGetOneRow)
{
    const QStringList said = Testing::raceWorkers(*archives, kWorker, "lock", {"ANNA", "BRUNO"}, 0);
    const qsizetype won = said.indexOf("LOCKED");
    ASSERT_TRUE(said.size() == 2 && won >= 0) << said.join('|').toStdString();
    const QString winner = won == 0 ? QStringLiteral("ANNA") : QStringLiteral("BRUNO");
    EXPECT_TRUE(said.at(1 - won).contains(QStringLiteral("in uso esclusivo dall'utente ") + winner))
        << said.join('|').toStdString();
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
    EXPECT_EQ(committed("SELECT UTENTE FROM SEMAFORO"), winner);
}

// Each workstation takes 500 numbers: the counter reaches 1007 only when
// every number from 8 was taken once, none lost to the other.
TEST_P(DataAccessTest, TwoWorkstationsNeverTakeTheSameNumber)
{
    addCounter(7);
    EXPECT_EQ(Testing::raceWorkers(*archives, kWorker, "increment", {"A", "B"}, 500), (QStringList{"DONE", "DONE"}));
    EXPECT_EQ(committed("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'PROVA'"), "1007");
}

TEST_P(DataAccessTest, WorkstationKilledMidWriteLeavesBothUnchanged)
{
    QProcess *worker = Testing::startWorker(*archives, kWorker, {"hang"});
    ASSERT_TRUE(worker->waitForReadyRead(30000));
    EXPECT_EQ(QString::fromUtf8(worker->readLine()).trimmed(), "READY");
    ::kill(pid_t(worker->processId()), SIGKILL);
    Testing::finishWorker(worker);
    EXPECT_EQ(archives->count(Tables::NUMERA) + provinces("CODICE = 'ZZ'"), 0);
    // The archives are still writable by the others.
    WriteUnit unit(*db, "Prova");
    EXPECT_TRUE(addProvince(unit, "ZZ") && unit.commit());
}

// Killed inside the commit of the two files: before the commit point both
// roll back, after it both hold the data. Never one without the other.
TEST(SqliteCommitAcrossFiles, KilledInsideTheCommitKeepsBothFilesInStep)
{
    for (const auto &[job, landed] :
         {std::pair{"crash-at-super-journal", 0}, std::pair{"crash-after-commit-point", 1}}) {
        SCOPED_TRACE(job);
        TestArchives archives(Engine::Sqlite);
        ASSERT_TRUE(archives.ready());
        QProcess *worker = Testing::startWorker(archives, kWorker, {QString::fromLatin1(job)});
        worker->waitForFinished(30000);
        EXPECT_EQ(worker->exitStatus(), QProcess::CrashExit);
        Testing::finishWorker(worker);
        EXPECT_EQ(archives.count(Tables::NUMERA), landed);
        EXPECT_EQ(archives.count("servizi.TAB_PROV WHERE CODICE = 'ZZ'"), landed);
    }
}

// Another workstation holding the rows past the wait is a lock conflict:
// reported like a failed statement, never the fatal access error.
TEST_P(DataAccessTest, LockConflictIsNotFatal)
{
    addCounter(1);
    ConnectionConfig config = archives->config();
    config.lockWaitMs = 200;
    Testing::Workstation workstation(config);
    ASSERT_TRUE(workstation.open());
    DataAccess &other = workstation.db();

    ASSERT_TRUE(db->beginTransBoth());
    const QString read = QStringLiteral("SELECT NUMERATORE FROM %1 WHERE NOME = ?").arg(Tables::NUMERA);
    ASSERT_TRUE(db->openRecordsetForUpdate(read, {"PROVA"}));
    ASSERT_EQ(db->executeSql(QStringLiteral("UPDATE %1 SET NUMERATORE = 2").arg(Tables::NUMERA)), kErrNone);
    // SQLite refuses the second writer at BEGIN, PostgreSQL at the row.
    if (other.beginTransBoth()) {
        EXPECT_FALSE(other.openRecordsetForUpdate(read, {"PROVA"}));
        other.rollbackTransBoth();
    }
    EXPECT_EQ(other.error().code, kErrDatabase);
    EXPECT_TRUE(other.isLockConflict(other.error().number))
        << other.error().number.toStdString() << " " << other.error().description.toStdString();
    // Nothing said: the fatal access error would have spoken before ending.
    EXPECT_TRUE(workstation.prompter().shown().isEmpty());
    ASSERT_TRUE(db->commitTransBoth());
    EXPECT_EQ(archives->scalar(read, {"PROVA"}).toInt(), 2);
}

// A statement that failed inside the transaction makes the commit fail too
// (PostgreSQL would otherwise turn COMMIT into a silent ROLLBACK), and a unit
// that could not begin leaves the open transaction alone.
TEST_P(DataAccessTest, FailedStatementFailsTheCommitAndNestedUnitsDoNotRollBack)
{
    ASSERT_TRUE(db->beginTransBoth());
    EXPECT_EQ(db->executeSqlServices(kInsertProvince, {"Z1", "A"}), kErrNone);
    EXPECT_EQ(db->executeSqlServices(kInsertProvince, {"Z1", "B"}), kErrDatabase);
    const QString duplicate = db->error().number;
    EXPECT_FALSE(db->commitTransBoth());
    EXPECT_EQ(db->error().number, duplicate);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(provinces("CODICE = 'Z1'"), 0);

    WriteUnit outer(*db, "Esterna");
    ASSERT_TRUE(addProvince(outer, "Z2"));
    EXPECT_FALSE(WriteUnit(*db, "Interna", WriteUnit::Report::Quiet).ok());
    EXPECT_TRUE(db->inTransaction());
    ASSERT_TRUE(addProvince(outer, "Z3"));
    ASSERT_TRUE(outer.commit());
    EXPECT_EQ(provinces("CODICE IN ('Z2', 'Z3')"), 2);
}

ORLAVO_FOR_EACH_ENGINE(DataAccessTest);
