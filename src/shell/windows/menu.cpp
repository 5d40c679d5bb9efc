#include "menu.h"

#include "appcontext.h"
#include "rules/codetables.h"
#include "rules/colours.h"
#include "stores/loginstore.h"
#include "tablenames.h"
#include "stores/backup.h"
#include "windows/externalprograms.h"
#include "windows/fieldlook.h"
#include "windows/frmcampassw.h"
#include "windows/frmdatibase.h"
#include "windows/frmgetab.h"
#include "windows/frminfobox.h"
#include "windows/anaric.h"
#include "windows/f110anac.h"
#include "windows/frmsocieta.h"
#include "windows/frmutenti.h"
#include "windows/lookuplist.h"
#include "windows/pictures.h"
#include "windows/salvataggi.h"
#include "windows/tablewindow.h"

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

// The hourglass while a window opens, put back whatever happens.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Entries hidden by user type: types 0 and 1, and type 3.
const QStringList kHiddenBelowAdmin = {QStringLiteral("mnuGesUtenti"), QStringLiteral("MnuCompArch"),
                                       QStringLiteral("mnu_chiuriaprmag"), QStringLiteral("chius_esercizio")};
const QStringList kHiddenForType3 = {QStringLiteral("mnu_fvendita"),     QStringLiteral("mnu_simulaFvend"),
                                     QStringLiteral("mnu_facq"),         QStringLiteral("mnu_contabilita"),
                                     QStringLiteral("mnuGesUtenti"),     QStringLiteral("MnuCompArch"),
                                     QStringLiteral("mnu_chiuriaprmag"), QStringLiteral("chius_esercizio")};

// A code table's entries: the window's object name, its caption, the
// table (nullptr while its window is not built) and the print list.
struct TableEntry {
    const char *name;
    const char *caption;
    const char *table;     // kept by the code-table window
    const char *reportKey;
    const char *form = nullptr; // a table window of its own
};

const QHash<QString, TableEntry> &tableEntries()
{
    static const QHash<QString, TableEntry> entries = [] {
        const TableEntry list[] = {
            {"TabAttivita", "Attività", "TAB_ATTIVITA", "TABATTIV"},
            {"TabTipoCli", "Tipo Clienti", "TAB_TIPO_CLI", "TABTICLI"},
            {"TapTipoForn", "Tipo Fornitori", nullptr, "TABTIFOR", "frmTipFo"},
            {"TabDocId", "Tipo Documenti Identità", "TAB_DOC_ID", "TABDOCID"},
            {"TabCondPag", "Condizioni Pagamento", nullptr, "TABCONDP"},
            {"TabZona", "Zona", "TAB_ZONA", "TABZONA"},
            {"TabProv", "Provincie", "TAB_PROV", "TABPROV"},
            {"TabNazioni", "Nazioni", nullptr, "TABPAESI", "frmPaesi"},
            {"TabCap", "C.A.P.", nullptr, "TABCAP", "frmCap"},
            {"TabAbi", "Istituti bancari (A.B.I.)", "TAB_ABI", nullptr},
            {"TabCab", "Filiali bancarie (C.A.B.)", nullptr, "TABCAB", "frmCab"},
            {"TabUbicazione", "Ubicazione", "TAB_UBICAZIONE", "TABUBIC"},
            {"TabMarche", "Marche", "TAB_MARCHE", "TABMARCH"},
            {"TabTipoArt", "Tipo Articoli", "TAB_TIPO_ART", nullptr},
            {"TabMagazzini", "Magazzini", "TAB_MAGAZZINI", "TABMAGAZ"},
            {"TabCausMaga", "Causali Magazzino", nullptr, "TABCAUMA"},
            {"TabUntMis", "Unità di misura", "TAB_UNTMIS", "TABUMIS"},
            {"TabMerce", "Gruppo Merceologico", "TAB_MERCE", "TABMERCE"},
            {"TabCStatis", "Gruppo Statistico", "TAB_C_STATIS", "TABCSTAT"},
            {"mnutabprovvmarca", "Provvigioni per marca", nullptr, nullptr, "frmMarca"},
            {"TabIva", "Aliquote Iva", nullptr, "TABIVA"},
            {"mnu_TipoDDT", "Tipo Documenti Trasporto", nullptr, "TABTIBOL"},
            {"TabTipoDoc", "Tipo Documenti", "TAB_TIPO_DOC", "TABTDOC"},
            {"TabCausTrasp", "Causali Trasporto", "TAB_TRASP", "TABTRASP"},
            {"TabAspetto", "Aspetto dei beni", "TAB_ASPET_EST", "TABASPET"},
            {"mnuModelli", "Modelli", nullptr, nullptr},
            {"TabRegIva", "Registri Iva", "TAB_REGISTRI", "TABREIVA"},
            {"TabGruppi", "Gruppo Conti", "TAB_GRUPP", "TABGRUPP"},
            {"TabSottogruppi", "Sottogruppo Conti", "TAB_SOGRUP", "TABSOGRU"},
            {"TabTipoCaus", "Tipo Causali", "TAB_TIPO_CAUS", "TABTCAU"},
            {"TabCCos", "Centri di Costo", "TAB_CCOS", "TABCCOS"},
            {"TabCausContabilita", "Causali di Contabilità", nullptr, "TABCAUCO"},
        };
        QHash<QString, TableEntry> byName;
        for (const TableEntry &e : list)
            byName.insert(QString::fromLatin1(e.name), e);
        return byName;
    }();
    return entries;
}
} // namespace

