#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Services {

// Every message, question and confirmation reaches the operator through a
// prompter: text, title, icon and buttons in, the pressed button out. The
// application shows message boxes; tests answer from a script.
class Prompter
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
    enum class Button { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

    virtual ~Prompter() = default;

    virtual Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
                       std::optional<Button> defaultButton = std::nullopt) = 0;

    void info(const QString &text, const QString &title) { ask(text, title, Icon::Information, Buttons::Ok); }
    void warn(const QString &text, const QString &title) { ask(text, title, Icon::Warning, Buttons::Ok); }
    void error(const QString &text, const QString &title) { ask(text, title, Icon::Critical, Buttons::Ok); }
};

// Shows nothing and answers with the default button (else the first): for a
// connection opened behind the operator's back, whose failures the caller
// reports itself.
class SilentPrompter : public Prompter
{
public:
    Button ask(const QString &, const QString &, Icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override
    {
        if (defaultButton)
            return *defaultButton;
        switch (buttons) {
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Button::Yes;
        case Buttons::AbortRetryIgnore:
            return Button::Abort;
        case Buttons::RetryCancel:
            return Button::Retry;
        default:
            return Button::Ok;
        }
    }
};

} // namespace Orlavo::Services
