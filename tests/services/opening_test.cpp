#include "archives.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"

#include <QFile>
#include <QSqlQuery>

using namespace Orlavo;
using namespace Orlavo::Services;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;

namespace {

struct Opening {
    AppState state;
    ScriptedPrompter prompter;
    DataAccess db{state, prompter, QString()};
    int exits = 0;
    Opening()
    {
        db.setExitHook([this](int) { ++exits; });
    }
};

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// Files that are not archives: the fatal access messages name the cause,
// the program ends through its hook, and the file is left as it was.
TEST(OpeningArchives, BadServicesFileIsReportedAndLeftAlone)
{
    const struct {
        const char *name;
        QByteArray content;
        const char *cause;
    } cases[] = {
        {"text file", QByteArray("Questo non e' un archivio\r\n"), "non è un archivio del programma"},
        {"access file", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24), "archivio Access"},
        {"empty file", QByteArray(), "è vuoto"},
        {"sqlite of another program", QByteArray(), "non è un archivio dei servizi"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SERVIZI.MDB"));
        if (QByteArray(c.name) == "sqlite of another program") {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(path);
            ASSERT_TRUE(other.open());
            QSqlQuery(other).exec(QStringLiteral("CREATE TABLE CLIENTI (ID INTEGER)"));
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        } else {
            writeBytes(path, c.content);
        }
        const QByteArray before = bytesOf(path);

        Opening o;
        ConnectionConfig config;
        config.dbType = QStringLiteral("ACCESS2000");
        config.pathDb = dir.path() + QLatin1Char('/');
        config.servicesFile = QStringLiteral("SERVIZI.MDB");
        EXPECT_FALSE(o.db.openServices(config));
        EXPECT_EQ(o.exits, 1);
        ASSERT_EQ(o.prompter.shown().size(), 2);
        EXPECT_TRUE(o.prompter.texts()[0].startsWith(QStringLiteral("Errore durante l'accesso ai dati;")));
        EXPECT_TRUE(o.prompter.texts()[1].contains(QString::fromUtf8(c.cause))) << o.prompter.texts()[1].toStdString();
        EXPECT_EQ(bytesOf(path), before);
        EXPECT_FALSE(o.db.isOpen());
    }
}

TEST(OpeningArchives, MissingFileIsNotCreated)
{
    QTemporaryDir dir;
    Opening o;
    ConnectionConfig config;
    config.dbType = QStringLiteral("ACCESS");
    config.pathDb = dir.path() + QLatin1Char('/');
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    EXPECT_FALSE(o.db.openServices(config));
    EXPECT_EQ(o.exits, 1);
    EXPECT_TRUE(o.prompter.texts().value(1).contains(QStringLiteral("non esiste")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("SERVIZI.MDB"))));
}

TEST(OpeningArchives, UnknownTypeAndUnreachableServerAreFatal)
{
    {
        Opening o;
        ConnectionConfig config;
        config.dbType = QStringLiteral("ORACLE");
        EXPECT_FALSE(o.db.openServices(config));
        EXPECT_EQ(o.exits, 1);
        EXPECT_TRUE(o.prompter.texts().value(1).contains(QStringLiteral("Tipo di database non gestito: \"ORACLE\"")));
    }
    {
        QTemporaryDir nowhere;
        Opening o;
        ConnectionConfig config;
        config.dbType = QStringLiteral("SQL");
        config.server.host = nowhere.path(); // a socket folder with no server
        config.server.database = QStringLiteral("orlavo");
        EXPECT_FALSE(o.db.openServices(config));
        EXPECT_EQ(o.exits, 1);
        EXPECT_TRUE(o.prompter.texts().value(1).contains(QStringLiteral("Server dati non raggiungibile")));
    }
}

TEST(OpeningArchives, CompanyWithoutItsFileIsFatal)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready());
    Opening o;
    ASSERT_TRUE(o.db.openServices(archives.config()));
    EXPECT_FALSE(o.db.openCompany(QStringLiteral("02")));
    EXPECT_EQ(o.exits, 1);
    EXPECT_TRUE(o.prompter.texts().value(1).contains(QStringLiteral("CONTAB02.MDB non esiste")));
    EXPECT_FALSE(QFile::exists(archives.folder() + QStringLiteral("CONTAB02.MDB")));
    EXPECT_FALSE(o.db.openCompany(QStringLiteral("../")));
}

class SchemaUpgrade : public ::testing::TestWithParam<Engine>
{
};

// An archive made by an older program gains the missing steps when opened;
// one made by a newer program is refused untouched.
TEST_P(SchemaUpgrade, OlderArchiveIsBroughtUpToDateNewerIsRefused)
{
    if (GetParam() == Engine::Postgres && !PgServer::fromEnvironment().available() && !PgServer::required())
        GTEST_SKIP() << "no PostgreSQL test server";
    TestArchives archives(GetParam(), 1);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    ASSERT_GE(Schema::latestVersion(SchemaKind::Services), 2);
    {
        Opening o;
        ASSERT_TRUE(o.db.openServices(archives.config()));
        ASSERT_TRUE(o.db.openCompany(QStringLiteral("01")));
        auto version = o.db.openRecordset(QStringLiteral("SELECT VERSIONE FROM servizi.VERSIONE_SCHEMA"), {}, Services::Target::Services);
        ASSERT_TRUE(version);
        EXPECT_EQ(version->first().integer(QStringLiteral("VERSIONE")), Schema::latestVersion(SchemaKind::Services));
    }
    EXPECT_EQ(archives.count(Tables::TAB_PROV), 108);
    EXPECT_EQ(
        archives.scalar(QStringLiteral("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'AQ'")).toString(),
        QStringLiteral("L'AQUILA"));

    {
        Opening o;
        ASSERT_TRUE(o.db.openServices(archives.config()));
        ASSERT_TRUE(o.db.openCompany(QStringLiteral("01")));
        ASSERT_TRUE(o.db.beginTransBoth());
        ASSERT_EQ(o.db.executeSqlServices(QStringLiteral("UPDATE servizi.VERSIONE_SCHEMA SET VERSIONE = ?"), {99}), 0);
        ASSERT_TRUE(o.db.commitTransBoth());
    }
    Opening o;
    EXPECT_FALSE(o.db.openServices(archives.config()));
    EXPECT_EQ(o.exits, 1);
    EXPECT_TRUE(o.prompter.texts().value(1).contains(QStringLiteral("versione più recente")));
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaUpgrade, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         Orlavo::Testing::engineName);

TEST(SchemaScript, SplitsAtLineEndSemicolonsAndDropsComments)
{
    const QStringList statements = Schema::splitStatements(QStringLiteral(
        "-- a comment; with a semicolon\nCREATE TABLE A (X INTEGER);\n\nINSERT INTO A VALUES (1),\n  (2);  \n"
        "INSERT INTO T VALUES ('a;b');"));
    ASSERT_EQ(statements.size(), 3);
    EXPECT_EQ(statements[0], QStringLiteral("CREATE TABLE A (X INTEGER)"));
    EXPECT_EQ(statements[1], QStringLiteral("INSERT INTO A VALUES (1),\n  (2)"));
    EXPECT_EQ(statements[2], QStringLiteral("INSERT INTO T VALUES ('a;b')"));
}
