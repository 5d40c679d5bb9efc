#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QMessageBox>

namespace Orlavo::Ui {

using Services::Prompter;

namespace {

QMessageBox::StandardButton standardOf(Prompter::Button button)
{
    switch (button) {
    case Prompter::Button::Ok: return QMessageBox::Ok;
    case Prompter::Button::Cancel: return QMessageBox::Cancel;
    case Prompter::Button::Yes: return QMessageBox::Yes;
    case Prompter::Button::No: return QMessageBox::No;
    case Prompter::Button::Abort: return QMessageBox::Abort;
    case Prompter::Button::Retry: return QMessageBox::Retry;
    case Prompter::Button::Ignore: return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons standardSet(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok: return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompter::Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case Prompter::Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Closing the box by its frame counts as the "no" answer of its set.
Prompter::Button escapeOf(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok: return Prompter::Button::Ok;
    case Prompter::Buttons::YesNo: return Prompter::Button::No;
    case Prompter::Buttons::AbortRetryIgnore: return Prompter::Button::Abort;
    default: return Prompter::Button::Cancel;
    }
}

} // namespace

void MessageBoxPrompter::setUp(QMessageBox &box, const QString &text, const QString &title, Icon icon, Buttons buttons,
                               std::optional<Button> defaultButton)
{
    box.setWindowTitle(title);
    // Messages may break their lines with a carriage return alone.
    box.setText(QString(text)
                    .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    box.setStandardButtons(standardSet(buttons));
    if (defaultButton)
        box.setDefaultButton(standardOf(*defaultButton));
}

Prompter::Button MessageBoxPrompter::ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
                                         std::optional<Button> defaultButton)
{
    QMessageBox box(m_parent ? m_parent : QApplication::activeWindow());
    setUp(box, text, title, icon, buttons, defaultButton);
    // The arrow over a message, also in the middle of long work.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const Button b :
         {Button::Ok, Button::Cancel, Button::Yes, Button::No, Button::Abort, Button::Retry, Button::Ignore}) {
        if (standardOf(b) == pressed)
            return b;
    }
    return escapeOf(buttons);
}

} // namespace Orlavo::Ui
