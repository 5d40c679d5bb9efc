#include "files.h"
#include "shell/windows/frminiziale.h"

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/inifile.h"
#include "ui/appcontext.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Services::Isolation;
using Orlavo::Services::Prompter;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;

using Orlavo::Testing::writeBytes;
using Orlavo::Testing::readBytes;

namespace {

const QString kMain = QStringLiteral("MAIN");
const QString kFirstRunQuestion =
    QStringLiteral("Prima esecuzione dell'applicazione: \nSi vuole procedere con la configurazione guidata ? ");
const QString kFirstRunRefused =
    QStringLiteral("E' necessario effettuare la configurazione guidata \nper poter utilizzare il programma. ");
const QString kAccessMessage = QStringLiteral("Errore durante l'accesso ai dati;\nControllare che la rete funzioni "
                                              "corretamente, \nche il Server Dati sia attivo. \nSe il problema "
                                              "persiste consultare il fornitore del programma.");

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// One start of the program: its own application folder and CONT.INI, a
// scripted prompter, and the exit, the launcher and the folder chooser
// recorded instead of acting.
struct Startup {
    struct Launch {
        QString program;
        QStringList arguments;
    };

    Startup()
    {
        ctx.db.setExitHook([this](int) { ++exits; });
        window.setLauncher([this](const QString &program, const QStringList &arguments) {
            launches.append({program, arguments});
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
    QString get(const QString &key, const QString &section = kMain) const
    {
        return Services::IniFile(iniPath()).read(section, key);
    }
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
    int exits = 0;
    QList<Launch> launches;
    bool launchSucceeds = true;
    QStringList chooserAsked;
    std::optional<QString> chosenFolder;
};

bool skipPostgres()
{
    return !PgServer::fromEnvironment().available() && !PgServer::required();
}

} // namespace

TEST(FrmIniziale, FirstRunOffersTheConfigurationUtility)
{
    struct Case {
        const char *name;
        bool writeIni;
        QString company;
        Prompter::Button answer;
        bool launchSucceeds;
    };
    const QList<Case> cases = {
        {"no CONT.INI, yes", false, QString(), Prompter::Button::Yes, true},
        {"no SOCIETA, yes", true, QString(), Prompter::Button::Yes, true},
        {"SOCIETA NotFound, no", true, QStringLiteral("NotFound"), Prompter::Button::No, true},
        {"no SOCIETA, no", true, QString(), Prompter::Button::No, true},
        {"no SOCIETA, utility does not start", true, QString(), Prompter::Button::Yes, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir data;
        ASSERT_TRUE(data.isValid());
        Startup start;
        if (c.writeIni) {
            start.set(QStringLiteral("PATHDB"), data.path() + QLatin1Char('/'));
            start.set(QStringLiteral("TIPODB"), QStringLiteral("ACCESS2000"));
            if (!c.company.isNull())
                start.set(QStringLiteral("SOCIETA"), c.company);
        }
        const QByteArray iniBefore = readBytes(start.iniPath());
        start.prompter.queue(c.answer);
        start.launchSucceeds = c.launchSucceeds;
        QSignalSpy handOver(&start.window, &FrmIniziale::handOver);
        QSignalSpy finished(&start.window, &FrmIniziale::finished);

        start.window.load();

        ASSERT_GE(start.prompter.shown().size(), 1);
        const ScriptedPrompter::Shown question = start.prompter.shown().first();
        EXPECT_EQ(question.text, kFirstRunQuestion);
        EXPECT_EQ(question.title, QStringLiteral("Orlavo"));
        EXPECT_EQ(question.icon, Prompter::Icon::Question);
        EXPECT_EQ(question.buttons, Prompter::Buttons::YesNo);
        EXPECT_FALSE(start.window.normalStart());
        EXPECT_TRUE(start.window.timerActive());

        if (c.answer == Prompter::Button::Yes) {
            ASSERT_EQ(start.launches.size(), 1);
            EXPECT_TRUE(start.launches.first().program.endsWith(QStringLiteral("kervutil")));
            EXPECT_EQ(start.launches.first().program, start.window.configurationUtility());
            EXPECT_EQ(start.launches.first().arguments, QStringList{QStringLiteral("CFG-PRIMO")});
        } else {
            EXPECT_TRUE(start.launches.isEmpty());
        }
        if (c.answer == Prompter::Button::Yes && c.launchSucceeds) {
            EXPECT_EQ(start.prompter.shown().size(), 1);
            EXPECT_EQ(start.window.timerInterval(), 5000);
        } else {
            ASSERT_EQ(start.prompter.shown().size(), 2);
            const ScriptedPrompter::Shown second = start.prompter.shown().at(1);
            if (c.answer == Prompter::Button::No) {
                EXPECT_EQ(second.text, kFirstRunRefused);
                EXPECT_EQ(second.icon, Prompter::Icon::Warning);
            } else {
                EXPECT_EQ(second.text, QStringLiteral("Impossibile avviare il programma di configurazione:\n") +
                                           start.window.configurationUtility());
                EXPECT_EQ(second.icon, Prompter::Icon::Critical);
            }
            EXPECT_EQ(second.title, QStringLiteral("Orlavo"));
            EXPECT_EQ(start.window.timerInterval(), 500);
            // The program ends when the timer fires; no main window follows.
            EXPECT_TRUE(finished.wait(10000));
            EXPECT_EQ(handOver.count(), 0);
        }

        // Nothing is opened, created or written on a first run.
        EXPECT_FALSE(start.ctx.db.isOpen());
        EXPECT_EQ(start.exits, 0);
        EXPECT_TRUE(start.chooserAsked.isEmpty());
        EXPECT_EQ(entriesOf(data.path()), QStringList());
        EXPECT_EQ(readBytes(start.iniPath()), iniBefore);
        EXPECT_EQ(QFile::exists(start.iniPath()), c.writeIni);
        EXPECT_FALSE(QFile::exists(start.folder() + QStringLiteral("CONT.LOG")));
    }
}

TEST(FrmIniziale, GarbageSettingsFileIsAFirstRun)
{
    QByteArray everyByte;
    for (int round = 0; round < 8; ++round)
        for (int b = 0; b < 256; ++b)
            everyByte.append(char(b));
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"binary bytes", everyByte},
        {"100 000-character lines", "[MAIN]\n" + QByteArray(100000, 'S') + "\nPATHDB=" + QByteArray(100000, '/') +
                                        "\n" + QByteArray(100000, '[') + "\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Startup start;
        ASSERT_TRUE(writeBytes(start.iniPath(), c.bytes));
        start.prompter.queue(Prompter::Button::No);
        start.window.load();
        ASSERT_EQ(start.prompter.texts(), (QStringList{kFirstRunQuestion, kFirstRunRefused}));
        EXPECT_FALSE(start.ctx.db.isOpen());
        EXPECT_EQ(readBytes(start.iniPath()), c.bytes);
    }
}

TEST(FrmIniziale, LoadReadsTheSettingsAndWritesDefaultsBack)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    QString pathDb = archives.folder();
    pathDb.chop(1);

    Startup start;
    start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
    start.set(QStringLiteral("PATHDB"), pathDb);
    start.set(QStringLiteral("TIPODB"), QStringLiteral("access2000"));
    start.set(QStringLiteral("NUMRIGHETAB"), QStringLiteral("abc"));
    start.set(QStringLiteral("ANNO"), QStringLiteral("2026"));
    QSignalSpy handOver(&start.window, &FrmIniziale::handOver);
    QSignalSpy finished(&start.window, &FrmIniziale::finished);

    start.window.load();

    const Services::AppState &state = start.ctx.state;
    const QString app = start.folder();
    EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(state.pathDb, pathDb + QLatin1Char('/'));
    EXPECT_EQ(state.dbType, QStringLiteral("ACCESS2000"));
    EXPECT_FALSE(state.serverDb);
    EXPECT_EQ(state.rowsTab, 10);
    EXPECT_EQ(state.rowsList, 20);
    EXPECT_EQ(state.isolation, Isolation::Chaos);
    EXPECT_EQ(state.company, QStringLiteral("01"));
    EXPECT_EQ(state.year, QStringLiteral("2026"));
    EXPECT_EQ(state.pathIco, app + QStringLiteral("BMP/"));
    EXPECT_EQ(state.pathRpt, app + QStringLiteral("RPT/"));
    EXPECT_EQ(state.pathRptPers, app + QStringLiteral("RPTPERS/"));
    EXPECT_EQ(state.pathImage, app + QStringLiteral("IMAGE/"));
    EXPECT_EQ(state.dbServicesName, QStringLiteral("SERVIZI.MDB"));
    EXPECT_EQ(state.backgroundFile, QStringLiteral("sfondo2.bmp"));
    EXPECT_EQ(state.vatRoundUp, QStringLiteral("NO"));
    EXPECT_EQ(state.icon, app + QStringLiteral("BMP/ICON3.ICO"));
    EXPECT_EQ(state.iconForms, app + QStringLiteral("BMP/ICON3.ICO"));

    struct Written {
        const char *key;
        QString value;
    };
    const QList<Written> written = {
        {"NUMRIGHETAB", QStringLiteral("10")},
        {"NUMRIGHELIST", QStringLiteral("20")},
        {"ISOLATIONLEVEL", QStringLiteral("1")},
        {"PATHICO", app + QStringLiteral("BMP/")},
        {"PATHRPT", app + QStringLiteral("RPT/")},
        {"PATHRPTPERS", app + QStringLiteral("RPTPERS/")},
        {"PATHIMAGE", app + QStringLiteral("IMAGE/")},
        {"DB", QStringLiteral("CONTABXX.MDB")},
        {"DBSER", QStringLiteral("SERVIZI.MDB")},
        {"SFONDOINI", QStringLiteral("sfondo2.bmp")},
        {"ARROTIVASUPERIORE", QStringLiteral("NO")},
        {"ICONA", app + QStringLiteral("BMP/ICON3.ICO")},
        {"ICONAF", app + QStringLiteral("BMP/ICON3.ICO")},
        // What the file held stays as it was.
        {"TIPODB", QStringLiteral("access2000")},
        {"PATHDB", pathDb},
        {"SOCIETA", QStringLiteral("01")},
    };
    for (const Written &w : written) {
        SCOPED_TRACE(w.key);
        EXPECT_EQ(start.get(QString::fromLatin1(w.key)), w.value);
    }

    EXPECT_TRUE(start.ctx.db.isOpen());
    EXPECT_EQ(start.ctx.db.engine(), Engine::Sqlite);
    EXPECT_TRUE(start.window.normalStart());
    EXPECT_EQ(start.window.timerInterval(), 500);
    EXPECT_TRUE(start.chooserAsked.isEmpty());
    EXPECT_EQ(handOver.count(), 0);
    ASSERT_TRUE(handOver.wait(10000));
    EXPECT_EQ(handOver.count(), 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(start.exits, 0);
}

TEST(FrmIniziale, SettingsVariantsAreReadAsTheRulesSay)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    struct Case {
        const char *name;
        QString key;
        QString value; // null: the key is absent
        QString dbType;
        std::optional<Isolation> isolation;
        int rowsTab;
        int rowsList;
        QString afterwards; // the key's value in CONT.INI after the load
    };
    const QList<Case> cases = {
        {"TIPODB Access 2000", QStringLiteral("TIPODB"), QStringLiteral("Access 2000"), QStringLiteral("ACCESS"),
         Isolation::Chaos, 10, 20, QStringLiteral("Access 2000")},
        {"TIPODB absent", QStringLiteral("TIPODB"), QString(), QStringLiteral("ACCESS"), Isolation::Chaos, 10, 20,
         QStringLiteral("Access")},
        {"ISOLATIONLEVEL 7", QStringLiteral("ISOLATIONLEVEL"), QStringLiteral("7"), QStringLiteral("ACCESS2000"),
         std::nullopt, 10, 20, QStringLiteral("7")},
        {"ISOLATIONLEVEL 2", QStringLiteral("ISOLATIONLEVEL"), QStringLiteral("2"), QStringLiteral("ACCESS2000"),
         Isolation::ReadCommitted, 10, 20, QStringLiteral("2")},
        {"ISOLATIONLEVEL 4", QStringLiteral("ISOLATIONLEVEL"), QStringLiteral("4"), QStringLiteral("ACCESS2000"),
         Isolation::Serializable, 10, 20, QStringLiteral("4")},
        {"ISOLATIONLEVEL empty", QStringLiteral("ISOLATIONLEVEL"), QStringLiteral(""), QStringLiteral("ACCESS2000"),
         Isolation::Chaos, 10, 20, QStringLiteral("1")},
        {"NUMRIGHETAB 12x", QStringLiteral("NUMRIGHETAB"), QStringLiteral("12x"), QStringLiteral("ACCESS2000"),
         Isolation::Chaos, 12, 20, QStringLiteral("12x")},
        {"NUMRIGHETAB 0", QStringLiteral("NUMRIGHETAB"), QStringLiteral("0"), QStringLiteral("ACCESS2000"),
         Isolation::Chaos, 10, 20, QStringLiteral("10")},
        {"NUMRIGHELIST 35", QStringLiteral("NUMRIGHELIST"), QStringLiteral("35"), QStringLiteral("ACCESS2000"),
         Isolation::Chaos, 10, 35, QStringLiteral("35")},
        {"NUMRIGHELIST blank", QStringLiteral("NUMRIGHELIST"), QStringLiteral(" "), QStringLiteral("ACCESS2000"),
         Isolation::Chaos, 10, 20, QStringLiteral("20")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Startup start;
        start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
        start.set(QStringLiteral("PATHDB"), archives.folder());
        if (c.key != QLatin1String("TIPODB"))
            start.set(QStringLiteral("TIPODB"), QStringLiteral("ACCESS2000"));
        if (!c.value.isNull())
            start.set(c.key, c.value);

        start.window.load();

        EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(start.ctx.state.dbType, c.dbType);
        EXPECT_EQ(start.ctx.state.isolation, c.isolation);
        EXPECT_EQ(start.ctx.state.rowsTab, c.rowsTab);
        EXPECT_EQ(start.ctx.state.rowsList, c.rowsList);
        EXPECT_EQ(start.get(c.key), c.afterwards);
        EXPECT_TRUE(start.ctx.db.isOpen());
        EXPECT_EQ(start.exits, 0);
    }
}

class FrmInizialeEngineTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Postgres && skipPostgres())
            GTEST_SKIP() << "no PostgreSQL test server (ORLAVO_TEST_PGHOST)";
        archives = std::make_unique<TestArchives>(GetParam());
        ASSERT_TRUE(archives->ready()) << archives->problem().toStdString();
    }

