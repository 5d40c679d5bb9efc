#include "masterdata/masterdata.h"
#include "services/core/tablenames.h"
#include "shell/windows/menu.h"
#include "shellfixtures.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
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

class MenuTest : public Orlavo::Testing::WindowTest<Menu>
{
protected:
    void prepare() override
    {
        const std::pair<QString, const char *> rows[] = {
            {Tables::SOCIETA, "(SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')"},
            {Tables::TAB_UTENTI, "(UTENTE, TIPO, COLLEGATO) VALUES ('MARIO', '2', 'C')"},
            {Tables::DATIBASE, "(SOCIETA, BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO) "
                               "VALUES ('01', '00001', '22', 'M', -1, 0, 'M1')"},
        };
        for (const auto &[table, values] : rows)
            run(QStringLiteral("INSERT INTO %1 %2").arg(table, QString::fromLatin1(values)));
        workAs(QStringLiteral("MARIO"), 2);
        context->state.year = QStringLiteral("2026");
    }

    Menu &open(bool shown = false)
    {
        window = std::make_unique<Menu>(*context);
        window->setCompanyChooser([this] { return chosen; });
        window->openCurrentCompany();
        if (shown)
            window->show();
        return *window;
    }

    QAction *action(const char *name) const { return child<QAction>(QString::fromLatin1(name)); }
    QString connected() const
    {
        return archives
            ->scalar(QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI))
            .toString();
    }

    std::optional<QString> chosen;
};

} // namespace

TEST_P(MenuTest, LoadReadsTheBaseDataAndNamesTheCompany)
{
    context->state.year = QStringLiteral("2025");
    // A crashed session of this user left a lock behind.
    run(QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'MARIO')").arg(Tables::SEMAFORO));
    open();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orlavo - Ditta Prova Srl"));
    EXPECT_EQ(context->state.bankCode + context->state.warehouse, QStringLiteral("00001M1"));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    // A plain load keeps the year of the settings and writes no counter.
    EXPECT_EQ(context->state.year, QStringLiteral("2025"));
    EXPECT_EQ(archives->count(Tables::NUMERA), 0);

    // Missing base data are said, and the window still opens.
    run(QStringLiteral("DELETE FROM ") + Tables::DATIBASE);
    EXPECT_TRUE(open().openCurrentCompany());
    EXPECT_EQ(prompter.texts().value(0), QStringLiteral("Dati base dell'azienda errati!"));
    EXPECT_TRUE(context->state.bankCode.isEmpty());
}

// Which entries a profile hides: the menu table's test.
TEST_P(MenuTest, TheProfileHidesEntriesForGood)
{
    context->state.userType = 3;
    open();
    EXPECT_FALSE(action("mnu_contabilita")->isVisible());
    // Hidden once, hidden for good: a later activation shows nothing again.
    context->state.userType = 2;
    window->applyMenuProfile();
    EXPECT_FALSE(action("mnu_contabilita")->isVisible());
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
    EXPECT_FALSE(action("codi_bolle")->isEnabled());
}

TEST_P(MenuTest, ChangingCompanyOrClosingAsksWhileTaskWindowsAreOpen)
{
    open(true);
    window->showTaskWindow(new QWidget, QStringLiteral("PROVA"));
    run(QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'MARIO')").arg(Tables::SEMAFORO));
    chosen = QStringLiteral("01");
    // Cancel keeps the window, the company and the user's marks.
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(window->changeCompany());
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompter.texts(), (QStringList{kStillOpen, kStillOpen}));
    EXPECT_EQ(window->taskWindowCount(), 1);
    EXPECT_EQ(connected(), QStringLiteral("C"));

    // A window that will not close stops the change too.
    auto *stubborn = new StubbornWindow;
    window->showTaskWindow(stubborn, QStringLiteral("TESTARDA"));
    for (const bool keeps : {true, false}) {
        stubborn->stubborn = keeps;
        prompter.queue(Prompter::Button::Ok);
        EXPECT_EQ(window->changeCompany(), !keeps);
        QApplication::processEvents();
        EXPECT_EQ(window->taskWindowCount(), keeps ? 1 : 0);
    }
    EXPECT_EQ(window->openWindows(), QStringList{QStringLiteral("MENU")});
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    // The company chosen is worked in this year, which gets its counters.
    const QString thisYear = QString::number(QDate::currentDate().year());
    EXPECT_EQ(setting("MAIN", "SOCIETA") + setting("MAIN", "ANNO") + context->state.year, "01" + thisYear + thisYear);
    EXPECT_GT(counters(thisYear), 0);

    // Closing clears the user's mark.
    EXPECT_TRUE(window->close());
    EXPECT_EQ(connected(), QStringLiteral(" "));
}

TEST_P(MenuTest, AnOpenWindowComesToTheFrontAndToolbarCommandsReachTheActiveOne)
{
    open(true);
    for (const char *entry : {"mnuCamPwd", "TabZona", "mnuCamPwd"})
        action(entry)->trigger();
    EXPECT_EQ(window->openWindows(), (QStringList{QStringLiteral("MENU"), QStringLiteral("FRMCAMPASSW"),
                                                  QStringLiteral("FRMGETAB_TAB_ZONA")}));
    ASSERT_NE(window->workspace()->activeSubWindow(), nullptr);
    EXPECT_EQ(window->workspace()->activeSubWindow()->widget()->objectName(), QStringLiteral("FrmCamPassw"));

    // A command runs once, after the click; a window without it ignores it.
    action("btn_stampa")->trigger();
    QApplication::processEvents();
    auto *printing = new PrintingWindow;
    window->showTaskWindow(printing);
    action("btn_stampa")->trigger();
    EXPECT_EQ(printing->prints, 0);
    QApplication::processEvents();
    EXPECT_EQ(printing->prints, 1);
}

ORLAVO_FOR_EACH_ENGINE(MenuTest);

#include "menu_test.moc"
