#include "menu.h"

#include "appcontext.h"
#include "stores/loginstore.h"
#include "tablenames.h"
#include "rules/codetables.h"
#include "windows/frmgetab.h"
#include "windows/frmrpt.h"
#include "windows/lookuplist.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

namespace Orlavo::Shell {

namespace {
constexpr char kSelectCompanyName[] = "SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = ?";
constexpr char kDefaultBackground[] = "12582912";

// Settings colours are 0x00BBGGRR numbers.
QColor colourFromSetting(const QString &value)
{
    bool ok = false;
    const qlonglong bgr = value.toLongLong(&ok);
    if (!ok || bgr < 0 || bgr > 0xFFFFFF)
        return QColor(0, 0, 0xC0);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
} // namespace

Menu::Menu(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_workspace(new QMdiArea(this)), m_companyPanel(new QLabel(this)),
      m_yearPanel(new QLabel(this)), m_userPanel(new QLabel(this))
{
    setObjectName(QStringLiteral("menu"));
    setWindowIcon(QIcon(m_ctx.state.icon));
    m_workspace->setObjectName(QStringLiteral("scrivania"));
    setCentralWidget(m_workspace);
    const QString background = m_ctx.settings.readOr(QStringLiteral("MENU"), QStringLiteral("COLORESFONDO"),
                                                     QString::fromLatin1(kDefaultBackground));
    m_workspace->setBackground(colourFromSetting(background));
    m_companyPanel->setObjectName(QStringLiteral("pannelloSocieta"));
    m_yearPanel->setObjectName(QStringLiteral("pannelloAnno"));
    m_userPanel->setObjectName(QStringLiteral("pannelloUtente"));
    statusBar()->addPermanentWidget(m_companyPanel, 1);
    statusBar()->addPermanentWidget(m_yearPanel);
    statusBar()->addPermanentWidget(m_userPanel);
    buildMenus();
    setWindowTitle(QString::fromLatin1(kAppName));
    m_ctx.db.setStatusHook([this](const QString &text) { statusBar()->showMessage(text, 3000); });
    m_ctx.db.setBusyHook([this](bool busy) { setBusy(busy); });
}

void Menu::closeEvent(QCloseEvent *event)
{
    if (m_ctx.db.companyOpen() && !m_ctx.state.user.isEmpty())
        m_ctx.db.unlockUser();
    if (!m_ctx.state.user.isEmpty())
        clearConnected(m_ctx.db, m_ctx.settings);
    QMainWindow::closeEvent(event);
}

Menu::~Menu()
{
    setBusy(false);
    m_ctx.db.setBusyHook({});
    m_ctx.db.setStatusHook({});
}

// SetBusy: the hourglass while the archives are at work.
void Menu::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Menu::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *exit = file->addAction(QStringLiteral("&Esci"));
    exit->setObjectName(QStringLiteral("mnuEsci"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Code tables and their print lists, by the menu that owns them; the
    // tables whose windows are not built yet stay disabled.
    const struct {
        const char *menu;
        const char *caption;
        const char *name;
        const char *table; // nullptr: not kept yet
        const char *reportKey;
    } entries[] = {
        {"&Anagrafica", "Attività", "TabAttivita", "TAB_ATTIVITA", "TABATTIV"},
        {"&Anagrafica", "Tipo Clienti", "TabTipoCli", "TAB_TIPO_CLI", "TABTICLI"},
        {"&Anagrafica", "Tipo Fornitori", "TapTipoForn", nullptr, "TABTIFOR"},
        {"&Anagrafica", "Tipo Documenti Identità", "TabDocId", "TAB_DOC_ID", "TABDOCID"},
        {"&Anagrafica", "Condizioni Pagamento", "TabCondPag", nullptr, "TABCONDP"},
        {"&Anagrafica", "Zona", "TabZona", "TAB_ZONA", "TABZONA"},
        {"&Anagrafica", "Provincie", "TabProv", "TAB_PROV", "TABPROV"},
        {"&Anagrafica", "Nazioni", "TabNazioni", nullptr, "TABPAESI"},
        {"&Anagrafica", "Ubicazione", "TabUbicazione", "TAB_UBICAZIONE", "TABUBIC"},
        {"&Magazzino", "Marche", "TabMarche", "TAB_MARCHE", "TABMARCH"},
        {"&Magazzino", "Tipo Articoli", "TabTipoArt", "TAB_TIPO_ART", nullptr},
        {"&Magazzino", "Magazzini", "TabMagazzini", "TAB_MAGAZZINI", "TABMAGAZ"},
        {"&Magazzino", "Unità di misura", "TabUntMis", "TAB_UNTMIS", "TABUMIS"},
        {"&Magazzino", "Gruppo Merceologico", "TabMerce", "TAB_MERCE", "TABMERCE"},
        {"&Magazzino", "Gruppo Statistico", "TabCStatis", "TAB_C_STATIS", "TABCSTAT"},
        {"&Documenti", "Tipo Documenti", "TabTipoDoc", "TAB_TIPO_DOC", "TABTDOC"},
        {"&Documenti", "Causali Trasporto", "TabCausTrasp", "TAB_TRASP", "TABTRASP"},
        {"&Documenti", "Aspetto dei beni", "TabAspetto", "TAB_ASPET_EST", "TABASPET"},
        {"&Contabilità", "Registri Iva", "TabRegIva", "TAB_REGISTRI", "TABREIVA"},
        {"&Contabilità", "Gruppo Conti", "TabGruppi", "TAB_GRUPP", "TABGRUPP"},
        {"&Contabilità", "Sottogruppo Conti", "TabSottogruppi", "TAB_SOGRUP", "TABSOGRU"},
        {"&Contabilità", "Tipo Causali", "TabTipoCaus", "TAB_TIPO_CAUS", "TABTCAU"},
        {"&Contabilità", "Centri di Costo", "TabCCos", "TAB_CCOS", "TABCCOS"},
    };
    QHash<QString, std::pair<QMenu *, QMenu *>> submenus;
    for (const auto &entry : entries) {
        const QString menuCaption = QString::fromUtf8(entry.menu);
        auto &[tables, prints] = submenus[menuCaption];
        if (!tables) {
            QMenu *top = menuBar()->addMenu(menuCaption);
            tables = top->addMenu(QStringLiteral("&Tabelle"));
            prints = top->addMenu(QStringLiteral("&Stampa"));
        }
        const CodeTable *table = entry.table ? findCodeTable(QString::fromLatin1(entry.table)) : nullptr;
        const QString caption = QString::fromUtf8(entry.caption);
        QAction *open = tables->addAction(caption);
        open->setObjectName(QString::fromLatin1(entry.name));
        open->setEnabled(table != nullptr);
        if (table)
            connect(open, &QAction::triggered, this, [this, table] { openCodeTable(m_ctx, *table, this); });
        if (!entry.reportKey)
            continue;
        QAction *print = prints->addAction(caption);
        print->setObjectName(QStringLiteral("St_") + QString::fromLatin1(entry.name));
        print->setEnabled(table != nullptr);
        if (table) {
            connect(print, &QAction::triggered, this, [this, table] {
                LookupList list(m_ctx, codeTableList(*table, LookupMode::Print), this);
                if (list.load())
                    list.exec();
            });
        }
    }
}

bool Menu::openCurrentCompany()
{
    Services::AppState &state = m_ctx.state;
    if (state.company.isEmpty())
        return false;
    if (!m_ctx.db.openCompany(state.company))
        return false;
    auto rows = m_ctx.db.openRecordset(QString::fromLatin1(kSelectCompanyName).arg(Services::Tables::SOCIETA),
                                       {state.company}, 1);
    if (rows && !rows->isEmpty())
        state.companyName = rows->first().text(QStringLiteral("RAG_SOC1"));
    const QString appName =
        m_ctx.settings.readOr(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP"), QString::fromLatin1(kAppName));
    setWindowTitle(appName + QStringLiteral(" - ") + state.companyName);
    showStatus();
    // Locks a crashed session of this user left behind.
    if (!state.user.isEmpty())
        m_ctx.db.unlockUser();
    return true;
}

void Menu::showStatus()
{
    const Services::AppState &state = m_ctx.state;
    m_companyPanel->setText(QStringLiteral("Società %1 - %2").arg(state.company, state.companyName));
    m_yearPanel->setText(QStringLiteral("Anno %1").arg(state.year));
    m_userPanel->setText(state.user.isEmpty() ? QString() : QStringLiteral("Utente %1").arg(state.user));
}

} // namespace Orlavo::Shell
