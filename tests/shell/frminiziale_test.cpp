#include "files.h"
#include "shell/windows/frminiziale.h"

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/inifile.h"
#include "shellfixtures.h"
#include "ui/appcontext.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Services::Prompter;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;

using Orlavo::Testing::folderEntries;
using Orlavo::Testing::readBytes;
using Orlavo::Testing::writeBytes;

namespace {

const QString kMain = QStringLiteral("MAIN");
const QString kFirstRunQuestion =
    QStringLiteral("Prima esecuzione dell'applicazione: \nSi vuole procedere con la configurazione guidata ? ");
const QString kFirstRunRefused =
    QStringLiteral("E' necessario effettuare la configurazione guidata \nper poter utilizzare il programma. ");

// One start of the program: its own application folder and CONT.INI, a
// scripted prompter, and the exit, the launcher and the folder chooser
// recorded instead of acting.
struct Startup {
    Startup()
    {
        ctx.db.setExitHook([this](int) { ++exits; });
        // Each start as the program followed by its arguments.
        window.setLauncher([this](const QString &program, const QStringList &arguments) {
            launches.append(QStringList{program} + arguments);
            return launchSucceeds;
        });
        window.setFolderChooser([this](const QString &current) {
            chooserAsked.append(current);
            return chosenFolder;
        });
    }

    QString folder() const { return appDir.path() + QLatin1Char('/'); }
    QString iniPath() const { return folder() + QStringLiteral("CONT.INI"); }
    void set(const QString &key, const QString &value, const QString &section = kMain) const
    {
        ASSERT_TRUE(Services::IniFile(iniPath()).write(section, key, value));
    }
    QString get(const QString &key) const { return ctx.settings.read(kMain, key); }
    // CONT.INI for archives ready to open, on either engine.
    void setArchives(const TestArchives &archives) const
    {
        set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
        if (archives.engine() == Engine::Sqlite) {
            set(QStringLiteral("TIPODB"), QStringLiteral("ACCESS2000"));
            set(QStringLiteral("PATHDB"), archives.folder());
            return;
        }
        const Services::ServerKeys keys = archives.config().server;
        const QString pg = QStringLiteral("POSTGRESQL");
        set(QStringLiteral("TIPODB"), QStringLiteral("SQL"));
        set(QStringLiteral("HOST"), keys.host, pg);
        set(QStringLiteral("PORT"), QString::number(keys.port), pg);
        set(QStringLiteral("DATABASE"), keys.database, pg);
        set(QStringLiteral("USER"), keys.user, pg);
    }

    QTemporaryDir appDir;
    ScriptedPrompter prompter;
    AppContext ctx{folder(), prompter};
    FrmIniziale window{ctx};
    QSignalSpy handOver{&window, &FrmIniziale::handOver};
    QSignalSpy finished{&window, &FrmIniziale::finished};
    int exits = 0;
    QList<QStringList> launches;
    bool launchSucceeds = true;
    QStringList chooserAsked;
    std::optional<QString> chosenFolder;
};

} // namespace

TEST(FrmIniziale, FirstRunOffersTheConfigurationUtility)
{
    const QString cannotStart = QStringLiteral("Impossibile avviare il programma di configurazione:\n");
    const struct {
        const char *name;
        std::optional<QByteArray> ini; // nullopt: no CONT.INI
        Prompter::Button answer;
        bool launchSucceeds;
        QString second; // the message after the question
    } cases[] = {
        {"no CONT.INI, yes", std::nullopt, Prompter::Button::Yes, true, {}},
        {"no SOCIETA, no", QByteArray("[MAIN]\r\nTIPODB=ACCESS2000\r\n"), Prompter::Button::No, true, kFirstRunRefused},
        {"utility does not start", QByteArray("[MAIN]\r\n"), Prompter::Button::Yes, false, cannotStart},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Startup start;
        ASSERT_TRUE(!c.ini || writeBytes(start.iniPath(), *c.ini));
        start.prompter.queue(c.answer);
        start.launchSucceeds = c.launchSucceeds;

        start.window.load();

        const QString utility = start.window.configurationUtility();
        const QStringList texts = {kFirstRunQuestion, c.second.startsWith(cannotStart) ? c.second + utility : c.second};
        EXPECT_EQ(start.prompter.texts(), c.second.isEmpty() ? texts.mid(0, 1) : texts);
        EXPECT_EQ(start.prompter.shown().first().buttons, Prompter::Buttons::YesNo);
        const bool yes = c.answer == Prompter::Button::Yes;
        EXPECT_TRUE(utility.endsWith(QStringLiteral("kervutil")));
        const QStringList launch = {utility, QStringLiteral("CFG-PRIMO")};
        EXPECT_EQ(start.launches, yes ? QList<QStringList>{launch} : QList<QStringList>());
        // Waiting for the utility, or ending at once: no main window follows.
        EXPECT_FALSE(start.window.normalStart());
        EXPECT_TRUE(c.second.isEmpty() || start.finished.wait(10000));
        EXPECT_EQ(start.handOver.count(), 0);
        // Nothing is opened, created or written on a first run.
        EXPECT_FALSE(start.ctx.db.isOpen());
        EXPECT_TRUE(start.exits == 0 && start.chooserAsked.isEmpty());
        EXPECT_EQ(readBytes(start.iniPath()), c.ini.value_or(QByteArray()));
        EXPECT_EQ(folderEntries(start.folder()), c.ini ? QStringList{QStringLiteral("CONT.INI")} : QStringList());
    }
}

