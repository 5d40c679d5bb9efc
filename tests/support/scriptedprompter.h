#pragma once

#include "services/data/prompter.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <utility>

namespace Orlavo::Testing {

// Answers the program's questions from a queue and keeps every message, so
// a test can assert the exact Italian texts and drive confirm or cancel.
class ScriptedPrompter : public Services::Prompter
{
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override;

    // The next answers; with the queue empty the first button of the set.
    void queue(Button answer) { m_answers.append(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const { return each(&Shown::text); }
    QStringList titles() const { return each(&Shown::title); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

private:
    QStringList each(QString Shown::*part) const;

    QList<Button> m_answers;
    QList<Shown> m_shown;
};

// The scripted prompter, keeping the default button of every question too.
class RecordingPrompter : public ScriptedPrompter
{
public:
    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override
    {
        defaults.append(defaultButton);
        return ScriptedPrompter::ask(text, title, icon, buttons, defaultButton);
    }
    QList<std::optional<Button>> defaults;
};

// Records like the scripted prompter, and runs an action once when a given
// text is asked: another workstation acting while the question is open.
class ActingPrompter : public ScriptedPrompter
{
public:
    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override
    {
        if (text == onText && action)
            std::exchange(action, {})();
        return ScriptedPrompter::ask(text, title, icon, buttons, defaultButton);
    }
    QString onText;
    std::function<void()> action;
};

} // namespace Orlavo::Testing
