#include "files.h"
#include "shell/stores/firstsetup.h"

#include "fixtures.h"
#include "scriptedprompter.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/windows/frminiziale.h"
#include "ui/appcontext.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::ServerDatabase;
using Orlavo::Testing::Workstation;

using Orlavo::Testing::readBytes;
using Orlavo::Testing::writeBytes;

namespace {

bool skipPostgres()
{
    return !PgServer::fromEnvironment().available() && !PgServer::required();
}

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

    Services::ConnectionConfig config() const
    {
        if (server)
            return server->config();
        Services::ConnectionConfig config;
        config.servicesFile = QStringLiteral("SERVIZI.MDB");
        config.dbType = QStringLiteral("ACCESS2000");
        config.pathDb = Services::asFolder(setup.pathDb);
        return config;
    }

    // The rows of a query on the new archives, opened on company "01".
    std::optional<Services::Recordset> rows(const QString &sql) const
    {
        Workstation reader(config(), setup.companyCode);
        return reader.open() ? reader.rows(sql) : std::nullopt;
    }

    QString folder() const { return Services::asFolder(setup.pathDb); }

    QTemporaryDir dir;
    std::unique_ptr<ServerDatabase> server;
    FirstSetup setup;
    ScriptedPrompter prompter;
};

} // namespace

