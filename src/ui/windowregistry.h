#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QMdiSubWindow;
class QWidget;

namespace Orlavo::Ui {

// What the main window offers the windows a subsystem opens from it.
class WindowHost
{
public:
    virtual ~WindowHost() = default;

    // The single window of that name: brought to the front when it is open,
    // else built by create() and shown (nullptr: nothing opens).
    virtual void openSingle(const QString &name, const std::function<QWidget *()> &create) = 0;
    // RegisterOpenWindow: true when a window of that name is open already
    // (it comes to the front); otherwise the name is listed.
    virtual bool registerOpenWindow(const QString &name) = 0;
    virtual void unregisterOpenWindow(const QString &name) = 0;
    // Shows a task window in the frame; a named one is listed while open,
    // a tagged one can be found by its tag.
    virtual QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name = {}, const QString &tag = {}) = 0;
    // The main window, parent of the modal lists a menu entry shows.
    virtual QWidget *hostWidget() = 0;
};

// What a menu entry does once chosen.
using WindowAction = std::function<void(WindowHost &host)>;

// The actions of the menu's entries, by entry name, registered by the
// subsystems that own the windows. An entry nobody registers stays disabled.
class WindowRegistry
{
public:
    // Registers (or replaces) the action of an entry; needsCompany false for
    // the entries that work before a company is open.
    void add(const QString &entry, WindowAction action, bool needsCompany = true);
    bool contains(const QString &entry) const { return m_actions.contains(entry); }
    // The entry's action; nullptr when nobody registered it.
    const WindowAction *find(const QString &entry) const;
    bool needsCompany(const QString &entry) const;
    QStringList entries() const { return m_actions.keys(); }

private:
    struct Registered {
        WindowAction action;
        bool needsCompany = true;
    };
    QHash<QString, Registered> m_actions;
};

} // namespace Orlavo::Ui