Menu::Menu(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_workspace(new QMdiArea(this)), m_light(new QLabel(this)),
      m_lockPanel(new QLabel(this)), m_companyPanel(new QLabel(this)), m_yearPanel(new QLabel(this)),
      m_userPanel(new QLabel(this)), m_datePanel(new QLabel(this)), m_timePanel(new QLabel(this)),
      m_clock(new QTimer(this))
{
    setObjectName(QStringLiteral("menu"));
    setWindowIcon(QIcon(m_ctx.state.icon));
    setWindowTitle(QString::fromLatin1(kAppName));
    m_workspace->setObjectName(QStringLiteral("scrivania"));
    setCentralWidget(m_workspace);
    // ApplyFieldColours: a task window takes the field colours, changed
    // meanwhile or not, each time it comes to the front.
    connect(m_workspace, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (window && window->widget())
            applyFieldColours(window->widget(), readFieldColours(m_ctx.settings, palette()));
    });
    m_chooser = [this] { return chooseFromList(); };

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

QAction *Menu::entry(QMenu *menu, const QString &caption, const char *name, std::function<void()> action,
                     bool needsCompany)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (action) {
        connect(item, &QAction::triggered, this, std::move(action));
        if (needsCompany)
            m_companyActions.append(item);
    } else {
        item->setEnabled(false);
    }
    return item;
}

QMenu *Menu::submenu(QMenu *parent, const QString &caption, const char *name)
{
    QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    if (name) {
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
    }
    return menu;
}

void Menu::buildTables(QMenu *parent, const char *printPrefix, const QList<const char *> &names)
{
    // Tabelle first, then Stampa.
    QMenu *tables = submenu(parent, QStringLiteral("&Tabelle"));
    QMenu *prints = submenu(parent, QStringLiteral("&Stampa"));
    for (const char *name : names) {
        const TableEntry &e = tableEntries()[QString::fromLatin1(name)];
        const CodeTable *table = e.table ? findCodeTable(QString::fromLatin1(e.table)) : nullptr;
        const TableForm *form = e.form ? findTableForm(QString::fromLatin1(e.form)) : nullptr;
        const QString caption = QString::fromUtf8(e.caption);
        std::function<void()> open;
        std::function<void()> print;
        if (table) {
            open = [this, table] { openCodeTable(*table); };
            if (!table->reportKey.isEmpty())
                print = [this, table] { printCodeTable(*table); };
        } else if (form) {
            open = [this, form] { openTableForm(*form); };
            print = [this, form] { printTableForm(*form); };
        }
        entry(tables, caption, e.name, open);
        if (!e.reportKey)
            continue;
        const QByteArray printName = QByteArray(printPrefix) + e.name;
        entry(prints, caption, printName.constData(), print);
    }
}

