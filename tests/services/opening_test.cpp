#include "archives.h"
#include "files.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"

#include <QFile>

#include <gtest/gtest.h>

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
    // Refused with the fatal access messages, the second naming the cause.
    void expectFatal(const QString &cause) const
    {
        EXPECT_EQ(exits, 1);
        ASSERT_EQ(prompter.shown().size(), 2) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(prompter.texts()[0].startsWith(QStringLiteral("Errore durante l'accesso ai dati;")));
        EXPECT_TRUE(prompter.texts()[1].contains(cause)) << prompter.texts()[1].toStdString();
        EXPECT_FALSE(db.isOpen());
    }
};

} // namespace

// What is not a services archive, or cannot be reached, is fatal; a file
// is left as it was, and a missing one is not created; a server database
// that is not there is told in Italian. Damage inside a company archive is
// found when it opens, not after a record is typed (a missing file is the
// services archive's case: one check for both); a code that names no
// company archive is refused.
TEST(OpeningArchives, BadArchivesOrAWrongCodeAreFatalAndLeftAlone)
{
    const QByteArray none;
    const TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready());
    const QString company = archives.folder() + QStringLiteral("CONTAB01.MDB");
    const PgServer server = PgServer::fromEnvironment();
    const std::tuple<const char *, const char *, QByteArray, QString> cases[] = {
        {"text file", "ACCESS2000", "Questo non e' un archivio\r\n",
         "non è leggibile: danneggiato o di un altro programma"},
        {"access file", "ACCESS2000", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24),
         "archivio Access"},
        {"empty file", "ACCESS2000", "", "è vuoto"},
        {"company archive", "ACCESS2000", Testing::readBytes(company), "non è un archivio dei servizi"},
        {"missing file", "ACCESS", none, "non esiste"},
        {"unknown type", "ORACLE", none, "Tipo di database non gestito: \"ORACLE\""},
        {"unreachable server", "SQL", none, "Server dati non raggiungibile"},
        {"missing server database", "SQL", none, "Il database indicato non esiste sul server.\n"},
    };
    for (const auto &[name, type, content, cause] : cases) {
        SCOPED_TRACE(name);
        const bool onServer = QByteArray(name) == "missing server database";
        if (onServer && !server.available() && !PgServer::required())
            continue;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SERVIZI.MDB"));
        if (!content.isNull()) {
            ASSERT_TRUE(Testing::writeBytes(path, content));
        }
        const QByteArray before = Testing::readBytes(path);

        Opening o;
        ConnectionConfig config;
        config.dbType = QLatin1String(type);
        config.pathDb = dir.path() + QLatin1Char('/');
        config.servicesFile = QStringLiteral("SERVIZI.MDB");
        config.server.host = onServer ? server.host : dir.path(); // else a socket folder with no server
        config.server.port = server.port;
        config.server.user = server.user;
        config.server.database = QStringLiteral("orlavo_archivio_che_non_esiste");
        EXPECT_FALSE(o.db.openServices(config));
        o.expectFatal(cause);
        EXPECT_EQ(Testing::readBytes(path), before);
        EXPECT_EQ(QFile::exists(path), !before.isNull() || !content.isNull());
    }

    {
        // A page of noise in the middle of the file, as a failing disk leaves it.
        QFile file(company);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2 / 4096 * 4096));
        ASSERT_EQ(file.write(QByteArray(4096, '\xFF')), 4096);
    }
    const std::pair<const char *, QString> companies[] = {
        {"01", QStringLiteral("L'archivio %1 è danneggiato: ripristinarlo dall'ultimo salvataggio.").arg(company)},
        {"../", QStringLiteral("Codice società non valido: \"../\".")},
    };
    for (const auto &[code, told] : companies) {
        SCOPED_TRACE(code);
        Opening o;
        ASSERT_TRUE(o.db.openServices(archives.config()));
        EXPECT_FALSE(o.db.openCompany(QLatin1String(code)));
        o.expectFatal(told);
    }
}

using SchemaUpgrade = ::testing::TestWithParam<Engine>;

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
        EXPECT_EQ(archives.scalar(QStringLiteral("SELECT VERSIONE FROM servizi.VERSIONE_SCHEMA")).toInt(),
                  Schema::latestVersion(SchemaKind::Services));
        EXPECT_EQ(archives.count(Tables::TAB_PROV), 108);
        ASSERT_EQ(o.db.executeSqlServices(QStringLiteral("UPDATE servizi.VERSIONE_SCHEMA SET VERSIONE = ?"), {99}), 0);
    }
    Opening o;
    EXPECT_FALSE(o.db.openServices(archives.config()));
    o.expectFatal(QStringLiteral("versione più recente"));
}

ORLAVO_FOR_EACH_ENGINE(SchemaUpgrade);
