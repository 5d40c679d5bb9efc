#include "shell/stores/firstsetup.h"

#include "files.h"
#include "fixtures.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "shell/rules/password.h"
#include "shellfixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Testing::readBytes;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::ServerDatabase;
using Orlavo::Testing::skipPostgres;
using Orlavo::Testing::writeBytes;

namespace {

FirstSetup validSetup()
{
    FirstSetup setup;
    setup.pathDb = QStringLiteral("/srv/orlavo/DATI");
    setup.companyCode = QStringLiteral("01");
    setup.companyName = QStringLiteral("Ditta Prova");
    setup.adminUser = QStringLiteral("ADMIN");
    setup.adminPassword = QStringLiteral("segreta");
    setup.adminPasswordAgain = QStringLiteral("segreta");
    setup.year = 2026;
    return setup;
}

// Where the archives of a first configuration go: a folder or a fresh
// database on the test server.
class FirstSetupTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setup = validSetup();
        if (GetParam() == Engine::Sqlite) {
            setup.pathDb = dir.path() + QStringLiteral("/DATI");
            return;
        }
        if (skipPostgres())
            GTEST_SKIP() << "no PostgreSQL test server (ORLAVO_TEST_PGHOST)";
        server = std::make_unique<ServerDatabase>();
        ASSERT_TRUE(server->error().isEmpty()) << server->error().toStdString();
        setup.server = true;
        setup.pathDb.clear();
        setup.serverKeys = server->keys();
    }

    // The first column of a query on the new archives, opened on company "01"
    // by another workstation.
    QStringList column(const QString &sql) const
    {
        if (server)
            return Orlavo::Testing::firstColumn(server->config(), setup.companyCode, sql);
        Services::ConnectionConfig config;
        config.servicesFile = QStringLiteral("SERVIZI.MDB");
        config.dbType = QStringLiteral("ACCESS2000");
        config.pathDb = folder();
        return Orlavo::Testing::firstColumn(config, setup.companyCode, sql);
    }

    QString folder() const { return Services::asFolder(setup.pathDb); }

    QString where(Services::SchemaKind kind) const
    {
        const bool services = kind == Services::SchemaKind::Services;
        if (server)
            return services ? QStringLiteral("servizi") : QStringLiteral("contab01");
        return folder() + (services ? QStringLiteral("SERVIZI.MDB") : QStringLiteral("CONTAB01.MDB"));
    }

    // An archive with its tables, made outside the program, and the
    // statement's rows; "%1" stands for its qualifier on the server.
    void makeArchive(Services::SchemaKind kind, const QString &statement = {})
    {
        if (!server) {
            QDir().mkpath(folder());
            ASSERT_TRUE(Services::Schema::createSqlite(where(kind), kind));
        }
        const QString name = QStringLiteral("test-archive");
        {
            QSqlDatabase db = server ? server->keys().addConnection(name)
                                     : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            if (!server)
                db.setDatabaseName(where(kind));
            ASSERT_TRUE(db.open());
            ASSERT_TRUE(!server || Services::Schema::createPostgres(db, where(kind), kind));
            QSqlQuery q(db);
            ASSERT_TRUE(statement.isEmpty() ||
                        q.exec(statement.arg(server ? where(kind) + QLatin1Char('.') : QString())))
                << q.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // An empty place again: a new database, or no folder.
    void startAfresh()
    {
        prompter.clear();
        if (!server) {
            QDir(folder()).removeRecursively();
            return;
        }
        server = std::make_unique<ServerDatabase>();
        setup.serverKeys = server->keys();
    }

    bool exists(Services::SchemaKind kind) const
    {
        return server ? server->schemaExists(where(kind)) : QFile::exists(where(kind));
    }

    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> server;
    FirstSetup setup;
    ScriptedPrompter prompter;
};

// The configuration utility from a terminal: no display, clear refusals.
struct UtilityRun {
    int code = -1;
    QString out, err;
};

// kervutil started with no display at all, in `folder`, its home there too.
void start(QProcess &utility, const QStringList &arguments, const QString &folder,
           const QHash<QString, QString> &extra = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("ORLAVO_HOME"), folder);
    for (auto it = extra.begin(); it != extra.end(); ++it)
        env.insert(it.key(), it.value());
    utility.setProcessEnvironment(env);
    utility.setWorkingDirectory(folder);
    utility.start(QStringLiteral(ORLAVO_KERVUTIL), arguments);
}