void Menu::buildMenus()
{
    // Anagrafica
    QMenu *registry = submenu(nullptr, QStringLiteral("&Anagrafica"), "mnu_anagrafica");
    QMenu *customers = submenu(registry, QStringLiteral("&Clienti"));
    entry(customers, QStringLiteral("&Codifica"), "codi_clienti", [this] { openCustomer(0); });
    entry(customers, QStringLiteral("&Lista/Modifica"), "list_clienti", [this] { openCustomerSearch(); });
    QMenu *suppliers = submenu(registry, QStringLiteral("&Fornitori"));
    entry(suppliers, QStringLiteral("&Codifica"), "codi_fornitore");
    entry(suppliers, QStringLiteral("&Lista/Modifica"), "list_fornitore");
    entry(submenu(registry, QStringLiteral("A&genti")), QStringLiteral("&Lista/Modifica"), "mnu_AgentiAg");
    buildTables(registry, "St_",
                {"TabAttivita", "TabTipoCli", "TapTipoForn", "TabDocId", "TabCondPag", "TabZona", "TabProv",
                 "TabNazioni", "TabUbicazione", "TabCap"});
    entry(registry, QStringLiteral("A&ppuntamenti"), "mnuAgenda");
    QMenu *company = submenu(registry, QStringLiteral("A&zienda"));
    entry(
        company, QStringLiteral("&Codifica"), "codi_azienda", [this] { openCompanyCard({}); }, false);
    entry(
        company, QStringLiteral("&Lista Modifica"), "list_azienda",
        [this] {
            if (const auto chosen = chooseFromList())
                openCompanyCard(*chosen);
        },
        false);
    entry(
        company, QStringLiteral("&Scelta Azienda"), "SceltaAzienda", [this] { changeCompany(); }, false);
    registry->addSeparator();
    entry(
        registry, QStringLiteral("Fine &programma"), "esci", [this] { close(); }, false);

    // Magazzino
    QMenu *stock = submenu(nullptr, QStringLiteral("&Magazzino"), "mnu_magazzino");
    QMenu *items = submenu(stock, QStringLiteral("&Articoli"));
    entry(items, QStringLiteral("&Codifica"), "codi_articoli");
    entry(items, QStringLiteral("&Lista/Modifica"), "modi_articoli");
    entry(stock, QStringLiteral("Liste Articoli"), "mnu_listarticoli");
    entry(stock, QStringLiteral("Situazione magazzino"), "mnuSitMaga");
    stock->addSeparator();
    entry(stock, QStringLiteral("Ricalcolo esistenza"), "mnu_ricalesist");
    entry(stock, QStringLiteral("Compensazione esistenze negative"), "mnuCompNegativ");
    entry(stock, QStringLiteral("Sistemazione Movmag da fatture"), "mnuFvMag");
    entry(stock, QStringLiteral("Ricalcolo ultimo costo d'acquisto"), "mnuRicUltCosto");
    entry(stock, QStringLiteral("Ricalcolo prezzi medi d'acquisto"), "mnuRicPrezMed");
    stock->addSeparator();
    entry(stock, QStringLiteral("Esenzione"), "m223Esenzione");
    QMenu *supplierDiscounts = submenu(stock, QStringLiteral("Sconti Fornitori"));
    entry(supplierDiscounts, QStringLiteral("&Codifica"), "mnuScForCod");
    entry(supplierDiscounts, QStringLiteral("&Lista/Modifica"), "mnuScForMod");
    QMenu *customerDiscounts = submenu(stock, QStringLiteral("Sconti Clienti"));
    entry(customerDiscounts, QStringLiteral("&Codifica"), "MnuScCliCod");
    entry(customerDiscounts, QStringLiteral("&Lista/Modifica"), "MnuScCliMod");
    QMenu *purchaseLists = submenu(stock, QStringLiteral("Listini Acquisto"));
    entry(purchaseLists, QStringLiteral("Listini Fornitori"), "mnu_listAcqMod");
    entry(purchaseLists, QStringLiteral("Genera listino"), "mnu_genListAcq");
    entry(purchaseLists, QStringLiteral("Prezzi da Scheda Articolo"), "mnu_listacqbase");
    QMenu *salesLists = submenu(stock, QStringLiteral("Listini Vendita"));
    entry(salesLists, QStringLiteral("Listini Clienti"), "mnu_listVenMod");
    entry(salesLists, QStringLiteral("Genera listino"), "mnu_listVenGen");
    entry(salesLists, QStringLiteral("Prezzi da Scheda Articolo"), "mnu_listvenbase");
    QMenu *incomingNotes = submenu(stock, QStringLiteral("D.d.T. di carico"));
    entry(incomingNotes, QStringLiteral("&Codifica"), "mnuDDTcaricoIn");
    entry(incomingNotes, QStringLiteral("&Lista/Modifica"), "mnuDDTcaricoAg");
    QMenu *moves = submenu(stock, QStringLiteral("Movimenti"));
    entry(moves, QStringLiteral("&Codifica"), "codi_movimenti");
    entry(moves, QStringLiteral("&Lista/Modifica"), "modi_movimenti");
    QMenu *jobs = submenu(stock, QStringLiteral("Commesse"));
    entry(jobs, QStringLiteral("&Codifica"), "commcodif");
    entry(jobs, QStringLiteral("&Lista/Modifica"), "commModif");
    buildTables(stock, "St_",
                {"TabMarche", "TabTipoArt", "TabMagazzini", "TabUntMis", "TabMerce", "TabCStatis", "TabCausMaga",
                 "mnutabprovvmarca"});

    // The installation's own extra menu, captioned by MENUDESC.
    QMenu *extra = submenu(nullptr, QString::fromLatin1(kDefaultExtraMenu), "mnuGenerico");
    m_extraMenu = extra->menuAction();
    entry(extra, QStringLiteral("&Codifica"), "mnuGenCodif");
    entry(extra, QStringLiteral("&Lista/Modifica"), "mnuGenModif");

    // Documenti
    QMenu *documents = submenu(nullptr, QStringLiteral("&Documenti"), "mnu_documenti");
    QMenu *orders = submenu(documents, QStringLiteral("Ordini da Cliente"));
    entry(orders, QStringLiteral("&Codifica"), "mnuOffIn");
    entry(orders, QStringLiteral("&Lista/Modifica"), "mnuOffAgg");
    QMenu *deliveryNotes = submenu(documents, QStringLiteral("Documenti di Trasporto"));
    entry(deliveryNotes, QStringLiteral("&Emissione"), "codi_bolle");
    entry(deliveryNotes, QStringLiteral("&Modifica/Stampa"), "modi_bolle");
    QMenu *receipts = submenu(documents, QStringLiteral("Ricevute fiscali"));
    entry(receipts, QStringLiteral("&Emissione"), "mnuricfiscemis");
    entry(receipts, QStringLiteral("&Lista/Modifica"), "mnuricfiscmodi");
    QMenu *invoices = submenu(documents, QStringLiteral("Fatture Vendita"), "mnu_fvendita");
    entry(invoices, QStringLiteral("&Emissione"), "mnu_FVencod");
    entry(invoices, QStringLiteral("&Modifica/Stampa"), "mnu_FVenModi");
    entry(invoices, QStringLiteral("&Generazione automatica"), "mnu_ddt_genfven");
    entry(documents, QStringLiteral("Fatturato Clienti"), "mnufattcli");
    entry(documents, QStringLiteral("Statistiche Venduto"), "mnustatvend");
    QMenu *simulation = submenu(documents, QStringLiteral("Simulazione Fattura di Vendita"), "mnu_simulaFvend");
    entry(simulation, QStringLiteral("&Generazione automatica"), "mnu_sim_genfvend");
    entry(simulation, QStringLiteral("&Modifica/Stampa"), "mnu_sim_modifFvend");
    QMenu *proposals = submenu(documents, QStringLiteral("Proposte di fattura"));
    entry(proposals, QStringLiteral("&Emissione"), "mnu_propFvendCodi");
    entry(proposals, QStringLiteral("&Modifica/Stampa"), "mnu_PropFvendModi");
    entry(proposals, QStringLiteral("&Incassi"), "mnu_PropFvendInc");
    QMenu *purchases = submenu(documents, QStringLiteral("Fatture d'Acquisto"), "mnu_facq");
    entry(purchases, QStringLiteral("&Codifica"), "mnu_facq_codi");
    entry(purchases, QStringLiteral("&Lista/Modifica"), "mnu_facq_modi");
    entry(purchases, QStringLiteral("&Fatturato Fornitori"), "mnufattfor");
    QMenu *quotes = submenu(documents, QStringLiteral("Preventivi veloci"));
    entry(quotes, QStringLiteral("&Codifica"), "prevCodif");
    entry(quotes, QStringLiteral("&Lista/Modifica"), "prevModif");
    buildTables(documents, "St", {"TabIva", "mnu_TipoDDT", "TabTipoDoc", "TabCausTrasp", "TabAspetto", "mnuModelli"});
    entry(documents, QStringLiteral("Ricalcolo provvigioni"), "mnuricprov");

    // Contabilità
    QMenu *accounts = submenu(nullptr, QStringLiteral("&Contabilità"), "mnu_contabilita");
    QMenu *dues = submenu(accounts, QStringLiteral("Scadenze"));
    entry(dues, QStringLiteral("&Pagamenti"), "mnu_scadPag");
    entry(dues, QStringLiteral("&Incassi"), "mnu_scadInca");
    entry(dues, QStringLiteral("&Clienti/Fornitori"), "mnuScadCliFor");
    entry(dues, QStringLiteral("&Effetti all'incasso"), "mnuEffetti");
    QMenu *transfers = submenu(accounts, QStringLiteral("Conto a Conto"));
    entry(transfers, QStringLiteral("&Codifica"), "mnuConaConINS");
    entry(transfers, QStringLiteral("&Lista/Modifica"), "mnuConaConMOD");
    QMenu *takings = submenu(accounts, QStringLiteral("Corrispettivi"));
    entry(takings, QStringLiteral("&Registrazione"), "regi_corrispettivi");
    entry(takings, QStringLiteral("&Lista/Modifica"), "modi_corrispettivi");
    entry(accounts, QStringLiteral("Movimenti"), "mnu_movimenti");
    entry(accounts, QStringLiteral("Gestione Conti"), "mnu_giornale");
    entry(accounts, QStringLiteral("Riepilogo Conti"), "mnu_conti");
    entry(accounts, QStringLiteral("Bilancio di Verifica"), "bilancio_verifica");
    entry(accounts, QStringLiteral("Stampa Giornale"), "stampa_giornale");
    entry(accounts, QStringLiteral("Gestione IVA"), "MNU_IVA");
    entry(accounts, QStringLiteral("Liquidazione periodica IVA"), "mnuDichiarIva");
    buildTables(accounts, "St_",
                {"TabRegIva", "TabGruppi", "TabSottogruppi", "TabTipoCaus", "TabCCos", "TabCausContabilita"});
    QMenu *chart = submenu(accounts, QStringLiteral("Piano dei Conti"));
    entry(chart, QStringLiteral("&Gestione"), "gest_piano_conti");
    entry(chart, QStringLiteral("&Stampa"), "stampa_pianoc");
    QMenu *banks = submenu(accounts, QStringLiteral("Banche"));
    entry(banks, QStringLiteral("Banche &Pagamento"), "TabBanPag",
          [this] { openTableForm(*findTableForm(QStringLiteral("frmBanPag"))); });
    entry(banks, QStringLiteral("Banche &Appoggio"), "TabBanApp",
          [this] { openTableForm(*findTableForm(QStringLiteral("frmBanApp"))); });
    buildTables(banks, "St_", {"TabAbi", "TabCab"});

    // Utilità
    QMenu *tools = submenu(nullptr, QStringLiteral("&Utilità"), "mnu_utilita");
    m_toolBarEntry = entry(
        submenu(tools, QStringLiteral("&Toolbar")), QStringLiteral("&Nascondi"), "mnu_vis_tool",
        [this] { toggleToolBar(); }, false);
    QMenu *users = submenu(tools, QStringLiteral("U&tenti"));
    entry(
        users, QStringLiteral("&Gestione utenti"), "mnuGesUtenti",
        [this] { openSingle(QStringLiteral("FRMUTENTI"), [this] { return new FrmUtenti(m_ctx); }); }, false);
    entry(
        users, QStringLiteral("&Cambia password"), "mnuCamPwd",
        [this] { openSingle(QStringLiteral("FRMCAMPASSW"), [this] { return new FrmCamPassw(m_ctx); }); }, false);
    QMenu *edit = submenu(tools, QStringLiteral("&Edit"));
    entry(
        edit, QStringLiteral("&Taglia"), "popTaglia", [this] { editCommand(Qt::Key_X); }, false);
    entry(
        edit, QStringLiteral("&Copia"), "popCopia", [this] { editCommand(Qt::Key_C); }, false);
    entry(
        edit, QStringLiteral("&Incolla"), "popIncolla", [this] { editCommand(Qt::Key_V); }, false);
    entry(tools, QStringLiteral("&Modifica dati Base"), "modi_dati_base", [this] {
        openSingle(QStringLiteral("FRMDATIBASE"), [this] {
            auto *window = new FrmDatiBase(m_ctx);
            window->setOnBackgroundChanged([this] { repaintBackground(); });
            window->setOnSaved([this] { showStatus(); });
            return window;
        });
    });
    entry(tools, QStringLiteral("Chiusura/Riapertura magazzino"), "mnu_chiuriaprmag");
    entry(tools, QStringLiteral("Chiusura esercizio - Apertura nuovo esercizio"), "chius_esercizio");
    QAction *backup = entry(
        tools, QStringLiteral("&Salvataggio"), "salvataggi", [this] { runBackup(m_ctx, this); }, false);
    if (QString why; !backupAvailable(m_ctx.db, &why)) {
        backup->setEnabled(false);
        backup->setToolTip(why);
    }
    QAction *dateTime = entry(tools, QStringLiteral("Gestione &data o ora"), "gest_data_ora");
    if (const auto panel = findDateTimeSettings()) {
        dateTime->setEnabled(true);
        connect(dateTime, &QAction::triggered, this,
                [this, program = *panel] { startExternal(program, m_ctx.prompter); });
    } else {
        dateTime->setToolTip(unavailableReason(ExternalTool::DateTimeSettings));
    }
    tools->setToolTipsVisible(true);

    // The two entries without a menu of their own.
    QMenu *windows = submenu(nullptr, QStringLiteral("&Finestre"), "mnu_finestre");
    entry(
        windows, QStringLiteral("&Scheda successiva"), "mnusalta1", [this] { m_workspace->activateNextSubWindow(); },
        false);
    QMenu *help = submenu(nullptr, QStringLiteral("A&iuto"), "mnu_aiuto");
    const QString appName = applicationName(m_ctx.settings);
    entry(
        help, QStringLiteral("&Informazioni su ") + appName + QStringLiteral("..."), "mnu_informaz",
        [this] {
            FrmInfobox box(m_ctx, QCoreApplication::applicationVersion(), this);
            box.exec();
        },
        false);
}

