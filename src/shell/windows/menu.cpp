#include "shell/windows/menu.h"

#include "accounting/accounting.h"
#include "agenda/agenda.h"
#include "masterdata/masterdata.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "shell/rules/menutable.h"
#include "shell/stores/archivecheck.h"
#include "shell/stores/backup.h"
#include "shell/stores/loginstore.h"
#include "shell/windows/externalprograms.h"
#include "shell/windows/frmcampassw.h"
#include "shell/windows/frmdatibase.h"
#include "shell/windows/frminfobox.h"
#include "shell/windows/frmsocieta.h"
#include "shell/windows/frmutenti.h"
#include "shell/windows/pictures.h"
#include "shell/windows/salvataggi.h"
#include "ui/appcontext.h"
#include "ui/colours.h"
#include "ui/fieldlook.h"
#include "ui/lookuplist.h"
#include "ui/waitcursor.h"
#include "ui/waitmessage.h"
#include "sales/sales.h"
#include "warehouse/warehouse.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace Orlavo::Shell {

using Services::Prompter;

namespace {
constexpr char kNoBaseData[] = "Dati base dell'azienda errati!";
constexpr char kStillOpen[] = "Ci sono ancora delle applicazioni aperte\nOk per chiudere ";
constexpr char kCompanyList[] = "Lista SOCIETA";
constexpr char kDefaultExtraMenu[] = "Partite";
constexpr char kOpenName[] = "orlavoOpenName";
constexpr char kTag[] = "orlavoTag";
} // namespace

Menu::Menu(Ui::AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_workspace(new QMdiArea(this)), m_light(new QLabel(this)),
      m_lockPanel(new QLabel(this)), m_companyPanel(new QLabel(this)), m_yearPanel(new QLabel(this)),
      m_userPanel(new QLabel(this)), m_datePanel(new QLabel(this)), m_timePanel(new QLabel(this)),
      m_clock(new QTimer(this))
{
    setObjectName(QStringLiteral("menu"));
    setWindowIcon(QIcon(m_ctx.state.icon));
    setWindowTitle(QString::fromLatin1(Ui::kAppName));
    m_workspace->setObjectName(QStringLiteral("scrivania"));
    setCentralWidget(m_workspace);
    // ApplyFieldColours: a task window takes the field colours, changed
    // meanwhile or not, each time it comes to the front.
    connect(m_workspace, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (window && window->widget())
            Ui::applyFieldColours(window->widget(), Ui::readFieldColours(m_ctx.settings, palette()));
    });
    m_chooser = [this] { return chooseFromList(); };

    registerOwnEntries();
    Masterdata::registerWindows(m_registry, m_ctx);
    Accounting::registerWindows(m_registry, m_ctx);
    Warehouse::registerWindows(m_registry, m_ctx);
    Sales::registerWindows(m_registry, m_ctx);
    Agenda::registerWindows(m_registry, m_ctx);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    m_ctx.db.setStatusHook([this](const QString &text) { m_lockPanel->setText(text); });
    m_ctx.db.setBusyHook([this](bool busy) { setBusy(busy); });
    // Typed codes in capitals from here on.
    m_ctx.state.upperCaseKeys = true;
    enableForCompany();
}

Menu::~Menu()
{
    setBusy(false);
    m_ctx.db.setBusyHook({});
    m_ctx.db.setStatusHook({});
}