// kervutil run to its end.
UtilityRun kervutil(const QStringList &arguments, const QString &folder, const QHash<QString, QString> &extra = {})
{
    QProcess utility;
    start(utility, arguments, folder, extra);
    EXPECT_TRUE(utility.waitForFinished(60000));
    EXPECT_EQ(utility.exitStatus(), QProcess::NormalExit) << "crashed: " << arguments.join(' ').toStdString();
    return {utility.exitCode(), QString::fromUtf8(utility.readAllStandardOutput()),
            QString::fromUtf8(utility.readAllStandardError())};
}

// The options of a configuration without windows, on SQLite or on `server`.
QStringList setupArguments(const ServerDatabase *server)
{
    QStringList arguments = {QStringLiteral("CFG-PRIMO"), QStringLiteral("--yes"),      QStringLiteral("--name"),
                             QStringLiteral("Ditta"),     QStringLiteral("--password"), QStringLiteral("segreta")};
    if (!server)
        return arguments << QStringLiteral("--folder") << QStringLiteral("DATI");
    const auto keys = server->keys();
    return arguments << QStringLiteral("--engine") << QStringLiteral("postgresql") << QStringLiteral("--host")
                     << keys.host << QStringLiteral("--port") << QString::number(keys.port)
                     << QStringLiteral("--database") << keys.database << QStringLiteral("--db-user") << keys.user;
}

} // namespace

