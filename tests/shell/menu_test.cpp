#include "contexttest.h"
#include "masterdata/masterdata.h"
#include "services/core/tablenames.h"
#include "shell/windows/frminfobox.h"
#include "shell/windows/menu.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Engine;
using Orlavo::Services::Prompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kStillOpen = QStringLiteral("Ci sono ancora delle applicazioni aperte\nOk per chiudere ");

// A task window that offers the print command and counts its runs.
class PrintingWindow : public QWidget
{
    Q_OBJECT
public:
    int prints = 0;
public slots:
    void TimStampa() { ++prints; }
};

// A task window that keeps unsaved input refuses to close.
class StubbornWindow : public QWidget
{
public:
    bool stubborn = true;

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!stubborn); }
};

class MenuTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const std::pair<QString, const char *> rows[] = {
            {Tables::SOCIETA, "(SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')"},
            {Tables::TAB_UTENTI, "(UTENTE, TIPO, COLLEGATO) VALUES ('MARIO', '2', 'C')"},
            {Tables::DATIBASE, "(SOCIETA, BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO) "
                               "VALUES ('01', '00001', '22', 'M', -1, 0, 'M1')"},
        };
        for (const auto &[table, values] : rows)
            ASSERT_EQ(context->db.executeSqlServices(
                          QStringLiteral("INSERT INTO %1 %2").arg(table, QString::fromLatin1(values))),
                      0);
        context->state.company = QStringLiteral("01");
        context->state.year = QStringLiteral("2026");
        context->state.user = QStringLiteral("MARIO");
        context->state.userType = 2;
    }

    void TearDown() override
    {
        menu.reset();
        ContextTest::TearDown();
    }

    Menu &open(bool shown = false)
    {
        menu = std::make_unique<Menu>(*context);
        menu->setCompanyChooser([this]() -> std::optional<QString> {
            ++choices;
            return chosen;
        });
        menu->openCurrentCompany();
        if (shown)
            menu->show();
        return *menu;
    }

    QAction *action(const char *name) const
    {
        QAction *found = menu->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString setting(const char *section, const char *key) const
    {
        return context->settings.read(QString::fromLatin1(section), QString::fromLatin1(key));
    }
    QString connected() const
    {
        return archives
            ->scalar(QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI))
            .toString();
    }
    bool exec(const QString &sql) { return context->db.executeSql(sql) == 0; }

    std::unique_ptr<Menu> menu;
    std::optional<QString> chosen;
    int choices = 0;
};

QString shown(const FrmInfobox &box, const char *name)
{
    const auto *label = box.findChild<QLabel *>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

} // namespace

TEST_P(MenuTest, LoadReadsTheBaseDataAndNamesTheCompany)
{
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MOVMAGCOLLEG"), QStringLiteral("SI"));
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MENUDESC"), QStringLiteral("Veicoli"));
    context->state.year = QStringLiteral("2025");
    open();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Orlavo - Ditta Prova Srl"));
    EXPECT_EQ(context->state.bankCode + context->state.warehouse, QStringLiteral("00001M1"));
    EXPECT_TRUE(action("mnuGenerico")->isEnabled());
    EXPECT_EQ(action("mnuGenerico")->text(), QStringLiteral("Veicoli"));
    // The background colour: dark blue unless set, and written back.
    EXPECT_EQ(setting("MENU", "COLORESFONDO"), QStringLiteral("12582912"));
    EXPECT_EQ(menu->workspace()->background().color(), QColor(0, 0, 192));
    // A plain load keeps the year of the settings and writes no counter.
    EXPECT_EQ(context->state.year, QStringLiteral("2025"));
    EXPECT_EQ(archives->count(Tables::NUMERA), 0);

    // Without the link the extra menu is there but closed; missing base
    // data are said, and the window still opens.
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MOVMAGCOLLEG"), QStringLiteral("NO"));
    ASSERT_EQ(context->db.executeSqlServices(QStringLiteral("DELETE FROM ") + Tables::DATIBASE), 0);
    EXPECT_TRUE(open().openCurrentCompany());
    EXPECT_FALSE(action("mnuGenerico")->isEnabled());
    ASSERT_FALSE(prompter.shown().isEmpty());
    EXPECT_EQ(prompter.shown().first().text, QStringLiteral("Dati base dell'azienda errati!"));
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Information);
    EXPECT_TRUE(context->state.bankCode.isEmpty());
    EXPECT_TRUE(action("TabZona")->isEnabled());
}

