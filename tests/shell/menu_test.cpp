#include "contexttest.h"
#include "services/core/tablenames.h"
#include "files.h"
#include "masterdata/masterdata.h"
#include "shell/windows/menu.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"
#include "ui/appcontext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

// A task window that offers the print command and counts its runs.
class PrintingWindow : public QWidget
{
    Q_OBJECT
public:
    int prints = 0;
public slots:
    void TimStampa() { ++prints; }
};

class MenuTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec(
            QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')").arg(Tables::SOCIETA));
        exec(QStringLiteral("INSERT INTO %1 (UTENTE, TIPO, COLLEGATO) VALUES ('MARIO', '2', 'C')")
                 .arg(Tables::TAB_UTENTI));
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

    void exec(const QString &sql, const Services::Params &params = {})
    {
        ASSERT_EQ(context->db.executeSqlServices(sql, params), 0) << context->db.error().description.toStdString();
    }

    void baseData()
    {
        exec(QStringLiteral("INSERT INTO %1 (SOCIETA, BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO) "
                            "VALUES ('01', '00001', '22', 'M', -1, 0, 'M1')")
                 .arg(Tables::DATIBASE));
    }

    Menu &open()
    {
        menu = std::make_unique<Menu>(*context);
        menu->setCompanyChooser([this]() -> std::optional<QString> {
            ++choices;
            return chosen;
        });
        menu->openCurrentCompany();
        return *menu;
    }

    bool visible(const char *name) const
    {
        const QAction *action = menu->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action && action->isVisible();
    }
    QAction *action(const char *name) const { return menu->findChild<QAction *>(QString::fromLatin1(name)); }
    QString setting(const char *section, const char *key) const
    {
        return context->settings.read(QString::fromLatin1(section), QString::fromLatin1(key));
    }

    std::unique_ptr<Menu> menu;
    std::optional<QString> chosen;
    int choices = 0;
};

} // namespace

TEST_P(MenuTest, LoadReadsTheBaseDataAndNamesTheCompany)
{
    baseData();
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MOVMAGCOLLEG"), QStringLiteral("SI"));
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MENUDESC"), QStringLiteral("Veicoli"));
    open();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Orlavo - Ditta Prova Srl"));
    const Services::AppState &state = context->state;
    EXPECT_EQ(state.bankCode, QStringLiteral("00001"));
    EXPECT_EQ(state.vatCode, QStringLiteral("22"));
    EXPECT_EQ(state.vatPeriod, QStringLiteral("M"));
    EXPECT_TRUE(state.separateNumbering);
    EXPECT_FALSE(state.vatRegister);
    EXPECT_EQ(state.warehouse, QStringLiteral("M1"));
    EXPECT_TRUE(state.upperCaseKeys);
    EXPECT_EQ(menu->openWindows(), QStringList{QStringLiteral("MENU")});
    EXPECT_TRUE(action("mnuGenerico")->isEnabled());
    EXPECT_EQ(action("mnuGenerico")->text(), QStringLiteral("Veicoli"));

    // Without the link the extra menu is there but closed.
    context->settings.write(QStringLiteral("DATIAGGIUNTI"), QStringLiteral("MOVMAGCOLLEG"), QStringLiteral("NO"));
    open();
    EXPECT_FALSE(action("mnuGenerico")->isEnabled());
}

TEST_P(MenuTest, MissingBaseDataIsSaidAndTheWindowStillOpens)
{
    context->state.bankCode = QStringLiteral("stale");
    EXPECT_TRUE(open().openCurrentCompany());
    ASSERT_FALSE(prompter.shown().isEmpty());
    EXPECT_EQ(prompter.shown().first().text, QStringLiteral("Dati base dell'azienda errati!"));
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Information);
    EXPECT_TRUE(context->state.bankCode.isEmpty());
    EXPECT_TRUE(context->state.warehouse.isEmpty());
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Orlavo - Ditta Prova Srl"));
    EXPECT_TRUE(action("TabZona")->isEnabled());
}

