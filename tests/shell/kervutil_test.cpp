// The configuration utility from a terminal: no display, clear refusals.
#include "services/core/inifile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

// kervutil with no display at all, in `folder`, its home there too.
Outcome kervutil(const QStringList &arguments, const QString &folder)
{
    QProcess utility;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("ORLAVO_HOME"), folder);
    utility.setProcessEnvironment(env);
    utility.setWorkingDirectory(folder);
    utility.start(QStringLiteral(ORLAVO_KERVUTIL), arguments);
    EXPECT_TRUE(utility.waitForFinished(60000));
    EXPECT_EQ(utility.exitStatus(), QProcess::NormalExit) << "crashed: " << arguments.join(' ').toStdString();
    return {utility.exitCode(), QString::fromUtf8(utility.readAllStandardOutput()),
            QString::fromUtf8(utility.readAllStandardError())};
}

TEST(Kervutil, HelpNeedsNoDisplay)
{
    QTemporaryDir home;
    const Outcome run = kervutil({QStringLiteral("--help")}, home.path());
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Uso: kervutil CFG-PRIMO"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("--engine <valore>")));
}

TEST(Kervutil, BadInputIsRefusedWithExitCodeTwoAndNothingWritten)
{
    const QStringList valid = {QStringLiteral("CFG-PRIMO"), QStringLiteral("--yes"), QStringLiteral("--folder"),
                               QStringLiteral("DATI"),      QStringLiteral("--name"), QStringLiteral("Ditta")};
    const struct {
        const char *name;
        QStringList arguments;
        QString message;
    } cases[] = {
        {"no command", {QStringLiteral("--yes")}, QStringLiteral("Uso: kervutil CFG-PRIMO")},
        {"unknown option", valid + QStringList{QStringLiteral("--colore")},
         QStringLiteral("Opzione sconosciuta: --colore")},
        {"option without value", {QStringLiteral("CFG-PRIMO"), QStringLiteral("--engine")},
         QStringLiteral("Opzione senza valore: --engine")},
        {"unknown engine", valid + QStringList{QStringLiteral("--password"), QStringLiteral("x"),
                                               QStringLiteral("--engine"), QStringLiteral("mysql")},
         QStringLiteral("Motore sconosciuto: \"mysql\". Indicare --engine sqlite oppure --engine postgresql.")},
        {"no administrator password", valid,
         QStringLiteral("Manca la password dell'amministratore: indicarla con --password.")},
        {"bad company code", valid + QStringList{QStringLiteral("--password"), QStringLiteral("x"),
                                                 QStringLiteral("--company"), QStringLiteral("A")},
         QStringLiteral("Il codice della società è di due caratteri, lettere o cifre.")},
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

TEST(Kervutil, ARelativeFolderIsStoredAbsolute)
{
    QTemporaryDir home;
    const Outcome run = kervutil({QStringLiteral("CFG-PRIMO"), QStringLiteral("--yes"), QStringLiteral("--folder"),
                              QStringLiteral("archivi"), QStringLiteral("--name"), QStringLiteral("Ditta"),
                              QStringLiteral("--password"), QStringLiteral("segreta")},
                             home.path());
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString folder = QDir(home.path()).absoluteFilePath(QStringLiteral("archivi"));
    EXPECT_EQ(Orlavo::Services::IniFile(home.filePath(QStringLiteral("CONT.INI")))
                  .read(QStringLiteral("MAIN"), QStringLiteral("PATHDB")),
              folder + QLatin1Char('/'));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/SERVIZI.MDB")));
}

} // namespace