void Menu::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Strumenti"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    const QString appName = applicationName(m_ctx.settings);
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
    // Windows not built yet: their buttons wait for them.
    QAction *customers = button("btn_clien", "clien.bmp", QStringLiteral("Anagrafica Clienti"));
    connect(customers, &QAction::triggered, this, [this] { openCustomerSearch(); });
    m_companyActions.append(customers);
    button("btn_forn", "forn.bmp", QStringLiteral("Anagrafica Fornitori"))->setEnabled(false);
    button("btn_agenda", "agenda.bmp", QStringLiteral("Agenda"))->setEnabled(false);
    button("btn_ddt", "ddt.bmp", QStringLiteral("Documento di trasporto"))->setEnabled(false);
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
    setWindowTitle(applicationName(m_ctx.settings) + QStringLiteral(" - ") + m_ctx.state.companyName);
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

void Menu::openCustomer(int code)
{
    // One window per customer; a new one is "Inserimento cliente".
    const QString name = code ? QStringLiteral("F110ANAC_%1").arg(code) : QStringLiteral("F110ANAC");
    if (registerOpenWindow(name))
        return;
    const WaitCursor wait;
    auto *window = new F110Anac(m_ctx, code ? F110Anac::Mode::Modify : F110Anac::Mode::Insert, code);
    if (!window->loaded()) {
        m_ctx.prompter.error(QStringLiteral("Il cliente non esiste in archivio "), QStringLiteral("Errore ...... "));
        delete window;
        unregisterOpenWindow(name);
        return;
    }
    showTaskWindow(window, name, code ? QStringLiteral("ANACLIAGG") : QStringLiteral("ANACLIINS"));
}