TEST(FirstSetup, ChecksComeInOrder)
{
    namespace Field = SetupField;
    using Edit = std::pair<QString FirstSetup::*, QString>;
    const auto to = [](QString FirstSetup::*member) {
        return [member](const QString &value) { return Edit{member, value}; };
    };
    const auto folder = to(&FirstSetup::pathDb);
    const auto code = to(&FirstSetup::companyCode);
    const auto name = to(&FirstSetup::companyName);
    const auto user = to(&FirstSetup::adminUser);
    const auto password = to(&FirstSetup::adminPassword);
    const auto again = to(&FirstSetup::adminPasswordAgain);
    const auto bank = to(&FirstSetup::bankName);
    const auto abi = to(&FirstSetup::bankAbi);
    const auto cab = to(&FirstSetup::bankCab);
    const auto vat = to(&FirstSetup::vatCode);
    const QString noBank = QStringLiteral("Descrizione Banca Pagamento - Obbligatoria !");
    const QString badAbi = QStringLiteral("Il codice A.B.I. è di 5 cifre.");
    const QString badCab = QStringLiteral("Il codice C.A.B. è di 5 cifre.");
    struct Case {
        const char *name;
        QList<Edit> edits;
        std::optional<QString> field;
        QString message;
        bool server = false;
    };
    const QString noFolder = QStringLiteral("Indicare la cartella degli archivi.");
    const QString noBase = QStringLiteral("Indicare il nome del database sul server.");
    const QString noCode = QStringLiteral("Codice della Societa - Obbligatorio !");
    const QString badCode = QStringLiteral("Il codice della società è di due caratteri, lettere o cifre.");
    const QString noName = QStringLiteral("Ragione Sociale - Obbligatoria !");
    const QString longName = QStringLiteral("La ragione sociale è al massimo di 60 caratteri.");
    const QString noUser = QStringLiteral("Digitare il Codice Utente!");
    const QString longUser = QStringLiteral("Il codice utente è al massimo di 20 caratteri.");
    const QString badPw =
        QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.");
    const QString differ = QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe");
    const QString a21(21, u'a');
    const QList<Case> cases = {
        {"no folder before no code", {folder(""), code("")}, Field::Folder, noFolder},
        {"server needs no folder", {folder("")}, std::nullopt, QString(), true},
        {"server without database, before no code", {code("")}, Field::Database, noBase, true},
        {"no code before no name", {code(""), name("")}, Field::CompanyCode, noCode},
        {"code with a sign", {code("0_")}, Field::CompanyCode, badCode},
        {"no name before no user", {name(""), user("")}, Field::CompanyName, noName},
        {"name longer than its column", {name(QString(61, u'R'))}, Field::CompanyName, longName},
        {"user code longer than its column", {user(a21)}, Field::AdminUser, longUser},
        {"no user before a bad password", {user(""), password("prezzoΩ"), again("prezzoΩ")}, Field::AdminUser, noUser},
        {"bad password before the mismatch", {password("prezzoΩ"), again("altro")}, Field::AdminPassword, badPw},
        {"passwords differ", {again("Segreta")}, Field::AdminPassword, differ},
        {"empty password", {password(""), again("")}, std::nullopt, QString()},
        {"bank without description", {abi("03069"), cab("01234")}, Field::BankName, noBank},
        {"bank with a short A.B.I.", {bank("Banca"), abi("3069"), cab("01234")}, Field::BankAbi, badAbi},
        {"bank without C.A.B.", {bank("Banca"), abi("03069")}, Field::BankCab, badCab},
        {"VAT code before the user", {vat("23"), user("")}, Field::VatCode, QStringLiteral("Codice IVA sconosciuto.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FirstSetup setup = validSetup();
        setup.server = c.server;
        if (c.server)
            setup.serverKeys.database = c.field ? QString() : QStringLiteral("orlavo");
        for (const auto &[member, value] : c.edits)
            setup.*member = value;
        const auto problem = checkFirstSetup(setup);
        ASSERT_EQ(problem.has_value(), c.field.has_value());
        if (problem) {
            EXPECT_EQ(problem->column, *c.field);
            EXPECT_EQ(problem->message, c.message);
        }
    }
}

TEST_P(FirstSetupTest, CreatesBothArchivesWithTheirFirstRows)
{
    // The longest password is stored whole.
    setup.adminPassword = setup.adminPasswordAgain = QString(20, u'k');
    setup.bankName = QStringLiteral("Banca Prova");
    setup.bankAbi = QStringLiteral("03069");
    setup.bankCab = QStringLiteral("01234");
    setup.bankAccount = QStringLiteral("000012345");
    setup.vatCode = QStringLiteral("10");
    const auto created = createArchives(setup, prompter);
    ASSERT_TRUE(created) << created.failure().message.toStdString() << created.failure().detail.toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const std::pair<QString, QString> expected[] = {
        {QStringLiteral("SELECT SOCIETA || ' ' || RAG_SOC1 FROM ") + Services::Tables::SOCIETA,
         QStringLiteral("01 Ditta Prova")},
        {QStringLiteral("SELECT SOCIETA || ' ' || RAG_SOC1 FROM ") + Services::Tables::SOCIETA_CONTAB,
         QStringLiteral("01 Ditta Prova")},
        // The main bank on the chart's bank account, and the VAT code.
        {QStringLiteral("SELECT SOCIETA || ' ' || BANCA || ' ' || PERCIVA || LIQUIVA || NUMERAZ FROM ") +
             Services::Tables::DATIBASE,
         QStringLiteral("01 01 10M-1")},
        {QStringLiteral("SELECT CODICE || ' ' || DESCRIZIONE || ' ' || ABI || CAB || ' ' || NRO_CONTO || ' ' || "
                        "CNT_CONTAB FROM ") +
             Services::Tables::TAB_BAN_PAG,
         QStringLiteral("01 Banca Prova 0306901234 000012345 014002")},
        {QStringLiteral("SELECT UTENTE || ' ' || TIPO || ' ' || DESCRIZIONE || ' ' || NOME FROM ") +
             Services::Tables::TAB_UTENTI,
         QStringLiteral("ADMIN 2 AMMINISTRATORE ADMIN")},
        {QStringLiteral("SELECT PWD FROM ") + Services::Tables::TAB_UTENTI,
         scramblePassword(QString(20, u'k')).value()},
        // The company's counters, this year's and the yearless ones.
        {QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO || NOME IN ('****ANAC', '2026NROINT') AND NUMERATORE = 0")
             .arg(Services::Tables::NUMERA),
         QStringLiteral("2")},
        // The standard data of the services.
        {QStringLiteral("SELECT COUNT(*) FROM %1 WHERE UPPER(DESCRIZIONE) = 'INTERNO'")
             .arg(Services::Tables::TAB_UBICAZIONE),
         QStringLiteral("1")},
    };
    for (const auto &[sql, value] : expected)
        EXPECT_EQ(column(sql), QStringList{value}) << sql.toStdString();
}

TEST_P(FirstSetupTest, WholeArchivesFoundInPlaceAreOfferedForUseAndNeverOverwritten)
{
    ASSERT_TRUE(createArchives(setup, prompter));
    const QString rows = QStringLiteral("SELECT UTENTE || PWD FROM %1 UNION ALL SELECT RAG_SOC1 FROM %2")
                             .arg(Services::Tables::TAB_UTENTI, Services::Tables::SOCIETA);
    const QStringList before = column(rows);
    ASSERT_EQ(before.size(), 2);

    // CONT.INI lost: a second run with other values finds them.
    FirstSetup again = setup;
    again.companyCode = QStringLiteral("02");
    again.companyName = QStringLiteral("Altra Ditta");
    again.adminUser = QStringLiteral("ALTRO");
    again.adminPassword = again.adminPasswordAgain = QStringLiteral("diversa");
    prompter.queue(ScriptedPrompter::Button::No);
    const auto refused = createArchives(again, prompter);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().message,
              QStringLiteral("Configurazione interrotta: gli archivi esistenti restano come sono."));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.texts().first().endsWith(
        QStringLiteral("non registrati in CONT.INI: società 01 \"Ditta Prova\", amministratore ADMIN.\nUsarli?")))
        << prompter.texts().first().toStdString();

    prompter.queue(ScriptedPrompter::Button::Yes);
    const auto used = createArchives(again, prompter);
    ASSERT_TRUE(used) << used.failure().message.toStdString();
    EXPECT_EQ(used->companyCode + used->companyName + used->adminUser, QStringLiteral("01Ditta ProvaADMIN"));
    EXPECT_EQ(column(rows), before);
    EXPECT_FALSE(server ? server->schemaExists(QStringLiteral("contab02"))
                        : QFile::exists(folder() + QStringLiteral("CONTAB02.MDB")));
}