TEST(FirstSetup, ChecksComeInOrder)
{
    namespace Field = SetupField;
    struct Case {
        const char *name;
        std::function<void(FirstSetup &)> change;
        std::optional<QString> field;
        QString message;
    };
    const QString folder = QStringLiteral("Indicare la cartella degli archivi.");
    const QString database = QStringLiteral("Indicare il nome del database sul server.");
    const QString codeMissing = QStringLiteral("Codice della Societa - Obbligatorio !");
    const QString codeWrong = QStringLiteral("Il codice della società è di due caratteri, lettere o cifre.");
    const QString name = QStringLiteral("Ragione Sociale - Obbligatoria !");
    const QString user = QStringLiteral("Digitare il Codice Utente!");
    const QString badPassword =
        QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.");
    const QString mismatch = QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe");
    const auto password = [](const QString &value) {
        return [value](FirstSetup &s) { s.adminPassword = s.adminPasswordAgain = value; };
    };
    const QList<Case> cases = {
        {"all given", [](FirstSetup &) {}, std::nullopt, QString()},
        {"no folder", [](FirstSetup &s) { s.pathDb.clear(); }, Field::Folder, folder},
        {"blank folder", [](FirstSetup &s) { s.pathDb = QStringLiteral("   "); }, Field::Folder, folder},
        {"no folder before no code",
         [](FirstSetup &s) {
             s.pathDb.clear();
             s.companyCode.clear();
         },
         Field::Folder, folder},
        {"server needs no folder",
         [](FirstSetup &s) {
             s.server = true;
             s.pathDb.clear();
             s.serverKeys.database = QStringLiteral("orlavo");
         },
         std::nullopt, QString()},
        {"server without database",
         [](FirstSetup &s) {
             s.server = true;
             s.pathDb.clear();
             s.companyCode.clear();
         },
         Field::Database, database},
        {"no code", [](FirstSetup &s) { s.companyCode.clear(); }, Field::CompanyCode, codeMissing},
        {"blank code", [](FirstSetup &s) { s.companyCode = QStringLiteral("  "); }, Field::CompanyCode, codeMissing},
        {"no code before no name",
         [](FirstSetup &s) {
             s.companyCode.clear();
             s.companyName.clear();
         },
         Field::CompanyCode, codeMissing},
        {"one-character code", [](FirstSetup &s) { s.companyCode = QStringLiteral("1"); }, Field::CompanyCode,
         codeWrong},
        {"three-character code", [](FirstSetup &s) { s.companyCode = QStringLiteral("012"); }, Field::CompanyCode,
         codeWrong},
        {"code with a sign", [](FirstSetup &s) { s.companyCode = QStringLiteral("0_"); }, Field::CompanyCode,
         codeWrong},
        {"code with a blank", [](FirstSetup &s) { s.companyCode = QStringLiteral(" 1"); }, Field::CompanyCode,
         codeWrong},
        {"code with an accent", [](FirstSetup &s) { s.companyCode = QStringLiteral("è1"); }, Field::CompanyCode,
         codeWrong},
        {"letters in the code", [](FirstSetup &s) { s.companyCode = QStringLiteral("AB"); }, std::nullopt, QString()},
        {"no name", [](FirstSetup &s) { s.companyName = QStringLiteral(" "); }, Field::CompanyName, name},
        {"no name before no user",
         [](FirstSetup &s) {
             s.companyName.clear();
             s.adminUser.clear();
         },
         Field::CompanyName, name},
        {"name fills its column", [](FirstSetup &s) { s.companyName = QString(60, u'R'); }, std::nullopt, QString()},
        {"name longer than its column", [](FirstSetup &s) { s.companyName = QString(61, u'R'); }, Field::CompanyName,
         QStringLiteral("La ragione sociale è al massimo di 60 caratteri.")},
        {"no user", [](FirstSetup &s) { s.adminUser = QStringLiteral(" "); }, Field::AdminUser, user},
        {"user code longer than its column", [](FirstSetup &s) { s.adminUser = QString(21, u'U'); }, Field::AdminUser,
         QStringLiteral("Il codice utente è al massimo di 20 caratteri.")},
        {"no user before a bad password",
         [&password](FirstSetup &s) {
             password(QStringLiteral("prezzoΩ"))(s);
             s.adminUser.clear();
         },
         Field::AdminUser, user},
        {"character the password cannot hold", password(QStringLiteral("prezzoΩ")), Field::AdminPassword, badPassword},
        {"code that scrambles to 0", password(QStringLiteral("!!!!!!!!")), Field::AdminPassword, badPassword},
        {"euro sign has a code", password(QStringLiteral("prezzo€")), std::nullopt, QString()},
        {"bad password before the mismatch",
         [](FirstSetup &s) {
             s.adminPassword = QStringLiteral("prezzoΩ");
             s.adminPasswordAgain = QStringLiteral("altro");
         },
         Field::AdminPassword, badPassword},
        {"passwords differ", [](FirstSetup &s) { s.adminPasswordAgain = QStringLiteral("Segreta"); },
         Field::AdminPassword, mismatch},
        {"empty password", password(QString()), std::nullopt, QString()},
        {"longest password", password(QString(20, u'a')), std::nullopt, QString()},
        {"password too long", password(QString(21, u'a')), Field::AdminPassword, badPassword},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FirstSetup setup = validSetup();
        c.change(setup);
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
    const auto created = createArchives(setup, prompter);
    ASSERT_TRUE(created) << created.failure().message.toStdString() << created.failure().detail.toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    if (GetParam() == Engine::Sqlite) {
        EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("SERVIZI.MDB")));
        EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("CONTAB01.MDB")));
    } else {
        EXPECT_TRUE(server->schemaExists(QStringLiteral("servizi")));
        EXPECT_TRUE(server->schemaExists(QStringLiteral("contab01")));
    }

    for (const QString &table : {Services::Tables::SOCIETA, Services::Tables::SOCIETA_CONTAB}) {
        SCOPED_TRACE(table.toStdString());
        const auto company = rows(QStringLiteral("SELECT SOCIETA, RAG_SOC1 FROM ") + table);
        ASSERT_TRUE(company);
        ASSERT_EQ(company->size(), 1);
        EXPECT_EQ(company->first().text(QStringLiteral("SOCIETA")), QStringLiteral("01"));
        EXPECT_EQ(company->first().text(QStringLiteral("RAG_SOC1")), QStringLiteral("Ditta Prova"));
    }

    const auto base = rows(QStringLiteral("SELECT * FROM ") + Services::Tables::DATIBASE);
    ASSERT_TRUE(base);
    ASSERT_EQ(base->size(), 1);
    EXPECT_EQ(base->first().text(QStringLiteral("SOCIETA")), QStringLiteral("01"));
    EXPECT_EQ(base->first().text(QStringLiteral("BANCA")), QStringLiteral("-----"));
    EXPECT_EQ(base->first().text(QStringLiteral("PERCIVA")), QStringLiteral("--"));
    EXPECT_EQ(base->first().text(QStringLiteral("LIQUIVA")), QStringLiteral("M"));
    EXPECT_EQ(base->first().integer(QStringLiteral("NUMERAZ")), -1);

    const auto users = rows(QStringLiteral("SELECT * FROM ") + Services::Tables::TAB_UTENTI);
    ASSERT_TRUE(users);
    ASSERT_EQ(users->size(), 1);
    const auto user = users->first();
    EXPECT_EQ(user.text(QStringLiteral("UTENTE")), QStringLiteral("ADMIN"));
    EXPECT_EQ(user.text(QStringLiteral("PWD")), scramblePassword(QStringLiteral("segreta")).value());
    EXPECT_EQ(unscramblePassword(user.text(QStringLiteral("PWD"))), QStringLiteral("segreta"));
    EXPECT_EQ(user.text(QStringLiteral("TIPO")), QStringLiteral("2"));
    EXPECT_EQ(user.text(QStringLiteral("DESCRIZIONE")), QStringLiteral("AMMINISTRATORE"));
    EXPECT_EQ(user.text(QStringLiteral("NOME")), QStringLiteral("ADMIN"));

    // The company's counters: this year's at 0 and the yearless ones.
    const auto counters = rows(QStringLiteral("SELECT ANNO, NOME, NUMERATORE, MAX_NUMERA FROM ") +
                               Services::Tables::NUMERA + QStringLiteral(" ORDER BY ANNO, NOME"));
    ASSERT_TRUE(counters);
    QStringList keys;
    for (const auto &row : *counters) {
        keys << row.text(QStringLiteral("ANNO")) + row.text(QStringLiteral("NOME"));
        EXPECT_EQ(row.integer(QStringLiteral("NUMERATORE")), 0);
        EXPECT_EQ(row.integer(QStringLiteral("MAX_NUMERA")), 99999);
    }
    const QString year = QString::number(setup.year);
    for (const QString &key : {QStringLiteral("****ANAC"), QStringLiteral("****ANAF"), year + QStringLiteral("NROINT"),
                               year + QStringLiteral("FVENDADOC_NA"), year + QStringLiteral("FVENDDOC_ND_PR"),
                               year + QStringLiteral("GIORNALE")})
        EXPECT_TRUE(keys.contains(key)) << key.toStdString();
}