void Menu::registerOwnEntries()
{
    using Ui::WindowHost;
    const auto add = [this](const char *entry, std::function<void()> action, bool needsCompany = false) {
        m_registry.add(QString::fromLatin1(entry), [action = std::move(action)](WindowHost &) { action(); },
                       needsCompany);
    };
    add("codi_azienda", [this] { openCompanyCard({}); });
    add("list_azienda", [this] {
        if (const auto chosen = chooseFromList())
            openCompanyCard(*chosen);
    });
    add("SceltaAzienda", [this] { changeCompany(); });
    add("esci", [this] { close(); });
    add("mnu_vis_tool", [this] { toggleToolBar(); });
    add("mnuGesUtenti",
        [this] { openSingle(QStringLiteral("FRMUTENTI"), [this] { return new FrmUtenti(m_ctx); }); });
    add("mnuCamPwd",
        [this] { openSingle(QStringLiteral("FRMCAMPASSW"), [this] { return new FrmCamPassw(m_ctx); }); });
    add("popTaglia", [this] { editCommand(Qt::Key_X); });
    add("popCopia", [this] { editCommand(Qt::Key_C); });
    add("popIncolla", [this] { editCommand(Qt::Key_V); });
    add(
        "modi_dati_base",
        [this] {
            openSingle(QStringLiteral("FRMDATIBASE"), [this] {
                auto *window = new FrmDatiBase(m_ctx);
                window->setOnBackgroundChanged([this] { repaintBackground(); });
                window->setOnSaved([this] { showStatus(); });
                return window;
            });
        },
        true);
    if (QString why; backupAvailable(m_ctx.db, &why))
        add("salvataggi", [this] { runBackup(m_ctx, this); });
    else
        m_unavailable.insert(QStringLiteral("salvataggi"), why);
    if (m_ctx.db.engine() == Services::Engine::Sqlite)
        add("verifica_archivi", [this] { checkArchives(); });
    else
        m_unavailable.insert(QStringLiteral("verifica_archivi"),
                             QStringLiteral("Gli archivi sul server si verificano con gli strumenti di PostgreSQL."));
    if (const auto panel = findDateTimeSettings())
        add("gest_data_ora", [this, program = *panel] { startExternal(program, m_ctx.prompter); });
    else
        m_unavailable.insert(QStringLiteral("gest_data_ora"), unavailableReason(ExternalTool::DateTimeSettings));
    add("mnusalta1", [this] { m_workspace->activateNextSubWindow(); });
    add("mnu_informaz", [this] {
        FrmInfobox box(m_ctx, QCoreApplication::applicationVersion(), this);
        box.exec();
    });
}

void Menu::checkArchives()
{
    QStringList damage;
    {
        const Ui::WaitMessage wait(QStringLiteral("Attendere, verifica degli archivi in corso..."), this);
        damage = archiveDamage(m_ctx.db);
    }
    const QString title = QStringLiteral("Verifica archivi");
    if (damage.isEmpty())
        m_ctx.prompter.info(QStringLiteral("Gli archivi sono integri:\n") + archiveFiles(m_ctx.db).join(QLatin1Char('\n')),
                            title);
    else
        m_ctx.prompter.error(damage.join(QStringLiteral("\n\n")), title);
}

void Menu::runEntry(const QString &entry)
{
    if (const Ui::WindowAction *action = m_registry.find(entry))
        (*action)(*this);
}

void Menu::buildMenus()
{
    const QString appName = Ui::applicationName(m_ctx.settings);
    QHash<QString, QMenu *> menus;
    for (const MenuRow &row : menuRows()) {
        QMenu *parent = menus.value(row.parent);
        switch (row.kind) {
        case MenuRow::Kind::Separator:
            if (parent)
                parent->addSeparator();
            break;
        case MenuRow::Kind::Menu: {
            QMenu *menu = parent ? parent->addMenu(row.caption) : menuBar()->addMenu(row.caption);
            menu->setObjectName(row.name);
            menu->menuAction()->setObjectName(row.name);
            menu->setToolTipsVisible(true);
            menus.insert(row.name, menu);
            break;
        }
        case MenuRow::Kind::Entry: {
            QAction *item = parent->addAction(row.caption.contains(QLatin1String("%1")) ? row.caption.arg(appName)
                                                                                          : row.caption);
            item->setObjectName(row.name);
            if (!row.shortcut.isEmpty())
                item->setShortcut(QKeySequence(row.shortcut));
            if (m_registry.contains(row.name)) {
                connect(item, &QAction::triggered, this, [this, name = row.name] { runEntry(name); });
                if (m_registry.needsCompany(row.name))
                    m_companyActions.append(item);
            } else {
                // Its window is not built yet, or the machine lacks what it starts.
                item->setEnabled(false);
                item->setToolTip(m_unavailable.value(row.name));
            }
            break;
        }
        }
    }
    m_toolBarEntry = findChild<QAction *>(QStringLiteral("mnu_vis_tool"));
    m_extraMenu = menus.value(QStringLiteral("mnuGenerico"))->menuAction();
    // Enabled by the open company's settings.
    m_extraMenu->setEnabled(false);
}

