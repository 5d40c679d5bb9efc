#include "ui/windowregistry.h"

namespace Orlavo::Ui {

void WindowRegistry::add(const QString &entry, WindowAction action, bool needsCompany)
{
    m_actions.insert(entry, Registered{std::move(action), needsCompany});
}

const WindowAction *WindowRegistry::find(const QString &entry) const
{
    const auto found = m_actions.constFind(entry);
    return found == m_actions.constEnd() ? nullptr : &found->action;
}

bool WindowRegistry::needsCompany(const QString &entry) const
{
    const auto found = m_actions.constFind(entry);
    return found == m_actions.constEnd() || found->needsCompany;
}

} // namespace Orlavo::Ui