TEST_P(FirstSetupTest, LongestPasswordIsStoredWhole)
{
    const QString password(20, u'k');
    setup.adminPassword = setup.adminPasswordAgain = password;
    const auto created = createArchives(setup, prompter);
    ASSERT_TRUE(created) << created.failure().message.toStdString() << created.failure().detail.toStdString();
    const auto users = rows(QStringLiteral("SELECT PWD FROM ") + Services::Tables::TAB_UTENTI);
    ASSERT_TRUE(users);
    ASSERT_EQ(users->size(), 1);
    EXPECT_EQ(unscramblePassword(users->first().text(QStringLiteral("PWD"))), password);
}

TEST_P(FirstSetupTest, ExistingArchivesAreNeverOverwritten)
{
    ASSERT_TRUE(createArchives(setup, prompter));
    const auto before = rows(QStringLiteral("SELECT UTENTE, PWD FROM ") + Services::Tables::TAB_UTENTI);
    ASSERT_TRUE(before);
    QByteArray servicesBytes;
    QByteArray companyBytes;
    if (GetParam() == Engine::Sqlite) {
        servicesBytes = readBytes(folder() + QStringLiteral("SERVIZI.MDB"));
        companyBytes = readBytes(folder() + QStringLiteral("CONTAB01.MDB"));
    }

    FirstSetup again = setup;
    again.companyName = QStringLiteral("Altra Ditta");
    again.adminUser = QStringLiteral("ALTRO");
    again.adminPassword = again.adminPasswordAgain = QStringLiteral("diversa");
    const auto refused = createArchives(again, prompter);
    ASSERT_FALSE(refused);
    if (GetParam() == Engine::Sqlite) {
        EXPECT_EQ(refused.failure().message,
                  QStringLiteral("L'archivio %1SERVIZI.MDB esiste già: non viene sovrascritto.").arg(folder()));
        EXPECT_EQ(readBytes(folder() + QStringLiteral("SERVIZI.MDB")), servicesBytes);
        EXPECT_EQ(readBytes(folder() + QStringLiteral("CONTAB01.MDB")), companyBytes);
    } else {
        EXPECT_EQ(refused.failure().message,
                  QStringLiteral("Gli archivi esistono già sul server: non vengono sovrascritti."));
    }
    const auto after = rows(QStringLiteral("SELECT UTENTE, PWD FROM ") + Services::Tables::TAB_UTENTI);
    ASSERT_TRUE(after);
    ASSERT_EQ(after->size(), 1);
    EXPECT_EQ(after->first().text(QStringLiteral("UTENTE")), QStringLiteral("ADMIN"));
    EXPECT_EQ(after->first().text(QStringLiteral("PWD")), before->first().text(QStringLiteral("PWD")));
    const auto company = rows(QStringLiteral("SELECT RAG_SOC1 FROM ") + Services::Tables::SOCIETA);
    ASSERT_TRUE(company);
    EXPECT_EQ(company->first().text(QStringLiteral("RAG_SOC1")), QStringLiteral("Ditta Prova"));
}