// Which entries a profile hides: the menu table's test.
TEST_P(MenuTest, TheProfileHidesEntriesForGood)
{
    open();
    EXPECT_EQ(setting("MAIN", "GENERAFATTURE"), QStringLiteral("NO"));
    EXPECT_FALSE(action("mnu_ddt_genfven")->isVisible());
    EXPECT_TRUE(action("mnuGesUtenti")->isVisible());
    context->state.userType = 3;
    open();
    EXPECT_FALSE(action("mnu_contabilita")->isVisible());
    // Hidden once, hidden for good: a later activation shows nothing again.
    context->state.userType = 2;
    menu->applyMenuProfile();
    EXPECT_FALSE(action("mnu_contabilita")->isVisible());
}

TEST_P(MenuTest, LoadClearsOnlyThisUsersStaleLocks)
{
    for (const char *user : {"MARIO", "ANNA"}) {
        ASSERT_TRUE(exec(QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', '%2')")
                             .arg(Tables::SEMAFORO, QString::fromLatin1(user))));
        open();
        EXPECT_EQ(archives->count(Tables::SEMAFORO), user == std::string("ANNA") ? 1 : 0) << user;
    }
}

// The window without a company: the missing company's test.
TEST_P(MenuTest, ACompanyChosenAtTheStartGetsThisYearsCounters)
{
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    context->state.company.clear();
    chosen = QStringLiteral("01");
    open();
    EXPECT_EQ(choices, 1);
    const QString thisYear = QString::number(QDate::currentDate().year());
    EXPECT_EQ(setting("MAIN", "SOCIETA") + setting("MAIN", "ANNO"), QStringLiteral("01") + thisYear);
    EXPECT_EQ(context->state.companyName, QStringLiteral("Ditta Prova Srl"));
    EXPECT_GT(
        archives
            ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO = ? AND NOME = 'NROINT'").arg(Tables::NUMERA),
                     {thisYear})
            .toInt(),
        0);
}

TEST_P(MenuTest, EveryEntryMasterDataRegistersIsInTheMenuAndEnabled)
{
    open();
    Ui::WindowRegistry registry;
    Masterdata::registerWindows(registry, *context);
    ASSERT_FALSE(registry.entries().isEmpty());
    for (const QString &name : registry.entries())
        EXPECT_TRUE(action(name.toLatin1().constData())->isEnabled()) << name.toStdString();
    // An entry nobody registers waits for its window.
    EXPECT_FALSE(action("codi_articoli")->isEnabled());
}

TEST_P(MenuTest, ChangingCompanyOrClosingAsksWhileTaskWindowsAreOpen)
{
    open(true);
    menu->showTaskWindow(new QWidget, QStringLiteral("PROVA"));
    ASSERT_TRUE(exec(QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'MARIO')").arg(Tables::SEMAFORO)));
    chosen = QStringLiteral("01");
    // Cancel keeps the window, the company and the user's marks.
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(menu->changeCompany());
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(menu->close());
    EXPECT_EQ(prompter.texts(), (QStringList{kStillOpen, kStillOpen}));
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Information);
    EXPECT_EQ(menu->taskWindowCount(), 1);
    EXPECT_EQ(connected(), QStringLiteral("C"));

    // A window that will not close stops the change too.
    auto *stubborn = new StubbornWindow;
    menu->showTaskWindow(stubborn, QStringLiteral("TESTARDA"));
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(menu->changeCompany());
    QApplication::processEvents();
    EXPECT_EQ(menu->taskWindowCount(), 1);

    stubborn->stubborn = false;
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(menu->changeCompany());
    QApplication::processEvents();
    EXPECT_EQ(menu->taskWindowCount(), 0);
    EXPECT_EQ(menu->openWindows(), QStringList{QStringLiteral("MENU")});
    EXPECT_EQ(context->state.year, QString::number(QDate::currentDate().year()));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    EXPECT_EQ(choices, 3);

    // Closing clears the user's mark.
    EXPECT_TRUE(menu->close());
    EXPECT_EQ(connected(), QStringLiteral(" "));
}