void Menu::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Strumenti"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    const QString appName = Ui::applicationName(m_ctx.settings);
    const auto button = [this](const char *name, const char *picture, const QString &tip) {
        QAction *action = m_toolBar->addAction(toolbarPicture(m_ctx.state.pathIco, QString::fromLatin1(picture)), tip);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(tip);
        return action;
    };
    const auto command = [this, &button](const char *name, const char *picture, const char *tip, const char *cmd) {
        QAction *action = button(name, picture, QString::fromUtf8(tip));
        connect(action, &QAction::triggered, this, [this, cmd] { sendCommand(QString::fromLatin1(cmd)); });
        m_companyActions.append(action);
    };
    // Buttons that open a menu entry's window; disabled while it is not built.
    const auto opens = [this, &button](const char *name, const char *picture, const char *tip, const char *entry) {
        QAction *action = button(name, picture, QString::fromUtf8(tip));
        if (const QString opened = QString::fromLatin1(entry); m_registry.contains(opened)) {
            connect(action, &QAction::triggered, this, [this, opened] { runEntry(opened); });
            m_companyActions.append(action);
        } else {
            action->setEnabled(false);
        }
    };
    opens("btn_clien", "clien.bmp", "Anagrafica Clienti", "list_clienti");
    opens("btn_forn", "forn.bmp", "Anagrafica Fornitori", "list_fornitore");
    opens("btn_agenda", "agenda.bmp", "Agenda", "mnuAgenda");
    opens("btn_ddt", "ddt.bmp", "Documento di trasporto", "codi_bolle");
    command("btn_find", "find.bmp", "Trova", "TimTrova");
    command("btn_stampa", "print.bmp", "Stampa", "TimStampa");
    command("btn_preview", "preview.bmp", "Anteprima di stampa", "TimAnte");
    connect(button("btn_taglia", "cut.bmp", QStringLiteral("Taglia")), &QAction::triggered, this,
            [this] { editCommand(Qt::Key_X); });
    connect(button("btn_copia", "copy.bmp", QStringLiteral("Copia")), &QAction::triggered, this,
            [this] { editCommand(Qt::Key_C); });
    connect(button("btn_incolla", "paste.bmp", QStringLiteral("Incolla")), &QAction::triggered, this,
            [this] { editCommand(Qt::Key_V); });
    button("btn_help", "help.bmp", QStringLiteral("Guida"))->setEnabled(false);
    connect(button("btn_esci", "esci.bmp", QStringLiteral("Uscita da ") + appName), &QAction::triggered, this,
            &QWidget::close);
    command("btn_inse", "insert.bmp", "Inserimento di una riga", "TimIns");
    command("btn_dele", "delete.bmp", "Cancellazione righe", "TimCanc");
    command("btn_dett", "dett1.bmp", "Dettaglio righe", "TimSiDett");
    command("btn_nodett", "dettNo1.bmp", "Chiudi dettaglio righe", "TimNoDett");
    command("btn_openart", "opeartic.bmp", "Anagrafico Articolo", "TimOpenArt");
    command("btn_ultcaric", "caric.bmp", "Ultimi Carichi dell'articolo", "TimUltCaric");
    command("btn_ultvend", "caricve.bmp", "Ultimi prezzi di vendita dell'articolo", "TimUltVend");
    QAction *calculator = button("btn_calcol", "calc.bmp", QStringLiteral("Calcolatrice"));
    if (const auto program = findCalculator()) {
        connect(calculator, &QAction::triggered, this,
                [this, program = *program] { startExternal(program, m_ctx.prompter); });
    } else {
        calculator->setEnabled(false);
        calculator->setToolTip(unavailableReason(ExternalTool::Calculator));
    }
}