    std::unique_ptr<TestArchives> archives;
};

TEST_P(FrmInizialeEngineTest, OpensTheServicesAndHandsOver)
{
    Startup start;
    start.setArchives(*archives);
    QSignalSpy handOver(&start.window, &FrmIniziale::handOver);
    QSignalSpy finished(&start.window, &FrmIniziale::finished);

    start.window.load();

    EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(start.ctx.db.isOpen());
    EXPECT_EQ(start.ctx.db.engine(), GetParam());
    EXPECT_EQ(start.ctx.state.serverDb, GetParam() == Engine::Postgres);
    EXPECT_TRUE(start.chooserAsked.isEmpty());
    // The services tables answer through the opened connection.
    QSqlQuery query(start.ctx.db.connection());
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*) FROM servizi.TAB_UTENTI")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 0);
    query.finish();

    ASSERT_TRUE(handOver.wait(10000));
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(start.exits, 0);
}

ORLAVO_FOR_EACH_ENGINE(FrmInizialeEngineTest);

TEST(FrmIniziale, IsolationLevelReachesTheServer)
{
    if (skipPostgres())
        GTEST_SKIP() << "no PostgreSQL test server (ORLAVO_TEST_PGHOST)";
    TestArchives archives(Engine::Postgres);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    struct Case {
        QString setting;
        std::optional<Isolation> isolation;
        QString server;
    };
    const QList<Case> cases = {
        {QStringLiteral("3"), Isolation::RepeatableRead, QStringLiteral("repeatable read")},
        {QStringLiteral("4"), Isolation::Serializable, QStringLiteral("serializable")},
        {QStringLiteral("2"), Isolation::ReadCommitted, QStringLiteral("read committed")},
        // Nothing weaker exists on the server.
        {QStringLiteral("1"), Isolation::Chaos, QStringLiteral("read committed")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setting.toStdString());
        Startup start;
        start.setArchives(archives);
        start.set(QStringLiteral("ISOLATIONLEVEL"), c.setting);
        start.window.load();
        ASSERT_TRUE(start.ctx.db.isOpen()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(start.ctx.state.isolation, c.isolation);
        EXPECT_EQ(start.ctx.state.dbType, QStringLiteral("SQL"));
        EXPECT_TRUE(start.ctx.state.serverDb);
        QSqlQuery query(start.ctx.db.connection());
        ASSERT_TRUE(query.exec(QStringLiteral("SHOW transaction_isolation")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), c.server);
    }
}

TEST(FrmIniziale, EmptyFolderAsksForOne)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    QString chosen = archives.folder();
    chosen.chop(1);
    struct Case {
        const char *name;
        std::optional<QString> answer;
    };
    for (const Case &c : {Case{"cancelled", std::nullopt}, Case{"folder chosen", chosen}}) {
        SCOPED_TRACE(c.name);
        Startup start;
        start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
        start.set(QStringLiteral("TIPODB"), QStringLiteral("ACCESS2000"));
        start.set(QStringLiteral("PATHDB"), QString());
        start.chosenFolder = c.answer;
        QSignalSpy handOver(&start.window, &FrmIniziale::handOver);
        QSignalSpy finished(&start.window, &FrmIniziale::finished);

        start.window.load();

        EXPECT_EQ(start.chooserAsked, QStringList{start.folder()});
        EXPECT_TRUE(start.prompter.shown().isEmpty()) << start.prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(start.exits, 0);
        if (!c.answer) {
            EXPECT_EQ(finished.count(), 1);
            EXPECT_FALSE(start.ctx.db.isOpen());
            EXPECT_FALSE(start.window.normalStart());
            EXPECT_FALSE(start.window.timerActive());
            EXPECT_EQ(start.get(QStringLiteral("PATHDB")), QString());
            EXPECT_FALSE(QFile::exists(start.folder() + QStringLiteral("CONT.LOG")));
        } else {
            EXPECT_EQ(finished.count(), 0);
            EXPECT_TRUE(start.ctx.db.isOpen());
            EXPECT_EQ(start.ctx.state.pathDb, chosen + QLatin1Char('/'));
            EXPECT_EQ(start.get(QStringLiteral("PATHDB")), chosen + QLatin1Char('/'));
            EXPECT_TRUE(handOver.wait(10000));
        }
    }
}