void Menu::openCustomerSearch()
{
    openSingle(QStringLiteral("ANARIC"), [this] {
        auto *search = new AnaRic(m_ctx);
        search->setOnChosen([this](int code) { openCustomer(code); });
        return search;
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
                                                     QString::fromLatin1(kDefaultBackground));
    m_workspace->setBackground(colourFromSetting(background, QColor(0, 0, 0xC0), palette()));
}

bool Menu::loadCompany()
{
    Services::AppState &state = m_ctx.state;
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
    LookupRequest request;
    request.table = Services::Tables::SOCIETA;
    request.title = QString::fromLatin1(kCompanyList);
    request.columns = {{QStringLiteral("SOCIETA"), QStringLiteral("04C"), QStringLiteral("SOC.")},
                       {QStringLiteral("RAG_SOC1"), QStringLiteral("30C"), QStringLiteral("RAGIONE SOCIALE")},
                       {QStringLiteral("RAG_SOC2"), QStringLiteral("30C"), QString()}};
    const auto chosen = showLookupList(m_ctx, request, this);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return chosen->first();
}

bool Menu::changeCompany()
{
    const std::optional<QString> chosen = m_chooser();
    if (!chosen || !closeTaskWindows())
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
}

void Menu::applyMenuProfile()
{
    const QString generate =
        m_ctx.settings.readOr(QStringLiteral("MAIN"), QStringLiteral("GENERAFATTURE"), QStringLiteral("NO"));
    QStringList hidden;
    if (generate.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) != 0)
        hidden << QStringLiteral("mnu_ddt_genfven") << QStringLiteral("mnu_simulaFvend");
    const int type = m_ctx.state.userType;
    if (type == 0 || type == 1)
        hidden << kHiddenBelowAdmin;
    if (type == 3)
        hidden << kHiddenForType3;
    for (const QString &name : hidden) {
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
    m_companyPanel->setText(QStringLiteral("Società %1 - %2").arg(state.company, state.companyName));
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
    const WaitCursor wait;
    m_ctx.state.openMode.clear();
    m_ctx.state.openKey.clear();
    QWidget *window = create();
    if (window)
        showTaskWindow(window, name);
    else
        unregisterOpenWindow(name);
    m_opening.clear();
}

void Menu::openCodeTable(const CodeTable &table)
{
    openSingle(QStringLiteral("FRMGETAB_") + table.table.section(QLatin1Char('.'), -1),
               [this, &table] { return new FrmGetab(m_ctx, table); });
}

void Menu::openTableForm(const TableForm &form)
{
    openSingle(form.name.toUpper(), [this, &form] { return new TableWindow(m_ctx, form); });
}

void Menu::printTableForm(const TableForm &form)
{
    LookupList list(m_ctx, tableFormList(form), this);
    if (list.load())
        list.exec();
}

void Menu::printCodeTable(const CodeTable &table)
{
    LookupList list(m_ctx, codeTableList(table, LookupMode::Print), this);
    if (list.load())
        list.exec();
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