TEST(FrmIniziale, LoadReadsTheSettingsAsksForTheFolderAndWritesDefaultsBack)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    QString chosen = archives.folder();
    chosen.chop(1);
    Startup start;
    start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
    start.set(QStringLiteral("PATHDB"), QString());
    start.set(QStringLiteral("NUMRIGHETAB"), QStringLiteral("abc"));
    start.set(QStringLiteral("NUMRIGHELIST"), QStringLiteral("35x"));
    start.chosenFolder = chosen;

    start.window.load();

    const Services::AppState &state = start.ctx.state;
    const QString app = start.folder();
    EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(start.chooserAsked, QStringList{app});
    EXPECT_EQ(state.pathDb, chosen + QLatin1Char('/'));
    EXPECT_EQ(state.dbType, QStringLiteral("ACCESS"));
    EXPECT_EQ(std::pair(state.rowsTab, state.rowsList), std::pair(10, 35));
    // KEY=value in CONT.INI afterwards: the defaults written back, what the
    // file held kept as it was.
    const QString written =
        QStringLiteral("PATHDB=%1/;TIPODB=Access;NUMRIGHETAB=10;NUMRIGHELIST=35x;SOCIETA=01").arg(chosen);
    for (const QString &pair : written.split(QLatin1Char(';'))) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        EXPECT_EQ(key + QLatin1Char('=') + start.get(key), pair);
    }
    EXPECT_TRUE(start.ctx.db.isOpen() && start.window.normalStart());
    // Half a second later, the main window.
    EXPECT_EQ(start.handOver.count(), 0);
    ASSERT_TRUE(start.handOver.wait(10000));
    EXPECT_EQ(start.finished.count() + start.exits, 0);

    // The DATI folder beside the program is proposed.
    Startup withData;
    withData.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
    ASSERT_TRUE(QDir(withData.folder()).mkdir(QStringLiteral("DATI")));
    withData.window.load();
    EXPECT_EQ(withData.chooserAsked, QStringList{withData.folder() + QStringLiteral("DATI")});
}

TEST(FrmIniziale, AFolderWithoutTheArchivesBringsTheFolderWindowBack)
{
    QTemporaryDir empty;
    const QString moved = empty.path() + QLatin1Char('/');
    const QString question = QStringLiteral("Nella cartella %1 non c'è l'archivio dei servizi (SERVIZI.MDB).\n"
                                            "Usarla ugualmente come cartella degli archivi?");

    // The stored folder lost its archives: said, then the folder window
    // from there; a folder without archives is asked about (No: choose
    // again); none chosen: the program just ends.
    Startup start;
    start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
    start.set(QStringLiteral("PATHDB"), moved);
    QStringList offered = {moved};
    start.window.setFolderChooser([&](const QString &current) -> std::optional<QString> {
        start.chooserAsked << current;
        return offered.isEmpty() ? std::nullopt : std::optional(offered.takeFirst());
    });
    start.prompter.queue(Prompter::Button::Ok);
    start.prompter.queue(Prompter::Button::No);
    start.window.load();
    EXPECT_EQ(start.prompter.texts(),
              (QStringList{QStringLiteral("Nella cartella degli archivi %1 non c'è l'archivio dei servizi "
                                          "(SERVIZI.MDB).\nIndicare la cartella che contiene gli archivi.")
                               .arg(moved),
                           question.arg(moved)}));
    EXPECT_EQ(start.chooserAsked, (QStringList{moved, moved}));
    EXPECT_EQ(start.get(QStringLiteral("PATHDB")), moved);
    EXPECT_FALSE(start.ctx.db.isOpen());
    EXPECT_EQ(start.finished.count(), 1);
    EXPECT_EQ(start.exits, 0);
}

class FrmInizialeEngineTest : public Orlavo::Testing::EngineTest
{
};

TEST_P(FrmInizialeEngineTest, OpensTheServicesAtTheIsolationLevelAndHandsOver)
{
    // The level the server works at; nothing weaker than read committed
    // exists there, and an unknown level leaves its default.
    const std::pair<const char *, const char *> cases[] = {
        {"3", "repeatable read"}, {"4", "serializable"}, {"1", "read committed"}, {"7", "read committed"}};
    for (const auto &[setting, server] : cases) {
        SCOPED_TRACE(setting);
        Startup start;
        start.setArchives(*archives);
        start.set(QStringLiteral("ISOLATIONLEVEL"), QString::fromLatin1(setting));

        start.window.load();

        EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(start.ctx.db.isOpen());
        EXPECT_EQ(start.ctx.state.serverDb, GetParam() == Engine::Postgres);
        if (GetParam() == Engine::Postgres) {
            QSqlQuery query(start.ctx.db.connection());
            ASSERT_TRUE(query.exec(QStringLiteral("SHOW transaction_isolation")) && query.next());
            EXPECT_EQ(query.value(0).toString(), QLatin1String(server));
        }
        ASSERT_TRUE(start.handOver.wait(10000));
        EXPECT_EQ(start.finished.count() + start.exits, 0);
    }
}

ORLAVO_FOR_EACH_ENGINE(FrmInizialeEngineTest);