TEST(FrmIniziale, ServicesFileThatCannotBeOpenedEndsTheProgram)
{
    struct Case {
        const char *name;
        std::optional<QByteArray> bytes; // nullopt: no file
        QString problem;                 // %1 is the file
    };
    const QByteArray jet = QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2048, '\x5A');
    const QList<Case> cases = {
        {"text file", QByteArray("Questo non è un archivio.\nSeconda riga\n"),
         QStringLiteral("Il file %1 non è un archivio del programma.")},
        {"Access archive", jet,
         QStringLiteral("L'archivio %1 è un archivio Access di una versione precedente: questa versione usa "
                        "archivi SQLite o un server PostgreSQL.")},
        {"missing", std::nullopt, QStringLiteral("L'archivio %1 non esiste.")},
        {"empty", QByteArray(), QStringLiteral("L'archivio %1 è vuoto.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir data;
        ASSERT_TRUE(data.isValid());
        const QString pathDb = data.path() + QLatin1Char('/');
        const QString services = pathDb + QStringLiteral("SERVIZI.MDB");
        if (c.bytes) {
            ASSERT_TRUE(writeBytes(services, *c.bytes));
        }
        Startup start;
        start.set(QStringLiteral("SOCIETA"), QStringLiteral("01"));
        start.set(QStringLiteral("TIPODB"), QStringLiteral("ACCESS2000"));
        start.set(QStringLiteral("PATHDB"), pathDb);
        QSignalSpy handOver(&start.window, &FrmIniziale::handOver);
        QSignalSpy finished(&start.window, &FrmIniziale::finished);

        start.window.load();

        const QString problem = c.problem.arg(services);
        ASSERT_EQ(start.prompter.texts(),
                  (QStringList{kAccessMessage, QStringLiteral("Errore durante l'accesso ai dati :\n") + problem}));
        for (const ScriptedPrompter::Shown &shown : start.prompter.shown()) {
            EXPECT_EQ(shown.title, QStringLiteral("Errore"));
            EXPECT_EQ(shown.icon, Prompter::Icon::Critical);
        }
        EXPECT_EQ(start.exits, 1);
        EXPECT_FALSE(start.ctx.db.isOpen());
        EXPECT_FALSE(start.window.normalStart());
        EXPECT_FALSE(start.window.timerActive());
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(handOver.count(), 0);
        const Services::IniFile log(start.folder() + QStringLiteral("CONT.LOG"));
        EXPECT_EQ(log.read(QStringLiteral("ERRORI"), QStringLiteral("DES")), problem);
        // The file is left exactly as it was.
        if (c.bytes) {
            EXPECT_EQ(readBytes(services), *c.bytes);
            EXPECT_EQ(entriesOf(data.path()), QStringList{QStringLiteral("SERVIZI.MDB")});
        } else {
            EXPECT_EQ(entriesOf(data.path()), QStringList());
        }
    }
}
