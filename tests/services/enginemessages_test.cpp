#include "services/data/dataaccess.h"
#include "services/data/enginemessages.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;

namespace {

// One case per way a line is found: the code, the primary code of an
// extended one, the text when the code says nothing; none for the rest.
TEST(EngineMessages, CommonFailuresGetAnItalianLine)
{
    const QString busy = QStringLiteral("L'archivio è occupato da un'altra postazione: riprovare tra poco.");
    const QString damaged = QStringLiteral("L'archivio è danneggiato: ripristinarlo dall'ultimo salvataggio.");
    const QString connection = QStringLiteral(
        "Il server dati non risponde o ha chiuso il collegamento: controllare la rete e che il server sia acceso.");
    const struct {
        Engine engine;
        const char *code, *text;
        QString line;
    } cases[] = {
        {Engine::Sqlite, "5", "database is locked", busy},
        {Engine::Sqlite, "517", "", busy}, // SQLITE_BUSY_SNAPSHOT: the primary code decides
        {Engine::Sqlite, "", "database disk image is malformed", damaged},
        {Engine::Sqlite, "19", "UNIQUE constraint failed", QString()},
        {Engine::Postgres, "08006", "server closed the connection unexpectedly", connection},
        {Engine::Postgres, "", "could not connect to server: Connection refused", connection},
        {Engine::Postgres, "23505", "duplicate key value violates unique constraint", QString()},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(italianEngineLine(c.engine, QString::fromLatin1(c.code), text), c.line) << c.code << " " << c.text;
        EXPECT_EQ(withItalianLine(c.engine, QString::fromLatin1(c.code), text),
                  c.line.isEmpty() ? text : c.line + QLatin1Char('\n') + text);
    }
}

} // namespace