void Menu::buildStatusBar()
{
    m_light->setObjectName(QStringLiteral("semaforo"));
    m_lockPanel->setObjectName(QStringLiteral("pannelloBlocco"));
    m_companyPanel->setObjectName(QStringLiteral("pannelloSocieta"));
    m_yearPanel->setObjectName(QStringLiteral("pannelloAnno"));
    m_userPanel->setObjectName(QStringLiteral("pannelloUtente"));
    m_datePanel->setObjectName(QStringLiteral("pannelloData"));
    m_timePanel->setObjectName(QStringLiteral("pannelloOra"));
    statusBar()->addPermanentWidget(m_light);
    statusBar()->addPermanentWidget(m_lockPanel);
    statusBar()->addPermanentWidget(m_companyPanel, 1);
    statusBar()->addPermanentWidget(m_yearPanel);
    statusBar()->addPermanentWidget(m_userPanel);
    statusBar()->addPermanentWidget(m_datePanel);
    statusBar()->addPermanentWidget(m_timePanel);
    m_light->setPixmap(toolbarPixmap(m_ctx.state.pathIco, QStringLiteral("verde.bmp"), kStatusLightSize));
    // Clicking the date or the time opens the desktop's date panel.
    if (findDateTimeSettings()) {
        for (QLabel *panel : {m_datePanel, m_timePanel}) {
            panel->installEventFilter(this);
            panel->setCursor(Qt::PointingHandCursor);
            panel->setToolTip(QStringLiteral("Gestione data o ora"));
        }
    }
    const auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_datePanel->setText(now.date().toString(QStringLiteral("dd/MM/yyyy")));
        m_timePanel->setText(now.time().toString(QStringLiteral("HH:mm")));
    };
    tick();
    connect(m_clock, &QTimer::timeout, this, tick);
    m_clock->start(1000);
}