TEST_P(FirstSetupTest, CheckFailureCreatesNothing)
{
    struct Case {
        const char *name;
        QString password;
        QString again;
        QString message;
    };
    const QList<Case> cases = {
        {"passwords differ", QStringLiteral("segreta"), QStringLiteral("diversa"),
         QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe")},
        // Same answer on both engines, whatever each would store.
        {"password too long", QString(21, u'a'), QString(21, u'a'),
         QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        setup.adminPassword = c.password;
        setup.adminPasswordAgain = c.again;
        const auto refused = createArchives(setup, prompter);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.failure().message, c.message);
        if (GetParam() == Engine::Sqlite) {
            EXPECT_FALSE(QFile::exists(setup.pathDb));
        } else {
            EXPECT_FALSE(server->schemaExists(QStringLiteral("servizi")));
            EXPECT_FALSE(server->schemaExists(QStringLiteral("contab01")));
        }
    }
}

TEST_P(FirstSetupTest, ArchivesAndSettingsStartTheProgram)
{
    ASSERT_TRUE(createArchives(setup, prompter));
    QTemporaryDir appDir;
    ASSERT_TRUE(appDir.isValid());
    const QString app = appDir.path() + QLatin1Char('/');
    ASSERT_TRUE(writeFirstSettings(Services::Settings(app + QStringLiteral("CONT.INI")), setup));

    ScriptedPrompter startPrompter;
    AppContext ctx(app, startPrompter);
    int exits = 0;
    ctx.db.setExitHook([&exits](int) { ++exits; });
    FrmIniziale window(ctx);
    window.setFolderChooser([](const QString &) { return std::optional<QString>(); });
    QSignalSpy handOver(&window, &FrmIniziale::handOver);
    window.load();
    EXPECT_TRUE(startPrompter.shown().isEmpty()) << startPrompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(ctx.db.isOpen());
    EXPECT_EQ(ctx.state.company, QStringLiteral("01"));
    EXPECT_EQ(ctx.state.year, QStringLiteral("2026"));
    EXPECT_TRUE(handOver.wait(10000));
    EXPECT_EQ(exits, 0);
}

ORLAVO_FOR_EACH_ENGINE(FirstSetupTest);

TEST(FirstSetup, SqliteFileInTheWayIsLeftAsItWas)
{
    struct Case {
        const char *file;
        const char *other;
    };
    for (const Case &c : {Case{"SERVIZI.MDB", "CONTAB01.MDB"}, Case{"CONTAB01.MDB", "SERVIZI.MDB"}}) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        FirstSetup setup = validSetup();
        setup.pathDb = dir.path();
        const QString existing = dir.path() + QLatin1Char('/') + QString::fromLatin1(c.file);
        const QByteArray bytes = QByteArray("archivio di un'altra installazione\n") + QByteArray(1000, '\x01');
        ASSERT_TRUE(writeBytes(existing, bytes));
        ScriptedPrompter prompter;
        const auto refused = createArchives(setup, prompter);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.failure().message,
                  QStringLiteral("L'archivio %1 esiste già: non viene sovrascritto.").arg(existing));
        EXPECT_EQ(readBytes(existing), bytes);
        EXPECT_FALSE(QFile::exists(dir.path() + QLatin1Char('/') + QString::fromLatin1(c.other)));
    }
}