TEST_P(MenuTest, BackgroundColourDefaultsToDarkBlueAndIsWrittenBack)
{
    baseData();
    open();
    EXPECT_EQ(setting("MENU", "COLORESFONDO"), QStringLiteral("12582912"));
    EXPECT_EQ(menu->workspace()->background().color(), QColor(0, 0, 192));

    context->settings.write(QStringLiteral("MENU"), QStringLiteral("COLORESFONDO"), QStringLiteral("65280"));
    open();
    EXPECT_EQ(menu->workspace()->background().color(), QColor(0, 255, 0));
}

TEST_P(MenuTest, ProfileHidesEntriesByUserTypeAndSettings)
{
    baseData();
    open();
    EXPECT_EQ(setting("MAIN", "GENERAFATTURE"), QStringLiteral("NO"));
    EXPECT_FALSE(visible("mnu_ddt_genfven"));
    EXPECT_FALSE(visible("mnu_simulaFvend"));
    EXPECT_TRUE(visible("mnuGesUtenti"));
    EXPECT_TRUE(visible("mnu_contabilita"));

    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("GENERAFATTURE"), QStringLiteral("SI"));
    open();
    EXPECT_TRUE(visible("mnu_ddt_genfven"));
    EXPECT_TRUE(visible("mnu_simulaFvend"));

    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        context->state.userType = type;
        open();
        EXPECT_FALSE(visible("mnuGesUtenti"));
        EXPECT_FALSE(visible("mnu_chiuriaprmag"));
        EXPECT_FALSE(visible("chius_esercizio"));
        EXPECT_TRUE(visible("mnu_fvendita"));
        EXPECT_TRUE(visible("mnuCamPwd"));
    }

    context->state.userType = 3;
    open();
    for (const char *name : {"mnu_fvendita", "mnu_simulaFvend", "mnu_facq", "mnu_contabilita", "mnuGesUtenti",
                             "mnu_chiuriaprmag", "chius_esercizio"})
        EXPECT_FALSE(visible(name)) << name;
    EXPECT_TRUE(visible("mnu_magazzino"));
    // Hidden once, hidden for good: a later activation shows nothing again.
    context->state.userType = 2;
    menu->applyMenuProfile();
    EXPECT_FALSE(visible("mnu_contabilita"));
}

TEST_P(MenuTest, LoadClearsOnlyThisUsersStaleLocks)
{
    baseData();
    ASSERT_EQ(context->db.executeSql(
                  QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'MARIO')").arg(Tables::SEMAFORO)),
              0);
    open();
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    ASSERT_EQ(context->db.executeSql(
                  QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')").arg(Tables::SEMAFORO)),
              0);
    open();
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 1);
}

TEST_P(MenuTest, WithoutACompanyTheOperatorChoosesOne)
{
    baseData();
    // Started with no company: only the services database is open.
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    context->state.company.clear();
    chosen.reset();
    open();
    EXPECT_EQ(choices, 1);
    EXPECT_TRUE(setting("MAIN", "SOCIETA").isEmpty());
    EXPECT_FALSE(action("TabZona")->isEnabled());
    EXPECT_FALSE(action("btn_stampa")->isEnabled());
    EXPECT_TRUE(action("mnuCamPwd")->isEnabled());

    context->state.company.clear();
    chosen = QStringLiteral("01");
    open();
    EXPECT_EQ(setting("MAIN", "SOCIETA"), QStringLiteral("01"));
    EXPECT_EQ(setting("MAIN", "ANNO"), QString::number(QDate::currentDate().year()));
    EXPECT_EQ(context->state.companyName, QStringLiteral("Ditta Prova Srl"));
    EXPECT_TRUE(action("TabZona")->isEnabled());
}

// The counters a year holds, by name.
QStringList countersOf(Services::DataAccess &db, const QString &year)
{
    QStringList names;
    auto rows = db.openRecordset(QStringLiteral("SELECT NOME FROM %1 WHERE ANNO = ? ORDER BY NOME").arg(Tables::NUMERA),
                                 {year});
    if (rows) {
        for (const auto &row : *rows)
            names << row.text(QStringLiteral("NOME")).trimmed();
    }
    return names;
}

