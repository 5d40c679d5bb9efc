// What an operator sees: Italian standard buttons, labels not cut off,
// windows that fit 1366×768. With ORLAVO_SCREENSHOTS=<folder> each screen is
// also saved as a PNG to look at.

#include "masterdata/windows/anaric.h"
#include "masterdata/windows/f110anac.h"
#include "masterdata/windows/frmgetab.h"
#include "masterdata/windows/tablewindow.h"
#include "reporting/stores/reportfiles.h"
#include "scriptedprompter.h"
#include "services/core/concurrency.h"
#include "services/core/inifile.h"
#include "shell/stores/firstsetup.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/cfgprimo.h"
#include "shell/windows/frmdatibase.h"
#include "shell/windows/frminiziale.h"
#include "shell/windows/frmpath.h"
#include "shell/windows/frmsocieta.h"
#include "shell/windows/menu.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"
#include "ui/lookuplist.h"
#include "ui/messageboxprompter.h"

#include <QToolBar>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::ScriptedPrompter;

namespace {

void save(QWidget &widget, const char *name)
{
    const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Every visible label gets at least the width its text asks for.
void expectNothingCut(QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
    }
}

// The window an entry of the main window opens inside it, checked for cut
// labels and saved with the main window around it.
template <typename Window> Window *openFromMenu(Shell::Menu &menu, const char *action, const char *shot)
{
    menu.findChild<QAction *>(QLatin1String(action))->trigger();
    auto *window = menu.findChild<Window *>();
    if (!window) {
        ADD_FAILURE() << action << " opened no window";
        return nullptr;
    }
    QApplication::processEvents();
    expectNothingCut(*window);
    save(menu, shot);
    return window;
}

Ui::FrmRpt *reportPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *preview = qobject_cast<Ui::FrmRpt *>(w))
            return preview;
    }
    return nullptr;
}

class Screens : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { Shell::installItalian(*qApp); }
};

} // namespace