TEST(FirstSetup, ServerFailureLeavesNoSchemaBehind)
{
    if (skipPostgres())
        GTEST_SKIP() << "no PostgreSQL test server (ORLAVO_TEST_PGHOST)";
    struct Case {
        const char *name;
        bool servicesBefore;
        int year;
    };
    // A year longer than its column passes the checks and fails in the
    // middle of the first rows.
    const QList<Case> cases = {
        {"first rows fail", false, 20260},
        {"services schema already there", true, 2026},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ServerDatabase server;
        ASSERT_TRUE(server.error().isEmpty()) << server.error().toStdString();
        FirstSetup setup = validSetup();
        setup.server = true;
        setup.pathDb.clear();
        setup.serverKeys = server.keys();
        setup.year = c.year;
        ASSERT_FALSE(checkFirstSetup(setup).has_value());
        if (c.servicesBefore) {
            ASSERT_EQ(server.exec(QStringLiteral("CREATE SCHEMA servizi")), QString());
            ASSERT_EQ(server.exec(QStringLiteral("CREATE TABLE servizi.MIA (X INTEGER)")), QString());
        }
        ScriptedPrompter prompter;
        EXPECT_FALSE(createArchives(setup, prompter));
        EXPECT_EQ(server.schemaExists(QStringLiteral("servizi")), c.servicesBefore);
        EXPECT_FALSE(server.schemaExists(QStringLiteral("contab01")));
    }
}