TEST_P(MenuTest, ChoosingACompanySetsTheYearAndGivesItItsCounters)
{
    const QString thisYear = QString::number(QDate::currentDate().year());
    const QString lastYear = QString::number(QDate::currentDate().year() - 1);
    baseData();
    // A plain load keeps the year of the settings and writes no counter.
    context->state.year = lastYear;
    open();
    EXPECT_TRUE(countersOf(context->db, thisYear).isEmpty());

    // Last year's counters, one of them the company's own.
    ASSERT_EQ(context->db.executeSql(QStringLiteral("INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) "
                                                    "VALUES (?, ?, ?, ?, ?)")
                                         .arg(Tables::NUMERA),
                                     {lastYear, QStringLiteral("NROINT"), QStringLiteral("Interni"), 41, 999999}),
              0);
    ASSERT_EQ(context->db.executeSql(QStringLiteral("INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) "
                                                    "VALUES (?, ?, ?, ?, ?)")
                                         .arg(Tables::NUMERA),
                                     {lastYear, QStringLiteral("PROPRIO"), QStringLiteral("Nostro"), 7, 999}),
              0);
    // Scelta Azienda sets this year: last year's counters come over at 0.
    chosen = QStringLiteral("01");
    ASSERT_TRUE(menu->changeCompany());
    EXPECT_EQ(context->state.year, thisYear);
    EXPECT_EQ(countersOf(context->db, thisYear), (QStringList{QStringLiteral("NROINT"), QStringLiteral("PROPRIO")}));
    auto rows = context->db.openRecordset(
        QStringLiteral("SELECT NUMERATORE FROM %1 WHERE ANNO = ? AND NOME = 'PROPRIO'").arg(Tables::NUMERA), {thisYear});
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ(rows->first().integer(QStringLiteral("NUMERATORE")), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(MenuTest, TheFirstChoiceOfACompanyGivesItTheFirstYearCounters)
{
    baseData();
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    context->state.company.clear();
    chosen = QStringLiteral("01");
    open();
    const QStringList counters = countersOf(context->db, QString::number(QDate::currentDate().year()));
    EXPECT_TRUE(counters.contains(QStringLiteral("NROINT"))) << counters.join(QLatin1Char(',')).toStdString();
    EXPECT_GT(counters.size(), 10) << counters.join(QLatin1Char(',')).toStdString();
}

TEST_P(MenuTest, EveryEntryMasterDataRegistersIsInTheMenuAndEnabled)
{
    baseData();
    open();
    Ui::WindowRegistry registry;
    Masterdata::registerWindows(registry, *context);
    ASSERT_FALSE(registry.entries().isEmpty());
    for (const QString &name : registry.entries()) {
        const QAction *entry = menu->findChild<QAction *>(name);
        ASSERT_NE(entry, nullptr) << name.toStdString();
        EXPECT_TRUE(entry->isEnabled()) << name.toStdString();
    }
    // An entry nobody registers waits for its window.
    EXPECT_FALSE(action("codi_articoli")->isEnabled());
}

TEST_P(MenuTest, PaymentTermsPrintBeforeTheirWindowExists)
{
    baseData();
    addStandardData();
    useShippedReports();
    open();
    EXPECT_FALSE(action("TabCondPag")->isEnabled());
    ASSERT_TRUE(action("St_TabCondPag")->isEnabled());

    const QString pdf = archives->folder() + QStringLiteral("condizioni.pdf");
    int rows = 0;
    bool printed = false;
    QTimer::singleShot(0, [&] {
        auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget());
        if (!list)
            return;
        rows = list->rowCount();
        printed = list->print(Reporting::ReportOutput::Pdf, pdf);
        list->reject();
    });
    action("St_TabCondPag")->trigger();
    EXPECT_GT(rows, 3);
    ASSERT_TRUE(printed) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const QString text = Orlavo::Testing::pdfPages(pdf).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("Condizioni di pagamento"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("RIMESSA DIRETTA"))) << text.toStdString();
}

// A task window that keeps unsaved input refuses to close.
class StubbornWindow : public QWidget
{
public:
    bool stubborn = true;

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!stubborn); }
};