TEST_P(FirstSetupTest, WhatAnInterruptedRunLeftIsMadeAgainWhenTheOperatorSaysSo)
{
    using Kind = Services::SchemaKind;
    const QList<std::pair<const char *, std::function<void()>>> leftovers = {
        {"services without tables",
         [this] {
             if (server)
                 ASSERT_EQ(server->exec(QStringLiteral("CREATE SCHEMA servizi")), QString());
             else
                 ASSERT_TRUE(writeBytes(where(Kind::Services), QByteArray()));
         }},
        {"the company alone, as created", [this] { makeArchive(Kind::Company); }},
    };
    for (const auto &[name, leave] : leftovers) {
        SCOPED_TRACE(name);
        leave();
        prompter.clear();
        prompter.queue(ScriptedPrompter::Button::No);
        const auto refused = createArchives(setup, prompter);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.failure().message,
                  QStringLiteral("Configurazione interrotta: gli archivi incompleti restano come sono."));
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_TRUE(prompter.texts().first().contains(QStringLiteral("configurazione interrotta, senza dati")));

        prompter.queue(ScriptedPrompter::Button::Yes);
        const auto made = createArchives(setup, prompter);
        ASSERT_TRUE(made) << made.failure().message.toStdString() << made.failure().detail.toStdString();
        EXPECT_EQ(column(QStringLiteral("SELECT SOCIETA || ' ' || RAG_SOC1 FROM ") + Services::Tables::SOCIETA_CONTAB),
                  QStringList{QStringLiteral("01 Ditta Prova")});
        startAfresh();
    }
}

