#include "scriptedprompter.h"

namespace Orlavo::Testing {

Services::Prompter::Button ScriptedPrompter::ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
                                                 std::optional<Button>)
{
    m_shown.append({text, title, icon, buttons});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Button::Yes;
    case Buttons::AbortRetryIgnore: return Button::Abort;
    case Buttons::RetryCancel: return Button::Retry;
    default: return Button::Ok;
    }
}

QStringList ScriptedPrompter::each(QString Shown::*part) const
{
    QStringList all;
    for (const Shown &s : m_shown)
        all.append(s.*part);
    return all;
}

} // namespace Orlavo::Testing
