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
#include "services/core/settings.h"
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
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
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

QString plain(const QAbstractButton *button)
{
    return button->text().remove(QLatin1Char('&'));
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

TEST_F(Screens, QuestionsHaveItalianButtons)
{
    using Services::Prompter;
    QMessageBox box;
    Ui::MessageBoxPrompter::setUp(box,
                                  QStringLiteral("Prima esecuzione dell'applicazione: \n"
                                                 "Si vuole procedere con la configurazione guidata ? "),
                                  QStringLiteral("Orlavo"), Prompter::Icon::Question, Prompter::Buttons::YesNo, {});
    box.show();
    EXPECT_EQ(plain(box.button(QMessageBox::Yes)) + plain(box.button(QMessageBox::No)), QStringLiteral("SìNo"));
    save(box, "01-prima-esecuzione");

    QMessageBox cancel;
    Ui::MessageBoxPrompter::setUp(cancel, QStringLiteral("Confermi inserimento ?"), QStringLiteral("Orlavo"),
                                  Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Button::Cancel);
    EXPECT_EQ(plain(cancel.button(QMessageBox::Cancel)), QStringLiteral("Annulla"));
    EXPECT_EQ(cancel.defaultButton(), cancel.button(QMessageBox::Cancel));

    // Lines joined by a carriage return show as lines.
    QMessageBox concurrency;
    Ui::MessageBoxPrompter::setUp(concurrency, Services::Concurrency::deletedElsewhere(),
                                  QStringLiteral("Gestione Tabelle "), Prompter::Icon::Warning, Prompter::Buttons::Ok,
                                  {});
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
    EXPECT_EQ(plain(wizard.button(QWizard::NextButton)), QStringLiteral("Successivo >"));
    EXPECT_EQ(plain(wizard.button(QWizard::CancelButton)), QStringLiteral("Annulla"));
    for (const char *name :
         {"02-configurazione-archivi", "03-configurazione-societa", "04-configurazione-amministratore"}) {
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
    EXPECT_EQ(plain(wizard.button(QWizard::FinishButton)), QStringLiteral("Fine"));
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
    save(start, "05-avvio");
    Shell::Menu menu(context);
    menu.resize(1366, 768);
    menu.show();
    ASSERT_TRUE(menu.openCurrentCompany());
    QApplication::processEvents();
    save(menu, "06-finestra-principale");
    // Menu bar and toolbar fit the width without wrapping.
    EXPECT_LE(menu.menuBar()->sizeHint().width(), 1366);
    EXPECT_LE(menu.toolBar()->sizeHint().width(), 1366);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();

    // A print entry's list of 108 provinces and its preview fit the screen.
    context.reports =
        Reporting::loadReportList(app + QStringLiteral("RPTPERS/"), QStringLiteral(ORLAVO_SHIPPED_REPORTS)).entries;
    bool listShown = false;
    QTimer::singleShot(0, [&] {
        auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget());
        if (!list)
            return;
        listShown = true;
        EXPECT_EQ(list->rowCount(), 108);
        EXPECT_LE(list->height(), 768);
        expectNothingCut(*list);
        save(*list, "08-lista-provincie");
        list->findChild<QPushButton *>(QStringLiteral("anteprima"))->click();
        list->reject();
    });
    menu.findChild<QAction *>(QStringLiteral("St_TabProv"))->trigger();
    EXPECT_TRUE(listShown);
    Ui::FrmRpt *preview = reportPreview();
    ASSERT_NE(preview, nullptr) << prompter.texts().join(QLatin1Char('|')).toStdString();
    preview->showNormal();
    preview->resize(1366, 768);
    QApplication::processEvents();
    expectNothingCut(*preview);
    save(*preview, "08-anteprima-provincie");
    preview->close();

    // The windows of the menu, a new customer on every tab.
    if (auto *zones = openFromMenu<Masterdata::FrmGetab>(menu, "TabZona", "09-tabella-zone"))
        zones->close();
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
    auto *customer = openFromMenu<Masterdata::F110Anac>(menu, "codi_clienti", "16-cliente-1");
    ASSERT_NE(customer, nullptr);
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