TEST_P(MenuTest, AnOpenWindowComesToTheFrontInsteadOfASecondOne)
{
    open(true);
    for (const char *entry : {"mnuCamPwd", "TabZona", "mnuCamPwd"})
        action(entry)->trigger();
    EXPECT_EQ(menu->openWindows(), (QStringList{QStringLiteral("MENU"), QStringLiteral("FRMCAMPASSW"),
                                                QStringLiteral("FRMGETAB_TAB_ZONA")}));
    ASSERT_NE(menu->workspace()->activeSubWindow(), nullptr);
    EXPECT_EQ(menu->workspace()->activeSubWindow()->widget()->objectName(), QStringLiteral("FrmCamPassw"));

    // A minimised tagged window is restored, not doubled.
    QMdiSubWindow *tagged = menu->showTaskWindow(new QWidget, {}, QStringLiteral("ANACLIINS"));
    tagged->showMinimized();
    EXPECT_FALSE(menu->activateTaggedWindow(QStringLiteral("ARTICINS")));
    EXPECT_TRUE(menu->activateTaggedWindow(QStringLiteral("ANACLIINS")));
    EXPECT_FALSE(tagged->isMinimized());
    EXPECT_EQ(menu->workspace()->activeSubWindow(), tagged);

    // Activated again, a window takes the field colours changed meanwhile.
    auto *window = new QWidget;
    auto *field = new QLineEdit(window);
    field->setObjectName(QStringLiteral("T_codice"));
    menu->showTaskWindow(window);
    context->settings.write(QStringLiteral("MENU"), QStringLiteral("COLOREEDITB"), QStringLiteral("255"));
    menu->workspace()->activatePreviousSubWindow();
    EXPECT_NE(field->palette().color(QPalette::Base), QColor(255, 0, 0));
    menu->workspace()->activateNextSubWindow();
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_P(MenuTest, EditEntriesAndToolbarCommandsReachTheActiveWindow)
{
    open(true);
    auto *window = new QWidget;
    auto *field = new QLineEdit(QStringLiteral("ROSSI"), window);
    menu->showTaskWindow(window);
    QApplication::setActiveWindow(menu.get());
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    field->selectAll();
    action("popCopia")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ROSSI"));
    action("btn_taglia")->trigger();
    EXPECT_TRUE(field->text().isEmpty());
    action("popIncolla")->trigger();
    action("btn_incolla")->trigger();
    EXPECT_EQ(field->text(), QStringLiteral("ROSSIROSSI"));

    // A command runs once, after the click; a window without it ignores it.
    action("btn_stampa")->trigger();
    QApplication::processEvents();
    auto *printing = new PrintingWindow;
    menu->showTaskWindow(printing);
    action("btn_stampa")->trigger();
    EXPECT_EQ(printing->prints, 0);
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
    action("btn_preview")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
}

TEST_P(MenuTest, WithoutACalculatorItsButtonIsDisabledAndSaysWhy)
{
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    open();
    qputenv("PATH", path);
    EXPECT_FALSE(action("btn_calcol")->isEnabled());
    EXPECT_EQ(action("btn_calcol")->toolTip(), QStringLiteral("Nessuna calcolatrice installata"));
    EXPECT_FALSE(action("gest_data_ora")->isEnabled());
}

TEST_P(MenuTest, TheAboutBoxShowsWhoWorksOnWhichArchives)
{
    context->state.companyName = QStringLiteral("Ditta Prova Srl");
    FrmInfobox box(*context, QStringLiteral("2.3.4"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Informazioni su Orlavo"));
    EXPECT_EQ(shown(box, "versione") + shown(box, "utente"), QStringLiteral("2.3.4MARIO"));
    EXPECT_EQ(shown(box, "societa"), QStringLiteral("01 - Ditta Prova Srl"));
    const Services::ServerKeys server = archives->config().server;
    const bool sqlite = GetParam() == Engine::Sqlite;
    EXPECT_EQ(shown(box, "posizioneDb"),
              sqlite ? QDir::toNativeSeparators(archives->folder())
                     : QStringLiteral("%1, porta %2, database %3").arg(server.host).arg(server.port).arg(server.database));
    EXPECT_EQ(shown(box, "tipoDb"), sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"));

    // The name from the settings, the version the program was built as, and
    // a dash for nobody.
    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP"), QStringLiteral("Ditta Rossi"));
    context->state.user.clear();
    context->state.company.clear();
    context->state.companyName.clear();
    FrmInfobox other(*context, QString());
    EXPECT_EQ(other.windowTitle(), QStringLiteral("Informazioni su Ditta Rossi"));
    EXPECT_TRUE(shown(other, "versione").contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))));
    EXPECT_EQ(shown(other, "utente") + shown(other, "societa"), QStringLiteral("--"));
}

ORLAVO_FOR_EACH_ENGINE(MenuTest);

#include "menu_test.moc"