TEST_F(Screens, FirstRunQuestionHasItalianButtons)
{
    QMessageBox box;
    Ui::MessageBoxPrompter::setUp(box,
                                  QStringLiteral("Prima esecuzione dell'applicazione: \n"
                                                 "Si vuole procedere con la configurazione guidata ? "),
                                  QStringLiteral("Orlavo"), Services::Prompter::Icon::Question,
                                  Services::Prompter::Buttons::YesNo, std::nullopt);
    box.show();
    EXPECT_EQ(plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Sì"));
    EXPECT_EQ(plain(box.button(QMessageBox::No)->text()), QStringLiteral("No"));
    save(box, "01-prima-esecuzione");

    QMessageBox cancel;
    Ui::MessageBoxPrompter::setUp(cancel, QStringLiteral("Confermi inserimento ?"), QStringLiteral("Orlavo"),
                                  Services::Prompter::Icon::Question, Services::Prompter::Buttons::OkCancel,
                                  Services::Prompter::Button::Cancel);
    EXPECT_EQ(plain(cancel.button(QMessageBox::Cancel)->text()), QStringLiteral("Annulla"));
    EXPECT_EQ(cancel.defaultButton(), cancel.button(QMessageBox::Cancel));

    // Lines joined by a carriage return show as lines.
    QMessageBox concurrency;
    Ui::MessageBoxPrompter::setUp(concurrency, Services::Concurrency::deletedElsewhere(),
                                  QStringLiteral("Gestione Tabelle "), Services::Prompter::Icon::Warning,
                                  Services::Prompter::Buttons::Ok, std::nullopt);
    EXPECT_EQ(concurrency.text().split(QLatin1Char('\n')).size(), 3);
    EXPECT_FALSE(concurrency.text().contains(QLatin1Char('\r')));
    concurrency.show();
    save(concurrency, "10-modifiche-altri-utenti");
}

TEST_F(Screens, ConfigurationWizardPagesFit)
{
    QTemporaryDir dir;
    Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    ScriptedPrompter prompter;
    Shell::CfgPrimo wizard(settings, prompter, dir.filePath(QStringLiteral("DATI")));
    wizard.show();
    EXPECT_LE(wizard.width(), 1366);
    EXPECT_LE(wizard.height(), 768);
    EXPECT_EQ(plain(wizard.button(QWizard::NextButton)->text()), QStringLiteral("Successivo >"));
    EXPECT_EQ(plain(wizard.button(QWizard::CancelButton)->text()), QStringLiteral("Annulla"));
    const char *names[] = {"02-configurazione-archivi", "03-configurazione-societa",
                           "04-configurazione-amministratore"};
    for (const char *name : names) {
        SCOPED_TRACE(name);
        QApplication::processEvents();
        expectNothingCut(wizard);
        save(wizard, name);
        if (wizard.currentId() != Shell::CfgPrimo::AdminPage) {
            wizard.findChild<QLineEdit *>(QStringLiteral("ragioneSociale"))->setText(QStringLiteral("Ditta Prova Srl"));
            wizard.next();
        }
    }
    EXPECT_EQ(wizard.currentId(), Shell::CfgPrimo::AdminPage);
    EXPECT_EQ(plain(wizard.button(QWizard::FinishButton)->text()), QStringLiteral("Fine"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(Screens, StartWindowThenMainWindowOnCompany01)
{
    QTemporaryDir dir;
    const QString app = dir.path() + QLatin1Char('/');
    ScriptedPrompter prompter;
    // The installation the configuration utility makes: company 01 in DATI.
    Shell::FirstSetup setup;
    setup.pathDb = app + QStringLiteral("DATI");
    setup.companyCode = QStringLiteral("01");
    setup.companyName = QStringLiteral("Ditta Prova Srl");
    setup.adminPassword = setup.adminPasswordAgain = QStringLiteral("segreta");
    setup.year = 2026;
    ASSERT_TRUE(Shell::createArchives(setup, prompter));
    Services::Settings settings(app + QStringLiteral("CONT.INI"));
    ASSERT_TRUE(Shell::writeFirstSettings(settings, setup));
    settings.write(QStringLiteral("MAIN"), QStringLiteral("PATHICO"), QStringLiteral(ORLAVO_SHIPPED_BMP));
    settings.write(QStringLiteral("MAIN"), QStringLiteral("PATHRPT"), QStringLiteral(ORLAVO_SHIPPED_REPORTS));

    Ui::AppContext context(app, prompter);
    Shell::FrmIniziale start(context);
    start.load();
    ASSERT_TRUE(context.db.isOpen()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(start.size(), QSize(520, 300));
    save(start, "05-avvio");

    Shell::Menu menu(context);
    menu.resize(1366, 768);
    menu.show();
    ASSERT_TRUE(menu.openCurrentCompany());
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("Orlavo - Ditta Prova Srl"));
    QApplication::processEvents();
    save(menu, "06-finestra-principale");
    // Menu bar and toolbar fit the width without wrapping.
    EXPECT_LE(menu.menuBar()->sizeHint().width(), 1366);
    EXPECT_LE(menu.toolBar()->sizeHint().width(), 1366);
    EXPECT_EQ(menu.toolBar()->actions().size(), 20);

    // The Anagrafica menu and its Tabelle submenu open over the window.
    auto *registry = menu.findChild<QMenu *>(QStringLiteral("mnu_anagrafica"));
    ASSERT_NE(registry, nullptr);
    const QRect barItem = menu.menuBar()->actionGeometry(registry->menuAction());
    registry->popup(menu.menuBar()->mapToGlobal(barItem.bottomLeft()));
    QMenu *tables = nullptr;
    for (QAction *a : registry->actions()) {
        if (a->menu() && a->text() == QStringLiteral("&Tabelle"))
            tables = a->menu();
    }
    ASSERT_NE(tables, nullptr);
    registry->setActiveAction(tables->menuAction());
    tables->popup(registry->mapToGlobal(registry->actionGeometry(tables->menuAction()).topRight()));
    QApplication::processEvents();
    QPixmap shot = menu.grab();
    {
        QPainter painter(&shot);
        for (QMenu *open : {registry, tables})
            painter.drawPixmap(menu.mapFromGlobal(open->mapToGlobal(QPoint(0, 0))), open->grab());
    }
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty())
        shot.save(QDir(folder).filePath(QStringLiteral("11-menu-anagrafica.png")));
    tables->close();
    registry->close();
    menu.resize(1920, 1080);
    QApplication::processEvents();
    save(menu, "12-finestra-principale-1920");
    menu.resize(1366, 768);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();

    // A print entry shows the table's list with its print buttons; the
    // entries of tables not kept yet are disabled.
    EXPECT_FALSE(menu.findChild<QAction *>(QStringLiteral("St_TabCausMaga"))->isEnabled());
    EXPECT_TRUE(menu.findChild<QAction *>(QStringLiteral("St_TabNazioni"))->isEnabled());
    context.reports =
        Reporting::loadReportList(app + QStringLiteral("RPTPERS/"), QStringLiteral(ORLAVO_SHIPPED_REPORTS)).entries;
    bool listShown = false;
    QTimer::singleShot(0, [&] {
        auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget());
        if (!list)
            return;
        listShown = true;
        EXPECT_EQ(list->windowTitle(), QStringLiteral("Lista PROVINCIE"));
        EXPECT_EQ(list->rowCount(), 108);
        EXPECT_LE(list->height(), 768);
        expectNothingCut(*list);
        save(*list, "08-lista-provincie");
        list->findChild<QPushButton *>(QStringLiteral("anteprima"))->click();
        list->reject();
    });
    menu.findChild<QAction *>(QStringLiteral("St_TabProv"))->trigger();
    EXPECT_TRUE(listShown);
    // Its preview fits the screen with its pages; the PDF to look at.
    Ui::FrmRpt *preview = reportPreview();
    ASSERT_NE(preview, nullptr) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Lista PROVINCIE"));
    preview->showNormal();
    preview->resize(1366, 768);
    preview->setZoom(0);
    QApplication::processEvents();
    EXPECT_GE(preview->pageCount(), 2);
    expectNothingCut(*preview);
    save(*preview, "08-anteprima-provincie");
    preview->close();
    if (const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS"); !folder.isEmpty()) {
        Reporting::PrintCommand command;
        command.key = QStringLiteral("TABPROV");
        command.output = Reporting::ReportOutput::Pdf;
        command.pdfPath = QDir(folder).filePath(QStringLiteral("provincie.pdf"));
        EXPECT_TRUE(Ui::printReport(context, command));
    }

    // The code-table window of the zones, one per table.
    auto *zones = openFromMenu<Masterdata::FrmGetab>(menu, "TabZona", "09-tabella-zone");
    ASSERT_NE(zones, nullptr);
    EXPECT_EQ(zones->windowTitle(), QStringLiteral("Gestione Tabella Zona Territoriali"));
    menu.findChild<QAction *>(QStringLiteral("TabZona"))->trigger();
    EXPECT_EQ(menu.findChildren<Masterdata::FrmGetab *>().size(), 1);
    zones->close();

    // The company card, the base data and a table window with its import command.
    auto *card = openFromMenu<Shell::FrmSocieta>(menu, "codi_azienda", "13-codifica-societa");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->windowTitle(), QStringLiteral("CODIFICA SOCIETA'"));
    card->close();
    if (auto *baseData = openFromMenu<Shell::FrmDatiBase>(menu, "modi_dati_base", "14-dati-base"))
        baseData->close();
    auto *branches = openFromMenu<Masterdata::TableWindow>(menu, "TabCab", "15-filiali");
    ASSERT_NE(branches, nullptr);
    EXPECT_NE(branches->findChild<QPushButton *>(QStringLiteral("importa")), nullptr);
    branches->close();

    // A new customer, every tab; then the search.
    auto *customer = openFromMenu<Masterdata::F110Anac>(menu, "codi_clienti", "16-cliente-1");
    ASSERT_NE(customer, nullptr);
    EXPECT_EQ(customer->windowTitle(), QStringLiteral("Inserimento cliente"));
    for (int tab = 1; tab < customer->tabs()->count(); ++tab) {
        customer->tabs()->setCurrentIndex(tab);
        QApplication::processEvents();
        expectNothingCut(*customer);
        save(menu, QStringLiteral("16-cliente-%1").arg(tab + 1).toLatin1().constData());
    }
    customer->close();
    if (auto *search = openFromMenu<Masterdata::AnaRic>(menu, "list_clienti", "17-ricerca-clienti"))
        search->close();

    Shell::FrmPath path(app);
    path.show();
    expectNothingCut(path);
    save(path, "07-cartella-archivi");
    EXPECT_EQ(path.chosenFolder(), app);
}