bool Menu::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_datePanel || watched == m_timePanel) && event->type() == QEvent::MouseButtonRelease) {
        if (const auto panel = findDateTimeSettings())
            startExternal(*panel, m_ctx.prompter);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Menu::openCurrentCompany()
{
    Services::AppState &state = m_ctx.state;
    if (state.company.isEmpty()) {
        const std::optional<QString> chosen = m_chooser();
        if (!chosen) {
            enableForCompany();
            applyMenuProfile();
            return false;
        }
        makeCurrent(*chosen);
    }
    if (!loadCompany())
        return false;
    // A working year just set gets its counters, as the base-data window
    // gives them: the first document of a new year finds its numbers.
    // A failure has been told (lock or error report); the next load tries again.
    if (m_yearSet && Services::Counters::verifyYearCounters(m_ctx.db, state.year))
        m_yearSet = false;

    m_openWindows = {QStringLiteral("MENU")};
    showTitle();
    repaintBackground();

    const QString extras = QStringLiteral("DATIAGGIUNTI");
    state.identifier = m_ctx.settings.read(extras, QStringLiteral("IDENTIFICATIVO"));
    const QString caption = m_ctx.settings.read(extras, QStringLiteral("MENUDESC"));
    state.extraMenuCaption = caption.isEmpty() ? QString::fromLatin1(kDefaultExtraMenu) : caption;
    state.stockMovesLinked = m_ctx.settings.read(extras, QStringLiteral("MOVMAGCOLLEG"))
                                 .trimmed()
                                 .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    m_extraMenu->setText(state.extraMenuCaption);
    m_extraMenu->setEnabled(state.stockMovesLinked);

    // Locks a crashed session of this user left behind.
    if (!state.user.isEmpty())
        m_ctx.db.unlockUser();
    enableForCompany();
    applyMenuProfile();
    return true;
}

void Menu::showTitle()
{
    setWindowTitle(Ui::applicationName(m_ctx.settings) + QStringLiteral(" - ") + m_ctx.state.companyName);
}

void Menu::openCompanyCard(const QString &code)
{
    const bool insert = code.isEmpty();
    openSingle(insert ? QStringLiteral("FRMINSSOCIETA") : QStringLiteral("FRMMODSOCIETA"), [this, insert, code] {
        auto *card = new FrmSocieta(m_ctx, insert ? CompanyMode::Insert : CompanyMode::Modify, code);
        if (!card->loaded()) {
            delete card;
            return static_cast<FrmSocieta *>(nullptr);
        }
        card->setOnRegistered([this, insert](const QString &registered) { companyRegistered(registered, insert); });
        return card;
    });
}

void Menu::companyRegistered(const QString &code, bool inserted)
{
    if (inserted) {
        // The first company of the installation becomes the current one.
        const auto companies = listCompanies(m_ctx.db);
        if (!m_ctx.db.companyOpen() && companies && companies->size() == 1) {
            makeCurrent(code);
            openCurrentCompany();
        }
        return;
    }
    // A new name of the open company shows at once.
    if (m_ctx.db.companyOpen() && code.compare(m_ctx.state.company, Qt::CaseInsensitive) == 0) {
        loadCompanyData(m_ctx.db, m_ctx.state);
        showTitle();
        showStatus();
    }
}

void Menu::repaintBackground()
{
    const QString background = m_ctx.settings.readOr(QStringLiteral("MENU"), QStringLiteral("COLORESFONDO"),
                                                     QString::fromLatin1(Ui::kDefaultBackground));
    m_workspace->setBackground(Ui::colourFromSetting(background, QColor(0, 0, 0xC0), palette()));
}

bool Menu::loadCompany()
{
    Services::AppState &state = m_ctx.state;
    // A company whose archive is gone or damaged leaves the window without
    // a company, as when none is registered: the operator chooses another,
    // registers one, or restores the archive.
    if (const QString problem = m_ctx.db.companyArchiveProblem(state.company); !problem.isEmpty()) {
        m_ctx.prompter.warn(problem, windowTitle());
        state.company.clear();
        state.companyName.clear();
        m_extraMenu->setEnabled(false);
        enableForCompany();
        applyMenuProfile();
        showStatus();
        return false;
    }
    if (!m_ctx.db.openCompany(state.company))
        return false;
    if (!loadCompanyData(m_ctx.db, state))
        m_ctx.prompter.info(QString::fromLatin1(kNoBaseData), windowTitle());
    showStatus();
    return true;
}

std::optional<QString> Menu::chooseFromList()
{
    auto companies = listCompanies(m_ctx.db);
    if (!companies || companies->isEmpty())
        return std::nullopt;
    Ui::LookupRequest request;
    request.table = Services::Tables::SOCIETA;
    request.title = QString::fromLatin1(kCompanyList);
    request.columns = {{QStringLiteral("SOCIETA"), QStringLiteral("04C"), QStringLiteral("SOC.")},
                       {QStringLiteral("RAG_SOC1"), QStringLiteral("30C"), QStringLiteral("RAGIONE SOCIALE")},
                       {QStringLiteral("RAG_SOC2"), QStringLiteral("30C"), QString()}};
    const auto chosen = Ui::showLookupList(m_ctx, request, this);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return chosen->first();
}

bool Menu::changeCompany()
{
    const std::optional<QString> chosen = m_chooser();
    if (!chosen)
        return false;
    // A company whose archive cannot be used is refused; the open one stays.
    if (const QString problem = m_ctx.db.companyArchiveProblem(*chosen); !problem.isEmpty()) {
        m_ctx.prompter.warn(problem, windowTitle());
        return false;
    }
    if (!closeTaskWindows())
        return false;
    // The old company's locks go before its connection.
    if (m_ctx.db.companyOpen() && !m_ctx.state.user.isEmpty())
        m_ctx.db.unlockUser();
    makeCurrent(*chosen);
    return openCurrentCompany();
}

void Menu::makeCurrent(const QString &company)
{
    m_ctx.state.company = company;
    m_ctx.state.year = QString::number(QDate::currentDate().year());
    m_ctx.settings.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), company);
    m_ctx.settings.write(QStringLiteral("MAIN"), QStringLiteral("ANNO"), m_ctx.state.year);
    m_yearSet = true;
}

