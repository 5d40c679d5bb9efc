#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QProgressDialog;

namespace Orlavo::Ui {

// "Attendere, ..." while a long task runs: a small window titled
// "Messaggio", centred on the parent's window (or on the screen), on screen
// before the task starts. One message at a time: showing it again only
// changes the text. The mouse pointer waits while it shows.
void showWaitMessage(const QString &text, QWidget *parent = nullptr);
void hideWaitMessage();
// The message window while it shows, null otherwise.
QWidget *waitMessageWindow();

// The message for one scope: it goes when the scope ends, also by an
// exception, and a message that was showing before comes back.
class WaitMessage
{
public:
    explicit WaitMessage(const QString &text, QWidget *parent = nullptr);
    ~WaitMessage();

    WaitMessage(const WaitMessage &) = delete;
    WaitMessage &operator=(const WaitMessage &) = delete;

private:
    QString m_previous;
    QPointer<QWidget> m_previousParent;
    bool m_wasShowing = false;
};

// A progress window for long work the operator may stop: modal to the whole
// program, on screen at once, kept open at the end for the caller to close.
void setUpProgress(QProgressDialog &progress, const QString &title, const QString &objectName);

} // namespace Orlavo::Ui
