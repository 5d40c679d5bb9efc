#pragma once

#include "rules/tableforms.h"
#include "stores/companydata.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace Orlavo::Shell {

struct AppContext;
struct CodeTable;

// The main window: the frame of every task window. It opens the current
// company, offers every task through its menu bar and toolbar, keeps the
// list of open windows and closes the application.
class Menu : public QMainWindow
{
    Q_OBJECT
public:
    // Chooses a company among those listed; nothing when the operator
    // leaves the choice. The real one is the lookup list "Lista SOCIETA".
    using CompanyChooser = std::function<std::optional<QString>()>;

    explicit Menu(AppContext &context, QWidget *parent = nullptr);
    ~Menu() override;

    // The load: the company of the settings, its base data, title, colours,
    // the extra menu, stale locks. With no company set the operator chooses
    // one; false when the window stays without a company.
    bool openCurrentCompany();
    // Scelta Azienda: another company, with no task window open.
    bool changeCompany();
    // Hides the entries the user's type and the settings do not allow.
    void applyMenuProfile();
    void setCompanyChooser(CompanyChooser chooser) { m_chooser = std::move(chooser); }

    // RegisterOpenWindow: true when a window of that name is open already
    // (it comes to the front); otherwise the name is listed.
    bool registerOpenWindow(const QString &name);
    void unregisterOpenWindow(const QString &name);
    // "MENU" and every window listed, in the order they opened.
    QStringList openWindows() const;
    // ActivateTaggedWindow: brings the window with this tag to the front,
    // restored; false when none is open.
    bool activateTaggedWindow(const QString &tag);
    // Shows a task window in the frame; a named one is listed while open.
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name = {}, const QString &tag = {});
    int taskWindowCount() const;
    // The desktop in the colour of MENU COLORESFONDO.
    void repaintBackground();

    // A toolbar command for the active task window ("TimStampa", ...): run
    // once, after the click has been handled, by a window that offers it.
    void sendCommand(const QString &command);

    QMdiArea *workspace() const { return m_workspace; }
    QToolBar *toolBar() const { return m_toolBar; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildTables(QMenu *parent, const char *printPrefix, const QList<const char *> &names);
    void buildToolBar();
    void buildStatusBar();
    // An entry; without an action it stays disabled (its window is not built yet).
    QAction *entry(QMenu *menu, const QString &caption, const char *name, std::function<void()> action = {},
                   bool needsCompany = true);
    QMenu *submenu(QMenu *parent, const QString &caption, const char *name = nullptr);
    // The chosen company and this year become current, in the state and CONT.INI.
    void makeCurrent(const QString &company);
    // Asks as on exit and closes every task window; false when one stays.
    bool closeTaskWindows();
    void showTitle();
    // frmInsSocieta (empty code) or frmModSocieta of the company.
    void openCompanyCard(const QString &code);
    void companyRegistered(const QString &code, bool inserted);
    // The customer window of a code, or a new customer's (0); the search.
    void openCustomer(int code);
    void openCustomerSearch();
    // Load steps 2 to 4 for the company in the state.
    bool loadCompany();
    std::optional<QString> chooseFromList();
    void showStatus();
    void enableForCompany();
    void setBusy(bool busy);
    void openCodeTable(const CodeTable &table);
    void printCodeTable(const CodeTable &table);
    void openTableForm(const TableForm &form);
    void printTableForm(const TableForm &form);
    void openSingle(const QString &name, const std::function<QWidget *()> &create);
    void editCommand(int key);
    void toggleToolBar();
    QMdiSubWindow *subWindowNamed(const QString &name) const;
    void bringToFront(QMdiSubWindow *window);

    AppContext &m_ctx;
    CompanyChooser m_chooser;
    QMdiArea *m_workspace;
    QToolBar *m_toolBar = nullptr;
    QAction *m_toolBarEntry = nullptr;
    QAction *m_extraMenu = nullptr;
    QLabel *m_light;
    QLabel *m_lockPanel;
    QLabel *m_companyPanel;
    QLabel *m_yearPanel;
    QLabel *m_userPanel;
    QLabel *m_datePanel;
    QLabel *m_timePanel;
    QTimer *m_clock;
    // Listed names; a name whose frame has closed is dropped on reading.
    mutable QStringList m_openWindows{QStringLiteral("MENU")};
    // The name of the window being opened, listed before its frame exists.
    QString m_opening;
    QList<QAction *> m_companyActions;
    bool m_busy = false;
    bool m_firstActivation = true;
};

} // namespace Orlavo::Shell