void Menu::applyMenuProfile()
{
    const QString generate =
        m_ctx.settings.readOr(QStringLiteral("MAIN"), QStringLiteral("GENERAFATTURE"), QStringLiteral("NO"));
    const bool generateInvoices = generate.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    for (const QString &name : hiddenEntries(menuRows(), m_ctx.state.userType, generateInvoices)) {
        if (QAction *action = findChild<QAction *>(name))
            action->setVisible(false);
    }
}

void Menu::enableForCompany()
{
    const bool open = m_ctx.db.companyOpen();
    for (QAction *action : m_companyActions)
        action->setEnabled(open);
}

void Menu::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyMenuProfile();
    QMainWindow::changeEvent(event);
}

void Menu::closeEvent(QCloseEvent *event)
{
    if (!closeTaskWindows()) {
        event->ignore();
        return;
    }
    if (m_ctx.db.companyOpen() && !m_ctx.state.user.isEmpty())
        m_ctx.db.unlockUser();
    if (!m_ctx.state.user.isEmpty())
        clearConnected(m_ctx.db, m_ctx.settings);
    QMainWindow::closeEvent(event);
}

bool Menu::closeTaskWindows()
{
    if (taskWindowCount() == 0)
        return true;
    if (m_ctx.prompter.ask(QString::fromLatin1(kStillOpen), windowTitle(), Prompter::Icon::Information,
                           Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    for (QMdiSubWindow *window : m_workspace->subWindowList())
        window->setAttribute(Qt::WA_DeleteOnClose);
    // A window with unsaved input may ask, and stay.
    m_workspace->closeAllSubWindows();
    return taskWindowCount() == 0;
}

// SetBusy: the red light and the hourglass while the archives are at work.
void Menu::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_light->setPixmap(toolbarPixmap(
        m_ctx.state.pathIco, busy ? QStringLiteral("rosso.bmp") : QStringLiteral("verde.bmp"), kStatusLightSize));
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Menu::showStatus()
{
    const Services::AppState &state = m_ctx.state;
    const QString readOnly = m_ctx.db.readOnlyReason();
    m_companyPanel->setText((state.company.isEmpty() ? QStringLiteral("Nessuna società aperta")
                                                     : QStringLiteral("Società %1 - %2").arg(state.company, state.companyName)) +
                            (readOnly.isEmpty() ? QString() : QStringLiteral(" - SOLA LETTURA: ") + readOnly));
    m_companyPanel->setToolTip(readOnly);
    m_companyPanel->setStyleSheet(readOnly.isEmpty() ? QString() : QStringLiteral("color: #b00000;"));
    m_yearPanel->setText(QStringLiteral("Anno %1").arg(state.year));
    m_userPanel->setText(state.user.isEmpty() ? QString() : QStringLiteral("Utente %1").arg(state.user));
}

QStringList Menu::openWindows() const
{
    m_openWindows.removeIf([this](const QString &name) {
        return name != QLatin1String("MENU") && name != m_opening && !subWindowNamed(name);
    });
    return m_openWindows;
}

bool Menu::registerOpenWindow(const QString &name)
{
    const QString upper = name.toUpper();
    openWindows();
    if (m_openWindows.contains(upper)) {
        if (QMdiSubWindow *window = subWindowNamed(upper))
            bringToFront(window);
        return true;
    }
    m_openWindows.append(upper);
    return false;
}

void Menu::unregisterOpenWindow(const QString &name)
{
    m_openWindows.removeAll(name.toUpper());
}

bool Menu::activateTaggedWindow(const QString &tag)
{
    for (QMdiSubWindow *window : m_workspace->subWindowList()) {
        if (window->property(kTag).toString() == tag) {
            bringToFront(window);
            return true;
        }
    }
    return false;
}

QMdiSubWindow *Menu::subWindowNamed(const QString &name) const
{
    for (QMdiSubWindow *window : m_workspace->subWindowList()) {
        if (window->property(kOpenName).toString() == name)
            return window;
    }
    return nullptr;
}

void Menu::bringToFront(QMdiSubWindow *window)
{
    if (window->isMinimized())
        window->showNormal();
    m_workspace->setActiveSubWindow(window);
    window->raise();
}

QMdiSubWindow *Menu::showTaskWindow(QWidget *window, const QString &name, const QString &tag)
{
    QMdiSubWindow *frame = m_workspace->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(QIcon(m_ctx.state.iconForms));
    // A window of fixed size offers no maximise, in its frame or its menu.
    if (window->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed || qobject_cast<QDialog *>(window))
        frame->setWindowFlags(frame->windowFlags() & ~Qt::WindowMaximizeButtonHint);
    if (!tag.isEmpty())
        frame->setProperty(kTag, tag);
    if (!name.isEmpty()) {
        const QString upper = name.toUpper();
        frame->setProperty(kOpenName, upper);
        if (!m_openWindows.contains(upper))
            m_openWindows.append(upper);
    }
    // A dialog's own Esci closes its frame too.
    if (auto *dialog = qobject_cast<QDialog *>(window))
        connect(dialog, &QDialog::finished, frame, &QWidget::close);
    window->show();
    frame->show();
    m_workspace->setActiveSubWindow(frame);
    return frame;
}

int Menu::taskWindowCount() const
{
    return int(m_workspace->subWindowList().size());
}

void Menu::openSingle(const QString &name, const std::function<QWidget *()> &create)
{
    if (registerOpenWindow(name))
        return;
    m_opening = name.toUpper();
    const Ui::WaitCursor wait;
    m_ctx.state.openMode.clear();
    m_ctx.state.openKey.clear();
    QWidget *window = create();
    if (window)
        showTaskWindow(window, name);
    else
        unregisterOpenWindow(name);
    m_opening.clear();
}

void Menu::sendCommand(const QString &command)
{
    QMdiSubWindow *active = m_workspace->activeSubWindow();
    QWidget *window = active ? active->widget() : nullptr;
    if (!window)
        return;
    const QByteArray signature = command.toLatin1() + "()";
    if (window->metaObject()->indexOfMethod(signature.constData()) < 0)
        return;
    QMetaObject::invokeMethod(window, command.toLatin1().constData(), Qt::QueuedConnection);
}

void Menu::editCommand(int key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return;
    if (auto *field = qobject_cast<QLineEdit *>(target)) {
        if (key == Qt::Key_X)
            field->cut();
        else if (key == Qt::Key_C)
            field->copy();
        else
            field->paste();
        return;
    }
    // Grids take the keys through their clipboard handler.
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(target, &press);
}

void Menu::toggleToolBar()
{
    const bool shown = !m_toolBar->isVisible();
    m_toolBar->setVisible(shown);
    m_toolBarEntry->setText(shown ? QStringLiteral("&Nascondi") : QStringLiteral("&Visualizza"));
}

} // namespace Orlavo::Shell