TEST_P(FirstSetupTest, ArchivesHoldingDataOrNotOursAreNeverTouched)
{
    using Kind = Services::SchemaKind;
    const QString elsewhere =
        server ? QStringLiteral("indicare un altro database") : QStringLiteral("scegliere un'altra cartella");
    const QString foreign = server ? QStringLiteral("Lo schema {file} sul server non è un archivio del programma: non "
                                                    "viene toccato. Per la configurazione, {else}.")
                                   : QStringLiteral("Il file {file} non è un archivio del programma: non viene "
                                                    "toccato. Per la configurazione, {else}.");
    const struct {
        const char *name;
        Kind filled;
        QString statement; // empty: not an archive of ours
        QString message;
    } cases[] = {
        {"a company with a customer and no services", Kind::Company,
         QStringLiteral("INSERT INTO %1ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (1, 'Rossi')"),
         QStringLiteral("L'archivio {file} contiene dati, ma l'archivio dei servizi {services} manca o è vuoto: "
                        "non viene toccato. Ripristinare {services} dall'ultimo salvataggio, oppure {else}.")},
        {"services with a company and no users", Kind::Services,
         QStringLiteral("INSERT INTO %1SOCIETA (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta')"),
         QStringLiteral("L'archivio {file} contiene dati ma è incompleto: non viene toccato. "
                        "Ripristinarlo dall'ultimo salvataggio, oppure {else}.")},
        {"services of another program", Kind::Services, {}, foreign},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.statement.isEmpty() && server) {
            ASSERT_EQ(server->exec(QStringLiteral("CREATE SCHEMA servizi")), QString());
            ASSERT_EQ(server->exec(QStringLiteral("CREATE TABLE servizi.MIA (X INTEGER)")), QString());
        } else if (c.statement.isEmpty()) {
            ASSERT_TRUE(writeBytes(where(c.filled), "archivio di un'altra installazione"));
        } else {
            makeArchive(c.filled, c.statement);
        }
        const QByteArray bytes = server ? QByteArray() : readBytes(where(c.filled));
        const auto refused = createArchives(setup, prompter);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.failure().message, QString(c.message)
                                                 .replace(QStringLiteral("{file}"), where(c.filled))
                                                 .replace(QStringLiteral("{services}"), where(Kind::Services))
                                                 .replace(QStringLiteral("{else}"), elsewhere));
        EXPECT_TRUE(prompter.shown().isEmpty());
        EXPECT_TRUE(exists(c.filled));
        EXPECT_FALSE(exists(c.filled == Kind::Services ? Kind::Company : Kind::Services));
        EXPECT_EQ(server ? QByteArray() : readBytes(where(c.filled)), bytes);
        startAfresh();
    }
}

// Refused by the checks, or failing in the middle of the first rows (a year
// longer than its column, which only the server holds to): nothing is left.
TEST_P(FirstSetupTest, AFailureCreatesNothing)
{
    setup.adminPasswordAgain = QStringLiteral("diversa");
    const auto refused = createArchives(setup, prompter);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().message, QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe"));
    EXPECT_FALSE(server ? exists(Services::SchemaKind::Services) || exists(Services::SchemaKind::Company)
                        : QFile::exists(setup.pathDb));
    if (!server)
        return;
    setup.adminPasswordAgain = setup.adminPassword;
    setup.year = 20260;
    EXPECT_FALSE(createArchives(setup, prompter));
    EXPECT_FALSE(exists(Services::SchemaKind::Services) || exists(Services::SchemaKind::Company));
}

ORLAVO_FOR_EACH_ENGINE(FirstSetupTest);

// A server installation: its keys, and never its password. (A folder's are
// read back by the start in the screens' walk-through.)
TEST(FirstSetup, WriteFirstSettingsWritesTheNewInstallation)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // SECTION/KEY=value.
    const QString keys = QStringLiteral("MAIN/PATHDB=;MAIN/TIPODB=SQL;POSTGRESQL/HOST=db.ditta.lan;"
                                        "POSTGRESQL/PORT=5433;POSTGRESQL/DATABASE=orlavo;POSTGRESQL/USER=contab;"
                                        "POSTGRESQL/PASSWORD=;MAIN/SOCIETA=01;MAIN/ANNO=2026;UTENTE/NOME=ADMIN;"
                                        "ARTICOLI/DECIMALI_PREZZO1=2");
    const QString path = dir.filePath(QStringLiteral("CONT.INI"));
    FirstSetup setup = validSetup();
    setup.server = true;
    setup.serverKeys = {QStringLiteral("db.ditta.lan"), 5433, QStringLiteral("orlavo"), QStringLiteral("contab"),
                        QStringLiteral("pw")};
    ASSERT_TRUE(writeFirstSettings(Services::Settings(path), setup));
    const Services::IniFile ini(path);
    for (const QString &key : keys.split(QLatin1Char(';'))) {
        const QString section = key.section(QLatin1Char('/'), 0, 0);
        const QString name = key.section(QLatin1Char('/'), 1).section(QLatin1Char('='), 0, 0);
        EXPECT_EQ(section + QLatin1Char('/') + name + QLatin1Char('=') + ini.read(section, name), key);
    }
}

