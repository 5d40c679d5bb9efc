#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/appstate.h"
#include "services/data/dataaccess.h"
#include "services/data/enginemessages.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;

namespace {

TEST(EngineMessages, CommonFailuresGetAnItalianLine)
{
    const QString busy = QStringLiteral("L'archivio è occupato da un'altra postazione: riprovare tra poco.");
    const QString readOnly =
        QStringLiteral("L'archivio è di sola lettura: controllare i permessi del file e della sua cartella.");
    const QString full = QStringLiteral("Il disco è pieno: liberare spazio e riprovare.");
    const QString damaged = QStringLiteral("L'archivio è danneggiato: ripristinarlo dall'ultimo salvataggio.");
    const QString connection = QStringLiteral(
        "Il server dati non risponde o ha chiuso il collegamento: controllare la rete e che il server sia acceso.");
    const QString auth = QStringLiteral("Il server dati ha rifiutato l'utente o la password.");
    const struct {
        Engine engine;
        const char *code, *text;
        QString line;
    } cases[] = {
        {Engine::Sqlite, "5", "database is locked", busy},
        {Engine::Sqlite, "517", "", busy}, // SQLITE_BUSY_SNAPSHOT: the primary code decides
        {Engine::Sqlite, "8", "attempt to write a readonly database", readOnly},
        {Engine::Sqlite, "13", "database or disk is full", full},
        {Engine::Sqlite, "11", "database disk image is malformed", damaged},
        {Engine::Sqlite, "", "database disk image is malformed", damaged},
        {Engine::Sqlite, "19", "UNIQUE constraint failed", QString()},
        {Engine::Postgres, "08006", "server closed the connection unexpectedly", connection},
        {Engine::Postgres, "", "could not connect to server: Connection refused", connection},
        {Engine::Postgres, "28P01", "password authentication failed for user \"x\"", auth},
        {Engine::Postgres, "55P03", "canceling statement due to lock timeout", busy},
        {Engine::Postgres, "25006", "cannot execute INSERT in a read-only transaction",
         QStringLiteral("Il server dati accetta solo letture.")},
        {Engine::Postgres, "53100", "could not extend file", QStringLiteral("Il disco del server dati è pieno.")},
        {Engine::Postgres, "23505", "duplicate key value violates unique constraint", QString()},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(italianEngineLine(c.engine, QString::fromLatin1(c.code), text), c.line) << c.code << " " << c.text;
        EXPECT_EQ(withItalianLine(c.engine, QString::fromLatin1(c.code), text),
                  c.line.isEmpty() ? text : c.line + QLatin1Char('\n') + text);
    }
}

// The whole way: a server database that is not there, told in Italian
// with the server's own words below.
TEST(EngineMessages, AFailedServerOpeningSaysWhyInItalian)
{
    const auto server = Orlavo::Testing::PgServer::fromEnvironment();
    if (!server.available() && !Orlavo::Testing::PgServer::required())
        GTEST_SKIP() << "no PostgreSQL test server";
    AppState state;
    Orlavo::Testing::RecordingPrompter prompter;
    DataAccess db(state, prompter, QString());
    int exits = 0;
    db.setExitHook([&exits](int) { ++exits; });
    ConnectionConfig config;
    config.dbType = QStringLiteral("SQL");
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.server.host = server.host;
    config.server.port = server.port;
    config.server.user = server.user;
    config.server.database = QStringLiteral("orlavo_archivio_che_non_esiste");
    EXPECT_FALSE(db.openServices(config));
    EXPECT_EQ(exits, 1);
    const QString told = prompter.texts().join(QLatin1Char('\n'));
    EXPECT_TRUE(told.contains(QStringLiteral("Il database indicato non esiste sul server.\n"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("orlavo_archivio_che_non_esiste\" does not exist"))) << told.toStdString();
}

} // namespace