TEST(FirstSetup, WriteFirstSettingsWritesTheNewInstallation)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Key {
        const char *section;
        const char *key;
        QString value;
    };
    struct Case {
        const char *name;
        bool server;
        QList<Key> keys;
    };
    const QList<Case> cases = {
        {"folder",
         false,
         {{"MAIN", "SOCIETA", QStringLiteral("01")},
          {"MAIN", "PATHDB", QStringLiteral("/srv/orlavo/DATI/")},
          {"MAIN", "TIPODB", QStringLiteral("ACCESS2000")},
          {"MAIN", "DB", QStringLiteral("CONTABXX.MDB")},
          {"MAIN", "DBSER", QStringLiteral("SERVIZI.MDB")},
          {"MAIN", "ANNO", QStringLiteral("2026")},
          {"MAIN", "ISOLATIONLEVEL", QStringLiteral("1")},
          {"UTENTE", "NOME", QStringLiteral("ADMIN")},
          {"POSTGRESQL", "HOST", QString()},
          {"POSTGRESQL", "DATABASE", QString()}}},
        {"server",
         true,
         {{"MAIN", "SOCIETA", QStringLiteral("01")},
          {"MAIN", "PATHDB", QString()},
          {"MAIN", "TIPODB", QStringLiteral("SQL")},
          {"MAIN", "ANNO", QStringLiteral("2026")},
          {"UTENTE", "NOME", QStringLiteral("ADMIN")},
          {"POSTGRESQL", "HOST", QStringLiteral("db.ditta.lan")},
          {"POSTGRESQL", "PORT", QStringLiteral("5433")},
          {"POSTGRESQL", "DATABASE", QStringLiteral("orlavo")},
          {"POSTGRESQL", "USER", QStringLiteral("contab")},
          {"POSTGRESQL", "PASSWORD", QString()}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".INI"));
        FirstSetup setup = validSetup();
        if (c.server) {
            setup.server = true;
            setup.serverKeys = {QStringLiteral("db.ditta.lan"), 5433, QStringLiteral("orlavo"),
                                QStringLiteral("contab"), QStringLiteral("pw")};
        }
        ASSERT_TRUE(writeFirstSettings(Services::Settings(path), setup));
        const Services::IniFile ini(path);
        for (const Key &k : c.keys) {
            SCOPED_TRACE(k.key);
            EXPECT_EQ(ini.read(QString::fromLatin1(k.section), QString::fromLatin1(k.key)), k.value);
        }
    }

    // Nowhere to write: false, and the failure is reported once.
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("afile")), "x"));
    Services::Settings blocked(dir.filePath(QStringLiteral("afile/CONT.INI")));
    int reported = 0;
    blocked.onWriteFailure([&reported](const QString &) { ++reported; });
    EXPECT_FALSE(writeFirstSettings(blocked, validSetup()));
    EXPECT_EQ(reported, 1);
}

TEST(FirstSetup, UtilityRunsWithoutWindows)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString dataFolder = home.path() + QStringLiteral("/DATI");
    const QStringList arguments = {QStringLiteral("CFG-PRIMO"),  QStringLiteral("--yes"),
                                   QStringLiteral("--folder"),   dataFolder,
                                   QStringLiteral("--company"),  QStringLiteral("01"),
                                   QStringLiteral("--name"),     QStringLiteral("Ditta Prova"),
                                   QStringLiteral("--user"),     QStringLiteral("ADMIN"),
                                   QStringLiteral("--password"), QStringLiteral("segreta")};
    const auto run = [&]() {
        QProcess utility;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORLAVO_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        utility.setProcessEnvironment(env);
        utility.start(QStringLiteral(ORLAVO_KERVUTIL), arguments);
        EXPECT_TRUE(utility.waitForFinished(60000));
        EXPECT_EQ(utility.exitStatus(), QProcess::NormalExit);
        return std::pair{utility.exitCode(), QString::fromUtf8(utility.readAllStandardError())};
    };

    const auto [code, errors] = run();
    ASSERT_EQ(code, 0) << errors.toStdString();
    const QString iniPath = home.path() + QStringLiteral("/CONT.INI");
    const Services::IniFile ini(iniPath);
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QStringLiteral("01"));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("PATHDB")), dataFolder + QLatin1Char('/'));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("TIPODB")), QStringLiteral("ACCESS2000"));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("ANNO")), QString::number(QDate::currentDate().year()));
    EXPECT_EQ(ini.read(QStringLiteral("UTENTE"), QStringLiteral("NOME")), QStringLiteral("ADMIN"));
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("/SERVIZI.MDB")));
    EXPECT_TRUE(QFile::exists(dataFolder + QStringLiteral("/CONTAB01.MDB")));

    // A second run finds the archives and changes nothing.
    const QByteArray iniBefore = readBytes(iniPath);
    const QByteArray servicesBefore = readBytes(dataFolder + QStringLiteral("/SERVIZI.MDB"));
    const auto [again, againErrors] = run();
    EXPECT_EQ(again, 1);
    EXPECT_TRUE(againErrors.contains(QStringLiteral("esiste già"))) << againErrors.toStdString();
    EXPECT_EQ(readBytes(iniPath), iniBefore);
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/SERVIZI.MDB")), servicesBefore);
}