TEST(Kervutil, BadInputIsRefusedWithExitCodeTwoAndNothingWritten)
{
    const QStringList valid = {QStringLiteral("CFG-PRIMO"), QStringLiteral("--yes"),  QStringLiteral("--folder"),
                               QStringLiteral("DATI"),      QStringLiteral("--name"), QStringLiteral("Ditta")};
    const struct {
        const char *name;
        QStringList arguments;
        QString message;
    } cases[] = {
        {"no command", {QStringLiteral("--yes")}, QStringLiteral("Uso: kervutil CFG-PRIMO")},
        {"unknown option", valid + QStringList{QStringLiteral("--colore")},
         QStringLiteral("Opzione sconosciuta: --colore")},
        {"unknown engine",
         valid + QStringList{QStringLiteral("--password"), QStringLiteral("x"), QStringLiteral("--engine"),
                             QStringLiteral("mysql")},
         QStringLiteral("Motore sconosciuto: \"mysql\". Indicare --engine sqlite oppure --engine postgresql.")},
        {"no administrator password", valid,
         QStringLiteral("Manca la password dell'amministratore: indicarla con --password.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        const UtilityRun run = kervutil(c.arguments, home.path());
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
}

// A whole configuration keeps a relative folder as an absolute one, and
// takes a server's password from PGPASSWORD into the password file, never
// from the command line. Killed anywhere between creating the archives and
// writing CONT.INI, it runs again to the end: what the kill left is either
// nothing, whole archives to use, or leftovers without data made again.
TEST(Kervutil, AConfigurationKilledAtAnyMomentCanBeRedone)
{
    const bool withServer = !skipPostgres();
    for (const bool server : withServer ? QList<bool>{false, true} : QList<bool>{false}) {
        SCOPED_TRACE(server ? "PostgreSQL" : "SQLite");
        // How long a whole run takes here, to kill the next ones along the way.
        std::unique_ptr<ServerDatabase> database = server ? std::make_unique<ServerDatabase>() : nullptr;
        QTemporaryDir timed;
        const QString passFile = timed.filePath(QStringLiteral("pgpass"));
        QElapsedTimer clock;
        clock.start();
        const UtilityRun whole = kervutil(
            setupArguments(database.get()), timed.path(),
            {{QStringLiteral("PGPASSWORD"), QStringLiteral("riservata")}, {QStringLiteral("PGPASSFILE"), passFile}});
        const qint64 took = clock.elapsed();
        ASSERT_EQ(whole.code, 0) << whole.err.toStdString();
        if (server) {
            const auto keys = database->keys();
            EXPECT_EQ(QString::fromUtf8(readBytes(passFile)),
                      QStringLiteral("%1:%2:%3:%4:riservata\n")
                          .arg(keys.host, QString::number(keys.port), keys.database, keys.user));
        } else {
            EXPECT_EQ(Orlavo::Services::IniFile(timed.filePath(QStringLiteral("CONT.INI")))
                          .read(QStringLiteral("MAIN"), QStringLiteral("PATHDB")),
                      QDir(timed.path()).absoluteFilePath(QStringLiteral("DATI")) + QLatin1Char('/'));
        }
        for (const double share : {0.2, 0.4, 0.55, 0.7, 0.85, 0.95}) {
            SCOPED_TRACE(share);
            database = server ? std::make_unique<ServerDatabase>() : nullptr;
            QTemporaryDir home;
            QProcess killed;
            start(killed, setupArguments(database.get()), home.path());
            ASSERT_TRUE(killed.waitForStarted());
            QThread::msleep(static_cast<unsigned long>(share * double(took)));
            killed.kill();
            killed.waitForFinished();

            const UtilityRun again = kervutil(setupArguments(database.get()), home.path());
            ASSERT_EQ(again.code, 0) << again.err.toStdString();
            EXPECT_EQ(Orlavo::Services::IniFile(home.filePath(QStringLiteral("CONT.INI")))
                          .read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")),
                      QStringLiteral("01"));
            if (server) {
                EXPECT_TRUE(database->schemaExists(QStringLiteral("servizi")));
                EXPECT_TRUE(database->schemaExists(QStringLiteral("contab01")));
            } else {
                EXPECT_EQ(QDir(home.filePath(QStringLiteral("DATI")))
                              .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                          (QStringList{QStringLiteral("CONTAB01.MDB"), QStringLiteral("SERVIZI.MDB")}));
            }
        }
    }
}
