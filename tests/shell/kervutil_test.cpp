// The configuration utility from a terminal: no display, clear refusals.
#include "files.h"
#include "fixtures.h"
#include "services/core/inifile.h"
#include "shellfixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
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
Outcome kervutil(const QStringList &arguments, const QString &folder, const QHash<QString, QString> &extra = {})
{
    QProcess utility;
    start(utility, arguments, folder, extra);
    EXPECT_TRUE(utility.waitForFinished(60000));
    EXPECT_EQ(utility.exitStatus(), QProcess::NormalExit) << "crashed: " << arguments.join(' ').toStdString();
    return {utility.exitCode(), QString::fromUtf8(utility.readAllStandardOutput()),
            QString::fromUtf8(utility.readAllStandardError())};
}

// The options of a configuration without windows, on SQLite or on `server`.
QStringList setupArguments(const Orlavo::Testing::ServerDatabase *server)
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
        const Outcome run = kervutil(c.arguments, home.path());
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
}

} // namespace

// A whole configuration keeps a relative folder as an absolute one, and
// takes a server's password from PGPASSWORD into the password file, never
// from the command line. Killed anywhere between creating the archives and
// writing CONT.INI, it runs again to the end: what the kill left is either
// nothing, whole archives to use, or leftovers without data made again.
TEST(Kervutil, AConfigurationKilledAtAnyMomentCanBeRedone)
{
    using Orlavo::Testing::ServerDatabase;
    const bool withServer = !Orlavo::Testing::skipPostgres();
    for (const bool server : withServer ? QList<bool>{false, true} : QList<bool>{false}) {
        SCOPED_TRACE(server ? "PostgreSQL" : "SQLite");
        // How long a whole run takes here, to kill the next ones along the way.
        std::unique_ptr<ServerDatabase> database = server ? std::make_unique<ServerDatabase>() : nullptr;
        QTemporaryDir timed;
        const QString passFile = timed.filePath(QStringLiteral("pgpass"));
        QElapsedTimer clock;
        clock.start();
        const Outcome whole = kervutil(
            setupArguments(database.get()), timed.path(),
            {{QStringLiteral("PGPASSWORD"), QStringLiteral("riservata")}, {QStringLiteral("PGPASSFILE"), passFile}});
        const qint64 took = clock.elapsed();
        ASSERT_EQ(whole.code, 0) << whole.err.toStdString();
        if (server) {
            const auto keys = database->keys();
            EXPECT_EQ(QString::fromUtf8(Orlavo::Testing::readBytes(passFile)),
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

            const Outcome again = kervutil(setupArguments(database.get()), home.path());
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
