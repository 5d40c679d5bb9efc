#pragma once

#include "shell/stores/companydata.h"
#include "ui/windowregistry.h"

#include <QHash>
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

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The main window: the frame of every task window. It opens the current
// company, offers every task through its menu bar and toolbar, keeps the
// list of open windows and closes the application.
class Menu : public QMainWindow, public Ui::WindowHost
{
    Q_OBJECT
public:
    // Chooses a company among those listed; nothing when the operator
    // leaves the choice. The real one is the lookup list "Lista SOCIETA".
    using CompanyChooser = std::function<std::optional<QString>()>;

    explicit Menu(Ui::AppContext &context, QWidget *parent = nullptr);
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
    bool registerOpenWindow(const QString &name) override;
    void unregisterOpenWindow(const QString &name) override;
    // "MENU" and every window listed, in the order they opened.
    QStringList openWindows() const;
    // ActivateTaggedWindow: brings the window with this tag to the front,
    // restored; false when none is open.
    bool activateTaggedWindow(const QString &tag);
    // Shows a task window in the frame; a named one is listed while open.
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name = {}, const QString &tag = {}) override;
    void openSingle(const QString &name, const std::function<QWidget *()> &create) override;
    QWidget *hostWidget() override { return this; }
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
    // The entries the main window serves itself: companies, users, base
    // data, backup, editing, the frame's own menus.
    void registerOwnEntries();
    // The menu bar from the menu table: an entry nobody registered stays
    // disabled.
    void buildMenus();
    // What the entry's registration does, looked up when it is chosen.
    void runEntry(const QString &entry);
    void buildToolBar();
    void buildStatusBar();
    // The chosen company and this year become current, in the state and CONT.INI.
    void makeCurrent(const QString &company);
    // Asks as on exit and closes every task window; false when one stays.
    bool closeTaskWindows();
    void showTitle();
    // frmInsSocieta (empty code) or frmModSocieta of the company.
    void openCompanyCard(const QString &code);
    void companyRegistered(const QString &code, bool inserted);
    // Load steps 2 to 4 for the company in the state.
    bool loadCompany();
    // Utilità > Verifica archivi: SQLite's full check of the archives in use.
    void checkArchives();
    std::optional<QString> chooseFromList();
    void showStatus();
    void enableForCompany();
    void setBusy(bool busy);
    void editCommand(int key);
    void toggleToolBar();
    QMdiSubWindow *subWindowNamed(const QString &name) const;
    void bringToFront(QMdiSubWindow *window);

    Ui::AppContext &m_ctx;
    Ui::WindowRegistry m_registry;
    // Why an entry is disabled when the machine lacks what it starts.
    QHash<QString, QString> m_unavailable;
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
    // The working year was set by a company choice: its counters are due.
    bool m_yearSet = false;
    bool m_firstActivation = true;
};

} // namespace Orlavo::Shell