TEST_P(MenuTest, ChangingCompanyClosesTheTaskWindowsAsOnExit)
{
    const QString stillOpen = QStringLiteral("Ci sono ancora delle applicazioni aperte\nOk per chiudere ");
    baseData();
    open();
    menu->showTaskWindow(new QWidget, QStringLiteral("PROVA"));
    chosen = QStringLiteral("01");
    // Cancel keeps the window and the company.
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(menu->changeCompany());
    EXPECT_EQ(prompter.texts(), QStringList{stillOpen});
    EXPECT_EQ(menu->taskWindowCount(), 1);

    // A window that will not close stops the change too.
    auto *stubborn = new StubbornWindow;
    menu->showTaskWindow(stubborn, QStringLiteral("TESTARDA"));
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(menu->changeCompany());
    QApplication::processEvents();
    EXPECT_EQ(menu->taskWindowCount(), 1);

    stubborn->stubborn = false;
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(menu->changeCompany());
    QApplication::processEvents();
    EXPECT_EQ(menu->taskWindowCount(), 0);
    EXPECT_EQ(menu->openWindows(), QStringList{QStringLiteral("MENU")});
    EXPECT_EQ(choices, 3);
}

TEST_P(MenuTest, AnOpenWindowComesToTheFrontInsteadOfASecondOne)
{
    baseData();
    open();
    menu->show();
    action("mnuCamPwd")->trigger();
    action("TabZona")->trigger();
    EXPECT_EQ(menu->taskWindowCount(), 2);
    action("mnuCamPwd")->trigger();
    EXPECT_EQ(menu->taskWindowCount(), 2);
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
}

TEST_P(MenuTest, TaskWindowsTakeTheFieldColoursWhenActivated)
{
    baseData();
    open();
    menu->show();
    context->settings.write(QStringLiteral("MENU"), QStringLiteral("COLOREEDITB"), QStringLiteral("65535"));
    auto *window = new QWidget;
    auto *field = new QLineEdit(window);
    field->setObjectName(QStringLiteral("T_codice"));
    menu->showTaskWindow(window);
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(context->settings.read(QStringLiteral("MENU"), QStringLiteral("COLOREPROB")),
              QStringLiteral("2147483663"));

    // A colour changed while the window is open shows at its next activation.
    context->settings.write(QStringLiteral("MENU"), QStringLiteral("COLOREEDITB"), QStringLiteral("255"));
    QMdiSubWindow *other = menu->showTaskWindow(new QWidget);
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(255, 255, 0));
    menu->workspace()->activatePreviousSubWindow();
    ASSERT_NE(menu->workspace()->activeSubWindow(), other);
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_P(MenuTest, EditEntriesActOnTheFieldWithTheFocus)
{
    baseData();
    open();
    menu->show();
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
}

TEST_P(MenuTest, ToolbarCommandsReachTheActiveWindowOnceAfterTheClick)
{
    baseData();
    open();
    menu->show();
    menu->showTaskWindow(new QWidget);
    action("btn_stampa")->trigger();
    QApplication::processEvents();

    auto *printing = new PrintingWindow;
    menu->showTaskWindow(printing);
    action("btn_stampa")->trigger();
    EXPECT_EQ(printing->prints, 0);
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
    action("btn_preview")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
}

TEST_P(MenuTest, ClosingAsksWhileWindowsAreOpenThenClearsTheUsersMarks)
{
    baseData();
    open();
    menu->show();
    menu->showTaskWindow(new QWidget, QStringLiteral("PROVA"));
    ASSERT_EQ(context->db.executeSql(
                  QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'MARIO')").arg(Tables::SEMAFORO)),
              0);
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(menu->close());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Ci sono ancora delle applicazioni aperte\nOk per chiudere ")});
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Information);
    EXPECT_EQ(menu->taskWindowCount(), 1);
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI)),
        QVariant(QStringLiteral("C")));

    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(menu->close());
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI)),
        QVariant(QStringLiteral(" ")));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
}

TEST_P(MenuTest, WithoutACalculatorItsButtonIsDisabledAndSaysWhy)
{
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    baseData();
    open();
    qputenv("PATH", path);
    EXPECT_FALSE(action("btn_calcol")->isEnabled());
    EXPECT_FALSE(action("btn_calcol")->toolTip().isEmpty());
    EXPECT_NE(action("btn_calcol")->toolTip(), QStringLiteral("Calcolatrice"));
    EXPECT_FALSE(action("gest_data_ora")->isEnabled());
}

ORLAVO_FOR_EACH_ENGINE(MenuTest);

#include "menu_test.moc"
