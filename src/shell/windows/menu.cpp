#include "menu.h"

#include "appcontext.h"
#include "stores/loginstore.h"
#include "tablenames.h"
#include "windows/frmrpt.h"

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

    // The code-table lists; those whose tables are not kept yet stay disabled.
    QMenu *prints = menuBar()->addMenu(QStringLiteral("&Anagrafica"))->addMenu(QStringLiteral("&Stampa"));
    const struct {
        const char *key;
        const char *caption;
        bool ready;
    } lists[] = {{"TABATTIV", "Tipo Attività", false},        {"TABTICLI", "Tipo anagrafico Cliente", false},
                 {"TABTIFOR", "Tipo anagrafico Fornitore", false}, {"TABDOCID", "Tipi Documenti Identità", false},
                 {"TABCONDP", "Condizioni di pagamento", false},   {"TABZONA", "Zona Territoriali", false},
                 {"TABPROV", "Provincie", true},                   {"TABPAESI", "Paesi", false},
                 {"TABUBIC", "Ubicazione", false}};
    for (const auto &list : lists) {
        QAction *action = prints->addAction(QString::fromUtf8(list.caption));
        action->setObjectName(QStringLiteral("St_") + QString::fromLatin1(list.key));
        action->setEnabled(list.ready);
        connect(action, &QAction::triggered, this, [this, key = QString::fromLatin1(list.key), caption = action->text()] {
            PrintCommand command;
            command.key = key;
            command.title = QStringLiteral("Stampa ") + caption;
            printReport(m_ctx, command, this);
        });
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
